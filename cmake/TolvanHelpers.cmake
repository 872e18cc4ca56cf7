# Small helpers shared by the folders' CMakeLists.

# Test programs live in build/tests, not in the installation folder.
set(TOLVAN_TEST_DIR ${CMAKE_BINARY_DIR}/tests)

find_package(GTest REQUIRED)
include(GoogleTest)

# tolvan_add_gtest(<target> SOURCES ... LIBS ...)
# Builds a GoogleTest program and registers its cases with CTest. The tests see
# the installation folder through TOLVAN_BIN_DIR.
function(tolvan_add_gtest target)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE GTest::gtest GTest::gtest_main ${ARG_LIBS})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TOLVAN_TEST_DIR})
  target_compile_definitions(${target} PRIVATE
    TOLVAN_BIN_DIR="${TOLVAN_INSTALL_DIR}"
    TOLVAN_TEST_DIR="${TOLVAN_TEST_DIR}"
    TOLVAN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  gtest_discover_tests(${target}
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS "${ARG_LABELS}"
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
