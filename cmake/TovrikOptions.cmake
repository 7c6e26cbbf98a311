# Compiler settings shared by every target.

option(TOVRIK_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(TOVRIK_BUILD_TESTS "Build the unit tests" ON)
option(TOVRIK_BUILD_BENCHMARKS "Build the Google Benchmark programs" ON)
option(TOVRIK_BUILD_FUZZERS "Build the libFuzzer targets (needs clang)" OFF)

if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
  set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "Build type" FORCE)
endif()

include(TovrikWarnings)

# The stone simulation must give bit-identical results on every client:
# no fused multiply-add contraction and no value-changing float optimisations.
add_compile_options(-ffp-contract=off -fno-fast-math)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64|i.86")
  # SSE2 arithmetic, never the x87 unit's extended precision.
  add_compile_options(-msse2 -mfpmath=sse)
endif()

if(TOVRIK_BUILD_FUZZERS AND NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(STATUS "Fuzzers need clang; skipping them with ${CMAKE_CXX_COMPILER_ID}")
  set(TOVRIK_BUILD_FUZZERS OFF)
endif()

if(TOVRIK_BUILD_FUZZERS)
  # Every library carries libFuzzer's coverage hooks and the sanitizers, so
  # that a fuzzer steers by, and checks, the readers themselves and not only
  # its own file. Every program links the sanitizer runtimes (which also
  # answer the coverage hooks outside a fuzzer); the fuzzers add libFuzzer.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  add_custom_target(fuzzers)
endif()

if(TOVRIK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  set(CMAKE_C_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
endif()

