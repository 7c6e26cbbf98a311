#pragma once
// The application object: start-up checks, the single-instance guard, and
// the one place every message box of the program passes through.

#include "platform/SingleInstance.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tovrik::app {

// The application title, the caption of the program's message boxes.
inline constexpr std::string_view kAppTitle = "코르반타 토브릭 장기";

// Where a message box goes once the main window can show the skinned one.
class IMessageBoxHost {
 public:
  virtual ~IMessageBoxHost() = default;
  // Closes the lobby's and the channel screen's progress boxes if they show.
  virtual void CloseProgressBoxes() = 0;
  // Shows the skinned message dialog over the main window; the button chosen.
  virtual int ShowMessageDialog(std::string_view text, std::string_view caption, unsigned type) = 0;
};

class CClientApp {
 public:
  // `args` is the command line, program path first.
  explicit CClientApp(std::vector<std::string> args);
  ~CClientApp();
  CClientApp(const CClientApp&) = delete;
  CClientApp& operator=(const CClientApp&) = delete;

  // Runs start-up and the main window; always false (the program ends when
  // it returns). exitCode() tells whether start-up stopped at a check.
  bool InitInstance();
  int exitCode() const { return exitCode_; }

  // Every message box of the program. Button sets OK, OK/Cancel and Yes/No
  // go to the skinned dialog while a main window hosts it; everything else
  // to the system box, with the application title as caption.
  int DoMessageBox(std::string_view text, unsigned type);

  // The main window attaches itself while it runs (null detaches).
  void SetMessageBoxHost(IMessageBoxHost* host) { messageHost_ = host; }

  // The guard, for the main window to answer requests to come to the front.
  tovrik::platform::SingleInstance* singleInstance() { return instanceGuard_.get(); }

 private:
  bool StopWith(std::string_view text);

  std::vector<std::string> args_;
  std::unique_ptr<tovrik::platform::SingleInstance> instanceGuard_;
  IMessageBoxHost* messageHost_ = nullptr;
  int exitCode_ = 0;
};

// The one application object of the process, null until it exists.
CClientApp* AfxGetClientApp();

// Shows a message box through the application object (or the system box
// before it exists), like every box of the program.
int AfxMessageBox(std::string_view text, unsigned type = 0);

}  // namespace tovrik::app
