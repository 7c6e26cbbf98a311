#pragma once
// One non-blocking TCP connection with its send and receive streams. Events
// arrive from the readiness hook; the socket turns them into the command
// window's messages: readable and connected are sent, closed and connect
// failure are posted (closed at most once).

#include <cstdint>
#include <memory>
#include <string>

#include "net/SockEvents.h"
#include "net/StreamBuf.h"

namespace tovrik::net {

// Socket library error codes, as the error texts show them.
inline constexpr int kErrWouldBlock = 10035;
inline constexpr int kErrNetDown = 10050;

// Turns an errno value into the socket library's error code.
int SocketErrorCode(int errnoValue);

class CDataSock : public ISockReadyHandler {
public:
    CDataSock();
    ~CDataSock() override;
    CDataSock(const CDataSock&) = delete;
    CDataSock& operator=(const CDataSock&) = delete;

    // Starts a connection to `address` (dotted text or host name) and
    // `port`. True once the attempt is under way; on failure stores the
    // error text, posts 1828 and returns false.
    bool ConnectSocket(ISockWindow* window, ISockReadiness* readiness, const std::string& address, int port,
                       int number);

    // Scrambles a copy of the frame with the next sequence number and queues
    // it for sending.
    void SendData(const char* bytes, int length);
    // Reads what has arrived into the receive stream; the count, or 0.
    int ReceiveData();

    // Windows-style event handlers; `error` is a socket library code.
    void OnReceive(int error);
    void OnSend(int error);
    void OnConnect(int error);
    void OnClose(int error);
    void OnOutOfBandData(int error);

    void OnSocketReady(bool readable, bool writable, bool failed) override;

    void Close();

    bool IsActive() const { return m_bActive; }
    int GetNumber() const { return m_nNumber; }
    std::uint64_t GetSerial() const { return m_Serial; }
    std::uint16_t GetSendSeq() const { return m_SendSeq; }
    const std::string& GetErrorText() const { return m_ErrorText; }
    const std::string& GetLocalAddress() const { return m_LocalAddress; }
    int GetLocalPort() const { return m_nLocalPort; }
    CStreamBuf& GetSendStream() { return m_SendStream; }
    CStreamBuf& GetRecvStream() { return m_RecvStream; }
    int GetHandle() const { return m_Fd; }

private:
    void Flush();
    void Break();
    void PostClose();
    void PostConnectFailure();
    void ReadLocalAddress();

    int m_Fd = -1;
    ISockWindow* m_pWindow = nullptr;
    ISockReadiness* m_pReadiness = nullptr;
    int m_nNumber = -1;
    std::uint64_t m_Serial;
    bool m_bActive = false;
    bool m_bClosePosted = false;
    bool m_bConnecting = false;
    std::string m_LocalAddress;
    int m_nLocalPort = 0;
    std::uint16_t m_SendSeq = 0;
    std::string m_ErrorText;
    CStreamBuf m_SendStream;
    CStreamBuf m_RecvStream;
    // Cleared on destruction: a handler run from an event may delete this
    // socket, and the event code must not touch it afterwards.
    std::shared_ptr<bool> m_pAlive;
};

}  // namespace tovrik::net
