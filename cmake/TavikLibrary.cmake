# tavik_add_library(NAME DIR [DEPS ...]): a static library of every .cpp in the
# current source folder, with src/ on the include path so code includes
# "astro/DateTime.h" and the like.
function(tavik_add_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  if(_sources)
    add_library(${name} STATIC ${_sources})
    target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# tavik_add_test(NAME [DEPS ...]): one GoogleTest executable of every .cpp in the
# current test folder, its cases registered with CTest.
function(tavik_add_test name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  if(NOT _sources)
    return()
  endif()
  add_executable(${name} ${_sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    TAVIK_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TAVIK_DATA_DIR="${PROJECT_SOURCE_DIR}/data"
    TAVIK_BINARY_DIR="${PROJECT_BINARY_DIR}")
  # Child processes (tavik-cli, the application) inherit the environment too.
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
      ENVIRONMENT_MODIFICATION "LSAN_OPTIONS=set:suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp")
endfunction()
