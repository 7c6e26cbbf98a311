#include "ui/UiMessageBox.h"

#include "platform/MessageBox.h"

namespace tovrik::ui {
namespace {

UiMessageBoxHandler& Handler() {
  static UiMessageBoxHandler handler;
  return handler;
}

}  // namespace

int UiMessageBox(std::string_view text, unsigned type) {
  if (Handler()) return Handler()(text, type);
  return platform::ShowMessageBox("", text, type);
}

void SetUiMessageBoxHandler(UiMessageBoxHandler handler) { Handler() = std::move(handler); }

}  // namespace tovrik::ui
