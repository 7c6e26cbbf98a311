#pragma once
// Cuts complete frames off the front of a connection's receive stream, by
// the header's signature and length, while the frame is still scrambled.

#include <vector>

#include "net/StreamBuf.h"

namespace tovrik::net {

enum class CutStatus {
    kNeedMore,  // no complete frame yet (garbage before a signature is dropped)
    kFrame,     // one frame moved into the copy
    kBroken,    // the header names a frame that can never fit the stream
};

struct CutFrameInfo {
    int msgId = 0;    // unscrambled id; 0 for a header that is not scrambled
    int wireLen = 0;  // 16 + DataLen
};

// On kFrame, `copy` holds the frame, sized for its decompressed form when the
// payload is compressed, and the frame is removed from the stream.
CutStatus CutFrame(CStreamBuf& stream, std::vector<char>& copy, CutFrameInfo& info);

}  // namespace tovrik::net
