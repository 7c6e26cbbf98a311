#pragma once
// Keeps a dialog's controls on their bitmap positions when the dialog
// metrics differ from those of the machine the dialogs were laid out on,
// where 1000 x 1000 dialog units were 1750 x 1500 pixels. Every rectangle is
// scaled by (1750 / mapped width, 1500 / mapped height).
//
// Our dialogs are placed in pixels: the default mapping is that of the
// layout machine, so Reposition changes nothing. A different mapping can be
// injected (a test checks the arithmetic with it).

#include <functional>
#include <optional>

#include "platform/Geometry.h"
#include "platform/Window.h"

namespace tovrik::ui {

class CDialogCtrlReposition {
 public:
  // Dialog units of `dialog` to pixels (MapDialogRect); none when the
  // dialog cannot map them.
  using DialogUnitMapper = std::function<std::optional<platform::Rect>(const platform::Window& dialog, platform::Rect)>;

  static constexpr platform::Rect kBaseRect{0, 0, 1000, 1000};
  static constexpr platform::Rect kReferenceRect{0, 0, 1750, 1500};

  // The layout machine's metrics.
  static std::optional<platform::Rect> LayoutMachineMapping(const platform::Window& dialog, platform::Rect units);

  CDialogCtrlReposition() = default;
  explicit CDialogCtrlReposition(DialogUnitMapper mapper) : mapper_(std::move(mapper)) {}

  // Scales every child window (its rectangle in its parent's client
  // coordinates) and, with `resize`, the dialog's own size; nothing when
  // both factors are 1 or the units cannot be mapped.
  void Reposition(platform::Window& dialog, bool resize);

  // The factors from a mapped base rectangle (1 where a size is 0).
  void SetRate(const platform::Rect& mappedBase);
  void SetBaseRect(const platform::Rect& rect) { base_ = rect; }
  // `rect` scaled by the factors, each coordinate truncated.
  platform::Rect GetRect(const platform::Rect& rect) const;
  // Moves and sizes `control` to its scaled rectangle.
  void CtrlPos(platform::Window& control) const;

  float RateX() const { return rateX_; }
  float RateY() const { return rateY_; }

 private:
  static float Rate(int referencePixels, int baseUnits, int mappedPixels);

  DialogUnitMapper mapper_ = LayoutMachineMapping;
  platform::Rect base_ = kBaseRect;
  float rateX_ = 1.0f;
  float rateY_ = 1.0f;
};

}  // namespace tovrik::ui
