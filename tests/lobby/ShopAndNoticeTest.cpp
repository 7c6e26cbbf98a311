// The item and notice windows as the controller opens them: the server's
// purchase message against fake servers (with the browser library double),
// and the notices on the fake clock.

#include "../app/ControllerFixture.h"
#include "../portal/PortalSandbox.h"

#include "app/ClientServices.h"
#include "lobby/ItemAndNoticeWindows.h"
#include "lobby/tables/GameItemTables.h"
#include "lobby/tables/NoticeTables.h"
#include "protocol/LobbyMessages.h"

#include <gtest/gtest.h>

#include <ctime>
#include <functional>

namespace tovrik::lobby {
namespace {

using namespace tovrik::app;
using namespace tovrik::app::test;
using namespace tovrik::platform;

// The controller's popup windows: the shop and notice part is the real
// one, the rest does nothing.
class ShopPopups final : public IPopupWindows {
 public:
  explicit ShopPopups(portal::CSSOWebLibMan& library) : windows(library) {}
  void SetProfileUrl(std::string_view) override {}
  void OpenPcRoomService(int grade) override { windows.OpenPcRoomService(grade); }
  int ShowEventNotice(int type) override { return windows.ShowEventNotice(type); }
  void ShowGameGrade() override { windows.ShowGameGrade(); }
  void ShowProfile(const protocol::USERINFO&, int) override {}
  void ShowMyItemBag() override { windows.ShowMyItemBag(); }
  void ShowInvitation(const protocol::USERINFO&, int, std::string_view) override {}
  bool ItemDialogOpen() const override { return windows.ItemDialogOpen(); }
  void RefreshMyItems() override { windows.RefreshMyItems(); }
  void CloseItemDialog() override { windows.CloseItemDialog(); }
  int ShowItemDialog(int page, int value, int itemCode) override {
    return windows.ShowItemDialog(page, value, itemCode);
  }
  CItemAndNoticeWindows windows;
};

class ShopAndNoticeTest : public Controller {
 protected:
  void SetUp() override {
    Controller::SetUp();
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(TOVRIK_RUNTIME_DIR);
    portal_.Copy(TOVRIK_BROWSER_DOUBLE, portal_.common() / "Module/SSOWebDLL32.so");
    ASSERT_TRUE(library_.InitSSOWebBrowser(nullptr, "auth", "data", "cp", 1));
    ClientScreens withShop = screens.Screens();
    withShop.popups = &popups_;
    dlg = std::make_unique<CClientDlg>(CClientDlg::Options{false, false, false}, withShop);
  }
  void TearDown() override {
    loop.SetModalHook(nullptr);
    dlg.reset();
    library_.UnInitSSOWebBrowser();
    std::filesystem::current_path(previous_);
    Controller::TearDown();
  }

  template <typename F>
  F Fn(const char* name) {
    return library_.Find<F>(name);
  }
  void* Page(int id) { return Fn<void* (*)(int)>("Double_Page")(id); }
  std::string LastNavigation(int id) {
    int count = Fn<int (*)(void*)>("Double_NavigationCount")(Page(id));
    return count > 0 ? Fn<const char* (*)(void*, int)>("Double_Navigation")(Page(id), count - 1) : "";
  }
  void InModal(std::function<void(Window&)> body) {
    loop.SetModalHook([body, done = false](Window& window) mutable {
      if (done) return;
      done = true;
      body(window);
    });
  }
  // Lets the clock run `ms` in small steps.
  void RunFor(std::uint32_t ms) {
    for (std::uint32_t t = 0; t < ms; t += 100) {
      clock.Advance(100);
      while (loop.PumpOnce()) {
      }
    }
  }

  std::filesystem::path previous_;
  PortalSandbox portal_;
  portal::CSSOWebLibMan library_;
  ShopPopups popups_{library_};
};

int Today() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_mday;
}

TEST_F(ShopAndNoticeTest, APurchaseRequestOpensTheShopAndItsPurchaseAsksForTheItemsOnce) {
  IntoLobby();
  g_FuncItemURL = "http://shop.test/items.asp?id=hong";
  g_MyItemURL = "http://shop.test/my.asp?id=hong";
  const int page1 = tables::game_item::kFirstPageId + 1;
  std::string shown;
  int cancelled = -1;
  std::vector<int> asked;
  InModal([&](Window& window) {
    shown = LastNavigation(page1);
    cancelled = Fn<int (*)(void*, const char*)>("Double_PageNavigates")(
        Page(page1), "http://shop.test/gameshop/client/Status.asp?Status=_buyend_&type=1&Itemcode=305&Itemno=77");
    while (auto frame = game.Receive(loop, 300)) asked.push_back(frame->id);
    window.SendMessage(WM_COMMAND, MakeWParam(tables::game_item::kClose, 0), 0);
  });
  BUYITEMHEAD buy;
  buy.Purpose = 0;
  buy.ItemCode = 305;
  CSV_BUYGAMEITEM ask;
  ASSERT_TRUE(ask.Set(buy, "buy"));
  game.Send(ask);
  ASSERT_TRUE(PumpUntil(loop, [&] { return cancelled != -1; }));
  EXPECT_EQ(shown, g_FuncItemURL + "&default=305");
  EXPECT_EQ(cancelled, 1);
  EXPECT_EQ(asked, std::vector<int>{msgid::CSV_ASK_GAMEITEMLIST});
  EXPECT_FALSE(popups_.ItemDialogOpen());
}

TEST_F(ShopAndNoticeTest, ThePcRoomGreetingClosesAfterFourSeconds) {
  Window main;
  ASSERT_TRUE(main.Create(nullptr, Rect::FromSize(0, 0, 800, 600)));
  popups_.OpenPcRoomService(19);
  CPremServiceDlg& greeting = popups_.windows.PremService();
  ASSERT_TRUE(greeting.IsCreated());
  EXPECT_EQ(greeting.Create(nullptr, 19), 0);  // one at a time
  RunFor(3800);
  EXPECT_TRUE(greeting.IsCreated());
  RunFor(400);
  EXPECT_FALSE(greeting.IsCreated());
}

TEST_F(ShopAndNoticeTest, TheRatingMarkSitsAtItsCornerForThreeSeconds) {
  Window main;
  ASSERT_TRUE(main.Create(nullptr, Rect::FromSize(0, 0, 800, 600)));
  popups_.ShowGameGrade();
  CGameGradeDlg& mark = popups_.windows.GameGrade();
  ASSERT_TRUE(mark.IsCreated());
  EXPECT_EQ(mark.GetWindowRect(), Rect::FromSize(735, 33, 56, 66));
  mark.MoveDlg(10, 20);
  EXPECT_EQ(mark.GetWindowRect(), Rect::FromSize(745, 53, 56, 66));
  RunFor(2800);
  EXPECT_TRUE(mark.IsCreated());
  RunFor(400);
  EXPECT_FALSE(mark.IsCreated());
}

TEST_F(ShopAndNoticeTest, HiddenForTodayTheEventNoticeStaysAwayUntilAnotherDay) {
  Window main;
  ASSERT_TRUE(main.Create(nullptr, Rect::FromSize(0, 0, 800, 600)));
  g_LoginID = "hong";
  InModal([](Window& window) {
    window.SendMessage(WM_COMMAND, MakeWParam(tables::event_notice::kHideToday, 0), 0);
  });
  EXPECT_EQ(popups_.ShowEventNotice(0), IDOK);
  EXPECT_EQ(GetProfile_int("hong", CEvent_NoticeDlg::kHideKey, 0), Today());
  bool shown = false;
  InModal([&](Window&) { shown = true; });
  EXPECT_EQ(popups_.ShowEventNotice(0), IDCANCEL);
  EXPECT_FALSE(shown);
  // Another day of the month in the settings: shown again.
  ASSERT_TRUE(WriteProfile_int("hong", CEvent_NoticeDlg::kHideKey, Today() % 28 + 1));
  InModal([&](Window& window) {
    shown = true;
    window.SendMessage(WM_COMMAND, MakeWParam(tables::event_notice::kClose, 0), 0);
  });
  EXPECT_EQ(popups_.ShowEventNotice(0), IDCANCEL);
  EXPECT_TRUE(shown);
}

TEST_F(ShopAndNoticeTest, TheExitNoticeKeepsThePlayerOnlyWhenAskedTo) {
  Window main;
  ASSERT_TRUE(main.Create(nullptr, Rect::FromSize(0, 0, 800, 600)));
  // Type 3 is shown even when type 0 was hidden today.
  g_LoginID = "hong";
  ASSERT_TRUE(WriteProfile_int("hong", CEvent_NoticeDlg::kHideKey, Today()));
  Rect size;
  InModal([&](Window& window) {
    size = window.GetWindowRect();
    window.SendMessage(WM_COMMAND, MakeWParam(tables::event_notice::kPlayMore, 0), 0);
  });
  EXPECT_EQ(popups_.ShowEventNotice(3), IDOK);  // play more: the program goes on
  EXPECT_EQ(size.Width(), 400);
  EXPECT_EQ(size.Height(), 462);
  InModal([](Window& window) { window.SendMessage(WM_COMMAND, MakeWParam(IDCANCEL, 0), 0); });
  EXPECT_EQ(popups_.ShowEventNotice(3), IDCANCEL);  // closed: the exit goes on
}

}  // namespace
}  // namespace tovrik::lobby
