#include "platform/Environment.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace platform {

bool AnchorPathVariables(std::string* error) {
  std::vector<const char*> relative;
  for (const char* name : kPathVariables) {
    const char* value = std::getenv(name);
    if (value != nullptr && value[0] != '\0' && value[0] != '/') relative.push_back(name);
  }
  if (relative.empty()) return true;

  std::vector<char> buffer(4096);
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) {
      *error = std::string("cannot tell the current folder, so the relative path in ") + relative.front() +
               " has nothing to stand in: " + std::strerror(errno);
      return false;
    }
    buffer.resize(buffer.size() * 2);
  }
  std::string start = buffer.data();
  if (start.empty() || start[0] != '/') {
    // Linux reports an unreachable current folder as "(unreachable)/...".
    *error = std::string("the current folder is unreachable, so the relative path in ") + relative.front() +
             " has nothing to stand in";
    return false;
  }
  if (start.back() != '/') start += '/';
  for (const char* name : relative) {
    const std::string anchored = start + std::getenv(name);
    if (::setenv(name, anchored.c_str(), 1) != 0) {
      *error = std::string("cannot set ") + name + ": " + std::strerror(errno);
      return false;
    }
  }
  return true;
}

}  // namespace platform
