// The entry point every harness shares. A harness defines
//   void FuzzOne(const uint8_t* data, size_t size);
// which must take any bytes without a fault. Built with
// TAXBRIDGE_FUZZ_PERSISTENT (CMake option of that name; only for AFL++'s LLVM
// and GCC-plugin compilers, whose runtime has it) the program reads its inputs
// from AFL's shared memory, many per process, unless the harness defines
// TAXBRIDGE_FUZZ_ONE_PER_PROCESS (for readers whose errors end the process).
// Otherwise (the afl-gcc wrapper `make fuzz` uses, or any plain compiler) it
// runs each file named on its command line, or standard input, once: AFL
// passes the input as a file, and that is also how a finding is replayed.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>

// Stops the process (a finding) when a promise of the reader does not hold.
#define FUZZ_CHECK(cond)                                                 \
  do {                                                                  \
    if (!(cond)) {                                                      \
      std::fprintf(stderr, "%s:%d: %s does not hold\n", __FILE__, __LINE__, #cond); \
      std::abort();                                                     \
    }                                                                   \
  } while (0)

void FuzzOne(const uint8_t* data, size_t size);

namespace fuzz {

// The input in a heap block of exactly its size, so that a read one byte past
// the end is caught by the address sanitizer.
inline void RunExact(const uint8_t* data, size_t size) {
  std::unique_ptr<uint8_t[]> exact(new uint8_t[size ? size : 1]);
  std::copy(data, data + size, exact.get());
  FuzzOne(exact.get(), size);
}

inline std::string Slurp(std::istream& in) {
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace fuzz

#if defined(TAXBRIDGE_FUZZ_PERSISTENT) && !defined(TAXBRIDGE_FUZZ_ONE_PER_PROCESS)
__AFL_FUZZ_INIT();
int main() {
  __AFL_INIT();
  const unsigned char* buffer = __AFL_FUZZ_TESTCASE_BUF;
  while (__AFL_LOOP(10000)) fuzz::RunExact(buffer, static_cast<size_t>(__AFL_FUZZ_TESTCASE_LEN));
  return 0;
}
#else
int main(int argc, char** argv) {
  if (argc < 2) {
    const std::string input = fuzz::Slurp(std::cin);
    fuzz::RunExact(reinterpret_cast<const uint8_t*>(input.data()), input.size());
    return 0;
  }
  for (int i = 1; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "cannot read %s\n", argv[i]);
      return 1;
    }
    const std::string input = fuzz::Slurp(in);
    fuzz::RunExact(reinterpret_cast<const uint8_t*>(input.data()), input.size());
  }
  return 0;
}
#endif
