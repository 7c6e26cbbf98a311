#include "gfx/AniFile.h"

#include "base/ByteIO.h"

namespace tovrik::gfx {

namespace {

// Every count of the block is an int16; a negative one, or one that the rest
// of the file cannot hold at `minItemSize` bytes an item, means a broken block.
bool ReadCount(base::ByteReader& in, int& count, std::size_t minItemSize) {
  std::int16_t n = 0;
  if (!in.I16(n) || n < 0) return false;
  if (static_cast<std::size_t>(n) * minItemSize > in.Remaining()) return false;
  count = n;
  return true;
}

bool ReadFrame(base::ByteReader& in, xAniFile::Frame& frame) {
  int cells = 0;
  if (!ReadCount(in, cells, 8) || !in.I16(frame.delay)) return false;
  frame.cells.resize(static_cast<std::size_t>(cells));
  for (auto& cell : frame.cells) {
    if (!in.I16(cell.frame) || !in.I16(cell.x) || !in.I16(cell.y) || !in.I16(cell.carried)) return false;
  }
  return true;
}

// Reads `count` named children; each child reads the rest of itself.
template <class Child, class ReadBody>
bool ReadNamedList(base::ByteReader& in, std::vector<Child>& list, ReadBody&& body) {
  int count = 0;
  if (!ReadCount(in, count, xAniFile::kNameSize + 2)) return false;
  list.resize(static_cast<std::size_t>(count));
  for (auto& child : list) {
    if (!in.Name(xAniFile::kNameSize, child.name) || !body(child)) return false;
  }
  return true;
}

}  // namespace

bool xAniFile::Load(base::ByteReader& in) {
  Destroy();
  const bool ok = ReadNamedList(in, characters_, [&](Character& character) {
    return ReadNamedList(in, character.groups, [&](Group& group) {
      return ReadNamedList(in, group.actions, [&](Action& action) {
        int frames = 0;
        if (!ReadCount(in, frames, 4)) return false;
        action.frames.resize(static_cast<std::size_t>(frames));
        for (auto& frame : action.frames) {
          if (!ReadFrame(in, frame)) return false;
        }
        return true;
      });
    });
  });
  if (!ok) Destroy();
  return ok;
}

void xAniFile::Save(base::ByteWriter& out) const {
  out.I16(static_cast<std::int16_t>(characters_.size()));
  for (const auto& character : characters_) {
    out.Name(character.name, kNameSize);
    out.I16(static_cast<std::int16_t>(character.groups.size()));
    for (const auto& group : character.groups) {
      out.Name(group.name, kNameSize);
      out.I16(static_cast<std::int16_t>(group.actions.size()));
      for (const auto& action : group.actions) {
        out.Name(action.name, kNameSize);
        out.I16(static_cast<std::int16_t>(action.frames.size()));
        for (const auto& frame : action.frames) {
          out.I16(static_cast<std::int16_t>(frame.cells.size()));
          out.I16(frame.delay);
          for (const auto& cell : frame.cells) {
            out.I16(cell.frame);
            out.I16(cell.x);
            out.I16(cell.y);
            out.I16(cell.carried);
          }
        }
      }
    }
  }
}

const xAniFile::Character* xAniFile::GetCharacter(int index) const {
  if (index < 0 || index >= CharacterCount()) return nullptr;
  return &characters_[static_cast<std::size_t>(index)];
}

const xAniFile::Character* xAniFile::GetCharacter(const std::string& name) const {
  for (const auto& character : characters_) {
    if (character.name == name) return &character;
  }
  return nullptr;
}

}  // namespace tovrik::gfx
