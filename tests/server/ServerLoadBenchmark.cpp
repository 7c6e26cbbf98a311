// Load on tovrik-server from many protocol-level clients on loopback, with
// the rate limits in place: relayed room messages per second, logins per
// second, the time until a lobby chat line has reached every user of a
// channel, and a well-behaved user's chat echo while another user floods.
// The figures go into the server README with the machine they came from.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ServerHarness.h"
#include "protocol/MessageCatalogue.h"
#include "protocol/TextField.h"

namespace tovrik::server::testing {
namespace {

namespace msgid = protocol::msgid;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr const char* kConfig = R"([Rules]
StartMoney = 100000
MaxRoomsPerChannel = 800
[Group1]
Name = load
[Channel1-1]
MaxUser = 1000
)";

const std::vector<std::string> kArgs = {"--master-port", "0", "--game-port", "0", "--log-level", "warn"};

// A thousand users and the server's side of them need more descriptors
// than a shell's default.
void RaiseDescriptorLimit() {
  rlimit limit{};
  getrlimit(RLIMIT_NOFILE, &limit);
  limit.rlim_cur = limit.rlim_max;
  setrlimit(RLIMIT_NOFILE, &limit);
}

// Reads whatever has arrived for each client and forgets it.
void Drain(std::vector<std::unique_ptr<TestClient>>& clients) {
  for (auto& client : clients) client->DiscardAvailable();
}

struct Crowd {
  std::unique_ptr<ServerUnderTest> server;
  std::vector<std::unique_ptr<TestClient>> users;
  double loginsPerSecond = 0;
};

// `count` users logged in one after another into the one channel.
bool Gather(Crowd& crowd, int count, benchmark::State& state) {
  RaiseDescriptorLimit();
  crowd.server = std::make_unique<ServerUnderTest>(kConfig, kArgs);
  if (!crowd.server->Running()) {
    state.SkipWithError("the server did not start");
    return false;
  }
  const auto start = Clock::now();
  for (int n = 0; n < count; ++n) {
    auto user = std::make_unique<TestClient>();
    if (!user->Login(crowd.server->Master(), "u" + std::to_string(n), 1)) {
      state.SkipWithError(("login " + std::to_string(n) + " failed").c_str());
      return false;
    }
    crowd.users.push_back(std::move(user));
    // Each arrival is announced to all: read it away now and then.
    if (n % 50 == 49) Drain(crowd.users);
  }
  crowd.loginsPerSecond = count / std::chrono::duration<double>(Clock::now() - start).count();
  Drain(crowd.users);
  return true;
}

// Pairs in rooms; every round each guest sends a burst of readiness
// messages (relayed to both players of its room), and the round ends when
// both members of every room have them all. Between rounds the guests wait
// until their rate limit allows the next burst; that wait is not measured.
void BM_RelayedMessages(benchmark::State& state) {
  const int pairs = static_cast<int>(state.range(0));
  constexpr int kBurst = 50;  // within the relay limit's burst of 60
  Crowd crowd;
  if (!Gather(crowd, 2 * pairs, state)) return;
  for (int n = 0; n < pairs; ++n) {
    if (!OpenRoom(*crowd.users[2 * n], *crowd.users[2 * n + 1])) return state.SkipWithError("no room");
  }
  Drain(crowd.users);
  long long relayed = 0;
  for (auto _ : state) {
    std::this_thread::sleep_for(milliseconds(2000));
    const auto start = Clock::now();
    for (int n = 0; n < pairs; ++n) {
      const auto frame = BuildFrame<protocol::CCL_READYTOSTART>(crowd.users[2 * n + 1]->Id());
      for (int i = 0; i < kBurst; ++i) crowd.users[2 * n + 1]->SendFrame(frame);
    }
    for (auto& user : crowd.users) {
      for (int i = 0; i < kBurst; ++i) {
        if (!user->WaitFor(msgid::CCL_READYTOSTART)) return state.SkipWithError("relayed messages went missing");
      }
    }
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    relayed += 2LL * kBurst * pairs;
  }
  state.counters["relayed_per_s"] = benchmark::Counter(static_cast<double>(relayed), benchmark::Counter::kIsRate);
  state.counters["logins_per_s"] = crowd.loginsPerSecond;
}
BENCHMARK(BM_RelayedMessages)->Arg(16)->Arg(100)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

// One user says a line; the time is until the last user of the channel (the
// speaker's own echo included) has it. Speakers take turns, so that no one
// meets the chat limit.
void BM_LobbyChatFanOut(benchmark::State& state) {
  const int users = static_cast<int>(state.range(0));
  Crowd crowd;
  if (!Gather(crowd, users, state)) return;
  int speaker = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    TestClient& says = *crowd.users[speaker++ % users];
    says.Send<protocol::CSV_CHATDATA>(says.Id(), "hello everyone");
    for (auto& user : crowd.users) {
      if (!user->WaitFor(msgid::CSV_CHATDATA)) return state.SkipWithError("a chat line went missing");
    }
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
  }
  state.counters["users"] = users;
  state.counters["logins_per_s"] = crowd.loginsPerSecond;
}
BENCHMARK(BM_LobbyChatFanOut)->Arg(300)->Arg(1000)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

// While one user floods the lobby with full-length lines (logging in again
// whenever it is dropped), well-behaved users each say one line in turn,
// 20 ms apart; the figure is the time until a speaker has its own line back.
// The flooder is one of the channel's `users`.
void BM_ChatEchoUnderFlood(benchmark::State& state) {
  const int users = static_cast<int>(state.range(0)) - 1;
  Crowd crowd;
  if (!Gather(crowd, users, state)) return;
  std::atomic<bool> stop{false};
  std::atomic<int> floods{0};
  std::thread flooder([&] {
    const auto line = BuildFrame<protocol::CSV_CHATDATA>("flood", std::string(512, 'f'));
    std::vector<std::uint8_t> burst;
    for (int i = 0; i < 400; ++i) {
      const auto sealed = SealFrame(line, static_cast<std::uint16_t>(i + 2));
      burst.insert(burst.end(), sealed.begin(), sealed.end());
    }
    while (!stop) {
      TestClient flood;
      if (!flood.Login(crowd.server->Master(), "flood", 1)) continue;
      ++floods;
      // What comes back is read away; a refused send means it was dropped.
      while (!stop && flood.SendRaw(burst)) flood.DiscardAvailable();
    }
  });
  for (const auto start = Clock::now(); floods == 0 && Clock::now() - start < std::chrono::seconds(10);) {
    std::this_thread::sleep_for(milliseconds(10));
  }
  std::vector<double> echoes;
  int speaker = 0;
  for (auto _ : state) {
    std::this_thread::sleep_for(milliseconds(20));
    TestClient& says = *crowd.users[speaker++ % users];
    const auto start = Clock::now();
    says.Send<protocol::CSV_CHATDATA>(says.Id(), "still there?");
    bool back = false;
    while (!back) {
      const auto line = says.WaitFor(msgid::CSV_CHATDATA, milliseconds(10000));
      if (!line) break;
      back = line->Text(0, 16) == says.Id();
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (!back) {
      stop = true;
      flooder.join();
      return state.SkipWithError("an echo went missing");
    }
    state.SetIterationTime(seconds);
    echoes.push_back(seconds * 1000.0);
    // The others read now and then, as clients do; not part of the measure.
    if (speaker % 20 == 0) Drain(crowd.users);
  }
  stop = true;
  flooder.join();
  std::sort(echoes.begin(), echoes.end());
  auto percentile = [&](double p) { return echoes[std::min(echoes.size() - 1, static_cast<std::size_t>(p * echoes.size()))]; };
  state.counters["users"] = users + 1;
  state.counters["echo_p50_ms"] = percentile(0.50);
  state.counters["echo_p99_ms"] = percentile(0.99);
  state.counters["flooder_logins"] = floods.load();
}
BENCHMARK(BM_ChatEchoUnderFlood)->Arg(300)->Arg(1000)->Iterations(200)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tovrik::server::testing
