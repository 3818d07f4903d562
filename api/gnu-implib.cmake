# x86: makes Varnet.dll's GNU import library again from the exports that
# the linker listed (--output-def), with the __stdcall functions under
# their decorated names (VarnetPickFolderW@12), which dlltool -k imports by
# the undecorated ones. The linker lists them as aliases of the decorated
# symbols ("VarnetPickFolderW = VarnetPickFolderW@12"), from which dlltool
# would make undecorated symbols that no __stdcall caller links against.
#   cmake -DDEF=<exports.def> -DDLLTOOL=<dlltool> -DLIB=<libVarnet.dll.a> -P gnu-implib.cmake
file(READ ${DEF} text)
string(REGEX REPLACE "([A-Za-z0-9_]+) = ([A-Za-z0-9_]+@[0-9]+)" "\\2" text "${text}")
file(WRITE ${DEF}.decorated "${text}")
execute_process(COMMAND ${DLLTOOL} -k -D Varnet.dll -d ${DEF}.decorated -l ${LIB} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "dlltool failed (${rc})")
endif()
