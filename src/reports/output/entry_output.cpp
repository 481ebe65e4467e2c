#include "reports/output/entry_output.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "platform/text/number_text.h"
#include "platform/text/substr.h"
#include "platform/text/trim.h"

namespace kelvarin::reports {

namespace {

constexpr size_t kLineWidth = 255;
constexpr int kFileMemoWidth = 70;
constexpr int kPageNumberColumn = 64;

std::string TrimRight(const std::string& s) { return std::string(platform::TrimTrailingBlanks(s)); }

std::string Padded14(std::string name) {
  name.resize(store::kFieldNameLength, ' ');
  return name;
}

// Writes text over line `line` of the buffer from character `column`, at
// most `room` characters and never past character 255; returns how many
// were written. A layout read from a damaged file may place a column outside
// the buffer: it is left out.
int Place(OutputState& out, int line, int column, std::string_view text, int room) {
  if (line < 1 || line > 21 || column < 1 || column > static_cast<int>(kLineWidth) || room <= 0) return 0;
  std::string& target = out.LineBuffer[static_cast<size_t>(line)];
  const size_t at = static_cast<size_t>(column - 1);
  const size_t n = std::min({text.size(), static_cast<size_t>(room), kLineWidth - at});
  target.replace(at, n, text.substr(0, n));
  int16_t& used = out.LineUsed[static_cast<size_t>(line)];
  used = std::max<int16_t>(used, static_cast<int16_t>(at + n));
  return static_cast<int>(n);
}

// Line k without its trailing blanks.
std::string_view Trimmed(const OutputState& out, int k) {
  const std::string& line = out.LineBuffer[static_cast<size_t>(k)];
  size_t end = std::min(line.size(), static_cast<size_t>(out.LineUsed[static_cast<size_t>(k)]));
  while (end > 0 && line[end - 1] == ' ') --end;
  return std::string_view(line).substr(0, end);
}

}  // namespace

std::string DashedSeparator(float entryNumber) {
  return std::string(59, '-') + "ENTRY:     " + platform::SignedNumber(entryNumber);
}

EntryOutput::EntryOutput(platform::Host& host, store::Store& store, ReportState& state)
    : host_(host), store_(store), state_(state), out_(state.Output) {}

bool EntryOutput::ToPrinter() const { return store_.CurrentReportDest == store::rdPrinter; }

int EntryOutput::LinesPerEntry() const {
  return std::clamp<int>(store_.ActiveLayout[1].LinesPerEntry, 0, 21);
}

bool EntryOutput::OutputLine(std::string_view text) {
  if (ToPrinter()) return host_.GetPrinter().PrintLine(std::string(text));
  out_.OutFile.WriteLine(store_.files(), out_.OutFileNum, text);
  return true;
}

int16_t EntryOutput::OutputEntry(float entryNumber, const store::EntryRecord& entry) {
  const store::CatalogSettings& s = store_.CurrentSettings;
  const bool printer = ToPrinter();
  const int lines = LinesPerEntry();
  if (printer) host_.GetPrinter().SetLinesPerPage(s.PageLength);

  // The header leaves a count of 0 or below for the first entry of a report
  // (its top margin is printed already); its absolute value is what the
  // header put on the page.
  const bool first = out_.LineCount <= 0;
  if (first) out_.LineCount = std::abs(out_.LineCount);

  if (out_.LineCount + lines > s.PageLength && printer) NewPrintPage();

  bool ok = true;
  if (out_.TopOfPage && s.TopMargin > 0 && !first) {
    for (int i = 0; i < s.TopMargin && ok; ++i) {
      ok = OutputLine(" ");
      ++out_.LineCount;
    }
  }
  if (ok && out_.TopOfPage && s.ColumnHeadings == 1) ok = PrintColumnHeadings();
  out_.TopOfPage = false;
  ClearLineBuffer();
  ComposeEntryLines(entry, entryNumber);

  int16_t result = 0;
  if (printer) {
    if (!ok || PrintEntryLines(entryNumber) != 0) {
      host_.MsgBox("Printer Error");
      result = -1;
    }
  } else {
    WriteEntryLinesToFile(entryNumber);
  }
  if (entry.MemoNumber >= 1 && s.PrintMemos != 0 && !PrintEntryMemo(entry.MemoNumber) && result == 0) {
    // A memo line the printer failed ends the entry as a failed line does.
    host_.MsgBox("Printer Error");
    result = -1;
  }
  return result;
}

void EntryOutput::ClearLineBuffer() {
  for (size_t k = 1; k <= 21; ++k) {
    std::string& line = out_.LineBuffer[k];
    // Only what was written since the last clearing needs blanking.
    if (line.size() != kLineWidth)
      line.assign(kLineWidth, ' ');
    else
      std::fill_n(line.begin(), std::min<size_t>(kLineWidth, static_cast<size_t>(out_.LineUsed[k])), ' ');
    out_.LineUsed[k] = 0;
  }
}

void EntryOutput::ComposeEntryLines(const store::EntryRecord& entry, float entryNumber) {
  const bool titles = store_.ActiveLayoutHeader.ShowTitles == 1;
  for (int i = 0; i < store::kReportColumns; ++i) {
    const store::ReportColumn& c = store_.ActiveLayout[static_cast<size_t>(i)];
    if (c.Line == 0 || c.Column == 0) continue;
    const bool number = i == store::kEntryNumberColumn;
    const size_t slot = static_cast<size_t>(i);
    std::string title;
    int extra = 0;
    if (titles) {
      title = Padded14(number ? "Entry #" : store_.FieldDefs[slot].FieldName) + ": ";
      extra = 16;
    }
    std::string computed;
    const std::string* value = &computed;
    if (number)
      computed = platform::PlainNumber(entryNumber);
    else if (store_.Formulas[slot].Defined != 0)
      computed = store_.EvalFormula(entry, i);
    else
      value = &entry.FieldText[slot];
    if (!number && store::IsSumField(store_.FieldDefs[slot].FieldKind))
      platform::AddToTotal(state_.FieldTotals[slot], *value);
    // The title and the value are one text, cut as a whole.
    const int room = c.Width + extra;
    const int placed = Place(out_, c.Line, c.Column, title, room);
    if (placed == static_cast<int>(title.size()))
      Place(out_, c.Line, c.Column + placed, *value, room - placed);
  }
}

bool EntryOutput::OutputBufferLines(int first) {
  const int lines = LinesPerEntry();
  for (int k = first; k <= lines; ++k) {
    std::string_view line = Trimmed(out_, k);
    if (!OutputLine(line.empty() ? std::string_view(" ") : line)) return false;
    ++out_.LineCount;
  }
  return true;
}

int16_t EntryOutput::PrintEntryLines(float entryNumber) {
  const store::CatalogSettings& s = store_.CurrentSettings;
  if (s.DashedLine == 1) {
    if (!OutputLine(DashedSeparator(entryNumber))) return -1;
    ++out_.LineCount;
  }
  int first = 1;
  if (s.LockTopLine > 0) {
    // Both are whole 255-character lines: the test asks whether this
    // entry's first line repeats the previous one.
    if (platform::IsSubstr(out_.LineBuffer[1], out_.PrevFirstLine, true) != 0) {
      first = 2;
    } else {
      out_.PrevFirstLine = out_.LineBuffer[1];
      if (s.LockTopLine == 1) {
        if (!OutputLine(" ")) return -1;
        ++out_.LineCount;
      }
    }
  }
  return OutputBufferLines(first) ? 0 : -1;
}

void EntryOutput::WriteEntryLinesToFile(float entryNumber) { PrintEntryLines(entryNumber); }

bool EntryOutput::PrintColumnHeadings() {
  ClearLineBuffer();
  for (int i = 0; i < store::kReportColumns; ++i) {
    const store::ReportColumn& c = store_.ActiveLayout[static_cast<size_t>(i)];
    if (c.Line == 0 || c.Column == 0) continue;
    std::string heading = i == store::kEntryNumberColumn
                              ? std::string("Entry #")
                              : TrimRight(store_.FieldDefs[static_cast<size_t>(i)].FieldName);
    Place(out_, c.Line, c.Column, heading, static_cast<int>(kLineWidth));
  }
  bool ok = OutputBufferLines(1);
  out_.TopOfPage = false;
  return ok;
}

void EntryOutput::PageFailure() {
  host_.Beep();
  host_.MsgBox("Printer Error.");
}

void EntryOutput::NewPrintPage() {
  platform::Printer& printer = host_.GetPrinter();
  // A page count left by an earlier, ended document must not start the
  // next one with an empty sheet: with nothing printed there is no page to
  // eject and no sheet to change.
  if (printer.DocumentOpen()) {
    switch (store_.PaperMode) {
      case store::poContinuous:
        if (!printer.NewPage()) PageFailure();
        break;
      case store::poSingleSheet:
        host_.MsgBox("Insert a New Sheet of Paper in the Printer", platform::MsgButtons::OK,
                     platform::MsgIcon::Exclamation);
        if (!printer.NewPage()) PageFailure();
        break;
      default:
        break;
    }
  }
  if (!store_.ApplyReportFont()) PageFailure();
  out_.LineCount = 0;
  // Label stock still gets its top margin and headings every page length of
  // lines, but no page number: labels start no page and their report has no
  // header to count pages from, so the number would be stale.
  if (store_.CurrentSettings.PageNumbers == 2 && store_.PaperMode != store::poLabels) {
    ++out_.PageNumber;
    if (!printer.PrintAtColumn(kPageNumberColumn, platform::SignedNumber(out_.PageNumber))) PageFailure();
    out_.LineCount = 1;
  }
  out_.TopOfPage = true;
}

int EntryOutput::MemoWrapWidth() const {
  if (!ToPrinter()) return kFileMemoWidth;
  const platform::Printer& printer = host_.GetPrinter();
  const double tab = std::nearbyint(printer.TextWidth("\t"));
  const double a = std::nearbyint(printer.TextWidth("a"));
  // A font wider than the page still wraps, one character a line.
  if (a <= 0) return 1;
  const double fit = std::nearbyint((printer.PageWidth() - tab) / a);
  const double w = std::nearbyint(fit * 90.0 / 100.0);
  return w < 1 ? 1 : static_cast<int>(std::min(w, 100000.0));
}

bool EntryOutput::PrintEntryMemo(float memoNumber) {
  const bool printer = ToPrinter();
  const size_t w = static_cast<size_t>(MemoWrapWidth());
  const std::string m = store_.ReadMemo(memoNumber) + '\r';
  size_t at = 0;
  while (at < m.size()) {
    const size_t left = m.size() - at;
    const size_t cr = m.find('\r', at);
    std::string line;
    size_t used = 0;
    if (cr != std::string::npos && cr - at + 1 <= w) {
      // A CR up to the wrap width ends the line; an LF right after it
      // belongs to it.
      line = m.substr(at, cr - at);
      used = cr - at + 1;
      if (at + used < m.size() && m[at + used] == '\n') ++used;
    } else {
      // Break after the last blank within the width, or cut hard there.
      const size_t limit = std::min(w, left);
      size_t k = limit;
      for (size_t j = limit; j >= 1; --j) {
        if (m[at + j - 1] == ' ') {
          k = j;
          break;
        }
      }
      line = m.substr(at, k);
      used = k;
    }
    at += used;
    if (!OutputLine("\t" + line)) return false;
    ++out_.LineCount;
    if (printer && out_.LineCount > store_.CurrentSettings.PageLength) NewPrintPage();
  }
  if (!OutputLine(" ")) return false;
  ++out_.LineCount;
  return true;
}

}  // namespace kelvarin::reports
