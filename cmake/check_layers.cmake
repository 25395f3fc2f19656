# Fails when a source file under src/ includes a header of a higher layer.
# The layers, lowest first; a folder may include its own headers and those
# of the folders before it.
#   cmake -DSRC=<source dir>/src -P check_layers.cmake
set(LAYERS format core model structure connectivity databank local_axes output report app)

file(GLOB_RECURSE files RELATIVE ${SRC} ${SRC}/*.hpp ${SRC}/*.cpp)
set(bad "")
foreach(f ${files})
  string(REGEX MATCH "^[^/]+" folder "${f}")
  list(FIND LAYERS "${folder}" own)
  if(own EQUAL -1)
    string(APPEND bad "  ${f}: folder ${folder} is not a layer\n")
    continue()
  endif()
  file(STRINGS ${SRC}/${f} includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[^\"]+\"")
  foreach(line ${includes})
    string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*$" "\\1" header "${line}")
    string(REGEX MATCH "^[^/]+" target "${header}")
    list(FIND LAYERS "${target}" rank)
    if(rank EQUAL -1 OR rank GREATER own)
      string(APPEND bad "  ${f} includes ${header}\n")
    endif()
  endforeach()
endforeach()

if(bad)
  message(FATAL_ERROR "Includes must run downward (${LAYERS}):\n${bad}")
endif()
