#include "platform/qt/qt_printer.h"

#include <QDateTime>
#include <QtGlobal>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <cmath>

#include "platform/qt/qt_text.h"
#include "platform/text/path_text.h"

namespace kelvarin::platform::qt {

QtPrinter::QtPrinter(std::string outputDir, Target target) : outputDir_(std::move(outputDir)) {
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

std::string QtPrinter::NextFileName() const {
  QDir dir(PathToQ(outputDir_.empty() ? std::string(".") : outputDir_));
  const QString stem = QStringLiteral("Report-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
  QString name = stem + QStringLiteral(".pdf");
  for (int n = 2; QFileInfo::exists(dir.filePath(name)); ++n) name = stem + QStringLiteral("-%1.pdf").arg(n);
  return PathFromQ(dir.filePath(name));
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
    file = NextFileName();
    printer_->setOutputFileName(PathToQ(file));
  }
  painter_ = std::make_unique<QPainter>();
  ok_ = painter_->begin(printer_.get());
  if (!ok_) {
    // No document is open: the next operation tries again.
    painter_.reset();
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
  lastFile_ = pdf_ ? file : std::string();
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
    bool ok = !painter_ || printer_->newPage();
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
  bool ok = !painter_ || printer_->newPage();
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
  open_ = false;
  return ok;
}

bool QtPrinter::SetFont(const PrinterFont& font) {
  font_ = font;
  if (painter_) painter_->setFont(QFontOf());
  return true;
}

}  // namespace kelvarin::platform::qt
