#pragma once
// Makes the standard control for a control record's class.

#include <memory>

#include "controls/Control.h"

namespace tovrik::controls {

// The control for `spec`, not yet created, with the record's caption and
// style applied; null for a class that has no standard control (Custom, or
// one this library does not provide).
std::unique_ptr<Control> MakeStandardControl(const ControlSpec& spec);

}  // namespace tovrik::controls
