// A printer for tests: it keeps every document as pages of lines and logs
// font changes, page ejects, document ends and failures. Every character is
// CharWidth twips wide whatever the font, and the page is PageWidth twips
// wide. A test can make operations fail (FailAfter) to play a printer that
// jams in the middle of a report.
#pragma once

#include <string>
#include <vector>

#include "platform/printer.h"

namespace kelvarin::platform {

class RecordingPrinter : public Printer {
 public:
  using Page = std::vector<std::string>;
  using Document = std::vector<Page>;

  bool PrintLine(const std::string& text) override;
  bool PrintPart(const std::string& text) override;
  // Pads the current line with blanks to the column; a line already past it
  // is ended first, as a print tab does.
  bool PrintAtColumn(int column, const std::string& text) override;
  bool NewPage() override;
  bool EndDoc() override;
  bool SetFont(const PrinterFont& font) override;
  PrinterFont Font() const override { return font_; }
  double TextWidth(const std::string& text) const override;
  double PageWidth() const override { return pageWidth_; }
  double ColumnWidth() const override { return charWidth_; }
  void SetLinesPerPage(int lines) override { linesPerPage_ = lines; }

  void SetCharWidth(double twips) { charWidth_ = twips; }
  double CharWidth() const { return charWidth_; }
  void SetPageWidth(double twips) { pageWidth_ = twips; }
  int LinesPerPage() const { return linesPerPage_; }

  // After `succeed` more operations that print, start a page or set the
  // font, the next `fail` such operations fail: they print nothing, return
  // false and log "Error". EndDoc is not among them.
  void FailAfter(int succeed, int fail = 1) {
    okBeforeFailure_ = succeed;
    failuresLeft_ = fail;
  }
  // The next EndDoc of an open document loses it, as a file that could not
  // be written does: logs "Error", returns false, and EndDocError gives
  // error and file (0: a failure of the printer itself).
  void FailEndDoc(int error, std::string file) {
    failEndDoc_ = true;
    endError_ = error;
    endErrorFile_ = std::move(file);
  }
  int EndDocError(std::string* file) const override;

  // Documents ended by EndDoc.
  const std::vector<Document>& Documents() const { return documents_; }
  // The document still open (empty when none has begun).
  const Document& Current() const { return current_; }
  bool DocumentOpen() const override { return open_; }
  // The text of the line being built by PrintPart.
  const std::string& PendingLine() const { return pending_; }
  // "Font(Courier New,10,bold)", "NewPage", "EndDoc", "Error" in order.
  const std::vector<std::string>& Log() const { return log_; }

 private:
  // False (and logged) when this operation is one that fails.
  bool Proceed();
  void Begin();
  void EndLine();

  PrinterFont font_{"Courier New", 10, false, false, false};
  double charWidth_ = 120;
  double pageWidth_ = 11520;
  int linesPerPage_ = 0;
  int okBeforeFailure_ = 0;
  int failuresLeft_ = 0;
  bool failEndDoc_ = false;
  bool endDocFailed_ = false;
  int endError_ = 0;
  std::string endErrorFile_;
  bool open_ = false;
  std::string pending_;
  bool pendingStarted_ = false;
  Document current_;
  std::vector<Document> documents_;
  std::vector<std::string> log_;
};

}  // namespace kelvarin::platform
