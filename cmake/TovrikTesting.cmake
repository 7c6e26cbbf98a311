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
# One fuzz target, an LLVMFuzzerTestOneInput over arbitrary bytes, and its
# minimised corpus in corpus/NAME/ beside the CMakeLists that adds it.
# - With clang and TOVRIK_BUILD_FUZZERS: a libFuzzer program in fuzz/ (the
#   `fuzzers` target builds them all and nothing else), and a test that runs
#   it once over its corpus.
# - In every other build: the same target linked with a small driver that
#   replays files and folders (build/tests/NAME corpus/NAME), run as a test,
#   so that each preset, the sanitizer one included, checks in seconds that
#   no kept input crashes again.
function(tovrik_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  set(corpus ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
  if(NOT IS_DIRECTORY ${corpus})
    message(WARNING "${name} has no corpus in ${corpus}: nothing of it is replayed by the tests")
  endif()
  if(TOVRIK_BUILD_FUZZERS)
    add_executable(${name} ${ARG_SOURCES})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
    add_dependencies(fuzzers ${name})
    if(IS_DIRECTORY ${corpus})
      add_test(NAME ${name}.corpus COMMAND ${name} -runs=0 ${corpus})
    endif()
  else()
    add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/fuzz/ReplayMain.cpp)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    if(IS_DIRECTORY ${corpus})
      add_test(NAME ${name}.corpus COMMAND ${name} ${corpus})
    endif()
  endif()
  if(TEST ${name}.corpus)
    set_tests_properties(${name}.corpus PROPERTIES LABELS fuzz-corpus TIMEOUT 120)
  endif()
endfunction()
