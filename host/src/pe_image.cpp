#include "pe_image.h"

#include <algorithm>
#include <cstring>

namespace panel_host {

namespace {

constexpr int export_directory = 0, import_directory = 1, relocation_directory = 5;

uint32_t le(std::span<const uint8_t> b, uint64_t at, int bytes, const char* what) {
  if (at + bytes > b.size()) throw FormatError(std::string("PE file ends inside the ") + what);
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b[at + i];
  return v;
}

}  // namespace

PeImage::PeImage(std::vector<uint8_t> file) : file_(std::move(file)) {
  const std::span<const uint8_t> b(file_);
  if (b.size() < 64 || b[0] != 'M' || b[1] != 'Z') throw FormatError("not a PE file: no MZ header");
  const uint32_t pe = le(b, 0x3C, 4, "DOS header");
  if (le(b, pe, 4, "PE signature") != 0x00004550) throw FormatError("not a PE file: no PE signature");
  const uint64_t coff = pe + 4;
  machine_ = static_cast<uint16_t>(le(b, coff, 2, "COFF header"));
  const uint32_t section_count = le(b, coff + 2, 2, "COFF header");
  const uint32_t optional_size = le(b, coff + 16, 2, "COFF header");
  characteristics_ = static_cast<uint16_t>(le(b, coff + 18, 2, "COFF header"));
  const uint64_t opt = coff + 20;
  const uint32_t magic = le(b, opt, 2, "optional header");
  if (magic != 0x10B && magic != 0x20B) throw FormatError("PE optional header has an unknown magic number");
  pe32_plus_ = magic == 0x20B;
  image_base_ = pe32_plus_ ? (uint64_t{le(b, opt + 24, 4, "optional header")} |
                              uint64_t{le(b, opt + 24 + 4, 4, "optional header")} << 32)
                           : le(b, opt + 28, 4, "optional header");
  image_size_ = le(b, opt + 56, 4, "optional header");
  const uint64_t dirs_at = opt + (pe32_plus_ ? 108 : 92);
  const uint32_t dir_count = std::min<uint32_t>(le(b, dirs_at, 4, "optional header"), 16);
  for (uint32_t i = 0; i < dir_count; ++i)
    directories_.push_back({le(b, dirs_at + 4 + 8 * i, 4, "data directories"),
                            le(b, dirs_at + 8 + 8 * i, 4, "data directories")});
  const uint64_t sections_at = opt + optional_size;
  for (uint32_t i = 0; i < section_count; ++i) {
    const uint64_t s = sections_at + 40 * i;
    if (s + 40 > b.size()) throw FormatError("PE section table runs past the end of the file");
    PeSection sec;
    sec.name.assign(reinterpret_cast<const char*>(&b[s]), strnlen(reinterpret_cast<const char*>(&b[s]), 8));
    sec.virtual_size = le(b, s + 8, 4, "section table");
    sec.rva = le(b, s + 12, 4, "section table");
    sec.file_size = le(b, s + 16, 4, "section table");
    sec.file_offset = le(b, s + 20, 4, "section table");
    sections_.push_back(sec);
  }
}

const PeSection* PeImage::section_of(uint32_t rva) const {
  for (const PeSection& s : sections_) {
    const uint32_t span = std::max(s.virtual_size, s.file_size);
    if (rva >= s.rva && rva - s.rva < span) return &s;
  }
  return nullptr;
}

std::optional<uint64_t> PeImage::offset_of(uint32_t rva) const {
  const PeSection* s = section_of(rva);
  if (s == nullptr || rva - s->rva >= s->file_size) return std::nullopt;
  return uint64_t{s->file_offset} + (rva - s->rva);
}

std::vector<uint8_t> PeImage::read(uint32_t rva, uint32_t length) const {
  // Nothing in an image is longer than the image itself, which a gauge
  // module keeps to a few megabytes.
  if (length > image_size_ || length > (64u << 20)) throw FormatError("PE read of " + std::to_string(length) + " bytes is larger than the image");
  std::vector<uint8_t> out(length, 0);
  for (uint32_t i = 0; i < length; ++i) {
    if (section_of(rva + i) == nullptr) throw FormatError("PE address " + std::to_string(rva + i) + " lies in no section");
    const auto at = offset_of(rva + i);
    if (at && *at < file_.size()) out[i] = file_[*at];
  }
  return out;
}

uint32_t PeImage::read32(uint32_t rva) const {
  const auto b = read(rva, 4);
  return b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24;
}

std::string PeImage::read_string(uint32_t rva, uint32_t limit) const {
  std::string s;
  for (uint32_t i = 0; i < limit; ++i) {
    const char c = static_cast<char>(read(rva + i, 1)[0]);
    if (c == '\0') return s;
    s += c;
  }
  throw FormatError("PE string is not terminated");
}

std::optional<uint32_t> PeImage::rva_of_address(uint64_t address) const {
  if (address < image_base_ || address - image_base_ >= image_size_) return std::nullopt;
  return static_cast<uint32_t>(address - image_base_);
}

std::string PeImage::export_name() const {
  if (directories_.size() <= export_directory || directories_[export_directory].rva == 0) return "";
  return read_string(read32(directories_[export_directory].rva + 12));
}

std::vector<PeExport> PeImage::exports() const {
  std::vector<PeExport> out;
  if (directories_.size() <= export_directory || directories_[export_directory].rva == 0) return out;
  const uint32_t dir = directories_[export_directory].rva;
  const uint32_t base = read32(dir + 16);
  const uint32_t functions = read32(dir + 20), names = read32(dir + 24);
  const uint32_t functions_at = read32(dir + 28), names_at = read32(dir + 32), ordinals_at = read32(dir + 36);
  if (functions > 65536 || names > functions) throw FormatError("PE export table is implausibly large");
  for (uint32_t i = 0; i < functions; ++i) out.push_back({"", base + i, read32(functions_at + 4 * i)});
  for (uint32_t i = 0; i < names; ++i) {
    const auto o = read(ordinals_at + 2 * i, 2);
    const uint32_t index = o[0] | o[1] << 8;
    if (index >= functions) throw FormatError("PE export name points past the address table");
    out[index].name = read_string(read32(names_at + 4 * i));
  }
  return out;
}

std::vector<PeImport> PeImage::imports() const {
  std::vector<PeImport> out;
  if (directories_.size() <= import_directory || directories_[import_directory].rva == 0) return out;
  for (uint32_t d = directories_[import_directory].rva;; d += 20) {
    const uint32_t lookup = read32(d), name = read32(d + 12), thunks = read32(d + 16);
    if (name == 0 && thunks == 0) break;
    if (out.size() > 256) throw FormatError("PE import table does not end");
    PeImport imp{read_string(name), {}};
    const uint32_t table = lookup != 0 ? lookup : thunks;
    const uint32_t step = pe32_plus_ ? 8 : 4;
    for (uint32_t t = table;; t += step) {
      const uint32_t low = read32(t);
      const uint32_t high = pe32_plus_ ? read32(t + 4) : 0;
      if (low == 0 && high == 0) break;
      if (imp.functions.size() > 65536) throw FormatError("PE import list does not end");
      const bool by_ordinal = pe32_plus_ ? (high & 0x80000000u) != 0 : (low & 0x80000000u) != 0;
      imp.functions.push_back(by_ordinal ? "#" + std::to_string(low & 0xFFFF) : read_string(low + 2));
    }
    out.push_back(std::move(imp));
  }
  return out;
}

std::set<uint32_t> PeImage::relocated_rvas() const {
  std::set<uint32_t> out;
  if (directories_.size() <= relocation_directory) return out;
  const auto [start, size] = directories_[relocation_directory];
  for (uint32_t at = start; at + 8 <= start + size;) {
    const uint32_t page = read32(at), block = read32(at + 4);
    if (block < 8) throw FormatError("PE relocation block is too short");
    if (block > start + size - at) throw FormatError("PE relocation block runs past its directory");
    const auto entries = read(at + 8, block - 8);
    for (std::size_t i = 0; i + 1 < entries.size(); i += 2) {
      const uint16_t e = static_cast<uint16_t>(entries[i] | entries[i + 1] << 8);
      const int type = e >> 12;
      if (type == 3 || type == 10) out.insert(page + (e & 0xFFF));  // HIGHLOW, DIR64
    }
    at += block;
  }
  return out;
}

}  // namespace panel_host
