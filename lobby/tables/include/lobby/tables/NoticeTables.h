#pragma once
// The short notices over the screens: the PC-room greeting (template 259),
// the event notice (template 108) and the game-rating mark (template 109).
// Each takes the size of its picture; the sizes here hold without one.

#include "controls/ControlTable.h"

namespace tovrik::lobby::tables {

namespace prem_service {
inline constexpr int kClose = 1;
inline constexpr controls::ControlSpec kControls[] = {
    {kClose, controls::ControlClass::Button, {341, 7, 60, 22}, "", 0, 1},
};
}  // namespace prem_service

inline constexpr controls::DialogTemplate kPremServiceDialog{"PremService", 410, 160, prem_service::kControls,
                                                             controls::kDialogIgnoresEnter};

namespace event_notice {
inline constexpr int kHideToday = 1110;
inline constexpr int kClose = 2;
inline constexpr int kSmallClose = 1112;
inline constexpr int kEventDetails = 1113;
inline constexpr int kPlayMore = 1114;
inline constexpr int kGameView = 1115;
inline constexpr int kMore1 = 1047, kMore2 = 1048, kMore3 = 1049;
// The buttons without a picture of their own never show.
inline constexpr unsigned kUnused = controls::kStartHidden | controls::kStartDisabled;
inline constexpr controls::ControlSpec kControls[] = {
    {kHideToday, controls::ControlClass::Button, {2, 547, 120, 24}, "오늘 하루 안보기", 0, 1},
    {kClose, controls::ControlClass::Button, {341, 547, 76, 24}, "", 0, 2},
    {kSmallClose, controls::ControlClass::Button, {0, 0, 16, 16}, "", kUnused, 0},
    {kEventDetails, controls::ControlClass::Button, {127, 214, 166, 32}, "", 0, 3},
    {kPlayMore, controls::ControlClass::Button, {86, 386, 110, 34}, "", 0, 4},
    {kGameView, controls::ControlClass::Button, {203, 386, 110, 34}, "", 0, 5},
    {kMore1, controls::ControlClass::Button, {0, 0, 16, 16}, "", kUnused, 0},
    {kMore2, controls::ControlClass::Button, {0, 0, 16, 16}, "", kUnused, 0},
    {kMore3, controls::ControlClass::Button, {0, 0, 16, 16}, "", kUnused, 0},
};
}  // namespace event_notice

inline constexpr controls::DialogTemplate kEventNoticeDialog{"EventNotice", 420, 576, event_notice::kControls,
                                                             controls::kDialogIgnoresEnter};

inline constexpr controls::DialogTemplate kGameGradeDialog{"GameGrade", 56, 66, {}, controls::kDialogIgnoresEnter};

}  // namespace tovrik::lobby::tables
