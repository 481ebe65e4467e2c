#include "platform/scripted/scripted_host.h"

#include <algorithm>
#include <sstream>

#include "platform/model/controls.h"

namespace kelvarin::platform {

std::string ButtonsName(MsgButtons b) {
  switch (b) {
    case MsgButtons::OK: return "OK";
    case MsgButtons::OKCancel: return "OKCancel";
    case MsgButtons::AbortRetryIgnore: return "AbortRetryIgnore";
    case MsgButtons::YesNoCancel: return "YesNoCancel";
    case MsgButtons::YesNo: return "YesNo";
    case MsgButtons::RetryCancel: return "RetryCancel";
  }
  return "Buttons" + std::to_string(static_cast<int>(b));
}

std::string IconName(MsgIcon i) {
  switch (i) {
    case MsgIcon::None: return "None";
    case MsgIcon::Critical: return "Critical";
    case MsgIcon::Question: return "Question";
    case MsgIcon::Exclamation: return "Exclamation";
    case MsgIcon::Information: return "Information";
  }
  return "Icon" + std::to_string(static_cast<int>(i));
}

std::string AnswerName(MsgAnswer a) {
  switch (a) {
    case MsgAnswer::OK: return "OK";
    case MsgAnswer::Cancel: return "Cancel";
    case MsgAnswer::Abort: return "Abort";
    case MsgAnswer::Retry: return "Retry";
    case MsgAnswer::Ignore: return "Ignore";
    case MsgAnswer::Yes: return "Yes";
    case MsgAnswer::No: return "No";
  }
  return "Answer" + std::to_string(static_cast<int>(a));
}

namespace {

std::vector<MsgAnswer> AnswersOf(MsgButtons b) {
  switch (b) {
    case MsgButtons::OK: return {MsgAnswer::OK};
    case MsgButtons::OKCancel: return {MsgAnswer::OK, MsgAnswer::Cancel};
    case MsgButtons::AbortRetryIgnore: return {MsgAnswer::Abort, MsgAnswer::Retry, MsgAnswer::Ignore};
    case MsgButtons::YesNoCancel: return {MsgAnswer::Yes, MsgAnswer::No, MsgAnswer::Cancel};
    case MsgButtons::YesNo: return {MsgAnswer::Yes, MsgAnswer::No};
    case MsgButtons::RetryCancel: return {MsgAnswer::Retry, MsgAnswer::Cancel};
  }
  return {MsgAnswer::OK};
}

// The answer a box gives when the user just closes it: its Cancel (or No,
// or Abort) button; OK for a box with only OK.
MsgAnswer CloseAnswer(MsgButtons b) {
  auto answers = AnswersOf(b);
  for (MsgAnswer a : {MsgAnswer::Cancel, MsgAnswer::No, MsgAnswer::Abort})
    if (std::find(answers.begin(), answers.end(), a) != answers.end()) return a;
  return answers.front();
}


}  // namespace

ScriptedHost::ScriptedHost() = default;
ScriptedHost::~ScriptedHost() = default;

void ScriptedHost::Fail(std::string message) { failures_.push_back(std::move(message)); }

void ScriptedHost::OnShow(const std::string& formName, FormScript script) {
  scripts_.push_back(Script{formName, std::move(script)});
}

void ScriptedHost::AnswerMsgBox(MsgAnswer answer) { msgAnswers_.push_back({answer, std::nullopt}); }

void ScriptedHost::AnswerMsgBox(MsgAnswer answer, const std::string& expectedText) {
  msgAnswers_.push_back({answer, expectedText});
}

void ScriptedHost::AnswerSaveFile(std::optional<std::string> path) { saveAnswers_.push_back(std::move(path)); }
void ScriptedHost::AnswerOpenFile(std::optional<std::string> path) { openAnswers_.push_back(std::move(path)); }
void ScriptedHost::AnswerFont(std::optional<FontChoice> font) { fontAnswers_.push_back(std::move(font)); }

void ScriptedHost::AtDoEvents(int n, std::function<void()> action) {
  doEventsActions_.push_back({doEvents_ + std::max(1, n), std::move(action)});
}

void ScriptedHost::CancelGaugeAfter(int n, const std::string& gaugeForm) {
  int at = doEvents_ + std::max(1, n);
  AtDoEvents(n, [this, gaugeForm, at] {
    for (Form* f : modeless_) {
      if (f->Name() != gaugeForm || !f->Visible()) continue;
      CommandButton* button = f->CancelButton();
      if (!button) button = dynamic_cast<CommandButton*>(f->FindControl("cmdCancel"));
      if (button && button->Reachable()) {
        button->UserClick();
        return;
      }
    }
    Fail("CancelGaugeAfter: no " + gaugeForm + " with a Cancel button to press at DoEvents #" + std::to_string(at));
  });
}

std::vector<std::string> ScriptedHost::MessageTexts() const { return messages_; }

std::string ScriptedHost::Failures() const {
  std::string out;
  for (const auto& f : failures_) {
    if (!out.empty()) out += '\n';
    out += f;
  }
  return out;
}

std::string ScriptedHost::ExpectAllConsumed() {
  for (const auto& s : scripts_) Fail("unused script for modal form " + s.form);
  for (const auto& a : msgAnswers_)
    Fail("unused message-box answer " + AnswerName(a.answer) + (a.expected ? " for \"" + *a.expected + "\"" : ""));
  for (const auto& a : saveAnswers_) Fail("unused save-file answer " + (a ? *a : std::string("<cancel>")));
  for (const auto& a : openAnswers_) Fail("unused open-file answer " + (a ? *a : std::string("<cancel>")));
  for (const auto& a : fontAnswers_) Fail("unused font answer " + (a ? a->name : std::string("<cancel>")));
  for (const auto& a : doEventsActions_)
    Fail("DoEvents action for call #" + std::to_string(a.at) + " never ran (" + std::to_string(doEvents_) +
         " calls)");
  scripts_.clear();
  msgAnswers_.clear();
  saveAnswers_.clear();
  openAnswers_.clear();
  fontAnswers_.clear();
  doEventsActions_.clear();
  return Failures();
}

void ScriptedHost::ClearRecord() {
  transcript_.clear();
  messages_.clear();
  failures_.clear();
  beeps_ = 0;
  doEvents_ = 0;
}

MsgAnswer ScriptedHost::MsgBox(const std::string& text, MsgButtons buttons, MsgIcon icon, const std::string& title) {
  std::string shownTitle = title.empty() ? AppTitle() : title;
  std::string line = "MsgBox(" + ButtonsName(buttons) + "," + IconName(icon) + ",\"" + shownTitle + "\"): " + text;
  transcript_.push_back(line);
  messages_.push_back(text);
  if (msgAnswers_.empty()) {
    MsgAnswer a = CloseAnswer(buttons);
    Fail("unexpected message box (answered " + AnswerName(a) + "): " + line);
    return a;
  }
  MsgAnswerItem item = msgAnswers_.front();
  msgAnswers_.pop_front();
  if (item.expected && *item.expected != text)
    Fail("message box text differs: expected \"" + *item.expected + "\", shown: " + line);
  auto allowed = AnswersOf(buttons);
  if (std::find(allowed.begin(), allowed.end(), item.answer) == allowed.end()) {
    MsgAnswer a = CloseAnswer(buttons);
    Fail("answer " + AnswerName(item.answer) + " is not a button of: " + line + " (answered " + AnswerName(a) + ")");
    return a;
  }
  return item.answer;
}

void ScriptedHost::Beep() {
  ++beeps_;
  transcript_.push_back("Beep");
}

void ScriptedHost::DoEvents() {
  ++doEvents_;
  // Actions may queue further actions; run those due now in queue order.
  for (size_t i = 0; i < doEventsActions_.size();) {
    if (doEventsActions_[i].at == doEvents_) {
      auto action = std::move(doEventsActions_[i].run);
      doEventsActions_.erase(doEventsActions_.begin() + static_cast<std::ptrdiff_t>(i));
      if (action) action();
    } else {
      ++i;
    }
  }
}

void ScriptedHost::ShowModal(Form& form) {
  transcript_.push_back("ShowModal(" + form.Name() + "): " + form.Caption());
  auto it = std::find_if(scripts_.begin(), scripts_.end(), [&](const Script& s) { return s.form == form.Name(); });
  if (it == scripts_.end()) {
    Fail("unexpected modal form " + form.Name() + " (" + form.Caption() + ")");
    form.Hide();
    return;
  }
  FormScript script = std::move(it->run);
  scripts_.erase(it);
  if (script) script(form);
  if (form.Visible()) {
    Fail("modal form " + form.Name() + " (" + form.Caption() + ") still shown after its script");
    form.Hide();
  }
}

void ScriptedHost::ShowModeless(Form& form) {
  if (std::find(modeless_.begin(), modeless_.end(), &form) != modeless_.end()) return;  // already up
  transcript_.push_back("ShowModeless(" + form.Name() + "): " + form.Caption());
  modeless_.push_back(&form);
}

void ScriptedHost::HideForm(Form& form) {
  auto it = std::find(modeless_.begin(), modeless_.end(), &form);
  if (it == modeless_.end()) return;
  transcript_.push_back("Hide(" + form.Name() + ")");
  modeless_.erase(it);
}

void ScriptedHost::FormDestroyed(Form& form) { std::erase(modeless_, &form); }

void ScriptedHost::SetMousePointerShape(int shape) {
  if (shape == pointer_) return;
  pointer_ = shape;
  transcript_.push_back("Pointer(" + std::to_string(shape) + ")");
}

std::optional<std::string> ScriptedHost::FileAnswer(std::deque<std::optional<std::string>>& queue, const char* what,
                                                    const FileDialogRequest& request) {
  std::string line = std::string(what) + "(" + request.title + "): ";
  if (queue.empty()) {
    transcript_.push_back(line + "<cancel>");
    Fail(std::string("unexpected ") + what + " (" + request.title + "), cancelled");
    return std::nullopt;
  }
  auto answer = queue.front();
  queue.pop_front();
  transcript_.push_back(line + (answer ? *answer : std::string("<cancel>")));
  return answer;
}

std::optional<std::string> ScriptedHost::SaveFileDialog(const FileDialogRequest& request) {
  return FileAnswer(saveAnswers_, "SaveFileDialog", request);
}

std::optional<std::string> ScriptedHost::OpenFileDialog(const FileDialogRequest& request) {
  return FileAnswer(openAnswers_, "OpenFileDialog", request);
}

std::optional<FontChoice> ScriptedHost::FontDialog(const FontChoice& /*current*/) {
  if (fontAnswers_.empty()) {
    transcript_.push_back("FontDialog: <cancel>");
    Fail("unexpected font dialog, cancelled");
    return std::nullopt;
  }
  auto answer = fontAnswers_.front();
  fontAnswers_.pop_front();
  if (answer) {
    std::ostringstream s;
    s << "FontDialog: " << answer->name << ' ' << answer->size;
    transcript_.push_back(s.str());
  } else {
    transcript_.push_back("FontDialog: <cancel>");
  }
  return answer;
}

void ScriptedHost::SendFocusMessage(int message, int32_t wParam) {
  transcript_.push_back("FocusMessage(" + std::to_string(message) + "," + std::to_string(wParam) + ")");
}

}  // namespace kelvarin::platform
