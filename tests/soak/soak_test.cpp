// A long flight for each gauge module, loaded as panel-host loads it, with
// the real sound stand-in beside it: a million update cycles with the
// readings moving (now and then not a number), then ten thousand
// create/destroy cycles. The heap, the process's mappings and the sound
// library's reference count must end where they started.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <malloc.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "gauge_driver.h"
#include "module_file.h"

#ifdef __SANITIZE_ADDRESS__
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

// Live heap bytes: AddressSanitizer's own count where it runs (its
// allocator replaces malloc's), else malloc's.
std::size_t heap_in_use() {
#ifdef __SANITIZE_ADDRESS__
  return __sanitizer_get_current_allocated_bytes();
#else
  return mallinfo2().uordblks;
#endif
}

const std::string module_dir = ZAZ_MODULE_DIR;
const std::string sound_path = module_dir + "/VorudAdizi.so";

// Mappings of the module files and the sound library: a library left
// loaded shows here. (The process's other mappings come and go with the
// sanitizer's allocator.)
std::size_t module_mappings() {
  std::ifstream maps("/proc/self/maps");
  std::size_t n = 0;
  for (std::string line; std::getline(maps, line);)
    if (line.find(module_dir) != std::string::npos) ++n;
  return n;
}

std::size_t resident_kib() {
  std::ifstream statm("/proc/self/statm");
  std::size_t pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * 4;
}

// Whether the sound library is in the process; asking takes no reference.
bool sound_loaded() {
  void* h = dlopen(sound_path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (h != nullptr) dlclose(h);
  return h != nullptr;
}

// One simulator variable moving through [low, high] at its own pace.
struct Sweep {
  uint32_t token;
  double low, high;
};

struct Flight {
  const char* module;
  std::vector<Sweep> sweeps;
};

std::ostream& operator<<(std::ostream& os, const Flight& f) { return os << f.module; }

constexpr long update_cycles = 1000000;
constexpr long lifetimes = 10000;
// A leak of one byte per cycle would show as a megabyte; this only
// absorbs the loader's and the C library's own bookkeeping.
constexpr std::size_t heap_slack = 16 * 1024;

void set_readings(panel_host::VariableStore& store, const Flight& f, long cycle) {
  store.set(0x301, 1.0);  // power
  for (std::size_t i = 0; i < f.sweeps.size(); ++i) {
    const Sweep& s = f.sweeps[i];
    const long period = 997 + 131 * static_cast<long>(i);
    double v = s.low + (s.high - s.low) * static_cast<double>(cycle % period) / static_cast<double>(period);
    if ((cycle + static_cast<long>(i)) % 4099 == 0) v = std::numeric_limits<double>::quiet_NaN();
    if ((cycle + static_cast<long>(i)) % 8191 == 0) v = -std::numeric_limits<double>::infinity();
    store.set(s.token, v);
  }
}

class Soak : public ::testing::TestWithParam<Flight> {
 protected:
  std::string path() const { return module_dir + "/" + GetParam().module + ".so"; }
};

TEST_P(Soak, MillionUpdateCyclesKeepMemoryFlat) {
  ASSERT_FALSE(sound_loaded());
  panel_host::ModuleFile file(path());
  panel_host::VariableStore store;
  {
    panel_host::GaugeDriver driver(file.linkage(), file.import_table(), store);
    driver.create();
    for (long c = 0; c < 1000; ++c) {
      set_readings(store, GetParam(), c);
      driver.cycle();
    }
    const std::size_t heap = heap_in_use(), maps = module_mappings(), rss = resident_kib();
    for (long c = 0; c < update_cycles; ++c) {
      set_readings(store, GetParam(), c);
      driver.cycle();
    }
    const std::size_t heap_after = heap_in_use(), maps_after = module_mappings(), rss_after = resident_kib();
    std::printf("%s: %ld cycles: heap %zu -> %zu bytes, module mappings %zu -> %zu, resident %zu -> %zu KiB\n",
                GetParam().module, update_cycles, heap, heap_after, maps, maps_after, rss, rss_after);
    EXPECT_LE(heap_after, heap + heap_slack);
    EXPECT_EQ(maps_after, maps);
    EXPECT_TRUE(sound_loaded());
    driver.destroy();
  }
  EXPECT_FALSE(sound_loaded()) << "the module kept a reference to the sound library";
}

TEST_P(Soak, CreateDestroyCyclesGiveEverythingBack) {
  ASSERT_FALSE(sound_loaded());
  panel_host::ModuleFile file(path());
  panel_host::VariableStore store;
  set_readings(store, GetParam(), 0);
  // Every other lifetime the host holds the sound library itself, so the
  // module must neither keep its own reference nor drop the host's.
  long kept = 0, dropped = 0, not_loaded = 0;
  auto lifetime = [&](long n) {
    void* own = n % 2 == 1 ? dlopen(sound_path.c_str(), RTLD_NOW | RTLD_LOCAL) : nullptr;
    {
      panel_host::GaugeDriver driver(file.linkage(), file.import_table(), store);
      driver.create();
      driver.cycle();
      if (!sound_loaded()) ++not_loaded;
      driver.destroy();
    }
    if (own != nullptr) {
      if (!sound_loaded()) ++dropped;
      dlclose(own);
    }
    if (sound_loaded()) ++kept;
  };
  for (long n = 0; n < 100; ++n) lifetime(n);
  const std::size_t heap = heap_in_use(), maps = module_mappings();
  for (long n = 0; n < lifetimes; ++n) lifetime(n);
  const std::size_t heap_after = heap_in_use(), maps_after = module_mappings();
  std::printf("%s: %ld lifetimes: heap %zu -> %zu bytes, module mappings %zu -> %zu\n", GetParam().module, lifetimes, heap,
              heap_after, maps, maps_after);
  EXPECT_EQ(not_loaded, 0) << "lifetimes in which the gauge did not bind the sound library";
  EXPECT_EQ(kept, 0) << "lifetimes after which the module still held the sound library";
  EXPECT_EQ(dropped, 0) << "lifetimes in which the module released the host's reference";
  EXPECT_LE(heap_after, heap + heap_slack);
  EXPECT_EQ(maps_after, maps);
}

INSTANTIATE_TEST_SUITE_P(Gauges, Soak,
                         ::testing::Values(
                             Flight{"Zazader_BckupAirspeed", {{0x3D, 0, 800}, {0x40, 0, 20480}}},
                             Flight{"Zazader_Airspeed",
                                    {{0x3D, 0, 450},
                                     {0x40, 0, 20480},
                                     {0x340, 0, 300},
                                     {0x74, 80, 350},
                                     {0x73, 0, 2},
                                     {0x76, 0.2, 0.9},
                                     {0x75, 0, 2},
                                     {0x3F, 0, 350 * 128}}},
                             Flight{"Zazader_EICAS",
                                    {{0x272, 0, 115},
                                     {0x285, 0, 115},
                                     {0x277, 400, 2600},
                                     {0x28A, 400, 2600},
                                     {0x317, 0, 3000},
                                     {0x27E, 0, 60000},
                                     {0x291, 0, 60000},
                                     {0x340, 0, 300},
                                     {0x130, 0, 1600},
                                     {0x148, 0, 16384},
                                     {0x14C, 0, 16384},
                                     {0x30F, -2, 2},
                                     {0x2F0, 20, 30},
                                     {0x2DC, 0, 450000}}}),
                         [](const auto& info) { return std::string(info.param.module); });

}  // namespace
