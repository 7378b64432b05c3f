# Run as `cmake -DSOURCE_DIR=... -P CheckLayers.cmake`: fails when a layer includes a header of a
# layer it may not use. Each layer may use itself and the layers listed after it.
set(layers
  core
  host:core
  platform:host:core
  xml:core
  framework:platform:host:core
  plugin:framework:xml:platform:host:core
  far2l:platform:host:core
  farhost:platform:host:core)

set(violations "")
foreach(entry IN LISTS layers)
  string(REPLACE ":" "|" allowed "${entry}")
  string(REGEX REPLACE ":.*" "" layer "${entry}")
  file(GLOB_RECURSE sources "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp")
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[^\"]+\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE ".*\"([^\"]+)\".*" "\\1" header "${line}")
      if(header MATCHES "^([a-z]+)/" AND NOT header MATCHES "^(${allowed})/")
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
