# The archive for mod authors, Cradlewright-<version>-scripts.zip: the natives'
# script declarations under Source/Scripts/ (the Special Edition's layout) and a
# short text on using them; the host programs with the plugin beside them, which
# run compiled scripts and their tests outside the game, and a text on writing
# tests. Kept apart from the players' archive: the mod ships its own scripts of
# these names, and a second copy would overwrite them.
set(CW_SCRIPTS_ZIP ${CW_PACKAGE_DIR}/${PROJECT_NAME}-${PROJECT_VERSION}${CW_VERSION_SUFFIX}-scripts.zip)
set(cw_scripts_root ${CMAKE_BINARY_DIR}/scripts-package-root)
set(cw_scripts_text ${CMAKE_BINARY_DIR}/generated/Cradlewright-scripts.txt)
set(cw_testing_text ${CMAKE_BINARY_DIR}/generated/Cradlewright-testing.txt)
configure_file(${CMAKE_SOURCE_DIR}/docs/scripts-archive.txt.in ${cw_scripts_text} @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/docs/testing-scripts.txt.in ${cw_testing_text} @ONLY)
# The host programs go without their debug sections; the plugin is stripped right
# after linking already and stays the very DLL the tests load.
set(cw_scripts_programs $<TARGET_FILE:Cradlewright>)
set(cw_scripts_host_names)
foreach(program ${CW_HOST_PROGRAMS})
  list(APPEND cw_scripts_programs $<TARGET_FILE:${program}>)
  list(APPEND cw_scripts_host_names $<TARGET_FILE_NAME:${program}>)
endforeach()
add_custom_command(OUTPUT ${CW_SCRIPTS_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${cw_scripts_root}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${cw_scripts_root} ${CW_PACKAGE_DIR}
  # A target name: the cross build runs it through its emulator (wine).
  COMMAND cradlewright-host declarations ${cw_scripts_root}/Source/Scripts
  COMMAND ${CMAKE_COMMAND} -E copy ${cw_scripts_text} ${cw_testing_text} ${cw_scripts_programs}
          ${cw_scripts_root}/
  COMMAND ${CMAKE_COMMAND} -E chdir ${cw_scripts_root}
          ${CW_LLVM_STRIP} --strip-debug ${cw_scripts_host_names}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${CW_SCRIPTS_ZIP}
  COMMAND ${CMAKE_COMMAND} -E chdir ${cw_scripts_root}
          ${CMAKE_COMMAND} -E tar cf ${CW_SCRIPTS_ZIP} --format=zip Source Cradlewright-scripts.txt
          Cradlewright-testing.txt $<TARGET_FILE_NAME:Cradlewright> ${cw_scripts_host_names}
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  DEPENDS ${CW_HOST_PROGRAMS} Cradlewright ${cw_scripts_text} ${cw_testing_text}
  COMMENT "Mod authors' archive ${CW_SCRIPTS_ZIP}"
  VERBATIM)
add_custom_target(cw_scripts_package ALL DEPENDS ${CW_SCRIPTS_ZIP})
