#pragma once
// The game room: the board on the left (596 x 600), and on the right panel
// of ".\image\GameDlg.bmp" the opponent's and the local player's character
// views in their wells, the room chat between them, the START/READY button
// and the room's buttons below, and the small buttons along the top.

#include "controls/ControlTable.h"

namespace tovrik::lobby::tables {

namespace gamedlg {
inline constexpr int kGameView = 12345;
inline constexpr int kChatView = 1000;
inline constexpr int kChatInput = 1005;
inline constexpr int kBanner = 1011;
inline constexpr int kStart = 1050;
inline constexpr int kExit = 1008;
inline constexpr int kInvite = 1036;
inline constexpr int kBadUser = 1037;
inline constexpr int kDisplayMode = 1049;
inline constexpr int kOption = 1053;
inline constexpr int kMinimize = 1054;
inline constexpr int kMouseShut = 1055;
inline constexpr int kGameItem = 1057;
inline constexpr int kCapture = 1058;
inline constexpr int kOwnCharacter = 2443;
inline constexpr int kOpponentCharacter = 2444;
inline constexpr int kWidth = 800;
inline constexpr int kHeight = 600;
}  // namespace gamedlg

inline constexpr controls::ControlSpec kGameDlgControls[] = {
    {gamedlg::kGameView, controls::ControlClass::Custom, {0, 0, 596, 600}, "", 0, 0},
    {gamedlg::kGameItem, controls::ControlClass::Custom, {600, 3, 60, 24}, "Item", 0, 0},
    {gamedlg::kCapture, controls::ControlClass::Button, {662, 3, 50, 24}, "Capture", 0, 0},
    {gamedlg::kDisplayMode, controls::ControlClass::Custom, {714, 3, 64, 24}, "모드변경", 0, 0},
    {gamedlg::kMinimize, controls::ControlClass::Custom, {780, 6, 18, 18}, "▼", 0, 0},
    {gamedlg::kBanner, controls::ControlClass::Custom, {600, 28, 193, 60}, "", 0, 0},
    {gamedlg::kOpponentCharacter, controls::ControlClass::Custom, {600, 90, 193, 126}, "", 0, 0},
    {gamedlg::kChatView, controls::ControlClass::Custom, {600, 222, 193, 136}, "", 0, 0},
    {gamedlg::kChatInput, controls::ControlClass::Custom, {600, 363, 141, 20}, "", 0, 1},
    {gamedlg::kBadUser, controls::ControlClass::Custom, {745, 362, 48, 22}, "112", 0, 0},
    {gamedlg::kOwnCharacter, controls::ControlClass::Custom, {600, 390, 193, 126}, "", 0, 0},
    {gamedlg::kStart, controls::ControlClass::Custom, {600, 522, 130, 40}, "게임 시작", 0, 0},
    {gamedlg::kInvite, controls::ControlClass::Custom, {600, 568, 90, 24}, "대기실/초대", 0, 0},
    {gamedlg::kExit, controls::ControlClass::Custom, {732, 522, 64, 24}, "나 가 기", 0, 0},
    {gamedlg::kOption, controls::ControlClass::Custom, {732, 548, 64, 24}, "옵션", 0, 0},
    {gamedlg::kMouseShut, controls::ControlClass::Custom, {732, 574, 64, 24}, "입막음", 0, 0},
};

// Enter and Escape never close the room: Enter belongs to the chat input.
inline constexpr controls::DialogTemplate kGameDlgTemplate{
    "GameDlg", gamedlg::kWidth, gamedlg::kHeight, kGameDlgControls,
    controls::kDialogIgnoresEnter | controls::kDialogIgnoresEscape};

}  // namespace tovrik::lobby::tables
