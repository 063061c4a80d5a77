// Shared by the resource tests: the fixture files, scratch folders, and
// small writers that lay out .res files, PE images and version records
// byte by byte, so each test can build exactly the damage it wants.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "resources.h"

namespace fixture {

using Bytes = std::vector<uint8_t>;

inline const std::string res = FIXTURE_RES;
inline const std::string dll32 = FIXTURE_DLL32;
inline const std::string dll64 = FIXTURE_DLL64;
inline const std::string so = FIXTURE_SO;
inline const std::string bare_so = FIXTURE_BARE_SO;
inline const std::string bmp8 = FIXTURE_BMP8;
inline const std::string bmp24 = FIXTURE_BMP24;

inline Bytes read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void write(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out) << path;
}

// Skips the calling test when the build could not make a fixture.
#define SKIP_WITHOUT(path)                                   \
  do {                                                       \
    if ((path).empty()) GTEST_SKIP() << "fixture not built: " #path; \
  } while (0)

// A folder of its own for one test, removed afterwards.
class TempDir {
 public:
  TempDir() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("zaz-res-") + test->test_suite_name() + "-" + test->name();
    for (char& c : name)
      if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-') c = '_';
    path_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// ------------------------------------------------------------ byte writing

inline void put16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void put32(Bytes& b, uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}
inline void set16(Bytes& b, size_t at, uint32_t v) {
  b.at(at) = static_cast<uint8_t>(v);
  b.at(at + 1) = static_cast<uint8_t>(v >> 8);
}
inline void set32(Bytes& b, size_t at, uint32_t v) {
  set16(b, at, v & 0xFFFF);
  set16(b, at + 2, v >> 16);
}
inline uint32_t get32(const Bytes& b, size_t at) {
  return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | static_cast<uint32_t>(b.at(at + 3)) << 24;
}
inline void utf16z(Bytes& b, const std::string& ascii) {
  for (char c : ascii) put16(b, static_cast<uint8_t>(c));
  put16(b, 0);
}
inline void pad4(Bytes& b) {
  while (b.size() % 4) b.push_back(0);
}

// ------------------------------------------------------------------ DIBs

// A device-independent bitmap: a header with these fields, then `tail`
// bytes (palette, masks and pixels) of a counting pattern.
struct DibSpec {
  uint32_t header_size = 40;
  int32_t width = 2;
  int32_t height = 2;
  uint16_t planes = 1;
  uint16_t bits = 24;
  uint32_t compression = 0;
  uint32_t colours_used = 0;
  uint32_t image_size = 0;
  size_t tail = 16;
};

inline Bytes dib(const DibSpec& s) {
  Bytes b;
  put32(b, s.header_size);
  if (s.header_size == 12) {
    put16(b, static_cast<uint32_t>(s.width));
    put16(b, static_cast<uint32_t>(s.height));
    put16(b, s.planes);
    put16(b, s.bits);
  } else {
    put32(b, static_cast<uint32_t>(s.width));
    put32(b, static_cast<uint32_t>(s.height));
    put16(b, s.planes);
    put16(b, s.bits);
    put32(b, s.compression);
    put32(b, s.image_size);
    put32(b, 2835);
    put32(b, 2835);
    put32(b, s.colours_used);
    put32(b, 0);
    b.resize(std::max<size_t>(b.size(), s.header_size), 0);
  }
  for (size_t i = 0; i < s.tail; ++i) b.push_back(static_cast<uint8_t>(i * 7 + 1));
  return b;
}

// ------------------------------------------------------------------- .res

struct ResEntry {
  uint32_t type = 0;
  std::string type_name;
  uint32_t id = 0;
  std::string name;
  uint16_t language = 1033;
  Bytes data;
};

inline Bytes res_file(const std::vector<ResEntry>& entries) {
  Bytes b{0, 0, 0, 0, 0x20, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0};
  b.resize(32, 0);
  for (const ResEntry& e : entries) {
    Bytes h;
    auto field = [&](uint32_t ordinal, const std::string& text) {
      if (text.empty()) {
        put16(h, 0xFFFF);
        put16(h, ordinal);
      } else {
        utf16z(h, text);
      }
    };
    field(e.type, e.type_name);
    field(e.id, e.name);
    pad4(h);
    put32(h, 0);
    put16(h, 0x1030);
    put16(h, e.language);
    put32(h, 0);
    put32(h, 0);
    put32(b, static_cast<uint32_t>(e.data.size()));
    put32(b, static_cast<uint32_t>(h.size() + 8));
    b.insert(b.end(), h.begin(), h.end());
    b.insert(b.end(), e.data.begin(), e.data.end());
    pad4(b);
  }
  return b;
}

// --------------------------------------------------------------------- PE

// A resource section under construction: directories, entries, names,
// data records and data, at offsets the test chooses to patch.
struct Rsrc {
  Bytes b;
  uint32_t rva = 0x1000;  // where the section is mapped

  uint32_t directory(uint16_t named, uint16_t ids) {
    const auto at = static_cast<uint32_t>(b.size());
    b.resize(b.size() + 12, 0);
    put16(b, named);
    put16(b, ids);
    return at;
  }
  uint32_t entry(uint32_t key, uint32_t target) {
    const auto at = static_cast<uint32_t>(b.size());
    put32(b, key);
    put32(b, target);
    return at;
  }
  uint32_t data_record(uint32_t data_rva, uint32_t size) {
    const auto at = static_cast<uint32_t>(b.size());
    put32(b, data_rva);
    put32(b, size);
    put32(b, 0);
    put32(b, 0);
    return at;
  }
  uint32_t name(const std::string& ascii) {
    const auto at = static_cast<uint32_t>(b.size());
    put16(b, static_cast<uint32_t>(ascii.size()));
    for (char c : ascii) put16(b, static_cast<uint8_t>(c));
    pad4(b);
    return at;
  }
  uint32_t bytes(const Bytes& data) {
    const auto at = static_cast<uint32_t>(b.size());
    b.insert(b.end(), data.begin(), data.end());
    pad4(b);
    return at;
  }
};

inline constexpr uint32_t subdirectory = 0x80000000u;
inline constexpr uint32_t named = 0x80000000u;

// Where the fields of a PE image made by pe_image() lie.
struct PeLayout {
  bool plus = false;
  size_t pe = 0x40;                  // "PE\0\0"
  size_t coff = 0x44;                // COFF file header
  size_t optional = 0x58;            // optional header
  size_t directory_count = 0;        // NumberOfRvaAndSizes
  size_t resource_directory = 0;     // data directory 2: RVA, size
  size_t sections = 0;               // section table
  size_t rsrc = 0x200;               // the .rsrc section's bytes
};

inline PeLayout pe_layout(bool plus) {
  PeLayout l;
  l.plus = plus;
  l.directory_count = l.optional + (plus ? 108 : 92);
  l.resource_directory = l.directory_count + 4 + 2 * 8;
  l.sections = l.optional + (plus ? 240 : 224);
  return l;
}

// A minimal DLL image, PE32 or PE32+, whose only section is `rsrc`.
inline Bytes pe_image(bool plus, const Rsrc& rsrc) {
  const PeLayout l = pe_layout(plus);
  Bytes b(l.rsrc, 0);
  b[0] = 'M';
  b[1] = 'Z';
  set32(b, 0x3C, static_cast<uint32_t>(l.pe));
  b[l.pe] = 'P';
  b[l.pe + 1] = 'E';
  set16(b, l.coff, plus ? 0x8664 : 0x14C);
  set16(b, l.coff + 2, 1);
  set16(b, l.coff + 16, static_cast<uint32_t>(l.sections - l.optional));
  set16(b, l.coff + 18, 0x2102);
  set16(b, l.optional, plus ? 0x20B : 0x10B);
  set32(b, l.directory_count, 16);
  set32(b, l.resource_directory, rsrc.rva);
  set32(b, l.resource_directory + 4, static_cast<uint32_t>(rsrc.b.size()));
  const size_t raw = (rsrc.b.size() + 0x1FF) & ~size_t{0x1FF};
  std::copy_n(".rsrc", 5, b.begin() + static_cast<std::ptrdiff_t>(l.sections));
  set32(b, l.sections + 8, static_cast<uint32_t>(rsrc.b.size()));
  set32(b, l.sections + 12, rsrc.rva);
  set32(b, l.sections + 16, static_cast<uint32_t>(raw));
  set32(b, l.sections + 20, static_cast<uint32_t>(l.rsrc));
  set32(b, l.sections + 36, 0x40000040);
  b.insert(b.end(), rsrc.b.begin(), rsrc.b.end());
  b.resize(l.rsrc + raw, 0);
  return b;
}

// --------------------------------------------------------- version record

// One node of a version record, laid out as windres lays it: key, padding,
// value, then each child on a 4-byte boundary; the length counts no
// padding after the last child.
struct VersionNode {
  std::string key;
  uint16_t type = 1;
  Bytes value;
  uint16_t value_length = 0;
  std::vector<VersionNode> children;
};

inline Bytes version_bytes(const VersionNode& node) {
  Bytes b(6, 0);
  utf16z(b, node.key);
  pad4(b);
  b.insert(b.end(), node.value.begin(), node.value.end());
  for (const VersionNode& child : node.children) {
    pad4(b);
    const Bytes c = version_bytes(child);
    b.insert(b.end(), c.begin(), c.end());
  }
  set16(b, 0, static_cast<uint32_t>(b.size()));
  set16(b, 2, node.value_length);
  set16(b, 4, node.type);
  return b;
}

inline VersionNode version_string(const std::string& key, const std::string& value) {
  Bytes v;
  utf16z(v, value);
  return {key, 1, v, static_cast<uint16_t>(value.size() + 1), {}};
}

inline Bytes fixed_part(uint32_t signature = 0xFEEF04BD) {
  Bytes f;
  for (uint32_t word : {signature, 0x10000u, 0x10000u, 0u, 0x10000u, 0u, 0x3Fu, 0u, 0x10004u, 1u, 0u, 0u, 0u})
    put32(f, word);
  return f;
}

}  // namespace fixture
