#pragma once
// The plain vertical scroll bar of the list controls: a track at the right
// edge with a thumb sized to the share of rows shown. A press above or
// below the thumb pages; the thumb can be dragged.

#include <algorithm>

#include "platform/Window.h"

namespace tovrik::controls {

class RowScroller {
 public:
  static constexpr int kWidth = 12;

  enum class Part { None, PageUp, PageDown, Thumb };

  // `track` in client coordinates; `rows` held, `visible` shown at once.
  void Update(platform::Rect track, int rows, int visible) {
    track_ = track;
    rows_ = rows;
    visible_ = std::max(1, visible);
  }
  bool Needed() const { return rows_ > visible_; }
  int MaxTop() const { return std::max(0, rows_ - visible_); }

  platform::Rect Thumb(int top) const {
    const int length = track_.Height();
    const int thumb = std::max(8, length * visible_ / std::max(1, rows_));
    const int travel = std::max(0, length - thumb);
    const int y = MaxTop() == 0 ? 0 : travel * top / MaxTop();
    return {track_.left, track_.top + y, track_.right, track_.top + y + thumb};
  }
  Part HitTest(platform::Point p, int top) const {
    if (!Needed() || !track_.Contains(p)) return Part::None;
    const platform::Rect thumb = Thumb(top);
    if (p.y < thumb.top) return Part::PageUp;
    if (p.y >= thumb.bottom) return Part::PageDown;
    return Part::Thumb;
  }
  // The top row for the thumb's top at `y`.
  int TopForThumbAt(int y, int top) const {
    const int travel = track_.Height() - Thumb(top).Height();
    if (travel <= 0) return 0;
    return std::clamp((y - track_.top) * MaxTop() / travel, 0, MaxTop());
  }
  void Draw(const platform::PaintContext& pc, int top) const {
    if (!Needed()) return;
    pc.Fill(track_, {236, 233, 216});
    const platform::Rect thumb = Thumb(top);
    pc.Fill(thumb, {212, 208, 200});
    pc.Fill({thumb.left, thumb.top, thumb.right, thumb.top + 1}, {255, 255, 255});
    pc.Fill({thumb.left, thumb.top, thumb.left + 1, thumb.bottom}, {255, 255, 255});
    pc.Fill({thumb.left, thumb.bottom - 1, thumb.right, thumb.bottom}, {128, 128, 128});
    pc.Fill({thumb.right - 1, thumb.top, thumb.right, thumb.bottom}, {128, 128, 128});
  }

 private:
  platform::Rect track_;
  int rows_ = 0;
  int visible_ = 1;
};

}  // namespace tovrik::controls
