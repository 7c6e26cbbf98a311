#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <sys/wait.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "FrameHelpers.h"
#include "net/CommMsg.h"
#include "platform/EventLoop.h"
#include "platform/Window.h"
#include "sockets/SockCmnd.h"
#include "sockets/SockMan.h"

using namespace tovrik::net;
using namespace tovrik::net::test;
using namespace tovrik::sockets;

namespace {

struct Delivered {
    int number;
    int id;
    Bytes frame;
};

class RecordingClient : public ISocketClient {
public:
    void OnPacketNotify(const FrameRecord& record) override
    {
        frames.push_back({record.nSockID, record.nMsgID, Bytes(record.pData, record.pData + record.nLen)});
        ++deliveriesInEvent;
        if (onPacket) onPacket(record);
    }
    void OnSocketClose(int number) override { closed.push_back(number); }
    void OnSocketConnectFailure(int number) override { failed.push_back(number); }
    void ShowSocketError(const std::string& text) override { errors.push_back(text); }

    std::vector<Delivered> frames;
    std::vector<int> closed;
    std::vector<int> failed;
    std::vector<std::string> errors;
    int deliveriesInEvent = 0;
    std::function<void(const FrameRecord&)> onPacket;
};

// A window that reports its close requests and timer ticks.
class RecordingWindow : public tovrik::platform::Window {
public:
    RecordingWindow(std::function<void()> onClose, std::function<void()> onTimer)
        : onClose_(std::move(onClose)), onTimer_(std::move(onTimer))
    {
    }
    tovrik::platform::LResult WindowProc(tovrik::platform::MsgId msg, tovrik::platform::WParam w,
                                         tovrik::platform::LParam l) override
    {
        if (msg == tovrik::platform::WM_CLOSE) {
            onClose_();
            return 0;
        }
        if (msg == tovrik::platform::WM_TIMER) {
            onTimer_();
            return 0;
        }
        return Window::WindowProc(msg, w, l);
    }

private:
    std::function<void()> onClose_;
    std::function<void()> onTimer_;
};

// A loopback listener playing the server.
class Server {
public:
    Server()
    {
        m_Listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_Listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::listen(m_Listen, 64);
        socklen_t len = sizeof addr;
        ::getsockname(m_Listen, reinterpret_cast<sockaddr*>(&addr), &len);
        port = ntohs(addr.sin_port);
    }
    ~Server()
    {
        for (int fd : peers) ::close(fd);
        ::close(m_Listen);
    }
    // Accepts one pending connection, waiting up to a second.
    int Accept()
    {
        pollfd p{m_Listen, POLLIN, 0};
        if (::poll(&p, 1, 1000) <= 0) return -1;
        const int fd = ::accept(m_Listen, nullptr, nullptr);
        if (fd >= 0) peers.push_back(fd);
        return fd;
    }
    static void Write(int fd, const Bytes& bytes) { ASSERT_EQ(::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size())); }
    // Reads exactly n bytes, waiting up to a second for each piece.
    static Bytes Read(int fd, std::size_t n)
    {
        Bytes out;
        while (out.size() < n) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 1000) <= 0) break;
            char buf[4096];
            const ssize_t got = ::recv(fd, buf, std::min(sizeof buf, n - out.size()), 0);
            if (got <= 0) break;
            out.insert(out.end(), buf, buf + got);
        }
        return out;
    }

    int port = 0;
    std::vector<int> peers;

private:
    int m_Listen = -1;
};

class Sockets : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mainWindow.Create(nullptr, tovrik::platform::Rect::FromSize(0, 0, 800, 600)));
        ASSERT_TRUE(cmnd.Init(&mainWindow, &client));
    }
    void TearDown() override { SockMan.Destroy(); }

    // One loop iteration, or a short wait when it had nothing to do.
    void PumpOnce()
    {
        if (!loop.PumpOnce()) loop.Sockets().WaitReadable(2);
    }

    // Runs the loop (readiness, then posted messages) until `done` holds or
    // `limit` passes.
    bool PumpUntil(const std::function<bool()>& done, std::chrono::seconds limit = std::chrono::seconds(2))
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            PumpOnce();
        }
        return true;
    }
    void PumpFor(int ms)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) PumpOnce();
    }

    // Connects one client socket; returns its number and the server's side.
    std::pair<int, int> Connect()
    {
        const int number = SockMan.ConnectSocket("127.0.0.1", server.port);
        const int peer = server.Accept();
        CDataSock* sock = SockMan.GetDataSocketPtr(number);
        PumpUntil([&] { return sock->GetLocalPort() != 0; });
        return {number, peer};
    }

    tovrik::platform::EventLoop loop;
    tovrik::platform::Window mainWindow;
    RecordingClient client;
    CSockCmnd cmnd;
    Server server;
};

}  // namespace

TEST_F(Sockets, ConnectReportsTheLocalAddressAndPortOfTheConnection)
{
    const auto [number, peer] = Connect();
    ASSERT_EQ(number, 0);
    ASSERT_GE(peer, 0);
    sockaddr_in remote{};
    socklen_t len = sizeof remote;
    ::getpeername(peer, reinterpret_cast<sockaddr*>(&remote), &len);
    CDataSock* sock = SockMan.GetDataSocketPtr(number);
    EXPECT_EQ(sock->GetLocalAddress(), "127.0.0.1");
    EXPECT_EQ(sock->GetLocalPort(), ntohs(remote.sin_port));
    EXPECT_TRUE(sock->IsActive());
}

TEST_F(Sockets, FramesLeaveScrambledWithSequenceNumbersFromOne)
{
    const auto [number, peer] = Connect();
    CCommMsg msg;
    ASSERT_TRUE(msg.SetHeader(300));
    char* part = nullptr;
    msg.PushData(&part, "hello", 5);
    SockMan.SendData(number, msg.GetData(), msg.GetTotalSize());
    SockMan.SendData(number, msg.GetData(), msg.GetTotalSize());
    EXPECT_EQ(msg.GetHeaderFields().EncodeState, kStatePlain);  // the copy was scrambled

    Bytes wire = Server::Read(peer, 2 * 21);
    ASSERT_EQ(wire.size(), 42u);
    for (int i = 0; i < 2; ++i) {
        Bytes frame(wire.begin() + 21 * i, wire.begin() + 21 * (i + 1));
        EXPECT_EQ(ReadU16(frame.data() + kOffSeqNo), i + 1);
        EXPECT_EQ(static_cast<std::uint8_t>(frame[kOffEncodeState]), kStateScrambled);
        ASSERT_TRUE(CCommMsg::DecodeAll(frame.data(), 21));
        EXPECT_EQ(ReadMsgHeader(frame.data()).MsgID, 300);
        EXPECT_EQ(std::memcmp(frame.data() + kHeaderSize, "hello", 5), 0);
    }
}

TEST_F(Sockets, TwoFramesInOneReadAreDeliveredInOrderFromOneEvent)
{
    const auto [number, peer] = Connect();
    Bytes both = ScrambledFrame(11, TextBytes("one"), 1);
    const Bytes second = ScrambledFrame(12, TextBytes("two"), 2);
    both.insert(both.end(), second.begin(), second.end());
    Server::Write(peer, both);
    ASSERT_TRUE(PumpUntil([&] { return !client.frames.empty(); }));
    ASSERT_EQ(client.frames.size(), 2u);
    EXPECT_EQ(client.frames[0].id, 11);
    EXPECT_EQ(client.frames[1].id, 12);
    EXPECT_EQ(client.frames[0].number, number);

    // The record's frame parses like any received frame.
    Bytes frame = client.frames[1].frame;
    CCommMsg msg;
    ASSERT_TRUE(msg.GetHeader(frame.data(), static_cast<int>(frame.size())));
    char* part = nullptr;
    EXPECT_TRUE(msg.TakeData(&part, 3));
    EXPECT_EQ(std::memcmp(part, "two", 3), 0);
}

TEST_F(Sockets, AFrameSplitOverThreeWritesIsDeliveredOnceAfterTheThird)
{
    const auto [number, peer] = Connect();
    const Bytes frame = ScrambledFrame(21, RandomBytes(500, 4), 1);
    Server::Write(peer, Bytes(frame.begin(), frame.begin() + 7));
    PumpFor(30);
    Server::Write(peer, Bytes(frame.begin() + 7, frame.begin() + 300));
    PumpFor(30);
    EXPECT_TRUE(client.frames.empty());
    Server::Write(peer, Bytes(frame.begin() + 300, frame.end()));
    ASSERT_TRUE(PumpUntil([&] { return !client.frames.empty(); }));
    PumpFor(20);
    ASSERT_EQ(client.frames.size(), 1u);
    EXPECT_EQ(client.frames[0].frame, frame);
}

TEST_F(Sockets, GarbageBeforeAFrameIsDroppedAndTheFrameDelivered)
{
    const auto [number, peer] = Connect();
    Bytes bytes = TextBytes("noise noise noise T?K");
    const Bytes frame = ScrambledFrame(31, TextBytes("data"), 1);
    bytes.insert(bytes.end(), frame.begin(), frame.end());
    Server::Write(peer, bytes);
    ASSERT_TRUE(PumpUntil([&] { return !client.frames.empty(); }));
    EXPECT_EQ(client.frames[0].frame, frame);
}

TEST_F(Sockets, TwentyConnectionsFillEverySlotAndTheTwentyFirstGetsMinusOne)
{
    for (int i = 0; i < CSockMan::kMaxSockets; ++i) EXPECT_EQ(SockMan.ConnectSocket("127.0.0.1", server.port), i);
    EXPECT_EQ(SockMan.ConnectSocket("127.0.0.1", server.port), -1);
    EXPECT_TRUE(SockMan.CloseDataSocket(4));
    EXPECT_EQ(SockMan.ConnectSocket("127.0.0.1", server.port), 4);  // the lowest empty slot
}

TEST_F(Sockets, PeerCloseNotifiesOnceAndReleasesTheSlot)
{
    const auto [number, peer] = Connect();
    ::shutdown(peer, SHUT_RDWR);
    ASSERT_TRUE(PumpUntil([&] { return !client.closed.empty(); }));
    PumpFor(30);
    EXPECT_EQ(client.closed, std::vector<int>{number});
    EXPECT_EQ(SockMan.GetDataSocketPtr(number), nullptr);
}

TEST_F(Sockets, DataSentJustBeforeCloseIsDeliveredFirst)
{
    const auto [number, peer] = Connect();
    Server::Write(peer, ScrambledFrame(41, TextBytes("last words"), 1));
    ::shutdown(peer, SHUT_RDWR);
    ASSERT_TRUE(PumpUntil([&] { return !client.closed.empty(); }));
    ASSERT_EQ(client.frames.size(), 1u);
    EXPECT_EQ(client.frames[0].id, 41);
}

TEST_F(Sockets, RefusedConnectionReportsFailureAndReleasesTheSlot)
{
    int freePort;
    {
        Server closed;
        freePort = closed.port;
    }
    const int number = SockMan.ConnectSocket("127.0.0.1", freePort);
    ASSERT_EQ(number, 0);
    ASSERT_TRUE(PumpUntil([&] { return !client.failed.empty(); }));
    EXPECT_EQ(client.failed, std::vector<int>{0});
    EXPECT_EQ(SockMan.GetDataSocketPtr(0), nullptr);
    EXPECT_TRUE(client.closed.empty());
}

TEST_F(Sockets, ImmediateConnectFailureShowsTheErrorAndGivesMinusOne)
{
    EXPECT_EQ(SockMan.ConnectSocket("127.0.0.1", 0), -1);
    ASSERT_EQ(client.errors.size(), 1u);
    EXPECT_EQ(client.errors[0], "CDataSock::Connect() error : 10049 (Socket ID=0)");
    EXPECT_EQ(SockMan.GetDataSocketPtr(0), nullptr);
    // A new connection takes the slot before the failure notice is handled:
    // the stale notice must leave it alone.
    const int number = SockMan.ConnectSocket("127.0.0.1", server.port);
    EXPECT_EQ(number, 0);
    loop.PumpOnce();
    EXPECT_TRUE(client.failed.empty());
    EXPECT_NE(SockMan.GetDataSocketPtr(0), nullptr);
}

TEST_F(Sockets, AHandlerThatClosesTheSocketStopsTheDelivery)
{
    const auto [number, peer] = Connect();
    Bytes three;
    for (int i = 0; i < 3; ++i) {
        const Bytes f = ScrambledFrame(static_cast<std::int16_t>(50 + i), TextBytes("x"), static_cast<std::uint16_t>(i + 1));
        three.insert(three.end(), f.begin(), f.end());
    }
    client.onPacket = [&](const FrameRecord& r) { SockMan.CloseDataSocket(r.nSockID); };
    Server::Write(peer, three);
    ASSERT_TRUE(PumpUntil([&] { return !client.frames.empty(); }));
    PumpFor(20);
    EXPECT_EQ(client.frames.size(), 1u);
    EXPECT_EQ(SockMan.GetDataSocketPtr(number), nullptr);
}

TEST_F(Sockets, FramesArrivingWhileAHandlerRunsANestedLoopAreDeliveredOnceInOrder)
{
    const auto [number, connected] = Connect();
    const int peer = connected;  // the handler captures it: clang 14 cannot capture a structured binding
    bool nested = false;
    client.onPacket = [&](const FrameRecord& r) {
        if (r.nMsgID != 81 || nested) return;
        nested = true;  // as a modal box would: keep the loop running
        Server::Write(peer, ScrambledFrame(82, TextBytes("b"), 2));
        PumpUntil([&] { return client.frames.size() >= 2; });
    };
    Server::Write(peer, ScrambledFrame(81, TextBytes("a"), 1));
    ASSERT_TRUE(PumpUntil([&] { return client.frames.size() >= 2; }));
    Server::Write(peer, ScrambledFrame(83, TextBytes("c"), 3));
    ASSERT_TRUE(PumpUntil([&] { return client.frames.size() >= 3; }));
    PumpFor(20);
    ASSERT_EQ(client.frames.size(), 3u);
    EXPECT_EQ(client.frames[0].id, 81);
    EXPECT_EQ(client.frames[1].id, 82);
    EXPECT_EQ(client.frames[2].id, 83);
}

// A burst of frames in one read is handed out a share per loop iteration:
// what the player did meanwhile (a close request, queued before the burst
// was read) and the window timers run between the shares, not after the last.
TEST_F(Sockets, ABurstLetsPostedMessagesAndTimersRunBetweenItsFrames)
{
    const auto [number, peer] = Connect();
    constexpr int kBurst = 400;  // many times one turn's share
    Bytes burst;
    for (int i = 0; i < kBurst; ++i) {
        const Bytes f = ScrambledFrame(60, TextBytes("burst"), static_cast<std::uint16_t>(i + 1));
        burst.insert(burst.end(), f.begin(), f.end());
    }
    std::size_t framesBeforeClose = 0;
    std::size_t framesBeforeTimer = 0;
    RecordingWindow closer([&] { framesBeforeClose = client.frames.size(); },
                           [&] {
                               if (framesBeforeTimer == 0) framesBeforeTimer = client.frames.size();
                           });
    ASSERT_TRUE(closer.Create(&mainWindow, tovrik::platform::Rect::FromSize(0, 0, 1, 1)));
    ASSERT_TRUE(closer.SetTimer(1, 1));
    // Each frame costs its handler a little, as a real one does.
    client.onPacket = [](const FrameRecord&) { std::this_thread::sleep_for(std::chrono::microseconds(100)); };
    // The burst waits, whole, in the socket before the loop looks at it.
    Server::Write(peer, burst);
    const int fd = SockMan.GetDataSocketPtr(number)->GetHandle();
    const auto arrived = [&] {
        int waiting = 0;
        return ::ioctl(fd, FIONREAD, &waiting) == 0 && waiting >= static_cast<int>(burst.size());
    };
    for (int i = 0; i < 200 && !arrived(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(arrived());
    closer.PostMessage(tovrik::platform::WM_CLOSE, 0, 0);
    // A loaded machine may sleep much longer than asked between the frames.
    ASSERT_TRUE(PumpUntil([&] { return client.frames.size() == static_cast<std::size_t>(kBurst); },
                          std::chrono::seconds(20)));
    PumpFor(20);
    ASSERT_EQ(client.frames.size(), static_cast<std::size_t>(kBurst));
    for (int i = 0; i < kBurst; ++i)
        ASSERT_EQ(ReadU16(client.frames[i].frame.data() + kOffSeqNo), i + 1) << "frame " << i << " out of order";
    EXPECT_GT(framesBeforeClose, 0u);
    EXPECT_LT(framesBeforeClose, static_cast<std::size_t>(kBurst)) << "the close request waited for the whole burst";
    EXPECT_LT(framesBeforeTimer, static_cast<std::size_t>(kBurst)) << "the timer waited for the whole burst";
    closer.Destroy();
}

TEST_F(Sockets, AFrameLongerThanTheStreamBreaksTheConnection)
{
    const auto [number, peer] = Connect();
    Bytes header = ScrambledFrame(61, {}, 1);
    WriteU32(header.data() + kOffDataLen, 200000);
    Server::Write(peer, header);
    ASSERT_TRUE(PumpUntil([&] { return !client.closed.empty(); }));
    EXPECT_TRUE(client.frames.empty());
    EXPECT_EQ(SockMan.GetDataSocketPtr(number), nullptr);
}

TEST_F(Sockets, AFrameTooLargeForTheSendStreamBreaksTheConnection)
{
    const auto [number, peer] = Connect();
    const Bytes big = PlainFrame(70, Bytes(CStreamBuf::kSocketStreamSize, 'b'));
    SockMan.SendData(number, big.data(), static_cast<int>(big.size()));
    EXPECT_FALSE(SockMan.GetDataSocketPtr(number)->IsActive());
    ASSERT_TRUE(PumpUntil([&] { return !client.closed.empty(); }));
    EXPECT_EQ(client.closed, std::vector<int>{number});
}

TEST_F(Sockets, SendsAndReceivesAreIgnoredOutsideTheSlots)
{
    const Bytes frame = PlainFrame(1, {});
    SockMan.SendData(-1, frame.data(), 16);
    SockMan.SendData(20, frame.data(), 16);
    EXPECT_EQ(SockMan.ReceiveData(7), 0);
    EXPECT_EQ(SockMan.GetDataSocketPtr(20), nullptr);
    EXPECT_FALSE(SockMan.CloseDataSocket(-1));
}

TEST(SockManInit, LooksUpThisComputersNameAndAddress)
{
    tovrik::platform::EventLoop loop;
    tovrik::platform::Window mainWindow;
    ASSERT_TRUE(mainWindow.Create(nullptr, tovrik::platform::Rect::FromSize(0, 0, 800, 600)));
    CSockMan man;
    RecordingClient client;
    CSockCmnd cmnd(man);
    EXPECT_TRUE(cmnd.Init(&mainWindow, &client)) << man.GetErrorText();
    EXPECT_EQ(cmnd.Id(), kSockCmndControlId);
    EXPECT_FALSE(cmnd.IsVisibleFlag());
    EXPECT_FALSE(man.GetHostName().empty());
    in_addr parsed{};
    EXPECT_EQ(inet_pton(AF_INET, man.GetServerIP().c_str(), &parsed), 1) << man.GetServerIP();
}

namespace {

// Runs CSockMan::Init in a child process whose host name no resolver knows
// (its own UTS namespace, and with `ownNetwork` its own network namespace,
// where only a loopback that is down exists). Returns "ok ADDRESS" or
// "failed ERROR"; empty when namespaces are not available here.
std::string InitWithUnresolvableHostName(bool ownNetwork)
{
    int out[2];
    if (::pipe(out) != 0) return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(out[0]);
        const int flags = CLONE_NEWUSER | CLONE_NEWUTS | (ownNetwork ? CLONE_NEWNET : 0);
        constexpr char kName[] = "tovrik-no-such-host.invalid";
        std::string result;
        if (::unshare(flags) == 0 && ::sethostname(kName, sizeof kName - 1) == 0) {
            CSockMan man;
            result = man.Init(nullptr, nullptr) ? "ok " + man.GetServerIP() : "failed " + man.GetErrorText();
        }
        [[maybe_unused]] const auto written = ::write(out[1], result.data(), result.size());
        ::_exit(0);
    }
    ::close(out[1]);
    std::string result;
    pollfd p{out[0], POLLIN, 0};
    char buffer[256];
    // A resolver that never answers must not hang the suite.
    while (::poll(&p, 1, 10000) > 0) {
        const ssize_t got = ::read(out[0], buffer, sizeof buffer);
        if (got <= 0) break;
        result.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(out[0]);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    return result;
}

}  // namespace

TEST(SockManInit, StartsWhenTheHostNameDoesNotResolve)
{
    const std::string result = InitWithUnresolvableHostName(false);
    if (result.empty()) GTEST_SKIP() << "no user namespaces here to rename the host in";
    ASSERT_EQ(result.rfind("ok ", 0), 0u) << result;
    in_addr parsed{};
    EXPECT_EQ(inet_pton(AF_INET, result.substr(3).c_str(), &parsed), 1) << result;
}

TEST(SockManInit, FallsBackToTheLoopbackAddressWithoutAnyInterface)
{
    const std::string result = InitWithUnresolvableHostName(true);
    if (result.empty()) GTEST_SKIP() << "no user namespaces here to rename the host in";
    EXPECT_EQ(result, "ok 127.0.0.1");
}
