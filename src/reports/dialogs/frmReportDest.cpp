#include "reports/dialogs/frmReportDest.h"

#include "reports/dialogs/dialog_support.h"
#include "store/form_helpers.h"

namespace kelvarin::reports {

using platform::OptionButton;
using platform::TextBox;

namespace {
constexpr int16_t kDestCount = 5;
constexpr int32_t kOptionHeight = 285;
constexpr int32_t kButtonWidth = 1215;
constexpr int32_t kButtonHeight = 375;
}  // namespace

frmReportDest::frmReportDest(platform::Host& host, store::Store& store, ReportDestPanelSetter setReportDestPanel)
    : Form(host, "frmReportDest"), host_(host), store_(store), setReportDestPanel_(std::move(setReportDestPanel)) {
  SetCaption("Report Setup");
  SetBorderStyle(platform::FormBorder::FixedDialog);
  SetScaleWidth(7560);
  SetScaleHeight(3840);

  // Left: the destination; middle: the report switches; right: the number
  // boxes. Below: the paper options, their note and the buttons.
  fraDest.SetCaption("Report Destination");
  fraDest.Move(120, 120, 2280, 1935);
  OptionButton* dests[kDestCount] = {&optMonitor, &optPrinter, &optQuickView, &optASCIIFile, &optDBase};
  const char* destCaptions[kDestCount] = {"&Monitor", "&Printer", "&Quick View", "&ASCII File", "d&Base File"};
  for (int16_t i = 0; i < kDestCount; ++i) {
    dests[i]->SetCaption(destCaptions[i]);
    dests[i]->Move(180, 300 + i * 315, 1980, kOptionHeight);
    dests[i]->Click = [this, i](int16_t value) {
      if (value != 0) DestChoice = i;
    };
  }

  fraFormat.SetCaption("Report Format");
  fraFormat.Move(2520, 120, 2400, 1935);
  chkDashed.SetCaption("&Dashed Line");
  chkColHeadings.SetCaption("Column &Headings");
  chkLockTop.SetCaption("Loc&k Top Line");
  chkNoSpace.SetCaption("&No Space");
  chkPageNum.SetCaption("Page Numbers");
  chkPrintMemos.SetCaption("P&rint Memos");
  chkDashed.Move(180, 270, 2100, kOptionHeight);
  chkColHeadings.Move(180, 540, 2100, kOptionHeight);
  chkLockTop.Move(180, 810, 2100, kOptionHeight);
  chkNoSpace.Move(480, 1080, 1800, kOptionHeight);  // indented: it qualifies Lock Top Line
  chkPageNum.Move(180, 1350, 2100, kOptionHeight);
  chkPrintMemos.Move(180, 1620, 2100, kOptionHeight);
  chkLockTop.Click = [this](int16_t value) { chkLockTop_Click(value); };

  struct NumberRow {
    platform::Label* label;
    TextBox* box;
    const char* caption;
    int32_t maxLength;
  };
  NumberRow rows[] = {{&lblPageLength, &txtPageLength, "Page Length:", 3},
                      {&lblTopMargin, &txtTopMargin, "Top Margin", 2},
                      {&lblQVMaxLines, &txtQVMaxLines, "QV Max # Lines:", 4},
                      {&lblQVColWidth, &txtQVColWidth, "QV Max Col Width:", 2}};
  int32_t top = 240;
  for (NumberRow& r : rows) {
    r.label->SetCaption(r.caption);
    r.label->Move(5040, top + 30, 1620, 255);
    r.box->Move(6720, top, 720, 285);
    r.box->SetMaxLength(r.maxLength);
    r.box->SetAlignment(platform::Align::Right);
    r.box->KeyPress = [this](int16_t& keyAscii) { dialogs::DigitsOnlyKeyPress(host_, keyAscii); };
    top += 435;
  }

  fraPaper.SetCaption("Paper Options");
  fraPaper.Move(120, 2175, 2280, 1215);
  OptionButton* papers[3] = {&optContinuous, &optSingle, &optLabels};
  const char* paperCaptions[3] = {"Contin&uous", "Single Sh&eet", "&Labels"};
  for (int16_t i = 0; i < 3; ++i) {
    papers[i]->SetCaption(paperCaptions[i]);
    papers[i]->Move(180, 300 + i * 285, 1980, kOptionHeight);
    papers[i]->Click = [this, i](int16_t value) {
      if (value != 0) PaperChoice = i;
    };
  }
  lblPaperNotesHead.SetCaption("Notes: Paper Options");
  lblPaperNotesHead.SetFontBold(true);
  lblPaperNotesHead.Move(2520, 2235, 3480, 255);
  lblPaperNotes.SetCaption(
      "Continuous suits every printer that feeds its paper continuously: dot matrix, laser, ink jet and "
      "bubble jet printers. Use Single Sheet for a printer whose pages are fed by hand one at a time, or "
      "to print on both sides of the page.");
  lblPaperNotes.Move(2520, 2520, 3480, 1200);

  cmdOK.SetCaption("OK");
  cmdCancel.SetCaption("&Cancel");
  cmdFonts.SetCaption("Fonts...");
  cmdOK.Move(6225, 2235, kButtonWidth, kButtonHeight);
  cmdCancel.Move(6225, 2700, kButtonWidth, kButtonHeight);
  cmdFonts.Move(6225, 3345, kButtonWidth, kButtonHeight);
  cmdOK.SetDefault(true);
  cmdCancel.SetCancel(true);

  dialogs::CloseBoxCancels(*this, store_);
  Load = [this] { Form_Load(); };
  Paint = [this] { Form_Paint(); };
  cmdOK.Click = [this] { cmdOK_Click(); };
  cmdCancel.Click = [this] { cmdCancel_Click(); };
  cmdFonts.Click = [this] { cmdFonts_Click(); };
}

void frmReportDest::Form_Load() {
  store::CenterForm(*this);
  if (store_.CurrentReport.empty()) {
    host_.MsgBox(
        "No report format selected. Printer and file output disabled.  Go to the Report Maintenance screen and "
        "select a report format.");
    optASCIIFile.SetEnabled(false);
    optPrinter.SetEnabled(false);
  }
  OptionButton* dests[kDestCount] = {&optMonitor, &optPrinter, &optQuickView, &optASCIIFile, &optDBase};
  for (int16_t i = 0; i < kDestCount; ++i)
    if (!kDestinationAvailable[static_cast<size_t>(i)]) dests[i]->SetEnabled(false);

  DestChoice = store_.CurrentReportDest;
  PaperChoice = store_.PaperMode;
  // The stored destination is shown even when its option is disabled, so
  // that OK keeps it unless the user picks another one.
  if (DestChoice >= 0 && DestChoice < kDestCount) dests[DestChoice]->SetValue(true);
  switch (PaperChoice) {
    case store::poContinuous: optContinuous.SetValue(true); break;
    case store::poSingleSheet: optSingle.SetValue(true); break;
    case store::poLabels: optLabels.SetValue(true); break;
    default: break;
  }

  const store::CatalogSettings& s = store_.CurrentSettings;
  if (s.PrintMemos == 1) chkPrintMemos.SetValue(1);
  if (s.DashedLine == 1) chkDashed.SetValue(1);
  if (s.ColumnHeadings == 1) chkColHeadings.SetValue(1);
  if (s.LockTopLine > 0) chkLockTop.SetValue(1);
  if (s.LockTopLine > 1) chkNoSpace.SetValue(1);
  if (s.LockTopLine <= 0) chkNoSpace.SetEnabled(false);
  chkPageNum.SetValue(s.PageNumbers == 2 ? 1 : 0);

  txtPageLength.SetText(std::to_string(s.PageLength));
  txtQVMaxLines.SetText(std::to_string(s.QVMaxLines));
  txtQVColWidth.SetText(std::to_string(s.QVColumnWidth));
  txtTopMargin.SetText(std::to_string(s.TopMargin));

  if (store_.SecurityCode == -1) {
    fraDest.SetEnabled(false);
    fraFormat.SetEnabled(false);
    fraPaper.SetEnabled(false);
    cmdFonts.SetEnabled(false);
    cmdOK.SetEnabled(false);
    for (TextBox* box : {&txtPageLength, &txtTopMargin, &txtQVMaxLines, &txtQVColWidth}) store::SetTextReadOnly(*box);
  }
}

void frmReportDest::Form_Paint() {
  for (TextBox* box : {&txtPageLength, &txtQVMaxLines, &txtQVColWidth, &txtTopMargin})
    store::Draw3DFrame(*this, *box);
}

void frmReportDest::Refuse(const std::string& message, TextBox& box) {
  host_.MsgBox(message);
  box.SetFocus();
}

void frmReportDest::cmdOK_Click() {
  store::CatalogSettings& s = store_.CurrentSettings;

  // Each number is stored as soon as it passes, before the next box is read.
  if (txtPageLength.Text().empty()) return Refuse("Page Length is blank.", txtPageLength);
  std::optional<int32_t> n = dialogs::ParseWholeNumber(txtPageLength.Text());
  if (!n) return Refuse("Page Length must be a whole number.", txtPageLength);
  if (*n < 4 || *n > 500) return Refuse("Page length must be between 4 and 500.", txtPageLength);
  s.PageLength = static_cast<int16_t>(*n);

  if (txtTopMargin.Text().empty()) return Refuse("Top Margin is blank.", txtTopMargin);
  n = dialogs::ParseWholeNumber(txtTopMargin.Text());
  if (!n) return Refuse("Top Margin must be a whole number.", txtTopMargin);
  if (*n < 0 || *n > s.PageLength) return Refuse("Top Margin must be between 0 and Page Length.", txtTopMargin);
  s.TopMargin = static_cast<int16_t>(*n);

  if (txtQVMaxLines.Text().empty()) return Refuse("Quick View max # of lines is blank.", txtQVMaxLines);
  n = dialogs::ParseWholeNumber(txtQVMaxLines.Text());
  if (!n) return Refuse("Quick View max # of lines must be a whole number.", txtQVMaxLines);
  if (*n < 1) {
    host_.MsgBox("Quick View must be set to have at least one entry.");
    txtQVMaxLines.SetText("1");
    txtQVMaxLines.SetFocus();
    return;
  }
  if (*n > store::kMaxQuickViewLines)
    return Refuse("Quick View max # of lines must be between 1 and 4011.", txtQVMaxLines);
  s.QVMaxLines = static_cast<int16_t>(*n);

  if (txtQVColWidth.Text().empty()) return Refuse("Quick View column width is blank.", txtQVColWidth);
  n = dialogs::ParseWholeNumber(txtQVColWidth.Text());
  if (!n) return Refuse("Quick View column width must be a whole number.", txtQVColWidth);
  if (*n < 3 || *n > 64) return Refuse("Quick View column width must be between 3 and 64.", txtQVColWidth);
  s.QVColumnWidth = static_cast<int16_t>(*n);

  s.PrintMemos = chkPrintMemos.Value() != 0 ? 1 : 0;
  s.DashedLine = chkDashed.Value() != 0 ? 1 : 0;
  s.ColumnHeadings = chkColHeadings.Value() != 0 ? 1 : 0;
  s.PageNumbers = chkPageNum.Value() != 0 ? 2 : 1;
  s.LockTopLine = static_cast<int16_t>((chkLockTop.Value() != 0 ? 1 : 0) + (chkNoSpace.Value() != 0 ? 1 : 0));

  if (DestChoice >= 0 && DestChoice < kDestCount && setReportDestPanel_)
    setReportDestPanel_(store::ReportDestText(DestChoice));
  store_.WriteReportDest(DestChoice);
  store_.CurrentReportDest = DestChoice;
  store_.PaperMode = PaperChoice;
  store_.DialogResult = 0;
  dialogs::SaveCatalogSettings(store_);
  UnloadForm();
}

void frmReportDest::cmdCancel_Click() {
  store_.DialogResult = -1;
  UnloadForm();
}

void frmReportDest::cmdFonts_Click() { store_.ChooseReportFont(); }

void frmReportDest::chkLockTop_Click(int16_t value) {
  if (value != 0) {
    chkNoSpace.SetEnabled(true);
  } else {
    chkNoSpace.SetValue(0);
    chkNoSpace.SetEnabled(false);
  }
}

}  // namespace kelvarin::reports
