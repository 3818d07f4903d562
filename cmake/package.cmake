# The release archive, Varnet-<version>-win32.zip or -win64.zip by the
# build's architecture: what the installation
# holds (headers, import libraries, the DLLs with the compiler's run-time
# DLLs, VarnetPick.exe, the CMake package), every binary stripped of its
# debug information, and a short README and the licence at its top.
#   cmake --build build --target package     (scripts/package.sh also
#                                             prints its size and files)

set(VARNET_RELEASE_DOCS ${CMAKE_BINARY_DIR}/release-docs)
configure_file(${CMAKE_CURRENT_LIST_DIR}/README.txt.in ${VARNET_RELEASE_DOCS}/README.txt @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/LICENSE ${VARNET_RELEASE_DOCS}/LICENSE COPYONLY)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Varnet)
set(CPACK_PACKAGE_VENDOR "the Varnet developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Varnet-${PROJECT_VERSION}-${VARNET_ARCH})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_INSTALLED_DIRECTORIES ${VARNET_RELEASE_DOCS} .)
# Every DLL and program in the archive, ours and the compiler's, is
# stripped before it is packed.
set(CPACK_VARNET_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/strip-package.cmake)
include(CPack)
