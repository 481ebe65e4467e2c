#include <gtest/gtest.h>

#include <vector>

#include "platform/model/model.h"
#include "platform/scripted/scripted_host.h"

namespace kelvarin::platform {
namespace {

class frmGrid : public Form {
 public:
  explicit frmGrid(Host& host) : Form(host, "frmGrid") {}
  DesignGrid grid{*this, "grid"};
  Label label{*this, "label"};
};

struct Recorder : ControlView {
  std::vector<Property> seen;
  void PropertyChanged(Control&, Property p) override { seen.push_back(p); }
};

TEST(ModelDesignGrid, ChangesAreToldOnceAndSizesNeverGoNegative) {
  ScriptedHost host;
  frmGrid form(host);
  Recorder view;
  form.grid.SetView(&view);
  EXPECT_EQ(form.grid.Kind(), ControlKind::DesignGrid);
  EXPECT_FALSE(form.grid.TabStop());

  form.grid.SetCellSize(90, 195);
  form.grid.SetCellSize(90, 195);
  form.grid.SetFirstColumn(1);  // as it was
  form.grid.SetFirstColumn(11);
  form.grid.SetLinesInUse(3);
  form.grid.SetLinesInUse(3);
  EXPECT_EQ(view.seen, (std::vector<Property>{Property::Appearance, Property::Appearance, Property::Appearance}));

  form.grid.SetCellSize(-5, -1);
  form.grid.SetLinesInUse(-2);
  EXPECT_EQ(form.grid.CellWidth(), 0);
  EXPECT_EQ(form.grid.CellHeight(), 0);
  EXPECT_EQ(form.grid.LinesInUse(), 0);
  form.grid.SetView(nullptr);
}

TEST(ModelDesignGrid, ColumnsCountFromTheFirstShown) {
  ScriptedHost host;
  frmGrid form(host);
  form.grid.SetCellSize(90, 195);
  form.grid.SetFirstColumn(11);
  EXPECT_EQ(form.grid.ColumnLeft(11), 0);
  EXPECT_EQ(form.grid.ColumnLeft(15), 4 * 90);
  EXPECT_EQ(form.grid.ColumnLeft(1), -10 * 90);

  frmGrid other(host);
  other.grid.CopyPropertiesFrom(form.grid);
  EXPECT_EQ(other.grid.CellWidth(), 90);
  EXPECT_EQ(other.grid.CellHeight(), 195);
  EXPECT_EQ(other.grid.FirstColumn(), 11);
}

// The grid is a background: the form under it hears the clicks.
TEST(ModelDesignGrid, ClicksOnTheGridAreTheForms) {
  ScriptedHost host;
  frmGrid form(host);
  form.grid.Move(0, 0, 9000, 4000);
  int formDowns = 0;
  form.MouseDown = [&](int16_t, int16_t, int32_t, int32_t) { ++formDowns; };
  form.Show();
  form.UserMouseDown(kLeftButton, 0, 100, 100);
  EXPECT_EQ(formDowns, 1);
  EXPECT_FALSE(form.grid.CanHaveFocus());
}

}  // namespace
}  // namespace kelvarin::platform
