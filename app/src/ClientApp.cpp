#include "app/ClientApp.h"

#include "app/ClientDlg.h"
#include "app/LaunchParams.h"
#include "base/Log.h"
#include "crash/ExHandle.h"
#include "platform/MessageBox.h"
#include "portal/PortalLibrary.h"
#include "portal/QXRunParam.h"
#include "portal/SystemBrowser.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>

using namespace tovrik::platform;
namespace base = tovrik::base;
using namespace tovrik::portal;
namespace portal = tovrik::portal;

namespace tovrik::app {

namespace {

constexpr char kAlreadyRunning[] = "이미 다른 코르반타 프로그램이 실행중입니다";
constexpr char kStartFromHomePage[] =
    "이 프로그램은 코르반타 홈페이지에서\n실행해야만 올바르게 작동합니다.\n지금 홈페이지로 이동하시겠습니까?";
constexpr char kCannotInitialise[] = "프로그램에 필요한 환경을 초기화할 수 없습니다.\r\n\r\n코드 : %s";
constexpr char kBadEnvironment[] = "프로그램에 필요한 환경이 올바르지 않습니다.";
constexpr char kNotAuthenticated[] = "인증이 되지 않았습니다. 로그인 하시기 바랍니다.";
constexpr char kSocketsUnavailable[] = "Windows 소켓 초기화에 실패하였습니다.";

constexpr size_t kServIPMax = 16;

CClientApp* g_theApp = nullptr;

// The module's own words for the failure, else the bare code: a person
// reads this, and the symbolic code names are for the log.
std::string CodeText(unsigned code) {
  base::Log(base::LogLevel::Error, "app", "launch parameters not read: ", code, " ",
            portal::QXRUNPARAMAPIFUNC::ConvertRetCode2String(code));
  std::string text = portal::QXRUNPARAMAPIFUNC::GetModuleRetCodeString(code);
  if (text.empty()) {
    char formatted[16];
    std::snprintf(formatted, sizeof formatted, "E%05u", code);
    text = formatted;
  }
  char message[512];
  std::snprintf(message, sizeof message, kCannotInitialise, text.c_str());
  return message;
}

// Data files are opened relative to the program's folder. The portal
// starts the program by its full path; when the path carries no folder
// (started through PATH) the kernel's record of the executable tells.
void EnterProgramFolder() {
  if (portal::QXRUNPARAMAPIFUNC_CMDARG::SetCurPathToRunFilePath() == 0) return;
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || ::chdir(exe.parent_path().c_str()) != 0)
    base::Log(base::LogLevel::Warn, "app", "the program folder cannot be made the current directory");
}

// Sockets on this platform need no library start-up, but a write to a
// connection the peer has closed must come back as an error instead of
// ending the process with SIGPIPE.
bool StartSockets() {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  return sigaction(SIGPIPE, &ignore, nullptr) == 0;
}

}  // namespace

CClientApp* AfxGetClientApp() { return g_theApp; }

int AfxMessageBox(std::string_view text, unsigned type) {
  if (g_theApp) return g_theApp->DoMessageBox(text, type);
  return ShowMessageBox(kAppTitle, text, type);
}

CClientApp::CClientApp(std::vector<std::string> args) : args_(std::move(args)) {
  if (!g_theApp) g_theApp = this;
}

CClientApp::~CClientApp() {
  if (g_theApp == this) g_theApp = nullptr;
}

bool CClientApp::StopWith(std::string_view text) {
  DoMessageBox(text, MB_OK);
  exitCode_ = 1;
  return false;
}

bool CClientApp::InitInstance() {
  instanceGuard_ = std::make_unique<SingleInstance>("PennabelMutex");
  if (instanceGuard_->Acquire() == SingleInstance::State::kAlreadyRunning) {
    if (!instanceGuard_->AskFirstInstanceToFront())
      base::Log(base::LogLevel::Warn, "app", "the running copy did not answer the request to come to the front");
    instanceGuard_.reset();
    return StopWith(kAlreadyRunning);
  }

  tovrik::crash::CExHandle::SetExeptionInfo("CorvantaTovrik", "CorvantaTovrik", 1, portal::ReadMachineRegistryString);

  if (args_.size() <= 1) {
    if (DoMessageBox(kStartFromHomePage, MB_YESNO) == IDYES && !portal::OpenInSystemBrowser(TOVRIK_HOME_PAGE_URL))
      base::Log(base::LogLevel::Warn, "app", "the home page ", TOVRIK_HOME_PAGE_URL, " could not be opened");
    exitCode_ = 1;
    return false;
  }

  if (unsigned code = CClientDlg::AnalyzeArgument()) return StopWith(CodeText(code));
  if (g_ServIP.empty() || g_ServIP.size() > kServIPMax) return StopWith(kBadEnvironment);
  if (g_AuthCookie.empty()) return StopWith(kNotAuthenticated);

  EnterProgramFolder();
  if (!StartSockets()) return StopWith(kSocketsUnavailable);
  // Windows' rich-edit and 3-D control libraries have no counterpart to
  // start here: the platform layer draws its own controls.

  CClientDlg dialog;
  dialog.DoModal();
  instanceGuard_.reset();
  return false;
}

int CClientApp::DoMessageBox(std::string_view text, unsigned type) {
  unsigned buttons = type & MB_TYPEMASK;
  bool okOrYesNo = buttons == MB_OK || buttons == MB_OKCANCEL || buttons == MB_YESNO;
  if ((type & MB_ICONMASK) == 0 && (okOrYesNo || buttons == MB_YESNOCANCEL)) type |= MB_ICONEXCLAMATION;
  if (messageHost_ && okOrYesNo) {
    messageHost_->CloseProgressBoxes();
    return messageHost_->ShowMessageDialog(text, kAppTitle, type);
  }
  return ShowMessageBox(kAppTitle, text, type);
}

}  // namespace tovrik::app
