#pragma once
// This process's command line as the kernel recorded it at start, so that a
// library can read it without being handed argv.

#include <string>
#include <vector>

namespace tovrik::portal {

// The arguments, program path first; empty if it cannot be read.
std::vector<std::string> ProcessCommandLine();

}  // namespace tovrik::portal
