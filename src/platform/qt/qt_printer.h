// The printer of the real program. Documents go to the system's default
// printer when there is one; otherwise each document becomes a PDF file
// "Report-YYYYMMDD-HHMMSS.pdf" in the output directory (the application
// directory), with "-2", "-3"... added when that name is taken. The file is
// the program's own, made through the file layer as a new file: a name
// where anything stands, a link to nowhere included, is taken, so a report
// never writes through a link. A document whose file could not be written
// whole is removed when it ends, and EndDoc fails with the cause.
//
// Lines run down the page in the current font, SetLinesPerPage lines to a
// page (closer together than the font's own spacing when that many would not
// fit); only a line beyond them starts a new page by itself. A print column
// is one character of a fixed-pitch font (the average character of another),
// and a tab character in a text moves to the next multiple of eight columns.
// Widths are in twips.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/files/file_system.h"
#include "platform/printer.h"

class QPagedPaintDevice;
class QPainter;
class QPdfWriter;
class QPrinter;
class QFont;

namespace kelvarin::platform::qt {

class QtPrinter : public Printer {
 public:
  enum class Target { Automatic, Pdf };
  // PDF files are made through files (the disk when null), which must
  // outlive the printer.
  explicit QtPrinter(std::string outputDir, Target target = Target::Automatic, FileSystem* files = nullptr);
  ~QtPrinter() override;
  QtPrinter(const QtPrinter&) = delete;
  QtPrinter& operator=(const QtPrinter&) = delete;

  bool PrintLine(const std::string& text) override;
  bool PrintPart(const std::string& text) override;
  bool PrintAtColumn(int column, const std::string& text) override;
  bool NewPage() override;
  bool EndDoc() override;
  int EndDocError(std::string* file) const override;
  bool DocumentOpen() const override { return open_; }
  bool SetFont(const PrinterFont& font) override;
  PrinterFont Font() const override { return font_; }
  double TextWidth(const std::string& text) const override;
  double PageWidth() const override;
  double ColumnWidth() const override;
  void SetLinesPerPage(int lines) override { linesPerPage_ = lines > 0 ? lines : 0; }

  // Whether documents become PDF files.
  bool WritesPdf() const { return pdf_; }
  // The printer documents go to ("" for PDF files).
  std::string PrinterName() const;
  // The PDF file of the last document ended ("" when none, or printed).
  const std::string& LastFile() const { return lastFile_; }
  // The pages of the document open now or last ended, as lines of text
  // (what was drawn, for the program's checks and tests).
  const std::vector<std::vector<std::string>>& Pages() const { return pages_; }
  // False when the last document could not be begun (no printer, no
  // writable directory); its lines were dropped and each operation failed.
  bool LastDocumentOk() const { return ok_; }
  // Told why a document could not be begun (once, until a document begins
  // or EndDoc), so that the user learns the reason behind the failures the
  // program reports.
  void SetFailureHandler(std::function<void(const std::string&)> handler) { onFailure_ = std::move(handler); }

 private:
  bool Begin();
  bool EndLine();
  void Draw(const std::string& text);
  double AdvanceOf(const std::string& text, double startX) const;
  // Device pixels.
  double ColumnPixels() const;
  double TabWidth() const;
  double LinePitch() const;
  double PageHeightPixels() const;
  QFont QFontOf() const;
  // Creates the document's PDF file under the first free name; 0 and *out
  // set, or the error.
  int CreatePdfFile(std::string* file, std::unique_ptr<RandomAccessFile>* out);
  // What is painted on: the document's PDF writer, or the system printer.
  QPagedPaintDevice& Device() const;

  class PdfFile;

  std::string outputDir_;
  std::unique_ptr<DiskFileSystem> disk_;
  FileSystem& files_;
  bool pdf_ = true;
  // Measures pages and fonts for PDF documents too; they are painted on a
  // writer of the same page layout and resolution over the program's file.
  std::unique_ptr<QPrinter> printer_;
  std::unique_ptr<PdfFile> pdfFile_;
  std::unique_ptr<QPdfWriter> pdfWriter_;
  std::unique_ptr<QPainter> painter_;
  int endError_ = 0;
  std::string endErrorFile_;
  PrinterFont font_;
  bool open_ = false;
  bool ok_ = true;
  bool failureTold_ = false;
  int linesPerPage_ = 0;
  bool autoBroke_ = false;  // a full page has just been ended
  double x_ = 0;  // device pixels from the left margin
  double y_ = 0;  // top of the current line
  std::string lastFile_;
  std::vector<std::vector<std::string>> pages_;
  std::string line_;
  std::function<void(const std::string&)> onFailure_;
};

}  // namespace kelvarin::platform::qt
