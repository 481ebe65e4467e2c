#include "platform/model/grid.h"

#include <algorithm>

namespace kelvarin::platform {

Grid::Grid(Container& parent, std::string name) : Control(parent, ControlKind::Grid, std::move(name)) {
  SetBackColor(kSysWindow);
  cells_.assign(static_cast<size_t>(rows_ * cols_), std::string());
  rowHeights_.assign(static_cast<size_t>(rows_), kDefaultRowHeight);
  colWidths_.assign(static_cast<size_t>(cols_), kDefaultColWidth);
}

void Grid::Resize(int32_t rows, int32_t cols) {
  if (cols == cols_) {
    // Rows are stored one after another: growing or shrinking by rows keeps
    // every remaining cell in place, so a grid filled a row at a time costs
    // no copying.
    cells_.resize(static_cast<size_t>(rows) * static_cast<size_t>(cols));
  } else {
    std::vector<std::string> cells(static_cast<size_t>(rows) * static_cast<size_t>(cols));
    for (int32_t r = 0; r < std::min(rows, rows_); ++r)
      for (int32_t c = 0; c < std::min(cols, cols_); ++c)
        cells[static_cast<size_t>(r) * static_cast<size_t>(cols) + c] = std::move(cells_[Index(r, c)]);
    cells_ = std::move(cells);
  }
  rowHeights_.resize(static_cast<size_t>(rows), rowHeights_.empty() ? kDefaultRowHeight : rowHeights_.back());
  colWidths_.resize(static_cast<size_t>(cols), kDefaultColWidth);
  rows_ = rows;
  cols_ = cols;
  ClampState();
  Notify(Property::GridShape);
  Notify(Property::Cells);
}

void Grid::ClampState() {
  fixedRows_ = std::min(fixedRows_, rows_ - 1);
  fixedCols_ = std::min(fixedCols_, cols_ - 1);
  auto clampRow = [&](int32_t& v) { v = std::clamp(v, 0, rows_ - 1); };
  auto clampCol = [&](int32_t& v) { v = std::clamp(v, 0, cols_ - 1); };
  clampRow(row_);
  clampCol(col_);
  clampRow(selStartRow_);
  clampRow(selEndRow_);
  clampCol(selStartCol_);
  clampCol(selEndCol_);
  topRow_ = std::clamp(topRow_, fixedRows_, rows_ - 1);
  leftCol_ = std::clamp(leftCol_, fixedCols_, cols_ - 1);
}

bool Grid::SetRows(int32_t n) {
  if (n < 1) return false;
  if (n != rows_) Resize(n, cols_);
  return true;
}

bool Grid::SetCols(int32_t n) {
  if (n < 1) return false;
  if (n != cols_) Resize(rows_, n);
  return true;
}

bool Grid::SetFixedRows(int32_t n) {
  if (n < 0 || n >= rows_) return false;
  if (n == fixedRows_) return true;
  fixedRows_ = n;
  ClampState();
  Notify(Property::GridShape);
  return true;
}

bool Grid::SetFixedCols(int32_t n) {
  if (n < 0 || n >= cols_) return false;
  if (n == fixedCols_) return true;
  fixedCols_ = n;
  ClampState();
  Notify(Property::GridShape);
  return true;
}

void Grid::SetCurrent(int32_t r, int32_t c) {
  if (r == row_ && c == col_) return;
  row_ = r;
  col_ = c;
  selStartRow_ = selEndRow_ = r;
  selStartCol_ = selEndCol_ = c;
  Notify(Property::CurrentCell);
  Notify(Property::Selection);
  RaiseEvent(RowColChange);
}

bool Grid::SetRow(int32_t r) {
  if (r < 0 || r >= rows_) return false;
  SetCurrent(r, col_);
  return true;
}

bool Grid::SetCol(int32_t c) {
  if (c < 0 || c >= cols_) return false;
  SetCurrent(row_, c);
  return true;
}

void Grid::SetTopRow(int32_t r) {
  r = std::clamp(r, fixedRows_, rows_ - 1);
  if (r == topRow_) return;
  topRow_ = r;
  Notify(Property::Scroll);
}

void Grid::SetLeftCol(int32_t c) {
  c = std::clamp(c, fixedCols_, cols_ - 1);
  if (c == leftCol_) return;
  leftCol_ = c;
  Notify(Property::Scroll);
}

int32_t Grid::RowHeight(int32_t r) const {
  if (r < 0 || r >= rows_) return kDefaultRowHeight;
  return rowHeights_[static_cast<size_t>(r)];
}

int32_t Grid::ColWidth(int32_t c) const {
  if (c < 0 || c >= cols_) return kDefaultColWidth;
  return colWidths_[static_cast<size_t>(c)];
}

void Grid::SetRowHeight(int32_t r, int32_t twips) {
  if (r < 0 || r >= rows_ || twips < 0 || rowHeights_[static_cast<size_t>(r)] == twips) return;
  rowHeights_[static_cast<size_t>(r)] = twips;
  Notify(Property::GridShape);
}

void Grid::SetColWidth(int32_t c, int32_t twips) {
  if (c < 0 || c >= cols_ || twips < 0 || colWidths_[static_cast<size_t>(c)] == twips) return;
  colWidths_[static_cast<size_t>(c)] = twips;
  Notify(Property::GridShape);
}

void Grid::SetText(const std::string& t) { SetTextMatrix(row_, col_, t); }

std::string Grid::TextMatrix(int32_t r, int32_t c) const {
  if (r < 0 || r >= rows_ || c < 0 || c >= cols_) return "";
  return cells_[Index(r, c)];
}

void Grid::SetTextMatrix(int32_t r, int32_t c, const std::string& t) {
  if (r < 0 || r >= rows_ || c < 0 || c >= cols_) return;
  std::string& cell = cells_[Index(r, c)];
  if (cell == t) return;
  cell = t;
  Notify(Property::Cells);
}

void Grid::SetSelStartRow(int32_t r) {
  selStartRow_ = std::clamp(r, 0, rows_ - 1);
  Notify(Property::Selection);
}
void Grid::SetSelEndRow(int32_t r) {
  selEndRow_ = std::clamp(r, 0, rows_ - 1);
  Notify(Property::Selection);
}
void Grid::SetSelStartCol(int32_t c) {
  selStartCol_ = std::clamp(c, 0, cols_ - 1);
  Notify(Property::Selection);
}
void Grid::SetSelEndCol(int32_t c) {
  selEndCol_ = std::clamp(c, 0, cols_ - 1);
  Notify(Property::Selection);
}

void Grid::SelectCell(int32_t r, int32_t c) {
  SetSelStartRow(r);
  SetSelEndRow(r);
  SetSelStartCol(c);
  SetSelEndCol(c);
}

std::string Grid::Clip() const {
  int32_t r0 = std::min(selStartRow_, selEndRow_), r1 = std::max(selStartRow_, selEndRow_);
  int32_t c0 = std::min(selStartCol_, selEndCol_), c1 = std::max(selStartCol_, selEndCol_);
  std::string out;
  for (int32_t r = r0; r <= r1; ++r) {
    if (r > r0) out += '\r';
    for (int32_t c = c0; c <= c1; ++c) {
      if (c > c0) out += '\t';
      out += cells_[Index(r, c)];
    }
  }
  return out;
}

void Grid::SetClip(const std::string& text) {
  int32_t r0 = std::min(selStartRow_, selEndRow_), r1 = std::max(selStartRow_, selEndRow_);
  int32_t c0 = std::min(selStartCol_, selEndCol_), c1 = std::max(selStartCol_, selEndCol_);
  bool changed = false;
  size_t pos = 0;
  for (int32_t r = r0; r <= r1 && pos <= text.size(); ++r) {
    size_t rowEnd = text.find('\r', pos);
    if (rowEnd == std::string::npos) rowEnd = text.size();
    size_t cpos = pos;
    for (int32_t c = c0; c <= c1 && cpos <= rowEnd; ++c) {
      size_t cellEnd = text.find('\t', cpos);
      if (cellEnd == std::string::npos || cellEnd > rowEnd) cellEnd = rowEnd;
      std::string value = text.substr(cpos, cellEnd - cpos);
      std::string& cell = cells_[Index(r, c)];
      if (cell != value) {
        cell = std::move(value);
        changed = true;
      }
      cpos = cellEnd + 1;
    }
    pos = rowEnd + 1;
  }
  if (changed) Notify(Property::Cells);
}

void Grid::UserSelectCell(int32_t r, int32_t c) {
  if (!Reachable() || r < fixedRows_ || r >= rows_ || c < fixedCols_ || c >= cols_) return;
  SetFocus();
  if (!Reachable()) return;
  SetCurrent(r, c);
  RaiseEvent(Click);
}

void Grid::DefaultKeyDown(int16_t keyCode, int16_t /*shift*/) {
  int32_t r = row_, c = col_;
  switch (keyCode) {
    case key::kUp: --r; break;
    case key::kDown: ++r; break;
    case key::kLeft: --c; break;
    case key::kRight: ++c; break;
    default: return;
  }
  if (r < fixedRows_ || r >= rows_ || c < fixedCols_ || c >= cols_) return;
  SetCurrent(r, c);
}

void Grid::UserScrollTo(int32_t topRow, int32_t leftCol) {
  if (!Reachable()) return;
  const int32_t top = topRow_, left = leftCol_;
  SetTopRow(topRow);
  SetLeftCol(leftCol);
  if (top != topRow_ || left != leftCol_) RaiseEvent(Scroll);
}

}  // namespace kelvarin::platform
