#include "AutomationQuestions.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/ClientDlg.h"
#include "app/ControllerState.h"
#include "game/GameGlobals.h"
#include "platform/AutomationChannel.h"
#include "protocol/TextField.h"

namespace tovrik::app {
namespace {

using platform::AutomationChannel;
using platform::Window;
using Words = std::vector<std::string>;
using tovrik::game::Field;
using tovrik::game::Game;
using tovrik::game::Play;

std::string Flag(bool value) { return value ? "1" : "0"; }

bool NoWords(const Words& words, std::string& answer) {
  if (words.empty()) return true;
  answer = "this question takes no words";
  return false;
}

const Window* VisibleWithId(const Window& window, int id) {
  for (const Window* child : window.Children()) {
    if (!child->IsVisibleFlag()) continue;
    if (child->Id() == id) return child;
    if (const Window* inner = VisibleWithId(*child, id)) return inner;
  }
  return nullptr;
}

std::string Where() { return "where=" + std::to_string(g_Where) + " wait=" + std::to_string(g_Wait); }

std::string Room() {
  const bool master = !Play[0].ID().empty() && Play[0].ID() == protocol::ReadText(g_RI.MasterID);
  return "room=" + std::to_string(g_RI.RoomNo.get()) + " users=" + std::to_string(g_RI.UserCnt.get()) +
         " playing=" + Flag(g_RI.Playing != 0) + " master=" + Flag(master) + " ready=" +
         std::to_string(Play[0].ready) + "," + std::to_string(Play[1].ready) + " opponent=" +
         (Play[1].ID().empty() ? std::string("-") : std::string(Play[1].ID()));
}

std::string GameState() {
  return "phase=" + std::to_string(Field.phase) + " myturn=" + Flag(Game.myTurn != 0) +
         " waiting=" + Flag(Game.waitResult != 0) + " aiming=" + Flag(Field.aiming != 0) +
         " moving=" + Flag(Field.IsStoneMoving() != 0) + " result=" + std::to_string(Field.resultKind) +
         " showing=" + Flag(Game.resultShowing != 0) + " side=" + std::to_string(Play[0].side);
}

// The stones of one side still on the board, as page points.
std::string StonePoints(int side, platform::Point origin) {
  std::string points;
  for (const tovrik::game::CStone& stone : Field.Stones(side)) {
    if (!stone.alive || stone.dropping) continue;
    const tovrik::game::BoardPoint p = Field.ToPagePoint(stone.x, stone.y);
    if (!points.empty()) points += ';';
    points += std::to_string(stone.index) + ":" + std::to_string(origin.x + p.x) + "," + std::to_string(origin.y + p.y);
  }
  return points.empty() ? "-" : points;
}

bool Stones(const Window& mainWindow, std::string& answer) {
  const Window* view = VisibleWithId(mainWindow, kGameViewControlId);
  if (!view) {
    answer = "no game view on the page";
    return false;
  }
  const int own = Play[0].side;
  if (own != tovrik::game::kSideHan && own != tovrik::game::kSideCho) {
    answer = "no side: no game is being played";
    return false;
  }
  const int other = own == tovrik::game::kSideHan ? tovrik::game::kSideCho : tovrik::game::kSideHan;
  const platform::Point origin = view->GetScreenRect().TopLeft();
  answer = "own=" + StonePoints(own, origin) + " other=" + StonePoints(other, origin);
  return true;
}

// A question whose answer needs no words and cannot fail.
template <typename Answer>
AutomationChannel::Question Plain(Answer answerOf) {
  return [answerOf](const Words& words, std::string& answer) {
    if (!NoWords(words, answer)) return false;
    answer = answerOf();
    return true;
  };
}

}  // namespace

void AddClientQuestions(AutomationChannel& channel, const CClientDlg& mainWindow, OwnScreens own) {
  channel.AddQuestion("screens", Plain([own] {
    return "channel=" + Flag(own.channel) + " lobby=" + Flag(own.lobby) + " room=" + Flag(own.room);
  }));
  channel.AddQuestion("where", Plain(Where));
  channel.AddQuestion("room", Plain(Room));
  channel.AddQuestion("game", Plain(GameState));
  channel.AddQuestion("chat", [&mainWindow](const Words& words, std::string& answer) {
    if (words.empty()) {
      answer = "chat takes the text to look for";
      return false;
    }
    std::string text = words.front();
    for (std::size_t i = 1; i < words.size(); ++i) text += " " + words[i];
    const auto& lines = mainWindow.RecentChat();
    const bool seen = std::any_of(lines.begin(), lines.end(),
                                  [&](const std::string& line) { return line.find(text) != std::string::npos; });
    answer = "seen=" + Flag(seen);
    return true;
  });
  channel.AddQuestion("stones", [&mainWindow](const Words& words, std::string& answer) {
    return NoWords(words, answer) && Stones(mainWindow, answer);
  });
}

}  // namespace tovrik::app
