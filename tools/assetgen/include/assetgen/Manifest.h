#pragma once
// Every file the client reads from its runtime folder, as the screens name
// them. The generator writes exactly these files, and the tests hold the
// drawing code's expectations (frame counts, frame sizes, bitmap sizes)
// against what was written.

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tovrik::assetgen {

enum class AssetKind {
  Sprite8,     // 8-bit sprite set (palette indices) of the game page
  Sprite16,    // 16-bit RGB555 sprite set
  Bitmap,      // 24-bit BMP; magenta RGB(255,0,255) marks what window shapes cut away
  Icon,        // 32-bit BMP with straight alpha: the program's window icon
  Wave,        // RIFF WAVE, 16-bit PCM
  Midi,        // standard MIDI file
  Menu,        // context-menu resource, see MenuResources()
  Palette,     // 256 RGBQUAD entries
  BlendTable,  // "Alpha Table" file built from the palette
  WordList,    // provided by the portal build, not by the generator
};

std::string_view KindName(AssetKind kind);

// A frame whose size the drawing code depends on.
struct FrameSize {
  int frame = 0;
  int width = 0;
  int height = 0;
};

struct AssetEntry {
  // As the client writes it, relative to the program folder; "Common\\..."
  // stands for the portal's common folder (the "%s" of the greeting paths).
  std::string_view path;
  AssetKind kind = AssetKind::Bitmap;
  // Sprite sets: the number of frames drawn from the set.
  int frames = 0;
  // Bitmaps: the whole image (a four-state strip is four states stacked).
  int width = 0;
  int height = 0;
  std::vector<FrameSize> sizes;
  // Bitmaps: images stacked top to bottom (4 for push buttons).
  int states = 1;
  // Sprite buttons: frames per button (normal, over, pressed and, with four,
  // disabled); frame b x framesPerButton is the first frame of button b.
  int framesPerButton = 0;
};

// One entry per file; paths that differ only in letter case are one file.
const std::vector<AssetEntry>& Manifest();

// The runtime-relative path the file is written to: backslashes become
// slashes, the leading ".\\" goes, and every folder takes the one spelling
// used for it (the client resolves names without regard to letter case).
std::string OutputPath(std::string_view manifestPath);

// Buttons whose states are separate bitmap resources, in state order
// (normal, over, pressed, disabled).
struct ResourceButton {
  std::vector<int> ids;
  std::string_view caption;
  int width = 0;
  int height = 0;
};
const std::vector<ResourceButton>& ResourceButtons();

// Context menus, written as ".\data\menuNNN.ini" (UTF-8): one section per
// popup in menu order ("[popup0]", "[popup1]", ...), each with the keys
// "item0", "item1", ... in order, valued "<command id>,<caption>" or
// "separator". Numbered bitmaps are ".\image\bitmapNNN.bmp" and cursors
// ".\image\cursorNNN.bmp", magenta RGB(255,0,255) transparent. The program
// icon (resource 128) is ".\image\icon128.bmp", 64 x 64 with an alpha
// channel; window managers scale it down for the small icon.
struct MenuItem {
  int command = 0;  // 0 for a separator
  std::string_view caption;
};
struct MenuResource {
  int id = 0;
  std::vector<std::vector<MenuItem>> popups;
};
const std::vector<MenuResource>& MenuResources();
std::string MenuPath(int id);

// Case-insensitive lookup by a path as the sources write it.
const AssetEntry* FindAsset(std::string_view path);

}  // namespace tovrik::assetgen
