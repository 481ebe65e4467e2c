#include "platform/qt/binding.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <cmath>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

#include "platform/model/model.h"
#include "platform/qt/design_surface.h"
#include "platform/qt/form_view.h"
#include "platform/qt/grid_widget.h"
#include "platform/qt/qt_host.h"
#include "platform/qt/qt_text.h"

namespace kelvarin::platform::qt {

namespace {

const char* const kBindingProperty = "kvBinding";

Qt::Alignment ToQAlign(Align a) {
  switch (a) {
    case Align::Right: return Qt::AlignRight | Qt::AlignVCenter;
    case Align::Center: return Qt::AlignHCenter | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
  }
}

Qt::CursorShape CursorFor(int shape) {
  switch (shape) {
    case kPointerCross: return Qt::CrossCursor;
    case kPointerHourglass: return Qt::WaitCursor;
    default: return Qt::ArrowCursor;
  }
}

void SetRoleColor(QPalette& pal, QPalette::ColorRole role, const QColor& c) {
  pal.setColor(QPalette::Active, role, c);
  pal.setColor(QPalette::Inactive, role, c);
}

}  // namespace

Binding* BindingOf(QObject* object) {
  for (QObject* o = object; o; o = o->parent()) {
    QVariant v = o->property(kBindingProperty);
    if (v.isValid()) return static_cast<Binding*>(v.value<void*>());
    if (o->isWidgetType() && static_cast<QWidget*>(o)->isWindow()) break;
  }
  return nullptr;
}

// --- Binding -----------------------------------------------------------------

Binding::Binding(FormView& form, Control& control) : form_(form), control_(control) {}

Binding::~Binding() {
  *alive_ = false;
  if (widget_) {
    widget_->setProperty(kBindingProperty, QVariant());
    widget_->hide();
    widget_->deleteLater();
  }
}

void Binding::SetWidget(QWidget* widget) {
  widget_ = widget;
  widget->setProperty(kBindingProperty, QVariant::fromValue(static_cast<void*>(this)));
  widget->setFocusPolicy(control_.CanHaveFocus() ? Qt::StrongFocus : Qt::NoFocus);
  widget->setMouseTracking(true);
}

int Binding::Px(int32_t twips) const { return TwipsToPixels(twips, form_.TwipsPerPixel()); }

int32_t Binding::XTwips(int x) const { return x * form_.TwipsPerPixel(); }
int32_t Binding::YTwips(int y) const { return y * form_.TwipsPerPixel(); }

void Binding::PropertyChanged(Control& /*control*/, Property property) {
  if (!widget_ && control_.Kind() != ControlKind::Timer) return;
  Guard guard(*this);
  form_.BeginSync();
  Sync(property);
  form_.EndSync();
}

void Binding::SyncAll() {
  Guard guard(*this);
  form_.BeginSync();
  for (Property p : {Property::Geometry, Property::Font, Property::ForeColor, Property::BackColor,
                     Property::Appearance, Property::Caption, Property::Text, Property::Items, Property::Range,
                     Property::Value, Property::ListIndex, Property::Selection, Property::ReadOnly,
                     Property::MaxLength, Property::Buttons, Property::Picture, Property::GridShape,
                     Property::Cells, Property::CurrentCell, Property::Scroll, Property::MousePointer,
                     Property::Interval, Property::Enabled, Property::Visible})
    Sync(p);
  form_.EndSync();
}

void Binding::SyncGeometry() {
  widget_->setGeometry(Px(control_.Left()), Px(control_.Top()), std::max(0, Px(control_.Width())),
                       std::max(0, Px(control_.Height())));
}

void Binding::SyncColors() {
  QPalette pal = widget_->palette();
  QColor fore = ToQColor(control_.ForeColor());
  QColor back = ToQColor(control_.BackColor());
  // A disabled control greys its text whatever its colour, as the desktop's own do.
  const QPalette& desktop = QApplication::palette();
  for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    SetRoleColor(pal, role, fore);
    pal.setColor(QPalette::Disabled, role, desktop.color(QPalette::Disabled, role));
  }
  SetRoleColor(pal, QPalette::Window, back);
  if (control_.Kind() == ControlKind::TextBox || control_.Kind() == ControlKind::ListBox ||
      control_.Kind() == ControlKind::FileList || control_.Kind() == ControlKind::ComboBox ||
      control_.Kind() == ControlKind::Grid)
    SetRoleColor(pal, QPalette::Base, back);
  widget_->setPalette(pal);
}

void Binding::Sync(Property property) {
  switch (property) {
    case Property::Geometry: SyncGeometry(); break;
    case Property::Visible: widget_->setVisible(control_.Visible()); break;
    case Property::Enabled: widget_->setEnabled(control_.Enabled()); break;
    case Property::ForeColor:
    case Property::BackColor: SyncColors(); break;
    case Property::Font: widget_->setFont(ToQFont(control_.Font())); break;
    case Property::MousePointer:
      if (control_.MousePointer() == kPointerDefault)
        widget_->unsetCursor();
      else
        widget_->setCursor(CursorFor(control_.MousePointer()));
      break;
    default: break;
  }
}

bool Binding::WidgetTakesKey(const QKeyEvent& /*event*/) { return false; }

void Binding::Resync(const std::function<void()>& userAction, Property property) {
  std::shared_ptr<bool> alive = alive_;
  userAction();
  // The handler may have unloaded the form, and this binding with it.
  if (*alive && widget_) PropertyChanged(control_, property);
}

// --- Label and Panel3D -----------------------------------------------------------

namespace {

class LabelBinding : public Binding {
 public:
  // A label's access key takes the focus to the control after it in tab
  // order; that control's widget may be made after the label's.
  void Settle() override {
    auto* w = static_cast<QLabel*>(widget_.data());
    if (!w) return;
    QWidget* buddy = nullptr;
    if (AccessKey(label_.Caption()) != 0) {
      Control* next = nullptr;
      for (Control* c : label_.OwnerForm().Controls())
        if (c->CanHaveFocus() && c->TabIndex() > label_.TabIndex() && (!next || c->TabIndex() < next->TabIndex()))
          next = c;
      if (Binding* b = next ? form_.BindingFor(next) : nullptr) buddy = b->Widget();
    }
    w->setBuddy(buddy);
    w->setText(buddy ? ToQMultiLine(label_.Caption()) : ToQMultiLine(CaptionWithoutAccessMarks(label_.Caption())));
    AlignWithBox();
  }

  // A one-line label beside a text box at the same top names that box: its
  // text is lowered onto the line of the box's text, which the box centres.
  void AlignWithBox() {
    auto* w = static_cast<QLabel*>(widget_.data());
    if (!w || !w->parentWidget()) return;
    const QFontMetrics own(w->font());
    int offset = 0;
    if (w->height() < 2 * own.height()) {
      for (QObject* o : w->parentWidget()->children()) {
        auto* box = qobject_cast<QLineEdit*>(o);
        if (!box || std::abs(box->y() - w->y()) > 2 || box->x() < w->x() + w->width() - 2) continue;
        const QFontMetrics theirs(box->font());
        const int baseline = box->y() + (box->height() - theirs.height() + 1) / 2 + theirs.ascent();
        offset = std::clamp(baseline - own.ascent() - w->y(), 0, std::max(0, w->height() - own.height()));
        break;
      }
    }
    w->setContentsMargins(0, offset, 0, 0);
  }

  LabelBinding(FormView& f, Label& c, QWidget* parent) : Binding(f, c), label_(c) {
    auto* w = new QLabel(parent);
    w->setWordWrap(true);
    w->setTextFormat(Qt::PlainText);
    SetWidget(w);
  }

 protected:
  void Sync(Property p) override {
    auto* w = static_cast<QLabel*>(widget_.data());
    switch (p) {
      case Property::Caption: Settle(); break;
      case Property::Appearance:
      case Property::BackColor:
        w->setAlignment((label_.Alignment() == Align::Left    ? Qt::AlignLeft
                         : label_.Alignment() == Align::Right ? Qt::AlignRight
                                                              : Qt::AlignHCenter) |
                        Qt::AlignTop);
        w->setFrameStyle(label_.BorderStyle() == 1 ? QFrame::Panel | QFrame::Sunken : QFrame::NoFrame);
        w->setAutoFillBackground(label_.BackStyle() == 1);
        SyncColors();
        break;
      case Property::Geometry:
        SyncGeometry();
        AlignWithBox();
        break;
      default: Binding::Sync(p);
    }
  }

 private:
  Label& label_;
};

class Panel3DBinding : public Binding {
 public:
  Panel3DBinding(FormView& f, Panel3D& c, QWidget* parent) : Binding(f, c), panel_(c) {
    auto* w = new QLabel(parent);
    w->setFrameStyle(QFrame::Panel | QFrame::Raised);
    w->setTextFormat(Qt::PlainText);
    w->setAutoFillBackground(true);
    SetWidget(w);
  }

 protected:
  void Sync(Property p) override {
    auto* w = static_cast<QLabel*>(widget_.data());
    switch (p) {
      case Property::Caption: w->setText(ToQ(CaptionWithoutAccessMarks(panel_.Caption()))); break;
      case Property::Appearance: w->setAlignment(ToQAlign(panel_.Alignment())); break;
      default: Binding::Sync(p);
    }
  }

 private:
  Panel3D& panel_;
};

// --- TextBox -------------------------------------------------------------------

bool IsCopyKey(const QKeyEvent& e) {
  return e.matches(QKeySequence::Copy) ||
         (e.key() == Qt::Key_Insert && (e.modifiers() & Qt::ControlModifier));
}
bool IsPasteKey(const QKeyEvent& e) {
  return e.matches(QKeySequence::Paste) || (e.key() == Qt::Key_Insert && (e.modifiers() & Qt::ShiftModifier));
}
bool IsCutKey(const QKeyEvent& e) {
  return e.matches(QKeySequence::Cut) || (e.key() == Qt::Key_Delete && (e.modifiers() & Qt::ShiftModifier));
}

// A one-line box is a QLineEdit; a multi-line box a QPlainTextEdit. The
// model does the editing: the widget shows the text and the selection, and
// what the user does to it (typing, caret keys, mouse selection, paste) goes
// to the model's entry points.
class TextBoxBinding : public Binding {
 public:
  TextBoxBinding(FormView& f, TextBox& c, QWidget* parent) : Binding(f, c), box_(c) {
    if (c.MultiLine()) {
      auto* w = new QPlainTextEdit(parent);
      w->setTabChangesFocus(true);
      w->setContextMenuPolicy(Qt::NoContextMenu);
      SetWidget(w);
      QObject::connect(w, &QPlainTextEdit::selectionChanged, &context_, [this] { WidgetSelected(); });
      QObject::connect(w, &QPlainTextEdit::cursorPositionChanged, &context_, [this] { WidgetSelected(); });
      QObject::connect(w, &QPlainTextEdit::textChanged, &context_, [this] {
        if (!Updating()) WidgetEdited();
      });
    } else {
      auto* w = new QLineEdit(parent);
      w->setFrame(true);
      w->setContextMenuPolicy(Qt::NoContextMenu);
      SetWidget(w);
      QObject::connect(w, &QLineEdit::selectionChanged, &context_, [this] { WidgetSelected(); });
      QObject::connect(w, &QLineEdit::cursorPositionChanged, &context_, [this] { WidgetSelected(); });
      // Edits that bypass the key routing (drag and drop, input methods).
      QObject::connect(w, &QLineEdit::textEdited, &context_, [this] { WidgetEdited(); });
    }
  }

  bool WidgetTakesKey(const QKeyEvent& e) override {
    if (IsCopyKey(e)) return true;
    if (box_.MultiLine())
      switch (e.key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown: return true;
        default: break;
      }
    return false;
  }

  bool SpecialKey(const QKeyEvent& e) override {
    if (IsPasteKey(e)) {
      box_.UserPaste(FromQ(QApplication::clipboard()->text()));
      return true;
    }
    if (IsCutKey(e)) {
      if (box_.SelLength() > 0 && !box_.ReadOnly()) {
        QApplication::clipboard()->setText(ToQ(box_.SelText()));
        box_.UserDelete();
      }
      return true;
    }
    if (e.matches(QKeySequence::SelectAll)) {
      box_.UserSelect(0, static_cast<int32_t>(box_.Text().size()));
      return true;
    }
    // Undo and redo would change the text behind the model's back.
    return e.matches(QKeySequence::Undo) || e.matches(QKeySequence::Redo);
  }

 protected:
  void Sync(Property p) override {
    switch (p) {
      case Property::Text:
      case Property::Selection: SyncText(); break;
      case Property::ReadOnly:
        if (auto* le = LineEdit())
          le->setReadOnly(box_.ReadOnly());
        else
          PlainEdit()->setReadOnly(box_.ReadOnly());
        break;
      case Property::MaxLength:
        if (auto* le = LineEdit()) le->setMaxLength(box_.MaxLength() > 0 ? box_.MaxLength() : 32767);
        break;
      case Property::Appearance:
        if (auto* le = LineEdit()) le->setAlignment(ToQAlign(box_.Alignment()));
        break;
      default: Binding::Sync(p);
    }
  }

 private:
  QLineEdit* LineEdit() const { return qobject_cast<QLineEdit*>(widget_.data()); }
  QPlainTextEdit* PlainEdit() const { return qobject_cast<QPlainTextEdit*>(widget_.data()); }

  // Model positions count CR LF as two characters, the widget's as one.
  int ToWidgetPos(int32_t pos) const {
    const std::string& t = box_.Text();
    int crs = 0;
    for (int32_t i = 0; i < pos && i < static_cast<int32_t>(t.size()); ++i)
      if (t[static_cast<size_t>(i)] == '\r' && i + 1 < static_cast<int32_t>(t.size()) &&
          t[static_cast<size_t>(i) + 1] == '\n')
        ++crs;
    return pos - crs;
  }
  int32_t ToModelPos(int pos) const {
    if (LineEdit()) return pos;
    const std::string& t = box_.Text();
    int32_t i = 0;
    for (int seen = 0; seen < pos && i < static_cast<int32_t>(t.size()); ++seen) {
      if (t[static_cast<size_t>(i)] == '\r' && i + 1 < static_cast<int32_t>(t.size()) &&
          t[static_cast<size_t>(i) + 1] == '\n')
        ++i;
      ++i;
    }
    return i;
  }

  // The widget's selection as model start and length.
  std::pair<int32_t, int32_t> WidgetSelection() const {
    if (auto* le = LineEdit()) {
      if (le->hasSelectedText()) return {le->selectionStart(), static_cast<int32_t>(le->selectedText().size())};
      return {le->cursorPosition(), 0};
    }
    QTextCursor cur = PlainEdit()->textCursor();
    int32_t a = ToModelPos(cur.selectionStart()), b = ToModelPos(cur.selectionEnd());
    return {a, b - a};
  }

  void SyncText() {
    if (auto* le = LineEdit()) {
      QString text = ToQ(box_.Text());
      if (le->text() != text) le->setText(text);
      if (WidgetSelection() != std::make_pair(box_.SelStart(), box_.SelLength())) {
        if (box_.CaretAtStart())
          le->setSelection(box_.SelStart() + box_.SelLength(), -box_.SelLength());
        else if (box_.SelLength() > 0)
          le->setSelection(box_.SelStart(), box_.SelLength());
        else
          le->setCursorPosition(box_.SelStart());
      }
      return;
    }
    QPlainTextEdit* pe = PlainEdit();
    QString text = ToQMultiLine(box_.Text());
    if (pe->toPlainText() != text) pe->setPlainText(text);
    if (WidgetSelection() != std::make_pair(box_.SelStart(), box_.SelLength())) {
      QTextCursor cur = pe->textCursor();
      const int32_t start = box_.SelStart(), end = box_.SelStart() + box_.SelLength();
      cur.setPosition(ToWidgetPos(box_.CaretAtStart() ? end : start));
      cur.setPosition(ToWidgetPos(box_.CaretAtStart() ? start : end), QTextCursor::KeepAnchor);
      pe->setTextCursor(cur);
    }
  }

  void WidgetSelected() {
    if (Updating()) return;
    auto [start, length] = WidgetSelection();
    if (start == box_.SelStart() && length == box_.SelLength()) return;
    Resync([&] { box_.UserSelect(start, length); }, Property::Selection);
  }

  void WidgetEdited() {
    if (Updating()) return;
    QString text = LineEdit() ? LineEdit()->text() : PlainEdit()->toPlainText();
    if (PlainEdit()) text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    Resync([&] { box_.UserSetText(FromQ(text)); }, Property::Text);
  }

  TextBox& box_;
};

// --- Buttons -------------------------------------------------------------------

class CommandButtonBinding : public Binding {
 public:
  CommandButtonBinding(FormView& f, CommandButton& c, QWidget* parent) : Binding(f, c), button_(c) {
    auto* w = new QPushButton(parent);
    w->setAutoDefault(false);
    SetWidget(w);
    QObject::connect(w, &QPushButton::clicked, &context_, [this] {
      if (!Updating()) button_.UserClick();
    });
  }
  bool WidgetTakesKey(const QKeyEvent& e) override {
    // Arrow keys move between buttons as they always did.
    return e.key() == Qt::Key_Left || e.key() == Qt::Key_Right || e.key() == Qt::Key_Up || e.key() == Qt::Key_Down;
  }

 protected:
  void Sync(Property p) override {
    auto* w = static_cast<QPushButton*>(widget_.data());
    switch (p) {
      case Property::Caption: w->setText(ToQ(button_.Caption())); break;
      case Property::Buttons: w->setDefault(button_.Default()); break;
      case Property::BackColor:
      case Property::ForeColor:
        // Buttons keep the style's face unless the program chose a colour.
        if ((button_.BackColor() & 0x80000000u) == 0 || (button_.ForeColor() & 0x80000000u) == 0) SyncColors();
        break;
      default: Binding::Sync(p);
    }
  }

 private:
  CommandButton& button_;
};

class CheckBoxBinding : public Binding {
 public:
  CheckBoxBinding(FormView& f, CheckBox& c, QWidget* parent) : Binding(f, c), box_(c) {
    auto* w = new QCheckBox(parent);
    SetWidget(w);
    QObject::connect(w, &QCheckBox::clicked, &context_, [this] {
      if (Updating()) return;
      Resync([&] { box_.UserClick(); }, Property::Value);
    });
  }

 protected:
  void Sync(Property p) override {
    auto* w = static_cast<QCheckBox*>(widget_.data());
    switch (p) {
      case Property::Caption: w->setText(ToQ(box_.Caption())); break;
      case Property::Value:
        w->setTristate(box_.Value() == 2);
        w->setCheckState(box_.Value() == 1 ? Qt::Checked : box_.Value() == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
        break;
      default: Binding::Sync(p);
    }
  }

 private:
  CheckBox& box_;
};

class OptionBinding : public Binding {
 public:
  OptionBinding(FormView& f, OptionButton& c, QWidget* parent) : Binding(f, c), option_(c) {
    auto* w = new QRadioButton(parent);
    w->setAutoExclusive(false);  // the model keeps the options exclusive
    SetWidget(w);
    QObject::connect(w, &QRadioButton::clicked, &context_, [this] {
      if (Updating()) return;
      Resync([&] { option_.UserClick(); }, Property::Value);
    });
  }
  bool WidgetTakesKey(const QKeyEvent& e) override {
    return e.key() == Qt::Key_Left || e.key() == Qt::Key_Right || e.key() == Qt::Key_Up || e.key() == Qt::Key_Down;
  }

 protected:
  void Sync(Property p) override {
    auto* w = static_cast<QRadioButton*>(widget_.data());
    switch (p) {
      case Property::Caption: w->setText(ToQ(option_.Caption())); break;
      case Property::Value: w->setChecked(option_.Value()); break;
      default: Binding::Sync(p);
    }
  }

 private:
  OptionButton& option_;
};

// --- Frames, pictures, shapes, lines ---------------------------------------------

class FrameBinding : public Binding {
 public:
  FrameBinding(FormView& f, Frame& c, QWidget* parent) : Binding(f, c), frame_(c) {
    SetWidget(new QGroupBox(parent));
  }

 protected:
  void Sync(Property p) override {
    if (p == Property::Caption)
      static_cast<QGroupBox*>(widget_.data())->setTitle(ToQ(frame_.Caption()));
    else
      Binding::Sync(p);
  }

 private:
  Frame& frame_;
};

class PictureWidget : public QFrame {
 public:
  explicit PictureWidget(QWidget* parent) : QFrame(parent) {}
  void SetPixmap(const QPixmap& p) {
    pixmap_ = p;
    update();
  }

 protected:
  void paintEvent(QPaintEvent* e) override {
    QFrame::paintEvent(e);
    if (pixmap_.isNull()) return;
    QPainter painter(this);
    painter.setClipRect(contentsRect());
    painter.drawPixmap(contentsRect().topLeft(), pixmap_);
  }

 private:
  QPixmap pixmap_;
};

class PictureBinding : public Binding {
 public:
  PictureBinding(FormView& f, PictureBox& c, QWidget* parent) : Binding(f, c), picture_(c) {
    auto* w = new PictureWidget(parent);
    w->setAutoFillBackground(true);
    SetWidget(w);
  }

 protected:
  void Sync(Property p) override {
    auto* w = static_cast<PictureWidget*>(widget_.data());
    switch (p) {
      case Property::Picture:
        w->SetPixmap(picture_.Picture().empty() ? QPixmap() : QPixmap(ToQ(picture_.Picture())));
        break;
      case Property::Appearance:
        w->setFrameStyle(picture_.BorderStyle() == 1 ? QFrame::Panel | QFrame::Sunken : QFrame::NoFrame);
        break;
      default: Binding::Sync(p);
    }
  }

 private:
  PictureBox& picture_;
};

class ShapeWidget : public QWidget {
 public:
  ShapeWidget(QWidget* parent, Shape& shape) : QWidget(parent), shape_(shape) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, shape_.ShapeKind() >= 2);
    int bw = std::max<int>(1, shape_.BorderWidth());
    p.setPen(QPen(ToQColor(shape_.BorderColor()), bw));
    if (shape_.FillStyle() == 0)
      p.setBrush(ToQColor(shape_.FillColor()));
    else
      p.setBrush(Qt::NoBrush);
    QRectF r = QRectF(rect()).adjusted(bw / 2.0, bw / 2.0, -bw / 2.0 - 0.5, -bw / 2.0 - 0.5);
    int kind = shape_.ShapeKind();
    if (kind == 1 || kind == 3 || kind == 5) {
      double side = std::min(r.width(), r.height());
      r = QRectF(r.center().x() - side / 2, r.center().y() - side / 2, side, side);
    }
    if (kind == 2 || kind == 3)
      p.drawEllipse(r);
    else if (kind == 4 || kind == 5)
      p.drawRoundedRect(r, r.width() / 8, r.height() / 8);
    else
      p.drawRect(r);
  }

 private:
  Shape& shape_;
};

class ShapeBinding : public Binding {
 public:
  ShapeBinding(FormView& f, Shape& c, QWidget* parent) : Binding(f, c) {
    SetWidget(new ShapeWidget(parent, c));
    widget_->lower();
  }

 protected:
  void Sync(Property p) override {
    Binding::Sync(p);
    if (p == Property::Appearance) widget_->update();
  }
};

// A line covers the rectangle between its ends; it is drawn under the other
// controls, as the classic graphical controls were.
class LineWidget : public QWidget {
 public:
  LineWidget(QWidget* parent, Line& line, FormView& form) : QWidget(parent), line_(line), form_(form) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  void Place() {
    int tpp = form_.TwipsPerPixel();
    int bw = std::max<int>(1, line_.BorderWidth());
    int x1 = TwipsToPixels(line_.X1(), tpp), y1 = TwipsToPixels(line_.Y1(), tpp);
    int x2 = TwipsToPixels(line_.X2(), tpp), y2 = TwipsToPixels(line_.Y2(), tpp);
    setGeometry(std::min(x1, x2) - bw, std::min(y1, y2) - bw, std::abs(x2 - x1) + 2 * bw + 1,
                std::abs(y2 - y1) + 2 * bw + 1);
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    int tpp = form_.TwipsPerPixel();
    QPainter p(this);
    p.setPen(QPen(ToQColor(line_.BorderColor()), std::max<int>(1, line_.BorderWidth())));
    QPoint origin = pos();
    p.drawLine(QPoint(TwipsToPixels(line_.X1(), tpp), TwipsToPixels(line_.Y1(), tpp)) - origin,
               QPoint(TwipsToPixels(line_.X2(), tpp), TwipsToPixels(line_.Y2(), tpp)) - origin);
  }

 private:
  Line& line_;
  FormView& form_;
};

class LineBinding : public Binding {
 public:
  LineBinding(FormView& f, Line& c, QWidget* parent) : Binding(f, c) {
    SetWidget(new LineWidget(parent, c, f));
    widget_->lower();
  }

 protected:
  void Sync(Property p) override {
    if (p == Property::Geometry || p == Property::Appearance)
      static_cast<LineWidget*>(widget_.data())->Place();
    else
      Binding::Sync(p);
  }
};

// --- Lists ---------------------------------------------------------------------

class ComboBinding : public Binding {
 public:
  ComboBinding(FormView& f, ComboBox& c, QWidget* parent) : Binding(f, c), combo_(c) {
    auto* w = new QComboBox(parent);
    w->setInsertPolicy(QComboBox::NoInsert);
    w->setMaxVisibleItems(12);
    SetWidget(w);
    // Any change of the current item that the model did not make is the
    // user's (the list, the arrow keys the widget keeps, the mouse wheel).
    QObject::connect(w, &QComboBox::currentIndexChanged, &context_, [this](int index) {
      if (Updating() || index < 0) return;
      Resync([&] { combo_.UserSelect(index); }, Property::ListIndex);
    });
  }

  bool WidgetTakesKey(const QKeyEvent& e) override {
    if (e.key() == Qt::Key_F4 || ((e.modifiers() & Qt::AltModifier) && (e.key() == Qt::Key_Down || e.key() == Qt::Key_Up)))
      return true;
    if (combo_.ComboStyle() != ComboBox::kDropDownList)
      switch (e.key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_Delete: return true;
        default: break;
      }
    return false;
  }

  bool SpecialKey(const QKeyEvent& e) override {
    if (combo_.ComboStyle() == ComboBox::kDropDownList) return false;
    return e.matches(QKeySequence::Undo) || e.matches(QKeySequence::Redo);
  }

  bool OwnsCharacters() const override { return combo_.ComboStyle() != ComboBox::kDropDownList; }
  void InsertCharacter(char ch) override {
    auto* w = static_cast<QComboBox*>(widget_.data());
    QLineEdit* le = w->lineEdit();
    if (!le) return;
    if (ch == 8)
      le->backspace();
    else if (static_cast<unsigned char>(ch) >= 32)
      le->insert(ToQ(std::string(1, ch)));
    else
      return;
    combo_.UserSetText(FromQ(le->text()));
  }

 protected:
  void Sync(Property p) override {
    auto* w = static_cast<QComboBox*>(widget_.data());
    switch (p) {
      case Property::Appearance:
        w->setEditable(combo_.ComboStyle() != ComboBox::kDropDownList);
        if (w->isEditable()) w->setCompleter(nullptr);  // no completion behind the model's back
        if (QLineEdit* le = w->lineEdit(); le && le != connectedEdit_) {
          connectedEdit_ = le;
          le->setContextMenuPolicy(Qt::NoContextMenu);
          QObject::connect(le, &QLineEdit::textEdited, &context_, [this](const QString& t) {
            if (!Updating()) combo_.UserSetText(FromQ(t));
          });
        }
        Sync(Property::Items);
        break;
      case Property::Items: {
        w->clear();
        for (int32_t i = 0; i < combo_.ListCount(); ++i) w->addItem(ToQ(combo_.List(i)));
        Sync(Property::ListIndex);
        break;
      }
      case Property::ListIndex:
        w->setCurrentIndex(combo_.ListIndex());
        Sync(Property::Text);
        break;
      case Property::Text:
        if (w->isEditable() && w->currentText() != ToQ(combo_.Text())) w->setEditText(ToQ(combo_.Text()));
        break;
      default: Binding::Sync(p);
    }
  }

 private:
  ComboBox& combo_;
  QLineEdit* connectedEdit_ = nullptr;
};

// Draws items with tab characters at the list's tab stops (in dialog
// units, a quarter of the average character width); without stops a tab
// goes to the next multiple of 32 units.
class TabStopDelegate : public QStyledItemDelegate {
 public:
  TabStopDelegate(QObject* parent, ListBox* list) : QStyledItemDelegate(parent), list_(list) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const QString text = index.data().toString();
    if (!text.contains(QLatin1Char('\t'))) {
      QStyledItemDelegate::paint(painter, option, index);
      return;
    }
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.text.clear();
    const QWidget* w = opt.widget;
    QStyle* style = w ? w->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, w);
    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, w).adjusted(2, 0, -2, 0);
    const double unit = opt.fontMetrics.averageCharWidth() / 4.0;
    std::vector<int32_t> stops = list_ ? list_->TabStops() : std::vector<int32_t>{};
    painter->save();
    painter->setFont(opt.font);
    painter->setPen(opt.palette.color(opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    const QStringList parts = text.split(QLatin1Char('\t'));
    double x = 0;
    for (qsizetype i = 0; i < parts.size(); ++i) {
      if (i > 0) {
        double next = -1;
        for (int32_t s : stops)
          if (s * unit > x + 0.5) {
            next = s * unit;
            break;
          }
        if (next < 0) next = (std::floor(x / (32 * unit)) + 1) * 32 * unit;
        x = next;
      }
      painter->drawText(QRectF(area.left() + x, area.top(), area.width() - x, area.height()),
                        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, parts[i]);
      x += opt.fontMetrics.horizontalAdvance(parts[i]);
    }
    painter->restore();
  }

 private:
  ListBox* list_;
};

class ListBinding : public Binding {
 public:
  ListBinding(FormView& f, ListControl& c, QWidget* parent) : Binding(f, c), list_(c) {
    auto* w = new QListWidget(parent);
    w->setSelectionMode(QAbstractItemView::SingleSelection);
    w->setUniformItemSizes(true);
    w->setItemDelegate(new TabStopDelegate(w, c.Kind() == ControlKind::ListBox ? static_cast<ListBox*>(&c) : nullptr));
    SetWidget(w);
    QObject::connect(w, &QListWidget::currentRowChanged, &context_, [this](int row) {
      if (Updating() || row < 0) return;
      Resync([&] { list_.UserSelect(row); }, Property::ListIndex);
    });
    QObject::connect(w, &QListWidget::itemDoubleClicked, &context_, [this](QListWidgetItem* item) {
      if (Updating() || !widget_) return;
      list_.UserDoubleClick(static_cast<QListWidget*>(widget_.data())->row(item));
    });
  }

  bool WidgetTakesKey(const QKeyEvent& e) override {
    switch (e.key()) {
      case Qt::Key_PageUp:
      case Qt::Key_PageDown:
      case Qt::Key_Home:
      case Qt::Key_End: return true;
      default: return false;
    }
  }

 protected:
  void Sync(Property p) override {
    auto* w = static_cast<QListWidget*>(widget_.data());
    switch (p) {
      case Property::Items:
        w->clear();
        w->viewport()->update();
        // A file list holds names as the disk spells them, not program text.
        for (int32_t i = 0; i < list_.ListCount(); ++i)
          w->addItem(list_.Kind() == ControlKind::FileList ? PathToQ(list_.List(i)) : ToQ(list_.List(i)));
        Sync(Property::ListIndex);
        break;
      case Property::ListIndex:
        w->setCurrentRow(list_.ListIndex());
        if (list_.ListIndex() < 0) w->clearSelection();
        break;
      default: Binding::Sync(p);
    }
  }

 private:
  ListControl& list_;
};

// Subdirectories by name under a ".." line for the parent; a double click
// opens one. Widget rows are the model's items one further down when the
// ".." line is there.
class DirListBinding : public Binding {
 public:
  DirListBinding(FormView& f, DirList& c, QWidget* parent) : Binding(f, c), dirs_(c) {
    auto* w = new QListWidget(parent);
    w->setSelectionMode(QAbstractItemView::SingleSelection);
    SetWidget(w);
    QObject::connect(w, &QListWidget::currentRowChanged, &context_, [this](int row) {
      if (Updating() || row < Offset()) return;
      Resync([&] { dirs_.UserSelect(row - Offset()); }, Property::ListIndex);
    });
    QObject::connect(w, &QListWidget::itemActivated, &context_, [this](QListWidgetItem* item) {
      if (Updating() || !widget_) return;
      const int row = static_cast<QListWidget*>(widget_.data())->row(item);
      if (row < Offset())
        Resync([&] { dirs_.UserOpenParent(); }, Property::Items);
      else
        Resync([&] { dirs_.UserOpen(row - Offset()); }, Property::Items);
    });
  }
  bool WidgetTakesKey(const QKeyEvent& e) override {
    return e.key() == Qt::Key_PageUp || e.key() == Qt::Key_PageDown || e.key() == Qt::Key_Home || e.key() == Qt::Key_End;
  }

 protected:
  void Sync(Property p) override {
    auto* w = static_cast<QListWidget*>(widget_.data());
    switch (p) {
      case Property::Items:
      case Property::Text: {
        w->clear();
        const QIcon folder = w->style()->standardIcon(QStyle::SP_DirIcon);
        hasParent_ = HasParent();
        if (hasParent_) w->addItem(new QListWidgetItem(w->style()->standardIcon(QStyle::SP_FileDialogToParent), ".."));
        for (int32_t i = 0; i < dirs_.ListCount(); ++i) {
          QString path = PathToQ(dirs_.List(i));
          auto* item = new QListWidgetItem(folder, path.section(QLatin1Char('/'), -1, -1, QString::SectionSkipEmpty));
          item->setToolTip(path);
          w->addItem(item);
        }
        w->setToolTip(PathToQ(dirs_.Path()));
        Sync(Property::ListIndex);
        break;
      }
      case Property::ListIndex:
        w->setCurrentRow(dirs_.ListIndex() < 0 ? -1 : dirs_.ListIndex() + Offset());
        break;
      default: Binding::Sync(p);
    }
  }

 private:
  int Offset() const { return hasParent_ ? 1 : 0; }
  bool HasParent() const {
    std::string p = dirs_.Path();
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    return !p.empty() && p != "/";
  }
  DirList& dirs_;
  bool hasParent_ = false;
};

// --- Scroll bars, spin buttons, gauges, timers -----------------------------------

class ScrollBinding : public Binding {
 public:
  ScrollBinding(FormView& f, ScrollBar& c, QWidget* parent) : Binding(f, c), bar_(c) {
    auto* w = new QScrollBar(c.Kind() == ControlKind::HScrollBar ? Qt::Horizontal : Qt::Vertical, parent);
    SetWidget(w);
    QObject::connect(w, &QScrollBar::valueChanged, &context_, [this](int v) {
      if (Updating()) return;
      Resync([&] { bar_.UserScrollTo(v); }, Property::Value);
    });
  }
  bool WidgetTakesKey(const QKeyEvent&) override { return true; }

 protected:
  void Sync(Property p) override {
    auto* w = static_cast<QScrollBar*>(widget_.data());
    switch (p) {
      case Property::Range:
        w->setRange(std::min(bar_.Min(), bar_.Max()), std::max(bar_.Min(), bar_.Max()));
        w->setInvertedAppearance(bar_.Min() > bar_.Max());
        w->setInvertedControls(bar_.Min() > bar_.Max());
        w->setSingleStep(bar_.SmallChange());
        w->setPageStep(bar_.LargeChange());
        Sync(Property::Value);
        break;
      case Property::Value: w->setValue(bar_.Value()); break;
      default: Binding::Sync(p);
    }
  }

 private:
  ScrollBar& bar_;
};

class SpinBinding : public Binding {
 public:
  SpinBinding(FormView& f, SpinButton& c, QWidget* parent) : Binding(f, c), spin_(c) {
    auto* w = new QWidget(parent);
    up_ = new QToolButton(w);
    down_ = new QToolButton(w);
    for (QToolButton* b : {up_, down_}) {
      b->setAutoRepeat(true);
      b->setFocusPolicy(Qt::NoFocus);
    }
    SetWidget(w);
    QObject::connect(up_, &QToolButton::clicked, &context_, [this] {
      if (!Updating()) spin_.UserSpinUp();
    });
    QObject::connect(down_, &QToolButton::clicked, &context_, [this] {
      if (!Updating()) spin_.UserSpinDown();
    });
  }

 protected:
  void Sync(Property p) override {
    Binding::Sync(p);
    if (p != Property::Geometry) return;
    int w = widget_->width(), h = widget_->height();
    if (h >= w) {
      up_->setArrowType(Qt::UpArrow);
      down_->setArrowType(Qt::DownArrow);
      up_->setGeometry(0, 0, w, h / 2);
      down_->setGeometry(0, h / 2, w, h - h / 2);
    } else {
      // Horizontal: the left arrow counts down.
      up_->setArrowType(Qt::RightArrow);
      down_->setArrowType(Qt::LeftArrow);
      down_->setGeometry(0, 0, w / 2, h);
      up_->setGeometry(w / 2, 0, w - w / 2, h);
    }
  }

 private:
  SpinButton& spin_;
  QToolButton* up_;
  QToolButton* down_;
};

class GaugeBinding : public Binding {
 public:
  GaugeBinding(FormView& f, Gauge& c, QWidget* parent) : Binding(f, c), gauge_(c) {
    auto* w = new QProgressBar(parent);
    w->setTextVisible(true);
    w->setFormat(QStringLiteral("%p%"));
    w->setAlignment(Qt::AlignCenter);
    SetWidget(w);
  }

 protected:
  void Sync(Property p) override {
    auto* w = static_cast<QProgressBar*>(widget_.data());
    switch (p) {
      case Property::Range:
      case Property::Value:
        w->setRange(0, 100);
        w->setValue(gauge_.Percent());  // repaints at once, event loop or not
        break;
      default: Binding::Sync(p);
    }
  }

 private:
  Gauge& gauge_;
};

// A timer has no widget; a QTimer counts while the model says it runs.
class TimerBinding : public Binding {
 public:
  TimerBinding(FormView& f, Timer& c) : Binding(f, c), timer_(c) {
    QObject::connect(&qtimer_, &QTimer::timeout, &qtimer_, [this] {
      std::shared_ptr<bool> alive = alive_;
      timer_.Tick();
      if (*alive) Restart();
    });
  }

 protected:
  void Sync(Property p) override {
    if (p == Property::Interval || p == Property::Enabled) Restart();
  }

 private:
  void Restart() {
    if (timer_.Running()) {
      if (!qtimer_.isActive() || qtimer_.interval() != timer_.Interval()) qtimer_.start(timer_.Interval());
    } else {
      qtimer_.stop();
    }
  }
  Timer& timer_;
  QTimer qtimer_;
};

// --- Status bar ----------------------------------------------------------------

// Panels side by side in sunken frames; the bar keeps to the bottom of its
// window across the whole width, the last panel taking what is left.
class StatusBinding : public Binding {
 public:
  StatusBinding(FormView& f, StatusBar& c, QWidget* parent) : Binding(f, c), bar_(c) {
    auto* w = new QWidget(parent);
    w->setAutoFillBackground(true);
    auto* layout = new QHBoxLayout(w);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    SetWidget(w);
    parent->installEventFilter(&follower_);
    follower_.binding = this;
  }

  // The label showing the panel with the given key (tests read it).
  QLabel* PanelLabel(int position) const {
    if (position < 1 || position > static_cast<int>(labels_.size())) return nullptr;
    return labels_[static_cast<size_t>(position - 1)];
  }

 protected:
  void Sync(Property p) override {
    switch (p) {
      case Property::Geometry: Place(); break;
      case Property::Items: SyncPanels(); break;
      default: Binding::Sync(p);
    }
  }

 private:
  struct Follower : QObject {
    StatusBinding* binding = nullptr;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Resize && binding->widget_) binding->Place();
      return false;
    }
  };

  void Place() {
    QWidget* parent = widget_->parentWidget();
    int h = std::max(Px(bar_.Height()), widget_->fontMetrics().height() + 10);
    widget_->setGeometry(0, parent->height() - h, parent->width(), h);
    widget_->raise();
  }

  void SyncPanels() {
    auto* layout = static_cast<QHBoxLayout*>(widget_->layout());
    while (static_cast<int32_t>(labels_.size()) > bar_.PanelCount()) {
      delete labels_.back();
      labels_.pop_back();
    }
    while (static_cast<int32_t>(labels_.size()) < bar_.PanelCount()) {
      auto* label = new QLabel(widget_);
      label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      label->setTextFormat(Qt::PlainText);
      label->setContentsMargins(3, 0, 3, 0);
      layout->addWidget(label);
      labels_.push_back(label);
    }
    for (int32_t i = 0; i < bar_.PanelCount(); ++i) {
      Panel* panel = bar_.PanelAt(i + 1);
      QLabel* label = labels_[static_cast<size_t>(i)];
      label->setText(ToQ(panel->Text()));
      bool last = i + 1 == bar_.PanelCount();
      if (last) {
        label->setMinimumWidth(Px(panel->Width()));
        label->setMaximumWidth(QWIDGETSIZE_MAX);
      } else {
        label->setFixedWidth(Px(panel->Width()));
      }
      layout->setStretch(i, last ? 1 : 0);
    }
  }

  StatusBar& bar_;
  std::vector<QLabel*> labels_;
  Follower follower_;
};

}  // namespace

std::unique_ptr<Binding> MakeBinding(FormView& form, Control& c, QWidget* parent) {
  switch (c.Kind()) {
    case ControlKind::Label: return std::make_unique<LabelBinding>(form, static_cast<Label&>(c), parent);
    case ControlKind::Panel3D: return std::make_unique<Panel3DBinding>(form, static_cast<Panel3D&>(c), parent);
    case ControlKind::TextBox: return std::make_unique<TextBoxBinding>(form, static_cast<TextBox&>(c), parent);
    case ControlKind::CommandButton:
      return std::make_unique<CommandButtonBinding>(form, static_cast<CommandButton&>(c), parent);
    case ControlKind::CheckBox: return std::make_unique<CheckBoxBinding>(form, static_cast<CheckBox&>(c), parent);
    case ControlKind::OptionButton:
      return std::make_unique<OptionBinding>(form, static_cast<OptionButton&>(c), parent);
    case ControlKind::Frame: return std::make_unique<FrameBinding>(form, static_cast<Frame&>(c), parent);
    case ControlKind::PictureBox: return std::make_unique<PictureBinding>(form, static_cast<PictureBox&>(c), parent);
    case ControlKind::Shape: return std::make_unique<ShapeBinding>(form, static_cast<Shape&>(c), parent);
    case ControlKind::Line: return std::make_unique<LineBinding>(form, static_cast<Line&>(c), parent);
    case ControlKind::ComboBox: return std::make_unique<ComboBinding>(form, static_cast<ComboBox&>(c), parent);
    case ControlKind::ListBox:
    case ControlKind::FileList: return std::make_unique<ListBinding>(form, static_cast<ListControl&>(c), parent);
    case ControlKind::DirList: return std::make_unique<DirListBinding>(form, static_cast<DirList&>(c), parent);
    case ControlKind::HScrollBar:
    case ControlKind::VScrollBar: return std::make_unique<ScrollBinding>(form, static_cast<ScrollBar&>(c), parent);
    case ControlKind::SpinButton: return std::make_unique<SpinBinding>(form, static_cast<SpinButton&>(c), parent);
    case ControlKind::Gauge: return std::make_unique<GaugeBinding>(form, static_cast<Gauge&>(c), parent);
    case ControlKind::Timer: return std::make_unique<TimerBinding>(form, static_cast<Timer&>(c));
    case ControlKind::StatusBar: return std::make_unique<StatusBinding>(form, static_cast<StatusBar&>(c), parent);
    case ControlKind::Grid: return MakeGridBinding(form, static_cast<Grid&>(c), parent);
    case ControlKind::DesignGrid: return MakeDesignSurfaceBinding(form, static_cast<DesignGrid&>(c), parent);
    case ControlKind::Form:
    case ControlKind::MenuItem: break;
    default: break;  // a kind this host does not draw yet has no widget
  }
  return nullptr;
}

}  // namespace kelvarin::platform::qt
