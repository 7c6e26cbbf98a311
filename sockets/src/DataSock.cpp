#include "sockets/DataSock.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "net/CommMsg.h"
#include "net/MsgBuffer.h"
#include "platform/SocketNotifier.h"

namespace tovrik::sockets {

using net::CCommMsg;
using net::CPacketPool;
using net::CStreamBuf;
using net::kHeaderSize;
using net::kOffSeqNo;
using net::WriteU16;

namespace {

std::atomic<std::uint64_t> g_NextSerial{1};

constexpr int kErrHostNotFound = 11001;
constexpr int kErrAddrNotAvail = 10049;

std::string Format(const char* pattern, int a)
{
    char text[160];
    std::snprintf(text, sizeof text, pattern, a);
    return text;
}

std::string Format(const char* pattern, int a, int b)
{
    char text[160];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

bool IsWouldBlock(int e)
{
    return e == EAGAIN || e == EWOULDBLOCK || e == EINTR;
}

bool Resolve(const std::string& address, int port, sockaddr_in& out)
{
    std::memset(&out, 0, sizeof out);
    out.sin_family = AF_INET;
    out.sin_port = htons(static_cast<std::uint16_t>(port));
    if (inet_pton(AF_INET, address.c_str(), &out.sin_addr) == 1) return true;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(address.c_str(), nullptr, &hints, &found) != 0 || !found) return false;
    out.sin_addr = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
    freeaddrinfo(found);
    return true;
}

}  // namespace

CDataSock::CDataSock()
    : m_Serial(g_NextSerial++)
{
    m_SendStream.Init(CStreamBuf::kSocketStreamSize);
    m_RecvStream.Init(CStreamBuf::kSocketStreamSize);
}

CDataSock::~CDataSock()
{
    Close();
}

void CDataSock::Close()
{
    if (m_Fd >= 0) {
        if (m_pReadiness) m_pReadiness->Unwatch(m_Fd);
        ::close(m_Fd);
        m_Fd = -1;
    }
    m_bActive = false;
    m_bConnecting = false;
}

bool CDataSock::ConnectSocket(ISockWindow* window, ISockReadiness* readiness, const std::string& address, int port,
                              int number)
{
    Close();
    m_pWindow = window;
    m_pReadiness = readiness;
    m_nNumber = number;
    m_bClosePosted = false;
    m_SendSeq = 0;
    m_SendStream.Clear();
    m_RecvStream.Clear();
    m_LocalAddress.clear();
    m_nLocalPort = 0;

    if (m_SendStream.GetCapacity() <= 0 || m_RecvStream.GetCapacity() <= 0 || !readiness) {
        m_ErrorText = Format("CDataSock::Connect() error : Can't Create Class (Socket ID=%d)", number);
        PostConnectFailure();
        return false;
    }
    m_Fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_Fd < 0) {
        m_ErrorText = Format("CDataSock::Create() error : %d (Socket ID=%d)", platform::WinsockErrorFromErrno(errno), number);
        PostConnectFailure();
        return false;
    }
    int error = 0;
    sockaddr_in target;
    if (port <= 0 || port > 65535) {
        error = kErrAddrNotAvail;
    } else if (!Resolve(address, port, target)) {
        error = kErrHostNotFound;
    } else if (::connect(m_Fd, reinterpret_cast<const sockaddr*>(&target), sizeof target) != 0 && errno != EINPROGRESS) {
        error = platform::WinsockErrorFromErrno(errno);
    }
    if (error != 0) {
        m_ErrorText = Format("CDataSock::Connect() error : %d (Socket ID=%d)", error, number);
        ::close(m_Fd);
        m_Fd = -1;
        PostConnectFailure();
        return false;
    }
    // Even an immediate success is reported through the readiness hook, so
    // that 1827 always arrives from the loop, as with an asynchronous socket.
    m_bActive = true;
    m_bConnecting = true;
    m_pReadiness->WatchConnecting(m_Fd);
    return true;
}

void CDataSock::PostClose()
{
    if (m_bClosePosted) return;
    m_bClosePosted = true;
    if (m_pWindow) m_pWindow->PostSockMessage(kMsgDataClose, m_nNumber, m_Serial);
}

void CDataSock::PostConnectFailure()
{
    if (m_pWindow) m_pWindow->PostSockMessage(kMsgDataConnectFailure, m_nNumber, m_Serial);
}

void CDataSock::Break()
{
    m_bActive = false;
    // Nothing more will be read or written: stop the loop from reporting a
    // hung-up descriptor over and over.
    if (m_Fd >= 0 && m_pReadiness) m_pReadiness->Unwatch(m_Fd);
    PostClose();
}

void CDataSock::SendData(const char* bytes, int length)
{
    if (!m_bActive || !bytes || length <= 0) return;
    CPacketPool copy(length);
    char* frame = copy.GetBuffer();
    if (!frame || length < kHeaderSize) return;
    std::memcpy(frame, bytes, static_cast<std::size_t>(length));
    ++m_SendSeq;
    WriteU16(frame + kOffSeqNo, m_SendSeq);
    if (!CCommMsg::EncodeAll(frame, length)) return;
    if (m_SendStream.AddData(frame, length) == 0) {
        // The peer has not taken 95 000 bytes: the connection is useless.
        Break();
        return;
    }
    Flush();
}

void CDataSock::Flush()
{
    if (!m_bActive || m_bConnecting || m_Fd < 0) return;
    while (m_SendStream.GetUsedSize() > 0) {
        const ssize_t sent = ::send(m_Fd, m_SendStream.GetStartPointer(), static_cast<std::size_t>(m_SendStream.GetUsedSize()),
                                    MSG_NOSIGNAL);
        if (sent < 0) {
            if (IsWouldBlock(errno)) break;
            Break();
            return;
        }
        m_SendStream.DelData(static_cast<int>(sent));
    }
    if (m_SendStream.GetUsedSize() > 0 && m_pReadiness) m_pReadiness->RequestWrite(m_Fd);
}

int CDataSock::ReceiveData()
{
    if (!m_bActive || m_bConnecting || m_Fd < 0) return 0;
    const int room = m_RecvStream.GetFreeSize();
    if (room <= 0) {
        // A full stream holds no complete frame and never will.
        Break();
        return 0;
    }
    const ssize_t got = ::recv(m_Fd, m_RecvStream.GetEndPointer(), static_cast<std::size_t>(room), 0);
    if (got < 0 && IsWouldBlock(errno)) return 0;
    if (got <= 0 || !m_RecvStream.AddUsedSize(static_cast<int>(got))) {
        Break();
        return 0;
    }
    return static_cast<int>(got);
}

void CDataSock::OnReceive(int error)
{
    if (!m_bActive) return;
    if (error == kErrNetDown) {
        Break();
        return;
    }
    if (m_pWindow) m_pWindow->SendSockMessage(kMsgDataReceive, m_nNumber, m_Serial);
}

void CDataSock::OnSend(int error)
{
    if (!m_bActive) return;
    if (error == kErrNetDown) {
        Break();
        return;
    }
    Flush();
}

void CDataSock::OnConnect(int error)
{
    m_bConnecting = false;
    if (error != 0) {
        m_ErrorText = Format("CDataSock::OnConnect() error : %d (Socket ID=%d)", error, m_nNumber);
        m_bActive = false;
        if (m_Fd >= 0 && m_pReadiness) m_pReadiness->Unwatch(m_Fd);
        PostConnectFailure();
        return;
    }
    ReadLocalAddress();
    if (m_pWindow) m_pWindow->SendSockMessage(kMsgDataConnect, m_nNumber, m_Serial);
}

void CDataSock::OnClose(int /*error*/)
{
    Break();
}

void CDataSock::OnOutOfBandData(int error)
{
    if (error == kErrNetDown) Break();
}

void CDataSock::ReadLocalAddress()
{
    sockaddr_in local{};
    socklen_t len = sizeof local;
    if (::getsockname(m_Fd, reinterpret_cast<sockaddr*>(&local), &len) != 0) return;
    char text[INET_ADDRSTRLEN] = {};
    if (inet_ntop(AF_INET, &local.sin_addr, text, sizeof text)) m_LocalAddress = text;
    m_nLocalPort = ntohs(local.sin_port);
}

}  // namespace tovrik::sockets
