// The character grid of a layout designer: a drawn background of cells, one
// character wide and one line high, over which the designer places its
// labels. It takes no mouse input of its own: clicks on it are the form's
// (the designer places fields from the form's MouseDown), and the labels
// lying on it keep theirs.
#pragma once

#include <cstdint>
#include <string>

#include "platform/model/control.h"

namespace kelvarin::platform {

class DesignGrid : public Control {
 public:
  DesignGrid(Container& parent, std::string name);

  // Size of one cell in twips; 0 draws no cells.
  int32_t CellWidth() const { return cellWidth_; }
  int32_t CellHeight() const { return cellHeight_; }
  void SetCellSize(int32_t width, int32_t height);
  // The 1-based column number of the leftmost cell (grows as the grid is
  // scrolled to the right-hand columns); ten-column marks follow it.
  int32_t FirstColumn() const { return firstColumn_; }
  void SetFirstColumn(int32_t column);
  // How many lines from the top are in use; the others are drawn dimmed.
  int32_t LinesInUse() const { return linesInUse_; }
  void SetLinesInUse(int32_t lines);

  // The x (twips, relative to the grid) of the left edge of column
  // `column`; negative when the column is scrolled out of sight.
  int32_t ColumnLeft(int32_t column) const { return (column - firstColumn_) * cellWidth_; }

  void CopyPropertiesFrom(const Control& other) override;

 private:
  int32_t cellWidth_ = 0;
  int32_t cellHeight_ = 0;
  int32_t firstColumn_ = 1;
  int32_t linesInUse_ = 0;
};

}  // namespace kelvarin::platform
