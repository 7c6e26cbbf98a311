#include "server/ShopPages.h"

namespace tovrik::server {
namespace {

std::string StatusAddress(std::string_view status, std::string_view rest) {
  std::string address(shop_path::kStatus);
  address += "?Status=";
  address += status;
  address += rest;
  return address;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

constexpr std::string_view kStyle =
    "body{font-family:sans-serif;font-size:13px;margin:8px;color:#222;background:#fff}"
    "h1{font-size:16px;margin:0 0 8px}table{border-collapse:collapse;width:100%}"
    "td,th{border-bottom:1px solid #ddd;padding:4px;text-align:left;vertical-align:top}"
    ".price{text-align:right;white-space:nowrap}.note{color:#666}.error{color:#b00}"
    ".ok{color:#060}.hint{background:#ffd}button{font-size:13px}";

}  // namespace

ShopAddresses ShopAddressesFor(std::string_view base, std::string_view loginId) {
  const std::string query = "?gamecode=" + std::to_string(kShopGameCode) + "&user=" + UrlEncode(loginId);
  ShopAddresses addresses;
  addresses.items = std::string(base) + std::string(shop_path::kItems) + query;
  addresses.myItems = std::string(base) + std::string(shop_path::kMyItems) + query;
  addresses.cash = std::string(base) + std::string(shop_path::kCash) + query;
  return addresses;
}

std::string BuyEndAddress(int itemCode, std::int64_t itemNo) {
  return StatusAddress("_buyend_", "&type=1&Itemcode=" + std::to_string(itemCode) + "&Itemno=" + std::to_string(itemNo));
}

std::string UseItemAddress(int itemCode, std::int64_t itemNo) {
  return StatusAddress("_useitem_",
                       "&type=1&Itemcode=" + std::to_string(itemCode) + "&Itemno=" + std::to_string(itemNo));
}

std::string NowUseAddress(int itemCode, std::int64_t itemNo) {
  return StatusAddress("_nowuse_", "&Itemcode=" + std::to_string(itemCode) + "&Itemno=" + std::to_string(itemNo) +
                                       "&mode=use&gamecode=" + std::to_string(kShopGameCode));
}

std::string ReloadAddress() { return StatusAddress("_reload_", ""); }

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string UrlEncode(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') || c == '-' ||
        c == '_' || c == '.' || c == '~') {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    }
  }
  return out;
}

bool UrlDecode(std::string_view text, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    const int high = i + 1 < text.size() ? HexValue(text[i + 1]) : -1;
    const int low = i + 2 < text.size() ? HexValue(text[i + 2]) : -1;
    if (high < 0 || low < 0) return false;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return true;
}

std::string FormatMoney(std::int64_t money) {
  const std::string digits = std::to_string(money < 0 ? -money : money);
  std::string out = money < 0 ? "-" : "";
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

std::string ShopPage(std::string_view title, std::string_view bodyHtml, std::string_view next) {
  std::string page = "<!DOCTYPE html>\n<html lang=\"ko\"><head><meta charset=\"utf-8\">";
  if (!next.empty()) page += "<meta http-equiv=\"refresh\" content=\"0;url=" + HtmlEscape(next) + "\">";
  page += "<title>" + HtmlEscape(title) + "</title><style>" + std::string(kStyle) + "</style></head><body>\n";
  page += "<h1>" + HtmlEscape(title) + "</h1>\n";
  page += bodyHtml;
  if (!next.empty()) page += "\n<p><a href=\"" + HtmlEscape(next) + "\">계속</a></p>";
  page += "\n</body></html>\n";
  return page;
}

}  // namespace tovrik::server
