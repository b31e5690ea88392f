# GoogleTest binaries for both build trees.
#
#   tessaly_add_test(<name> <source>... [LIBS <library>...] [NATIVE_ONLY | WINDOWS_ONLY]
#                    [NO_WINDOWS] [PRINTS] [TIMEOUT <seconds>])
#
# Builds the executable <name> from the sources, linked with GTest::gtest_main and LIBS.
#   Native tree:  every test case becomes its own ctest entry (gtest_discover_tests).
#   Windows tree: the binary is ONE ctest entry named <name>, run through Wine by the
#                 CMAKE_CROSSCOMPILING_EMULATOR (scripts/wine-run.sh), since each Wine start costs
#                 far more than a test case; it also links tessaly_win32_libs.
# NATIVE_ONLY / WINDOWS_ONLY skip the test in the other tree (for example, Win32 window tests are
# WINDOWS_ONLY). Under Wine all test processes share one desktop, and with it the focus and the
# foreground window, so Windows test binaries run one at a time; NO_WINDOWS marks a binary that
# creates no windows, which may then run beside the others. PRINTS marks a binary that sends
# print jobs: Wine's spooler can fail a job started while another process starts one (StartDoc
# returns 0), so those run one at a time too.
# TIMEOUT bounds the whole entry (default: 120 s for a Windows binary, 60 s per case natively).
# Label: "native" or "wine", so `ctest -L wine` picks the Wine tests.
include_guard(GLOBAL)
include(GoogleTest)

function(tessaly_add_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "NATIVE_ONLY;WINDOWS_ONLY;NO_WINDOWS;PRINTS" "TIMEOUT" "LIBS")
  if(arg_NATIVE_ONLY AND arg_WINDOWS_ONLY)
    message(FATAL_ERROR "tessaly_add_test(${name}): NATIVE_ONLY and WINDOWS_ONLY exclude each other")
  endif()
  if((WIN32 AND arg_NATIVE_ONLY) OR (NOT WIN32 AND arg_WINDOWS_ONLY))
    return()
  endif()
  if(NOT arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "tessaly_add_test(${name}): no sources")
  endif()

  add_executable(${name} ${arg_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${arg_LIBS} GTest::gtest_main)

  if(WIN32)
    target_link_libraries(${name} PRIVATE tessaly_win32_libs)
    if(NOT arg_TIMEOUT)
      set(arg_TIMEOUT 120)
    endif()
    # An executable target as COMMAND gets the emulator prepended by add_test.
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
    # The runner's own limit ends Wine first; ctest's is the backstop.
    math(EXPR backstop "${arg_TIMEOUT} + 15")
    set_tests_properties(${name} PROPERTIES TIMEOUT ${backstop} LABELS wine
                         ENVIRONMENT TESSALY_WINE_TIMEOUT=${arg_TIMEOUT})
    set(locks "")
    if(NOT arg_NO_WINDOWS)
      list(APPEND locks wine_desktop)
    endif()
    if(arg_PRINTS)
      list(APPEND locks wine_spooler)
    endif()
    if(locks)
      set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${locks}")
    endif()
  else()
    if(NOT arg_TIMEOUT)
      set(arg_TIMEOUT 60)
    endif()
    # PRE_TEST: listing the cases waits for ctest, so a build never runs test binaries.
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT ${arg_TIMEOUT}
                         LABELS native)
  endif()
endfunction()
