#pragma once
// Screens that write down what the controller asks of them.

#include "app/Screens.h"
#include "base/CodePage.h"
#include "protocol/TextField.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <utility>
#include <string>
#include <vector>

namespace tovrik::app::test {

struct ChatLine {
  std::string where;  // "lobby" or "room"
  std::string text;
  ChatColour colour;
  bool bold = false;
};

class RecordingScreens final : public IChannelScreen, public ILobbyScreen, public IPopupWindows, public game::IGameSound {
 public:
  class Room final : public IGameRoomScreen {
   public:
    explicit Room(RecordingScreens& owner) : owner_(owner) {}
    void Show(bool) override {}
    void ClearInput(int) override {}
    void FocusChat() override {}
    void AddChat(std::string_view text, ChatColour colour, bool bold) override {
      owner_.chat.push_back({"room", std::string(text), colour, bold});
    }
    void OpenBanner(std::string_view url) override { owner_.calls.push_back("room.banner " + std::string(url)); }
    void RemoveBanner() override { owner_.calls.push_back("room.removebanner"); }
    void ResetGameView() override {}
    void ExitRoom() override { owner_.calls.push_back("room.exit"); }
    void SetButtonState() override { owner_.calls.push_back("room.buttons"); }
    void ShowCharacters(const protocol::USERINFO& own, const protocol::USERINFO* opponent) override {
      owner_.calls.push_back("room.chars " + std::string(protocol::ReadText(own.ID)) + " " +
                             (opponent ? std::string(protocol::ReadText(opponent->ID)) : std::string("-")));
    }
    void OnLeftRoom() override { owner_.calls.push_back("room.left"); }
    void StartPointUp() override { owner_.calls.push_back("room.pointup"); }
    void SetResetGameTimer() override { owner_.calls.push_back("room.resettimer"); }
    void ClearResetGameTimer() override { owner_.calls.push_back("room.clearresettimer"); }

   private:
    RecordingScreens& owner_;
  };

  class Box final : public IProgressBox {
   public:
    Box(RecordingScreens& owner, std::string name) : owner_(owner), name_(std::move(name)) {}
    void Open(std::string_view text) override { owner_.calls.push_back(name_ + ".open " + std::string(text)); }
    void Close() override { owner_.calls.push_back(name_ + ".close"); }

   private:
    RecordingScreens& owner_;
    std::string name_;
  };

  ClientScreens Screens() { return {this, this, &room, &connectBox, &closingBox, this, this}; }

  // Sound effects.
  void PlayEffect(int effect) override { effects.push_back(effect); }
  void StopAllMusic() override {}

  bool Called(const std::string& call) const {
    for (const std::string& c : calls)
      if (c == call) return true;
    return false;
  }
  std::vector<std::string> Chat(const std::string& where) const {
    std::vector<std::string> out;
    for (const ChatLine& line : chat)
      if (line.where == where) out.push_back(line.text);
    return out;
  }

  // Channel screen.
  void EnableRefresh(bool e) override { calls.push_back(std::string("channel.refresh ") + (e ? "on" : "off")); }
  void EnableEnter(bool e) override { calls.push_back(std::string("channel.enter ") + (e ? "on" : "off")); }
  void EnableFindId(bool e) override { calls.push_back(std::string("channel.findid ") + (e ? "on" : "off")); }
  void Chan_DelAll() override {
    channels.clear();
    calls.push_back("channel.delall");
  }
  void Chan_InsItem(std::string_view name, const protocol::CHANNELINFO&) override {
    channels.push_back(base::Cp949ToUtf8(name));
  }
  void Chan_SelectLast() override { calls.push_back("channel.selectlast"); }
  void DismissProgress() override { calls.push_back("channel.dismiss"); }
  void NavigateWeb(std::string_view url) override { pages.emplace_back(url); }
  void CreateBanner() override {}
  void RemoveBanner() override {}

  // Channel screen and lobby.
  void Show(bool) override {}
  void ClearInput(int) override {}
  void FocusChat() override {}
  void AddChat(std::string_view text, ChatColour colour, bool bold) override {
    chat.push_back({"lobby", std::string(text), colour, bold});
  }
  void InitView() override {}
  void RefreshLists() override { calls.push_back("lobby.refresh"); }
  void OpenBanner(std::string_view url) override { calls.push_back("lobby.banner " + std::string(url)); }
  void SwitchToFullScreen() override { calls.push_back("lobby.fullscreen"); }
  void CheckNoInvite(bool checked) override {
    noInvite = checked;
    calls.push_back("lobby.noinvite");
  }
  void CheckNoWhisper(bool) override { calls.push_back("lobby.nowhisper"); }
  bool NoInviteChecked() const override { return noInvite; }
  void DismissWaitBox() override { calls.push_back("lobby.dismiss"); }
  void CancelWaitBox() override { calls.push_back("lobby.cancel"); }

  // Lists, kept as the lobby keeps them.
  void User_DelAll() override {
    users.clear();
    calls.push_back("lobby.user.delall");
  }
  void User_InsItem(const protocol::SMALLUSERINFO& user) override {
    calls.push_back("lobby.user.ins " + std::to_string(user.UNum.get()));
    for (const auto& u : users)
      if (u.UNum.get() == user.UNum.get()) return;
    users.push_back(user);
  }
  void User_DelItem(int unum, std::string_view id) override {
    calls.push_back("lobby.user.del " + std::to_string(unum) + " " + std::string(id));
    std::erase_if(users, [&](const auto& u) { return u.UNum.get() == unum; });
  }
  void User_SetItem(const protocol::SMALLUSERINFO& user) override {
    calls.push_back("lobby.user.set " + std::to_string(user.UNum.get()));
  }
  std::optional<protocol::SMALLUSERINFO> FindUser(std::string_view id) const override {
    for (const auto& u : users)
      if (protocol::ReadText(u.ID) == id) return u;
    return std::nullopt;
  }
  void SortInviteList() override { calls.push_back("lobby.sortinvite"); }
  void Room_DelAll() override {
    rooms.clear();
    calls.push_back("lobby.room.delall");
  }
  void Room_InsItem(const protocol::ROOMINFO& room) override {
    calls.push_back("lobby.room.ins " + std::to_string(room.RoomNo.get()));
    rooms.push_back(room.RoomNo.get());
  }
  void Room_DelItem(int roomNo) override { calls.push_back("lobby.room.del " + std::to_string(roomNo)); }
  void Room_SetItem(const protocol::SMALLROOMINFO& room) override {
    calls.push_back("lobby.room.set " + std::to_string(room.RoomNo.get()));
  }
  void OnRoomUserInfo(const protocol::GAMEINFO& game) override {
    calls.push_back("lobby.roomuserinfo " + std::to_string(game.RI.RoomNo.get()));
  }
  void SetCharacter(const protocol::USERINFO& user) override {
    calls.push_back("lobby.character " + std::to_string(user.CharNo.get()));
  }
  void AddHideChatText(std::string_view line) override { hidden.emplace_back(line); }

  // Windows over the screens.
  void SetProfileUrl(std::string_view url) override { calls.push_back("popup.profileurl " + std::string(url)); }
  void OpenPcRoomService(int grade) override { calls.push_back("popup.pcroom " + std::to_string(grade)); }
  int ShowEventNotice(int type) override {
    calls.push_back("popup.event " + std::to_string(type));
    if (auto once = std::exchange(whileModal, nullptr)) once();
    return eventNoticeAnswer;
  }
  void ShowGameGrade() override { calls.push_back("popup.gamegrade"); }
  void ShowProfile(const protocol::USERINFO& user, int flag) override {
    calls.push_back("popup.profile " + std::to_string(user.UNum.get()) + " " + std::to_string(flag));
    if (auto once = std::exchange(whileModal, nullptr)) once();
  }
  void ShowMyItemBag() override { calls.push_back("popup.itembag"); }
  void ShowInvitation(const protocol::USERINFO& inviter, int roomNo, std::string_view text) override {
    calls.push_back("popup.invite " + std::string(protocol::ReadText(inviter.ID)) + " " + std::to_string(roomNo) + " " +
                    std::string(text));
    if (auto once = std::exchange(whileModal, nullptr)) once();
  }
  bool ItemDialogOpen() const override { return itemDialogOpen; }
  void RefreshMyItems() override { calls.push_back("popup.item.refresh"); }
  void CloseItemDialog() override { calls.push_back("popup.item.close"); }
  int ShowItemDialog(int page, int value, int itemCode) override {
    calls.push_back("popup.item.show " + std::to_string(page) + " " + std::to_string(value) + " " +
                    std::to_string(itemCode));
    if (auto once = std::exchange(whileModal, nullptr)) once();
    return itemDialogAnswer;
  }

  int eventNoticeAnswer = 2;  // cancel: the player leaves
  int itemDialogAnswer = 2;   // closed without a purchase
  bool itemDialogOpen = false;
  bool noInvite = false;
  // Runs once inside the next modal dialog (invitation, items).
  std::function<void()> whileModal;
  std::vector<protocol::SMALLUSERINFO> users;
  std::vector<int> rooms;
  std::vector<std::string> hidden;
  std::vector<int> effects;
  std::vector<std::string> calls;
  std::vector<std::string> channels;
  std::vector<std::string> pages;
  std::vector<ChatLine> chat;
  Room room{*this};
  Box connectBox{*this, "connect"};
  Box closingBox{*this, "closing"};
};

}  // namespace tovrik::app::test
