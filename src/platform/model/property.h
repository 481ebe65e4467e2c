// Vocabulary shared by the form model and the hosts that mirror it: what kind
// a control is, which of its properties changed, the observer a host hangs on
// a control, colours, fonts and the key codes the forms test.
#pragma once

#include <cstdint>
#include <string>

namespace kelvarin::platform {

class Control;
class Form;

enum class ControlKind {
  Form,
  Label,
  TextBox,
  CommandButton,
  CheckBox,
  OptionButton,
  Frame,
  ComboBox,
  ListBox,
  FileList,
  Grid,
  StatusBar,
  MenuItem,
  HScrollBar,
  VScrollBar,
  SpinButton,
  Shape,
  Line,
  PictureBox,
  Timer,
  Gauge,
  Panel3D,
  DirList,
  DesignGrid,
};

// What a host has to refresh after a change. Several setters share one value
// (Geometry covers Left, Top, Width and Height) because a host re-reads the
// whole group anyway.
enum class Property {
  Caption,
  Text,
  Value,  // check box, option, scroll bar, gauge
  Visible,
  Enabled,
  Geometry,
  ForeColor,
  BackColor,
  Font,
  Tag,
  TabOrder,  // TabIndex or TabStop
  ReadOnly,
  MaxLength,
  Selection,  // a text box's SelStart / SelLength, a grid's selected range
  Items,      // list contents, a file list's path or pattern, status-bar panels
  ListIndex,
  Checked,    // menu item
  Buttons,    // Default / Cancel of a command button
  Range,      // Min, Max, SmallChange, LargeChange
  GridShape,  // rows, columns, fixed rows and columns, row heights, column widths
  Cells,      // some cell text changed
  CurrentCell,
  Scroll,     // a grid's TopRow / LeftCol
  Picture,
  Appearance,  // shape kind, border and fill, line ends, alignment, border style
  Drawing,     // a form's drawn lines were replaced
  MousePointer,
  KeyPreview,
  Interval,
  Focus,  // sent to a form when its active control changed
};

// A host's mirror of one control (or form). The model calls it after every
// change; a form's view also hears of controls loaded and unloaded at run
// time (control-array elements) and of the form's own destruction.
class ControlView {
 public:
  virtual ~ControlView() = default;
  virtual void PropertyChanged(Control& control, Property property) = 0;
  virtual void ControlAdded(Form& /*form*/, Control& /*control*/) {}
  virtual void ControlRemoving(Form& /*form*/, Control& /*control*/) {}
};

// Colours are the classic 32-bit values: &H00BBGGRR for a plain colour,
// &H800000nn for the system colour nn.
using Color = uint32_t;
inline constexpr Color kBlack = 0x000000;
inline constexpr Color kWhite = 0xFFFFFF;
inline constexpr Color kRed = 0x0000FF;
inline constexpr Color kLightGrey = 0xC0C0C0;
inline constexpr Color kSysWindowText = 0x80000008;
inline constexpr Color kSysWindow = 0x80000005;
inline constexpr Color kSysButtonFace = 0x8000000F;
inline constexpr Color kSysButtonText = 0x80000012;

struct ControlFont {
  std::string name = "MS Sans Serif";
  double size = 8.25;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  friend bool operator==(const ControlFont&, const ControlFont&) = default;
};

// Key codes of KeyDown / KeyUp (the virtual-key numbers).
namespace key {
inline constexpr int16_t kBack = 8;
inline constexpr int16_t kTab = 9;
inline constexpr int16_t kReturn = 13;
inline constexpr int16_t kShift = 16;
inline constexpr int16_t kControl = 17;
inline constexpr int16_t kMenu = 18;
inline constexpr int16_t kEscape = 27;
inline constexpr int16_t kSpace = 32;
inline constexpr int16_t kPageUp = 33;
inline constexpr int16_t kPageDown = 34;
inline constexpr int16_t kEnd = 35;
inline constexpr int16_t kHome = 36;
inline constexpr int16_t kLeft = 37;
inline constexpr int16_t kUp = 38;
inline constexpr int16_t kRight = 39;
inline constexpr int16_t kDown = 40;
inline constexpr int16_t kDelete = 46;
inline constexpr int16_t kF1 = 112;
}  // namespace key

// Shift-state bits of key and mouse events.
inline constexpr int16_t kShiftMask = 1;
inline constexpr int16_t kCtrlMask = 2;
inline constexpr int16_t kAltMask = 4;

// Mouse buttons of mouse events.
inline constexpr int16_t kLeftButton = 1;
inline constexpr int16_t kRightButton = 2;
inline constexpr int16_t kMiddleButton = 4;

// How a form is being closed, as QueryUnload reports it.
enum UnloadMode : int16_t { kUnloadByUser = 0, kUnloadByCode = 1, kUnloadByProgramEnd = 3 };

}  // namespace kelvarin::platform
