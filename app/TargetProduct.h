// Whether the consumption-tax return product installed beside the program
// accepts this linkage component.
//
// The return product states its interface level for the business code
// "SY26" in its definition file "HalvernDef.ini" (section "ProgramLevel", key
// "SY26", default "1"). This component requires exactly level 2. The outcome
// is a code: -1 no usable definition (file missing or the value empty), 1 the
// return product is older, 2 it is newer, 0 it accepts. Each refusal has its
// own message; "ES_APRPACKAGENAME" is left in the texts for the host's message
// display to replace with the return product's name.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace app {

inline constexpr char kTargetDefinitionFile[] = "HalvernDef.ini";
inline constexpr char kTargetLevelSection[] = "ProgramLevel";
inline constexpr char kTargetLevelKey[] = "SY26";
inline constexpr char kTargetLevelDefault[] = "1";
inline constexpr int kRequiredTargetLevel = 2;
// The level is read into a field of this many bytes: at most 15 characters of
// the entry count, as the profile reader cuts a longer value to its buffer.
inline constexpr size_t kTargetLevelFieldBytes = 16;

// The outcome for a definition file that does not exist (`value` empty
// optional) or whose entry reads `value` (the default when the entry is
// absent). Only the first kTargetLevelFieldBytes - 1 bytes of the value are
// converted.
int TargetProductCode(const std::optional<std::string>& value);

// The refusal message of `code`, or nullptr when the code lets the run go on.
const char* TargetProductMessage(int code);

// The folder followed by the definition file's name, with a "\" between them
// unless the folder is empty or already ends in one (a 0x5C that is the second
// byte of a double-byte character does not count).
std::string TargetDefinitionPath(std::string_view folder);

}  // namespace app
