#include "sockets/SockMan.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/SocketNotifier.h"

namespace tovrik::sockets {

CSockMan SockMan;

namespace {

std::string FormatError(const char* pattern, int code)
{
    char text[96];
    std::snprintf(text, sizeof text, pattern, code);
    return text;
}

}  // namespace

CSockMan::~CSockMan()
{
    Destroy();
}

void CSockMan::Destroy()
{
    for (auto& slot : m_Slots) slot.reset();
}

bool CSockMan::Init(ISockWindow* window, ISockReadiness* readiness)
{
    Destroy();
    m_pWindow = window;
    m_pReadiness = readiness;
    m_bInit = true;
    m_ErrorText.clear();

    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) {
        m_ErrorText = FormatError("gethostname() error : %d", platform::WinsockErrorFromErrno(errno));
        return false;
    }
    m_HostName = name;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    const int rc = ::getaddrinfo(name, nullptr, &hints, &found);
    if (rc != 0 || !found) {
        m_ErrorText = FormatError("gethostbyname() error : %d", 11001);
        return false;
    }
    char text[INET_ADDRSTRLEN] = {};
    if (inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr, text, sizeof text))
        m_ServerIP = text;
    ::freeaddrinfo(found);
    return true;
}

int CSockMan::ConnectSocket(const std::string& address, int port)
{
    int number = -1;
    for (int i = 0; i < kMaxSockets; ++i) {
        if (!m_Slots[static_cast<std::size_t>(i)]) {
            number = i;
            break;
        }
    }
    if (number < 0) return -1;
    auto& slot = m_Slots[static_cast<std::size_t>(number)];
    slot = std::make_unique<CDataSock>();
    if (!slot->ConnectSocket(m_pWindow, m_pReadiness, address, port, number)) {
        if (m_pWindow) m_pWindow->ShowSockError(slot->GetErrorText());
        slot.reset();
        return -1;
    }
    return number;
}

void CSockMan::SendData(int number, const char* bytes, int length)
{
    if (CDataSock* sock = GetDataSocketPtr(number)) sock->SendData(bytes, length);
}

int CSockMan::ReceiveData(int number)
{
    CDataSock* sock = GetDataSocketPtr(number);
    return sock ? sock->ReceiveData() : 0;
}

CDataSock* CSockMan::GetDataSocketPtr(int number) const
{
    if (number < 0 || number >= kMaxSockets) return nullptr;
    return m_Slots[static_cast<std::size_t>(number)].get();
}

CDataSock* CSockMan::FindSocket(int number, std::uint64_t serial) const
{
    CDataSock* sock = GetDataSocketPtr(number);
    return sock && sock->GetSerial() == serial ? sock : nullptr;
}

CDataSock* CSockMan::FindByHandle(int fd) const
{
    if (fd < 0) return nullptr;
    for (const auto& slot : m_Slots)
        if (slot && slot->GetHandle() == fd) return slot.get();
    return nullptr;
}

bool CSockMan::CloseDataSocket(int number)
{
    if (number < 0 || number >= kMaxSockets) return false;
    auto& slot = m_Slots[static_cast<std::size_t>(number)];
    if (!slot) return false;
    slot.reset();
    return true;
}

}  // namespace tovrik::sockets
