#include "reports/output/report_job.h"

#include "platform/file_exists.h"
#include "platform/text/number_text.h"
#include "platform/text/path_text.h"
#include "reports/output/frmRTitle.h"
#include "platform/files/file_names.h"

namespace kelvarin::reports {

namespace {
constexpr int kPageNumberColumn = 64;

std::string Padded14(std::string name) {
  name.resize(store::kFieldNameLength, ' ');
  return name;
}
}  // namespace

ReportJob::ReportJob(platform::Host& host, store::Store& store, ReportState& state)
    : host_(host), store_(store), state_(state) {}

void ReportJob::PrintReportHeader(bool& failed) {
  if (store_.PaperMode == store::poLabels) return;
  failed = false;
  auto fail = [&] {
    host_.MsgBox("Printer error. Please try again.");
    failed = true;
  };
  if (!store_.ApplyReportFont()) {
    fail();
    return;
  }
  const store::CatalogSettings& s = store_.CurrentSettings;
  platform::Printer& printer = host_.GetPrinter();
  printer.SetLinesPerPage(s.PageLength);
  OutputState& out = state_.Output;
  out.PageNumber = 1;
  out.TopOfPage = true;
  out.LineCount = 0;

  std::string title;
  bool noTitle = true;
  {
    frmRTitle prompt(host_, store_);
    prompt.Show(platform::ShowMode::Modal);
    noTitle = store_.DialogResult != 0;
    title = prompt.txtRptTitle.Text();
    prompt.UnloadForm();
  }
  const bool pageNumbers = s.PageNumbers == 2;
  int lines = 0;
  if (noTitle) {
    if (pageNumbers) {
      if (!printer.PrintAtColumn(kPageNumberColumn, "1")) fail();
      lines = 1;
    }
  } else {
    for (int i = 0; i < s.TopMargin; ++i) {
      if (!printer.PrintLine(" ")) fail();
      ++lines;
    }
    if (pageNumbers) {
      if (!printer.PrintPart(title) || !printer.PrintAtColumn(kPageNumberColumn, "1")) fail();
      // A title reaching the page number's column pushes the number onto a
      // line of its own.
      const double room = (kPageNumberColumn - 1) * printer.ColumnWidth();
      lines += printer.TextWidth(title) > room + 0.5 ? 2 : 1;
    } else {
      if (!printer.PrintLine(title)) fail();
      ++lines;
    }
    if (!printer.PrintLine(" ")) fail();
    ++lines;
  }
  out.LineCount = -lines;
}

void ReportJob::PrintReportTotals(float count) {
  if (store_.PaperMode == store::poLabels) return;
  const bool printer = store_.CurrentReportDest == store::rdPrinter;
  OutputState& out = state_.Output;
  bool ok = true;
  // The totals do not count as lines of the page. A printer that fails
  // here has failed the report's last lines only; the rest are dropped.
  auto line = [&](const std::string& text) {
    if (!ok) return;
    if (printer)
      ok = host_.GetPrinter().PrintLine(text);
    else
      out.OutFile.WriteLine(store_.files(), out.OutFileNum, text);
  };
  line(" ");
  line(std::string(10, ' ') + "TOTAL PRINTED: " + platform::PlainNumber(count));
  line(" ");
  bool any = false;
  for (size_t i = 0; i < static_cast<size_t>(store::kFieldCount); ++i) {
    if (!store::IsSumField(store_.FieldDefs[i].FieldKind)) continue;
    if (!any) {
      line(std::string(10, ' ') + "ENTRY TOTALS:");
      line(" ");
      any = true;
    }
    line(std::string(15, ' ') + Padded14(store_.FieldDefs[i].FieldName) + ": " +
         platform::StandardFormat(state_.FieldTotals[i], host_.Locale()));
  }
  if (!ok) host_.MsgBox("Printer Error");
}

bool ReportJob::EndPrintJob() { return store_.EndPrintDoc(); }

void ReportJob::ClearTotals() { state_.FieldTotals.fill(0.0f); }

void ReportJob::ShowTotals(std::string& message) {
  bool any = false;
  for (size_t i = 0; i < static_cast<size_t>(store::kFieldCount); ++i) {
    if (!store::IsSumField(store_.FieldDefs[i].FieldKind)) continue;
    if (!any) message += "\r\rTOTALS:\r\r";
    any = true;
    message += Padded14(store_.FieldDefs[i].FieldName) + "\t\t:\t" +
               platform::StandardFormat(state_.FieldTotals[i], host_.Locale()) + "\r";
  }
  host_.MsgBox(message);
}

std::string ReportJob::GetASCFile() {
  platform::FileDialogRequest request;
  request.title = "ASCII File";
  request.defaultExt = "txt";
  request.filter = "Text (*.txt)|*.txt";
  request.initialDir = store_.AppDir;
  request.fileName = platform::AsciiFileOffer(store_.AppDir, store_.CatalogName);
  std::optional<std::string> chosen = host_.SaveFileDialog(request);
  if (!chosen || chosen->empty()) return "";
  const std::string path = *chosen;
  if (platform::FileExists(path) &&
      host_.MsgBox("ASCII File: " + platform::PathText(path) + " already exists, OVERWRITE?",
                   platform::MsgButtons::YesNo, platform::MsgIcon::Question) != platform::MsgAnswer::Yes)
    return "";
  state_.Output.LineCount = 0;
  state_.Output.TopOfPage = true;
  return path;
}

}  // namespace kelvarin::reports
