// CStdFile: a stdio file opened by a game's name (through the FileSystem resolver), with the
// name it was opened under.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "host/file_system.h"

namespace adv {

// Open modes as the engine numbers them.
enum FileMode : int {
  kFileRead = 2,          // "r"
  kFileReadBinary = 3,    // "rb"
  kFileWrite = 4,         // "w"
  kFileWriteBinary = 5,   // "wb"
  kFileAppend = 8,        // "a+"
  kFileAppendBinary = 9,  // "a+b"
};

// The stdio mode string of a mode number, or null for a number that is not a mode.
const char* FileModeString(int mode);

class CStdFile {
 public:
  CStdFile() = default;
  ~CStdFile() { Close(); }
  CStdFile(const CStdFile&) = delete;
  CStdFile& operator=(const CStdFile&) = delete;

  [[nodiscard]] bool Open(const FileSystem& files, std::string_view name, int mode);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }
  const std::string& Name() const { return name_; }

  // fgets: false at end of file or on error.
  [[nodiscard]] bool ReadLine(char* buffer, int size);
  // Bytes transferred (fewer than size at the end of the file or on error).
  std::size_t Read(void* buffer, std::size_t size);
  std::size_t Write(const void* buffer, std::size_t size);
  // origin: 0 from the start, 1 from the current position, 2 from the end. False when the
  // position cannot be set (it then stays where it was).
  [[nodiscard]] bool Seek(std::int64_t offset, int origin);
  // Current position; 0 when no file is open.
  std::int64_t Tell() const;
  // Length of the file; 0 when no file is open. The position is kept.
  std::int64_t GetLength();
  std::FILE* GetHandle() const { return file_; }

 private:
  std::FILE* file_ = nullptr;
  std::string name_;
};

}  // namespace adv
