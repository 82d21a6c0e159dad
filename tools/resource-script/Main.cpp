// Writes a Windows program's resource script (.rc): dialog templates 130 and
// 131 and the string table from resources/Resources.cpp, the version
// resource of the deliverable from app/edition/EditionProfile.cpp, and the
// icon group 133 from the edition's icon file. The script backend, the
// terminal backend and the real windows are thereby built from one
// description.
//
//   resource-script ICON_FILE OUTPUT.rc
//
// This is a build tool: it runs on the build machine (also when the programs
// are cross-built) and is compiled with that machine's compiler, with the
// programs' -fexec-charset=CP932 and one TAXBRIDGE_EDITION_* definition. The
// templates' Shift_JIS texts are converted to UTF-8 (iconv) and the script
// says "#pragma code_page(65001)": a Shift_JIS script would make windres
// warn at every 0x5C trail byte. Every number is written as a number, so the
// script needs no header.
#include <iconv.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "platform/VersionResource.h"
#include "platform/ui/DialogTemplate.h"
#include "resources/Resources.h"

namespace {

using platform::ui::ControlKind;

[[noreturn]] void Fail(const std::string& why) {
  std::fprintf(stderr, "resource-script: %s\n", why.c_str());
  std::exit(1);
}

std::string Utf8FromCp932(std::string_view text) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) Fail("this machine's iconv has no CP932");
  std::string in(text), out(in.size() * 3 + 4, '\0');
  char* src = in.data();
  char* dst = out.data();
  size_t left = in.size(), room = out.size();
  const size_t rc = iconv(cd, &src, &left, &dst, &room);
  iconv_close(cd);
  if (rc == static_cast<size_t>(-1)) Fail("a resource text is not Shift_JIS: " + in);
  out.resize(out.size() - room);
  return out;
}

// A string literal of the script: quotes doubled, backslashes escaped.
std::string Quoted(std::string_view utf8) {
  std::string q = "\"";
  for (char c : utf8) {
    if (c == '"') q += "\"\"";
    else if (c == '\\') q += "\\\\";
    else if (c == '\n') q += "\\n";
    else q += c;
  }
  return q + "\"";
}

std::string Hex(uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", v);
  return buf;
}

const char* ClassName(ControlKind kind) {
  switch (kind) {
    case ControlKind::Static:
    case ControlKind::Bitmap:
      return "Static";
    case ControlKind::Edit:
      return "Edit";
    case ControlKind::PushButton:
    case ControlKind::RadioButton:
    case ControlKind::CheckBox:
    case ControlKind::GroupBox:
      return "Button";
    case ControlKind::ProgressBar:
      return "msctls_progress32";
  }
  Fail("a control of an unknown kind");
}

constexpr uint32_t kWsChild = 0x40000000u;
constexpr int kShiftJisCharset = 128;

void WriteDialog(std::ostream& rc, const platform::ui::DialogTemplate& d) {
  rc << d.id << " DIALOGEX 0, 0, " << d.cx << ", " << d.cy << "\n"
     << "STYLE " << Hex(d.style) << "\n"
     << "CAPTION " << Quoted(Utf8FromCp932(d.caption)) << "\n"
     << "FONT " << d.pointSize << ", " << Quoted(Utf8FromCp932(d.fontName)) << ", 400, 0, " << kShiftJisCharset
     << "\nBEGIN\n";
  for (const platform::ui::ControlTemplate& c : d.controls) {
    // A control's window is a visible child of the dialog; the template
    // gives the rest of its style, type bits included.
    rc << "  CONTROL " << Quoted(Utf8FromCp932(c.text)) << ", " << c.id << ", " << Quoted(ClassName(c.kind)) << ", "
       << Hex(kWsChild | platform::ui::kWsVisible | c.style) << ", " << c.x << ", " << c.y << ", " << c.cx << ", "
       << c.cy << "\n";
  }
  rc << "END\n\n";
}

// "20.0.1.0" -> "20, 0, 1, 0"; anything else stops the build.
std::string VersionNumbers(const char* dotted) {
  std::string out;
  int parts = 0;
  for (const char* p = dotted; *p; ++p) {
    if (*p == '.') out += ", ";
    else if (*p >= '0' && *p <= '9') out += *p;
    else Fail(std::string("the version is not four numbers: ") + dotted);
    if (*p == '.' || p == dotted) ++parts;
  }
  if (parts != 4) Fail(std::string("the version is not four numbers: ") + dotted);
  return out;
}

void WriteVersion(std::ostream& rc) {
  const platform::VersionResource& v = platform::ProgramVersionResource();
  // Language Japanese (0x0411), texts in Unicode (code page 1200).
  rc << "1 VERSIONINFO\n"
     << "FILEVERSION " << VersionNumbers(v.fileVersion) << "\n"
     << "PRODUCTVERSION " << VersionNumbers(v.productVersion) << "\n"
     << "FILEFLAGSMASK 0x3F\nFILEFLAGS 0x0\nFILEOS 0x40004\nFILETYPE 0x1\nFILESUBTYPE 0x0\n"
     << "BEGIN\n  BLOCK \"StringFileInfo\"\n  BEGIN\n    BLOCK \"041104b0\"\n    BEGIN\n"
     << "      VALUE \"FileDescription\", " << Quoted(v.fileDescription) << "\n"
     << "      VALUE \"FileVersion\", " << Quoted(v.versionString) << "\n"
     << "      VALUE \"InternalName\", " << Quoted(v.internalName) << "\n"
     << "      VALUE \"OriginalFilename\", " << Quoted(v.originalFilename) << "\n"
     << "      VALUE \"ProductName\", " << Quoted(v.productName) << "\n"
     << "      VALUE \"ProductVersion\", " << Quoted(v.versionString) << "\n"
     << "    END\n  END\n  BLOCK \"VarFileInfo\"\n  BEGIN\n    VALUE \"Translation\", 0x0411, 1200\n  END\nEND\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) Fail("usage: resource-script ICON_FILE OUTPUT.rc");
  std::ostringstream rc;
  rc << "// Written by tools/resource-script from the program's resources; do not edit.\n"
     << "#pragma code_page(65001)\n"
     << "LANGUAGE 0x11, 0x01\n\n";
  for (const platform::ui::DialogTemplate& d : resources::DialogTemplates()) WriteDialog(rc, d);
  rc << "STRINGTABLE\nBEGIN\n";
  for (const resources::ResourceString& s : resources::StringTable()) {
    rc << "  " << s.id << ", " << Quoted(Utf8FromCp932(s.text)) << "\n";
  }
  rc << "END\n\n";
  rc << resources::kProgramIcon << " ICON " << Quoted(argv[1]) << "\n\n";
  WriteVersion(rc);

  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out << rc.str();
  out.close();
  if (!out) Fail(std::string("cannot write ") + argv[2]);
  return 0;
}
