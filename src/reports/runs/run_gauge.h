// The progress gauge, the hourglass and the disabled main window around a
// walk over the entries.
//
// The gauge window is shown only when the total is large enough for the bar
// to move (a step of at least 2 entries per percent); StepGauge then yields
// to the message loop once per step so that the Cancel button is heard, and
// reports the cancel from then on.
//
// This is the runs' own copy until the catalog store offers the shared
// gauge; the interface is the one the store will offer, so only this file
// changes then.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/host.h"
#include "platform/model/model.h"

namespace kelvarin::reports {

class frmGauge : public platform::Form {
 public:
  explicit frmGauge(platform::Host& host);

  platform::Label lblCaption{*this, "lblCaption"};
  platform::Gauge gauProgress{*this, "gauProgress"};
  platform::CommandButton cmdCancel{*this, "cmdCancel"};

  bool Cancelled = false;
};

class RunGauge {
 public:
  explicit RunGauge(platform::Host& host);
  ~RunGauge();
  RunGauge(const RunGauge&) = delete;
  RunGauge& operator=(const RunGauge&) = delete;

  void ShowGauge(float total, const std::string& caption, bool offerCancel);
  // True once the user has pressed Cancel.
  bool StepGauge();
  void CloseGauge();
  bool Shown() const { return shown_; }

  void MousePointerHourglass();
  void MousePointerDefault();

 private:
  platform::Host& host_;
  std::unique_ptr<frmGauge> form_;
  bool shown_ = false;
  bool cancelled_ = false;
  int64_t step_ = 0;   // entries per percent
  int64_t count_ = 0;  // steps since the bar last moved
  int64_t done_ = 0;
  float total_ = 0;
};

}  // namespace kelvarin::reports
