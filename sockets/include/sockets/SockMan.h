#pragma once
// The process's connections: 20 numbered slots, each empty or holding one
// CDataSock. The slot number is how the rest of the client names a
// connection; -1 means none.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "sockets/DataSock.h"
#include "sockets/SockEvents.h"

namespace tovrik::sockets {

class CSockMan {
public:
    static constexpr int kMaxSockets = 20;

    CSockMan() = default;
    ~CSockMan();
    CSockMan(const CSockMan&) = delete;
    CSockMan& operator=(const CSockMan&) = delete;

    // Closes every socket, keeps the notification window and readiness hook,
    // and looks up this computer's host name and first address. When the
    // name cannot be had or does not resolve, the address is the first
    // interface's that is up and not the loopback, else 127.0.0.1, and the
    // error text tells why; start-up goes on either way (true).
    bool Init(ISockWindow* window, ISockReadiness* readiness);
    void Destroy();

    // Starts a connection in the lowest empty slot. -1 when every slot is in
    // use, or when the attempt fails at once (its error text is shown and the
    // slot emptied again).
    int ConnectSocket(const std::string& address, int port);
    void SendData(int number, const char* bytes, int length);
    int ReceiveData(int number);
    CDataSock* GetDataSocketPtr(int number) const;
    // The socket in slot `number` if it is still the one with `serial`.
    CDataSock* FindSocket(int number, std::uint64_t serial) const;
    // The socket using descriptor `fd`, or null.
    CDataSock* FindByHandle(int fd) const;
    // Deletes the socket in the slot (closing it), without notification.
    bool CloseDataSocket(int number);

    const std::string& GetServerIP() const { return m_ServerIP; }
    const std::string& GetHostName() const { return m_HostName; }
    const std::string& GetErrorText() const { return m_ErrorText; }
    bool IsInitialised() const { return m_bInit; }

private:
    ISockWindow* m_pWindow = nullptr;
    ISockReadiness* m_pReadiness = nullptr;
    bool m_bInit = false;
    std::string m_ServerIP;
    std::string m_HostName;
    std::string m_ErrorText;
    std::array<std::unique_ptr<CDataSock>, kMaxSockets> m_Slots;
};

extern CSockMan SockMan;

}  // namespace tovrik::sockets
