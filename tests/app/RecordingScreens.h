#pragma once
// Screens that write down what the controller asks of them.

#include "app/Screens.h"
#include "base/CodePage.h"

#include <string>
#include <vector>

namespace tovrik::app::test {

struct ChatLine {
  std::string where;  // "lobby" or "room"
  std::string text;
  ChatColour colour;
  bool bold = false;
};

class RecordingScreens final : public IChannelScreen, public ILobbyScreen, public IPopupWindows {
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

  ClientScreens Screens() { return {this, this, &room, &connectBox, &closingBox, this}; }

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
  void CheckNoInvite(bool) override { calls.push_back("lobby.noinvite"); }
  void CheckNoWhisper(bool) override { calls.push_back("lobby.nowhisper"); }

  // Windows over the screens.
  void SetProfileUrl(std::string_view url) override { calls.push_back("popup.profileurl " + std::string(url)); }
  void OpenPcRoomService(int grade) override { calls.push_back("popup.pcroom " + std::to_string(grade)); }
  int ShowEventNotice(int type) override {
    calls.push_back("popup.event " + std::to_string(type));
    return eventNoticeAnswer;
  }
  void ShowGameGrade() override { calls.push_back("popup.gamegrade"); }
  void ShowProfile(const protocol::USERINFO& user, int flag) override {
    calls.push_back("popup.profile " + std::to_string(user.UNum.get()) + " " + std::to_string(flag));
  }
  void ShowMyItemBag() override { calls.push_back("popup.itembag"); }

  int eventNoticeAnswer = 2;  // cancel: the player leaves
  std::vector<std::string> calls;
  std::vector<std::string> channels;
  std::vector<std::string> pages;
  std::vector<ChatLine> chat;
  Room room{*this};
  Box connectBox{*this, "connect"};
  Box closingBox{*this, "closing"};
};

}  // namespace tovrik::app::test
