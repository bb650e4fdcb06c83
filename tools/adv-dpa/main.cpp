// adv-dpa: packs one file into a ".dpa" file the engine reads in place of the plain file, unpacks
// it again, or lists what a packed file holds.
//
//   adv-dpa pack FILE [OUT.dpa]     OUT defaults to FILE with the extension ".dpa"
//   adv-dpa unpack FILE.dpa [OUT]   OUT defaults to the stored name, in the current folder
//   adv-dpa list FILE.dpa
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "files/packed_file.h"

namespace fs = std::filesystem;

namespace {

constexpr int kUsageError = 2;
constexpr int kFailure = 1;

constexpr const char* kUsage =
    "usage: adv-dpa pack FILE [OUT.dpa]    pack FILE into OUT.dpa (FILE's name cut at its last\n"
    "                                      \".\", plus .dpa, by default)\n"
    "       adv-dpa unpack FILE.dpa [OUT]  restore the file (under its stored name by default)\n"
    "       adv-dpa list FILE.dpa          print the stored name and sizes\n"
    "       adv-dpa --help                 this text\n";

int Usage() {
  std::cerr << kUsage;
  return kUsageError;
}

int Fail(const std::string& message) {
  std::cerr << "adv-dpa: " << message << "\n";
  return kFailure;
}

bool ReadFile(const fs::path& path, std::vector<std::uint8_t>& out, std::string& error) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) {
    error = "cannot read " + path.string() + ": it is a folder";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open " + path.string();
    return false;
  }
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) {
    error = "cannot read " + path.string();
    return false;
  }
  return true;
}

bool WriteFile(const fs::path& path, const std::vector<std::uint8_t>& bytes, std::string& error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (out)
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    error = "cannot write " + path.string();
    return false;
  }
  return true;
}

// The last component of a stored name, which may use "\" or "/"; empty when it names nothing
// that may be written (".", "..", nothing at all).
std::string SafeBaseName(const std::string& stored) {
  std::size_t cut = stored.find_last_of("\\/");
  std::string base = cut == std::string::npos ? stored : stored.substr(cut + 1);
  if (base == "." || base == "..") return {};
  return base;
}

int Pack(const fs::path& in_path, fs::path out_path) {
  std::string error;
  std::vector<std::uint8_t> data;
  if (!ReadFile(in_path, data, error)) return Fail(error);
  if (data.size() > adv::kMaxUnpackedSize) {
    return Fail(in_path.string() + " is too large to pack (" + std::to_string(data.size()) +
                " bytes; at most " + std::to_string(adv::kMaxUnpackedSize) + ")");
  }
  if (out_path.empty()) out_path = fs::path(in_path).replace_extension(".dpa");
  std::error_code ec;
  if (fs::exists(out_path, ec) && fs::equivalent(in_path, out_path, ec)) {
    return Fail("the packed file would replace " + in_path.string() + "; name another output");
  }
  const std::string stored = in_path.filename().string();
  std::vector<std::uint8_t> packed = adv::PackFile(stored, data);
  // Cheap insurance: never leave a packed file that does not give the input back.
  std::string check_name;
  std::vector<std::uint8_t> check;
  if (!adv::UnpackFile(packed, check_name, check) || check != data || check_name != stored) {
    return Fail("internal error: the packed data does not unpack to " + in_path.string());
  }
  if (!WriteFile(out_path, packed, error)) return Fail(error);
  std::cout << in_path.string() << " -> " << out_path.string() << " (" << data.size() << " -> "
            << packed.size() << " bytes)\n";
  return 0;
}

int Unpack(const fs::path& in_path, fs::path out_path) {
  std::string error;
  std::vector<std::uint8_t> file;
  if (!ReadFile(in_path, file, error)) return Fail(error);
  std::string stored;
  std::vector<std::uint8_t> data;
  if (!adv::HasPackedMagic(file)) return Fail(in_path.string() + " is not a packed file");
  if (!adv::UnpackFile(file, stored, data)) {
    return Fail(in_path.string() + " is corrupt (its lengths or packed data are inconsistent)");
  }
  if (out_path.empty()) {
    std::string base = SafeBaseName(stored);
    if (base.empty()) {
      return Fail(in_path.string() + " stores no usable file name; name the output");
    }
    out_path = base;
  }
  if (!WriteFile(out_path, data, error)) return Fail(error);
  std::cout << in_path.string() << " -> " << out_path.string() << " (" << data.size()
            << " bytes)\n";
  return 0;
}

int List(const fs::path& in_path) {
  std::string error;
  std::vector<std::uint8_t> file;
  if (!ReadFile(in_path, file, error)) return Fail(error);
  adv::PackedHeader header;
  if (!adv::HasPackedMagic(file)) return Fail(in_path.string() + " is not a packed file");
  if (!adv::ReadPackedHeader(file, header)) {
    return Fail(in_path.string() + " is corrupt (its lengths do not fit the file)");
  }
  std::cout << "name: " << adv::PackedStoredName(file, header) << "\n"
            << "unpacked: " << header.unpacked_size << " bytes\n"
            << "packed: " << header.packed_size << " bytes of data, " << header.flag_size
            << " bytes of flags, " << file.size() << " bytes in all\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
    std::cout << kUsage;
    return 0;
  }
  if (argc < 3) return Usage();
  const std::string command = argv[1];
  if (command == "pack" && argc <= 4) return Pack(argv[2], argc == 4 ? argv[3] : "");
  if (command == "unpack" && argc <= 4) return Unpack(argv[2], argc == 4 ? argv[3] : "");
  if (command == "list" && argc == 3) return List(argv[2]);
  return Usage();
}
