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

// Calls visitor(message) with a fresh object of the class whose id is `id`,
// for code that handles every message alike (the local server, logging,
// fuzzing). False, without a call, for an id outside the catalogue.
template <typename Visitor>
bool VisitMessageClass(int id, Visitor&& visitor)
{
    switch (id) {
#define TOVRIK_PROTOCOL_VISIT_CLASS(msgId, name, direction, server) \
    case msgId: {                                                   \
        name message;                                               \
        visitor(message);                                           \
        return true;                                                \
    }
        TOVRIK_PROTOCOL_MESSAGES(TOVRIK_PROTOCOL_VISIT_CLASS)
#undef TOVRIK_PROTOCOL_VISIT_CLASS
    default:
        return false;
    }
}

}  // namespace tovrik::protocol
