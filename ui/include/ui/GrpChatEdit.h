#pragma once
// The lobby's chat view with the skinned scroll bar standing right of it in
// the same parent. The bar follows the view's moves and sizes, and the
// wheel over the view scrolls one line a notch through the bar.

#include <filesystem>
#include <memory>

#include "controls/ChatView.h"
#include "ui/SkinVerticleScrollbar.h"

namespace tovrik::ui {

class CGrpChatEdit : public controls::ChatView {
 public:
  static constexpr int kScrollBarId = 0xFFFF;

  CGrpChatEdit() = default;
  ~CGrpChatEdit() override { Destroy(); }

  // Creates the bar beside the view, moved by `offset` (x on both sides;
  // the top by y, the bottom by |y|), with the images of `programDir`.
  bool Init(platform::Point offset, const std::filesystem::path& programDir = ".");
  // The bar's line step follows the view's font.
  void UpdateScrollSize();
  void SetFonts(std::shared_ptr<platform::Font> normal, std::shared_ptr<platform::Font> bold);

  CSkinVerticleScrollbar& ScrollBar() { return bar_; }
  // Where the bar belongs, in the parent's client coordinates.
  platform::Rect BarRect() const;

  platform::LResult WindowProc(platform::MsgId msg, platform::WParam w, platform::LParam l) override;

 private:
  void PlaceBar();

  CSkinVerticleScrollbar bar_;
  platform::Point offset_;
};

}  // namespace tovrik::ui
