#include "robot/RobotConnection.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "net/CommMsg.h"
#include "net/FrameCutter.h"
#include "net/MsgHeader.h"

namespace tovrik::robot {

namespace {

// A peer that has not taken this much of our output is not reading.
constexpr std::size_t kMaxQueuedOutput = 1 << 20;

bool ResolveIPv4(const std::string& host, in_addr& out)
{
    if (::inet_pton(AF_INET, host.c_str(), &out) == 1)
        return true;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr)
        return false;
    out = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
    ::freeaddrinfo(found);
    return true;
}

} // namespace

CRobotConnection::CRobotConnection(base::Poller& poller, IConnectionListener& listener)
    : poller_(poller), listener_(listener)
{
}

CRobotConnection::~CRobotConnection() { Close(); }

bool CRobotConnection::Connect(const std::string& host, int port)
{
    Close();
    lastError_.clear();
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (port <= 0 || port > 65535 || !ResolveIPv4(host, address.sin_addr)) {
        lastError_ = "cannot resolve " + host + ":" + std::to_string(port);
        return false;
    }
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        lastError_ = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    const int yes = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    recv_.Init(net::CStreamBuf::kSocketStreamSize);
    send_.clear();
    sendStart_ = 0;
    sendSeq_ = 0;
    const int rc = ::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    if (rc != 0 && errno != EINPROGRESS) {
        lastError_ = std::string("connect: ") + std::strerror(errno);
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    connecting_ = true;
    wantWrite_ = true;
    key_ = poller_.Add(fd_, EPOLLIN | EPOLLOUT, this);
    if (key_ == 0) {
        lastError_ = "cannot watch the socket";
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    return true;
}

void CRobotConnection::Close()
{
    if (fd_ < 0)
        return;
    poller_.Remove(key_, fd_);
    ::close(fd_);
    fd_ = -1;
    key_ = 0;
    connecting_ = false;
    send_.clear();
    sendStart_ = 0;
    recv_.Clear();
}

void CRobotConnection::Fail(std::string reason)
{
    lastError_ = std::move(reason);
    Close();
    listener_.OnClosed(*this, lastError_);
}

bool CRobotConnection::SendFrame(const char* plainFrame, int length)
{
    if (fd_ < 0 || plainFrame == nullptr || length < net::kHeaderSize)
        return false;
    const std::size_t at = send_.size();
    send_.insert(send_.end(), plainFrame, plainFrame + length);
    char* frame = send_.data() + at;
    // Each connection numbers its frames from 1, and the number selects the
    // scrambling, as on the client's sockets.
    ++sendSeq_;
    net::WriteU16(frame + net::kOffSeqNo, sendSeq_);
    if (!net::CCommMsg::EncodeAll(frame, length)) {
        send_.resize(at);
        return false;
    }
    ++framesSent_;
    if (send_.size() - sendStart_ > kMaxQueuedOutput) {
        Fail("the server does not read");
        return false;
    }
    if (!connecting_)
        Flush();
    return fd_ >= 0;
}

void CRobotConnection::Flush()
{
    while (fd_ >= 0 && sendStart_ < send_.size()) {
        const ssize_t sent = ::send(fd_, send_.data() + sendStart_, send_.size() - sendStart_, MSG_NOSIGNAL);
        if (sent > 0) {
            sendStart_ += static_cast<std::size_t>(sent);
            continue;
        }
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (sent < 0 && errno == EINTR)
            continue;
        Fail(std::string("send: ") + std::strerror(errno));
        return;
    }
    if (sendStart_ == send_.size()) {
        send_.clear();
        sendStart_ = 0;
    } else if (sendStart_ > (1 << 16)) {
        send_.erase(send_.begin(), send_.begin() + static_cast<std::ptrdiff_t>(sendStart_));
        sendStart_ = 0;
    }
    UpdateInterest();
}

void CRobotConnection::UpdateInterest()
{
    if (fd_ < 0)
        return;
    const bool want = connecting_ || sendStart_ < send_.size();
    if (want == wantWrite_)
        return;
    wantWrite_ = want;
    poller_.Modify(key_, fd_, EPOLLIN | (want ? EPOLLOUT : 0u));
}

void CRobotConnection::FinishConnect()
{
    int error = 0;
    socklen_t size = sizeof error;
    ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &size);
    if (error != 0) {
        Fail(std::string("connect: ") + std::strerror(error));
        return;
    }
    connecting_ = false;
    sockaddr_in local{};
    socklen_t localSize = sizeof local;
    if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &localSize) == 0) {
        char text[INET_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET, &local.sin_addr, text, sizeof text);
        localAddress_ = text;
        localPort_ = ntohs(local.sin_port);
    }
    Flush();
    if (fd_ >= 0)
        listener_.OnConnected(*this);
}

void CRobotConnection::OnPollEvents(std::uint32_t events)
{
    if (fd_ < 0)
        return;
    if (connecting_) {
        if ((events & (EPOLLOUT | EPOLLERR | EPOLLHUP)) == 0)
            return;
        FinishConnect();
        if (fd_ < 0)
            return;
    }
    if (events & (EPOLLIN | EPOLLHUP | EPOLLERR))
        ReadAvailable();
    if (fd_ >= 0 && (events & EPOLLOUT))
        Flush();
}

void CRobotConnection::ReadAvailable()
{
    for (;;) {
        if (recv_.GetFreeSize() == 0) {
            Fail("a frame larger than the receive stream");
            return;
        }
        const ssize_t got = ::recv(fd_, recv_.GetEndPointer(), static_cast<std::size_t>(recv_.GetFreeSize()), 0);
        if (got > 0) {
            recv_.AddUsedSize(static_cast<int>(got));
            CutFrames();
            if (fd_ < 0)
                return;
            continue;
        }
        if (got == 0) {
            Fail("closed by the server");
            return;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            Fail(std::string("recv: ") + std::strerror(errno));
        return;
    }
}

void CRobotConnection::CutFrames()
{
    while (fd_ >= 0) {
        net::CutFrameInfo info;
        const net::CutStatus status = net::CutFrame(recv_, frameCopy_, info);
        if (status == net::CutStatus::kNeedMore)
            return;
        if (status == net::CutStatus::kBroken) {
            Fail("a frame that can never fit the receive stream");
            return;
        }
        ++framesReceived_;
        listener_.OnFrame(*this, info.msgId, frameCopy_.data(), info.wireLen);
    }
}

} // namespace tovrik::robot
