#include "platform/model/lists.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace kelvarin::platform {

ListControl::ListControl(Container& parent, ControlKind kind, std::string name) : Control(parent, kind, std::move(name)) {}

void ListControl::AddItem(const std::string& text, int32_t index) {
  if (index < 0 || index > ListCount()) index = ListCount();
  items_.insert(items_.begin() + index, Item{text, 0});
  newIndex_ = index;
  if (listIndex_ >= index) ++listIndex_;
  Notify(Property::Items);
}

void ListControl::RemoveItem(int32_t index) {
  if (index < 0 || index >= ListCount()) return;
  items_.erase(items_.begin() + index);
  Notify(Property::Items);
  if (listIndex_ == index) {
    listIndex_ = -1;
    Notify(Property::ListIndex);
  } else if (listIndex_ > index) {
    --listIndex_;
  }
}

void ListControl::Clear() {
  items_.clear();
  newIndex_ = -1;
  Notify(Property::Items);
  if (listIndex_ != -1) {
    listIndex_ = -1;
    Notify(Property::ListIndex);
  }
}

std::string ListControl::List(int32_t index) const {
  if (index < 0 || index >= ListCount()) return "";
  return items_[static_cast<size_t>(index)].text;
}

void ListControl::SetList(int32_t index, const std::string& text) {
  if (index < 0 || index >= ListCount()) return;
  items_[static_cast<size_t>(index)].text = text;
  Notify(Property::Items);
}

int32_t ListControl::ItemData(int32_t index) const {
  if (index < 0 || index >= ListCount()) return 0;
  return items_[static_cast<size_t>(index)].data;
}

void ListControl::SetItemData(int32_t index, int32_t data) {
  if (index < 0 || index >= ListCount()) return;
  items_[static_cast<size_t>(index)].data = data;
}

bool ListControl::SetListIndex(int32_t index) {
  if (index < -1 || index >= ListCount()) return false;
  if (index == listIndex_) return true;
  listIndex_ = index;
  Notify(Property::ListIndex);
  RaiseEvent(Click);
  return true;
}

void ListControl::UserSelect(int32_t index) {
  if (!Reachable() || index < 0 || index >= ListCount()) return;
  SetFocus();
  if (Reachable()) SetListIndex(index);
}

void ListControl::UserDoubleClick(int32_t index) {
  if (!Reachable() || index < 0 || index >= ListCount()) return;
  UserSelect(index);
  if (Reachable()) RaiseEvent(DblClick);
}

void ListControl::DefaultKeyDown(int16_t keyCode, int16_t /*shift*/) {
  if (ListCount() == 0) return;
  if (keyCode == key::kDown) SetListIndex(std::min(listIndex_ + 1, ListCount() - 1));
  if (keyCode == key::kUp) SetListIndex(std::max(listIndex_ - 1, 0));
}

void ListControl::CopyPropertiesFrom(const Control& other) {
  Control::CopyPropertiesFrom(other);
  const auto& o = static_cast<const ListControl&>(other);
  items_ = o.items_;
  listIndex_ = o.listIndex_;
}

ComboBox::ComboBox(Container& parent, std::string name) : ListControl(parent, ControlKind::ComboBox, std::move(name)) {}

void ComboBox::SetComboStyle(int16_t s) {
  if (style_ == s) return;
  style_ = s;
  Notify(Property::Appearance);
}

std::string ComboBox::Text() const {
  if (style_ == kDropDownList) return List(listIndex_);
  return editText_;
}

void ComboBox::SetText(const std::string& t) {
  if (style_ == kDropDownList) {
    for (int32_t i = 0; i < ListCount(); ++i)
      if (items_[static_cast<size_t>(i)].text == t) {
        SetListIndex(i);
        return;
      }
    return;
  }
  if (editText_ == t) return;
  editText_ = t;
  Notify(Property::Text);
  RaiseEvent(Change);
}

void ComboBox::UserSetText(const std::string& t) {
  if (!Reachable() || style_ == kDropDownList) return;
  SetFocus();
  SetText(t);
}

void ComboBox::CopyPropertiesFrom(const Control& other) {
  ListControl::CopyPropertiesFrom(other);
  const auto& o = static_cast<const ComboBox&>(other);
  style_ = o.style_;
  editText_ = o.editText_;
}

ListBox::ListBox(Container& parent, std::string name) : ListControl(parent, ControlKind::ListBox, std::move(name)) {}

void ListBox::SetTabStops(std::vector<int32_t> stops) {
  tabStops_ = std::move(stops);
  Notify(Property::Items);
}

void ListBox::CopyPropertiesFrom(const Control& other) {
  ListControl::CopyPropertiesFrom(other);
  tabStops_ = static_cast<const ListBox&>(other).tabStops_;
}

// --- FileList ----------------------------------------------------------------

namespace {

bool MatchOne(const std::string& name, size_t n, const std::string& pat, size_t p) {
  // Iterative wildcard match with one backtrack point for the last "*".
  size_t starP = std::string::npos, starN = 0;
  while (n < name.size()) {
    if (p < pat.size() && pat[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pat.size() &&
               (pat[p] == '?' || std::tolower(static_cast<unsigned char>(pat[p])) ==
                                     std::tolower(static_cast<unsigned char>(name[n])))) {
      ++p;
      ++n;
    } else if (starP != std::string::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pat.size() && pat[p] == '*') ++p;
  return p == pat.size();
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

bool MatchesFilePattern(const std::string& name, const std::string& pattern) {
  size_t start = 0;
  while (start <= pattern.size()) {
    size_t end = pattern.find(';', start);
    if (end == std::string::npos) end = pattern.size();
    std::string one = pattern.substr(start, end - start);
    while (!one.empty() && one.front() == ' ') one.erase(0, 1);
    while (!one.empty() && one.back() == ' ') one.pop_back();
    if (!one.empty()) {
      // "name.*" also matches a name without an extension, and "*.*" any name.
      if (MatchOne(name, 0, one, 0)) return true;
      if (one.size() >= 2 && one.compare(one.size() - 2, 2, ".*") == 0 && name.find('.') == std::string::npos &&
          MatchOne(name, 0, one.substr(0, one.size() - 2), 0))
        return true;
    }
    start = end + 1;
  }
  return false;
}

FileList::FileList(Container& parent, std::string name) : ListControl(parent, ControlKind::FileList, std::move(name)) {}

void FileList::SetPath(const std::string& p) {
  path_ = p;
  Refresh();
}

void FileList::SetPattern(const std::string& p) {
  pattern_ = p;
  Refresh();
}

void FileList::Refresh() {
  std::vector<std::string> names;
  if (!path_.empty()) {
    std::error_code ec;
    std::filesystem::directory_iterator it(path_, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
      std::error_code fec;
      if (!it->is_regular_file(fec) || fec) continue;
      std::string name = it->path().filename().string();
      if (MatchesFilePattern(name, pattern_)) names.push_back(name);
    }
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    std::string la = Lower(a), lb = Lower(b);
    return la != lb ? la < lb : a < b;
  });
  items_.clear();
  for (auto& n : names) items_.push_back(Item{n, 0});
  newIndex_ = -1;
  Notify(Property::Items);
  if (listIndex_ != -1) {
    listIndex_ = -1;
    Notify(Property::ListIndex);
  }
}

DirList::DirList(Container& parent, std::string name) : ListControl(parent, ControlKind::DirList, std::move(name)) {}

void DirList::SetPath(const std::string& p) {
  bool changed = p != path_;
  path_ = p;
  Refresh();
  if (changed) {
    Notify(Property::Text);
    RaiseEvent(Change);
  }
}

void DirList::Refresh() {
  std::vector<std::string> dirs;
  if (!path_.empty()) {
    std::error_code ec;
    std::filesystem::directory_iterator it(path_, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
      std::error_code dec;
      if (it->is_directory(dec) && !dec) dirs.push_back(it->path().string());
    }
  }
  std::sort(dirs.begin(), dirs.end(), [](const std::string& a, const std::string& b) {
    std::string la = Lower(a), lb = Lower(b);
    return la != lb ? la < lb : a < b;
  });
  items_.clear();
  for (auto& d : dirs) items_.push_back(Item{d, 0});
  newIndex_ = -1;
  Notify(Property::Items);
  if (listIndex_ != -1) {
    listIndex_ = -1;
    Notify(Property::ListIndex);
  }
}

void DirList::UserOpen(int32_t index) {
  if (!Reachable() || index < 0 || index >= ListCount()) return;
  SetFocus();
  SetPath(List(index));
}

void DirList::UserOpenParent() {
  if (!Reachable()) return;
  std::filesystem::path p(path_);
  if (!p.has_relative_path()) return;  // at the root
  std::filesystem::path parent = p.parent_path();
  if (parent.empty()) return;
  SetFocus();
  SetPath(parent.string());
}

void DirList::CopyPropertiesFrom(const Control& other) {
  ListControl::CopyPropertiesFrom(other);
  path_ = static_cast<const DirList&>(other).path_;
}

void FileList::CopyPropertiesFrom(const Control& other) {
  ListControl::CopyPropertiesFrom(other);
  const auto& o = static_cast<const FileList&>(other);
  path_ = o.path_;
  pattern_ = o.pattern_;
}

}  // namespace kelvarin::platform
