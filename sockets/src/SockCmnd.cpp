#include "sockets/SockCmnd.h"

#include <vector>

#include "net/FrameCutter.h"
#include "platform/EventLoop.h"
#include "platform/SocketNotifier.h"

namespace tovrik::sockets {

using net::CutFrame;
using net::CutFrameInfo;
using net::CutStatus;

namespace {

platform::SocketNotifier* Notifier()
{
    platform::EventLoop* loop = platform::EventLoop::Current();
    return loop ? &loop->Sockets() : nullptr;
}

}  // namespace

CSockCmnd::CSockCmnd(CSockMan& sockMan)
    : m_SockMan(sockMan)
{
}

CSockCmnd::~CSockCmnd()
{
    // The sockets report to this window: they go first.
    m_SockMan.Destroy();
    Destroy();
}

bool CSockCmnd::Init(platform::Window* parent, ISocketClient* mainWindow)
{
    m_pMainWindow = mainWindow;
    if (!IsCreated() && !Create(parent, platform::Rect{0, 0, 0, 0}, kSockCmndControlId, 0)) return false;
    return m_SockMan.Init(this, this);
}

platform::LResult CSockCmnd::WindowProc(platform::MsgId msg, platform::WParam w, platform::LParam l)
{
    const auto number = static_cast<int>(w);
    const auto serial = static_cast<std::uint64_t>(l);
    switch (msg) {
    case kMsgSocketSelect:
        OnSocketSelect(static_cast<int>(w), platform::GetSelectEvent(l), platform::GetSelectError(l));
        return 0;
    case kMsgDataReceive: OnDataReceive(number, serial); return 0;
    case kMsgDataClose: OnDataClose(number, serial); return 0;
    case kMsgDataConnect: OnDataConnect(number, serial); return 0;
    case kMsgDataConnectFailure: OnDataConnectFailure(number, serial); return 0;
    case kMsgDataCutMore: OnDataCutMore(number, serial); return 0;
    default: return Window::WindowProc(msg, w, l);
    }
}

void CSockCmnd::SendSockMessage(int msg, int number, std::uint64_t serial)
{
    SendMessage(static_cast<platform::MsgId>(msg), static_cast<platform::WParam>(number),
                static_cast<platform::LParam>(serial));
}

void CSockCmnd::PostSockMessage(int msg, int number, std::uint64_t serial)
{
    PostMessage(static_cast<platform::MsgId>(msg), static_cast<platform::WParam>(number),
                static_cast<platform::LParam>(serial));
}

void CSockCmnd::ShowSockError(const std::string& text)
{
    if (m_pMainWindow) m_pMainWindow->ShowSocketError(text);
}

void CSockCmnd::WatchConnecting(int fd)
{
    if (platform::SocketNotifier* n = Notifier()) n->WatchConnecting(fd, Handle(), kMsgSocketSelect);
}

void CSockCmnd::RequestWrite(int fd)
{
    if (platform::SocketNotifier* n = Notifier()) n->RequestWrite(fd);
}

void CSockCmnd::Unwatch(int fd)
{
    if (platform::SocketNotifier* n = Notifier()) n->Unwatch(fd);
}

void CSockCmnd::OnSocketSelect(int fd, unsigned event, int error)
{
    CDataSock* sock = m_SockMan.FindByHandle(fd);
    if (!sock) return;
    switch (event) {
    case platform::FD_CONNECT: sock->OnConnect(error); break;
    case platform::FD_READ: sock->OnReceive(error); break;
    case platform::FD_WRITE: sock->OnSend(error); break;
    case platform::FD_CLOSE: sock->OnClose(error); break;
    case platform::FD_OOB: sock->OnOutOfBandData(error); break;
    default: break;
    }
}

void CSockCmnd::OnDataReceive(int number, std::uint64_t serial)
{
    CDataSock* sock = m_SockMan.FindSocket(number, serial);
    // With frames still waiting for their turn the bytes stay in the socket:
    // its readiness comes again once the stream is cut down.
    if (!sock || sock->IsCutPending() || sock->ReceiveData() == 0) return;
    CutFrames(number, serial);
}

void CSockCmnd::OnDataCutMore(int number, std::uint64_t serial)
{
    CDataSock* sock = m_SockMan.FindSocket(number, serial);
    if (!sock) return;
    sock->SetCutPending(false);
    CutFrames(number, serial);
}

void CSockCmnd::CutFrames(int number, std::uint64_t serial)
{
    // The handler may run modal loops that receive on this socket again, or
    // close it: look the socket up again before every frame.
    int handed = 0;
    CDataSock* sock = nullptr;
    while ((sock = m_SockMan.FindSocket(number, serial)) != nullptr) {
        if (handed == kFramesPerTurn) {
            // The rest waits behind what is queued already (a close request,
            // a timer's turn), instead of running before it.
            if (!sock->IsCutPending()) {
                sock->SetCutPending(true);
                PostSockMessage(kMsgDataCutMore, number, serial);
            }
            return;
        }
        std::vector<char> copy;
        CutFrameInfo info;
        const CutStatus status = CutFrame(sock->GetRecvStream(), copy, info);
        if (status == CutStatus::kNeedMore) return;
        if (status == CutStatus::kBroken) {
            sock->GetRecvStream().Clear();
            sock->OnClose(0);
            return;
        }
        FrameRecord record;
        record.nSockID = number;
        record.nMsgID = info.msgId;
        record.nLen = info.wireLen;
        record.pData = copy.data();
        record.nCapacity = static_cast<std::int32_t>(copy.size());
        ++handed;
        if (m_pMainWindow) m_pMainWindow->OnPacketNotify(record);
    }
}

void CSockCmnd::OnDataClose(int number, std::uint64_t serial)
{
    // A notice for a socket that is gone (its slot may hold a newer
    // connection by now) must not close anything.
    if (!m_SockMan.FindSocket(number, serial)) return;
    if (m_pMainWindow) m_pMainWindow->OnSocketClose(number);
    Release(number, serial);
}

void CSockCmnd::OnDataConnect(int /*number*/, std::uint64_t /*serial*/)
{
}

void CSockCmnd::OnDataConnectFailure(int number, std::uint64_t serial)
{
    if (!m_SockMan.FindSocket(number, serial)) return;
    if (m_pMainWindow) m_pMainWindow->OnSocketConnectFailure(number);
    Release(number, serial);
}

void CSockCmnd::Release(int number, std::uint64_t serial)
{
    if (m_SockMan.FindSocket(number, serial)) m_SockMan.CloseDataSocket(number);
}

}  // namespace tovrik::sockets
