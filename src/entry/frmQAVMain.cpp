#include "entry/frmQAVMain.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/text/number_text.h"
#include "platform/text/trim.h"

namespace kelvarin::entry {

using platform::MenuItem;
using platform::RaiseEvent;

namespace {

// Layout of the entry column, in twips.
constexpr int32_t kMargin = 180;
constexpr int32_t kGap = 120;       // between a label and its box
constexpr int32_t kRowGap = 45;     // between two rows
constexpr int32_t kButtonWidth = 1455;
constexpr int32_t kButtonHeight = 390;
constexpr int32_t kStatusHeight = 345;
constexpr int32_t kMinClientWidth = 7200;
constexpr int32_t kEmptyClientHeight = 2400;

std::string TrimRight(const std::string& s) { return std::string(platform::TrimTrailingPadding(s)); }

// The length of a stored field without its padding (blanks and NULs, as
// TrimTrailingPadding drops them), sixteen bytes at a time: an entry is
// shown at every step of a walk, and most of a field is padding.
size_t UnpaddedLength(const std::string& text) {
  size_t n = text.size();
#if defined(__SSE2__)
  // One bit for each of sixteen bytes that is neither blank nor NUL.
  auto keptBits = [](const char* p) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i pad = _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(' ')), _mm_cmpeq_epi8(v, _mm_setzero_si128()));
    return ~static_cast<uint32_t>(_mm_movemask_epi8(pad)) & 0xFFFFu;
  };
  for (; n >= 16; n -= 16)
    if (uint32_t kept = keptBits(text.data() + n - 16)) return n - 16 + static_cast<size_t>(32 - __builtin_clz(kept));
  if (n > 0 && text.size() >= 16) {
    // The first sixteen bytes: those past n were padding in the block above.
    const uint32_t kept = keptBits(text.data());
    return kept != 0 ? static_cast<size_t>(32 - __builtin_clz(kept)) : 0;
  }
#endif
  while (n > 0 && (text[n - 1] == ' ' || text[n - 1] == '\0')) --n;
  return n;
}

bool IsSpeedItem(const frmQAVMain& f, const MenuItem& item) {
  return &item == &f.mnuVSpeed1 || &item == &f.mnuVSpeed2 || &item == &f.mnuVSpeed3;
}

}  // namespace

frmQAVMain::frmQAVMain(platform::Host& host, store::Store& store, reports::ReportState& reportState)
    : Form(host, "frmQAVMain"), store_(store), state_(reportState) {
  SetCaption(kCaptionStem);
  SetBorderStyle(platform::FormBorder::FixedSingle);
  SetScaleWidth(kMinClientWidth);
  SetScaleHeight(kEmptyClientHeight);
  BuildMenus();

  lblFieldName(0).SetAlignment(platform::Align::Right);
  lblFieldName(0).SetBackStyle(0);
  lblFieldName(0).SetVisible(false);
  txtFieldData(0).SetVisible(false);

  cmdPrevious.SetCaption("&Previous");
  cmdNext.SetCaption("&Next");
  cmdAlpha.SetCaption("&Alpha Search");
  cmdSequential.SetCaption("Se&q Search");
  // The buttons come after the 21 field boxes in tab order.
  int16_t tab = store::kFieldCount;
  for (platform::CommandButton* b : {&cmdPrevious, &cmdNext, &cmdAlpha, &cmdSequential}) {
    b->SetWidth(kButtonWidth);
    b->SetHeight(kButtonHeight);
    b->SetTabIndex(tab++);
  }
  lblFieldName(0).SetTabStop(false);
  StatusBar1.SetTabStop(false);
  BuildStatusBar();

  Load = [this] { Form_Load(); };
  Unload = [this](int16_t& cancel) { Form_Unload(cancel); };
  mnuVNext.Click = [this] { mnuVNext_Click(); };
  mnuVPrevious.Click = [this] { mnuVPrevious_Click(); };
  cmdNext.Click = [this] { mnuVNext_Click(); };
  cmdPrevious.Click = [this] { mnuVPrevious_Click(); };
  cmdAlpha.Click = [this] { cmdAlpha_Click(); };
  cmdSequential.Click = [this] { cmdSequential_Click(); };
  mnuEEraseScreen.Click = [this] { mnuEEraseScreen_Click(); };
  mnuFEjectPage.Click = [this] { mnuFEjectPage_Click(); };
  mnuFExit.Click = [this] { mnuFExit_Click(); };
  mnuUCatMaint.Click = [this] { mnuUCatMaint_Click(); };
}

frmQAVMain::~frmQAVMain() = default;

void frmQAVMain::BuildMenus() {
  mnuFile.SetCaption("&File");
  mnuVPrintEntry.SetCaption("Print &Current Entry");
  mnuFEjectPage.SetCaption("&Eject Page");
  mnuFSep1.SetCaption("-");
  mnuFExit.SetCaption("E&xit");

  mnuEdit.SetCaption("&Edit");
  mnuEEraseScreen.SetCaption("&Erase Screen");

  mnuView.SetCaption("&View");
  mnuVSearch.SetCaption("&Search");
  mnuVSpeed1.SetCaption("Search for");
  mnuVSpeed2.SetCaption("Search for");
  mnuVSpeed3.SetCaption("Search for");
  mnuVGlobalSearch.SetCaption("&Global Search");
  mnuVFindDeleted.SetCaption("Find &Deleted");
  mnuVListRange.SetCaption("List &Range");
  mnuVListAlpha.SetCaption("List &Alphabetically");
  mnuVTotals.SetCaption("Totals");
  mnuVReplace.SetCaption("Search && Rep&lace");
  mnuVSep1.SetCaption("-");
  mnuVNext.SetCaption("&Next");
  mnuVPrevious.SetCaption("&Previous");

  mnuReports.SetCaption("&Reports");
  mnuOSetup.SetCaption("&Setup");
  mnuRSelectLayout.SetCaption("&Report Maintenance");

  mnuUtilities.SetCaption("&Utilities");
  mnuUCatMaint.SetCaption("&Catalog Maintenance");

  // Commands of the runs and the reports are hidden until attached.
  for (MenuItem* m : {&mnuVPrintEntry, &mnuVSearch, &mnuVSpeed1, &mnuVSpeed2, &mnuVSpeed3, &mnuVGlobalSearch,
                      &mnuVFindDeleted, &mnuVListRange, &mnuVListAlpha, &mnuVTotals, &mnuVReplace, &mnuOSetup,
                      &mnuRSelectLayout})
    m->SetVisible(false);
  UpdateCommandVisibility();
}

void frmQAVMain::BuildStatusBar() {
  StatusBar1.AddPanel("Entry", "", 1800);
  StatusBar1.AddPanel("SearchMode", "", 1800);
  // Shows the main window until the report settings say otherwise.
  StatusBar1.AddPanel("RptDest", store::ReportDestText(store::rdMonitor), 1800);
  deletedPanel_ = &StatusBar1.AddPanel("Deleted", "", 1200);
  StatusBar1.SetHeight(kStatusHeight);
}

// A separator only shows between visible items, and a menu only when
// something in it shows.
void frmQAVMain::UpdateCommandVisibility() {
  for (MenuItem* top : Menus()) {
    bool any = false;
    for (MenuItem* item : top->Items())
      if (!item->IsSeparator() && item->Visible()) any = true;
    top->SetVisible(any);
  }
  bool before = false, after = false;
  for (MenuItem* item : mnuFile.Items()) {
    if (item == &mnuFSep1) break;
    before = before || item->Visible();
  }
  after = mnuFExit.Visible();
  mnuFSep1.SetVisible(before && after);
  before = false;
  for (MenuItem* item : mnuView.Items()) {
    if (item == &mnuVSep1) break;
    before = before || item->Visible();
  }
  mnuVSep1.SetVisible(before);
  // The search buttons run View, Search.
  cmdAlpha.SetVisible(mnuVSearch.Click != nullptr);
  cmdSequential.SetVisible(mnuVSearch.Click != nullptr);
}

void frmQAVMain::AttachMenu(MenuItem& item, std::function<void()> handler) {
  item.Click = std::move(handler);
  if (IsSpeedItem(*this, item)) {
    // A speed item shows only while LayoutFields has bound it to a field.
    size_t k = &item == &mnuVSpeed1 ? 0 : &item == &mnuVSpeed2 ? 1 : 2;
    item.SetVisible(state_.SpeedSearchFields[k] != -1 && item.Click != nullptr);
  } else {
    item.SetVisible(item.Click != nullptr);
  }
  UpdateCommandVisibility();
}

void frmQAVMain::SetStepper(int16_t browseMode, Stepper next, Stepper previous) {
  if (browseMode < 0 || browseMode >= static_cast<int16_t>(steppers_.size())) return;
  steppers_[static_cast<size_t>(browseMode)] = Steppers{std::move(next), std::move(previous)};
}

// ---------------------------------------------------------------------------
// Start-up and shutdown

void frmQAVMain::Form_Load() {
  ResetSpeedSearchMenus();
  state_.AlphaStartCriteria.Count = 0;
  state_.AlphaEndCriteria.Count = 0;
  state_.SearchCriteria.Count = 0;
  store_.PaperMode = store::poContinuous;
  BrowseIndex = -1;
  shutDown_ = false;
  store_.indexLibrary().InitIndexes();

  // A destination the program does not know (a hand-edited settings file)
  // would leave every run without output; use the default. Only 0 stands for
  // the alphabetical search mode; the Search dialog opens any other value in
  // sequential order.
  int16_t dest = store_.ReadReportDest();
  store_.CurrentReportDest = dest >= store::rdMonitor && dest <= store::rdDbase ? dest : int16_t{store::rdMonitor};
  store_.MeasureFonts();
  CurrentSearchMode = store_.ReadSearchMode() == store::smAlpha ? store::smAlpha : store::smSequential;

  for (int16_t i = 1; i < store::kFieldCount; ++i) {
    lblFieldName.Load(i);
    txtFieldData.Load(i);
  }

  std::string name = store_.ReadCurrentDB();
  if (!name.empty()) store_.OpenCatalog(name);

  // The destination is known now, so the panel tells it from the start.
  SetPanel("RptDest", store::ReportDestText(store_.CurrentReportDest));
  CatalogOpened();

  platform::ScreenInfo screen = GetHost().Screen();
  SetLeft(std::max(0, (screen.widthTwips - Width()) / 2));
  SetTop(std::max(0, (screen.heightTwips - Height()) / 2));
}

void frmQAVMain::Form_Unload(int16_t& /*cancel*/) { Shutdown(); }

void frmQAVMain::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  store_.EndPrintDoc();
  CloseBrowseIndex();
  // Writes the entry count into the data file, closes it and writes the
  // catalog's settings.
  store_.CloseCatalog();
  RaiseEvent(Closed);
}

void frmQAVMain::ReadCurrentReportFormat() {
  // A format file that is missing or damaged leaves an empty layout rather
  // than a partly read one.
  if (store_.CurrentReport.empty() ||
      !store_.ReadReportFormat(store_.CurrentReport, store_.ActiveLayout, store_.ActiveLayoutHeader)) {
    store_.ActiveLayout = store::ReportLayout{};
    store_.ActiveLayoutHeader = store::ReportHeader{};
  }
}

void frmQAVMain::CloseBrowseIndex() {
  if (BrowseIndex != -1) {
    store_.IndexClose(BrowseIndex);
    BrowseIndex = -1;
  }
}

void frmQAVMain::CatalogOpened() {
  bool open = !store_.CatalogName.empty();
  CloseBrowseIndex();
  ReadCurrentReportFormat();
  LayoutFields();
  EnableCatalogCommands(open);
  UpdateCaption();
  if (open) {
    // View-only access: the last entry rather than an empty new one.
    if (store_.SecurityCode == -1 && ShowEntryNumbered(store_.CatalogHeader.EntryCount)) return;
    mnuEEraseScreen_Click();
  } else {
    CurrentBrowseMode = store::bmNewEntry;
    store_.CurrentEntryNumber = 0;
    SetPanel("Entry", "");
    SetPanel("SearchMode", "");
    SetPanel("Deleted", "");
  }
}

void frmQAVMain::EnableCatalogCommands(bool open) {
  bool writable = open && store_.SecurityCode != -1;
  for (MenuItem* m : {&mnuVPrintEntry, &mnuEEraseScreen, &mnuVSearch, &mnuVSpeed1, &mnuVSpeed2, &mnuVSpeed3,
                      &mnuVGlobalSearch, &mnuVListRange, &mnuVListAlpha, &mnuVTotals, &mnuVNext, &mnuVPrevious,
                      &mnuRSelectLayout})
    m->SetEnabled(open);
  mnuVFindDeleted.SetEnabled(writable);
  mnuVReplace.SetEnabled(writable);
  // Report setup and catalog maintenance work without a catalog.
  mnuOSetup.SetEnabled(true);
  mnuUCatMaint.SetEnabled(true);
  for (platform::CommandButton* b : {&cmdPrevious, &cmdNext, &cmdAlpha, &cmdSequential}) b->SetEnabled(open);
}

void frmQAVMain::UpdateCaption() {
  std::string caption = kCaptionStem;
  if (!store_.CatalogName.empty()) caption += " - " + store_.CatalogName;
  SetCaption(caption);
}

// ---------------------------------------------------------------------------
// Fields

void frmQAVMain::ResetSpeedSearchMenus() {
  mnuVSpeed1.SetVisible(false);
  mnuVSpeed2.SetVisible(false);
  mnuVSpeed3.SetVisible(false);
  state_.SpeedSearchFields = {-1, -1, -1};
  UpdateCommandVisibility();
}

void frmQAVMain::LayoutFields() {
  ResetSpeedSearchMenus();
  const bool open = !store_.CatalogName.empty();
  const int32_t avg = std::max<int32_t>(store_.AvgCharWidth, 30);
  const int32_t rowHeight = std::max<int32_t>(GetHost().MinTextBoxHeight(), store_.LineHeight);

  // Label column as wide as the longest used field name.
  size_t longestName = 4;
  int32_t widestBox = 0;
  for (int i = 0; i < store::kFieldCount; ++i) {
    int16_t length = store_.CatalogHeader.FieldLength[static_cast<size_t>(i)];
    if (!open || length <= 0) continue;
    longestName = std::max(longestName, TrimRight(store_.FieldDefs[static_cast<size_t>(i)].FieldName).size());
    widestBox = std::max(widestBox, (std::min<int32_t>(length, 80) + 2) * avg);
  }
  const int32_t labelWidth = static_cast<int32_t>(longestName + 2) * avg;
  const int32_t boxLeft = kMargin + labelWidth + kGap;

  int32_t top = kMargin;
  size_t speed = 0;
  std::array<MenuItem*, 3> speedItems = SpeedMenus();
  for (int16_t i = 0; i < store::kFieldCount; ++i) {
    platform::Label& label = lblFieldName(i);
    platform::TextBox& box = txtFieldData(i);
    int16_t length = store_.CatalogHeader.FieldLength[static_cast<size_t>(i)];
    if (!open || length <= 0) {
      label.SetVisible(false);
      box.SetVisible(false);
      box.SetText("");
      continue;
    }
    const store::FieldDef& def = store_.FieldDefs[static_cast<size_t>(i)];
    label.SetCaption(TrimRight(def.FieldName));
    label.Move(kMargin, top + 45, labelWidth, rowHeight - 45);
    box.Move(boxLeft, top, (std::min<int32_t>(length, 80) + 2) * avg, rowHeight);
    box.SetMaxLength(length);
    // A computed field takes its value from its formula; Tab passes it by.
    bool computed = store_.Formulas[static_cast<size_t>(i)].Defined != 0;
    box.SetReadOnly(computed);
    box.SetTabStop(!computed);
    box.SetTabIndex(i);
    label.SetVisible(true);
    box.SetVisible(true);
    top += rowHeight + kRowGap;

    if (speed < speedItems.size() && store::IsKeyField(def.FieldKind)) {
      state_.SpeedSearchFields[speed] = i;
      MenuItem& item = *speedItems[speed];
      item.SetCaption("Search for " + label.Caption());
      // Without the search attached the item would do nothing.
      item.SetVisible(item.Click != nullptr);
      ++speed;
    }
  }
  UpdateCommandVisibility();

  // Buttons under the fields, the status bar at the bottom.
  int32_t buttonsTop = open ? top + kGap : kEmptyClientHeight - kStatusHeight - kButtonHeight - kMargin;
  int32_t clientWidth = std::max({kMinClientWidth, boxLeft + widestBox + kMargin,
                                  2 * kMargin + 4 * kButtonWidth + 3 * kGap});
  int32_t left = kMargin;
  for (platform::CommandButton* b : {&cmdPrevious, &cmdNext, &cmdAlpha, &cmdSequential}) {
    b->Move(left, buttonsTop, kButtonWidth, kButtonHeight);
    left += kButtonWidth + kGap;
  }
  int32_t clientHeight = buttonsTop + kButtonHeight + kMargin + kStatusHeight;
  SetScaleWidth(clientWidth);
  SetScaleHeight(clientHeight);
  StatusBar1.Move(0, clientHeight - kStatusHeight, clientWidth, kStatusHeight);
}

void frmQAVMain::ShowEntry(const store::EntryRecord& entry) {
  for (int16_t i = 0; i < store::kFieldCount; ++i) {
    if (store_.CatalogHeader.FieldLength[static_cast<size_t>(i)] <= 0) continue;
    // A computed field shows the value of its formula.
    bool computed = store_.Formulas[static_cast<size_t>(i)].Defined != 0;
    if (computed) {
      txtFieldData(i).SetText(store_.EvalFormula(entry, i));
      continue;
    }
    const std::string& text = entry.FieldText[static_cast<size_t>(i)];
    txtFieldData(i).SetText(std::string_view(text.data(), UnpaddedLength(text)));
  }
  deletedPanel_->SetText(entry.Status == store::StatusDeleted ? "DELETED" : "");
}

bool frmQAVMain::ShowEntryNumbered(float entryNumber) {
  if (store_.CatalogName.empty() || entryNumber < 1 || entryNumber > store_.CatalogHeader.EntryCount) return false;
  store::EntryRecord entry;
  if (!store_.ReadEntry(entry, store_.CatalogHeader, entryNumber, store_.DatFile)) return false;
  CloseBrowseIndex();
  store_.CurrentEntry = entry;
  store_.CurrentEntryNumber = entryNumber;
  CurrentBrowseMode = store::bmEdit;
  ShowEntry(entry);
  ShowEntryNumber(entryNumber);
  SetPanel("SearchMode", store::BrowseModeText(store::bmEdit));
  return true;
}

void frmQAVMain::mnuEEraseScreen_Click() {
  for (int16_t i = 0; i < store::kFieldCount; ++i)
    if (txtFieldData.IsLoaded(i)) txtFieldData(i).SetText("");
  store_.CurrentEntryNumber = store_.CatalogHeader.EntryCount + 1;
  CurrentBrowseMode = store::bmNewEntry;
  SetPanel("SearchMode", store::BrowseModeText(store::bmNewEntry));
  ShowEntryNumber(store_.CurrentEntryNumber);
  SetPanel("Deleted", "");
  CloseBrowseIndex();
  for (int16_t i = 0; i < store::kFieldCount; ++i) {
    if (txtFieldData.IsLoaded(i) && txtFieldData(i).Visible() && txtFieldData(i).Enabled() && Visible()) {
      txtFieldData(i).SetFocus();
      break;
    }
  }
}

void frmQAVMain::LimitKeyLength(std::string& key) const {
  int16_t field = state_.KeyField;
  if (field < 0 || field >= store::kFieldCount) field = 0;
  size_t limit = static_cast<size_t>(
      std::clamp<int>(store_.CatalogHeader.FieldLength[static_cast<size_t>(field)], 0, store::kMaxKeyLength));
  if (key.size() > limit) key.resize(limit);
}

void frmQAVMain::SetPanel(std::string_view key, std::string_view text) { StatusBar1.Panels(key).SetText(text); }

std::string frmQAVMain::PanelText(const std::string& key) const {
  const platform::Panel* p = StatusBar1.FindPanel(key);
  return p ? p->Text() : std::string();
}

void frmQAVMain::ShowEntryNumber(float entryNumber) {
  // Entry numbers are whole: their digits need no general conversion.
  if (entryNumber >= 0 && entryNumber < 1e7f && entryNumber == std::floor(entryNumber)) {
    char text[24] = "Entry # ";
    constexpr size_t kPrefix = sizeof "Entry # " - 1;
    auto end = std::to_chars(text + kPrefix, text + sizeof text, static_cast<int32_t>(entryNumber)).ptr;
    SetPanel("Entry", std::string_view(text, static_cast<size_t>(end - text)));
    return;
  }
  SetPanel("Entry", "Entry # " + platform::PlainNumber(entryNumber));
}

// ---------------------------------------------------------------------------
// Commands

void frmQAVMain::Step(bool forward) {
  if (CurrentBrowseMode < 0 || CurrentBrowseMode >= static_cast<int16_t>(steppers_.size())) return;
  const Steppers& s = steppers_[static_cast<size_t>(CurrentBrowseMode)];
  // Not copied: the runs' steppers hold more than fits without an allocation.
  const Stepper& step = forward ? s.next : s.previous;
  if (!step) return;
  store::EntryRecord& work = stepWork_;
  float found = step(work);
  if (found == 0 || found == store_.CurrentEntryNumber) return;
  // The entry shown before becomes the next step's work entry.
  // Unused slots are empty on both sides: only the others change hands.
  // Short texts are given storage of their own once, as long ones have:
  // handing over two such texts is an exchange of pointers, where texts
  // kept inside the string would be copied byte by byte.
  constexpr size_t kOutOfLine = 16;
  for (size_t i = 0; i < work.FieldText.size(); ++i) {
    std::string& shown = store_.CurrentEntry.FieldText[i];
    std::string& next = work.FieldText[i];
    if (shown.empty() && next.empty()) continue;
    if (shown.capacity() < kOutOfLine) shown.reserve(kOutOfLine);
    if (next.capacity() < kOutOfLine) next.reserve(kOutOfLine);
    shown.swap(next);
  }
  store_.CurrentEntry.Status = work.Status;
  store_.CurrentEntry.NextLink = work.NextLink;
  store_.CurrentEntry.PrevLink = work.PrevLink;
  store_.CurrentEntry.MemoNumber = work.MemoNumber;
  store_.CurrentEntryNumber = found;
  ShowEntry(store_.CurrentEntry);
  ShowEntryNumber(found);
}

void frmQAVMain::mnuVNext_Click() { Step(true); }
void frmQAVMain::mnuVPrevious_Click() { Step(false); }

void frmQAVMain::mnuVSearch_Click() { RaiseEvent(mnuVSearch.Click); }

void frmQAVMain::cmdAlpha_Click() {
  CurrentSearchMode = store::smAlpha;
  mnuVSearch_Click();
}

void frmQAVMain::cmdSequential_Click() {
  CurrentSearchMode = store::smSequential;
  mnuVSearch_Click();
}

void frmQAVMain::mnuFEjectPage_Click() { store_.EndPrintDoc(); }

void frmQAVMain::mnuFExit_Click() { UnloadForm(platform::kUnloadByUser); }

void frmQAVMain::mnuUCatMaint_Click() { RaiseEvent(ShowCatalogMaintenance); }

}  // namespace kelvarin::entry
