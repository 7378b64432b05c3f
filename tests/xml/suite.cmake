# The differential test against expat: native builds only (mingw-w64 has no expat).
if(NOT CMAKE_CROSSCOMPILING)
  find_package(EXPAT)
  if(EXPAT_FOUND)
    waymarks_add_test(xml_expat_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/expat/ExpatDifferentialTest.cpp
      LIBS wm_xml EXPAT::EXPAT)
  else()
    message(WARNING "expat not found (libexpat1-dev): the XML differential test is not built")
  endif()
endif()

# Documents in declared code pages are read through the platform's decoder, as the plugin reads
# them.
if(TARGET xml_tests)
  target_link_libraries(xml_tests PRIVATE wm_platform)
endif()
