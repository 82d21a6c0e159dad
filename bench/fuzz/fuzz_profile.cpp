// Profile (INI) text and the return product's definition file: the level of
// "SY26" in "ProgramLevel" and the code it gives, out of any bytes.
#include <string>
#include <string_view>

#include "app/TargetProduct.h"
#include "bench/fuzz/FuzzMain.h"
#include "platform/Profile.h"

void FuzzOne(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto value = platform::FindProfileValue(text, app::kTargetLevelSection, app::kTargetLevelKey);
  const int code = app::TargetProductCode(value.value_or(app::kTargetLevelDefault));
  FUZZ_CHECK(code >= -1 && code <= 2);
  if (value) FUZZ_CHECK(value->find_first_of("\r\n") == std::string::npos);
  platform::FindProfileValue(text, " other ", "k");
}
