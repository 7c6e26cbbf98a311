// tovrik-sim: reads a simulation scenario (a file, or standard input when the
// name is "-" or absent) and writes its trace as JSON to standard output.

#include "sim/Simulation.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

namespace {

bool ReadAll(const char* path, std::string& text)
{
    if (path == nullptr || std::string(path) == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        return !std::cin.bad();
    }
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    text = buffer.str();
    return !in.bad();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 2 || (argc == 2 && (std::string(argv[1]) == "-h" || std::string(argv[1]) == "--help"))) {
        std::fprintf(stderr, "usage: %s [scenario.json | -]\n", argv[0]);
        return 2;
    }
    const char* path = argc == 2 ? argv[1] : nullptr;
    std::string text;
    if (!ReadAll(path, text)) {
        std::fprintf(stderr, "tovrik-sim: cannot read %s\n", path ? path : "standard input");
        return 1;
    }
    std::string error;
    const auto scenario = tovrik::sim::ParseScenario(text, error);
    if (!scenario) {
        std::fprintf(stderr, "tovrik-sim: %s: %s\n", path ? path : "standard input", error.c_str());
        return 1;
    }
    std::cout << tovrik::sim::TraceToJson(tovrik::sim::RunScenario(*scenario));
    return std::cout.good() ? 0 : 1;
}
