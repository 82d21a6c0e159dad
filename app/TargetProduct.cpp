#include "app/TargetProduct.h"

#include "app/HostCommandLine.h"
#include "platform/ShiftJis.h"

namespace app {

int TargetProductCode(const std::optional<std::string>& value) {
  if (!value || value->empty()) return -1;
  const std::string_view field = std::string_view(*value).substr(0, kTargetLevelFieldBytes - 1);
  const long level = DecimalToLong(field);
  if (level == kRequiredTargetLevel) return 0;
  return level < kRequiredTargetLevel ? 1 : 2;
}

const char* TargetProductMessage(int code) {
  struct Entry {
    int code;
    const char* text;
  };
  static constexpr Entry kMessages[] = {
      {-1, "動作環境が不正です。\nES_APRPACKAGENAMEが正しくインストールされているか確認してください。"},
      {1,
       "ご利用の連動コンポーネントは、インストールされているES_APRPACKAGENAMEでは使用できません。\n"
       "ES_APRPACKAGENAMEの最新版を入手してインストールしてからご利用ください。"},
      {2,
       "ご利用の連動コンポーネントは、インストールされているES_APRPACKAGENAMEでは使用できません。\n"
       "連動コンポーネントの最新版を入手してインストールしてからご利用ください。"},
  };
  for (const Entry& e : kMessages) {
    if (e.code == code) return e.text;
  }
  return nullptr;
}

std::string TargetDefinitionPath(std::string_view folder) {
  std::string path(folder);
  if (!path.empty() && !platform::sjis::EndsWithChar(path, '\\')) path += '\\';
  path += kTargetDefinitionFile;
  return path;
}

}  // namespace app
