// The generated artwork and sounds against what the client's code expects.
// Menu files are UTF-8 read as bytes.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SDL.h>
#include <SimpleIni.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>

#include "assetgen/Generator.h"
#include "assetgen/Manifest.h"
#include "gfx/Csp.h"
#include "gfx/GrpLib8.h"
#include "gfx/Sprite.h"
#include "gfx/Sprite8.h"
#include "platform/PathResolver.h"
#include "sound/WaveFile.h"

namespace fs = std::filesystem;
using namespace tovrik::assetgen;

namespace {

const fs::path kRuntime = TOVRIK_RUNTIME_DIR;

std::vector<std::uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

fs::path Resolved(const AssetEntry& e) { return tovrik::platform::ResolvePath(e.path, kRuntime); }

template <typename Frame>
void ExpectSizes(const AssetEntry& e, int count, const std::function<const Frame*(int)>& frame) {
  EXPECT_EQ(count, e.frames) << e.path;
  for (int i = 0; i < count; ++i) {
    const Frame* f = frame(i);
    ASSERT_NE(f, nullptr) << e.path << " frame " << i;
    EXPECT_TRUE(f->IsDrawable()) << e.path << " frame " << i;
  }
  for (const FrameSize& s : e.sizes) {
    ASSERT_LT(s.frame, count) << e.path;
    EXPECT_EQ(frame(s.frame)->width, s.width) << e.path << " frame " << s.frame;
    EXPECT_EQ(frame(s.frame)->height, s.height) << e.path << " frame " << s.frame;
  }
}

// The menu file holds every popup and item of its resource, in order.
void CheckMenu(const AssetEntry& e, const fs::path& path) {
  CSimpleIniA ini(true);
  ASSERT_GE(ini.LoadFile(path.c_str()), 0) << e.path;
  const auto menu = std::find_if(MenuResources().begin(), MenuResources().end(),
                                 [&](const MenuResource& m) { return MenuPath(m.id) == e.path; });
  ASSERT_NE(menu, MenuResources().end()) << e.path;
  for (std::size_t p = 0; p < menu->popups.size(); ++p) {
    const std::string section = "popup" + std::to_string(p);
    EXPECT_EQ(ini.GetSectionSize(section.c_str()), static_cast<int>(menu->popups[p].size())) << e.path << " " << section;
    for (std::size_t i = 0; i < menu->popups[p].size(); ++i) {
      const char* value = ini.GetValue(section.c_str(), ("item" + std::to_string(i)).c_str());
      ASSERT_NE(value, nullptr) << e.path << " " << section << " item" << i;
      const MenuItem& item = menu->popups[p][i];
      EXPECT_EQ(value, std::to_string(item.command) + "," + std::string(item.caption)) << e.path;
    }
  }
  EXPECT_LE(ini.GetSectionSize(("popup" + std::to_string(menu->popups.size())).c_str()), 0) << e.path;
}

// An icon is a shape on nothing: clear corners, a solid middle, and the
// edge blended rather than cut, so it sits on any title bar or task bar.
void CheckIcon(const AssetEntry& e, const fs::path& path) {
  SDL_Surface* loaded = SDL_LoadBMP(path.string().c_str());
  ASSERT_NE(loaded, nullptr) << e.path << ": " << SDL_GetError();
  EXPECT_NE(loaded->format->Amask, 0u) << e.path << " has no alpha channel";
  SDL_Surface* image = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(loaded);
  ASSERT_NE(image, nullptr) << SDL_GetError();
  EXPECT_EQ(image->w, e.width) << e.path;
  EXPECT_EQ(image->h, e.height) << e.path;
  const auto alpha = [&](int x, int y) {
    const auto* row = static_cast<const std::uint8_t*>(image->pixels) + static_cast<std::ptrdiff_t>(y) * image->pitch;
    return reinterpret_cast<const std::uint32_t*>(row)[x] >> 24;
  };
  const int w = image->w, h = image->h;
  for (auto [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}}) EXPECT_EQ(alpha(x, y), 0u) << x << "," << y;
  EXPECT_EQ(alpha(w / 2, h / 2), 255u);
  int partial = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) partial += alpha(x, y) > 0 && alpha(x, y) < 255;
  EXPECT_GT(partial, w) << e.path << " has a jagged edge";
  SDL_FreeSurface(image);
}

void CheckEntry(const AssetEntry& e) {
  const fs::path path = Resolved(e);
  ASSERT_TRUE(fs::exists(path)) << e.path << " was not generated";
  switch (e.kind) {
    case AssetKind::Sprite8: {
      tovrik::gfx::CSprite8 set;
      ASSERT_EQ(set.Load(path), 1) << e.path;
      ExpectSizes<tovrik::gfx::SPRITE8>(e, set.FrameCount(), [&](int i) { return set.Frame(i); });
      break;
    }
    case AssetKind::Sprite16: {
      tovrik::gfx::xSprite set;
      ASSERT_EQ(set.Load(path), 1) << e.path;
      ExpectSizes<tovrik::gfx::SPRITE30>(e, set.FrameCount(), [&](int i) { return set.Frame(i); });
      break;
    }
    case AssetKind::Bitmap: {
      SDL_Surface* image = SDL_LoadBMP(path.string().c_str());
      ASSERT_NE(image, nullptr) << e.path << ": " << SDL_GetError();
      EXPECT_EQ(image->w, e.width) << e.path;
      EXPECT_EQ(image->h, e.height) << e.path;
      EXPECT_EQ(image->h % e.states, 0) << e.path;
      SDL_FreeSurface(image);
      break;
    }
    case AssetKind::Icon: CheckIcon(e, path); break;
    case AssetKind::Wave: {
      tovrik::sound::xWaveFile wave;
      ASSERT_EQ(wave.Open(path), 1) << e.path << ": " << wave.LastError();
      EXPECT_EQ(wave.GetFormat().formatTag, tovrik::sound::kWaveFormatPcm) << e.path;
      EXPECT_EQ(wave.GetFormat().bitsPerSample, 16) << e.path;
      // Long enough to hear, short enough for an effect.
      const double seconds = static_cast<double>(wave.GetSize()) / wave.GetFormat().avgBytesPerSec;
      EXPECT_GT(seconds, 0.02) << e.path;
      EXPECT_LT(seconds, 3.0) << e.path;
      break;
    }
    case AssetKind::Midi: {
      const auto bytes = ReadAll(path);
      ASSERT_GE(bytes.size(), 22u) << e.path;
      EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "MThd");
      EXPECT_EQ(std::string(bytes.begin() + 14, bytes.begin() + 18), "MTrk");
      const std::size_t trackLength = (std::size_t{bytes[18]} << 24) | (std::size_t{bytes[19]} << 16) |
                                      (std::size_t{bytes[20]} << 8) | bytes[21];
      EXPECT_EQ(trackLength + 22, bytes.size()) << e.path;
      // The track ends with the end-of-track meta event.
      EXPECT_EQ(bytes[bytes.size() - 3], 0xFF);
      EXPECT_EQ(bytes[bytes.size() - 2], 0x2F);
      break;
    }
    case AssetKind::Palette:
      EXPECT_EQ(fs::file_size(path), 1024u) << e.path;
      break;
    case AssetKind::BlendTable: {
      ASSERT_EQ(tovrik::gfx::LoadAlphaTable8(path), 1) << e.path;
      // Level 0 lays the sprite colour over the page unchanged when the
      // palette holds it: every index maps to itself or an identical colour.
      const auto palette = ReadAll(Resolved(*FindAsset(".\\data\\Palette.pal")));
      for (int s = 1; s < 256; s += 17) {
        const int got = tovrik::gfx::_pAlpha[200 * 256 + s];
        for (int k = 0; k < 3; ++k) EXPECT_EQ(palette[static_cast<std::size_t>(got * 4 + k)], palette[static_cast<std::size_t>(s * 4 + k)]);
      }
      tovrik::gfx::ClearAlphaTable8();
      break;
    }
    case AssetKind::WordList:
      EXPECT_GT(fs::file_size(path), 0u) << e.path;
      break;
    case AssetKind::Menu: CheckMenu(e, path); break;
  }
}

TEST(AssetgenTest, EveryManifestEntryLoadsWithTheClientsLoaders) {
  for (const AssetEntry& e : Manifest()) CheckEntry(e);
}

TEST(AssetgenTest, ManifestNamesEachFileOnce) {
  std::set<std::string> seen;
  for (const AssetEntry& e : Manifest()) {
    std::string key = OutputPath(e.path);
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    EXPECT_TRUE(seen.insert(key).second) << e.path;
  }
}

TEST(AssetgenTest, FoldersTakeOneSpellingWhateverTheCaseInTheSources) {
  EXPECT_EQ(OutputPath(".\\Data\\LobyListBack.spr"), "data/LobyListBack.spr");
  EXPECT_EQ(OutputPath(".\\IMAGE\\Whisper.bmp"), "image/Whisper.bmp");
  EXPECT_EQ(OutputPath(".\\image\\gameitem\\ChargeCashDlgBack.bmp"), "image/GameItem/ChargeCashDlgBack.bmp");
  ASSERT_NE(FindAsset(".\\DATA\\gameback8.SPR"), nullptr);
  EXPECT_EQ(FindAsset(".\\data\\Nothing.spr"), nullptr);
}

TEST(AssetgenTest, TwoRunsWriteIdenticalBytes) {
  const fs::path again = fs::temp_directory_path() / ("assetgen-test-" + std::to_string(::getpid()));
  std::string error;
  ASSERT_TRUE(GenerateAll(again, error)) << error;
  for (const AssetEntry& e : Manifest()) {
    if (e.kind == AssetKind::WordList) continue;
    EXPECT_EQ(ReadAll(again / OutputPath(e.path)), ReadAll(Resolved(e))) << e.path << " differs between runs";
  }
  fs::remove_all(again);
}

// Paths of data files written in the sources under `root`, with the C
// escapes undone; "%s" of the portal's common folder becomes "Common".
std::vector<std::pair<std::string, std::string>> LoadedPathsInSources(const fs::path& root,
                                                                      std::initializer_list<const char*> folders) {
  const auto isDataFile = [](std::string path) {
    std::transform(path.begin(), path.end(), path.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* ext : {".spr", ".bmp", ".wav", ".mid", ".pal", ".alp", ".bcd"})
      if (path.size() > 4 && path.compare(path.size() - 4, 4, ext) == 0) return true;
    return false;
  };
  std::vector<std::pair<std::string, std::string>> found;
  const fs::path& source = root;
  for (const char* folder : folders) {
    if (!fs::exists(source / folder)) continue;
    for (const auto& item : fs::recursive_directory_iterator(source / folder)) {
      const std::string ext = item.path().extension().string();
      if (ext != ".cpp" && ext != ".h") continue;
      std::ifstream in(item.path());
      const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
      // Every string literal, with its C escapes undone.
      for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '"' || (i > 0 && text[i - 1] == '\\') || (i > 0 && text[i - 1] == '\'')) continue;
        std::string path;
        std::size_t j = i + 1;
        for (; j < text.size() && text[j] != '"' && text[j] != '\n'; ++j) path += (text[j] == '\\' && j + 1 < text.size()) ? text[++j] : text[j];
        i = j;
        if (!isDataFile(path) || path.find('\\') == std::string::npos) continue;  // bare names are joined to a folder elsewhere
        if (path.rfind("%s\\", 0) == 0) path = "Common\\" + path.substr(3);
        if (path.find('%') != std::string::npos || path.find("NNN") != std::string::npos) continue;
        found.emplace_back(item.path().lexically_relative(source).string(), path);
      }
    }
  }
  return found;
}

TEST(AssetgenTest, EveryPathTheSourcesLoadIsInTheManifest) {
  const auto paths = LoadedPathsInSources(
      TOVRIK_SOURCE_DIR, {"app", "lobby", "game", "ui", "sound", "portal", "platform", "gfx", "crash", "net", "protocol"});
  EXPECT_FALSE(paths.empty());
  for (const auto& [file, path] : paths) EXPECT_NE(FindAsset(path), nullptr) << file << " loads " << path;
}

// The scan itself: a source naming a file the manifest lacks is reported,
// whatever the letter case, escapes or common-folder form it is written in.
TEST(AssetgenTest, SourceScanFindsPathsTheManifestLacks) {
  const fs::path root = fs::temp_directory_path() / ("assetgen-scan-" + std::to_string(::getpid()));
  fs::create_directories(root / "lobby" / "src");
  std::ofstream(root / "lobby" / "src" / "Screen.cpp")
      << "const char* a = \".\\\\Data\\\\LOBYLISTBACK.spr\";\n"
         "const char* b = \".\\\\image\\\\NoSuchPicture.bmp\";\n"
         "const char* c = \"%s\\\\Resource\\\\image\\\\PCRoom_Plus.wav\";\n"
         "const char* d = \"%s\\\\Resource\\\\image\\\\PCRoom_Gold.wav\";\n"
         "const char e = '\"'; const char* f = \"plain.bmp\";\n";
  const auto paths = LoadedPathsInSources(root, {"lobby"});
  fs::remove_all(root);
  std::vector<std::string> missing;
  for (const auto& [file, path] : paths)
    if (!FindAsset(path)) missing.push_back(path);
  EXPECT_EQ(paths.size(), 4u);
  EXPECT_EQ(missing, (std::vector<std::string>{".\\image\\NoSuchPicture.bmp", "Common\\Resource\\image\\PCRoom_Gold.wav"}));
}

// Every bitmap, cursor and menu resource the screens name by number.
TEST(AssetgenTest, NumberedResourcesAreInTheManifest) {
  std::vector<int> bitmaps = {198, 268};
  for (const ResourceButton& b : ResourceButtons()) bitmaps.insert(bitmaps.end(), b.ids.begin(), b.ids.end());
  for (int id : {255, 256, 257, 139, 143, 147, 148, 263, 264, 265, 266, 214, 215, 216, 223, 224, 225, 220, 221, 222,
                 245, 246, 247, 260, 261, 262, 236, 243, 244, 184, 185, 186, 188, 189, 190, 192, 193, 194, 195, 196, 197})
    EXPECT_NE(std::find(bitmaps.begin(), bitmaps.end(), id), bitmaps.end()) << "bitmap " << id;
  for (int id : bitmaps) EXPECT_NE(FindAsset(".\\image\\bitmap" + std::to_string(id) + ".bmp"), nullptr) << id;
  for (int id = 133; id <= 137; ++id) EXPECT_NE(FindAsset(".\\image\\cursor" + std::to_string(id) + ".bmp"), nullptr) << id;
  for (int id : {235, 244}) EXPECT_NE(FindAsset(MenuPath(id)), nullptr) << "menu " << id;
}

// Column headers stand side by side from their first x; each one's width is
// the distance to the next, the last reaching the scroll bar.
TEST(AssetgenTest, ListHeadersSpanTheirColumns) {
  struct HeaderRow {
    const char* set;
    int firstButton;
    std::vector<int> xs;  // header positions, then where the row ends
    int height;
  };
  const HeaderRow rows[] = {
      {".\\Data\\LobyListBackBtn.spr", 3, {0, 41, 96, 128, 337, 440, 518}, 34},
      {".\\Data\\UserListBackBtn.spr", 3, {9, 125, 155, 201}, 24},
      {".\\Data\\TitleListBackBtn.spr", 0, {0, 48, 321}, 34},
  };
  for (const HeaderRow& row : rows) {
    tovrik::gfx::xSprite set;
    ASSERT_EQ(set.Load(Resolved(*FindAsset(row.set))), 1) << row.set;
    const int perButton = FindAsset(row.set)->framesPerButton;
    for (std::size_t h = 0; h + 1 < row.xs.size(); ++h)
      for (int state = 0; state < perButton; ++state) {
        const auto* frame = set.Frame((row.firstButton + static_cast<int>(h)) * perButton + state);
        ASSERT_NE(frame, nullptr) << row.set;
        EXPECT_EQ(frame->width, row.xs[h + 1] - row.xs[h]) << row.set << " header " << h;
        EXPECT_EQ(frame->height, row.height) << row.set << " header " << h;
      }
  }
}

// Where the screens put their controls on each background: buttons (sized
// by their strip files) and other controls by their rectangles. Every one
// must lie on its background, and buttons must not cover one another.
TEST(AssetgenTest, ControlsFitTheirBackgrounds) {
  struct Control {
    const char* button;  // a four-state strip of the manifest, or null
    int x, y, width, height;
  };
  struct Screen {
    const char* background;
    std::vector<Control> controls;
  };
  const auto button = [](const char* path, int x, int y) { return Control{path, x, y, 0, 0}; };
  const auto area = [](int x, int y, int w, int h) { return Control{nullptr, x, y, w, h}; };
  const Screen screens[] = {
      {".\\image\\TitleBack.bmp",
       {button("image\\tbtn_return.bmp", 10, 42), button("image\\tbtn_refresh.bmp", 126, 42),
        button("image\\tbtn_findid.bmp", 498, 526), button("image\\tbtn_exit.bmp", 638, 526),
        button("image\\lbtn_option.bmp", 637, 8), button("image\\MinimizeBtn.BMP", 681, 5),
        button("image\\FullScreenBtn.BMP", 703, 5), button("image\\ExitBtn.BMP", 725, 5)}},
      {".\\image\\lobyback.bmp",
       {button("image\\lbtn_option.bmp", 637, 8), button("image\\MinimizeBtn.BMP", 681, 5),
        button("image\\WinmodeBtn.BMP", 703, 5), button("image\\ExitBtn.BMP", 725, 5),
        button("image\\lbtn_channel.bmp", 10, 42), button("image\\btn_gameitem.bmp", 126, 42),
        button(".\\Image\\Loby_AllBtn.bmp", 561, 92), button(".\\Image\\Loby_WaitingBtn.bmp", 637, 92),
        button(".\\Image\\Loby_RoomInfoBtn.bmp", 713, 92), button("image\\lbtn_quickstart.bmp", 393, 452),
        button("image\\lbtn_createroom.bmp", 393, 522), button("image\\btn_baduser.bmp", 333, 564),
        button("image\\lbtn_findid.bmp", 670, 401), button(".\\Image\\LBtn_detail.bmp", 762, 564)}},
      {".\\image\\croomback.bmp",
       {button("image\\croom_create.bmp", 62, 212), button("image\\croom_cancel.bmp", 163, 212), area(84, 53, 201, 17),
        area(84, 134, 95, 17)}},
      {".\\IMAGE\\Secret_Back.BMP",
       {button(".\\IMAGE\\Secret_Ok.bmp", 48, 126), button(".\\IMAGE\\Secret_Cancel.bmp", 154, 126)}},
      {".\\image\\inviteback.bmp",
       {button(".\\image\\Btn_Invite.bmp", 109, 271), button(".\\image\\Btn_cancel.bmp", 207, 271),
        button(".\\image\\Btn_WaitUser.bmp", 247, 8), button(".\\image\\Btn_AllUser.bmp", 312, 8),
        area(10, 40, 385, 220), area(15, 114, 370, 15)}},
      {".\\IMAGE\\Recv_Invite.bmp",
       {button(".\\Image\\iBtn_okinvite.bmp", 90, 305), button(".\\Image\\iBtn_refuse.bmp", 188, 305),
        area(21, 48, 75, 125), area(119, 276, 234, 14)}},
      {".\\IMAGE\\Whisper.bmp",
       {button(".\\IMAGE\\subbtn_send.bmp", 46, 100), button(".\\IMAGE\\subbtn_cancel.bmp", 152, 100),
        area(12, 74, 258, 19)}},
      {".\\image\\profileback.bmp",
       {button("image\\Btn_ok.BMP", 194, 243), button("image\\profile_forcebanish.bmp", 11, 243),
        area(94, 66, 186, 56)}},
      {".\\IMAGE\\baduser_back.BMP",
       {button(".\\IMAGE\\baduser_OK.bmp", 86, 299), button(".\\IMAGE\\baduser_Cancel.BMP", 192, 299)}},
      {".\\image\\optionback.bmp",
       {button("image\\obtn_ok.bmp", 53, 317), button("image\\obtn_cancel.bmp", 151, 317), area(23, 232, 245, 60)}},
      {".\\Image\\Alert_Back.bmp",
       {button(".\\Image\\Alert_OK.BMP", 79, 152), button(".\\Image\\Alert_Cancel.bmp", 186, 152),
        area(16, 44, 316, 98)}},
      {".\\Image\\BadUserWarning.bmp",
       {button(".\\Image\\Alert_Yes.bmp", 49, 116), button(".\\Image\\Alert_No.bmp", 155, 116)}},
      {".\\image\\GameItem\\GameItemBack.bmp",
       {button(".\\image\\GameItem\\Btn_FunctionalItem.bmp", 10, 39), button(".\\image\\GameItem\\Btn_MyItem.bmp", 129, 39),
        button(".\\image\\GameItem\\Btn_ChargeCash.bmp", 247, 39), button(".\\image\\GameItem\\Btn_Close.bmp", 425, 425),
        area(11, 59, 465, 358)}},
      {".\\image\\gameitem\\ChargeCashDlgBack.bmp",
       {button(".\\image\\gameitem\\ChargeCashDlgBtnClose.bmp", 466, 2), area(6, 22, 504, 570)}},
      {".\\image\\Event\\PeakTime_Back.bmp",
       {button(".\\image\\Event\\NomoreToday.bmp", 2, 547), button(".\\image\\Event\\PeakTime_BtnClose.bmp", 341, 547),
        button(".\\image\\Event\\PeakTime_BtnEventInfo.bmp", 127, 214)}},
      {".\\image\\Event\\GamePackLogout_Back.BMP",
       {button(".\\image\\Event\\GamePackLogout_Btn_PlayMore.bmp", 86, 386),
        button(".\\image\\Event\\GamePackLogin_Btn_Close.BMP", 159, 430),
        button(".\\image\\Event\\GamePackLogout_Btn_gameview.bmp", 203, 386)}},
      {"Common\\Resource\\image\\BasicPremBack.bmp", {button("Common\\Resource\\image\\prem_close.bmp", 341, 7)}},
      {"Common\\Resource\\image\\PlusPremBack.bmp", {button("Common\\Resource\\image\\prem_close.bmp", 341, 7)}},
      {".\\data\\MsgDlg.spr", {area(105, 93, 106, 28)}},
      {".\\data\\MsgDlg_Teen.spr", {area(105, 73, 106, 28)}},
      {".\\data\\MsgDlg_grade.spr", {area(97, 186, 106, 28), area(16, 168, 280, 12)}},
  };
  for (const Screen& screen : screens) {
    const AssetEntry* back = FindAsset(screen.background);
    ASSERT_NE(back, nullptr) << screen.background;
    const bool sprite = back->kind == AssetKind::Sprite16;
    const int width = sprite ? back->sizes.at(0).width : back->width;
    const int height = sprite ? back->sizes.at(0).height : back->height;
    std::vector<Control> placed;
    for (Control c : screen.controls) {
      if (c.button) {
        const AssetEntry* strip = FindAsset(c.button);
        ASSERT_NE(strip, nullptr) << c.button;
        c.width = strip->width;
        c.height = strip->height / strip->states;
      }
      const std::string name = c.button ? c.button : "area at " + std::to_string(c.x) + "," + std::to_string(c.y);
      EXPECT_LE(c.x + c.width, width) << screen.background << ": " << name;
      EXPECT_LE(c.y + c.height, height) << screen.background << ": " << name;
      for (const Control& other : placed) {
        if (!c.button || !other.button) continue;
        EXPECT_FALSE(c.x < other.x + other.width && other.x < c.x + c.width && c.y < other.y + other.height &&
                     other.y < c.y + c.height)
            << screen.background << ": " << c.button << " covers " << other.button;
      }
      placed.push_back(c);
    }
  }
}

// The night sky's radial gradient would show rings of one palette entry; a
// dithered sky changes entry every few pixels along any line.
TEST(AssetgenTest, NightSkyIsDithered) {
  tovrik::gfx::CSprite8 set;
  ASSERT_EQ(set.Load(Resolved(*FindAsset(".\\data\\GameBack8.spr"))), 1);
  const auto* sky = set.Frame(0);
  ASSERT_NE(sky, nullptr);
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(sky->width) * sky->height);
  if (sky->compress) tovrik::gfx::DecodeSpr8(pixels, sky->width, sky->height, sky->data, 0);
  else pixels.assign(sky->data.begin(), sky->data.end());
  for (int y : {sky->height / 4, sky->height / 2}) {
    int longest = 0, run = 0;
    for (int x = 1; x < sky->width; ++x) {
      const auto at = [&](int px) { return pixels[static_cast<std::size_t>(y) * sky->width + px]; };
      run = at(x) == at(x - 1) ? run + 1 : 0;
      longest = std::max(longest, run);
    }
    EXPECT_LT(longest, 16) << "row " << y;
  }
}

TEST(AssetgenTest, StonesAreSizedByClassAndCentredOnTheirPosition) {
  for (const char* name : {".\\data\\HanStone8.spr", ".\\data\\ChoStone8.spr"}) {
    tovrik::gfx::CSprite8 set;
    ASSERT_EQ(set.Load(Resolved(*FindAsset(name))), 1);
    const int radius[7] = {24, 18, 18, 18, 18, 14, 14};
    for (int kind = 0; kind < 7; ++kind) {
      EXPECT_EQ(set.Frame(kind)->width, 2 * radius[kind]);
      // Drawn with the offset flag at the stone's centre.
      EXPECT_EQ(set.Frame(kind)->offsetX, -radius[kind]);
      EXPECT_EQ(set.Frame(kind)->offsetY, -radius[kind]);
    }
  }
}

}  // namespace
