#pragma once
// One non-blocking TCP connection with its send and receive streams. The
// readiness hook's events arrive as OnConnect, OnReceive, OnSend and OnClose;
// the socket turns them into the command window's messages: readable and
// connected are sent, closed and connect failure are posted (closed at most
// once). A sent message may end with this socket deleted, so each handler
// sends last.

#include <cstdint>
#include <string>

#include "sockets/SockEvents.h"
#include "net/StreamBuf.h"

namespace tovrik::sockets {

// Socket library error codes, as the error texts show them.
inline constexpr int kErrWouldBlock = 10035;
inline constexpr int kErrNetDown = 10050;

class CDataSock {
public:
    CDataSock();
    ~CDataSock();
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

    void Close();

    bool IsActive() const { return m_bActive; }
    int GetNumber() const { return m_nNumber; }
    std::uint64_t GetSerial() const { return m_Serial; }
    std::uint16_t GetSendSeq() const { return m_SendSeq; }
    const std::string& GetErrorText() const { return m_ErrorText; }
    const std::string& GetLocalAddress() const { return m_LocalAddress; }
    int GetLocalPort() const { return m_nLocalPort; }
    net::CStreamBuf& GetSendStream() { return m_SendStream; }
    net::CStreamBuf& GetRecvStream() { return m_RecvStream; }
    int GetHandle() const { return m_Fd; }
    // Frames are waiting in the receive stream for the command window's next
    // turn; reading more before they are handed out would only fill it.
    bool IsCutPending() const { return m_bCutPending; }
    void SetCutPending(bool pending) { m_bCutPending = pending; }

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
    bool m_bCutPending = false;
    std::string m_LocalAddress;
    int m_nLocalPort = 0;
    std::uint16_t m_SendSeq = 0;
    std::string m_ErrorText;
    net::CStreamBuf m_SendStream;
    net::CStreamBuf m_RecvStream;
};

}  // namespace tovrik::sockets
