// Controls that show a list of items: the combo box, the list box and the
// file list. Items carry a 32-bit item datum; ListIndex is -1 when nothing is
// selected. Setting ListIndex, also from code, raises Click when it changes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/model/control.h"

namespace kelvarin::platform {

class ListControl : public Control {
 public:
  ListControl(Container& parent, ControlKind kind, std::string name);
  bool CanHaveFocus() const override { return true; }

  // Adds at the end (index < 0) or before index; NewIndex tells where.
  void AddItem(const std::string& text, int32_t index = -1);
  // Out-of-range indexes are ignored; the selection follows its item and
  // becomes -1 when its item is removed.
  void RemoveItem(int32_t index);
  void Clear();
  int32_t ListCount() const { return static_cast<int32_t>(items_.size()); }
  int32_t NewIndex() const { return newIndex_; }
  // The item's text; "" outside the list.
  std::string List(int32_t index) const;
  void SetList(int32_t index, const std::string& text);
  // 0 outside the list.
  int32_t ItemData(int32_t index) const;
  void SetItemData(int32_t index, int32_t data);
  int32_t ListIndex() const { return listIndex_; }
  // Values outside -1..ListCount-1 are ignored (returns false).
  bool SetListIndex(int32_t index);
  // The selected item's text ("" when none is selected).
  virtual std::string Text() const { return List(listIndex_); }

  std::function<void()> Click;
  std::function<void()> DblClick;
  // The user picks an item (takes the focus first).
  void UserSelect(int32_t index);
  void UserDoubleClick(int32_t index);
  // Up and Down move the selection.
  void DefaultKeyDown(int16_t keyCode, int16_t shift) override;
  void CopyPropertiesFrom(const Control& other) override;

 protected:
  struct Item {
    std::string text;
    int32_t data = 0;
  };
  std::vector<Item> items_;
  int32_t listIndex_ = -1;
  int32_t newIndex_ = -1;
};

// Style 0: a drop-down combo whose text can be typed; style 2: a drop-down
// list whose text is always the selected item's.
class ComboBox : public ListControl {
 public:
  enum Style : int16_t { kDropDownCombo = 0, kSimpleCombo = 1, kDropDownList = 2 };
  ComboBox(Container& parent, std::string name);
  int16_t ComboStyle() const { return style_; }
  void SetComboStyle(int16_t s);
  std::string Text() const override;
  // For an editable combo: sets the edit text (Change). For a drop-down
  // list: selects the item with that exact text, if any.
  void SetText(const std::string& t);
  std::function<void()> Change;
  // The user types into an editable combo.
  void UserSetText(const std::string& t);
  void CopyPropertiesFrom(const Control& other) override;

 private:
  int16_t style_ = kDropDownList;
  std::string editText_;
};

class ListBox : public ListControl {
 public:
  ListBox(Container& parent, std::string name);
  // Tab stops for tab characters in items, in dialog units.
  const std::vector<int32_t>& TabStops() const { return tabStops_; }
  void SetTabStops(std::vector<int32_t> stops);
  void CopyPropertiesFrom(const Control& other) override;

 private:
  std::vector<int32_t> tabStops_;
};

// Lists the names of the files in Path that match Pattern ("*.fmt", several
// patterns separated by ";"; matching ignores case), sorted without regard
// to case. An unreadable directory lists nothing. Path and the items are
// the file system's bytes, not program text: a host shows them as paths.
class FileList : public ListControl {
 public:
  FileList(Container& parent, std::string name);
  const std::string& Path() const { return path_; }
  void SetPath(const std::string& p);  // re-reads
  const std::string& Pattern() const { return pattern_; }
  void SetPattern(const std::string& p);  // re-reads
  // Reads the directory again; the selection is lost.
  void Refresh();
  // The selected file's name ("" when none).
  std::string FileName() const { return Text(); }
  void CopyPropertiesFrom(const Control& other) override;

 private:
  std::string path_;
  std::string pattern_ = "*.*";
};

// Lists the subdirectories of Path (full paths, sorted without regard to
// case). Opening one (or the parent) changes Path and raises Change.
class DirList : public ListControl {
 public:
  DirList(Container& parent, std::string name);
  const std::string& Path() const { return path_; }
  // Re-reads; raises Change when the path differs.
  void SetPath(const std::string& p);
  void Refresh();
  std::function<void()> Change;
  // The user opens a listed directory (double click) or the parent one.
  void UserOpen(int32_t index);
  void UserOpenParent();
  void CopyPropertiesFrom(const Control& other) override;

 private:
  std::string path_;
};

// Whether name matches a pattern of "*" and "?" (case ignored); "*.*"
// matches every name, also one without a dot.
bool MatchesFilePattern(const std::string& name, const std::string& pattern);

}  // namespace kelvarin::platform
