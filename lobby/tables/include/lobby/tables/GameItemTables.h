#pragma once
// The item window (template 107) and the cash charging window (template
// 112): their frames hold skinned buttons over a background picture, and
// web pages in the rectangles below.

#include "controls/ControlTable.h"

namespace tovrik::lobby::tables {

namespace game_item {
inline constexpr int kCollectMoney = 1098;  // in the template, never shown
inline constexpr int kFunctionalItems = 1099;
inline constexpr int kMyItems = 1100;
inline constexpr int kChargeCash = 1101;
inline constexpr int kClose = 2;
// Where the pages lie: (11, 59)-(476, 417); page n has child id 3321 + n.
inline constexpr int kPageLeft = 11, kPageTop = 59, kPageRight = 476, kPageBottom = 417;
inline constexpr int kFirstPageId = 3321;

inline constexpr controls::ControlSpec kControls[] = {
    {kCollectMoney, controls::ControlClass::Button, {366, 39, 116, 28}, "", controls::kStartHidden, 0},
    {kFunctionalItems, controls::ControlClass::Button, {10, 39, 116, 28}, "", 0, 1},
    {kMyItems, controls::ControlClass::Button, {129, 39, 116, 28}, "", 0, 2},
    {kChargeCash, controls::ControlClass::Button, {247, 39, 116, 28}, "", 0, 3},
    {kClose, controls::ControlClass::Button, {425, 425, 80, 26}, "", 0, 4},
};
}  // namespace game_item

inline constexpr controls::DialogTemplate kGameItemDialog{"GameItem", 520, 460, game_item::kControls,
                                                          controls::kDialogIgnoresEnter};

namespace charge_cash {
inline constexpr int kClose = 2;
// The page: (6, 22)-(510, 592), child id 3400.
inline constexpr int kPageLeft = 6, kPageTop = 22, kPageRight = 510, kPageBottom = 592;
inline constexpr int kPageId = 3400;

inline constexpr controls::ControlSpec kControls[] = {
    {kClose, controls::ControlClass::Button, {466, 2, 46, 18}, "", 0, 1},
};
}  // namespace charge_cash

inline constexpr controls::DialogTemplate kChargeCashDialog{"ChargeCash", 516, 598, charge_cash::kControls,
                                                            controls::kDialogIgnoresEnter};

}  // namespace tovrik::lobby::tables
