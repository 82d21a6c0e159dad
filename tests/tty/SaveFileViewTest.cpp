// The terminal's save-file dialog over a drive of its own (D: a temporary
// folder): the listing, moving between folders, and the dialog's flags.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "platform/DriveMap.h"
#include "platform/FileSystem.h"
#include "platform/ui/tty/SaveFileView.h"

namespace {

using namespace platform::ui::tty;
namespace ui = platform::ui;
namespace fs = std::filesystem;

class SaveFileViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("tb-savefile-" + std::to_string(::getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "out" / "sub");
    std::ofstream(root_ / "out" / "old.xml") << "x";
    std::ofstream(root_ / "out" / "B.XML") << "x";
    std::ofstream(root_ / "out" / "notes.txt") << "x";
    std::string error;
    auto map = platform::DriveMap::Parse("D: " + root_.string() + "\n", platform::DriveMap::Defaults(""), &error);
    ASSERT_TRUE(map) << error;
    fs_ = platform::NewMappedFileSystem(*map);
    options_.defaultExtension = "XML";
    options_.initialFolder = "D:\\out\\";
    options_.initialName = "*.xml";
    options_.title = "保存ファイルを指定";
    options_.filter = "Xml Files (*.xml)|*.xml||";
  }
  void TearDown() override { fs::remove_all(root_); }

  static KeyPress Key(KeyPress::Kind kind, bool shift = false) {
    KeyPress k;
    k.kind = kind;
    k.shift = shift;
    return k;
  }
  static void TypeName(SaveFileView& view, const std::string& ascii) {
    view.Key(Key(KeyPress::Kind::kSelectAll));
    for (char c : ascii) {
      KeyPress k = Key(KeyPress::Kind::kChar);
      k.text = std::string(1, c);
      view.Key(k);
    }
  }

  fs::path root_;
  std::unique_ptr<platform::FileSystem> fs_;
  ui::SaveFileDialogOptions options_;
};

TEST_F(SaveFileViewTest, ListsFoldersThenFilesTheFilterLetsThrough) {
  SaveFileView view(options_, *fs_);
  EXPECT_EQ(view.folder(), "D:\\out\\");
  ASSERT_EQ(view.entries().size(), 4u);
  EXPECT_EQ(view.entries()[0].name, "..");
  EXPECT_EQ(view.entries()[1].name, "sub");
  EXPECT_TRUE(view.entries()[1].folder);
  EXPECT_EQ(view.entries()[2].name, "B.XML");  // the pattern matches without regard to case
  EXPECT_EQ(view.entries()[3].name, "old.xml");
  // Into "sub" from the listing, and back up with "..".
  view.Key(Key(KeyPress::Kind::kTab));
  view.Key(Key(KeyPress::Kind::kDown));
  EXPECT_EQ(view.Key(Key(KeyPress::Kind::kEnter)), SaveFileView::Step::kNone);
  EXPECT_EQ(view.folder(), "D:\\out\\sub\\");
  view.Key(Key(KeyPress::Kind::kEnter));  // ".." is the first entry
  EXPECT_EQ(view.folder(), "D:\\out\\");
  // At the drive's root there is no "..".
  view.Key(Key(KeyPress::Kind::kEnter));
  EXPECT_EQ(view.folder(), "D:\\");
  EXPECT_EQ(view.entries().front().name, "out");
}

TEST_F(SaveFileViewTest, FlagsDecideWhatMayBeChosen) {
  options_.flags = ui::kOfnPathMustExist | ui::kOfnFileMustExist | ui::kOfnNoChangeDir;
  SaveFileView view(options_, *fs_);
  const std::string cwd = fs::current_path().string();
  // A wildcard name filters the listing instead of being chosen.
  EXPECT_EQ(view.Key(Key(KeyPress::Kind::kEnter)), SaveFileView::Step::kNone);
  TypeName(view, "new");
  EXPECT_EQ(view.Key(Key(KeyPress::Kind::kEnter)), SaveFileView::Step::kConfirm);
  EXPECT_EQ(view.Chosen(), "D:\\out\\new");
  EXPECT_NE(view.CheckChoice().problem.find("D:\\out\\new.XML"), std::string::npos);  // the file must exist
  TypeName(view, "old");
  EXPECT_EQ(view.Key(Key(KeyPress::Kind::kEnter)), SaveFileView::Step::kConfirm);
  EXPECT_TRUE(view.CheckChoice().problem.empty());  // old.xml exists (default extension, any case)
  TypeName(view, "D:\\nowhere\\a.xml");
  view.Key(Key(KeyPress::Kind::kEnter));
  EXPECT_NE(view.CheckChoice().problem, "");  // the path must exist
  // Only the overwrite prompt: a new file passes, an existing one asks first.
  options_.flags = ui::kOfnOverwritePrompt;
  SaveFileView save(options_, *fs_);
  TypeName(save, "fresh.xml");
  EXPECT_TRUE(save.CheckChoice().problem.empty());
  EXPECT_TRUE(save.CheckChoice().question.empty());
  TypeName(save, "old.xml");
  EXPECT_FALSE(save.CheckChoice().question.empty());
  // A name that is a folder opens it; the process's folder never changes.
  TypeName(save, "sub");
  EXPECT_EQ(save.Key(Key(KeyPress::Kind::kEnter)), SaveFileView::Step::kNone);
  EXPECT_EQ(save.folder(), "D:\\out\\sub\\");
  EXPECT_EQ(fs::current_path().string(), cwd);
  EXPECT_EQ(save.Key(Key(KeyPress::Kind::kEscape)), SaveFileView::Step::kCancel);
}

}  // namespace
