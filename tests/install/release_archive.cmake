# Makes the release archive of a build, unpacks it into an empty folder,
# builds a host against the unpacked folder alone and runs it under Wine.
#   cmake -DVARNET_BUILD_DIR=<build> -DVARNET_SOURCE_DIR=<source>
#         -DVARNET_WORK_DIR=<scratch folder> -DVARNET_VERSION=<a.b.c.d>
#         -DVARNET_HOST_SOURCE_DIR=<host project> -DVARNET_GENERATOR=<generator>
#         -DVARNET_WINE=<build>/varnet-wine -DVARNET_OBJDUMP=<objdump>
#         -DVARNET_CPACK=<cpack> -DVARNET_ARCH=win32|win64
#         -DVARNET_TOOLCHAIN_NAME=<the toolchain file's name>
#         -P release_archive.cmake
# With VARNET_NO_WINE set in the environment (to the reason), the archive's
# programs and the host are built and checked but not run: a machine that
# cannot run 32-bit programs still checks the win32 archive.
cmake_minimum_required(VERSION 3.20)

foreach(var VARNET_BUILD_DIR VARNET_SOURCE_DIR VARNET_WORK_DIR VARNET_VERSION VARNET_HOST_SOURCE_DIR
            VARNET_GENERATOR VARNET_WINE VARNET_OBJDUMP VARNET_CPACK VARNET_ARCH VARNET_TOOLCHAIN_NAME)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "release_archive: ${var} is not set")
  endif()
endforeach()

function(fail)
  string(JOIN "" text ${ARGN})
  message(FATAL_ERROR "release_archive: ${text}")
endfunction()

# run(<step> <command>...): runs the command; on failure stops with the
# step's name and everything the command wrote.
function(run step)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc STREQUAL "0")
    string(REPLACE ";" " " cmdline "${ARGN}")
    fail("${step} failed (exit ${rc})\ncommand: ${cmdline}\n${out}${err}")
  endif()
endfunction()

set(name Varnet-${VARNET_VERSION}-${VARNET_ARCH})
set(unpacked ${VARNET_WORK_DIR}/unpacked)
set(release ${unpacked}/${name})
set(host_build ${VARNET_WORK_DIR}/host-build)
file(REMOVE_RECURSE ${VARNET_WORK_DIR})
file(MAKE_DIRECTORY ${unpacked})

# The archive, named by the version, unpacked into an empty folder.
run("making the archive" ${VARNET_CPACK} --config ${VARNET_BUILD_DIR}/CPackConfig.cmake -B ${VARNET_WORK_DIR}/cpack)
set(zip ${VARNET_WORK_DIR}/cpack/${name}.zip)
if(NOT EXISTS ${zip})
  fail("no ${name}.zip was made")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${zip} WORKING_DIRECTORY ${unpacked} RESULT_VARIABLE rc)
file(GLOB top RELATIVE ${unpacked} ${unpacked}/*)
if(NOT rc STREQUAL "0" OR NOT top STREQUAL name)
  fail("${name}.zip did not unpack into the one folder ${name} (found: ${top})")
endif()

foreach(file README.txt LICENSE bin/VarnetPick.exe include/Varnet/FolderTreeDlg.h include/VarnetFx/afxwin.h
             include/Varnet/utf8.manifest include/Varnet/utf8.rc
             lib/libVarnet.dll.a lib/libVarnetFx.dll.a lib/cmake/Varnet/${VARNET_TOOLCHAIN_NAME}
             include/varnet.h lib/Varnet.def lib/Varnet.lib)
  if(NOT EXISTS ${release}/${file})
    fail("the archive lacks ${file}")
  endif()
endforeach()

# No binary carries debug information.
file(GLOB binaries ${release}/bin/*)
foreach(binary ${binaries})
  execute_process(COMMAND ${VARNET_OBJDUMP} -h ${binary} OUTPUT_VARIABLE sections)
  if(sections MATCHES "\\.debug_")
    fail("${binary} was not stripped")
  endif()
endforeach()

# The CMake package names no folder outside itself: the build tree, the
# source tree and CPack's staging folder are not there on a user's machine.
file(GLOB package_files ${release}/lib/cmake/Varnet/*.cmake)
foreach(file ${package_files})
  file(READ ${file} text)
  foreach(path "${VARNET_BUILD_DIR}" "${VARNET_SOURCE_DIR}" "_CPack_Packages")
    string(FIND "${text}" "${path}" at)
    if(NOT at EQUAL -1)
      fail("${file} names ${path}")
    endif()
  endforeach()
endforeach()

# Every binary is of the archive's architecture: a PE32+ file for x86-64
# (objdump's format "pei-x86-64"), a PE32 file for x86 ("pei-i386").
if(VARNET_ARCH STREQUAL "win64")
  set(format pei-x86-64)
else()
  set(format pei-i386)
endif()
foreach(binary ${binaries})
  execute_process(COMMAND ${VARNET_OBJDUMP} -f ${binary} OUTPUT_VARIABLE header)
  if(NOT header MATCHES "file format ${format}")
    fail("${binary} is not of the format ${format}:\n${header}")
  endif()
endforeach()

set(no_wine "$ENV{VARNET_NO_WINE}")
# The tool runs with what bin/ holds: its usage line, exit 2.
if(no_wine STREQUAL "")
  execute_process(COMMAND ${VARNET_WINE} ${release}/bin/VarnetPick.exe --help
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc STREQUAL "2" OR NOT err MATCHES "usage: VarnetPick.exe")
    fail("bin/VarnetPick.exe --help gave exit ${rc}, expected 2 and its usage line\n${out}${err}")
  endif()
endif()

# The host is configured in a bare environment with the archive's toolchain
# file and the unpacked folder as its only prefix, and runs with the DLLs
# that varnet_copy_runtime put beside it.
run("configuring the host with find_package(Varnet)"
  env -i PATH=/usr/local/bin:/usr/bin:/bin HOME=${VARNET_WORK_DIR}
  ${CMAKE_COMMAND} -S ${VARNET_HOST_SOURCE_DIR} -B ${host_build} -G ${VARNET_GENERATOR}
    -DCMAKE_TOOLCHAIN_FILE=${release}/lib/cmake/Varnet/${VARNET_TOOLCHAIN_NAME}
    -DCMAKE_PREFIX_PATH=${release})
run("building the host" env -i PATH=/usr/local/bin:/usr/bin:/bin ${CMAKE_COMMAND} --build ${host_build})
if(NOT no_wine STREQUAL "")
  execute_process(COMMAND ${VARNET_OBJDUMP} -f ${host_build}/varnet_host.exe OUTPUT_VARIABLE header)
  if(NOT header MATCHES "file format ${format}")
    fail("the host is not of the format ${format}:\n${header}")
  endif()
  message(STATUS "release_archive: a host built against ${name}.zip alone; not run: ${no_wine}")
  return()
endif()
execute_process(COMMAND ${VARNET_WINE} ${host_build}/varnet_host.exe
  WORKING_DIRECTORY ${host_build}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc STREQUAL "0" OR NOT out MATCHES "varnet_host: ok")
  fail("the host exited with ${rc}, expected 0\n${out}${err}")
endif()
message(STATUS "release_archive: a host built against ${name}.zip alone runs")
