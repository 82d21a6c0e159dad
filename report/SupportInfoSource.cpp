#include "report/SupportInfoSource.h"

#include <cstdio>
#include <fstream>

namespace report {

bool ReadSupportInfo(const std::string& path, size_t maxBytes, std::string& data) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  data.assign(maxBytes, '\0');
  in.read(data.data(), static_cast<std::streamsize>(maxBytes));
  data.resize(static_cast<size_t>(in.gcount()));
  return true;
}

void ShowSupportInfoOutOfMemory() { std::fputs("ﾒﾓﾘが不足しています。\n", stderr); }

}  // namespace report
