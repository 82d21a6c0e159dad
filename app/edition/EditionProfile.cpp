// The edition constants and version resource of one deliverable. This file is
// compiled into each program with exactly one TAXBRIDGE_EDITION_* definition.
#include "app/EditionProfile.h"
#include "platform/VersionResource.h"

#if defined(TAXBRIDGE_EDITION_PLUS)
#define TB_PROGRAM_NAME "Kestrel２０ Plus"
#define TB_PROGRAM_NAME_UTF8 u8"Kestrel２０ Plus"
#define TB_DELIVERABLE "taxbridge_plus"
#define TB_APP_TYPE 3
#elif defined(TAXBRIDGE_EDITION_STD)
#define TB_PROGRAM_NAME "Kestrel２０"
#define TB_PROGRAM_NAME_UTF8 u8"Kestrel２０"
#define TB_DELIVERABLE "taxbridge_std"
#define TB_APP_TYPE 0
#elif defined(TAXBRIDGE_EDITION_LOTUS)
#define TB_PROGRAM_NAME "Kestrel２０ Lotus"
#define TB_PROGRAM_NAME_UTF8 u8"Kestrel２０ Lotus"
#define TB_DELIVERABLE "taxbridge_lotus"
#define TB_APP_TYPE 4
#else
#error "build each deliverable with one TAXBRIDGE_EDITION_* definition"
#endif

const EditionProfile& CurrentEdition() {
  static const EditionProfile profile{TB_PROGRAM_NAME, TB_DELIVERABLE ".env", TB_APP_TYPE};
  return profile;
}

namespace {
// The display name is shown on the Linux terminal only, so it is kept in UTF-8.
constexpr char8_t kDisplayName[] = u8"消費税申告書連動 for " TB_PROGRAM_NAME_UTF8;
}  // namespace

const platform::VersionResource& platform::ProgramVersionResource() {
  static const VersionResource version{
      "20.0.1.0", "20.0.1.0", "20.01.00", TB_DELIVERABLE, TB_DELIVERABLE ".exe",
      reinterpret_cast<const char*>(kDisplayName), reinterpret_cast<const char*>(kDisplayName)};
  return version;
}
