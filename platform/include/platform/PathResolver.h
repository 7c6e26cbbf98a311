#pragma once
// Resolves file paths written the Windows way (".\\data\\GameBack8.spr",
// ".\\IMAGE\\Whisper.bmp") on a case-sensitive file system.

#include <filesystem>
#include <string_view>

namespace tovrik::platform {

// Turns backslashes into slashes and matches every folder and file name
// against what exists, ignoring the letter case of ASCII letters. A relative
// path is taken from `base`. Components that exist in no case are kept as
// written, so the result also names files that are about to be created.
std::filesystem::path ResolvePath(std::string_view path, const std::filesystem::path& base);

// The same, relative to the current directory.
std::filesystem::path ResolvePath(std::string_view path);

}  // namespace tovrik::platform
