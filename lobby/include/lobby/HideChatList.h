#pragma once
// The hidden conversation log: the last lines of chat, whispers and room
// events with their senders' IDs, in code page 949, as abuse reports quote
// them. One log serves the whole client: the lobby writes every line the
// controller logs into it, and the room's report reads it, so it survives
// changes of screen.

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tovrik::lobby {

// A sender named in the log (code page 949).
struct ReportTarget {
  std::string id;
  std::string nickName;
  friend bool operator==(const ReportTarget&, const ReportTarget&) = default;
};

class CHideChatList {
 public:
  static constexpr std::size_t kMaxLines = 90;

  // Appends one line (it ends with its own line break); past kMaxLines the
  // oldest goes.
  void AddData(std::string_view lineCp949);
  // Every line, oldest first, joined.
  std::string GetData() const;
  std::size_t GetSize() const { return lines_.size(); }
  void Clear() { lines_.clear(); }
  const std::deque<std::string>& Lines() const { return lines_; }

  // The senders the log names, oldest first, each ID once. A sender is read
  // only where the log's own formats put it: a lobby line starts with
  // "ID : ", a received whisper with "귓말: ID : ", a room line with
  // "# ID: "; the ID runs to the next "(" and the nickname from there to the
  // next ")". Whatever a player typed comes after those, so a typed marker
  // names nobody; lines without the marker or the parentheses are skipped.
  std::vector<ReportTarget> ReportTargets() const;
  // Hands each of those to `addUser` (the report dialog's list).
  void MAKE_IDList(const std::function<void(const ReportTarget&)>& addUser) const;

 private:
  std::deque<std::string> lines_;
};

// The log of the running client.
CHideChatList& SharedHideChatList();

}  // namespace tovrik::lobby
