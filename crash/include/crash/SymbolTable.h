#pragma once
// The function symbols of one ELF file, read ahead of any fault so that a
// fault handler only has to search them.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tovrik::crash {

class SymbolTable {
 public:
  // Reads the full symbol table (or, in a stripped file, the dynamic one).
  // False when the file is not a readable 64-bit ELF file.
  bool Load(const std::filesystem::path& file);
  void Clear();
  bool Empty() const { return symbols_.empty(); }
  size_t Size() const { return symbols_.size(); }

  // The function containing `address` (an address of the file's own, before
  // relocation) and its start; nullptr when none does. Safe in a handler.
  const char* Find(uint64_t address, uint64_t* start = nullptr) const;

 private:
  struct Symbol {
    uint64_t address;
    uint64_t size;
    uint32_t name;  // offset into names_
  };
  std::vector<Symbol> symbols_;
  std::string names_;
};

}  // namespace tovrik::crash
