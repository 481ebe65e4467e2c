#include "platform/qt/qt_text.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QPalette>

#include "platform/text/codepage.h"
#include "platform/text/path_text.h"

namespace kelvarin::platform::qt {

QString ToQ(std::string_view ansi) { return QString::fromStdString(TextToUtf8(ansi)); }

std::string FromQ(const QString& text) { return Utf8ToAnsi(text.toStdString()); }

QString PathToQ(std::string_view path) {
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string PathFromQ(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString ToQMultiLine(std::string_view ansi) {
  QString s = ToQ(ansi);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return s;
}

QColor ToQColor(Color color) {
  if ((color & 0x80000000u) == 0)
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
  const QPalette pal = QApplication::palette();
  switch (color & 0xFF) {
    case 0x05: return pal.color(QPalette::Base);             // window
    case 0x08: return pal.color(QPalette::Text);             // window text
    case 0x0D: return pal.color(QPalette::Highlight);
    case 0x0E: return pal.color(QPalette::HighlightedText);
    case 0x0F: return pal.color(QPalette::Button);           // button face
    case 0x10: return pal.color(QPalette::Dark);             // button shadow
    case 0x11: return pal.color(QPalette::PlaceholderText);  // grey text
    case 0x12: return pal.color(QPalette::ButtonText);
    case 0x14: return pal.color(QPalette::Light);            // button highlight
    case 0x01: return pal.color(QPalette::Window);           // desktop
    case 0x04: return pal.color(QPalette::Window);           // menu
    case 0x07: return pal.color(QPalette::WindowText);       // menu text
    case 0x09: return pal.color(QPalette::WindowText);       // caption text
    case 0x0C: return pal.color(QPalette::Window);           // application workspace
    case 0x17: return pal.color(QPalette::ToolTipText);
    case 0x18: return pal.color(QPalette::ToolTipBase);
    default: return pal.color(QPalette::Window);
  }
}

QString FixedFamily() {
  static const QString family = [] {
    if (QFontDatabase::hasFamily(QStringLiteral("DejaVu Sans Mono"))) return QStringLiteral("DejaVu Sans Mono");
    return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
  }();
  return family;
}

QFont ToQFont(const ControlFont& font) {
  QFont f = QApplication::font();
  const QString name = QString::fromStdString(font.name).toLower();
  if (name == "courier new" || name == "courier" || name == "fixedsys" || name == "terminal" ||
      name == "lucida console") {
    f.setFamily(FixedFamily());
  } else if (!name.isEmpty() && name != "ms sans serif" && name != "ms shell dlg" && name != "system" &&
             name != "arial" && name != "helv" && QFontDatabase::hasFamily(QString::fromStdString(font.name))) {
    f.setFamily(QString::fromStdString(font.name));
  }
  if (font.size > 0) f.setPointSizeF(font.size);
  f.setBold(font.bold);
  f.setItalic(font.italic);
  f.setUnderline(font.underline);
  return f;
}

}  // namespace kelvarin::platform::qt
