# Third-party libraries, all from Debian packages (scripts/debian-packages.txt).

find_package(Threads REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(SDL2_TTF REQUIRED IMPORTED_TARGET SDL2_ttf)
pkg_check_modules(SDL2_MIXER REQUIRED IMPORTED_TARGET SDL2_mixer)
pkg_check_modules(LZO2 REQUIRED IMPORTED_TARGET lzo2)
find_package(ZLIB REQUIRED)
find_package(JPEG REQUIRED)
find_package(SQLite3 REQUIRED)
# The server's local web shop.
pkg_check_modules(CPPHTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)

# SimpleIni is a single header.
find_path(SIMPLEINI_INCLUDE_DIR SimpleIni.h REQUIRED)
add_library(simpleini INTERFACE)
target_include_directories(simpleini SYSTEM INTERFACE ${SIMPLEINI_INCLUDE_DIR})

if(TOVRIK_BUILD_TESTS)
  find_package(GTest REQUIRED)
endif()
if(TOVRIK_BUILD_BENCHMARKS)
  find_package(benchmark REQUIRED)
endif()
