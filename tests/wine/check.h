// A small test runner for the Windows test program. GoogleTest needs
// std::mutex on Windows, which the MinGW compiler's win32 thread model (the
// one the deliverables are built with) does not have.
//
//   check::add("Suite.Case/Param", [] { CHECK(x == 1) << "context"; REQUIRE(p); });
//   return check::run_all(argc > 1 ? argv[1] : "");
//
// CHECK records a failure and goes on; REQUIRE ends the case.
#pragma once

#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace check {

void add(std::string name, std::function<void()> body);

// Runs every case whose name contains `filter`, in the order added; prints
// each failure and a closing "N passed, M failed" line. Returns the
// process exit status.
int run_all(const std::string& filter);

struct Stop {};  // a REQUIRE failed: the case ends here

void record_failure(const std::string& text);

template <class T>
std::string shown(const T& v) {
  if constexpr (requires(std::ostream& os) { os << v; }) {
    std::ostringstream s;
    s << v;
    return s.str();
  } else {
    return "(value not printable)";
  }
}

// Collects the message streamed after a failed check; reports it when the
// statement ends.
class Failure {
 public:
  Failure(const char* file, int line, std::string what, bool fatal) : fatal_(fatal) {
    text_ << file << ":" << line << ": " << what;
  }
  template <class T>
  Failure& operator<<(const T& v) {
    text_ << (first_ ? ": " : "") << v;
    first_ = false;
    return *this;
  }
  ~Failure() noexcept(false) {
    record_failure(text_.str());
    if (fatal_) throw Stop{};
  }

 private:
  std::ostringstream text_;
  bool fatal_;
  bool first_ = true;
};

template <class A, class B>
std::string compared(const char* a_text, const char* b_text, const A& a, const B& b) {
  return std::string(a_text) + " == " + b_text + " (" + shown(a) + " vs " + shown(b) + ")";
}

// Names what a group of checks is about, in every failure inside it.
class Context {
 public:
  explicit Context(std::string what);
  ~Context();
  Context(const Context&) = delete;
  Context& operator=(const Context&) = delete;
};

}  // namespace check

#define CHECK(cond) \
  if (cond) {       \
  } else            \
    ::check::Failure(__FILE__, __LINE__, "failed: " #cond, false)
#define REQUIRE(cond) \
  if (cond) {         \
  } else              \
    ::check::Failure(__FILE__, __LINE__, "failed: " #cond, true)
#define CHECK_EQ(a, b)      \
  if ((a) == (b)) {         \
  } else                    \
    ::check::Failure(__FILE__, __LINE__, ::check::compared(#a, #b, (a), (b)), false)
#define REQUIRE_EQ(a, b)    \
  if ((a) == (b)) {         \
  } else                    \
    ::check::Failure(__FILE__, __LINE__, ::check::compared(#a, #b, (a), (b)), true)
