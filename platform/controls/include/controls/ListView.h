#pragma once
// A list view in report form: a header of columns over rows of text, one
// selected row, item data, and (with check boxes on) a check box in front
// of each row, drawn from state images the dialog gives or as the plain
// system box. A press on a row's box toggles its check; Space toggles the
// selected row's.
//
// The parent hears WM_NOTIFY with a ListViewNotify: LVN_ITEMCHANGED when a
// row's selection or check changed (the state image bits of oldState and
// newState tell checks apart), NM_CLICK, NM_DBLCLK and LVN_COLUMNCLICK.

#include <cstdint>
#include <memory>
#include <optional>
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

// WM_NOTIFY: wParam the control's id, lParam points to the notification,
// which starts with a NotifyHeader.
inline constexpr MsgId WM_NOTIFY = 0x004E;

struct NotifyHeader {
  platform::WindowHandle from = platform::WindowHandle::None;
  int id = 0;
  int code = 0;
};

inline constexpr int NM_CLICK = -2;
inline constexpr int NM_DBLCLK = -3;
inline constexpr int LVN_ITEMCHANGED = -101;
inline constexpr int LVN_COLUMNCLICK = -108;

// Item states.
inline constexpr unsigned LVIS_FOCUSED = 0x0001;
inline constexpr unsigned LVIS_SELECTED = 0x0002;
inline constexpr unsigned LVIS_STATEIMAGEMASK = 0xF000;
// The state image of a check box: 1 unchecked, 2 checked.
constexpr unsigned IndexToStateImageMask(unsigned index) { return index << 12; }
inline constexpr unsigned LVIF_STATE = 0x0008;

struct ListViewNotify {
  NotifyHeader header;
  int item = -1;
  int subItem = 0;
  unsigned newState = 0;
  unsigned oldState = 0;
  unsigned changed = 0;  // LVIF_STATE for LVN_ITEMCHANGED
  platform::Point point;  // client coordinates of a click
  std::uintptr_t param = 0;  // the item's data
};

class ListView : public Control {
 public:
  enum class Align { Left, Right, Center };

  ListView();
  ~ListView() override;

  void SetCheckBoxes(bool on);
  bool HasCheckBoxes() const { return checkBoxes_; }
  // `strip` holds the check images side by side, of equal width: the first
  // for unchecked, the second for checked. Pixels of `key` are left
  // transparent. The pixels are copied.
  void SetStateImages(const platform::PixelView& strip, std::optional<platform::RgbColor> key = std::nullopt);
  void SetHeaderVisible(bool visible);
  void SetFont(std::shared_ptr<platform::Font> font);
  void SetColours(platform::RgbColor text, platform::RgbColor background);

  // --- Columns -----------------------------------------------------------------
  // The index the column went to (-1 or past the end: last). A width of 0
  // hides the column (its texts are still kept).
  int InsertColumn(int index, std::string_view cp949Title, int width, Align align = Align::Left);
  int GetColumnCount() const { return static_cast<int>(columns_.size()); }
  bool SetColumnWidth(int column, int width);
  int GetColumnWidth(int column) const;

  // --- Items ---------------------------------------------------------------------
  // The index the row went to (-1 or past the end: last), unchecked.
  int InsertItem(int index, std::string_view cp949);
  bool SetItemText(int item, int subItem, std::string_view cp949);
  std::string GetItemText(int item, int subItem) const;
  bool DeleteItem(int item);
  void DeleteAllItems();
  int GetItemCount() const { return static_cast<int>(items_.size()); }
  bool SetItemData(int item, std::uintptr_t data);
  std::uintptr_t GetItemData(int item) const;
  // Sets the check as a click would, with LVN_ITEMCHANGED.
  bool SetCheck(int item, bool checked);
  bool GetCheck(int item) const;
  // -1 clears it; LVN_ITEMCHANGED for each row whose selection changed.
  bool SetSelection(int item);
  int GetSelection() const { return selected_; }
  // The first row after `start` (-1: from the top) whose first column reads
  // `text`, ignoring the case of ASCII letters; -1 when none.
  int FindItem(int start, std::string_view text) const;
  void EnsureVisible(int item);
  int GetTopIndex() const { return top_; }

  struct Hit {
    int item = -1;
    int subItem = -1;
    bool onCheckBox = false;
    bool onHeader = false;
  };
  Hit HitTest(platform::Point client) const;
  // The client rectangle of a row's check box (empty without check boxes).
  platform::Rect CheckBoxRect(int item) const;
  int RowHeight() const;
  int HeaderHeight() const;

  LResult WindowProc(MsgId msg, WParam w, LParam l) override;
  void OnPaint(platform::PaintContext& pc) override;

 private:
  struct Column {
    std::string title;
    int width;
    Align align;
  };
  struct Item {
    std::vector<std::string> texts;  // one per column
    std::uintptr_t data = 0;
    bool checked = false;
  };
  struct Images {
    std::vector<std::uint16_t> pixels;
    int width = 0;  // of one image
    int height = 0;
    int stride = 0;
    std::optional<std::uint16_t> key;
  };

  platform::Rect RowsRect() const;
  int VisibleRows() const;
  void SetTopIndex(int top);
  int CheckBoxSize() const;
  void Notify(int code, int item, int subItem, unsigned oldState, unsigned newState, platform::Point point = {});
  unsigned StateOf(int item) const;
  void Toggle(int item);
  void OnPress(platform::Point p, bool doubleClick);
  void DrawCheckBox(const platform::PaintContext& pc, platform::Rect box, bool checked, platform::Rect clip) const;

  std::vector<Column> columns_;
  std::vector<Item> items_;
  int selected_ = -1;
  int top_ = 0;
  bool checkBoxes_ = false;
  bool headerVisible_ = true;
  bool focused_ = false;
  bool draggingThumb_ = false;
  int wheelRest_ = 0;
  Images images_;
  std::shared_ptr<platform::Font> font_;
  platform::RgbColor text_{0, 0, 0};
  platform::RgbColor background_{255, 255, 255};
};

}  // namespace tovrik::controls
