#include "reports/runs/run_gauge.h"

#include <algorithm>
#include <cmath>

namespace kelvarin::reports {

frmGauge::frmGauge(platform::Host& host) : Form(host, "frmGauge") {
  SetBorderStyle(platform::FormBorder::FixedDialog);
  SetScaleWidth(4800);
  SetScaleHeight(1500);
  lblCaption.Move(240, 120, 4320, 285);
  gauProgress.Move(240, 480, 4320, 330);
  cmdCancel.SetCaption("&Cancel");
  cmdCancel.SetCancel(true);
  cmdCancel.Move(1860, 960, 1080, 390);
  cmdCancel.Click = [this] { Cancelled = true; };
}

RunGauge::RunGauge(platform::Host& host) : host_(host) {}

RunGauge::~RunGauge() { CloseGauge(); }

void RunGauge::ShowGauge(float total, const std::string& caption, bool offerCancel) {
  CloseGauge();
  cancelled_ = false;
  total_ = total;
  done_ = 0;
  count_ = 0;
  step_ = std::isfinite(total) ? static_cast<int64_t>(std::nearbyint(total / 100.0)) : 0;
  if (step_ < 2) return;
  form_ = std::make_unique<frmGauge>(host_);
  form_->SetCaption(caption);
  form_->lblCaption.SetCaption(caption);
  form_->gauProgress.SetMin(0);
  form_->gauProgress.SetMax(100);
  form_->gauProgress.SetValue(0);
  form_->cmdCancel.SetEnabled(offerCancel);
  form_->Show(platform::ShowMode::Modeless);
  shown_ = true;
}

bool RunGauge::StepGauge() {
  if (!shown_) return cancelled_;
  ++done_;
  if (++count_ >= step_) {
    count_ = 0;
    host_.DoEvents();
    if (form_) {
      if (form_->Cancelled) cancelled_ = true;
      int32_t percent = static_cast<int32_t>(std::min<double>(100.0, 100.0 * static_cast<double>(done_) / total_));
      form_->gauProgress.SetValue(percent);
    }
  }
  return cancelled_;
}

void RunGauge::CloseGauge() {
  if (!form_) {
    shown_ = false;
    return;
  }
  if (form_->Loaded()) form_->UnloadForm();
  form_.reset();
  shown_ = false;
}

void RunGauge::MousePointerHourglass() { host_.SetMousePointerShape(platform::kPointerHourglass); }

void RunGauge::MousePointerDefault() { host_.SetMousePointerShape(platform::kPointerDefault); }

}  // namespace kelvarin::reports
