#include "platform/qt/grid_widget.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

#include "platform/model/grid.h"
#include "platform/qt/binding.h"
#include "platform/qt/form_view.h"
#include "platform/qt/qt_text.h"

namespace kelvarin::platform::qt {

GridWidget::GridWidget(QWidget* parent, Grid& grid, FormView& form) : QWidget(parent), grid_(grid), form_(form) {
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);
}

int GridWidget::ColPx(int col) const { return std::max(0, TwipsToPixels(grid_.ColWidth(col), form_.TwipsPerPixel())); }
int GridWidget::RowPx(int row) const { return std::max(0, TwipsToPixels(grid_.RowHeight(row), form_.TwipsPerPixel())); }

// Cells are laid out as the classic grid did, which is what programs lay
// edit boxes over: a one-pixel border at the left, and a one-pixel grid line
// after every column and every row.
std::vector<std::pair<int, int>> GridWidget::VisibleCols() const {
  std::vector<std::pair<int, int>> out;
  int x = kLine;
  for (int c = 0; c < grid_.FixedCols() && x < width(); ++c) {
    out.emplace_back(c, x);
    x += ColPx(c) + kLine;
  }
  for (int c = grid_.LeftCol(); c < grid_.Cols() && x < width(); ++c) {
    out.emplace_back(c, x);
    x += ColPx(c) + kLine;
  }
  return out;
}

std::vector<std::pair<int, int>> GridWidget::VisibleRows() const {
  std::vector<std::pair<int, int>> out;
  int y = 0;
  for (int r = 0; r < grid_.FixedRows() && y < height(); ++r) {
    out.emplace_back(r, y);
    y += RowPx(r) + kLine;
  }
  for (int r = grid_.TopRow(); r < grid_.Rows() && y < height(); ++r) {
    out.emplace_back(r, y);
    y += RowPx(r) + kLine;
  }
  return out;
}

QRect GridWidget::CellRect(int row, int col) const {
  int x = -1, y = -1;
  for (auto [c, left] : VisibleCols())
    if (c == col) x = left;
  for (auto [r, top] : VisibleRows())
    if (r == row) y = top;
  if (x < 0 || y < 0) return {};
  return QRect(x, y, ColPx(col), RowPx(row));
}

std::optional<std::pair<int, int>> GridWidget::CellAt(QPoint p) const {
  std::optional<int> row, col;
  for (auto [c, left] : VisibleCols())
    if (p.x() >= left && p.x() < left + ColPx(c)) col = c;
  for (auto [r, top] : VisibleRows())
    if (p.y() >= top && p.y() < top + RowPx(r)) row = r;
  if (!row || !col) return std::nullopt;
  return std::make_pair(*row, *col);
}

void GridWidget::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  const QPalette& pal = palette();
  // The grid lines are what the cells leave uncovered.
  p.fillRect(event->rect(), pal.color(QPalette::Mid));
  const auto rows = VisibleRows();
  const auto cols = VisibleCols();
  const bool multi = grid_.SelStartRow() != grid_.SelEndRow() || grid_.SelStartCol() != grid_.SelEndCol();
  const int r0 = std::min(grid_.SelStartRow(), grid_.SelEndRow()), r1 = std::max(grid_.SelStartRow(), grid_.SelEndRow());
  const int c0 = std::min(grid_.SelStartCol(), grid_.SelEndCol()), c1 = std::max(grid_.SelStartCol(), grid_.SelEndCol());
  const QColor highlight = pal.color(QPalette::Highlight);
  QRect currentCell;
  for (auto [r, top] : rows) {
    if (top > event->rect().bottom()) break;
    for (auto [c, left] : cols) {
      QRect cell(left, top, ColPx(c), RowPx(r));
      if (!cell.intersects(event->rect())) continue;
      const bool fixed = r < grid_.FixedRows() || c < grid_.FixedCols();
      const bool current = r == grid_.Row() && c == grid_.Col();
      // The headers of the current row and column are marked, so the eye
      // finds the cell's entry and field at once.
      const bool headerOfCurrent = fixed && ((r == grid_.Row() && r >= grid_.FixedRows()) ||
                                             (c == grid_.Col() && c >= grid_.FixedCols()));
      const bool selected = !fixed && multi && !current && r >= r0 && r <= r1 && c >= c0 && c <= c1;
      QColor back = headerOfCurrent ? highlight.lighter(160)
                    : fixed         ? pal.color(QPalette::Button)
                    : selected      ? highlight
                                    : pal.color(QPalette::Base);
      QColor fore = fixed ? pal.color(QPalette::ButtonText) : selected ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text);
      p.fillRect(cell, back);
      if (fixed) {
        p.setPen(pal.color(QPalette::Light));
        p.drawLine(cell.topLeft(), cell.topRight());
        p.drawLine(cell.topLeft(), cell.bottomLeft());
      }
      p.setPen(fore);
      p.drawText(cell.adjusted(3, 0, -3, 0), Qt::AlignLeft | Qt::AlignVCenter, ToQ(grid_.TextMatrix(r, c)));
      if (current && !fixed) currentCell = cell;
    }
  }
  if (!currentCell.isNull()) {
    // Round the current cell, on its grid lines, whatever covers the cell.
    QPen pen(highlight);
    pen.setWidth(2);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(currentCell.adjusted(-1, -1, 1, 1));
    if (hasFocus()) {
      QPen dots(pal.color(QPalette::Text));
      dots.setStyle(Qt::DotLine);
      p.setPen(dots);
      p.drawRect(currentCell.adjusted(1, 1, -2, -2));
    }
  }
  p.setPen(pal.color(QPalette::Dark));
  p.drawLine(0, 0, 0, height() - 1);
}

void GridWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  if (auto cell = CellAt(event->position().toPoint())) grid_.UserSelectCell(cell->first, cell->second);
}

void GridWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  if (CellAt(event->position().toPoint()) && grid_.Reachable()) RaiseEvent(grid_.DblClick);
}

void GridWidget::wheelEvent(QWheelEvent* event) {
  int steps = event->angleDelta().y() / 120;
  if (steps != 0) grid_.UserScrollTo(grid_.TopRow() - 3 * steps, grid_.LeftCol());
}

// The current cell shows a focus mark only while the grid has the focus.
void GridWidget::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  update();
}

void GridWidget::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  update();
}

namespace {

class GridBinding : public Binding {
 public:
  GridBinding(FormView& f, Grid& g, QWidget* parent) : Binding(f, g) {
    SetWidget(new GridWidget(parent, g, f));
    // Tab is the model's business; a click is the one way in. So the grid
    // is never where the focus falls when the focused control is hidden.
    if (widget_->focusPolicy() != Qt::NoFocus) widget_->setFocusPolicy(Qt::ClickFocus);
  }

 protected:
  void Sync(Property p) override {
    switch (p) {
      case Property::GridShape:
      case Property::Cells:
      case Property::CurrentCell:
      case Property::Scroll:
      case Property::Selection:
      case Property::Focus: widget_->update(); break;
      default: Binding::Sync(p);
    }
  }
};

}  // namespace

std::unique_ptr<Binding> MakeGridBinding(FormView& form, Grid& grid, QWidget* parent) {
  return std::make_unique<GridBinding>(form, grid, parent);
}

}  // namespace kelvarin::platform::qt
