// The item window and the charging window against a browser library double
// that records what each page was asked and lets the test play the pages.

#include "../portal/PortalSandbox.h"

#include "app/ControllerState.h"
#include "lobby/ChargeCashDlg.h"
#include "lobby/ItemPageEvent.h"
#include "lobby/NewGameItemDlg.h"
#include "lobby/tables/GameItemTables.h"
#include "platform/EventLoop.h"

#include <gtest/gtest.h>

#include <functional>
#include <unistd.h>

namespace tovrik::lobby {
namespace {

using namespace tovrik::platform;
namespace item = tables::game_item;

// --- The page events ---------------------------------------------------------

TEST(ItemPageEvent, ParametersAreFoundByTheirWholeName) {
  struct Case {
    std::string_view address, key, value;
  } cases[] = {
      {"/s?Status=_buyend_&type=1", "type=", "1"},
      {"/s?Status=x&gametype=5&type=2", "type=", "2"},  // not inside "gametype="
      {"/s?Status=x&gametype=5", "type=", ""},
      {"/s?Status=x&Itemno=&Itemcode=7", "Itemno=", ""},  // directly followed by "&"
      {"/s?Status=x&Itemcode=7", "Itemcode=", "7"},
      {"/s?Status=x&mode=use", "mode=", "use"},
      {"/s?Status=_reload_", "Status=", "_reload_"},
      {"/s?Status=x", "Itemno=", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(PageParameter(c.address, c.key), c.value) << c.address << " " << c.key;
}

TEST(ItemPageEvent, EventsOfStatusAddresses) {
  struct Case {
    std::string_view address;
    bool isEvent;
    ItemPageStatus status;
    int type, itemCode, itemNo;
  } cases[] = {
      {"http://shop/list.asp?id=a", false, kItemStatusNone, 0, 0, 0},
      {"http://shop/list.asp?NoStatus=_buyend_", false, kItemStatusNone, 0, 0, 0},
      {"/Status.asp?Status=_buyend_&type=1&Itemcode=201&Itemno=5", true, kItemStatusBuyEnd, 1, 201, 5},
      {"/Status.asp?Status=_useitem_&type=1&Itemcode=3&Itemno=9", true, kItemStatusUseItem, 1, 3, 9},
      {"/Status.asp?Status=_reload_", true, kItemStatusReload, 0, 0, 0},
      {"/Status.asp?Status=_nowuse_&Itemcode=4&Itemno=x", true, kItemStatusNowUse, 0, 4, 0},
      {"/Status.asp?Status=_other_&type=1", true, kItemStatusNone, 1, 0, 0},
      {"/Status.asp?Status=&Itemno=&type=1", true, kItemStatusNone, 1, 0, 0},
  };
  for (const Case& c : cases) {
    auto event = ParseItemPageEvent(c.address);
    ASSERT_EQ(event.has_value(), c.isEvent) << c.address;
    if (!event) continue;
    EXPECT_EQ(event->status, c.status) << c.address;
    EXPECT_EQ(event->type, c.type) << c.address;
    EXPECT_EQ(event->itemCode, c.itemCode) << c.address;
    EXPECT_EQ(event->itemNo, c.itemNo) << c.address;
  }
}

// --- The windows -------------------------------------------------------------

class ItemWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The artwork is found from the program's folder, as in a real run.
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(TOVRIK_RUNTIME_DIR);
    portal_.Copy(TOVRIK_BROWSER_DOUBLE, portal_.common() / "Module/SSOWebDLL32.so");
    ASSERT_TRUE(library_.InitSSOWebBrowser(nullptr, "auth", "data", "cp", 1));
    main_.Create(nullptr, Rect::FromSize(0, 0, 800, 600));
    app::g_FuncItemURL = "http://shop.test:24080/items.asp?id=hong";
    app::g_MyItemURL = "http://shop.test:24080/my.asp?id=hong";
    app::g_CashURL = "http://shop.test:24080/cash.asp?id=hong";
    g_SSO_WEB_nStatus = 0;
    CNewGameItemDlg::SetChargeRunner(&CountCharge);
    charges_ = 0;
  }
  void TearDown() override {
    CNewGameItemDlg::SetChargeRunner(nullptr);
    CNewGameItemDlg::SetMainWindowObject(nullptr);
    loop_.SetModalHook(nullptr);
    library_.UnInitSSOWebBrowser();
    std::filesystem::current_path(previous_);
  }

  static int CountCharge(Window*) {
    ++charges_;
    return 2;
  }

  template <typename F>
  F Fn(const char* name) {
    auto f = library_.Find<F>(name);
    EXPECT_NE(f, nullptr) << name;
    return f;
  }
  void* Page(int page) { return Fn<void* (*)(int)>("Double_Page")(item::kFirstPageId + page); }
  std::vector<std::string> Navigations(int page) {
    std::vector<std::string> out;
    void* handle = Page(page);
    int count = Fn<int (*)(void*)>("Double_NavigationCount")(handle);
    for (int i = 0; i < count; ++i) out.push_back(Fn<const char* (*)(void*, int)>("Double_Navigation")(handle, i));
    return out;
  }
  int NavigationCount(int page) { return Fn<int (*)(void*)>("Double_NavigationCount")(Page(page)); }
  bool Visible(int page) { return Fn<int (*)(void*)>("Double_Visible")(Page(page)) == 1; }
  int PageNavigates(int page, const std::string& url) {
    return Fn<int (*)(void*, const char*)>("Double_PageNavigates")(Page(page), url.c_str());
  }
  void Press(CNewGameItemDlg& dialog, int id) { dialog.SendMessage(WM_COMMAND, MakeWParam(unsigned(id), 0), 0); }

  // Runs `body` inside the modal run of the first modal window.
  void InModal(std::function<void(Window&)> body) {
    loop_.SetModalHook([body, done = false](Window& window) mutable {
      if (done) return;
      done = true;
      body(window);
    });
  }

  static inline int charges_ = 0;
  std::filesystem::path previous_;
  PortalSandbox portal_;
  portal::CSSOWebLibMan library_;
  EventLoop loop_;
  Window main_;
};

TEST_F(ItemWindowTest, TheItemBagOpensOnTheFunctionalItemsAndTheButtonsSwitchAndReload) {
  CNewGameItemDlg dialog(library_);
  ASSERT_EQ(dialog.DoModaless(1, 0, 0, 1), 1);
  EXPECT_EQ(dialog.DoModaless(1, 0, 0, 1), 0);  // already open
  EXPECT_EQ(dialog.GetWindowRect().Width(), 520);  // the background's size
  for (int page = 0; page < 4; ++page) ASSERT_NE(Page(page), nullptr) << page;
  EXPECT_TRUE(Visible(1));
  EXPECT_FALSE(Visible(0) || Visible(2) || Visible(3));
  EXPECT_EQ(Navigations(1), (std::vector<std::string>{"about:blank", app::g_FuncItemURL}));

  Press(dialog, item::kMyItems);
  EXPECT_TRUE(Visible(2));
  EXPECT_FALSE(Visible(1));
  EXPECT_EQ(Navigations(2), (std::vector<std::string>{"about:blank", app::g_MyItemURL}));
  Press(dialog, item::kMyItems);  // the page shown, pressed again: reloaded
  EXPECT_EQ(NavigationCount(2), 3);
  dialog.ShowTab(2, 0);  // shown without force: kept
  EXPECT_EQ(NavigationCount(2), 3);
  Press(dialog, item::kFunctionalItems);
  EXPECT_EQ(NavigationCount(1), 3);  // same address, forced by the button

  Press(dialog, item::kChargeCash);
  EXPECT_EQ(charges_, 1);
  EXPECT_TRUE(Visible(1));  // the shown page stays

  Press(dialog, item::kClose);
  EXPECT_FALSE(dialog.IsOpen());
  EXPECT_EQ(Fn<int (*)()>("Double_PageCount")(), 0);
}

TEST_F(ItemWindowTest, OwnItemsChangingOnAnotherPageReloadMyItemsWhenNextShown) {
  CNewGameItemDlg dialog(library_);
  ASSERT_EQ(dialog.DoModaless(2, 0, 0, 1), 1);
  EXPECT_EQ(NavigationCount(2), 2);
  dialog.RefreshMyItem();  // my items shown: reloaded at once
  EXPECT_EQ(NavigationCount(2), 3);
  EXPECT_FALSE(dialog.RefreshPending());

  Press(dialog, item::kFunctionalItems);
  dialog.RefreshMyItem();
  EXPECT_TRUE(dialog.RefreshPending());
  EXPECT_EQ(NavigationCount(2), 3);
  dialog.ShowTab(2, 0);  // unchanged address, but marked for reload
  EXPECT_EQ(NavigationCount(2), 4);
  EXPECT_FALSE(dialog.RefreshPending());
  dialog.ShowTab(2, 0);
  EXPECT_EQ(NavigationCount(2), 4);
}

TEST_F(ItemWindowTest, APurchaseOpensPageOneWithItsDefaultCodeAndLaterBagOpeningsKeepIt) {
  CNewGameItemDlg dialog(library_);
  std::vector<std::string> seen;
  InModal([&](Window&) {
    seen = Navigations(1);
    Press(dialog, item::kClose);
  });
  EXPECT_EQ(dialog.DoModal(1, 1, 305), CNewGameItemDlg::kResultClosed);
  EXPECT_EQ(seen, (std::vector<std::string>{"about:blank", app::g_FuncItemURL + "&default=305"}));
  EXPECT_FALSE(dialog.IsOpen());

  ASSERT_EQ(dialog.DoModaless(1, 0, 0, 1), 1);
  EXPECT_EQ(Navigations(1).back(), app::g_FuncItemURL + "&default=305");
  EXPECT_FALSE(dialog.IsModal());
}

TEST_F(ItemWindowTest, PageEventsAreCancelledAndReachTheMainWindowsItemWindow) {
  CNewGameItemDlg dialog(library_);
  CNewGameItemDlg::SetMainWindowObject(&dialog);
  ASSERT_EQ(dialog.DoModaless(1, 0, 0, 1), 1);
  EXPECT_EQ(PageNavigates(1, "http://shop.test:24080/items.asp?id=hong&page=2"), 0);  // plain navigation

  // Reload: my items shown without force.
  EXPECT_EQ(PageNavigates(1, "http://shop.test:24080/gameshop/client/Status.asp?Status=_reload_"), 1);
  EXPECT_EQ(g_SSO_WEB_nStatus, kItemStatusReload);
  EXPECT_TRUE(Visible(2));
  EXPECT_EQ(Navigations(2).back(), app::g_MyItemURL);

  // Use now: the item-use page of the shop on page 2.
  EXPECT_EQ(PageNavigates(2, "/gameshop/client/Status.asp?Status=_nowuse_&Itemcode=201&Itemno=9&mode=use&gamecode=1"),
            1);
  EXPECT_EQ(Navigations(2).back(),
            "http://shop.test:24080/gameshop/client/Myitem/GameMyItemUse.asp?itemno=9&ItemCode=201&gamecode=1&mode=use");
  EXPECT_EQ(dialog.CurrentPage(), 1);  // the current page value stays
  // An unknown status is cancelled but does nothing and keeps the last one.
  int before = NavigationCount(2);
  EXPECT_EQ(PageNavigates(2, "/Status.asp?Status=_what_&type=1"), 1);
  EXPECT_EQ(g_SSO_WEB_nStatus, kItemStatusNowUse);
  EXPECT_EQ(NavigationCount(2), before);
}

TEST_F(ItemWindowTest, ThePagesChargeCallRunsTheChargingWindowAndReloadsThePage) {
  CNewGameItemDlg dialog(library_);
  ASSERT_EQ(dialog.DoModaless(1, 0, 0, 1), 1);
  EXPECT_EQ(std::string(Fn<const char* (*)(void*)>("Double_ExternalMethods")(Page(1))), "ShowChargeCashDlg");
  ASSERT_EQ(Fn<int (*)(void*, const char*)>("Double_CallExternal")(Page(1), "ShowChargeCashDlg"), 0);
  EXPECT_EQ(charges_, 1);
  ASSERT_EQ(Fn<int (*)(void*)>("Double_ScriptCount")(Page(1)), 1);
  EXPECT_EQ(std::string(Fn<const char* (*)(void*, int)>("Double_Script")(Page(1), 0)),
            CNewGameItemDlg::kReloadScript);
  Fn<int (*)(void*, const char*)>("Double_CallExternal")(Page(1), "SomethingElse");
  EXPECT_EQ(charges_, 1);
}

TEST_F(ItemWindowTest, APageThatCannotBeMadeIsTriedAgainWhenShown) {
  Fn<void (*)(int)>("Double_FailNextCreates")(4);
  CNewGameItemDlg dialog(library_);
  ASSERT_EQ(dialog.DoModaless(2, 0, 0, 1), 1);
  EXPECT_EQ(dialog.Browser(1), nullptr);
  ASSERT_NE(dialog.Browser(2), nullptr);  // the fifth try, when page 2 was shown
  EXPECT_EQ(Navigations(2), (std::vector<std::string>{"about:blank", app::g_MyItemURL}));
  Press(dialog, item::kFunctionalItems);
  EXPECT_NE(dialog.Browser(1), nullptr);
}

TEST_F(ItemWindowTest, TheChargingWindowShowsTheChargePageAndClosesWithIt) {
  CChargeCashDlg charge(library_);
  std::vector<std::string> seen;
  Rect at;
  InModal([&](Window&) {
    EXPECT_EQ(CChargeCashDlg::OpenWindow(), &charge);
    void* page = Fn<void* (*)(int)>("Double_Page")(tables::charge_cash::kPageId);
    int count = Fn<int (*)(void*)>("Double_NavigationCount")(page);
    for (int i = 0; i < count; ++i) seen.push_back(Fn<const char* (*)(void*, int)>("Double_Navigation")(page, i));
    at = charge.GetWindowRect();
    Fn<int (*)(void*)>("Double_Quit")(page);  // the page closes its window
  });
  Window shortOwner;
  ASSERT_TRUE(shortOwner.Create(&main_, Rect::FromSize(0, 0, 800, 400)));
  EXPECT_EQ(charge.DoModal(&shortOwner), IDCANCEL);
  EXPECT_EQ(seen, std::vector<std::string>{app::g_CashURL});
  EXPECT_EQ(CChargeCashDlg::OpenWindow(), nullptr);
  // Taller than its owner: its top edge stays in sight.
  EXPECT_EQ(at.top, 0);
  EXPECT_EQ(at.Height(), 598);
}

}  // namespace
}  // namespace tovrik::lobby
