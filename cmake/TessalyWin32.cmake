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
add_library(tessaly_win32_libs INTERFACE)
target_link_libraries(tessaly_win32_libs INTERFACE ${TESSALY_WIN32_LIBS})
# std::min and std::max stay usable after <windows.h>.
target_compile_definitions(tessaly_win32_libs INTERFACE NOMINMAX)
