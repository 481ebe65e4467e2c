#include "platform/model/control_array.h"

namespace kelvarin::platform {

ControlArrayBase::ControlArrayBase(Container& parent, std::string name)
    : form_(&parent.OwnerForm()), parent_(&parent), name_(std::move(name)) {
  form_->RegisterArray(this);
}

ControlArrayBase::~ControlArrayBase() { form_->UnregisterArray(this); }

void ControlArrayBase::Added(Control& c) {
  // Told only now: during construction the element was not yet complete.
  if (form_->View()) form_->View()->ControlAdded(*form_, c);
}

void ControlArrayBase::Removing(Control& c) { form_->Unregister(&c); }

}  // namespace kelvarin::platform
