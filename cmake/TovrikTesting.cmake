# tovrik_add_test(NAME SOURCES file... LIBS lib...)
# One GoogleTest executable; every test case becomes its own ctest entry.
# Tests never need a display or a sound card: SDL runs its dummy drivers
# (the test presets set the drivers and the sanitizer options for every test).
include(GoogleTest)

function(tovrik_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    TOVRIK_RUNTIME_DIR="${TOVRIK_RUNTIME_DIR}"
    TOVRIK_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TOVRIK_SHARED_DIR="${PROJECT_SOURCE_DIR}/../shared")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "SDL_VIDEODRIVER=dummy")
endfunction()

# tovrik_add_benchmark(NAME SOURCES file... LIBS lib...)
# Benchmarks are built for measuring by hand, never run by ctest.
function(tovrik_add_benchmark name)
  if(NOT TOVRIK_BUILD_BENCHMARKS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark benchmark::benchmark_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()

# tovrik_add_fuzzer(NAME SOURCES file... LIBS lib...)
# libFuzzer targets, built only with clang and TOVRIK_BUILD_FUZZERS.
function(tovrik_add_fuzzer name)
  if(NOT TOVRIK_BUILD_FUZZERS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endfunction()
