#include "platform/recording_printer.h"

#include <sstream>

namespace kelvarin::platform {

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

void RecordingPrinter::PrintLine(const std::string& text) {
  Begin();
  pending_ += text;
  EndLine();
}

void RecordingPrinter::PrintPart(const std::string& text) {
  Begin();
  pending_ += text;
  if (!text.empty()) pendingStarted_ = true;
}

void RecordingPrinter::PrintAtColumn(int column, const std::string& text) {
  Begin();
  size_t target = column > 1 ? static_cast<size_t>(column - 1) : 0;
  if (pending_.size() > target) EndLine();
  pending_.resize(target, ' ');
  pending_ += text;
  EndLine();
}

void RecordingPrinter::NewPage() {
  Begin();
  if (pendingStarted_ || !pending_.empty()) EndLine();
  current_.push_back(Page{});
  log_.push_back("NewPage");
}

void RecordingPrinter::EndDoc() {
  log_.push_back("EndDoc");
  if (!open_) return;
  if (pendingStarted_ || !pending_.empty()) EndLine();
  documents_.push_back(std::move(current_));
  current_.clear();
  open_ = false;
}

void RecordingPrinter::SetFont(const PrinterFont& font) {
  font_ = font;
  std::ostringstream s;
  s << "Font(" << font.name << ',' << font.size;
  if (font.bold) s << ",bold";
  if (font.italic) s << ",italic";
  if (font.underline) s << ",underline";
  s << ')';
  log_.push_back(s.str());
}

double RecordingPrinter::TextWidth(const std::string& text) const {
  return static_cast<double>(text.size()) * charWidth_;
}

}  // namespace kelvarin::platform
