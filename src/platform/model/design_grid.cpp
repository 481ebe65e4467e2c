#include "platform/model/design_grid.h"

namespace kelvarin::platform {

DesignGrid::DesignGrid(Container& parent, std::string name) : Control(parent, ControlKind::DesignGrid, std::move(name)) {
  SetTabStop(false);
}

void DesignGrid::SetCellSize(int32_t width, int32_t height) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  if (width == cellWidth_ && height == cellHeight_) return;
  cellWidth_ = width;
  cellHeight_ = height;
  Notify(Property::Appearance);
}

void DesignGrid::SetFirstColumn(int32_t column) {
  if (column == firstColumn_) return;
  firstColumn_ = column;
  Notify(Property::Appearance);
}

void DesignGrid::SetLinesInUse(int32_t lines) {
  if (lines < 0) lines = 0;
  if (lines == linesInUse_) return;
  linesInUse_ = lines;
  Notify(Property::Appearance);
}

void DesignGrid::CopyPropertiesFrom(const Control& other) {
  Control::CopyPropertiesFrom(other);
  const auto& o = static_cast<const DesignGrid&>(other);
  cellWidth_ = o.cellWidth_;
  cellHeight_ = o.cellHeight_;
  firstColumn_ = o.firstColumn_;
  linesInUse_ = o.linesInUse_;
}

}  // namespace kelvarin::platform
