#pragma once
// One non-blocking TCP connection of a robot to the master or a game server:
// frames go out numbered and scrambled as the client's sockets send them,
// and arriving frames are cut out of the receive stream with the net
// library's frame cutter and handed to the listener one by one.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Poller.h"
#include "net/StreamBuf.h"

namespace tovrik::robot {

class CRobotConnection;

class IConnectionListener {
public:
    virtual ~IConnectionListener() = default;
    virtual void OnConnected(CRobotConnection& connection) = 0;
    // `frame` (still scrambled) holds `length` bytes and room for a
    // decompressed payload; it is valid during the call only.
    virtual void OnFrame(CRobotConnection& connection, int msgId, char* frame, int length) = 0;
    // The connection failed or was closed by the peer; not called for Close().
    virtual void OnClosed(CRobotConnection& connection, std::string_view reason) = 0;
};

class CRobotConnection final : public base::PollHandler {
public:
    CRobotConnection(base::Poller& poller, IConnectionListener& listener);
    ~CRobotConnection() override;
    CRobotConnection(const CRobotConnection&) = delete;
    CRobotConnection& operator=(const CRobotConnection&) = delete;

    // Starts connecting to an IPv4 address or host name; false (with the
    // reason in LastError) when the attempt cannot even start.
    bool Connect(const std::string& host, int port);
    void Close();

    // Builds a message with its class and sends it: Send<CSV_ASK_LOGIN>(...).
    template <typename Message, typename... Args>
    bool Send(Args&&... args)
    {
        Message message;
        if (!message.Set(std::forward<Args>(args)...))
            return false;
        return SendFrame(message.GetData(), message.GetTotalSize());
    }
    // Sends a copy of a plain built frame, numbered and scrambled.
    bool SendFrame(const char* plainFrame, int length);

    bool IsOpen() const { return fd_ >= 0; }
    bool IsConnected() const { return fd_ >= 0 && !connecting_; }
    const std::string& LocalAddress() const { return localAddress_; }
    int LocalPort() const { return localPort_; }
    const std::string& LastError() const { return lastError_; }
    std::uint64_t FramesSent() const { return framesSent_; }
    std::uint64_t FramesReceived() const { return framesReceived_; }

    void OnPollEvents(std::uint32_t events) override;

private:
    void FinishConnect();
    void ReadAvailable();
    void CutFrames();
    void Flush();
    void UpdateInterest();
    void Fail(std::string reason);

    base::Poller& poller_;
    IConnectionListener& listener_;
    int fd_ = -1;
    std::uint64_t key_ = 0;
    bool connecting_ = false;
    bool wantWrite_ = false;
    std::uint16_t sendSeq_ = 0;
    net::CStreamBuf recv_;
    std::vector<char> send_;
    std::size_t sendStart_ = 0;
    std::vector<char> frameCopy_;
    std::string localAddress_;
    int localPort_ = 0;
    std::string lastError_;
    std::uint64_t framesSent_ = 0;
    std::uint64_t framesReceived_ = 0;
};

} // namespace tovrik::robot
