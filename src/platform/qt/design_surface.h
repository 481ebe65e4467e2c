// The Qt face of a DesignGrid: the character grid drawn under the labels
// that a designer places on it. It lets the mouse through to the form.
#pragma once

#include <memory>

#include "platform/qt/binding.h"

namespace kelvarin::platform {
class DesignGrid;
}

namespace kelvarin::platform::qt {

std::unique_ptr<Binding> MakeDesignSurfaceBinding(FormView& form, DesignGrid& grid, QWidget* parent);

}  // namespace kelvarin::platform::qt
