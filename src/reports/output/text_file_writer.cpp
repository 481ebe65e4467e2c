#include "reports/output/text_file_writer.h"

#include "platform/files/runtime_errors.h"

namespace kelvarin::reports {

namespace {
constexpr size_t kBlock = 1 << 20;
}

void TextFileWriter::Start() {
  pending_.clear();
  offset_ = 0;
  error_ = 0;
}

void TextFileWriter::WriteLine(platform::FilePool& files, int16_t fileNumber, std::string_view text) {
  pending_.append(text);
  pending_ += "\r\n";
  if (pending_.size() >= kBlock && error_ == 0) Flush(files, fileNumber);
}

int TextFileWriter::Flush(platform::FilePool& files, int16_t fileNumber) {
  if (pending_.empty()) return 0;
  platform::RandomAccessFile* file = files.Get(fileNumber);
  int error = file ? file->Write(offset_, pending_.data(), pending_.size()) : platform::kErrBadFileNumber;
  if (error == 0) {
    offset_ += static_cast<int64_t>(pending_.size());
    pending_.clear();
    error_ = 0;
    return 0;
  }
  if (error_ == 0) error_ = error;
  return error;
}

}  // namespace kelvarin::reports
