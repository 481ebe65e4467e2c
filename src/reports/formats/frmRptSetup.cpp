#include "reports/formats/frmRptSetup.h"

#include <algorithm>

#include "store/form_helpers.h"
#include "platform/text/trim.h"

namespace kelvarin::reports {

namespace {

using platform::kBlack;
using platform::kSysWindow;
using platform::kSysWindowText;
using platform::kWhite;

constexpr int16_t kEntryColumn = 21;
constexpr int16_t kMaxLines = 21;
constexpr int16_t kMaxScroll = -90;
constexpr int32_t kRightmostStart = 90;  // Right stops once a field starts past this column
constexpr int32_t kTitleCells = 16;      // a 14-character name and ": "
// Columns the grid shows at once: with the 90 columns of scrolling, the
// view reaches column 255, the widest a field can be.
constexpr int32_t kVisibleColumns = 165;
constexpr int32_t kMinWidth = 9600;

// Integer part towards minus infinity, as a label left of the origin needs.
int32_t FloorDiv(int32_t a, int32_t b) {
  int32_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

std::string RTrim(const std::string& s) { return std::string(platform::TrimTrailingBlanks(s)); }

}  // namespace

frmRptSetup::frmRptSetup(platform::Host& host, store::Store& store) : Form(host, "frmRptSetup"), store_(store) {
  SetCaption("Edit Report Format");
  SetBorderStyle(platform::FormBorder::FixedDialog);
  const int32_t cw = std::max<int32_t>(1, store_.AvgCharWidth), ch = std::max<int32_t>(1, store_.CharHeight);
  const int32_t areaHeight = kMaxLines * ch;
  const int32_t y0 = areaHeight + 150;
  const int32_t width = std::max(kMinWidth, kVisibleColumns * cw);
  SetScaleWidth(width);
  SetScaleHeight(y0 + 1260);

  grdDesign.Move(0, 0, width, areaHeight + 15);
  grdDesign.SetCellSize(cw, ch);
  lblField(0).Move(0, -ch, cw, ch);
  lblField(0).SetVisible(false);
  lblField(0).SetBackColor(kSysWindow);
  lblField(0).SetForeColor(kSysWindowText);
  lblField(0).SetBorderStyle(1);
  lblField(0).SetFontSize(7);  // a name fits the cells its value takes
  lblField(0).SetTabStop(false);
  linRptEnd.SetBorderColor(platform::kRed);
  linRptEnd.SetBorderWidth(2);

  // First row: the field and its width, lines per entry, the coordinates.
  lblName.SetCaption("Name:");
  lblName.Move(120, y0 + 45, 600, 255);
  cboFieldName.Move(720, y0, 2400, 315);
  lblNumLines.SetCaption("# Lines:");
  lblNumLines.Move(3360, y0 + 45, 720, 255);
  panNumLines.Move(4080, y0, 480, 315);
  Spin1.Move(4560, y0, 255, 315);
  lblWidth.SetCaption(" Width:");
  lblWidth.Move(5040, y0 + 45, 660, 255);
  panFieldLength.Move(5700, y0, 480, 315);
  Spin2.Move(6180, y0, 255, 315);
  lblCol.SetCaption("Col:");
  lblCol.Move(6720, y0 + 45, 420, 255);
  lblXCoord.Move(7140, y0 + 45, 600, 255);
  lblRow.SetCaption("Row:");
  lblRow.Move(7800, y0 + 45, 480, 255);
  lblYCoord.Move(8280, y0 + 45, 600, 255);

  // Second row: moving, scrolling, titles; OK and Cancel on the right.
  const int32_t y1 = y0 + 480;
  cmdUp.SetCaption("^");
  cmdUp.Move(600, y1, 420, 345);
  cmdLeft.SetCaption("<");
  cmdLeft.Move(120, y1 + 345, 420, 345);
  cmdRight.SetCaption(">");
  cmdRight.Move(1080, y1 + 345, 420, 345);
  cmdDown.SetCaption("v");
  cmdDown.Move(600, y1 + 345, 420, 345);
  lblScroll.SetCaption("Scroll Page:");
  lblScroll.Move(1800, y1 + 60, 1200, 255);
  cmdScrLeft.SetCaption("<<");
  cmdScrLeft.Move(1800, y1 + 345, 540, 345);
  cmdScrRight.SetCaption(">>");
  cmdScrRight.Move(2400, y1 + 345, 540, 345);
  cmdRemove.SetCaption("&Remove");
  cmdRemove.Move(3360, y1 + 345, 1080, 345);
  chkTitles.SetCaption("Show Titles");
  chkTitles.Move(4680, y1 + 345, 1500, 315);
  cmdOK.SetCaption("&OK");
  cmdOK.SetDefault(true);
  cmdOK.Move(width - 2640, y1 + 345, 1215, 375);
  cmdCancel.SetCaption("&Cancel");
  cmdCancel.SetCancel(true);
  cmdCancel.Move(width - 1320, y1 + 345, 1215, 375);
  cboFieldName.SetTabIndex(0);

  Load = [this] { Form_Load(); };
  MouseDown = [this](int16_t b, int16_t, int32_t x, int32_t y) { Form_MouseDown(b, x, y); };
  MouseMove = [this](int16_t, int16_t, int32_t x, int32_t y) { Form_MouseMove(x, y); };
  cboFieldName.Click = [this] { cboFieldName_Click(); };
  lblField.Wire([this](platform::Label& l, int16_t i) {
    l.MouseDown = [this, i](int16_t b, int16_t, int32_t, int32_t) { lblField_MouseDown(i, b); };
    l.MouseMove = [this, i](int16_t, int16_t, int32_t, int32_t) { lblField_MouseMove(i); };
  });
  cmdUp.Click = [this] { cmdUp_Click(); };
  cmdDown.Click = [this] { cmdDown_Click(); };
  cmdLeft.Click = [this] { cmdLeft_Click(); };
  cmdRight.Click = [this] { cmdRight_Click(); };
  Spin1.SpinUp = [this] { Spin1_SpinUp(); };
  Spin1.SpinDown = [this] { Spin1_SpinDown(); };
  Spin2.SpinUp = [this] { Spin2_SpinUp(); };
  Spin2.SpinDown = [this] { Spin2_SpinDown(); };
  cmdScrLeft.Click = [this] { cmdScrLeft_Click(); };
  cmdScrRight.Click = [this] { cmdScrRight_Click(); };
  chkTitles.Click = [this](int16_t v) { chkTitles_Click(v); };
  cmdRemove.Click = [this] { cmdRemove_Click(); };
  cmdOK.Click = [this] { cmdOK_Click(); };
  cmdCancel.Click = [this] { cmdCancel_Click(); };
  // Closing the window is a Cancel: a DialogResult of 0 left by an earlier
  // dialog would otherwise have the caller write the format.
  QueryUnload = [this](int16_t& /*cancel*/, int16_t mode) {
    if (mode == platform::kUnloadByUser) store_.DialogResult = -1;
  };
}

void frmRptSetup::Form_Load() {
  store::CenterForm(*this);
  scrollOffset_ = 0;
  grdDesign.SetFirstColumn(1);
  const int16_t lines = store_.EditLayout[0].LinesPerEntry;
  panNumLines.SetCaption(std::to_string(lines));
  selectedField_ = 0;
  ShowNumLines(lines);
  FillFieldCombo();
  for (int16_t i = 1; i <= kEntryColumn; ++i) lblField.Load(i);
  RedrawFieldLabels(true);
  cboFieldName.SetListIndex(0);
  if (store_.EditLayoutHeader.ShowTitles == 1) chkTitles.SetValue(1);
  store_.MousePointerDefault();
}

bool frmRptSetup::IsInLayoutArea(int32_t /*x*/, int32_t y) const { return y > 50 && y < linRptEnd.Y1(); }

bool frmRptSetup::FieldOverlaps(int16_t i, int32_t column, int32_t line) const {
  const int32_t extra = store_.EditLayoutHeader.ShowTitles == 1 ? kTitleCells - 1 : 0;
  const int32_t start = column, end = column + store_.EditLayout[static_cast<size_t>(i)].Width + extra;
  for (int16_t j = 0; j <= kEntryColumn; ++j) {
    if (j == i) continue;
    const store::ReportColumn& other = store_.EditLayout[static_cast<size_t>(j)];
    if (other.Line < 1 || other.Line != line) continue;
    const int32_t otherEnd = other.Column + other.Width + extra;
    if (start <= otherEnd && other.Column <= end) return true;
  }
  return false;
}

void frmRptSetup::Form_MouseDown(int16_t Button, int32_t X, int32_t Y) {
  X = std::max<int32_t>(0, X);
  Y = std::max<int32_t>(0, Y);
  if (Button != platform::kLeftButton || !IsInLayoutArea(X, Y)) return;
  const int32_t n32 = cboFieldName.ListIndex();
  if (n32 < 0 || n32 > kEntryColumn) return;
  const auto n = static_cast<int16_t>(n32);
  const int32_t cw = std::max<int32_t>(1, store_.AvgCharWidth), ch = std::max<int32_t>(1, store_.CharHeight);
  const int32_t column = X / cw - scrollOffset_ + 1;
  const int32_t line = Y / ch + 1;
  if (FieldOverlaps(n, column, line)) return;
  DeselectFieldLabel(selectedField_);
  lblField(n).SetCaption(cboFieldName.Text());
  lblField(n).SetVisible(true);
  PositionFieldLabel(n, column - 1, line - 1, true);
  selectedField_ = n;
  UpdateFieldCoords();
}

void frmRptSetup::Form_MouseMove(int32_t X, int32_t Y) {
  SetMousePointer(IsInLayoutArea(X, Y) ? platform::kPointerCross : platform::kPointerDefault);
}

void frmRptSetup::lblField_MouseDown(int16_t Index, int16_t Button) {
  if (Button == platform::kLeftButton) cboFieldName.SetListIndex(Index);
}

void frmRptSetup::lblField_MouseMove(int16_t Index) { lblField(Index).SetMousePointer(platform::kPointerArrow); }

void frmRptSetup::cboFieldName_Click() {
  const int32_t n = cboFieldName.ListIndex();
  if (n < 0 || n > kEntryColumn) return;
  DeselectFieldLabel(selectedField_);
  SelectFieldLabel(static_cast<int16_t>(n));
  selectedField_ = static_cast<int16_t>(n);
  panFieldLength.SetCaption(std::to_string(store_.EditLayout[static_cast<size_t>(n)].Width));
  UpdateFieldCoords();
}

void frmRptSetup::MoveSelected(int dx, int dy) {
  const int16_t i = selectedField_;
  if (!lblField(i).Visible()) return;
  const int32_t column = LabelColumn(i), line = LabelLine(i);
  if (dy < 0 && line <= 1) return;
  // A field left below the marker after the lines were lowered may come
  // back up, not go further down.
  if (dy > 0 && line >= store_.EditLayout[0].LinesPerEntry) return;
  if (dx < 0 && column <= 1) return;
  if (dx > 0 && column > kRightmostStart) return;
  if (FieldOverlaps(i, column + dx, line + dy)) return;
  PositionFieldLabel(i, column + dx - 1, line + dy - 1, true);
  UpdateFieldCoords();
}

void frmRptSetup::Spin1_SpinUp() {
  int16_t& lines = store_.EditLayout[0].LinesPerEntry;
  if (lines >= kMaxLines) return;
  ++lines;
  panNumLines.SetCaption(std::to_string(lines));
  ShowNumLines(lines);
}

void frmRptSetup::Spin1_SpinDown() {
  int16_t& lines = store_.EditLayout[0].LinesPerEntry;
  if (lines <= 1) return;
  --lines;
  panNumLines.SetCaption(std::to_string(lines));
  ShowNumLines(lines);
}

void frmRptSetup::Spin2_SpinUp() {
  store::ReportColumn& c = store_.EditLayout[static_cast<size_t>(selectedField_)];
  if (c.Width >= MaxWidth(selectedField_)) return;
  ++c.Width;
  if (FieldOverlaps(selectedField_, c.Column, c.Line)) {
    --c.Width;
    return;
  }
  panFieldLength.SetCaption(std::to_string(c.Width));
  SetLabelWidth(selectedField_);
}

void frmRptSetup::Spin2_SpinDown() {
  store::ReportColumn& c = store_.EditLayout[static_cast<size_t>(selectedField_)];
  if (c.Width <= 1) return;
  --c.Width;
  panFieldLength.SetCaption(std::to_string(c.Width));
  SetLabelWidth(selectedField_);
}

void frmRptSetup::cmdScrLeft_Click() {
  if (scrollOffset_ <= kMaxScroll) {
    GetHost().Beep();
    return;
  }
  --scrollOffset_;
  grdDesign.SetFirstColumn(1 - scrollOffset_);
  Redraw();
}

void frmRptSetup::cmdScrRight_Click() {
  if (scrollOffset_ >= 0) {
    GetHost().Beep();
    return;
  }
  ++scrollOffset_;
  grdDesign.SetFirstColumn(1 - scrollOffset_);
  Redraw();
}

void frmRptSetup::chkTitles_Click(int16_t Value) {
  if (Value == 0) {
    store_.EditLayoutHeader.ShowTitles = 0;
    Redraw();
    return;
  }
  store_.EditLayoutHeader.ShowTitles = 1;
  for (int16_t i = 0; i <= kEntryColumn; ++i) {
    const store::ReportColumn& c = store_.EditLayout[static_cast<size_t>(i)];
    if (FieldOverlaps(i, c.Column, c.Line)) {
      GetHost().Beep();
      GetHost().MsgBox(RTrim(cboFieldName.List(i)) + " is too close to another field. Increase spacing.",
                       platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
      chkTitles.SetValue(0);  // runs this handler again: titles off, redrawn
      return;
    }
  }
  Redraw();
}

void frmRptSetup::cmdRemove_Click() {
  if (!lblField(selectedField_).Visible()) return;
  DeselectFieldLabel(selectedField_);
  const int32_t n = cboFieldName.ListIndex();
  if (n < 0 || n > kEntryColumn) return;
  const auto i = static_cast<int16_t>(n);
  lblField(i).SetVisible(false);
  store::ReportColumn& c = store_.EditLayout[static_cast<size_t>(i)];
  c.Line = 0;
  c.Column = 0;
  // Out of sight where an unplaced label lies, so that selecting the field
  // again reads "not placed" back from it.
  PositionFieldLabel(i, -1, -1, i == selectedField_);
  if (i == selectedField_) UpdateFieldCoords();
}

void frmRptSetup::cmdOK_Click() {
  store_.EditLayoutHeader.ShowTitles = chkTitles.Value() != 0 ? 1 : 0;
  store_.DialogResult = 0;
  UnloadForm();
}

void frmRptSetup::cmdCancel_Click() {
  store_.DialogResult = -1;
  UnloadForm();
}

// ---- drawing ---------------------------------------------------------------

void frmRptSetup::PositionFieldLabel(int16_t i, int32_t x, int32_t y, bool highlight) {
  const int32_t cw = std::max<int32_t>(1, store_.AvgCharWidth), ch = std::max<int32_t>(1, store_.CharHeight);
  platform::Label& l = lblField(i);
  l.Move((x + scrollOffset_) * cw, y * ch, l.Width(), ch);
  if (highlight)
    SelectFieldLabel(i);
  else
    DeselectFieldLabel(i);
}

void frmRptSetup::SetLabelWidth(int16_t i) {
  const int32_t cw = std::max<int32_t>(1, store_.AvgCharWidth);
  const int32_t width = store_.EditLayout[static_cast<size_t>(i)].Width +
                        (store_.EditLayoutHeader.ShowTitles == 1 ? kTitleCells : 0);
  lblField(i).SetWidth(std::max<int32_t>(0, width) * cw);
}

void frmRptSetup::RedrawFieldLabels(bool showPlaced) {
  for (int16_t i = 0; i <= kEntryColumn; ++i) {
    const store::ReportColumn& c = store_.EditLayout[static_cast<size_t>(i)];
    platform::Label& l = lblField(i);
    l.SetCaption(FieldCaption(i));
    SetLabelWidth(i);
    PositionFieldLabel(i, c.Column - 1, c.Line - 1, false);
    if (showPlaced && c.Line >= 1) l.SetVisible(true);
  }
}

void frmRptSetup::Redraw() {
  RedrawFieldLabels(false);
  const int32_t n = cboFieldName.ListIndex();
  if (n >= 0 && n <= kEntryColumn) SelectFieldLabel(static_cast<int16_t>(n));
}

void frmRptSetup::FillFieldCombo() {
  cboFieldName.Clear();
  for (int16_t i = 0; i <= kEntryColumn; ++i) cboFieldName.AddItem(FieldCaption(i));
}

std::string frmRptSetup::FieldCaption(int16_t i) const {
  return i == kEntryColumn ? "Entry #" : store_.FieldDefs[static_cast<size_t>(i)].FieldName;
}

int16_t frmRptSetup::MaxWidth(int16_t i) const {
  return i == kEntryColumn ? 11 : store_.CatalogHeader.FieldLength[static_cast<size_t>(i)];
}

int32_t frmRptSetup::LabelColumn(int16_t i) {
  return FloorDiv(lblField(i).Left(), std::max<int32_t>(1, store_.AvgCharWidth)) + 1 - scrollOffset_;
}

int32_t frmRptSetup::LabelLine(int16_t i) {
  return FloorDiv(lblField(i).Top(), std::max<int32_t>(1, store_.CharHeight)) + 1;
}

void frmRptSetup::SelectFieldLabel(int16_t i) {
  platform::Label& l = lblField(i);
  l.SetBackColor(kBlack);
  l.SetForeColor(kWhite);
  lblXCoord.SetCaption(std::to_string(LabelColumn(i)));
  lblYCoord.SetCaption(std::to_string(LabelLine(i)));
}

void frmRptSetup::DeselectFieldLabel(int16_t i) {
  platform::Label& l = lblField(i);
  l.SetBackColor(kSysWindow);
  l.SetForeColor(kSysWindowText);
}

void frmRptSetup::ShowNumLines(int16_t n) {
  const int32_t y = n * std::max<int32_t>(1, store_.CharHeight);
  linRptEnd.SetEnds(0, y, ScaleWidth(), y);
  grdDesign.SetLinesInUse(n);
}

void frmRptSetup::UpdateFieldCoords() {
  const int16_t i = selectedField_;
  const int32_t column = LabelColumn(i), line = LabelLine(i);
  lblXCoord.SetCaption(std::to_string(column));
  lblYCoord.SetCaption(std::to_string(line));
  store::ReportColumn& c = store_.EditLayout[static_cast<size_t>(i)];
  c.Column = static_cast<int16_t>(std::clamp<int32_t>(column, INT16_MIN, INT16_MAX));
  c.Line = static_cast<int16_t>(std::clamp<int32_t>(line, INT16_MIN, INT16_MAX));
}

}  // namespace kelvarin::reports
