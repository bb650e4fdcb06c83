#include "files/std_file.h"

namespace adv {

const char* FileModeString(int mode) {
  switch (mode) {
    case kFileRead:
      return "r";
    case kFileReadBinary:
      return "rb";
    case kFileWrite:
      return "w";
    case kFileWriteBinary:
      return "wb";
    case kFileAppend:
      return "a+";
    case kFileAppendBinary:
      return "a+b";
    default:
      return nullptr;
  }
}

bool CStdFile::Open(const FileSystem& files, std::string_view name, int mode) {
  Close();
  const char* mode_string = FileModeString(mode);
  if (mode_string == nullptr) return false;
  file_ = files.Open(name, mode_string);
  if (file_ == nullptr) return false;
  name_ = name;
  return true;
}

void CStdFile::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  name_.clear();
}

bool CStdFile::ReadLine(char* buffer, int size) {
  if (file_ == nullptr || buffer == nullptr || size <= 0) return false;
  return std::fgets(buffer, size, file_) != nullptr;
}

std::size_t CStdFile::Read(void* buffer, std::size_t size) {
  if (file_ == nullptr || size == 0) return 0;
  return std::fread(buffer, 1, size, file_);
}

std::size_t CStdFile::Write(const void* buffer, std::size_t size) {
  if (file_ == nullptr || size == 0) return 0;
  return std::fwrite(buffer, 1, size, file_);
}

bool CStdFile::Seek(std::int64_t offset, int origin) {
  if (file_ == nullptr) return false;
  int whence = origin == 0 ? SEEK_SET : origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : -1;
  if (whence < 0) return false;
  return std::fseek(file_, static_cast<long>(offset), whence) == 0;
}

std::int64_t CStdFile::Tell() const {
  if (file_ == nullptr) return 0;
  long pos = std::ftell(file_);
  return pos < 0 ? 0 : pos;
}

std::int64_t CStdFile::GetLength() {
  if (file_ == nullptr) return 0;
  long here = std::ftell(file_);
  if (here < 0 || std::fseek(file_, 0, SEEK_END) != 0) return 0;
  long end = std::ftell(file_);
  std::fseek(file_, here, SEEK_SET);
  return end < 0 ? 0 : end;
}

}  // namespace adv
