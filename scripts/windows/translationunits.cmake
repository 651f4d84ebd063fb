# Lists the translation units of the program, the headless runner and the
# writer of the shareable copy as the Linux build compiles them, for the
# Windows compile check:
#
#   cmake -DCOMMANDS=build/compile_commands.json -DSOURCE_DIR=. -DOUT=DIR -P translationunits.cmake
#
# Every file of src/, batch/ and shareable/ and of every folder below them
# that the build compiles is taken, and with
# them the moc output (the targets' mocs_compilation.cpp) of every target
# those files belong to; the uic headers come along through the include
# folders. For each unit it writes DIR/N.args: the source file on the
# first line, then the compiler's arguments as the build gives them, one per
# line, the compiler itself left out. A new source file is in the build's
# list as soon as CMake's globs see it, so it is picked up here too.

cmake_minimum_required(VERSION 3.19) # string(JSON)

foreach(required COMMANDS SOURCE_DIR OUT)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "${required} is not set")
  endif()
endforeach()
get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)
file(READ "${COMMANDS}" json)
string(JSON count LENGTH "${json}")
math(EXPR last "${count} - 1")

# The folders taken, with every folder below them.
set(own_folders src batch shareable)

# The entries as (file, target, argument list); the target is read from the
# object path CMake gives every file: CMakeFiles/<target>.dir/...
set(files "")
set(own_targets "")
foreach(index RANGE ${last})
  string(JSON file GET "${json}" ${index} file)
  string(JSON command GET "${json}" ${index} command)
  separate_arguments(arguments UNIX_COMMAND "${command}")
  list(FIND arguments "-o" at)
  math(EXPR at "${at} + 1")
  list(GET arguments ${at} object)
  string(REGEX REPLACE "^(.*/)?CMakeFiles/([^/]+)\\.dir/.*$" "\\2" target "${object}")
  set(entry_${index}_file "${file}")
  set(entry_${index}_target "${target}")
  set(entry_${index}_arguments "${arguments}")
  get_filename_component(folder "${file}" DIRECTORY)
  set(entry_${index}_own FALSE)
  file(RELATIVE_PATH relative_folder "${SOURCE_DIR}" "${folder}")
  string(REGEX MATCH "^[^/]+" top_folder "${relative_folder}")
  if(top_folder IN_LIST own_folders)
    set(entry_${index}_own TRUE)
    list(APPEND own_targets "${target}")
  endif()
endforeach()

file(REMOVE_RECURSE "${OUT}")
file(MAKE_DIRECTORY "${OUT}")
set(written "")
set(number 0)
foreach(index RANGE ${last})
  set(file "${entry_${index}_file}")
  set(target "${entry_${index}_target}")
  set(take FALSE)
  get_filename_component(name "${file}" NAME)
  get_filename_component(folder "${file}" DIRECTORY)
  get_filename_component(folder "${folder}" NAME)
  if(entry_${index}_own)
    set(take TRUE)
  elseif(name STREQUAL "mocs_compilation.cpp" AND folder STREQUAL "${target}_autogen" AND target IN_LIST own_targets)
    set(take TRUE)
  endif()
  # A file compiled into two targets (the probe's line format) is checked once.
  if(NOT take OR file IN_LIST written)
    continue()
  endif()
  list(APPEND written "${file}")

  set(arguments "${entry_${index}_arguments}")
  # The compiler (after a launcher such as ccache) and the object and source
  # arguments are the check's own business.
  set(kept "")
  set(skip_next FALSE)
  foreach(argument IN LISTS arguments)
    if(skip_next)
      set(skip_next FALSE)
    elseif(argument STREQUAL "-o" OR argument STREQUAL "-c" OR argument STREQUAL "-MF" OR argument STREQUAL "-MT")
      set(skip_next TRUE)
    elseif(argument MATCHES "^-")
      list(APPEND kept "${argument}")
    elseif(kept)
      # A value of the option before it, such as the folder after -isystem.
      list(APPEND kept "${argument}")
    endif()
  endforeach()

  get_filename_component(folder "${file}" DIRECTORY)
  if(name STREQUAL "main.cpp" AND entry_${index}_own)
    set("main_arguments_${folder}" "${kept}")
  endif()
  math(EXPR number "${number} + 1")
  string(REPLACE ";" "\n" lines "${kept}")
  file(WRITE "${OUT}/${number}.args" "${file}\n${lines}\n")
endforeach()

# Files the Linux build leaves out because they serve Windows only (the entry
# stub) belong to the program of their folder: they get the arguments of
# the main.cpp beside them.
foreach(own_folder IN LISTS own_folders)
  file(GLOB_RECURSE sources "${SOURCE_DIR}/${own_folder}/*.cpp")
  foreach(file IN LISTS sources)
    if(file IN_LIST written)
      continue()
    endif()
    get_filename_component(folder "${file}" DIRECTORY)
    if(NOT DEFINED "main_arguments_${folder}")
      file(RELATIVE_PATH relative_folder "${SOURCE_DIR}" "${folder}")
      message(FATAL_ERROR "${file} is not built on Linux and ${relative_folder}/main.cpp gives no arguments for it")
    endif()
    math(EXPR number "${number} + 1")
    string(REPLACE ";" "\n" lines "${main_arguments_${folder}}")
    file(WRITE "${OUT}/${number}.args" "${file}\n${lines}\n")
  endforeach()
endforeach()

if(number EQUAL 0)
  message(FATAL_ERROR "no file of ${own_folders} in ${COMMANDS}")
endif()
message(STATUS "${number} translation units")
