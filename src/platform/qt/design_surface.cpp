#include "platform/qt/design_surface.h"

#include <QPainter>
#include <QWidget>

#include "platform/model/design_grid.h"
#include "platform/qt/form_view.h"
#include "platform/qt/qt_text.h"

namespace kelvarin::platform::qt {

namespace {

// Cells one character by one line; the lines an entry takes tinted and
// closed by a red line, the rest on the form's grey; every tenth column (counted from column 1, as
// the grid is scrolled) drawn darker so that columns can be counted.
class DesignSurfaceWidget : public QWidget {
 public:
  DesignSurfaceWidget(QWidget* parent, DesignGrid& grid, FormView& form) : QWidget(parent), grid_(grid), form_(form) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    const int tpp = form_.TwipsPerPixel();
    const double cw = static_cast<double>(grid_.CellWidth()) / tpp;
    const double ch = static_cast<double>(grid_.CellHeight()) / tpp;
    if (cw < 1 || ch < 1) return;
    QPainter p(this);
    const int used = static_cast<int>(grid_.LinesInUse() * ch);
    p.fillRect(QRect(0, 0, width(), std::min(used, height())), QColor(236, 242, 250));
    const QColor fine(222, 222, 222), tenth(160, 160, 200);
    const int columns = static_cast<int>(width() / cw) + 1;
    for (int k = 0; k <= columns; ++k) {
      const int column = grid_.FirstColumn() + k;  // the column whose left edge this is
      const int x = static_cast<int>(k * cw);
      p.setPen((column - 1) % 10 == 0 ? tenth : fine);
      p.drawLine(x, 0, x, height());
    }
    const int lines = static_cast<int>(height() / ch) + 1;
    p.setPen(fine);
    for (int r = 0; r <= lines; ++r) {
      const int y = static_cast<int>(r * ch);
      p.drawLine(0, y, width(), y);
    }
    // The end of an entry's lines, over the grid.
    p.setPen(QPen(QColor(200, 0, 0), 2));
    p.drawLine(0, used, width(), used);
    // Column numbers at every tenth column, small, along the top edge.
    QFont f = font();
    f.setPixelSize(std::max(7, static_cast<int>(ch * 0.55)));
    p.setFont(f);
    p.setPen(QColor(120, 120, 170));
    for (int k = 0; k <= columns; ++k) {
      const int column = grid_.FirstColumn() + k;
      if (column % 10 != 0) continue;
      const int x = static_cast<int>((k + 1) * cw);
      p.drawText(QRect(x - 40, 0, 38, static_cast<int>(ch)), Qt::AlignRight | Qt::AlignTop,
                 QString::number(column));
    }
  }

 private:
  DesignGrid& grid_;
  FormView& form_;
};

class DesignSurfaceBinding : public Binding {
 public:
  DesignSurfaceBinding(FormView& f, DesignGrid& c, QWidget* parent) : Binding(f, c) {
    SetWidget(new DesignSurfaceWidget(parent, c, f));
    widget_->lower();
  }

 protected:
  void Sync(Property p) override {
    Binding::Sync(p);
    if (p == Property::Appearance || p == Property::Geometry) widget_->update();
  }
};

}  // namespace

std::unique_ptr<Binding> MakeDesignSurfaceBinding(FormView& form, DesignGrid& grid, QWidget* parent) {
  return std::make_unique<DesignSurfaceBinding>(form, grid, parent);
}

}  // namespace kelvarin::platform::qt
