#include <gtest/gtest.h>

#include "ControlRig.h"
#include "controls/ListBox.h"
#include "controls/ListView.h"

namespace tovrik::controls {
namespace {

using namespace platform;
using testing::ControlRig;
using testing::Cp;

// --- List box ------------------------------------------------------------------------

TEST(ListBoxTest, HiddenListKeepsStringsAndDataThroughItsMessages) {
  ControlRig rig;
  ListBox list;
  ASSERT_TRUE(list.Create(&rig.main, Rect::FromSize(0, 0, 100, 100), 1047, 0));  // never shown
  const std::string amounts[] = {"100", "200", "300"};
  for (const auto& a : amounts) list.SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LParam>(a.c_str()));
  const std::string first = "50";
  EXPECT_EQ(list.SendMessage(LB_INSERTSTRING, 0, reinterpret_cast<LParam>(first.c_str())), 0);
  EXPECT_EQ(list.SendMessage(LB_GETCOUNT), 4);
  EXPECT_EQ(list.SendMessage(LB_SETITEMDATA, 2, 777), 0);
  EXPECT_EQ(list.SendMessage(LB_GETITEMDATA, 2), 777);
  EXPECT_EQ(list.SendMessage(LB_GETITEMDATA, 9), LB_ERR);
  EXPECT_EQ(list.SendMessage(LB_SETCURSEL, 1), 1);
  EXPECT_EQ(list.GetText(list.GetCurSel()), "100");
  // Deleting above the selection moves it; deleting it clears it.
  EXPECT_EQ(list.SendMessage(LB_DELETESTRING, 0), 3);
  EXPECT_EQ(list.GetCurSel(), 0);
  EXPECT_EQ(list.GetItemData(1), 777u);
  EXPECT_EQ(list.DeleteString(0), 2);
  EXPECT_EQ(list.GetCurSel(), -1);
  EXPECT_EQ(list.SendMessage(LB_DELETESTRING, 5), LB_ERR);
  EXPECT_EQ(list.SendMessage(LB_GETTEXTLEN, 1), 3);
  EXPECT_TRUE(rig.main.notifications.empty());  // the program's changes are not announced
}

TEST(ListBoxTest, SearchesIgnoreLetterCaseOnlyAndGoRound) {
  ListBox list;  // a data holder needs no window
  list.SetSorted(true);
  for (const char* name : {"bob", "Alice", "carol", "alan"}) list.AddString(name);
  EXPECT_EQ(list.GetText(0), "alan");
  EXPECT_EQ(list.GetText(1), "Alice");
  // A double-byte character whose trail byte lies in the letter range.
  const std::string upperTrail("\x81\x41", 2), lowerTrail("\x81\x61", 2);
  list.AddString(upperTrail);
  struct Case {
    int start;
    std::string text;
    bool exact;
    int expected;
  };
  const Case cases[] = {
      {-1, "AL", false, 0},    {0, "al", false, 1},    {1, "al", false, 0},  // wraps round to the top
      {-1, "ALICE", true, 1},  {-1, "ali", true, LB_ERR}, {-1, "Carol", false, 3},
      {-1, lowerTrail, true, LB_ERR}, {-1, upperTrail, true, 4}, {-1, "\x81", false, LB_ERR},  // never half a character
      {-1, "zed", false, LB_ERR},
  };
  for (const auto& c : cases) {
    const int found = c.exact ? list.FindStringExact(c.start, c.text) : list.FindString(c.start, c.text);
    EXPECT_EQ(found, c.expected) << c.start << " " << c.text;
  }
  EXPECT_EQ(list.SelectString(-1, "CAR"), 3);
  EXPECT_EQ(list.GetCurSel(), 3);
  EXPECT_EQ(list.SelectString(-1, "nobody"), LB_ERR);
  EXPECT_EQ(list.GetCurSel(), 3);
}

TEST(ListBoxTest, MouseKeysAndWheelSelectAndScroll) {
  ControlRig rig;
  ListBox list;
  ASSERT_TRUE(list.Create(&rig.main, Rect::FromSize(10, 10, 120, 80), 1020, WS_VISIBLE | WS_DBLCLKS));
  for (int i = 0; i < 30; ++i) list.AddString("item " + std::to_string(i));
  const int row = list.ItemHeight();
  rig.automation.Click({30, 11 + row * 2 + row / 2});
  EXPECT_EQ(list.GetCurSel(), 2);
  EXPECT_EQ(rig.main.Count(LBN_SELCHANGE), 1);
  rig.automation.Click({30, 11 + row * 2 + row / 2});  // the second press of a double click
  EXPECT_EQ(rig.main.Count(LBN_DBLCLK), 1);
  rig.automation.PressKey(VK_END);
  EXPECT_EQ(list.GetCurSel(), 29);
  EXPECT_EQ(list.GetTopIndex(), 30 - list.VisibleRows());
  rig.automation.PressKey(VK_HOME);
  EXPECT_EQ(list.GetTopIndex(), 0);
  rig.automation.Wheel({30, 30}, -120);
  EXPECT_EQ(list.GetTopIndex(), 3);
  EXPECT_EQ(rig.main.Count(LBN_SELCHANGE), 3);
  // A press on the scroll bar below the thumb pages without selecting.
  rig.automation.Click({10 + 120 - 5, 10 + 80 - 5});
  EXPECT_EQ(list.GetTopIndex(), 3 + list.VisibleRows());
  EXPECT_EQ(list.GetCurSel(), 0);
}

// --- List view ------------------------------------------------------------------------------

class ListViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(view.Create(&rig.main, Rect::FromSize(23, 32, 245, 90), 1020));
    view.SetCheckBoxes(true);
    view.InsertColumn(0, "NickName", 150);
    view.InsertColumn(1, "ID", 0);  // hidden, still holds the id
    for (const char* name : {"alice", "bob", "carol"}) {
      const int item = view.InsertItem(-1, Cp(name));
      view.SetItemText(item, 1, std::string("id_") + name);
    }
    rig.main.onMessage = [this](MsgId msg, WParam, LParam l) {
      if (msg == WM_NOTIFY) notes.push_back(*reinterpret_cast<const ListViewNotify*>(l));
    };
  }
  Point RowCentre(int item) const {
    return {23 + 80, 32 + 1 + view.HeaderHeight() + item * view.RowHeight() + view.RowHeight() / 2};
  }
  Point BoxCentre(int item) const {
    const Rect box = view.CheckBoxRect(item);
    return {23 + box.left + box.Width() / 2, 32 + box.top + box.Height() / 2};
  }

  ControlRig rig;
  ListView view;
  std::vector<ListViewNotify> notes;
};

TEST_F(ListViewTest, PressOnTheBoxTogglesTheCheckAndSaysSo) {
  rig.automation.Click(BoxCentre(1));
  EXPECT_TRUE(view.GetCheck(1));
  EXPECT_FALSE(view.GetCheck(0));
  ASSERT_FALSE(notes.empty());
  const ListViewNotify& check = notes.front();
  EXPECT_EQ(check.header.code, LVN_ITEMCHANGED);
  EXPECT_EQ(check.item, 1);
  EXPECT_EQ(check.oldState & LVIS_STATEIMAGEMASK, IndexToStateImageMask(1));
  EXPECT_EQ(check.newState & LVIS_STATEIMAGEMASK, IndexToStateImageMask(2));
  EXPECT_EQ(view.GetSelection(), 1);
  EXPECT_EQ(notes.back().header.code, NM_CLICK);

  // A press on the text selects only; Space toggles the selected row.
  rig.automation.Click(RowCentre(2));
  EXPECT_EQ(view.GetSelection(), 2);
  EXPECT_FALSE(view.GetCheck(2));
  rig.automation.PressKey(VK_SPACE);
  EXPECT_TRUE(view.GetCheck(2));
  rig.automation.Click(BoxCentre(1));
  EXPECT_FALSE(view.GetCheck(1));
  int checkChanges = 0;
  for (const auto& note : notes)
    if (note.header.code == LVN_ITEMCHANGED && ((note.oldState ^ note.newState) & LVIS_STATEIMAGEMASK)) ++checkChanges;
  EXPECT_EQ(checkChanges, 3);
}

TEST_F(ListViewTest, HiddenColumnKeepsTextAndItemsAreFoundByName) {
  EXPECT_EQ(view.GetItemText(2, 1), "id_carol");
  EXPECT_EQ(view.FindItem(-1, "BOB"), 1);
  EXPECT_EQ(view.FindItem(1, "bob"), -1);
  view.SetItemData(1, 42);
  view.SetCheck(1, true);
  EXPECT_EQ(notes.back().param, 42u);
  EXPECT_TRUE(view.DeleteItem(0));
  EXPECT_TRUE(view.GetCheck(0));
  EXPECT_EQ(view.GetItemData(0), 42u);
  EXPECT_EQ(view.GetItemCount(), 2);
  const ListView::Hit hit = view.HitTest({5, 1 + view.HeaderHeight() / 2});
  EXPECT_TRUE(hit.onHeader);
  EXPECT_EQ(hit.subItem, 0);
}

}  // namespace
}  // namespace tovrik::controls
