#include "platform/recording_printer.h"

#include <sstream>

namespace kelvarin::platform {

bool RecordingPrinter::Proceed() {
  if (failuresLeft_ <= 0) return true;
  if (okBeforeFailure_ > 0) {
    --okBeforeFailure_;
    return true;
  }
  --failuresLeft_;
  log_.push_back("Error");
  return false;
}

void RecordingPrinter::Begin() {
  if (open_) return;
  open_ = true;
  current_.assign(1, Page{});
}

void RecordingPrinter::EndLine() {
  current_.back().push_back(pending_);
  pending_.clear();
  pendingStarted_ = false;
}

bool RecordingPrinter::PrintLine(const std::string& text) {
  if (!Proceed()) return false;
  Begin();
  pending_ += text;
  EndLine();
  return true;
}

bool RecordingPrinter::PrintPart(const std::string& text) {
  if (!Proceed()) return false;
  Begin();
  pending_ += text;
  if (!text.empty()) pendingStarted_ = true;
  return true;
}

bool RecordingPrinter::PrintAtColumn(int column, const std::string& text) {
  if (!Proceed()) return false;
  Begin();
  size_t target = column > 1 ? static_cast<size_t>(column - 1) : 0;
  if (pending_.size() > target) EndLine();
  pending_.resize(target, ' ');
  pending_ += text;
  EndLine();
  return true;
}

bool RecordingPrinter::NewPage() {
  if (!Proceed()) return false;
  Begin();
  if (pendingStarted_ || !pending_.empty()) EndLine();
  current_.push_back(Page{});
  log_.push_back("NewPage");
  return true;
}

bool RecordingPrinter::EndDoc() {
  log_.push_back("EndDoc");
  endDocFailed_ = false;
  if (!open_) return true;
  if (pendingStarted_ || !pending_.empty()) EndLine();
  open_ = false;
  if (failEndDoc_) {
    failEndDoc_ = false;
    endDocFailed_ = true;
    log_.push_back("Error");
    current_.clear();
    return false;
  }
  documents_.push_back(std::move(current_));
  current_.clear();
  return true;
}

int RecordingPrinter::EndDocError(std::string* file) const {
  if (!endDocFailed_) return 0;
  *file = endErrorFile_;
  return endError_;
}

bool RecordingPrinter::SetFont(const PrinterFont& font) {
  if (!Proceed()) return false;
  font_ = font;
  std::ostringstream s;
  s << "Font(" << font.name << ',' << font.size;
  if (font.bold) s << ",bold";
  if (font.italic) s << ",italic";
  if (font.underline) s << ",underline";
  s << ')';
  log_.push_back(s.str());
  return true;
}

double RecordingPrinter::TextWidth(const std::string& text) const {
  return static_cast<double>(text.size()) * charWidth_;
}

}  // namespace kelvarin::platform
