// A spreadsheet grid: Rows x Cols cells of text, the first FixedRows rows and
// FixedCols columns fixed (headers). One cell is current (Row, Col); setting
// either, also from code, makes that cell current and raises RowColChange at
// once when the current cell changed. TopRow and LeftCol are the first
// scrollable row and column on view. A selection (SelStartRow..SelEndRow,
// SelStartCol..SelEndCol) is read and written as one text by Clip: cells
// separated by tabs, rows by CR.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/model/control.h"

namespace kelvarin::platform {

class Grid : public Control {
 public:
  static constexpr int32_t kDefaultRowHeight = 240;
  static constexpr int32_t kDefaultColWidth = 960;

  Grid(Container& parent, std::string name);
  bool CanHaveFocus() const override { return true; }

  int32_t Rows() const { return rows_; }
  int32_t Cols() const { return cols_; }
  // Changing the counts keeps the texts of the cells that remain; the
  // current cell, the selection and the view are moved inside the grid.
  // A count below 1 is refused (false).
  bool SetRows(int32_t n);
  bool SetCols(int32_t n);
  int32_t FixedRows() const { return fixedRows_; }
  int32_t FixedCols() const { return fixedCols_; }
  // Refused (false) unless below Rows (Cols): one row and column at least
  // must scroll.
  bool SetFixedRows(int32_t n);
  bool SetFixedCols(int32_t n);

  int32_t Row() const { return row_; }
  int32_t Col() const { return col_; }
  // Refused (false) outside the grid.
  bool SetRow(int32_t r);
  bool SetCol(int32_t c);

  int32_t TopRow() const { return topRow_; }
  int32_t LeftCol() const { return leftCol_; }
  // Clamped to the scrollable rows (columns).
  void SetTopRow(int32_t r);
  void SetLeftCol(int32_t c);

  // In twips; indexes outside the grid read as the default and are ignored
  // when set.
  int32_t RowHeight(int32_t r) const;
  int32_t ColWidth(int32_t c) const;
  void SetRowHeight(int32_t r, int32_t twips);
  void SetColWidth(int32_t c, int32_t twips);

  // The current cell's text.
  const std::string& Text() const { return cells_[Index(row_, col_)]; }
  void SetText(const std::string& t);
  // Any cell; "" outside the grid.
  std::string TextMatrix(int32_t r, int32_t c) const;
  void SetTextMatrix(int32_t r, int32_t c, const std::string& t);

  int32_t SelStartRow() const { return selStartRow_; }
  int32_t SelEndRow() const { return selEndRow_; }
  int32_t SelStartCol() const { return selStartCol_; }
  int32_t SelEndCol() const { return selEndCol_; }
  // Values are clamped into the grid. Changing the current cell collapses
  // the selection onto it.
  void SetSelStartRow(int32_t r);
  void SetSelEndRow(int32_t r);
  void SetSelStartCol(int32_t c);
  void SetSelEndCol(int32_t c);
  // Selects one cell.
  void SelectCell(int32_t r, int32_t c);
  // The selected cells' texts; tab between cells, CR between rows.
  std::string Clip() const;
  // Fills the selection from such a text; missing parts leave cells as they
  // are, surplus parts are dropped.
  void SetClip(const std::string& text);

  std::function<void()> RowColChange;
  std::function<void()> SelChange;
  std::function<void()> Click;
  std::function<void()> DblClick;
  // The user scrolled the view inside the grid (UserScrollTo moved TopRow
  // or LeftCol); not raised when code sets them.
  std::function<void()> Scroll;

  // A click on a cell: the grid takes the focus, the cell becomes current
  // (one RowColChange), then Click. Ignored for fixed or out-of-range cells.
  void UserSelectCell(int32_t r, int32_t c);
  void UserScrollTo(int32_t topRow, int32_t leftCol);
  // The arrow keys move the current cell within the scrollable cells.
  void DefaultKeyDown(int16_t keyCode, int16_t shift) override;

 private:
  size_t Index(int32_t r, int32_t c) const { return static_cast<size_t>(r) * static_cast<size_t>(cols_) + c; }
  void Resize(int32_t rows, int32_t cols);
  void SetCurrent(int32_t r, int32_t c);
  void ClampState();

  int32_t rows_ = 2, cols_ = 2, fixedRows_ = 1, fixedCols_ = 1;
  int32_t row_ = 1, col_ = 1, topRow_ = 1, leftCol_ = 1;
  int32_t selStartRow_ = 1, selEndRow_ = 1, selStartCol_ = 1, selEndCol_ = 1;
  std::vector<std::string> cells_;
  std::vector<int32_t> rowHeights_;
  std::vector<int32_t> colWidths_;
};

}  // namespace kelvarin::platform
