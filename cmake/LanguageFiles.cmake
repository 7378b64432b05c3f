# The language and help files every package carries, and how one is copied into a package.
set(WM_LANG_FILES WaymarksEng.lng WaymarksRus.lng WaymarksEng.hlf WaymarksRus.hlf)

# Copies a language or help file into a package folder, the version stamped into help files.
function(waymarks_copy_lang_file file out)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DIN=${PROJECT_SOURCE_DIR}/lang/${file} -DOUT=${out}
      -DVERSION=${PROJECT_VERSION} -P ${PROJECT_SOURCE_DIR}/cmake/StampVersion.cmake
    DEPENDS ${PROJECT_SOURCE_DIR}/lang/${file} ${PROJECT_SOURCE_DIR}/cmake/StampVersion.cmake)
endfunction()
