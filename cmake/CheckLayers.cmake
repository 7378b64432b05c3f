# Run as `cmake -DSOURCE_DIR=... -P CheckLayers.cmake`: fails when a layer includes a header of a
# layer it may not use. Each layer may use itself and the layers listed after it. farhost's rooms
# are layers too, named by their two-level folder (farhost/engine/...).
set(layers
  core
  host:core
  platform:host:core
  xml:core
  framework:platform:host:core
  plugin:framework:xml:platform:host:core
  far2l:platform:host:core
  farhost:platform:host:core
  farhost/engine:platform:host:core
  farhost/files:farhost/engine:platform:host:core
  farhost/session:farhost/files:farhost/engine:platform:host:core
  farhost/screen:farhost/session:farhost/files:farhost/engine:platform:host:core
  farhost/terminal:farhost/screen:farhost/session:farhost/files:farhost/engine:platform:host:core)

set(violations "")
foreach(entry IN LISTS layers)
  string(REPLACE ":" "|" allowed "${entry}")
  string(REGEX REPLACE ":.*" "" layer "${entry}")
  file(GLOB_RECURSE sources "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp")
  # A layer without sources is a misspelt or moved one: its arrows would go unchecked.
  if(NOT sources)
    string(APPEND violations "  ${layer}/ has no sources\n")
  endif()
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[^\"]+\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE ".*\"([^\"]+)\".*" "\\1" header "${line}")
      # In farhost/ a header's layer is its room: farhost/<room>/.
      if(layer MATCHES "^farhost/" AND header MATCHES "^farhost/[a-z]+/")
        string(REGEX MATCH "^farhost/[a-z]+" used "${header}")
      else()
        string(REGEX MATCH "^[a-z]+/" used "${header}")
        string(REGEX REPLACE "/$" "" used "${used}")
      endif()
      if(used AND NOT used MATCHES "^(${allowed})$")
        file(RELATIVE_PATH relative "${SOURCE_DIR}" "${source}")
        string(APPEND violations "  ${relative} includes ${header}\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  message(FATAL_ERROR "Headers from layers that may not be used:\n${violations}")
endif()
message(STATUS "Every layer includes only what it may use")
