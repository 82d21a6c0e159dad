// The SYSTEM and BASIC sections as bytes in the output file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "host/Records.h"
#include "host/SaveTaxInfo.h"
#include "platform/File.h"
#include "report/BasicSection.h"
#include "report/SystemSection.h"
#include "report/XmlWriter.h"
#include "tests/support/Files.h"
#include "tests/support/FaultyFile.h"

namespace {

using test_support::ReadAll;

namespace fs = std::filesystem;

class SectionFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("tb-sections-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    out_ = (dir_ / "out.xml").string();
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Writes one section through a fresh writer and returns the file's bytes.
  template <typename Fn>
  std::string Write(Fn&& section, int* result = nullptr, test_support::FileFaultPlan faults = {}) {
    test_support::FaultyFile file(faults);
    report::XmlWriter writer;
    writer.OpenOutput(&file, out_);
    const int r = section(writer);
    if (result) *result = r;
    writer.CloseOutput();
    return ReadAll(out_);
  }
  std::string Folder() const { return dir_.string() + "/"; }
  void PutSupportInfo(const std::string& bytes) {
    std::ofstream(dir_ / "SUPPORT.INF", std::ios::binary) << bytes;
  }

  fs::path dir_;
  std::string out_;
};

report::SystemSectionFacts System(int16_t functionId, const std::string& folder) {
  report::SystemSectionFacts facts;
  facts.functionId = functionId;
  facts.programName = "Kestrel２０ Plus";
  facts.supportInfoFolder = folder;
  return facts;
}

TEST_F(SectionFile, SystemWithoutSupportInfoUsesTheEditionDefaults) {
  int result = 0;
  const std::string bytes =
      Write([&](report::XmlWriter& w) { return report::WriteSystemSection(w, System(1, Folder())); }, &result);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(bytes,
            "\t<SYSTEM>\r\n"
            "\t\t<GYOUMUPREFIX>SY26</GYOUMUPREFIX>\r\n"
            "\t\t<VERSION>1</VERSION>\r\n"
            "\t\t<FUNCTIONID>1</FUNCTIONID>\r\n"
            "\t\t<CONNECTEDPROGRAMVER>20.00.00</CONNECTEDPROGRAMVER>\r\n"
            "\t\t<PROGRAMNAME>Kestrel２０ Plus</PROGRAMNAME>\r\n"
            "\t\t<PROGRAMVER>20.00.0X</PROGRAMVER>\r\n"
            "\t</SYSTEM>\r\n");
}

TEST_F(SectionFile, SystemTakesNameAndVersionFromSupportInfo) {
  PutSupportInfo("[=製品名=]Kestrel２０ Plus <&>\r\n[=製品ﾊﾞｰｼﾞｮﾝ=]20.01.07\r\n\x1A");
  const std::string bytes =
      Write([&](report::XmlWriter& w) { return report::WriteSystemSection(w, System(-3, Folder())); });
  EXPECT_NE(bytes.find("\t\t<FUNCTIONID>-3</FUNCTIONID>\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("\t\t<PROGRAMNAME>Kestrel２０ Plus &lt;&amp;&gt;</PROGRAMNAME>\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("\t\t<PROGRAMVER>20.01.07</PROGRAMVER>\r\n"), std::string::npos);
}

TEST_F(SectionFile, SystemEmptyTagValueFallsBackPerValue) {
  PutSupportInfo("[=製品名=]\r\n[=製品ﾊﾞｰｼﾞｮﾝ=]20.01.07\r\n");
  const std::string bytes =
      Write([&](report::XmlWriter& w) { return report::WriteSystemSection(w, System(1, Folder())); });
  EXPECT_NE(bytes.find("<PROGRAMNAME>Kestrel２０ Plus</PROGRAMNAME>"), std::string::npos);
  EXPECT_NE(bytes.find("<PROGRAMVER>20.01.07</PROGRAMVER>"), std::string::npos);
}

TEST_F(SectionFile, SystemStopsAtTheFirstFailedWrite) {
  int result = 1;
  const std::string bytes = Write([&](report::XmlWriter& w) { return report::WriteSystemSection(w, System(1, Folder())); },
                                  &result, test_support::FileFaultPlan().FailWrite(3));
  EXPECT_EQ(result, 0);
  EXPECT_EQ(bytes, "\t<SYSTEM>\r\n\t\t<GYOUMUPREFIX>SY26</GYOUMUPREFIX>\r\n");
}

struct BasicCase {
  host::StDATAINFO company;
  host::StSaveTaxInfo saved;
  report::BasicSectionFacts Facts(int method, uint8_t taxMethod, int oldRates = 0, bool withSaved = true) {
    report::BasicSectionFacts f;
    f.company = company.view();
    f.method = method;
    f.taxMethod = taxMethod;
    if (withSaved) {
      f.savedReturn = saved.data();
      f.savedReturnSize = host::StSaveTaxInfo::kSize;
    }
    f.hasOldRateAmounts = [oldRates] { return oldRates; };
    return f;
  }
  BasicCase() {
    auto c = company.view();
    c.SetText(host::StDATAINFO::kCompanyName, host::StDATAINFO::kCompanyNameWidth, "ABC");
    c.SetI32(host::StDATAINFO::kPeriodStart, 20230401);
    c.SetI32(host::StDATAINFO::kPeriodEnd, 20240331);
    auto s = saved.view();
    s.SetI32(host::StSaveTaxInfo::kBusinessYearStart, 20220401);
    s.SetI32(host::StSaveTaxInfo::kBusinessYearEnd, 20230331);
  }
};

std::string Element(const std::string& name, const std::string& value) {
  return "\t\t<" + name + ">" + value + "</" + name + ">\r\n";
}

TEST_F(SectionFile, BasicFromTheJournalMethodUnderGeneralTaxation) {
  BasicCase k;
  int result = 0;
  const std::string bytes =
      Write([&](report::XmlWriter& w) { return report::WriteBasicSection(w, k.Facts(0, 2, 1)); }, &result);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(bytes, "\t<BASIC>\r\n" + Element("KOMONSAKINAME", "ＡＢＣ") + Element("JIGYOUNENDOFROM", "20230401") +
                       Element("JIGYOUNENDOTO", "20240331") + Element("HOUJINKOJINKUBUN", "1") +
                       Element("KAZEIKUBUN", "1") + Element("KEIKASHOCHIKAZEISHISAN", "1") +
                       Element("URIAGEZEIGAKUKEISAN", "1") + Element("SHIIREZEIGAKUKEISAN", "1") + "\t</BASIC>\r\n");
}

TEST_F(SectionFile, BasicTaxationKindsAndComputationChoices) {
  BasicCase k;
  for (uint8_t method : {0, 1}) {
    const std::string bytes = Write([&](report::XmlWriter& w) { return report::WriteBasicSection(w, k.Facts(0, method)); });
    EXPECT_NE(bytes.find(Element("KAZEIKUBUN", "2")), std::string::npos) << int(method);
    EXPECT_NE(bytes.find(Element("KEIKASHOCHIKAZEISHISAN", "2")), std::string::npos);
    EXPECT_NE(bytes.find("\t\t<SHIIREZEIGAKUKEISAN></SHIIREZEIGAKUKEISAN>\r\n"), std::string::npos);
  }
}

TEST_F(SectionFile, BasicCompanyKinds) {
  BasicCase k;
  const char* expected[] = {"1", "1", "", "2", "2", ""};
  for (uint8_t kind = 0; kind <= 5; ++kind) {
    k.company.view().SetU8(host::StDATAINFO::kCompanyKind, kind);
    const std::string bytes = Write([&](report::XmlWriter& w) { return report::WriteBasicSection(w, k.Facts(0, 2)); });
    EXPECT_NE(bytes.find(Element("HOUJINKOJINKUBUN", expected[kind])), std::string::npos) << int(kind);
  }
}

TEST_F(SectionFile, BasicFromTheSavedReturn) {
  BasicCase k;
  auto s = k.saved.view();
  s.SetU8(host::StSaveTaxInfo::kTransitionalFlag, 1);
  s.SetU8(host::StSaveTaxInfo::kSalesTaxChoice, 1);
  s.SetU8(host::StSaveTaxInfo::kPurchaseTaxChoice, 3);
  std::string bytes = Write([&](report::XmlWriter& w) { return report::WriteBasicSection(w, k.Facts(1, 2, 0)); });
  EXPECT_NE(bytes.find(Element("JIGYOUNENDOFROM", "20220401") + Element("JIGYOUNENDOTO", "20230331")),
            std::string::npos);
  EXPECT_NE(bytes.find(Element("KEIKASHOCHIKAZEISHISAN", "1") + Element("URIAGEZEIGAKUKEISAN", "2") +
                       Element("SHIIREZEIGAKUKEISAN", "2")),
            std::string::npos);

  s.SetU8(host::StSaveTaxInfo::kTransitionalFlag, 0);
  s.SetU8(host::StSaveTaxInfo::kSalesTaxChoice, 0);
  s.SetU8(host::StSaveTaxInfo::kPurchaseTaxChoice, 0);
  bytes = Write([&](report::XmlWriter& w) { return report::WriteBasicSection(w, k.Facts(1, 2, 1)); });
  EXPECT_NE(bytes.find(Element("KEIKASHOCHIKAZEISHISAN", "2") + Element("URIAGEZEIGAKUKEISAN", "1") +
                       Element("SHIIREZEIGAKUKEISAN", "1")),
            std::string::npos);

  // Under simplified taxation the purchase choice is not written.
  s.SetU8(host::StSaveTaxInfo::kPurchaseTaxChoice, 1);
  bytes = Write([&](report::XmlWriter& w) { return report::WriteBasicSection(w, k.Facts(1, 1)); });
  EXPECT_NE(bytes.find("\t\t<SHIIREZEIGAKUKEISAN></SHIIREZEIGAKUKEISAN>\r\n"), std::string::npos);
}

TEST_F(SectionFile, BasicWithoutSavedReturnFailsBeforeTheBusinessYear) {
  BasicCase k;
  int result = 1;
  const std::string bytes =
      Write([&](report::XmlWriter& w) { return report::WriteBasicSection(w, k.Facts(1, 2, 0, false)); }, &result);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(bytes, "\t<BASIC>\r\n" + Element("KOMONSAKINAME", "ＡＢＣ"));
}

TEST_F(SectionFile, BasicStopsAtTheFirstFailedWrite) {
  BasicCase k;
  for (int failing = 1; failing <= 10; ++failing) {
    int result = 1;
    const std::string bytes = Write([&](report::XmlWriter& w) { return report::WriteBasicSection(w, k.Facts(0, 2)); },
                                    &result, test_support::FileFaultPlan().FailWrite(failing));
    EXPECT_EQ(result, 0) << failing;
    // Exactly the lines before the failed one reached the file.
    size_t lines = 0;
    for (size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2)) ++lines;
    EXPECT_EQ(lines, static_cast<size_t>(failing - 1));
  }
}

TEST_F(SectionFile, AdvisorNameIsFullWidthAndCut) {
  BasicCase k;
  k.company.view().SetText(host::StDATAINFO::kCompanyName, host::StDATAINFO::kCompanyNameWidth,
                           "ABCDEFGHIJKLMNOPQRST");
  std::string bytes = Write([&](report::XmlWriter& w) { return report::WriteBasicSection(w, k.Facts(0, 2)); });
  EXPECT_NE(bytes.find(Element("KOMONSAKINAME", "ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰ")), std::string::npos);

  k.company.view().SetText(host::StDATAINFO::kCompanyName, host::StDATAINFO::kCompanyNameWidth, "ABCDEFGHIJ");
  bytes = Write([&](report::XmlWriter& w) { return report::WriteBasicSection(w, k.Facts(0, 2)); });
  EXPECT_NE(bytes.find(Element("KOMONSAKINAME", "ＡＢＣＤＥＦＧＨＩＪ")), std::string::npos);

  k.company.view().SetText(host::StDATAINFO::kCompanyName, host::StDATAINFO::kCompanyNameWidth,
                           "株式会社見本商事東京本店営業部第一課");
  bytes = Write([&](report::XmlWriter& w) { return report::WriteBasicSection(w, k.Facts(0, 2)); });
  EXPECT_NE(bytes.find(Element("KOMONSAKINAME", "株式会社見本商事東京本店営業部第")), std::string::npos);
}

}  // namespace
