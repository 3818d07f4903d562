# Installation for host developers: headers, import libraries, DLLs with the
# compiler's run-time DLLs, and a CMake package (find_package(Varnet)).
#
#   <prefix>/bin                 Varnet.dll, VarnetFx.dll, the compiler's
#                                run-time DLLs, VarnetPick.exe
#   <prefix>/lib                 libVarnet.dll.a, libVarnetFx.dll.a; for the
#                                C interface Varnet.lib (Microsoft's linker)
#                                and Varnet.def
#   <prefix>/include             varnet.h, the C interface
#   <prefix>/include/VarnetFx    afxwin.h, afxcmn.h, afxtempl.h, afx/*.h
#   <prefix>/include/Varnet      FolderTreeDlg.h, ErrorMessage.h, resource.h,
#                                the UTF-8 manifest and its resource script
#   <prefix>/lib/cmake/Varnet    the package, and the toolchain file for
#                                mingw-w64 that the DLLs were built with
#                                (toolchain-mingw32.cmake for x86,
#                                toolchain-mingw64.cmake for x86-64)

include(CMakePackageConfigHelpers)

set(VARNET_INSTALL_BINDIR bin)
set(VARNET_INSTALL_CMAKEDIR lib/cmake/Varnet)

# Every module that shares the framework must share one unwinder, or an
# exception thrown in one module (CFileException from CFile::Rename, say)
# never reaches the handler in another. The build itself links everything
# with -shared-libgcc; hosts get it through the targets they link.
target_link_options(VarnetFx INTERFACE -shared-libgcc)

install(TARGETS VarnetFx Varnet
  EXPORT VarnetTargets
  RUNTIME DESTINATION ${VARNET_INSTALL_BINDIR}
  LIBRARY DESTINATION lib
  ARCHIVE DESTINATION lib)

install(DIRECTORY ${CMAKE_SOURCE_DIR}/framework/include/
  DESTINATION include/VarnetFx
  FILES_MATCHING PATTERN "*.h")
install(FILES
    ${CMAKE_SOURCE_DIR}/dialog/FolderTreeDlg.h
    ${CMAKE_SOURCE_DIR}/dialog/ErrorMessage.h
    ${CMAKE_SOURCE_DIR}/res/resource.h
  DESTINATION include/Varnet)
install(FILES ${CMAKE_SOURCE_DIR}/res/utf8.manifest ${CMAKE_SOURCE_DIR}/res/utf8.rc DESTINATION include/Varnet)
install(FILES ${CMAKE_SOURCE_DIR}/api/varnet.h DESTINATION include)
install(FILES ${CMAKE_BINARY_DIR}/lib/Varnet.lib ${CMAKE_BINARY_DIR}/Varnet.def DESTINATION lib)

# The compiler's run-time DLLs go beside ours: the DLLs need them, and so
# does every host built with the same compiler.
install(FILES ${VARNET_RUNTIME_DLLS} DESTINATION ${VARNET_INSTALL_BINDIR})
install(TARGETS VarnetPick RUNTIME DESTINATION ${VARNET_INSTALL_BINDIR})

install(EXPORT VarnetTargets
  NAMESPACE Varnet::
  FILE VarnetTargets.cmake
  DESTINATION ${VARNET_INSTALL_CMAKEDIR})

# The names of the DLLs a host needs at run time, in bin/ of the package.
set(VARNET_PACKAGE_DLL_NAMES)
foreach(target VarnetFx Varnet)
  get_target_property(prefix ${target} PREFIX)
  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name ${target})
  endif()
  if(NOT prefix)
    set(prefix "")
  endif()
  list(APPEND VARNET_PACKAGE_DLL_NAMES ${prefix}${name}${CMAKE_SHARED_LIBRARY_SUFFIX})
endforeach()
foreach(dll ${VARNET_RUNTIME_DLLS})
  get_filename_component(name "${dll}" NAME)
  list(APPEND VARNET_PACKAGE_DLL_NAMES ${name})
endforeach()

configure_package_config_file(
  ${CMAKE_CURRENT_LIST_DIR}/VarnetConfig.cmake.in
  ${CMAKE_BINARY_DIR}/package/VarnetConfig.cmake
  INSTALL_DESTINATION ${VARNET_INSTALL_CMAKEDIR}
  PATH_VARS VARNET_INSTALL_BINDIR)
# Same major version; the size of a pointer is checked too, so that a host
# of the other architecture is turned away from these DLLs (with both
# packages on its prefix path, a host finds the one of its own).
write_basic_package_version_file(
  ${CMAKE_BINARY_DIR}/package/VarnetConfigVersion.cmake
  VERSION ${PROJECT_VERSION}
  COMPATIBILITY SameMajorVersion)
install(FILES
    ${CMAKE_BINARY_DIR}/package/VarnetConfig.cmake
    ${CMAKE_BINARY_DIR}/package/VarnetConfigVersion.cmake
    ${VARNET_TOOLCHAIN_FILE}
  DESTINATION ${VARNET_INSTALL_CMAKEDIR})
