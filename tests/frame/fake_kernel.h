// A kernel layer for tests: counts every call, holds references like the
// real loader, and can lack the library or one of its entries.
#pragma once

#include <set>
#include <string>
#include <vector>

struct FakeKernel {
  bool library_exists = true;   // LoadLibraryA can find it
  int references = 0;           // held by this module
  int foreign_references = 0;   // held by someone else in the process
  std::set<std::string> missing_entries;
  std::vector<std::string> calls;  // "LoadLibraryA VorudAdizi", ...
  int terminate_calls = 0;

  void reset() { *this = FakeKernel{}; }
  int count(const std::string& call) const;
};

extern FakeKernel fake_kernel;
