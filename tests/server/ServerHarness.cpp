#include "ServerHarness.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include "protocol/LittleEndian.h"
#include "protocol/MessageCatalogue.h"
#include "protocol/TextField.h"

namespace tovrik::server::testing {

namespace msgid = protocol::msgid;

namespace {

std::filesystem::path FreshDirectory() {
  static int counter = 0;
  auto dir = std::filesystem::temp_directory_path() /
             ("tovrik-server-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

}  // namespace

ServerUnderTest::ServerUnderTest(const std::string& configText, std::vector<std::string> serverArgs,
                                 std::filesystem::path database)
    : dir_(FreshDirectory()), db_(database.empty() ? dir_ / "server.db" : database) {
  std::ofstream(dir_ / "server.ini") << configText;
  std::vector<std::string> args = {"--db", db_.string(), "--config", (dir_ / "server.ini").string(),
                                   "--log-level", "debug"};
  args.insert(args.end(), serverArgs.begin(), serverArgs.end());
  std::string error;
  child_.Start(std::filesystem::path(TOVRIK_RUNTIME_DIR) / "tovrik-server", args, dir_ / "server.log", error);
}

ServerUnderTest::~ServerUnderTest() {
  child_.Stop();
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

std::int32_t Frame::I32(std::size_t offset) const {
  return offset + 4 <= payload.size() ? protocol::LoadLE<std::int32_t>(payload.data() + offset) : 0;
}

std::int16_t Frame::I16(std::size_t offset) const {
  return offset + 2 <= payload.size() ? protocol::LoadLE<std::int16_t>(payload.data() + offset) : 0;
}

std::string Frame::Text(std::size_t offset, std::size_t width) const {
  if (offset + width > payload.size()) return {};
  return std::string(protocol::ReadText({reinterpret_cast<const char*>(payload.data()) + offset, width}));
}

std::string Frame::Bytes(std::size_t offset, std::size_t count) const {
  if (offset + count > payload.size()) return {};
  return std::string(reinterpret_cast<const char*>(payload.data()) + offset, count);
}

TestClient::~TestClient() { Close(); }

bool TestClient::Connect(const Endpoint& endpoint) {
  Close();
  fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(endpoint.port));
  inet_pton(AF_INET, endpoint.host.c_str(), &address.sin_addr);
  if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    Close();
    return false;
  }
  const int yes = 1;
  setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
  seq_ = 0;
  closed_ = false;
  stream_.clear();
  inbox_.clear();
  return true;
}

void TestClient::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void TestClient::SendFrame(std::span<const std::uint8_t> plainFrame) {
  const auto sealed = SealFrame(plainFrame, ++seq_);
  SendRaw(sealed);
}

bool TestClient::SendRaw(std::span<const std::uint8_t> bytes) {
  std::size_t sent = 0;
  while (fd_ >= 0 && sent < bytes.size()) {
    const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return fd_ >= 0;
}

bool TestClient::ReadSome(Clock::time_point deadline, std::size_t most) {
  if (fd_ < 0 || closed_) return false;
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  pollfd wait{fd_, POLLIN, 0};
  if (left <= 0 || ::poll(&wait, 1, static_cast<int>(left)) <= 0) return false;
  std::uint8_t chunk[65536];
  const ssize_t got = ::recv(fd_, chunk, std::min(most, sizeof chunk), 0);
  if (got <= 0) {
    closed_ = true;
    return false;
  }
  stream_.insert(stream_.end(), chunk, chunk + got);
  for (;;) {
    ReceivedFrame frame;
    std::size_t consumed = 0;
    std::string reason;
    const CutResult result = CutFrame(stream_, 95000, frame, consumed, reason);
    if (result != CutResult::Frame) break;
    stream_.erase(stream_.begin(), stream_.begin() + static_cast<std::ptrdiff_t>(consumed));
    const auto payload = frame.Payload();
    inbox_.push_back({frame.msgId, std::vector<std::uint8_t>(payload.begin(), payload.end())});
  }
  return true;
}

std::optional<Frame> TestClient::WaitFor(std::int16_t id, std::chrono::milliseconds wait) {
  const auto deadline = Clock::now() + wait;
  for (;;) {
    for (auto it = inbox_.begin(); it != inbox_.end(); ++it) {
      if (it->id == id) {
        Frame frame = std::move(*it);
        inbox_.erase(it);
        return frame;
      }
    }
    if (!ReadSome(deadline)) return std::nullopt;
  }
}

void TestClient::DiscardAvailable() {
  for (;;) {
    pollfd ready{fd_, POLLIN, 0};
    if (fd_ < 0 || closed_ || ::poll(&ready, 1, 0) <= 0) break;
    if (!ReadSome(Clock::now() + std::chrono::milliseconds(100))) break;
  }
  inbox_.clear();
}

void TestClient::ShrinkReceiveBuffer(int bytes) {
  if (fd_ >= 0) setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
}

bool TestClient::ReadSlowly(std::size_t bytesPerSecond, std::chrono::milliseconds duration) {
  constexpr auto kStep = std::chrono::milliseconds(10);
  const std::size_t perStep = std::max<std::size_t>(1, bytesPerSecond / 100);
  const auto end = Clock::now() + duration;
  for (auto next = Clock::now(); next < end && !closed_; next += kStep) {
    std::this_thread::sleep_until(next);
    ReadSome(next + kStep, perStep);
  }
  return !closed_;
}

int TestClient::Count(std::int16_t id, std::chrono::milliseconds wait) {
  int count = 0;
  const auto deadline = Clock::now() + wait;
  while (WaitFor(id, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()))) ++count;
  return count;
}

bool TestClient::Quiet(std::int16_t id, std::chrono::milliseconds wait) { return !WaitFor(id, wait); }

bool TestClient::WaitClosed(std::chrono::milliseconds wait) {
  const auto deadline = Clock::now() + wait;
  while (!closed_ && Clock::now() < deadline) ReadSome(deadline);
  return closed_;
}

int OpenRoom(TestClient& master, TestClient& guest) {
  protocol::ROOMINFO room;
  protocol::CopyIfShorter(room.Title, "play");
  room.MaxUser = 2;
  room.BetPebble = 100;
  master.Send<protocol::CSV_ASK_CREATEROOM>(room);
  const auto accepted = master.WaitFor(msgid::CSV_ACCEPT_CREATEROOM);
  if (!accepted) return 0;
  const int roomNo = accepted->As<protocol::ROOMINFO>().RoomNo;
  guest.Send<protocol::CSV_ASK_ENTERROOM>(roomNo, guest.UNum(), guest.Id(), "");
  return guest.WaitFor(msgid::CSV_ACCEPT_ENTERROOM) ? roomNo : 0;
}

protocol::ASK_LOGININFO MakeLoginInfo(const protocol::Ms_DestServerInfo& dest, std::size_t authCookieLength) {
  protocol::ASK_LOGININFO info;
  protocol::CopyIfShorter(info.LocalIP, "127.0.0.1");
  protocol::CopyIfShorter(info.HostIP, "127.0.0.1");
  info.LocalPort = 20000 + 1234;
  info.AuthCookieLen = static_cast<std::int32_t>(authCookieLength);
  info.Ticket1 = dest.Ticket1;
  info.Ticket2 = dest.Ticket2;
  info.Ticket3 = dest.Ticket3;
  info.Ticket4 = dest.Ticket4;
  info.Ticket5 = dest.Ticket5;
  return info;
}

std::optional<protocol::LOGINACCEPTINFO> TestClient::Login(const Endpoint& master, const std::string& cookie,
                                                           int loginGroup, std::string* refusal) {
  TestClient masterClient;
  if (!masterClient.Connect(master)) return std::nullopt;
  const auto version = masterClient.WaitFor(msgid::CMS_CHECKVERSION);
  if (!version || version->I32(0) != 184) return std::nullopt;
  masterClient.Send<protocol::CMS_ASK_DESTSERVERINFO>(loginGroup);
  const auto dest = masterClient.WaitFor(msgid::CMS_DESTSERVERINFO, std::chrono::milliseconds(1000));
  if (!dest) {
    const auto refused = masterClient.WaitFor(msgid::CMS_REFUSE_DESTSERVERINFO, std::chrono::milliseconds(100));
    if (refused && refusal) *refusal = refused->Bytes(8, static_cast<std::size_t>(std::max(0, refused->I32(4))));
    return std::nullopt;
  }
  const auto info = dest->As<protocol::Ms_DestServerInfo>();
  game_ = {std::string(protocol::ReadText(info.IP)), info.Port};
  if (!Connect(game_)) return std::nullopt;
  const auto gameVersion = WaitFor(msgid::CSV_CHECKVERSION);
  if (!gameVersion || gameVersion->I32(0) != 184) return std::nullopt;
  Send<protocol::CSV_ASK_LOGIN>(MakeLoginInfo(info, cookie.size()), cookie, "", "");
  const auto accept = WaitFor(msgid::CSV_ACCEPT_LOGIN);
  if (!accept) {
    if (refusal) {
      if (const auto refused = WaitFor(msgid::CSV_REFUSE_LOGIN, std::chrono::milliseconds(100))) {
        *refusal = refused->Bytes(8, static_cast<std::size_t>(std::max(0, refused->I32(4))));
      }
    }
    return std::nullopt;
  }
  const auto result = accept->As<protocol::LOGINACCEPTINFO>();
  unum_ = result.UI.UNum;
  id_ = std::string(protocol::ReadText(result.UI.ID));
  nick_ = std::string(protocol::ReadText(result.UI.NickName));
  return result;
}

}  // namespace tovrik::server::testing
