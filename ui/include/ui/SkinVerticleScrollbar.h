#pragma once
// The bitmap scroll bar beside the lobby's chat view: up and down arrows,
// a tiled track and a thumb, each with a normal and a pressed image side by
// side in its file. Arrows scroll a line on release and repeat while held
// (first after 250 ms, then every 50 ms); a release on the track pages
// towards the pointer; dragging the thumb scrolls the view by whole lines.
// The bar follows the view through the view's EN_VSCROLL notifications.

#include <cstdint>
#include <filesystem>

#include "controls/ChatView.h"
#include "controls/Control.h"
#include "ui/MyBitmap.h"

namespace tovrik::ui {

class CSkinVerticleScrollbar : public controls::Control {
 public:
  static constexpr std::uintptr_t kRepeatTimer = 1;
  static constexpr std::uintptr_t kFirstDelayTimer = 2;
  static constexpr std::uint32_t kRepeatMs = 50;
  static constexpr std::uint32_t kFirstDelayMs = 250;

  CSkinVerticleScrollbar() = default;
  ~CSkinVerticleScrollbar() override { Destroy(); }

  // The view the bar scrolls (not owned; the bar forgets it when it goes).
  void SetView(controls::ChatView* view);
  // Loads the four images from the image folder below `programDir`.
  void LoadBtnImage(const std::filesystem::path& programDir = ".");
  // Part sizes from the images (arrows and thumb: half the file's width).
  void CalcImageSize();
  void SetLineHeight(int pixels) { lineHeight_ = pixels; }

  void ScrollUp();
  void ScrollDown();
  void PageUp();
  void PageDown();
  // Places the thumb for the view's position and range, and redraws.
  void UpdateThumbPosition();
  void LimitThumbPosition();
  void Draw() { Invalidate(); }

  int ThumbTop() const { return thumbTop_; }
  int ThumbWidth() const { return thumbWidth_; }
  int ThumbHeight() const { return thumbHeight_; }
  int UpArrowHeight() const { return upHeight_; }
  int DownArrowHeight() const { return downHeight_; }
  int LineHeight() const { return lineHeight_; }
  bool UpPressed() const { return upPressed_; }
  bool DownPressed() const { return downPressed_; }
  bool ThumbDragging() const { return thumbDragging_; }

  platform::LResult WindowProc(platform::MsgId msg, platform::WParam w, platform::LParam l) override;
  void OnPaint(platform::PaintContext& pc) override;

 private:
  controls::ChatView* View() const;
  void OnLButtonDown(platform::Point p);
  void OnLButtonUp(platform::Point p);
  void OnMouseMove(platform::Point p);
  void OnTimer(std::uintptr_t id);
  void StopTimers();
  void SendScroll(unsigned code);
  bool OnUpArrow(platform::Point p) const;
  bool OnDownArrow(platform::Point p) const;
  bool OnThumb(platform::Point p) const;
  // Half `pressed` (right) or normal (left) of a two-image bitmap at y.
  void DrawPart(platform::PaintContext& pc, const CMyBitmap& image, int width, int height, int y, bool pressed) const;

  platform::WindowHandle view_ = platform::WindowHandle::None;
  bool upPressed_ = false;
  bool downPressed_ = false;
  bool thumbDragging_ = false;
  int thumbTop_ = 26;
  double pixelsPerUnit_ = 0.0;
  int upWidth_ = 12, upHeight_ = 26;
  int downWidth_ = 12, downHeight_ = 26;
  int thumbWidth_ = 12, thumbHeight_ = 26;
  int spanWidth_ = 12, spanHeight_ = 1;
  int lineHeight_ = 0;
  CMyBitmap upArrow_;
  CMyBitmap downArrow_;
  CMyBitmap thumb_;
  CMyBitmap span_;
};

}  // namespace tovrik::ui
