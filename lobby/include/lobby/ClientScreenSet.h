#pragma once
// The client's screens, made and owned together: the channel screen, the
// lobby, the game room, the progress boxes and the windows the controller
// opens. The executable installs them as the main window's screens.

#include "app/Screens.h"
#include "lobby/GameDlg.h"

#include <memory>

namespace tovrik::lobby {

class CPopupWindows;
class CQXMessageDialog;

class CClientScreenSet final : public tovrik::app::IScreenSet {
 public:
  CClientScreenSet();
  ~CClientScreenSet() override;
  CClientScreenSet(const CClientScreenSet&) = delete;
  CClientScreenSet& operator=(const CClientScreenSet&) = delete;

  tovrik::app::ClientScreens Screens() override;
  bool Create(tovrik::platform::Window& mainWindow) override;

 private:
  // Each screen adds its own member here; until then the main window's
  // plain status view stands in for it.
  CGameDlg room_;
  std::unique_ptr<CPopupWindows> popups_;
  std::unique_ptr<CQXMessageDialog> messageDialog_;
};

// Makes the set (what the main window's options take).
std::unique_ptr<tovrik::app::IScreenSet> MakeClientScreens();

// Makes every main window built without options of its own use the set.
void InstallClientScreens();

}  // namespace tovrik::lobby
