// The output document's bytes as XmlWriter writes them, and its failure rules.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/File.h"
#include "report/XmlWriter.h"
#include "tests/support/FaultyFile.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using platform::File;
using test_support::FaultyFile;
using test_support::FileFaultPlan;

// The program's own file object.
std::unique_ptr<File> NewFile() { return platform::FileSystem::Default().NewFile(); }
using report::XmlWriter;

const char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n";

class XmlWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = test_support::NewTempFolder("taxbridge-xml");
    ASSERT_FALSE(dir_.empty());
    file_ = dir_ / "out.xml";
    path_ = test_support::WindowsPathOf(file_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Written() const {
    std::ifstream in(file_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // Writes one element at depth 0 and returns its line.
  std::string ElementLine(std::string_view text, const char* a1 = nullptr, const char* v1 = nullptr,
                          const char* a2 = nullptr, const char* v2 = nullptr) {
    const std::unique_ptr<File> file = NewFile();
    XmlWriter writer;
    EXPECT_EQ(writer.OpenOutput(file.get(), path_), 0);
    EXPECT_EQ(writer.WriteElement("E", text, 0, a1, v1, a2, v2), 1);
    writer.CloseOutput();
    return Written();
  }

  fs::path dir_;
  fs::path file_;      // the document, as the test reads it
  std::string path_;   // the same file as the writer is given it
};

TEST_F(XmlWriterTest, DocumentLinesAreTabIndentedAndEndInCrLf) {
  const std::unique_ptr<File> file = NewFile();
  {
    XmlWriter writer;
    ASSERT_EQ(writer.OpenOutput(file.get(), path_), 0);
    EXPECT_EQ(writer.WriteRaw(kDeclaration), 1);
    EXPECT_EQ(writer.WriteStartTag("REPORT", 0), 1);
    EXPECT_EQ(writer.WriteStartTag("DATA", 1), 1);
    EXPECT_EQ(writer.WriteStartTag("D02200", 2), 1);
    EXPECT_EQ(writer.WriteElement("KAZEIURIAGEZEINUKI8", "500", 3), 1);
    EXPECT_EQ(writer.WriteElement("GIMUMENJOKAZEI8", "", 3), 1);
    EXPECT_EQ(writer.WriteElement("NEG", "-16", 3), 1);
    EXPECT_EQ(writer.WriteEndTag("D02200", 2), 1);
    EXPECT_EQ(writer.WriteEndTag("DATA", 1), 1);
    EXPECT_EQ(writer.WriteEndTag("REPORT", 0), 1);
    EXPECT_EQ(writer.CloseOutput(), 0);
    EXPECT_FALSE(writer.failed());
  }
  EXPECT_EQ(Written(), std::string(kDeclaration) +
                           "<REPORT>\r\n"
                           "\t<DATA>\r\n"
                           "\t\t<D02200>\r\n"
                           "\t\t\t<KAZEIURIAGEZEINUKI8>500</KAZEIURIAGEZEINUKI8>\r\n"
                           "\t\t\t<GIMUMENJOKAZEI8></GIMUMENJOKAZEI8>\r\n"
                           "\t\t\t<NEG>-16</NEG>\r\n"
                           "\t\t</D02200>\r\n"
                           "\t</DATA>\r\n"
                           "</REPORT>\r\n");
}

TEST_F(XmlWriterTest, TextIsEscapedAndNamesAndShiftJisAreNot) {
  EXPECT_EQ(XmlWriter::EscapeText("A&B<C>"), "A&amp;B&lt;C&gt;");
  EXPECT_EQ(XmlWriter::EscapeText("\"'"), "&quot;&apos;");
  EXPECT_EQ(XmlWriter::EscapeText("&amp;"), "&amp;amp;");
  EXPECT_EQ(XmlWriter::EscapeText(""), "");
  EXPECT_EQ(XmlWriter::EscapeText(std::string("ab\0<", 4)), "ab");
  // Trail bytes 0x7C and 0x5C ("ポソ表") and every other byte pass unchanged.
  const std::string kana = "\x83\x7C\x83\x5C\x95\x5C";
  EXPECT_EQ(XmlWriter::EscapeText(kana), kana);
  EXPECT_EQ(XmlWriter::EscapeText("株式会社＆"), "株式会社＆");

  EXPECT_EQ(ElementLine("A&B<C>"), "<E>A&amp;B&lt;C&gt;</E>\r\n");
  const std::unique_ptr<File> file = NewFile();
  XmlWriter writer;
  ASSERT_EQ(writer.OpenOutput(file.get(), path_), 0);
  EXPECT_EQ(writer.WriteStartTag("A&B", 0), 1);
  EXPECT_EQ(writer.WriteEndTag("A&B", 0), 1);
  writer.CloseOutput();
  EXPECT_EQ(Written(), "<A&B>\r\n</A&B>\r\n");
}

TEST_F(XmlWriterTest, AttributesAreWrittenOnlyWhenGivenInOrder) {
  EXPECT_EQ(ElementLine("t", "id", "1"), "<E id=\"1\">t</E>\r\n");
  EXPECT_EQ(ElementLine("t", "id", "a\"b'<", "kind", "x&y"), "<E id=\"a&quot;b&apos;&lt;\" kind=\"x&amp;y\">t</E>\r\n");
  EXPECT_EQ(ElementLine("", "id", ""), "<E id=\"\"></E>\r\n");
  // The second attribute counts only when the first was written.
  EXPECT_EQ(ElementLine("t", nullptr, nullptr, "kind", "x"), "<E>t</E>\r\n");
  EXPECT_EQ(ElementLine("t", "id", nullptr, "kind", "x"), "<E>t</E>\r\n");
  EXPECT_EQ(ElementLine("t", "id", "1", "kind", nullptr), "<E id=\"1\">t</E>\r\n");

  const std::unique_ptr<File> file = NewFile();
  XmlWriter writer;
  ASSERT_EQ(writer.OpenOutput(file.get(), path_), 0);
  EXPECT_EQ(writer.WriteStartTag("S", 2, "a", "1", "b", "2"), 1);
  EXPECT_EQ(writer.WriteStartTag("T", 1, "a", "<"), 1);
  writer.CloseOutput();
  EXPECT_EQ(Written(), "\t\t<S a=\"1\" b=\"2\">\r\n\t<T a=\"&lt;\">\r\n");
}

TEST_F(XmlWriterTest, LongTextsAreWrittenWhole) {
  std::string text;
  for (int i = 0; i < 1000; ++i) text += static_cast<char>('A' + i % 26);
  std::string kanji;
  for (int i = 0; i < 200; ++i) kanji += "消費税";  // 1200 bytes
  const std::string ampersands(300, '&');
  std::string escaped;
  for (int i = 0; i < 300; ++i) escaped += "&amp;";
  const std::string longName(400, 'N');

  const std::unique_ptr<File> file = NewFile();
  XmlWriter writer;
  ASSERT_EQ(writer.OpenOutput(file.get(), path_), 0);
  EXPECT_EQ(writer.WriteElement("PROGRAMNAME", text, 2), 1);
  EXPECT_EQ(writer.WriteElement("K", kanji, 0), 1);
  EXPECT_EQ(writer.WriteElement("A", ampersands, 0, "v", ampersands.c_str()), 1);
  EXPECT_EQ(writer.WriteStartTag(longName, 300), 1);
  writer.CloseOutput();
  EXPECT_EQ(Written(), "\t\t<PROGRAMNAME>" + text + "</PROGRAMNAME>\r\n" + "<K>" + kanji + "</K>\r\n" +
                           "<A v=\"" + escaped + "\">" + escaped + "</A>\r\n" + std::string(300, '\t') + "<" +
                           longName + ">\r\n");
}

TEST_F(XmlWriterTest, FailedWriteClosesTheFileAndEveryLaterWriteFails) {
  FaultyFile file(FileFaultPlan().FailWrite(3));
  XmlWriter writer;
  ASSERT_EQ(writer.OpenOutput(&file, path_), 0);
  EXPECT_EQ(writer.WriteRaw(kDeclaration), 1);
  EXPECT_EQ(writer.WriteStartTag("REPORT", 0), 1);
  EXPECT_EQ(writer.WriteStartTag("SYSTEM", 1), 0);
  EXPECT_FALSE(file.isOpen());
  EXPECT_TRUE(writer.attached());
  EXPECT_TRUE(writer.failed());
  EXPECT_FALSE(writer.lastError().empty());
  const std::string firstError = writer.lastError();
  EXPECT_EQ(writer.WriteElement("VERSION", "1", 2), 0);
  EXPECT_EQ(writer.WriteEndTag("REPORT", 0), 0);
  EXPECT_EQ(writer.WriteRaw("x"), 0);
  EXPECT_EQ(writer.lastError(), firstError);
  EXPECT_EQ(writer.CloseOutput(), 0);
  EXPECT_EQ(writer.CloseOutput(), 0);
  EXPECT_EQ(Written(), std::string(kDeclaration) + "<REPORT>\r\n");
}

TEST_F(XmlWriterTest, OutputThatCannotBeCreatedFailsEveryWrite) {
  const std::string missing = (dir_ / "no-such-folder" / "out.xml").string();
  const std::unique_ptr<File> file = NewFile();
  XmlWriter writer;
  EXPECT_EQ(writer.OpenOutput(file.get(), missing), -1);
  EXPECT_TRUE(writer.attached());
  EXPECT_EQ(writer.outputPath(), missing);
  EXPECT_NE(writer.lastError().find("no-such-folder"), std::string::npos);
  EXPECT_EQ(writer.WriteRaw(kDeclaration), 0);
  EXPECT_EQ(writer.WriteStartTag("REPORT", 0), 0);
  EXPECT_EQ(writer.CloseOutput(), 0);
  EXPECT_FALSE(fs::exists(missing));

  FaultyFile refusing(FileFaultPlan().FailOpen());
  XmlWriter other;
  EXPECT_EQ(other.OpenOutput(&refusing, path_), -1);
  EXPECT_EQ(other.WriteRaw("x"), 0);

  XmlWriter noArguments;
  EXPECT_EQ(noArguments.OpenOutput(nullptr, path_), -1);
  EXPECT_EQ(noArguments.OpenOutput(file.get(), ""), -1);
  EXPECT_FALSE(noArguments.attached());
  EXPECT_EQ(noArguments.WriteRaw("x"), 0);
  EXPECT_FALSE(fs::exists(file_));
}

TEST_F(XmlWriterTest, CloseDetachesSoASecondCloseLeavesTheFileObjectAlone) {
  const std::unique_ptr<File> file = NewFile();
  XmlWriter writer;
  ASSERT_EQ(writer.OpenOutput(file.get(), path_), 0);
  EXPECT_EQ(writer.CloseOutput(), 0);
  EXPECT_FALSE(file->isOpen());
  EXPECT_FALSE(writer.attached());
  // The caller reuses its file object; the writer's second close must not touch it.
  ASSERT_TRUE(file->OpenForWrite(path_).ok());
  EXPECT_EQ(writer.CloseOutput(), 0);
  EXPECT_TRUE(file->isOpen());
  EXPECT_EQ(writer.WriteRaw("x"), 0);
  EXPECT_TRUE(file->Write("kept").ok());
  EXPECT_TRUE(file->Close().ok());
  EXPECT_EQ(Written(), "kept");
}

TEST_F(XmlWriterTest, DestructionClosesAndAFailedCloseIsReported) {
  const std::unique_ptr<File> file = NewFile();
  {
    XmlWriter writer;
    ASSERT_EQ(writer.OpenOutput(file.get(), path_), 0);
    EXPECT_EQ(writer.WriteEndTag("REPORT", 0), 1);
  }
  EXPECT_FALSE(file->isOpen());
  EXPECT_EQ(Written(), "</REPORT>\r\n");

  FaultyFile failsClose(FileFaultPlan().FailClose());
  XmlWriter writer;
  ASSERT_EQ(writer.OpenOutput(&failsClose, path_), 0);
  EXPECT_EQ(writer.CloseOutput(), -1);
  EXPECT_TRUE(writer.failed());
  EXPECT_EQ(writer.CloseOutput(), 0);
}

}  // namespace
