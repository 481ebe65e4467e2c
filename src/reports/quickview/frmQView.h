// The Quick View window: a grid of a run's matches, one row per entry (its
// number in the fixed first column, one column per used field, the field
// names in the fixed header row), in which the user moves with the keyboard,
// the mouse and two scroll bars and overtypes cells through an edit box laid
// exactly over the current cell. A changed cell is written back into its
// entry (write_back.h).
//
// A run loads the window (the columns and the header row are built), adds
// its matches with AddListRow, shows it modally and unloads it after OK has
// hidden it. Every run constructs a fresh window; only the table of entry
// numbers (QuickViewTable) outlives it.
//
//   frmQView view(host, store, state.QuickViewEntries);
//   view.LoadForm();
//   AddListRow(view, n, entry, row);   // rows 1, 2, 3, ...
//   view.Show(platform::ShowMode::Modal);
//   view.UnloadForm();
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/model/model.h"
#include "reports/quickview/quick_view_table.h"
#include "reports/quickview/write_back.h"
#include "store/store.h"

namespace kelvarin::reports {

class frmQView : public platform::Form {
 public:
  // Height of the header row: the edit box's height as designed.
  static constexpr int32_t kHeaderRowHeight = 192;
  // Entry rows on view below the header row; the grid is built this tall.
  static constexpr int32_t kRowsOnView = 24;

  frmQView(platform::Host& host, store::Store& store, QuickViewTable& entries);

  platform::Grid grdQV{*this, "grdQV"};
  platform::VScrollBar VScroll1{*this, "VScroll1"};
  platform::HScrollBar HScroll1{*this, "HScroll1"};
  platform::Shape Shape1{*this, "Shape1"};
  platform::TextBox Text1{*this, "Text1"};
  platform::CommandButton cmdOK{*this, "cmdOK"};
  platform::Label lblEntries{*this, "lblEntries"};
  platform::Label lblDesc{*this, "lblDesc"};

  // Per column 1..n (element 0 unused): the field slot shown, its length
  // and the column's width in twips.
  std::array<int16_t, store::kFieldCount + 1> ColumnField{};
  std::array<int16_t, store::kFieldCount + 1> ColumnLength{};
  std::array<int16_t, store::kFieldCount + 1> ColumnWidth{};
  int16_t EditRow = 0;
  int16_t EditCol = 0;
  std::string EditOriginal;
  bool GridReady = false;
  bool ShiftHeld = false;

  // Rows AddListRow filled while this window was loaded; only they are
  // ever written back.
  int32_t RowsFilled() const { return rowsFilled_; }
  // The store and key-index calls of write-backs; a test may put calls of
  // its own in their place.
  void SetWriteBackCalls(std::unique_ptr<WriteBackCalls> calls) { calls_ = std::move(calls); }

  // ---- handlers ------------------------------------------------------------
  void Form_Load();
  void Form_Activate();
  void grdQV_RowColChange();
  void grdQV_GotFocus();
  // The grid's view was scrolled by the user inside it (the mouse wheel):
  // handled as a move of the vertical bar.
  void grdQV_Scroll();
  void Text1_GotFocus();
  void Form_KeyDown(int16_t& keyCode, int16_t shift);
  void Form_KeyPress(int16_t& keyAscii);
  void Form_KeyUp(int16_t& keyCode, int16_t shift);
  void HScroll1_Change();
  void VScroll1_Change();
  void cmdOK_Click();

 private:
  friend bool AddListRow(frmQView& view, float& entryNumber, const store::EntryRecord& entry, float& row);

  void PlaceEditBox(int16_t& col, int16_t& row);
  void MoveRowDown();
  void MoveRowUp();
  void MoveColumnRight();
  void MoveColumnLeft();
  // The write-back of cell (row, col) with the text; afterwards the cell
  // shows what the file holds when the write failed.
  void WriteBack(int32_t row, int32_t col, const std::string& text);
  bool Editable() const;
  // Entry rows that fit below the header row.
  int32_t RowsOnView() const;
  void ShowEditBox();
  std::string CellText(const store::EntryRecord& entry, int slot) const;

  store::Store& store_;
  QuickViewTable& entries_;
  std::unique_ptr<WriteBackCalls> calls_;
  int32_t rowsFilled_ = 0;
};

// Appends one match as grid row `row` (1-based, the match count so far) of
// a loaded, not yet shown window and records its entry number. A row
// outside 1..4011 is refused (false): nothing is written.
bool AddListRow(frmQView& view, float& entryNumber, const store::EntryRecord& entry, float& row);

}  // namespace kelvarin::reports
