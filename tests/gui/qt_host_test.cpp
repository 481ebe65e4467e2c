#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QComboBox>
#include <QListWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "platform/qt/form_view.h"
#include "platform/qt/qt_host.h"
#include "sample_form.h"

namespace kelvarin::testing {
namespace {

using platform::qt::QtHost;

template <class W>
W* WidgetOf(QtHost& host, const Control& c) {
  return qobject_cast<W*>(host.WidgetOf(c));
}

// Runs action once the application has gone back to its event loop (inside
// a modal loop or a message box).
template <class F>
void Soon(F action) {
  QTimer::singleShot(0, qApp, action);
}

TEST(QtHost, ButtonClickReachesHandlerAndModelChangesReachButton) {
  QtHost host("");
  SampleForm form(host);
  ShowAndActivate(host, form);
  auto* ok = WidgetOf<QPushButton>(host, form.cmdOK);
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->text(), "OK");
  EXPECT_TRUE(ok->isDefault());

  QTest::mouseClick(ok, Qt::LeftButton);
  EXPECT_EQ(form.okClicks, 1);
  EXPECT_FALSE(host.WindowOf(form)->isVisible());  // the handler hid the form

  form.Show();
  form.cmdOK.SetCaption("&Go");
  form.cmdOK.SetEnabled(false);
  EXPECT_EQ(ok->text(), "&Go");
  EXPECT_FALSE(ok->isEnabled());
  QTest::mouseClick(ok, Qt::LeftButton);
  EXPECT_EQ(form.okClicks, 1);

  // A check box click goes through the model, which reports the new value.
  auto* check = WidgetOf<QCheckBox>(host, form.chkCase);
  QTest::mouseClick(check, Qt::LeftButton);
  EXPECT_EQ(form.chkCase.Value(), 1);
  EXPECT_EQ(form.lastCheck, 1);
  EXPECT_TRUE(check->isChecked());
  form.chkCase.SetValue(0);
  EXPECT_FALSE(check->isChecked());
}

TEST(QtHost, TypingGoesThroughKeyPressAndDroppedKeysStayOut) {
  QtHost host("");
  SampleForm form(host);
  ShowAndActivate(host, form);
  auto* edit = WidgetOf<QLineEdit>(host, form.txtName);
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(edit->hasFocus());  // first in tab order
  QTest::keyClicks(edit, "ab5c");
  EXPECT_EQ(form.txtName.Text(), "abc");
  EXPECT_EQ(edit->text(), "abc");
  EXPECT_EQ(edit->cursorPosition(), 3);

  QTest::keyClick(edit, Qt::Key_Left);
  QTest::keyClick(edit, Qt::Key_Backspace);
  EXPECT_EQ(form.txtName.Text(), "ac");
  EXPECT_EQ(edit->text(), "ac");
  EXPECT_EQ(edit->cursorPosition(), 1);

  // Text outside ASCII arrives in the model as Windows-1252.
  QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("\xC3\xA9"));
  QApplication::sendEvent(edit, &press);
  EXPECT_EQ(form.txtName.Text(), "a\xE9" "c");

  // Code changes reach the widget without coming back as typing.
  form.txtName.SetText("Smith");
  EXPECT_EQ(edit->text(), "Smith");
  EXPECT_EQ(form.txtName.Text(), "Smith");

  // Shift+Left extends the selection leftwards, the caret at its start.
  QTest::keyClick(edit, Qt::Key_End);
  QTest::keyClick(edit, Qt::Key_Left, Qt::ShiftModifier);
  QTest::keyClick(edit, Qt::Key_Left, Qt::ShiftModifier);
  EXPECT_EQ(form.txtName.SelText(), "th");
  EXPECT_EQ(edit->selectedText(), QStringLiteral("th"));
  EXPECT_EQ(edit->cursorPosition(), 3);
  QTest::keyClick(edit, Qt::Key_End);

  // Tab moves along the model's tab order; Enter presses the default button.
  QTest::keyClick(edit, Qt::Key_Tab);
  EXPECT_EQ(form.ActiveControl(), &form.chkCase);
  EXPECT_TRUE(WidgetOf<QCheckBox>(host, form.chkCase)->hasFocus());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
  EXPECT_EQ(form.chkCase.Value(), 1);
  // The label's access key leads to the control after it in tab order.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::AltModifier);
  EXPECT_EQ(form.ActiveControl(), &form.txtName);
  EXPECT_EQ(WidgetOf<QLabel>(host, form.lblName)->text(), "&Name:");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(form.okClicks, 1);
}

TEST(QtHost, FocusMessageLimitsTheFocusedTextBox) {
  QtHost host("");
  SampleForm form(host);
  ShowAndActivate(host, form);
  host.SendFocusMessage(1045, 4);
  EXPECT_EQ(form.txtName.MaxLength(), 4);
  QTest::keyClicks(WidgetOf<QLineEdit>(host, form.txtName), "abcdef");
  EXPECT_EQ(form.txtName.Text(), "abcd");
}

TEST(QtHost, ModalShowEndsWhenTheFormIsHiddenOrUnloaded) {
  QtHost host("");
  SampleForm form(host);
  Soon([&] {
    ASSERT_TRUE(host.WindowOf(form) && host.WindowOf(form)->isVisible());
    EXPECT_TRUE(host.WindowOf(form)->isModal());
    QTest::mouseClick(WidgetOf<QPushButton>(host, form.cmdOK), Qt::LeftButton);
  });
  form.Show(ShowMode::Modal);
  EXPECT_EQ(form.okClicks, 1);
  EXPECT_FALSE(form.Visible());
  EXPECT_TRUE(form.Loaded());

  // Escape presses the cancel button, which unloads: the window goes too.
  Soon([&] {
    QWidget* window = host.WindowOf(form);
    ASSERT_NE(window, nullptr);
    (void)QTest::qWaitForWindowActive(window);
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window, Qt::Key_Escape);
  });
  form.Show(ShowMode::Modal);
  EXPECT_EQ(form.cancelClicks, 1);
  EXPECT_FALSE(form.Loaded());
  EXPECT_EQ(host.WindowOf(form), nullptr);
}

TEST(QtHost, CloseBoxAsksTheModel) {
  QtHost host("");
  SampleForm form(host);
  int16_t refuse = 1;
  form.QueryUnload = [&](int16_t& cancel, int16_t mode) {
    EXPECT_EQ(mode, kUnloadByUser);
    cancel = refuse;
  };
  QWidget* window = ShowAndActivate(host, form);
  window->close();
  EXPECT_TRUE(form.Loaded());
  EXPECT_TRUE(window->isVisible());
  refuse = 0;
  window->close();
  EXPECT_FALSE(form.Loaded());
}

TEST(QtHost, MessageBoxShowsTextAndReturnsTheClickedAnswer) {
  QtHost host("");
  QString text, title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  std::function<void()> answer = [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) {
      Soon(answer);  // not up yet
      return;
    }
    text = box->text();
    title = box->windowTitle();
    icon = box->icon();
    box->button(QMessageBox::No)->click();
  };
  Soon(answer);
  MsgAnswer a = host.MsgBox("Replace File?\rC:\\x.txt", MsgButtons::YesNo, MsgIcon::Question);
  EXPECT_EQ(a, MsgAnswer::No);
  EXPECT_EQ(text, "Replace File?\nC:\\x.txt");
  EXPECT_EQ(title, "Kelvarin Your Catalog");
  EXPECT_EQ(icon, QMessageBox::Question);

  Soon([] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    QTest::keyClick(box, Qt::Key_Escape);
  });
  EXPECT_EQ(host.MsgBox("Go on?", MsgButtons::OKCancel, MsgIcon::Exclamation, "Search"), MsgAnswer::Cancel);
}

TEST(QtHost, MenuActionReachesHandlerAndFollowsTheModel) {
  QtHost host("");
  SampleForm form(host, true);
  QWidget* window = ShowAndActivate(host, form);
  auto* bar = window->findChild<QMenuBar*>();
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->actions().size(), 1);
  EXPECT_EQ(bar->actions().front()->text(), "&File");
  QAction* save = host.ActionOf(*form.mnuFSave);
  ASSERT_NE(save, nullptr);
  EXPECT_EQ(save->text(), "&Save Entry");
  EXPECT_EQ(save->shortcut(), QKeySequence("Ctrl+S"));
  save->trigger();
  EXPECT_EQ(form.saveClicks, 1);

  // Alt with the title's letter drops the menu down; the title's Click
  // comes first, as the classic menus had it.
  int fileClicks = 0;
  form.mnuFile->Click = [&] { ++fileClicks; };
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::AltModifier);
  QApplication::processEvents();
  auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->title(), "&File");
  EXPECT_EQ(fileClicks, 1);
  popup->close();

  // Items made at run time get actions; an item destroyed leaves an action
  // that no longer reaches it.
  auto extra = std::make_unique<MenuItem>(*form.mnuFile, "mnuFExtra");
  extra->SetCaption("E&xtra");
  int extraClicks = 0;
  extra->Click = [&] { ++extraClicks; };
  QPointer<QAction> action = host.ActionOf(*extra);
  ASSERT_NE(action, nullptr);
  EXPECT_EQ(action->text(), "E&xtra");
  action->trigger();
  EXPECT_EQ(extraClicks, 1);
  extra.reset();
  if (action) action->trigger();
  EXPECT_EQ(extraClicks, 1);
  save = host.ActionOf(*form.mnuFSave);
  ASSERT_NE(save, nullptr);

  form.mnuFSave->SetChecked(true);
  EXPECT_TRUE(save->isChecked());
  save->trigger();  // Qt would uncheck it; the model has not
  EXPECT_TRUE(save->isChecked());
  form.mnuFSave->SetEnabled(false);
  EXPECT_FALSE(save->isEnabled());
  form.mnuFSave->SetVisible(false);
  EXPECT_FALSE(save->isVisible());
  EXPECT_EQ(form.saveClicks, 2);
  form.UnloadForm();  // views of the items still there are let go
  form.mnuFSave->SetCaption("&Save");
}

TEST(QtHost, RunEndsWhenTheMainFormIsUnloaded) {
  QtHost host("");
  SampleForm form(host);
  // A splash screen shown first and closed while the main window is up
  // hands the main role on.
  SampleForm splash(host);
  splash.Show();
  form.Show();
  splash.UnloadForm();
  EXPECT_FALSE(host.Finished());
  EXPECT_EQ(host.MainForm(), &form);
  Soon([&] { form.UnloadForm(); });
  EXPECT_EQ(host.Run(), 0);
  EXPECT_TRUE(host.Finished());
}

TEST(QtHost, NameFiltersAndLocale) {
  using platform::qt::QtNameFilters;
  EXPECT_EQ(QtNameFilters("Text Files (*.txt)|*.txt|All Files (*.*)|*.*"),
            (std::vector<std::string>{"Text Files (*.txt)", "All Files (*)"}));
  EXPECT_EQ(QtNameFilters("Reports|*.fmt;*.txt"), (std::vector<std::string>{"Reports (*.fmt *.txt)"}));
  EXPECT_EQ(QtNameFilters(""), (std::vector<std::string>{"All Files (*)"}));

  LocaleSettings us = platform::qt::LocaleFromQt(QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_EQ(us.shortDate, "M/d/yy");
  EXPECT_EQ(us.dateSeparator, "/");
  EXPECT_EQ(us.dayNames[0], "Sunday");
  EXPECT_EQ(us.monthNames[11], "December");
  EXPECT_EQ(us.decimalPoint, '.');
  EXPECT_EQ(us.thousandsSeparator, ',');
  LocaleSettings de = platform::qt::LocaleFromQt(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_EQ(de.shortDate.substr(0, 1), "d");
  EXPECT_EQ(de.dateSeparator, ".");
  EXPECT_EQ(de.decimalPoint, ',');
  EXPECT_EQ(de.thousandsSeparator, '.');
  EXPECT_EQ(de.monthNames[2], "M\xE4rz");  // Windows-1252
}

}  // namespace
}  // namespace kelvarin::testing

namespace kelvarin::testing {
namespace {

// Handlers that unload their own form while Qt is still inside the signal
// that called them: the window and its widgets go only afterwards.
TEST(QtHost, HandlerMayUnloadItsOwnForm) {
  QtHost host("");
  SampleForm form(host, true);
  form.mnuFSave->Click = [&] { form.UnloadForm(); };
  ShowAndActivate(host, form);
  QAction* save = host.ActionOf(*form.mnuFSave);
  ASSERT_NE(save, nullptr);
  save->setCheckable(true);  // the handler's end would re-read the check mark
  save->trigger();
  EXPECT_FALSE(form.Loaded());
  EXPECT_EQ(host.WindowOf(form), nullptr);
  QApplication::processEvents();

  form.chkCase.Click = [&](int16_t) { form.UnloadForm(); };
  ShowAndActivate(host, form);
  QTest::mouseClick(qobject_cast<QCheckBox*>(host.WidgetOf(form.chkCase)), Qt::LeftButton);
  EXPECT_FALSE(form.Loaded());
  QApplication::processEvents();
  EXPECT_EQ(host.WindowOf(form), nullptr);
}

}  // namespace
}  // namespace kelvarin::testing

namespace kelvarin::testing {
namespace {

class ListForm : public Form {
 public:
  explicit ListForm(Host& host) : Form(host, "frmLists") {
    SetScaleWidth(4800);
    SetScaleHeight(3000);
    cboEdit.SetComboStyle(ComboBox::kDropDownCombo);
    cboEdit.Move(120, 120, 2400, 315);
    cboEdit.KeyPress = [](int16_t& k) {
      if (k == '5') k = 0;
    };
    cboList.Move(120, 600, 2400, 315);
    for (const char* s : {"Alpha", "Beta", "Gamma"}) {
      cboList.AddItem(s);
      lstItems.AddItem(s);
    }
    cboList.Click = [this] { ++comboClicks; };
    lstItems.Move(120, 1080, 2400, 1200);
  }
  ComboBox cboEdit{*this, "cboEdit"};
  ComboBox cboList{*this, "cboList"};
  ListBox lstItems{*this, "lstItems"};
  int comboClicks = 0;
};

TEST(QtHost, ListsAndCombosGoThroughTheModel) {
  QtHost host("");
  ListForm form(host);
  ShowAndActivate(host, form);
  auto* edit = qobject_cast<QComboBox*>(host.WidgetOf(form.cboEdit));
  auto* list = qobject_cast<QComboBox*>(host.WidgetOf(form.cboList));
  auto* box = qobject_cast<QListWidget*>(host.WidgetOf(form.lstItems));
  ASSERT_TRUE(edit && list && box);
  ASSERT_TRUE(edit->isEditable());
  EXPECT_FALSE(list->isEditable());
  EXPECT_EQ(list->count(), 3);

  // Typing into the editable combo passes its KeyPress first.
  QTest::keyClicks(QApplication::focusWidget(), "ab5c");
  EXPECT_EQ(form.cboEdit.Text(), "abc");
  EXPECT_EQ(edit->currentText(), "abc");

  // The user's pick and the program's both end up in model and widget, with
  // one Click each.
  list->setCurrentIndex(2);
  EXPECT_EQ(form.cboList.ListIndex(), 2);
  EXPECT_EQ(form.comboClicks, 1);
  form.cboList.SetListIndex(0);
  EXPECT_EQ(list->currentIndex(), 0);
  EXPECT_EQ(form.comboClicks, 2);

  box->setCurrentRow(1);
  EXPECT_EQ(form.lstItems.ListIndex(), 1);
  form.lstItems.RemoveItem(1);
  EXPECT_EQ(box->count(), 2);
  EXPECT_EQ(box->currentRow(), -1);
}

}  // namespace
}  // namespace kelvarin::testing

namespace kelvarin::testing {
namespace {

class MemoForm : public Form {
 public:
  explicit MemoForm(Host& host) : Form(host, "frmMemo") {
    SetScaleWidth(4800);
    SetScaleHeight(3000);
    txtMemo.SetMultiLine(true);
    txtMemo.Move(120, 120, 4000, 2000);
    txtLine.Move(120, 2400, 2000, 285);
    txtLine.SetMaxLength(6);
  }
  TextBox txtMemo{*this, "txtMemo"};
  TextBox txtLine{*this, "txtLine"};
};

// A multi-line box shows CR LF as one line break: positions differ by one
// per break between model and widget, and must not drift.
TEST(QtHost, MultiLineCaretAndPasteStayInStep) {
  QtHost host("");
  MemoForm form(host);
  ShowAndActivate(host, form);
  auto* memo = qobject_cast<QPlainTextEdit*>(host.WidgetOf(form.txtMemo));
  ASSERT_NE(memo, nullptr);
  form.txtMemo.SetText("ab\r\ncd");
  EXPECT_EQ(memo->toPlainText(), "ab\ncd");
  form.txtMemo.SetSelStart(4);  // before "c"
  EXPECT_EQ(memo->textCursor().position(), 3);

  QTextCursor cursor = memo->textCursor();
  cursor.setPosition(5);  // the user puts the caret after "d"
  memo->setTextCursor(cursor);
  EXPECT_EQ(form.txtMemo.SelStart(), 6);
  QTest::keyClick(memo, Qt::Key_Return);
  QTest::keyClicks(memo, "e");
  EXPECT_EQ(form.txtMemo.Text(), "ab\r\ncd\r\ne");
  EXPECT_EQ(memo->toPlainText(), "ab\ncd\ne");
  EXPECT_EQ(memo->textCursor().position(), 7);

  // Paste goes through the model, which keeps to MaxLength.
  form.txtLine.SetFocus();
  auto* line = qobject_cast<QLineEdit*>(host.WidgetOf(form.txtLine));
  QApplication::clipboard()->setText("1234567890");
  QTest::keyClick(line, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(form.txtLine.Text(), "123456");
  EXPECT_EQ(line->text(), "123456");
  // A mouse selection reaches the model.
  line->setSelection(1, 3);
  EXPECT_EQ(form.txtLine.SelStart(), 1);
  EXPECT_EQ(form.txtLine.SelLength(), 3);
  QTest::keyClick(line, Qt::Key_Delete);
  EXPECT_EQ(form.txtLine.Text(), "156");
}

}  // namespace
}  // namespace kelvarin::testing

namespace kelvarin::testing {
namespace {

class TimerForm : public Form {
 public:
  explicit TimerForm(Host& host) : Form(host, "frmStart") {
    tmrClose.SetInterval(5);
    tmrClose.TimerEvent = [this] {
      if (++ticks == 2) UnloadForm();  // as a splash screen closes itself
    };
  }
  Timer tmrClose{*this, "tmrClose"};
  int ticks = 0;
};

TEST(QtHost, TimerTicksWhileTheFormIsLoaded) {
  QtHost host("");
  TimerForm form(host);
  form.Show();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !form.Loaded(); }, 5000));
  EXPECT_EQ(form.ticks, 2);
  EXPECT_EQ(host.WindowOf(form), nullptr);  // and its timer with it
}

}  // namespace
}  // namespace kelvarin::testing
