#pragma once
// The animation block that may follow the frames of a 16-bit sprite file:
// characters -> groups -> actions -> frames -> cells, each level in file order.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tovrik::base {
class ByteReader;
class ByteWriter;
}  // namespace tovrik::base

namespace tovrik::gfx {

class xAniFile {
 public:
  static constexpr std::size_t kNameSize = 14;

  struct Cell {
    std::int16_t frame = 0;  // index into the sprite set
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t carried = 0;
  };
  struct Frame {
    std::int16_t delay = 0;  // player ticks
    std::vector<Cell> cells;
  };
  struct Action {
    std::string name;
    std::vector<Frame> frames;
  };
  struct Group {
    std::string name;
    std::vector<Action> actions;
  };
  struct Character {
    std::string name;
    std::vector<Group> groups;
  };

  // Replaces the tree with the block at the reader's position. On a short or
  // inconsistent block the tree is left empty and false is returned.
  bool Load(base::ByteReader& in);
  void Save(base::ByteWriter& out) const;
  void Destroy() { characters_.clear(); }

  int CharacterCount() const { return static_cast<int>(characters_.size()); }
  const Character* GetCharacter(int index) const;
  const Character* GetCharacter(const std::string& name) const;
  std::vector<Character>& Characters() { return characters_; }
  const std::vector<Character>& Characters() const { return characters_; }

 private:
  std::vector<Character> characters_;
};

}  // namespace tovrik::gfx
