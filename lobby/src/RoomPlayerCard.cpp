#include "lobby/RoomPlayerCard.h"

#include "app/ClientServices.h"
#include "base/CodePage.h"
#include "game/Levels.h"

#include <span>
#include <string>

namespace tovrik::lobby {

namespace {
constexpr platform::RgbColor kNameColour{255, 230, 150};
constexpr platform::RgbColor kTextColour{235, 220, 200};

template <std::size_t N>
std::string Shown(const char (&field)[N]) {
  return app::OneLineName(base::Cp949FieldToUtf8(std::span<const char>(field, N)));
}
}  // namespace

void CRoomPlayerCard::SetUser(const protocol::USERINFO* user) {
  if (user) user_ = *user;
  else user_.reset();
  Invalidate();
}

void CRoomPlayerCard::OnPaint(platform::PaintContext& pc) {
  if (!user_) return;
  const std::shared_ptr<platform::Font> font = platform::Font::Default();
  if (!font) return;
  const protocol::USERINFO& u = *user_;
  const int wins = u.WinNum.get(), losses = u.LoseNum.get(), points = u.Point.get();
  const std::string level(game::GetLevelString(game::GetLevel(points, wins, losses)));
  const std::string lines[] = {
      Shown(u.NickName),
      "등급: " + level,
      std::to_string(wins) + "승 " + std::to_string(losses) + "패 " + std::to_string(u.DrawNum.get()) + "무",
      "점수: " + std::to_string(points),
  };
  const platform::Point origin = pc.Origin();
  int y = 12;
  for (const std::string& line : lines) {
    platform::TextOut(pc.Target(), *font, origin.x + 12, origin.y + y, line, &line == &lines[0] ? kNameColour : kTextColour,
                      pc.Clip());
    y += 26;
  }
}

}  // namespace tovrik::lobby
