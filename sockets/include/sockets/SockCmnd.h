#pragma once
// The command window of the sockets: a hidden child window (control id 5454)
// of the main window. It receives the readiness of every socket from the
// event loop and the sockets' notifications (1825-1828), cuts complete frames
// out of each connection's receive stream and hands every frame,
// synchronously, to the main window: at most kFramesPerTurn per message, so
// that a burst never holds back the loop's input, timers and posted messages.

#include <cstdint>
#include <string>

#include "sockets/SockEvents.h"
#include "sockets/SockMan.h"
#include "platform/Window.h"

namespace tovrik::sockets {

// What the main window does with the socket layer's notifications.
class ISocketClient {
public:
    virtual ~ISocketClient() = default;
    // Message 1524: one complete, still scrambled frame.
    virtual void OnPacketNotify(const FrameRecord& record) = 0;
    // The connection in slot `number` closed or broke; released afterwards.
    virtual void OnSocketClose(int number) = 0;
    // The connection attempt in slot `number` failed; released afterwards.
    virtual void OnSocketConnectFailure(int number) = 0;
    // A socket error text for a message box.
    virtual void ShowSocketError(const std::string& text) = 0;
};

class CSockCmnd : public platform::Window, public ISockWindow, public ISockReadiness {
public:
    // Readiness reports from the event loop: wParam the descriptor, lParam
    // the event and error (platform::MakeSelectReply).
    static constexpr platform::MsgId kMsgSocketSelect = 0x0373;

    explicit CSockCmnd(CSockMan& sockMan = SockMan);
    ~CSockCmnd() override;

    // Creates the hidden window under `parent` (the main window) in the
    // current event loop and initialises the socket manager with it. False
    // when the window cannot be created (a host name that does not resolve
    // is no failure: see CSockMan::Init).
    bool Init(platform::Window* parent, ISocketClient* mainWindow);

    platform::LResult WindowProc(platform::MsgId msg, platform::WParam w, platform::LParam l) override;

    void SendSockMessage(int msg, int number, std::uint64_t serial) override;
    void PostSockMessage(int msg, int number, std::uint64_t serial) override;
    void ShowSockError(const std::string& text) override;

    void WatchConnecting(int fd) override;
    void RequestWrite(int fd) override;
    void Unwatch(int fd) override;

    void OnDataReceive(int number, std::uint64_t serial);
    void OnDataClose(int number, std::uint64_t serial);
    void OnDataConnect(int number, std::uint64_t serial);
    void OnDataConnectFailure(int number, std::uint64_t serial);
    void OnDataCutMore(int number, std::uint64_t serial);

private:
    void OnSocketSelect(int fd, unsigned event, int error);
    void Release(int number, std::uint64_t serial);
    void CutFrames(int number, std::uint64_t serial);

    CSockMan& m_SockMan;
    ISocketClient* m_pMainWindow = nullptr;
};

}  // namespace tovrik::sockets
