#include "script/script_file.h"

#include <cstring>

#include "base/sjis_string.h"
#include "host/file_system.h"

namespace adv {

namespace {
constexpr std::size_t kBufferSize = 64 * 1024;
// Longer files are not scripts: refused like missing ones.
constexpr std::uint64_t kMaxScriptBytes = std::uint64_t{64} << 20;
}  // namespace

bool ScriptFile::Open(const FileSystem& files, std::string_view name) {
  Close();
  std::FILE* f = files.Open(name, "rb", kMaxScriptBytes);
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

template <class Take>
bool ScriptFile::NextLine(Take take) {
  if (file_ == nullptr || eof_) return false;
  ++line_number_;
  // Jumps read thousands of lines in one step, so the buffer is searched a run at a time for
  // the line's end: a line feed (kept) or 0x1A (dropped; it ends the line but not the file).
  while (true) {
    if (buffer_pos_ == buffer_len_) {
      if (Get() == EOF) {
        eof_ = true;
        return true;
      }
      --buffer_pos_;
    }
    const unsigned char* begin = buffer_.data() + buffer_pos_;
    const std::size_t available = buffer_len_ - buffer_pos_;
    const auto* lf = static_cast<const unsigned char*>(std::memchr(begin, '\n', available));
    const std::size_t run = lf ? static_cast<std::size_t>(lf - begin) + 1 : available;
    const auto* eof_mark = static_cast<const unsigned char*>(std::memchr(begin, 0x1A, run));
    if (eof_mark != nullptr) {
      take(begin, static_cast<std::size_t>(eof_mark - begin));
      buffer_pos_ += static_cast<std::size_t>(eof_mark - begin) + 1;
      return true;
    }
    take(begin, run);
    buffer_pos_ += run;
    if (lf != nullptr) return true;
  }
}

bool ScriptFile::ReadLine(std::string& line) {
  line.clear();
  if (!NextLine([&line](const unsigned char* bytes, std::size_t n) {
        line.append(reinterpret_cast<const char*>(bytes), n);
      })) {
    return false;
  }
  // Leading TABs are skipped and CRs dropped wherever they stand.
  const std::size_t text = line.find_first_not_of('\t');
  line.erase(0, text == std::string::npos ? line.size() : text);
  if (line.find('\r') != std::string::npos) std::erase(line, '\r');
  return true;
}

bool ScriptFile::SkipLine() {
  return NextLine([](const unsigned char*, std::size_t) {});
}

std::string AddDefaultExtension(std::string_view name, std::string_view extension) {
  std::string result(name);
  if (!SjisHasDot(name)) result.append(extension);
  return result;
}

}  // namespace adv
