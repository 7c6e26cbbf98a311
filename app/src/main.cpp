#include "app/ClientApp.h"

int main(int argc, char** argv) {
  CClientApp app(std::vector<std::string>(argv, argv + argc));
  app.InitInstance();
  return app.exitCode();
}
