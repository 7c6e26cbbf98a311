#pragma once
// The start most server tests share: a server running the test's
// configuration with alice and bob logged in through the master, and the
// server's log printed beside any failure.

#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "ServerHarness.h"

namespace tovrik::server::testing {

class TwoUsersFixture : public ::testing::Test {
 protected:
  explicit TwoUsersFixture(const std::string& configText) : server_(configText) {}
  TwoUsersFixture(const std::string& configText, std::vector<std::string> args)
      : server_(configText, std::move(args)) {}

  void SetUp() override {
    ASSERT_TRUE(server_.Running()) << server_.Log();
    ASSERT_TRUE(alice_.Login(server_.Master(), "alice", 1));
    ASSERT_TRUE(bob_.Login(server_.Master(), "bob", 1));
  }
  void TearDown() override {
    if (HasFailure()) std::cerr << server_.Log();
  }

  ServerUnderTest server_;
  TestClient alice_, bob_;
};

}  // namespace tovrik::server::testing
