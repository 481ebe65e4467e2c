#include "platform/qt/form_view.h"

#include <QPointer>

#include <QAction>
#include <QGuiApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>

#include "platform/model/model.h"
#include "platform/qt/binding.h"
#include "platform/qt/qt_host.h"
#include "platform/qt/qt_text.h"

namespace kelvarin::platform::qt {

// --- the window and its client surface -------------------------------------------

FormWindow::FormWindow(FormView& view, QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), view_(&view) {}

void FormWindow::closeEvent(QCloseEvent* event) {
  // The model decides: QueryUnload may cancel, and an unloaded form hides
  // its window itself.
  event->ignore();
  if (view_) view_->UserClosed();
}

void FormWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (view_) view_->UserResized();
}

void FormWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  if (view_) view_->UserMoved();
}

void FormWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && view_) view_->Activated(isActiveWindow());
}

namespace {

// The client area: paints the lines the program drew on the form.
class SurfaceWidget : public QWidget {
 public:
  SurfaceWidget(QWidget* parent, Form& form, FormView& view) : QWidget(parent), form_(form), view_(view) {
    setAutoFillBackground(true);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (form_.Drawing().empty()) return;
    QPainter p(this);
    int tpp = view_.TwipsPerPixel();
    for (const DrawnLine& l : form_.Drawing()) {
      p.setPen(QPen(ToQColor(l.color), 1));
      p.drawLine(TwipsToPixels(l.x1, tpp), TwipsToPixels(l.y1, tpp), TwipsToPixels(l.x2, tpp),
                 TwipsToPixels(l.y2, tpp));
    }
  }

 private:
  Form& form_;
  FormView& view_;
};

// The form itself as a binding of its surface, so that keys and the mouse
// on the bare form find their way to the form's entry points.
class SurfaceBinding : public Binding {
 public:
  SurfaceBinding(FormView& view, Form& form, QWidget* surface) : Binding(view, form) { SetWidget(surface); }
  ~SurfaceBinding() override { widget_ = nullptr; }  // the window owns the surface

 protected:
  void Sync(Property) override {}
};

}  // namespace

// --- menus -------------------------------------------------------------------------

// One menu item's mirror: an action, and a drop-down menu when it has items.
class FormView::MenuView : public ControlView {
 public:
  MenuView(FormView& owner, MenuItem& item, QAction* action, QMenu* menu)
      : owner_(owner), item_(item), action_(action), menu_(menu) {}
  QAction* Action() const { return action_; }
  void PropertyChanged(Control& /*control*/, Property p) override {
    if (p == Property::Items) {
      // An item was added under this one: the menus are built again (which
      // ends this view).
      owner_.BuildMenus();
      return;
    }
    if (!action_) return;
    switch (p) {
      case Property::Caption:
        if (!item_.IsSeparator()) action_->setText(ToQ(item_.Caption()));
        break;
      case Property::Visible: action_->setVisible(item_.Visible()); break;
      case Property::Enabled: action_->setEnabled(item_.Enabled()); break;
      case Property::Checked:
        action_->setCheckable(item_.Checked());
        action_->setChecked(item_.Checked());
        break;
      case Property::Appearance:
        if (!menu_) action_->setShortcut(QKeySequence(QString::fromStdString(item_.Shortcut())));
        break;
      default: break;
    }
  }
  void SyncAll() {
    for (Property p : {Property::Caption, Property::Visible, Property::Enabled, Property::Checked, Property::Appearance})
      PropertyChanged(item_, p);
  }

 private:
  FormView& owner_;
  MenuItem& item_;
  QPointer<QAction> action_;
  QPointer<QMenu> menu_;
};

// --- FormView ----------------------------------------------------------------------

FormView::FormView(QtHost& host, Form& form, QWidget* owner) : host_(host), form_(form) {
  twipsPerPixel_ = std::max(1, host.Screen().twipsPerPixelX);
  Qt::WindowFlags flags = Qt::Window;
  switch (form.BorderStyle()) {
    case FormBorder::None: flags = Qt::Window | Qt::FramelessWindowHint; break;
    case FormBorder::FixedSingle:
      // A fixed main window may be minimised but has nothing to maximise.
      flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
      break;
    case FormBorder::FixedDialog: flags = kFixedDialogFlags; break;
    case FormBorder::Sizable: flags = Qt::Window; break;
  }
  window_ = new FormWindow(*this, owner, flags);
  window_->setObjectName(QString::fromStdString(form.Name()));
  surface_ = new SurfaceWidget(window_, form, *this);
  surface_->setObjectName(QStringLiteral("surface"));
  surfaceBinding_ = std::make_unique<SurfaceBinding>(*this, form, surface_);
  surface_->setFocusPolicy(Qt::NoFocus);
  if (!form.Menus().empty()) {
    menuBar_ = new QMenuBar(window_);
    BuildMenus();
  }
  form.SetView(this);
  for (Control* c : form.Controls()) Bind(*c);
  Settle();
  SyncTitle();
  SyncColors();
  SyncGeometry();
  window_->setEnabled(form.Enabled());
}

void FormView::Abandon() {
  // Neither a binding nor a menu view touches its model object when it ends.
  bindings_.clear();
  menus_.clear();
}

FormView::~FormView() {
  *alive_ = false;
  if (form_.View() == this) form_.SetView(nullptr);
  for (auto& [control, binding] : bindings_) const_cast<Control*>(control)->SetView(nullptr);
  bindings_.clear();
  DetachMenuViews();
  menus_.clear();
  surfaceBinding_.reset();
  if (window_) {
    window_->Detach();
    window_->hide();
    window_->deleteLater();
  }
}

Binding* FormView::BindingFor(const Control* control) const {
  if (control == &form_) return surfaceBinding_.get();
  auto it = bindings_.find(control);
  return it == bindings_.end() ? nullptr : it->second.get();
}

QAction* FormView::ActionFor(const MenuItem* item) const {
  auto it = menus_.find(item);
  return it == menus_.end() ? nullptr : it->second->Action();
}

void FormView::Bind(Control& control) {
  if (control.Kind() == ControlKind::MenuItem || bindings_.count(&control)) return;
  QWidget* parent = surface_;
  if (Container* container = control.Parent(); container && &container->AsControl() != &form_) {
    Binding* pb = BindingFor(&container->AsControl());
    if (!pb) return;  // its container has no widget
    parent = pb->ContentWidget();
  }
  std::unique_ptr<Binding> binding = MakeBinding(*this, control, parent);
  if (!binding) return;
  Binding* b = binding.get();
  bindings_.emplace(&control, std::move(binding));
  control.SetView(b);
  b->SyncAll();
}

// Menu items may have been destroyed since their views were made (they tell
// no one): only the items still in the form's menu tree are touched.
void FormView::DetachMenuViews() {
  std::vector<MenuItem*> stack(form_.Menus().begin(), form_.Menus().end());
  while (!stack.empty()) {
    MenuItem* m = stack.back();
    stack.pop_back();
    if (auto it = menus_.find(m); it != menus_.end() && m->View() == it->second.get()) m->SetView(nullptr);
    stack.insert(stack.end(), m->Items().begin(), m->Items().end());
  }
}

bool FormView::InMenuTree(const MenuItem* item) const {
  std::vector<MenuItem*> stack(form_.Menus().begin(), form_.Menus().end());
  while (!stack.empty()) {
    MenuItem* m = stack.back();
    stack.pop_back();
    if (m == item) return true;
    stack.insert(stack.end(), m->Items().begin(), m->Items().end());
  }
  return false;
}

void FormView::BuildMenus() {
  DetachMenuViews();
  menus_.clear();
  // The old menus go later: one of them may be about to drop down.
  for (QAction* a : menuBar_->actions()) {
    if (QMenu* m = a->menu())
      m->deleteLater();
    else if (a->parent() == menuBar_)
      a->deleteLater();
  }
  menuBar_->clear();
  for (MenuItem* item : form_.Menus()) AddMenuItem(*item, nullptr);
}

void FormView::AddMenuItem(MenuItem& item, QMenu* into) {
  QAction* action = nullptr;
  QMenu* menu = nullptr;
  if (item.IsSeparator()) {
    action = into ? into->addSeparator() : menuBar_->addSeparator();
  } else if (!item.Items().empty()) {
    menu = new QMenu(ToQ(item.Caption()), into ? static_cast<QWidget*>(into) : menuBar_);
    action = into ? into->addMenu(menu) : menuBar_->addMenu(menu);
    // The classic menus raise the Click of a menu title before it drops
    // down, so that the program can set its items.
    QObject::connect(menu, &QMenu::aboutToShow, menu, [this, &item, alive = alive_] {
      if (*alive && !updating_ && InMenuTree(&item)) item.UserClick();
    });
    for (MenuItem* sub : item.Items()) AddMenuItem(*sub, menu);
  } else {
    action = new QAction(ToQ(item.Caption()), into ? static_cast<QObject*>(into) : menuBar_);
    if (into)
      into->addAction(action);
    else
      menuBar_->addAction(action);
    QObject::connect(action, &QAction::triggered, action, [this, &item, alive = alive_] {
      if (!*alive || updating_ || !InMenuTree(&item)) return;
      item.UserClick();
      if (!*alive) return;  // the handler unloaded the form
      // Qt flips a checkable action itself; the model has the last word.
      if (auto it = menus_.find(&item); it != menus_.end()) it->second->PropertyChanged(item, Property::Checked);
    });
  }
  action->setObjectName(QString::fromStdString(item.Name()));
  auto view = std::make_unique<MenuView>(*this, item, action, menu);
  view->SyncAll();
  item.SetView(view.get());
  menus_[&item] = std::move(view);
}

int FormView::MenuHeight() const { return menuBar_ ? menuBar_->sizeHint().height() : 0; }

void FormView::SyncTitle() { window_->setWindowTitle(ToQ(form_.Caption())); }

void FormView::SyncColors() {
  QPalette pal = surface_->palette();
  pal.setColor(QPalette::Window, ToQColor(form_.BackColor()));
  pal.setColor(QPalette::WindowText, ToQColor(form_.ForeColor()));
  surface_->setPalette(pal);
}

void FormView::SyncGeometry() {
  if (!window_) return;
  ++updating_;
  const int w = std::max(1, TwipsToPixels(form_.ScaleWidth(), twipsPerPixel_));
  const int h = std::max(1, TwipsToPixels(form_.ScaleHeight(), twipsPerPixel_));
  const int mh = MenuHeight();
  if (form_.BorderStyle() == FormBorder::Sizable || form_.BorderStyle() == FormBorder::None)
    window_->resize(w, h + mh);
  else
    window_->setFixedSize(w, h + mh);
  window_->move(TwipsToPixels(form_.Left(), twipsPerPixel_), TwipsToPixels(form_.Top(), twipsPerPixel_));
  if (menuBar_) menuBar_->setGeometry(0, 0, w, mh);
  surface_->setGeometry(0, mh, w, h);
  --updating_;
}

void FormView::Show(bool modal) {
  if (!window_) return;  // taken down with the window that owned it
  const Qt::WindowModality modality = modal ? Qt::ApplicationModal : Qt::NonModal;
  if (window_->windowModality() != modality) {
    // Qt takes a new modality only at the next showing.
    if (window_->isVisible()) window_->hide();
    window_->setWindowModality(modality);
  }
  SyncGeometry();
  Settle();  // labels line up with boxes placed since the window was built
  window_->show();
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) window_->raise();
  window_->activateWindow();
  SyncFocus();
  PaintNow();
}

void FormView::PaintNow() {
  // A window shown before a long step of work (the progress gauge) gets no
  // paint from the event loop until that step yields: it is painted here,
  // once the window system has mapped it (bounded, should it never be).
  if (!window_ || !window_->isVisible()) return;
  // The events processed meanwhile may run handlers that unload the form
  // and with it this view (and its window): both are checked afterwards.
  std::shared_ptr<bool> alive = alive_;
  QPointer<QWindow> handle = window_->windowHandle();
  QElapsedTimer waited;
  waited.start();
  while (*alive && handle && !handle->isExposed() && waited.elapsed() < kExposeWaitMs)
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
  if (*alive && window_ && window_->isVisible()) window_->repaint();
}

void FormView::Hide() {
  if (window_) window_->hide();
}

void FormView::SyncFocus() {
  if (!window_ || !window_->isVisible()) return;
  // The model moves the focus on Tab itself, which Qt does not count as a
  // keyboard move: without this the focused control shows no focus frame.
  window_->setAttribute(Qt::WA_KeyboardFocusChange);
  Binding* b = BindingFor(form_.ActiveControl());
  QWidget* target = b && b->Widget() ? b->Widget() : surface_.data();
  if (target->hasFocus() || !target->isVisible()) return;
  ++updating_;
  target->setFocus(Qt::OtherFocusReason);
  --updating_;
}

void FormView::PropertyChanged(Control& /*control*/, Property property) {
  if (!window_) return;
  switch (property) {
    case Property::Caption: SyncTitle(); break;
    case Property::Geometry:
      if (!updating_) SyncGeometry();
      break;
    case Property::Enabled:
      ++updating_;
      window_->setEnabled(form_.Enabled());
      --updating_;
      if (form_.Enabled()) SyncFocus();
      break;
    case Property::ForeColor:
    case Property::BackColor: SyncColors(); break;
    case Property::Drawing: surface_->update(); break;
    case Property::Focus: SyncFocus(); break;
    case Property::MousePointer:
      if (form_.MousePointer() == kPointerDefault)
        surface_->unsetCursor();
      else
        surface_->setCursor(form_.MousePointer() == kPointerCross  ? Qt::CrossCursor
                            : form_.MousePointer() == kPointerHourglass ? Qt::WaitCursor
                                                                        : Qt::ArrowCursor);
      break;
    case Property::Items:
      if (menuBar_) BuildMenus();
      break;
    default: break;
  }
}

void FormView::ControlAdded(Form& /*form*/, Control& control) {
  Bind(control);
  Settle();
}

void FormView::Settle() {
  for (auto& [control, binding] : bindings_) binding->Settle();
}

void FormView::ControlRemoving(Form& /*form*/, Control& control) {
  if (&control == &form_) return;
  auto it = bindings_.find(&control);
  if (it == bindings_.end()) return;
  control.SetView(nullptr);
  ++updating_;  // the control is going: where Qt puts the focus is no user's doing
  bindings_.erase(it);
  --updating_;
}

void FormView::UserClosed() { form_.UserClose(); }

void FormView::UserResized() {
  if (!window_) return;
  const int mh = MenuHeight();
  const int w = window_->width(), h = std::max(0, window_->height() - mh);
  if (menuBar_) menuBar_->setGeometry(0, 0, w, mh);
  surface_->setGeometry(0, mh, w, h);
  if (updating_ || !window_->isVisible()) return;
  const int32_t width = w * twipsPerPixel_ + Form::kFrameWidth;
  const int32_t height = h * twipsPerPixel_ + Form::kFrameHeight;
  if (width == form_.Width() && height == form_.Height()) return;
  ++updating_;
  form_.SetWidth(width);
  form_.SetHeight(height);
  --updating_;
  Form& form = form_;
  std::shared_ptr<bool> alive = alive_;
  if (form.Loaded()) {
    RaiseEvent(form.Resize);
    if (*alive) form.UserPaint();
  }
}

void FormView::UserMoved() {
  if (updating_ || !window_->isVisible()) return;
  ++updating_;
  form_.SetLeft(window_->x() * twipsPerPixel_);
  form_.SetTop(window_->y() * twipsPerPixel_);
  --updating_;
}

void FormView::Activated(bool active) {
  // Activate and Deactivate are the model's, raised as forms are shown and
  // closed; the window only gets its focus back.
  if (active) SyncFocus();
}

}  // namespace kelvarin::platform::qt
