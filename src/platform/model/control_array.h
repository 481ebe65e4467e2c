// Control arrays: element 0 exists from the start (it is designed); elements
// beyond 0 are created at run time by Load(i) as hidden copies of element 0
// as it stands (same container, geometry and properties, Visible false) and
// destroyed by Unload(i) or when the form unloads.
//
// Handlers of an array's events take the index; Wire installs them on every
// element, present and future:
//   txtFieldData.Wire([this](TextBox& t, int16_t i) {
//     t.KeyPress = [this, i](int16_t& k) { txtFieldData_KeyPress(i, k); };
//   });
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/model/form.h"

namespace kelvarin::platform {

class ControlArrayBase {
 public:
  ControlArrayBase(Container& parent, std::string name);
  virtual ~ControlArrayBase();
  ControlArrayBase(const ControlArrayBase&) = delete;
  ControlArrayBase& operator=(const ControlArrayBase&) = delete;

  const std::string& Name() const { return name_; }
  // The loaded elements in index order.
  virtual std::vector<Control*> Elements() const = 0;
  virtual Control* ElementAt(int16_t index) const = 0;
  // Number of loaded elements.
  virtual int16_t Count() const = 0;
  virtual int16_t UBound() const = 0;
  // Unloads every element beyond 0.
  virtual void UnloadRuntimeElements() = 0;
  // How often a missing element was asked for (see ControlArray::operator()).
  int MissingElementUses() const { return missingUses_; }

 protected:
  void Added(Control& c);
  void Removing(Control& c);
  Form& OwnerForm() const { return *form_; }
  Container& Parent() const { return *parent_; }
  int missingUses_ = 0;

 private:
  Form* form_;
  Container* parent_;
  std::string name_;
};

template <class T>
class ControlArray : public ControlArrayBase {
 public:
  using Wiring = std::function<void(T&, int16_t)>;

  ControlArray(Container& parent, std::string name) : ControlArrayBase(parent, name) {
    auto first = std::make_unique<T>(parent, name);
    first->SetIndex(0);
    byIndex_.push_back(first.get());
    elements_.emplace(0, std::move(first));
  }

  // The element; a missing one is a fault of the program: it is counted and
  // a detached stand-in (on no form's list, never shown) is returned so that
  // nothing outside the array is touched.
  T& operator()(int16_t index) {
    if (T* e = Find(index)) return *e;
    ++missingUses_;
    if (!standIn_) {
      standIn_ = std::make_unique<T>(Parent(), Name());
      standIn_->Detach();
      standIn_->Control::SetVisible(false);
    }
    return *standIn_;
  }
  T& operator[](int16_t index) { return (*this)(index); }

  bool IsLoaded(int16_t index) const { return Find(index) != nullptr; }
  T* Find(int16_t index) const {
    return index >= 0 && static_cast<size_t>(index) < byIndex_.size() ? byIndex_[static_cast<size_t>(index)]
                                                                       : nullptr;
  }

  // Creates element index (> 0) as a hidden copy of element 0 and wires it.
  // False when the index is not above 0 or already loaded.
  bool Load(int16_t index) {
    if (index <= 0 || IsLoaded(index)) return false;
    auto element = std::make_unique<T>(Parent(), Name());
    T& e = *element;
    e.SetIndex(index);
    e.CopyPropertiesFrom(*elements_.at(0));
    e.Control::SetVisible(false);
    elements_.emplace(index, std::move(element));
    if (byIndex_.size() <= static_cast<size_t>(index)) byIndex_.resize(static_cast<size_t>(index) + 1, nullptr);
    byIndex_[static_cast<size_t>(index)] = &e;
    if (wiring_) wiring_(e, index);
    Added(e);
    return true;
  }

  // Destroys element index (> 0); false when it is not loaded or is 0.
  bool Unload(int16_t index) {
    auto it = elements_.find(index);
    if (index <= 0 || it == elements_.end()) return false;
    Removing(*it->second);
    byIndex_[static_cast<size_t>(index)] = nullptr;
    elements_.erase(it);
    return true;
  }

  // Installs the handlers on every loaded element and on those loaded later.
  void Wire(Wiring wiring) {
    wiring_ = std::move(wiring);
    for (auto& [i, e] : elements_) wiring_(*e, i);
  }

  std::vector<Control*> Elements() const override {
    std::vector<Control*> out;
    for (auto& [i, e] : elements_) out.push_back(e.get());
    return out;
  }
  Control* ElementAt(int16_t index) const override { return Find(index); }
  int16_t Count() const override { return static_cast<int16_t>(elements_.size()); }
  int16_t UBound() const override { return elements_.rbegin()->first; }
  void UnloadRuntimeElements() override {
    while (elements_.size() > 1) Unload(elements_.rbegin()->first);
  }

 private:
  std::map<int16_t, std::unique_ptr<T>> elements_;
  // The loaded elements by index, for lookups at every step of a walk.
  std::vector<T*> byIndex_;
  std::unique_ptr<T> standIn_;
  Wiring wiring_;
};

}  // namespace kelvarin::platform
