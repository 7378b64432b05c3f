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
