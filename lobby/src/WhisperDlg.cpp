#include "lobby/WhisperDlg.h"

#include "app/ChatText.h"
#include "app/ClientApp.h"
#include "app/ClientDlg.h"
#include "app/ControllerState.h"
#include "base/CodePage.h"
#include "lobby/NoChat.h"
#include "lobby/tables/WhisperDlgTable.h"
#include "platform/PathResolver.h"
#include "protocol/LobbyMessages.h"

namespace tovrik::lobby {

CWhisperDlg g_WhisperDlg;

namespace ids = tables::whisperdlg;
using platform::RgbColor;

class CWhisperDlg::Dialog final : public controls::Dialog {
 public:
  Dialog(CWhisperDlg& owner, std::string nickCp949, std::filesystem::path programDir)
      : controls::Dialog(tables::kWhisperDlgTemplate),
        owner_(owner),
        nick_(std::move(nickCp949)),
        programDir_(std::move(programDir)) {}
  ~Dialog() override { Destroy(); }

  controls::Edit* Edit(int id) const { return dynamic_cast<controls::Edit*>(GetDlgItem(id)); }

 protected:
  platform::Window* ProvideControl(const controls::ControlSpec& spec) override {
    if (spec.id == ids::kSend) return &send_;
    if (spec.id == ids::kClose) return &close_;
    return nullptr;
  }

  bool OnInitDialog() override {
    if (background_.LoadBitmapFile(".\\IMAGE\\Whisper.bmp", programDir_)) {
      MoveWindow(platform::Rect::FromSize(GetWindowRect().left, GetWindowRect().top, background_.GetWidth(),
                                          background_.GetHeight()));
      CenterInParent();
      region_.SetWindowRgn(this, background_.View(), RgbColor{255, 0, 255}, 0);
    }
    send_.Init(46, 100, Art(".\\IMAGE\\subbtn_send.bmp"), 4, "");
    close_.Init(152, 100, Art(".\\IMAGE\\subbtn_cancel.bmp"), 4, "");
    Edit(ids::kNickName)->LimitText(kMaxNickBytes);
    Edit(ids::kMessage)->LimitText(kMaxMessageBytes);
    Edit(ids::kNickName)->SetText(nick_);
    (nick_.empty() ? Edit(ids::kNickName) : Edit(ids::kMessage))->SetFocus();
    return false;  // the focus is set
  }

  void OnOK() override { owner_.Send(); }
  // Closing ends the window; the object goes with the next Create or Close.
  void OnCancel() override { Destroy(); }

  void OnPaint(platform::PaintContext& pc) override {
    if (background_.IsLoaded()) background_.BitBlt(pc);
    else controls::Dialog::OnPaint(pc);
  }

 private:
  std::string Art(std::string_view path) const { return platform::ResolvePath(path, programDir_).string(); }

  CWhisperDlg& owner_;
  std::string nick_;
  std::filesystem::path programDir_;
  ui::CMyBitmap background_;
  ui::CBmpRegion region_;
  ui::CMyButton send_;
  ui::CMyButton close_;
};

CWhisperDlg::CWhisperDlg() = default;
CWhisperDlg::~CWhisperDlg() = default;

bool CWhisperDlg::Create(std::string_view nickCp949, platform::Window* parent, IChatPlace* place,
                         std::filesystem::path programDir) {
  Close();
  if (!parent) parent = app::GetClientDlg();
  if (!parent) return false;
  lastNick_ = std::string(nickCp949);
  place_ = place;
  dialog_ = std::make_unique<Dialog>(*this, lastNick_, std::move(programDir));
  return dialog_->CreateModeless(parent);
}

void CWhisperDlg::Close() { dialog_.reset(); }

bool CWhisperDlg::Exists() const { return dialog_ && dialog_->IsCreated(); }

platform::Window* CWhisperDlg::Window() const { return Exists() ? dialog_.get() : nullptr; }

controls::Edit* CWhisperDlg::NickEdit() const { return Exists() ? dialog_->Edit(ids::kNickName) : nullptr; }

controls::Edit* CWhisperDlg::MessageEdit() const { return Exists() ? dialog_->Edit(ids::kMessage) : nullptr; }

IChatPlace& CWhisperDlg::PlaceNow() {
  if (place_) return *place_;
  clientPlace_.emplace(app::g_Where == app::kWhereGameRoom ? kChatInRoom : kChatInLobby);
  return *clientPlace_;
}

void CWhisperDlg::Send() {
  controls::Edit* nickEdit = NickEdit();
  controls::Edit* messageEdit = MessageEdit();
  if (!nickEdit || !messageEdit) return;
  const std::string nick = nickEdit->GetText();
  const std::string message = messageEdit->GetText();
  if (nick.empty()) {
    app::AfxMessageBox(kWhisperNoNick);
    return;
  }
  if (message.empty()) return;
  IChatPlace& place = PlaceNow();
  const int unum = place.FindUserNumber(nick);
  if (NoChat.CheckNoChat(message)) {
    app::AfxMessageBox(kWhisperMuted);
    return;
  }
  if (place.RefusesWhisperTo(nick)) {
    place.ShowLine(kInGameWhisperRefusal, kInGameWhisperRefusalColour);
    return;
  }
  const std::string echo = "(귓말) /w " + base::Cp949ToUtf8(nick) + " " + base::Cp949ToUtf8(app::FilterChatText(message)) + "\n";
  place.ShowLine(echo, app::ChatColour{0, 0, 0});
  place.AddHiddenLine(base::Utf8ToCp949(echo));
  SendChatMessage<protocol::CSV_WHISPERCHAT>(place, LocalPlayerId(), LocalPlayerNick(), unum, nick, message);
  // The message box above may have closed the window; look again.
  if (controls::Edit* edit = MessageEdit()) {
    edit->SetText("");
    edit->SetFocus();
  }
}

}  // namespace tovrik::lobby
