// The ledger's files on the machine: an import file is opened only when it is
// a plain file and reads back whole after a rewind; a settings file is
// replaced in one step; folders are made and listed; the default
// installation folder follows the platform's per-user variables.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "ledger/Installation.h"
#include "ledger/LocalFiles.h"
#include "ledger/testing/Fixture.h"
#include "ledger/testing/Machine.h"

namespace {

namespace fs = std::filesystem;
using ledger::local::InputFile;

std::string ReadWhole(InputFile& file, size_t step) {
  std::string text, why;
  std::vector<char> buffer(step);
  for (;;) {
    const int64_t n = file.Read(buffer.data(), buffer.size(), &why);
    EXPECT_GE(n, 0) << why;
    if (n <= 0) return text;
    text.append(buffer.data(), static_cast<size_t>(n));
  }
}

TEST(LocalFiles, InputFilesArePlainFilesReadWholeAgainAfterARewind) {
  ledger::testing::Fixture f;
  const std::string file = f.folder() + "/data.csv";
  const std::string bytes = "a,b\r\nc,\x83\x5C\r\n";  // CRLF stays as it is: no text mode
  std::ofstream(file, std::ios::binary) << bytes;
  std::unique_ptr<InputFile> in;
  std::string why;
  ASSERT_EQ(InputFile::Open(file, &in, &why), InputFile::Opened::kOk) << why;
  EXPECT_EQ(ReadWhole(*in, 3), bytes);
  ASSERT_TRUE(in->Rewind(&why)) << why;
  EXPECT_EQ(ReadWhole(*in, 4096), bytes);

  std::unique_ptr<InputFile> none;
  EXPECT_EQ(InputFile::Open(f.folder() + "/missing.csv", &none, &why), InputFile::Opened::kMissing);
  EXPECT_EQ(InputFile::Open(f.folder() + "/no/such/folder.csv", &none, &why), InputFile::Opened::kMissing);
  fs::create_directory(f.folder() + "/folder.csv");
  EXPECT_EQ(InputFile::Open(f.folder() + "/folder.csv", &none, &why), InputFile::Opened::kNotPlain);
  EXPECT_EQ(none, nullptr);
}

TEST(LocalFiles, FoldersAreMadeListedAndFilesReplacedInOneStep) {
  ledger::testing::Fixture f;
  const std::string deep = f.folder() + "/a/b/c";
  std::string why;
  ASSERT_TRUE(ledger::local::MakeFolders(deep, &why)) << why;
  EXPECT_TRUE(ledger::local::IsFolder(deep));
  EXPECT_TRUE(ledger::local::MakeFolders(deep, &why)) << "an existing folder is no failure: " << why;
  std::ofstream(deep + "/old", std::ios::binary) << "old";
  std::ofstream(deep + "/new", std::ios::binary) << "new";
  ASSERT_TRUE(ledger::local::MoveOver(deep + "/new", deep + "/old", &why)) << why;
  EXPECT_FALSE(ledger::local::Exists(deep + "/new"));
  std::ifstream in(deep + "/old", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  EXPECT_EQ(text, "new");
  EXPECT_FALSE(ledger::local::MoveOver(deep + "/gone", deep + "/old", &why));
  EXPECT_FALSE(why.empty());

  std::vector<std::string> names;
  ASSERT_TRUE(ledger::local::ListFolder(f.folder() + "/a/b", &names, &why)) << why;
  EXPECT_EQ(names, std::vector<std::string>{"c"});
  ASSERT_TRUE(ledger::local::ListFolder(deep, &names, &why)) << why;
  EXPECT_EQ(names, std::vector<std::string>{"old"});
  EXPECT_FALSE(ledger::local::ListFolder(f.folder() + "/none", &names, &why));
  EXPECT_TRUE(ledger::local::RemoveFile(deep + "/old"));
  EXPECT_FALSE(ledger::local::RemoveFile(deep + "/old"));
  EXPECT_FALSE(ledger::local::Exists(deep + "/old"));
}

TEST(LocalFiles, TheDefaultInstallationIsPerUserAndLedgerHomeOverridesIt) {
  ledger::testing::Fixture f;  // restores LEDGER_HOME when it goes
  EXPECT_EQ(ledger::Installation::HomeFolder(), f.folder());
  ledger::testing::SetVariable("LEDGER_HOME", std::nullopt);
#if defined(_WIN32)
  // The per-user variables of Windows; the roaming folder comes first.
  const char* saved = std::getenv("APPDATA");
  const std::optional<std::string> appData = saved ? std::optional<std::string>(saved) : std::nullopt;
  ledger::testing::SetVariable("APPDATA", "C:\\Users\\u\\AppData\\Roaming");
  EXPECT_EQ(ledger::Installation::HomeFolder(), "C:\\Users\\u\\AppData\\Roaming\\taxbridge\\ledger");
  ledger::testing::SetVariable("APPDATA", "relative");
  EXPECT_NE(ledger::Installation::HomeFolder().find(":\\"), std::string::npos) << "never a relative folder";
  ledger::testing::SetVariable("APPDATA", appData);
#else
  const char* saved = std::getenv("XDG_DATA_HOME");
  const std::optional<std::string> data = saved ? std::optional<std::string>(saved) : std::nullopt;
  ledger::testing::SetVariable("XDG_DATA_HOME", "/srv/data");
  EXPECT_EQ(ledger::Installation::HomeFolder(), "/srv/data/taxbridge/ledger");
  ledger::testing::SetVariable("XDG_DATA_HOME", "relative");
  EXPECT_EQ(ledger::Installation::HomeFolder().front(), '/') << "never a relative folder";
  ledger::testing::SetVariable("XDG_DATA_HOME", data);
#endif
}

}  // namespace
