#include "lobby/SendEdit.h"

#include "app/ControllerState.h"
#include "base/CodePage.h"
#include "base/Log.h"
#include "lobby/NoChat.h"
#include "protocol/LobbyMessages.h"
#include "protocol/RelayMessages.h"
#include "protocol/TextField.h"

#include <algorithm>
#include <span>

namespace tovrik::lobby {

namespace {

constexpr std::string_view kDetailCommand = "/#GetDetailUserInfo ";
constexpr app::ChatColour kBlack{0, 0, 0};

bool StartsWithWhisper(std::string_view line) {
  static const std::string kKoreanW = base::Utf8ToCp949("/ㅈ ");
  if (line.size() >= 3 && line[0] == '/' && (line[1] == 'w' || line[1] == 'W') && line[2] == ' ') return true;
  return line.starts_with(kKoreanW);
}

std::size_t PrefixLength(std::string_view line) {
  return line.find(' ') + 1;  // every command ends its prefix with a space
}

// Splits "word rest" at the first space: the word, and what follows it.
std::pair<std::string_view, std::string_view> FirstWord(std::string_view text) {
  const std::size_t space = text.find(' ');
  if (space == std::string_view::npos) return {text, {}};
  return {text.substr(0, space), text.substr(space + 1)};
}

bool NickFits(std::string_view nick) { return !nick.empty() && nick.size() <= CSendEdit::kMaxNickBytes; }

}  // namespace

ChatCommand ParseChatCommand(std::string_view line) {
  ChatCommand command;
  if (line.starts_with(kDetailCommand)) {
    command.kind = ChatCommand::Kind::DetailUserInfo;
    command.nickName = std::string(FirstWord(line.substr(kDetailCommand.size())).first);
  } else if (StartsWithWhisper(line)) {
    command.kind = ChatCommand::Kind::Whisper;
    const auto [nick, message] = FirstWord(line.substr(PrefixLength(line)));
    command.nickName = std::string(nick);
    command.message = std::string(message);
  }
  return command;
}

std::string CleanTypedLine(std::string_view text) {
  std::string line(protocol::Cp949Head(text, CSendEdit::kMaxLineBytes));
  if (line.empty() || line == "\xFF") return {};
  if (line.back() == '\x01') line.pop_back();
  // Control characters would break the line apart on every receiver and in
  // the hidden log; none of them is ever part of a two-byte character.
  std::replace_if(line.begin(), line.end(), [](char c) { return c == '\b' || c == '\t' || c == '\n' || c == '\r'; },
                  ' ');
  return line;
}

CSendEdit::CSendEdit(ChatPlaceKind place) : ownPlace_(std::in_place, place), place_(&*ownPlace_) {
  LimitText(kMaxLineBytes);
}

CSendEdit::CSendEdit(IChatPlace& place) : place_(&place) { LimitText(kMaxLineBytes); }

void CSendEdit::SetTextColor(platform::RgbColor colour) {
  textColour_ = colour;
  SetColours(textColour_, backColour_);
}

void CSendEdit::SetBkColor(platform::RgbColor colour) {
  backColour_ = colour;
  SetColours(textColour_, backColour_);
}

bool CSendEdit::PreTranslateMessage(platform::MsgId msg, platform::WParam w, platform::LParam l) {
  if (msg == platform::WM_KEYDOWN && w == platform::VK_RETURN) {
    SendTypedLine();
    return true;  // the line break is never typed into the input
  }
  return Edit::PreTranslateMessage(msg, w, l);
}

platform::LResult CSendEdit::WindowProc(platform::MsgId msg, platform::WParam w, platform::LParam l) {
  if (msg == platform::WM_KEYDOWN && w == platform::VK_UP) {
    ShowHistory(std::min(historyPos_ + 1, kHistorySize - 1));
    return 0;
  }
  if (msg == platform::WM_KEYDOWN && w == platform::VK_DOWN) {
    ShowHistory(historyPos_ == 0 ? 0 : historyPos_ - 1);
    return 0;
  }
  if (msg == platform::WM_CHAR && (w == '\r' || w == '\n')) return 0;
  return Edit::WindowProc(msg, w, l);
}

void CSendEdit::ShowHistory(std::size_t pos) {
  historyPos_ = pos;
  SetText(history_[pos]);
}

void CSendEdit::Remember(const std::string& line) {
  std::move_backward(history_.begin() + 1, history_.end() - 1, history_.end());
  history_[1] = line;
  history_[0].clear();
}

void CSendEdit::SendTypedLine() {
  const std::string line = CleanTypedLine(GetText());
  SetText("");
  historyPos_ = 0;
  if (line.empty()) return;
  Remember(line);
  if (NoChat.CheckNoChat(line)) {
    place_->ShowLine(kFloodMuteNotice, kFloodMuteColour);
    return;
  }
  const ChatCommand command = ParseChatCommand(line);
  switch (command.kind) {
    case ChatCommand::Kind::DetailUserInfo:
      SendDetailUserInfo(command);
      break;
    case ChatCommand::Kind::Whisper:
      WhisperChat(line);
      break;
    case ChatCommand::Kind::Chat:
      SendChat(line);
      break;
  }
}

void CSendEdit::SendDetailUserInfo(const ChatCommand& command) {
  if (!NickFits(command.nickName)) return;
  const int unum = place_->FindUserNumber(command.nickName);
  if (!SendChatMessage<protocol::CSV_ASK_DETAILUSERINFO>(*place_, unum, command.nickName)) return;
  place_->ShowLine("(사용자 상세정보 요청 : " + base::Cp949ToUtf8(command.nickName) + ")\n", kBlack);
}

void CSendEdit::WhisperChat(std::string_view line) {
  const ChatCommand command = ParseChatCommand(line);
  if (command.kind != ChatCommand::Kind::Whisper || !NickFits(command.nickName) || command.message.empty()) return;
  if (place_->RefusesWhisperTo(command.nickName)) {
    place_->ShowLine(kInGameWhisperRefusal, kInGameWhisperRefusalColour);
    return;
  }
  const int unum = place_->FindUserNumber(command.nickName);
  place_->ShowLine(base::Cp949ToUtf8(line) + "\n", kBlack);
  place_->AddHiddenLine(std::string(line) + "\n");
  SendChatMessage<protocol::CSV_WHISPERCHAT>(*place_, LocalPlayerId(), LocalPlayerNick(), unum, command.nickName, command.message);
}

void CSendEdit::SendChat(std::string_view line) {
  bool built = false;
  if (place_->Place() == kChatInRoom)
    built = SendChatMessage<protocol::CCL_CHATDATA>(*place_, app::g_RI.RoomNo.get(), LocalPlayerId(), line);
  else
    built = SendChatMessage<protocol::CSV_CHATDATA>(*place_, LocalPlayerId(), line);
  if (!built) base::Log(base::LogLevel::Error, "lobby", "could not build a chat message");
}

}  // namespace tovrik::lobby
