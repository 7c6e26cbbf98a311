// QXWebBanner: the portal's exit banner. Answers of OpenWebBanner:
//   3001  the banner was shown and the player closed it
//   3002  the banner was shown and the player chose to stay
//   3003  there was nothing to show
// This portal runs no banner campaign: nothing is ever shown, and the
// answer lets the player's exit go on.

#include "portal/PortalExports.h"

TOVRIK_PORTAL_EXPORT int OpenWebBanner(void* /*window*/, int /*site*/, const char* /*productCode*/, int /*kind*/) {
  return 3003;
}
