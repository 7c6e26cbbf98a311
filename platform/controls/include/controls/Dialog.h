#pragma once
// A dialog made from its control table. Creating it creates every control
// of the table in table order, sends WM_INITDIALOG and, when that returns
// true, puts the focus on the first tab stop. The dialog's keyboard
// handling, taken before the focused control sees the key:
// - Tab and Shift+Tab move the focus along the tab order (wrapping, past
//   hidden and disabled controls);
// - Enter sends WM_COMMAND to the dialog with the focused push button's id,
//   else the default button's id (DM_GETDEFID), else IDOK;
// - Escape sends WM_COMMAND IDCANCEL;
// unless the focused control wants those keys (WM_GETDLGCODE) or the
// table's flags say the dialog ignores Enter or Escape (then the key does
// nothing at all). WM_COMMAND IDOK and IDCANCEL end the dialog with that
// result (OnOK, OnCancel).

#include <memory>
#include <vector>

#include "controls/Control.h"
#include "controls/ControlMessages.h"
#include "controls/ControlTable.h"
#include "platform/EventLoop.h"
#include "platform/MessageBox.h"

namespace tovrik::controls {

class Dialog : public platform::Window {
 public:
  explicit Dialog(const DialogTemplate& dialogTemplate) : template_(dialogTemplate) {}
  ~Dialog() override;

  const DialogTemplate& Template() const { return template_; }

  // Creates the dialog at `at` in the parent's client coordinates, or
  // centred in the parent without a position. It stays until destroyed.
  bool CreateModeless(platform::Window* parent, platform::Point at);
  bool CreateModeless(platform::Window* parent);
  // Creates the dialog centred in the parent, runs it modal until
  // EndDialog and destroys it. Returns the result, -1 when it could not run.
  int DoModal(platform::Window* parent);
  // Ends a modal run with `result`; a modeless dialog is hidden.
  void EndDialog(int result);
  int Result() const { return result_; }

  int GetDefID() const { return defaultId_; }
  void SetDefID(int id);
  // Moves the focus to the next (or previous) tab stop.
  void NextDlgCtrl(bool previous = false);
  // The control with the focus, when it is this dialog's.
  platform::Window* FocusedControl() const;

  LResult WindowProc(MsgId msg, WParam w, LParam l) override;
  bool PreTranslateMessage(MsgId msg, WParam w, LParam l) override;
  void OnPaint(platform::PaintContext& pc) override;

 protected:
  // WM_INITDIALOG: the controls exist. True puts the focus on the first
  // tab stop.
  virtual bool OnInitDialog() { return true; }
  virtual void OnOK() { EndDialog(platform::IDOK); }
  virtual void OnCancel() { EndDialog(platform::IDCANCEL); }
  // The window that fills a control slot: a derived dialog returns one of
  // its own (a skinned button, a view) to have it created in the slot, or
  // null for the standard control of the record's class.
  virtual platform::Window* ProvideControl(const ControlSpec&) { return nullptr; }

 private:
  bool CreateAt(platform::Window* parent, platform::Rect rect);
  void CreateControls();
  std::vector<platform::Window*> TabStops() const;
  bool HandleDialogKey(WParam key);

  const DialogTemplate& template_;
  std::vector<std::unique_ptr<Control>> owned_;
  int defaultId_ = 0;
  int result_ = 0;
  bool modal_ = false;
  bool running_ = false;         // inside the modal run
  bool endedBeforeRun_ = false;  // EndDialog from WM_INITDIALOG of a modal dialog
};

}  // namespace tovrik::controls
