#pragma once
// Runs tovrik-server as a child process on free loopback ports with a
// temporary database, and talks to it with protocol-level test clients.

#include <sys/types.h>

#include <chrono>
#include <type_traits>
#include <cstring>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "protocol/Messages.h"
#include "protocol/Records.h"
#include "server/ServerChild.h"
#include "server/Wire.h"

namespace tovrik::server::testing {

using Endpoint = ListenAddress;

class ServerUnderTest {
 public:
  // Starts a master and two game servers on free ports with the given configuration.
  explicit ServerUnderTest(const std::string& configText)
      : ServerUnderTest(configText, {"--master-port", "0", "--game-port", "0", "--game-port", "0"}) {}
  // Starts with these server arguments; the database is `database`, or a
  // fresh one in the server's directory.
  ServerUnderTest(const std::string& configText, std::vector<std::string> args,
                  std::filesystem::path database = {});
  ~ServerUnderTest();

  bool Running() const { return child_.Running(); }
  const Endpoint& Master() const { return child_.Master(); }
  const std::vector<Endpoint>& Games() const { return child_.Games(); }
  const Endpoint& Shop() const { return child_.WebShop(); }
  const std::filesystem::path& Directory() const { return dir_; }
  const std::filesystem::path& Database() const { return db_; }
  // Sends SIGTERM and returns the exit status (-1 when it did not exit in time).
  int Stop() { return child_.Stop(); }
  void Signal(int signal) { child_.Signal(signal); }
  // The server's log so far.
  std::string Log() const { return child_.Log(); }

 private:
  std::filesystem::path dir_;
  std::filesystem::path db_;
  ServerChild child_;
};

// Records are bytes and little-endian numbers: their bytes are their wire form.
template <typename Record>
concept WireRecord = std::is_trivially_copyable_v<Record> && alignof(Record) == 1;

struct Frame {
  std::int16_t id = 0;
  std::vector<std::uint8_t> payload;

  template <WireRecord Record>
  Record As(std::size_t offset = 0) const {
    Record record;
    if (offset + sizeof record <= payload.size()) std::memcpy(&record, payload.data() + offset, sizeof record);
    return record;
  }
  std::int32_t I32(std::size_t offset) const;
  std::int16_t I16(std::size_t offset) const;
  std::string Text(std::size_t offset, std::size_t width) const;
  std::string Bytes(std::size_t offset, std::size_t count) const;
};

class TestClient {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kWait{3000};

  TestClient() = default;
  explicit TestClient(const Endpoint& endpoint) { Connect(endpoint); }
  ~TestClient();
  TestClient(const TestClient&) = delete;
  TestClient& operator=(const TestClient&) = delete;

  bool Connect(const Endpoint& endpoint);
  void Close();

  // Builds a message with its class, as the client does, and sends it
  // scrambled and numbered: client.Send<protocol::CSV_ASK_ENTERCHAN>(1, 2).
  template <typename Message, typename... Args>
  void Send(Args&&... args) {
    Message message;
    if (message.Set(std::forward<Args>(args)...)) SendFrame(FrameOf(message));
  }
  // Sends a plain frame scrambled and numbered.
  void SendFrame(std::span<const std::uint8_t> plainFrame);
  // Sends raw bytes, for tests of broken peers; false when the connection
  // refuses them (closed by the server).
  bool SendRaw(std::span<const std::uint8_t> bytes);

  // The next frame with that id; frames before it stay queued. Empty on time-out.
  std::optional<Frame> WaitFor(std::int16_t id, std::chrono::milliseconds wait = kWait);
  // True when no frame with that id arrives within `wait`.
  bool Quiet(std::int16_t id, std::chrono::milliseconds wait = std::chrono::milliseconds(300));
  // True when the server closes the connection within `wait`.
  bool WaitClosed(std::chrono::milliseconds wait = kWait);
  void DropQueued() { inbox_.clear(); }
  // Reads what has arrived so far, without waiting, and forgets it.
  void DiscardAvailable();
  // A reader on a slow line: a small receive buffer, then at most
  // `bytesPerSecond` read for `duration` (frames are queued as usual).
  // False when the server closed the connection meanwhile.
  void ShrinkReceiveBuffer(int bytes);
  bool ReadSlowly(std::size_t bytesPerSecond, std::chrono::milliseconds duration);
  // The number of frames with that id that arrive within `wait`.
  int Count(std::int16_t id, std::chrono::milliseconds wait);

  // The whole way in: master server, ticket, game server login.
  // Returns the login acceptance, or empty (with the refusal in `refusal`).
  std::optional<protocol::LOGINACCEPTINFO> Login(const Endpoint& master, const std::string& cookie, int loginGroup,
                                                 std::string* refusal = nullptr);

  // After Login: the game server this client is on.
  const Endpoint& Game() const { return game_; }
  std::int32_t UNum() const { return unum_; }
  const std::string& Id() const { return id_; }
  const std::string& Nick() const { return nick_; }

 private:
  bool ReadSome(Clock::time_point deadline, std::size_t most = 65536);

  int fd_ = -1;
  std::uint16_t seq_ = 0;
  std::vector<std::uint8_t> stream_;
  std::deque<Frame> inbox_;
  bool closed_ = false;
  Endpoint game_;
  std::int32_t unum_ = 0;
  std::string id_;
  std::string nick_;
};

// `master` opens a two-seat room with a bet of 100 and `guest` joins it;
// returns the room number, or 0 when either step is refused.
int OpenRoom(TestClient& master, TestClient& guest);

// A login record as the client fills it.
protocol::ASK_LOGININFO MakeLoginInfo(const protocol::Ms_DestServerInfo& dest, std::size_t authCookieLength);

}  // namespace tovrik::server::testing

namespace tovrik::server::testing {

// The plain frame of a message built with its class.
template <typename Message, typename... Args>
std::vector<std::uint8_t> BuildFrame(Args&&... args) {
  Message message;
  if (!message.Set(std::forward<Args>(args)...)) return {};
  const auto frame = FrameOf(message);
  return std::vector<std::uint8_t>(frame.begin(), frame.end());
}

}  // namespace tovrik::server::testing
