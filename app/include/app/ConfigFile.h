#pragma once
// The settings file config.ini, read once and kept in memory: reads come
// from memory, and the file is written only when a value really changed.
// The section names are the users' login ids, which come from the server:
// they are escaped so that no id can end its section and forge another, and
// the file keeps the settings of at most kMaxSections users (the ones used
// least recently go first).

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tovrik::app {

// The section name of an id: bytes that would end or split a section line
// ("[", "]", "=", ";", "#", "%", blanks, control bytes) as %XX; every other
// byte (letters, digits, code page 949 text) as it is.
std::string ConfigSectionName(std::string_view id);

class CConfigFile {
 public:
  static constexpr std::size_t kMaxSections = 32;

  explicit CConfigFile(std::filesystem::path file);
  ~CConfigFile();
  CConfigFile(const CConfigFile&) = delete;
  CConfigFile& operator=(const CConfigFile&) = delete;

  // The text of a key of the user `id`; nothing when the file, the section
  // or the key is missing, or the file could not be read.
  std::optional<std::string> Get(std::string_view id, std::string_view key);
  // Sets the key in memory; the next Flush writes it. False when the file
  // exists but could not be read (writing would lose what is in it).
  bool Set(std::string_view id, std::string_view key, std::string_view value);
  // Writes the file when something changed since the last write. False when
  // that write failed (the values stay in memory and are written next time).
  bool Flush();

  const std::filesystem::path& Path() const { return file_; }
  // How often the file was read and written, for the tests and the log.
  int Reads() const { return reads_; }
  int Writes() const { return writes_; }

 private:
  struct Ini;
  bool EnsureLoaded();
  void MarkUsed(const std::string& section);
  void MoveSectionToEnd(const std::string& section);

  std::filesystem::path file_;
  std::unique_ptr<Ini> ini_;
  bool loaded_ = false;
  bool unreadable_ = false;
  bool dirty_ = false;
  int reads_ = 0;
  int writes_ = 0;
};

// The settings file of the program folder (see SetProfile_DefPath).
CConfigFile& TheConfigFile();

}  // namespace tovrik::app
