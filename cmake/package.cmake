# The release archive: its root is the game's Data folder, the layout that mod
# managers install as it is. Built with the plugin, so the tests check the archive
# that `make package` hands out, holding the very DLL that the tests load.
set(CW_PACKAGE_DIR ${CMAKE_BINARY_DIR}/package CACHE PATH "Folder of the release archive")
set(CW_PACKAGE_ZIP ${CW_PACKAGE_DIR}/${PROJECT_NAME}-${PROJECT_VERSION}${CW_VERSION_SUFFIX}.zip)
set(cw_package_root ${CMAKE_BINARY_DIR}/package-root)
set(cw_plugin_pdb $<TARGET_FILE_DIR:Cradlewright>/$<TARGET_FILE_BASE_NAME:Cradlewright>.pdb)
# Beside the plugin, under names no other mod uses: a short readme for players and
# the licence, with Windows line ends.
set(cw_player_readme ${CMAKE_BINARY_DIR}/generated/package/Cradlewright-README.txt)
set(cw_player_licence ${CMAKE_BINARY_DIR}/generated/package/Cradlewright-LICENSE.txt)
configure_file(${CMAKE_SOURCE_DIR}/cmake/player_readme.txt.in ${cw_player_readme} @ONLY
               NEWLINE_STYLE CRLF)
configure_file(${CMAKE_SOURCE_DIR}/LICENSE ${cw_player_licence} @ONLY NEWLINE_STYLE CRLF)
add_custom_command(OUTPUT ${CW_PACKAGE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${cw_package_root}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${cw_package_root}/SKSE/Plugins ${CW_PACKAGE_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Cradlewright> ${cw_plugin_pdb}
          ${cw_player_readme} ${cw_player_licence} ${cw_package_root}/SKSE/Plugins/
  COMMAND ${CMAKE_COMMAND} -E rm -f ${CW_PACKAGE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E chdir ${cw_package_root}
          ${CMAKE_COMMAND} -E tar cf ${CW_PACKAGE_ZIP} --format=zip SKSE
  DEPENDS Cradlewright ${cw_player_readme} ${cw_player_licence}
  COMMENT "Release archive ${CW_PACKAGE_ZIP}"
  VERBATIM)
add_custom_target(cw_package ALL DEPENDS ${CW_PACKAGE_ZIP})
