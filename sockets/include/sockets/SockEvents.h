#pragma once
// What the socket layer exchanges with the windows above it and with the
// event loop below it.

#include <cstdint>
#include <string>

namespace tovrik::sockets {

// Window message ids (window-message base 0x400 + offset).
inline constexpr int kMsgPacketNotify = 1524;     // one complete frame, to the main window
inline constexpr int kMsgDataReceive = 1825;      // readable (sent)
inline constexpr int kMsgDataClose = 1826;        // closed or broken (posted, once)
inline constexpr int kMsgDataConnect = 1827;      // connected (sent)
inline constexpr int kMsgDataConnectFailure = 1828;  // connect failed (posted)
// Frames were left in a receive stream after one readiness' share (posted
// by the command window to itself, so that input and timers run between).
inline constexpr int kMsgDataCutMore = 1829;
// How many frames one readiness message hands to the main window at most.
inline constexpr int kFramesPerTurn = 32;

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

// The event loop's socket readiness hook, as a socket sees it. Events come
// back as the socket's OnConnect, OnReceive, OnSend and OnClose, in the order
// of an asynchronous socket: connect, then write; read while bytes wait;
// close once after the last byte was read; write again only when asked.
class ISockReadiness {
public:
    virtual ~ISockReadiness() = default;
    // Starts watching a socket whose connect() is under way.
    virtual void WatchConnecting(int fd) = 0;
    // Asks for one more write event once the socket accepts data again.
    virtual void RequestWrite(int fd) = 0;
    // Must run before the descriptor is closed.
    virtual void Unwatch(int fd) = 0;
};

}  // namespace tovrik::sockets
