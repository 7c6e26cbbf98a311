#pragma once
// What the local web shop sells: the three shop items the game servers act
// on (jump ticket, super room, plus point), each as a number of uses or a
// period, for play money.

#include <cstdint>
#include <span>
#include <string_view>

namespace tovrik::server {

struct ShopProduct {
  int number = 0;        // the catalogue number the purchase form names
  int itemCode = 0;      // GAMEITEM.ItemCode
  int useDays = 0;       // 0 = no period
  int useLimit = 0;      // 0 = unlimited uses
  int price = 0;         // play money
  std::string_view name;         // UTF-8, as the client names the kind
  std::string_view description;  // UTF-8: what the item does
};

std::span<const ShopProduct> ShopProducts();
const ShopProduct* FindShopProduct(int number);
// The kind's name as the client shows it ("점프 입장권 아이템", ...), or
// "알 수 없는 아이템".
std::string_view ShopItemName(int itemCode);
// How an item of that code is used, in a sentence (UTF-8).
std::string_view ShopItemUse(int itemCode);

}  // namespace tovrik::server
