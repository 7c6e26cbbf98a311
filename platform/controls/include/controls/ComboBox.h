#pragma once
// A combo box: a list of strings (code page 949, with item data) and a face
// that shows the chosen one, either as a drop-down list (the face is not
// editable) or editable (the face is an edit). A press on the face (or its
// button) drops the list below the combo, above it when there is no room;
// the mouse, Up/Down, Enter and Escape pick from it, and a press anywhere
// else closes it. The list is a child of the combo's dialog, so it may
// reach past the combo's own rectangle.
//
// The parent hears, through WM_COMMAND: CBN_SELCHANGE when the user changed
// the selection, CBN_DROPDOWN and CBN_CLOSEUP, CBN_SELENDOK or
// CBN_SELENDCANCEL when the list closes, CBN_EDITUPDATE and CBN_EDITCHANGE
// when the user edits the text, CBN_SETFOCUS and CBN_KILLFOCUS.
//
// The face is drawn by DrawFace, which a skinned combo overrides (the flat
// look of the room creation dialog) from the state it is given.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "controls/Control.h"
#include "controls/Edit.h"
#include "controls/ListBox.h"
#include "platform/Text.h"
#include "platform/Window.h"

namespace tovrik::controls {

inline constexpr int CB_ERR = -1;

// Messages (Windows numbers); texts and positions travel as for the list box.
// CB_SETEDITSEL: lParam MakeLParam(start, end), -1 as on EM_SETSEL.
inline constexpr MsgId CB_GETEDITSEL = 0x0140;
inline constexpr MsgId CB_LIMITTEXT = 0x0141;
inline constexpr MsgId CB_SETEDITSEL = 0x0142;
inline constexpr MsgId CB_ADDSTRING = 0x0143;
inline constexpr MsgId CB_DELETESTRING = 0x0144;
inline constexpr MsgId CB_GETCOUNT = 0x0146;
inline constexpr MsgId CB_GETCURSEL = 0x0147;
inline constexpr MsgId CB_GETLBTEXTLEN = 0x0149;
inline constexpr MsgId CB_INSERTSTRING = 0x014A;
inline constexpr MsgId CB_RESETCONTENT = 0x014B;
inline constexpr MsgId CB_FINDSTRING = 0x014C;
inline constexpr MsgId CB_SELECTSTRING = 0x014D;
inline constexpr MsgId CB_SETCURSEL = 0x014E;
inline constexpr MsgId CB_SHOWDROPDOWN = 0x014F;
inline constexpr MsgId CB_GETITEMDATA = 0x0150;
inline constexpr MsgId CB_SETITEMDATA = 0x0151;
inline constexpr MsgId CB_GETDROPPEDSTATE = 0x0157;
inline constexpr MsgId CB_FINDSTRINGEXACT = 0x0158;

inline constexpr unsigned CBN_SELCHANGE = 1;
inline constexpr unsigned CBN_DBLCLK = 2;
inline constexpr unsigned CBN_SETFOCUS = 3;
inline constexpr unsigned CBN_KILLFOCUS = 4;
inline constexpr unsigned CBN_EDITCHANGE = 5;
inline constexpr unsigned CBN_EDITUPDATE = 6;
inline constexpr unsigned CBN_DROPDOWN = 7;
inline constexpr unsigned CBN_CLOSEUP = 8;
inline constexpr unsigned CBN_SELENDOK = 9;
inline constexpr unsigned CBN_SELENDCANCEL = 10;

enum class ComboStyle {
  DropDown,      // editable face (CBS_DROPDOWN)
  DropDownList,  // the face shows the selection only (CBS_DROPDOWNLIST)
};

class ComboBox : public Control {
 public:
  static constexpr int kDefaultDroppedRows = 8;

  explicit ComboBox(ComboStyle style = ComboStyle::DropDownList);
  ~ComboBox() override;

  ComboStyle Style() const { return style_; }
  void SetFont(std::shared_ptr<platform::Font> font);
  void SetDroppedRows(int rows) { droppedRows_ = rows < 1 ? 1 : rows; }

  // --- Items (as the list box's) ---------------------------------------------
  int AddString(std::string_view cp949) { return list_->AddString(cp949); }
  int AddStringUtf8(std::string_view utf8) { return list_->AddStringUtf8(utf8); }
  int InsertString(int index, std::string_view cp949) { return list_->InsertString(index, cp949); }
  int DeleteString(int index);
  void ResetContent();
  int GetCount() const { return list_->GetCount(); }
  std::string GetLBText(int index) const { return list_->GetText(index); }
  bool SetItemData(int index, std::uintptr_t data) { return list_->SetItemData(index, data); }
  std::uintptr_t GetItemData(int index) const { return list_->GetItemData(index); }
  void SetSorted(bool sorted) { list_->SetSorted(sorted); }
  int FindString(int start, std::string_view prefix) const { return list_->FindString(start, prefix); }
  int FindStringExact(int start, std::string_view text) const { return list_->FindStringExact(start, text); }
  // Finds as FindString and selects the item; the index or CB_ERR (the
  // selection then stays).
  int SelectString(int start, std::string_view prefix);

  // Selects an item (-1: none) and shows its text; no notification.
  bool SetCurSel(int index);
  int GetCurSel() const { return selected_; }

  // The face's text: the edit's, or the selected item's.
  std::string GetText() const;
  std::string GetTextUtf8() const;
  // Editable combos: sets the edit's text (no CBN_EDITCHANGE).
  void SetText(std::string_view cp949);

  // Editable combos: the edit's selection and limit; false for a drop-down list.
  bool SetEditSel(int start, int end);
  Edit::Selection GetEditSel() const;
  void LimitText(std::size_t bytes);
  Edit* GetEdit() { return edit_.get(); }

  void ShowDropDown(bool show);
  bool GetDroppedState() const { return dropped_; }
  // The list, for looking at it while it is dropped.
  const ListBox& GetList() const { return *list_; }

  // CBS_DROPDOWN or CBS_DROPDOWNLIST choose the style (before the combo
  // is created), CBS_SORT keeps the list sorted; an editable combo's
  // caption is its first text.
  void ApplySpec(const ControlSpec& spec) override;
  // Editable combos: sets the edit's text; others ignore it.
  void SetWindowText(std::string_view utf8) override;

  LResult WindowProc(MsgId msg, WParam w, LParam l) override;
  void OnPaint(platform::PaintContext& pc) override;

  // What the face is to show.
  struct FaceState {
    platform::Rect text;    // where the text (or the edit) sits
    platform::Rect button;  // the drop button
    bool enabled = true;
    bool focused = false;
    bool hot = false;      // the pointer is over the combo
    bool pressed = false;  // the button is held down
    bool dropped = false;
  };

 protected:
  // Draws the frame, the text area and the drop button. The text of a
  // drop-down list is drawn by DrawFaceText after this.
  virtual void DrawFace(platform::PaintContext& pc, const FaceState& state);
  virtual void DrawFaceText(platform::PaintContext& pc, const FaceState& state);
  // The user edited the text of an editable combo (before it is shown);
  // tells the parent CBN_EDITUPDATE. Auto-completing combos override it.
  virtual void OnEditUpdate();
  virtual int ButtonWidth() const { return 16; }
  FaceState CurrentFace() const;

 private:
  class DropList;
  class ComboEdit;
  friend class DropList;
  friend class ComboEdit;

  void Choose(int index);
  void CloseUp(bool accepted);
  void CloseList();
  void SelectByUser(int index);
  bool OnKey(WParam key);
  void OnEditNotification(unsigned code);
  void UpdateHot();
  platform::Rect TextRect() const;
  platform::Rect ButtonRect() const;

  ComboStyle style_;
  std::unique_ptr<ListBox> list_;
  std::unique_ptr<Edit> edit_;
  std::shared_ptr<platform::Font> font_;
  int selected_ = -1;
  int droppedRows_ = kDefaultDroppedRows;
  bool dropped_ = false;
  bool pressed_ = false;
  bool hot_ = false;
  bool focused_ = false;
  bool settingText_ = false;
};

}  // namespace tovrik::controls
