#pragma once
// The whisper window: the target's nickname, the message, send and close,
// over ".\IMAGE\Whisper.bmp" (284 x 136), whose fields sit under the edits.

#include "controls/ControlTable.h"

namespace tovrik::lobby::tables {

namespace whisperdlg {
inline constexpr int kSend = 1;   // IDOK: Enter sends too
inline constexpr int kClose = 2;  // IDCANCEL
inline constexpr int kMessage = 1042;
inline constexpr int kNickName = 1043;
inline constexpr int kWidth = 284;
inline constexpr int kHeight = 136;
}  // namespace whisperdlg

inline constexpr controls::ControlSpec kWhisperDlgControls[] = {
    {whisperdlg::kNickName, controls::ControlClass::Edit, {19, 42, 128, 19}, "", 0, 1},
    {whisperdlg::kMessage, controls::ControlClass::Edit, {12, 74, 258, 19}, "", 0, 2},
    {whisperdlg::kSend, controls::ControlClass::Custom, {46, 100, 96, 26}, "보내기[Enter]", 0, 3},
    {whisperdlg::kClose, controls::ControlClass::Custom, {152, 100, 60, 26}, "", 0, 4},
};

inline constexpr controls::DialogTemplate kWhisperDlgTemplate{"Whisper", whisperdlg::kWidth, whisperdlg::kHeight,
                                                              kWhisperDlgControls};

}  // namespace tovrik::lobby::tables
