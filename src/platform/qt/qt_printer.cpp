#include "platform/qt/qt_printer.h"

#include <QDateTime>
#include <QtGlobal>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QIODevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <cmath>

#include "platform/files/runtime_errors.h"
#include "platform/qt/qt_text.h"
#include "platform/text/path_text.h"

namespace kelvarin::platform::qt {

// The PDF writer's output: the program's file, written in large pieces. The
// first failure is kept, and what follows is dropped, so that a full disk
// ends the document's writing without a failure at every page.
class QtPrinter::PdfFile : public QIODevice {
 public:
  explicit PdfFile(std::unique_ptr<RandomAccessFile> file) : file_(std::move(file)) { open(QIODevice::WriteOnly); }
  bool isSequential() const override { return true; }
  // Writes what is held back and makes the file durable: the first failure
  // of the file, or 0.
  int Finish() {
    Drain();
    if (error_ == 0) error_ = file_->Flush();
    return error_;
  }

 protected:
  qint64 readData(char* /*data*/, qint64 /*len*/) override { return -1; }
  qint64 writeData(const char* data, qint64 len) override {
    if (error_ == 0) pending_.append(data, static_cast<size_t>(len));
    if (pending_.size() >= kPiece) Drain();
    return len;
  }

 private:
  static constexpr size_t kPiece = 1 << 16;
  void Drain() {
    if (error_ == 0 && !pending_.empty()) {
      error_ = file_->Write(offset_, pending_.data(), pending_.size());
      offset_ += static_cast<int64_t>(pending_.size());
    }
    pending_.clear();
  }

  std::unique_ptr<RandomAccessFile> file_;
  std::string pending_;
  int64_t offset_ = 0;
  int error_ = 0;
};

QtPrinter::QtPrinter(std::string outputDir, Target target, FileSystem* files)
    : outputDir_(std::move(outputDir)),
      disk_(files != nullptr ? nullptr : std::make_unique<DiskFileSystem>()),
      files_(files != nullptr ? *files : *disk_) {
  QPrinterInfo info = QPrinterInfo::defaultPrinter();
  pdf_ = target == Target::Pdf || info.isNull();
  printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  if (pdf_) {
    printer_->setOutputFormat(QPrinter::PdfFormat);
  } else {
    printer_->setPrinterName(info.printerName());
  }
  printer_->setDocName(QStringLiteral("Report"));
  font_.name = FixedFamily().toStdString();
  font_.size = 10;
}

QtPrinter::~QtPrinter() { EndDoc(); }

QFont QtPrinter::QFontOf() const {
  QString family = ToQ(font_.name);
  if (family.isEmpty() || !QFontDatabase::hasFamily(family)) family = FixedFamily();
  QFont f(family);
  f.setPointSizeF(font_.size > 0 ? font_.size : 10);
  f.setBold(font_.bold);
  f.setItalic(font_.italic);
  f.setUnderline(font_.underline);
  return f;
}

double QtPrinter::ColumnPixels() const {
  const QFont font = QFontOf();
  QFontMetricsF fm(font, printer_.get());
  // A fixed-pitch font's columns are its characters, measured over a run so
  // that column 64 lies where the 64th character of a line begins.
  if (QFontInfo(font).fixedPitch()) return fm.horizontalAdvance(QString(100, QLatin1Char('0'))) / 100.0;
  return fm.averageCharWidth();
}

double QtPrinter::ColumnWidth() const { return ColumnPixels() * 1440.0 / printer_->resolution(); }

double QtPrinter::TabWidth() const { return 8 * ColumnPixels(); }

double QtPrinter::PageHeightPixels() const {
  const int res = printer_->resolution();
  return printer_->pageLayout().paintRectPixels(res).height();
}

double QtPrinter::LinePitch() const {
  const double spacing = QFontMetricsF(QFontOf(), printer_.get()).lineSpacing();
  if (linesPerPage_ <= 0) return spacing;
  return std::min(spacing, PageHeightPixels() / linesPerPage_);
}

std::string QtPrinter::PrinterName() const { return pdf_ ? std::string() : FromQ(printer_->printerName()); }

double QtPrinter::AdvanceOf(const std::string& text, double startX) const {
  QFontMetricsF fm(QFontOf(), printer_.get());
  const double tab = TabWidth();
  double x = startX;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t t = text.find('\t', pos);
    std::string part = text.substr(pos, t == std::string::npos ? std::string::npos : t - pos);
    x += fm.horizontalAdvance(ToQ(part));
    if (t == std::string::npos) break;
    if (tab > 0) x = (std::floor(x / tab + 1e-9) + 1) * tab;
    pos = t + 1;
  }
  return x - startX;
}

double QtPrinter::TextWidth(const std::string& text) const {
  return AdvanceOf(text, 0) * 1440.0 / printer_->resolution();
}

double QtPrinter::PageWidth() const {
  const int res = printer_->resolution();
  return printer_->pageLayout().paintRectPixels(res).width() * 1440.0 / res;
}

int QtPrinter::CreatePdfFile(std::string* file, std::unique_ptr<RandomAccessFile>* out) {
  constexpr int kNames = 1000;
  const std::string stem = (outputDir_.empty() ? std::string(".") : outputDir_) + "/Report-" +
                           QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")).toStdString();
  int error = kErrFileExists;
  // Made new: a file or a link at the name (a link to nowhere too) makes the
  // open fail, and the next name is tried.
  for (int n = 1; n <= kNames && error == kErrFileExists; ++n) {
    *file = stem + (n == 1 ? std::string() : "-" + std::to_string(n)) + ".pdf";
    error = files_.Open(*file, FileAccess::Write, FileShare::NoClause, FileCreate::CreateNew, out);
  }
  return error;
}

QPagedPaintDevice& QtPrinter::Device() const {
  if (pdfWriter_) return *pdfWriter_;
  return *printer_;
}

bool QtPrinter::Begin() {
  if (open_) return true;
  autoBroke_ = false;
  lastFile_.clear();
  pages_.assign(1, {});
  line_.clear();
  x_ = y_ = 0;
  std::string file;
  if (pdf_) {
    std::unique_ptr<RandomAccessFile> out;
    if (CreatePdfFile(&file, &out) == 0) {
      lastFile_ = file;
      pdfFile_ = std::make_unique<PdfFile>(std::move(out));
      pdfWriter_ = std::make_unique<QPdfWriter>(pdfFile_.get());
      pdfWriter_->setResolution(printer_->resolution());
      pdfWriter_->setPageLayout(printer_->pageLayout());
      pdfWriter_->setTitle(QStringLiteral("Report"));
    }
  }
  painter_ = std::make_unique<QPainter>();
  ok_ = (!pdf_ || pdfWriter_) && painter_->begin(&Device());
  if (!ok_) {
    // No document is open: the next operation tries again.
    painter_.reset();
    pdfWriter_.reset();
    if (pdfFile_) {
      pdfFile_.reset();
      files_.Remove(lastFile_);
    }
    lastFile_.clear();
    const std::string why =
        pdf_ ? "The file " + PathText(file) + " cannot be written." : "The printer cannot be opened.";
    qWarning("Report not printed: %s", why.c_str());
    if (!failureTold_ && onFailure_) onFailure_(why);
    failureTold_ = true;
    return false;
  }
  open_ = true;
  failureTold_ = false;
  painter_->setFont(QFontOf());
  return true;
}

void QtPrinter::Draw(const std::string& text) {
  autoBroke_ = false;
  line_ += text;
  const double advance = AdvanceOf(text, x_);
  if (painter_) {
    QFontMetricsF fm(QFontOf(), printer_.get());
    const double tab = TabWidth();
    double x = x_;
    size_t pos = 0;
    while (pos <= text.size()) {
      size_t t = text.find('\t', pos);
      std::string part = text.substr(pos, t == std::string::npos ? std::string::npos : t - pos);
      if (!part.empty()) painter_->drawText(QPointF(x, y_ + fm.ascent()), ToQ(part));
      x += fm.horizontalAdvance(ToQ(part));
      if (t == std::string::npos) break;
      if (tab > 0) x = (std::floor(x / tab + 1e-9) + 1) * tab;
      pos = t + 1;
    }
  }
  x_ += advance;
}

bool QtPrinter::EndLine() {
  pages_.back().push_back(line_);
  line_.clear();
  x_ = 0;
  const double pitch = LinePitch();
  y_ += pitch;
  // A page holds whole lines; the rounding of the pitch must not push the
  // last of them off it.
  if (y_ + pitch > PageHeightPixels() + 0.01) {
    // The page is full: the next line goes on a new one.
    bool ok = !painter_ || Device().newPage();
    pages_.push_back({});
    y_ = 0;
    autoBroke_ = true;
    return ok;
  }
  return true;
}

bool QtPrinter::PrintLine(const std::string& text) {
  if (!Begin()) return false;
  Draw(text);
  return EndLine();
}

bool QtPrinter::PrintPart(const std::string& text) {
  if (!Begin()) return false;
  if (!text.empty()) Draw(text);
  return true;
}

bool QtPrinter::PrintAtColumn(int column, const std::string& text) {
  if (!Begin()) return false;
  const double target = (column > 1 ? column - 1 : 0) * ColumnPixels();
  if (x_ > target + 0.5 && !EndLine()) return false;
  const size_t col = column > 1 ? static_cast<size_t>(column - 1) : 0;
  if (line_.size() < col) line_.resize(col, ' ');
  x_ = target;
  Draw(text);
  return EndLine();
}

bool QtPrinter::NewPage() {
  if (!Begin()) return false;
  if ((!line_.empty() || x_ > 0) && !EndLine()) return false;
  if (autoBroke_) {
    // The last line filled the page and a new one has begun already.
    autoBroke_ = false;
    return true;
  }
  bool ok = !painter_ || Device().newPage();
  pages_.push_back({});
  x_ = y_ = 0;
  return ok;
}

bool QtPrinter::EndDoc() {
  failureTold_ = false;
  if (!open_) return true;
  if (!line_.empty() || x_ > 0) EndLine();
  bool ok = true;
  if (painter_) {
    ok = painter_->end();
    painter_.reset();
  }
  endError_ = 0;
  endErrorFile_.clear();
  if (pdfFile_) {
    pdfWriter_.reset();
    int error = pdfFile_->Finish();
    pdfFile_.reset();
    if (error == 0 && !ok) error = kErrDeviceIO;
    if (error != 0) {
      // A PDF cut short is no report: it goes, and the caller tells why.
      files_.Remove(lastFile_);
      endError_ = error;
      endErrorFile_ = lastFile_;
      lastFile_.clear();
      ok = false;
    }
  }
  open_ = false;
  return ok;
}

int QtPrinter::EndDocError(std::string* file) const {
  if (endError_ != 0) *file = endErrorFile_;
  return endError_;
}

bool QtPrinter::SetFont(const PrinterFont& font) {
  font_ = font;
  if (painter_) painter_->setFont(QFontOf());
  return true;
}

}  // namespace kelvarin::platform::qt
