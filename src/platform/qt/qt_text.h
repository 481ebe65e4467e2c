// Conversions at the GUI boundary: Windows-1252 text to and from QString,
// paths to and from QString,
// the classic colour values to QColor, control fonts to QFont, twips to
// pixels.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <cmath>
#include <string>
#include <string_view>

#include "platform/model/property.h"

namespace kelvarin::platform::qt {

// ToQ shows program text, paths in it included (platform/text/path_text.h).
QString ToQ(std::string_view ansi);
std::string FromQ(const QString& text);
// A path's file-system bytes to and from a QString, never through the
// program's code page: what a file dialog answers reaches the disk as picked.
QString PathToQ(std::string_view path);
std::string PathFromQ(const QString& path);
// Message texts break lines with a lone CR; Qt wants LF.
QString ToQMultiLine(std::string_view ansi);

// System colours (&H800000nn) come from the application's palette.
QColor ToQColor(Color color);

// The classic dialog fonts do not exist here: "MS Sans Serif" and friends
// become the desktop's sans font, the fixed-pitch ones a monospaced font.
QFont ToQFont(const ControlFont& font);
// The monospaced family used for reports and fixed-pitch control fonts.
QString FixedFamily();
// The size reports print in until the user chooses a font.
inline constexpr double kDefaultReportPointSize = 10;

// Windows of fixed size: a title and a close box, nothing to minimise or
// maximise.
inline constexpr Qt::WindowFlags kFixedDialogFlags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                                     Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
// Room a title bar takes besides its caption: the window menu, the close
// box and the frame's margins.
inline constexpr int kTitleBarAllowance = 96;

inline int TwipsToPixels(int32_t twips, int twipsPerPixel) {
  return static_cast<int>(std::lround(static_cast<double>(twips) / twipsPerPixel));
}

}  // namespace kelvarin::platform::qt
