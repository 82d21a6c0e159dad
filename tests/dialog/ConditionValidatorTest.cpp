// The order of the condition checks, their messages and the field each refusal focuses.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "dialog/ConditionValidator.h"
#include "tests/dialog/FakeFileSystem.h"

namespace {

using platform::DriveType;
using dialog::FocusField;
using dialog::testing::FakeFileSystem;

struct RecordingPrompts : dialog::ValidationPrompts {
  void Refuse(std::string_view text) override { shown.push_back("!" + std::string(text)); }
  bool Ask(std::string_view text) override {
    shown.push_back("?" + std::string(text));
    if (answers.empty()) throw std::runtime_error("unexpected question");
    const bool a = answers.front();
    answers.pop_front();
    return a;
  }
  std::vector<std::string> shown;
  std::deque<bool> answers;
};

const std::string kMonthRefused = "!集計期間に誤りがあります。\n\n集計期間を設定しなおしてください。";
const std::string kCharacters = "!データの出力先に不正な文字が含まれています。\n\n出力先を再入力してください。";
const std::string kDrive = "!ドライブ名が有効でありません。\n\n有効なドライブを指定してください。";
const std::string kNoFileName = "!ファイル名が指定されていません。";
const std::string kCreate = "?指定されたフォルダは存在しません。\n\n作成してもよろしいですか？";
const std::string kCreateFailed = "!フォルダの作成に失敗しました。\n\n出力先を再入力してください。";
const std::string kOverwrite = "?同名のファイルが存在します。\n\n上書きしてもよろしいですか？";

class ValidatorTest : public ::testing::Test {
 protected:
  FocusField Validate(const std::string& start, const std::string& end, const std::string& path, bool fixed = false) {
    prompts.shown.clear();
    return dialog::ValidateConditions({start, end, path}, {4, 3}, fixed, fs, prompts);
  }
  FocusField Path(const std::string& path, bool fixed = false) { return Validate("4", "3", path, fixed); }
  FakeFileSystem fs;
  RecordingPrompts prompts;
};

TEST_F(ValidatorTest, MonthsAreCheckedBeforeThePath) {
  EXPECT_EQ(Validate("13", "3", ""), FocusField::StartMonth);
  EXPECT_EQ(prompts.shown, std::vector<std::string>{kMonthRefused});
  EXPECT_EQ(Validate("", "3", "C:\\a.xml"), FocusField::StartMonth);
  EXPECT_EQ(Validate("4", "x", "C:\\a.xml"), FocusField::EndMonth);
  EXPECT_EQ(Validate("3", "4", "C:\\a.xml"), FocusField::EndMonth);
  EXPECT_EQ(Validate("4", "3", "C:\\a.xml"), FocusField::None);
  EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(ValidatorTest, PathRefusalsInTheirOrder) {
  EXPECT_EQ(Path(""), FocusField::OutputPath);
  EXPECT_EQ(prompts.shown, std::vector<std::string>{"!データ出力先が指定されていません。\n\n出力先を指定してください。"});
  EXPECT_EQ(Path("C:\\out\\a;b.xml"), FocusField::OutputPath);
  EXPECT_EQ(prompts.shown, std::vector<std::string>{kCharacters});
  EXPECT_EQ(Path("C:\\Temp\\*.xml"), FocusField::OutputPath);  // the default path until a name is given
  EXPECT_EQ(prompts.shown, std::vector<std::string>{kCharacters});
  EXPECT_EQ(Path("C:\\out\\"), FocusField::OutputPath);
  EXPECT_EQ(prompts.shown, std::vector<std::string>{kNoFileName});
  EXPECT_EQ(Path("1:\\a.xml"), FocusField::OutputPath);
  EXPECT_EQ(prompts.shown, std::vector<std::string>{kDrive});
}

TEST_F(ValidatorTest, DriveTypesAndShares) {
  fs.dirs.insert("D:");
  fs.dirs.insert("\\\\srv\\share");
  fs.driveTypes = {{'C', DriveType::kFixed}, {'D', DriveType::kCdRom}, {'E', DriveType::kRamDisk},
                   {'F', DriveType::kUnknown}, {'G', DriveType::kRemovable}, {'H', DriveType::kRemote}};
  for (const char* refused : {"D:\\a.xml", "E:\\a.xml", "F:\\a.xml", "G:\\a.xml", "H:\\a.xml", "\\\\srv\\share",
                              "\\\\srv\\other\\a.xml"}) {
    EXPECT_EQ(Path(refused), FocusField::OutputPath) << refused;
    EXPECT_EQ(prompts.shown, std::vector<std::string>{kDrive}) << refused;
  }
  EXPECT_EQ(Path("\\\\srv\\share\\a.xml"), FocusField::None);
  fs.readOnly.insert("C:");
  EXPECT_EQ(Path("C:\\a.xml"), FocusField::OutputPath);
  EXPECT_EQ(prompts.shown, std::vector<std::string>{kDrive});
  fs.dirs.insert("G:");
  EXPECT_EQ(Path("G:\\a.xml"), FocusField::None);
}

TEST_F(ValidatorTest, MissingFolderIsCreatedOnlyWhenTheUserAgrees) {
  fs.dirs.insert("C:\\out");
  prompts.answers = {false};
  EXPECT_EQ(Path("C:\\out\\new\\deeper\\a.xml"), FocusField::OutputPath);
  EXPECT_EQ(prompts.shown, std::vector<std::string>{kCreate});
  EXPECT_FALSE(fs.PathIsFolder("C:\\out\\new"));

  prompts.answers = {true};
  EXPECT_EQ(Path("C:\\out\\new\\deeper\\a.xml"), FocusField::None);
  EXPECT_EQ(prompts.shown, std::vector<std::string>{kCreate});
  EXPECT_TRUE(fs.PathIsFolder("C:\\out\\new\\deeper"));
}

TEST_F(ValidatorTest, FolderFailingHalfWayLeavesNothingBehind) {
  fs.dirs.insert("C:\\out");
  fs.failCreate.insert("C:\\out\\new\\deeper\\deepest");
  prompts.answers = {true};
  EXPECT_EQ(Path("C:\\out\\new\\deeper\\deepest\\a.xml"), FocusField::OutputPath);
  EXPECT_EQ(prompts.shown, (std::vector<std::string>{kCreate, kCreateFailed}));
  EXPECT_EQ(fs.removed, (std::vector<std::string>{"C:\\out\\new\\deeper", "C:\\out\\new"}));
  EXPECT_TRUE(fs.PathIsFolder("C:\\out"));
  EXPECT_FALSE(fs.PathIsFolder("C:\\out\\new"));

  // A folder too long for the system is refused before anything is made.
  prompts.answers = {true};
  fs.createCalls = 0;
  EXPECT_EQ(Path("C:\\" + std::string(270, 'x') + "\\a.xml"), FocusField::OutputPath);
  EXPECT_EQ(prompts.shown, (std::vector<std::string>{kCreate, kCreateFailed}));
  EXPECT_EQ(fs.createCalls, 0);
}

TEST_F(ValidatorTest, ExistingFolderOrFileOfThatNameUnlessThePathIsFixed) {
  fs.dirs.insert("C:\\out");
  fs.dirs.insert("C:\\out\\x.xml");
  EXPECT_EQ(Path("C:\\out\\x.xml"), FocusField::OutputPath);
  EXPECT_EQ(prompts.shown, std::vector<std::string>{kNoFileName});

  fs.files["C:\\out\\a.xml"] = "old";
  prompts.answers = {false};
  EXPECT_EQ(Path("C:\\out\\a.xml"), FocusField::OutputPath);
  EXPECT_EQ(prompts.shown, std::vector<std::string>{kOverwrite});
  prompts.answers = {true};
  EXPECT_EQ(Path("C:\\out\\a.xml"), FocusField::None);

  EXPECT_EQ(Path("C:\\out\\a.xml", /*fixed=*/true), FocusField::None);
  EXPECT_TRUE(prompts.shown.empty());

  // A device or a pipe is no file, even on a path the caller fixed.
  fs.devices.insert("C:\\out\\pipe");
  for (bool fixed : {false, true}) {
    EXPECT_EQ(Path("C:\\out\\pipe", fixed), FocusField::OutputPath);
    EXPECT_EQ(prompts.shown, std::vector<std::string>{kNoFileName});
  }
}

}  // namespace
