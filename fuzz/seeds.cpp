// Writes the fuzzers' starting corpora: small well-formed inputs of every
// kind the readers take, built here byte by byte, the small resources of
// any .res or .gau files the build made, any scenario files, and random
// inputs for the structured fuzzers.
//
//   fuzz-seeds OUT_DIR [FILE.res | FILE.gau | FILE.toml]...
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "resources.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

void put16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(Bytes& b, uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}
void set32(Bytes& b, std::size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
void pad4(Bytes& b) {
  while (b.size() % 4 != 0) b.push_back(0);
}
void utf16z(Bytes& b, const std::string& ascii) {
  for (char c : ascii) put16(b, static_cast<uint8_t>(c));
  put16(b, 0);
}

// ---------------------------------------------------------------- bitmaps

Bytes dib(int width, int height, int bits, uint32_t compression = 0) {
  Bytes b;
  put32(b, 40);
  put32(b, static_cast<uint32_t>(width));
  put32(b, static_cast<uint32_t>(height));
  put16(b, 1);
  put16(b, static_cast<uint32_t>(bits));
  put32(b, compression);
  const uint32_t stride = (static_cast<uint32_t>(width) * bits + 31) / 32 * 4;
  const uint32_t rows = static_cast<uint32_t>(height < 0 ? -height : height);
  Bytes pixels(stride * rows, 0x5A);
  if (compression == 1) pixels = {2, 7, 0, 0, 0, 1};  // a run, end of line, end of bitmap
  put32(b, static_cast<uint32_t>(pixels.size()));
  put32(b, 2835);
  put32(b, 2835);
  put32(b, 0);  // every palette entry
  put32(b, 0);
  if (bits <= 8)
    for (uint32_t i = 0; i < (1u << bits); ++i) put32(b, i * 0x010101u);
  if (compression == 3) {
    put32(b, 0xF800);
    put32(b, 0x07E0);
    put32(b, 0x001F);
  }
  b.insert(b.end(), pixels.begin(), pixels.end());
  return b;
}

Bytes core_dib() {
  Bytes b;
  put32(b, 12);
  put16(b, 3);
  put16(b, 2);
  put16(b, 1);
  put16(b, 8);
  for (int i = 0; i < 256; ++i) b.insert(b.end(), {uint8_t(i), uint8_t(i), uint8_t(i)});
  b.insert(b.end(), 8, 0x11);
  return b;
}

// ---------------------------------------------------------------- version

// A version block: header, key, then value and children on 4-byte bounds.
Bytes block(const std::string& key, uint16_t type, const Bytes& value, uint16_t value_length,
            const std::vector<Bytes>& children) {
  Bytes b(6, 0);
  utf16z(b, key);
  pad4(b);
  b.insert(b.end(), value.begin(), value.end());
  for (const Bytes& c : children) {
    pad4(b);
    b.insert(b.end(), c.begin(), c.end());
  }
  b[0] = static_cast<uint8_t>(b.size());
  b[1] = static_cast<uint8_t>(b.size() >> 8);
  b[2] = static_cast<uint8_t>(value_length);
  b[3] = static_cast<uint8_t>(value_length >> 8);
  b[4] = static_cast<uint8_t>(type);
  return b;
}

Bytes string_block(const std::string& key, const std::string& text) {
  Bytes value;
  utf16z(value, text);
  return block(key, 1, value, static_cast<uint16_t>(text.size() + 1), {});
}

Bytes version_record() {
  Bytes fixed;
  for (uint32_t v : {0xFEEF04BDu, 0x00010000u, 0x00010000u, 0u, 0x00010000u, 0u, 0x3Fu, 0u, 0x40004u, 2u, 0u, 0u, 0u})
    put32(fixed, v);
  const Bytes strings = block("040904b0", 1, {}, 0,
                              {string_block("FileDescription", "Eicas"), string_block("FileVersion", "1.0"),
                               string_block("OriginalFilename", "Zazader_EICAS.gau")});
  Bytes translation;
  put16(translation, 0x0409);
  put16(translation, 0x04B0);
  return block("VS_VERSION_INFO", 0, fixed, 52,
               {block("StringFileInfo", 1, {}, 0, {strings}),
                block("VarFileInfo", 1, {}, 0, {block("Translation", 0, translation, 4, {})})});
}

// ---------------------------------------------------------------- .res

struct Item {
  uint32_t type;
  uint32_t id;
  Bytes data;
};

Bytes res_file(const std::vector<Item>& items) {
  Bytes b = {0, 0, 0, 0, 0x20, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0};
  b.resize(32, 0);
  for (const Item& item : items) {
    put32(b, static_cast<uint32_t>(item.data.size()));
    put32(b, 32);
    put16(b, 0xFFFF);
    put16(b, item.type);
    put16(b, 0xFFFF);
    put16(b, item.id);
    put32(b, 0);       // data version
    put16(b, 0x1030);  // memory flags
    put16(b, 1033);
    put32(b, 0);  // version
    put32(b, 0);  // characteristics
    b.insert(b.end(), item.data.begin(), item.data.end());
    pad4(b);
  }
  return b;
}

// ------------------------------------------------------------------- PE

// A small DLL: export, import, resource and relocation tables, one
// section each, as a linker lays them out.
Bytes pe_file(const std::vector<Item>& items, bool plus, uint32_t relocation_block = 12) {
  constexpr uint32_t file_align = 0x200, section_align = 0x1000;
  const uint32_t optional_size = plus ? 240 : 224;
  const char* names[] = {".edata", ".idata", ".rsrc", ".reloc"};
  constexpr uint32_t count = 4;
  const uint32_t headers = 0x400;

  std::vector<Bytes> data(count);
  // The resource section may pass a page; the relocations follow it.
  uint32_t rvas[count] = {section_align, 2 * section_align, 3 * section_align, 0};
  auto rva_of = [&](uint32_t s) { return rvas[s]; };

  // .edata: two exports by name, Linkage @1 and ImportTable @2.
  {
    Bytes& e = data[0];
    const uint32_t base = rva_of(0);
    e.resize(40, 0);
    set32(e, 12, base + 40);  // name
    set32(e, 16, 1);          // ordinal base
    set32(e, 20, 2);
    set32(e, 24, 2);
    set32(e, 28, base + 64);
    set32(e, 32, base + 72);
    set32(e, 36, base + 80);
    const std::string dll = "Zazader_EICAS.gau";
    e.insert(e.end(), dll.begin(), dll.end());
    e.resize(64, 0);
    put32(e, 0x3000);
    put32(e, 0x3010);  // addresses
    put32(e, base + 84);
    put32(e, base + 92);  // names
    put16(e, 0);
    put16(e, 1);  // ordinals
    for (const char* n : {"Linkage", "ImportTable"}) {  // at 84 and 92
      for (const char* p = n; *p; ++p) e.push_back(static_cast<uint8_t>(*p));
      e.push_back(0);
    }
  }
  // .idata: KERNEL32.dll, LoadLibraryA by name and one by ordinal.
  {
    Bytes& i = data[1];
    const uint32_t base = rva_of(1);
    const uint32_t step = plus ? 8 : 4;
    i.resize(40, 0);  // one descriptor, then the null one
    const uint32_t lookup = base + 64, thunks = base + 96, hint = base + 128, dll = base + 160;
    set32(i, 0, lookup);
    set32(i, 12, dll);
    set32(i, 16, thunks);
    i.resize(160 + 16, 0);
    for (uint32_t table : {lookup, thunks}) {
      const uint32_t at = table - base;
      set32(i, at, hint);
      if (plus)
        i[at + step + 7] = 0x80;
      else
        i[at + step + 3] = 0x80;
      i[at + step] = 7;  // ordinal 7
    }
    const std::string name = "LoadLibraryA", kernel = "KERNEL32.dll";
    for (std::size_t k = 0; k < name.size(); ++k) i[hint - base + 2 + k] = static_cast<uint8_t>(name[k]);
    for (std::size_t k = 0; k < kernel.size(); ++k) i[dll - base + k] = static_cast<uint8_t>(kernel[k]);
  }
  // .rsrc: type -> id -> language 1033 -> data.
  {
    Bytes& r = data[2];
    const uint32_t base = rva_of(2);
    std::vector<uint32_t> types;
    for (const Item& item : items) {
      bool seen = false;
      for (uint32_t t : types) seen = seen || t == item.type;
      if (!seen) types.push_back(item.type);
    }
    auto directory = [&](uint32_t entries) {
      const std::size_t at = r.size();
      r.resize(at + 16 + 8 * entries, 0);
      r[at + 14] = static_cast<uint8_t>(entries);
      return at;
    };
    const std::size_t root = directory(static_cast<uint32_t>(types.size()));
    std::vector<std::size_t> data_entries;
    for (std::size_t t = 0; t < types.size(); ++t) {
      std::vector<const Item*> of_type;
      for (const Item& item : items)
        if (item.type == types[t]) of_type.push_back(&item);
      const std::size_t names_dir = directory(static_cast<uint32_t>(of_type.size()));
      set32(r, root + 16 + 8 * t, types[t]);
      set32(r, root + 20 + 8 * t, 0x80000000u | static_cast<uint32_t>(names_dir));
      for (std::size_t n = 0; n < of_type.size(); ++n) {
        const std::size_t languages = directory(1);
        set32(r, names_dir + 16 + 8 * n, of_type[n]->id);
        set32(r, names_dir + 20 + 8 * n, 0x80000000u | static_cast<uint32_t>(languages));
        set32(r, languages + 16, 1033);
        const std::size_t entry = r.size();
        r.resize(entry + 16, 0);
        set32(r, languages + 20, static_cast<uint32_t>(entry));
        set32(r, entry + 4, static_cast<uint32_t>(of_type[n]->data.size()));
        data_entries.push_back(entry);
      }
    }
    std::size_t k = 0;
    for (std::size_t t = 0; t < types.size(); ++t)
      for (const Item& item : items) {
        if (item.type != types[t]) continue;
        pad4(r);
        set32(r, data_entries[k++], base + static_cast<uint32_t>(r.size()));
        r.insert(r.end(), item.data.begin(), item.data.end());
      }
  }
  rvas[3] = rvas[2] + (static_cast<uint32_t>(data[2].size()) + section_align - 1) / section_align * section_align;
  // .reloc: one page, two HIGHLOW (or DIR64) fixups.
  {
    Bytes& l = data[3];
    put32(l, section_align);
    put32(l, relocation_block);
    const uint16_t type = plus ? 0xA000 : 0x3000;
    put16(l, type | 0x010);
    put16(l, type | 0x020);
  }

  Bytes b(headers, 0);
  b[0] = 'M';
  b[1] = 'Z';
  set32(b, 0x3C, 0x80);
  std::size_t at = 0x80;
  for (char c : std::string("PE\0\0", 4)) b[at++] = static_cast<uint8_t>(c);
  const std::size_t coff = at;
  b[coff] = plus ? 0x64 : 0x4C;
  b[coff + 1] = plus ? 0x86 : 0x01;
  b[coff + 2] = count;
  b[coff + 16] = static_cast<uint8_t>(optional_size);
  b[coff + 18] = 0x02;
  b[coff + 19] = 0x21;  // executable, DLL
  const std::size_t opt = coff + 20;
  b[opt] = 0x0B;
  b[opt + 1] = plus ? 0x02 : 0x01;
  if (plus) {
    set32(b, opt + 24, 0x10000000);
    set32(b, opt + 28, 0);
  } else {
    set32(b, opt + 28, 0x10000000);
  }
  set32(b, opt + 32, section_align);
  set32(b, opt + 36, file_align);
  set32(b, opt + 56, rvas[3] + section_align);
  set32(b, opt + 60, headers);
  const std::size_t dirs = opt + (plus ? 108 : 92);
  set32(b, dirs, 16);
  const int directory_of[] = {0, 1, 2, 5};
  const std::size_t table = opt + optional_size;
  uint32_t raw = headers;
  for (uint32_t s = 0; s < count; ++s) {
    set32(b, dirs + 4 + 8 * directory_of[s], rva_of(s));
    set32(b, dirs + 8 + 8 * directory_of[s], static_cast<uint32_t>(data[s].size()));
    const std::size_t h = table + 40 * s;
    for (std::size_t c = 0; names[s][c] != '\0'; ++c) b[h + c] = static_cast<uint8_t>(names[s][c]);
    const uint32_t raw_size = (static_cast<uint32_t>(data[s].size()) + file_align - 1) / file_align * file_align;
    set32(b, h + 8, static_cast<uint32_t>(data[s].size()));
    set32(b, h + 12, rva_of(s));
    set32(b, h + 16, raw_size);
    set32(b, h + 20, raw);
    set32(b, h + 36, 0x40000040);
    raw += raw_size;
  }
  for (uint32_t s = 0; s < count; ++s) {
    data[s].resize((data[s].size() + file_align - 1) / file_align * file_align, 0);
    b.insert(b.end(), data[s].begin(), data[s].end());
  }
  return b;
}

// ---------------------------------------------------------------- output

void write(const fs::path& dir, const std::string& name, const Bytes& bytes) {
  fs::create_directories(dir);
  std::ofstream out(dir / name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void write(const fs::path& dir, const std::string& name, const std::string& text) {
  write(dir, name, Bytes(text.begin(), text.end()));
}

Bytes read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Seeds stay small: a fuzzer mutates a few kilobytes far better than a
// megabyte of pixels.
constexpr std::size_t small = 2048;

const char* scenario_texts[] = {
    "title = \"Cruise\"\ndescription = \"FL350\"\n[variables]\n0x301 = 1.0\n0x3D = 250.0\n64 = 16384\n",
    "[variables]\n0x301 = 1\n0x3D = nan\n0x40 = inf\n0x74 = -inf\n0x3F = 1e308\n",
    ("title = \"Climb\"\n[variables]\n0x301 = 1.0\n\n[[timeline]]\nt = 0.0\n0x3D = 120.0\n\n"
     "[[timeline]]\nt = 10.5\n0x3D = 280.0\n0x40 = 16000\n\n[[timeline]]\nt = 20\n0x3D = nan\n"),
    "[[timeline]]\nt = 0\n0x14C = 0\n[[timeline]]\nt = 5\n0x14C = 16384\n",
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: fuzz-seeds OUT_DIR [FILE.res | FILE.gau | FILE.toml]...\n");
    return 2;
  }
  const fs::path out = argv[1];

  std::vector<Bytes> bitmaps = {dib(2, 2, 8), dib(3, -2, 24), dib(5, 1, 1), dib(4, 4, 4), dib(2, 2, 16, 3),
                                dib(1, 1, 32), dib(2, 1, 8, 1), core_dib()};
  std::vector<Bytes> versions = {version_record()};
  std::vector<Item> items = {{panel_host::rt_bitmap, 0x100, bitmaps[0]},
                             {panel_host::rt_bitmap, 0x101, bitmaps[1]},
                             {panel_host::rt_version, 1, versions[0]}};
  int n = 0;
  for (int i = 2; i < argc; ++i) {
    const fs::path file = argv[i];
    const std::string kind = file.extension().string();
    const std::string stem =
        file.parent_path().filename().string() + "-" + file.stem().string() + "-" + std::to_string(n++);
    if (kind == ".toml") {
      write(out / "scenario", stem, read(file));
      continue;
    }
    try {
      const Bytes bytes = read(file);
      const panel_host::ResourceSet set =
          kind == ".res" ? panel_host::parse_res(bytes) : panel_host::read_pe_resources(bytes);
      std::vector<Item> kept;
      for (const panel_host::Resource& r : set.items) {
        if (r.data.size() > small) continue;
        if (r.type == panel_host::rt_bitmap) bitmaps.push_back(r.data);
        if (r.type == panel_host::rt_version) versions.push_back(r.data);
        if (kept.size() < 6) kept.push_back({r.type, r.id, r.data});
      }
      write(out / "res", stem + ".res", res_file(kept));
      write(out / "pe", stem + ".gau", pe_file(kept, false));
    } catch (const panel_host::FormatError& e) {
      std::fprintf(stderr, "fuzz-seeds: skipping %s: %s\n", file.c_str(), e.what());
    }
  }

  write(out / "res", "own.res", res_file(items));
  write(out / "pe", "own32.gau", pe_file(items, false));
  write(out / "pe", "own64.gau", pe_file(items, true));
  // Found by fuzzing: a relocation block claiming nearly 4 GiB.
  write(out / "pe", "regression-relocation-block.gau", pe_file(items, false, 0xFFFFFFF0));
  for (std::size_t i = 0; i < bitmaps.size() && i < 40; ++i) write(out / "bitmap", std::to_string(i), bitmaps[i]);
  for (std::size_t i = 0; i < versions.size(); ++i) write(out / "version", std::to_string(i), versions[i]);
  for (std::size_t i = 0; i < std::size(scenario_texts); ++i)
    write(out / "scenario", "own-" + std::to_string(i) + ".toml", std::string(scenario_texts[i]));
  // Found by fuzzing: a non-ASCII character where a key belongs reaches a
  // point toml++ 3.3 declares unreachable (its whitespace table has gaps).
  write(out / "scenario", "regression-non-ascii-key.toml", std::string("[variables]\n\xC3\xA9 = 1\n"));
  write(out / "scenario", "regression-non-ascii-after-value.toml", std::string("title = \"x\" \xCD\x87\n"));

  // The structured fuzzers read their input as a stream of choices; random
  // streams of a few lengths start them off across all of them.
  std::mt19937_64 random(0x5A5A);
  for (const char* target : {"eicas", "airspeed", "backup_airspeed", "format"}) {
    for (std::size_t length : {8, 32, 64, 128, 256, 512, 1024, 4096}) {
      if (std::string(target) == "format" && length > 256) continue;
      for (int copy = 0; copy < 4; ++copy) {
        Bytes b(length);
        for (uint8_t& byte : b) byte = static_cast<uint8_t>(random());
        write(out / target, std::to_string(length) + "-" + std::to_string(copy), b);
      }
    }
  }
  return 0;
}
