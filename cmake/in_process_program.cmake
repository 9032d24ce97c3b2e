# Programs that load the plugin into their own process through the host
# simulator (host/in_process.h): the plugin reads the running game's version from
# the program, so it exports its symbols on POSIX and carries the host's version
# resource on Windows.
function(cw_in_process_program name)
  add_executable(${name} ${ARGN})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE cw_host)
  add_dependencies(${name} Cradlewright)
  if(WIN32)
    target_sources(${name} PRIVATE ${CMAKE_BINARY_DIR}/generated/host_version.rc)
  else()
    set_target_properties(${name} PROPERTIES ENABLE_EXPORTS ON)
  endif()
endfunction()
