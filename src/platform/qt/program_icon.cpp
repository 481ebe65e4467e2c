#include "platform/qt/program_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kelvarin::platform::qt {

namespace {

QPixmap DrawIcon(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 64.0, size / 64.0);
  const QPen outline(QColor(0x3a, 0x2a, 0x16), 2.5);
  // Cards behind, the front one with its tab raised.
  p.setPen(outline);
  p.setBrush(QColor(0xf4, 0xf1, 0xe6));
  p.drawRect(QRectF(12, 10, 40, 30));
  QPainterPath front;
  front.moveTo(8, 22);
  front.lineTo(24, 22);
  front.lineTo(27, 16);
  front.lineTo(38, 16);
  front.lineTo(41, 22);
  front.lineTo(56, 22);
  front.lineTo(56, 44);
  front.lineTo(8, 44);
  front.closeSubpath();
  p.setBrush(Qt::white);
  p.drawPath(front);
  p.setPen(QPen(QColor(0x2f, 0x6f, 0xb5), 2.5));
  for (int y : {29, 35}) p.drawLine(QLineF(14, y, 50, y));
  // The box.
  p.setPen(outline);
  p.setBrush(QColor(0xb0, 0x6a, 0x2c));
  p.drawRoundedRect(QRectF(4, 38, 56, 22), 3, 3);
  p.setBrush(QColor(0xe8, 0xd9, 0xb5));
  p.drawRoundedRect(QRectF(24, 45, 16, 7), 2, 2);
  return pixmap;
}

}  // namespace

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64}) icon.addPixmap(DrawIcon(size));
  return icon;
}

}  // namespace kelvarin::platform::qt
