// Reading a gauge module's resources: its bitmaps and its version record.
//
// A Windows module keeps them in the PE resource section; a POSIX module
// exports `Resources`, the bytes of a Windows .res file. Every reader here
// takes the bytes as untrusted: anything malformed is a FormatError.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace panel_host {

inline constexpr uint32_t rt_bitmap = 2;
inline constexpr uint32_t rt_version = 16;

class FormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Resource {
  uint32_t type = 0;  // 0 when the type is named by `type_name`
  uint32_t id = 0;    // 0 when the resource is named by `name`
  uint16_t language = 0;
  std::vector<uint8_t> data;
  std::string type_name;  // UTF-8; empty for a numeric type
  std::string name;       // UTF-8; empty for a numeric id
};

struct ResourceSet {
  std::vector<Resource> items;  // in file order

  // The first resource with this numeric type and id, or null.
  const Resource* find(uint32_t type, uint32_t id) const;
};

// The records of a Windows .res file, without its leading empty entry.
ResourceSet parse_res(std::span<const uint8_t> bytes);

// The resources of a PE32 or PE32+ image file (not a mapped image).
ResourceSet read_pe_resources(std::span<const uint8_t> file);

// The resources of a loaded module. POSIX: its exported `Resources` table;
// Windows: its bitmap and version resources. The data is copied out.
ResourceSet resources_from_handle(void* dl_handle);

// A module file by path: a PE file ("MZ") is read as a file; a .res file
// is parsed as it is; anything else is loaded with the system loader (POSIX)
// and asked for its `Resources`. Errors name the path.
ResourceSet resources_of_module_file(const std::string& path);

struct BitmapInfo {
  int width = 0;
  int height = 0;  // rows, whether stored bottom-up or top-down
  int bits = 0;    // bits per pixel
};

// The size and depth of a device-independent bitmap (a BITMAP resource),
// or nothing when the header is unreadable or its pixels don't fit.
std::optional<BitmapInfo> bitmap_info(std::span<const uint8_t> dib);

// A whole .bmp file for a BITMAP resource: the 14-byte file header, then
// the resource bytes. Throws FormatError when bitmap_info rejects them.
std::vector<uint8_t> bmp_file_bytes(std::span<const uint8_t> dib);

struct VersionInfo {
  bool has_fixed_part = false;  // the fields below up to file_subtype
  uint32_t file_version_ms = 0, file_version_ls = 0;
  uint32_t product_version_ms = 0, product_version_ls = 0;
  uint32_t flags_mask = 0, flags = 0, os = 0, file_type = 0, file_subtype = 0;
  // Key and value, UTF-8, in record order, from the first string table.
  std::vector<std::pair<std::string, std::string>> strings;
  std::string string_table;  // that table's key, e.g. "040904b0"
  std::vector<std::pair<uint16_t, uint16_t>> translations;  // language, code page
};

// A VS_VERSIONINFO record (a VERSION resource).
VersionInfo parse_version(std::span<const uint8_t> bytes);

}  // namespace panel_host
