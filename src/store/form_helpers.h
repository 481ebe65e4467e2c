// Small routines every dialog uses: centring on the screen, the sunken
// frame round a text box, and the read-only state of a text box.
#pragma once

#include "platform/model/controls.h"
#include "platform/model/form.h"

namespace kelvarin::store {

// left = (screen width - window width) / 2, top likewise.
void CenterForm(platform::Form& form);
// A sunken 3-D frame one pixel outside the box: dark grey above and left,
// white below and right. Called from Paint, once per framed box.
void Draw3DFrame(platform::Form& form, const platform::Control& box);
void SetTextReadOnly(platform::TextBox& box);

}  // namespace kelvarin::store
