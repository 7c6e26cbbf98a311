#include "assetgen/Manifest.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace tovrik::assetgen {
namespace {

AssetEntry Spr8(std::string_view path, int frames, std::vector<FrameSize> sizes = {}) {
  return {path, AssetKind::Sprite8, frames, 0, 0, std::move(sizes)};
}
AssetEntry Spr16(std::string_view path, int frames, std::vector<FrameSize> sizes = {}) {
  return {path, AssetKind::Sprite16, frames, 0, 0, std::move(sizes)};
}
AssetEntry Bmp(std::string_view path, int width, int height) { return {path, AssetKind::Bitmap, 0, width, height, {}}; }
// Push buttons: normal, over, pressed and disabled stacked top to bottom.
AssetEntry Strip(std::string_view path, int width, int height) {
  return {path, AssetKind::Bitmap, 0, width, height * 4, {}, 4};
}
AssetEntry Wav(std::string_view path) { return {path, AssetKind::Wave, 0, 0, 0, {}}; }

struct ButtonSize {
  int width = 0;
  int height = 0;
};

// Sprite buttons of `framesPerButton` frames each; all frames of a button
// have its size.
AssetEntry ButtonSet16(std::string_view path, int framesPerButton, const std::vector<ButtonSize>& buttons) {
  AssetEntry e = Spr16(path, static_cast<int>(buttons.size()) * framesPerButton);
  e.framesPerButton = framesPerButton;
  for (std::size_t b = 0; b < buttons.size(); ++b)
    for (int k = 0; k < framesPerButton; ++k)
      e.sizes.push_back({static_cast<int>(b) * framesPerButton + k, buttons[b].width, buttons[b].height});
  return e;
}

// `buttons` buttons of four frames (normal, over, pressed, disabled).
AssetEntry Buttons16(std::string_view path, int buttons, int width, int height) {
  return ButtonSet16(path, 4, std::vector<ButtonSize>(static_cast<std::size_t>(buttons), {width, height}));
}

// The scroll parts every list window starts its button set with.
constexpr ButtonSize kArrow{21, 20};

std::string_view ResourcePath(int id) {
  static std::map<int, std::string> paths;
  return paths.try_emplace(id, ".\\image\\bitmap" + std::to_string(id) + ".bmp").first->second;
}

std::string_view StoredMenuPath(int id) {
  static std::map<int, std::string> paths;
  return paths.try_emplace(id, MenuPath(id)).first->second;
}

std::vector<AssetEntry> BuildManifest() {
  std::vector<AssetEntry> m;
  // The game page: palette, blend table and the 8-bit sets of the board.
  m.push_back({".\\data\\Palette.pal", AssetKind::Palette, 0, 0, 0, {}});
  m.push_back({".\\data\\Alpha.alp", AssetKind::BlendTable, 0, 0, 0, {}});
  m.push_back(Spr8(".\\data\\GameBack8.spr", 5, {{0, 596, 600}, {1, 430, 443}, {2, 596, 532}, {3, 430, 443}, {4, 596, 600}}));
  m.push_back(Spr8(".\\data\\Title8.spr", 4));
  m.push_back(Spr8(".\\data\\TGage8.spr", 2, {{0, 27, 100}, {1, 27, 100}}));
  m.push_back(Spr8(".\\data\\PGage8.spr", 2, {{0, 27, 100}, {1, 27, 100}}));
  for (std::string_view b : {".\\data\\PowerBtn8.spr", ".\\data\\ChangeBtn8.spr", ".\\data\\TeleportBtn8.spr",
                             ".\\data\\NuclearBtn8.spr"})
    m.push_back(Spr8(b, 4, {{0, 15, 94}, {1, 66, 72}, {2, 66, 72}, {3, 66, 72}}));
  m.push_back(Spr8(".\\data\\Dot8.spr", 1));
  m.push_back(Spr8(".\\data\\Star8.spr", 8));
  m.push_back(Spr8(".\\data\\Turn8.spr", 5, {{0, 136, 30}}));
  for (std::string_view b : {".\\data\\PowerUpTitle8.spr", ".\\data\\ChangeTitle8.spr", ".\\data\\TeleportTitle8.spr",
                             ".\\data\\NuclearTitle8.spr"})
    m.push_back(Spr8(b, 2));
  for (std::string_view b : {".\\data\\ChangeCur8.spr", ".\\data\\TeleportCur8.spr", ".\\data\\NuclearCur8.spr"})
    m.push_back(Spr8(b, 8));
  m.push_back(Spr8(".\\data\\ChangeAni8.spr", 16));
  m.push_back(Spr8(".\\data\\TeleportAni8.spr", 12));
  m.push_back(Spr8(".\\data\\NuclearAni8.spr", 20));
  m.push_back(Spr8(".\\data\\TeleportTarget8.spr", 8));
  m.push_back(Spr8(".\\data\\StoneFocus8.spr", 3, {{0, 58, 58}, {1, 46, 46}, {2, 38, 38}}));
  // Frame = the stone's kind: 0 king (radius 24), 1..4 majors (18), 5 and 6 minors (14).
  const std::vector<FrameSize> stones = {{0, 48, 48}, {1, 36, 36}, {2, 36, 36}, {3, 36, 36},
                                         {4, 36, 36}, {5, 28, 28}, {6, 28, 28}};
  m.push_back(Spr8(".\\data\\HanStone8.spr", 7, stones));
  m.push_back(Spr8(".\\data\\ChoStone8.spr", 7, stones));
  m.push_back(Spr8(".\\data\\PcRoom.spr", 2));
  m.push_back(Spr8(".\\data\\PeakTime.spr", 1));
  // 0 bar, 1 fill, 2..11 digits, 12 unit, 13..26 the rising coin.
  m.push_back(Spr8(".\\data\\Event_coin.spr", 27, {{0, 220, 28}, {1, 220, 22}, {2, 9, 13}}));

  // 16-bit sets loaded at start-up.
  m.push_back(Spr16(".\\data\\CharBack.spr", 6, {{0, 74, 124}, {1, 90, 126}, {2, 45, 61}, {3, 193, 126},
                                                 {4, 193, 126}, {5, 193, 126}}));
  m.push_back(Spr16(".\\data\\Level.spr", 15, {{0, 15, 15}}));
  m.push_back(Spr16(".\\data\\NickNameRollOver.spr", 1));
  m.push_back(Spr16(".\\data\\Event_Result.spr", 1));
  m.push_back(Bmp(".\\image\\EventPrize.BMP", 300, 200));

  // Channel screen.
  m.push_back(Bmp(".\\image\\TitleBack.bmp", 800, 600));
  // Channel list (302 x 410): 0 background, 1 roll-over and 2 selected row.
  // Buttons: three headers at x 0, 48 and 321 (always disabled), up arrow,
  // down arrow, thumb, and the row's enter button for open (6) and crowded,
  // locked or full (7) channels.
  m.push_back(Spr16(".\\Data\\TitleListBack.spr", 3, {{0, 302, 410}, {1, 276, 27}, {2, 276, 27}}));
  m.push_back(ButtonSet16(".\\Data\\TitleListBackBtn.spr", 4,
                          {{48, 34}, {273, 34}, {48, 34}, kArrow, kArrow, kArrow, {66, 26}, {66, 26}}));
  m.push_back(Spr16(".\\Data\\TitleStateImg.spr", 5, {{0, 16, 16}}));
  m.push_back(Strip("image\\tbtn_return.bmp", 110, 28));
  m.push_back(Strip("image\\tbtn_refresh.bmp", 110, 28));
  m.push_back(Strip("image\\tbtn_findid.bmp", 130, 34));
  m.push_back(Strip("image\\tbtn_exit.bmp", 130, 34));
  // Between the screens' left buttons and the minimise button at 681.
  m.push_back(Strip("image\\lbtn_option.bmp", 42, 24));

  // Lobby.
  m.push_back(Bmp(".\\image\\lobyback.bmp", 800, 600));
  // Room list (541 x 336): up arrow, down arrow, thumb, then the column
  // headers number, level, state, title, master and players, side by side
  // from x 0 to the scroll bar at 518.
  m.push_back(Spr16(".\\Data\\LobyListBack.spr", 3, {{0, 541, 336}, {1, 506, 27}, {2, 506, 27}}));
  m.push_back(ButtonSet16(".\\Data\\LobyListBackBtn.spr", 4,
                          {kArrow, kArrow, kArrow, {41, 34}, {55, 34}, {32, 34}, {209, 34}, {103, 34}, {78, 34}}));
  m.push_back(Spr16(".\\Data\\LobyRoomImg.spr", 7, {{0, 24, 20}}));
  m.push_back(Buttons16(".\\Data\\Loby_Roomtap.spr", 2, 126, 24));
  // User list (223 x 276): 2 roll-over and 3 selected row, kept clear of the
  // scroll bar at 201; headers nickname (9..125), sex and location (..201).
  m.push_back(Spr16(".\\Data\\UserListBack.spr", 4, {{0, 223, 276}, {1, 190, 27}, {2, 190, 27}, {3, 190, 27}}));
  m.push_back(ButtonSet16(".\\Data\\UserListBackBtn.spr", 4, {kArrow, kArrow, kArrow, {116, 24}, {30, 24}, {46, 24}}));
  m.push_back(Buttons16(".\\Data\\room_join.spr", 1, 160, 30));
  m.push_back(Spr16(".\\Data\\LobyRoominfoback.spr", 1, {{0, 223, 232}}));
  m.push_back(Spr16(".\\Data\\LobyRoominfoImg.spr", 8, {{0, 20, 16}}));
  m.push_back(Strip("image\\lbtn_channel.bmp", 110, 28));
  m.push_back(Strip("image\\btn_gameitem.bmp", 110, 28));
  m.push_back(Strip(".\\Image\\Loby_AllBtn.bmp", 76, 24));
  m.push_back(Strip(".\\Image\\Loby_WaitingBtn.bmp", 76, 24));
  m.push_back(Strip(".\\Image\\Loby_RoomInfoBtn.bmp", 76, 24));
  m.push_back(Strip("image\\lbtn_quickstart.bmp", 150, 64));
  m.push_back(Strip("image\\lbtn_createroom.bmp", 150, 64));
  m.push_back(Strip("image\\btn_baduser.bmp", 52, 24));
  // The two lobby check boxes stand 14 pixels apart.
  m.push_back(Bmp(".\\Image\\check01.bmp", 13, 13));
  m.push_back(Bmp(".\\Image\\check00.bmp", 13, 13));
  m.push_back(Strip("image\\lbtn_findid.bmp", 34, 20));
  m.push_back(Strip(".\\Image\\LBtn_detail.bmp", 34, 26));
  m.push_back(Bmp(".\\image\\game_grade.bmp", 56, 66));

  // Room creation, password and character dialogs.
  m.push_back(Bmp(".\\image\\croomback.bmp", 300, 256));
  m.push_back(Strip("image\\croom_create.bmp", 90, 28));
  m.push_back(Strip("image\\croom_cancel.bmp", 90, 28));
  m.push_back(Bmp(".\\Image\\Croom_check01.bmp", 16, 16));
  m.push_back(Bmp(".\\Image\\Croom_check00.bmp", 16, 16));
  m.push_back(Bmp(".\\IMAGE\\Secret_Back.BMP", 260, 164));
  m.push_back(Strip(".\\IMAGE\\Secret_Ok.bmp", 60, 26));
  m.push_back(Strip(".\\IMAGE\\Secret_Cancel.bmp", 60, 26));
  m.push_back(Bmp(".\\image\\cchangeback.bmp", 420, 230));

  // Game room.
  m.push_back(Bmp(".\\image\\GameDlg.bmp", 800, 600));
  m.push_back(Bmp(".\\image\\banner2.bmp", 193, 60));
  m.push_back(Strip("image\\gbtn_gameitem.bmp", 60, 24));

  // Invitations and whispers.
  m.push_back(Bmp(".\\image\\inviteback.bmp", 400, 306));
  m.push_back(Strip(".\\image\\Btn_Invite.bmp", 90, 28));
  m.push_back(Strip(".\\image\\Btn_cancel.bmp", 90, 28));
  m.push_back(Strip(".\\image\\Btn_WaitUser.bmp", 62, 22));
  m.push_back(Strip(".\\image\\Btn_AllUser.bmp", 76, 22));
  // Invitation lists: background 0 of the waiting list, 1 of the all-users
  // list; three frames per scroll button, then the check mark off (9) and on (10).
  m.push_back(Spr16(".\\data\\InviteUserListBack.spr", 2, {{0, 385, 121}, {1, 385, 220}}));
  {
    AssetEntry invite = ButtonSet16(".\\data\\InviteUserListBackBtn.spr", 3, {{21, 21}, {21, 21}, {21, 21}});
    invite.frames += 2;
    invite.sizes.push_back({9, 10, 11});
    invite.sizes.push_back({10, 10, 11});
    m.push_back(std::move(invite));
  }
  m.push_back(Bmp(".\\IMAGE\\Recv_Invite.bmp", 370, 340));
  m.push_back(Bmp(".\\Image\\InviteWait.bmp", 48, 48));
  m.push_back(Bmp(".\\Image\\InvitePlay.bmp", 48, 48));
  m.push_back(Bmp(".\\Image\\lock.bmp", 16, 16));
  m.push_back(Strip(".\\Image\\iBtn_okinvite.bmp", 90, 28));
  m.push_back(Strip(".\\Image\\iBtn_refuse.bmp", 90, 28));
  m.push_back(Bmp(".\\IMAGE\\Whisper.bmp", 284, 136));
  m.push_back(Strip(".\\IMAGE\\subbtn_send.bmp", 96, 26));
  m.push_back(Strip(".\\IMAGE\\subbtn_cancel.bmp", 60, 26));

  // Profile, report, options and message boxes.
  m.push_back(Bmp(".\\image\\profileback.bmp", 300, 280));
  m.push_back(Strip("image\\Btn_ok.BMP", 90, 28));
  m.push_back(Strip("image\\profile_forcebanish.bmp", 90, 28));
  m.push_back(Bmp(".\\IMAGE\\baduser_back.BMP", 350, 336));
  m.push_back(Strip(".\\IMAGE\\baduser_OK.bmp", 90, 28));
  m.push_back(Strip(".\\IMAGE\\baduser_Cancel.BMP", 90, 28));
  m.push_back(Bmp(".\\Image\\BadUserWarning.bmp", 290, 156));
  m.push_back(Bmp(".\\image\\optionback.bmp", 280, 356));
  m.push_back(Strip("image\\obtn_ok.bmp", 90, 28));
  m.push_back(Strip("image\\obtn_cancel.bmp", 90, 28));
  m.push_back(Bmp(".\\Image\\obtn_check2.bmp", 16, 16));
  m.push_back(Bmp(".\\Image\\obtn_check1.bmp", 16, 16));
  m.push_back(Bmp(".\\Image\\Alert_Back.bmp", 350, 190));
  for (std::string_view b : {".\\Image\\Alert_OK.BMP", ".\\Image\\Alert_Cancel.bmp", ".\\Image\\Alert_Yes.bmp",
                             ".\\Image\\Alert_No.bmp"})
    m.push_back(Strip(b, 80, 26));
  m.push_back(Bmp(".\\Image\\MsgDlg_LoadingBar.bmp", 280, 12));
  for (std::string_view b : {".\\data\\MsgDlg.spr", ".\\data\\MsgDlg_Teen.spr", ".\\data\\MsgDlg_Teen2.spr"})
    m.push_back(Spr16(b, 1, {{0, 316, 130}}));
  // With the loading bar and the close button below it.
  m.push_back(Spr16(".\\data\\MsgDlg_grade.spr", 1, {{0, 316, 220}}));
  m.push_back(Buttons16(".\\data\\BTNClose_Teen.Spr", 1, 106, 28));
  m.push_back(Strip("image\\FullScreenBtn.BMP", 18, 18));
  m.push_back(Strip("image\\WinmodeBtn.BMP", 18, 18));
  m.push_back(Strip("image\\MinimizeBtn.BMP", 18, 18));
  m.push_back(Strip("image\\ExitBtn.BMP", 18, 18));

  // Skinned scroll bar: normal and pressed side by side.
  m.push_back(Bmp(".\\Image\\VSUpArrow.bmp", 32, 16));
  m.push_back(Bmp(".\\Image\\VSDownArrow.bmp", 32, 16));
  m.push_back(Bmp(".\\Image\\VSThumb.bmp", 32, 24));
  m.push_back(Bmp(".\\Image\\VSSpan.bmp", 16, 16));

  // Item shop and notices.
  m.push_back(Bmp(".\\image\\GameItem\\GameItemBack.bmp", 520, 460));
  m.push_back(Strip(".\\image\\GameItem\\Btn_FunctionalItem.bmp", 116, 28));
  m.push_back(Strip(".\\image\\GameItem\\Btn_MyItem.bmp", 116, 28));
  m.push_back(Strip(".\\image\\GameItem\\Btn_ChargeCash.bmp", 116, 28));
  m.push_back(Strip(".\\image\\GameItem\\Btn_Close.bmp", 80, 26));
  m.push_back(Bmp(".\\image\\gameitem\\ChargeCashDlgBack.bmp", 516, 598));
  m.push_back(Strip(".\\image\\gameitem\\ChargeCashDlgBtnClose.bmp", 46, 18));
  m.push_back(Bmp(".\\image\\Event\\PeakTime_Back.bmp", 420, 576));
  m.push_back(Strip(".\\image\\Event\\NomoreToday.bmp", 120, 24));
  m.push_back(Strip(".\\image\\Event\\PeakTime_BtnClose.bmp", 76, 24));
  m.push_back(Strip(".\\image\\Event\\PeakTime_BtnEventInfo.bmp", 166, 32));
  m.push_back(Bmp(".\\image\\Event\\GamePackLogout_Back.BMP", 400, 462));
  m.push_back(Strip(".\\image\\Event\\GamePackLogout_Btn_PlayMore.bmp", 110, 34));
  m.push_back(Strip(".\\image\\Event\\GamePackLogin_Btn_Close.BMP", 82, 26));
  m.push_back(Strip(".\\image\\Event\\GamePackLogout_Btn_gameview.bmp", 110, 34));

  // Mouse cursors 133..137 (magenta transparent, hot spot top-left).
  for (std::string_view c : {".\\image\\cursor133.bmp", ".\\image\\cursor134.bmp", ".\\image\\cursor135.bmp",
                             ".\\image\\cursor136.bmp", ".\\image\\cursor137.bmp"})
    m.push_back(Bmp(c, 32, 32));

  // Bitmap resources, read as ".\\image\\bitmapNNN.bmp" like the cursors:
  // the game room's buttons (normal, over, pressed, disabled), the character
  // dialog's buttons, and the level icons (15 cells of 15 x 15).
  for (const ResourceButton& b : ResourceButtons())
    for (int id : b.ids) m.push_back(Bmp(ResourcePath(id), b.width, b.height));
  m.push_back(Bmp(ResourcePath(198), 225, 15));
  // The check images of the options and chat-mute lists: off, on.
  m.push_back(Bmp(ResourcePath(268), 32, 16));
  // The program icon: the Han king's stone.
  m.push_back({".\\image\\icon128.bmp", AssetKind::Icon, 0, 64, 64, {}});
  for (const MenuResource& menu : MenuResources())
    m.push_back({StoredMenuPath(menu.id), AssetKind::Menu, 0, 0, 0, {}});

  // Sound effects 0..19 and the two registered music files.
  for (std::string_view s :
       {".\\Sound\\start.wav", ".\\Sound\\myturn.wav", ".\\Sound\\select.wav", ".\\Sound\\fire.wav",
        ".\\Sound\\hitstone.wav", ".\\Sound\\hithinge.wav", ".\\Sound\\drop.wav", ".\\Sound\\powerup.wav",
        ".\\Sound\\change.wav", ".\\Sound\\teleport.wav", ".\\Sound\\nuclear.wav", ".\\Sound\\change_ef.wav",
        ".\\Sound\\teleport_ef.wav", ".\\Sound\\nuclear_ef.wav", ".\\Sound\\win.wav", ".\\Sound\\lose.wav",
        ".\\Sound\\invite.wav", ".\\Sound\\click.wav", ".\\Sound\\whisper.wav", ".\\Sound\\pcbang_in.wav"})
    m.push_back(Wav(s));
  m.push_back({".\\Sound\\music01.mid", AssetKind::Midi, 0, 0, 0, {}});
  m.push_back({".\\Sound\\music02.mid", AssetKind::Midi, 0, 0, 0, {}});

  // The portal's common folder.
  m.push_back({"Common\\filter.bcd", AssetKind::WordList, 0, 0, 0, {}});
  m.push_back(Bmp("Common\\Resource\\image\\BasicPremBack.bmp", 410, 160));
  m.push_back(Bmp("Common\\Resource\\image\\PlusPremBack.bmp", 410, 160));
  m.push_back(Strip("Common\\Resource\\image\\prem_close.bmp", 60, 22));
  m.push_back(Wav("Common\\Resource\\image\\PCRoom.wav"));
  m.push_back(Wav("Common\\Resource\\image\\PCRoom_Basic.wav"));
  m.push_back(Wav("Common\\Resource\\image\\PCRoom_Plus.wav"));
  return m;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

std::string Normalised(std::string_view path) {
  std::string out;
  for (char c : path) out += c == '\\' ? '/' : c;
  while (out.rfind("./", 0) == 0) out.erase(0, 2);
  return out;
}

}  // namespace

const std::vector<ResourceButton>& ResourceButtons() {
  static const std::vector<ResourceButton> buttons = {
      {{139, 143, 147, 148}, "게임 시작", 130, 40}, {{263, 264, 265, 266}, "준 비", 130, 40},
      {{255, 256, 257}, "112", 48, 22},            {{214, 215, 216}, "모드변경", 64, 24},
      {{223, 224, 225}, "대기실/초대", 90, 24},    {{220, 221, 222}, "나 가 기", 64, 24},
      {{245, 246, 247}, "옵션", 64, 24},           {{260, 261, 262}, "입막음", 64, 24},
      {{236, 243, 244}, "▼", 18, 18},              {{184, 185, 186}, "◀", 26, 26},
      {{188, 189, 190}, "▶", 26, 26},              {{192, 193, 194}, "확인", 70, 26},
      {{195, 196, 197}, "취소", 70, 26},
  };
  return buttons;
}

const std::vector<MenuResource>& MenuResources() {
  // 235: the room list's popup and the user list's; 244: the invitation lists'.
  static const std::vector<MenuResource> menus = {
      {235, {{{1036, "참여자 정보"}, {1030, "참여하기"}, {1031, "방 만들기"}}, {{1034, "프로필 보기"}, {32778, "귓말하기"}}}},
      {244, {{{1034, "프로필 보기"}, {1036, "게임 초대"}, {32778, "귓말하기"}}}},
  };
  return menus;
}

std::string MenuPath(int id) { return ".\\data\\menu" + std::to_string(id) + ".ini"; }

std::string_view KindName(AssetKind kind) {
  switch (kind) {
    case AssetKind::Sprite8: return "8-bit sprite set";
    case AssetKind::Sprite16: return "16-bit sprite set";
    case AssetKind::Bitmap: return "bitmap";
    case AssetKind::Icon: return "icon";
    case AssetKind::Wave: return "wave";
    case AssetKind::Midi: return "midi";
    case AssetKind::Menu: return "menu";
    case AssetKind::Palette: return "palette";
    case AssetKind::BlendTable: return "blend table";
    case AssetKind::WordList: return "word list";
  }
  return "?";
}

const std::vector<AssetEntry>& Manifest() {
  static const std::vector<AssetEntry> manifest = BuildManifest();
  return manifest;
}

std::string OutputPath(std::string_view manifestPath) {
  // The first spelling of each folder in the manifest is the one on disk.
  static const std::map<std::string, std::string> folders = [] {
    std::map<std::string, std::string> spelled;
    for (const AssetEntry& e : Manifest()) {
      const std::string p = Normalised(e.path);
      for (std::size_t slash = p.find('/'); slash != std::string::npos; slash = p.find('/', slash + 1))
        spelled.try_emplace(Lower(p.substr(0, slash)), p.substr(0, slash));
    }
    return spelled;
  }();
  const std::string p = Normalised(manifestPath);
  const std::size_t last = p.rfind('/');
  if (last == std::string::npos) return p;
  const auto it = folders.find(Lower(p.substr(0, last)));
  return (it != folders.end() ? it->second : p.substr(0, last)) + p.substr(last);
}

const AssetEntry* FindAsset(std::string_view path) {
  const std::string wanted = Lower(Normalised(path));
  for (const AssetEntry& e : Manifest())
    if (Lower(Normalised(e.path)) == wanted) return &e;
  return nullptr;
}

}  // namespace tovrik::assetgen
