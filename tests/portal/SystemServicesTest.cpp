#include "portal/SystemServices.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <regex>

using namespace tovrik::portal;

namespace {

std::uint32_t Ip(const char* text) {
  in_addr a{};
  inet_pton(AF_INET, text, &a);
  return a.s_addr;
}

TEST(MachineIdentifier, TakesTheAdapterHoldingTheHostAddress) {
  std::vector<NetworkAdapterInfo> adapters = {
      {"lo", {Ip("127.0.0.1")}, {0, 0, 0, 0, 0, 0}, true},
      {"eth0", {Ip("10.1.2.3")}, {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e}, false},
      {"eth1", {Ip("192.168.7.9")}, {0xde, 0xad, 0xbe, 0xef, 0x00, 0x01}, false},
      {"wg0", {Ip("10.9.9.9")}, {}, false},
  };
  struct Case {
    std::vector<std::uint32_t> host;
    const char* expected;
  };
  const Case cases[] = {
      {{Ip("192.168.7.9")}, "DE:AD:BE:EF:00:01"},
      {{Ip("10.1.2.3")}, "00:1A:2B:3C:4D:5E"},
      {{Ip("127.0.1.1")}, "00:1A:2B:3C:4D:5E"},  // loopback alias: first adapter by name
      {{Ip("10.9.9.9")}, "00:1A:2B:3C:4D:5E"},   // the holder has no hardware address
      {{}, "00:1A:2B:3C:4D:5E"},
  };
  for (const Case& c : cases) EXPECT_EQ(CQXSystemIDInfoModule::PickHardwareAddress(adapters, c.host), c.expected);
  EXPECT_EQ(CQXSystemIDInfoModule::PickHardwareAddress({adapters[0]}, {Ip("127.0.0.1")}), "");
}

TEST(MachineIdentifier, ThisMachineGivesUpperCaseHexPairs) {
  std::string id = CQXSystemIDInfoModule::GetCSTR(2);
  if (!id.empty()) {
    EXPECT_TRUE(std::regex_match(id, std::regex("([0-9A-F]{2}:)+[0-9A-F]{2}"))) << id;
  }
  EXPECT_EQ(CQXSystemIDInfoModule::GetCSTR(1), "");
}

TEST(MessengerService, ThereIsNoServiceToStop) { EXPECT_FALSE(CMsgServiceControl().InitService("Messenger")); }

struct FakeWindow : IShellBrowserWindow {
  explicit FakeWindow(std::string url) : url(std::move(url)) {}
  std::string LocationURL() const override { return url; }
  void Restore() override { ++restored; }
  void Minimize() override { ++minimised; }
  void Refresh() override { ++refreshed; }
  std::string url;
  int restored = 0, minimised = 0, refreshed = 0;
};

TEST(ShowExplorer, HidesOnceAndShowsOnlyAfterAHide) {
  auto portal = std::make_shared<FakeWindow>("https://www.corvanta.example/game");
  auto other = std::make_shared<FakeWindow>("https://news.example/");
  CShellMan shell([&] { return std::vector<std::shared_ptr<IShellBrowserWindow>>{portal, other}; });

  EXPECT_FALSE(shell.ShowExplorer(1, "corvanta", 0));  // nothing hidden yet
  EXPECT_EQ(portal->restored, 0);
  EXPECT_TRUE(shell.ShowExplorer(0, "corvanta", 0));
  EXPECT_FALSE(shell.ShowExplorer(0, "corvanta", 0));  // twice hidden, minimised once
  EXPECT_EQ(portal->minimised, 1);
  EXPECT_TRUE(shell.ShowExplorer(1, "corvanta", 1));
  EXPECT_FALSE(shell.ShowExplorer(1, "corvanta", 1));
  EXPECT_EQ(portal->restored, 1);
  EXPECT_EQ(portal->refreshed, 1);
  EXPECT_EQ(other->minimised + other->restored + other->refreshed, 0);
  EXPECT_EQ(shell.counter(), 0);
}

TEST(ShowExplorer, DefaultEnumeratorFindsNoWindows) {
  CShellMan shell;
  EXPECT_TRUE(shell.ShowExplorer(0, "corvanta", 0));
  EXPECT_TRUE(shell.ShowExplorer(1, "corvanta", 0));
}

}  // namespace
