#include "server/Shop.h"

#include <charconv>
#include <ctime>

#include "server/Cp949.h"
#include "server/GameRules.h"
#include "server/Log.h"
#include "server/LoginCookie.h"
#include "server/ShopCatalogue.h"
#include "server/ShopPages.h"

namespace tovrik::server {
namespace {

constexpr std::string_view kAuthCookie = "AuthCookie";
constexpr std::size_t kMaxCookieBytes = 4096;
constexpr std::size_t kMaxParamBytes = 256;
constexpr std::size_t kMaxParams = 16;
constexpr std::size_t kTokenLength = 32;

std::optional<std::int64_t> ParseNumber(std::string_view text, std::int64_t low, std::int64_t high) {
  std::int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < low || value > high) {
    return std::nullopt;
  }
  return value;
}

const std::string* Param(const ShopRequest& request, const std::string& name) {
  const auto it = request.params.find(name);
  return it == request.params.end() ? nullptr : &it->second;
}

// The value of the cookie named `name` in a Cookie header, still encoded.
std::optional<std::string_view> CookieValue(std::string_view header, std::string_view name) {
  while (!header.empty()) {
    const std::size_t end = header.find(';');
    std::string_view pair = header.substr(0, end);
    header = end == std::string_view::npos ? std::string_view{} : header.substr(end + 1);
    while (!pair.empty() && pair.front() == ' ') pair.remove_prefix(1);
    const std::size_t equals = pair.find('=');
    if (equals != std::string_view::npos && pair.substr(0, equals) == name) return pair.substr(equals + 1);
  }
  return std::nullopt;
}

bool IsToken(std::string_view text) {
  if (text.size() != kTokenLength) return false;
  for (const char c : text) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

std::string FormatTime(std::int64_t unixSeconds) {
  const std::time_t time = static_cast<std::time_t>(unixSeconds);
  std::tm local{};
  localtime_r(&time, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
  return text;
}

std::string ProductTerms(int useDays, int useLimit) {
  std::string terms;
  if (useDays > 0) terms += std::to_string(useDays) + "일";
  if (useLimit > 0) terms += (terms.empty() ? "" : ", ") + std::to_string(useLimit) + "회";
  return terms.empty() ? "무제한" : terms;
}

// The state of an owned item as the client's item window computes it:
// not started, running (with its end), used up or expired, or plain.
struct ItemView {
  std::string state;
  bool usable = false;
  bool startable = false;  // a period item never used: the page may start it
};

ItemView ViewItem(const ItemRecord& item, std::int64_t now) {
  ItemView view;
  view.usable = ItemUsable(item, now);
  if (item.useDays < 0 || item.useLimit < 0) {
    view.state = "사용할 수 없는 아이템";
  } else if (item.useLimit > 0 && item.usedCount >= item.useLimit) {
    view.state = "모두 사용함";
  } else if (item.useDays > 0 && item.usedCount < 1) {
    view.state = "사용 전 (기간은 처음 사용할 때부터)";
    view.startable = true;
  } else if (item.useDays > 0) {
    const std::int64_t end = item.startTime + std::int64_t{item.useDays} * 86400;
    view.state = now < end ? "사용 중, " + FormatTime(end) + "까지" : "기간 끝남";
  } else {
    view.state = "사용 가능";
  }
  if (item.useLimit > 0) {
    view.state += " (" + std::to_string(item.usedCount) + "/" + std::to_string(item.useLimit) + "회 사용)";
  }
  return view;
}

std::string ItemTitle(const ItemRecord& item) {
  std::string title(ShopItemName(item.itemCode));
  if (item.useDays > 0) title += " (" + std::to_string(item.useDays) + "일)";
  return title;
}

std::string Hidden(std::string_view name, std::string_view value) {
  return "<input type=\"hidden\" name=\"" + HtmlEscape(name) + "\" value=\"" + HtmlEscape(value) + "\">";
}

std::string Link(std::string_view href, std::string_view text) {
  return "<a href=\"" + HtmlEscape(href) + "\">" + HtmlEscape(text) + "</a>";
}

std::string Navigation(const std::string& loginId) {
  const ShopAddresses pages = ShopAddressesFor("", loginId);
  return "<p>" + Link(pages.items, "기능 아이템") + " | " + Link(pages.myItems, "내 아이템") + " | " +
         Link(pages.cash, "머니 충전") + "</p>\n";
}

}  // namespace

ShopResponse ShopError(int status, std::string_view title, std::string_view message) {
  return {status, ShopPage(title, "<p class=\"error\">" + HtmlEscape(message) + "</p>")};
}

Shop::Shop(ServerContext& context, std::vector<std::unique_ptr<GameServer>>& games)
    : context_(context), games_(games) {}

ShopResponse Shop::Handle(const ShopRequest& request) {
  if (request.path == shop_path::kStatus) return StatusPage(request);
  using Page = ShopResponse (Shop::*)(const ShopRequest&, const Visitor&);
  struct Route {
    std::string_view method;
    std::string_view path;
    Page page;
  };
  static const Route kRoutes[] = {
      {"GET", shop_path::kItems, &Shop::ItemList},     {"POST", shop_path::kBuy, &Shop::Buy},
      {"GET", shop_path::kMyItems, &Shop::MyItems},    {"GET", shop_path::kItemUse, &Shop::ItemUse},
      {"POST", shop_path::kItemUse, &Shop::StartItem}, {"GET", shop_path::kCash, &Shop::ShowCash},
      {"POST", shop_path::kCash, &Shop::Charge},
  };
  for (const Route& route : kRoutes) {
    if (route.path != request.path) continue;
    if (route.method != request.method) continue;
    ShopResponse error;
    const auto visitor = Admit(request, error);
    if (!visitor) return error;
    return (this->*route.page)(request, *visitor);
  }
  for (const Route& route : kRoutes) {
    if (route.path == request.path) return ShopError(405, "잘못된 요청", "이 페이지는 그렇게 열 수 없습니다.");
  }
  return ShopError(404, "페이지 없음", "요청하신 페이지가 없습니다.");
}

std::optional<Shop::Visitor> Shop::Admit(const ShopRequest& request, ShopResponse& error) {
  if (request.params.size() > kMaxParams) {
    error = ShopError(400, "잘못된 요청", "요청의 항목이 너무 많습니다.");
    return std::nullopt;
  }
  for (auto it = request.params.begin(); it != request.params.end(); ++it) {
    if (it->first.size() > kMaxParamBytes || it->second.size() > kMaxParamBytes) {
      error = ShopError(400, "잘못된 요청", "요청의 항목이 너무 깁니다.");
      return std::nullopt;
    }
    if (request.params.count(it->first) > 1) {
      error = ShopError(400, "잘못된 요청", "같은 항목이 두 번 들어 있습니다: " + it->first);
      return std::nullopt;
    }
  }
  if (const std::string* game = Param(request, "gamecode"); game && ParseNumber(*game, 0, 1 << 30) != kShopGameCode) {
    error = ShopError(400, "잘못된 요청", "이 게임의 상점이 아닙니다.");
    return std::nullopt;
  }
  const auto encoded = CookieValue(request.cookies, kAuthCookie);
  if (!encoded || encoded->empty()) {
    error = ShopError(403, "로그인 필요", "로그인 정보가 없습니다. 게임에 접속한 뒤 이용해 주십시오.");
    return std::nullopt;
  }
  std::string cookie;
  const auto parsed = encoded->size() <= kMaxCookieBytes && UrlDecode(*encoded, cookie)
                          ? ParseLoginCookie(cookie)
                          : std::nullopt;
  if (!parsed) {
    error = ShopError(400, "로그인 정보 오류", "로그인 정보(쿠키)가 올바르지 않습니다.");
    return std::nullopt;
  }
  if (const std::string* user = Param(request, "user"); user && *user != parsed->loginId) {
    Log(LogLevel::Warn, "shop: ", parsed->loginId, " opened the page of ", *user);
    error = ShopError(403, "다른 사용자", "다른 사용자의 상점 페이지입니다. 자신의 게임 창에서 열어 주십시오.");
    return std::nullopt;
  }
  auto user = context_.db.FindUserByLogin(parsed->loginId);
  if (!user) {
    error = ShopError(403, "로그인 필요", "등록되지 않은 사용자입니다. 게임에 한 번 접속한 뒤 이용해 주십시오.");
    return std::nullopt;
  }
  Visitor visitor{*user, nullptr};
  for (const auto& game : games_) {
    if (const ChannelConfigEntry* channel = game->ChannelOf(user->id)) visitor.channel = channel;
  }
  return visitor;
}

std::string Shop::NewToken() {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string token;
  for (int half = 0; half < 2; ++half) {
    std::uint64_t bits = context_.random();
    for (int i = 0; i < 16; ++i, bits >>= 4) token += kHex[bits & 15];
  }
  return token;
}

std::string Shop::MoneyLine(std::int64_t money) const {
  return "<p>보유 머니: <b>" + FormatMoney(money) + "</b></p>\n";
}

ShopResponse Shop::ItemList(const ShopRequest& request, const Visitor& visitor) {
  int preferred = 0;
  if (const std::string* code = Param(request, "default")) {
    const auto value = ParseNumber(*code, 0, 99999);
    if (!value) return ShopError(400, "잘못된 요청", "추천 아이템 번호가 올바르지 않습니다.");
    preferred = static_cast<int>(*value);
  }
  std::string body = Navigation(visitor.user.loginId) + MoneyLine(visitor.user.money);
  if (visitor.channel) {
    body += "<p class=\"note\">현재 채널: " + HtmlEscape(Cp949ToUtf8(visitor.channel->name)) +
            (visitor.channel->itemChannel ? " (아이템 채널)" : " (일반 채널)") + "</p>\n";
  }
  body += "<table><tr><th>아이템</th><th>기간/횟수</th><th class=\"price\">가격</th><th></th></tr>\n";
  // The item the client asked for (a jump ticket it needs, say) comes first.
  for (const int pass : {0, 1}) {
    for (const ShopProduct& product : ShopProducts()) {
      if ((product.itemCode == preferred) != (pass == 0)) continue;
      body += std::string("<tr") + (pass == 0 ? " class=\"hint\"" : "") + "><td><b>" +
              HtmlEscape(product.name) + "</b><br><span class=\"note\">" + HtmlEscape(product.description) +
              "</span></td><td>" + ProductTerms(product.useDays, product.useLimit) + "</td><td class=\"price\">" +
              FormatMoney(product.price) + " 머니</td><td><form method=\"post\" action=\"" +
              std::string(shop_path::kBuy) + "\">" + Hidden("product", std::to_string(product.number)) +
              Hidden("token", NewToken()) + Hidden("user", visitor.user.loginId) +
              "<button type=\"submit\">구매</button></form></td></tr>\n";
    }
  }
  body += "</table>\n";
  return {200, ShopPage("기능 아이템", body)};
}

ShopResponse Shop::Buy(const ShopRequest& request, const Visitor& visitor) {
  const std::string* productText = Param(request, "product");
  const std::string* token = Param(request, "token");
  const auto number = productText ? ParseNumber(*productText, 1, 1000) : std::nullopt;
  const ShopProduct* product = number ? FindShopProduct(static_cast<int>(*number)) : nullptr;
  if (!product) return ShopError(400, "구매 실패", "없는 아이템입니다.");
  if (!token || !IsToken(*token)) return ShopError(400, "구매 실패", "구매 요청이 올바르지 않습니다. 상점 페이지를 다시 열어 주십시오.");

  ShopOrder order;
  order.token = *token;
  order.userId = visitor.user.id;
  order.kind = OrderKind::Purchase;
  order.product = product->number;
  order.moneyChange = -product->price;
  ItemRecord item;
  item.itemCode = product->itemCode;
  item.useDays = product->useDays;
  item.useLimit = product->useLimit;
  const OrderOutcome outcome = context_.db.PlaceOrder(order, &item, kMaxMoney, context_.Now());
  switch (outcome.result) {
    case OrderResult::Done:
      Log(LogLevel::Info, "shop: ", visitor.user.loginId, " bought product ", product->number, " (item ",
          outcome.order.itemId, ") for ", product->price);
      TellGameServers(visitor.user);
      return {200, ShopPage("구매 완료",
                            "<p class=\"ok\">" + HtmlEscape(product->name) + "을(를) 구매하였습니다.</p>" +
                                MoneyLine(outcome.money),
                            BuyEndAddress(outcome.order.itemCode, outcome.order.itemId))};
    case OrderResult::Repeated:
      // The same form again (a second click, a reload): the first purchase stands.
      return {200, ShopPage("구매 완료",
                            "<p class=\"ok\">이미 처리된 구매입니다. 머니는 한 번만 빠져나갔습니다.</p>" +
                                MoneyLine(outcome.money),
                            BuyEndAddress(outcome.order.itemCode, outcome.order.itemId))};
    case OrderResult::NotEnoughMoney:
      return {409, ShopPage("구매 실패",
                            "<p class=\"error\">머니가 부족합니다. " + FormatMoney(product->price) +
                                " 머니가 필요합니다.</p>" + MoneyLine(outcome.money) + Navigation(visitor.user.loginId))};
    case OrderResult::OtherUser:
      Log(LogLevel::Warn, "shop: ", visitor.user.loginId, " sent another user's purchase form");
      return ShopError(403, "구매 실패", "다른 사용자의 구매 요청입니다.");
    default:
      return ShopError(503, "구매 실패", "지금은 구매할 수 없습니다. 머니는 빠져나가지 않았습니다. 잠시 후 다시 시도해 주십시오.");
  }
}

ShopResponse Shop::MyItems(const ShopRequest&, const Visitor& visitor) {
  const std::int64_t now = context_.Now();
  std::string body = Navigation(visitor.user.loginId) + MoneyLine(visitor.user.money);
  const auto items = context_.db.ItemsOf(visitor.user.id);
  if (items.empty()) {
    body += "<p>가진 아이템이 없습니다.</p>\n";
    return {200, ShopPage("내 아이템", body)};
  }
  body += "<table><tr><th>아이템</th><th>상태</th><th></th></tr>\n";
  for (const ItemRecord& item : items) {
    const ItemView view = ViewItem(item, now);
    body += "<tr><td>" + HtmlEscape(ItemTitle(item)) + "</td><td>" + HtmlEscape(view.state) + "</td><td>" +
            (view.usable ? Link(NowUseAddress(item.itemCode, item.id), "사용") : std::string()) + "</td></tr>\n";
  }
  body += "</table>\n";
  return {200, ShopPage("내 아이템", body)};
}

ShopResponse Shop::ItemUse(const ShopRequest& request, const Visitor& visitor) {
  const std::string* number = Param(request, "itemno");
  const std::string* code = Param(request, "ItemCode");
  const auto itemNo = number ? ParseNumber(*number, 1, INT64_MAX) : std::nullopt;
  const auto item = itemNo ? context_.db.FindItem(*itemNo) : std::nullopt;
  if (!item || item->userId != visitor.user.id || !code || ParseNumber(*code, 0, 99999) != item->itemCode) {
    return ShopError(404, "아이템 없음", "가지고 있지 않은 아이템입니다.");
  }
  const ItemView view = ViewItem(*item, context_.Now());
  std::string body = Navigation(visitor.user.loginId);
  body += "<p><b>" + HtmlEscape(ItemTitle(*item)) + "</b></p><p>" + HtmlEscape(view.state) + "</p><p class=\"note\">" +
          HtmlEscape(ShopItemUse(item->itemCode)) + "</p>\n";
  if (view.startable) {
    body += "<form method=\"post\" action=\"" + std::string(shop_path::kItemUse) + "\">" +
            Hidden("itemno", std::to_string(item->id)) + Hidden("ItemCode", std::to_string(item->itemCode)) +
            "<button type=\"submit\">지금 사용 시작</button></form>\n";
  } else if (view.usable) {
    body += "<p>" + Link(UseItemAddress(item->itemCode, item->id), "사용") + "</p>\n";
  } else {
    body += "<p class=\"error\">더 이상 사용할 수 없는 아이템입니다.</p>\n";
  }
  return {200, ShopPage("아이템 사용", body)};
}

ShopResponse Shop::StartItem(const ShopRequest& request, const Visitor& visitor) {
  const std::string* number = Param(request, "itemno");
  const auto itemNo = number ? ParseNumber(*number, 1, INT64_MAX) : std::nullopt;
  const auto item = itemNo ? context_.db.FindItem(*itemNo) : std::nullopt;
  if (!item || item->userId != visitor.user.id) return ShopError(404, "아이템 없음", "가지고 있지 않은 아이템입니다.");
  // Starting twice (a second click) is harmless: the period started once.
  if (context_.db.StartItemPeriod(item->id, visitor.user.id, context_.Now())) {
    Log(LogLevel::Info, "shop: ", visitor.user.loginId, " started the period of item ", item->id);
  }
  const auto now = context_.db.FindItem(item->id);
  const ItemView view = ViewItem(now ? *now : *item, context_.Now());
  return {200, ShopPage("아이템 사용", "<p class=\"ok\">" + HtmlEscape(ItemTitle(*item)) + ": " +
                                        HtmlEscape(view.state) + "</p>",
                        UseItemAddress(item->itemCode, item->id))};
}

ShopResponse Shop::ShowCash(const ShopRequest& request, const Visitor& visitor) {
  return CashPage(request, visitor);
}

ShopResponse Shop::CashPage(const ShopRequest&, const Visitor& visitor, std::string_view notice) {
  std::string body = Navigation(visitor.user.loginId);
  if (!notice.empty()) body += "<p class=\"ok\">" + HtmlEscape(notice) + "</p>\n";
  body += MoneyLine(visitor.user.money);
  body += "<p class=\"note\">이 서버는 연습용 로컬 서버입니다. 머니를 무료로 충전할 수 있습니다.</p>\n";
  body += "<form method=\"post\" action=\"" + std::string(shop_path::kCash) + "\">" + Hidden("token", NewToken()) +
          Hidden("user", visitor.user.loginId) + "<select name=\"amount\">";
  for (const int amount : {1000, 5000, 10000, 50000, 100000}) {
    body += "<option value=\"" + std::to_string(amount) + "\">" + FormatMoney(amount) + " 머니</option>";
  }
  body += "</select> <button type=\"submit\">충전</button></form>\n";
  // In the item window the page can open the client's own charging window,
  // which reloads this page when it closes; elsewhere the button stays hidden.
  body += "<p id=\"dialog\" style=\"display:none\"><button type=\"button\" "
          "onclick=\"window.external.ShowChargeCashDlg()\">충전 창 열기</button></p>\n"
          "<script>if (window.external && window.external.ShowChargeCashDlg) "
          "document.getElementById('dialog').style.display = 'block';</script>\n"
          "<p><button type=\"button\" onclick=\"window.close()\">닫기</button></p>\n";
  return {200, ShopPage("머니 충전", body)};
}

ShopResponse Shop::Charge(const ShopRequest& request, const Visitor& visitor) {
  const std::string* amountText = Param(request, "amount");
  const std::string* token = Param(request, "token");
  const auto amount = amountText ? ParseNumber(*amountText, 1, kMaxCharge) : std::nullopt;
  if (!amount) {
    return ShopError(400, "충전 실패", "충전 금액은 1 - " + FormatMoney(kMaxCharge) + " 머니입니다.");
  }
  if (!token || !IsToken(*token)) return ShopError(400, "충전 실패", "충전 요청이 올바르지 않습니다. 페이지를 다시 열어 주십시오.");
  ShopOrder order;
  order.token = *token;
  order.userId = visitor.user.id;
  order.kind = OrderKind::Charge;
  order.moneyChange = *amount;
  const OrderOutcome outcome = context_.db.PlaceOrder(order, nullptr, kMaxMoney, context_.Now());
  Visitor after = visitor;
  after.user.money = static_cast<int>(outcome.money);
  switch (outcome.result) {
    case OrderResult::Done:
      Log(LogLevel::Info, "shop: ", visitor.user.loginId, " charged ", *amount);
      TellGameServers(visitor.user);
      return CashPage(request, after, FormatMoney(*amount) + " 머니를 충전하였습니다.");
    case OrderResult::Repeated:
      return CashPage(request, after, "이미 처리된 충전입니다. 머니는 한 번만 충전되었습니다.");
    case OrderResult::TooMuchMoney:
      return ShopError(409, "충전 실패", "더 충전할 수 없습니다. 최대 " + FormatMoney(kMaxMoney) + " 머니까지 가질 수 있습니다.");
    case OrderResult::OtherUser:
      return ShopError(403, "충전 실패", "다른 사용자의 충전 요청입니다.");
    default:
      return ShopError(503, "충전 실패", "지금은 충전할 수 없습니다. 잠시 후 다시 시도해 주십시오.");
  }
}

ShopResponse Shop::StatusPage(const ShopRequest& request) {
  const std::string* status = Param(request, "Status");
  std::string text = "상점 페이지로 돌아가 주십시오.";
  if (status && *status == "_buyend_") text = "구매가 완료되었습니다. 게임의 아이템 목록이 바뀝니다.";
  if (status && *status == "_useitem_") text = "아이템을 사용할 수 있습니다.";
  return {200, ShopPage("상점", "<p>" + HtmlEscape(text) + "</p>")};
}

void Shop::TellGameServers(const UserRecord& user) {
  for (const auto& game : games_) {
    if (!game->Holds(user.id)) continue;
    game->RefreshUser(user.id);
    return;
  }
  // Logged in on another process's game server: that one reads it from its mail.
  if (const auto presence = context_.db.FindPresence(user.loginId, context_.LiveAfter())) {
    MailRecord mail;
    mail.serverNo = presence->serverNo;
    mail.targetUser = user.id;
    mail.kind = GameServer::kMailUserChanged;
    context_.db.PostMail(mail);
  }
}

}  // namespace tovrik::server
