#include "lobby/RoomPlayerCard.h"

#include "app/ClientServices.h"
#include "base/CodePage.h"
#include "game/Levels.h"
#include "platform/Text.h"

#include <cstdio>
#include <span>
#include <string>

namespace tovrik::lobby {

namespace {
constexpr int kCardFrame = 5;
constexpr platform::RgbColor kNameColour{255, 255, 255};
constexpr platform::RgbColor kRecordColour{250, 216, 200};
constexpr std::uint16_t kEmptyCard = 0x0C63;  // dark brown in RGB555
constexpr int kTextX = 94;
constexpr int kRecordTop = 48;
constexpr int kRecordStep = 15;

template <std::size_t N>
std::string Shown(const char (&field)[N]) {
  return app::OneLineName(base::Cp949FieldToUtf8(std::span<const char>(field, N)));
}
}  // namespace

void CRoomPlayerCard::SetUser(const protocol::USERINFO* user) {
  if (user) {
    user_ = *user;
    avatar_.SetAvatar(std::span<const unsigned char, portal::CAvatar::kDescriptionSize>(user_->Avatar));
    SetTimer(kAnimationTimer, kAnimationMs);
  } else {
    user_.reset();
    KillTimer(kAnimationTimer);
  }
  Invalidate();
}

platform::LResult CRoomPlayerCard::WindowProc(platform::MsgId msg, platform::WParam w, platform::LParam l) {
  if (msg == platform::WM_TIMER && w == kAnimationTimer) {
    Invalidate();
    return 0;
  }
  return Window::WindowProc(msg, w, l);
}

void CRoomPlayerCard::DrawPage() {
  const platform::Rect r = GetClientRect();
  if (page_.width != r.Width() || page_.height != r.Height()) page_.Init(r.Width(), r.Height(), 16);
  std::uint16_t* bits = page_.Bits16();
  if (!bits) return;
  for (int y = 0; y < page_.height; ++y)
    for (int x = 0; x < page_.width; ++x) bits[y * page_.pitch + x] = kEmptyCard;
  if (art_.charBack) page_.PutSprAuto(0, 0, art_.charBack, kCardFrame);
  if (user_) avatar_.Draw(0, 0, page_.width, page_.height, bits, page_.pitchBytes, false);
  if (user_ && art_.level) {
    const protocol::USERINFO& u = *user_;
    page_.PutSprAuto(124, 31, art_.level, game::GetLevel(u.Point.get(), u.WinNum.get(), u.LoseNum.get()));
  }
}

void CRoomPlayerCard::DrawRecord(platform::PaintContext& pc) const {
  const std::shared_ptr<platform::Font> font = platform::Font::Default();
  if (!user_ || !font) return;
  const protocol::USERINFO& u = *user_;
  const int wins = u.WinNum.get(), losses = u.LoseNum.get(), draws = u.DrawNum.get();
  char rate[32];
  std::snprintf(rate, sizeof rate, "승률: %4.1f%%", game::GetWinPro(wins, losses, draws));
  const platform::Point o = pc.Origin();
  const auto text = [&](int y, const std::string& line, platform::RgbColor colour) {
    platform::TextOut(pc.Target(), *font, o.x + kTextX, o.y + y, line, colour, pc.Clip());
  };
  text(7, Shown(u.NickName), kNameColour);
  text(33, "레벨:", kRecordColour);
  const std::string record[] = {"승수: " + std::to_string(wins), "패수: " + std::to_string(losses),
                                "비김: " + std::to_string(draws), "승점: " + std::to_string(u.Point.get()), rate};
  int y = kRecordTop;
  for (const std::string& line : record) {
    text(y, line, kRecordColour);
    y += kRecordStep;
  }
}

void CRoomPlayerCard::OnPaint(platform::PaintContext& pc) {
  DrawPage();
  if (page_.Bits16()) pc.Blit(0, 0, page_.View());
  DrawRecord(pc);
}

}  // namespace tovrik::lobby
