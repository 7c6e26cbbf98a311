#include "app/StatusView.h"

#include "app/ClientServices.h"

#include "base/CodePage.h"
#include "base/Log.h"
#include "platform/MessageBox.h"
#include "platform/Text.h"

using namespace tovrik::platform;
namespace base = tovrik::base;
using tovrik::base::Cp949FieldToUtf8;
using tovrik::base::Cp949ToUtf8;

namespace tovrik::app {

namespace {
constexpr size_t kKeptLines = 30;
}

CStatusView::CStatusView() = default;

CStatusView::~CStatusView() { Destroy(); }

ClientScreens CStatusView::Screens() {
  return {this, this, this, &connectBox_, &closingBox_, this};
}

void CStatusView::OpenPcRoomService(int grade) { AddLine("PC방 서비스 등급 " + std::to_string(grade)); }

void CStatusView::ShowProfile(const tovrik::protocol::USERINFO& user, int) {
  AddLine("프로필: " + OneLineName(Cp949FieldToUtf8(std::span<const char>(user.NickName, sizeof user.NickName))) + " (" +
          std::to_string(user.Point.get()) + "점)");
}

int CStatusView::ShowEventNotice(int type) {
  AddLine("이벤트 안내 " + std::to_string(type));
  return IDCANCEL;
}

void CStatusView::SetStatus(std::string_view text) {
  status_ = text;
  base::Log(base::LogLevel::Info, "app", "status: ", status_);
  Invalidate();
}

void CStatusView::AddLine(std::string line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == ' ')) line.pop_back();
  base::Log(base::LogLevel::Info, "app", line);
  lines_.push_back(std::move(line));
  while (lines_.size() > kKeptLines) lines_.pop_front();
  Invalidate();
}

void CStatusView::Chan_DelAll() { AddLine("channels:"); }

void CStatusView::Chan_InsItem(std::string_view displayNameCp949, const tovrik::protocol::CHANNELINFO& channel) {
  AddLine("  " + Cp949ToUtf8(displayNameCp949) + " (" + std::to_string(channel.UserCnt.get()) + "/" +
          std::to_string(channel.MaxUser.get()) + ")");
}

void CStatusView::NavigateWeb(std::string_view url) { AddLine("page: " + std::string(url)); }

void CStatusView::AddChat(std::string_view text, ChatColour, bool) {
  // A chat text may hold several lines.
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    AddLine(std::string(text.substr(start, end - start)));
    start = end + 1;
  }
}

void CStatusView::Box::Open(std::string_view text) {
  view_.boxText_ = text;
  view_.Invalidate();
}

void CStatusView::Box::Close() {
  view_.boxText_.clear();
  view_.Invalidate();
}

void CStatusView::OnPaint(PaintContext& pc) {
  pc.Fill(GetClientRect(), RgbColor{255, 255, 255});
  std::shared_ptr<Font> font = Font::Default();
  std::shared_ptr<Font> bold = Font::DefaultBold();
  if (!font || !bold) return;
  const PixelView& target = pc.Target();
  Point o = pc.Origin();
  int y = o.y + 12;
  TextOut(target, *bold, o.x + 12, y, status_, RgbColor{0, 0, 120}, pc.Clip());
  y += bold->LineHeight() + 4;
  if (!boxText_.empty()) {
    TextOut(target, *font, o.x + 12, y, boxText_, RgbColor{160, 0, 0}, pc.Clip());
    y += font->LineHeight() + 4;
  }
  for (const std::string& line : lines_) {
    TextOut(target, *font, o.x + 12, y, line, RgbColor{0, 0, 0}, pc.Clip());
    y += font->LineHeight() + 2;
  }
}

}  // namespace tovrik::app
