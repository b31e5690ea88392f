# The release archive Tessaly-<version>-windows.zip (Windows tree only): the three programs,
# the help file, tsy.exe and a read-me, flat, ready to unpack and install from. Beside it:
# Tessaly-<version>-windows.zip.sha256 (its SHA-256 sum, as sha256sum writes and checks it) and
# Tessaly-<version>-windows-debug.zip, the programs' debug information for crash reports. The
# programs in the release are stripped; each names its debug file (.gnu_debuglink), so a
# debugger given both finds the symbols.
#   cmake --build build/win --target release
# Called at the end of the top directory, once every program's target and help_file exist.
function(tessaly_add_release)
  set(version ${TESSALY_VERSION})
  set(here ${PROJECT_SOURCE_DIR}/setup/release)
  set(bin ${CMAKE_BINARY_DIR}/bin)
  set(stage ${CMAKE_BINARY_DIR}/release)
  set(debug_stage ${CMAKE_BINARY_DIR}/release-debug)
  set(zip ${CMAKE_BINARY_DIR}/Tessaly-${version}-windows.zip)
  set(debug_zip ${CMAKE_BINARY_DIR}/Tessaly-${version}-windows-debug.zip)
  set(sum ${zip}.sha256)

  # Windows users read it in Notepad: CR LF line ends.
  set(TESSALY_VERSION ${version})
  configure_file(${here}/ReadMe.txt ${CMAKE_BINARY_DIR}/ReadMe.txt @ONLY NEWLINE_STYLE CRLF)

  set(help ${bin}/Tessaly.ahp)
  set(programs Tessaly TessalyStartup TessalySetup tsy)
  set(files Tessaly.exe TessalyStartup.exe TessalySetup.exe Tessaly.ahp tsy.exe ReadMe.txt)
  set(strip_commands)
  set(debug_files)
  foreach(program IN LISTS programs)
    set(exe ${stage}/${program}.exe)
    set(debug ${debug_stage}/${program}.exe.debug)
    list(APPEND strip_commands
      COMMAND ${CMAKE_OBJCOPY} --only-keep-debug ${exe} ${debug}
      COMMAND ${CMAKE_STRIP} --strip-all ${exe}
      COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=${debug} ${exe})
    list(APPEND debug_files ${program}.exe.debug)
  endforeach()
  add_custom_command(
    OUTPUT ${zip} ${debug_zip} ${sum}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage} ${debug_stage}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${stage} ${debug_stage}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Tessaly> $<TARGET_FILE:TessalyStartup>
            $<TARGET_FILE:TessalySetup> ${help} $<TARGET_FILE:tsy> ${CMAKE_BINARY_DIR}/ReadMe.txt
            ${stage}
    ${strip_commands}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${zip} ${debug_zip}
    COMMAND ${CMAKE_COMMAND} -E chdir ${stage} ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip
            ${files}
    COMMAND ${CMAKE_COMMAND} -E chdir ${debug_stage} ${CMAKE_COMMAND} -E tar cf ${debug_zip}
            --format=zip ${debug_files}
    COMMAND ${CMAKE_COMMAND} -DFILE=${zip} -DOUT=${sum} -P ${here}/sha256.cmake
    DEPENDS ${programs} help_file ${help} ${CMAKE_BINARY_DIR}/ReadMe.txt ${here}/sha256.cmake
    COMMENT "Packing Tessaly-${version}-windows.zip"
    VERBATIM)
  add_custom_target(release ALL DEPENDS ${zip} ${debug_zip} ${sum})
endfunction()
