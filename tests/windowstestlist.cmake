# Holds the README's list of the test programs that do not run under Wine
# against the one in tests/CMakeLists.txt (LIST: the programs that need
# Linux, one "name: reason" a line): the same programs, each with the same
# reason.
#   cmake -DLIST=FILE -DREADME=README.md -P windowstestlist.cmake

file(READ "${README}" readme)

# The items under heading in the README, as "name: reason".
function(readme_list heading variable)
  string(FIND "${readme}" "${heading}" start)
  if(start EQUAL -1)
    message(FATAL_ERROR "README.md has no line \"${heading}\"")
  endif()
  string(LENGTH "${heading}" length)
  math(EXPR start "${start} + ${length}")
  string(SUBSTRING "${readme}" ${start} -1 section)
  # The list ends at the first empty line.
  string(FIND "${section}" "\n\n" end)
  if(NOT end EQUAL -1)
    string(SUBSTRING "${section}" 0 ${end} section)
  endif()
  # An item may go on over several lines; each begins with "- `name`: ".
  string(REGEX REPLACE "\n  +" " " section "${section}")
  string(REPLACE ";" "," section "${section}")
  string(REPLACE "\n" ";" lines "${section}")
  set(documented)
  foreach(line ${lines})
    if(line STREQUAL "")
      continue()
    endif()
    if(NOT line MATCHES "^- `(tst_[a-z0-9_]+)`: (.*)\\.$")
      message(FATAL_ERROR "README.md: not an item of the list: ${line}")
    endif()
    list(APPEND documented "${CMAKE_MATCH_1}: ${CMAKE_MATCH_2}")
  endforeach()
  set(${variable} ${documented} PARENT_SCOPE)
endfunction()

set(problems)
# Adds to problems the entries of the first list that the second lacks,
# each after the label.
macro(entries_missing label first second)
  foreach(entry ${${first}})
    list(FIND ${second} "${entry}" found)
    if(found EQUAL -1)
      list(APPEND problems "${label}: ${entry}")
    endif()
  endforeach()
endmacro()
# Adds to problems what differs between the file's list and the README's.
function(compare_lists file heading)
  readme_list("${heading}" documented)
  file(STRINGS "${file}" listed)
  entries_missing("not in the README as listed in tests/CMakeLists.txt" listed documented)
  entries_missing("in the README but not so in tests/CMakeLists.txt" documented listed)
  list(LENGTH listed count)
  message(STATUS "README.md: ${count} test programs under \"${heading}\"")
  set(problems ${problems} PARENT_SCOPE)
endfunction()

compare_lists("${LIST}" "The test programs the Windows build leaves out, each with the piece of Linux it needs:")
if(problems)
  string(REPLACE ";" "\n" problems "${problems}")
  message(FATAL_ERROR "${problems}")
endif()
