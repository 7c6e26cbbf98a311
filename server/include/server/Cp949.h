#pragma once
// The wire carries Korean text in code page 949; the server's own texts and
// its configuration file are UTF-8.

#include "protocol/Cp949.h"

namespace tovrik::server {

using protocol::Cp949ToUtf8;
using protocol::Utf8ToCp949;

}  // namespace tovrik::server
