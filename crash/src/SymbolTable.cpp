#include "crash/SymbolTable.h"

#include <elf.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace tovrik::crash {
namespace {

// Reads one part of the file; false when it is not all there.
bool ReadPart(std::ifstream& in, uint64_t offset, uint64_t size, std::vector<char>& out) {
  constexpr uint64_t kMaxPart = 512u << 20;
  if (size > kMaxPart) return false;
  out.resize(size_t(size));
  in.clear();
  in.seekg(std::streamoff(offset));
  return bool(in.read(out.data(), std::streamsize(size)));
}

template <typename T>
bool ReadAt(const std::vector<char>& part, uint64_t offset, T& out) {
  if (offset > part.size() || part.size() - offset < sizeof(T)) return false;
  std::memcpy(&out, part.data() + offset, sizeof(T));
  return true;
}

}  // namespace

void SymbolTable::Clear() {
  symbols_.clear();
  names_.clear();
}

bool SymbolTable::Load(const std::filesystem::path& path) {
  Clear();
  // Only the headers and the two tables are read: debug information can
  // make a program file many times larger than its symbols.
  std::ifstream in(path, std::ios::binary);
  std::vector<char> header, sectionTable, table, strings;
  Elf64_Ehdr e;
  if (!ReadPart(in, 0, sizeof e, header) || !ReadAt(header, 0, e) || std::memcmp(e.e_ident, ELFMAG, SELFMAG) != 0 ||
      e.e_ident[EI_CLASS] != ELFCLASS64 || e.e_shentsize != sizeof(Elf64_Shdr) ||
      !ReadPart(in, e.e_shoff, uint64_t(e.e_shnum) * sizeof(Elf64_Shdr), sectionTable))
    return false;
  std::vector<Elf64_Shdr> sections(e.e_shnum);
  for (size_t i = 0; i < sections.size(); ++i) ReadAt(sectionTable, i * sizeof(Elf64_Shdr), sections[i]);

  auto symbols = std::find_if(sections.begin(), sections.end(), [](const Elf64_Shdr& s) { return s.sh_type == SHT_SYMTAB; });
  if (symbols == sections.end())
    symbols = std::find_if(sections.begin(), sections.end(), [](const Elf64_Shdr& s) { return s.sh_type == SHT_DYNSYM; });
  if (symbols == sections.end() || symbols->sh_link >= sections.size() || symbols->sh_entsize != sizeof(Elf64_Sym))
    return false;
  const Elf64_Shdr& names = sections[symbols->sh_link];
  if (!ReadPart(in, symbols->sh_offset, symbols->sh_size, table) || !ReadPart(in, names.sh_offset, names.sh_size, strings))
    return false;

  for (size_t at = 0; at + sizeof(Elf64_Sym) <= table.size(); at += sizeof(Elf64_Sym)) {
    Elf64_Sym s;
    ReadAt(table, at, s);
    if (ELF64_ST_TYPE(s.st_info) != STT_FUNC || s.st_value == 0 || s.st_name >= strings.size()) continue;
    const char* name = strings.data() + s.st_name;
    const size_t length = strnlen(name, strings.size() - s.st_name);
    symbols_.push_back({s.st_value, s.st_size, uint32_t(names_.size())});
    names_.append(name, length);
    names_.push_back('\0');
  }
  std::sort(symbols_.begin(), symbols_.end(), [](const Symbol& a, const Symbol& b) { return a.address < b.address; });
  return true;
}

const char* SymbolTable::Find(uint64_t address, uint64_t* start) const {
  auto after = std::upper_bound(symbols_.begin(), symbols_.end(), address,
                                [](uint64_t a, const Symbol& s) { return a < s.address; });
  // Among symbols at or below the address, the nearest one that spans it.
  for (auto it = after; it != symbols_.begin();) {
    --it;
    if (address - it->address < std::max<uint64_t>(it->size, 1)) {
      if (start) *start = it->address;
      return names_.c_str() + it->name;
    }
    if (it->address != std::prev(after)->address) break;
  }
  return nullptr;
}

}  // namespace tovrik::crash
