#pragma once
// What the socket layer exchanges with the windows above it and with the
// event loop below it.

#include <cstdint>
#include <string>

namespace tovrik::net {

// Window message ids (window-message base 0x400 + offset).
inline constexpr int kMsgPacketNotify = 1524;     // one complete frame, to the main window
inline constexpr int kMsgDataReceive = 1825;      // readable (sent)
inline constexpr int kMsgDataClose = 1826;        // closed or broken (posted, once)
inline constexpr int kMsgDataConnect = 1827;      // connected (sent)
inline constexpr int kMsgDataConnectFailure = 1828;  // connect failed (posted)

inline constexpr int kSockCmndControlId = 5454;

// Handed with kMsgPacketNotify. The frame is a private copy of the still
// scrambled frame, valid only during the call; the receiver may unscramble it
// in place. `nLen` is the length on the wire (16 + DataLen); the copy holds
// `nCapacity` bytes, at least nLen.
struct FrameRecord {
    std::int32_t nSockID = -1;
    std::int32_t nMsgID = 0;
    std::int32_t nLen = 0;
    char* pData = nullptr;
    std::int32_t nCapacity = 0;
};

// The window that socket objects notify (the command window). `serial`
// names the socket object: a notification for a socket that no longer
// occupies its slot is stale and must be dropped.
class ISockWindow {
public:
    virtual ~ISockWindow() = default;
    // Handled before the call returns.
    virtual void SendSockMessage(int msg, int number, std::uint64_t serial) = 0;
    // Handled later, on the same thread, in the order posted.
    virtual void PostSockMessage(int msg, int number, std::uint64_t serial) = 0;
    // A failure the user must see (a message box).
    virtual void ShowSockError(const std::string& text) = 0;
};

// Readiness of one socket, as the event loop reports it.
class ISockReadyHandler {
public:
    virtual ~ISockReadyHandler() = default;
    virtual void OnSocketReady(bool readable, bool writable, bool failed) = 0;
};

// The event loop's socket readiness hook: it watches registered descriptors
// on the user-interface thread and calls their handler when they are ready.
class ISockReadiness {
public:
    virtual ~ISockReadiness() = default;
    virtual void Watch(int fd, ISockReadyHandler* handler, bool wantWrite) = 0;
    virtual void SetWantWrite(int fd, bool wantWrite) = 0;
    virtual void Unwatch(int fd) = 0;
};

}  // namespace tovrik::net
