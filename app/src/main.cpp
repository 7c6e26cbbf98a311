#include "app/ClientApp.h"
#include "lobby/ClientScreenSet.h"
#include "platform/LogSink.h"

int main(int argc, char** argv) {
  tovrik::platform::InstallSdlLogSink();
  tovrik::lobby::InstallClientScreens();
  tovrik::app::CClientApp app(std::vector<std::string>(argv, argv + argc));
  app.InitInstance();
  return app.exitCode();
}
