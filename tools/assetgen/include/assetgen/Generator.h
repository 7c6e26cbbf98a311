#pragma once
// Writes every generated manifest file into a runtime folder.

#include <filesystem>
#include <string>

namespace tovrik::assetgen {

// True when every file was written; otherwise `error` names the first
// failure. Files provided by other builds (the word list) are left alone.
bool GenerateAll(const std::filesystem::path& runtimeDir, std::string& error);

}  // namespace tovrik::assetgen
