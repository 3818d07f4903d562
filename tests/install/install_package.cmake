# Installs a Varnet build, builds a host against the installed package and
# runs it under Wine.
#   cmake -DVARNET_BUILD_DIR=<build> -DVARNET_SOURCE_DIR=<source>
#         -DVARNET_WORK_DIR=<scratch folder>
#         -DVARNET_HOST_SOURCE_DIR=<host project> -DVARNET_TOOLCHAIN_FILE=<file>
#         -DVARNET_GENERATOR=<generator> [-DVARNET_MAKE_PROGRAM=<program>]
#         -DVARNET_WINE_TEST=<build>/wine-test -P install_package.cmake
# The package is installed into one folder and then moved to another before
# the host uses it, so that a package which names the folder it was
# installed into (rather than its own location) fails here.
cmake_minimum_required(VERSION 3.20)

foreach(var VARNET_BUILD_DIR VARNET_SOURCE_DIR VARNET_WORK_DIR VARNET_HOST_SOURCE_DIR VARNET_TOOLCHAIN_FILE
            VARNET_GENERATOR VARNET_WINE_TEST)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "install_package: ${var} is not set")
  endif()
endforeach()

set(stage ${VARNET_WORK_DIR}/stage)
set(prefix ${VARNET_WORK_DIR}/prefix)
set(host_build ${VARNET_WORK_DIR}/host-build)

# run(<step> <command>...): runs the command; on failure stops with the
# step's name and everything the command wrote.
function(run step)
  execute_process(COMMAND ${ARGN}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc STREQUAL "0")
    string(REPLACE ";" " " cmdline "${ARGN}")
    message(FATAL_ERROR "install_package: ${step} failed (exit ${rc})\n"
      "command: ${cmdline}\n${out}${err}")
  endif()
endfunction()

file(REMOVE_RECURSE ${VARNET_WORK_DIR})
file(MAKE_DIRECTORY ${VARNET_WORK_DIR})

# 1. Install, then move the installation.
run("installing the build" ${CMAKE_COMMAND} --install ${VARNET_BUILD_DIR} --prefix ${stage})
file(RENAME ${stage} ${prefix})

# The package must not lean on the build or source tree, nor on the folder
# it was installed into: a host elsewhere has none of them.
file(GLOB package_files ${prefix}/lib/cmake/Varnet/*.cmake)
if(NOT package_files)
  message(FATAL_ERROR "install_package: no CMake package in ${prefix}/lib/cmake/Varnet")
endif()
foreach(file ${package_files})
  file(READ ${file} text)
  foreach(path "${VARNET_BUILD_DIR}" "${VARNET_SOURCE_DIR}" "${stage}")
    if(NOT path STREQUAL "")
      string(FIND "${text}" "${path}" at)
      if(NOT at EQUAL -1)
        message(FATAL_ERROR "install_package: ${file} names ${path}")
      endif()
    endif()
  endforeach()
endforeach()

# 2. The installed tool runs with what bin/ holds: its usage line, exit 2.
if(NOT EXISTS ${prefix}/bin/VarnetPick.exe)
  message(FATAL_ERROR "install_package: bin/VarnetPick.exe was not installed")
endif()
execute_process(COMMAND ${VARNET_WINE_TEST} ${prefix}/bin/VarnetPick.exe --help
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc STREQUAL "2" OR NOT err MATCHES "usage: VarnetPick.exe")
  message(FATAL_ERROR "install_package: the installed VarnetPick.exe --help gave exit ${rc}, "
    "expected 2 and its usage line\n${out}${err}")
endif()

# 3. Configure and build the host against the installed package only.
set(configure_args -S ${VARNET_HOST_SOURCE_DIR} -B ${host_build} -G ${VARNET_GENERATOR}
    -DCMAKE_TOOLCHAIN_FILE=${VARNET_TOOLCHAIN_FILE}
    -DCMAKE_PREFIX_PATH=${prefix})
if(VARNET_MAKE_PROGRAM)
  list(APPEND configure_args -DCMAKE_MAKE_PROGRAM=${VARNET_MAKE_PROGRAM})
endif()
run("configuring the host with find_package(Varnet)" ${CMAKE_COMMAND} ${configure_args})
run("building the host" ${CMAKE_COMMAND} --build ${host_build})

set(host_exe ${host_build}/varnet_host.exe)
if(NOT EXISTS ${host_exe})
  message(FATAL_ERROR "install_package: the host build made no ${host_exe}")
endif()

# 4. varnet_copy_runtime put the DLLs beside the host. The host then runs
#    with these alone: nothing on Wine's search path holds them.
foreach(dll VarnetFx.dll Varnet.dll libstdc++-6.dll libgcc_s_dw2-1.dll libwinpthread-1.dll)
  if(NOT EXISTS ${prefix}/bin/${dll})
    message(FATAL_ERROR "install_package: bin/${dll} was not installed")
  endif()
  if(NOT EXISTS ${host_build}/${dll})
    message(FATAL_ERROR "install_package: ${dll} was not copied beside the host")
  endif()
endforeach()

# 5. Run the host.
execute_process(COMMAND ${VARNET_WINE_TEST} ${host_exe}
  WORKING_DIRECTORY ${host_build}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc STREQUAL "0" OR NOT out MATCHES "varnet_host: ok")
  message(FATAL_ERROR "install_package: the host exited with ${rc}, expected 0\n${out}${err}")
endif()
message(STATUS "install_package: the host built against ${prefix} runs")
