// The Qt window of one model form: a top-level widget holding the menu bar
// and a client surface on which the controls' widgets sit at their model
// geometry. FormView is the form's ControlView: it follows the form's own
// properties, creates and drops the bindings of controls loaded and
// unloaded at run time, mirrors the menus and moves the Qt focus to the
// model's active control.
#pragma once

#include <QMenuBar>
#include <QPointer>
#include <QWidget>
#include <map>
#include <memory>
#include <vector>

#include "platform/model/property.h"

class QMenu;

class QAction;

namespace kelvarin::platform {
class Form;
class MenuItem;
}  // namespace kelvarin::platform

namespace kelvarin::platform::qt {

class Binding;
class FormView;
class QtHost;

// The top-level window; its close box asks the model to unload the form.
class FormWindow : public QWidget {
 public:
  FormWindow(FormView& view, QWidget* parent, Qt::WindowFlags flags);
  FormView* View() const { return view_; }
  void Detach() { view_ = nullptr; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  FormView* view_;
};

class FormView : public ControlView {
 public:
  FormView(QtHost& host, Form& form, QWidget* owner);
  ~FormView() override;
  FormView(const FormView&) = delete;
  FormView& operator=(const FormView&) = delete;

  Form& Model() const { return form_; }
  QtHost& Host() const { return host_; }
  FormWindow* Window() const { return window_; }
  // The client area: where the form's own controls sit.
  QWidget* Surface() const { return surface_; }
  QMenuBar* MenuBar() const { return menuBar_; }
  int TwipsPerPixel() const { return twipsPerPixel_; }

  Binding* BindingFor(const Control* control) const;
  // The menu item's action (a sub-menu's action for an item with items).
  QAction* ActionFor(const MenuItem* item) const;

  // The form object is being destroyed: forget the controls and menu items
  // without touching them.
  void Abandon();

  void Show(bool modal);
  void Hide();
  // Paints the window at once (not at the event loop's next turn).
  void PaintNow();
  // The model's focus, given to the widget of the active control.
  void SyncFocus();

  void PropertyChanged(Control& control, Property property) override;
  void ControlAdded(Form& form, Control& control) override;
  void ControlRemoving(Form& form, Control& control) override;

  // From the window.
  void UserClosed();
  void UserResized();
  void UserMoved();
  void Activated(bool active);
  // True while the model's state is being copied into widgets: focus moves
  // that Qt makes on its own meanwhile are not the user's.
  bool Updating() const { return updating_ > 0; }
  void BeginSync() { ++updating_; }
  void EndSync() { --updating_; }

 private:
  class MenuView;
  friend class MenuView;
  void Bind(Control& control);
  void BuildMenus();
  void DetachMenuViews();
  // Whether the item is still in the form's menus (not destroyed).
  bool InMenuTree(const MenuItem* item) const;
  void Settle();
  void AddMenuItem(MenuItem& item, QMenu* into);
  void SyncGeometry();
  void SyncColors();
  void SyncTitle();
  int MenuHeight() const;

  QtHost& host_;
  Form& form_;
  QPointer<FormWindow> window_;
  // Children of the window: they go when it goes (an owner window's end).
  QPointer<QWidget> surface_;
  QPointer<QMenuBar> menuBar_;
  std::unique_ptr<Binding> surfaceBinding_;
  std::map<const Control*, std::unique_ptr<Binding>> bindings_;
  std::map<const MenuItem*, std::unique_ptr<MenuView>> menus_;
  static constexpr int kExposeWaitMs = 500;
  int twipsPerPixel_ = 15;
  int updating_ = 0;
  // False once the view is gone; held by code that runs a handler.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace kelvarin::platform::qt
