// The grid drawn from the model: fixed rows and columns as headers, the
// scrollable cells from TopRow and LeftCol on, row heights and column widths
// in the model's twips with a one-pixel line after each row and column (and
// a one-pixel border at the left), the current cell framed in the highlight
// colour with the headers of its row and column marked, and the selection. The program
// scrolls it with scroll bars of its own and lays edit boxes over cells by
// their twips, so the drawing follows the model's measures exactly.
#pragma once

#include <QWidget>
#include <memory>
#include <optional>
#include <utility>

namespace kelvarin::platform {
class Grid;
}

namespace kelvarin::platform::qt {

class Binding;
class FormView;

class GridWidget : public QWidget {
 public:
  GridWidget(QWidget* parent, Grid& grid, FormView& form);
  // The rectangle of a cell in widget pixels; empty when it is not on view.
  QRect CellRect(int row, int col) const;
  // The cell under a point; nullopt outside the cells.
  std::optional<std::pair<int, int>> CellAt(QPoint point) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  // Left edges of the columns on view (fixed first), with their indexes.
  std::vector<std::pair<int, int>> VisibleCols() const;
  std::vector<std::pair<int, int>> VisibleRows() const;
  // The width of a grid line and of the left border, in pixels.
  static constexpr int kLine = 1;
  int ColPx(int col) const;
  int RowPx(int row) const;

  Grid& grid_;
  FormView& form_;
};

std::unique_ptr<Binding> MakeGridBinding(FormView& form, Grid& grid, QWidget* parent);

}  // namespace kelvarin::platform::qt
