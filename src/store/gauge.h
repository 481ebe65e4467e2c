// The progress gauge of long operations. The window is shown only when the
// total divided by 100, rounded to a whole number (GaugeStep), is at least 2;
// each StepGauge advances it by one and every GaugeStep steps lets pending
// window messages run and moves the bar. The Cancel button, when offered,
// sets a flag that StepGauge reports.
#pragma once

#include <memory>
#include <string>

#include "platform/host.h"
#include "platform/model/controls.h"
#include "platform/model/form.h"

namespace kelvarin::store {

class frmGauge : public platform::Form {
 public:
  explicit frmGauge(platform::Host& host);
  platform::Gauge gauProgress{*this, "gauProgress"};
  platform::CommandButton cmdCancel{*this, "cmdCancel"};
  bool cancelled = false;
};

class ProgressGauge {
 public:
  explicit ProgressGauge(platform::Host& host) : host_(host) {}
  ~ProgressGauge();

  void ShowGauge(float total, const std::string& caption, bool allowCancel);
  // True once the user has pressed Cancel.
  bool StepGauge();
  void CloseGauge();

  int64_t GaugeStep() const { return step_; }
  bool Shown() const { return form_ != nullptr; }
  frmGauge* Form() const { return form_.get(); }

 private:
  platform::Host& host_;
  std::unique_ptr<frmGauge> form_;
  int64_t step_ = 0;
  int64_t count_ = 0;
  double total_ = 0;
  bool cancelled_ = false;
};

}  // namespace kelvarin::store
