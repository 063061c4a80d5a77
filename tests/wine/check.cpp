#include "check.h"

#include <cstdio>
#include <exception>

namespace check {

namespace {

struct Registered {
  std::string name;
  std::function<void()> body;
};

std::vector<Registered>& registry() {
  static std::vector<Registered> cases;
  return cases;
}

std::vector<std::string> contexts;
const std::string* current = nullptr;
int failures_in_case = 0;

}  // namespace

void add(std::string name, std::function<void()> body) { registry().push_back({std::move(name), std::move(body)}); }

void record_failure(const std::string& text) {
  if (failures_in_case++ == 0) std::printf("FAILED %s\n", current->c_str());
  std::printf("  %s\n", text.c_str());
  for (auto it = contexts.rbegin(); it != contexts.rend(); ++it) std::printf("    in %s\n", it->c_str());
}

Context::Context(std::string what) { contexts.push_back(std::move(what)); }
Context::~Context() { contexts.pop_back(); }

int run_all(const std::string& filter) {
  int passed = 0, failed = 0;
  for (const Registered& c : registry()) {
    if (c.name.find(filter) == std::string::npos) continue;
    current = &c.name;
    failures_in_case = 0;
    contexts.clear();
    try {
      c.body();
    } catch (const Stop&) {
    } catch (const std::exception& e) {
      record_failure(std::string("unexpected exception: ") + e.what());
    }
    if (failures_in_case == 0) {
      ++passed;
      std::printf("ok     %s\n", c.name.c_str());
    } else {
      ++failed;
    }
    std::fflush(stdout);
  }
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}

}  // namespace check
