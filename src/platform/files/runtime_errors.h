// The run-time error numbers the file layer reports, numbered as the classic
// BASIC run-time library numbered them, because callers show and compare them
// (the DBF engine returns them as its error codes).
#pragma once

namespace kelvarin::platform {

enum RuntimeError : int {
  kErrNone = 0,
  kErrOverflow = 6,
  kErrOutOfMemory = 7,
  kErrBadFileNumber = 52,   // "Bad file name or number"
  kErrFileNotFound = 53,    // "File not found"
  kErrBadFileMode = 54,     // "Bad file mode"
  kErrFileAlreadyOpen = 55, // "File already open"
  kErrDeviceIO = 57,        // "Device I/O error"
  kErrFileExists = 58,      // "File already exists"
  kErrDiskFull = 61,        // "Disk full"
  kErrPastEnd = 62,         // "Input past end of file"
  kErrBadRecordNumber = 63, // "Bad record number"
  kErrTooManyFiles = 67,    // "Too many files"
  kErrPermissionDenied = 70,// "Permission denied" (also sharing and lock conflicts)
  kErrPathFileAccess = 75,  // "Path/File access error"
  kErrPathNotFound = 76,    // "Path not found"
};

// The run-time library's standard message for an error number
// ("File not found"); "Application-defined or object-defined error" for
// numbers it does not know.
const char* RuntimeErrorText(int number);

// The run-time error for a failed system call's errno: 53 missing, 58
// exists, 70 a sharing or lock conflict, 75 not allowed (a read-only file or
// folder, a directory where a file was wanted), 76 a path through something
// that is not a folder, 61 disk full, 67 too many open files, 57 otherwise.
int ErrnoToRuntimeError(int e);

}  // namespace kelvarin::platform
