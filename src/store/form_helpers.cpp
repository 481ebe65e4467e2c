#include "store/form_helpers.h"

#include "platform/host.h"

namespace kelvarin::store {

namespace {
constexpr platform::Color kDarkGrey = 0x808080;
}

void CenterForm(platform::Form& form) {
  platform::ScreenInfo screen = form.GetHost().Screen();
  form.SetLeft((screen.widthTwips - form.Width()) / 2);
  form.SetTop((screen.heightTwips - form.Height()) / 2);
}

void Draw3DFrame(platform::Form& form, const platform::Control& box) {
  platform::ScreenInfo screen = form.GetHost().Screen();
  const int32_t px = screen.twipsPerPixelX;
  const int32_t py = screen.twipsPerPixelY;
  const int32_t left = box.Left() - px;
  const int32_t top = box.Top() - py;
  const int32_t right = box.Left() + box.Width();
  const int32_t bottom = box.Top() + box.Height();
  form.DrawLine(left, top, right, top, kDarkGrey);
  form.DrawLine(left, top, left, bottom, kDarkGrey);
  form.DrawLine(left, bottom, right + px, bottom, platform::kWhite);
  form.DrawLine(right, top, right, bottom, platform::kWhite);
}

void SetTextReadOnly(platform::TextBox& box) { box.SetReadOnly(true); }

}  // namespace kelvarin::store
