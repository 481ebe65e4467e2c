// The mirror of one model control in Qt: a widget kept in step with the
// control through ControlView, and the widget's own signals turned into the
// control's User* entry points. Updates from the model run under a guard so
// that the signals they cause in the widget do not travel back.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "platform/model/property.h"

class QKeyEvent;

namespace kelvarin::platform {
class Control;
}

namespace kelvarin::platform::qt {

class FormView;

class Binding : public ControlView {
 public:
  Binding(FormView& form, Control& control);
  ~Binding() override;
  Binding(const Binding&) = delete;
  Binding& operator=(const Binding&) = delete;

  Control& Model() const { return control_; }
  FormView& Owner() const { return form_; }
  // Null for controls without a widget (timers).
  QWidget* Widget() const { return widget_; }
  // Where the widgets of controls inside this one go.
  virtual QWidget* ContentWidget() const { return widget_; }

  void PropertyChanged(Control& control, Property property) override;
  // Brings every property of the widget in step with the model.
  void SyncAll();
  // Once every control of the form has its widget (and after a control is
  // added): links between widgets.
  virtual void Settle() {}
  bool Updating() const { return updating_ > 0; }

  // After the model let a key go on (KeyDown unused and no character
  // delivered): whether the widget may handle the key itself.
  virtual bool WidgetTakesKey(const QKeyEvent& event);
  // A key the model has no notion of (copy, paste...): true when handled.
  virtual bool SpecialKey(const QKeyEvent& /*event*/) { return false; }
  // A character the form's and the control's KeyPress handlers let through,
  // for widgets whose editing the model does not do (editable combo boxes);
  // false when the model's own Form::UserKeyPress is to deliver it.
  virtual bool OwnsCharacters() const { return false; }
  virtual void InsertCharacter(char /*ch*/) {}

  // Maps a point of the widget to twips relative to the control.
  int32_t XTwips(int x) const;
  int32_t YTwips(int y) const;

 protected:
  // Sets the widget: marks it as this control's and parents it.
  void SetWidget(QWidget* widget);
  virtual void Sync(Property property);
  void SyncGeometry();
  void SyncColors();
  int Px(int32_t twips) const;
  // Runs a User* call for the widget, then shows the model's state again
  // (the model may have refused or changed what the widget did), unless the
  // call ended this binding.
  void Resync(const std::function<void()>& userAction, Property property);

  class Guard {
   public:
    explicit Guard(Binding& b) : b_(b) { ++b_.updating_; }
    ~Guard() { --b_.updating_; }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

   private:
    Binding& b_;
  };

  FormView& form_;
  Control& control_;
  QPointer<QWidget> widget_;
  // The receiving context of the widget's connections: they end with the
  // binding even while the widget waits for its deferred deletion.
  QObject context_;
  // False once the binding is gone; held by code that runs a handler.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

 private:
  int updating_ = 0;
};

// The binding of a control, by its kind; parent is the container's widget.
std::unique_ptr<Binding> MakeBinding(FormView& form, Control& control, QWidget* parent);

// The binding a widget (or a widget inside it) belongs to; null if none.
Binding* BindingOf(QObject* object);

}  // namespace kelvarin::platform::qt
