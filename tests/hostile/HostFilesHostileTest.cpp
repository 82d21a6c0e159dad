// The readers of what the accounting product and the installers hand the
// program: the host command line, the settings file, "SUPPORT.INF", profile
// (INI) files and the return product's "HalvernDef.ini". Each is fed inputs
// generated from its format (which must read back exactly) and mutations of
// them and pure noise (which must be read without a fault, whatever comes out).
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/HostCommandLine.h"
#include "app/TargetProduct.h"
#include "dialog/MonthRange.h"
#include "dialog/SettingsFile.h"
#include "platform/Profile.h"
#include "platform/ShiftJis.h"
#include "report/SupportInfoFile.h"
#include "tests/dialog/FakeFileSystem.h"
#include "tests/hostile/Hostile.h"
#include "tests/support/Decimal.h"
#include "tests/support/TempFolder.h"

namespace {

using hostile::Rng;
using test_support::Decimal;

// Shift_JIS text of single-byte letters, half-width kana and double-byte
// characters (whose trail bytes include "\", "/", "=", "[" and "]"), without
// line ends, NUL or 0x1A.
std::string Cp932Text(Rng& rng, size_t maxChars, std::string_view avoid = "") {
  static const std::string kTrails = "\x40\x5C\x2F\x3D\x5B\x5D\x7E\x80\x9F\xFC\x2C";
  std::string out;
  const size_t n = rng.Below(maxChars + 1);
  while (out.size() < n) {
    switch (rng.Below(4)) {
      case 0: out += static_cast<char>(0xA1 + rng.Below(0xDF - 0xA1 + 1)); break;
      case 1: {
        const unsigned char lead = rng.OneIn(2) ? static_cast<unsigned char>(0x81 + rng.Below(0x1F))
                                                : static_cast<unsigned char>(0xE0 + rng.Below(0x1D));
        out += static_cast<char>(lead);
        out += rng.OneIn(2) ? kTrails[rng.Below(kTrails.size())] : static_cast<char>(0x40 + rng.Below(0xBD));
        break;
      }
      default: {
        char c = static_cast<char>(0x20 + rng.Below(0x5F));
        if (avoid.find(c) != std::string_view::npos) c = 'x';
        out += c;
      }
    }
  }
  return out;
}

// atol's value of decimal text, saturating, worked out exactly on its digits.
long ReferenceDecimal(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const size_t first = i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  const Decimal v = Decimal::FromDigits(std::string_view(text).substr(first, i - first), negative);
  if (v > Decimal::Of(LONG_MAX)) return LONG_MAX;
  if (v < Decimal::Of(LONG_MIN)) return LONG_MIN;
  return static_cast<long>(*v.ToInt64());
}

TEST(HostileCommandLine, GeneratedLinesReadBackAndMutatedOnesAreTakenApartSafely) {
  Rng rng(0xC0DE);
  long cases = 0;
  for (int i = 0; i < hostile::kCases; ++i, ++cases) {
    const long window = static_cast<long>(rng.Next());
    const uint32_t message = static_cast<uint32_t>(rng.Next());
    const int16_t function = static_cast<int16_t>(rng.Next());
    const std::string path = Cp932Text(rng, 300) + (rng.OneIn(4) ? ",x,y" : "");
    const std::string line =
        std::to_string(window) + "," + std::to_string(message) + "," + std::to_string(function) + "," + path;
    app::HostCommandLine parsed;
    ASSERT_EQ(app::ParseHostCommandLine(line, parsed), 1) << line;
    EXPECT_EQ(parsed.window, window);
    // The message is read as a long: where long has 32 bits (Windows, the
    // home platform) a number above LONG_MAX saturates there, as atol does.
    EXPECT_EQ(parsed.message, static_cast<uint32_t>(ReferenceDecimal(std::to_string(message))));
    EXPECT_EQ(parsed.functionId, function);
    EXPECT_EQ(parsed.fixedOutputPath, path);  // never cut, commas and all

    const std::string bad = rng.OneIn(3) ? rng.Bytes(64) : hostile::Mutate(rng, line);
    app::HostCommandLine m;
    const int form = app::ParseHostCommandLine(bad, m);
    size_t commas = 0, third = std::string::npos;
    for (size_t k = 0; k < bad.size(); ++k) {
      if (bad[k] == ',' && ++commas == 3) {
        third = k;
        break;
      }
    }
    ASSERT_EQ(form, commas == 3 ? 1 : 0) << bad;
    if (form == 1) {
      EXPECT_EQ(m.fixedOutputPath, bad.substr(third + 1));
      EXPECT_EQ(m.window, ReferenceDecimal(bad.substr(0, bad.find(','))));
    }
    if (HasFailure()) return;
  }
  // Numbers at and beyond the range of long saturate the way atol does.
  for (int i = 0; i < hostile::kCases; ++i, ++cases) {
    std::string number = (rng.OneIn(2) ? "-" : "") + rng.From("0123456789", 25) + rng.From(" x9", 2);
    if (rng.OneIn(4)) number = std::string(rng.Below(3), ' ') + number;
    ASSERT_EQ(app::DecimalToLong(number), ReferenceDecimal(number)) << number;
  }
  hostile::ReportCases("command-line", cases);
}

TEST(HostileSettingsFile, EntriesReadBackAndOtherLinesStayAsTheyWere) {
  using dialog::SettingsEntry;
  using dialog::SettingsKey;
  Rng rng(0x5E77);
  long cases = 0;
  for (int i = 0; i < hostile::kCases; ++i, ++cases) {
    dialog::testing::FakeFileSystem fs;
    fs.dirs.insert("C:\\Prog");
    const std::string file = "C:\\Prog\\Env\\taxbridge_plus.env";
    // What an earlier program, an editor or a damaged disk left in the file.
    std::string old;
    switch (rng.Below(3)) {
      case 0: old = rng.Bytes(200); break;
      case 1:
        for (int l = 0; l < 4; ++l) {
          old += rng.From("0123", 3) + "/" + std::to_string(rng.Below(3)) + "/" + std::to_string(rng.Below(3)) + ":" +
                 std::to_string(rng.Below(2)) + "/4/9/" + Cp932Text(rng, 20, "\n") + "\n";
        }
        old = hostile::Mutate(rng, old);
        break;
      default: break;
    }
    if (!old.empty() || rng.OneIn(2)) {
      fs.dirs.insert("C:\\Prog\\Env");
      if (!old.empty()) fs.files[file] = old;
    }
    dialog::SettingsFile settings(fs, "C:\\Prog\\Env\\", "taxbridge_plus.env");

    // Reading whatever is there is safe; what comes back parses the same again.
    const SettingsKey probe{rng.From("0123", 3), static_cast<int32_t>(rng.Below(3)), static_cast<int32_t>(rng.Below(3))};
    if (auto found = settings.Read(probe)) {
      EXPECT_EQ(found->outputPath.find('\n'), std::string::npos);
    }

    const SettingsKey key{rng.From("0123456789AZ", 8) + "1", static_cast<int32_t>(rng.Next()),
                          static_cast<int32_t>(rng.Next())};
    const SettingsEntry entry{static_cast<int32_t>(rng.Next()), static_cast<int32_t>(rng.Between(-20, 20)),
                              static_cast<int32_t>(rng.Between(-20, 20)), Cp932Text(rng, 200, "\n")};
    ASSERT_TRUE(settings.Write(key, entry));
    const auto back = settings.Read(key);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->method, entry.method);
    EXPECT_EQ(back->startMonth, entry.startMonth);
    EXPECT_EQ(back->endMonth, entry.endMonth);
    EXPECT_EQ(back->outputPath, entry.outputPath);
    EXPECT_EQ(fs.files.size(), 1u) << "a temporary file was left";

    // Every line of other keys is kept byte for byte, in order.
    const std::string k = dialog::FormatSettingsKey(key);
    std::string kept;
    for (size_t pos = 0; pos < old.size();) {
      const size_t lf = old.find('\n', pos);
      const size_t next = lf == std::string::npos ? old.size() : lf + 1;
      if (old.compare(pos, k.size(), k) != 0 || next - pos < k.size()) kept += old.substr(pos, next - pos);
      pos = next;
    }
    if (!kept.empty() && kept.back() != '\n') kept += '\n';
    EXPECT_EQ(fs.files[file], kept + k + dialog::FormatSettingsValue(entry));

    // A value without its three "/" is no entry; one with them keeps its path whole.
    const std::string value = hostile::Mutate(rng, dialog::FormatSettingsValue(entry));
    const auto parsed = dialog::ParseSettingsValue(value);
    size_t slashes = 0;
    for (size_t p = 0; (p = platform::sjis::FindChar(value, '/', p)) != std::string::npos && slashes < 3; ++p) ++slashes;
    EXPECT_EQ(parsed.has_value(), slashes == 3) << value;
    if (parsed) {
      EXPECT_TRUE(value.ends_with(parsed->outputPath));
    }
    if (HasFailure()) return;
  }
  hostile::ReportCases("settings-file", cases);
}

// A support information file with the two tags somewhere among other lines.
std::string SupportFile(Rng& rng, std::string* name, std::string* version) {
  const std::string kNameTag = "[=製品名=]", kVersionTag = "[=製品ﾊﾞｰｼﾞｮﾝ=]";
  const std::string kMulti = "[=お問い合わせ内容=]";
  *name = Cp932Text(rng, 40, "[");
  *version = Cp932Text(rng, 12, "[");
  std::vector<std::string> lines = {kNameTag + *name, kVersionTag + *version};
  for (int i = 0; i < 4; ++i) {
    const std::string other = rng.OneIn(3) ? kMulti + Cp932Text(rng, 30, "[") : "[=その他" + std::to_string(i) + "=]";
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(rng.Below(lines.size() + 1)),
                 other + Cp932Text(rng, 30, "["));
  }
  std::string text;
  for (const auto& l : lines) text += l + "\r\n";
  if (rng.OneIn(2)) text += "\x1A";
  return text;
}

TEST(HostileSupportInfo, TagValuesReadBackAndDamagedFilesLoadSafely) {
  Rng rng(0x1AF);
  long cases = 0;
  // Each case loads two blocks of 30000 bytes: fewer cases, same reach.
  for (int i = 0; i < hostile::Heavy(hostile::kCases / 2); ++i, ++cases) {
    std::string name, version;
    const std::string text = SupportFile(rng, &name, &version);
    {
      report::SupportInfoFile file;
      ASSERT_EQ(file.LoadBytes(text), 1);
      // A value that ends in a lone lead byte loses nothing either: it ends at the line end.
      EXPECT_EQ(file.ProductName(), name) << text;
      EXPECT_EQ(file.ProductVersion(), version) << text;
    }
    std::string bad;
    switch (rng.Below(4)) {
      case 0: bad = rng.Bytes(300); break;
      case 1: {
        // Tags at the very end of a full block, cut anywhere.
        bad = std::string(report::SupportInfoFile::kBlockSize - rng.Below(40), 'x') + text.substr(0, 40);
        break;
      }
      default: bad = hostile::Mutate(rng, text, 10);
    }
    report::SupportInfoFile file;
    ASSERT_EQ(file.LoadBytes(bad), 1);
    const std::string got = file.ProductName();
    EXPECT_EQ(got.find('\0'), std::string::npos);
    EXPECT_LE(got.size(), std::min(bad.size(), report::SupportInfoFile::kBlockSize));
    EXPECT_EQ(file.Block().size(), report::SupportInfoFile::kBlockSize);
    file.ProductVersion();
    if (HasFailure()) return;
  }
  hostile::ReportCases("support-inf", cases);
}

// A profile with `section` and `key` set to `value` among other sections and
// keys, written in one of the ways editors write INI files.
std::string ProfileText(Rng& rng, const std::string& section, const std::string& key, const std::string& value,
                        bool* reachable) {
  auto blank = [&] { return std::string(rng.Below(3), rng.OneIn(2) ? ' ' : '\t'); };
  const char* eol = rng.OneIn(3) ? "\n" : rng.OneIn(2) ? "\r\n" : "\r";
  std::string text;
  text += "; " + Cp932Text(rng, 20, "\r\n") + eol;
  text += "[Other]" + std::string(eol) + key + "=wrong" + eol;
  std::string cased = section;
  for (char& c : cased) {
    if (c >= 'a' && c <= 'z' && rng.OneIn(2)) c = static_cast<char>(c - 'a' + 'A');
  }
  text += blank() + "[" + blank() + cased + blank() + "]" + eol;
  text += "Before" + std::to_string(rng.Below(9)) + "=1" + eol;
  const std::string quote = rng.OneIn(3) ? (rng.OneIn(2) ? "\"" : "'") : "";
  text += blank() + key + blank() + "=" + blank() + quote + value + quote + blank() + eol;
  text += "[Later]" + std::string(eol) + key + "=later" + eol;
  // A value that itself starts and ends with a matching quote loses them.
  *reachable = quote.empty() ? !(value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                                 value.back() == value.front())
                             : true;
  return text;
}

TEST(HostileProfile, ValuesReadBackWhateverTheLayoutAndNoiseIsReadSafely) {
  Rng rng(0x1A1);
  long cases = 0;
  for (int i = 0; i < hostile::kCases; ++i, ++cases) {
    const std::string section = rng.From("abcXYZ_ ", 8) + "s";
    const std::string key = "k" + rng.From("abcXYZ_", 8);
    std::string value = Cp932Text(rng, 40, "\r\n;");
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.erase(0, 1);
    bool reachable = true;
    const std::string text = ProfileText(rng, section, key, value, &reachable);
    const auto found = platform::FindProfileValue(text, section, key);
    ASSERT_TRUE(found.has_value()) << text;
    if (reachable) {
      EXPECT_EQ(*found, value) << text;
    }

    const std::string bad = rng.OneIn(4) ? rng.Bytes(200)
                            : rng.OneIn(3) ? "\xFF\xFE" + hostile::Mutate(rng, text)
                            : rng.OneIn(2) ? "\xEF\xBB\xBF" + hostile::Mutate(rng, text)
                                           : hostile::Mutate(rng, text);
    if (auto v = platform::FindProfileValue(bad, section, key)) {
      EXPECT_EQ(v->find_first_of("\r\n"), std::string::npos);
    }
    if (HasFailure()) return;
  }
  hostile::ReportCases("profile", cases);
}

// The return product's definition file, from disk: the code follows the
// level it states, and a damaged file gives one of the four codes.
TEST(HostileTargetDefinition, TheLevelDecidesTheCodeAndDamageGivesACode) {
  namespace fs = std::filesystem;
  const fs::path dir = test_support::NewTempFolder("tb-hostile-def");
  ASSERT_FALSE(dir.empty());
  const std::string windowsDir = test_support::WindowsPathOf(dir) + "\\";
  const std::string path = app::TargetDefinitionPath(windowsDir);
  ASSERT_TRUE(path.ends_with("\\HalvernDef.ini"));

  Rng rng(0xDEF);
  long cases = 0;
  for (int i = 0; i < hostile::kCases / 6; ++i, ++cases) {
    const long level = rng.OneIn(2) ? rng.Between(0, 4) : static_cast<long>(rng.Next());
    bool reachable = true;
    std::string text =
        ProfileText(rng, app::kTargetLevelSection, app::kTargetLevelKey, std::to_string(level), &reachable);
    const bool damaged = rng.OneIn(2);
    if (damaged) text = hostile::Mutate(rng, text);
    std::ofstream(dir / "HalvernDef.ini", std::ios::binary) << text;
    const auto value = platform::ReadProfileValue(app::kTargetLevelSection, app::kTargetLevelKey, path);
    const int code = app::TargetProductCode(value.value_or(app::kTargetLevelDefault));
    if (!damaged) {
      ASSERT_TRUE(value.has_value()) << text;
      EXPECT_EQ(code, level == 2 ? 0 : level < 2 ? 1 : 2) << text;
    }
    ASSERT_TRUE(code >= -1 && code <= 2);
    EXPECT_EQ(app::TargetProductMessage(code) == nullptr, code == 0);
    const std::string cut = platform::ReadProfileString(app::kTargetLevelSection, app::kTargetLevelKey,
                                                        app::kTargetLevelDefault, 1 + rng.Below(8), path);
    EXPECT_EQ(platform::sjis::CutToWholeChars(cut, cut.size()).size(), cut.size());
    if (HasFailure()) break;
  }
  fs::remove_all(dir);
  // A folder that ends in a double-byte character whose trail byte is "\" still gets its own "\".
  EXPECT_EQ(app::TargetDefinitionPath("C:\\\x8B\x40\x94\x5C"), "C:\\\x8B\x40\x94\x5C\\HalvernDef.ini");
  hostile::ReportCases("halverndef-ini", cases);
}

}  // namespace
