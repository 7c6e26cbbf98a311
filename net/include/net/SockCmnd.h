#pragma once
// The command window of the sockets: it receives their notifications, cuts
// complete frames out of each connection's receive stream and hands every
// frame, synchronously, to the main window.

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "net/SockEvents.h"
#include "net/SockMan.h"

namespace tovrik::net {

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

class CSockCmnd : public ISockWindow {
public:
    // Runs a posted message later on the user-interface thread.
    using Poster = std::function<void(std::function<void()>)>;

    explicit CSockCmnd(CSockMan& sockMan = SockMan);
    CSockCmnd(const CSockCmnd&) = delete;
    CSockCmnd& operator=(const CSockCmnd&) = delete;

    // Initialises the socket manager with this window. Without a poster,
    // posted messages wait in this object until DispatchPosted runs them.
    bool Init(ISocketClient* mainWindow, ISockReadiness* readiness, Poster poster = {});

    void SendSockMessage(int msg, int number, std::uint64_t serial) override;
    void PostSockMessage(int msg, int number, std::uint64_t serial) override;
    void ShowSockError(const std::string& text) override;

    // Runs the posted messages queued so far (and any they post); returns
    // how many ran.
    int DispatchPosted();

    void OnDataReceive(int number, std::uint64_t serial);
    void OnDataClose(int number, std::uint64_t serial);
    void OnDataConnect(int number, std::uint64_t serial);
    void OnDataConnectFailure(int number, std::uint64_t serial);

private:
    void Dispatch(int msg, int number, std::uint64_t serial);
    void Release(int number, std::uint64_t serial);

    CSockMan& m_SockMan;
    ISocketClient* m_pMainWindow = nullptr;
    Poster m_Poster;
    std::deque<std::function<void()>> m_Posted;
};

}  // namespace tovrik::net
