// Each .gau file as the Windows loader and the panel system would see it:
// a 32-bit x86 DLL exporting Linkage and ImportTable, importing only from
// KERNEL32 and msvcrt, carrying its bitmaps and version record, and holding
// the gauge's records at the addresses its Linkage leads to.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pe_image.h"
#include "resources.h"

namespace {

using panel_host::PeImage;

struct Bitmap {
  uint32_t id;
  int width, height, bits;
};

struct Gau {
  const char* name;
  const char* description;
  const char* tooltip;
  int elements;
  std::vector<Bitmap> bitmaps;
};

std::vector<Bitmap> icon_states(uint32_t first, int count, int w, int h) {
  std::vector<Bitmap> out;
  for (int i = 0; i < count; ++i) out.push_back({first + i, w, h, 8});
  return out;
}

std::vector<Bitmap> eicas_bitmaps() {
  std::vector<Bitmap> b = {
      {0x3800, 660, 484, 8}, {0x4900, 660, 484, 8}, {0x4901, 6, 6, 8},    {0x6100, 62, 11, 8},
      {0x1400, 62, 11, 8},   {0x1800, 62, 11, 8},   {0x1900, 62, 11, 8},  {0x1600, 74, 11, 8},
      {0x1700, 74, 11, 8},   {0x4000, 37, 27, 8},   {0x4001, 37, 27, 8},  {0x3100, 37, 27, 8},
      {0x3101, 37, 27, 8},   {0x3400, 14, 13, 8},   {0x3200, 14, 13, 8},  {0x3500, 14, 13, 8},
  };
  for (uint32_t bar : {0x4200u, 0x2800u, 0x1200u, 0x2600u, 0x2400u}) {
    b.push_back({bar, 8, 148, 8});
    b.push_back({bar + 1, 8, 74, 8});
  }
  for (uint32_t bar : {0x3600u, 0x2000u, 0x2200u}) {
    b.push_back({bar, 8, 220, 8});
    b.push_back({bar + 1, 8, 110, 8});
  }
  for (uint32_t gear : {0x6400u, 0x6500u, 0x6600u})
    for (const Bitmap& g : icon_states(gear, 3, 67, 27)) b.push_back(g);
  return b;
}

const Gau gaus[] = {
    {"Zazader_BckupAirspeed", "Bckup KTS", "Backup Airspeed", 8,
     {{0x2300, 342, 345, 8}, {0x1800, 342, 342, 24}, {0x1700, 147, 13, 8}, {0x1900, 147, 13, 8},
      {0x2400, 136, 31, 8}}},
    {"Zazader_Airspeed", "KTS", "Airspeed", 13,
     {{0x0100, 101, 330, 8}, {0x1400, 66, 7151, 8}, {0x1401, 66, 310, 8}, {0x1600, 66, 474, 8},
      {0x1601, 66, 236, 8}, {0x1800, 21, 474, 8}, {0x1801, 21, 236, 8}, {0x1200, 97, 310, 8},
      {0x1201, 3, 4, 8}}},
    {"Zazader_EICAS", "Eicas", "EICAS", 83, eicas_bitmaps()},
};

std::vector<uint8_t> file_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return {std::istreambuf_iterator<char>(in), {}};
}

class GauFile : public ::testing::TestWithParam<Gau> {
 protected:
  void SetUp() override {
    path = std::string(ZAZ_GAU_DIR) + "/" + GetParam().name + ".gau";
    bytes = file_bytes(path);
    ASSERT_FALSE(bytes.empty()) << path << " is missing: build the win32 preset first";
  }
  std::string path;
  std::vector<uint8_t> bytes;
};

TEST_P(GauFile, IsA32BitDllExportingOnlyItsTwoRecords) {
  const PeImage pe(bytes);
  EXPECT_EQ(pe.machine(), 0x14C);  // i386
  EXPECT_FALSE(pe.pe32_plus());
  EXPECT_TRUE(pe.is_dll());
  EXPECT_EQ(pe.export_name(), std::string(GetParam().name) + ".gau");
  const auto exports = pe.exports();
  ASSERT_EQ(exports.size(), 2u);
  EXPECT_EQ(exports[0].name, "Linkage");
  EXPECT_EQ(exports[0].ordinal, 1u);
  EXPECT_EQ(exports[1].name, "ImportTable");
  EXPECT_EQ(exports[1].ordinal, 2u);
}

TEST_P(GauFile, ImportsOnlyTheKernelAndTheRuntime) {
  const PeImage pe(bytes);
  std::vector<std::string> kernel;
  for (const auto& imp : pe.imports()) {
    std::string lib = imp.library;
    std::transform(lib.begin(), lib.end(), lib.begin(), ::tolower);
    EXPECT_TRUE(lib == "kernel32.dll" || lib == "msvcrt.dll") << imp.library;
    if (lib == "kernel32.dll") kernel = imp.functions;
  }
  for (const char* f : {"LoadLibraryA", "GetModuleHandleA", "GetProcAddress", "FreeLibrary"})
    EXPECT_NE(std::find(kernel.begin(), kernel.end(), f), kernel.end()) << f;
}

TEST_P(GauFile, CarriesItsBitmapsInLanguage1033) {
  const auto set = panel_host::read_pe_resources(bytes);
  std::size_t bitmaps = 0;
  for (const auto& r : set.items) bitmaps += r.type == panel_host::rt_bitmap;
  EXPECT_EQ(bitmaps, GetParam().bitmaps.size());
  for (const Bitmap& want : GetParam().bitmaps) {
    const auto* r = set.find(panel_host::rt_bitmap, want.id);
    ASSERT_NE(r, nullptr) << std::hex << want.id;
    EXPECT_EQ(r->language, 1033) << std::hex << want.id;
    const auto info = panel_host::bitmap_info(r->data);
    ASSERT_TRUE(info) << std::hex << want.id;
    EXPECT_EQ(info->width, want.width) << std::hex << want.id;
    EXPECT_EQ(info->height, want.height) << std::hex << want.id;
    EXPECT_EQ(info->bits, want.bits) << std::hex << want.id;
  }
}

TEST_P(GauFile, VersionRecordFieldByField) {
  const auto set = panel_host::read_pe_resources(bytes);
  const panel_host::Resource* version = nullptr;
  for (const auto& r : set.items)
    if (r.type == panel_host::rt_version) version = &r;
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(version->language, 0x0409);
  const auto v = panel_host::parse_version(version->data);
  ASSERT_TRUE(v.has_fixed_part);
  EXPECT_EQ(v.file_version_ms, 0x00010000u);
  EXPECT_EQ(v.file_version_ls, 0u);
  EXPECT_EQ(v.product_version_ms, 0x00010000u);
  EXPECT_EQ(v.product_version_ls, 0u);
  EXPECT_EQ(v.flags_mask, 0x3Fu);
  EXPECT_EQ(v.flags, 0u);
  EXPECT_EQ(v.os, 0x10004u);
  EXPECT_EQ(v.file_type, 1u);
  EXPECT_EQ(v.file_subtype, 0u);
  EXPECT_EQ(v.string_table, "040904b0");
  const std::vector<std::pair<std::string, std::string>> strings = {
      {"CompanyName", "none"},       {"FileDescription", GetParam().description}, {"FileVersion", "2.0"},
      {"ProductName", "FS2004 Gauge"}, {"ProductVersion", "2.0"}};
  EXPECT_EQ(v.strings, strings);
  EXPECT_EQ(v.translations, (std::vector<std::pair<uint16_t, uint16_t>>{{0x0409, 0x04B0}}));
}

// The records as the panel system reads them after loading: every address
// followed here must be one the loader relocates.
TEST_P(GauFile, RecordsReachedFromLinkage) {
  const PeImage pe(bytes);
  const auto relocated = pe.relocated_rvas();
  auto follow = [&](uint32_t rva) -> uint32_t {
    EXPECT_TRUE(relocated.count(rva)) << "address at RVA 0x" << std::hex << rva << " is not relocated";
    const auto target = pe.rva_of_address(pe.read32(rva));
    if (!target) throw panel_host::FormatError("address outside the image");
    return *target;
  };
  uint32_t linkage = 0, import_table = 0;
  for (const auto& e : pe.exports()) (e.name == "Linkage" ? linkage : import_table) = e.rva;

  EXPECT_EQ(pe.read32(linkage), 0x13u);
  EXPECT_EQ(pe.read32(linkage + 20), 0x800u);
  EXPECT_EQ(pe.read32(linkage + 28), 0u);
  EXPECT_EQ(pe.read32(import_table), 0x0Fu);
  EXPECT_EQ(pe.read32(import_table + 4), 0u);  // the host writes its table here

  const uint32_t header = follow(linkage + 24);
  EXPECT_EQ(pe.read32(header), 0x320u);
  EXPECT_EQ(pe.read_string(follow(header + 4)), GetParam().name);
  EXPECT_EQ(pe.read32(header + 44), 100u);
  const uint32_t mouse = follow(header + 80);
  EXPECT_EQ(pe.read32(mouse + 44), 4u);  // the tooltip entry
  EXPECT_EQ(pe.read_string(follow(mouse + 44 + 36)), GetParam().tooltip);
  follow(header + 84);  // the service callback

  int count = 0;
  for (uint32_t e = follow(follow(header + 8));;) {  // the element list holds the root's address
    ++count;
    ASSERT_LE(count, 1000);
    EXPECT_LE(pe.read32(e), 5u) << count;
    EXPECT_EQ(pe.read32(e + 48), 0x83u) << count;
    EXPECT_EQ(follow(e + 32), header) << count;
    const uint32_t failures = follow(e + 44);
    EXPECT_EQ(pe.read32(failures) | pe.read32(failures + 4) | pe.read32(failures + 8), 0u) << count;
    if (pe.read32(e + 40) == 0) break;
    const uint32_t next_list = follow(e + 40);
    EXPECT_EQ(pe.read32(next_list + 4), 0u) << count;
    e = follow(next_list);
  }
  EXPECT_EQ(count, GetParam().elements);
}

INSTANTIATE_TEST_SUITE_P(Modules, GauFile, ::testing::ValuesIn(gaus),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SoundStandIn, ExportsItsEntriesUndecorated) {
  const auto bytes = file_bytes(std::string(ZAZ_GAU_DIR) + "/VorudAdizi.dll");
  ASSERT_FALSE(bytes.empty());
  const PeImage pe(bytes);
  std::vector<std::string> names;
  for (const auto& e : pe.exports()) names.push_back(e.name);
  for (const char* f : {"TerminateSounds", "GaugePlaySound", "GaugeStopSound"})
    EXPECT_NE(std::find(names.begin(), names.end(), f), names.end()) << f;
}

}  // namespace
