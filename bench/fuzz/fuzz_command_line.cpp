// The host command line "window,message,function,path".
#include <string_view>

#include "app/HostCommandLine.h"
#include "bench/fuzz/FuzzMain.h"

void FuzzOne(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  app::HostCommandLine line;
  const int form = app::ParseHostCommandLine(text, line);
  size_t commas = 0, third = std::string_view::npos;
  for (size_t i = 0; i < text.size() && commas < 3; ++i) {
    if (text[i] == ',' && ++commas == 3) third = i;
  }
  FUZZ_CHECK(form == (commas == 3 ? 1 : 0));
  if (form == 1) FUZZ_CHECK(line.fixedOutputPath == text.substr(third + 1));
}
