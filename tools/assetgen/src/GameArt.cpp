// The board, the stones and the effects of the game page. Everything is
// painted in full colour and then mapped onto the game palette, so the look
// is decided here and the palette only needs ramps of the colours used.
#include <cmath>
#include <functional>
#include <map>
#include <numbers>
#include <string>

#include "Art.h"
#include "Canvas.h"
#include "Output.h"

namespace tovrik::assetgen {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// Board frame geometry: the frame is drawn at (83, 79) of the page; grid
// points are at (101 + 49c, 97 + 45r) on the page.
constexpr int kBoardW = 430, kBoardH = 443;
constexpr float kGridX0 = 18, kGridY0 = 18, kCol = 49, kRow = 45;

float GridX(int c) { return kGridX0 + kCol * static_cast<float>(c); }
float GridY(int r) { return kGridY0 + kRow * static_cast<float>(r); }

Colour WoodAt(float x, float y, int seed) {
  // Long grain along x, warped by low noise; a few darker rings.
  const float warp = SmoothNoise(x / 90.0f, y / 30.0f, seed) * 6.0f;
  const float grain = 0.5f + 0.5f * std::sin((y + warp * 3.0f) * 0.55f + SmoothNoise(x / 40.0f, y / 8.0f, seed + 1) * 2.5f);
  const float fine = Hash(static_cast<int>(x / 3), static_cast<int>(y), seed) * 0.06f;
  const Colour light = Rgb(236, 192, 128), dark = Rgb(196, 140, 78);
  return Mix(light, dark, std::clamp(grain * 0.7f + fine, 0.0f, 1.0f));
}

Canvas Board(bool shade) {
  Canvas c(kBoardW, kBoardH);
  // Rim and bevel.
  c.FillRoundRect(0, 0, kBoardW, kBoardH, 10, Rgb(110, 62, 26));
  c.Shade([&](float x, float y) {
    const bool inside = x >= 5 && y >= 5 && x <= kBoardW - 5 && y <= kBoardH - 5;
    if (!inside) return Colour{0, 0, 0, 0};
    Colour w = WoodAt(x, y, 7);
    // Soft light from the top left.
    const float light = 1.08f - 0.16f * (x / kBoardW + y / kBoardH) / 2;
    return Scale(w, light);
  });
  const Colour ink = Rgb(92, 50, 20);
  // River: a cooler band between rows 4 and 5 where the inner verticals stop.
  const float riverTop = GridY(4), riverBottom = GridY(5);
  c.Shade([&](float x, float y) {
    if (y < riverTop || y > riverBottom || x < 5 || x > kBoardW - 5) return Colour{0, 0, 0, 0};
    const float wave = 0.5f + 0.5f * std::sin(x * 0.12f + std::sin(y * 0.3f) * 1.5f);
    return Rgb(70, 110, 170, 0.20f + 0.08f * wave);
  });
  for (int r = 0; r < 10; ++r) c.Line(GridX(0), GridY(r), GridX(8), GridY(r), 1.6f, ink);
  for (int col = 0; col < 9; ++col) {
    if (col == 0 || col == 8) {
      c.Line(GridX(col), GridY(0), GridX(col), GridY(9), 1.6f, ink);
    } else {
      c.Line(GridX(col), GridY(0), GridX(col), GridY(4), 1.6f, ink);
      c.Line(GridX(col), GridY(5), GridX(col), GridY(9), 1.6f, ink);
    }
  }
  // Outer double line.
  c.Line(GridX(0) - 5, GridY(0) - 5, GridX(8) + 5, GridY(0) - 5, 1.2f, ink);
  c.Line(GridX(0) - 5, GridY(9) + 5, GridX(8) + 5, GridY(9) + 5, 1.2f, ink);
  c.Line(GridX(0) - 5, GridY(0) - 5, GridX(0) - 5, GridY(9) + 5, 1.2f, ink);
  c.Line(GridX(8) + 5, GridY(0) - 5, GridX(8) + 5, GridY(9) + 5, 1.2f, ink);
  // Palaces.
  for (int top : {0, 7}) {
    c.Line(GridX(3), GridY(top), GridX(5), GridY(top + 2), 1.4f, ink);
    c.Line(GridX(5), GridY(top), GridX(3), GridY(top + 2), 1.4f, ink);
  }
  // River marks.
  c.Text("楚 河", GridX(2) + kCol / 2 + 10, (riverTop + riverBottom) / 2, 22, true, Rgb(92, 50, 20, 0.55f));
  c.Text("漢 界", GridX(6) - kCol / 2 - 10, (riverTop + riverBottom) / 2, 22, true, Rgb(92, 50, 20, 0.55f));
  // Hinges: metal bars across the river at page (154,295)-(196,304) and (398,295)-(440,304).
  for (float left : {154.0f - 83, 398.0f - 83}) {
    const float top = 295 - 79;
    c.FillRoundRect(left + 1, top + 2, left + 44, top + 12, 3, Rgb(40, 20, 6, 0.5f));
    c.VerticalGradientRoundRect(left, top, left + 43, top + 10, 3, Rgb(236, 230, 210), Rgb(120, 110, 96));
    c.FillCircle(left + 5, top + 5, 2.0f, Rgb(70, 60, 50));
    c.FillCircle(left + 38, top + 5, 2.0f, Rgb(70, 60, 50));
    c.Line(left + 9, top + 2.5f, left + 34, top + 2.5f, 1.0f, Rgb(255, 255, 240, 0.8f));
  }
  if (shade) {
    c.Shade([](float, float) { return Rgb(10, 6, 30, 0.55f); });
    Canvas masked(kBoardW, kBoardH);
    for (int y = 0; y < kBoardH; ++y)
      for (int x = 0; x < kBoardW; ++x)
        if (c.At(x, y).a > 0.5f) masked.At(x, y) = c.At(x, y);
    return masked;
  }
  return c;
}

constexpr float kSkyDither = 14.0f;

Canvas NightSky(int w, int h) {
  Canvas c(w, h);
  c.Shade([&](float x, float y) {
    const float dx = (x - w / 2.0f) / w, dy = (y - h / 2.0f) / h;
    const float v = std::clamp(1.0f - std::sqrt(dx * dx + dy * dy) * 1.3f, 0.0f, 1.0f);
    return Mix(Rgb(6, 8, 30), Rgb(40, 60, 140), v * v);
  });
  for (int i = 0; i < 140; ++i) {
    const float x = Hash(i, 1, 3) * static_cast<float>(w), y = Hash(i, 2, 3) * static_cast<float>(h);
    c.FillCircle(x, y, 0.5f + Hash(i, 3, 3) * 1.1f, Rgb(220, 230, 255, 0.5f + Hash(i, 4, 3) * 0.5f));
  }
  return c;
}

std::vector<std::uint8_t> GameBack() {
  gfx::CSprite8 set;
  // The sky's slow gradient spans a few palette entries: dithered so that
  // it does not break into rings.
  AddFrame8(set, NightSky(596, 600), false, kSkyDither);
  AddFrame8(set, Board(true), false);
  // Frame 2 (at (0, 34)): the table's rim around the board, open elsewhere.
  Canvas rim(596, 532);
  const float bx = 83, by = 79 - 34;
  rim.FillRoundRect(bx - 16, by - 12, bx + kBoardW + 16, by + kBoardH + 20, 18, Rgb(0, 0, 10, 0.6f));
  rim.VerticalGradientRoundRect(bx - 14, by - 14, bx + kBoardW + 14, by + kBoardH + 14, 16, Rgb(120, 66, 28),
                                Rgb(62, 32, 12));
  rim.FillRect(bx, by, bx + kBoardW, by + kBoardH, Rgb(60, 30, 10));
  AddFrame8(set, rim, false);
  AddFrame8(set, Board(false), false);
  // Frame 4: the top and bottom bars laid over everything.
  Canvas frame(596, 600);
  for (auto [top, bottom] : {std::pair{0.0f, 34.0f}, std::pair{566.0f, 600.0f}}) {
    frame.VerticalGradientRoundRect(0, top, 596, bottom, 0, Rgb(88, 50, 22), Rgb(44, 22, 8));
    frame.Line(0, top == 0 ? bottom - 1.5f : top + 1.5f, 596, top == 0 ? bottom - 1.5f : top + 1.5f, 2, Rgb(236, 190, 70));
  }
  AddFrame8(set, frame, false);
  return set.SaveToMemory();
}

// Octagonal stones, flat-topped, with a bevel and the piece's character.
constexpr int kRadius[7] = {24, 18, 18, 18, 18, 14, 14};

std::vector<Point> Octagon(float cx, float cy, float r) {
  std::vector<Point> p;
  for (int i = 0; i < 8; ++i) {
    const float a = kPi / 8 + static_cast<float>(i) * kPi / 4;
    p.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
  }
  return p;
}

std::string Glyph(bool han, int kind) {
  // Hanja when the font has them, else the Hangul names.
  static const char* hanja[7] = {"漢", "車", "馬", "象", "包", "士", "兵"};
  static const char* hanjaCho[7] = {"楚", "車", "馬", "象", "包", "士", "卒"};
  static const char* hangul[7] = {"한", "차", "마", "상", "포", "사", "병"};
  static const char* hangulCho[7] = {"초", "차", "마", "상", "포", "사", "졸"};
  static const char32_t codepoints[2][7] = {{0x6F22, 0x8ECA, 0x99AC, 0x8C61, 0x5305, 0x58EB, 0x5175},
                                            {0x695A, 0x8ECA, 0x99AC, 0x8C61, 0x5305, 0x58EB, 0x5352}};
  const bool hasHanja = Canvas::HasGlyph(codepoints[han ? 0 : 1][kind], 20, true);
  return hasHanja ? (han ? hanja : hanjaCho)[kind] : (han ? hangul : hangulCho)[kind];
}

// `bevel` is how far the lit face stands inside the dark rim.
Canvas StoneImage(bool han, int r, float bevel, int textPixels, const std::string& glyph) {
  Canvas c(2 * r, 2 * r);
  const float cx = static_cast<float>(r), cy = static_cast<float>(r);
  const Colour base = han ? Rgb(200, 36, 30) : Rgb(36, 146, 64);
  const Colour dark = han ? Rgb(96, 10, 8) : Rgb(8, 64, 24);
  const Colour light = han ? Rgb(255, 170, 150) : Rgb(170, 240, 170);
  c.FillPolygon(Octagon(cx, cy, static_cast<float>(r) - 0.3f), dark);
  // Face with a top-left light.
  Canvas face(2 * r, 2 * r);
  face.FillPolygon(Octagon(cx, cy, static_cast<float>(r) - bevel), Rgb(255, 255, 255));
  for (int y = 0; y < 2 * r; ++y)
    for (int x = 0; x < 2 * r; ++x) {
      Colour& p = face.At(x, y);
      if (p.a <= 0) continue;
      const float t = std::clamp(((static_cast<float>(x) - cx) + (static_cast<float>(y) - cy)) / (2.0f * r) + 0.5f, 0.0f, 1.0f);
      const Colour shade = t < 0.5f ? Mix(light, base, t * 2) : Mix(base, Mix(base, dark, 0.5f), (t - 0.5f) * 2);
      p = {shade.r, shade.g, shade.b, p.a};
    }
  c.Draw(face, 0, 0);
  c.FillPolygon(Octagon(cx, cy, static_cast<float>(r) * 0.72f), Rgb(250, 240, 220, 0.92f));
  const Colour ink = han ? Rgb(170, 20, 16) : Rgb(14, 100, 40);
  c.Text(glyph, cx, cy, textPixels, true, ink);
  return c;
}

Canvas Stone(bool han, int kind) {
  const int r = kRadius[kind];
  const int text = kind == 0 ? 26 : (r >= 18 ? 19 : 15);
  return StoneImage(han, r, 2.6f, text, Glyph(han, kind));
}

std::vector<std::uint8_t> Stones(bool han) {
  gfx::CSprite8 set;
  for (int kind = 0; kind < 7; ++kind) AddFrame8(set, Stone(han, kind), true);
  return set.SaveToMemory();
}

std::vector<std::uint8_t> StoneFocus() {
  gfx::CSprite8 set;
  for (int r : {24, 18, 14}) {
    const int size = 2 * r + 10;
    Canvas c(size, size);
    const float m = static_cast<float>(size) / 2;
    for (int i = 0; i < 8; ++i) {
      // Eight corner brackets around the octagon.
      const float a = static_cast<float>(i) * kPi / 4;
      const float rr = static_cast<float>(r) + 3.0f;
      c.Line(m + rr * std::cos(a - 0.18f), m + rr * std::sin(a - 0.18f), m + rr * std::cos(a + 0.18f),
             m + rr * std::sin(a + 0.18f), 2.4f, Rgb(255, 220, 80));
    }
    c.Ring(m, m, static_cast<float>(r) + 3.0f, 1.0f, Rgb(255, 240, 160, 0.6f));
    AddFrame8(set, c, true);
  }
  return set.SaveToMemory();
}

std::vector<std::uint8_t> TitleSet() {
  gfx::CSprite8 set;
  struct Banner {
    const char* text;
    const char* sub;
    Colour fill;
  };
  const Banner banners[4] = {{"토브릭 장기", "돌을 튕겨 상대의 말을 떨어뜨리세요", Rgb(255, 214, 70)},
                             {"승 리", "WIN", Rgb(255, 226, 90)},
                             {"패 배", "LOSE", Rgb(160, 190, 255)},
                             {"무승부", "DRAW", Rgb(230, 230, 230)}};
  for (const Banner& b : banners) {
    Canvas c(380, 130);
    c.FillRoundRect(6, 18, 374, 118, 24, Rgb(10, 8, 30, 0.75f));
    c.TextWithOutline(b.text, 190, 58, 54, true, b.fill, Rgb(70, 30, 0), 2);
    c.Text(b.sub, 190, 100, 16, true, Rgb(240, 230, 200));
    AddFrame8(set, c, true);
  }
  return set.SaveToMemory();
}

std::vector<std::uint8_t> Gauge(bool power) {
  gfx::CSprite8 set;
  for (int full = 0; full < 2; ++full) {
    Canvas c(27, 100);
    c.VerticalGradientRoundRect(0, 0, 27, 100, 8, Rgb(120, 80, 40), Rgb(60, 34, 14));
    c.FillRoundRect(5, 5, 22, 95, 5, Rgb(16, 12, 24));
    if (full) {
      const Colour top = power ? Rgb(255, 230, 120) : Rgb(170, 240, 255);
      const Colour bottom = power ? Rgb(230, 80, 10) : Rgb(30, 120, 200);
      c.VerticalGradientRoundRect(6, 6, 21, 94, 4, top, bottom);
      c.Line(9, 10, 9, 90, 2, Rgb(255, 255, 255, 0.35f));
    }
    c.Text(power ? "P" : "T", 13.5f, 97, 9, true, Rgb(250, 230, 180));
    AddFrame8(set, c, false);
  }
  return set.SaveToMemory();
}

struct ItemStyle {
  const char* caption;
  Colour colour;
  std::function<void(Canvas&, float, float)> icon;
};

ItemStyle Item(int kind) {
  switch (kind) {
    case 0:
      return {"POWER", Rgb(236, 110, 20), [](Canvas& c, float x, float y) {
                c.FillPolygon({{x - 3, y - 14}, {x + 7, y - 14}, {x + 1, y - 2}, {x + 8, y - 2}, {x - 6, y + 15},
                               {x - 1, y + 2}, {x - 8, y + 2}},
                              Rgb(255, 240, 120));
              }};
    case 1:
      return {"CHANGE", Rgb(40, 150, 180), [](Canvas& c, float x, float y) {
                c.Ring(x, y, 10, 3, Rgb(220, 255, 255));
                c.FillPolygon({{x + 8, y - 12}, {x + 16, y - 4}, {x + 6, y - 2}}, Rgb(220, 255, 255));
              }};
    case 2:
      return {"TELEPORT", Rgb(140, 60, 200), [](Canvas& c, float x, float y) {
                for (int i = 0; i < 3; ++i) c.Ring(x, y, 4.0f + 5.0f * static_cast<float>(i), 1.6f, Rgb(240, 210, 255));
              }};
    default:
      return {"NUCLEAR", Rgb(200, 40, 30), [](Canvas& c, float x, float y) {
                c.FillCircle(x, y, 4, Rgb(255, 230, 80));
                for (int i = 0; i < 3; ++i) {
                  const float a = static_cast<float>(i) * 2 * kPi / 3 - kPi / 2;
                  c.FillPolygon({{x + 6 * std::cos(a - 0.5f), y + 6 * std::sin(a - 0.5f)},
                                 {x + 15 * std::cos(a - 0.5f), y + 15 * std::sin(a - 0.5f)},
                                 {x + 15 * std::cos(a + 0.5f), y + 15 * std::sin(a + 0.5f)},
                                 {x + 6 * std::cos(a + 0.5f), y + 6 * std::sin(a + 0.5f)}},
                                Rgb(255, 230, 80));
                }
              }};
  }
}

std::vector<std::uint8_t> ItemButton(int kind) {
  gfx::CSprite8 set;
  const ItemStyle style = Item(kind);
  // 0 holder, 1 normal, 2 over, 3 pressed. The holder is the rail at the
  // page edge that the board draws over the button: the button slides out
  // from under it, and a hidden button's last pixels stay under it.
  {
    Canvas rail(15, 94);
    rail.VerticalGradientRoundRect(0, 0, 15, 94, 5, Rgb(160, 116, 62), Rgb(70, 40, 14));
    rail.Line(4, 6, 4, 88, 1.5f, Rgb(255, 230, 180, 0.45f));
    AddFrame8(set, rail, false);
  }
  for (int state = 1; state < 4; ++state) {
    Canvas c(66, 72);
    c.VerticalGradientRoundRect(2, 10, 64, 62, 10, Rgb(90, 54, 24), Rgb(46, 24, 8));
    const float glow = state == 2 ? 1.25f : 1.0f;
    const float dy = state == 3 ? 2.0f : 0.0f;
    c.VerticalGradientRoundRect(7, 15 + dy, 59, 57 + dy, 9, Scale(Mix(style.colour, Rgb(255, 255, 255), 0.35f), glow),
                                Scale(style.colour, glow * 0.8f));
    style.icon(c, 33, 31 + dy);
    c.TextWithOutline(style.caption, 33, 50 + dy, 9, true, Rgb(255, 255, 255), Rgb(30, 20, 10));
    if (state == 2) c.Ring(33, 36, 27, 2, Rgb(255, 240, 160, 0.7f));
    AddFrame8(set, c, false);
  }
  return set.SaveToMemory();
}

std::vector<std::uint8_t> ItemTitle(int kind) {
  static const char* upper[4] = {"POWER UP!", "CHANGE!", "TELEPORT!", "NUCLEAR!"};
  static const char* lower[4] = {"힘을 모아 더 세게!", "졸 또는 사를 바꿉니다", "장기알을 옮깁니다", "주변의 알을 날려버립니다"};
  const ItemStyle style = Item(kind);
  gfx::CSprite8 set;
  Canvas low(300, 36);
  low.FillRoundRect(0, 2, 300, 34, 16, Rgb(10, 8, 30, 0.8f));
  low.Text(lower[kind], 150, 18, 16, true, Rgb(255, 240, 200));
  AddFrame8(set, low, false);
  Canvas up(320, 64);
  up.TextWithOutline(upper[kind], 160, 32, 44, true, Mix(style.colour, Rgb(255, 255, 255), 0.45f), Rgb(30, 10, 0), 2);
  AddFrame8(set, up, false);
  return set.SaveToMemory();
}

std::vector<std::uint8_t> Turn() {
  gfx::CSprite8 set;
  for (int f = 0; f < 5; ++f) {
    const float pulse = 0.5f + 0.5f * std::sin(static_cast<float>(f) * 2 * kPi / 5);
    Canvas c(136, 30);
    c.VerticalGradientRoundRect(2, 2, 134, 28, 13, Rgb(120, 70, 10), Rgb(60, 30, 4));
    c.FillRoundRect(4, 4, 132, 26, 11, Rgb(255, 220, 90, 0.15f + 0.25f * pulse));
    c.TextWithOutline("TURN", 68, 15, 18, true, Mix(Rgb(255, 210, 80), Rgb(255, 255, 230), pulse), Rgb(60, 20, 0));
    for (float side : {-1.0f, 1.0f}) {
      const float x = 68 + side * (44 + 3 * pulse);
      c.FillPolygon({{x, 15}, {x - side * 8, 8}, {x - side * 8, 22}}, Rgb(255, 230, 120));
    }
    AddFrame8(set, c, false);
  }
  return set.SaveToMemory();
}

std::vector<std::uint8_t> Stars() {
  gfx::CSprite8 set;
  for (int i = 0; i < 8; ++i) {
    const int size = 3 + i * 2;
    Canvas c(size, size);
    const float m = static_cast<float>(size) / 2;
    c.FillCircle(m, m, m * 0.45f, Rgb(255, 255, 240));
    if (i >= 3) {
      c.Line(m, 0, m, static_cast<float>(size), 1, Rgb(220, 230, 255, 0.8f));
      c.Line(0, m, static_cast<float>(size), m, 1, Rgb(220, 230, 255, 0.8f));
    }
    AddFrame8(set, c, true);
  }
  return set.SaveToMemory();
}

std::vector<std::uint8_t> Dot() {
  gfx::CSprite8 set;
  Canvas c(5, 5);
  c.FillCircle(2.5f, 2.5f, 2.2f, Rgb(255, 240, 160));
  AddFrame8(set, c, true);
  return set.SaveToMemory();
}

// A ring of ticks turning through the frames: the "this stone" marks.
std::vector<std::uint8_t> CursorMark(Colour colour) {
  gfx::CSprite8 set;
  for (int f = 0; f < 8; ++f) {
    Canvas c(64, 64);
    const float turn = static_cast<float>(f) * kPi / 16;
    for (int i = 0; i < 4; ++i) {
      const float a = turn + static_cast<float>(i) * kPi / 2;
      c.Line(32 + 22 * std::cos(a), 32 + 22 * std::sin(a), 32 + 30 * std::cos(a), 32 + 30 * std::sin(a), 3, colour);
    }
    c.Ring(32, 32, 26, 1.5f, Scale(colour, 0.9f));
    AddFrame8(set, c, false);
  }
  return set.SaveToMemory();
}

std::vector<std::uint8_t> TeleportTarget() {
  gfx::CSprite8 set;
  for (int f = 0; f < 8; ++f) {
    Canvas c(48, 48);
    const float r = 10 + 2.0f * static_cast<float>(f % 4);
    c.Ring(24, 24, r, 2, Rgb(220, 160, 255));
    c.Line(24, 2, 24, 14, 2, Rgb(240, 220, 255));
    c.Line(24, 34, 24, 46, 2, Rgb(240, 220, 255));
    c.Line(2, 24, 14, 24, 2, Rgb(240, 220, 255));
    c.Line(34, 24, 46, 24, 2, Rgb(240, 220, 255));
    AddFrame8(set, c, false);
  }
  return set.SaveToMemory();
}

std::vector<std::uint8_t> ChangeAni() {
  gfx::CSprite8 set;
  const int n = 16;
  for (int f = 0; f < n; ++f) {
    const float t = static_cast<float>(f) / static_cast<float>(n - 1);
    Canvas c(96, 96);
    c.Ring(48, 48, 8 + 36 * t, 4 * (1 - t) + 1, Rgb(140, 255, 255, 1 - t * 0.5f));
    for (int i = 0; i < 10; ++i) {
      const float a = static_cast<float>(i) * kPi / 5 + t * 2;
      const float d = 10 + 34 * t;
      c.FillCircle(48 + d * std::cos(a), 48 + d * std::sin(a), 3.5f * (1 - t) + 1, Rgb(255, 255, 200));
    }
    AddFrame8(set, c, true);
  }
  return set.SaveToMemory();
}

std::vector<std::uint8_t> TeleportAni() {
  gfx::CSprite8 set;
  const int n = 12;
  for (int f = 0; f < n; ++f) {
    const float t = static_cast<float>(f) / static_cast<float>(n - 1);
    Canvas c(96, 96);
    for (int arm = 0; arm < 3; ++arm)
      for (int k = 0; k < 24; ++k) {
        const float s = static_cast<float>(k) / 24;
        const float a = static_cast<float>(arm) * 2 * kPi / 3 + s * 4 + t * 6;
        const float d = 4 + 40 * s * (1 - t * 0.6f);
        c.FillCircle(48 + d * std::cos(a), 48 + d * std::sin(a), 2.5f * (1 - s) + 0.8f,
                     Mix(Rgb(250, 220, 255), Rgb(140, 60, 200), s));
      }
    AddFrame8(set, c, true);
  }
  return set.SaveToMemory();
}

std::vector<std::uint8_t> NuclearAni() {
  gfx::CSprite8 set;
  const int n = 20;
  for (int f = 0; f < n; ++f) {
    const float t = static_cast<float>(f) / static_cast<float>(n - 1);
    Canvas c(128, 128);
    const float r = 10 + 52 * std::sqrt(t);
    c.Shade([&](float x, float y) {
      const float d = std::hypot(x - 64, y - 64);
      if (d > r) return Colour{0, 0, 0, 0};
      const float k = d / r;
      const float flicker = SmoothNoise(x / 6, y / 6, f) * 0.4f;
      const Colour core = Mix(Rgb(255, 255, 220), Rgb(255, 160, 30), std::clamp(k + flicker - 0.2f, 0.0f, 1.0f));
      const Colour outer = Mix(core, Rgb(140, 30, 10), std::clamp((k - 0.6f) * 2.5f, 0.0f, 1.0f));
      return Colour{outer.r, outer.g, outer.b, 1.0f - t * 0.3f};
    });
    c.Ring(64, 64, r + 2, 3 * (1 - t) + 1, Rgb(255, 240, 200));
    AddFrame8(set, c, true);
  }
  return set.SaveToMemory();
}

std::vector<std::uint8_t> PcRoom() {
  gfx::CSprite8 set;
  for (const char* text : {"PC방 베이직", "PC방 플러스"}) {
    Canvas c(160, 40);
    c.VerticalGradientRoundRect(0, 0, 160, 40, 12, Rgb(255, 220, 100), Rgb(200, 120, 20));
    c.TextWithOutline(text, 80, 20, 16, true, Rgb(255, 255, 255), Rgb(100, 40, 0));
    AddFrame8(set, c, false);
  }
  return set.SaveToMemory();
}

std::vector<std::uint8_t> PeakTime() {
  gfx::CSprite8 set;
  Canvas c(370, 24);
  c.FillRoundRect(0, 0, 370, 24, 10, Rgb(140, 20, 60, 0.9f));
  c.Text("피크타임 이벤트 진행 중! 승리하면 코인이 쌓입니다", 185, 12, 13, true, Rgb(255, 240, 200));
  AddFrame8(set, c, false);
  return set.SaveToMemory();
}

std::vector<std::uint8_t> EventCoin() {
  gfx::CSprite8 set;
  Canvas bar(220, 28);
  bar.VerticalGradientRoundRect(0, 0, 220, 28, 8, Rgb(80, 40, 10), Rgb(40, 20, 4));
  bar.Text("이벤트 코인", 110, 14, 13, true, Rgb(255, 220, 120));
  AddFrame8(set, bar, false);
  Canvas fill(220, 22);
  fill.VerticalGradientRoundRect(0, 0, 220, 22, 6, Rgb(255, 240, 140), Rgb(220, 150, 20));
  AddFrame8(set, fill, false);
  for (int d = 0; d < 10; ++d) {
    Canvas digit(9, 13);
    digit.Text(std::to_string(d), 4.5f, 6.5f, 13, true, Rgb(255, 255, 230));
    AddFrame8(set, digit, false);
  }
  Canvas unit(16, 13);
  unit.Text("개", 8, 6.5f, 11, true, Rgb(255, 255, 230));
  AddFrame8(set, unit, false);
  for (int f = 0; f < 14; ++f) {
    Canvas coin(24, 24);
    const float squash = std::abs(std::cos(static_cast<float>(f) * kPi / 7));
    const float w = 2 + 9 * squash;
    coin.Shade([&](float x, float y) {
      const float dx = (x - 12) / w, dy = (y - 12) / 11;
      if (dx * dx + dy * dy > 1) return Colour{0, 0, 0, 0};
      return Mix(Rgb(255, 240, 150), Rgb(210, 140, 10), std::clamp((x + y) / 48, 0.0f, 1.0f));
    });
    AddFrame8(set, coin, false);
  }
  return set.SaveToMemory();
}

}  // namespace

std::vector<std::uint8_t> GameSpriteFile(std::string_view name) {
  static const std::map<std::string_view, std::function<std::vector<std::uint8_t>()>> makers = {
      {"GameBack8.spr", GameBack},
      {"Title8.spr", TitleSet},
      {"TGage8.spr", [] { return Gauge(false); }},
      {"PGage8.spr", [] { return Gauge(true); }},
      {"PowerBtn8.spr", [] { return ItemButton(0); }},
      {"ChangeBtn8.spr", [] { return ItemButton(1); }},
      {"TeleportBtn8.spr", [] { return ItemButton(2); }},
      {"NuclearBtn8.spr", [] { return ItemButton(3); }},
      {"Dot8.spr", Dot},
      {"Star8.spr", Stars},
      {"Turn8.spr", Turn},
      {"PowerUpTitle8.spr", [] { return ItemTitle(0); }},
      {"ChangeTitle8.spr", [] { return ItemTitle(1); }},
      {"TeleportTitle8.spr", [] { return ItemTitle(2); }},
      {"NuclearTitle8.spr", [] { return ItemTitle(3); }},
      {"ChangeCur8.spr", [] { return CursorMark(Rgb(120, 240, 255)); }},
      {"TeleportCur8.spr", [] { return CursorMark(Rgb(210, 150, 255)); }},
      {"NuclearCur8.spr", [] { return CursorMark(Rgb(255, 110, 60)); }},
      {"ChangeAni8.spr", ChangeAni},
      {"TeleportAni8.spr", TeleportAni},
      {"NuclearAni8.spr", NuclearAni},
      {"TeleportTarget8.spr", TeleportTarget},
      {"StoneFocus8.spr", StoneFocus},
      {"HanStone8.spr", [] { return Stones(true); }},
      {"ChoStone8.spr", [] { return Stones(false); }},
      {"PcRoom.spr", PcRoom},
      {"PeakTime.spr", PeakTime},
      {"Event_coin.spr", EventCoin},
  };
  const auto it = makers.find(name);
  return it == makers.end() ? std::vector<std::uint8_t>{} : it->second();
}

// The Han king's stone, filling the square; a wider bevel keeps the rim
// visible once the window manager shrinks it to a title-bar icon.
std::vector<std::uint8_t> ProgramIconFile(const AssetEntry& entry) {
  const int r = std::min(entry.width, entry.height) / 2;
  Canvas stone = StoneImage(true, r, static_cast<float>(r) * 0.14f, r * 13 / 12, Glyph(true, 0));
  Canvas icon(entry.width, entry.height);
  icon.Draw(stone, (entry.width - 2 * r) / 2, (entry.height - 2 * r) / 2);
  return BmpBytesWithAlpha(icon);
}

}  // namespace tovrik::assetgen
