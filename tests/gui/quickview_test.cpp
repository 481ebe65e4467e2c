// The Quick View window through the Qt host: typing into a cell, moving
// with Tab and with a click, the edit box over the current cell after
// scrolling, and what reaches the data file. With KELVARIN_SCREENSHOT set
// to a file name, the window after scrolling is saved there as a picture
// (scripts/quickview_screenshot runs this under a real X server).
#include <gtest/gtest.h>

#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "platform/files/file_pool.h"
#include "platform/qt/grid_widget.h"
#include "platform/qt/qt_host.h"
#include "reports/quickview/frmQView.h"
#include "sample_form.h"
#include "store/store.h"
#include "support/catalog_builder.h"

namespace kelvarin::testing {
namespace {

using platform::qt::GridWidget;
using platform::qt::QtHost;
using reports::frmQView;

class QtQuickView : public ::testing::Test {
 protected:
  QtQuickView() : dir_("qtqview"), cat_(dir_.path(), "STOCK"), host_(dir_.path()), store_(host_, files_) {
    cat_.Field(0, "Name", 20, store::KindKey).Field(2, "Notes", 40).Field(3, "Quantity Held", 5);
    cat_.Field(4, "Price", 8).Field(6, "Code", 6, store::KindKey);
    for (int i = 1; i <= 60; ++i) {
      std::string nn = (i < 10 ? "0" : "") + std::to_string(i);
      cat_.Entry({"Item" + nn, "", "note " + nn, std::to_string(i), "2", "", "C" + nn});
    }
    EXPECT_TRUE(cat_.Write());
    store_.SetAppDir(dir_.path());
    store_.MeasureFonts();
    EXPECT_TRUE(store_.OpenCatalog("STOCK"));
  }

  // The window loaded and filled with every entry, as a run leaves it.
  void Fill() {
    view_ = std::make_unique<frmQView>(host_, store_, table_);
    view_->LoadForm();
    store::EntryRecord e;
    for (float n = 1; n <= store_.CatalogHeader.EntryCount; ++n) {
      ASSERT_TRUE(store_.ReadEntry(e, store_.CatalogHeader, n, store_.DatFile));
      float row = n;
      ASSERT_TRUE(reports::AddListRow(*view_, n, e, row));
    }
  }
  void FindWidgets() {
    grid_ = dynamic_cast<GridWidget*>(host_.WidgetOf(view_->grdQV));
    box_ = qobject_cast<QLineEdit*>(host_.WidgetOf(view_->Text1));
    ASSERT_NE(grid_, nullptr);
    ASSERT_NE(box_, nullptr);
  }
  // Filled, shown and active.
  void Open() {
    Fill();
    ShowAndActivate(host_, *view_);
    FindWidgets();
  }

  // Where the box stands against the current cell, in window pixels.
  void ExpectBoxOverCurrentCell(const char* when) {
    QApplication::processEvents();
    ASSERT_TRUE(box_->isVisible()) << when;
    QRect cell = grid_->CellRect(view_->grdQV.Row(), view_->grdQV.Col());
    ASSERT_FALSE(cell.isEmpty()) << when << ": the current cell is on view";
    QRect onWindow(grid_->mapTo(grid_->window(), cell.topLeft()), cell.size());
    QRect boxOnWindow(box_->mapTo(box_->window(), QPoint(0, 0)), box_->size());
    EXPECT_EQ(boxOnWindow, onWindow) << when;
    EXPECT_EQ(box_->text().toStdString(), view_->grdQV.TextMatrix(view_->grdQV.Row(), view_->grdQV.Col())) << when;
  }

  std::string FileField(float n, int slot) {
    store::EntryRecord e;
    EXPECT_TRUE(store_.ReadEntry(e, store_.CatalogHeader, n, store_.DatFile));
    return e.FieldText[static_cast<size_t>(slot)];
  }

  test_support::TempDir dir_;
  test_support::CatalogBuilder cat_;
  QtHost host_;
  platform::FilePool files_;
  store::Store store_;
  reports::QuickViewTable table_;
  std::unique_ptr<frmQView> view_;
  GridWidget* grid_ = nullptr;
  QLineEdit* box_ = nullptr;
};

TEST_F(QtQuickView, TypingTabAndAClickWriteTheCellsIntoTheDataFile) {
  Open();
  ExpectBoxOverCurrentCell("at the start");
  EXPECT_TRUE(box_->hasFocus());
  QTest::keyClicks(box_, "Zed");
  EXPECT_EQ(view_->Text1.Text(), "Zed") << "typing replaced the selected text";
  QTest::keyClick(box_, Qt::Key_Tab);
  EXPECT_EQ(view_->grdQV.Col(), 2);
  ExpectBoxOverCurrentCell("after Tab");
  EXPECT_EQ(FileField(1, 0), "Zed                 ");

  QTest::keyClicks(box_, "fresh note");
  const int col = view_->grdQV.LeftCol();
  QTest::mouseClick(grid_, Qt::LeftButton, {}, grid_->CellRect(3, col).center());
  EXPECT_EQ(view_->grdQV.Row(), 3);
  EXPECT_EQ(view_->grdQV.Col(), col);
  ExpectBoxOverCurrentCell("after a click");
  EXPECT_TRUE(box_->hasFocus()) << "the grid hands the focus back to the box";
  EXPECT_EQ(FileField(1, 2).substr(0, 10), "fresh note");

  // Shift+Tab goes back a field; Enter is OK, which writes the cell.
  QTest::keyClick(box_, Qt::Key_Tab);
  QTest::keyClick(box_, Qt::Key_Backtab, Qt::ShiftModifier);
  QTest::keyClick(box_, Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(view_->grdQV.Col(), 1);
  ExpectBoxOverCurrentCell("after Shift+Tab");
  QTest::keyClicks(box_, "Third");
  QTest::keyClick(box_, Qt::Key_Return);
  EXPECT_FALSE(view_->Visible());
  EXPECT_EQ(FileField(3, 0), "Third               ");
  EXPECT_EQ(FileField(2, 0), "Item02              ");
}

TEST_F(QtQuickView, TheBoxLiesOverTheCurrentCellAfterScrolling) {
  Open();
  // Down past the bottom of the view, then across beyond the right edge.
  for (int i = 0; i < 30; ++i) QTest::keyClick(box_, Qt::Key_Down);
  EXPECT_EQ(view_->grdQV.Row(), 31);
  ExpectBoxOverCurrentCell("after moving down past the view");
  for (int i = 0; i < 4; ++i) QTest::keyClick(box_, Qt::Key_Tab);
  EXPECT_GT(view_->grdQV.LeftCol(), 1);
  ExpectBoxOverCurrentCell("after moving right past the view");

  // The bar scrolls and hides the box; the next move brings it back.
  view_->VScroll1.UserScrollTo(20);
  QApplication::processEvents();
  EXPECT_FALSE(box_->isVisible());
  // The keyboard now reaches whatever took the focus from the hidden box.
  ASSERT_NE(QApplication::focusWidget(), nullptr);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  EXPECT_TRUE(box_->hasFocus());
  ExpectBoxOverCurrentCell("after the bar and a move");
  QTest::mouseClick(grid_, Qt::LeftButton, {}, grid_->CellRect(35, view_->grdQV.LeftCol() + 1).center());
  ExpectBoxOverCurrentCell("after a click on the scrolled grid");

  // The current cell shows in the picture: the box's grey fills exactly the
  // cell, inside the highlighted frame.
  QWidget* window = grid_->window();
  QApplication::processEvents();
  QImage shot = window->grab().toImage();
  if (const QByteArray path = qgetenv("KELVARIN_SCREENSHOT"); !path.isEmpty()) shot.save(QString::fromLocal8Bit(path));
  QRect cell = grid_->CellRect(view_->grdQV.Row(), view_->grdQV.Col());
  QPoint at = grid_->mapTo(window, cell.topLeft());
  const qreal ratio = shot.devicePixelRatio();
  auto pixel = [&](int x, int y) { return shot.pixelColor(QPoint(x, y) * ratio); };
  const QColor grey(0xC0, 0xC0, 0xC0);
  EXPECT_EQ(pixel(at.x() + cell.width() / 2, at.y() + cell.height() / 2), grey);
  EXPECT_EQ(pixel(at.x() + cell.width() - 4, at.y() + cell.height() / 2), grey);
  EXPECT_NE(pixel(at.x() - 1, at.y() + cell.height() / 2), grey) << "the frame round the cell";
  EXPECT_EQ(pixel(at.x() - 1, at.y() + cell.height() / 2), grid_->palette().color(QPalette::Highlight));
  view_->cmdOK.UserClick();
}


TEST_F(QtQuickView, ShownModallyAsARunShowsItUntilEnterPressesOk) {
  Fill();
  bool acted = false;
  QTimer::singleShot(0, qApp, [&] {
    QWidget* window = host_.WindowOf(*view_);
    window->activateWindow();
    (void)QTest::qWaitForWindowActive(window);
    FindWidgets();
    QTest::keyClicks(box_, "Modal");
    QTest::keyClick(box_, Qt::Key_Return);
    acted = true;
  });
  // Should the keys go astray, the window still closes.
  QTimer::singleShot(5000, qApp, [&] { view_->Hide(); });
  view_->Show(platform::ShowMode::Modal);
  EXPECT_TRUE(acted);
  EXPECT_FALSE(view_->Visible());
  view_->UnloadForm();
  EXPECT_EQ(FileField(1, 0), "Modal               ");
}

}  // namespace
}  // namespace kelvarin::testing
