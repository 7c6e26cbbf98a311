#include "lobby/HideChatList.h"

#include "base/CodePage.h"

#include <algorithm>
#include <optional>

namespace tovrik::lobby {

namespace {

// Where the sender's "ID(nickname)" starts in a line of each logged format.
std::optional<std::size_t> SenderStart(std::string_view line) {
  static const std::string kWhisper = base::Utf8ToCp949("귓말: ID : ");
  for (std::string_view marker : {std::string_view("ID : "), std::string_view(kWhisper), std::string_view("# ID: ")})
    if (line.starts_with(marker)) return marker.size();
  return std::nullopt;
}

std::optional<ReportTarget> SenderOf(std::string_view line) {
  const std::optional<std::size_t> start = SenderStart(line);
  if (!start) return std::nullopt;
  const std::size_t open = line.find('(', *start);
  if (open == std::string_view::npos) return std::nullopt;
  const std::size_t close = line.find(')', open + 1);
  if (close == std::string_view::npos) return std::nullopt;
  ReportTarget target{std::string(line.substr(*start, open - *start)),
                      std::string(line.substr(open + 1, close - open - 1))};
  if (target.id.empty()) return std::nullopt;
  return target;
}

}  // namespace

void CHideChatList::AddData(std::string_view lineCp949) {
  lines_.emplace_back(lineCp949);
  while (lines_.size() > kMaxLines) lines_.pop_front();
}

std::string CHideChatList::GetData() const {
  std::string all;
  for (const std::string& line : lines_) all += line;
  return all;
}

std::vector<ReportTarget> CHideChatList::ReportTargets() const {
  std::vector<ReportTarget> targets;
  for (const std::string& line : lines_) {
    std::optional<ReportTarget> sender = SenderOf(line);
    if (!sender) continue;
    const auto same = [&](const ReportTarget& t) { return t.id == sender->id; };
    if (std::none_of(targets.begin(), targets.end(), same)) targets.push_back(std::move(*sender));
  }
  return targets;
}

void CHideChatList::MAKE_IDList(const std::function<void(const ReportTarget&)>& addUser) const {
  for (const ReportTarget& target : ReportTargets()) addUser(target);
}

CHideChatList& SharedHideChatList() {
  static CHideChatList log;
  return log;
}

}  // namespace tovrik::lobby
