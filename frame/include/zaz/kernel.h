// The four Windows kernel calls the frame binds the sound library with.
// On Windows they are kernel32's; elsewhere the platform layer provides them
// under the same names with the same semantics (LoadLibraryA takes a
// reference, GetModuleHandleA finds a loaded library without taking one,
// FreeLibrary drops one, GetProcAddress on a null handle gives null).
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
struct ZazModule;
using HMODULE = ZazModule*;
using FARPROC = void (*)();

extern "C" {
HMODULE LoadLibraryA(const char* name);
HMODULE GetModuleHandleA(const char* name);
FARPROC GetProcAddress(HMODULE module, const char* entry);
int FreeLibrary(HMODULE module);
}
#endif

inline constexpr const char* sound_library_name = "VorudAdizi";
