# Facts that hold for one side only: the stand-in's database and XDG folders, or the real shell.
if(TARGET registry_tests)
  if(WIN32)
    file(GLOB registry_side_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/win32/*.cpp)
  else()
    file(GLOB registry_side_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/posix/*.cpp)
  endif()
  target_sources(registry_tests PRIVATE ${registry_side_tests})
endif()
