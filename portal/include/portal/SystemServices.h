#pragma once
// Services the client takes from the system directly: the machine
// identifier, the messenger-service switch and the portal browser windows.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tovrik::portal {

// One network adapter as the machine identifier sees it.
struct NetworkAdapterInfo {
  std::string name;
  std::vector<std::uint32_t> ipv4;          // addresses in network byte order
  std::vector<std::uint8_t> hardwareAddress;
  bool loopback = false;
};

class CQXSystemIDInfoModule {
 public:
  static constexpr int kHardwareAddress = 2;

  // Kind 2: the hardware address of the adapter that holds this computer's
  // host-name address, as upper-case hexadecimal pairs joined by ":". Empty
  // for other kinds and when no adapter has a hardware address.
  static std::string GetCSTR(int kind);

  // The choice behind kind 2, given the adapters and the host name's
  // addresses. When no adapter holds one of those (host names often map to
  // a loopback alias such as 127.0.1.1) the first adapter by name with a
  // non-zero hardware address stands in, so the identifier stays stable.
  static std::string PickHardwareAddress(const std::vector<NetworkAdapterInfo>& adapters,
                                         const std::vector<std::uint32_t>& hostAddresses);
  static std::string FormatHardwareAddress(const std::vector<std::uint8_t>& bytes);

  static std::vector<NetworkAdapterInfo> ListAdapters();
  static std::vector<std::uint32_t> HostNameAddresses();
};

// Stops the system's messenger service while the client runs and puts it
// back afterwards. There is no such service on this platform: InitService
// finds nothing to stop and answers false.
class CMsgServiceControl {
 public:
  bool InitService(std::string_view serviceName);
  ~CMsgServiceControl() = default;
};

// A web-browser window of the portal, as the shell lists them.
class IShellBrowserWindow {
 public:
  virtual ~IShellBrowserWindow() = default;
  virtual std::string LocationURL() const = 0;
  virtual void Restore() = 0;
  virtual void Minimize() = 0;
  virtual void Refresh() = 0;
};

// Lists the shell's browser windows at the moment of the call.
using ShellWindowEnumerator = std::function<std::vector<std::shared_ptr<IShellBrowserWindow>>()>;

class CShellMan {
 public:
  // On this platform the desktop's browsers are not ours to list: the
  // default enumerator finds no windows.
  explicit CShellMan(ShellWindowEnumerator enumerator = {});

  // Restores (show 1) or minimises (show 0) every browser window whose
  // address contains `word`, reloading it when refresh is 1. A show passes
  // only after a hide, and a hide only while nothing is hidden. True when
  // the call passed.
  bool ShowExplorer(int show, std::string_view word, int refresh);

  // Below 0 while the windows are hidden.
  int counter() const { return counter_; }

 private:
  ShellWindowEnumerator enumerator_;
  int counter_ = 0;
};

}  // namespace tovrik::portal
