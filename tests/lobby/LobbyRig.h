#pragma once
// What the chat and room tests share: a chat place that writes down what an
// input shows, logs and sends, and the parsing of the frames it sent.

#include "app/Screens.h"
#include "base/CodePage.h"
#include "lobby/ChatPlace.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tovrik::lobby::testing {

inline std::string Cp(std::string_view utf8) { return base::Utf8ToCp949(utf8); }

struct ShownLine {
  std::string utf8;
  app::ChatColour colour;
  friend bool operator==(const ShownLine&, const ShownLine&) = default;
};

class RecordingPlace final : public IChatPlace {
 public:
  explicit RecordingPlace(ChatPlaceKind place = kChatInLobby) : place_(place) {}
  ChatPlaceKind Place() const override { return place_; }
  void ShowLine(std::string_view utf8, app::ChatColour colour) override { shown.push_back({std::string(utf8), colour}); }
  void AddHiddenLine(std::string_view line) override { hidden.emplace_back(line); }
  int FindUserNumber(std::string_view nick) const override {
    const auto at = users.find(std::string(nick));
    return at == users.end() ? -1 : at->second;
  }
  void Send(const char* data, int size) override { sent.emplace_back(data, data + size); }
  bool RefusesWhisperTo(std::string_view nick) const override { return refused == nick; }

  // The sent frame `index` parsed as `Message` (null when it is another).
  template <typename Message>
  std::unique_ptr<Message> Sent(std::size_t index) {
    if (index >= sent.size()) return nullptr;
    auto message = std::make_unique<Message>();
    if (!message->Get(sent[index].data(), int(sent[index].size()))) return nullptr;
    return message;
  }

  std::vector<ShownLine> shown;
  std::vector<std::string> hidden;
  std::vector<std::vector<char>> sent;
  std::map<std::string, int> users;  // nickname (code page 949) -> user number
  std::string refused;

 private:
  ChatPlaceKind place_;
};

}  // namespace tovrik::lobby::testing
