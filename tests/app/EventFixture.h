#pragma once
// The controller in the lobby of a scripted game server, with helpers that
// build the records of the lobby and room messages and wait until the
// controller has handled everything sent so far.

#include "ControllerFixture.h"

#include "app/ControllerState.h"
#include "base/CodePage.h"
#include "game/GameGlobals.h"
#include "protocol/LobbyMessages.h"
#include "protocol/RelayMessages.h"
#include "protocol/TextField.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace tovrik::app::test {

inline std::string Cp949(std::string_view utf8) { return base::Utf8ToCp949(utf8); }

inline SMALLUSERINFO SmallUser(int unum, std::string_view id, std::string_view nickUtf8) {
  SMALLUSERINFO user;
  user.UNum = unum;
  CopyIfShorter(user.ID, id);
  CopyIfShorter(user.NickName, Cp949(nickUtf8));
  return user;
}

inline USERINFO User(int unum, std::string_view id, std::string_view nickUtf8) {
  USERINFO user;
  user.UNum = unum;
  CopyIfShorter(user.ID, id);
  CopyIfShorter(user.NickName, Cp949(nickUtf8));
  return user;
}

inline ROOMINFO Room(int roomNo, std::string_view masterId, std::string_view masterNick = "Master") {
  ROOMINFO room;
  room.RoomNo = roomNo;
  CopyIfShorter(room.Title, "Let us play");
  CopyIfShorter(room.MasterID, masterId);
  CopyIfShorter(room.MasterNick, Cp949(masterNick));
  room.UserCnt = 1;
  room.MaxUser = 2;
  room.BetPebble = 100;
  return room;
}

class ControllerEvents : public Controller {
 protected:
  void SetUp() override {
    Controller::SetUp();
    IntoLobby();
    screens.calls.clear();
    screens.chat.clear();
    screens.hidden.clear();
    screens.effects.clear();
    ResetMessageBoxAutomation();
  }

  template <typename Message>
  void Send(const Message& message) {
    game.Send(message);
  }

  // Everything sent before has been handled: the event counter is a
  // message whose effect is visible and harmless.
  void Sync() {
    CSV_AUGUSTEVENTMSG_CNT marker;
    ASSERT_TRUE(marker.Set(++syncs_));
    game.Send(marker);
    ASSERT_TRUE(PumpUntil(loop, [&] { return tovrik::game::Play[0].user.EventCount.get() == syncs_; }));
  }

  template <typename Message>
  void SendAndSync(const Message& message) {
    Send(message);
    Sync();
  }

  void ListUsers(std::initializer_list<SMALLUSERINFO> users) {
    std::vector<SMALLUSERINFO> list(users);
    CSV_ALLUSERINFO all;
    ASSERT_TRUE(all.Set(list));
    SendAndSync(all);
  }

  // The next frame the client sent, parsed as `Message`; it points into
  // the frame, which is kept until the next call.
  template <typename Message>
  std::unique_ptr<Message> Sent() {
    lastSent_ = game.Receive(loop);
    if (!lastSent_ || lastSent_->id != Message::MSGID) {
      ADD_FAILURE() << "expected " << MessageName(Message::MSGID) << ", got "
                    << (lastSent_ ? MessageName(lastSent_->id) : std::string("nothing"));
      return nullptr;
    }
    return Parse<Message>(*lastSent_);
  }

  std::int32_t syncs_ = 1000;
  std::optional<ReceivedFrame> lastSent_;
};

}  // namespace tovrik::app::test
