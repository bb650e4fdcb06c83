#include "script/script_file.h"

#include "base/sjis_string.h"
#include "host/file_system.h"

namespace adv {

namespace {
constexpr std::size_t kBufferSize = 64 * 1024;
}

bool ScriptFile::Open(const FileSystem& files, std::string_view name) {
  Close();
  std::FILE* f = files.Open(name, "rb");
  if (f == nullptr) return false;
  file_ = f;
  name_.assign(name);
  line_number_ = 0;
  eof_ = false;
  buffer_.resize(kBufferSize);
  buffer_pos_ = buffer_len_ = 0;
  return true;
}

void ScriptFile::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

int ScriptFile::Get() {
  if (buffer_pos_ == buffer_len_) {
    buffer_len_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
    buffer_pos_ = 0;
    // A read error ends the file like its end does, so a failing file cannot yield empty lines
    // without end.
    if (buffer_len_ == 0) return EOF;
  }
  return buffer_[buffer_pos_++];
}

bool ScriptFile::ReadLine(std::string& line) {
  if (file_ == nullptr || eof_) return false;
  std::string out;
  int c = Get();
  while (c == '\t') c = Get();
  while (true) {
    if (c == EOF) {
      eof_ = true;
      break;
    }
    if (c == 0x1A) break;
    if (c != '\r') out.push_back(static_cast<char>(c));
    if (c == '\n') break;
    c = Get();
  }
  line = std::move(out);
  ++line_number_;
  return true;
}

std::string AddDefaultExtension(std::string_view name, std::string_view extension) {
  std::string result(name);
  if (!SjisHasDot(name)) result.append(extension);
  return result;
}

}  // namespace adv
