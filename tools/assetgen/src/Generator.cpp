#include "assetgen/Generator.h"

#include <cstdio>
#include <string>

#include "Art.h"
#include "Output.h"
#include "assetgen/Manifest.h"
#include "gfx/GrpLib8.h"

namespace tovrik::assetgen {
namespace {

std::string FileName(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::vector<std::uint8_t> BlendTableBytes() {
  gfx::InitAlphaTable8(GamePalette(), 0, 255);
  // The file layout: "Alpha Table", zero padding, level count, table size.
  std::vector<std::uint8_t> out(28 + gfx::kAlphaTableSize, 0);
  std::copy(gfx::_pAlpha, gfx::_pAlpha + gfx::kAlphaTableSize, out.begin() + 28);
  gfx::ClearAlphaTable8();
  const char magic[] = "Alpha Table";
  std::copy(magic, magic + 11, out.begin());
  out[16] = gfx::kAlphaLevels;
  const auto size = static_cast<std::uint32_t>(gfx::kAlphaTableSize);
  for (int i = 0; i < 4; ++i) out[20 + i] = static_cast<std::uint8_t>(size >> (8 * i));
  return out;
}

std::vector<std::uint8_t> MenuBytes(std::string_view path) {
  for (const MenuResource& menu : MenuResources()) {
    if (MenuPath(menu.id) != path) continue;
    std::string text = "; Context menu " + std::to_string(menu.id) + ": popups in order, items as \"command,caption\".\n";
    for (std::size_t p = 0; p < menu.popups.size(); ++p) {
      text += "[popup" + std::to_string(p) + "]\n";
      for (std::size_t i = 0; i < menu.popups[p].size(); ++i) {
        const MenuItem& item = menu.popups[p][i];
        text += "item" + std::to_string(i) + " = ";
        text += item.command ? std::to_string(item.command) + "," + std::string(item.caption) : std::string("separator");
        text += "\n";
      }
    }
    return {text.begin(), text.end()};
  }
  return {};
}

std::vector<std::uint8_t> Produce(const AssetEntry& entry) {
  switch (entry.kind) {
    case AssetKind::Sprite8: return GameSpriteFile(FileName(entry.path));
    case AssetKind::Sprite16: return ScreenSpriteFile(entry);
    case AssetKind::Bitmap: return ScreenBitmapFile(entry);
    case AssetKind::Icon: return ProgramIconFile(entry);
    case AssetKind::Wave:
    case AssetKind::Midi: return SoundFile(FileName(entry.path));
    case AssetKind::Menu: return MenuBytes(entry.path);
    case AssetKind::Palette: return PaletteFileBytes(GamePalette());
    case AssetKind::BlendTable: return BlendTableBytes();
    case AssetKind::WordList: return {};
  }
  return {};
}

}  // namespace

bool GenerateAll(const std::filesystem::path& runtimeDir, std::string& error) {
  for (const AssetEntry& entry : Manifest()) {
    if (entry.kind == AssetKind::WordList) continue;
    const std::vector<std::uint8_t> bytes = Produce(entry);
    if (bytes.empty()) {
      error = "no artwork for " + std::string(entry.path);
      return false;
    }
    if (!WriteFile(runtimeDir / OutputPath(entry.path), bytes, error)) return false;
  }
  return true;
}

}  // namespace tovrik::assetgen
