#include "platform/qt/grid_widget.h"

#include <QMouseEvent>
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

std::vector<std::pair<int, int>> GridWidget::VisibleCols() const {
  std::vector<std::pair<int, int>> out;
  int x = 0;
  for (int c = 0; c < grid_.FixedCols() && x < width(); ++c) {
    out.emplace_back(c, x);
    x += ColPx(c);
  }
  for (int c = grid_.LeftCol(); c < grid_.Cols() && x < width(); ++c) {
    out.emplace_back(c, x);
    x += ColPx(c);
  }
  return out;
}

std::vector<std::pair<int, int>> GridWidget::VisibleRows() const {
  std::vector<std::pair<int, int>> out;
  int y = 0;
  for (int r = 0; r < grid_.FixedRows() && y < height(); ++r) {
    out.emplace_back(r, y);
    y += RowPx(r);
  }
  for (int r = grid_.TopRow(); r < grid_.Rows() && y < height(); ++r) {
    out.emplace_back(r, y);
    y += RowPx(r);
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

void GridWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QPalette& pal = palette();
  const QColor lineColor = pal.color(QPalette::Mid);
  const auto rows = VisibleRows();
  const auto cols = VisibleCols();
  const bool multi = grid_.SelStartRow() != grid_.SelEndRow() || grid_.SelStartCol() != grid_.SelEndCol();
  const int r0 = std::min(grid_.SelStartRow(), grid_.SelEndRow()), r1 = std::max(grid_.SelStartRow(), grid_.SelEndRow());
  const int c0 = std::min(grid_.SelStartCol(), grid_.SelEndCol()), c1 = std::max(grid_.SelStartCol(), grid_.SelEndCol());
  for (auto [r, top] : rows)
    for (auto [c, left] : cols) {
      QRect cell(left, top, ColPx(c), RowPx(r));
      const bool fixed = r < grid_.FixedRows() || c < grid_.FixedCols();
      const bool current = r == grid_.Row() && c == grid_.Col();
      const bool selected = !fixed && multi && !current && r >= r0 && r <= r1 && c >= c0 && c <= c1;
      QColor back = fixed ? pal.color(QPalette::Button) : selected ? pal.color(QPalette::Highlight) : pal.color(QPalette::Base);
      QColor fore = fixed      ? pal.color(QPalette::ButtonText)
                    : selected ? pal.color(QPalette::HighlightedText)
                               : pal.color(QPalette::Text);
      p.fillRect(cell, back);
      if (fixed) {
        p.setPen(pal.color(QPalette::Light));
        p.drawLine(cell.topLeft(), cell.topRight());
        p.drawLine(cell.topLeft(), cell.bottomLeft());
        p.setPen(pal.color(QPalette::Dark));
        p.drawLine(cell.topRight(), cell.bottomRight());
        p.drawLine(cell.bottomLeft(), cell.bottomRight());
      } else {
        p.setPen(lineColor);
        p.drawLine(cell.topRight(), cell.bottomRight());
        p.drawLine(cell.bottomLeft(), cell.bottomRight());
      }
      p.setPen(fore);
      p.drawText(cell.adjusted(3, 0, -3, 0), Qt::AlignLeft | Qt::AlignVCenter, ToQ(grid_.TextMatrix(r, c)));
      if (current && !fixed && hasFocus()) {
        QPen pen(pal.color(QPalette::Text));
        pen.setStyle(Qt::DotLine);
        p.setPen(pen);
        p.drawRect(cell.adjusted(1, 1, -2, -2));
      }
    }
  p.setPen(pal.color(QPalette::Dark));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
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
  GridBinding(FormView& f, Grid& g, QWidget* parent) : Binding(f, g) { SetWidget(new GridWidget(parent, g, f)); }

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
