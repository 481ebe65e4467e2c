#include "store/gauge.h"

#include <cmath>

#include "store/form_helpers.h"

namespace kelvarin::store {

frmGauge::frmGauge(platform::Host& host) : Form(host, "frmGauge") {
  SetBorderStyle(platform::FormBorder::FixedDialog);
  SetScaleWidth(4800);
  SetScaleHeight(1320);
  gauProgress.Move(240, 240, 4320, 375);
  cmdCancel.Move(1800, 780, 1215, 375);
  cmdCancel.SetCaption("Cancel");
  cmdCancel.SetCancel(true);
  Load = [this] { CenterForm(*this); };
  cmdCancel.Click = [this] { cancelled = true; };
  // The window stays until the operation closes it; its close box stands
  // for Cancel when Cancel is offered.
  QueryUnload = [this](int16_t& cancel, int16_t mode) {
    if (mode != platform::kUnloadByUser) return;
    cancel = 1;
    if (cmdCancel.Enabled()) cancelled = true;
  };
}

ProgressGauge::~ProgressGauge() { CloseGauge(); }

void ProgressGauge::ShowGauge(float total, const std::string& caption, bool allowCancel) {
  CloseGauge();
  cancelled_ = false;
  count_ = 0;
  total_ = total;
  double step = std::nearbyint(static_cast<double>(total) / 100.0);
  step_ = std::isfinite(step) && step > 0 ? static_cast<int64_t>(std::min(step, 1e15)) : 0;
  if (step_ < 2) return;
  form_ = std::make_unique<frmGauge>(host_);
  form_->SetCaption(caption);
  form_->cmdCancel.SetEnabled(allowCancel);
  form_->gauProgress.SetMax(100);
  form_->gauProgress.SetValue(0);
  form_->Show(platform::ShowMode::Modeless);
}

bool ProgressGauge::StepGauge() {
  if (form_) {
    ++count_;
    if (count_ % step_ == 0) {
      host_.DoEvents();
      if (form_) {
        if (form_->cancelled) cancelled_ = true;
        double percent = total_ > 0 ? 100.0 * static_cast<double>(count_) / total_ : 100.0;
        form_->gauProgress.SetValue(static_cast<int32_t>(std::min(100.0, percent)));
      }
    }
  }
  return cancelled_;
}

void ProgressGauge::CloseGauge() {
  if (!form_) return;
  form_->UnloadForm();
  form_.reset();
}

}  // namespace kelvarin::store
