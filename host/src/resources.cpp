#include "resources.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>

#include "zaz/host_format.h"
#endif

namespace panel_host {

namespace {

using Bytes = std::span<const uint8_t>;

[[noreturn]] void fail(const std::string& message) { throw FormatError(message); }

std::string hex(uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
  return text;
}

// Whether [offset, offset + length) lies inside `size` bytes; written so
// that no sum can wrap.
bool fits(uint64_t size, uint64_t offset, uint64_t length) {
  return offset <= size && length <= size - offset;
}

uint64_t align4(uint64_t offset) { return (offset + 3) & ~uint64_t{3}; }

// Unchecked little-endian loads: callers check the range first.
uint16_t le16(Bytes b, uint64_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }
uint32_t le32(Bytes b, uint64_t at) {
  return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
         static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

uint16_t get16(Bytes b, uint64_t at, const std::string& what) {
  if (!fits(b.size(), at, 2)) fail(what);
  return le16(b, at);
}
uint32_t get32(Bytes b, uint64_t at, const std::string& what) {
  if (!fits(b.size(), at, 4)) fail(what);
  return le32(b, at);
}

void append_utf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | cp >> 6);
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | cp >> 12);
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | cp >> 18);
    out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// `count` UTF-16 units at `at` (already range-checked) as UTF-8; a lone
// surrogate becomes U+FFFD rather than an error, since names and strings
// are only shown.
std::string utf8_of_utf16(Bytes b, uint64_t at, uint64_t count) {
  std::string out;
  for (uint64_t i = 0; i < count; ++i) {
    uint32_t unit = le16(b, at + 2 * i);
    if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < count) {
      const uint32_t low = le16(b, at + 2 * (i + 1));
      if (low >= 0xDC00 && low < 0xE000) {
        append_utf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    if (unit >= 0xD800 && unit < 0xE000) unit = 0xFFFD;
    append_utf8(out, unit);
  }
  return out;
}

// A NUL-terminated UTF-16 string starting at `at` and ending before
// `limit`. Returns the text; `after` is set past the NUL.
std::optional<std::string> utf16z(Bytes b, uint64_t at, uint64_t limit, uint64_t& after) {
  limit = std::min<uint64_t>(limit, b.size());
  uint64_t end = at;
  while (true) {
    if (!fits(limit, end, 2)) return std::nullopt;
    if (le16(b, end) == 0) break;
    end += 2;
  }
  after = end + 2;
  return utf8_of_utf16(b, at, (end - at) / 2);
}

// ------------------------------------------------------------------ .res

// A type or name field of a .res header: 0xFFFF and an ordinal, or a
// NUL-terminated UTF-16 string.
struct ResName {
  uint32_t ordinal = 0;
  std::string text;
};

ResName res_name(Bytes header, uint64_t& at, const std::string& where, const char* field) {
  const uint16_t first = get16(header, at, where + ": " + field + " runs past the header");
  ResName name;
  if (first == 0xFFFF) {
    name.ordinal = get16(header, at + 2, where + ": " + field + " runs past the header");
    at += 4;
    return name;
  }
  uint64_t after = 0;
  auto text = utf16z(header, at, header.size(), after);
  if (!text) fail(where + ": " + field + " name is not terminated inside the header");
  if (text->empty()) fail(where + ": " + field + " name is empty");
  name.text = std::move(*text);
  at = after;
  return name;
}

// ------------------------------------------------------------------- PE

struct Section {
  uint32_t va = 0;
  uint32_t virtual_size = 0;
  uint32_t raw_offset = 0;
  uint32_t raw_size = 0;
};

// The file offset of the image bytes [rva, rva + length), when a section
// holds all of them in the file.
std::optional<uint64_t> file_offset(const std::vector<Section>& sections, uint64_t rva,
                                    uint64_t length) {
  for (const Section& s : sections) {
    // Only the part that is both mapped and backed by the file counts:
    // bytes past the raw data are zeros the loader makes up.
    const uint64_t mapped = s.virtual_size ? s.virtual_size : s.raw_size;
    const uint64_t backed = std::min<uint64_t>(mapped, s.raw_size);
    if (rva >= s.va && fits(backed, rva - s.va, length)) return uint64_t{s.raw_offset} + (rva - s.va);
  }
  return std::nullopt;
}

// The type → name → language tree of a resource section. Its depth is
// fixed, so walking it needs no recursion guard beyond refusing to enter
// any directory twice, which also stops loops and shared subtrees that
// could multiply the work.
class ResourceWalk {
 public:
  ResourceWalk(Bytes file, const std::vector<Section>& sections, Bytes section)
      : file_(file), sections_(sections), rsrc_(section) {}

  ResourceSet run() {
    directory(0, 0, Resource{});
    return std::move(out_);
  }

 private:
  void directory(uint32_t offset, int level, const Resource& path) {
    if (!seen_.insert(offset).second) fail("resource directory loop at offset " + hex(offset));
    if (!fits(rsrc_.size(), offset, 16))
      fail("resource directory at offset " + hex(offset) + " lies outside the resource section");
    const uint64_t count = uint64_t{le16(rsrc_, offset + 12)} + le16(rsrc_, offset + 14);
    if (!fits(rsrc_.size(), offset + 16, count * 8))
      fail("resource directory at offset " + hex(offset) + " has more entries than the section holds");

    for (uint64_t i = 0; i < count; ++i) {
      const uint64_t entry = offset + 16 + 8 * i;
      const uint32_t key = le32(rsrc_, entry);
      const uint32_t target = le32(rsrc_, entry + 4);
      const std::string where = "resource entry at offset " + hex(entry);

      Resource item = path;
      const bool named = key & 0x80000000u;
      if (level == 2 && (named || key > 0xFFFF)) fail(where + ": a language must be a 16-bit number");
      std::string text;
      if (named) text = name_at(key & 0x7FFFFFFFu, where);
      const bool subdirectory = target & 0x80000000u;

      if (level == 0) {
        item.type = named ? 0 : key;
        item.type_name = text;
      } else if (level == 1) {
        item.id = named ? 0 : key;
        item.name = text;
      } else {
        item.language = static_cast<uint16_t>(key);
      }

      if (level < 2) {
        if (!subdirectory) fail(where + ": points at data where a directory belongs");
        directory(target & 0x7FFFFFFFu, level + 1, item);
      } else {
        if (subdirectory) fail(where + ": a language entry points at another directory");
        data(target, where, item);
      }
    }
  }

  std::string name_at(uint32_t offset, const std::string& where) {
    if (!fits(rsrc_.size(), offset, 2)) fail(where + ": its name lies outside the resource section");
    const uint16_t length = le16(rsrc_, offset);
    if (!fits(rsrc_.size(), offset + 2, uint64_t{length} * 2))
      fail(where + ": its name runs past the resource section");
    if (length == 0) fail(where + ": its name is empty");
    return utf8_of_utf16(rsrc_, offset + 2, length);
  }

  void data(uint32_t offset, const std::string& where, Resource& item) {
    if (!fits(rsrc_.size(), offset, 16))
      fail(where + ": its data record lies outside the resource section");
    const uint32_t rva = le32(rsrc_, offset);
    const uint32_t size = le32(rsrc_, offset + 4);
    const auto at = file_offset(sections_, rva, size);
    if (!at)
      fail(where + ": its data (" + std::to_string(size) + " bytes at RVA " + hex(rva) +
           ") lies outside the file");
    // Honest entries don't overlap, so together they fit in the file; this
    // bounds what a hostile one can make us copy.
    total_ += size;
    if (total_ > file_.size()) fail("resource data entries claim more bytes than the file holds");
    item.data.assign(file_.begin() + static_cast<std::ptrdiff_t>(*at),
                     file_.begin() + static_cast<std::ptrdiff_t>(*at + size));
    out_.items.push_back(std::move(item));
  }

  Bytes file_;
  const std::vector<Section>& sections_;
  Bytes rsrc_;
  std::set<uint32_t> seen_;
  uint64_t total_ = 0;
  ResourceSet out_;
};

// ---------------------------------------------------------------- bitmaps

struct DibLayout {
  BitmapInfo info;
  uint64_t pixel_offset = 0;  // from the start of the DIB
};

std::optional<DibLayout> dib_layout(Bytes dib) {
  if (dib.size() < 4) return std::nullopt;
  const uint32_t header_size = le32(dib, 0);
  if (!fits(dib.size(), 0, header_size)) return std::nullopt;

  int64_t width = 0, height = 0;
  uint32_t planes = 0, bits = 0, compression = 0, image_size = 0, colours_used = 0;
  uint64_t palette_entry = 4, masks = 0;
  if (header_size == 12) {  // BITMAPCOREHEADER
    width = le16(dib, 4);
    height = le16(dib, 6);
    planes = le16(dib, 8);
    bits = le16(dib, 10);
    palette_entry = 3;
  } else if (header_size == 40 || header_size == 52 || header_size == 56 || header_size == 108 ||
             header_size == 124) {
    width = static_cast<int32_t>(le32(dib, 4));
    height = static_cast<int32_t>(le32(dib, 8));
    planes = le16(dib, 12);
    bits = le16(dib, 14);
    compression = le32(dib, 16);
    image_size = le32(dib, 20);
    colours_used = le32(dib, 32);
    // A plain info header keeps its colour masks just after itself.
    if (header_size == 40 && compression == 3) masks = 12;
    if (header_size == 40 && compression == 6) masks = 16;
  } else {
    return std::nullopt;
  }

  if (planes != 1) return std::nullopt;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return std::nullopt;
  const bool top_down = height < 0;
  const uint64_t rows = static_cast<uint64_t>(top_down ? -height : height);
  if (width <= 0 || rows == 0 || rows > 0x7FFFFFFF) return std::nullopt;

  uint64_t colours = colours_used;
  if (bits <= 8) {
    if (colours > (uint64_t{1} << bits)) return std::nullopt;
    if (colours == 0) colours = uint64_t{1} << bits;
  }
  if (colours > dib.size()) return std::nullopt;
  const uint64_t pixel_offset = header_size + masks + colours * palette_entry;

  uint64_t pixel_bytes = 0;
  if (compression == 0 || ((compression == 3 || compression == 6) && (bits == 16 || bits == 32))) {
    const uint64_t stride = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
    if (rows > dib.size() / stride) return std::nullopt;
    pixel_bytes = stride * rows;
  } else if ((compression == 1 && bits == 8) || (compression == 2 && bits == 4)) {
    // Run-length data has no fixed size; the header must give it.
    if (top_down || image_size == 0) return std::nullopt;
    pixel_bytes = image_size;
  } else {
    return std::nullopt;
  }
  if (!fits(dib.size(), pixel_offset, pixel_bytes)) return std::nullopt;

  return DibLayout{BitmapInfo{static_cast<int>(width), static_cast<int>(rows), static_cast<int>(bits)},
                   pixel_offset};
}

// ---------------------------------------------------------------- version

// One node of a version record: wLength, wValueLength, wType, the key, then
// the value and children, each on a 4-byte boundary of the record.
struct VersionBlock {
  uint64_t begin = 0, end = 0;
  uint16_t value_length = 0;
  uint16_t type = 0;
  std::string key;
  uint64_t value = 0;  // where the value starts (at most `end`)
};

VersionBlock version_block(Bytes b, uint64_t at, uint64_t limit, const std::string& what) {
  if (!fits(limit, at, 6)) fail("version record: " + what + " is truncated at offset " + hex(at));
  VersionBlock block;
  block.begin = at;
  const uint16_t length = le16(b, at);
  block.value_length = le16(b, at + 2);
  block.type = le16(b, at + 4);
  if (length < 6 || !fits(limit, at, length))
    fail("version record: " + what + " at offset " + hex(at) + " has length " +
         std::to_string(length) + ", which does not fit its parent");
  block.end = at + length;
  uint64_t after = 0;
  auto key = utf16z(b, at + 6, block.end, after);
  if (!key) fail("version record: " + what + " at offset " + hex(at) + " has an unterminated key");
  block.key = std::move(*key);
  block.value = std::min(align4(after), block.end);
  return block;
}

// Calls `visit` for each child block in [from, end).
template <class Visit>
void version_children(Bytes b, uint64_t from, uint64_t end, const std::string& what, Visit visit) {
  uint64_t at = align4(from);
  // Fewer bytes than a block header are padding before the parent's end.
  while (at < end && end - at >= 6) {
    const VersionBlock child = version_block(b, at, end, what);
    visit(child);
    at = align4(child.end);
  }
}

std::string text_value(Bytes b, const VersionBlock& block) {
  const uint64_t room = block.end - block.value;
  // Writers disagree on whether a text value's length counts characters or
  // bytes; either way it must fit the block, and the text runs to its NUL.
  if (block.value_length > room)
    fail("version record: the value of \"" + block.key + "\" runs past its block");
  uint64_t count = 0;
  while (count < room / 2 && le16(b, block.value + 2 * count) != 0) ++count;
  return utf8_of_utf16(b, block.value, count);
}

// ------------------------------------------------------------------ files

std::vector<uint8_t> read_whole_file(const std::string& path) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (status.type() == std::filesystem::file_type::not_found) fail(path + ": no such file");
  if (ec) fail(path + ": " + ec.message());
  if (!std::filesystem::is_regular_file(status)) fail(path + ": not a regular file");
  std::ifstream in(path, std::ios::binary);
  if (!in) fail(path + ": cannot open: " + std::strerror(errno));
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  // Far beyond any gauge module; refuse rather than try to hold it.
  if (size < 0 || size > (std::streamoff{1} << 30)) fail(path + ": cannot read its size, or too large");
  in.seekg(0, std::ios::beg);
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size)) fail(path + ": read failed");
  return bytes;
}

constexpr uint8_t res_leading_entry[16] = {0, 0, 0, 0, 0x20, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0};

bool starts_with(Bytes b, std::span<const uint8_t> prefix) {
  return b.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), b.begin());
}

}  // namespace

const Resource* ResourceSet::find(uint32_t type, uint32_t id) const {
  for (const Resource& r : items)
    if (r.type == type && r.id == id && r.type_name.empty() && r.name.empty()) return &r;
  return nullptr;
}

ResourceSet parse_res(Bytes bytes) {
  // 32-bit .res files open with an empty entry, which also tells them from
  // the older 16-bit format.
  if (bytes.size() < 32 || !starts_with(bytes, res_leading_entry))
    fail("not a .res file: it does not start with the empty 32-byte entry");

  ResourceSet set;
  uint64_t at = 32;
  while (at < bytes.size()) {
    const std::string where = ".res entry at offset " + hex(at);
    if (!fits(bytes.size(), at, 8)) fail(where + " is truncated");
    const uint32_t data_size = le32(bytes, at);
    const uint32_t header_size = le32(bytes, at + 4);
    if (header_size < 8) fail(where + ": header size " + std::to_string(header_size) + " is too small");
    if (!fits(bytes.size(), at, header_size))
      fail(where + ": header size " + std::to_string(header_size) + " runs past the end");
    const Bytes header = bytes.subspan(at, header_size);

    uint64_t field = 8;
    ResName type = res_name(header, field, where, "type");
    ResName name = res_name(header, field, where, "name");
    field = align4(field);
    // DataVersion, MemoryFlags, LanguageId, Version, Characteristics.
    if (!fits(header.size(), field, 16)) fail(where + ": header too short for its fixed fields");

    Resource item;
    item.type = type.ordinal;
    item.type_name = std::move(type.text);
    item.id = name.ordinal;
    item.name = std::move(name.text);
    item.language = le16(header, field + 6);
    const uint64_t data = at + header_size;
    if (!fits(bytes.size(), data, data_size))
      fail(where + ": its " + std::to_string(data_size) + " bytes of data run past the end");
    item.data.assign(bytes.begin() + static_cast<std::ptrdiff_t>(data),
                     bytes.begin() + static_cast<std::ptrdiff_t>(data + data_size));
    set.items.push_back(std::move(item));
    // The padding after the last entry may be left off.
    at = std::min<uint64_t>(align4(data + data_size), bytes.size());
  }
  return set;
}

ResourceSet read_pe_resources(Bytes file) {
  if (file.size() < 2 || file[0] != 'M' || file[1] != 'Z') fail("not a PE file: no MZ header");
  const uint32_t pe = get32(file, 0x3C, "not a PE file: the DOS header is truncated");
  if (!fits(file.size(), pe, 24) || std::memcmp(file.data() + pe, "PE\0\0", 4) != 0)
    fail("not a PE file: no PE signature at offset " + hex(pe));

  const uint64_t coff = uint64_t{pe} + 4;
  const uint16_t section_count = le16(file, coff + 2);
  const uint16_t optional_size = le16(file, coff + 16);
  const uint64_t optional = coff + 20;
  if (!fits(file.size(), optional, optional_size))
    fail("PE optional header runs past the end of the file");
  const Bytes opt = file.subspan(optional, optional_size);
  const uint16_t magic = get16(opt, 0, "PE optional header is empty");
  uint64_t count_at = 0;
  if (magic == 0x10B)
    count_at = 92;  // PE32
  else if (magic == 0x20B)
    count_at = 108;  // PE32+
  else
    fail("PE optional header has unknown magic " + hex(magic));
  const uint32_t directory_count = get32(opt, count_at, "PE optional header is too short");
  const uint64_t directories = count_at + 4;
  if (!fits(opt.size(), directories, uint64_t{directory_count} * 8))
    fail("PE optional header lists more data directories than it holds");

  const uint64_t table = optional + optional_size;
  if (!fits(file.size(), table, uint64_t{section_count} * 40))
    fail("PE section table runs past the end of the file");
  std::vector<Section> sections;
  for (uint64_t i = 0; i < section_count; ++i) {
    const uint64_t s = table + 40 * i;
    Section section{le32(file, s + 12), le32(file, s + 8), le32(file, s + 20), le32(file, s + 16)};
    if (section.raw_size && !fits(file.size(), section.raw_offset, section.raw_size))
      fail("PE section " + std::to_string(i + 1) + " lies past the end of the file (truncated?)");
    sections.push_back(section);
  }

  constexpr uint32_t resource_directory = 2;
  if (directory_count <= resource_directory) return {};
  const uint32_t rva = le32(opt, directories + 8 * resource_directory);
  const uint32_t size = le32(opt, directories + 8 * resource_directory + 4);
  if (rva == 0 && size == 0) return {};
  const auto at = file_offset(sections, rva, size);
  if (!at) fail("resource directory points outside the file");
  if (size < 16) fail("resource directory is too small to hold its root");
  return ResourceWalk(file, sections, file.subspan(*at, size)).run();
}

#ifdef _WIN32

namespace {

struct EnumContext {
  HMODULE module;
  ResourceSet* out;
  bool failed = false;
};

std::string utf8_of_wide(const wchar_t* text) {
  std::vector<uint8_t> units;
  size_t count = 0;
  for (; text[count]; ++count) {
    units.push_back(static_cast<uint8_t>(text[count] & 0xFF));
    units.push_back(static_cast<uint8_t>(text[count] >> 8));
  }
  return utf8_of_utf16(units, 0, count);
}

BOOL CALLBACK each_language(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR param) {
  auto* context = reinterpret_cast<EnumContext*>(param);
  try {
    HRSRC found = FindResourceExW(module, type, name, language);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* bytes = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    if (!bytes) {
      context->failed = true;
      return FALSE;
    }
    Resource item;
    item.type = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(type));
    if (IS_INTRESOURCE(name))
      item.id = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(name));
    else
      item.name = utf8_of_wide(name);
    item.language = language;
    item.data.assign(bytes, bytes + SizeofResource(module, found));
    context->out->items.push_back(std::move(item));
    return TRUE;
  } catch (...) {
    context->failed = true;
    return FALSE;
  }
}

BOOL CALLBACK each_name(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param) {
  return EnumResourceLanguagesW(module, type, name, each_language, param) ||
         !reinterpret_cast<EnumContext*>(param)->failed;
}

}  // namespace

ResourceSet resources_from_handle(void* dl_handle) {
  ResourceSet set;
  EnumContext context{static_cast<HMODULE>(dl_handle), &set};
  for (uint32_t type : {rt_bitmap, rt_version})
    EnumResourceNamesW(context.module, MAKEINTRESOURCEW(type), each_name,
                       reinterpret_cast<LONG_PTR>(&context));
  if (context.failed) fail("cannot load the module's resources");
  return set;
}

#else

ResourceSet resources_from_handle(void* dl_handle) {
  dlerror();
  const auto* table = static_cast<const host::ResourceTable*>(dlsym(dl_handle, "Resources"));
  if (!table) fail("the module exports no Resources record");
  const auto begin = reinterpret_cast<uintptr_t>(table->begin);
  const auto end = reinterpret_cast<uintptr_t>(table->end);
  // The module is already running in our process, so this can't guard
  // against a hostile one; it catches a record that was never filled in.
  if (!table->begin || end < begin || end - begin > (uintptr_t{1} << 30))
    fail("the module's Resources record is not a range of bytes");
  return parse_res(Bytes(table->begin, end - begin));
}

#endif

ResourceSet resources_of_module_file(const std::string& path) {
  const std::vector<uint8_t> bytes = read_whole_file(path);
  try {
    if (starts_with(bytes, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>("MZ"), 2)))
      return read_pe_resources(bytes);
    if (starts_with(bytes, res_leading_entry)) return parse_res(bytes);
#ifdef _WIN32
    fail("not a module: neither a PE file nor a .res file");
#else
    if (!starts_with(bytes, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>("\x7F" "ELF"), 4)))
      fail("not a module: neither a PE file, a .res file nor an ELF shared object");
    // Without a slash dlopen would search the library path instead.
    const std::string load = path.find('/') == std::string::npos ? "./" + path : path;
    void* handle = dlopen(load.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      const char* why = dlerror();
      fail(std::string("cannot load: ") + (why ? why : "unknown error"));
    }
    struct Closer {
      void* handle;
      ~Closer() { dlclose(handle); }
    } closer{handle};
    return resources_from_handle(handle);  // parse_res copies the bytes out
#endif
  } catch (const FormatError& e) {
    fail(path + ": " + e.what());
  }
}

std::optional<BitmapInfo> bitmap_info(Bytes dib) {
  if (auto layout = dib_layout(dib)) return layout->info;
  return std::nullopt;
}

std::vector<uint8_t> bmp_file_bytes(Bytes dib) {
  const auto layout = dib_layout(dib);
  if (!layout) fail("not a bitmap: the header is unreadable or the pixels don't fit");
  constexpr uint64_t file_header = 14;
  if (dib.size() > 0xFFFFFFFFu - file_header) fail("bitmap too large for a .bmp file");
  const auto total = static_cast<uint32_t>(file_header + dib.size());
  const auto pixels = static_cast<uint32_t>(file_header + layout->pixel_offset);
  std::vector<uint8_t> out{'B', 'M'};
  for (uint32_t word : {total, 0u, pixels})
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(word >> shift));
  out.insert(out.end(), dib.begin(), dib.end());
  return out;
}

VersionInfo parse_version(Bytes bytes) {
  const VersionBlock root = version_block(bytes, 0, bytes.size(), "the root block");
  if (root.key != "VS_VERSION_INFO") fail("not a version record: its root key is not VS_VERSION_INFO");

  VersionInfo info;
  if (root.value_length != 0) {
    if (root.value_length != 52)
      fail("version record: the fixed part is " + std::to_string(root.value_length) + " bytes, not 52");
    if (!fits(root.end, root.value, 52)) fail("version record: the fixed part runs past the record");
    const uint64_t f = root.value;
    if (le32(bytes, f) != 0xFEEF04BDu) fail("version record: the fixed part has the wrong signature");
    info.has_fixed_part = true;
    info.file_version_ms = le32(bytes, f + 8);
    info.file_version_ls = le32(bytes, f + 12);
    info.product_version_ms = le32(bytes, f + 16);
    info.product_version_ls = le32(bytes, f + 20);
    info.flags_mask = le32(bytes, f + 24);
    info.flags = le32(bytes, f + 28);
    info.os = le32(bytes, f + 32);
    info.file_type = le32(bytes, f + 36);
    info.file_subtype = le32(bytes, f + 40);
  }

  bool have_table = false;
  version_children(bytes, root.value + root.value_length, root.end, "a child of the root", [&](const VersionBlock& child) {
    if (child.key == "StringFileInfo") {
      version_children(bytes, child.value, child.end, "a string table", [&](const VersionBlock& table) {
        std::vector<std::pair<std::string, std::string>> strings;
        version_children(bytes, table.value, table.end, "a string", [&](const VersionBlock& string) {
          strings.emplace_back(string.key, text_value(bytes, string));
        });
        if (!have_table) {
          have_table = true;
          info.string_table = table.key;
          info.strings = std::move(strings);
        }
      });
    } else if (child.key == "VarFileInfo") {
      version_children(bytes, child.value, child.end, "a variable", [&](const VersionBlock& var) {
        if (var.key != "Translation") return;
        if (!fits(var.end, var.value, var.value_length) || var.value_length % 4 != 0)
          fail("version record: the translation value is not whole language and code page pairs");
        for (uint64_t at = var.value; at < var.value + var.value_length; at += 4)
          info.translations.emplace_back(le16(bytes, at), le16(bytes, at + 2));
      });
    }
  });
  return info;
}

}  // namespace panel_host
