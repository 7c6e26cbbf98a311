#include "portal/SystemServices.h"

#include "base/Log.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <netdb.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>

namespace tovrik::portal {

std::string CQXSystemIDInfoModule::FormatHardwareAddress(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  for (size_t i = 0; i < bytes.size(); ++i) {
    char pair[4];
    std::snprintf(pair, sizeof pair, "%02X", bytes[i]);
    if (i) text += ':';
    text += pair;
  }
  return text;
}

std::string CQXSystemIDInfoModule::PickHardwareAddress(const std::vector<NetworkAdapterInfo>& adapters,
                                                       const std::vector<std::uint32_t>& hostAddresses) {
  auto usable = [](const NetworkAdapterInfo& a) {
    return !a.loopback && std::any_of(a.hardwareAddress.begin(), a.hardwareAddress.end(), [](auto b) { return b; });
  };
  for (std::uint32_t host : hostAddresses)
    for (const NetworkAdapterInfo& adapter : adapters)
      if (usable(adapter) && std::count(adapter.ipv4.begin(), adapter.ipv4.end(), host))
        return FormatHardwareAddress(adapter.hardwareAddress);
  const NetworkAdapterInfo* first = nullptr;
  for (const NetworkAdapterInfo& adapter : adapters)
    if (usable(adapter) && (!first || adapter.name < first->name)) first = &adapter;
  return first ? FormatHardwareAddress(first->hardwareAddress) : std::string();
}

std::vector<NetworkAdapterInfo> CQXSystemIDInfoModule::ListAdapters() {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return {};
  std::map<std::string, NetworkAdapterInfo> byName;
  for (ifaddrs* entry = list; entry; entry = entry->ifa_next) {
    if (!entry->ifa_name) continue;
    NetworkAdapterInfo& adapter = byName[entry->ifa_name];
    adapter.name = entry->ifa_name;
    adapter.loopback = adapter.loopback || (entry->ifa_flags & IFF_LOOPBACK);
    if (!entry->ifa_addr) continue;
    if (entry->ifa_addr->sa_family == AF_INET) {
      adapter.ipv4.push_back(reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr.s_addr);
    } else if (entry->ifa_addr->sa_family == AF_PACKET) {
      const auto* link = reinterpret_cast<const sockaddr_ll*>(entry->ifa_addr);
      size_t length = std::min<size_t>(link->sll_halen, sizeof link->sll_addr);
      adapter.hardwareAddress.assign(link->sll_addr, link->sll_addr + length);
    }
  }
  freeifaddrs(list);
  std::vector<NetworkAdapterInfo> adapters;
  for (auto& [name, adapter] : byName) adapters.push_back(std::move(adapter));
  return adapters;
}

std::vector<std::uint32_t> CQXSystemIDInfoModule::HostNameAddresses() {
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) != 0) return {};
  addrinfo hints{};
  hints.ai_family = AF_INET;
  addrinfo* found = nullptr;
  if (getaddrinfo(host, nullptr, &hints, &found) != 0) return {};
  std::vector<std::uint32_t> addresses;
  for (addrinfo* a = found; a; a = a->ai_next)
    addresses.push_back(reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr.s_addr);
  freeaddrinfo(found);
  return addresses;
}

std::string CQXSystemIDInfoModule::GetCSTR(int kind) {
  if (kind != kHardwareAddress) return {};
  return PickHardwareAddress(ListAdapters(), HostNameAddresses());
}

bool CMsgServiceControl::InitService(std::string_view serviceName) {
  tovrik::base::Log(tovrik::base::LogLevel::Info, "portal", "messenger service \"", serviceName, "\": no such service on this system");
  return false;
}

CShellMan::CShellMan(ShellWindowEnumerator enumerator) : enumerator_(std::move(enumerator)) {}

bool CShellMan::ShowExplorer(int show, std::string_view word, int refresh) {
  if (show == 1 ? counter_ >= 0 : counter_ != 0) return false;
  counter_ += show == 1 ? 1 : -1;
  if (!enumerator_) return true;
  for (const auto& window : enumerator_()) {
    if (!window || window->LocationURL().find(word) == std::string::npos) continue;
    if (show == 1) window->Restore();
    else window->Minimize();
    if (refresh == 1) window->Refresh();
  }
  return true;
}

}  // namespace tovrik::portal
