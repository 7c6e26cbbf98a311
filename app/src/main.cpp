#include "app/ClientApp.h"
#include "platform/LogSink.h"

int main(int argc, char** argv) {
  tovrik::platform::InstallSdlLogSink();
  tovrik::app::CClientApp app(std::vector<std::string>(argv, argv + argc));
  app.InitInstance();
  return app.exitCode();
}
