# Windows link libraries for the Tessaly programs and Win32 tests.
#
#   target_link_libraries(<target> PRIVATE tessaly_win32_libs)
#
# MinGW ignores `#pragma comment(lib, ...)`, so every Win32 library a program calls into is named
# here once. ${TESSALY_WIN32_LIBS} holds the same list for plain use. Defined in the Windows tree only.
if(NOT WIN32)
  return()
endif()

# The three programs (and the test binaries) land together in <build tree>/bin, ready to copy.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

set(TESSALY_WIN32_LIBS comctl32 gdi32 comdlg32 shell32 ole32 uuid winspool version advapi32)

# The printing DLLs (comdlg32 pulls in winspool and compstui) cost every start of the editor a
# tenth of a minimal dialog's start-up under Wine, though only a printout needs them. The shell
# and COM (shell32 brings shlwapi and shcore, ole32 combase and rpcrt4) cost another 7% before
# the program's first line runs, though only the special-folder lookup, the folder browser and
# the installer's shortcuts call them. These import libraries resolve their functions on the
# first call instead (delay-load, helper in libmingwex); linked ahead of the ordinary ones, they
# take every function they list.
set(TESSALY_DELAYLOAD_LIBS)
find_program(TESSALY_DLLTOOL NAMES ${TESSALY_MINGW_TRIPLE}-dlltool dlltool)
foreach(dll comdlg32.dll winspool.drv shell32.dll ole32.dll)
  get_filename_component(name ${dll} NAME_WE)
  find_library(TESSALY_IMPORT_LIB_${name} NAMES ${name})
  set(delaylib ${CMAKE_BINARY_DIR}/delayload/lib${name}_delay.a)
  if(TESSALY_DLLTOOL AND TESSALY_IMPORT_LIB_${name} AND NOT EXISTS ${delaylib})
    execute_process(COMMAND ${CMAKE_NM} --defined-only ${TESSALY_IMPORT_LIB_${name}}
                    OUTPUT_VARIABLE symbols)
    string(REGEX MATCHALL "[0-9a-fA-F]+ T ([A-Za-z0-9_]+)" functions "${symbols}")
    list(TRANSFORM functions REPLACE "^[0-9a-fA-F]+ T " "")
    list(JOIN functions "\n" exports)
    file(WRITE ${CMAKE_BINARY_DIR}/delayload/${name}.def "LIBRARY ${dll}\nEXPORTS\n${exports}\n")
    execute_process(COMMAND ${TESSALY_DLLTOOL} --input-def ${CMAKE_BINARY_DIR}/delayload/${name}.def
                            --dllname ${dll} --output-delaylib ${delaylib}
                    RESULT_VARIABLE failed)
  endif()
  if(EXISTS ${delaylib})
    list(APPEND TESSALY_DELAYLOAD_LIBS ${delaylib})
  endif()
endforeach()

add_library(tessaly_win32_libs INTERFACE)
target_link_libraries(tessaly_win32_libs INTERFACE ${TESSALY_DELAYLOAD_LIBS} ${TESSALY_WIN32_LIBS})
# std::min and std::max stay usable after <windows.h>.
target_compile_definitions(tessaly_win32_libs INTERFACE NOMINMAX)
