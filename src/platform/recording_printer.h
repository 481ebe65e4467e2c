// A printer for tests: it keeps every document as pages of lines and logs
// font changes, page ejects and document ends. Every character is CharWidth
// twips wide whatever the font, and the page is PageWidth twips wide.
#pragma once

#include <string>
#include <vector>

#include "platform/printer.h"

namespace kelvarin::platform {

class RecordingPrinter : public Printer {
 public:
  using Page = std::vector<std::string>;
  using Document = std::vector<Page>;

  void PrintLine(const std::string& text) override;
  void PrintPart(const std::string& text) override;
  // Pads the current line with blanks to the column; a line already past it
  // is ended first, as a print tab does.
  void PrintAtColumn(int column, const std::string& text) override;
  void NewPage() override;
  void EndDoc() override;
  void SetFont(const PrinterFont& font) override;
  PrinterFont Font() const override { return font_; }
  double TextWidth(const std::string& text) const override;
  double PageWidth() const override { return pageWidth_; }

  void SetCharWidth(double twips) { charWidth_ = twips; }
  double CharWidth() const { return charWidth_; }
  void SetPageWidth(double twips) { pageWidth_ = twips; }

  // Documents ended by EndDoc.
  const std::vector<Document>& Documents() const { return documents_; }
  // The document still open (empty when none has begun).
  const Document& Current() const { return current_; }
  bool DocumentOpen() const { return open_; }
  // The text of the line being built by PrintPart.
  const std::string& PendingLine() const { return pending_; }
  // "Font(Courier New,10,bold)", "NewPage", "EndDoc" in order.
  const std::vector<std::string>& Log() const { return log_; }

 private:
  void Begin();
  void EndLine();

  PrinterFont font_{"Courier New", 10, false, false, false};
  double charWidth_ = 120;
  double pageWidth_ = 11520;
  bool open_ = false;
  std::string pending_;
  bool pendingStarted_ = false;
  Document current_;
  std::vector<Document> documents_;
  std::vector<std::string> log_;
};

}  // namespace kelvarin::platform
