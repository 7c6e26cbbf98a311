#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <tuple>

#include "TestImages.h"
#include "gfx/Csp.h"
#include "gfx/JpegFile.h"
#include "gfx/PixelFormat.h"
#include "gfx/Sprite.h"
#include "gfx/Sprite8.h"

namespace tovrik::gfx {
namespace {

constexpr std::uint16_t kKey = 0x7C1F;
constexpr std::size_t kHeader = 28;
constexpr std::size_t kFrameHeader = 32;

void PutI16(std::vector<std::uint8_t>& b, std::size_t at, int v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void PutI32(std::vector<std::uint8_t>& b, std::size_t at, std::int64_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A two-frame set: frame 0 raw 3x2, frame 1 Csp 6x4 with one box in each list.
xSprite TwoFrameSet() {
  xSprite set;
  EXPECT_EQ(set.InsertByCopy(0, 3, 2, std::vector<std::uint16_t>{1, 2, 3, kKey, 5, 6}, kKey, 0), 1);
  EXPECT_EQ(set.InsertByCopy(1, 6, 4, testing::RandomFrame(6, 4, kKey, 3), kKey, 1), 1);
  SPRITE30* f = set.Frame(1);
  f->box1 = {SPRBOX{0, 1, 1, 4, 3, 0}};
  f->box2 = {SPRBOX{9, 0, 0, 2, 2, 9}};
  f->box1Count = f->box2Count = 1;
  f->offsetX = -7;
  f->offsetY = 12;
  return set;
}

void ExpectSameFrames(const xSprite& a, const xSprite& b) {
  ASSERT_EQ(a.FrameCount(), b.FrameCount());
  for (int i = 0; i < a.FrameCount(); ++i) {
    const SPRITE30& x = *a.Frame(i);
    const SPRITE30& y = *b.Frame(i);
    EXPECT_EQ(x.compress, y.compress) << i;
    EXPECT_EQ(x.colorKey, y.colorKey) << i;
    EXPECT_EQ(std::tie(x.width, x.height, x.offsetX, x.offsetY, x.centerX, x.centerY, x.dataSize),
              std::tie(y.width, y.height, y.offsetX, y.offsetY, y.centerX, y.centerY, y.dataSize))
        << i;
    EXPECT_EQ(x.box1, y.box1) << i;
    EXPECT_EQ(x.box2, y.box2) << i;
    EXPECT_EQ(x.data, y.data) << i;
  }
}

TEST(SpriteFile, WrittenSetLoadsBackToTheSameFrames) {
  const xSprite set = TwoFrameSet();
  xSprite loaded;
  ASSERT_EQ(loaded.LoadFromMemory(set.SaveToMemory()), 1);
  ExpectSameFrames(set, loaded);
  EXPECT_EQ(loaded.Header().version, 30);
  EXPECT_EQ(loaded.Header().bytesPerPixel, 2);
  EXPECT_EQ(loaded.Header().pixelFormat, 555);  // NewSpace writes 0; loading at 555 records the layout

  testing::ScratchDir dir("sprite-file");
  ASSERT_EQ(set.Save(dir / "set.spr"), 1);
  xSprite fromDisk;
  ASSERT_EQ(fromDisk.Load(dir / "set.spr"), 1);
  ExpectSameFrames(set, fromDisk);
  EXPECT_EQ(fromDisk.Load(dir / "missing.spr"), 0);
}

TEST(SpriteFile, MagicNeedsExactlyThirteenBytes) {
  const std::vector<std::uint8_t> good = TwoFrameSet().SaveToMemory();
  for (std::size_t i = 13; i < 16; ++i) {
    auto bytes = good;
    bytes[i] = 0xA5;
    xSprite set;
    EXPECT_EQ(set.LoadFromMemory(bytes), 1) << "byte " << i << " is not interpreted";
  }
  for (std::size_t i = 0; i < 13; ++i) {
    auto bytes = good;
    bytes[i] ^= 0x20;
    xSprite set;
    EXPECT_EQ(set.LoadFromMemory(bytes), 0) << "byte " << i;
  }
}

TEST(SpriteFile, LayoutConversionAtLoad) {
  xSprite set;
  set.InsertByCopy(0, 2, 1, std::vector<std::uint16_t>{0x7C1F, 0x03E0}, kKey, 0);
  set.InsertByCopy(1, 3, 1, std::vector<std::uint16_t>{kKey, 0x7FFF, 0x0421}, kKey, 1);
  set.Header().pixelFormat = 555;
  const auto bytes = set.SaveToMemory();

  xSprite same;
  ASSERT_EQ(same.LoadFromMemory(bytes, 555), 1);
  ExpectSameFrames(set, same);

  xSprite as565;
  ASSERT_EQ(as565.LoadFromMemory(bytes, 565), 1);
  EXPECT_EQ(as565.Header().pixelFormat, 565);
  EXPECT_EQ(as565.Frame(0)->colorKey, 0xF81F);
  EXPECT_EQ(as565.Frame(0)->data, (std::vector<std::uint16_t>{0xF81F, 0x07C0}));
  // Only run pixels change in a Csp frame: table, count, skip and length stay.
  EXPECT_EQ(as565.Frame(1)->data, (std::vector<std::uint16_t>{2, 0, 1, 1, 2, 0xFFDF, 0x0841}));
  EXPECT_EQ(as565.Frame(1)->frameFormat, 555);

  xSprite asBgr;
  ASSERT_EQ(asBgr.LoadFromMemory(bytes, -565), 1);
  EXPECT_EQ(asBgr.Frame(0)->data[0], RGB555_TO_BGR565(0x7C1F));

  xSprite untouched;  // the dialog skin asks for 16: pixels stay as stored
  ASSERT_EQ(untouched.LoadFromMemory(bytes, 16), 1);
  ExpectSameFrames(set, untouched);
  EXPECT_EQ(untouched.Header().pixelFormat, 555);

  auto as4444 = bytes;
  PutI16(as4444, 20, 4444);
  xSprite raw4444;
  ASSERT_EQ(raw4444.LoadFromMemory(as4444, 565), 1);
  ExpectSameFrames(set, raw4444);
  EXPECT_EQ(raw4444.Header().pixelFormat, 4444);
}

TEST(PixelConverters, MoveTheChannels) {
  EXPECT_EQ(RGB555_TO_RGB565(0x7C1F), 0xF81F);
  EXPECT_EQ(RGB555_TO_RGB565(0x03E0), 0x07C0);
  EXPECT_EQ(RGB565_TO_RGB555(0xFFFF), 0x7FFF);
  EXPECT_EQ(RGB565_TO_RGB555(0x07E0), 0x03E0);
  EXPECT_EQ(RGB555_TO_BGR565(0x7C00), 0x001F);
  EXPECT_EQ(RGB555_TO_BGR565(0x001F), 0xF800);
  EXPECT_EQ(RGB565_TO_BGR565(0xF800), 0x001F);
  EXPECT_EQ(RGB565_TO_BGR565(0x07E0), 0x07E0);
  EXPECT_EQ(RGB555(255, 128, 7), 0x7C00 | 16 << 5 | 0);
}

TEST(SpriteFile, AnimationBlockRoundTripsAndIsOnlyReadWhenFlagged) {
  xSprite set = TwoFrameSet();
  set.Header().animation = 1;
  auto& characters = set.Animation().Characters();
  xAniFile::Action left{"left", {}};
  left.frames.push_back({5, {{0, 1, 2, 3}, {1, -4, 5, 0}}});
  left.frames.push_back({7, {}});
  xAniFile::Group walk{"walk", {left}};
  characters.push_back({"hero", {walk}});
  characters.push_back({"fourteen-chars", {}});
  const auto bytes = set.SaveToMemory();
  xSprite loaded;
  ASSERT_EQ(loaded.LoadFromMemory(bytes), 1);
  ASSERT_EQ(loaded.Animation().CharacterCount(), 2);
  const auto* hero = loaded.Animation().GetCharacter("hero");
  ASSERT_NE(hero, nullptr);
  const auto& frame = hero->groups.at(0).actions.at(0).frames.at(0);
  EXPECT_EQ(frame.delay, 5);
  EXPECT_EQ(frame.cells.at(1).x, -4);
  EXPECT_EQ(loaded.Animation().GetCharacter(1)->name, "fourteen-chars");
  EXPECT_EQ(loaded.Animation().GetCharacter(2), nullptr);

  // Flag 0: whatever follows the last frame is ignored.
  auto unflagged = bytes;
  PutI32(unflagged, 24, 0);
  xSprite plain;
  EXPECT_EQ(plain.LoadFromMemory(unflagged), 1);
  EXPECT_EQ(plain.Animation().CharacterCount(), 0);

  // Flagged but cut short: the load fails, the frames stay.
  auto cut = bytes;
  cut.resize(cut.size() - 3);
  xSprite partial;
  EXPECT_EQ(partial.LoadFromMemory(cut), 0);
  EXPECT_EQ(partial.FrameCount(), 2);
  EXPECT_TRUE(partial.Frame(1)->IsDrawable());
}

TEST(SpriteSet, InsertBounds) {
  xSprite set;
  EXPECT_EQ(set.InsertByCopy(5, 1, 1, std::vector<std::uint16_t>{1}, kKey, 0), 1);  // empty set: as NewSpace
  EXPECT_EQ(set.InsertByCopy(1, 1, 1, std::vector<std::uint16_t>{2}, kKey, 0), 1);  // index = count appends
  EXPECT_EQ(set.InsertByCopy(3, 1, 1, std::vector<std::uint16_t>{3}, kKey, 0), 0);  // count + 1
  EXPECT_EQ(set.InsertByCopy(-1, 1, 1, std::vector<std::uint16_t>{3}, kKey, 0), 0);
  EXPECT_EQ(set.InsertByCopy(0, 2, 2, std::vector<std::uint16_t>{3}, kKey, 0), 0);  // too few pixels
  EXPECT_EQ(set.InsertByCopy(0, 1, 1, std::vector<std::uint16_t>{0}, kKey, 0), 1);
  ASSERT_EQ(set.FrameCount(), 3);
  EXPECT_EQ(set.Frame(0)->data[0], 0);
  EXPECT_EQ(set.Frame(1)->data[0], 1);
  EXPECT_EQ(set.Frame(2)->data[0], 2);
  EXPECT_EQ(set.Header().frameCount, 3);
}

TEST(SpriteSet, NewSpaceFillsTheRecord) {
  xSprite set;
  ASSERT_EQ(set.NewSpace(5, 3, std::vector<std::uint16_t>(15, 9), kKey, 0), 1);
  const SPRITE30& f = *set.Frame(0);
  EXPECT_EQ(std::string(set.Header().id.data()), "93XYZ sprite");
  EXPECT_EQ(set.Header().pixelFormat, 0);
  EXPECT_EQ(std::tie(f.centerX, f.centerY, f.dataSize, f.frameFormat, f.compress), std::make_tuple(2, 1, 30, 555, 0u));
}

TEST(SpriteSet, CompressAndDeCompressReportWhatChanged) {
  xSprite set;
  const auto pixels = testing::RandomFrame(9, 5, kKey, 11);
  set.InsertByCopy(0, 9, 5, pixels, kKey, 0);
  EXPECT_EQ(set.DeCompress(0), 0);  // already raw
  EXPECT_EQ(set.Compress(0), 1);
  EXPECT_EQ(set.Compress(0), 0);  // already Csp
  EXPECT_EQ(set.Compress(1), 0);
  EXPECT_EQ(set.CheckData(0), 1);
  EXPECT_EQ(set.DeCompress(0), 1);
  EXPECT_EQ(set.Frame(0)->data, pixels);
  EXPECT_EQ(set.Frame(0)->dataSize, 90);
}

TEST(SpriteSet, OptimizeSizeCropsAndMovesTheOrigin) {
  // 6x5, key everywhere but a 2x2 block at (2,1)-(3,2): the crop keeps one
  // key row under the block.
  std::vector<std::uint16_t> p(30, kKey);
  p[1 * 6 + 2] = p[1 * 6 + 3] = p[2 * 6 + 2] = p[2 * 6 + 3] = 0x1111;
  for (int compress : {0, 1}) {
    xSprite set;
    set.InsertByCopy(0, 6, 5, p, kKey, compress);
    SPRITE30& f = *set.Frame(0);
    f.box1 = {SPRBOX{0, 2, 1, 3, 2, 0}};
    ASSERT_EQ(set.OptimizeSize(0, 1), 1);
    EXPECT_EQ(std::tie(f.width, f.height), std::make_tuple(2, 3));
    EXPECT_EQ(std::tie(f.offsetX, f.offsetY, f.centerX, f.centerY), std::make_tuple(2, 1, 1, 1));
    EXPECT_EQ(f.box1[0], (SPRBOX{0, 0, 0, 1, 1, 0}));
    EXPECT_EQ(f.compress, static_cast<std::uint32_t>(compress));
    ASSERT_EQ(set.DeCompress(0), compress);
    EXPECT_EQ(f.data, (std::vector<std::uint16_t>{0x1111, 0x1111, 0x1111, 0x1111, kKey, kKey}));
  }
  // A single column is never cut (left must be below right).
  xSprite column;
  std::vector<std::uint16_t> q(9, kKey);
  q[4] = 1;
  column.InsertByCopy(0, 3, 3, q, kKey, 0);
  EXPECT_EQ(column.OptimizeSize(0, 1), 0);
  EXPECT_EQ(column.Frame(0)->width, 3);
}

TEST(SpriteSet, CheckDataClearsUnsoundFrames) {
  xSprite set = TwoFrameSet();
  EXPECT_EQ(set.ValidCheck(), 1);
  set.Frame(0)->dataSize += 2;  // size no longer matches the image
  std::vector<std::uint16_t>& csp = set.Frame(1)->data;
  csp[2] += 1;  // row 1 no longer starts where the table says
  EXPECT_EQ(set.ValidCheck(), 0);
  EXPECT_EQ(set.Frame(0)->width, 0);
  EXPECT_TRUE(set.Frame(1)->data.empty());
  EXPECT_FALSE(set.Frame(1)->IsDrawable());
}

// Every way a file can lie about its counts and sizes; none may read or
// leave a frame that draws outside its data.
TEST(SpriteFile, CorruptFilesFailWithoutTrustingCounts) {
  const std::vector<std::uint8_t> good = TwoFrameSet().SaveToMemory();
  const std::size_t f0 = kHeader;                             // frame 0 header
  const std::size_t f1 = kHeader + kFrameHeader + 3 * 2 * 2;  // frame 1 header
  struct Case {
    const char* name;
    std::function<void(std::vector<std::uint8_t>&)> corrupt;
    int framesKept;  // frames left with pixels
  } cases[] = {
      {"negative frame count", [](auto& b) { PutI16(b, 22, -1); }, 0},
      {"more frames than the file holds", [](auto& b) { PutI16(b, 22, 3); }, 2},
      {"data size past the end", [&](auto& b) { PutI32(b, f1 + 20, 100000); }, 1},
      {"negative data size", [&](auto& b) { PutI32(b, f0 + 20, -12); }, 0},
      {"negative box count", [&](auto& b) { PutI16(b, f1 + 16, -1); }, 1},
      {"box count past the end", [&](auto& b) { PutI16(b, f1 + 18, 30000); }, 1},
      {"raw frame shorter than its size", [&](auto& b) { PutI16(b, f0 + 8, 4); }, 1},
      {"raw frame of negative width", [&](auto& b) { PutI16(b, f0 + 8, -3); }, 1},
      {"Csp row table outside its data", [&](auto& b) { PutI32(b, f1 + kFrameHeader + 24 + 4, 5000); }, 1},
      {"Csp frame wider than its runs allow", [&](auto& b) { PutI16(b, f1 + 8, 2); }, 1},
      {"unknown compress value", [&](auto& b) { b[f0] = 7; }, 1},
      {"odd data size",
       [&](auto& b) {
         PutI32(b, f0 + 20, 13);
         b.insert(b.begin() + static_cast<std::ptrdiff_t>(f0 + kFrameHeader + 12), 0);
       },
       1},
  };
  for (const auto& c : cases) {
    auto bytes = good;
    c.corrupt(bytes);
    xSprite set;
    EXPECT_EQ(set.LoadFromMemory(bytes), 0) << c.name;
    int drawable = 0;
    for (int i = 0; i < set.FrameCount(); ++i) drawable += set.Frame(i)->IsDrawable() ? 1 : 0;
    EXPECT_EQ(drawable, c.framesKept) << c.name;
    for (int i = 0; i < set.FrameCount(); ++i) {
      const SPRITE30& f = *set.Frame(i);
      if (f.compress == 1 && f.IsDrawable()) {
        EXPECT_TRUE(CspIsDrawable16(f.data, f.width, f.height)) << c.name;
      }
    }
  }
  // Every truncation of a good file fails cleanly.
  for (std::size_t size = 0; size < good.size(); ++size) {
    xSprite set;
    EXPECT_EQ(set.LoadFromMemory(std::span(good).first(size)), 0) << size;
  }
}

// A header, then `stored` frame records with no pixels, under a header that
// claims `claimed` frames.
std::vector<std::uint8_t> BareFrames(std::size_t headerSize, std::size_t countAt, std::size_t frameSize, int stored,
                                     int claimed) {
  std::vector<std::uint8_t> bytes(headerSize + static_cast<std::size_t>(stored) * frameSize, 0);
  std::memcpy(bytes.data(), kSpriteMagic.data(), kSpriteMagic.size());
  PutI16(bytes, countAt, claimed);
  return bytes;
}

// A count beyond what the frame headers alone would fill is refused before it
// sizes the frame table: a 28-byte file used to make 32767 empty frames.
TEST(SpriteFile, FrameCountIsBoundedByTheFileLength) {
  struct Case {
    int stored, claimed, result, frames;
  } cases[] = {{3, 3, 1, 3}, {3, 4, 0, 0}, {0, 0, 1, 0}, {0, 1, 0, 0}, {0, 32767, 0, 0}, {1, 32767, 0, 0}};
  for (const Case& c : cases) {
    xSprite set16;
    EXPECT_EQ(set16.LoadFromMemory(BareFrames(kHeader, 22, kFrameHeader, c.stored, c.claimed)), c.result)
        << c.stored << " of " << c.claimed;
    EXPECT_EQ(set16.FrameCount(), c.frames) << c.stored << " of " << c.claimed;
    CSprite8 set8;
    EXPECT_EQ(set8.LoadFromMemory(BareFrames(24, 18, 28, c.stored, c.claimed)), c.result)
        << c.stored << " of " << c.claimed;
    EXPECT_EQ(set8.FrameCount(), c.frames) << c.stored << " of " << c.claimed;
  }
}

// Found by the sprite fuzzer: a Csp frame whose second row record lies inside
// the first row's pixels. Converting the first row's pixels to 565 rewrote
// the second row's run length (32 became 64) before that row was walked, and
// the conversion wrote past the frame data.
TEST(SpriteFile, OverlappingCspRowsConvertWithinTheData) {
  // Row table, then row 0 at word 4: one run of 3 pixels (1, 0, 0x20); row 1
  // at word 7 reads those pixels as its count 1, skip 0, length 0x20.
  std::vector<std::uint16_t> data = {4, 0, 7, 0, 1, 0, 3, 1, 0, 0x20};
  data.resize(data.size() + 0x20, 0x1F);
  std::vector<std::uint8_t> bytes(kHeader + kFrameHeader, 0);
  std::memcpy(bytes.data(), kSpriteMagic.data(), kSpriteMagic.size());
  PutI16(bytes, 20, kLayout555);
  PutI16(bytes, 22, 1);
  const std::size_t f0 = kHeader;
  bytes[f0] = 1;                                         // Csp
  PutI16(bytes, f0 + 8, 64), PutI16(bytes, f0 + 10, 2);  // 64 x 2
  PutI32(bytes, f0 + 20, static_cast<std::int64_t>(data.size() * 2));
  PutI16(bytes, f0 + 24, kLayout555);
  for (std::uint16_t word : data) bytes.push_back(static_cast<std::uint8_t>(word)), bytes.push_back(word >> 8);

  // Converted, row 1 would need 64 pixels where 32 follow: the frame is
  // dropped rather than handed to a blit. Unconverted, it stays drawable.
  xSprite converted;
  converted.LoadFromMemory(bytes, kLayout565);
  ASSERT_EQ(converted.FrameCount(), 1);
  EXPECT_FALSE(converted.Frame(0)->IsDrawable());
  xSprite unconverted;
  EXPECT_EQ(unconverted.LoadFromMemory(bytes, kLayout555), 1);
  EXPECT_TRUE(unconverted.Frame(0)->IsDrawable());
  EXPECT_TRUE(CspIsDrawable16(unconverted.Frame(0)->data, 64, 2));
}

TEST(SpriteFile8, RoundTripAndCorruptFiles) {
  CSprite8 set;
  const auto board = testing::RandomFrame8(40, 30, 0, 5);
  ASSERT_EQ(set.Insert(0, 40, 30, std::vector<std::uint8_t>(board), 0, 1), 1);
  ASSERT_EQ(set.Insert(1, 2, 2, std::vector<std::uint8_t>{0, 1, 2, 3}, 9, 0), 1);
  EXPECT_EQ(set.Insert(3, 1, 1, std::vector<std::uint8_t>{1}, 0, 0), 0);
  const auto good = set.SaveToMemory();

  CSprite8 loaded;
  ASSERT_EQ(loaded.LoadFromMemory(good), 1);
  ASSERT_EQ(loaded.FrameCount(), 2);
  EXPECT_EQ(loaded.Frame(0)->compress, 1u);
  std::vector<std::uint8_t> back(board.size());
  ASSERT_TRUE(DecodeSpr8(back, 40, 30, loaded.Frame(0)->data, 0));
  EXPECT_EQ(back, board);
  EXPECT_EQ(loaded.Frame(1)->colorKey, 9);
  EXPECT_EQ(loaded.Frame(1)->data, (std::vector<std::uint8_t>{0, 1, 2, 3}));

  for (std::size_t i = 0; i < 13; ++i) {
    auto bytes = good;
    bytes[i] = '#';
    EXPECT_EQ(CSprite8().LoadFromMemory(bytes), 0) << i;
  }
  for (std::size_t size = 0; size < good.size(); ++size) {
    EXPECT_EQ(CSprite8().LoadFromMemory(std::span(good).first(size)), 0) << size;
  }
  const std::size_t f0 = 24;
  struct Case {
    const char* name;
    std::function<void(std::vector<std::uint8_t>&)> corrupt;
  } cases[] = {
      {"negative frame count", [](auto& b) { PutI16(b, 18, -2); }},
      {"Csp row table outside its data", [&](auto& b) { PutI32(b, f0 + 28 + 8, 99999); }},
      {"Csp frame narrower than its runs", [&](auto& b) { PutI16(b, f0 + 6, 10); }},
      {"data size past the end", [&](auto& b) { PutI32(b, f0 + 20, 1 << 30); }},
  };
  for (const auto& c : cases) {
    auto bytes = good;
    c.corrupt(bytes);
    CSprite8 broken;
    EXPECT_EQ(broken.LoadFromMemory(bytes), 0) << c.name;
    if (broken.FrameCount() > 0) {
      EXPECT_FALSE(broken.Frame(0)->IsDrawable()) << c.name;
    }
  }
}

}  // namespace
}  // namespace tovrik::gfx
