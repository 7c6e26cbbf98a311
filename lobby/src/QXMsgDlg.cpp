#include "lobby/QXMsgDlg.h"

#include "app/ClientApp.h"
#include "app/ClientDlg.h"
#include "controls/TextLayout.h"
#include "lobby/tables/MessageBoxTables.h"
#include "platform/MessageBox.h"
#include "platform/Text.h"

namespace tovrik::lobby {
using platform::LParam;
using platform::LResult;
using platform::MsgId;
using platform::WParam;
namespace t = tables;

namespace {

constexpr MsgId kMsgAnswerUnattended = platform::WM_USER + 297;
// How often an open box looks whether the program is being ended.
constexpr std::uintptr_t kInterruptTimer = 297;
constexpr std::uint32_t kInterruptCheckMs = 100;

unsigned ButtonSet(unsigned type) {
  const unsigned set = type & platform::MB_TYPEMASK;
  return set == platform::MB_OK || set == platform::MB_YESNO ? set : platform::MB_OKCANCEL;
}

platform::Rect ToRect(const controls::ControlRect& r) { return platform::Rect::FromSize(r.x, r.y, r.width, r.height); }

}  // namespace

CQXMsgDlg::CQXMsgDlg(std::string text, std::string title, unsigned type)
    : CSkinDialog(t::kMessageBoxTemplate, ".\\Image\\Alert_Back.bmp"),
      text_(std::move(text)),
      title_(std::move(title)),
      type_(type) {
  if (IsReportConfirmation()) {
    type_ = (type_ & ~platform::MB_TYPEMASK) | platform::MB_YESNO;
    SetBackground(".\\Image\\BadUserWarning.bmp");
  }
  SetButtonImage(t::kIdOk, ".\\Image\\Alert_OK.BMP");
  SetButtonImage(t::kIdCancel, ".\\Image\\Alert_Cancel.bmp");
  SetButtonImage(t::kIdYes, ".\\Image\\Alert_Yes.bmp");
  SetButtonImage(t::kIdNo, ".\\Image\\Alert_No.bmp");
}

CQXMsgDlg::~CQXMsgDlg() { Destroy(); }

void CQXMsgDlg::SetUnattended(bool unattended) { unattended_ = unattended; }

bool CQXMsgDlg::OnInitDialog() {
  CSkinDialog::OnInitDialog();
  PlaceButtons();
  SetTimer(kInterruptTimer, kInterruptCheckMs);
  if (unattended_) PostMessage(kMsgAnswerUnattended);
  return true;
}

void CQXMsgDlg::PlaceButtons() {
  const unsigned set = ButtonSet(type_);
  const bool yesNo = set == platform::MB_YESNO;
  auto place = [&](int id, bool shown, int x, int y) {
    platform::Window* button = GetDlgItem(id);
    if (!button) return;
    button->ShowWindow(shown);
    const platform::Rect r = button->GetWindowRect();
    button->MoveWindow(platform::Rect::FromSize(x, y, r.Width(), r.Height()));
  };
  const controls::ControlRect& first = t::kMessageBoxControls[0].rect;
  const controls::ControlRect& second = t::kMessageBoxControls[1].rect;
  place(t::kIdOk, !yesNo, set == platform::MB_OK ? t::kMessageBoxLoneOkX : first.x, first.y);
  place(t::kIdCancel, set == platform::MB_OKCANCEL, second.x, second.y);
  if (IsReportConfirmation()) {
    place(t::kIdYes, true, t::kReportWarningYesX, t::kReportWarningButtonY);
    place(t::kIdNo, true, t::kReportWarningNoX, t::kReportWarningButtonY);
  } else {
    place(t::kIdYes, yesNo, first.x, first.y);
    place(t::kIdNo, yesNo, second.x, second.y);
  }
  SetDefID(yesNo ? t::kIdYes : t::kIdOk);
}

void CQXMsgDlg::AnswerIfUnattended() {
  if (const auto answer = platform::TakeAutomatedMessageBoxAnswer(type_)) {
    EndDialog(*answer);
  } else if (platform::MessageBoxesAreHeadless()) {
    // Nobody can see the box: its escape button, never the action it offers.
    EndDialog(platform::MessageBoxEscapeAnswer(type_));
  }
}

void CQXMsgDlg::OnOK() {
  // Enter in a Yes/No box, or an OK from outside, means yes.
  EndDialog(ButtonSet(type_) == platform::MB_YESNO ? platform::IDYES : platform::IDOK);
}

void CQXMsgDlg::OnCancel() { EndDialog(platform::MessageBoxEscapeAnswer(ButtonSet(type_))); }

LResult CQXMsgDlg::WindowProc(MsgId msg, WParam w, LParam l) {
  switch (msg) {
    case kMsgAnswerUnattended:
      AnswerIfUnattended();
      return 0;
    case platform::WM_TIMER:
      if (w != kInterruptTimer) break;
      if (platform::MessageBoxesInterrupted()) OnCancel();
      return 0;
    case platform::WM_COMMAND: {
      const int id = static_cast<int>(platform::LowWord(w));
      if (id == t::kIdYes || id == t::kIdNo) {
        CSkinDialog::WindowProc(msg, w, l);  // the click effect
        EndDialog(id);
        return 0;
      }
      break;
    }
    default:
      break;
  }
  return CSkinDialog::WindowProc(msg, w, l);
}

void CQXMsgDlg::PaintContents(platform::PaintContext& pc) {
  if (IsReportConfirmation()) return;  // the picture holds the question
  const auto font = platform::Font::Default();
  if (!font) return;
  const platform::Point o = pc.Origin();
  auto draw = [&](const std::string& text, const controls::ControlRect& box) {
    platform::Rect r = ToRect(box);
    r = platform::Rect{r.left + o.x, r.top + o.y, r.right + o.x, r.bottom + o.y};
    controls::DrawText(pc.Target(), *font, text, r, controls::DT_WORDBREAK, {0, 0, 0}, pc.Clip());
  };
  if (!title_.empty()) draw(title_, t::kMessageBoxTitleBox);
  draw(text_, t::kMessageBoxTextBox);
}

int CQXMessageDialog::Show(platform::Window& owner, std::string_view text, std::string_view caption, unsigned type) {
  const std::string title = caption == app::kAppTitle ? std::string() : std::string(caption);
  CQXMsgDlg box{std::string(text), title, type};
  box.SetUnattended(true);
  int answer = box.DoModal(&owner);
  // A box that could not run, or a run ended by the program's end, counts
  // as escaped.
  if (answer != platform::IDOK && answer != platform::IDCANCEL && answer != platform::IDYES &&
      answer != platform::IDNO)
    answer = platform::MessageBoxEscapeAnswer(ButtonSet(type));
  platform::RecordMessageBoxAnswer(caption, text, type, answer);
  return answer;
}

int CMsgBox::DoModal(std::string_view text, std::string_view title) {
  const unsigned type = platform::MB_YESNO | platform::MB_ICONQUESTION;
  const std::string_view caption = title.empty() ? app::kAppTitle : title;
  app::CClientDlg* dlg = app::GetClientDlg();
  const int answer = dlg && dlg->IsCreated() ? dlg->ShowMessageDialog(text, caption, type)
                                             : platform::ShowMessageBox(caption, text, type);
  return answer == platform::IDYES ? platform::IDOK : platform::IDCANCEL;
}

}  // namespace tovrik::lobby
