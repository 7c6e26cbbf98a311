// The browser library with its real page engine, on a virtual X display of
// the test's own, against a small web server: pixels, the portal cookies,
// the before-navigate cancel, window.external, window.close, scripts,
// Korean typing, and the engine's processes ending with the last page.

#include "../e2e/DesktopSession.h"
#include "PortalSandbox.h"

#include "portal/SSOWebLib.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <thread>

using namespace tovrik::portal;
namespace fs = std::filesystem;

// The leak checker stays off in this program: at exit it cannot tell the web
// toolkit's never-freed start-up allocations from ours, and its tracer
// faults on the threads the toolkit leaves running.
extern "C" int __lsan_is_turned_off() { return 1; }

namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 120;

// What the page callbacks saw (the callbacks are plain functions).
struct Seen {
  std::vector<std::string> navigations;
  std::vector<std::string> externalCalls;
  int quits = 0;
  std::string cancelWhenContains = "Status=";
} g_seen;

void OnBeforeNavigate(const char* url, int, const char*, const void*, int, const char*, int* cancel) {
  g_seen.navigations.push_back(url);
  if (std::string(url).find(g_seen.cancelWhenContains) != std::string::npos) *cancel = 1;
}
void OnQuit() { ++g_seen.quits; }
void OnExternal(void*, const char* method) { g_seen.externalCalls.push_back(method); }

// The engine's helper processes that are children of this process.
int EngineProcesses() {
  int count = 0;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::string pid = entry.path().filename().string();
    if (pid.empty() || !std::all_of(pid.begin(), pid.end(), ::isdigit)) continue;
    std::ifstream stat(entry.path() / "stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    size_t close = text.rfind(')');
    if (close == std::string::npos) continue;
    std::string name = text.substr(text.find('(') + 1, close - text.find('(') - 1);
    int parent = 0;
    char state = 0;
    if (std::sscanf(text.c_str() + close + 1, " %c %d", &state, &parent) != 2) continue;
    if (parent == ::getpid() && name.rfind("WebKit", 0) == 0 && state != 'Z') ++count;
  }
  return count;
}

long PeakResidentKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  return 0;
}

class WebEngineTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    display_ = new tovrik::e2e::VirtualDisplay(fs::temp_directory_path());
    if (display_->Running()) setenv("DISPLAY", display_->Name().c_str(), 1);
    unsetenv("TOVRIK_SSOWEB_ENGINE");
  }
  static void TearDownTestSuite() {
    delete display_;
    display_ = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(display_->Running()) << display_->Error();
    g_seen = Seen{};
    server_.Get("/page", [this](const httplib::Request& request, httplib::Response& response) {
      std::lock_guard lock(mutex_);
      cookies_ = request.get_header_value("Cookie");
      response.set_content(page_, "text/html; charset=utf-8");
    });
    server_.Get("/typed", [this](const httplib::Request& request, httplib::Response& response) {
      std::lock_guard lock(mutex_);
      typed_ = request.get_param_value("t");
      response.set_content("<html><body>ok</body></html>", "text/html");
    });
    server_.set_keep_alive_max_count(1);  // no connection outlives its answer
    server_.set_read_timeout(0, 200000);
    port_ = server_.bind_to_any_port("127.0.0.1");
    serving_ = std::thread([this] { server_.listen_after_bind(); });
    portal_.InstallBuilt("Module/SSOWebDLL32.so");
    portal_.InstallBuilt("Module/SSOWebEngine.so");
    ASSERT_TRUE(library_.InitSSOWebBrowser(nullptr, "id=tester&nick=Tester", "data", "cp", 1));
  }
  void TearDown() override {
    library_.UnInitSSOWebBrowser();
    server_.stop();
    serving_.join();
  }

  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
  void ServePage(std::string html) {
    std::lock_guard lock(mutex_);
    page_ = std::move(html);
  }

  // Pumps the library (as the page windows do) until `done` or 15 s.
  bool PumpUntil(const std::function<bool()>& done) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      library_.Pump();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
  }

  // The page's pixels once the pixel at (x, y) has this colour.
  bool WaitForPixel(CSSOWebBrowser& browser, int x, int y, std::uint16_t colour) {
    auto copy = library_.Find<SSOWebNEW_CopyPixels_t>("SSOWebNEW_CopyPixels");
    return PumpUntil([&] {
      copy(browser.handle(), pixels_.data(), kWidth, kHeight, kWidth * 2);
      return pixels_[static_cast<size_t>(y * kWidth + x)] == colour;
    });
  }

  void Create(CSSOWebBrowser& browser, const std::string& methods = "") {
    external_ = SSO_External{methods.c_str(), OnExternal, nullptr};
    ASSERT_TRUE(browser.Create(0, {0, 0, kWidth, kHeight}, nullptr, 3321, &external_));
    ASSERT_TRUE(browser.IsEmbedded());
    browser.SetCallback_OnBeforeNavigate2(OnBeforeNavigate);
    browser.SetCallback_OnQuit(OnQuit);
  }

  std::string Cookies() {
    std::lock_guard lock(mutex_);
    return cookies_;
  }
  // The named cookie's value as the shop reads it (percent-decoded).
  std::string CookieValue(const std::string& name) {
    std::string header = "; " + Cookies();
    size_t at = header.find("; " + name + "=");
    if (at == std::string::npos) return "<missing>";
    std::string value = header.substr(at + name.size() + 3);
    value = value.substr(0, value.find(';'));
    std::string decoded;
    for (size_t i = 0; i < value.size(); ++i) {
      if (value[i] == '%' && i + 2 < value.size()) {
        decoded += static_cast<char>(std::stoi(value.substr(i + 1, 2), nullptr, 16));
        i += 2;
      } else {
        decoded += value[i];
      }
    }
    return decoded;
  }
  std::string Typed() {
    std::lock_guard lock(mutex_);
    return typed_;
  }

  static tovrik::e2e::VirtualDisplay* display_;
  PortalSandbox portal_;
  CSSOWebLibMan library_;
  httplib::Server server_;
  std::thread serving_;
  int port_ = 0;
  std::mutex mutex_;
  std::string page_, cookies_, typed_;
  SSO_External external_{};
  std::vector<std::uint16_t> pixels_ = std::vector<std::uint16_t>(kWidth * kHeight, 0);
};

tovrik::e2e::VirtualDisplay* WebEngineTest::display_ = nullptr;

constexpr std::uint16_t kRed = 0x7C00, kBlue = 0x001F;

TEST_F(WebEngineTest, PagesAreDrawnWithThePortalCookiesAndScriptsRun) {
  ServePage("<html><body style='margin:0;background:rgb(255,0,0)'>x</body></html>");
  CSSOWebBrowser browser(library_);
  Create(browser);
  ASSERT_TRUE(browser.Navigate(Url("/page")));
  ASSERT_TRUE(WaitForPixel(browser, kWidth - 1, kHeight - 1, kRed));
  EXPECT_EQ(CookieValue("AuthCookie"), "id=tester&nick=Tester") << Cookies();
  EXPECT_EQ(CookieValue("DataCookie"), "data") << Cookies();
  EXPECT_EQ(browser.Location(), Url("/page"));
  ASSERT_FALSE(g_seen.navigations.empty());  // the client's own navigation was offered too
  EXPECT_EQ(g_seen.navigations.back(), Url("/page"));

  ASSERT_TRUE(browser.ExecJavascript("document.body.style.background = 'rgb(0,0,255)'"));
  EXPECT_TRUE(WaitForPixel(browser, 5, kHeight - 5, kBlue));
  // Unchanged pages copy nothing.
  auto copy = library_.Find<SSOWebNEW_CopyPixels_t>("SSOWebNEW_CopyPixels");
  PumpUntil([&] { return copy(browser.handle(), pixels_.data(), kWidth, kHeight, kWidth * 2) == 0; });
  EXPECT_EQ(copy(browser.handle(), pixels_.data(), kWidth, kHeight, kWidth * 2), 0);
  std::printf("peak resident size with one page: %ld kB\n", PeakResidentKb());
}

TEST_F(WebEngineTest, ClicksOfferTheirNavigationAndTheCallbackCancelsIt) {
  ServePage(
      "<html><body style='margin:0;background:rgb(255,0,0)'>"
      "<a id='buy' href='/done?Status=_buyend_&type=1' "
      "style='display:block;width:100%;height:120px;background:rgb(0,0,255)'>buy</a></body></html>");
  CSSOWebBrowser browser(library_);
  Create(browser);
  browser.Navigate(Url("/page"));
  ASSERT_TRUE(WaitForPixel(browser, 100, 60, kBlue));
  auto mouse = library_.Find<SSOWebNEW_Mouse_t>("SSOWebNEW_Mouse");
  mouse(browser.handle(), 0, 100, 60, 0, 0);
  mouse(browser.handle(), 1, 100, 60, 1, 0);
  mouse(browser.handle(), 2, 100, 60, 1, SSO_MOD_LEFT_HELD);
  ASSERT_TRUE(PumpUntil([] {
    return !g_seen.navigations.empty() && g_seen.navigations.back().find("Status=_buyend_") != std::string::npos;
  }));
  // Cancelled: the page stays.
  for (int i = 0; i < 20; ++i) library_.Pump(), std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(browser.Location(), Url("/page"));
}

TEST_F(WebEngineTest, ExternalMethodsAndWindowCloseReachTheClientFromThePump) {
  ServePage(
      "<html><body style='margin:0;background:rgb(0,0,255)'><script>"
      "setTimeout(function() { window.external.ShowChargeCashDlg(); }, 0);"
      "</script></body></html>");
  CSSOWebBrowser browser(library_);
  Create(browser, "ShowChargeCashDlg,Other");
  browser.Navigate(Url("/page"));
  ASSERT_TRUE(PumpUntil([] { return !g_seen.externalCalls.empty(); }));
  EXPECT_EQ(g_seen.externalCalls, std::vector<std::string>{"ShowChargeCashDlg"});
  browser.ExecJavascript("window.close()");
  EXPECT_TRUE(PumpUntil([] { return g_seen.quits == 1; }));
}

TEST_F(WebEngineTest, KoreanTextTypedIntoAPageFieldIsSubmitted) {
  ServePage(
      "<html><body style='margin:0'><form action='/typed' method='get'>"
      "<input name='t' style='width:240px;height:120px;border:0;background:rgb(0,0,255);color:rgb(0,0,255)'>"
      "</form></body></html>");
  CSSOWebBrowser browser(library_);
  Create(browser);
  browser.Navigate(Url("/page"));
  ASSERT_TRUE(WaitForPixel(browser, 100, 60, kBlue));
  auto mouse = library_.Find<SSOWebNEW_Mouse_t>("SSOWebNEW_Mouse");
  auto focus = library_.Find<SSOWebNEW_Focus_t>("SSOWebNEW_Focus");
  auto text = library_.Find<SSOWebNEW_Text_t>("SSOWebNEW_Text");
  auto key = library_.Find<SSOWebNEW_Key_t>("SSOWebNEW_Key");
  focus(browser.handle(), 1);
  mouse(browser.handle(), 1, 100, 60, 1, 0);
  mouse(browser.handle(), 2, 100, 60, 1, SSO_MOD_LEFT_HELD);
  for (int i = 0; i < 20; ++i) library_.Pump(), std::this_thread::sleep_for(std::chrono::milliseconds(5));
  text(browser.handle(), "한글 ok");
  key(browser.handle(), 1, 0x0D, 0);
  key(browser.handle(), 0, 0x0D, 0);
  EXPECT_TRUE(PumpUntil([this] { return !Typed().empty(); }));
  EXPECT_EQ(Typed(), "한글 ok");
}

TEST_F(WebEngineTest, TheEngineProcessesEndWithTheLastPage) {
  ServePage("<html><body style='margin:0;background:rgb(255,0,0)'>x</body></html>");
  {
    CSSOWebBrowser first(library_), second(library_);
    Create(first);
    Create(second);
    first.Navigate(Url("/page"));
    second.Navigate(Url("/page"));
    ASSERT_TRUE(WaitForPixel(first, 10, 10, kRed));
    EXPECT_GE(EngineProcesses(), 1);
    EXPECT_EQ(library_.PageCount(), 2);
  }
  EXPECT_EQ(library_.PageCount(), 0);
  EXPECT_TRUE(PumpUntil([] { return EngineProcesses() == 0; })) << EngineProcesses() << " still running";
}

}  // namespace
