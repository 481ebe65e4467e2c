// The printer as reports use it: lines of text, a tab to a print column,
// pages, the end of a document, and the report font. Widths are in one unit
// (twips) so that a caller can compare a text's width with the page width.
//
// A document begins with the first text printed (or the first page started),
// never with a font change, so choosing a font alone leaves nothing to print.
// Each printing operation returns false when the printer failed it (the
// caller reports the failure); what was printed before stays in the document.
#pragma once

#include <string>

namespace kelvarin::platform {

struct PrinterFont {
  std::string name;
  double size = 10;
  bool bold = false;
  bool italic = false;
  bool underline = false;
};

class Printer {
 public:
  virtual ~Printer() = default;

  // Prints text and ends the line. Text is Windows-1252.
  virtual bool PrintLine(const std::string& text) = 0;
  // Prints text without ending the line.
  virtual bool PrintPart(const std::string& text) = 0;
  // Moves to print column `column` (1-based, in character columns of the
  // current font, see ColumnWidth) on the current line, prints text and ends
  // the line. A line already past the column is ended first.
  virtual bool PrintAtColumn(int column, const std::string& text) = 0;
  virtual bool NewPage() = 0;
  // Ends the document; the platform then prints it. Harmless with no
  // document. False when the document was lost (see EndDocError); nothing
  // has been told to the user.
  virtual bool EndDoc() = 0;
  // After an EndDoc that failed because its file could not be written: the
  // run-time error (platform/files/runtime_errors.h), with *file set. 0
  // otherwise.
  virtual int EndDocError(std::string* /*file*/) const { return 0; }
  // Whether a document has begun and not yet ended.
  virtual bool DocumentOpen() const = 0;

  // Takes effect for what is printed next; begins no document.
  virtual bool SetFont(const PrinterFont& font) = 0;
  virtual PrinterFont Font() const = 0;
  virtual double TextWidth(const std::string& text) const = 0;
  virtual double PageWidth() const = 0;
  // The width of one print column of the current font.
  virtual double ColumnWidth() const = 0;
  // How many lines the program puts on a page (0: as many as fit). A page
  // then holds that many lines of the current font; the printer starts a
  // page of its own only for lines beyond them.
  virtual void SetLinesPerPage(int lines) = 0;
};

}  // namespace kelvarin::platform
