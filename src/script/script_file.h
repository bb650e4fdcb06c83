// The one open script: read line by line, lines counted.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace adv {

class FileSystem;

class ScriptFile {
 public:
  ScriptFile() = default;
  ~ScriptFile() { Close(); }
  ScriptFile(const ScriptFile&) = delete;
  ScriptFile& operator=(const ScriptFile&) = delete;

  // Closes what is open, then opens name. On failure no file is open and the stored name and
  // line number keep their old values.
  [[nodiscard]] bool Open(const FileSystem& files, std::string_view name);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }
  // Reads the next line: leading TABs skipped, CR dropped, LF kept and ending the line, 0x1A
  // ending the line without ending the file. False once the end of the file was reached.
  [[nodiscard]] bool ReadLine(std::string& line);
  // Reads past the next line as ReadLine would, counting it, without keeping it.
  [[nodiscard]] bool SkipLine();

  const std::string& name() const { return name_; }
  int line_number() const { return line_number_; }

 private:
  int Get();  // next byte or EOF
  // Hands the bytes of the next line to take (a run at a time, leading TABs and CRs included)
  // and counts it; false at the end of the file.
  template <class Take>
  [[nodiscard]] bool NextLine(Take take);

  std::FILE* file_ = nullptr;
  std::string name_;
  int line_number_ = 0;
  bool eof_ = false;
  std::vector<unsigned char> buffer_;
  std::size_t buffer_pos_ = 0;
  std::size_t buffer_len_ = 0;
};

// Appends extension when name has no "." anywhere (Shift-JIS-aware).
std::string AddDefaultExtension(std::string_view name, std::string_view extension);

}  // namespace adv
