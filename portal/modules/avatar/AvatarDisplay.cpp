// AvatarDisplay: draws a player's figure from the 52-byte avatar
// description into a 16-bit page.
//
// The description's 16-bit little-endian word at byte 50 is the kind. Kinds
// 1 and 2 are the standing figures (1 in trousers, 2 in a skirt) facing the
// viewer's right; kinds 5 and 6 are the same figures facing left. Other
// kinds have no picture and draw nothing. Bytes 0-49 choose the colours:
// each part of the figure takes its colour from its own group of bytes, so
// two descriptions that differ in a part's bytes look different in that
// part, and the same description always gives the same pixels.
//
// The figure fills the avatar's size (default 60 x 100) at the drawing
// position plus the avatar's offset, clipped to the page. The mirror flag
// turns the picture left to right; with the 555 flag off the pixels are
// written in RGB565 instead of RGB555.

#include "portal/PortalExports.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <new>

namespace {

constexpr size_t kDescriptionSize = 52;
constexpr size_t kKindOffset = 50;

struct AvatarResource {
  std::array<unsigned char, kDescriptionSize> description{};
  bool hasDescription = false;
  int width = 60, height = 100;
  int offsetX = 0, offsetY = 0;
  int animationMs = 0;  // the figures stand still; kept for the caller's sake
};

bool g_initialised = false;

struct Rgb {
  int r, g, b;  // 0..31
};

// A colour from four description bytes, kept away from black so the part
// stays visible on dark backgrounds.
Rgb PartColour(const AvatarResource& avatar, int part) {
  const unsigned char* bytes = avatar.description.data() + part * 4;
  std::uint32_t mix = 2166136261u;
  for (int i = 0; i < 4; ++i) mix = (mix ^ bytes[i]) * 16777619u;
  return {int(8 + (mix & 0x17)), int(8 + ((mix >> 8) & 0x17)), int(8 + ((mix >> 16) & 0x17))};
}

std::uint16_t Pack(Rgb c, bool rgb555) {
  if (rgb555) return std::uint16_t((c.r << 10) | (c.g << 5) | c.b);
  return std::uint16_t((c.r << 11) | ((c.g * 2 + 1) << 5) | c.b);
}

int KindOf(const AvatarResource& avatar) {
  return avatar.description[kKindOffset] | (avatar.description[kKindOffset + 1] << 8);
}

// Shapes in the unit square of the figure (x to the figure's front).
struct Shape {
  enum { kRect, kEllipse, kTrapezoid } form;
  float x0, y0, x1, y1;  // box; a trapezoid widens from top (x0..x1) by `flare` at the bottom
  int part;              // colour group; -1 is skin
  float flare = 0;
};

std::array<Shape, 10> FigureShapes(bool skirt) {
  return {{
      {Shape::kRect, 0.34f, 0.62f, 0.47f, 0.97f, 2},             // back leg
      {Shape::kRect, 0.53f, 0.62f, 0.66f, 0.97f, 2},             // front leg
      {skirt ? Shape::kTrapezoid : Shape::kRect, 0.30f, 0.58f, 0.70f, skirt ? 0.78f : 0.66f, 2, skirt ? 0.10f : 0},
      {Shape::kRect, 0.30f, 0.30f, 0.70f, 0.62f, 1},             // body
      {Shape::kRect, 0.18f, 0.32f, 0.29f, 0.58f, 1},             // back arm
      {Shape::kRect, 0.71f, 0.32f, 0.82f, 0.58f, 1},             // front arm
      {Shape::kEllipse, 0.33f, 0.04f, 0.67f, 0.30f, -1},         // face
      {Shape::kEllipse, 0.31f, 0.02f, 0.69f, 0.16f, 0},          // hair
      {Shape::kEllipse, 0.58f, 0.13f, 0.63f, 0.17f, 3},          // eye, on the front side
      {Shape::kRect, 0.78f, 0.52f, 0.92f, 0.64f, 4},             // held item, front hand
  }};
}

bool Inside(const Shape& s, float u, float v) {
  if (v < s.y0 || v > s.y1) return false;
  switch (s.form) {
    case Shape::kRect: return u >= s.x0 && u <= s.x1;
    case Shape::kEllipse: {
      float cx = (s.x0 + s.x1) / 2, cy = (s.y0 + s.y1) / 2, rx = (s.x1 - s.x0) / 2, ry = (s.y1 - s.y0) / 2;
      float dx = (u - cx) / rx, dy = (v - cy) / ry;
      return dx * dx + dy * dy <= 1.0f;
    }
    case Shape::kTrapezoid: {
      float t = (v - s.y0) / (s.y1 - s.y0);
      return u >= s.x0 - s.flare * t && u <= s.x1 + s.flare * t;
    }
  }
  return false;
}

int Draw(int x, int y, const AvatarResource& avatar, int pageWidth, int pageHeight, std::uint16_t* pixels,
         int rowBytes, bool mirror, bool rgb555) {
  int kind = KindOf(avatar);
  if (kind != 1 && kind != 2 && kind != 5 && kind != 6) return 0;
  bool facingLeft = (kind >= 5) != mirror;
  auto shapes = FigureShapes(kind == 2 || kind == 6);
  const Rgb skin{30, 24, 19};
  int left = x + avatar.offsetX, top = y + avatar.offsetY;
  int rowPixels = rowBytes / 2;
  for (int row = std::max(0, -top); row < avatar.height && top + row < pageHeight; ++row) {
    std::uint16_t* line = pixels + std::ptrdiff_t(top + row) * rowPixels;
    float v = (row + 0.5f) / float(avatar.height);
    for (int col = std::max(0, -left); col < avatar.width && left + col < pageWidth; ++col) {
      float u = (col + 0.5f) / float(avatar.width);
      if (facingLeft) u = 1.0f - u;
      for (auto s = shapes.rbegin(); s != shapes.rend(); ++s) {  // topmost shape first
        if (!Inside(*s, u, v)) continue;
        line[left + col] = Pack(s->part < 0 ? skin : PartColour(avatar, s->part), rgb555);
        break;
      }
    }
  }
  return 1;
}

AvatarResource* Resource(std::uintptr_t handle) { return reinterpret_cast<AvatarResource*>(handle); }

}  // namespace

// The figures need no pictures; the common folder must exist all the same,
// as the portal installs the renderer there.
TOVRIK_PORTAL_EXPORT int InitAvatarDisplayDLL(const char* commonDir) {
  struct stat info{};
  g_initialised = commonDir && ::stat(commonDir, &info) == 0 && S_ISDIR(info.st_mode);
  return g_initialised ? 1 : 0;
}

TOVRIK_PORTAL_EXPORT std::uintptr_t CreateAvatarResource() {
  if (!g_initialised) return 0;
  return reinterpret_cast<std::uintptr_t>(new (std::nothrow) AvatarResource);
}

TOVRIK_PORTAL_EXPORT int SetAvatar(std::uintptr_t handle, const unsigned char* description) {
  if (!handle || !description) return 0;
  std::copy_n(description, kDescriptionSize, Resource(handle)->description.begin());
  Resource(handle)->hasDescription = true;
  return 1;
}

TOVRIK_PORTAL_EXPORT int SetAvatarSize(std::uintptr_t handle, int width, int height) {
  if (!handle || width <= 0 || height <= 0 || width > 4096 || height > 4096) return 0;
  Resource(handle)->width = width;
  Resource(handle)->height = height;
  return 1;
}

TOVRIK_PORTAL_EXPORT int SetAvatarOffset(std::uintptr_t handle, int x, int y) {
  if (!handle) return 0;
  Resource(handle)->offsetX = x;
  Resource(handle)->offsetY = y;
  return 1;
}

TOVRIK_PORTAL_EXPORT int SetAvatarAnimationTime(std::uintptr_t handle, int milliseconds) {
  if (!handle || milliseconds < 0) return 0;
  Resource(handle)->animationMs = milliseconds;
  return 1;
}

TOVRIK_PORTAL_EXPORT int DrawAvatarToMemory(int x, int y, std::uintptr_t handle, int pageWidth, int pageHeight,
                                            std::uint16_t* pixels, int rowBytes, int mirror, int rgb555) {
  if (!handle || !pixels || pageWidth <= 0 || pageHeight <= 0 || rowBytes < pageWidth * 2) return 0;
  const AvatarResource& avatar = *Resource(handle);
  if (!avatar.hasDescription) return 0;
  return Draw(x, y, avatar, pageWidth, pageHeight, pixels, rowBytes, mirror != 0, rgb555 != 0);
}

TOVRIK_PORTAL_EXPORT int DestroyAvatarResource(std::uintptr_t handle) {
  delete Resource(handle);
  return 1;
}
