// The SYSTEM section of the output document: which program produced it.
//
// Six elements at depth 2 inside SYSTEM at depth 1: GYOUMUPREFIX "SY26",
// VERSION "1", FUNCTIONID (the calling program's function ID, "1" when the
// program was started alone), CONNECTEDPROGRAMVER (string resource 1),
// PROGRAMNAME and PROGRAMVER (from "SUPPORT.INF" beside the program; when a
// value is missing or empty, the edition's program name and "20.00.0X").
//
// The first write that fails ends the section at once with 0, leaving it
// unfinished in the file; the caller then asks whether to go on.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "report/XmlWriter.h"

namespace report {

struct SystemSectionFacts {
  int16_t functionId = 1;
  std::string programName;          // the edition's program name, the PROGRAMNAME fallback
  std::string supportInfoFolder;    // prefix of "SUPPORT.INF"; empty: the current directory
};

inline constexpr char kDefaultProgramVersion[] = "20.00.0X";

// 1 written, 0 failed.
int WriteSystemSection(XmlWriter& writer, const SystemSectionFacts& facts);

}  // namespace report
