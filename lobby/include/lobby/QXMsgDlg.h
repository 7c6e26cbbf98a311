#pragma once
// The program's message box, drawn in the game's skin over the main window.
// Every message box of the program comes here (the application's message
// box routing). It answers what a person answers on the screen and, for
// unattended runs, what the plain box answers: an automated answer waiting
// (TOVRIK_MESSAGEBOX_ANSWERS, the default answer) answers it at once; with
// no display the escape button does; every box is logged and recorded as
// the plain box records it.
//
// Keys: Enter chooses OK (Yes in a Yes/No box), Escape chooses the box's
// escape button: OK in an OK box, Cancel in OK/Cancel, No in Yes/No.

#include <string>
#include <string_view>

#include "app/Screens.h"
#include "lobby/SkinDialog.h"

namespace tovrik::lobby {

// The text that turns the box into the abuse report's confirmation picture.
inline constexpr std::string_view kReportConfirmText = "대화 내용 신고 확인";

class CQXMsgDlg final : public CSkinDialog {
 public:
  // `title` is drawn as given (empty: none); `type` is an MB_* value with
  // the button set OK, OK/Cancel or Yes/No (any other set shows OK/Cancel).
  CQXMsgDlg(std::string text, std::string title, unsigned type);
  ~CQXMsgDlg() override;

  const std::string& Text() const { return text_; }
  bool IsReportConfirmation() const { return text_ == kReportConfirmText; }
  // An unattended box takes the automated answer waiting for it, and with
  // no display its escape button, as soon as it runs.
  void SetUnattended(bool unattended);

  platform::LResult WindowProc(platform::MsgId msg, platform::WParam w, platform::LParam l) override;

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  void PaintContents(platform::PaintContext& pc) override;

 private:
  void PlaceButtons();
  void AnswerIfUnattended();

  std::string text_;
  std::string title_;
  unsigned type_;
  bool unattended_ = false;
};

// The main window's message dialog: shows a CQXMsgDlg, logs and records it.
class CQXMessageDialog final : public app::IMessageDialog {
 public:
  int Show(platform::Window& owner, std::string_view text, std::string_view caption, unsigned type) override;
};

// The yes/no question: IDOK for yes, IDCANCEL for no.
class CMsgBox {
 public:
  static int DoModal(std::string_view text, std::string_view title = {});
};

}  // namespace tovrik::lobby
