cmake_minimum_required(VERSION 3.25)
# Fails the build when a source of one layer includes a header of a layer it
# does not build on. Run with -DLAYERS=<file written by the configure step>
# -DSRC=<the src folder>. Each line of LAYERS is "<folder>=<folder>;<folder>...",
# the folders whose headers that layer may include (its own and those of
# every layer below it).
file(STRINGS "${LAYERS}" lines)
set(faults "")
foreach(line IN LISTS lines)
  string(REGEX MATCH "^([^=]+)=(.*)$" _ "${line}")
  set(folder "${CMAKE_MATCH_1}")
  string(REPLACE "," ";" allowed "${CMAKE_MATCH_2}")
  file(GLOB sources "${SRC}/${folder}/*.cpp" "${SRC}/${folder}/*.h")
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" includes REGEX "^#include \"[^\"]+\"")
    foreach(inc IN LISTS includes)
      string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" header "${inc}")
      get_filename_component(owner "${header}" DIRECTORY)
      if(owner STREQUAL "" OR NOT EXISTS "${SRC}/${header}")
        continue()  # a header beside the source, or a library's
      endif()
      if(NOT owner IN_LIST allowed)
        file(RELATIVE_PATH shown "${SRC}" "${source}")
        list(APPEND faults "src/${shown} includes ${header}: layer ${folder} does not build on ${owner}")
      endif()
    endforeach()
  endforeach()
endforeach()
if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "Headers of a layer below are all a layer may include:\n  ${text}")
endif()
