#include "module_file.h"

#include <fstream>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace panel_host {

namespace {

void* open_library(const std::string& path, std::string& error) {
#ifdef _WIN32
  // A relative name would be looked for along the DLL search path first.
  char full[MAX_PATH];
  const DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
  HMODULE h = LoadLibraryA(n > 0 && n < MAX_PATH ? full : path.c_str());
  if (h == nullptr) error = "Windows error " + std::to_string(GetLastError());
  return reinterpret_cast<void*>(h);
#else
  // A name without a slash would be searched for on the loader path.
  const std::string where = path.find('/') == std::string::npos ? "./" + path : path;
  void* h = dlopen(where.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (h == nullptr) error = dlerror();
  return h;
#endif
}

void* find_symbol(void* handle, const char* name) {
#ifdef _WIN32
  return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(handle), name));
#else
  return dlsym(handle, name);
#endif
}

void close_library(void* handle) {
#ifdef _WIN32
  FreeLibrary(reinterpret_cast<HMODULE>(handle));
#else
  dlclose(handle);
#endif
}

}  // namespace

ModuleFile::ModuleFile(const std::string& path) : path_(path) {
  if (!std::ifstream(path, std::ios::binary)) throw LoadError(path + ": cannot open the file");
  std::string error;
  handle_ = open_library(path, error);
  if (handle_ == nullptr) throw LoadError(path + ": not a gauge module that can be loaded (" + error + ")");
  linkage_ = static_cast<host::LinkageRecord*>(find_symbol(handle_, "Linkage"));
  import_table_ = static_cast<host::ImportTableRecord*>(find_symbol(handle_, "ImportTable"));
  if (linkage_ == nullptr || import_table_ == nullptr) {
    close_library(handle_);
    handle_ = nullptr;
    throw LoadError(path + ": not a gauge module: it exports no " + (linkage_ == nullptr ? "Linkage" : "ImportTable"));
  }
}

ModuleFile::~ModuleFile() {
  if (handle_ != nullptr) close_library(handle_);
}

}  // namespace panel_host
