#include "lobby/NewGameItemDlg.h"

#include "app/ControllerState.h"
#include "base/Log.h"
#include "lobby/ChargeCashDlg.h"
#include "lobby/tables/GameItemTables.h"
#include "platform/EventLoop.h"
#include "protocol/LobbyMessages.h"
#include "sockets/SockMan.h"

namespace tovrik::lobby {

using namespace tovrik::platform;
using namespace tovrik::app;
namespace item = tables::game_item;

int g_SSO_WEB_nStatus = 0;
int g_SSO_WEB_nItemno = 0;
int g_SSO_WEB_nItemCode = 0;
int g_SSO_WEB_nType = 0;

namespace {

constexpr int kJumpItemCode = 201;
constexpr const char* kItemUsePath = "/gameshop/client/Myitem/GameMyItemUse.asp";

CNewGameItemDlg* g_mainItemDialog = nullptr;

int RunChargeWindow(Window* owner) {
  CChargeCashDlg charge;
  return charge.DoModal(owner);
}
CNewGameItemDlg::ChargeRunner g_chargeRunner = &RunChargeWindow;

void OnItemPageNavigate(const char* url, int, const char*, const void*, int, const char*, int* cancel) {
  if (url && CNewGameItemDlg::HandlePageNavigation(url) && cancel) *cancel = 1;
}

void OnExternalCall(void* context, const char* method) {
  if (method && std::string_view(method) == "ShowChargeCashDlg")
    static_cast<CNewGameItemDlg*>(context)->ShowChargeCashDlg();
}

void AskItemList(int itemCode, int itemNo) {
  protocol::CSV_ASK_GAMEITEMLIST ask;
  ask.Set(itemCode, itemNo);
  sockets::SockMan.SendData(g_MainSrvSID, ask.GetData(), ask.GetTotalSize());
}

void FocusMainWindow() {
  if (EventLoop* loop = EventLoop::Current(); loop && loop->MainWindow()) loop->MainWindow()->SetFocus();
}

// "scheme://host:port" of an address ("" when it has none).
std::string OriginOf(const std::string& address) {
  std::size_t scheme = address.find("://");
  if (scheme == std::string::npos) return "";
  return address.substr(0, address.find('/', scheme + 3));
}

}  // namespace

CNewGameItemDlg::CNewGameItemDlg(portal::CSSOWebLibMan& library)
    : Dialog(tables::kGameItemDialog), library_(library) {
  external_ = SSO_External{"ShowChargeCashDlg", &OnExternalCall, this};
}

CNewGameItemDlg::~CNewGameItemDlg() {
  for (auto& browser : browsers_) browser.reset();
  Destroy();
  if (g_mainItemDialog == this) g_mainItemDialog = nullptr;
}

CNewGameItemDlg* CNewGameItemDlg::MainWindowObject() { return g_mainItemDialog; }
void CNewGameItemDlg::SetMainWindowObject(CNewGameItemDlg* dialog) { g_mainItemDialog = dialog; }
void CNewGameItemDlg::SetChargeRunner(ChargeRunner runner) { g_chargeRunner = runner ? runner : &RunChargeWindow; }

void CNewGameItemDlg::ResetState(int modal, int page, int value) {
  modal_ = modal;
  page_ = page;
  value_ = value;
  refreshMyItems_ = 0;
}

int CNewGameItemDlg::DoModal(int page, int value, int defaultItemCode) {
  ResetState(1, page, value);
  defaultItemCode_ = defaultItemCode;
  EventLoop* loop = EventLoop::Current();
  int result = Dialog::DoModal(loop ? loop->MainWindow() : nullptr);
  modal_ = 0;
  return result;
}

int CNewGameItemDlg::DoModaless(int page, int value, int, int ownerFlag) {
  if (IsCreated()) return 0;
  ResetState(0, page, value);
  // The window always lives in the main window's tree; the owner flag
  // only chose its owner among the desktop's windows.
  (void)ownerFlag;
  EventLoop* loop = EventLoop::Current();
  if (!loop || !CreateModeless(loop->MainWindow())) return 0;
  ShowWindow(true);
  BringWindowToTop();
  return 1;
}

Window* CNewGameItemDlg::ProvideControl(const controls::ControlSpec& spec) {
  switch (spec.id) {
    case item::kFunctionalItems: return &functionalButton_;
    case item::kMyItems: return &myItemButton_;
    case item::kChargeCash: return &chargeButton_;
    case item::kClose: return &closeButton_;
    case item::kCollectMoney: return &collectButton_;
    default: return nullptr;
  }
}

void CNewGameItemDlg::SkinButtons() {
  collectButton_.ShowWindow(false);
  functionalButton_.Init(10, 39, ".\\image\\GameItem\\Btn_FunctionalItem.bmp", 4, "");
  myItemButton_.Init(129, 39, ".\\image\\GameItem\\Btn_MyItem.bmp", 4, "");
  chargeButton_.Init(247, 39, ".\\image\\GameItem\\Btn_ChargeCash.bmp", 4, "");
  closeButton_.Init(425, 425, ".\\image\\GameItem\\Btn_Close.bmp", 4, "");
}

bool CNewGameItemDlg::OnInitDialog() {
  if (background_.LoadBitmapFile(".\\image\\GameItem\\GameItemBack.bmp")) {
    background_.ResizeWnd(*this, 0, 0, true, nullptr);
    region_.SetWindowRgn(this, background_.View(), {255, 0, 255}, 0);
  } else {
    base::Log(base::LogLevel::Warn, "lobby", "item window: no background picture; the template size stays");
  }
  SkinButtons();
  for (int page = 0; page < kPageCount; ++page) {
    addresses_[static_cast<size_t>(page)].clear();
    browsers_[static_cast<size_t>(page)].reset();
  }
  for (int page = 0; page < kPageCount; ++page) CreateSSOWebGameItem(page);
  if (ValidPage(page_)) ShowTab(page_, 0);
  return true;
}

void CNewGameItemDlg::CreateSSOWebGameItem(int page) {
  if (!ValidPage(page) || browsers_[static_cast<size_t>(page)]) return;
  auto browser = std::make_unique<portal::CSSOWebBrowser>(library_);
  const std::array<int, 4> rect{item::kPageLeft, item::kPageTop, item::kPageRight, item::kPageBottom};
  if (!browser->Create(WS_VISIBLE, rect, this, item::kFirstPageId + page, &external_)) return;  // tried again later
  browser->Navigate("about:blank");
  browser->SetCallback_OnBeforeNavigate2(&OnItemPageNavigate);
  const std::string& address = addresses_[static_cast<size_t>(page)];
  if (!address.empty()) {
    browser->Navigate(address);
    browser->ResetUserNavigatedCount();
  }
  browsers_[static_cast<size_t>(page)] = std::move(browser);
}

portal::CSSOWebBrowser* CNewGameItemDlg::Browser(int page) const {
  return ValidPage(page) ? browsers_[static_cast<size_t>(page)].get() : nullptr;
}

const std::string& CNewGameItemDlg::PageAddress(int page) const {
  static const std::string kNone;
  return ValidPage(page) ? addresses_[static_cast<size_t>(page)] : kNone;
}

void CNewGameItemDlg::EnablePageButtons() {
  for (ui::CMyButton* button : {&collectButton_, &functionalButton_, &myItemButton_, &chargeButton_})
    if (button->IsCreated()) button->EnableWindow(1);
}

void CNewGameItemDlg::DisablePageButton(int page) {
  ui::CMyButton* button = page == 1 ? &functionalButton_ : page == 2 ? &myItemButton_ : page == 3 ? &chargeButton_
                                                                                                  : nullptr;
  // A disabled page button shows its fixed image: the page shown.
  if (button && button->IsCreated()) button->EnableWindow(0);
}

void CNewGameItemDlg::ShowOnly(int page) {
  for (auto& browser : browsers_)
    if (browser) browser->ShowWindow(0);
  if (auto* browser = Browser(page)) browser->ShowWindow(1);
}

void CNewGameItemDlg::ShowTab(int page, int force) {
  if (!ValidPage(page)) return;
  EnablePageButtons();
  CreateSSOWebGameItem(page);
  ShowOnly(page);
  std::string address;
  if (page == 1) {
    address = g_FuncItemURL;
    if (defaultItemCode_ != 0) address += "&default=" + std::to_string(defaultItemCode_);
  } else if (page == 2) {
    address = g_MyItemURL;
  } else if (page == 3) {
    address = g_CashURL;
  } else {
    return;
  }
  DisablePageButton(page);
  ItemShopNavigate(address, page, force);
}

void CNewGameItemDlg::ItemShopNavigate(const std::string& address, int page, int force) {
  if (!ValidPage(page)) return;
  CreateSSOWebGameItem(page);
  portal::CSSOWebBrowser* browser = Browser(page);
  if (!browser) return;
  std::string& stored = addresses_[static_cast<size_t>(page)];
  bool reloadMyItems = page == 2 && refreshMyItems_;
  // The same address again keeps the page's state and history.
  if (address == stored && !force && !reloadMyItems) return;
  stored = address;
  browser->Navigate(address);
  browser->ResetUserNavigatedCount();
  refreshMyItems_ = 0;
}

void CNewGameItemDlg::RefreshMyItem() {
  if (page_ == 2) {
    DisablePageButton(2);
    ItemShopNavigate(g_MyItemURL, 2, 1);
  } else {
    refreshMyItems_ = 1;
  }
}

std::string CNewGameItemDlg::ItemUseAddress(int itemCode, int itemNo, const std::string& mode, int gameCode) const {
  std::string origin = OriginOf(g_MyItemURL);
  if (origin.empty()) origin = OriginOf(g_FuncItemURL);
  return origin + kItemUsePath + "?itemno=" + std::to_string(itemNo) + "&ItemCode=" + std::to_string(itemCode) +
         "&gamecode=" + std::to_string(gameCode) + "&mode=" + mode;
}

void CNewGameItemDlg::NowUse(int itemCode, int itemNo, const std::string& mode, int gameCode) {
  EnablePageButtons();
  CreateSSOWebGameItem(2);
  ShowOnly(2);
  DisablePageButton(2);
  ItemShopNavigate(ItemUseAddress(itemCode, itemNo, mode, gameCode), 2, 1);
}

bool CNewGameItemDlg::HandlePageNavigation(std::string_view address) {
  std::optional<ItemPageEvent> event = ParseItemPageEvent(address);
  if (!event) return false;
  // An unknown status keeps the last one, but acts on nothing: the
  // previous address's action is not repeated.
  if (event->status != kItemStatusNone) g_SSO_WEB_nStatus = event->status;
  g_SSO_WEB_nType = event->type;
  g_SSO_WEB_nItemCode = event->itemCode;
  g_SSO_WEB_nItemno = event->itemNo;
  CNewGameItemDlg* main = g_mainItemDialog;
  bool mainOpen = main && main->IsOpen();
  switch (event->status) {
    case kItemStatusBuyEnd:
      if (event->type == 1) AskItemList(0, 0);
      break;
    case kItemStatusUseItem:
      if (event->type == 1) {
        AskItemList(event->itemCode, event->itemNo);
        if (g_bJumpItemBuying && event->itemCode == kJumpItemCode) g_bJumpItemBuying = 0;
      }
      break;
    case kItemStatusReload:
      if (mainOpen) main->ShowTab(2, 0);
      break;
    case kItemStatusNowUse:
      if (mainOpen) main->NowUse(event->itemCode, event->itemNo, event->mode, event->gameCode);
      break;
    case kItemStatusNone: break;
  }
  return true;
}

void CNewGameItemDlg::ShowChargeCashDlg() {
  g_chargeRunner(this);
  if (auto* browser = Browser(page_)) browser->ExecJavascript(kReloadScript);
}

void CNewGameItemDlg::OnCommand(int id) {
  switch (id) {
    case item::kFunctionalItems:
      page_ = 1;
      ShowTab(1, 1);
      break;
    case item::kMyItems:
      page_ = 2;
      ShowTab(2, 1);
      break;
    case item::kChargeCash: g_chargeRunner(this); break;
    default: break;
  }
}

void CNewGameItemDlg::OnCancel() { Close(); }

void CNewGameItemDlg::Close() {
  FocusMainWindow();
  if (modal_) {
    EndDialog(kResultClosed);
    return;
  }
  for (auto& browser : browsers_) browser.reset();
  Destroy();
}

int CNewGameItemDlg::SafeClose() {
  if (!IsCreated()) return 0;
  SendMessage(WM_COMMAND, MakeWParam(item::kClose, controls::BN_CLICKED), 0);
  return 1;
}

LResult CNewGameItemDlg::WindowProc(MsgId msg, WParam w, LParam l) {
  switch (msg) {
    case WM_COMMAND: {
      int id = static_cast<int>(w & 0xFFFF);
      if (id == item::kFunctionalItems || id == item::kMyItems || id == item::kChargeCash) {
        OnCommand(id);
        return 0;
      }
      break;
    }
    case WM_LBUTTONDOWN:
      // The background drags the window.
      PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, l);
      return 0;
    case WM_DESTROY:
      for (auto& browser : browsers_) browser.reset();
      break;
    default: break;
  }
  return Dialog::WindowProc(msg, w, l);
}

void CNewGameItemDlg::OnPaint(PaintContext& pc) {
  if (background_.IsLoaded())
    background_.BitBlt(pc);
  else
    Dialog::OnPaint(pc);
}

}  // namespace tovrik::lobby
