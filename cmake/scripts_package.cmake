# The archive for mod authors, Cradlewright-<version>-scripts.zip: the natives'
# script declarations under Source/Scripts/ (the Special Edition's layout) and a
# short text on using them. Kept apart from the players' archive: the mod ships
# its own scripts of these names, and a second copy would overwrite them.
set(CW_SCRIPTS_ZIP ${CW_PACKAGE_DIR}/${PROJECT_NAME}-${PROJECT_VERSION}${CW_VERSION_SUFFIX}-scripts.zip)
set(cw_scripts_root ${CMAKE_BINARY_DIR}/scripts-package-root)
set(cw_scripts_text ${CMAKE_BINARY_DIR}/generated/Cradlewright-scripts.txt)
configure_file(${CMAKE_SOURCE_DIR}/docs/scripts-archive.txt.in ${cw_scripts_text} @ONLY)
add_custom_command(OUTPUT ${CW_SCRIPTS_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${cw_scripts_root}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${cw_scripts_root} ${CW_PACKAGE_DIR}
  # A target name: the cross build runs it through its emulator (wine).
  COMMAND cradlewright-host declarations ${cw_scripts_root}/Source/Scripts
  COMMAND ${CMAKE_COMMAND} -E copy ${cw_scripts_text} ${cw_scripts_root}/Cradlewright-scripts.txt
  COMMAND ${CMAKE_COMMAND} -E rm -f ${CW_SCRIPTS_ZIP}
  COMMAND ${CMAKE_COMMAND} -E chdir ${cw_scripts_root}
          ${CMAKE_COMMAND} -E tar cf ${CW_SCRIPTS_ZIP} --format=zip Source Cradlewright-scripts.txt
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  DEPENDS cradlewright-host ${cw_scripts_text}
  COMMENT "Script declarations archive ${CW_SCRIPTS_ZIP}"
  VERBATIM)
add_custom_target(cw_scripts_package ALL DEPENDS ${CW_SCRIPTS_ZIP})
