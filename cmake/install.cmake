# Installation for host developers: headers, import libraries, DLLs with the
# compiler's run-time DLLs, and a CMake package (find_package(Varnet)).
