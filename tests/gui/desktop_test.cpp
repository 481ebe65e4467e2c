// What the user sees of the real Qt host: greyed disabled controls, a
// visible keyboard focus, label columns sized by ordinary text and lined up
// with their boxes, window frames without idle buttons, message boxes as
// wide as their captions, and the font dialog opening on the report font.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QCheckBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

#include "app/program.h"
#include "platform/profile.h"
#include "platform/qt/form_view.h"
#include "platform/qt/program_icon.h"
#include "platform/qt/qt_host.h"
#include "platform/qt/qt_text.h"
#include "reports/dialogs/frmCriteria.h"
#include "reports/dialogs/frmGlobalSearch.h"
#include "reports/dialogs/frmReportDest.h"
#include "reports/dialogs/frmSearch.h"
#include "sample_form.h"
#include "support/catalog_builder.h"
#include "support/demo_catalog.h"

namespace kelvarin::testing {
namespace {

using platform::qt::QtHost;

// Runs check on the modal window of the given class once it is up.
template <class W>
void WhenModal(std::function<void(W&)> check) {
  QTimer::singleShot(0, qApp, [check] {
    if (auto* w = qobject_cast<W*>(QApplication::activeModalWidget())) {
      check(*w);
      return;
    }
    WhenModal<W>(check);
  });
}

// The model form of the modal window that is up.
template <class F>
F* ModalForm() {
  auto* window = dynamic_cast<platform::qt::FormWindow*>(QApplication::activeModalWidget());
  if (!window || !window->View()) return nullptr;
  return dynamic_cast<F*>(&window->View()->Model());
}
template <class F>
void WhenModalForm(std::function<void(F&)> check) {
  QTimer::singleShot(0, qApp, [check] {
    if (F* f = ModalForm<F>()) {
      check(*f);
      return;
    }
    WhenModalForm<F>(check);
  });
}

QImage Picture(QWidget* w) { return w->grab().toImage(); }

TEST(Desktop, DisabledControlsGreyTheirTextAndFocusShowsOnButtonsAndBoxes) {
  QtHost host("");
  SampleForm form(host);
  OptionButton optOne{form, "optOne"};
  optOne.SetCaption("One");
  optOne.Move(1080, 900, 1800, 255);
  ShowAndActivate(host, form);
  auto* check = qobject_cast<QCheckBox*>(host.WidgetOf(form.chkCase));
  auto* option = qobject_cast<QRadioButton*>(host.WidgetOf(optOne));
  auto* ok = qobject_cast<QPushButton*>(host.WidgetOf(form.cmdOK));
  ASSERT_TRUE(check && option && ok);

  const QColor greyed = QApplication::palette().color(QPalette::Disabled, QPalette::WindowText);
  for (Control* c : {static_cast<Control*>(&form.chkCase), static_cast<Control*>(&optOne)}) {
    QWidget* w = host.WidgetOf(*c);
    const QColor black = w->palette().color(QPalette::Active, QPalette::WindowText);
    c->SetEnabled(false);
    EXPECT_FALSE(w->isEnabled());
    EXPECT_EQ(w->palette().color(QPalette::Disabled, QPalette::WindowText), greyed) << c->Name();
    EXPECT_NE(w->palette().color(QPalette::Disabled, QPalette::WindowText), black) << c->Name();
    EXPECT_NE(w->palette().color(QPalette::Disabled, QPalette::ButtonText), black) << c->Name();
    c->SetEnabled(true);
  }

  // Focus: each takes it by Tab, and a focused one looks different.
  for (QWidget* w : {static_cast<QWidget*>(check), static_cast<QWidget*>(option), static_cast<QWidget*>(ok)})
    EXPECT_EQ(w->focusPolicy(), Qt::StrongFocus) << w->objectName().toStdString();
  EXPECT_TRUE(host.WindowOf(form)->testAttribute(Qt::WA_KeyboardFocusChange));
  for (Control* c : {static_cast<Control*>(&form.chkCase), static_cast<Control*>(&optOne),
                     static_cast<Control*>(&form.cmdCancel)}) {
    QWidget* w = host.WidgetOf(*c);
    form.txtName.SetFocus();
    QApplication::processEvents();
    const QImage without = Picture(w);
    c->SetFocus();
    QApplication::processEvents();
    ASSERT_TRUE(w->hasFocus()) << c->Name();
    EXPECT_NE(Picture(w), without) << c->Name() << " shows no focus";
  }
}

// Counts the paints two widgets of a host receive, from the application's
// event stream (the widgets are made only as their window is shown).
class PaintWatch : public QObject {
 public:
  PaintWatch(QtHost& host, const Control& a, const Control& b) : host_(host), a_(a), b_(b) {
    qApp->installEventFilter(this);
  }
  ~PaintWatch() override { qApp->removeEventFilter(this); }
  int first = 0, second = 0;
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::Paint) {
      if (o == host_.WidgetOf(a_)) ++first;
      if (o == host_.WidgetOf(b_)) ++second;
    }
    return false;
  }

 private:
  QtHost& host_;
  const Control& a_;
  const Control& b_;
};

TEST(Desktop, AGaugeIsPaintedWhenShownAndAtEachStepWithoutTheEventLoop) {
  QtHost host("");
  Form gauge(host, "frmGauge");
  gauge.SetBorderStyle(FormBorder::FixedDialog);
  gauge.SetScaleWidth(4800);
  gauge.SetScaleHeight(1320);
  Gauge bar{gauge, "gauProgress"};
  bar.Move(240, 240, 4320, 375);
  CommandButton cancel{gauge, "cmdCancel"};
  cancel.SetCaption("Cancel");
  cancel.Move(1800, 780, 1215, 375);
  PaintWatch paints(host, bar, cancel);
  gauge.Show();  // the work that follows gives the event loop no turn
  EXPECT_GT(paints.first, 0) << "the bar is painted as the window shows";
  EXPECT_GT(paints.second, 0) << "and so is Cancel";
  const int before = paints.first;
  bar.SetValue(40);
  EXPECT_GT(paints.first, before) << "a step is painted at once";
}

TEST(Desktop, FixedWindowsOfferNoIdleButtonsAndTheProgramHasAnIcon) {
  QtHost host("");
  SampleForm dialog(host);  // a fixed dialog
  ShowAndActivate(host, dialog);
  const Qt::WindowFlags d = host.WindowOf(dialog)->windowFlags();
  EXPECT_FALSE(d & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(d & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(d & Qt::WindowCloseButtonHint);

  Form fixedMain(host, "frmFixed");
  fixedMain.SetBorderStyle(FormBorder::FixedSingle);
  fixedMain.SetScaleWidth(3000);
  fixedMain.SetScaleHeight(2000);
  ShowAndActivate(host, fixedMain);
  const Qt::WindowFlags m = host.WindowOf(fixedMain)->windowFlags();
  EXPECT_TRUE(m & Qt::WindowMinimizeButtonHint) << "a main window may be minimised";
  EXPECT_FALSE(m & Qt::WindowMaximizeButtonHint) << "but its size is fixed";

  const QIcon icon = platform::qt::ProgramIcon();
  ASSERT_FALSE(icon.isNull());
  const QImage small = icon.pixmap(16, 16).toImage();
  int drawn = 0;
  for (int y = 0; y < small.height(); ++y)
    for (int x = 0; x < small.width(); ++x) drawn += qAlpha(small.pixel(x, y)) > 0;
  EXPECT_GT(drawn, 16 * 16 / 3);
}

TEST(Desktop, MessageBoxesAreAsWideAsTheirCaptionAndCannotBeMaximised) {
  QtHost host("");
  const std::string caption = "Kelvarin Your Catalog: A Rather Long Caption For A Short Message";
  int width = 0;
  Qt::WindowFlags flags;
  WhenModal<QMessageBox>([&](QMessageBox& box) {
    width = box.width();
    flags = box.windowFlags();
    box.button(QMessageBox::Ok)->click();
  });
  host.MsgBox("Done.", MsgButtons::OK, MsgIcon::None, caption);
  QFont bold = QApplication::font();
  bold.setBold(true);
  EXPECT_GE(width, QFontMetrics(bold).horizontalAdvance(QString::fromStdString(caption)));
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
}

TEST(Desktop, FontDialogOpensOnTheReportFont) {
  QtHost host("");
  const std::string fixed = platform::qt::FixedFamily().toStdString();
  const std::string serif = QFontDatabase::hasFamily("DejaVu Serif") ? "DejaVu Serif" : fixed;
  // OK without a change hands back the font in use: with none chosen yet,
  // or one this system lacks, the fixed-pitch font reports print in.
  const std::vector<std::pair<FontChoice, FontChoice>> cases{
      {{}, {fixed, platform::qt::kDefaultReportPointSize, 400, false, false}},
      {{"No Such Font", 12, 400, false, false}, {fixed, 12, 400, false, false}},
      {{serif, 14, 700, true, true}, {serif, 14, 700, true, true}},
      {{fixed, 9, 400, true, false}, {fixed, 9, 400, true, false}},
  };
  for (const auto& [current, expected] : cases) {
    WhenModal<QFontDialog>([](QFontDialog& d) { d.accept(); });
    const std::optional<FontChoice> got = host.FontDialog(current);
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(std::tie(got->name, got->size, got->weight, got->italic, got->underline),
              std::tie(expected.name, expected.size, expected.weight, expected.italic, expected.underline));
  }
}

// The Search and Search Setup dialogs over a catalog whose longest field
// name fills all 14 characters.
class LabelColumnTest : public ::testing::Test {
 protected:
  LabelColumnTest() : dir_("labels") {
    test_support::CatalogBuilder cat(dir_.path(), "BOOKS");
    cat.Field(0, "Title", 30, store::KindKey).Field(1, "PUBLISHER NAME", 20).Field(2, "Year", 4);
    cat.Entry({"Dune", "Chilton", "1965"});
    EXPECT_TRUE(cat.Write());
    platform::WritePrivateProfileString("Database", "CurrentDB", "BOOKS", dir_.File("QAV.INI"));
  }
  // Pixels of the label and box of row i, and where their text stands.
  struct Row {
    QLabel* label;
    QLineEdit* box;
  };
  static Row RowOf(QtHost& host, platform::ControlArray<platform::Label>& labels,
                   platform::ControlArray<platform::TextBox>& boxes, int16_t i) {
    return {qobject_cast<QLabel*>(host.WidgetOf(labels[i])), qobject_cast<QLineEdit*>(host.WidgetOf(boxes[i]))};
  }
  // The baseline of each one's text, in the dialog's pixels.
  static void ExpectOnOneLine(const Row& r) {
    const QFontMetrics lf(r.label->font()), bf(r.box->font());
    const int labelBase = r.label->y() + r.label->contentsRect().top() + lf.ascent();
    const int boxBase = r.box->y() + (r.box->height() - bf.height() + 1) / 2 + bf.ascent();
    EXPECT_NEAR(labelBase, boxBase, 1);
    EXPECT_LE(r.label->contentsRect().top() + lf.height(), r.label->height()) << "text cut at the bottom";
  }
  int NameWidth(const QWidget* w, const char* text) { return QFontMetrics(w->font()).horizontalAdvance(text); }

  test_support::TempDir dir_;
};

TEST_F(LabelColumnTest, LabelsAreAsWideAsTheNamesAndSitOnTheLineOfTheirBoxes) {
  QtHost host(dir_.path());
  app::Program program(host, dir_.path());
  host.SetMainForm(program.mainWindow());
  program.Start();
  const int tpp = host.Screen().twipsPerPixelX;
  const int16_t maxChar = program.store().MaxCharWidth;
  QFontMetrics gui(platform::qt::ToQFont(platform::ControlFont{}));
  EXPECT_EQ(maxChar, gui.horizontalAdvance(QLatin1Char('W')) * tpp) << "the widest letter of the window font";
  EXPECT_LT(maxChar, gui.maxWidth() * tpp);

  bool searched = false, setUp = false;
  WhenModalForm<reports::frmSearch>([&](reports::frmSearch& s) {
    Row name = RowOf(host, s.lblFieldName, s.txtFieldData, 1);
    ASSERT_TRUE(name.label && name.box);
    const int widest = NameWidth(name.label, "PUBLISHER NAME");
    EXPECT_NEAR(name.label->width(), widest, widest / 10);
    ExpectOnOneLine(name);
    ExpectOnOneLine(RowOf(host, s.lblFieldName, s.txtFieldData, 2));
    searched = true;

    WhenModalForm<reports::frmCriteria>([&](reports::frmCriteria& c) {
      Row row = RowOf(host, c.lblFieldName, c.txtFieldData, 1);
      ASSERT_TRUE(row.label && row.box);
      // Room for any 14-character name, and not much more.
      const int any = NameWidth(row.label, "WWWWWWWWWWWWWW");
      EXPECT_GE(row.label->width(), NameWidth(row.label, "PUBLISHER NAME"));
      EXPECT_NEAR(row.label->width(), any, any / 10);
      ExpectOnOneLine(row);
      setUp = true;
      c.cmdCancel.UserClick();
    });
    s.cmdSrcSetup.UserClick();
    s.cmdCancel.UserClick();
  });
  program.mainWindow().cmdAlpha.UserClick();
  EXPECT_TRUE(searched);
  EXPECT_TRUE(setUp);
  program.Quit();
}

// Pictures of the program on the demo catalog as a window manager frames
// it, for the README: KV_SCREENSHOTS names the folder (scripts/screenshots
// runs this under a virtual X display with a window manager).
class Screenshots : public ::testing::Test {
 protected:
  Screenshots() : dir_("shots") {}
  // Saves the window with its frame, as the screen shows it.
  void Take(QWidget* window, const char* name) {
    ASSERT_NE(window, nullptr) << name;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window)) << name;
    // The window manager's frame (Qt learns its size a moment after the
    // window is mapped) and the first paint.
    for (int waited = 0; waited < 3000 && window->frameGeometry() == window->geometry(); waited += 50)
      QTest::qWait(50);
    // Placed where Qt and the window manager agree on the frame (a box
    // the window manager placed itself can be elsewhere than Qt believes).
    window->move(kShotOrigin, kShotOrigin);
    for (int waited = 0; waited < 3000 && window->frameGeometry().topLeft() != QPoint(kShotOrigin, kShotOrigin);
         waited += 50)
      QTest::qWait(50);
    QTest::qWait(300);
    const QRect frame = window->frameGeometry();
    QImage shot = window->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()).toImage();
    // Interface pictures have few colours: a palette keeps the files small.
    shot = shot.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    EXPECT_TRUE(shot.save(QDir(out_).filePath(QString::fromLatin1(name) + ".png"), "PNG")) << name;
  }
  static constexpr int kShotOrigin = 40;
  test_support::TempDir dir_;
  QString out_;
};

TEST_F(Screenshots, MainWindowAndDialogs) {
  const char* out = std::getenv("KV_SCREENSHOTS");
  if (!out) GTEST_SKIP() << "KV_SCREENSHOTS not set";
  out_ = QString::fromLocal8Bit(out);
  QDir().mkpath(out_);
  ASSERT_TRUE(test_support::MakeDemoAppDir(dir_.path()));
  QtHost host(dir_.path());
  QApplication::setWindowIcon(platform::qt::ProgramIcon());
  app::Program program(host, dir_.path());
  host.SetMainForm(program.mainWindow());
  program.Start();
  program.mainWindow().ShowEntryNumbered(2);
  Take(host.WindowOf(program.mainWindow()), "main-window");

  WhenModalForm<reports::frmSearch>([&](reports::frmSearch& s) {
    s.txtFieldData[0].UserSetText("B");
    Take(host.WindowOf(s), "search");
    WhenModalForm<reports::frmCriteria>([&](reports::frmCriteria& c) {
      Take(host.WindowOf(c), "search-setup");
      c.cmdCancel.UserClick();
    });
    s.cmdSrcSetup.UserClick();
    s.cmdCancel.UserClick();
  });
  program.mainWindow().cmdAlpha.UserClick();

  WhenModalForm<reports::frmReportDest>([&](reports::frmReportDest& d) {
    Take(host.WindowOf(d), "report-setup");
    d.cmdCancel.UserClick();
  });
  program.mainWindow().mnuOSetup.UserClick();

  WhenModalForm<reports::frmGlobalSearch>([&](reports::frmGlobalSearch& g) {
    g.txtGlobalString.UserSetText("Atlantis");
    WhenModal<QMessageBox>([&](QMessageBox& box) {
      Take(&box, "message-box");
      box.button(QMessageBox::Ok)->click();
    });
    g.cmdOK.UserClick();
  });
  program.mainWindow().mnuVGlobalSearch.UserClick();
  program.Quit();
}

}  // namespace
}  // namespace kelvarin::testing
