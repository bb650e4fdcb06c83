// CFileReader: reads a file by its game name or, when that file is missing, its packed ".dpa"
// twin, which is unpacked whole at open. Callers cannot tell the two apart.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "files/std_file.h"
#include "host/file_system.h"

namespace adv {

// The name of a file's packed twin: the name cut at its last "." (Shift-JIS-aware, over the
// whole name, folders included) with ".dpa" appended.
std::string PackedTwinName(std::string_view name);

class CFileReader {
 public:
  CFileReader() = default;
  ~CFileReader() { Close(); }
  CFileReader(const CFileReader&) = delete;
  CFileReader& operator=(const CFileReader&) = delete;

  // Opens the name, or its packed twin. False when neither opens, or when the file is packed
  // but corrupt.
  [[nodiscard]] bool Open(const FileSystem& files, std::string_view name,
                          int mode = kFileReadBinary);
  void Close();
  bool IsOpen() const { return file_.IsOpen(); }
  bool IsPacked() const { return packed_; }
  // The name asked for, or the name stored inside a packed file.
  const std::string& Name() const { return name_; }

  // Plain files only.
  [[nodiscard]] bool ReadLine(char* buffer, int size);
  // Bytes read: fewer than size at the end of the data (a packed file's reads stop at its
  // unpacked length).
  std::size_t Read(void* buffer, std::size_t size);
  // Plain files only; a packed file is never written.
  std::size_t Write(const void* buffer, std::size_t size);
  // origin 0 from the start, 1 from the current position, 2 from the end; other origins, and
  // positions before the start, leave the position as it was. Always returns 1.
  int Seek(std::int64_t offset, int origin);
  std::int64_t Tell() const;
  // Length on disk, or the unpacked length of a packed file.
  std::int64_t GetLength();

  // Reads the whole file from the start; false when it is longer than max_bytes or cannot be
  // read in full.
  [[nodiscard]] bool ReadAll(std::vector<std::uint8_t>& out, std::uint64_t max_bytes);

 private:
  [[nodiscard]] bool Unpack();

  CStdFile file_;
  bool packed_ = false;
  std::int64_t position_ = 0;
  std::string name_;
  std::vector<std::uint8_t> unpacked_;
};

}  // namespace adv
