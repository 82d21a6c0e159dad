// The accounting product's own message box: every message the host shows
// (its errors, its refusals, DispMsg on behalf of a component) goes through
// ShowHostMessage.
//
// The default box is the windowing layer's message box (platform/ui), owned
// by the calling program's window when `owner` names one. Tools and tests may
// install their own box.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "host/HostTypes.h"

namespace ledger {

// text and caption are Shift_JIS; answers a host::kId* value.
using HostMessageBox =
    std::function<int32_t(host::HostWnd owner, const std::string& text, const std::string& caption, uint32_t style)>;

int32_t ShowHostMessage(host::HostWnd owner, const std::string& text, const std::string& caption, uint32_t style);

// Installs `box` (an empty function restores the default) and answers the one
// it replaces.
HostMessageBox SetHostMessageBox(HostMessageBox box);

// The caption of the host's own messages (Shift_JIS).
const std::string& HostCaption();

}  // namespace ledger
