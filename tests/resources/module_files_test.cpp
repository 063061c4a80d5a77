// The fixture module in each of its forms: the .res file, the PE32 and
// PE32+ DLLs and the POSIX module all carry the resources of one script.
#include <algorithm>
#include <optional>
#include <tuple>

#include "support.h"

namespace {

using namespace panel_host;
using fixture::Bytes;

Bytes without_file_header(const std::string& bmp_path) {
  Bytes b = fixture::read(bmp_path);
  b.erase(b.begin(), b.begin() + std::min<size_t>(14, b.size()));
  return b;
}

Bytes ascii(const std::string& text) { return Bytes(text.begin(), text.end()); }

// What the script says, apart from the version record whose bytes the
// version tests read field by field.
struct Expected {
  uint32_t type;
  std::string type_name;
  uint32_t id;
  std::string name;
  Bytes data;
};

std::vector<Expected> expected_resources() {
  return {
      {rt_bitmap, "", 0x2300, "", without_file_header(fixture::bmp8)},
      {rt_bitmap, "", 0x2301, "", without_file_header(fixture::bmp24)},
      {10, "", 0, "FIXTURE_NAME", ascii("abc")},
      {0, "CUSTOM_TYPE", 7, "", ascii("hello")},
  };
}

const Resource* lookup(const ResourceSet& set, const Expected& e) {
  for (const Resource& r : set.items)
    if (r.type == e.type && r.type_name == e.type_name && r.id == e.id && r.name == e.name) return &r;
  return nullptr;
}

auto sort_key(const Resource& r) { return std::tie(r.type, r.type_name, r.id, r.name, r.language, r.data); }

std::vector<Resource> sorted(std::vector<Resource> items) {
  std::sort(items.begin(), items.end(), [](const Resource& a, const Resource& b) { return sort_key(a) < sort_key(b); });
  return items;
}

class ModuleFile : public ::testing::TestWithParam<std::string> {};

TEST_P(ModuleFile, CarriesEveryResourceOfTheScript) {
  SKIP_WITHOUT(GetParam());
  const ResourceSet set = resources_of_module_file(GetParam());
  ASSERT_EQ(set.items.size(), 5u);
  for (const Expected& e : expected_resources()) {
    const Resource* r = lookup(set, e);
    ASSERT_NE(r, nullptr) << e.type << " " << e.type_name << " " << e.id << " " << e.name;
    EXPECT_EQ(r->language, 1033);
    EXPECT_EQ(r->data, e.data) << e.id << " " << e.name;
  }
  const Resource* version = set.find(rt_version, 1);
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(version->language, 0x0409);
}

TEST_P(ModuleFile, AgreesWithTheResFile) {
  SKIP_WITHOUT(GetParam());
  SKIP_WITHOUT(fixture::res);
  const auto reference = sorted(parse_res(fixture::read(fixture::res)).items);
  const auto items = sorted(resources_of_module_file(GetParam()).items);
  ASSERT_EQ(items.size(), reference.size());
  for (size_t i = 0; i < items.size(); ++i) EXPECT_EQ(sort_key(items[i]), sort_key(reference[i])) << i;
}

std::string module_file_name(const ::testing::TestParamInfo<std::string>& info) {
  const std::string& p = info.param;
  if (p.empty()) return "missing_" + std::to_string(info.index);
  std::string name = p.substr(p.find_last_of('/') + 1);
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Forms, ModuleFile,
                         ::testing::Values(fixture::res, fixture::dll32, fixture::dll64, fixture::so),
                         module_file_name);

// A bare file name means the file in the current folder, not a library
// somewhere on the loader's search path.
TEST(ModuleFileName, WithoutAFolderIsTheFileHere) {
  SKIP_WITHOUT(fixture::so);
  const std::filesystem::path so(fixture::so);
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(so.parent_path());
  std::optional<ResourceSet> set;
  try {
    set = resources_of_module_file(so.filename().string());
  } catch (...) {
  }
  std::filesystem::current_path(previous);
  ASSERT_TRUE(set);
  EXPECT_NE(set->find(rt_bitmap, 0x2300), nullptr);
}

TEST(ResourceSetFind, MatchesNumericTypeAndIdOnly) {
  SKIP_WITHOUT(fixture::res);
  const ResourceSet set = parse_res(fixture::read(fixture::res));
  struct Case {
    uint32_t type, id;
    bool found;
  };
  for (const Case c : {Case{rt_bitmap, 0x2300, true}, Case{rt_bitmap, 0x2301, true}, Case{rt_version, 1, true},
                       Case{rt_bitmap, 0x2302, false}, Case{rt_version, 0x2300, false},
                       Case{10, 0, false},  // the RCDATA goes by name, not by id 0
                       Case{0, 7, false}}) {
    const Resource* r = set.find(c.type, c.id);
    EXPECT_EQ(r != nullptr, c.found) << c.type << " " << c.id;
    if (r) {
      EXPECT_EQ(r->type, c.type);
      EXPECT_EQ(r->id, c.id);
    }
  }
}

// A .res file written by hand: string names, languages and odd data sizes
// come back as written, and the padding after the last entry may be left
// off.
TEST(ParseRes, ReadsEntriesAsWritten) {
  const std::vector<fixture::ResEntry> entries{
      {rt_bitmap, "", 0x1400, "", 1033, {1, 2, 3}},
      {0, "MY_TYPE", 0, "MY_NAME", 0x0407, {}},
      {rt_version, "", 1, "", 0, {9, 8, 7, 6, 5}},
  };
  Bytes file = fixture::res_file(entries);
  for (const Bytes& bytes : {file, Bytes(file.begin(), file.end() - 3)}) {
    const ResourceSet set = parse_res(bytes);
    ASSERT_EQ(set.items.size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
      EXPECT_EQ(set.items[i].type, entries[i].type);
      EXPECT_EQ(set.items[i].type_name, entries[i].type_name);
      EXPECT_EQ(set.items[i].id, entries[i].id);
      EXPECT_EQ(set.items[i].name, entries[i].name);
      EXPECT_EQ(set.items[i].language, entries[i].language);
      EXPECT_EQ(set.items[i].data, entries[i].data);
    }
  }
}

// The same tree laid out by hand in a PE32 and a PE32+ image, with names at
// both the type and the name level.
TEST(ReadPeResources, WalksTypeNameLanguage) {
  for (bool plus : {false, true}) {
    fixture::Rsrc s;
    const uint32_t root = s.directory(1, 1);
    const uint32_t named_type = s.entry(0, 0);
    const uint32_t bitmap_type = s.entry(rt_bitmap, 0);
    const uint32_t names = s.directory(0, 1);
    const uint32_t names_entry = s.entry(0x2300, 0);
    const uint32_t languages = s.directory(0, 2);
    const uint32_t english = s.entry(1033, 0);
    const uint32_t german = s.entry(1031, 0);
    const uint32_t custom_names = s.directory(1, 0);
    const uint32_t custom_entry = s.entry(0, 0);
    const uint32_t custom_languages = s.directory(0, 1);
    const uint32_t custom_language = s.entry(0, 0);
    const uint32_t type_label = s.name("WIDGET");
    const uint32_t name_label = s.name("KNOB");
    const uint32_t english_record = s.data_record(0, 0);
    const uint32_t german_record = s.data_record(0, 0);
    const uint32_t custom_record = s.data_record(0, 0);
    const uint32_t english_data = s.bytes({1, 2, 3, 4, 5});
    const uint32_t german_data = s.bytes({6});
    const uint32_t custom_data = s.bytes({7, 7});
    (void)root;
    fixture::set32(s.b, named_type, fixture::named | type_label);
    fixture::set32(s.b, named_type + 4, fixture::subdirectory | custom_names);
    fixture::set32(s.b, bitmap_type + 4, fixture::subdirectory | names);
    fixture::set32(s.b, names_entry + 4, fixture::subdirectory | languages);
    fixture::set32(s.b, english + 4, english_record);
    fixture::set32(s.b, german + 4, german_record);
    fixture::set32(s.b, custom_entry, fixture::named | name_label);
    fixture::set32(s.b, custom_entry + 4, fixture::subdirectory | custom_languages);
    fixture::set32(s.b, custom_language + 4, custom_record);
    fixture::set32(s.b, english_record, s.rva + english_data);
    fixture::set32(s.b, english_record + 4, 5);
    fixture::set32(s.b, german_record, s.rva + german_data);
    fixture::set32(s.b, german_record + 4, 1);
    fixture::set32(s.b, custom_record, s.rva + custom_data);
    fixture::set32(s.b, custom_record + 4, 2);

    const ResourceSet set = read_pe_resources(fixture::pe_image(plus, s));
    ASSERT_EQ(set.items.size(), 3u) << plus;
    EXPECT_EQ(set.items[0].type_name, "WIDGET");
    EXPECT_EQ(set.items[0].name, "KNOB");
    EXPECT_EQ(set.items[0].language, 0);
    EXPECT_EQ(set.items[0].data, (Bytes{7, 7}));
    EXPECT_EQ(set.items[1].type, rt_bitmap);
    EXPECT_EQ(set.items[1].id, 0x2300u);
    EXPECT_EQ(set.items[1].language, 1033);
    EXPECT_EQ(set.items[1].data, (Bytes{1, 2, 3, 4, 5}));
    EXPECT_EQ(set.items[2].language, 1031);
    EXPECT_EQ(set.items[2].data, (Bytes{6}));
  }
}

TEST(ReadPeResources, AnImageWithoutAResourceDirectoryHasNoResources) {
  for (bool plus : {false, true}) {
    fixture::Rsrc s;
    s.directory(0, 0);
    Bytes image = fixture::pe_image(plus, s);
    const fixture::PeLayout l = fixture::pe_layout(plus);
    fixture::Bytes no_directory = image;
    fixture::set32(no_directory, l.resource_directory, 0);
    fixture::set32(no_directory, l.resource_directory + 4, 0);
    fixture::Bytes too_few_directories = image;
    fixture::set32(too_few_directories, l.directory_count, 2);
    for (const Bytes& b : {image, no_directory, too_few_directories})
      EXPECT_TRUE(read_pe_resources(b).items.empty()) << plus;
  }
}

}  // namespace
