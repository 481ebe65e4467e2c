// Lines of an ASCII report written to a file of the file pool: each line
// ends with CR LF and goes out as held in memory (Windows-1252, no OEM
// conversion). Lines gather in memory and reach the file in large blocks;
// the first failed write is kept so that the owner of the file can tell it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/files/file_pool.h"

namespace kelvarin::reports {

class TextFileWriter {
 public:
  // A new file: nothing written yet, no failure.
  void Start();
  // Adds text and CR LF; writes the gathered lines once they are many.
  void WriteLine(platform::FilePool& files, int16_t fileNumber, std::string_view text);
  // Writes what is gathered; the run-time error number, 0 on success.
  // After a failure the lines stay gathered, so a retry can write them.
  int Flush(platform::FilePool& files, int16_t fileNumber);
  // The error of a failed write not yet made good by a later Flush (0 when
  // none).
  int Error() const { return error_; }
  int64_t BytesWritten() const { return offset_; }

 private:
  std::string pending_;
  int64_t offset_ = 0;
  int error_ = 0;
};

}  // namespace kelvarin::reports
