// The resources compiled into the Windows programs, read back from the
// program files themselves, against the description the other backends use:
// every dialog template control by control, the string table, the version
// resource of each deliverable and its icon group.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/ui/DialogTemplate.h"
#include "resources/Resources.h"
#include "tests/support/Windows.h"

namespace {

namespace ui = platform::ui;

std::string Cp932(const wchar_t* text, int length = -1) {
  const int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text, length, out.data(), n, nullptr, nullptr);
  if (length < 0 && !out.empty()) out.pop_back();  // the terminating NUL
  return out;
}

std::wstring Wide(const char* utf8) {
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
  std::wstring out(n, L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, out.data(), n);
  out.pop_back();
  return out;
}

// A program file loaded for its resources only.
class ProgramFile {
 public:
  explicit ProgramFile(const std::string& name)
      : path_(std::string(TAXBRIDGE_BINARY_DIR) + "/bin/" + name + ".exe"),
        module_(LoadLibraryExA(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
  ~ProgramFile() {
    if (module_) FreeLibrary(module_);
  }
  HMODULE module() const { return module_; }
  const std::string& path() const { return path_; }

  // The bytes of resource (type, id), or empty.
  std::vector<uint8_t> Resource(LPCSTR type, int id) const {
    HRSRC found = FindResourceA(module_, MAKEINTRESOURCEA(id), type);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module_, found);
    const auto* bytes = static_cast<const uint8_t*>(LockResource(loaded));
    return std::vector<uint8_t>(bytes, bytes + SizeofResource(module_, found));
  }

 private:
  std::string path_;
  HMODULE module_;
};

// A reader of DLGTEMPLATEEX, the form a DIALOGEX statement compiles to.
class TemplateReader {
 public:
  explicit TemplateReader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  uint16_t Word() { return Take<uint16_t>(); }
  uint32_t Dword() { return Take<uint32_t>(); }
  int16_t Short() { return Take<int16_t>(); }
  // A text, or an ordinal written as "#n".
  std::string TextOrOrdinal() {
    const uint16_t first = Word();
    if (first == 0xFFFF) return "#" + std::to_string(Word());
    pos_ -= 2;
    return Text();
  }
  std::string Text() {
    std::wstring w;
    for (uint16_t c; (c = Word()) != 0;) w += static_cast<wchar_t>(c);
    return Cp932(w.c_str());
  }
  uint8_t Byte() { return Take<uint8_t>(); }
  void AlignDword() { pos_ = (pos_ + 3) & ~size_t{3}; }
  bool ok() const { return ok_; }

 private:
  template <typename T>
  T Take() {
    T v{};
    if (pos_ + sizeof(T) > bytes_.size()) {
      ok_ = false;
      return v;
    }
    std::memcpy(&v, bytes_.data() + pos_, sizeof(T));
    pos_ += sizeof(T);
    return v;
  }
  const std::vector<uint8_t>& bytes_;
  size_t pos_ = 0;
  bool ok_ = true;
};

// The window class a control of `kind` is made of, as the compiled template
// names it (by the dialog manager's ordinal or by name).
std::vector<std::string> ClassesOf(ui::ControlKind kind) {
  switch (kind) {
    case ui::ControlKind::Static:
    case ui::ControlKind::Bitmap:
      return {"#130", "STATIC"};
    case ui::ControlKind::Edit:
      return {"#129", "EDIT"};
    case ui::ControlKind::ProgressBar:
      return {"MSCTLS_PROGRESS32"};
    default:
      return {"#128", "BUTTON"};
  }
}

void ExpectDialogAsDescribed(const ProgramFile& program, const ui::DialogTemplate& want) {
  SCOPED_TRACE(program.path() + ", dialog " + std::to_string(want.id));
  const std::vector<uint8_t> bytes = program.Resource(RT_DIALOG, want.id);
  ASSERT_FALSE(bytes.empty()) << "the program has no dialog " << want.id;
  TemplateReader r(bytes);
  ASSERT_EQ(r.Word(), 1);       // dlgVer
  ASSERT_EQ(r.Word(), 0xFFFF);  // signature of the extended form
  r.Dword();                    // help ID
  EXPECT_EQ(r.Dword(), 0u);     // extended style
  EXPECT_EQ(r.Dword(), want.style);
  const uint16_t count = r.Word();
  EXPECT_EQ(r.Short(), 0);
  EXPECT_EQ(r.Short(), 0);
  EXPECT_EQ(r.Short(), want.cx);
  EXPECT_EQ(r.Short(), want.cy);
  EXPECT_EQ(r.TextOrOrdinal(), "");  // no menu
  EXPECT_EQ(r.TextOrOrdinal(), "");  // the dialog manager's own class
  EXPECT_EQ(r.Text(), want.caption);
  EXPECT_EQ(r.Word(), want.pointSize);
  r.Word();                       // weight
  r.Byte();                       // italic
  EXPECT_EQ(r.Byte(), 128);       // SHIFTJIS_CHARSET
  EXPECT_EQ(r.Text(), want.fontName);
  ASSERT_EQ(count, want.controls.size());
  for (const ui::ControlTemplate& c : want.controls) {
    SCOPED_TRACE("control " + std::to_string(c.id) + " \"" + c.text + "\"");
    r.AlignDword();
    r.Dword();  // help ID
    EXPECT_EQ(r.Dword(), 0u);
    EXPECT_EQ(r.Dword(), WS_CHILD | WS_VISIBLE | c.style);
    EXPECT_EQ(r.Short(), c.x);
    EXPECT_EQ(r.Short(), c.y);
    EXPECT_EQ(r.Short(), c.cx);
    EXPECT_EQ(r.Short(), c.cy);
    EXPECT_EQ(static_cast<int>(r.Dword()), c.id);
    // Class names are compared as the window manager compares them, without case.
    std::string cls = r.TextOrOrdinal();
    for (char& ch : cls) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    const std::vector<std::string> classes = ClassesOf(c.kind);
    EXPECT_NE(std::find(classes.begin(), classes.end(), cls), classes.end()) << "class " << cls;
    EXPECT_EQ(r.TextOrOrdinal(), c.text);
    const uint16_t extra = r.Word();
    for (uint16_t i = 0; i < extra; ++i) r.Byte();
  }
  EXPECT_TRUE(r.ok()) << "the template ends before its last control";
}

struct Deliverable {
  const char* name;
  const char8_t* programName;  // UTF-8: the suite's plain literals are Shift_JIS
};
constexpr Deliverable kDeliverables[] = {
    {"taxbridge_plus", u8"Kestrel２０ Plus"},
    {"taxbridge_std", u8"Kestrel２０"},
    {"taxbridge_lotus", u8"Kestrel２０ Lotus"},
};

TEST(ResourceScript, EveryProgramCarriesTheDialogsAndStringsTheOtherBackendsShow) {
  for (const Deliverable& d : kDeliverables) {
    ProgramFile program(d.name);
    ASSERT_NE(program.module(), nullptr) << "cannot load " << program.path();
    ASSERT_EQ(resources::DialogTemplates().size(), 2u);
    for (const ui::DialogTemplate& t : resources::DialogTemplates()) ExpectDialogAsDescribed(program, t);
    for (const resources::ResourceString& s : resources::StringTable()) {
      char buf[256] = {};
      ASSERT_GT(LoadStringA(program.module(), s.id, buf, sizeof buf), 0) << d.name << " string " << s.id;
      EXPECT_EQ(std::string(buf), s.text) << d.name << " string " << s.id;
    }
  }
  EXPECT_STREQ(resources::LoadResourceString(resources::kVersionString), "20.00.00");
}

std::wstring VersionText(const std::vector<uint8_t>& info, const char* key) {
  const std::wstring path = L"\\StringFileInfo\\041104b0\\" + Wide(key);
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(info.data(), path.c_str(), &value, &length) || value == nullptr) return L"(none)";
  return std::wstring(static_cast<const wchar_t*>(value));
}

TEST(ResourceScript, EachProgramNamesItselfInAJapaneseVersionResource) {
  for (const Deliverable& d : kDeliverables) {
    SCOPED_TRACE(d.name);
    const std::string path = std::string(TAXBRIDGE_BINARY_DIR) + "/bin/" + d.name + ".exe";
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<uint8_t> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, (20u << 16) | 0u);
    EXPECT_EQ(fixed->dwFileVersionLS, (1u << 16) | 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, (20u << 16) | 0u);
    EXPECT_EQ(fixed->dwProductVersionLS, (1u << 16) | 0u);

    struct Translation {
      WORD language, codePage;
    }* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &length));
    ASSERT_GE(length, sizeof(Translation));
    EXPECT_EQ(translation->language, 0x0411);  // Japanese

    EXPECT_EQ(VersionText(info, "FileVersion"), L"20.01.00");
    EXPECT_EQ(VersionText(info, "ProductVersion"), L"20.01.00");
    EXPECT_EQ(VersionText(info, "InternalName"), Wide(d.name));
    EXPECT_EQ(VersionText(info, "OriginalFilename"), Wide(d.name) + L".exe");
    const std::wstring programName = Wide(reinterpret_cast<const char*>(d.programName));
    for (const char* key : {"FileDescription", "ProductName"}) {
      const std::wstring text = VersionText(info, key);
      EXPECT_TRUE(text.size() > programName.size() &&
                  text.compare(text.size() - programName.size(), programName.size(), programName) == 0)
          << key << " does not end with the edition's program name";
    }
  }
}

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

TEST(ResourceScript, EachProgramHasSevenIconImagesOfItsOwnInTheirOrder) {
  struct Image {
    int size, bits;
  };
  constexpr Image kOrder[] = {{48, 8}, {32, 8}, {16, 8}, {256, 32}, {48, 32}, {32, 32}, {16, 32}};
  std::vector<std::vector<uint8_t>> largest;
  for (const Deliverable& d : kDeliverables) {
    SCOPED_TRACE(d.name);
    ProgramFile program(d.name);
    ASSERT_NE(program.module(), nullptr);
    const std::vector<uint8_t> group = program.Resource(RT_GROUP_ICON, resources::kProgramIcon);
    ASSERT_GE(group.size(), 6u) << "no icon group " << resources::kProgramIcon;
    WORD header[3];
    std::memcpy(header, group.data(), sizeof header);
    EXPECT_EQ(header[1], 1);  // icons, not cursors
    ASSERT_EQ(header[2], std::size(kOrder));
    ASSERT_EQ(group.size(), 6 + std::size(kOrder) * sizeof(GroupIconEntry));
    for (size_t i = 0; i < std::size(kOrder); ++i) {
      GroupIconEntry e;
      std::memcpy(&e, group.data() + 6 + i * sizeof e, sizeof e);
      EXPECT_EQ(e.width == 0 ? 256 : e.width, kOrder[i].size) << "image " << i;
      EXPECT_EQ(e.height == 0 ? 256 : e.height, kOrder[i].size) << "image " << i;
      EXPECT_EQ(e.bitCount, kOrder[i].bits) << "image " << i;
      const std::vector<uint8_t> image = program.Resource(RT_ICON, e.id);
      EXPECT_EQ(image.size(), e.bytes) << "image " << i;
      if (i == 3) largest.push_back(image);
    }
  }
  // Each deliverable has its own pictures.
  ASSERT_EQ(largest.size(), 3u);
  EXPECT_NE(largest[0], largest[1]);
  EXPECT_NE(largest[1], largest[2]);
  EXPECT_NE(largest[0], largest[2]);
}

}  // namespace
