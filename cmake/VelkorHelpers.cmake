# velkor_add_library(name SOURCES ... LIBS ...)
# One library per folder; headers are included rooted at the repository root.
function(velkor_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
endfunction()

# velkor_add_test(name [GUI] [LIBS ...] [SOURCES ...])
# One Qt Test class per file: name.cpp in the current folder. Every test runs
# with its own temporary XDG folders (see tests/support/testenvironment.h) and
# the offscreen platform, so none touches a real home or needs a display.
function(velkor_add_test name)
  cmake_parse_arguments(ARG "GUI" "TIMEOUT" "LIBS;SOURCES" ${ARGN})
  add_executable(${name} ${name}.cpp ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/bin)
  target_link_libraries(${name} PRIVATE Qt6::Test velkor_testsupport ${ARG_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set(timeout 120)
  if(ARG_TIMEOUT)
    set(timeout ${ARG_TIMEOUT})
  endif()
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${timeout}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VELKOR_APP_DIR=${VELKOR_APP_DIR};VELKOR_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endfunction()

# velkor_add_e2e_test(name COMMAND ...): a whole-program test run under Xvfb.
function(velkor_add_e2e_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "COMMAND" ${ARGN})
  add_test(NAME ${name} COMMAND ${ARG_COMMAND})
  set(timeout 180)
  if(ARG_TIMEOUT)
    set(timeout ${ARG_TIMEOUT})
  endif()
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${timeout}
    LABELS e2e
    ENVIRONMENT "VELKOR_APP_DIR=${VELKOR_APP_DIR};VELKOR_ARTIFACTS=${CMAKE_BINARY_DIR}/artifacts")
endfunction()
