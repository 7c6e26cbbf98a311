#include "server/ShopCatalogue.h"

#include <algorithm>

#include "server/GameRules.h"

namespace tovrik::server {
namespace {

constexpr std::string_view kJumpName = "점프 입장권 아이템";
constexpr std::string_view kSuperName = "슈퍼 방장 아이템";
constexpr std::string_view kPlusName = "플러스 포인트 아이템";
constexpr std::string_view kJumpText = "레벨보다 한 단계 위의 채널에 입장할 수 있습니다.";
constexpr std::string_view kSuperText = "슈퍼 방을 만들 수 있고, 방장으로서 다른 사용자를 내보낼 수 있습니다. 슈퍼 방은 목록의 맨 위에 보입니다.";
constexpr std::string_view kPlusText = "이긴 게임에서 평소보다 많은 포인트를 받습니다.";

constexpr ShopProduct kProducts[] = {
    {1, kJumpTicketItem, 0, 1, 1000, kJumpName, kJumpText},
    {2, kJumpTicketItem, 0, 5, 4500, kJumpName, kJumpText},
    {3, kSuperRoomItem, 7, 0, 3000, kSuperName, kSuperText},
    {4, kSuperRoomItem, 30, 0, 10000, kSuperName, kSuperText},
    {5, kPlusPointItem, 0, 10, 2000, kPlusName, kPlusText},
    {6, kPlusPointItem, 7, 0, 5000, kPlusName, kPlusText},
};

}  // namespace

std::span<const ShopProduct> ShopProducts() { return kProducts; }

const ShopProduct* FindShopProduct(int number) {
  const auto it = std::find_if(std::begin(kProducts), std::end(kProducts),
                               [number](const ShopProduct& product) { return product.number == number; });
  return it == std::end(kProducts) ? nullptr : &*it;
}

std::string_view ShopItemName(int itemCode) {
  switch (itemCode) {
    case kJumpTicketItem: return kJumpName;
    case kSuperRoomItem: return kSuperName;
    case kPlusPointItem: return kPlusName;
    default: return "알 수 없는 아이템";
  }
}

std::string_view ShopItemUse(int itemCode) {
  switch (itemCode) {
    case kJumpTicketItem: return "한 단계 위의 채널에 들어갈 때 한 번씩 자동으로 사용됩니다.";
    case kSuperRoomItem: return "방을 만들 때 슈퍼 방을 고르면 사용됩니다. 기간은 처음 사용할 때부터 셉니다.";
    case kPlusPointItem: return "게임에 이길 때마다 한 번씩 자동으로 사용됩니다. 기간은 처음 사용할 때부터 셉니다.";
    default: return "";
  }
}

}  // namespace tovrik::server
