// The report layout designer: lays out the store's EditLayout and
// EditLayoutHeader on a character grid (one cell = AvgCharWidth by
// CharHeight twips at the top of the dialog). Every change goes straight
// into the edit layout; the dialog reads and writes no file. OK leaves
// DialogResult 0, Cancel (and the close box) -1; the caller writes the
// format only after OK.
//
// Field label i (0..20 the field slots, 21 "Entry #") stands at
//   Left = (Column - 1 + ScrollOffset) * AvgCharWidth, Top = (Line - 1) * CharHeight
// and is shown only while the column is placed (Line >= 1). A label's
// place is where its field is: the column and line shown and stored are
// read back from it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/model/model.h"
#include "store/store.h"

namespace kelvarin::reports {

class frmRptSetup : public platform::Form {
 public:
  frmRptSetup(platform::Host& host, store::Store& store);

  // Declared first: the grid lies under the labels placed on it.
  platform::DesignGrid grdDesign{*this, "grdDesign"};
  platform::ControlArray<platform::Label> lblField{*this, "lblField"};
  platform::Line linRptEnd{*this, "linRptEnd"};

  platform::Label lblName{*this, "lblName"};
  platform::ComboBox cboFieldName{*this, "cboFieldName"};
  platform::Label lblNumLines{*this, "lblNumLines"};
  platform::Panel3D panNumLines{*this, "panNumLines"};
  platform::SpinButton Spin1{*this, "Spin1"};
  platform::Label lblWidth{*this, "lblWidth"};
  platform::Panel3D panFieldLength{*this, "panFieldLength"};
  platform::SpinButton Spin2{*this, "Spin2"};
  platform::Label lblCol{*this, "lblCol"};
  platform::Label lblXCoord{*this, "lblXCoord"};
  platform::Label lblRow{*this, "lblRow"};
  platform::Label lblYCoord{*this, "lblYCoord"};
  platform::CommandButton cmdUp{*this, "cmdUp"};
  platform::CommandButton cmdDown{*this, "cmdDown"};
  platform::CommandButton cmdLeft{*this, "cmdLeft"};
  platform::CommandButton cmdRight{*this, "cmdRight"};
  platform::Label lblScroll{*this, "lblScroll"};
  platform::CommandButton cmdScrLeft{*this, "cmdScrLeft"};
  platform::CommandButton cmdScrRight{*this, "cmdScrRight"};
  platform::CommandButton cmdRemove{*this, "cmdRemove"};
  platform::CheckBox chkTitles{*this, "chkTitles"};
  platform::CommandButton cmdOK{*this, "cmdOK"};
  platform::CommandButton cmdCancel{*this, "cmdCancel"};

  int16_t SelectedField() const { return selectedField_; }
  int16_t ScrollOffset() const { return scrollOffset_; }
  // Whether (x, y), twips in the client area, lies in the design area:
  // below the top edge's 50 twips and above the last-line marker.
  bool IsInLayoutArea(int32_t x, int32_t y) const;
  // Whether column i, put at (column, line), would touch another placed
  // column on that line (each value's range, widened by the title while
  // titles are on, taken as closed).
  bool FieldOverlaps(int16_t i, int32_t column, int32_t line) const;

 private:
  void Form_Load();
  void Form_MouseDown(int16_t Button, int32_t X, int32_t Y);
  void Form_MouseMove(int32_t X, int32_t Y);
  void cboFieldName_Click();
  void lblField_MouseDown(int16_t Index, int16_t Button);
  void lblField_MouseMove(int16_t Index);
  void cmdUp_Click() { MoveSelected(0, -1); }
  void cmdDown_Click() { MoveSelected(0, 1); }
  void cmdLeft_Click() { MoveSelected(-1, 0); }
  void cmdRight_Click() { MoveSelected(1, 0); }
  void Spin1_SpinUp();
  void Spin1_SpinDown();
  void Spin2_SpinUp();
  void Spin2_SpinDown();
  void cmdScrLeft_Click();
  void cmdScrRight_Click();
  void chkTitles_Click(int16_t Value);
  void cmdRemove_Click();
  void cmdOK_Click();
  void cmdCancel_Click();

  void MoveSelected(int dx, int dy);
  void PositionFieldLabel(int16_t i, int32_t x, int32_t y, bool highlight);
  void RedrawFieldLabels(bool showPlaced);
  // A redraw outside loading: every label, then the combo's field selected.
  void Redraw();
  void FillFieldCombo();
  void SelectFieldLabel(int16_t i);
  void DeselectFieldLabel(int16_t i);
  void ShowNumLines(int16_t n);
  void UpdateFieldCoords();
  void SetLabelWidth(int16_t i);
  // The label's cell: column as the user counts it, line 1-based.
  int32_t LabelColumn(int16_t i);
  int32_t LabelLine(int16_t i);
  // The widest value column i may take.
  int16_t MaxWidth(int16_t i) const;
  std::string FieldCaption(int16_t i) const;

  store::Store& store_;
  int16_t selectedField_ = 0;
  int16_t scrollOffset_ = 0;
};

}  // namespace kelvarin::reports
