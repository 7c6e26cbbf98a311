#include "app/ClientDlg.h"

#include "app/LaunchParams.h"
#include "platform/MessageBox.h"
#include "portal/QXRunParam.h"

#include <SDL.h>

#include <algorithm>
#include <climits>

using tovrik::portal::CQXRunParam;
namespace runparam = tovrik::portal::runparam;

unsigned CClientDlg::AnalyzeArgument(const char* source) {
  CQXRunParam params;
  if (unsigned code = params.Load(source, runparam::LOAD_FROM_CMDARG)) return code;
  for (const char* name : {"ServIP", "ServPort", "AuthCookie", "DataCookie", "CpCookie"})
    if (!params.ExistsParam(name)) return runparam::LIB_MISSING_PARAM;
  g_ServIP = params.GetParam("ServIP").value_or("");
  g_ServPort = unsigned(int(std::clamp<long long>(PlainDecimal(params.GetParam("ServPort").value_or("")), INT_MIN, INT_MAX)));
  g_AuthCookie = params.GetParam("AuthCookie").value_or("");
  g_DataCookie = params.GetParam("DataCookie").value_or("");
  g_CpCookie = params.GetParam("CpCookie").value_or("");
  g_SpareParam = params.GetParam("SpareParam").value_or("");
  g_LoginGroup = GetGroupNo_BySpareParam(g_SpareParam);
  return 0;
}

// The screens and the controller are not part of this build yet: say so
// plainly and close, so that start-up can be run end to end.
int CClientDlg::DoModal() {
  SDL_Log("main window: master server %s:%u, login group %d; the screens are not built yet, closing",
          g_ServIP.c_str(), g_ServPort, g_LoginGroup);
  return tovrik::platform::IDCANCEL;
}
