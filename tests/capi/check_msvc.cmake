# Varnet.lib, the import library for Microsoft's linker: it holds the
# __imp_ symbol of each function of the C interface (decorated on x86), and
# lld-link links a C host against it alone; on x86-64 the host runs.
#   cmake -DLIB=<Varnet.lib> -DBITS=32|64 -DSOURCE=<msvc_host.c> -DAPI=<api dir>
#         -DWORK=<scratch> -DWINE=<varnet-wine or ""> -P check_msvc.cmake
foreach(tool llvm-nm llvm-dlltool clang lld-link)
  find_program(${tool}_path NAMES ${tool} ${tool}-14 REQUIRED)
endforeach()
function(run step)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc STREQUAL "0")
    message(FATAL_ERROR "${step} failed (${rc}):\n${out}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

if(BITS EQUAL 32)
  set(machine -m i386 -k)
  set(target i686-w64-windows-gnu)
  set(include /usr/i686-w64-mingw32/include)
  set(lldmachine x86)
  set(entry HostEntry@0)
  set(at12 "@12")
  set(at0 "@0")
  set(at4 "@4")
  set(us "_")
else()
  set(machine -m i386:x86-64)
  set(target x86_64-w64-windows-gnu)
  set(include /usr/x86_64-w64-mingw32/include)
  set(lldmachine x64)
  set(entry HostEntry)
endif()

run("llvm-nm" ${llvm-nm_path} ${LIB})
foreach(symbol VarnetPickFolderW${at12} VarnetPickFolderU8${at12} VarnetFreePath${at4} VarnetGetErrorW${at0}
               VarnetGetErrorU8${at0})
  string(FIND "${out}" " __imp_${us}${symbol}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${LIB} lacks __imp_${us}${symbol}:\n${out}")
  endif()
endforeach()

# The system's two functions the host calls, as import libraries of the
# same kind.
file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/kernel32.def "LIBRARY kernel32.dll\nEXPORTS\nExitProcess${at4}\n")
file(WRITE ${WORK}/user32.def "LIBRARY user32.dll\nEXPORTS\nPostQuitMessage${at4}\n")
run("kernel32.lib" ${llvm-dlltool_path} ${machine} -d ${WORK}/kernel32.def -l ${WORK}/kernel32.lib)
run("user32.lib" ${llvm-dlltool_path} ${machine} -d ${WORK}/user32.def -l ${WORK}/user32.lib)
run("compiling the host" ${clang_path} --target=${target} -c -O1 -ffreestanding -fno-stack-protector -I${API}
    -isystem ${include} ${SOURCE} -o ${WORK}/msvc_host.obj)
get_filename_component(bin ${LIB} DIRECTORY)
set(exe ${bin}/../bin/msvc_host.exe)
run("linking the host" ${lld-link_path} /nologo /machine:${lldmachine} /subsystem:console /entry:${entry}
    /nodefaultlib ${WORK}/msvc_host.obj ${LIB} ${WORK}/kernel32.lib ${WORK}/user32.lib /out:${exe})
if(WINE)
  run("running the host" ${WINE} ${exe})
endif()
