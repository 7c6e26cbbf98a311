#pragma once
// The standard button: push button, check box and radio button, told apart
// by the BS_* style. A press captures the mouse; releasing it over the
// button clicks it, releasing it elsewhere does nothing. A click toggles an
// auto check box, checks an auto radio button and unchecks the other radio
// buttons of its group, then sends WM_COMMAND BN_CLICKED to the parent.
// Space clicks a focused button. Skinned buttons derive from it and paint
// their images from its state (Pressed, Hot, GetCheck).

#include "controls/Control.h"
#include "controls/ControlMessages.h"

namespace tovrik::controls {

class Button : public Control {
 public:
  Button() = default;
  Button(std::string caption, unsigned style) : Control(std::move(caption), style) {}
  ~Button() override { Destroy(); }

  unsigned Kind() const { return Style() & BS_TYPEMASK; }
  bool IsPushButton() const { return Kind() == BS_PUSHBUTTON || Kind() == BS_DEFPUSHBUTTON; }
  bool IsRadio() const { return Kind() == BS_RADIOBUTTON || Kind() == BS_AUTORADIOBUTTON; }
  bool IsCheckBox() const { return Kind() == BS_CHECKBOX || Kind() == BS_AUTOCHECKBOX; }
  bool IsDefault() const { return Kind() == BS_DEFPUSHBUTTON; }

  int GetCheck() const { return checked_ ? 1 : 0; }
  void SetCheck(int check);
  // Pressed and under the pointer (drawn pushed in).
  bool Pressed() const { return pressed_ && over_; }
  // Under the pointer.
  bool Hot() const { return over_; }
  bool HasFocus() const { return focused_; }

  LResult WindowProc(MsgId msg, WParam w, LParam l) override;
  void OnPaint(platform::PaintContext& pc) override;

 protected:
  // What a click does before the parent hears of it.
  virtual void OnClicked();

 private:
  void Click();
  void UncheckGroupSiblings();
  void PaintPushButton(platform::PaintContext& pc);
  void PaintCheckMark(platform::PaintContext& pc, platform::Rect box);
  void PaintRadioMark(platform::PaintContext& pc, platform::Rect box);

  bool checked_ = false;
  bool pressed_ = false;   // the left button went down here and is still held
  bool spaceDown_ = false; // Space went down while focused
  bool over_ = false;
  bool focused_ = false;
};

}  // namespace tovrik::controls
