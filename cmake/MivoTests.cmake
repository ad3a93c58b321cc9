# mivo_add_tests(<dir> <libraries...>)
# Every <dir>/*_test.cpp becomes its own test program, so one broken test
# file never hides the others; tests see the shared fixtures folder through
# MIVO_TEST_DATA.
function(mivo_add_tests dir)
  if(NOT MIVO_BUILD_TESTS)
    return()
  endif()
  file(GLOB test_sources CONFIGURE_DEPENDS ${dir}/*_test.cpp)
  foreach(src IN LISTS test_sources)
    get_filename_component(name ${src} NAME_WE)
    get_filename_component(folder ${dir} DIRECTORY)
    get_filename_component(folder ${folder} NAME)
    set(target ${folder}_${name})
    add_executable(${target} ${src})
    target_link_libraries(${target} PRIVATE ${ARGN} GTest::gtest_main)
    target_compile_definitions(${target} PRIVATE
      MIVO_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
      MIVO_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
      MIVO_BINARY_DIR="${PROJECT_BINARY_DIR}")
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endforeach()
endfunction()
