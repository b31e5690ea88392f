# The release archive Tessaly-<version>-windows.zip (Windows tree only): the three programs,
# the help file, tsy.exe and a read-me, flat, ready to unpack and install from.
#   cmake --build build/win --target release
# Called at the end of the top directory, once every program's target and help_file exist.
function(tessaly_add_release)
  set(version 3.03)
  set(here ${PROJECT_SOURCE_DIR}/setup/release)
  set(bin ${CMAKE_BINARY_DIR}/bin)
  set(stage ${CMAKE_BINARY_DIR}/release)
  set(zip ${CMAKE_BINARY_DIR}/Tessaly-${version}-windows.zip)

  # Windows users read it in Notepad: CR LF line ends.
  set(TESSALY_VERSION ${version})
  configure_file(${here}/ReadMe.txt ${CMAKE_BINARY_DIR}/ReadMe.txt @ONLY NEWLINE_STYLE CRLF)

  set(help ${bin}/Tessaly.ahp)
  set(programs Tessaly TessalyStartup TessalySetup tsy)
  set(files Tessaly.exe TessalyStartup.exe TessalySetup.exe Tessaly.ahp tsy.exe ReadMe.txt)
  add_custom_command(
    OUTPUT ${zip}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Tessaly> $<TARGET_FILE:TessalyStartup>
            $<TARGET_FILE:TessalySetup> ${help} $<TARGET_FILE:tsy> ${CMAKE_BINARY_DIR}/ReadMe.txt
            ${stage}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${zip}
    COMMAND ${CMAKE_COMMAND} -E chdir ${stage} ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip
            ${files}
    DEPENDS ${programs} help_file ${help} ${CMAKE_BINARY_DIR}/ReadMe.txt
    COMMENT "Packing Tessaly-${version}-windows.zip"
    VERBATIM)
  add_custom_target(release ALL DEPENDS ${zip})
endfunction()
