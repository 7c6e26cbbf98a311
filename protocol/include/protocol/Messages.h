#pragma once

// Every message class, for code that dispatches on the message id.

#include "protocol/LobbyMessages.h"
#include "protocol/LoginMessages.h"
#include "protocol/MessageCatalogue.h"
#include "protocol/RelayMessages.h"

namespace tovrik::protocol {

// Each catalogue entry names a class with the same id.
#define TOVRIK_PROTOCOL_CHECK_CLASS_ID(id, name, direction, server) \
    static_assert(name::MSGID == (id), #name " id differs from the catalogue");
TOVRIK_PROTOCOL_MESSAGES(TOVRIK_PROTOCOL_CHECK_CLASS_ID)
#undef TOVRIK_PROTOCOL_CHECK_CLASS_ID

}  // namespace tovrik::protocol
