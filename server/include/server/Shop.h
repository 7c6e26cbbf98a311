#pragma once
// The local web shop's pages, worked on the server's event loop: the item
// list with prices, purchases with play money, the player's own items with
// their use pages, and the charge page that adds play money. The player is
// the user its login cookie names (HTTP cookie "AuthCookie", the launch
// parameter percent-encoded). Purchases and charges are transactions keyed
// by the token of the form that asked for them, so a repeated request never
// pays twice; money the shop changes reaches the logged-in session at once.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "server/Database.h"
#include "server/GameServer.h"
#include "server/ServerContext.h"

namespace tovrik::server {

struct ShopRequest {
  std::string method;  // "GET" or "POST"
  std::string path;
  std::multimap<std::string, std::string> params;  // query and form fields, decoded
  std::string cookies;                             // the Cookie header(s)
};

struct ShopResponse {
  int status = 200;
  std::string body;
};

class Shop {
 public:
  // The most money one user may hold: far from the int32 fields it travels in.
  static constexpr std::int64_t kMaxMoney = 2'000'000'000;
  static constexpr std::int64_t kMaxCharge = 1'000'000;

  Shop(ServerContext& context, std::vector<std::unique_ptr<GameServer>>& games);

  ShopResponse Handle(const ShopRequest& request);

 private:
  struct Visitor {
    UserRecord user;
    const ChannelConfigEntry* channel = nullptr;  // where the user is, on this process
  };
  // Checks the request's shape and its cookie; on failure `error` holds the page.
  std::optional<Visitor> Admit(const ShopRequest& request, ShopResponse& error);

  ShopResponse ItemList(const ShopRequest& request, const Visitor& visitor);
  ShopResponse Buy(const ShopRequest& request, const Visitor& visitor);
  ShopResponse MyItems(const ShopRequest& request, const Visitor& visitor);
  ShopResponse ItemUse(const ShopRequest& request, const Visitor& visitor);
  ShopResponse StartItem(const ShopRequest& request, const Visitor& visitor);
  ShopResponse ShowCash(const ShopRequest& request, const Visitor& visitor);
  ShopResponse CashPage(const ShopRequest& request, const Visitor& visitor, std::string_view notice = {});
  ShopResponse Charge(const ShopRequest& request, const Visitor& visitor);
  static ShopResponse StatusPage(const ShopRequest& request);

  // The session of a logged-in user takes the stored money: here directly,
  // on another process's game server through the database's mail.
  void TellGameServers(const UserRecord& user);
  std::string NewToken();
  std::string MoneyLine(std::int64_t money) const;

  ServerContext& context_;
  std::vector<std::unique_ptr<GameServer>>& games_;
};

// An error page with its status.
ShopResponse ShopError(int status, std::string_view title, std::string_view message);

}  // namespace tovrik::server
