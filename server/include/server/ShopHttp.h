#pragma once
// The web shop's HTTP side: cpp-httplib serves on loopback from its own
// threads, and each request is handed to the server's event loop (a queue
// and an eventfd the loop watches), where the shop works with the same
// sessions and database as the game servers. A request the loop does not
// answer in time gets an error page; the work it asked for may still be
// done later, which the purchase tokens make harmless.

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "base/Poller.h"
#include "server/EventLoop.h"
#include "server/Shop.h"

namespace httplib {
class Server;
}

namespace tovrik::server {

class ShopHttp : private base::PollHandler {
 public:
  using Handler = std::function<ShopResponse(const ShopRequest&)>;
  static constexpr std::chrono::seconds kLoopWait{5};
  static constexpr std::size_t kMaxBody = 16 * 1024;

  ShopHttp(EventLoop& loop, Handler handler);
  ~ShopHttp();
  ShopHttp(const ShopHttp&) = delete;
  ShopHttp& operator=(const ShopHttp&) = delete;

  // Listens on host:port (0 = a free port, returned in `boundPort`) and
  // starts serving.
  bool Start(const std::string& host, std::uint16_t port, std::uint16_t& boundPort, std::string& error);
  // Stops serving; requests still waiting get an error page. Idempotent.
  void Stop();

 private:
  struct Job {
    ShopRequest request;
    std::promise<ShopResponse> answer;
  };
  // From an HTTP thread: queues the request for the loop and waits.
  ShopResponse Relay(ShopRequest request);
  // On the loop: answers what is queued.
  void OnPollEvents(std::uint32_t events) override;

  EventLoop& loop_;
  Handler handler_;
  int wake_ = -1;
  std::uint64_t watchKey_ = 0;
  std::mutex mutex_;
  std::deque<std::shared_ptr<Job>> jobs_;
  bool stopped_ = false;
  std::unique_ptr<httplib::Server> http_;
  std::thread thread_;
};

}  // namespace tovrik::server
