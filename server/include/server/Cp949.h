#pragma once
// The wire carries Korean text in code page 949; the server's own texts and
// its configuration file are UTF-8.

#include "base/CodePage.h"

namespace tovrik::server {

using base::Cp949ToUtf8;
using base::Utf8ToCp949;

}  // namespace tovrik::server
