#include "sound/WaveFile.h"

#include "TestWave.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>

namespace fs = std::filesystem;
using namespace tovrik::sound;
using namespace tovrik::sound::test;

namespace {

std::vector<uint8_t> WithChunks(std::function<void(std::vector<uint8_t>&)> add) {
  std::vector<uint8_t> chunks;
  add(chunks);
  return Riff(chunks);
}

}  // namespace

TEST(WaveFileTest, ReadsFormatDataAndPosition) {
  const WaveSpec spec{.channels = 2, .rate = 11025, .bits = 16, .frames = 100};
  const auto image = MakeWave(spec);
  const fs::path file = fs::temp_directory_path() / ("tovrik-wave-" + std::to_string(::getpid()) + ".wav");
  WriteFile(file, image);

  xWaveFile wave;
  ASSERT_EQ(wave.Open(file), 1) << wave.LastError();
  fs::remove(file);
  EXPECT_EQ(wave.GetFormat().formatTag, kWaveFormatPcm);
  EXPECT_EQ(wave.GetFormat().channels, 2);
  EXPECT_EQ(wave.GetFormat().samplesPerSec, 11025u);
  EXPECT_EQ(wave.GetFormat().blockAlign, 4);
  EXPECT_EQ(wave.GetSize(), 400u);

  std::vector<uint8_t> part(300);
  EXPECT_EQ(wave.Read(part), 300u);
  EXPECT_EQ(wave.GetPosition(), 300u);
  EXPECT_TRUE(std::equal(part.begin(), part.end(), image.begin() + 44));
  EXPECT_EQ(wave.Read(part), 100u) << "reading stops at the end of the data";
  EXPECT_EQ(wave.Read(part), 0u);
  wave.ResetFile();
  EXPECT_EQ(wave.GetPosition(), 0u);
}

TEST(WaveFileTest, MissingFileIsRefused) {
  xWaveFile wave;
  EXPECT_EQ(wave.Open("/nonexistent/tovrik/none.wav"), 0);
  EXPECT_FALSE(wave.IsOpen());
  EXPECT_FALSE(wave.LastError().empty());
}

TEST(WaveFileTest, AcceptsWhatRealWritersProduce) {
  const WaveSpec spec{.frames = 10};
  struct Case {
    const char* what;
    std::vector<uint8_t> image;
    size_t dataSize;
  };
  auto wrongRiffSize = MakeWave(spec);
  wrongRiffSize[4] = 0xFF, wrongRiffSize[5] = 0xFF, wrongRiffSize[6] = 0xFF, wrongRiffSize[7] = 0x7F;
  const Case cases[] = {
      {"RIFF size larger than the file", wrongRiffSize, 20},
      {"odd-sized chunk padded before the data", WithChunks([&](auto& c) {
         PutChunk(c, "fmt ", FmtBody(spec));
         PutChunk(c, "LIST", {1, 2, 3});
         PutChunk(c, "data", Samples(spec));
       }), 20},
      {"data before fmt", WithChunks([&](auto& c) {
         PutChunk(c, "data", Samples(spec));
         PutChunk(c, "fmt ", FmtBody(spec));
       }), 20},
      {"partial last frame dropped", WithChunks([&](auto& c) {
         PutChunk(c, "fmt ", FmtBody(spec));
         auto samples = Samples(spec);
         samples.push_back(7);
         PutChunk(c, "data", samples);
       }), 20},
      {"8-bit", MakeWave({.bits = 8, .frames = 10}), 10},
      {"32-bit float", MakeWave({.formatTag = 3, .bits = 32, .frames = 10}), 40},
  };
  for (const Case& c : cases) {
    WaveLayout layout;
    std::string error;
    EXPECT_TRUE(ParseWave(c.image, layout, error)) << c.what << ": " << error;
    EXPECT_EQ(layout.dataSize, c.dataSize) << c.what;
    EXPECT_LE(layout.dataOffset + layout.dataSize, c.image.size()) << c.what;
  }
}

TEST(WaveFileTest, RefusesMalformedFiles) {
  const WaveSpec spec{.frames = 10};
  auto good = MakeWave(spec);
  auto truncated = good;
  truncated.resize(good.size() - 3);
  auto notWave = good;
  notWave[8] = 'X';
  auto hugeData = good;
  hugeData[40] = 0xFF, hugeData[41] = 0xFF, hugeData[42] = 0xFF, hugeData[43] = 0xFF;
  auto badAlign = good;
  badAlign[32] = 3;
  auto noChannels = good;
  noChannels[22] = 0;

  struct Case {
    const char* what;
    std::vector<uint8_t> image;
  };
  const Case cases[] = {
      {"empty", {}},
      {"only the RIFF header", std::vector<uint8_t>(good.begin(), good.begin() + 12)},
      {"data chunk shorter than declared", truncated},
      {"data size 0xFFFFFFFF", hugeData},
      {"not WAVE", notWave},
      {"block alignment wrong", badAlign},
      {"no channels", noChannels},
      {"no fmt chunk", WithChunks([&](auto& c) { PutChunk(c, "data", Samples(spec)); })},
      {"no data chunk", WithChunks([&](auto& c) { PutChunk(c, "fmt ", FmtBody(spec)); })},
      {"fmt chunk too short", WithChunks([&](auto& c) {
         PutChunk(c, "fmt ", std::vector<uint8_t>(10, 1));
         PutChunk(c, "data", Samples(spec));
       })},
      {"extensible fmt without its extension", WithChunks([&](auto& c) {
         auto fmt = FmtBody(spec);
         fmt[0] = 0xFE, fmt[1] = 0xFF;
         PutChunk(c, "fmt ", fmt);
         PutChunk(c, "data", Samples(spec));
       })},
      {"fmt chunk size past the end", WithChunks([&](auto& c) {
         PutId(c, "fmt ");
         PutU32(c, 1000);
         auto fmt = FmtBody(spec);
         c.insert(c.end(), fmt.begin(), fmt.end());
       })},
      {"compressed samples", MakeWave({.formatTag = 2, .frames = 10})},
      {"24-bit samples", MakeWave({.bits = 24, .frames = 10})},
      {"zero sample rate", MakeWave({.rate = 0, .frames = 10})},
  };
  for (const Case& c : cases) {
    WaveLayout layout;
    std::string error;
    EXPECT_FALSE(ParseWave(c.image, layout, error)) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
  }
}
