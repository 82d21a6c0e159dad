// What the suites and benchmarks that run whole programs share to handle
// their files and commands: a file's whole bytes, a text quoted for the shell, and the output
// of a command.
//
// ReadAll gives the file's bytes as they are ("" when it cannot be read).
// Quote wraps a text in single quotes so that sh takes it as one word
// whatever it holds. Capture runs a command through sh and gives what it
// wrote to its standard output ("" when it could not be started).
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace test_support {

inline std::string ReadAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string Quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

inline std::string Capture(const std::string& command) {
  std::string out;
  if (FILE* p = ::popen(command.c_str(), "r")) {
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    ::pclose(p);
  }
  return out;
}

}  // namespace test_support
