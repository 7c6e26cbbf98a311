#include "lobby/ClientScreenSet.h"

#include "PopupWindows.h"
#include "app/ClientApp.h"
#include "lobby/QXMsgDlg.h"
#include "ui/UiMessageBox.h"

namespace tovrik::lobby {

CClientScreenSet::CClientScreenSet()
    : popups_(std::make_unique<CPopupWindows>()), messageDialog_(std::make_unique<CQXMessageDialog>()) {}

CClientScreenSet::~CClientScreenSet() = default;

tovrik::app::ClientScreens CClientScreenSet::Screens() {
  tovrik::app::ClientScreens screens;
  screens.room = &room_;
  screens.popups = popups_.get();
  screens.messageDialog = messageDialog_.get();
  return screens;
}

bool CClientScreenSet::Create(tovrik::platform::Window& mainWindow) {
  if (!room_.Create(mainWindow)) return false;
  return true;
}

std::unique_ptr<tovrik::app::IScreenSet> MakeClientScreens() { return std::make_unique<CClientScreenSet>(); }

void InstallClientScreens() {
  tovrik::app::SetDefaultScreenSetFactory(&MakeClientScreens);
  // The skinned controls' own boxes (a missing picture) take the same road
  // as every other box of the program.
  tovrik::ui::SetUiMessageBoxHandler(
      [](std::string_view text, unsigned type) { return tovrik::app::AfxMessageBox(text, type); });
}

}  // namespace tovrik::lobby
