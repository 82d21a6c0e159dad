// The three constants that tell the deliverables apart.
//
// taxbridge_plus, taxbridge_std and taxbridge_lotus are one program built three
// times; each carries exactly one EditionProfile, fixed at build time by the
// source app/edition/EditionProfile.cpp compiled with that deliverable's
// TAXBRIDGE_EDITION_* definition. Nothing chooses or detects the edition at
// run time. App code reads the profile and hands the values down to the
// folders that need them.
#pragma once

#include <cstdint>

struct EditionProfile {
  const char* programName;       // Shift_JIS, e.g. "Kestrel２０ Plus"
  const char* settingsFileName;  // e.g. "taxbridge_plus.env"
  int32_t appType;               // ClSysEnvMgr::_AppType handed to the host
};

// The profile of the deliverable this code is linked into.
const EditionProfile& CurrentEdition();
