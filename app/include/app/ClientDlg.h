#pragma once
// The main window and controller. Until its screens exist, running it shows
// what this build holds and ends.

#include <string>

class CClientDlg {
 public:
  // Reads the launch parameters through the run-parameter module into the
  // g_ globals. 0 when every required one was read, the module's code when
  // it cannot load them, 2010 when a required one is missing. With no
  // source the module reads this process's command line; a source is a
  // command-line text of its own. Needs no window.
  static unsigned AnalyzeArgument(const char* source = nullptr);

  // Runs the window modally; returns how it was closed.
  int DoModal();
};
