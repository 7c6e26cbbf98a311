#pragma once
// The short windows over the screens: the PC-room greeting, which closes
// itself after 4 s; the event notice with its "hide for today" choice; and
// the game-rating mark, shown for 3 s when the lobby first opens.

#include "controls/Dialog.h"
#include "ui/BitmapRegion.h"
#include "ui/MyBitmap.h"
#include "ui/MyButton.h"

#include <array>
#include <string>

namespace tovrik::lobby {

// The PC-room greeting for players in a partner PC room (modeless).
class CPremServiceDlg : public controls::Dialog {
 public:
  static constexpr std::uintptr_t kCloseTimer = 434;
  static constexpr std::uint32_t kShowMs = 4000;

  CPremServiceDlg();
  ~CPremServiceDlg() override;
  // 0 when the window exists; else whether it could be made.
  int Create(platform::Window* owner, int pcRoomGrade);

  platform::LResult WindowProc(platform::MsgId msg, platform::WParam w, platform::LParam l) override;
  void OnPaint(platform::PaintContext& pc) override;

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  platform::Window* ProvideControl(const controls::ControlSpec& spec) override;

 private:
  int grade_ = 0;
  std::uintptr_t timer_ = 0;
  std::string commonFolder_;
  ui::CMyBitmap picture_;
  ui::CBmpRegion region_;
  ui::CMyButton closeButton_;
};

// The event notice, modal: type 0 the peak-time event (the player may hide
// it for the rest of the day), type 3 the farewell of the game-pack event
// when the player leaves.
class CEvent_NoticeDlg : public controls::Dialog {
 public:
  static constexpr const char* kHideKey = "DoNotShowWhatsNewThisDay";
  // The portal pages the buttons open.
  static constexpr const char* kEventPage = "https://www.corvanta.example/event/peaktime";
  static constexpr const char* kOtherGamePage = "https://www.corvanta.example/game/";

  CEvent_NoticeDlg(platform::Window* owner, int type);
  ~CEvent_NoticeDlg() override;
  // 1 stay, 2 closed (also, unshown, when type 0 was hidden today).
  int DoModal(int unused = 0);

  platform::LResult WindowProc(platform::MsgId msg, platform::WParam w, platform::LParam l) override;
  void OnPaint(platform::PaintContext& pc) override;

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  platform::Window* ProvideControl(const controls::ControlSpec& spec) override;

 private:
  void OnButton(int id);
  void SkinType0();
  void SkinType3();

  platform::Window* owner_;
  int type_;
  ui::CMyBitmap background_;
  ui::CBmpRegion region_;
  std::array<ui::CMyButton, 9> buttons_;
};

// The game-rating mark over the lobby's corner (modeless).
class CGameGradeDlg : public controls::Dialog {
 public:
  static constexpr std::uintptr_t kCloseTimer = 1;
  static constexpr std::uint32_t kShowMs = 3000;

  CGameGradeDlg();
  ~CGameGradeDlg() override;
  // 0 when the window exists; else whether it could be made.
  int Create(platform::Window* owner, int xOffset, int yOffset, int kind);
  // Follows the main window to (x, y).
  void MoveDlg(int x, int y);

  platform::LResult WindowProc(platform::MsgId msg, platform::WParam w, platform::LParam l) override;
  void OnPaint(platform::PaintContext& pc) override;

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

 private:
  int kind_ = 0;
  int xOffset_ = 0;
  int yOffset_ = 0;
  std::uintptr_t timer_ = 0;
  ui::CMyBitmap mark_;
  ui::CBmpRegion region_;
};

}  // namespace tovrik::lobby
