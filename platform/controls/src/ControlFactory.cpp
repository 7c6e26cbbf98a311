#include "controls/ControlFactory.h"

#include "controls/Button.h"
#include "controls/ChatView.h"
#include "controls/ComboBox.h"
#include "controls/Edit.h"
#include "controls/ListBox.h"
#include "controls/ListView.h"
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
    case ControlClass::Edit:
      control = std::make_unique<Edit>();
      break;
    case ControlClass::ChatView:
      control = std::make_unique<ChatView>();
      break;
    case ControlClass::ListBox:
      control = std::make_unique<ListBox>();
      break;
    case ControlClass::ListView:
      control = std::make_unique<ListView>();
      break;
    case ControlClass::ComboBox:
      control = std::make_unique<ComboBox>();
      break;
    case ControlClass::Custom:
      return nullptr;
  }
  control->ApplySpec(spec);
  return control;
}

}  // namespace tovrik::controls
