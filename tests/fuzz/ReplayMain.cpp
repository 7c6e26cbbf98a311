// Runs a fuzz target over kept inputs without libFuzzer, so that every
// compiler and preset replays the corpora: each argument is a file or a
// folder of files (read recursively, in name order). A crash, a sanitizer
// report or a target that returns non-zero fails the run.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

bool CollectInputs(const fs::path& argument, std::vector<fs::path>& inputs) {
  std::error_code ec;
  if (fs::is_regular_file(argument, ec)) {
    inputs.push_back(argument);
    return true;
  }
  if (!fs::is_directory(argument, ec)) {
    std::fprintf(stderr, "%s: no such file or folder\n", argument.c_str());
    return false;
  }
  for (const auto& entry : fs::recursive_directory_iterator(argument, ec)) {
    if (entry.is_regular_file()) inputs.push_back(entry.path());
  }
  if (ec) {
    std::fprintf(stderr, "%s: %s\n", argument.c_str(), ec.message().c_str());
    return false;
  }
  return true;
}

bool ReadInput(const fs::path& path, std::vector<std::uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary);
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    if (!CollectInputs(argv[i], inputs)) return 2;
  }
  std::sort(inputs.begin(), inputs.end());
  std::vector<std::uint8_t> bytes;
  for (const fs::path& path : inputs) {
    if (!ReadInput(path, bytes)) {
      std::fprintf(stderr, "%s: cannot be read\n", path.c_str());
      return 2;
    }
    // An exact-size copy, so that the sanitizers see any read past the input.
    const std::vector<std::uint8_t> exact(bytes);
    if (LLVMFuzzerTestOneInput(exact.data(), exact.size()) != 0) {
      std::fprintf(stderr, "%s: the target refused the input\n", path.c_str());
      return 1;
    }
  }
  // The empty input, as libFuzzer always tries it first.
  static const std::uint8_t kNothing = 0;
  LLVMFuzzerTestOneInput(&kNothing, 0);
  std::printf("replayed %zu inputs\n", inputs.size());
  return 0;
}
