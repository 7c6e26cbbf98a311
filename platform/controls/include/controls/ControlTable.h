#pragma once
// A dialog declared as data: its size and one record per control (id,
// class, rectangle in pixels, caption, style, tab order). Each dialog's
// table lives in one place and is read by the screen that creates the
// dialog, by the artwork generator that draws the wells the controls sit in
// and by the tests. This header includes nothing of the platform, so that
// programs which must not load SDL can read the tables too.

#include <span>
#include <string_view>

namespace tovrik::controls {

// The window class of a control slot. Push buttons, check boxes and radio
// buttons are all Button, told apart by their BS_* style, as on Windows.
enum class ControlClass {
  Button,
  Static,
  Edit,
  ChatView,  // the read-only rich chat view
  ListBox,
  ListView,
  ComboBox,
  Custom,  // a window the dialog provides itself (a game view, a character view)
};

// Button styles (the low four bits, as on Windows).
inline constexpr unsigned BS_PUSHBUTTON = 0x0;
inline constexpr unsigned BS_DEFPUSHBUTTON = 0x1;
inline constexpr unsigned BS_CHECKBOX = 0x2;
inline constexpr unsigned BS_AUTOCHECKBOX = 0x3;
inline constexpr unsigned BS_RADIOBUTTON = 0x4;
inline constexpr unsigned BS_AUTORADIOBUTTON = 0x9;
inline constexpr unsigned BS_TYPEMASK = 0xF;

// Static text alignment.
inline constexpr unsigned SS_LEFT = 0x0;
inline constexpr unsigned SS_CENTER = 0x1;
inline constexpr unsigned SS_RIGHT = 0x2;

// Edit, list box and combo box styles (the Windows bits).
inline constexpr unsigned ES_PASSWORD = 0x0020;
inline constexpr unsigned ES_READONLY = 0x0800;
inline constexpr unsigned LBS_SORT = 0x0002;
inline constexpr unsigned CBS_DROPDOWN = 0x0002;
inline constexpr unsigned CBS_DROPDOWNLIST = 0x0003;
inline constexpr unsigned CBS_TYPEMASK = 0x0003;
inline constexpr unsigned CBS_SORT = 0x0100;

// Styles every class understands. A group of radio buttons starts at a
// control with WS_GROUP and runs to the next control that has it.
inline constexpr unsigned WS_GROUP = 0x00020000;
inline constexpr unsigned kStartDisabled = 0x08000000;
inline constexpr unsigned kStartHidden = 0x10000000;

// A label that takes the mouse itself instead of leaving it to its dialog.
inline constexpr unsigned SS_NOTIFY = 0x100;

struct ControlRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

struct ControlSpec {
  int id = 0;
  ControlClass controlClass = ControlClass::Static;
  ControlRect rect;          // in the dialog's client pixels
  std::string_view caption;  // UTF-8
  unsigned style = 0;
  // Tab and Shift+Tab visit the controls with a tab order above 0, lowest
  // first; 0 keeps a control out of the cycle.
  int tabOrder = 0;
};

// Dialog flags.
// Enter and Escape do nothing in the dialog (the game room), instead of
// sending IDOK and IDCANCEL.
inline constexpr unsigned kDialogIgnoresEnter = 0x1;
inline constexpr unsigned kDialogIgnoresEscape = 0x2;

struct DialogTemplate {
  std::string_view name;
  int width = 0;
  int height = 0;
  std::span<const ControlSpec> controls;
  unsigned flags = 0;
};

constexpr const ControlSpec* FindControl(const DialogTemplate& dialog, int id) {
  for (const ControlSpec& spec : dialog.controls)
    if (spec.id == id) return &spec;
  return nullptr;
}

}  // namespace tovrik::controls
