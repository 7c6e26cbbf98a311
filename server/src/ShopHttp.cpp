#include "server/ShopHttp.h"

#include <httplib.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include "server/Log.h"

namespace tovrik::server {
namespace {

constexpr int kHttpThreads = 4;
constexpr int kSocketSeconds = 5;

ShopResponse Unavailable() {
  return ShopError(503, "잠시 후 다시 시도", "서버가 바빠 요청을 처리하지 못했습니다. 잠시 후 다시 시도해 주십시오.");
}

}  // namespace

ShopHttp::ShopHttp(EventLoop& loop, Handler handler) : loop_(loop), handler_(std::move(handler)) {}

ShopHttp::~ShopHttp() { Stop(); }

bool ShopHttp::Start(const std::string& host, std::uint16_t port, std::uint16_t& boundPort, std::string& error) {
  wake_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  watchKey_ = wake_ >= 0 ? loop_.Watch(wake_, *this) : 0;
  if (watchKey_ == 0) {
    error = "shop: cannot create its wake-up descriptor";
    return false;
  }
  http_ = std::make_unique<httplib::Server>();
  http_->new_task_queue = [] { return new httplib::ThreadPool(kHttpThreads); };
  http_->set_payload_max_length(kMaxBody);
  http_->set_read_timeout(kSocketSeconds, 0);
  http_->set_write_timeout(kSocketSeconds, 0);
  http_->set_keep_alive_timeout(kSocketSeconds);
  const auto serve = [this](const httplib::Request& in, httplib::Response& out) {
    ShopRequest request;
    request.method = in.method;
    request.path = in.path;
    request.params.insert(in.params.begin(), in.params.end());
    const std::size_t cookies = in.get_header_value_count("Cookie");
    for (std::size_t i = 0; i < cookies; ++i) {
      request.cookies += (i ? "; " : "") + in.get_header_value("Cookie", i);
    }
    const ShopResponse response = Relay(std::move(request));
    out.status = response.status;
    out.set_content(response.body, "text/html; charset=utf-8");
  };
  http_->Get(".*", serve);
  http_->Post(".*", serve);
  // Errors httplib answers by itself (an overlong request, say) get a page too.
  http_->set_error_handler([](const httplib::Request&, httplib::Response& out) {
    if (!out.body.empty()) return;
    const ShopResponse page = ShopError(out.status, "잘못된 요청", "요청을 처리할 수 없습니다 (HTTP " +
                                                                    std::to_string(out.status) + ").");
    out.set_content(page.body, "text/html; charset=utf-8");
  });
  http_->set_post_routing_handler([](const httplib::Request&, httplib::Response& out) {
    // Pages are never cached, and may load nothing from elsewhere.
    out.set_header("Cache-Control", "no-store");
    out.set_header("X-Content-Type-Options", "nosniff");
    out.set_header("Content-Security-Policy",
                   "default-src 'none'; style-src 'unsafe-inline'; script-src 'unsafe-inline'; form-action 'self'");
  });
  const int bound = port == 0 ? http_->bind_to_any_port(host) : (http_->bind_to_port(host, port) ? port : -1);
  if (bound <= 0) {
    error = "shop: cannot listen on " + host + ":" + std::to_string(port);
    return false;
  }
  boundPort = static_cast<std::uint16_t>(bound);
  thread_ = std::thread([this] { http_->listen_after_bind(); });
  return true;
}

void ShopHttp::Stop() {
  std::deque<std::shared_ptr<Job>> waiting;
  {
    std::lock_guard lock(mutex_);
    if (stopped_) return;
    stopped_ = true;
    waiting.swap(jobs_);
  }
  for (auto& job : waiting) job->answer.set_value(Unavailable());
  if (http_) http_->stop();
  if (thread_.joinable()) thread_.join();
  if (watchKey_) loop_.Unwatch(watchKey_, wake_);
  if (wake_ >= 0) ::close(wake_);
  watchKey_ = 0;
  wake_ = -1;
}

ShopResponse ShopHttp::Relay(ShopRequest request) {
  auto job = std::make_shared<Job>();
  job->request = std::move(request);
  auto answer = job->answer.get_future();
  {
    std::lock_guard lock(mutex_);
    if (stopped_) return Unavailable();
    jobs_.push_back(job);
  }
  const std::uint64_t one = 1;
  [[maybe_unused]] const auto ignored = ::write(wake_, &one, sizeof one);
  if (answer.wait_for(kLoopWait) != std::future_status::ready) {
    Log(LogLevel::Warn, "shop: the server did not answer ", job->request.path, " in time");
    return Unavailable();
  }
  return answer.get();
}

void ShopHttp::OnPollEvents(std::uint32_t) {
  std::uint64_t count = 0;
  [[maybe_unused]] const auto ignored = ::read(wake_, &count, sizeof count);
  for (;;) {
    std::shared_ptr<Job> job;
    {
      std::lock_guard lock(mutex_);
      if (jobs_.empty()) return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    job->answer.set_value(handler_(job->request));
  }
}

}  // namespace tovrik::server
