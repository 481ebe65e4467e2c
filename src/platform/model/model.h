// Everything a program window needs: the form, every control kind and
// control arrays.
#pragma once

#include "platform/model/control.h"
#include "platform/model/control_array.h"
#include "platform/model/controls.h"
#include "platform/model/design_grid.h"
#include "platform/model/form.h"
#include "platform/model/grid.h"
#include "platform/model/lists.h"
#include "platform/model/menu.h"
#include "platform/model/property.h"
#include "platform/model/status_bar.h"
