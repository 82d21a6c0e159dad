#include "report/SystemSection.h"

#include "report/ElementNameTable.h"
#include "report/SupportInfoFile.h"
#include "resources/Resources.h"

namespace report {
namespace {

constexpr int kDepthSection = 1;
constexpr int kDepthElement = 2;
constexpr int kConnectedProgramVersionString = 1;

const char* Name(int offset) { return ElementNameTable::At(ElementNameTable::kSystemBasicNames + offset); }

}  // namespace

int WriteSystemSection(XmlWriter& writer, const SystemSectionFacts& facts) {
  if (!writer.WriteStartTag("SYSTEM", kDepthSection)) return kWriteFailed;
  if (!writer.WriteElement(Name(0), "SY26", kDepthElement)) return kWriteFailed;
  if (!writer.WriteElement(Name(1), "1", kDepthElement)) return kWriteFailed;
  if (!writer.WriteElement(Name(2), std::to_string(facts.functionId), kDepthElement)) return kWriteFailed;
  const char* version = resources::LoadResourceString(kConnectedProgramVersionString);
  if (!writer.WriteElement(Name(3), version ? version : "", kDepthElement)) return kWriteFailed;

  std::string productName, productVersion;
  {
    SupportInfoFile support(facts.supportInfoFolder);
    productName = support.ProductName();
    productVersion = support.ProductVersion();
  }
  if (productName.empty()) productName = facts.programName;
  if (productVersion.empty()) productVersion = kDefaultProgramVersion;
  if (!writer.WriteElement(Name(4), productName, kDepthElement)) return kWriteFailed;
  if (!writer.WriteElement(Name(5), productVersion, kDepthElement)) return kWriteFailed;
  if (!writer.WriteEndTag("SYSTEM", kDepthSection)) return kWriteFailed;
  return kWritten;
}

}  // namespace report
