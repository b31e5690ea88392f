# Fuzz targets, one declaration for both of their builds.
#
#   tessaly_add_fuzz_target(<name> <source>... [LIBS <library>...] [SEEDS <dir>...] [DICT <file>])
#
# A fuzz target is a source defining LLVMFuzzerTestOneInput; it aborts when what must hold does
# not. Its failing inputs are kept in <this folder>/fuzz/regressions/<name>/ (scripts/fuzz.sh
# writes them there), its starting inputs are the SEEDS folders.
#   Fuzz tree (TESSALY_FUZZ=ON, clang): <name> is a libFuzzer program; <tree>/fuzz-targets/<name>
#                 tells scripts/fuzz.sh where it, its seeds, its dictionary and its regressions are.
#   Native tree:  <name> is the same code over a small main that replays every seed and every
#                 regression input once (tests/fuzz/replay_main.cpp): the ctest entry
#                 <name>_replay, so the test command builds and runs every target.
#   Windows tree: nothing.
include_guard(GLOBAL)

if(TESSALY_FUZZ AND NOT WIN32)
  # A fresh list each time the tree is configured; file(GENERATE) fills it.
  file(REMOVE_RECURSE ${CMAKE_BINARY_DIR}/fuzz-targets)
  add_custom_target(fuzz_targets)
endif()

function(tessaly_add_fuzz_target name)
  if(WIN32)
    return()
  endif()
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "DICT" "LIBS;SEEDS")
  if(NOT arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "tessaly_add_fuzz_target(${name}): no sources")
  endif()
  set(seeds "")
  foreach(dir IN LISTS arg_SEEDS)
    cmake_path(ABSOLUTE_PATH dir BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} NORMALIZE)
    if(NOT IS_DIRECTORY ${dir})
      message(FATAL_ERROR "tessaly_add_fuzz_target(${name}): no seed folder ${dir}")
    endif()
    list(APPEND seeds ${dir})
  endforeach()
  set(dict "")
  if(arg_DICT)
    cmake_path(ABSOLUTE_PATH arg_DICT BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} NORMALIZE
               OUTPUT_VARIABLE dict)
    if(NOT EXISTS ${dict})
      message(FATAL_ERROR "tessaly_add_fuzz_target(${name}): no dictionary ${dict}")
    endif()
  endif()
  set(regressions ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/regressions/${name})

  add_executable(${name} ${arg_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${arg_LIBS} tessaly_fuzz_support)
  if(TESSALY_FUZZ)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    add_dependencies(fuzz_targets ${name})
    string(JOIN "\t" line ${name} $<TARGET_FILE:${name}> ${regressions} "${dict}" "${seeds}")
    file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/fuzz-targets/${name} CONTENT "${line}\n")
  else()
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/fuzz/replay_main.cpp)
    # The regression folder may not exist yet: the replay counts a missing folder as empty.
    add_test(NAME ${name}_replay COMMAND ${name} ${seeds} ${regressions})
    set_tests_properties(${name}_replay PROPERTIES LABELS native TIMEOUT 120)
  endif()
endfunction()
