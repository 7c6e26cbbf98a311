#pragma once
// The web shop's addresses and the pieces its pages are made of: the page
// paths the client is given (and the item-use path it builds itself), the
// "Status=" addresses that tell the client's item window what happened, and
// plain HTML (UTF-8, no external resources).

#include <cstdint>
#include <string>
#include <string_view>

namespace tovrik::server {

inline constexpr int kShopGameCode = 1;

namespace shop_path {
inline constexpr std::string_view kItems = "/gameshop/client/Item/GameItemList.asp";
inline constexpr std::string_view kBuy = "/gameshop/client/Item/GameItemBuy.asp";
inline constexpr std::string_view kMyItems = "/gameshop/client/Myitem/GameMyItem.asp";
// The client builds this one itself, with itemno, ItemCode, gamecode and mode.
inline constexpr std::string_view kItemUse = "/gameshop/client/Myitem/GameMyItemUse.asp";
inline constexpr std::string_view kCash = "/gameshop/client/Cash/ChargeCash.asp";
// The client's item window cancels every navigation to an address holding
// "Status=" and acts on it; a browser without that hook shows this page.
inline constexpr std::string_view kStatus = "/gameshop/client/Status.asp";
}  // namespace shop_path

// The three addresses a game server hands to a logged-in user. `base` is
// "http://HOST:PORT"; the user's login id rides along so that a page opened
// with another user's cookie is refused.
struct ShopAddresses {
  std::string items;
  std::string myItems;
  std::string cash;
};
ShopAddresses ShopAddressesFor(std::string_view base, std::string_view loginId);

// Page events for the client's item window. Their keys are distinct whole
// names, none a suffix of another ("type=" appears in no other key).
std::string BuyEndAddress(int itemCode, std::int64_t itemNo);
std::string UseItemAddress(int itemCode, std::int64_t itemNo);
std::string NowUseAddress(int itemCode, std::int64_t itemNo);
std::string ReloadAddress();

std::string HtmlEscape(std::string_view text);
// Percent-encodes everything but the unreserved characters.
std::string UrlEncode(std::string_view text);
// False for a malformed escape; '+' stays '+'.
bool UrlDecode(std::string_view text, std::string& out);
// "1,234,567".
std::string FormatMoney(std::int64_t money);

// A whole page: title, optional automatic navigation to `next` (used to
// hand a "Status=" address to the client), and the body's HTML.
std::string ShopPage(std::string_view title, std::string_view bodyHtml, std::string_view next = {});

}  // namespace tovrik::server
