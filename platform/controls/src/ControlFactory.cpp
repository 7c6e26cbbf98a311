#include "controls/ControlFactory.h"

#include "controls/Button.h"
#include "controls/Static.h"

namespace tovrik::controls {

std::unique_ptr<Control> MakeStandardControl(const ControlSpec& spec) {
  std::unique_ptr<Control> control;
  switch (spec.controlClass) {
    case ControlClass::Button:
      control = std::make_unique<Button>();
      break;
    case ControlClass::Static:
      control = std::make_unique<Static>();
      break;
    // The text controls (edit, chat view, lists, combo box) are made here
    // once they exist.
    case ControlClass::Edit:
    case ControlClass::ChatView:
    case ControlClass::ListBox:
    case ControlClass::ListView:
    case ControlClass::ComboBox:
    case ControlClass::Custom:
      return nullptr;
  }
  control->ApplySpec(spec);
  return control;
}

}  // namespace tovrik::controls
