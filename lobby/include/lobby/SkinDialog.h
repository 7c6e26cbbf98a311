#pragma once
// The look every small dialog of the lobby and the room shares: a
// background bitmap sets the window's size, the window keeps only the
// bitmap's opaque part, it opens centred on its parent, a left press on its
// surface drags it, and its buttons are four-state bitmap strips that play
// the click effect. A derived dialog names its background and its buttons'
// images and paints its texts over the background.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "controls/Dialog.h"
#include "ui/MyBitmap.h"
#include "ui/MyButton.h"

namespace tovrik::lobby {

// The click effect of every button (sound effect 17).
inline constexpr int kClickEffect = 17;
void PlayClickEffect();

class CSkinDialog : public controls::Dialog {
 public:
  CSkinDialog(const controls::DialogTemplate& dialogTemplate, std::string backgroundPath);
  ~CSkinDialog() override;

  // The button of a control slot, when the slot has a skinned image.
  ui::CMyButton* SkinButton(int id) const;
  const ui::CMyBitmap& Background() const { return background_; }

  platform::LResult WindowProc(platform::MsgId msg, platform::WParam w, platform::LParam l) override;
  void OnPaint(platform::PaintContext& pc) override;

 protected:
  // Gives the button of slot `id` the strip `imagePath` (four states); the
  // strip's size replaces the slot's. Call before the dialog is created.
  void SetButtonImage(int id, std::string imagePath);
  // Another background (before the dialog is created).
  void SetBackground(std::string backgroundPath) { backgroundPath_ = std::move(backgroundPath); }
  // Loads the background and the button strips, sizes, shapes and centres
  // the window. Derived dialogs call it first from their OnInitDialog.
  bool OnInitDialog() override;
  // Texts and pictures over the background.
  virtual void PaintContents(platform::PaintContext&) {}
  platform::Window* ProvideControl(const controls::ControlSpec& spec) override;

 private:
  struct ButtonImage {
    int id;
    std::string path;
  };

  std::string backgroundPath_;
  ui::CMyBitmap background_;
  std::vector<ButtonImage> buttonImages_;
  std::vector<std::unique_ptr<ui::CMyButton>> buttons_;
};

}  // namespace tovrik::lobby
