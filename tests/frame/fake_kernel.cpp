#include "fake_kernel.h"

#include <algorithm>

#include "zaz/host_format.h"
#include "zaz/kernel.h"

FakeKernel fake_kernel;

int FakeKernel::count(const std::string& call) const {
  return static_cast<int>(std::count_if(calls.begin(), calls.end(),
                                        [&](const std::string& c) { return c.rfind(call, 0) == 0; }));
}

namespace {
int library_object;  // its address is the fake handle
HMODULE fake_handle() { return reinterpret_cast<HMODULE>(&library_object); }
void ZAZ_HOSTAPI fake_entry() {}
void ZAZ_HOSTAPI fake_terminate() { ++fake_kernel.terminate_calls; }
}  // namespace

#ifdef _WIN32
#error "the fake kernel replaces the POSIX layer only"
#endif

extern "C" {

HMODULE LoadLibraryA(const char* name) {
  fake_kernel.calls.push_back(std::string("LoadLibraryA ") + name);
  if (!fake_kernel.library_exists) return nullptr;
  ++fake_kernel.references;
  return fake_handle();
}

HMODULE GetModuleHandleA(const char* name) {
  fake_kernel.calls.push_back(std::string("GetModuleHandleA ") + name);
  return fake_kernel.references + fake_kernel.foreign_references > 0 ? fake_handle() : nullptr;
}

FARPROC GetProcAddress(HMODULE module, const char* entry) {
  fake_kernel.calls.push_back(std::string("GetProcAddress ") + entry);
  if (module != fake_handle() || fake_kernel.missing_entries.count(entry) != 0) return nullptr;
  if (std::string(entry) == "TerminateSounds") return reinterpret_cast<FARPROC>(&fake_terminate);
  return reinterpret_cast<FARPROC>(&fake_entry);
}

int FreeLibrary(HMODULE module) {
  fake_kernel.calls.push_back("FreeLibrary");
  if (module != fake_handle() || fake_kernel.references == 0) return 0;
  --fake_kernel.references;
  return 1;
}
}
