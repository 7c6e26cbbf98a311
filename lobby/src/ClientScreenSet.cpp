#include "lobby/ClientScreenSet.h"

namespace tovrik::lobby {

CClientScreenSet::CClientScreenSet() = default;

CClientScreenSet::~CClientScreenSet() = default;

tovrik::app::ClientScreens CClientScreenSet::Screens() {
  tovrik::app::ClientScreens screens;
  screens.room = &room_;
  return screens;
}

bool CClientScreenSet::Create(tovrik::platform::Window& mainWindow) {
  if (!room_.Create(mainWindow)) return false;
  return true;
}

std::unique_ptr<tovrik::app::IScreenSet> MakeClientScreens() { return std::make_unique<CClientScreenSet>(); }

void InstallClientScreens() { tovrik::app::SetDefaultScreenSetFactory(&MakeClientScreens); }

}  // namespace tovrik::lobby
