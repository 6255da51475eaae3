# Checks that the includes of the core point down only:
#   screens -> world -> match -> club
# A file under club/, match/ or world/ may include only its own folder and the
# folders below it, never screens/ or tools/ (or tests/, bench/), never a Qt
# header (<QString>, <QtCore/...>, <qglobal.h>) and never SDL: the core builds
# and is tested on a machine without a window toolkit.
#   cmake -DSRC=<source dir> -P check_layers.cmake
# Every violation is listed as "file:line: what and why"; any violation fails.
cmake_minimum_required(VERSION 3.22)

if(NOT SRC)
  message(FATAL_ERROR "usage: cmake -DSRC=<source dir> -P check_layers.cmake")
endif()
cmake_path(ABSOLUTE_PATH SRC NORMALIZE OUTPUT_VARIABLE root)
string(REGEX REPLACE "/$" "" root "${root}")

# The folders each core folder may include, lowest layer first.
set(allowed_club club)
set(allowed_match club match)
set(allowed_world club match world)
set(core_layers club match world)

set(violations "")
set(files_checked 0)

# The folder a quoted or angled include names, resolved as the compiler does:
# a quoted path first beside the including file, then from the source root
# (the one include directory of the core). Sets `layer` to the first folder
# below the root, "" for a header outside the tree (the standard library).
function(include_layer includer path quoted)
  cmake_path(GET includer PARENT_PATH dir)
  set(candidates "")
  if(quoted)
    list(APPEND candidates "${dir}/${path}")
  endif()
  list(APPEND candidates "${root}/${path}")
  set(found "")
  foreach(c IN LISTS candidates)
    cmake_path(NORMAL_PATH c)
    if(EXISTS "${c}")
      set(found "${c}")
      break()
    endif()
  endforeach()
  if(found)
    cmake_path(IS_PREFIX root "${found}" NORMALIZE inside)
    if(NOT inside)
      set(layer "" PARENT_SCOPE)
      return()
    endif()
    file(RELATIVE_PATH rel "${root}" "${found}")
  elseif(quoted)
    # A quoted include that names no file yet still says where it points.
    set(rel "${path}")
    cmake_path(NORMAL_PATH rel)
  else()
    set(layer "" PARENT_SCOPE)
    return()
  endif()
  string(REGEX MATCH "^[^/]+/" first "${rel}")
  if(first)
    string(REGEX REPLACE "/$" "" first "${first}")
    set(layer "${first}/" PARENT_SCOPE)
  elseif(found)
    set(layer "the top folder" PARENT_SCOPE)
  else()
    # "name.h" found nowhere: a system header in quotes, or a typo the
    # compiler reports; either way it points into no layer.
    set(layer "" PARENT_SCOPE)
  endif()
endfunction()

foreach(folder IN LISTS core_layers)
  file(GLOB_RECURSE sources LIST_DIRECTORIES false
    "${root}/${folder}/*.h" "${root}/${folder}/*.hpp" "${root}/${folder}/*.cpp"
    "${root}/${folder}/*.cc" "${root}/${folder}/*.inc")
  list(SORT sources)
  foreach(source IN LISTS sources)
    math(EXPR files_checked "${files_checked} + 1")
    file(RELATIVE_PATH shown "${root}" "${source}")
    # One list element per line. Characters that CMake lists treat specially
    # (";", "\\", "[", "]") never occur in an include path; they become blanks
    # so that line numbers stay exact.
    file(READ "${source}" text)
    string(REGEX REPLACE "[][;\\\r]" " " text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    set(n 0)
    foreach(line IN LISTS lines)
      math(EXPR n "${n} + 1")
      if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*([<\"])([^>\"]+)[>\"]")
        continue()
      endif()
      set(open "${CMAKE_MATCH_1}")
      set(path "${CMAKE_MATCH_2}")
      if(open STREQUAL "<" AND path MATCHES "^(Q|Qt|q[a-z]+\\.h$)")
        list(APPEND violations "${shown}:${n}: includes the Qt header <${path}>, but Qt belongs in screens/ only")
        continue()
      endif()
      if(open STREQUAL "<" AND path MATCHES "^SDL")
        list(APPEND violations "${shown}:${n}: includes the SDL header <${path}>, but sound output belongs in screens/ only")
        continue()
      endif()
      if(open STREQUAL "\"")
        set(quoted TRUE)
      else()
        set(quoted FALSE)
      endif()
      include_layer("${source}" "${path}" ${quoted})
      if(layer STREQUAL "")
        continue()
      endif()
      string(REGEX REPLACE "/$" "" named "${layer}")
      if(NOT named IN_LIST allowed_${folder})
        string(REPLACE ";" "/, " may "${allowed_${folder}}")
        list(APPEND violations "${shown}:${n}: includes \"${path}\" from ${layer}, but ${folder}/ may use only ${may}/")
      endif()
    endforeach()
  endforeach()
endforeach()

if(files_checked EQUAL 0)
  message(FATAL_ERROR "no core sources found under ${root}")
endif()
if(violations)
  list(LENGTH violations count)
  string(REPLACE ";" "\n  " listed "${violations}")
  message(FATAL_ERROR "${count} include(s) break the layers (screens -> world -> match -> club):\n  ${listed}")
endif()
message(STATUS "${files_checked} core files include only their own layer and the layers below")
