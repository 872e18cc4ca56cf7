# Small helpers shared by the folders' CMakeLists.

# Test programs live in build/tests, not in the installation folder.
set(TOLVAN_TEST_DIR ${CMAKE_BINARY_DIR}/tests)

find_package(GTest REQUIRED)
include(GoogleTest)

# tolvan_add_gtest(<target> SOURCES ... LIBS ... [LABELS ...] [TIMEOUT s] [OWN_MAIN]
#                  [RESOURCE_LOCK name])
# Builds a GoogleTest program and registers its cases with CTest. The tests see
# the installation folder through TOLVAN_BIN_DIR. OWN_MAIN: the sources bring
# their own main() (for instance to create a Qt application first).
# RESOURCE_LOCK: cases of programs naming the same lock never run at the same
# time (for example those whose programs stop others by name).
function(tolvan_add_gtest target)
  cmake_parse_arguments(ARG "OWN_MAIN" "TIMEOUT;RESOURCE_LOCK" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  if(ARG_OWN_MAIN)
    target_link_libraries(${target} PRIVATE GTest::gtest ${ARG_LIBS})
  else()
    target_link_libraries(${target} PRIVATE GTest::gtest GTest::gtest_main ${ARG_LIBS})
  endif()
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TOLVAN_TEST_DIR})
  target_compile_definitions(${target} PRIVATE
    TOLVAN_BIN_DIR="${TOLVAN_INSTALL_DIR}"
    TOLVAN_TEST_DIR="${TOLVAN_TEST_DIR}"
    TOLVAN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  set(lock)
  if(ARG_RESOURCE_LOCK)
    set(lock RESOURCE_LOCK ${ARG_RESOURCE_LOCK})
  endif()
  gtest_discover_tests(${target}
    DISCOVERY_TIMEOUT 60
    DISCOVERY_MODE PRE_TEST
    PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS "${ARG_LABELS}" ${lock}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
