// The item window with the real page engine on a virtual X display,
// against the project's own server and its web shop: the player opens the
// item bag, the shop page is drawn inside it, a click on "buy" takes the
// money and the new item reaches the client's item state.

#include "../app/FakeServers.h"
#include "../e2e/DesktopSession.h"
#include "../portal/PortalSandbox.h"
#include "../server/ServerHarness.h"

#include "app/ClientDlg.h"
#include "app/ClientServices.h"
#include "app/ControllerState.h"
#include "app/LaunchParams.h"
#include "game/GameGlobals.h"
#include "lobby/ItemAndNoticeWindows.h"
#include "lobby/tables/GameItemTables.h"
#include "platform/MessageBox.h"
#include "portal/WebPageWnd.h"
#include "server/Database.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iostream>
#include <thread>

// The leak checker stays off in this program: at exit it cannot tell the web
// toolkit's never-freed start-up allocations from ours, and its tracer
// faults on the threads the toolkit leaves running.
extern "C" int __lsan_is_turned_off() { return 1; }

namespace tovrik::lobby {
namespace {

using namespace tovrik::app;
using namespace tovrik::platform;
using tovrik::app::test::PumpUntil;
using tovrik::server::testing::ServerUnderTest;

constexpr char kConfig[] = R"(
[Server1]
LoginGroup = 1
[Group1]
Name = 자유
[Channel1-1]
Server = 1
)";
constexpr int kJumpTicket = 201;

// Only the item part of the popup windows is wanted here.
class ShopPopups final : public IPopupWindows {
 public:
  explicit ShopPopups(portal::CSSOWebLibMan& library) : windows(library) {}
  void SetProfileUrl(std::string_view) override {}
  void OpenPcRoomService(int) override {}
  int ShowEventNotice(int) override { return IDCANCEL; }
  void ShowGameGrade() override {}
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

long ResidentKb(const char* field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::string_view(field).size());
  return 0;
}

int JumpTickets() {
  int count = 0;
  for (int i = 0; i < g_MyGameItem.Count; ++i)
    if (g_MyGameItem.Item[i].ItemCode.get() == kJumpTicket) ++count;
  return count;
}

class ShopBrowserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(display_.Running()) << display_.Error();
    ASSERT_TRUE(server_.Running()) << server_.Log();
    setenv("DISPLAY", display_.Name().c_str(), 1);
    unsetenv("TOVRIK_SSOWEB_ENGINE");
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(TOVRIK_RUNTIME_DIR);
    ResetControllerState();
    ResetMessageBoxAutomation();
    SetProfile_DefPath(portal_.install());
    g_ServIP = server_.Master().host;
    g_ServPort = unsigned(server_.Master().port);
    g_AuthCookie = "id=hong&nick=홍길동";
    g_DataCookie = "data";
    g_CpCookie = "cp";
    g_LoginGroup = 1;
    tovrik::game::Play[0].Clear();
    portal_.InstallBuilt("Module/SSOWebDLL32.so");
    portal_.InstallBuilt("Module/SSOWebEngine.so");
    ASSERT_TRUE(library_.InitSSOWebBrowser(nullptr, g_AuthCookie, g_DataCookie, g_CpCookie, 1));
    ClientScreens screens;
    screens.popups = &popups_;
    dlg_ = std::make_unique<CClientDlg>(CClientDlg::Options{false, false, false}, screens);
  }
  void TearDown() override {
    if (HasFailure()) std::cerr << server_.Log();
    dlg_.reset();
    library_.UnInitSSOWebBrowser();
    SetProfile_DefPath({});
    std::filesystem::current_path(previous_);
  }

  bool Until(const std::function<bool()>& done, int ms = 15000) { return PumpUntil(loop_, done, ms); }

  // The page's place on the main window.
  Rect PageOnScreen(int page) {
    portal::CSSOWebBrowser* browser = popups_.windows.ItemDialog().Browser(page);
    return browser && browser->window() ? browser->window()->GetScreenRect() : Rect{};
  }

  tovrik::e2e::VirtualDisplay display_{std::filesystem::temp_directory_path()};
  ServerUnderTest server_{kConfig, {"--master-port", "0", "--game-port", "0", "--shop-port", "0"}};
  std::filesystem::path previous_;
  PortalSandbox portal_;
  portal::CSSOWebLibMan library_;
  ShopPopups popups_{library_};
  EventLoop loop_;
  std::unique_ptr<CClientDlg> dlg_;
};

TEST_F(ShopBrowserTest, TheShopPageIsDrawnInTheItemWindowAndABuyReachesTheItemState) {
  ASSERT_TRUE(dlg_->OnInitDialog());
  ASSERT_TRUE(Until([] { return g_Where == kWhereLobby && !g_FuncItemURL.empty(); }));
  const int moneyBefore = tovrik::game::Play[0].user.Pebble.get();
  const long before = ResidentKb("VmRSS:");

  dlg_->ShowMyItemBag();
  CNewGameItemDlg& items = popups_.windows.ItemDialog();
  ASSERT_TRUE(items.IsOpen());
  portal::CSSOWebBrowser* shop = items.Browser(1);
  ASSERT_NE(shop, nullptr);
  ASSERT_TRUE(shop->IsEmbedded());
  ASSERT_TRUE(Until([&] { return shop->Location().find("GameItemList") != std::string::npos; }));
  // Drawn: the page's window holds pixels other than the blank page's.
  ASSERT_TRUE(Until([&] {
    const auto& pixels = shop->window()->Pixels();
    return std::any_of(pixels.begin(), pixels.end(), [](std::uint16_t p) { return p != 0x7FFF; });
  }));

  // Once the page has finished loading (its drawing starts before), the
  // first "buy" button (the jump ticket) is laid over the page's top left
  // corner and clicked with the mouse like any other.
  const auto loaded = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  Until([&] { return std::chrono::steady_clock::now() > loaded; });
  ASSERT_TRUE(shop->ExecJavascript(
      "var b = document.querySelector('button[type=submit]');"
      "b.style.position = 'fixed'; b.style.left = '0'; b.style.top = '0';"
      "b.style.width = '120px'; b.style.height = '60px'; b.style.zIndex = '99';"));
  const auto styled = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
  Until([&] { return std::chrono::steady_clock::now() > styled; });
  const Rect page = PageOnScreen(1);
  const Point button{page.left + 30, page.top + 20};
  ASSERT_EQ(loop_.WindowFromPoint(button), shop->window());
  loop_.InjectMouseMove(button);
  loop_.InjectMouseButton(button, MouseButton::Left, true);
  loop_.InjectMouseButton(button, MouseButton::Left, false);

  // The shop answers with its purchase event; the window asks the game
  // server for the items, whose answer fills the item state.
  ASSERT_TRUE(Until([] { return JumpTickets() > 0; }))
      << "status " << g_SSO_WEB_nStatus << " at " << shop->Location();
  EXPECT_EQ(g_SSO_WEB_nStatus, kItemStatusBuyEnd);
  std::string error;
  auto database = tovrik::server::Database::Open(server_.Database(), error);
  ASSERT_TRUE(database) << error;
  auto hong = database->FindUserByLogin("hong");
  ASSERT_TRUE(hong);
  EXPECT_EQ(hong->money, moneyBefore - 1000);
  const long open = ResidentKb("VmHWM:");

  items.SafeClose();
  EXPECT_FALSE(items.IsOpen());
  EXPECT_EQ(library_.PageCount(), 0);
  for (int i = 0; i < 100; ++i) loop_.PumpOnce(), std::this_thread::sleep_for(std::chrono::milliseconds(20));
  std::printf("client resident size: %ld kB before the item window, peak %ld kB with it open, %ld kB after it closed\n",
              before, open, ResidentKb("VmRSS:"));
}

}  // namespace
}  // namespace tovrik::lobby
