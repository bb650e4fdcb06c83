#include "files/file_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "base/sjis_string.h"
#include "files/packed_file.h"

namespace adv {

std::string PackedTwinName(std::string_view name) {
  std::size_t dot = SjisFindLast(name, '.');
  std::string twin(dot == std::string_view::npos ? name : name.substr(0, dot));
  twin += ".dpa";
  return twin;
}

bool CFileReader::Open(const FileSystem& files, std::string_view name, int mode) {
  Close();
  if (!file_.Open(files, name, mode) && !file_.Open(files, PackedTwinName(name), mode)) {
    return false;
  }
  name_ = name;
  std::uint8_t head[kPackedHeaderSize];
  std::size_t got = file_.Read(head, sizeof(head));
  // Reads go on from the start; one that could not go back would read the file short.
  if (!file_.Seek(0, 0)) {
    Close();
    return false;
  }
  if (!HasPackedMagic(std::span(head, got))) return true;
  if (!Unpack()) {
    Close();
    return false;
  }
  return true;
}

bool CFileReader::Unpack() {
  std::int64_t length = file_.GetLength();
  if (length <= 0 || static_cast<std::uint64_t>(length) > kMaxUnpackedSize) return false;
  std::vector<std::uint8_t> packed(static_cast<std::size_t>(length));
  if (file_.Read(packed.data(), packed.size()) != packed.size()) return false;
  std::string stored_name;
  if (!UnpackFile(packed, stored_name, unpacked_)) return false;
  name_ = std::move(stored_name);
  packed_ = true;
  position_ = 0;
  return true;
}

void CFileReader::Close() {
  file_.Close();
  packed_ = false;
  position_ = 0;
  name_.clear();
  unpacked_.clear();
  unpacked_.shrink_to_fit();
}

bool CFileReader::ReadLine(char* buffer, int size) {
  return !packed_ && file_.ReadLine(buffer, size);
}

std::size_t CFileReader::Read(void* buffer, std::size_t size) {
  if (!packed_) return file_.Read(buffer, size);
  const auto total = static_cast<std::int64_t>(unpacked_.size());
  if (position_ >= total || size == 0) return 0;
  std::size_t n = std::min(size, static_cast<std::size_t>(total - position_));
  std::memcpy(buffer, unpacked_.data() + position_, n);
  position_ += static_cast<std::int64_t>(n);
  return n;
}

std::size_t CFileReader::Write(const void* buffer, std::size_t size) {
  return packed_ ? 0 : file_.Write(buffer, size);
}

int CFileReader::Seek(std::int64_t offset, int origin) {
  if (!packed_) {
    (void)file_.Seek(offset, origin);  // a position that cannot be set stays as it was
    return 1;
  }
  std::int64_t base;
  switch (origin) {
    case 0:
      base = 0;
      break;
    case 1:
      base = position_;
      break;
    case 2:
      base = static_cast<std::int64_t>(unpacked_.size());
      break;
    default:
      return 1;
  }
  // Positions past the end are allowed (reads there return nothing), as with a plain file.
  bool fits = offset < 0 ? offset >= -base : offset <= INT64_MAX - base;
  if (fits) position_ = base + offset;
  return 1;
}

std::int64_t CFileReader::Tell() const {
  return packed_ ? position_ : file_.Tell();
}

std::int64_t CFileReader::GetLength() {
  return packed_ ? static_cast<std::int64_t>(unpacked_.size()) : file_.GetLength();
}

bool CFileReader::ReadAll(std::vector<std::uint8_t>& out, std::uint64_t max_bytes) {
  if (!IsOpen()) return false;
  std::int64_t length = GetLength();
  if (length < 0 || static_cast<std::uint64_t>(length) > max_bytes) return false;
  Seek(0, 0);
  out.resize(static_cast<std::size_t>(length));
  return Read(out.data(), out.size()) == out.size();
}

}  // namespace adv
