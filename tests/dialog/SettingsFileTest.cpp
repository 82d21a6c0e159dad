// The settings file: its line format, key matching and safe replacement.
#include <gtest/gtest.h>

#include <string>

#include "dialog/SettingsFile.h"
#include "tests/dialog/FakeFileSystem.h"

namespace {

using dialog::SettingsEntry;
using dialog::SettingsFile;
using dialog::SettingsKey;
using dialog::testing::FakeFileSystem;

const char* kFile = "C:\\Prog\\Env\\taxbridge_plus.env";

class SettingsFileTest : public ::testing::Test {
 protected:
  SettingsFileTest() { fs.dirs.insert("C:\\Prog"); }
  SettingsFile File() { return SettingsFile(fs, "C:\\Prog\\Env\\", "taxbridge_plus.env"); }
  FakeFileSystem fs;
};

TEST(SettingsFormat, KeyAndValueLines) {
  EXPECT_EQ(dialog::FormatSettingsKey({"001", 3, 12}) + dialog::FormatSettingsValue({0, 4, 9, "C:\\out\\tax.xml"}),
            "001/3/12:0/4/9/C:\\out\\tax.xml\n");
  const auto e = dialog::ParseSettingsValue("1/10/3/\\\\srv\\s/x\\a.xml");
  ASSERT_TRUE(e);
  EXPECT_EQ(e->method, 1);
  EXPECT_EQ(e->startMonth, 10);
  EXPECT_EQ(e->endMonth, 3);
  EXPECT_EQ(e->outputPath, "\\\\srv\\s/x\\a.xml");
  EXPECT_FALSE(dialog::ParseSettingsValue("0/4/9"));
  EXPECT_EQ(dialog::ParseSettingsValue("0/4/9/")->outputPath, "");
}

TEST_F(SettingsFileTest, WriteCreatesFolderAndFileThenReadsBack) {
  EXPECT_FALSE(File().Read({"001", 3, 12}));
  ASSERT_TRUE(File().Write({"001", 3, 12}, {0, 4, 9, "C:\\out/sub\\tax.xml"}));
  EXPECT_TRUE(fs.PathIsFolder("C:\\Prog\\Env"));
  EXPECT_EQ(fs.files[kFile], "001/3/12:0/4/9/C:\\out/sub\\tax.xml\n");
  const auto e = File().Read({"001", 3, 12});
  ASSERT_TRUE(e);
  EXPECT_EQ(e->outputPath, "C:\\out/sub\\tax.xml");
  EXPECT_EQ(e->startMonth, 4);
  EXPECT_EQ(e->endMonth, 9);
  EXPECT_EQ(fs.files.size(), 1u);  // no temporary file left
}

TEST_F(SettingsFileTest, SecondWriteOfAKeyLeavesOneLineAtTheEnd) {
  ASSERT_TRUE(File().Write({"001", 3, 12}, {0, 4, 9, "C:\\a.xml"}));
  ASSERT_TRUE(File().Write({"002", 3, 12}, {1, 4, 3, "C:\\b.xml"}));
  ASSERT_TRUE(File().Write({"001", 3, 12}, {0, 5, 6, "C:\\c.xml"}));
  EXPECT_EQ(fs.files[kFile], "002/3/12:1/4/3/C:\\b.xml\n001/3/12:0/5/6/C:\\c.xml\n");
}

TEST_F(SettingsFileTest, AKeyInsideAnotherUsersLineIsNotThatUsersEntry) {
  fs.dirs.insert("C:\\Prog\\Env");
  fs.files[kFile] = "1001/3/12:0/4/9/C:\\theirs.xml\n";
  EXPECT_FALSE(File().Read({"001", 3, 12}));
  ASSERT_TRUE(File().Write({"001", 3, 12}, {0, 5, 6, "C:\\mine.xml"}));
  EXPECT_EQ(fs.files[kFile], "1001/3/12:0/4/9/C:\\theirs.xml\n001/3/12:0/5/6/C:\\mine.xml\n");
  EXPECT_EQ(File().Read({"001", 3, 12})->outputPath, "C:\\mine.xml");
  EXPECT_EQ(File().Read({"1001", 3, 12})->outputPath, "C:\\theirs.xml");
}

TEST_F(SettingsFileTest, OldDuplicatesAndAMissingLastLineEndAreMended) {
  fs.dirs.insert("C:\\Prog\\Env");
  fs.files[kFile] = "001/3/12:0/1/1/C:\\old1.xml\n002/1/1:0/4/3/C:\\x.xml\n001/3/12:0/2/2/C:\\old2.xml\n003/1/1:0/4/3/C:\\y.xml";
  EXPECT_EQ(File().Read({"003", 1, 1})->outputPath, "C:\\y.xml");
  ASSERT_TRUE(File().Write({"001", 3, 12}, {0, 4, 9, "C:\\new.xml"}));
  EXPECT_EQ(fs.files[kFile], "002/1/1:0/4/3/C:\\x.xml\n003/1/1:0/4/3/C:\\y.xml\n001/3/12:0/4/9/C:\\new.xml\n");
}

TEST_F(SettingsFileTest, FailedWriteKeepsTheOldFileAndLeavesNoTemporaryFile) {
  fs.dirs.insert("C:\\Prog\\Env");
  const std::string old = "001/3/12:0/4/9/C:\\a.xml\n";
  fs.files[kFile] = old;

  fs.failWrite.insert(std::string(kFile) + ".new");
  EXPECT_FALSE(File().Write({"001", 3, 12}, {0, 5, 6, "C:\\b.xml"}));
  EXPECT_EQ(fs.files[kFile], old);
  EXPECT_EQ(fs.files.size(), 1u);

  fs.failWrite.clear();
  fs.failReplace = true;
  EXPECT_FALSE(File().Write({"001", 3, 12}, {0, 5, 6, "C:\\b.xml"}));
  EXPECT_EQ(fs.files[kFile], old);
  EXPECT_EQ(fs.files.size(), 1u);

  fs.failReplace = false;
  fs.failRead.insert(kFile);  // what cannot be read is never replaced
  EXPECT_FALSE(File().Write({"001", 3, 12}, {0, 5, 6, "C:\\b.xml"}));
  EXPECT_EQ(fs.files[kFile], old);
  EXPECT_FALSE(File().Read({"001", 3, 12}));
}

TEST_F(SettingsFileTest, FolderThatCannotBeMadeIsNoSuccessAndLeavesNothing) {
  fs.dirs.erase("C:\\Prog");
  fs.failCreate.insert("C:\\Prog\\Env");
  EXPECT_FALSE(File().Write({"001", 3, 12}, {0, 4, 9, "C:\\a.xml"}));
  EXPECT_FALSE(fs.PathIsFolder("C:\\Prog"));
  EXPECT_TRUE(fs.files.empty());
}

TEST_F(SettingsFileTest, LongValuesAndJapaneseTextStayWhole) {
  const std::string user(80, 'u');
  const std::string longPath = "C:\\" + std::string(600, 'p') + "\\機能.xml";
  ASSERT_TRUE(File().Write({user, 2147483647, -1}, {1, 12, 11, longPath}));
  const auto e = File().Read({user, 2147483647, -1});
  ASSERT_TRUE(e);
  EXPECT_EQ(e->outputPath, longPath);
  EXPECT_EQ(e->method, 1);
}

}  // namespace
