#include "net/SockCmnd.h"

#include <vector>

#include "net/FrameCutter.h"

namespace tovrik::net {

CSockCmnd::CSockCmnd(CSockMan& sockMan)
    : m_SockMan(sockMan)
{
}

bool CSockCmnd::Init(ISocketClient* mainWindow, ISockReadiness* readiness, Poster poster)
{
    m_pMainWindow = mainWindow;
    m_Poster = std::move(poster);
    m_Posted.clear();
    return m_SockMan.Init(this, readiness);
}

void CSockCmnd::SendSockMessage(int msg, int number, std::uint64_t serial)
{
    Dispatch(msg, number, serial);
}

void CSockCmnd::PostSockMessage(int msg, int number, std::uint64_t serial)
{
    auto run = [this, msg, number, serial] { Dispatch(msg, number, serial); };
    if (m_Poster)
        m_Poster(std::move(run));
    else
        m_Posted.push_back(std::move(run));
}

void CSockCmnd::ShowSockError(const std::string& text)
{
    if (m_pMainWindow) m_pMainWindow->ShowSocketError(text);
}

int CSockCmnd::DispatchPosted()
{
    int ran = 0;
    while (!m_Posted.empty()) {
        auto run = std::move(m_Posted.front());
        m_Posted.pop_front();
        run();
        ++ran;
    }
    return ran;
}

void CSockCmnd::Dispatch(int msg, int number, std::uint64_t serial)
{
    switch (msg) {
    case kMsgDataReceive: OnDataReceive(number, serial); break;
    case kMsgDataClose: OnDataClose(number, serial); break;
    case kMsgDataConnect: OnDataConnect(number, serial); break;
    case kMsgDataConnectFailure: OnDataConnectFailure(number, serial); break;
    default: break;
    }
}

void CSockCmnd::OnDataReceive(int number, std::uint64_t serial)
{
    CDataSock* sock = m_SockMan.FindSocket(number, serial);
    if (!sock || sock->ReceiveData() == 0) return;
    // The handler may run modal loops that receive on this socket again, or
    // close it: look the socket up again before every frame.
    while ((sock = m_SockMan.FindSocket(number, serial)) != nullptr) {
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

}  // namespace tovrik::net
