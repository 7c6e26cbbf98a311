// The screens' look: warm wood and cream panels with dark brown text, the
// same family as the game board. Dialog backgrounds keep magenta outside
// their rounded outline so the window shape follows it.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "Art.h"
#include "Canvas.h"
#include "Output.h"
#include "gfx/Sprite.h"
#include "lobby/tables/GameDlgTable.h"

namespace tovrik::assetgen {
namespace {

const Colour kInk = Rgb(72, 40, 16);
const Colour kCream = Rgb(252, 240, 214);
const Colour kWoodTop = Rgb(150, 92, 44);
const Colour kWoodBottom = Rgb(96, 54, 22);

std::string FileName(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string Caption(const std::string& lowerName) {
  static const std::map<std::string, std::string> captions = {
      {"tbtn_return.bmp", "돌아가기"},       {"tbtn_refresh.bmp", "목록 갱신"},
      {"tbtn_findid.bmp", "ID 찾기"},        {"tbtn_exit.bmp", "접속 종료"},
      {"lbtn_option.bmp", "옵션"},           {"lbtn_channel.bmp", "채널 변경"},
      {"btn_gameitem.bmp", "게임 아이템"},   {"loby_allbtn.bmp", "전체"},
      {"loby_waitingbtn.bmp", "대기"},       {"loby_roominfobtn.bmp", "방 정보"},
      {"lbtn_quickstart.bmp", "바로 시작"},  {"lbtn_createroom.bmp", "방 만들기"},
      {"btn_baduser.bmp", "신고"},           {"lbtn_findid.bmp", "찾기"},
      {"lbtn_detail.bmp", "정보"},           {"croom_create.bmp", "만들기"},
      {"croom_cancel.bmp", "취소"},          {"secret_ok.bmp", "확인"},
      {"secret_cancel.bmp", "취소"},         {"gbtn_gameitem.bmp", "아이템"},
      {"btn_invite.bmp", "게임 초대"},       {"btn_cancel.bmp", "닫기"},
      {"btn_waituser.bmp", "대기자"},        {"btn_alluser.bmp", "전체 유저"},
      {"ibtn_okinvite.bmp", "수락"},         {"ibtn_refuse.bmp", "거절"},
      {"subbtn_send.bmp", "보내기"},         {"subbtn_cancel.bmp", "닫기"},
      {"btn_ok.bmp", "확인"},                {"profile_forcebanish.bmp", "강제 퇴장"},
      {"baduser_ok.bmp", "신고"},            {"baduser_cancel.bmp", "취소"},
      {"obtn_ok.bmp", "확인"},               {"obtn_cancel.bmp", "취소"},
      {"alert_ok.bmp", "확인"},              {"alert_cancel.bmp", "취소"},
      {"alert_yes.bmp", "예"},               {"alert_no.bmp", "아니오"},
      {"fullscreenbtn.bmp", "□"},            {"winmodebtn.bmp", "▣"},
      {"minimizebtn.bmp", "_"},              {"exitbtn.bmp", "X"},
      {"btn_functionalitem.bmp", "기능성 아이템"}, {"btn_myitem.bmp", "내 아이템"},
      {"btn_chargecash.bmp", "캐시 충전"},   {"btn_close.bmp", "닫기"},
      {"chargecashdlgbtnclose.bmp", "닫기"}, {"nomoretoday.bmp", "오늘 그만 보기"},
      {"peaktime_btnclose.bmp", "닫기"},     {"peaktime_btneventinfo.bmp", "이벤트 안내"},
      {"gamepacklogout_btn_playmore.bmp", "더 하기"}, {"gamepacklogin_btn_close.bmp", "닫기"},
      {"gamepacklogout_btn_gameview.bmp", "게임 보기"}, {"prem_close.bmp", "닫기"},
  };
  const auto it = captions.find(lowerName);
  return it == captions.end() ? std::string() : it->second;
}

std::string Title(const std::string& lowerName) {
  static const std::map<std::string, std::string> titles = {
      {"croomback.bmp", "방 만들기"},       {"secret_back.bmp", "비밀번호 입력"},
      {"cchangeback.bmp", "캐릭터 선택"},   {"inviteback.bmp", "게임 초대"},
      {"recv_invite.bmp", "초대 메시지"},   {"whisper.bmp", "귓속말"},
      {"profileback.bmp", "프로필"},        {"baduser_back.bmp", "대화내용 신고"},
      {"optionback.bmp", "옵션"},           {"alert_back.bmp", ""},
      {"gameitemback.bmp", "게임 아이템"},  {"chargecashdlgback.bmp", "캐시 충전"},
      {"peaktime_back.bmp", "피크타임 이벤트"}, {"gamepacklogout_back.bmp", "게임팩 이벤트"},
      {"basicpremback.bmp", "PC방 베이직"}, {"plusprempack.bmp", "PC방 플러스"},
      {"pluspremback.bmp", "PC방 플러스"},  {"eventprize.bmp", "이벤트 경품"},
  };
  const auto it = titles.find(lowerName);
  return it == titles.end() ? std::string() : it->second;
}

int CaptionPixels(int height) { return std::clamp(height * 11 / 20, 9, 20); }

// One button face in one of the four states.
void ButtonFace(Canvas& c, float top, float w, float h, int state, const std::string& caption) {
  const float press = state == 2 ? 1.0f : 0.0f;
  Colour hi = Rgb(255, 214, 120), lo = Rgb(206, 126, 40);
  if (state == 1) hi = Rgb(255, 236, 170), lo = Rgb(236, 160, 60);
  if (state == 2) hi = Rgb(190, 110, 34), lo = Rgb(236, 170, 80);
  if (state == 3) hi = Rgb(200, 194, 184), lo = Rgb(150, 144, 136);
  const float r = std::min(6.0f, h / 3);
  c.FillRoundRect(0, top, w, top + h, r, Rgb(70, 36, 10));
  c.VerticalGradientRoundRect(1, top + 1, w - 1, top + h - 1, r - 1, hi, lo);
  if (state != 2 && state != 3) c.Line(r, top + 2, w - r, top + 2, 1, Rgb(255, 250, 230, 0.7f));
  const Colour ink = state == 3 ? Rgb(110, 104, 96) : Rgb(60, 28, 6);
  if (!caption.empty()) c.Text(caption, w / 2 + press, top + h / 2 + press, CaptionPixels(static_cast<int>(h)), true, ink);
}

Canvas ButtonStrip(int w, int stateH, int states, const std::string& caption) {
  Canvas c(w, stateH * states);
  for (int s = 0; s < states; ++s)
    ButtonFace(c, static_cast<float>(s * stateH), static_cast<float>(w), static_cast<float>(stateH), s, caption);
  return c;
}

// The title bar's window buttons: drawn glyphs, which stay crisp at 18 pixels.
Canvas WindowButtonStrip(const std::string& lowerName, int w, int stateH) {
  Canvas c(w, stateH * 4);
  for (int s = 0; s < 4; ++s) {
    const float top = static_cast<float>(s * stateH), fw = static_cast<float>(w), fh = static_cast<float>(stateH);
    ButtonFace(c, top, fw, fh, s, "");
    const float d = s == 2 ? 1.0f : 0.0f;
    const float x0 = fw * 0.28f + d, x1 = fw * 0.72f + d, y0 = top + fh * 0.28f + d, y1 = top + fh * 0.72f + d;
    const Colour ink = s == 3 ? Rgb(110, 104, 96) : Rgb(60, 28, 6);
    if (lowerName == "exitbtn.bmp") {
      c.Line(x0, y0, x1, y1, 1.8f, ink);
      c.Line(x0, y1, x1, y0, 1.8f, ink);
    } else if (lowerName == "minimizebtn.bmp") {
      c.Line(x0, y1 - 1, x1, y1 - 1, 2, ink);
    } else if (lowerName == "fullscreenbtn.bmp") {
      c.FillRect(x0, y0, x1, y1, ink);
      c.FillRect(x0 + 1.5f, y0 + 3, x1 - 1.5f, y1 - 1.5f, Rgb(255, 236, 190));
    } else {  // back to a window: two frames
      c.FillRect(x0 + 2, y0 - 1, x1 + 1, y1 - 4, ink);
      c.FillRect(x0 + 3, y0 + 1, x1, y1 - 5, Rgb(255, 236, 190));
      c.FillRect(x0 - 1, y0 + 3, x1 - 2, y1 + 1, ink);
      c.FillRect(x0, y0 + 5, x1 - 3, y1, Rgb(255, 236, 190));
    }
  }
  return c;
}

Canvas CheckImage(int w, int h, bool checked) {
  Canvas c(w, h);
  c.FillRoundRect(0, 0, static_cast<float>(w), static_cast<float>(h), 3, Rgb(110, 64, 24));
  c.FillRoundRect(2, 2, static_cast<float>(w) - 2, static_cast<float>(h) - 2, 2, kCream);
  if (checked) {
    c.Line(4, static_cast<float>(h) / 2, static_cast<float>(w) * 0.42f, static_cast<float>(h) - 4, 2.2f, Rgb(200, 40, 30));
    c.Line(static_cast<float>(w) * 0.42f, static_cast<float>(h) - 4, static_cast<float>(w) - 3, 3, 2.2f, Rgb(200, 40, 30));
  }
  return c;
}

// `lightBar`: the screen writes its own dark text into the top bar (the
// message box's title, the profile's name), so the bar must be light.
Canvas Dialog(int w, int h, const std::string& title, bool lightBar = false) {
  Canvas c(w, h);
  const float fw = static_cast<float>(w), fh = static_cast<float>(h);
  c.VerticalGradientRoundRect(0, 0, fw, fh, 12, kWoodTop, kWoodBottom);
  if (lightBar) c.VerticalGradientRoundRect(4, 3, fw - 4, 24, 8, Rgb(255, 232, 176), Rgb(232, 186, 112));
  c.FillRoundRect(6, 26, fw - 6, fh - 6, 8, kCream);
  c.Shade([&](float x, float y) {
    if (x < 8 || y < 28 || x > fw - 8 || y > fh - 8) return Colour{0, 0, 0, 0};
    return Rgb(200, 160, 110, 0.08f * SmoothNoise(x / 40, y / 12, 5));
  });
  if (!title.empty()) c.TextWithOutline(title, fw / 2, 13, 13, true, Rgb(255, 240, 200), Rgb(60, 30, 8));
  return c;
}

// A recessed well that a control or list sits in.
void Well(Canvas& c, float x0, float y0, float x1, float y1, Colour fill) {
  c.FillRoundRect(x0 - 3, y0 - 3, x1 + 3, y1 + 3, 6, Rgb(40, 18, 4, 0.55f));
  c.FillRoundRect(x0 - 1, y0 - 1, x1 + 1, y1 + 1, 4, Rgb(200, 150, 90));
  c.FillRoundRect(x0, y0, x1, y1, 3, fill);
}

// The three full screens, with wells exactly where their controls sit, so
// that texts the screens draw on the background land on a light ground.
Canvas Screen(int w, int h, const std::string& lowerName) {
  Canvas c(w, h);
  c.Shade([&](float x, float y) {
    const float g = SmoothNoise(x / 120, y / 30, 17) * 0.25f + 0.5f + 0.5f * std::sin(y * 0.08f + SmoothNoise(x / 60, y / 10, 18) * 3) * 0.15f;
    return Mix(Rgb(120, 70, 32), Rgb(84, 46, 18), g);
  });
  // Title strip with the game's name; the window buttons sit at its right.
  c.VerticalGradientRoundRect(0, 0, static_cast<float>(w), 34, 0, Rgb(70, 36, 12), Rgb(40, 18, 4));
  c.Line(0, 33.5f, static_cast<float>(w), 33.5f, 1, Rgb(236, 190, 70));
  c.TextWithOutline("토브릭 장기", 330, 17, 16, true, Rgb(255, 214, 100), Rgb(40, 18, 4));
  const Colour white = Rgb(255, 255, 255);
  if (lowerName == "lobyback.bmp") {
    Well(c, 10, 92, 551, 428, kCream);            // room list
    Well(c, 561, 92, 789, 398, kCream);           // user list tabs and list
    Well(c, 575, 408, 665, 423, white);           // user search text
    c.Text("귓말 거부", 722, 401, 11, true, Rgb(255, 240, 210), false);
    c.Text("초대 거부", 722, 415, 11, true, Rgb(255, 240, 210), false);
    Well(c, 20, 434, 386, 592, kCream);           // chat
    c.FillRect(35, 438, 355, 560, Rgb(237, 240, 245));
    Well(c, 40, 566, 329, 584, white);            // chat input
    Well(c, 557, 436, 795, 594, kCream);          // own figure and record
    c.FillRect(561, 436, 641, 561, white);
    c.FillRoundRect(558, 572, 684, 594, 4, Rgb(110, 62, 26));  // nickname plate (white text)
  } else if (lowerName == "titleback.bmp") {
    Well(c, 10, 92, 312, 502, kCream);            // channel list
    Well(c, 333, 97, 783, 497, Rgb(58, 28, 8));   // banner
    c.TextWithOutline("토브릭 장기", 558, 270, 44, true, Rgb(255, 214, 100), Rgb(40, 18, 4), 2);
    c.Text("돌을 튕겨 상대의 말을 떨어뜨리세요", 558, 320, 16, true, Rgb(250, 230, 190));
    c.Text("아이디", 326, 547, 12, true, Rgb(255, 240, 210));
    Well(c, 354, 536, 490, 556, white);           // user search text
  } else if (lowerName == "gamedlg.bmp") {
    c.FillRect(596, 34, 800, 600, Rgb(82, 60, 36));
    // The wells under the room's character views, chat view and chat input,
    // where its control table puts them.
    namespace ids = lobby::tables::gamedlg;
    const auto well = [&](int id, Colour fill) {
      const controls::ControlSpec* spec = controls::FindControl(lobby::tables::kGameDlgTemplate, id);
      if (!spec) return;
      const auto [x, y, w, h] = spec->rect;
      Well(c, static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + w), static_cast<float>(y + h), fill);
    };
    well(ids::kOpponentCharacter, Rgb(40, 20, 6));
    well(ids::kOwnCharacter, Rgb(40, 20, 6));
    well(ids::kChatView, Rgb(82, 60, 36));
    well(ids::kChatInput, Rgb(210, 189, 166));
  }
  return c;
}

// A caption beside a control of a dialog.
void Label(Canvas& c, const char* text, float x, float centreY, bool right = false) {
  const float width = static_cast<float>(Canvas::TextWidth(text, 12, true));
  c.Text(text, right ? x - width : x, centreY - 7, 12, true, kInk, false);
}

// A white field behind an edit, list or view of a dialog.
void Field(Canvas& c, float x0, float y0, float x1, float y1) {
  c.FillRoundRect(x0 - 2, y0 - 2, x1 + 2, y1 + 2, 3, Rgb(190, 150, 100));
  c.FillRoundRect(x0 - 1, y0 - 1, x1 + 1, y1 + 1, 2, Rgb(255, 255, 255));
}

// The captions of check boxes, radio buttons and edits belong to the
// background (the controls draw only their images), and the fields show
// where typing goes. Positions are those the dialogs place their controls at.
void DecorateDialog(Canvas& c, const std::string& lowerName) {
  if (lowerName == "croomback.bmp") {
    Label(c, "방 제목", 76, 61, true);
    Field(c, 84, 53, 285, 70);
    Label(c, "공개 설정", 76, 90, true);
    Label(c, "공개", 111, 90);
    Label(c, "비공개", 161, 90);
    Label(c, "비밀번호", 76, 112, true);
    Field(c, 84, 104, 146, 121);
    Label(c, "방 레벨", 76, 142, true);
    Label(c, "슈퍼방으로 만들기", 46, 182);
  } else if (lowerName == "secret_back.bmp") {
    c.Text("비밀방입니다. 비밀번호를 입력하세요.", static_cast<float>(c.Width()) / 2, 60, 12, true, kInk);
    Label(c, "비밀번호", 122, 102, true);
    Field(c, 130, 94, 210, 110);
  } else if (lowerName == "whisper.bmp") {
    Field(c, 19, 42, 147, 61);
    Label(c, "님에게 귓말", 153, 52);
    Field(c, 12, 74, 270, 93);
  } else if (lowerName == "optionback.bmp") {
    const auto section = [&](const char* text, float y) { c.Text(text, 20, y - 8, 13, true, Rgb(150, 80, 20), false); };
    section("효과음", 54);
    Label(c, "끄기", 47, 77);
    Label(c, "켜기", 181, 77);
    section("시작 화면", 112);
    Label(c, "창 모드", 47, 135);
    Label(c, "전체 화면", 181, 135);
    section("접속할 때", 163);
    Label(c, "초대 거부", 47, 186);
    Label(c, "귓말 거부", 181, 186);
    section("채팅 금지", 217);
    Field(c, 23, 232, 268, 292);
  } else if (lowerName == "baduser_back.bmp") {
    c.Text("욕설이나 비방을 한 상대를 신고합니다.", static_cast<float>(c.Width()) / 2, 60, 12, true, kInk);
    Label(c, "신고 대상", 120, 177, true);
    Label(c, "신고 사유", 120, 205, true);
    Field(c, 134, 197, 330, 214);
  } else if (lowerName == "profileback.bmp") {
    Field(c, 11, 39, 85, 163);
    Field(c, 94, 66, 280, 122);
  } else if (lowerName == "recv_invite.bmp") {
    Field(c, 21, 48, 96, 173);
    Field(c, 119, 274, 353, 292);
  } else if (lowerName == "inviteback.bmp") {
    Label(c, "초대할 사람", 15, 56);
    Field(c, 15, 114, 385, 129);
  } else if (lowerName == "cchangeback.bmp") {
    Field(c, 40, 41, 130, 167);
    for (float x : {186.0f, 235.0f, 284.0f, 333.0f}) Field(c, x, 77, x + 45, 138);
  }
}

Canvas Cursor(int id) {
  Canvas c(32, 32);
  const Colour fill = Rgb(255, 248, 230), edge = Rgb(50, 26, 6);
  switch (id) {
    case 134: {  // hand
      c.FillRoundRect(8, 2, 14, 20, 3, edge);
      c.FillRoundRect(6, 14, 24, 30, 5, edge);
      c.FillRoundRect(9, 3, 13, 20, 2, fill);
      c.FillRoundRect(7, 15, 23, 29, 4, fill);
      break;
    }
    case 135:  // move
      c.Line(16, 2, 16, 30, 3, edge);
      c.Line(2, 16, 30, 16, 3, edge);
      c.Line(16, 2, 16, 30, 1.2f, fill);
      c.Line(2, 16, 30, 16, 1.2f, fill);
      break;
    case 136:  // wait
      c.Ring(16, 16, 11, 4, edge);
      c.Ring(16, 16, 11, 2, Rgb(255, 200, 80));
      break;
    case 137:  // cross
      c.Line(16, 3, 16, 29, 1.5f, edge);
      c.Line(3, 16, 29, 16, 1.5f, edge);
      break;
    default:  // arrow, hot spot at the top-left pixel
      c.FillPolygon({{0, 0}, {0, 22}, {6, 17}, {10, 26}, {14, 24}, {10, 16}, {17, 16}}, edge);
      c.FillPolygon({{1.5f, 3}, {1.5f, 19}, {6, 15}, {10.5f, 23.5f}, {12, 22.5f}, {8, 14.5f}, {13.5f, 14.5f}}, fill);
  }
  return c;
}

Canvas Icon(const std::string& lowerName, int w, int h) {
  Canvas c(w, h);
  const float fw = static_cast<float>(w), fh = static_cast<float>(h);
  if (lowerName == "lock.bmp") {
    c.Ring(fw / 2, fh * 0.38f, fw * 0.25f, 2, Rgb(120, 110, 100));
    c.FillRoundRect(2, fh * 0.45f, fw - 2, fh - 1, 2, Rgb(230, 180, 40));
  } else if (lowerName == "game_grade.bmp") {
    c.FillRoundRect(0, 0, fw, fh, 10, Rgb(40, 150, 60));
    c.Text("전체", fw / 2, fh * 0.4f, 16, true, Rgb(255, 255, 255));
    c.Text("이용가", fw / 2, fh * 0.72f, 12, true, Rgb(255, 255, 255));
  } else if (lowerName.rfind("vs", 0) == 0) {
    // Scroll bar parts: normal on the left, pressed on the right.
    const bool span = lowerName == "vsspan.bmp";
    for (int half = 0; half < (span ? 1 : 2); ++half) {
      const float x0 = span ? 0 : fw / 2 * static_cast<float>(half), x1 = span ? fw : x0 + fw / 2;
      const Colour top = half ? Rgb(200, 130, 50) : Rgb(250, 210, 130);
      if (span) {
        c.FillRect(x0, 0, x1, fh, Rgb(230, 210, 180));
        c.Line(x0 + 0.5f, 0, x0 + 0.5f, fh, 1, Rgb(180, 150, 110));
        continue;
      }
      c.VerticalGradientRoundRect(x0, 0, x1, fh, 3, top, Rgb(170, 100, 40));
      const float cx = (x0 + x1) / 2, cy = fh / 2;
      if (lowerName == "vsuparrow.bmp") c.FillPolygon({{cx, cy - 4}, {cx - 5, cy + 3}, {cx + 5, cy + 3}}, kInk);
      if (lowerName == "vsdownarrow.bmp") c.FillPolygon({{cx, cy + 4}, {cx - 5, cy - 3}, {cx + 5, cy - 3}}, kInk);
      if (lowerName == "vsthumb.bmp")
        for (float dy : {-3.0f, 0.0f, 3.0f}) c.Line(cx - 4, cy + dy, cx + 4, cy + dy, 1, kInk);
    }
  } else if (lowerName == "invitewait.bmp" || lowerName == "inviteplay.bmp") {
    const bool play = lowerName == "inviteplay.bmp";
    c.VerticalGradientRoundRect(0, 0, fw, fh, 8, play ? Rgb(230, 90, 60) : Rgb(80, 170, 90), play ? Rgb(150, 30, 20) : Rgb(30, 100, 40));
    c.Text(play ? "게임중" : "대기중", fw / 2, fh / 2, 12, true, Rgb(255, 255, 255));
  } else if (lowerName == "msgdlg_loadingbar.bmp") {
    c.VerticalGradientRoundRect(0, 0, fw, fh, fh / 2, Rgb(255, 230, 140), Rgb(220, 130, 30));
  } else if (lowerName == "banner2.bmp") {
    c.VerticalGradientRoundRect(0, 0, fw, fh, 6, Rgb(70, 36, 12), Rgb(40, 18, 4));
    c.Text("즐거운 장기 한 판!", fw / 2, fh / 2, 13, true, Rgb(255, 220, 120));
  } else if (lowerName == "baduserwarning.bmp") {
    // Stands in for the message box's background, with its yes/no buttons at y 116.
    c = Dialog(w, h, "대화 내용 신고 확인");
    c.Text("이 대화 내용을 신고하시겠습니까?", fw / 2, 56, 13, true, kInk);
    c.Text("허위 신고는 이용 제한을 받을 수 있습니다.", fw / 2, 84, 12, false, Rgb(160, 40, 30));
  } else {
    const bool lightBar = lowerName == "alert_back.bmp" || lowerName == "profileback.bmp";
    c = Dialog(w, h, lightBar ? std::string() : Title(lowerName), lightBar);
    DecorateDialog(c, lowerName);
  }
  return c;
}

// The sprite-drawn lists: what each button of a button set is.
enum class ListPart { UpArrow, DownArrow, Thumb, Header, SortHeader, FixedHeader, Push, PushWarn };

struct HeaderLabel {
  const char* text;
  float centre;  // x within the button; negative: the middle
};

struct ListButton {
  ListPart part;
  std::vector<HeaderLabel> labels;
};

// Captions sit over the columns the lists draw below them; the channel
// list's wide header carries the captions of the name, users and enter
// columns because its headers never sort.
const std::vector<ListButton>* ListButtons(const std::string& lowerName) {
  using P = ListPart;
  static const std::map<std::string, std::vector<ListButton>> sets = {
      {"titlelistbackbtn.spr",
       {{P::FixedHeader, {{"상태", -1}}},
        {P::FixedHeader, {{"채널", 54}, {"인원", 141.5f}, {"입장", 200}}},
        {P::FixedHeader, {}},
        {P::UpArrow, {}},
        {P::DownArrow, {}},
        {P::Thumb, {}},
        {P::Push, {{"입장", -1}}},
        {P::PushWarn, {{"입장", -1}}}}},
      {"lobylistbackbtn.spr",
       {{P::UpArrow, {}},
        {P::DownArrow, {}},
        {P::Thumb, {}},
        {P::SortHeader, {{"번호", -1}}},
        {P::SortHeader, {{"레벨", -1}}},
        {P::SortHeader, {{"상태", -1}}},
        {P::SortHeader, {{"방 제목", -1}}},
        {P::SortHeader, {{"방장", -1}}},
        {P::SortHeader, {{"인원", 17}, {"공개", 50}}}}},
      {"userlistbackbtn.spr",
       {{P::UpArrow, {}},
        {P::DownArrow, {}},
        {P::Thumb, {}},
        {P::SortHeader, {{"닉네임", -1}}},
        {P::Header, {{"성별", -1}}},
        {P::SortHeader, {{"위치", -1}}}}},
      {"inviteuserlistbackbtn.spr", {{P::UpArrow, {}}, {P::DownArrow, {}}, {P::Thumb, {}}}},
      {"loby_roomtap.spr", {{P::Push, {{"대기방 보기", -1}}}, {P::Push, {{"전체방 보기", -1}}}}},
      {"room_join.spr", {{P::Push, {{"참여하기", -1}}}}},
      {"btnclose_teen.spr", {{P::Push, {{"닫기", -1}}}}},
  };
  const auto it = sets.find(lowerName);
  return it == sets.end() ? nullptr : &it->second;
}

const Colour kHeaderTop = Rgb(164, 104, 52);
const Colour kHeaderBottom = Rgb(112, 64, 26);
const Colour kGroove = Rgb(226, 204, 168);

void ScrollPart(Canvas& c, ListPart part, int state) {
  const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
  Colour top = Rgb(255, 218, 140), bottom = Rgb(206, 130, 48);
  if (state == 1) top = Rgb(255, 236, 180), bottom = Rgb(232, 158, 66);
  if (state == 2) top = Rgb(196, 116, 40), bottom = Rgb(240, 176, 90);
  if (state == 3) top = Rgb(204, 198, 188), bottom = Rgb(156, 150, 142);
  c.FillRoundRect(0, 0, w, h, 4, Rgb(96, 52, 18));
  c.VerticalGradientRoundRect(1, 1, w - 1, h - 1, 3, top, bottom);
  const Colour ink = state == 3 ? Rgb(120, 112, 104) : kInk;
  const float cx = w / 2 + (state == 2 ? 0.5f : 0), cy = h / 2 + (state == 2 ? 0.5f : 0);
  if (part == ListPart::UpArrow) c.FillPolygon({{cx, cy - 4}, {cx - 5.5f, cy + 3}, {cx + 5.5f, cy + 3}}, ink);
  if (part == ListPart::DownArrow) c.FillPolygon({{cx, cy + 4}, {cx - 5.5f, cy - 3}, {cx + 5.5f, cy - 3}}, ink);
  if (part == ListPart::Thumb)
    for (float dy : {-3.0f, 0.0f, 3.0f}) c.Line(cx - 5, cy + dy, cx + 5, cy + dy, 1, ink);
}

// A column header: dark wood with cream captions; sortable ones show the
// up/down mark so that the header reads as a button.
void HeaderFace(Canvas& c, const ListButton& button, int state) {
  const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
  const bool fixed = button.part == ListPart::FixedHeader;
  const int look = fixed ? 0 : state;  // fixed headers are always disabled but must not look greyed
  Colour top = kHeaderTop, bottom = kHeaderBottom;
  if (look == 1) top = Rgb(190, 128, 66), bottom = Rgb(136, 82, 34);
  if (look == 2) top = Rgb(96, 52, 20), bottom = Rgb(140, 86, 40);
  c.VerticalGradientRoundRect(0, 0, w, h, 0, top, bottom);
  c.Line(0.5f, 1, 0.5f, h - 1, 1, Rgb(206, 150, 92, 0.8f));
  c.Line(w - 0.5f, 1, w - 0.5f, h - 1, 1, Rgb(70, 36, 10));
  c.Line(0, h - 0.5f, w, h - 0.5f, 1, Rgb(70, 36, 10));
  const float shift = look == 2 ? 1.0f : 0.0f;
  const Colour ink = look == 3 ? Rgb(200, 180, 150) : Rgb(255, 242, 212);
  const bool sortable = button.part == ListPart::SortHeader;
  for (const HeaderLabel& label : button.labels) {
    float x = label.centre < 0 ? w / 2 : label.centre;
    int pixels = 12;
    if (sortable) {
      // Keep the caption clear of the sort mark; narrow headers take a smaller face.
      const float room = w - 9;
      float half = static_cast<float>(Canvas::TextWidth(label.text, pixels, true)) / 2;
      if (x + half > room && room - half < half + 1) {
        pixels = 11;
        half = static_cast<float>(Canvas::TextWidth(label.text, pixels, true)) / 2;
      }
      x = std::max(std::min(x, room - half), half + 1);
    }
    c.Text(label.text, x + shift, h / 2 + shift, pixels, true, ink);
  }
  if (sortable) {
    const float x = w - 5 + shift, y = h / 2 + shift;
    const Colour mark = look == 1 || look == 2 ? Rgb(255, 220, 120) : Rgb(236, 200, 150);
    c.FillPolygon({{x, y - 6}, {x - 3, y - 2}, {x + 3, y - 2}}, mark);
    c.FillPolygon({{x, y + 6}, {x - 3, y + 2}, {x + 3, y + 2}}, mark);
  }
}

void PushFace(Canvas& c, const ListButton& button, int state) {
  if (button.part == ListPart::PushWarn && state < 3) {
    // Crowded, locked or full channels: the same button in warning red.
    const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
    Colour top = Rgb(250, 150, 120), bottom = Rgb(190, 50, 36);
    if (state == 1) top = Rgb(255, 180, 150), bottom = Rgb(214, 72, 50);
    if (state == 2) top = Rgb(170, 40, 28), bottom = Rgb(226, 110, 86);
    c.FillRoundRect(0, 0, w, h, 6, Rgb(80, 20, 10));
    c.VerticalGradientRoundRect(1, 1, w - 1, h - 1, 5, top, bottom);
    const float press = state == 2 ? 1.0f : 0.0f;
    c.Text(button.labels.front().text, w / 2 + press, h / 2 + press, CaptionPixels(static_cast<int>(h)), true,
           Rgb(255, 246, 236));
    return;
  }
  ButtonFace(c, 0, static_cast<float>(c.Width()), static_cast<float>(c.Height()), state,
             button.labels.empty() ? std::string() : button.labels.front().text);
}

Canvas ListButtonFrame(const ListButton& button, int state, int w, int h) {
  Canvas c(w, h);
  switch (button.part) {
    case ListPart::UpArrow:
    case ListPart::DownArrow:
    case ListPart::Thumb: ScrollPart(c, button.part, state); break;
    case ListPart::Header:
    case ListPart::SortHeader:
    case ListPart::FixedHeader: HeaderFace(c, button, state); break;
    case ListPart::Push:
    case ListPart::PushWarn: PushFace(c, button, state); break;
  }
  return c;
}

Canvas CheckMark(int w, int h, bool checked) {
  Canvas c(w, h);
  const float fw = static_cast<float>(w), fh = static_cast<float>(h);
  c.FillRect(0, 0, fw, fh, Rgb(110, 64, 24));
  c.FillRect(1, 1, fw - 1, fh - 1, Rgb(255, 252, 240));
  if (checked) {
    c.Line(2, fh / 2, fw * 0.42f, fh - 2.5f, 1.6f, Rgb(200, 40, 30));
    c.Line(fw * 0.42f, fh - 2.5f, fw - 1.5f, 2, 1.6f, Rgb(200, 40, 30));
  }
  return c;
}

// Geometry of a list window's background: header band, rows, scroll groove.
struct ListLayout {
  float headerBottom;
  float rowLeft, rowRight, rowTop, rowHeight;
  int rows;
  float grooveX, grooveTop, grooveBottom;
  std::vector<HeaderLabel> captions;  // written into the band (lists without header buttons)
};

Canvas ListBackground(int w, int h, const ListLayout& l) {
  Canvas c(w, h);
  const float fw = static_cast<float>(w), fh = static_cast<float>(h);
  c.FillRoundRect(0, 0, fw, fh, 4, Rgb(255, 248, 226));
  c.VerticalGradientRoundRect(0, 0, fw, l.headerBottom, 0, kHeaderTop, kHeaderBottom);
  for (const HeaderLabel& label : l.captions) c.Text(label.text, label.centre, l.headerBottom / 2, 12, true, Rgb(255, 242, 212));
  for (int i = 0; i < l.rows; ++i) {
    const float y = l.rowTop + l.rowHeight * static_cast<float>(i);
    if (y >= fh) break;
    if (i % 2) c.FillRect(l.rowLeft, y, l.rowRight, y + l.rowHeight, Rgb(246, 232, 200, 0.6f));
    c.Line(l.rowLeft, y + l.rowHeight - 0.5f, l.rowRight, y + l.rowHeight - 0.5f, 1, Rgb(226, 204, 168));
  }
  c.FillRoundRect(l.grooveX, l.grooveTop, l.grooveX + 21, l.grooveBottom, 3, kGroove);
  c.Line(l.grooveX + 10.5f, l.grooveTop + 3, l.grooveX + 10.5f, l.grooveBottom - 3, 1, Rgb(196, 164, 120));
  // A thin frame so that the list sits on any screen.
  c.Line(0.5f, 0, 0.5f, fh, 1, Rgb(120, 72, 30));
  c.Line(fw - 0.5f, 0, fw - 0.5f, fh, 1, Rgb(120, 72, 30));
  c.Line(0, fh - 0.5f, fw, fh - 0.5f, 1, Rgb(120, 72, 30));
  return c;
}

Canvas RowHighlight(int w, int h, bool selected) {
  Canvas c(w, h);
  const float fw = static_cast<float>(w), fh = static_cast<float>(h);
  c.FillRoundRect(0, 1, fw, fh - 1, 4, selected ? Rgb(214, 138, 54) : Rgb(236, 190, 120));
  c.FillRoundRect(1, 2, fw - 1, fh - 2, 3, selected ? Rgb(255, 210, 120) : Rgb(255, 236, 194));
  return c;
}

// The user list's room view: a bar for the room's badges and number, the
// title field, and two player cards (figure box at (12, 88 + 76k), record
// text from x 75).
Canvas RoomInfoBack(int w, int h) {
  Canvas c(w, h);
  const float fw = static_cast<float>(w);
  c.FillRoundRect(0, 0, fw, static_cast<float>(h), 4, Rgb(255, 248, 226));
  c.VerticalGradientRoundRect(0, 0, fw, 32, 0, kHeaderTop, kHeaderBottom);
  c.FillRoundRect(90, 10, 176, 31, 4, Rgb(255, 242, 212));
  c.Text("제목", 30, 46, 12, true, kInk);
  c.FillRoundRect(55, 35, fw - 6, 57, 3, Rgb(196, 164, 120));
  c.FillRoundRect(56, 36, fw - 7, 56, 2, Rgb(255, 255, 250));
  for (int k = 0; k < 2; ++k) {
    const float y = 84 + 76.0f * static_cast<float>(k);
    c.FillRoundRect(6, y, fw - 6, y + 72, 6, Rgb(236, 214, 176));
    c.FillRoundRect(11, y + 3, 68, y + 68, 3, Rgb(150, 110, 70));
    c.FillRoundRect(12, y + 4, 67, y + 67, 2, Rgb(255, 255, 255));
  }
  return c;
}

// Backgrounds and row marks of the list sets; empty canvas when the name is
// not a list background.
Canvas ListBackFrame(const std::string& lowerName, int frame, int w, int h) {
  if (lowerName == "titlelistback.spr") {
    if (frame > 0) return RowHighlight(w, h, frame == 2);
    return ListBackground(w, h, {34, 9, 286, 40, 27, 17, 287, 55, 475, {}});
  }
  if (lowerName == "lobylistback.spr") {
    if (frame > 0) return RowHighlight(w, h, frame == 2);
    Canvas c = ListBackground(w, h, {34, 10, 516, 36, 27, 10, 518, 56, 281, {}});
    c.FillRect(1, 304, static_cast<float>(w) - 1, static_cast<float>(h) - 1, Rgb(236, 214, 176));
    return c;
  }
  if (lowerName == "userlistback.spr") {
    if (frame > 0) return RowHighlight(w, h, frame == 3);
    return ListBackground(w, h, {31, 9, 199, 34, 27, 9, 201, 27, 252, {}});
  }
  if (lowerName == "lobyroominfoback.spr") return RoomInfoBack(w, h);
  if (lowerName == "inviteuserlistback.spr") {
    const bool all = frame == 1;
    std::vector<HeaderLabel> captions = {{"닉네임", 62}, {"레벨", 125}, {"성별", 158}};
    if (all) captions.insert(captions.end(), {{"승점", 230}, {"위치", 330}});
    else captions.insert(captions.end(), {{"전적", 208}, {"승점", 305}});
    return ListBackground(w, h, {22, 9, 360, 30, 18, all ? 10 : 5, 362, 23, all ? 196.0f : 97.0f, captions});
  }
  return Canvas(0, 0);
}

void Lock(Canvas& c, float x, float y, float size, Colour body) {
  c.Ring(x + size / 2, y + size * 0.36f, size * 0.26f, size * 0.13f, Rgb(110, 100, 90));
  c.FillRoundRect(x + size * 0.12f, y + size * 0.42f, x + size * 0.88f, y + size, size * 0.12f, body);
  c.FillCircle(x + size / 2, y + size * 0.68f, size * 0.08f, Rgb(90, 60, 10));
}

void Badge(Canvas& c, Colour colour, const char* text) {
  const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
  c.FillRoundRect(0, 0, w, h, 4, Scale(colour, 0.6f));
  c.VerticalGradientRoundRect(1, 1, w - 1, h - 1, 3, Mix(colour, Rgb(255, 255, 255), 0.3f), colour);
  if (text && *text) c.Text(text, w / 2, h / 2, h >= 18 ? 10 : 9, true, Rgb(255, 255, 255));
}

// Small icons of the lists, by file and frame: what each frame means is
// fixed by the screens (room state codes, channel states, the room view's
// badges and the sex icons).
Canvas ListIcon(const std::string& lowerName, int frame, int w, int h) {
  Canvas c(w, h);
  const Colour waiting = Rgb(52, 150, 64), full = Rgb(226, 128, 24), playing = Rgb(200, 52, 40);
  if (lowerName == "lobyroomimg.spr") {
    // State code: 0 waiting, 1 full, 2 playing; 4 more for a secret room.
    static const char* texts[3] = {"대기", "만원", "게임"};
    const Colour colours[3] = {waiting, full, playing};
    const int base = frame % 4;
    if (base == 3) {  // no room has this code
      Badge(c, Rgb(150, 140, 130), "");
      return c;
    }
    Badge(c, colours[base], texts[base]);
    if (frame >= 4) Lock(c, static_cast<float>(w) - 9, static_cast<float>(h) - 10, 9, Rgb(250, 206, 60));
    return c;
  }
  const float fw = static_cast<float>(w), fh = static_cast<float>(h);
  if (lowerName == "titlestateimg.spr") {
    // 0 the channel the player is in, 1 locked, 2 normal, 3 crowded, 4 full.
    if (frame == 0) {
      std::vector<Point> star;
      for (int i = 0; i < 10; ++i) {
        const float a = -1.5707963f + static_cast<float>(i) * 0.6283185f, r = (i % 2 ? 0.42f : 1.0f) * fw / 2;
        star.push_back({fw / 2 + r * std::cos(a), fh / 2 + 1 + r * std::sin(a)});
      }
      c.FillPolygon(star, Rgb(250, 196, 30));
    } else if (frame == 1) {
      Lock(c, 1, 0, fw - 2, Rgb(150, 140, 130));
    } else {
      const Colour colour = frame == 2 ? waiting : frame == 3 ? full : playing;
      c.FillCircle(fw / 2, fh / 2, fw / 2 - 1, Scale(colour, 0.6f));
      c.FillCircle(fw / 2, fh / 2, fw / 2 - 2, colour);
      c.FillCircle(fw / 2 - 2, fh / 2 - 2, 2, Rgb(255, 255, 255, 0.6f));
      if (frame == 4) c.Line(4, fh / 2, fw - 4, fh / 2, 2, Rgb(255, 255, 255));
    }
    return c;
  }
  if (lowerName == "lobyroominfoimg.spr") {
    // 0 playing, 1 waiting; 2 female, 3 male; 4 super room, 5 normal room;
    // 6 secret, 7 public.
    switch (frame) {
      case 0: Badge(c, playing, "게임"); break;
      case 1: Badge(c, waiting, "대기"); break;
      case 2: Badge(c, Rgb(226, 90, 140), "여"); break;
      case 3: Badge(c, Rgb(60, 110, 210), "남"); break;
      case 4: Badge(c, Rgb(140, 70, 200), "슈퍼"); break;
      case 5: Badge(c, Rgb(150, 140, 130), "일반"); break;
      case 6: Lock(c, fw / 2 - fh / 2, 0, fh, Rgb(250, 206, 60)); break;
      default: Badge(c, Rgb(90, 160, 190), "공개"); break;
    }
    return c;
  }
  Badge(c, Rgb(150, 140, 130), std::to_string(frame).c_str());
  return c;
}

}  // namespace

std::vector<std::uint8_t> ScreenSpriteFile(const AssetEntry& entry) {
  const std::string name = Lower(FileName(entry.path));
  gfx::xSprite set;
  if (entry.framesPerButton > 0) {
    const std::vector<ListButton>* buttons = ListButtons(name);
    if (!buttons || static_cast<int>(buttons->size()) * entry.framesPerButton > entry.frames) return {};
    for (int f = 0; f < entry.frames; ++f) {
      const auto size = std::find_if(entry.sizes.begin(), entry.sizes.end(), [f](const FrameSize& s) { return s.frame == f; });
      if (size == entry.sizes.end()) return {};
      const auto b = static_cast<std::size_t>(f / entry.framesPerButton);
      if (b < buttons->size()) {
        // With three frames a button has no disabled image; its third is pressed.
        AddFrame16(set, ListButtonFrame((*buttons)[b], f % entry.framesPerButton, size->width, size->height));
      } else {
        AddFrame16(set, CheckMark(size->width, size->height, f % 2 == 0));  // frames 9 (off) and 10 (on)
      }
    }
    return set.SaveToMemory();
  }
  for (int f = 0; f < entry.frames; ++f) {
    int w = 24, h = 24;
    // Sizes: the listed frame, else the last listed size before it, else the first.
    for (const FrameSize& s : entry.sizes)
      if (s.frame <= f) w = s.width, h = s.height;
    if (name == "level.spr") {
      Canvas c(w, h);
      c.FillCircle(7.5f, 7.5f, 7, Mix(Rgb(120, 200, 120), Rgb(230, 60, 40), static_cast<float>(f) / 14.0f));
      c.Text(std::to_string(f + 1), 7.5f, 7.5f, 9, true, Rgb(255, 255, 255));
      AddFrame16(set, c);
      continue;
    }
    if (name == "charback.spr") {
      Canvas c(w, h);
      // Dark wood like the game room's side column: the record is written on it in light colours.
      c.FillRoundRect(0, 0, static_cast<float>(w), static_cast<float>(h), 6, Rgb(200, 150, 70));
      c.VerticalGradientRoundRect(1, 1, static_cast<float>(w) - 1, static_cast<float>(h) - 1, 5, Rgb(104, 64, 32),
                                  Rgb(54, 30, 12));
      AddFrame16(set, c);
      continue;
    }
    if (name.rfind("msgdlg", 0) == 0) {
      AddFrame16(set, Dialog(w, h, ""));
      continue;
    }
    if (name == "nicknamerollover.spr" || name == "event_result.spr") {
      Canvas c(name == "event_result.spr" ? 90 : 120, name == "event_result.spr" ? 24 : 22);
      c.FillRoundRect(0, 0, static_cast<float>(c.Width()), static_cast<float>(c.Height()), 6, Rgb(255, 250, 220));
      if (name == "event_result.spr") c.Text("이벤트", 45, 12, 12, true, Rgb(200, 60, 40));
      AddFrame16(set, c);
      continue;
    }
    if (const Canvas back = ListBackFrame(name, f, w, h); back.Width() > 0) {
      AddFrame16(set, back);
      continue;
    }
    AddFrame16(set, ListIcon(name, f, w, h));
  }
  return set.SaveToMemory();
}

std::vector<std::uint8_t> ScreenBitmapFile(const AssetEntry& entry) {
  const std::string name = Lower(FileName(entry.path));
  if (entry.states == 4 && (name == "fullscreenbtn.bmp" || name == "winmodebtn.bmp" || name == "minimizebtn.bmp" ||
                            name == "exitbtn.bmp"))
    return BmpBytes(WindowButtonStrip(name, entry.width, entry.height / 4));
  if (entry.states > 1) return BmpBytes(ButtonStrip(entry.width, entry.height / entry.states, entry.states, Caption(name)));
  if (name.find("check") != std::string::npos) {
    const bool checked = name.find("01") != std::string::npos || name.find("check2") != std::string::npos;
    return BmpBytes(CheckImage(entry.width, entry.height, checked));
  }
  if (name.rfind("bitmap", 0) == 0) {
    const int id = std::stoi(name.substr(6));
    if (id == 268) {
      // Two cells of 16 x 16: unchecked, checked.
      Canvas c(entry.width, entry.height);
      c.Draw(CheckImage(16, 16, false), 0, 0);
      c.Draw(CheckImage(16, 16, true), 16, 0);
      return BmpBytes(c);
    }
    if (id == 198) {
      Canvas c(entry.width, entry.height);
      for (int level = 0; level < 15; ++level) {
        const float cx = 7.5f + 15.0f * static_cast<float>(level);
        c.FillCircle(cx, 7.5f, 7, Mix(Rgb(120, 200, 120), Rgb(230, 60, 40), static_cast<float>(level) / 14.0f));
        c.Text(std::to_string(level + 1), cx, 7.5f, 9, true, Rgb(255, 255, 255));
      }
      return BmpBytes(c);
    }
    for (const ResourceButton& b : ResourceButtons())
      for (std::size_t state = 0; state < b.ids.size(); ++state)
        if (b.ids[state] == id) {
          Canvas c(b.width, b.height);
          ButtonFace(c, 0, static_cast<float>(b.width), static_cast<float>(b.height), static_cast<int>(state),
                     std::string(b.caption));
          return BmpBytes(c);
        }
  }
  if (name.rfind("cursor", 0) == 0) return BmpBytes(Cursor(std::stoi(name.substr(6, 3))));
  if (entry.width == 800 && entry.height == 600) return BmpBytes(Screen(entry.width, entry.height, name));
  return BmpBytes(Icon(name, entry.width, entry.height));
}

}  // namespace tovrik::assetgen
