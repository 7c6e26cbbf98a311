#pragma once
// The common base of the standard controls: a window with a caption (its
// window text, UTF-8) and the style bits of its control record.

#include <string>
#include <string_view>

#include "controls/ControlTable.h"
#include "platform/Window.h"

namespace tovrik::controls {

class Control : public platform::Window {
 public:
  Control() = default;
  Control(std::string caption, unsigned style) : caption_(std::move(caption)), style_(style) {}

  // Takes the caption and style of a control record; called before the
  // window is created.
  virtual void ApplySpec(const ControlSpec& spec);

  // Text controls override it to set the text they edit or show.
  virtual void SetWindowText(std::string_view utf8);
  const std::string& GetWindowText() const { return caption_; }
  unsigned Style() const { return style_; }

 protected:
  void SetStyle(unsigned style) { style_ = style; }

 private:
  std::string caption_;
  unsigned style_ = 0;
};

}  // namespace tovrik::controls
