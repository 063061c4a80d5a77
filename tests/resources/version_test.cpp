// The version record: the fixture's, field by field, then records written
// by hand for the variations other writers produce and for damage.
#include <functional>

#include "support.h"

namespace {

using namespace panel_host;
using fixture::Bytes;
using fixture::VersionNode;

Bytes fixture_version() {
  const ResourceSet set = parse_res(fixture::read(fixture::res));
  const Resource* r = set.find(rt_version, 1);
  EXPECT_NE(r, nullptr);
  return r ? r->data : Bytes{};
}

struct FixedField {
  const char* name;
  uint32_t VersionInfo::*field;
  uint32_t expected;
};
void PrintTo(const FixedField& c, std::ostream* os) { *os << c.name; }

class VersionFixedField : public ::testing::TestWithParam<FixedField> {};

TEST_P(VersionFixedField, HoldsTheTemplateValue) {
  SKIP_WITHOUT(fixture::res);
  const VersionInfo v = parse_version(fixture_version());
  ASSERT_TRUE(v.has_fixed_part);
  EXPECT_EQ(v.*GetParam().field, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fixture, VersionFixedField,
    ::testing::Values(FixedField{"file_version_ms", &VersionInfo::file_version_ms, 0x00010000},
                      FixedField{"file_version_ls", &VersionInfo::file_version_ls, 0},
                      FixedField{"product_version_ms", &VersionInfo::product_version_ms, 0x00010000},
                      FixedField{"product_version_ls", &VersionInfo::product_version_ls, 0},
                      FixedField{"flags_mask", &VersionInfo::flags_mask, 0x3F},
                      FixedField{"flags", &VersionInfo::flags, 0},
                      FixedField{"os", &VersionInfo::os, 0x10004},
                      FixedField{"file_type", &VersionInfo::file_type, 1},
                      FixedField{"file_subtype", &VersionInfo::file_subtype, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VersionRecord, FixtureStringsAndTranslation) {
  SKIP_WITHOUT(fixture::res);
  const VersionInfo v = parse_version(fixture_version());
  const std::vector<std::pair<std::string, std::string>> strings{
      {"CompanyName", "none"},          {"FileDescription", "Fixture Gauge"}, {"FileVersion", "2.0"},
      {"ProductName", "FS2004 Gauge"}, {"ProductVersion", "2.0"}};
  EXPECT_EQ(v.strings, strings);
  EXPECT_EQ(v.string_table, "040904b0");
  EXPECT_EQ(v.translations, (std::vector<std::pair<uint16_t, uint16_t>>{{0x0409, 0x04B0}}));
}

// ------------------------------------------------------ written by hand

VersionNode translation(Bytes value, uint16_t length) { return {"Translation", 0, std::move(value), length, {}}; }

VersionNode record(std::vector<VersionNode> children, Bytes fixed = fixture::fixed_part()) {
  const auto length = static_cast<uint16_t>(fixed.size());
  return {"VS_VERSION_INFO", 0, std::move(fixed), length, std::move(children)};
}

VersionNode string_file_info(std::vector<VersionNode> tables) { return {"StringFileInfo", 1, {}, 0, std::move(tables)}; }
VersionNode table(const std::string& key, std::vector<VersionNode> strings) { return {key, 1, {}, 0, std::move(strings)}; }
VersionNode var_file_info(std::vector<VersionNode> vars) { return {"VarFileInfo", 1, {}, 0, std::move(vars)}; }

const Bytes english{0x09, 0x04, 0xB0, 0x04};

struct Variant {
  const char* name;
  VersionNode node;
  bool fixed;
  std::vector<std::pair<std::string, std::string>> strings;
  std::string table;
  std::vector<std::pair<uint16_t, uint16_t>> translations;
};
void PrintTo(const Variant& c, std::ostream* os) { *os << c.name; }

std::vector<Variant> variants() {
  // A value whose length counts bytes, as some writers do, instead of
  // characters.
  VersionNode bytes_counted = fixture::version_string("CompanyName", "acme");
  bytes_counted.value_length = 10;
  // A value of UTF-16 beyond ASCII: é, a surrogate pair, a lone surrogate.
  Bytes wide;
  for (uint16_t unit : {0x00E9, 0xD83D, 0xDE00, 0xD800, 0}) fixture::put16(wide, unit);
  VersionNode non_ascii{"Comments", 1, wide, 5, {}};

  return {
      {"no_fixed_part",
       record({string_file_info({table("040904b0", {fixture::version_string("ProductName", "x")})})}, {}),
       false,
       {{"ProductName", "x"}},
       "040904b0",
       {}},
      {"value_length_in_bytes",
       record({string_file_info({table("040904b0", {bytes_counted})})}),
       true,
       {{"CompanyName", "acme"}},
       "040904b0",
       {}},
      {"utf16_beyond_ascii",
       record({string_file_info({table("040904b0", {non_ascii})})}),
       true,
       {{"Comments", "\xC3\xA9\xF0\x9F\x98\x80\xEF\xBF\xBD"}},
       "040904b0",
       {}},
      {"first_string_table_only",
       record({string_file_info({table("040904b0", {fixture::version_string("A", "1")}),
                                 table("040704b0", {fixture::version_string("B", "2")})})}),
       true,
       {{"A", "1"}},
       "040904b0",
       {}},
      {"unknown_blocks_skipped",
       record({VersionNode{"Extra", 0, {1, 2, 3}, 3, {}}, var_file_info({VersionNode{"Other", 0, {1, 2}, 2, {}},
                                                                       translation(english, 4)})}),
       true,
       {},
       "",
       {{0x0409, 0x04B0}}},
      {"several_translations",
       record({var_file_info({translation({0x09, 0x04, 0xB0, 0x04, 0x07, 0x04, 0xE4, 0x04}, 8)})}),
       true,
       {},
       "",
       {{0x0409, 0x04B0}, {0x0407, 0x04E4}}},
      {"empty_value", record({string_file_info({table("040904b0", {VersionNode{"Comments", 1, {}, 0, {}}})})}),
       true,
       {{"Comments", ""}},
       "040904b0",
       {}},
  };
}

class VersionVariant : public ::testing::TestWithParam<Variant> {};

TEST_P(VersionVariant, Reads) {
  const Variant& c = GetParam();
  const VersionInfo v = parse_version(fixture::version_bytes(c.node));
  EXPECT_EQ(v.has_fixed_part, c.fixed);
  if (c.fixed) {
    EXPECT_EQ(v.os, 0x10004u);
  }
  EXPECT_EQ(v.strings, c.strings);
  EXPECT_EQ(v.string_table, c.table);
  EXPECT_EQ(v.translations, c.translations);
}

INSTANTIATE_TEST_SUITE_P(Written, VersionVariant, ::testing::ValuesIn(variants()),
                         [](const auto& info) { return std::string(info.param.name); });

struct Damage {
  const char* name;
  std::function<Bytes()> make;
  const char* message;  // part of the error
};
void PrintTo(const Damage& c, std::ostream* os) { *os << c.name; }

// A well-formed record: root (key and fixed part end at 92), a string
// table at 92 with one string, a translation.
Bytes sound_record() {
  return fixture::version_bytes(record({string_file_info({table("040904b0", {fixture::version_string("A", "b")})}),
                                        var_file_info({translation(english, 4)})}));
}

Bytes patched(uint32_t at, uint16_t value) {
  Bytes b = sound_record();
  fixture::set16(b, at, value);
  return b;
}

std::vector<Damage> damages() {
  return {
      {"empty", [] { return Bytes{}; }, "truncated"},
      {"root_key", [] { return fixture::version_bytes(VersionNode{"VS_VERSION_INFX", 0, fixture::fixed_part(), 52, {}}); },
       "not a version record"},
      {"fixed_signature",
       [] { return fixture::version_bytes(record({}, fixture::fixed_part(0xFEEF04BE))); }, "wrong signature"},
      {"fixed_length", [] { return patched(2, 40); }, "not 52"},
      {"fixed_past_record",
       [] {
         Bytes b = fixture::version_bytes(record({}));
         fixture::set16(b, 0, 60);  // cuts the fixed part short
         return b;
       },
       "fixed part runs past"},
      {"root_past_end", [] { return patched(0, static_cast<uint16_t>(sound_record().size() + 4)); }, "does not fit"},
      {"child_of_length_zero", [] { return patched(92, 0); }, "does not fit"},
      {"child_past_parent", [] { return patched(92, 0xFFF0); }, "does not fit"},
      {"key_unterminated",
       [] {
         Bytes b = fixture::version_bytes(VersionNode{"VS_VERSION_INFO", 0, {}, 0, {}});
         fixture::set16(b, 0, 20);  // ends inside the key
         b.resize(20);
         return b;
       },
       "unterminated key"},
      {"translation_odd",
       [] { return fixture::version_bytes(record({var_file_info({translation({9, 4, 0xB0}, 3)})})); }, "not whole"},
      {"translation_past_block",
       [] { return fixture::version_bytes(record({var_file_info({translation(english, 8)})})); }, "not whole"},
      {"string_value_past_block",
       [] {
         VersionNode s = fixture::version_string("A", "b");
         s.value_length = 9;
         return fixture::version_bytes(record({string_file_info({table("040904b0", {s})})}));
       },
       "runs past its block"},
  };
}

class VersionDamage : public ::testing::TestWithParam<Damage> {};

TEST_P(VersionDamage, IsAFormatError) {
  const Bytes bytes = GetParam().make();
  try {
    parse_version(bytes);
    FAIL() << "accepted";
  } catch (const FormatError& e) {
    EXPECT_NE(std::string(e.what()).find(GetParam().message), std::string::npos) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(Written, VersionDamage, ::testing::ValuesIn(damages()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(VersionRecord, EveryShorterPrefixIsRejected) {
  SKIP_WITHOUT(fixture::res);
  const Bytes full = fixture_version();
  for (size_t n = 0; n < full.size(); ++n)
    EXPECT_THROW(parse_version(std::span(full.data(), n)), FormatError) << n;
}

TEST(VersionRecord, AnyFlippedByteIsReadOrRejected) {
  SKIP_WITHOUT(fixture::res);
  const Bytes full = fixture_version();
  for (size_t i = 0; i < full.size(); ++i) {
    Bytes b = full;
    b[i] ^= 0xFF;
    try {
      parse_version(b);
    } catch (const FormatError&) {
    }
  }
}

}  // namespace
