#pragma once
// Turning canvases into the client's file forms: the game palette and its
// nearest-colour search, 8-bit and 16-bit sprite frames, 24-bit and 32-bit
// BMP, and the RIFF WAVE and MIDI byte layouts.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "Canvas.h"
#include "gfx/Palette.h"
#include "gfx/Sprite.h"
#include "gfx/Sprite8.h"

namespace tovrik::assetgen {

// The 256 colours of the game page: ramps for wood, the two sides' stones,
// greys, gold, night blue and the effect colours. Entry 0 is the warm
// highlight that selected stones glow with (and transparent in raw frames).
const gfx::Palette256& GamePalette();
std::vector<std::uint8_t> PaletteFileBytes(const gfx::Palette256& palette);

// Nearest game-palette index (1..255) to an opaque colour.
std::uint8_t NearestGameIndex(Colour c);

// Where the canvas is less than half covered the frame is transparent.
// Smooth gradients would fall into bands of the few palette or RGB555 levels
// they span, so colours are spread over neighbouring levels by an ordered
// (Bayer) pattern, a function of the pixel position only. `ditherSpread` is
// the 8-bit pattern's reach in 0..255 units per channel; 0 keeps flat art
// crisp. RGB555 always takes a pattern one level deep.
std::vector<std::uint8_t> ToIndexed(const Canvas& canvas, float ditherSpread = 0);
std::vector<std::uint16_t> ToRgb555(const Canvas& canvas, std::uint16_t key);

// Bayer threshold of a pixel in [0, 1).
float BayerThreshold(int x, int y);

// Frames are added run-length encoded; offsets put the frame's centre at the
// drawing point when `centred` (the sets drawn with the offset flag).
void AddFrame8(gfx::CSprite8& set, const Canvas& canvas, bool centred, float ditherSpread = 0);
void AddFrame16(gfx::xSprite& set, const Canvas& canvas, bool centred = false);

// 24-bit bottom-up BMP; uncovered pixels become magenta.
std::vector<std::uint8_t> BmpBytes(const Canvas& canvas);
// 32-bit bottom-up BMP (V4 header with an alpha mask), straight alpha.
std::vector<std::uint8_t> BmpBytesWithAlpha(const Canvas& canvas);

// Mono 16-bit PCM at 22050 Hz from samples in [-1, 1].
inline constexpr int kSampleRate = 22050;
std::vector<std::uint8_t> WaveBytes(std::span<const float> samples);

struct MidiNote {
  int start = 0;     // ticks
  int length = 0;    // ticks
  int key = 60;
  int velocity = 90;
};
// Format 0, one track, 96 ticks per quarter note.
std::vector<std::uint8_t> MidiBytes(int program, int tempoMicroseconds, std::span<const MidiNote> notes);

bool WriteFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes, std::string& error);

}  // namespace tovrik::assetgen
