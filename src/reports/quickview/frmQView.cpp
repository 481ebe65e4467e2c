#include "reports/quickview/frmQView.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "platform/text/number_text.h"
#include "store/form_helpers.h"
#include "platform/text/trim.h"

namespace kelvarin::reports {

using platform::key::kDown;
using platform::key::kUp;

namespace {

constexpr int32_t kDesignGridHeight = 5892;

std::string TrimRight(const std::string& text) { return std::string(platform::TrimTrailingBlanks(text)); }

platform::ControlFont SansSerifBold(double size) {
  platform::ControlFont f;
  f.size = size;
  f.bold = true;
  return f;
}

}  // namespace

frmQView::frmQView(platform::Host& host, store::Store& store, QuickViewTable& entries)
    : Form(host, "frmQView"), store_(store), entries_(entries), calls_(std::make_unique<WriteBackCalls>(store)) {
  SetCaption("Quick View");
  SetBorderStyle(platform::FormBorder::FixedSingle);
  SetScaleWidth(9375);
  SetScaleHeight(6795);
  SetFont(SansSerifBold(8.25));
  // The window sees every key first: the row and column moves live there.
  SetKeyPreview(true);

  grdQV.Move(0, 0, 9132, kDesignGridHeight);
  grdQV.SetFont(SansSerifBold(8.25));
  VScroll1.Move(9120, 0, 252, kDesignGridHeight);
  HScroll1.Move(0, 5900, 9132, 252);
  Shape1.Move(9120, 5890, 252, 252);
  Shape1.SetShapeKind(1);
  Text1.Move(2640, 6240, 492, kHeaderRowHeight);
  Text1.SetBackColor(0xC0C0C0);
  Text1.SetForeColor(platform::kBlack);
  Text1.SetFont(SansSerifBold(8.25));
  cmdOK.SetCaption("&OK");
  cmdOK.Move(480, 6360, 972, 372);
  cmdOK.SetFont(SansSerifBold(8.25));
  cmdOK.SetDefault(true);
  cmdOK.SetCancel(true);
  lblEntries.Move(3600, 6360, 852, 252);
  lblEntries.SetFont(SansSerifBold(12));
  lblDesc.Move(4560, 6360, 1212, 252);
  lblDesc.SetFont(SansSerifBold(12));
  lblDesc.SetCaption("Entries");
  // The edit box is the only stop, so Tab reaches the window's key handlers
  // as a character instead of moving the focus.
  for (platform::Control* c : std::initializer_list<platform::Control*>{&grdQV, &VScroll1, &HScroll1, &cmdOK})
    c->SetTabStop(false);
  Text1.SetTabIndex(0);

  Load = [this] { Form_Load(); };
  Activate = [this] { Form_Activate(); };
  grdQV.RowColChange = [this] { grdQV_RowColChange(); };
  grdQV.GotFocus = [this] { grdQV_GotFocus(); };
  grdQV.Scroll = [this] { grdQV_Scroll(); };
  Text1.GotFocus = [this] { Text1_GotFocus(); };
  KeyDown = [this](int16_t& k, int16_t shift) { Form_KeyDown(k, shift); };
  KeyPress = [this](int16_t& k) { Form_KeyPress(k); };
  KeyUp = [this](int16_t& k, int16_t shift) { Form_KeyUp(k, shift); };
  HScroll1.Change = [this] { HScroll1_Change(); };
  VScroll1.Change = [this] { VScroll1_Change(); };
  cmdOK.Click = [this] { cmdOK_Click(); };
  // The close box leaves like OK, so a cell typed into is not lost; the run
  // that showed the window unloads it.
  QueryUnload = [this](int16_t& cancel, int16_t mode) {
    if (mode != platform::kUnloadByUser) return;
    cancel = 1;
    cmdOK_Click();
  };
}

std::string frmQView::CellText(const store::EntryRecord& entry, int slot) const {
  if (store_.Formulas[static_cast<size_t>(slot)].Defined != 0) return store_.EvalFormula(entry, slot);
  return TrimRight(entry.FieldText[static_cast<size_t>(slot)]);
}

bool AddListRow(frmQView& view, float& entryNumber, const store::EntryRecord& entry, float& row) {
  if (!(row >= 1 && row <= QuickViewTable::kCapacity)) return false;
  const int32_t r = static_cast<int32_t>(std::lround(row));
  platform::Grid& g = view.grdQV;
  g.SetRows(r + 1);
  g.SetRow(r);
  g.SetCol(0);
  g.SetText(platform::PlainNumber(entryNumber));
  view.entries_.Set(r, entryNumber);
  int32_t c = 0;
  for (int slot = 0; slot < store::kFieldCount; ++slot) {
    if (view.store_.CatalogHeader.FieldLength[static_cast<size_t>(slot)] <= 0) continue;
    ++c;
    g.SetCol(c);
    g.SetText(view.CellText(entry, slot));
  }
  view.rowsFilled_ = std::max(view.rowsFilled_, r);
  return true;
}

void frmQView::Form_Load() {
  store::CenterForm(*this);
  const int32_t py = GetHost().Screen().twipsPerPixelY;
  grdQV.SetRowHeight(0, kHeaderRowHeight);
  // Entry rows are at least as tall as the host lets the edit box be, so
  // the box covers its cell exactly. Rows added later take this height.
  grdQV.SetRowHeight(1, std::max(grdQV.RowHeight(1), GetHost().MinTextBoxHeight()));

  GridReady = false;
  std::vector<std::string> names;
  int16_t c = 0;
  for (int slot = 0; slot < store::kFieldCount; ++slot) {
    const int16_t length = store_.CatalogHeader.FieldLength[static_cast<size_t>(slot)];
    if (length <= 0) continue;
    ++c;
    ColumnField[static_cast<size_t>(c)] = static_cast<int16_t>(slot);
    ColumnLength[static_cast<size_t>(c)] = length;
    const std::string& name = store_.FieldDefs[static_cast<size_t>(slot)].FieldName;
    int32_t w = std::min<int32_t>(length, store_.CurrentSettings.QVColumnWidth);
    w = std::max<int32_t>(w, static_cast<int32_t>(TrimRight(name).size()));
    ColumnWidth[static_cast<size_t>(c)] = static_cast<int16_t>(std::min<int32_t>(w * store_.MaxCharWidth, INT16_MAX));
    names.push_back(name);
  }
  // A catalog without a used field still gets one (empty, read-only) column.
  grdQV.SetCols(std::max<int32_t>(c, 1) + 1);
  grdQV.SetRow(0);
  grdQV.SetColWidth(0, 6 * store_.MaxCharWidth);
  for (int16_t k = 1; k <= c; ++k) {
    grdQV.SetColWidth(k, ColumnWidth[static_cast<size_t>(k)]);
    grdQV.SetCol(k);
    grdQV.SetText(names[static_cast<size_t>(k - 1)]);
  }
  HScroll1.SetMin(1);
  HScroll1.SetMax(std::max<int32_t>(c - 1, 1));

  const int32_t gridHeight = 25 * grdQV.RowHeight(1) + 23 * py;
  grdQV.SetHeight(gridHeight);
  HScroll1.SetTop(grdQV.Top() + grdQV.Height());
  VScroll1.SetHeight(grdQV.Height());
  Shape1.SetTop(HScroll1.Top());
  // Rows taller than designed push the controls below the grid down.
  const int32_t grown = std::max(0, gridHeight - kDesignGridHeight);
  for (platform::Control* below : std::initializer_list<platform::Control*>{&cmdOK, &lblEntries, &lblDesc})
    below->SetTop(below->Top() + grown);
  if (grown > 0) {
    SetScaleHeight(ScaleHeight() + grown);
    store::CenterForm(*this);
  }
  EditOriginal.clear();
}

void frmQView::Form_Activate() {
  // Activation after another window of the program was in front leaves
  // the grid as the user left it.
  if (GridReady) return;
  VScroll1.SetMin(1);
  VScroll1.SetMax(std::max(grdQV.Rows() - kRowsOnView, 1));
  const int32_t count = rowsFilled_ > 0 ? grdQV.Rows() - 1 : 0;
  lblEntries.SetCaption(std::to_string(count));
  if (count == 1) lblDesc.SetCaption("Entry");
  grdQV.SetCol(1);
  grdQV.SetRow(1);
  GridReady = true;
  int16_t col = 1, row = 1;
  PlaceEditBox(col, row);
  Text1.SetText(grdQV.Text());
  EditOriginal = Text1.Text();
}

int32_t frmQView::RowsOnView() const {
  const int32_t py = GetHost().Screen().twipsPerPixelY;
  const int32_t rowPitch = grdQV.RowHeight(1) + py;
  return std::max(1, (grdQV.Height() - grdQV.RowHeight(0) - py) / std::max(rowPitch, 1));
}

void frmQView::PlaceEditBox(int16_t& col, int16_t& row) {
  const int32_t px = GetHost().Screen().twipsPerPixelX;
  const int32_t py = GetHost().Screen().twipsPerPixelY;
  // A box over a row scrolled out of view would float over the rest of the
  // window: the view follows the row instead.
  if (row >= 1 && row < grdQV.TopRow()) {
    grdQV.SetTopRow(row);
  } else if (row >= grdQV.TopRow() + RowsOnView()) {
    grdQV.SetTopRow(row - RowsOnView() + 1);
  }
  int32_t left = px + grdQV.ColWidth(0);
  for (int32_t k = grdQV.LeftCol(); k < col; ++k) left += grdQV.ColWidth(k) + px;
  left += px;
  const int32_t onView = row - grdQV.TopRow();
  const int32_t top = grdQV.RowHeight(0) + onView * grdQV.RowHeight(1) + (onView + 1) * py;
  Text1.Move(left, top, grdQV.ColWidth(col), grdQV.RowHeight(row));
  const size_t c = static_cast<size_t>(std::clamp<int16_t>(col, 0, store::kFieldCount));
  Text1.SetMaxLength(ColumnLength[c]);
  const bool computed = store_.Formulas[static_cast<size_t>(ColumnField[c])].Defined != 0;
  Text1.SetReadOnly(computed || ColumnLength[c] < 1 || !Editable());
  EditCol = col;
  EditRow = row;
  grdQV.SetCol(col);
  grdQV.SetRow(row);
}

bool frmQView::Editable() const {
  // Without a row from this run there is nothing to write back; with
  // view-only access nothing that changes data is offered.
  return rowsFilled_ > 0 && store_.SecurityCode != -1;
}

void frmQView::WriteBack(int32_t row, int32_t col, const std::string& text) {
  if (!Editable() || row < 1 || row > rowsFilled_ || col < 1 || col >= grdQV.Cols()) return;
  const size_t c = static_cast<size_t>(col);
  const int slot = ColumnField[c];
  // A computed field is never stored from the grid: its box is read-only.
  if (ColumnLength[c] < 1 || store_.Formulas[static_cast<size_t>(slot)].Defined != 0) return;
  WriteBackResult r = WriteBackCell(*calls_, entries_.Get(row), slot, ColumnLength[c], text);
  // Unsaved, the cell shows what the file holds, or, when that could not be
  // read, what the cell held before.
  if (!r.written) grdQV.SetTextMatrix(row, col, r.read ? r.fileText : EditOriginal);
}

void frmQView::grdQV_RowColChange() {
  if (!GridReady) return;
  int16_t newCol = static_cast<int16_t>(grdQV.Col());
  int16_t newRow = static_cast<int16_t>(grdQV.Row());
  grdQV.SelectCell(EditRow, EditCol);
  if (Text1.Text() != EditOriginal) {
    grdQV.SetClip(Text1.Text());
    WriteBack(EditRow, EditCol, Text1.Text());
  }
  // The box stays up while it moves to the new cell: hiding the box that
  // holds the focus would send the focus elsewhere in the window.
  grdQV.SelectCell(newRow, newCol);
  PlaceEditBox(newCol, newRow);
  Text1.SetText(grdQV.Clip());
  EditOriginal = Text1.Text();
  Text1.SetVisible(true);
  // As when the box gets the focus: typing replaces the new cell.
  Text1_GotFocus();
}

void frmQView::ShowEditBox() {
  if (!Text1.Visible()) {
    // Hidden since a scroll: the cell may have moved, or left the view.
    int16_t c = static_cast<int16_t>(grdQV.Col()), r = static_cast<int16_t>(grdQV.Row());
    PlaceEditBox(c, r);
    Text1.SetVisible(true);
  }
  Text1.SetFocus();
}

void frmQView::grdQV_GotFocus() {
  if (!GridReady) return;
  // After a scroll the current cell may lie off the view: the top row on
  // view becomes current first, so the box never jumps the view back.
  const int32_t row = grdQV.Row();
  if (row < grdQV.TopRow() || row >= grdQV.TopRow() + RowsOnView()) grdQV.SetRow(grdQV.TopRow());
  Text1.SetVisible(true);
  int16_t c = static_cast<int16_t>(grdQV.Col()), r = static_cast<int16_t>(grdQV.Row());
  PlaceEditBox(c, r);
  Text1.SetFocus();
}

void frmQView::grdQV_Scroll() {
  if (!GridReady) return;
  const int32_t top = std::clamp(grdQV.TopRow(), VScroll1.Min(), VScroll1.Max());
  if (VScroll1.Value() != top) {
    VScroll1.SetValue(top);
  } else {
    VScroll1_Change();
  }
}

void frmQView::Text1_GotFocus() {
  Text1.SetSelStart(0);
  Text1.SetSelLength(static_cast<int32_t>(Text1.Text().size()));
}

void frmQView::Form_KeyDown(int16_t& keyCode, int16_t shift) {
  if ((shift & platform::kShiftMask) != 0) ShiftHeld = true;
  // Rows move once per release: the press (and its repeats) is dropped.
  if ((keyCode == kUp || keyCode == kDown) && !ShiftHeld) keyCode = 0;
}

void frmQView::Form_KeyUp(int16_t& keyCode, int16_t shift) {
  if ((shift & platform::kShiftMask) == 0) ShiftHeld = false;
  if (ShiftHeld) return;
  if (keyCode == kDown) MoveRowDown();
  else if (keyCode == kUp) MoveRowUp();
}

void frmQView::Form_KeyPress(int16_t& keyAscii) {
  if (keyAscii != 9) return;
  if (ShiftHeld) MoveColumnLeft();
  else MoveColumnRight();
  keyAscii = 0;
}

void frmQView::MoveRowDown() {
  if (grdQV.Row() != grdQV.Rows() - 1) {
    if (Text1.Top() >= grdQV.Top() + grdQV.Height() - Text1.Height()) grdQV.SetTopRow(grdQV.TopRow() + 1);
    grdQV.SetRow(grdQV.Row() + 1);
  }
  ShowEditBox();
}

void frmQView::MoveRowUp() {
  if (grdQV.Row() != 1) {
    if (grdQV.Row() == grdQV.TopRow()) grdQV.SetTopRow(grdQV.TopRow() - 1);
    grdQV.SetRow(grdQV.Row() - 1);
  }
  ShowEditBox();
}

void frmQView::MoveColumnRight() {
  const int32_t last = grdQV.Cols() - 1;
  if (grdQV.Col() == last) {
    if (grdQV.Row() == grdQV.Rows() - 1) return;
    grdQV.SetCol(1);
    grdQV.SetRow(grdQV.Row() + 1);
    grdQV.SetLeftCol(1);
    HScroll1.SetValue(1);
    return;
  }
  grdQV.SetCol(grdQV.Col() + 1);
  // The view follows until the whole cell (not only its left edge) is on
  // it, as far as the bar reaches.
  while (grdQV.Width() < Text1.Left() + Text1.Width() && HScroll1.Value() < std::min(grdQV.Col(), HScroll1.Max()))
    HScroll1.SetValue(HScroll1.Value() + 1);
}

void frmQView::MoveColumnLeft() {
  if (grdQV.Col() <= 1) return;
  grdQV.SetCol(grdQV.Col() - 1);
  if (grdQV.Col() < grdQV.LeftCol()) HScroll1.SetValue(grdQV.Col());
}

void frmQView::HScroll1_Change() {
  if (!GridReady) return;
  grdQV.SetLeftCol(HScroll1.Value());
  if (grdQV.Col() < grdQV.LeftCol()) grdQV.SetCol(grdQV.LeftCol());
  int16_t c = static_cast<int16_t>(grdQV.Col()), r = static_cast<int16_t>(grdQV.Row());
  PlaceEditBox(c, r);
}

void frmQView::VScroll1_Change() {
  if (!GridReady) return;
  if (Text1.Visible()) {
    grdQV_RowColChange();
    Text1.SetVisible(false);
  }
  grdQV.SetTopRow(VScroll1.Value());
}

void frmQView::cmdOK_Click() {
  if (Text1.Visible()) WriteBack(EditRow, EditCol, Text1.Text());
  Hide();
}

}  // namespace kelvarin::reports
