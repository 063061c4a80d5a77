// The exported records, the module state and the service callback that
// every gauge module shares.
#include "zaz/frame.h"

extern "C" {
host::LinkageRecord Linkage = {
    .module_id = host::linkage_module_id,
    .module_init = frame::module_init,
    .module_deinit = frame::module_deinit,
    .module_flags = 0,
    .module_priority = 0,
    .module_version = host::linkage_module_version,
    .gauges = {&gauge_header, nullptr},
};

host::ImportTableRecord ImportTable = {host::import_table_id, nullptr, 0, nullptr};
}

namespace frame {

HMODULE sound_module = nullptr;
FARPROC play_sound_fn = nullptr;
FARPROC stop_sound_fn = nullptr;
FARPROC terminate_sounds_fn = nullptr;
host::ElementHeader* root_element = nullptr;
int32_t power_on = 0;
int32_t first_draw_done = 0;
bool sound_module_loaded = false;

void ZAZ_HOSTAPI module_init() {}
void ZAZ_HOSTAPI module_deinit() {}

namespace {

using TerminateSounds = void(ZAZ_HOSTAPI*)();

void load_sound_library() {
  sound_module = LoadLibraryA(sound_library_name);
  if (sound_module != nullptr) sound_module_loaded = true;
}

// Finds the library already in the process, else loads it.
void obtain_sound_library() {
  sound_module = GetModuleHandleA(sound_library_name);
  if (sound_module == nullptr) load_sound_library();
}

void bind_sound_entries() {
  if (sound_module == nullptr) {
    // A null handle would look the names up in the whole process.
    play_sound_fn = stop_sound_fn = terminate_sounds_fn = nullptr;
    return;
  }
  play_sound_fn = GetProcAddress(sound_module, "GaugePlaySound");
  stop_sound_fn = GetProcAddress(sound_module, "GaugeStopSound");
  terminate_sounds_fn = GetProcAddress(sound_module, "TerminateSounds");
}

void refresh_variables(const ModuleGauge& g) {
  const host::HostFunctionTable* panels = ImportTable.panels;
  if (panels == nullptr) return;  // the host has not filled the import table yet
  const auto refresh = reinterpret_cast<host::RefreshVariable>(panels->entries[host::refresh_variable_entry]);
  if (refresh == nullptr) return;
  for (host::ModuleVar& var : g.variables) refresh(&var);
}

}  // namespace

int32_t derive_power(PowerDerivation derivation, double value) {
  switch (derivation) {
    case PowerDerivation::exactly_one: return value == 1.0 ? 1 : 0;
    case PowerDerivation::truncate: return truncate_to_int32(value);
  }
  return 0;
}

bool power_test_passes(PowerTest test, int32_t power) {
  return test == PowerTest::not_zero ? power != 0 : power == 1;
}

void service(const ModuleGauge& g, host::GaugeHeader* gauge, int32_t service_id) {
  switch (service_id) {
    case host::service_pre_initialize:
      if (sound_module == nullptr) load_sound_library();
      root_element = (gauge != nullptr && gauge->element_list != nullptr) ? *gauge->element_list : nullptr;
      bind_sound_entries();
      break;

    case host::service_pre_update:
      obtain_sound_library();
      bind_sound_entries();
      refresh_variables(g);
      if (g.power_slot < g.variables.size()) power_on = derive_power(g.derivation, g.variables[g.power_slot].value);
      break;

    case host::service_pre_draw:
      if (first_draw_done != 0) break;
      first_draw_done = 1;
      for (int32_t* global : g.cleared_at_first_draw) *global = 0;
      power_on = 0;
      break;

    case host::service_pre_kill:
      obtain_sound_library();
      bind_sound_entries();
      if (terminate_sounds_fn != nullptr) reinterpret_cast<TerminateSounds>(terminate_sounds_fn)();
      // Release only the reference this module took; a handle found through
      // GetModuleHandleA belongs to whoever loaded the library.
      if (sound_module != nullptr && sound_module_loaded) FreeLibrary(sound_module);
      sound_module = nullptr;
      sound_module_loaded = false;
      play_sound_fn = stop_sound_fn = terminate_sounds_fn = nullptr;
      break;

    default:
      break;
  }
}

void ZAZ_HOSTAPI gauge_callback(host::GaugeHeader* gauge, int32_t service_id, uint32_t /*extra*/) {
  service(module_gauge, gauge, service_id);
}

}  // namespace frame
