#pragma once
// A list box: strings (code page 949) with a number of item data each, one
// selected item, and the searches the screens use. Many screens keep a
// hidden list box as a plain store of strings and numbers; shown, it draws
// its rows with a scroll bar when they do not all fit, and is driven by
// mouse, wheel and keys.
//
// The parent hears LBN_SELCHANGE when the user changes the selection (not
// when the program does) and LBN_DBLCLK on a double click, through
// WM_COMMAND.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "controls/Control.h"
#include "platform/Text.h"
#include "platform/Window.h"

namespace tovrik::controls {

using platform::LParam;
using platform::LResult;
using platform::MsgId;
using platform::WParam;

// The failure result of the list and combo box operations.
inline constexpr int LB_ERR = -1;

// Messages (Windows numbers). Texts travel as zero-terminated code page 949
// strings in lParam; item positions in wParam (-1: the end, or "from the
// start" for the searches).
inline constexpr MsgId LB_ADDSTRING = 0x0180;
inline constexpr MsgId LB_INSERTSTRING = 0x0181;
inline constexpr MsgId LB_DELETESTRING = 0x0182;
inline constexpr MsgId LB_RESETCONTENT = 0x0184;
inline constexpr MsgId LB_SETCURSEL = 0x0186;
inline constexpr MsgId LB_GETCURSEL = 0x0188;
inline constexpr MsgId LB_GETTEXTLEN = 0x018A;
inline constexpr MsgId LB_GETCOUNT = 0x018B;
inline constexpr MsgId LB_SELECTSTRING = 0x018C;
inline constexpr MsgId LB_GETTOPINDEX = 0x018E;
inline constexpr MsgId LB_FINDSTRING = 0x018F;
inline constexpr MsgId LB_SETTOPINDEX = 0x0197;
inline constexpr MsgId LB_GETITEMDATA = 0x0199;
inline constexpr MsgId LB_SETITEMDATA = 0x019A;
inline constexpr MsgId LB_FINDSTRINGEXACT = 0x01A2;

inline constexpr unsigned LBN_SELCHANGE = 1;
inline constexpr unsigned LBN_DBLCLK = 2;

class RowScroller;

class ListBox : public Control {
 public:
  ListBox();
  ~ListBox() override;

  // Kept in order ignoring the case of ASCII letters (LBS_SORT).
  void SetSorted(bool sorted) { sorted_ = sorted; }
  void SetFont(std::shared_ptr<platform::Font> font);
  void SetBorder(bool border);

  // The index the string went to.
  int AddString(std::string_view cp949);
  int AddStringUtf8(std::string_view utf8);
  // At `index` (-1: the end); LB_ERR past the end.
  int InsertString(int index, std::string_view cp949);
  // The number of items left, or LB_ERR.
  int DeleteString(int index);
  void ResetContent();
  int GetCount() const { return static_cast<int>(items_.size()); }
  // Empty for an index out of range.
  std::string GetText(int index) const;
  std::string GetTextUtf8(int index) const;
  bool SetItemData(int index, std::uintptr_t data);
  // 0 for an index out of range (LB_ERR through the message).
  std::uintptr_t GetItemData(int index) const;

  // The first item after `start` (-1: from the top) whose text begins with
  // `prefix`, ignoring the case of ASCII letters, going round to the top;
  // LB_ERR when none.
  int FindString(int start, std::string_view prefix) const;
  // The same for the whole text.
  int FindStringExact(int start, std::string_view text) const;
  // Finds as FindString and selects it; the index or LB_ERR.
  int SelectString(int start, std::string_view prefix);

  // -1 clears the selection. False for an index out of range.
  bool SetCurSel(int index);
  int GetCurSel() const { return selected_; }
  void SetTopIndex(int index);
  int GetTopIndex() const { return top_; }
  // Scrolls so the item is shown.
  void EnsureVisible(int index);
  // The item under a client point, or LB_ERR.
  int ItemFromPoint(platform::Point client) const;
  int ItemHeight() const;
  // Rows that fit at once.
  int VisibleRows() const;

  // LBS_SORT keeps the list sorted.
  void ApplySpec(const ControlSpec& spec) override;

  LResult WindowProc(MsgId msg, WParam w, LParam l) override;
  void OnPaint(platform::PaintContext& pc) override;

 protected:
  // Selects as the user does: with LBN_SELCHANGE when it changed.
  void SelectByUser(int index);
  platform::Rect RowsRect() const;
  // A press on the scroll bar pages or starts dragging the thumb; false
  // when the point is not on it.
  bool PressScrollBar(platform::Point client);
  // Moves a dragged thumb; false when no thumb is dragged.
  bool DragThumb(platform::Point client);
  void EndDrag() { tracking_ = draggingThumb_ = false; }

 private:
  struct Item {
    std::string text;
    std::uintptr_t data = 0;
  };
  int Find(int start, std::string_view text, bool exact) const;
  RowScroller Scroller() const;
  void OnKeyDown(WParam key);

  std::vector<Item> items_;
  int selected_ = -1;
  int top_ = 0;
  bool sorted_ = false;
  bool border_ = true;
  bool tracking_ = false;
  bool draggingThumb_ = false;
  int wheelRest_ = 0;
  std::shared_ptr<platform::Font> font_;
};

}  // namespace tovrik::controls
