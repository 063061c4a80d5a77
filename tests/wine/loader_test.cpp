// The gauge modules as Windows itself handles them: loaded with
// LoadLibraryA (moved, too, when their preferred address is taken), driven
// through their life cycle against kernel32, the sound library's references
// as GetModuleHandleA sees them, the bitmaps through FindResource and GDI,
// and the version record through GetFileVersionInfo. Where panel-host has a
// reader of its own for the same bytes, the two must agree.
#include <windows.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "check.h"
#include "gauge_driver.h"
#include "module_file.h"
#include "pe_image.h"
#include "resources.h"

namespace {

struct Module {
  const char* name;
  const char* description;  // the version record's FileDescription
};

const Module modules[] = {
    {"Zazader_BckupAirspeed", "Bckup KTS"},
    {"Zazader_Airspeed", "KTS"},
    {"Zazader_EICAS", "Eicas"},
};

std::string parent_of(const std::string& path) { return path.substr(0, path.find_last_of("\\/")); }

// The modules are ../modules from this program, as from panel-host.
const std::string& module_dir() {
  static const std::string dir = [] {
    char self[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
    return parent_of(parent_of(std::string(self, n))) + "\\modules";
  }();
  return dir;
}

std::string module_path(const char* name) { return module_dir() + "\\" + name + ".gau"; }
std::string sound_path() { return module_dir() + "\\VorudAdizi.dll"; }

std::vector<uint8_t> file_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// ------------------------------------------------------- sound library

bool sound_loaded() { return GetModuleHandleA("VorudAdizi") != nullptr; }

// The stand-in's TerminateSounds calls since it was last loaded.
int terminate_count() {
  const HMODULE h = GetModuleHandleA("VorudAdizi");
  if (h == nullptr) return -1;
  using Count = int(WINAPI*)();
  const auto count = reinterpret_cast<Count>(reinterpret_cast<void*>(GetProcAddress(h, "StandInTerminateCount")));
  return count != nullptr ? count() : -1;
}

// The tests run from a directory without the library, so a bare
// LoadLibraryA("VorudAdizi") finds it only through the DLL directory.
void sound_findable(bool findable) { SetDllDirectoryA(findable ? module_dir().c_str() : ""); }

// ------------------------------------------------------------ a gauge

class Gauge {
 public:
  explicit Gauge(const std::string& path) {
    handle_ = LoadLibraryA(path.c_str());
    if (handle_ == nullptr) {
      error_ = "LoadLibraryA(" + path + ") failed: Windows error " + std::to_string(GetLastError());
      return;
    }
    linkage_ = reinterpret_cast<host::LinkageRecord*>(GetProcAddress(handle_, "Linkage"));
    import_table_ = reinterpret_cast<host::ImportTableRecord*>(GetProcAddress(handle_, "ImportTable"));
    try {
      driver_ = std::make_unique<panel_host::GaugeDriver>(linkage_, import_table_, variables_);
    } catch (const std::exception& e) {
      error_ = path + ": " + e.what();
    }
  }
  ~Gauge() {
    driver_.reset();
    if (handle_ != nullptr) FreeLibrary(handle_);
  }
  Gauge(const Gauge&) = delete;
  Gauge& operator=(const Gauge&) = delete;

  bool ok() const { return driver_ != nullptr; }
  const std::string& error() const { return error_; }
  HMODULE handle() const { return handle_; }
  host::LinkageRecord* linkage() const { return linkage_; }
  panel_host::GaugeDriver& driver() { return *driver_; }
  panel_host::VariableStore& variables() { return variables_; }

 private:
  std::string error_;
  HMODULE handle_ = nullptr;
  host::LinkageRecord* linkage_ = nullptr;
  host::ImportTableRecord* import_table_ = nullptr;
  panel_host::VariableStore variables_;
  std::unique_ptr<panel_host::GaugeDriver> driver_;
};

#define REQUIRE_LOADED(g) REQUIRE((g).ok()) << (g).error()

// The bitmap ids the chain draws from: `first` those every element needs
// (a moving image its picture and the window after it, an icon its first
// state), `any` with every further icon state.
struct NamedBitmaps {
  std::set<uint32_t> first, any;
};

NamedBitmaps bitmaps_named(panel_host::GaugeDriver& driver) {
  NamedBitmaps ids;
  for (const auto& s : driver.elements()) {
    const host::ElementHeader& e = *s.record;
    if (e.kind == host::ElementKind::string) continue;
    ids.first.insert(e.bitmap_id);
    if (e.kind == host::ElementKind::moving_image) ids.first.insert(e.bitmap_id + 1);
    if (e.kind == host::ElementKind::icon)
      for (uint32_t i = 1; i < reinterpret_cast<const host::IconElement&>(e).states; ++i) ids.any.insert(e.bitmap_id + i);
  }
  ids.any.insert(ids.first.begin(), ids.first.end());
  return ids;
}

// What the host saw in the last cycle, exactly (doubles by their bits).
using Snapshot = std::vector<std::tuple<uint32_t, uint64_t, uint64_t, uint64_t, std::string>>;

Snapshot powered_cycles(Gauge& g) {
  g.variables().set(0x301, 1);
  g.variables().set(0x3D, 250.5);
  g.variables().set(0x40, 16384);
  g.variables().set(0x272, 87.25);
  g.driver().create();
  for (int i = 0; i < 3; ++i) g.driver().cycle();
  Snapshot out;
  for (const auto& s : g.driver().elements())
    out.emplace_back(s.record->image_flags, std::bit_cast<uint64_t>(s.value), std::bit_cast<uint64_t>(s.value_x),
                     std::bit_cast<uint64_t>(s.value_y), s.text != nullptr ? s.text : "");
  g.driver().destroy();
  return out;
}

// ---------------------------------------------------------------- loader

void exports_its_records_by_name_and_by_ordinal(const Module& m) {
  Gauge g(module_path(m.name));
  REQUIRE_LOADED(g);
  CHECK(reinterpret_cast<void*>(GetProcAddress(g.handle(), MAKEINTRESOURCEA(1))) == g.linkage());
  CHECK(reinterpret_cast<void*>(GetProcAddress(g.handle(), MAKEINTRESOURCEA(2))) ==
        reinterpret_cast<void*>(GetProcAddress(g.handle(), "ImportTable")));
  CHECK(GetProcAddress(g.handle(), MAKEINTRESOURCEA(3)) == nullptr);
  CHECK_EQ(g.driver().name(), std::string(m.name));
  // Loading the module binds nothing: the sound library waits for the
  // gauge to be created.
  CHECK(!sound_loaded());
}

// With its preferred address taken the loader must apply every base
// relocation; the records then point into the moved image and the gauge
// does exactly what it does unmoved.
void moved_image_behaves_as_the_unmoved_one(const Module& m) {
  const std::string path = module_path(m.name);
  Snapshot unmoved;
  {
    Gauge g(path);
    REQUIRE_LOADED(g);
    unmoved = powered_cycles(g);
  }

  // Where the file asks to be loaded, by Windows' own header layout.
  const std::vector<uint8_t> bytes = file_bytes(path);
  REQUIRE(bytes.size() > sizeof(IMAGE_DOS_HEADER));
  const LONG nt_at = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data())->e_lfanew;
  REQUIRE(nt_at > 0 && static_cast<size_t>(nt_at) + sizeof(IMAGE_NT_HEADERS64) <= bytes.size());
  const auto& optional = reinterpret_cast<const IMAGE_NT_HEADERS64*>(bytes.data() + nt_at)->OptionalHeader;
  REQUIRE_EQ(optional.Magic, IMAGE_NT_OPTIONAL_HDR64_MAGIC);
  const uint64_t preferred_base = optional.ImageBase;
  const uint32_t image_size = optional.SizeOfImage;
  CHECK_EQ(panel_host::PeImage(bytes).image_base(), preferred_base) << "panel-host's PE reader misreads the image base";

  void* const preferred = reinterpret_cast<void*>(preferred_base);
  void* const taken = VirtualAlloc(preferred, image_size, MEM_RESERVE, PAGE_NOACCESS);
  REQUIRE(taken == preferred) << "could not reserve " << image_size << " bytes at " << preferred << ": Windows error "
                              << GetLastError();
  Gauge g(path);
  VirtualFree(taken, 0, MEM_RELEASE);
  REQUIRE_LOADED(g);

  const auto base = reinterpret_cast<uintptr_t>(g.handle());
  REQUIRE(base != preferred_base) << "the loader did not move the module";
  const auto inside = [&](const void* p) {
    const auto a = reinterpret_cast<uintptr_t>(p);
    return a >= base && a - base < image_size;
  };
  host::GaugeHeader& header = g.driver().header();
  CHECK(inside(&header));
  CHECK(inside(header.name));
  CHECK(inside(header.mouse_list));
  CHECK(inside(reinterpret_cast<const void*>(header.service_callback)));
  for (const auto& s : g.driver().elements()) {
    CHECK(inside(s.record));
    CHECK(s.record->gauge == &header);
    CHECK(inside(s.record->failures));
  }
  CHECK(powered_cycles(g) == unmoved) << "the moved gauge's elements differ";
}

// panel-host given a bare file name means the file in the current
// directory, not one the DLL search path turns up first.
void host_opens_the_file_it_is_given(const Module& m) {
  const Module& decoy = modules[(&m - modules + 1) % std::size(modules)];
  char temp[MAX_PATH];
  REQUIRE(GetTempPathA(MAX_PATH, temp) != 0);
  const std::string decoy_dir = std::string(temp) + "zaz-decoy";
  CreateDirectoryA(decoy_dir.c_str(), nullptr);
  const std::string decoy_file = decoy_dir + "\\" + m.name + ".gau";
  REQUIRE(CopyFileA(module_path(decoy.name).c_str(), decoy_file.c_str(), FALSE));
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  SetCurrentDirectoryA(module_dir().c_str());
  SetDllDirectoryA(decoy_dir.c_str());
  std::string opened;
  try {
    const panel_host::ModuleFile file(std::string(m.name) + ".gau");
    opened = file.linkage()->gauges[0]->name;
  } catch (const std::exception& e) {
    opened = e.what();
  }
  SetDllDirectoryA(module_dir().c_str());
  SetCurrentDirectoryA(previous);
  DeleteFileA(decoy_file.c_str());
  RemoveDirectoryA(decoy_dir.c_str());
  CHECK_EQ(opened, std::string(m.name)) << "panel-host loaded " << decoy.name << " from the DLL search path";
}

// ------------------------------------------------------- sound library

void takes_the_sound_library_at_create_and_gives_it_back_at_kill(const Module& m) {
  Gauge g(module_path(m.name));
  REQUIRE_LOADED(g);
  g.driver().create();
  CHECK(sound_loaded()) << "pre-initialize did not load it";
  g.driver().cycle();
  g.driver().cycle();
  CHECK(sound_loaded());
  g.driver().destroy();
  CHECK(!sound_loaded()) << "the gauge kept its reference after pre-kill";
}

void leaves_the_reference_someone_else_holds(const Module& m) {
  const HMODULE own = LoadLibraryA(sound_path().c_str());
  REQUIRE(own != nullptr);
  {
    Gauge g(module_path(m.name));
    REQUIRE_LOADED(g);
    g.driver().create();
    g.driver().cycle();
    const int before = terminate_count();
    g.driver().destroy();
    REQUIRE(sound_loaded()) << "the gauge released a reference it did not take";
    CHECK_EQ(terminate_count(), before + 1) << "pre-kill did not terminate the sounds";
  }
  CHECK(sound_loaded()) << "unloading the module released the host's reference";
  FreeLibrary(own);
  CHECK(!sound_loaded());
}

// Missing at create, loaded by someone else later: the gauge finds it
// through GetModuleHandleA, uses it, and leaves that reference alone.
void borrows_a_library_loaded_after_create(const Module& m) {
  sound_findable(false);
  Gauge g(module_path(m.name));
  REQUIRE_LOADED(g);
  g.driver().create();
  g.driver().cycle();
  CHECK(!sound_loaded());
  const HMODULE own = LoadLibraryA(sound_path().c_str());
  REQUIRE(own != nullptr);
  g.driver().cycle();
  g.driver().destroy();
  CHECK(sound_loaded()) << "the gauge released the reference it borrowed";
  CHECK_EQ(terminate_count(), 1) << "pre-kill did not terminate the sounds";
  FreeLibrary(own);
  CHECK(!sound_loaded());
}

// ------------------------------------------------------------- resources

void bitmaps_load_through_the_resource_calls_and_gdi(const Module& m) {
  const std::string path = module_path(m.name);
  Gauge g(path);
  REQUIRE_LOADED(g);
  const auto in_file = panel_host::read_pe_resources(file_bytes(path));
  const NamedBitmaps named = bitmaps_named(g.driver());
  std::set<uint32_t> carried;
  for (const auto& r : in_file.items)
    if (r.type == panel_host::rt_bitmap) carried.insert(r.id);
  CHECK(std::includes(carried.begin(), carried.end(), named.first.begin(), named.first.end()))
      << "the chain draws from a bitmap the module lacks";
  CHECK(std::includes(named.any.begin(), named.any.end(), carried.begin(), carried.end()))
      << "the module carries a bitmap its chain never draws";

  for (const uint32_t id : carried) {
    char what[32];
    std::snprintf(what, sizeof what, "bitmap 0x%04x", id);
    check::Context context(what);
    const HRSRC found = FindResourceExA(g.handle(), MAKEINTRESOURCEA(2), MAKEINTRESOURCEA(id),
                                        MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    REQUIRE(found != nullptr) << "not found in language 1033";
    CHECK(FindResourceA(g.handle(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2)) == found);
    const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(g.handle(), found)));
    REQUIRE(bytes != nullptr);
    const panel_host::Resource* want = in_file.find(panel_host::rt_bitmap, id);
    REQUIRE(want != nullptr) << "panel-host does not find it in the file";
    REQUIRE_EQ(SizeofResource(g.handle(), found), want->data.size());
    CHECK(std::equal(want->data.begin(), want->data.end(), bytes)) << "the loaded bytes differ from the file's";

    const auto info = panel_host::bitmap_info(want->data);
    REQUIRE(info.has_value());
    const auto picture = static_cast<HBITMAP>(
        LoadImageA(g.handle(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    REQUIRE(picture != nullptr) << "GDI cannot decode it";
    BITMAP bm{};
    const int got = GetObjectA(picture, sizeof bm, &bm);
    DeleteObject(picture);
    REQUIRE(got != 0);
    CHECK_EQ(bm.bmWidth, info->width);
    CHECK_EQ(bm.bmHeight, info->height);
    CHECK_EQ(bm.bmBitsPixel, info->bits);
  }
}

using ResourceKey = std::tuple<uint32_t, uint32_t, uint16_t, std::vector<uint8_t>>;

std::vector<ResourceKey> bitmaps_and_versions(const panel_host::ResourceSet& set) {
  std::vector<ResourceKey> out;
  for (const auto& r : set.items)
    if (r.type == panel_host::rt_bitmap || r.type == panel_host::rt_version)
      out.emplace_back(r.type, r.id, r.language, r.data);
  std::sort(out.begin(), out.end());
  return out;
}

// panel-host's reader for a loaded module (EnumResourceNames and the
// rest) against its reader for the file.
void host_reads_the_loaded_module_as_it_reads_the_file(const Module& m) {
  const std::string path = module_path(m.name);
  Gauge g(path);
  REQUIRE_LOADED(g);
  const auto from_file = bitmaps_and_versions(panel_host::read_pe_resources(file_bytes(path)));
  const auto from_handle = bitmaps_and_versions(panel_host::resources_from_handle(g.handle()));
  REQUIRE(!from_file.empty());
  CHECK_EQ(from_handle.size(), from_file.size());
  CHECK(from_handle == from_file) << "the resources read through the handle differ from the file's";
}

std::string query_string(const std::vector<char>& block, const std::string& path) {
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), path.c_str(), &value, &length) || value == nullptr) return "(none)";
  return static_cast<const char*>(value);
}

void version_record_through_get_file_version_info(const Module& m) {
  const std::string path = module_path(m.name);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  REQUIRE(size != 0) << "no version record";
  std::vector<char> block(size);
  REQUIRE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));

  const panel_host::Resource* record = nullptr;
  const auto in_file = panel_host::read_pe_resources(file_bytes(path));
  for (const auto& r : in_file.items)
    if (r.type == panel_host::rt_version) record = &r;
  REQUIRE(record != nullptr) << "panel-host finds no version record in the file";
  const auto want = panel_host::parse_version(record->data);

  void* value = nullptr;
  UINT length = 0;
  REQUIRE(VerQueryValueA(block.data(), "\\", &value, &length));
  REQUIRE_EQ(length, sizeof(VS_FIXEDFILEINFO));
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  CHECK_EQ(fixed->dwSignature, 0xFEEF04BDu);
  CHECK(std::make_tuple(fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS,
                        fixed->dwProductVersionLS, fixed->dwFileFlagsMask, fixed->dwFileFlags, fixed->dwFileOS,
                        fixed->dwFileType, fixed->dwFileSubtype) ==
        std::make_tuple(want.file_version_ms, want.file_version_ls, want.product_version_ms,
                        want.product_version_ls, want.flags_mask, want.flags, want.os, want.file_type,
                        want.file_subtype))
      << "the fixed part differs from panel-host's reading";

  REQUIRE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
  std::vector<std::pair<uint16_t, uint16_t>> translations;
  for (UINT i = 0; i + 4 <= length; i += 4) {
    const auto* w = static_cast<const WORD*>(value) + i / 2;
    translations.emplace_back(w[0], w[1]);
  }
  CHECK(translations == want.translations) << "the translations differ from panel-host's reading";
  REQUIRE_EQ(translations.size(), 1u);
  CHECK_EQ(translations[0].first, 0x0409);
  CHECK_EQ(translations[0].second, 0x04B0);

  // Every string, under the table the translation names.
  char table[32];
  std::snprintf(table, sizeof table, "\\StringFileInfo\\%04x%04x\\", translations[0].first, translations[0].second);
  REQUIRE(!want.strings.empty());
  for (const auto& [key, text] : want.strings) CHECK_EQ(query_string(block, table + key), text) << key;
  CHECK_EQ(query_string(block, table + std::string("FileDescription")), std::string(m.description));
}

// ------------------------------------------- one library, two gauges

void first_kill_leaves_the_second_its_reference(const Module& first, const Module& second) {
  Gauge a(module_path(first.name));
  Gauge b(module_path(second.name));
  REQUIRE_LOADED(a);
  REQUIRE_LOADED(b);
  a.driver().create();
  b.driver().create();
  a.driver().cycle();
  b.driver().cycle();
  a.driver().destroy();
  REQUIRE(sound_loaded()) << first.name << " released " << second.name << "'s reference";
  CHECK_EQ(terminate_count(), 1);
  b.driver().cycle();
  b.driver().destroy();
  CHECK(!sound_loaded()) << second.name << " kept its reference after pre-kill";
}

// Each case starts with the sound library findable and not loaded. One
// that leaves it loaded fails, and the leaked references are dropped so
// the next case starts clean.
void isolated(const std::function<void()>& body) {
  struct Restore {
    ~Restore() {
      for (int i = 0; i < 64 && sound_loaded(); ++i) FreeLibrary(GetModuleHandleA("VorudAdizi"));
      sound_findable(true);
    }
  } restore;
  sound_findable(true);
  REQUIRE(!sound_loaded()) << "the sound library is loaded before the case starts";
  body();
  CHECK(!sound_loaded()) << "the case left the sound library loaded";
}

}  // namespace

// An argument runs only the cases whose names contain it.
int main(int argc, char** argv) {
  using ModuleCase = void (*)(const Module&);
  const std::pair<const char*, ModuleCase> each_module[] = {
      {"ExportsItsRecordsByNameAndByOrdinal", exports_its_records_by_name_and_by_ordinal},
      {"MovedImageBehavesAsTheUnmovedOne", moved_image_behaves_as_the_unmoved_one},
      {"HostOpensTheFileItIsGiven", host_opens_the_file_it_is_given},
      {"TakesTheSoundLibraryAtCreateAndGivesItBackAtKill", takes_the_sound_library_at_create_and_gives_it_back_at_kill},
      {"LeavesTheReferenceSomeoneElseHolds", leaves_the_reference_someone_else_holds},
      {"BorrowsALibraryLoadedAfterCreate", borrows_a_library_loaded_after_create},
      {"BitmapsLoadThroughTheResourceCallsAndGdi", bitmaps_load_through_the_resource_calls_and_gdi},
      {"HostReadsTheLoadedModuleAsItReadsTheFile", host_reads_the_loaded_module_as_it_reads_the_file},
      {"VersionRecordThroughGetFileVersionInfo", version_record_through_get_file_version_info},
  };
  for (const auto& [name, body] : each_module)
    for (const Module& m : modules)
      check::add(std::string(name) + "/" + m.name, [body, module = &m] { isolated([=] { body(*module); }); });

  // Each module once first and once second.
  for (std::size_t i = 0; i < std::size(modules); ++i) {
    const Module& first = modules[i];
    const Module& second = modules[(i + 1) % std::size(modules)];
    check::add(std::string("FirstKillLeavesTheSecondItsReference/") + first.name + "+" + second.name,
               [a = &first, b = &second] { isolated([=] { first_kill_leaves_the_second_its_reference(*a, *b); }); });
  }
  return check::run_all(argc > 1 ? argv[1] : "");
}
