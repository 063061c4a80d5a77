// The Windows kernel calls the frame uses, on POSIX, with their Windows
// meaning. A library name without a path resolves to <name>.so beside this
// module first, then through the dynamic loader's search path.
#include <dlfcn.h>

#include <cstring>
#include <string>

#include "zaz/kernel.h"

namespace {

std::string own_directory() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&own_directory), &info) == 0 || info.dli_fname == nullptr) return {};
  std::string path = info.dli_fname;
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string{} : path.substr(0, slash + 1);
}

template <class Try>
void* resolve(const char* name, Try&& attempt) {
  if (name == nullptr) return nullptr;
  std::string file = name;
  if (file.find('.') == std::string::npos) file += ".so";
  if (file.find('/') == std::string::npos) {
    const std::string beside = own_directory();
    if (!beside.empty())
      if (void* h = attempt((beside + file).c_str())) return h;
  }
  return attempt(file.c_str());
}

}  // namespace

extern "C" {

HMODULE LoadLibraryA(const char* name) {
  return static_cast<HMODULE>(resolve(name, [](const char* path) { return dlopen(path, RTLD_NOW | RTLD_LOCAL); }));
}

HMODULE GetModuleHandleA(const char* name) {
  return static_cast<HMODULE>(resolve(name, [](const char* path) {
    // RTLD_NOLOAD still counts a reference; give it back at once.
    void* h = dlopen(path, RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD);
    if (h != nullptr) dlclose(h);
    return h;
  }));
}

FARPROC GetProcAddress(HMODULE module, const char* entry) {
  if (module == nullptr || entry == nullptr) return nullptr;
  return reinterpret_cast<FARPROC>(dlsym(module, entry));
}

int FreeLibrary(HMODULE module) { return module != nullptr && dlclose(module) == 0 ? 1 : 0; }
}
