# The layering of src/, checked against the libraries the build makes:
#
#   cmake -DLAYERS=build/layers.txt -DSOURCE_DIR=. -P layers.cmake
#
# LAYERS lists each folder of src/ that is a library, with the folders it
# links and the files of the folder it leaves out, which belong to a program
# ("app|records;installation|main.cpp;winmain.cpp"). Fails when a folder of
# src/ is no library or a file stands in src/ itself (either would be built
# into nothing), when the folders use one another in a circle, or when a
# file includes a header of a folder its library does not reach: static
# libraries would still link in the programs, which link everything, and the
# layering would be gone unnoticed.

cmake_minimum_required(VERSION 3.16)

foreach(required LAYERS SOURCE_DIR)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "${required} is not set")
  endif()
endforeach()
get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)

file(STRINGS "${LAYERS}" entries)
set(folders "")
foreach(entry IN LISTS entries)
  string(REGEX REPLACE "\\|.*$" "" folder "${entry}")
  string(REGEX REPLACE "^[^|]*\\|([^|]*)\\|.*$" "\\1" uses "${entry}")
  string(REGEX REPLACE "^[^|]*\\|[^|]*\\|" "" left_out "${entry}")
  list(APPEND folders ${folder})
  set(uses_${folder} ${uses})
  set(left_out_${folder} ${left_out})
endforeach()

file(GLOB children LIST_DIRECTORIES true RELATIVE "${SOURCE_DIR}/src" "${SOURCE_DIR}/src/*")
foreach(child IN LISTS children)
  if(IS_DIRECTORY "${SOURCE_DIR}/src/${child}" AND NOT child IN_LIST folders)
    message(FATAL_ERROR "src/${child} is no library: give it a support_layer line in src/CMakeLists.txt")
  elseif(NOT IS_DIRECTORY "${SOURCE_DIR}/src/${child}" AND NOT child STREQUAL "CMakeLists.txt")
    message(FATAL_ERROR "src/${child} is in no folder, so no library builds it")
  endif()
endforeach()

set(failures "")
foreach(folder IN LISTS folders)
  # Every folder the library reaches, through the layers it links.
  set(reached "")
  set(pending ${uses_${folder}})
  while(pending)
    list(POP_FRONT pending next)
    if(NOT next IN_LIST reached)
      list(APPEND reached ${next})
      list(APPEND pending ${uses_${next}})
    endif()
  endwhile()
  if(folder IN_LIST reached)
    list(APPEND failures "src/${folder} uses itself through the layers it links")
  endif()

  file(GLOB sources "${SOURCE_DIR}/src/${folder}/*.cpp" "${SOURCE_DIR}/src/${folder}/*.h")
  foreach(source IN LISTS sources)
    get_filename_component(name "${source}" NAME)
    if(name IN_LIST left_out_${folder})
      continue()
    endif()
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[^\"/]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[^\"]*\"([^\"/]+)/.*$" "\\1" used "${line}")
      if(NOT used STREQUAL folder AND NOT used IN_LIST reached)
        file(RELATIVE_PATH name "${SOURCE_DIR}" "${source}")
        list(APPEND failures "${name} includes ${used}/, which src/${folder} does not link")
      endif()
    endforeach()
  endforeach()
endforeach()

if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "${text}")
endif()
list(LENGTH folders count)
message(STATUS "${count} layers, each including only the layers it links")
