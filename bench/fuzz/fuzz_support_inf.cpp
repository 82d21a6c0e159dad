// "SUPPORT.INF": the product name and version out of any bytes.
#include <string>
#include <string_view>

#include "bench/fuzz/FuzzMain.h"
#include "report/SupportInfoFile.h"

void FuzzOne(const uint8_t* data, size_t size) {
  report::SupportInfoFile file;
  FUZZ_CHECK(file.LoadBytes(std::string_view(reinterpret_cast<const char*>(data), size)) == 1);
  const std::string name = file.ProductName();
  const std::string version = file.ProductVersion();
  FUZZ_CHECK(name.find('\0') == std::string::npos && version.find('\0') == std::string::npos);
  FUZZ_CHECK(name.size() <= size && version.size() <= size);
}
