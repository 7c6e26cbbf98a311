#include "sockets/SockMan.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "base/Log.h"
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

std::string DottedText(const in_addr& address)
{
    char text[INET_ADDRSTRLEN] = {};
    return inet_ntop(AF_INET, &address, text, sizeof text) ? text : "";
}

// The first IPv4 address of `name`, or empty with `error` set.
std::string ResolveHostName(const std::string& name, std::string& error)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    const int rc = ::getaddrinfo(name.c_str(), nullptr, &hints, &found);
    if (rc != 0 || !found) {
        error = FormatError("gethostbyname() error : %d", 11001);
        return {};
    }
    std::string text = DottedText(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr);
    ::freeaddrinfo(found);
    return text;
}

// The IPv4 address of the first interface that is up and not the loopback.
std::string FirstInterfaceAddress()
{
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return {};
    std::string text;
    for (const ifaddrs* a = list; a && text.empty(); a = a->ifa_next) {
        if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET) continue;
        if (!(a->ifa_flags & IFF_UP) || (a->ifa_flags & IFF_LOOPBACK)) continue;
        text = DottedText(reinterpret_cast<const sockaddr_in*>(a->ifa_addr)->sin_addr);
    }
    ::freeifaddrs(list);
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
    m_HostName.clear();
    m_ServerIP.clear();

    // The address only fills an informational field of the login request:
    // a machine whose own name does not resolve must still start.
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) == 0) {
        m_HostName = name;
        m_ServerIP = ResolveHostName(m_HostName, m_ErrorText);
    } else {
        m_ErrorText = FormatError("gethostname() error : %d", platform::WinsockErrorFromErrno(errno));
    }
    if (m_ServerIP.empty()) {
        m_ServerIP = FirstInterfaceAddress();
        if (m_ServerIP.empty()) m_ServerIP = "127.0.0.1";
        base::Log(base::LogLevel::Warn, "sockets", "this computer's name \"", m_HostName, "\" gives no address (",
                  m_ErrorText, "); the login names ", m_ServerIP);
    }
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
