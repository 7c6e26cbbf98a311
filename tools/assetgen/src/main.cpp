// tovrik-assetgen RUNTIME_DIR: writes the client's artwork and sounds.
#include <cstdio>
#include <string>

#include "assetgen/Generator.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s RUNTIME_DIR\n", argv[0]);
    return 2;
  }
  std::string error;
  if (!tovrik::assetgen::GenerateAll(argv[1], error)) {
    std::fprintf(stderr, "tovrik-assetgen: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
