#pragma once
// The message box (template 297): four button slots, of which the box's
// button set shows one or two. The positions are those of the Yes/No and
// OK/Cancel pairs; a lone OK stands centred (kMessageBoxLoneOkX).

#include "controls/ControlTable.h"

namespace tovrik::lobby::tables {

inline constexpr int kMessageBoxWidth = 350;
inline constexpr int kMessageBoxHeight = 190;
inline constexpr int kMessageBoxLoneOkX = 135;
// Where the title and the text are written.
inline constexpr controls::ControlRect kMessageBoxTitleBox{20, 4, 312, 16};
inline constexpr controls::ControlRect kMessageBoxTextBox{16, 44, 316, 98};
// The report confirmation's picture holds its own text; its buttons.
inline constexpr int kReportWarningYesX = 49;
inline constexpr int kReportWarningNoX = 155;
inline constexpr int kReportWarningButtonY = 116;

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

inline constexpr controls::ControlSpec kMessageBoxControls[] = {
    {kIdOk, controls::ControlClass::Button, {79, 152, 80, 26}, "확인", controls::BS_DEFPUSHBUTTON, 1},
    {kIdCancel, controls::ControlClass::Button, {186, 152, 80, 26}, "취소", controls::BS_PUSHBUTTON, 2},
    {kIdYes, controls::ControlClass::Button, {79, 152, 80, 26}, "예", controls::BS_PUSHBUTTON, 3},
    {kIdNo, controls::ControlClass::Button, {186, 152, 80, 26}, "아니오", controls::BS_PUSHBUTTON, 4},
};

inline constexpr controls::DialogTemplate kMessageBoxTemplate{"QXMsgDlg", kMessageBoxWidth, kMessageBoxHeight,
                                                              kMessageBoxControls};

}  // namespace tovrik::lobby::tables
