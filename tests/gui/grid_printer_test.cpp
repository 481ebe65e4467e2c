#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QRegularExpression>
#include <map>
#include <QTemporaryDir>
#include <QTest>

#include "platform/files/memory_file_system.h"
#include "platform/files/runtime_errors.h"
#include "platform/qt/grid_widget.h"
#include "platform/qt/qt_host.h"
#include "platform/qt/qt_printer.h"
#include "sample_form.h"

namespace kelvarin::testing {
namespace {

using platform::qt::GridWidget;
using platform::qt::QtHost;
using platform::qt::QtPrinter;

class GridForm : public Form {
 public:
  explicit GridForm(Host& host) : Form(host, "frmQView") {
    SetScaleWidth(6000);
    SetScaleHeight(3000);
    grdQV.Move(0, 0, 6000, 3000);
    grdQV.SetRows(30);
    grdQV.SetCols(4);
    grdQV.SetColWidth(0, 600);
    grdQV.SetColWidth(1, 1500);
    grdQV.SetRowHeight(0, 300);
    grdQV.SetTextMatrix(0, 1, "NAME");
    grdQV.SetTextMatrix(1, 0, "1");
    grdQV.SetTextMatrix(1, 1, "Smith");
    grdQV.RowColChange = [this] { ++rowColChanges; };
    sbrStatus.AddPanel("Mode", "Quick View", 2400);
    sbrStatus.AddPanel("Count", "", 1200);
  }
  Grid grdQV{*this, "grdQV"};
  StatusBar sbrStatus{*this, "sbrStatus"};
  int rowColChanges = 0;
};

TEST(QtGrid, MirrorsTheModelAndTakesCellClicks) {
  QtHost host("");
  GridForm form(host);
  ShowAndActivate(host, form);
  auto* grid = dynamic_cast<GridWidget*>(host.WidgetOf(form.grdQV));
  ASSERT_NE(grid, nullptr);
  const int tpp = host.Screen().twipsPerPixelX;
  // Fixed column 0 then column 1 from LeftCol; widths and heights in twips,
  // a one-pixel border at the left and a line after each column and row.
  EXPECT_EQ(grid->CellRect(0, 1), QRect(1 + 600 / tpp + 1, 0, 1500 / tpp, 300 / tpp));
  EXPECT_EQ(grid->CellRect(1, 1).top(), 300 / tpp + 1);
  EXPECT_EQ(grid->CellRect(1, 1).height(), Grid::kDefaultRowHeight / tpp);

  // A click on a cell makes it current through the model.
  QTest::mouseClick(grid, Qt::LeftButton, {}, grid->CellRect(2, 2).center());
  EXPECT_EQ(form.grdQV.Row(), 2);
  EXPECT_EQ(form.grdQV.Col(), 2);
  EXPECT_EQ(form.rowColChanges, 1);
  // Fixed cells take no clicks.
  QTest::mouseClick(grid, Qt::LeftButton, {}, grid->CellRect(0, 1).center());
  EXPECT_EQ(form.grdQV.Row(), 2);

  // Scrolling from code: row 1 leaves the view, the fixed row stays.
  form.grdQV.SetTopRow(5);
  EXPECT_TRUE(grid->CellRect(1, 1).isEmpty());
  EXPECT_EQ(grid->CellRect(5, 1).top(), 300 / tpp + 1);
  EXPECT_FALSE(grid->CellRect(0, 1).isEmpty());
  auto cell = grid->CellAt(grid->CellRect(6, 3).center());
  ASSERT_TRUE(cell.has_value());
  EXPECT_EQ(*cell, std::make_pair(6, 3));

  // Status-bar panels follow the model by key, at the window's bottom.
  form.sbrStatus.Panels("Count").SetText("12 rows");
  QWidget* bar = host.WidgetOf(form.sbrStatus);
  ASSERT_NE(bar, nullptr);
  QStringList texts;
  for (QLabel* l : bar->findChildren<QLabel*>()) texts << l->text();
  EXPECT_EQ(texts, (QStringList{"Quick View", "12 rows"}));
  EXPECT_EQ(bar->geometry().bottom(), bar->parentWidget()->height() - 1);
  EXPECT_EQ(bar->width(), bar->parentWidget()->width());

  // The arrow keys move the current cell through the model.
  form.grdQV.SetFocus();
  QApplication::processEvents();
  QTest::keyClick(grid, Qt::Key_Down);
  EXPECT_EQ(form.grdQV.Row(), 3);
}

// The texts drawn into a PDF file written by Qt, one per drawn run: the
// page streams are inflated, and the glyph codes of each text block are
// read back through the font's ToUnicode map.
std::vector<std::string> PdfTexts(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  const QByteArray data = f.readAll();
  QByteArray streams;
  for (qsizetype pos = 0; (pos = data.indexOf("stream\n", pos)) >= 0;) {
    pos += 7;
    const qsizetype end = data.indexOf("endstream", pos);
    if (end < 0) break;
    const QByteArray raw = data.mid(pos, end - pos);
    // qUncompress wants the inflated size in front; a generous bound will do.
    const quint32 size = static_cast<quint32>(raw.size() * 64 + 4096);
    QByteArray sized;
    for (int shift : {24, 16, 8, 0}) sized.append(static_cast<char>((size >> shift) & 0xFF));
    const QByteArray inflated = raw.startsWith("\x78") ? qUncompress(sized + raw) : QByteArray();
    streams += (inflated.isEmpty() ? raw : inflated) + "\n";
    pos = end + 9;  // past "endstream", whose tail would match again
  }
  std::map<int, char32_t> glyphs;
  const QString text = QString::fromLatin1(streams);
  QRegularExpression range("<([0-9A-F]{4})> <([0-9A-F]{4})> (\\[[^\\]]*\\]|<[0-9A-F]{4}>)");
  for (auto it = range.globalMatch(text); it.hasNext();) {
    auto m = it.next();
    int lo = m.captured(1).toInt(nullptr, 16), hi = m.captured(2).toInt(nullptr, 16);
    QStringList targets;
    QRegularExpression hex("<([0-9A-F]{4})>");
    for (auto h = hex.globalMatch(m.captured(3)); h.hasNext();) targets << h.next().captured(1);
    for (int g = lo; g <= hi; ++g) {
      int i = g - lo;
      int u = targets.size() == 1 ? targets[0].toInt(nullptr, 16) + i : targets.value(i).toInt(nullptr, 16);
      glyphs[g] = static_cast<char32_t>(u);
    }
  }
  std::vector<std::string> out;
  QRegularExpression block("BT\\n(.*?)ET\\n", QRegularExpression::DotMatchesEverythingOption);
  for (auto it = block.globalMatch(text); it.hasNext();) {
    std::string run;
    QRegularExpression tj("<([0-9A-F]{4})> Tj");
    for (auto t = tj.globalMatch(it.next().captured(1)); t.hasNext();) {
      char32_t u = glyphs[t.next().captured(1).toInt(nullptr, 16)];
      run += (u == 9 || u == 0) ? ' ' : static_cast<char>(u);  // Qt maps the blank glyph oddly
    }
    out.push_back(run);
  }
  return out;
}

TEST(QtPrinter, PdfFallbackWritesOneFilePerDocument) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QtPrinter printer(dir.path().toStdString(), QtPrinter::Target::Pdf);
  EXPECT_TRUE(printer.WritesPdf());
  // A fixed-pitch font: every character is as wide as any other.
  EXPECT_DOUBLE_EQ(printer.TextWidth("iiii"), printer.TextWidth("MMMM"));
  EXPECT_GT(printer.PageWidth(), 80 * printer.TextWidth("a"));

  // Links to nowhere at this second's name and the next two's: the report
  // is not written through them but under the next name.
  const QDateTime now = QDateTime::currentDateTime();
  for (int s = 0; s < 3; ++s)
    ASSERT_TRUE(QFile::link("nowhere.pdf", dir.filePath(now.addSecs(s).toString("'Report-'yyyyMMdd-HHmmss'.pdf'"))));
  printer.PrintLine("Smith        42");
  printer.PrintPart("Total");
  printer.PrintAtColumn(64, "1");
  printer.NewPage();
  printer.PrintLine("Page two");
  printer.EndDoc();

  const std::string first = printer.LastFile();
  ASSERT_FALSE(first.empty());
  EXPECT_TRUE(QFile::exists(QString::fromStdString(first)));
  EXPECT_TRUE(QString::fromStdString(first).contains(QRegularExpression("/Report-\\d{8}-\\d{6}-2\\.pdf$")));
  EXPECT_FALSE(QFileInfo(QString::fromStdString(first)).isSymLink());
  EXPECT_FALSE(QFile::exists(dir.filePath("nowhere.pdf")));
  ASSERT_EQ(printer.Pages().size(), 2u);
  EXPECT_EQ(printer.Pages()[0], (std::vector<std::string>{"Smith        42", "Total" + std::string(58, ' ') + "1"}));
  EXPECT_EQ(printer.Pages()[1], (std::vector<std::string>{"Page two"}));

  QFile f(QString::fromStdString(first));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray pdf = f.readAll();
  EXPECT_TRUE(pdf.startsWith("%PDF-"));
  EXPECT_TRUE(pdf.contains("/Count 2"));
  EXPECT_EQ(PdfTexts(QString::fromStdString(first)),
            (std::vector<std::string>{"Smith        42", "Total", "1", "Page two"}));

  // The next document is a file of its own, even within the same second.
  printer.PrintLine("Again");
  printer.EndDoc();
  EXPECT_NE(printer.LastFile(), first);
  EXPECT_TRUE(QFile::exists(QString::fromStdString(printer.LastFile())));
  printer.EndDoc();  // harmless with no document
}

TEST(QtPrinter, DocumentsThatCannotBeWrittenAreReported) {
  QTemporaryDir dir;
  QtPrinter printer((dir.path() + "/missing").toStdString(), QtPrinter::Target::Pdf);
  std::vector<std::string> failures;
  printer.SetFailureHandler([&](const std::string& why) { failures.push_back(why); });
  printer.PrintLine("one");
  printer.PrintLine("two");
  printer.EndDoc();
  EXPECT_FALSE(printer.LastDocumentOk());
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_NE(failures[0].find("cannot be written"), std::string::npos);
  EXPECT_TRUE(printer.LastFile().empty());

  // A disk that fills up: the pages go on without a failure each; the end
  // of the document fails with the cause and removes the file.
  platform::MemoryFileSystem full;
  full.AddDirectory("/app");
  full.SetCapacity(4000);
  QtPrinter cut("/app", QtPrinter::Target::Pdf, &full);
  for (int page = 0; page < 5; ++page) EXPECT_TRUE(cut.PrintLine("Page") && cut.NewPage());
  EXPECT_FALSE(cut.EndDoc());
  std::string file, bytes;
  EXPECT_EQ(cut.EndDocError(&file), platform::kErrDiskFull);
  EXPECT_EQ(file.rfind("/app/Report-", 0), 0u) << file;
  EXPECT_FALSE(full.GetFile(file, &bytes));
}

}  // namespace
}  // namespace kelvarin::testing
