// The program's window icon, drawn at the sizes title bars and task lists
// ask for: a card index box with a tab card standing up.
#pragma once

#include <QIcon>

namespace kelvarin::platform::qt {

QIcon ProgramIcon();

}  // namespace kelvarin::platform::qt
