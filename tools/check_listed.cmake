# Fails when a source file (.h, .cpp) in a built folder is in no target's
# list, so that a new unit or test file is never left out of the build
# unnoticed. The lists are written by the top-level CMakeLists.txt.
#   cmake -DSRC=<source dir> -DLISTED=<listed-sources.txt> -DFOLDERS=<listed-folders.txt> -P check_listed.cmake
cmake_minimum_required(VERSION 3.22)

file(STRINGS ${LISTED} listed)
file(STRINGS ${FOLDERS} folders)
set(missing "")
set(count 0)
foreach(folder IN LISTS folders)
  file(GLOB on_disk LIST_DIRECTORIES false ${SRC}/${folder}/*.h ${SRC}/${folder}/*.cpp)
  list(SORT on_disk)
  foreach(file IN LISTS on_disk)
    math(EXPR count "${count} + 1")
    if(NOT file IN_LIST listed)
      file(RELATIVE_PATH shown ${SRC} ${file})
      list(APPEND missing "${shown} (add it to ${folder}/CMakeLists.txt)")
    endif()
  endforeach()
endforeach()
if(missing)
  string(REPLACE ";" "\n  " missing "${missing}")
  message(FATAL_ERROR "source files in no build list:\n  ${missing}")
endif()
message(STATUS "all ${count} source files are listed")
