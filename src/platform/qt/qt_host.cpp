#include "platform/qt/qt_host.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QSpacerItem>
#include <QTime>
#include <string_view>

#include "platform/model/model.h"
#include "platform/qt/binding.h"
#include "platform/qt/form_view.h"
#include "platform/qt/qt_printer.h"
#include "platform/qt/qt_text.h"

namespace kelvarin::platform::qt {

// --- keys ------------------------------------------------------------------------

int16_t VirtualKeyOf(int k, bool keypad) {
  if (k >= Qt::Key_A && k <= Qt::Key_Z) return static_cast<int16_t>('A' + (k - Qt::Key_A));
  if (k >= Qt::Key_0 && k <= Qt::Key_9) return static_cast<int16_t>(keypad ? 96 + (k - Qt::Key_0) : '0' + (k - Qt::Key_0));
  if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return static_cast<int16_t>(112 + (k - Qt::Key_F1));
  switch (k) {
    case Qt::Key_Backspace: return key::kBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return key::kTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return key::kReturn;
    case Qt::Key_Shift: return key::kShift;
    case Qt::Key_Control: return key::kControl;
    case Qt::Key_Alt: return key::kMenu;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return key::kEscape;
    case Qt::Key_Space: return key::kSpace;
    case Qt::Key_PageUp: return key::kPageUp;
    case Qt::Key_PageDown: return key::kPageDown;
    case Qt::Key_End: return key::kEnd;
    case Qt::Key_Home: return key::kHome;
    case Qt::Key_Left: return key::kLeft;
    case Qt::Key_Up: return key::kUp;
    case Qt::Key_Right: return key::kRight;
    case Qt::Key_Down: return key::kDown;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return key::kDelete;
    case Qt::Key_Asterisk: return keypad ? 106 : 56;
    case Qt::Key_Plus: return keypad ? 107 : 187;
    case Qt::Key_Minus: return keypad ? 109 : 189;
    case Qt::Key_Period: return keypad ? 110 : 190;
    case Qt::Key_Slash: return keypad ? 111 : 191;
    case Qt::Key_NumLock: return 144;
    case Qt::Key_ScrollLock: return 145;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return 186;
    case Qt::Key_Equal: return 187;
    case Qt::Key_Comma:
    case Qt::Key_Less: return 188;
    case Qt::Key_Underscore: return 189;
    case Qt::Key_Greater: return 190;
    case Qt::Key_Question: return 191;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde: return 192;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return 219;
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return 220;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return 221;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl: return 222;
    default: return 0;
  }
}

namespace {

int16_t ShiftOf(Qt::KeyboardModifiers m) {
  int16_t s = 0;
  if (m & Qt::ShiftModifier) s |= kShiftMask;
  if (m & Qt::ControlModifier) s |= kCtrlMask;
  if (m & Qt::AltModifier) s |= kAltMask;
  return s;
}

int16_t ButtonsOf(Qt::MouseButtons b) {
  int16_t out = 0;
  if (b & Qt::LeftButton) out |= kLeftButton;
  if (b & Qt::RightButton) out |= kRightButton;
  if (b & Qt::MiddleButton) out |= kMiddleButton;
  return out;
}

// The character a key stroke types (0 for none).
char CharOf(const QKeyEvent& e) {
  switch (e.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Backspace: return 8;
    default: break;
  }
  if (e.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return 0;
  const QString text = e.text();
  if (text.size() != 1 || text[0].unicode() < 32 || text[0].unicode() == 127) return 0;
  const std::string ansi = FromQ(text);
  if (ansi.size() != 1 || (ansi[0] == '?' && text[0] != QLatin1Char('?'))) return 0;  // not in the code page
  return ansi[0];
}

// The form's preview and the control's KeyPress for a control whose editing
// the widget does (as Form::UserKeyPress would raise them); the character
// that went through, if any.
std::optional<char> RaiseKeyPress(Form& form, Control& target, char ch) {
  if (!form.Loaded() || !form.Visible() || !form.Enabled()) return std::nullopt;
  int16_t k = static_cast<int16_t>(static_cast<unsigned char>(ch));
  if (form.KeyPreview()) {
    RaiseEvent(form.KeyPress, k);
    if (k == 0) return std::nullopt;
  }
  if (form.ActiveControl() != &target) return std::nullopt;
  RaiseEvent(target.KeyPress, k);
  if (k == 0 || form.ActiveControl() != &target) return std::nullopt;
  return static_cast<char>(static_cast<unsigned char>(k));
}

bool IsFormSurface(const Binding& b) { return b.Model().Kind() == ControlKind::Form; }

// Kinds whose widgets have no use for the mouse themselves: their presses
// end here instead of travelling on to the form underneath.
bool KeepsMouse(ControlKind k) {
  switch (k) {
    case ControlKind::Form:
    case ControlKind::Label:
    case ControlKind::Panel3D:
    case ControlKind::Frame:
    case ControlKind::PictureBox:
    case ControlKind::Gauge:
    case ControlKind::StatusBar:
    case ControlKind::Shape:
    case ControlKind::Line: return true;
    default: return false;
  }
}

}  // namespace

// Watches the application's events: keys, focus and the mouse on the
// widgets of model forms go to the model.
class EventRouter : public QObject {
 public:
  bool eventFilter(QObject* object, QEvent* event) override {
    switch (event->type()) {
      case QEvent::KeyPress:
      case QEvent::KeyRelease: return Key(object, static_cast<QKeyEvent*>(event));
      case QEvent::FocusIn: FocusIn(object); return false;
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove: return Mouse(object, static_cast<QMouseEvent*>(event));
      default: return false;
    }
  }

 private:
  static Binding* Find(QObject* object) {
    if (!object->isWidgetType()) return nullptr;
    return BindingOf(object);
  }

  bool Key(QObject* object, QKeyEvent* e) {
    // Only the first receiver: a key the widget ignores travels on to its
    // parents, and must not reach the model twice.
    QWidget* focus = QApplication::focusWidget();
    if (focus ? object != focus : !(object->isWidgetType() && static_cast<QWidget*>(object)->isWindow())) return false;
    if (object->isWidgetType() && static_cast<QWidget*>(object)->isWindow()) {
      if (auto* fw = dynamic_cast<FormWindow*>(object); fw && fw->View()) object = fw->View()->Surface();
    }
    Binding* b = Find(object);
    if (!b) return false;
    QPointer<QObject> guard(object);
    Control& control = b->Model();
    Form& form = control.OwnerForm();
    const int16_t code = VirtualKeyOf(e->key(), (e->modifiers() & Qt::KeypadModifier) != 0);
    const int16_t shift = ShiftOf(e->modifiers());
    if (e->type() == QEvent::KeyRelease) {
      if (code != 0 && !e->isAutoRepeat()) form.UserKeyUp(code, shift);
      return false;
    }
    if (!IsFormSurface(*b) && !control.HasFocus()) control.SetFocus();
    if (!guard || Find(object) != b) return true;
    if (code != 0 && !form.UserKeyDown(code, shift)) return true;
    if (!guard || Find(object) != b) return true;
    if (char ch = CharOf(*e)) {
      if (b->OwnsCharacters()) {
        if (auto passed = RaiseKeyPress(form, control, ch); passed && guard && Find(object) == b)
          b->InsertCharacter(*passed);
      } else {
        form.UserKeyPress(ch);
      }
      return true;
    }
    if (b->SpecialKey(*e)) return true;
    return !b->WidgetTakesKey(*e);
  }

  void FocusIn(QObject* object) {
    Binding* b = Find(object);
    if (!b || IsFormSurface(*b) || b->Owner().Updating()) return;
    Control& c = b->Model();
    if (!c.HasFocus() && c.Reachable()) c.SetFocus();
  }

  bool Mouse(QObject* object, QMouseEvent* e) {
    Binding* b = Find(object);
    if (!b || !b->Widget()) return false;
    Control& c = b->Model();
    const QPoint p = static_cast<QWidget*>(object)->mapTo(b->Widget()->window(), e->position().toPoint()) -
                     b->Widget()->mapTo(b->Widget()->window(), QPoint(0, 0));
    const int16_t shift = ShiftOf(e->modifiers());
    const int32_t x = b->XTwips(p.x()), y = b->YTwips(p.y());
    const bool keeps = KeepsMouse(c.Kind());
    QPointer<QObject> guard(object);
    switch (e->type()) {
      case QEvent::MouseButtonPress: c.UserMouseDown(ButtonsOf(e->button()), shift, x, y); break;
      case QEvent::MouseButtonRelease: {
        c.UserMouseUp(ButtonsOf(e->button()), shift, x, y);
        if (!guard || Find(object) != b || e->button() != Qt::LeftButton) break;
        if (!b->Widget()->rect().contains(p)) break;
        switch (c.Kind()) {
          case ControlKind::Label: static_cast<Label&>(c).UserClick(); break;
          case ControlKind::PictureBox: static_cast<PictureBox&>(c).UserClick(); break;
          case ControlKind::TextBox: static_cast<TextBox&>(c).UserClick(); break;
          case ControlKind::Form:
            if (c.Reachable()) RaiseEvent(static_cast<Form&>(c).Click);
            break;
          default: break;
        }
        break;
      }
      case QEvent::MouseButtonDblClick:
        if (!c.Reachable()) break;
        switch (c.Kind()) {
          case ControlKind::Label: RaiseEvent(static_cast<Label&>(c).DblClick); break;
          case ControlKind::PictureBox: RaiseEvent(static_cast<PictureBox&>(c).DblClick); break;
          case ControlKind::TextBox: RaiseEvent(static_cast<TextBox&>(c).DblClick); break;
          case ControlKind::Form: RaiseEvent(static_cast<Form&>(c).DblClick); break;
          default: break;
        }
        break;
      case QEvent::MouseMove:
        if (c.MouseMove) c.UserMouseMove(ButtonsOf(e->buttons()), shift, x, y);
        break;
      default: break;
    }
    return keeps;
  }
};

// --- QtHost ----------------------------------------------------------------------

// The nested loop of one modal showing.
struct QtHost::ModalLoop {
  QEventLoop loop;
  bool formGone = false;
};

QtHost::QtHost(int& argc, char** argv, std::string appDir) : appDir_(std::move(appDir)) {
  app_ = std::make_unique<QApplication>(argc, argv);
  Init();
}

QtHost::QtHost(std::string appDir) : appDir_(std::move(appDir)) {
  if (!qApp) {
    // No application yet: make one without command-line arguments.
    static int argc = 1;
    static char name[] = "kelvarin";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
  }
  Init();
}

void QtHost::Init() {
  QApplication::setQuitOnLastWindowClosed(false);
  router_ = std::make_unique<EventRouter>();
  qApp->installEventFilter(router_.get());
  locale_ = LocaleFromQt(QLocale::system());
}

QtHost::~QtHost() {
  if (qApp && router_) qApp->removeEventFilter(router_.get());
  for (auto& [form, view] : views_) {
    (void)form;
    view.reset();
  }
  views_.clear();
  if (pointer_ != kPointerDefault) QApplication::restoreOverrideCursor();
  printer_.reset();
  app_.reset();
}

FormView* QtHost::ViewOf(const Form& form) const {
  auto it = views_.find(&form);
  return it == views_.end() ? nullptr : it->second.get();
}

QWidget* QtHost::WindowOf(const Form& form) const {
  FormView* v = ViewOf(form);
  return v ? v->Window() : nullptr;
}

QWidget* QtHost::WidgetOf(const Control& control) const {
  FormView* v = ViewOf(control.OwnerForm());
  if (!v) return nullptr;
  Binding* b = v->BindingFor(&control);
  return b ? b->Widget() : nullptr;
}

QAction* QtHost::ActionOf(const MenuItem& item) const {
  FormView* v = ViewOf(item.OwnerForm());
  return v ? v->ActionFor(&item) : nullptr;
}

QWidget* QtHost::OwnerWindow(const Form& form) const {
  if (!mainForm_ || mainForm_ == &form) return nullptr;
  return WindowOf(*mainForm_);
}

FormView& QtHost::EnsureView(Form& form) {
  auto it = views_.find(&form);
  if (it != views_.end()) return *it->second;
  auto view = std::make_unique<FormView>(*this, form, OwnerWindow(form));
  FormView& v = *view;
  views_.emplace(&form, std::move(view));
  return v;
}

int QtHost::Run() {
  if (!mainForm_ || !mainForm_->Loaded() || finished_) return 0;
  QEventLoop loop;
  runLoop_ = &loop;
  int rc = loop.exec();
  runLoop_ = nullptr;
  return rc;
}

// --- forms -------------------------------------------------------------------------

void QtHost::ShowModal(Form& form) {
  FormView& view = EnsureView(form);
  view.Show(true);
  ModalLoop modal;
  modalLoops_[&form].push_back(&modal);
  while (!modal.formGone && form.ShownModal() && form.Visible() && form.Loaded() && !finished_) modal.loop.exec();
  auto it = modalLoops_.find(&form);
  if (it != modalLoops_.end()) {
    std::erase(it->second, &modal);
    if (it->second.empty()) modalLoops_.erase(it);
  }
}

void QtHost::ShowModeless(Form& form) {
  if (!mainForm_) mainForm_ = &form;
  EnsureView(form).Show(false);
}

void QtHost::HideForm(Form& form) {
  if (FormView* v = ViewOf(form)) v->Hide();
  if (auto it = modalLoops_.find(&form); it != modalLoops_.end())
    for (ModalLoop* modal : it->second) modal->loop.quit();
}

void QtHost::FormUnloaded(Form& form) {
  // The window goes with the load: a new load builds it again from the
  // form as it stands.
  views_.erase(&form);
  if (&form == mainForm_ && !mainChosen_) {
    for (auto& [other, view] : views_)
      if (view->Window() && view->Window()->isVisible()) {
        mainForm_ = const_cast<Form*>(other);
        return;
      }
  }
  if (&form == mainForm_) {
    finished_ = true;
    if (runLoop_) runLoop_->quit();
    for (auto& [f, loops] : modalLoops_)
      for (ModalLoop* modal : loops) modal->loop.quit();
  }
}

void QtHost::FormDestroyed(Form& form) {
  if (auto it = views_.find(&form); it != views_.end()) {
    it->second->Abandon();
    views_.erase(it);
  }
  if (auto it = modalLoops_.find(&form); it != modalLoops_.end())
    for (ModalLoop* modal : it->second) {
      modal->formGone = true;  // its ShowModal must not look at the form again
      modal->loop.quit();
    }
  if (&form == mainForm_) {
    mainForm_ = nullptr;
    finished_ = true;
    if (runLoop_) runLoop_->quit();
  }
}

// --- message boxes, beep, events ---------------------------------------------------

namespace {

// A box is at least as wide as its caption on the title bar, so the caption
// is never cut; and, being of fixed size, it offers no minimise or maximise.
void FitCaption(QMessageBox& box) {
  box.setWindowFlags(kFixedDialogFlags);
  QFont titleFont = QApplication::font();
  titleFont.setBold(true);
  const int width = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + kTitleBarAllowance;
  // The box sizes itself from its layout when shown; a spacer across the
  // bottom row holds that layout open.
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

}  // namespace

MsgAnswer QtHost::MsgBox(const std::string& text, MsgButtons buttons, MsgIcon icon, const std::string& title) {
  QMessageBox box(QApplication::activeWindow());
  box.setWindowTitle(ToQ(title.empty() ? AppTitle() : title));
  QString shown = ToQMultiLine(text);
  if (shown.contains(QLatin1Char('\t'))) {
    // Tabbed messages are tables (the totals): tab stops every eight
    // characters in a fixed-pitch font keep their columns straight.
    QString expanded;
    int column = 0;
    for (QChar c : shown) {
      if (c == QLatin1Char('\t')) {
        do {
          expanded += QLatin1Char(' ');
          ++column;
        } while (column % 8 != 0);
      } else {
        expanded += c;
        column = c == QLatin1Char('\n') ? 0 : column + 1;
      }
    }
    shown = expanded;
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) label->setFont(QFont(FixedFamily()));
  }
  box.setText(shown);
  box.setTextFormat(Qt::PlainText);
  switch (icon) {
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
  }
  struct Choice {
    QMessageBox::StandardButton button;
    MsgAnswer answer;
  };
  std::vector<Choice> choices;
  switch (buttons) {
    case MsgButtons::OK: choices = {{QMessageBox::Ok, MsgAnswer::OK}}; break;
    case MsgButtons::OKCancel: choices = {{QMessageBox::Ok, MsgAnswer::OK}, {QMessageBox::Cancel, MsgAnswer::Cancel}}; break;
    case MsgButtons::AbortRetryIgnore:
      choices = {{QMessageBox::Abort, MsgAnswer::Abort}, {QMessageBox::Retry, MsgAnswer::Retry},
                 {QMessageBox::Ignore, MsgAnswer::Ignore}};
      break;
    case MsgButtons::YesNoCancel:
      choices = {{QMessageBox::Yes, MsgAnswer::Yes}, {QMessageBox::No, MsgAnswer::No}, {QMessageBox::Cancel, MsgAnswer::Cancel}};
      break;
    case MsgButtons::YesNo: choices = {{QMessageBox::Yes, MsgAnswer::Yes}, {QMessageBox::No, MsgAnswer::No}}; break;
    case MsgButtons::RetryCancel: choices = {{QMessageBox::Retry, MsgAnswer::Retry}, {QMessageBox::Cancel, MsgAnswer::Cancel}}; break;
  }
  QMessageBox::StandardButtons set;
  for (const Choice& c : choices) set |= c.button;
  box.setStandardButtons(set);
  // The first button is the default, as the classic boxes had it.
  box.setDefaultButton(choices.front().button);
  if (choices.size() == 1) box.setEscapeButton(choices.front().button);
  for (const Choice& c : choices)
    if (c.answer == MsgAnswer::Cancel) box.setEscapeButton(c.button);
  FitCaption(box);
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  for (const Choice& c : choices)
    if (clicked && box.button(c.button) == clicked) return c.answer;
  // Closed some other way: the escape answer.
  for (const Choice& c : choices)
    if (c.answer == MsgAnswer::Cancel) return c.answer;
  return choices.size() == 1 ? choices.front().answer : choices.back().answer;
}

void QtHost::Beep() { QApplication::beep(); }

void QtHost::DoEvents() { QApplication::processEvents(QEventLoop::AllEvents); }

// --- screen and pointer ------------------------------------------------------------

ScreenInfo QtHost::Screen() const {
  ScreenInfo info;
  QScreen* screen = QApplication::primaryScreen();
  if (!screen) return info;
  double dpiX = screen->logicalDotsPerInchX(), dpiY = screen->logicalDotsPerInchY();
  info.twipsPerPixelX = dpiX > 0 ? std::max(1, static_cast<int>(std::lround(1440.0 / dpiX))) : 15;
  info.twipsPerPixelY = dpiY > 0 ? std::max(1, static_cast<int>(std::lround(1440.0 / dpiY))) : 15;
  info.widthTwips = screen->geometry().width() * info.twipsPerPixelX;
  info.heightTwips = screen->geometry().height() * info.twipsPerPixelY;
  return info;
}

void QtHost::SetMousePointerShape(int shape) {
  Qt::CursorShape cursor = Qt::ArrowCursor;
  switch (shape) {
    case kPointerCross: cursor = Qt::CrossCursor; break;
    case kPointerHourglass: cursor = Qt::WaitCursor; break;
    default: break;
  }
  const bool had = pointer_ != kPointerDefault;
  pointer_ = shape;
  if (shape == kPointerDefault) {
    if (had) QApplication::restoreOverrideCursor();
  } else if (had) {
    QApplication::changeOverrideCursor(QCursor(cursor));
  } else {
    QApplication::setOverrideCursor(QCursor(cursor));
  }
}

// --- common dialogs ------------------------------------------------------------------

std::vector<std::string> QtNameFilters(const std::string& filter) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= filter.size()) {
    size_t bar = filter.find('|', start);
    if (bar == std::string::npos) bar = filter.size();
    parts.push_back(filter.substr(start, bar - start));
    start = bar + 1;
  }
  std::vector<std::string> out;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::string desc = parts[i];
    std::string patterns;
    std::string p = parts[i + 1];
    size_t s = 0;
    while (s <= p.size()) {
      size_t semi = p.find(';', s);
      if (semi == std::string::npos) semi = p.size();
      std::string one = p.substr(s, semi - s);
      if (one == "*.*") one = "*";  // names without a dot count too
      if (!one.empty()) patterns += (patterns.empty() ? "" : " ") + one;
      s = semi + 1;
    }
    if (patterns.empty()) patterns = "*";
    // Descriptions usually show their pattern already.
    if (desc.find('(') == std::string::npos) desc += " (" + patterns + ")";
    else desc = desc.substr(0, desc.rfind('(')) + "(" + patterns + ")";
    out.push_back(desc);
  }
  if (out.empty()) out.push_back("All Files (*)");
  return out;
}

std::optional<std::string> QtHost::FileDialog(const FileDialogRequest& request, bool save) {
  QFileDialog dialog(QApplication::activeWindow(), ToQ(request.title));
  dialog.setObjectName(save ? QStringLiteral("kvSaveDialog") : QStringLiteral("kvOpenDialog"));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  // The program asks its own question before replacing a file.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  QStringList filters;
  for (const std::string& f : QtNameFilters(request.filter)) filters << ToQ(f);
  dialog.setNameFilters(filters);
  if (!request.defaultExt.empty()) dialog.setDefaultSuffix(ToQ(request.defaultExt));
  // Folders and names are paths: their bytes, not program text.
  QString dir = PathToQ(request.initialDir.empty() ? appDir_ : request.initialDir);
  QString name = PathToQ(request.fileName);
  if (!name.isEmpty() && QFileInfo(name).isAbsolute()) {
    dir = QFileInfo(name).absolutePath();
    name = QFileInfo(name).fileName();
  }
  if (!dir.isEmpty()) dialog.setDirectory(dir);
  if (!name.isEmpty()) dialog.selectFile(name);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return PathFromQ(QDir::toNativeSeparators(dialog.selectedFiles().front()));
}

std::optional<std::string> QtHost::SaveFileDialog(const FileDialogRequest& request) { return FileDialog(request, true); }
std::optional<std::string> QtHost::OpenFileDialog(const FileDialogRequest& request) { return FileDialog(request, false); }

namespace {

// The font the dialog opens on: the report font as the printer resolves it
// (with no font chosen yet, or one this system lacks, the fixed-pitch font
// reports print in). The dialog selects its entries by family and style
// name; given only a weight and a slant it falls back to the family's first
// style, often an oblique one, and OK would then change the font. So the
// style is named as the font database resolves it.
QFont ReportDialogFont(const FontChoice& current) {
  const QString name = ToQ(current.name);
  QFont font(name.isEmpty() || !QFontDatabase::hasFamily(name) ? FixedFamily() : name);
  font.setPointSizeF(current.size > 0 ? current.size : kDefaultReportPointSize);
  font.setBold(current.weight >= 600);
  font.setItalic(current.italic);
  font.setUnderline(current.underline);
  const QString style = QFontInfo(font).styleName();
  if (QFontDatabase::styles(font.family()).contains(style)) font.setStyleName(style);
  return font;
}

}  // namespace

std::optional<FontChoice> QtHost::FontDialog(const FontChoice& current) {
  const QFont initial = ReportDialogFont(current);
  QFontDialog dialog(initial, QApplication::activeWindow());
  dialog.setObjectName(QStringLiteral("kvFontDialog"));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QFont font = dialog.selectedFont();
  FontChoice choice;
  choice.name = FromQ(font.family());
  choice.size = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75;
  choice.weight = font.weight() >= QFont::DemiBold ? 700 : 400;
  choice.italic = font.italic();
  choice.underline = font.underline();
  return choice;
}

Printer& QtHost::GetPrinter() { return ReportPrinter(); }

QtPrinter& QtHost::ReportPrinter() {
  if (!printer_) {
    printer_ = std::make_unique<QtPrinter>(appDir_);
    printer_->SetFailureHandler([this](const std::string& why) {
      MsgBox("The report cannot be printed.\r" + why, MsgButtons::OK, MsgIcon::Exclamation);
    });
  }
  return *printer_;
}

// --- clock, locale, fonts -----------------------------------------------------------

CalendarDate QtHost::Today() const {
  QDate d = QDate::currentDate();
  return {d.year(), d.month(), d.day()};
}

double QtHost::TimeOfDay() const { return QTime::currentTime().msecsSinceStartOfDay() / 1000.0; }

LocaleSettings LocaleFromQt(const QLocale& locale) {
  LocaleSettings s;
  QString pattern = locale.dateFormat(QLocale::ShortFormat);
  // Keep only the letters Windows patterns know and the separator.
  std::string shortDate;
  for (QChar c : pattern) {
    char ch = c.toLatin1();
    if (ch == 'd' || ch == 'M' || ch == 'y') shortDate += ch;
    else if (!c.isLetter() && ch != 0 && ch != '\'') shortDate += ch;
  }
  if (!shortDate.empty()) s.shortDate = shortDate;
  for (char ch : shortDate)
    if (ch != 'd' && ch != 'M' && ch != 'y') {
      s.dateSeparator = std::string(1, ch);
      break;
    }
  for (int m = 1; m <= 12; ++m) s.monthNames[static_cast<size_t>(m - 1)] = FromQ(locale.monthName(m, QLocale::LongFormat));
  // Qt counts Monday as 1 and Sunday as 7; the table begins with Sunday.
  for (int d = 0; d < 7; ++d) s.dayNames[static_cast<size_t>(d)] = FromQ(locale.dayName(d == 0 ? 7 : d, QLocale::LongFormat));
  auto single = [](const QString& text, char fallback) {
    if (text.size() != 1) return fallback;
    char32_t u = text[0].unicode();
    if (u == 0x202F || u == 0x2009) return '\xA0';  // thin spaces: a no-break space
    std::string a = FromQ(text);
    return a.size() == 1 && !(a[0] == '?' && u != '?') ? a[0] : fallback;
  };
  s.decimalPoint = single(locale.decimalPoint(), '.');
  s.thousandsSeparator = single(locale.groupSeparator(), ',');
  if (s.thousandsSeparator == s.decimalPoint) s.thousandsSeparator = s.decimalPoint == '.' ? ',' : '.';
  return s;
}

FontMeasures QtHost::MainFontMeasures() const {
  QFontMetrics fm(ToQFont(ControlFont{}));
  ScreenInfo screen = Screen();
  FontMeasures m;
  // The widest character of ordinary text: the font's maximum glyph width
  // counts symbols and ligatures no field name or entry uses, and made
  // columns sized by it twice as wide as their text.
  int widest = 0;
  for (char c : std::string_view("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"))
    widest = std::max(widest, fm.horizontalAdvance(QLatin1Char(c)));
  m.maxCharWidth = static_cast<int16_t>(widest * screen.twipsPerPixelX);
  m.avgCharWidth = static_cast<int16_t>(fm.averageCharWidth() * screen.twipsPerPixelX);
  m.charHeight = static_cast<int16_t>(fm.height() * screen.twipsPerPixelY);
  return m;
}

void QtHost::SendFocusMessage(int message, int32_t wParam) {
  constexpr int kLimitText = 1045;
  if (message != kLimitText) return;
  TextBox* box = nullptr;
  if (Binding* b = QApplication::focusWidget() ? BindingOf(QApplication::focusWidget()) : nullptr;
      b && b->Model().Kind() == ControlKind::TextBox)
    box = &static_cast<TextBox&>(b->Model());
  if (!box) {
    // No window is active (the program is between windows): the model's
    // focus of the form last shown.
    for (auto& [form, view] : views_)
      if (Control* c = form->ActiveControl(); c && c->Kind() == ControlKind::TextBox && form->Visible())
        box = static_cast<TextBox*>(c);
  }
  if (box) box->SetMaxLength(wParam < 0 ? 0 : wParam);
}

}  // namespace kelvarin::platform::qt
