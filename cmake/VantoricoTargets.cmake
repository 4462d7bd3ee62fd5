# Helpers shared by every folder's CMakeLists.txt.

# vantorico_library(NAME SOURCES... [DEPS targets...])
# Files ending in _win.cpp are compiled only for Windows.
function(vantorico_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;WIN_LIBS" ${ARGN})
  set(srcs)
  foreach(src IN LISTS ARG_SOURCES)
    if(src MATCHES "_win\\.cpp$" AND NOT WIN32)
      continue()
    endif()
    list(APPEND srcs ${src})
  endforeach()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${VANTORICO_WARNINGS})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  if(WIN32 AND ARG_WIN_LIBS)
    target_link_libraries(${name} PUBLIC ${ARG_WIN_LIBS})
  endif()
endfunction()

# vantorico_test(NAME SOURCES... [DEPS targets...] [LABELS ...])
# A GoogleTest executable whose cases ctest discovers at test time (under Wine
# for the win32 configuration, through CMAKE_CROSSCOMPILING_EMULATOR).
function(vantorico_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${VANTORICO_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    VANTORICO_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    VANTORICO_BINARY_DIR="${PROJECT_BINARY_DIR}")
  # Every test has a time limit; labels only where given (an empty LABELS
  # value would swallow the next property name as a label).
  set(properties TIMEOUT 120)
  if(ARG_LABELS)
    list(APPEND properties LABELS "${ARG_LABELS}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES ${properties})
endfunction()
