// What every reader fuzzer asks of panel-host's readers: a damaged input
// ends in the reader's own error type, with a message; anything else that
// escapes (another exception, a crash, a sanitizer report) is a finding.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace fuzz {

template <class Error, class Read>
void expect_clean(const char* reader, Read read) {
  try {
    read();
  } catch (const Error& e) {
    if (e.what() == nullptr || e.what()[0] == '\0') {
      std::fprintf(stderr, "%s: an error without a message\n", reader);
      std::abort();
    }
  }
}

[[noreturn]] inline void broken(const char* reader, const char* what) {
  std::fprintf(stderr, "%s: %s\n", reader, what);
  std::abort();
}

}  // namespace fuzz
