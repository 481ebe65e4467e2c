// The printer as reports use it: lines of text, a tab to a print column,
// pages, the end of a document, and the report font. Widths are in one unit
// (twips) so that a caller can compare a text's width with the page width.
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
  virtual void PrintLine(const std::string& text) = 0;
  // Prints text without ending the line (an empty text only begins the document).
  virtual void PrintPart(const std::string& text) = 0;
  // Moves to print column `column` (1-based, in average character widths of
  // the current font) on the current line, prints text and ends the line.
  virtual void PrintAtColumn(int column, const std::string& text) = 0;
  virtual void NewPage() = 0;
  // Ends the document; the platform then prints it. Harmless with no document.
  virtual void EndDoc() = 0;

  virtual void SetFont(const PrinterFont& font) = 0;
  virtual PrinterFont Font() const = 0;
  virtual double TextWidth(const std::string& text) const = 0;
  virtual double PageWidth() const = 0;
};

}  // namespace kelvarin::platform
