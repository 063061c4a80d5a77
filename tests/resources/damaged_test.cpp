// Damaged and foreign input: every fault is a FormatError that says what
// is wrong, never a crash or a read out of bounds (run under ASan/UBSan).
#include <functional>

#include "support.h"

namespace {

using namespace panel_host;
using fixture::Bytes;
using fixture::PeLayout;
using fixture::Rsrc;

void expect_error(const std::function<void()>& read, const std::string& message) {
  try {
    read();
    ADD_FAILURE() << "accepted; expected an error saying \"" << message << "\"";
  } catch (const FormatError& e) {
    EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
  }
}

// ------------------------------------------------------- fixture files

struct FixtureFile {
  const char* name;
  const std::string* path;
  bool pe;
};
void PrintTo(const FixtureFile& c, std::ostream* os) { *os << c.name; }

ResourceSet parse(const FixtureFile& f, std::span<const uint8_t> bytes) {
  return f.pe ? read_pe_resources(bytes) : parse_res(bytes);
}

class DamagedFixture : public ::testing::TestWithParam<FixtureFile> {};

// A .res file has no count of its entries, so a prefix ending between two
// entries is a shorter, sound file; any other prefix must be refused. The
// DLLs are stripped and end with their last section, so no prefix of one
// is whole.
TEST_P(DamagedFixture, EveryPrefixIsRejectedOrAWholeShorterFile) {
  SKIP_WITHOUT(*GetParam().path);
  const Bytes full = fixture::read(*GetParam().path);
  const ResourceSet whole = parse(GetParam(), full);
  for (size_t n = 0; n < full.size(); ++n) {
    try {
      const ResourceSet part = parse(GetParam(), std::span(full.data(), n));
      ASSERT_FALSE(GetParam().pe) << "accepted the first " << n << " bytes";
      ASSERT_LE(part.items.size(), whole.items.size()) << n;
      for (size_t i = 0; i < part.items.size(); ++i) {
        EXPECT_EQ(part.items[i].data, whole.items[i].data) << n << " " << i;
        EXPECT_EQ(part.items[i].id, whole.items[i].id) << n << " " << i;
      }
    } catch (const FormatError&) {
    }
  }
}

TEST_P(DamagedFixture, AnyFlippedByteIsReadOrRejected) {
  SKIP_WITHOUT(*GetParam().path);
  Bytes b = fixture::read(*GetParam().path);
  for (uint8_t mask : {0xFF, 0x80, 0x01}) {
    for (size_t i = 0; i < b.size(); ++i) {
      b[i] ^= mask;
      struct Restore {
        uint8_t& byte;
        uint8_t mask;
        ~Restore() { byte ^= mask; }
      } restore{b[i], mask};
      try {
        const ResourceSet set = parse(GetParam(), b);
        for (const Resource& r : set.items) {
          // What was read must survive the readers that come after.
          if (r.type == rt_bitmap && bitmap_info(r.data)) bmp_file_bytes(r.data);
          if (r.type == rt_version) parse_version(r.data);
        }
      } catch (const FormatError&) {
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Fixture, DamagedFixture,
                         ::testing::Values(FixtureFile{"res", &fixture::res, false},
                                           FixtureFile{"pe32", &fixture::dll32, true},
                                           FixtureFile{"pe32_plus", &fixture::dll64, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// ------------------------------------------------------ PE file headers

// One bitmap, 4 bytes, under the usual three levels.
struct Tree {
  Rsrc s;
  uint32_t root, type_entry, names, name_entry, languages, language_entry, record, data;
};

Tree sound_tree() {
  Tree t;
  t.root = t.s.directory(0, 1);
  t.type_entry = t.s.entry(rt_bitmap, 0);
  t.names = t.s.directory(0, 1);
  t.name_entry = t.s.entry(0x2300, 0);
  t.languages = t.s.directory(0, 1);
  t.language_entry = t.s.entry(1033, 0);
  t.record = t.s.data_record(0, 4);
  t.data = t.s.bytes({0xFF, 0x7F, 0, 0});
  fixture::set32(t.s.b, t.type_entry + 4, fixture::subdirectory | t.names);
  fixture::set32(t.s.b, t.name_entry + 4, fixture::subdirectory | t.languages);
  fixture::set32(t.s.b, t.language_entry + 4, t.record);
  fixture::set32(t.s.b, t.record, t.s.rva + t.data);
  return t;
}

struct HeaderDamage {
  const char* name;
  std::function<void(Bytes&, const PeLayout&, const Tree&)> damage;
  const char* message;
};
void PrintTo(const HeaderDamage& c, std::ostream* os) { *os << c.name; }

std::vector<HeaderDamage> header_damages() {
  using L = const PeLayout&;
  using T = const Tree&;
  return {
      {"no_mz", [](Bytes& b, L, T) { b[0] = 'X'; }, "no MZ header"},
      {"dos_header_cut", [](Bytes& b, L, T) { b.resize(0x3D); }, "DOS header is truncated"},
      {"pe_offset_past_end", [](Bytes& b, L, T) { fixture::set32(b, 0x3C, 0xFFFFFF00); }, "no PE signature"},
      {"pe_offset_at_end", [](Bytes& b, L, T) { fixture::set32(b, 0x3C, static_cast<uint32_t>(b.size() - 20)); },
       "no PE signature"},
      {"no_pe_signature", [](Bytes& b, L l, T) { b[l.pe + 1] = 'X'; }, "no PE signature"},
      {"optional_past_end", [](Bytes& b, L l, T) { fixture::set16(b, l.coff + 16, 0xFFFF); }, "runs past the end"},
      {"optional_empty", [](Bytes& b, L l, T) { fixture::set16(b, l.coff + 16, 0); }, "optional header is empty"},
      {"optional_too_short", [](Bytes& b, L l, T) { fixture::set16(b, l.coff + 16, 8); }, "too short"},
      {"unknown_magic", [](Bytes& b, L l, T) { fixture::set16(b, l.optional, 0x107); }, "unknown magic"},
      {"more_directories_than_held", [](Bytes& b, L l, T) { fixture::set32(b, l.directory_count, 17); },
       "more data directories"},
      {"directory_count_huge", [](Bytes& b, L l, T) { fixture::set32(b, l.directory_count, 0xFFFFFFFF); },
       "more data directories"},
      {"section_table_past_end", [](Bytes& b, L l, T) { fixture::set16(b, l.coff + 2, 0xFFFF); },
       "section table runs past"},
      {"section_data_past_end", [](Bytes& b, L l, T) { fixture::set32(b, l.sections + 20, 0x10000); },
       "past the end of the file"},
      {"section_data_too_long", [](Bytes& b, L l, T) { fixture::set32(b, l.sections + 16, 0xFFFFFFFF); },
       "past the end of the file"},
      {"file_cut_in_section", [](Bytes& b, L, T) { b.pop_back(); }, "past the end of the file"},
      {"directory_outside_sections", [](Bytes& b, L l, T) { fixture::set32(b, l.resource_directory, 0x5000); },
       "resource directory points outside the file"},
      {"directory_wraps", [](Bytes& b, L l, T) { fixture::set32(b, l.resource_directory, 0xFFFFFFF0); },
       "resource directory points outside the file"},
      {"directory_longer_than_section", [](Bytes& b, L l, T) { fixture::set32(b, l.resource_directory + 4, 0x10000); },
       "resource directory points outside the file"},
      {"data_in_zero_filled_tail",
       [](Bytes& b, L l, T t) {
         // Mapped, but not in the file: the section's raw data ends first.
         fixture::set32(b, l.sections + 8, 0x2000);
         fixture::set32(b, l.rsrc + t.record, t.s.rva + 0x200);
       },
       "lies outside the file"},
      {"directory_too_small", [](Bytes& b, L l, T) { fixture::set32(b, l.resource_directory + 4, 8); }, "too small"},
  };
}

class PeHeaderDamage : public ::testing::TestWithParam<std::tuple<HeaderDamage, bool>> {};

TEST_P(PeHeaderDamage, IsAFormatError) {
  const auto& [c, plus] = GetParam();
  const Tree tree = sound_tree();
  Bytes image = fixture::pe_image(plus, tree.s);
  ASSERT_EQ(read_pe_resources(image).items.size(), 1u);
  c.damage(image, fixture::pe_layout(plus), tree);
  expect_error([&] { read_pe_resources(image); }, c.message);
}

INSTANTIATE_TEST_SUITE_P(Written, PeHeaderDamage,
                         ::testing::Combine(::testing::ValuesIn(header_damages()), ::testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) ? "_pe32_plus" : "_pe32");
                         });

// ------------------------------------------------------- resource tree

struct TreeDamage {
  const char* name;
  std::function<void(Tree&)> damage;
  const char* message;
};
void PrintTo(const TreeDamage& c, std::ostream* os) { *os << c.name; }

void set(Tree& t, uint32_t at, uint32_t value) { fixture::set32(t.s.b, at, value); }

std::vector<TreeDamage> tree_damages() {
  constexpr uint32_t sub = fixture::subdirectory;
  return {
      {"type_loops_to_root", [](Tree& t) { set(t, t.type_entry + 4, sub | t.root); }, "loop"},
      {"name_loops_to_root", [](Tree& t) { set(t, t.name_entry + 4, sub | t.root); }, "loop"},
      {"name_loops_to_itself", [](Tree& t) { set(t, t.name_entry + 4, sub | t.names); }, "loop"},
      {"subdirectory_far_away", [](Tree& t) { set(t, t.type_entry + 4, sub | 0x7FFF0000); },
       "outside the resource section"},
      {"subdirectory_at_the_end",
       [](Tree& t) { set(t, t.type_entry + 4, sub | static_cast<uint32_t>(t.s.b.size() - 8)); },
       "outside the resource section"},
      {"too_many_entries", [](Tree& t) { fixture::set16(t.s.b, t.root + 14, 0xFFFF); }, "more entries"},
      {"too_many_named_entries", [](Tree& t) { fixture::set16(t.s.b, t.languages + 12, 0xFFFF); }, "more entries"},
      {"type_points_at_data", [](Tree& t) { set(t, t.type_entry + 4, t.record); }, "where a directory belongs"},
      {"name_points_at_data", [](Tree& t) { set(t, t.name_entry + 4, t.record); }, "where a directory belongs"},
      {"language_points_at_directory", [](Tree& t) { set(t, t.language_entry + 4, sub | t.languages); },
       "points at another directory"},
      {"named_language", [](Tree& t) { set(t, t.language_entry, fixture::named | t.data); }, "16-bit number"},
      {"wide_language", [](Tree& t) { set(t, t.language_entry, 0x10000); }, "16-bit number"},
      {"data_record_far_away", [](Tree& t) { set(t, t.language_entry + 4, 0x7FFFFFF0); },
       "data record lies outside"},
      {"data_record_at_the_end",
       [](Tree& t) { set(t, t.language_entry + 4, static_cast<uint32_t>(t.s.b.size() - 8)); },
       "data record lies outside"},
      {"data_outside_sections", [](Tree& t) { set(t, t.record, 0x900000); }, "lies outside the file"},
      {"data_before_section", [](Tree& t) { set(t, t.record, 0x10); }, "lies outside the file"},
      {"data_too_long", [](Tree& t) { set(t, t.record + 4, 0xFFFFFFFF); }, "lies outside the file"},
      {"data_wraps", [](Tree& t) {
         set(t, t.record, 0xFFFFFFF0);
         set(t, t.record + 4, 0x20);
       },
       "lies outside the file"},
      {"name_far_away", [](Tree& t) { set(t, t.name_entry, fixture::named | 0x7FFFFFF0); }, "name lies outside"},
      {"name_too_long", [](Tree& t) { set(t, t.name_entry, fixture::named | t.data); }, "name runs past"},
      {"name_empty", [](Tree& t) { set(t, t.name_entry, fixture::named | t.root); }, "name is empty"},
  };
}

class PeTreeDamage : public ::testing::TestWithParam<std::tuple<TreeDamage, bool>> {};

TEST_P(PeTreeDamage, IsAFormatError) {
  const auto& [c, plus] = GetParam();
  Tree t = sound_tree();
  c.damage(t);
  const Bytes image = fixture::pe_image(plus, t.s);
  expect_error([&] { read_pe_resources(image); }, c.message);
}

INSTANTIATE_TEST_SUITE_P(Written, PeTreeDamage,
                         ::testing::Combine(::testing::ValuesIn(tree_damages()), ::testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) ? "_pe32_plus" : "_pe32");
                         });

// Many entries naming one large data record would have us copy it over
// and over; together they may claim no more than the file holds.
TEST(PeTree, SharedDataMayNotOutgrowTheFile) {
  Rsrc s;
  s.directory(0, 1);
  const uint32_t type_entry = s.entry(rt_bitmap, 0);
  const uint32_t names = s.directory(0, 1);
  const uint32_t name_entry = s.entry(1, 0);
  const uint32_t languages = s.directory(0, 4000);
  std::vector<uint32_t> entries;
  for (uint16_t i = 0; i < 4000; ++i) entries.push_back(s.entry(i, 0));
  const uint32_t record = s.data_record(0, 8000);
  const uint32_t data = s.bytes(Bytes(8000, 0xAB));
  fixture::set32(s.b, type_entry + 4, fixture::subdirectory | names);
  fixture::set32(s.b, name_entry + 4, fixture::subdirectory | languages);
  for (uint32_t e : entries) fixture::set32(s.b, e + 4, record);
  fixture::set32(s.b, record, s.rva + data);
  const Bytes image = fixture::pe_image(false, s);
  expect_error([&] { read_pe_resources(image); }, "claim more bytes than the file holds");
}

// ---------------------------------------------------------------- .res

struct ResDamage {
  const char* name;
  std::function<Bytes()> make;
  const char* message;
};
void PrintTo(const ResDamage& c, std::ostream* os) { *os << c.name; }

Bytes one_entry() { return fixture::res_file({{rt_bitmap, "", 0x2300, "", 1033, {1, 2, 3, 4}}}); }

Bytes one_entry_with(size_t at, uint32_t value) {
  Bytes b = one_entry();
  fixture::set32(b, at, value);
  return b;
}

std::vector<ResDamage> res_damages() {
  return {
      {"empty", [] { return Bytes{}; }, "not a .res file"},
      {"sixteen_bit", [] { return Bytes{0xFF, 2, 0, 0xFF, 1, 0, 0x30, 0x10, 4, 0, 0, 0, 1, 2, 3, 4}; },
       "not a .res file"},
      {"leading_entry_damaged", [] { return one_entry_with(4, 0x24); }, "not a .res file"},
      {"entry_cut_in_sizes",
       [] {
         Bytes b = one_entry();
         b.resize(36);
         return b;
       },
       "is truncated"},
      {"header_past_end", [] { return one_entry_with(36, 0x10000); }, "runs past the end"},
      {"header_too_small", [] { return one_entry_with(36, 4); }, "too small"},
      {"header_cut_before_fields", [] { return one_entry_with(36, 16); }, "too short for its fixed fields"},
      {"data_past_end", [] { return one_entry_with(32, 0xFFFFFFF0); }, "run past the end"},
      {"type_name_unterminated",
       [] {
         Bytes b = one_entry();
         for (size_t at = 40; at < 64; ++at) b[at] = 'A';  // type, name, fixed fields
         return b;
       },
       "not terminated"},
      {"empty_name", [] { return one_entry_with(40, 0); }, "name is empty"},
  };
}

class ResFileDamage : public ::testing::TestWithParam<ResDamage> {};

TEST_P(ResFileDamage, IsAFormatError) {
  const Bytes b = GetParam().make();
  expect_error([&] { parse_res(b); }, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Written, ResFileDamage, ::testing::ValuesIn(res_damages()),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------- module files

struct FileCase {
  const char* name;
  std::function<std::string(const fixture::TempDir&)> make;  // returns the path
  const char* message;
  const std::string* needs = nullptr;
};
void PrintTo(const FileCase& c, std::ostream* os) { *os << c.name; }

Bytes prefix_of(const std::string& path, size_t n) {
  Bytes b = fixture::read(path);
  b.resize(std::min(n, b.size()));
  return b;
}

std::vector<FileCase> file_cases() {
  auto file = [](const fixture::TempDir& d, const char* name, const Bytes& bytes) {
    fixture::write(d / name, bytes);
    return (d / name).string();
  };
  return {
      {"missing", [](const fixture::TempDir& d) { return (d / "absent.gau").string(); }, "no such file"},
      {"folder", [](const fixture::TempDir& d) { return d.path().string(); }, "not a regular file"},
      {"empty", [=](const fixture::TempDir& d) { return file(d, "empty.gau", {}); }, "not a module"},
      {"text", [=](const fixture::TempDir& d) { return file(d, "notes.txt", {'h', 'e', 'l', 'l', 'o', '\n'}); },
       "not a module"},
      {"mz_alone", [=](const fixture::TempDir& d) { return file(d, "mz.gau", {'M', 'Z'}); }, "DOS header"},
      {"res_damaged",
       [=](const fixture::TempDir& d) { return file(d, "bad.res", one_entry_with(32, 0xFFFFFFF0)); },
       "run past the end"},
      {"pe_cut",
       [=](const fixture::TempDir& d) { return file(d, "cut.gau", prefix_of(fixture::dll32, 5000)); },
       "past the end of the file", &fixture::dll32},
      {"elf_cut", [=](const fixture::TempDir& d) { return file(d, "cut.so", prefix_of(fixture::so, 300)); },
       "cannot load", &fixture::so},
      {"no_resources_record", [](const fixture::TempDir&) { return fixture::bare_so; },
       "exports no Resources record", &fixture::bare_so},
  };
}

class ModuleFileDamage : public ::testing::TestWithParam<FileCase> {};

TEST_P(ModuleFileDamage, NamesThePath) {
  if (GetParam().needs) SKIP_WITHOUT(*GetParam().needs);
  const fixture::TempDir dir;
  const std::string path = GetParam().make(dir);
  expect_error([&] { resources_of_module_file(path); }, path + ": ");
  expect_error([&] { resources_of_module_file(path); }, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Written, ModuleFileDamage, ::testing::ValuesIn(file_cases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
