// Test support: writes part of the output document through a real file and
// reads it back, as bytes and as records of leaves.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "aggregate/TaxAggregate.h"
#include "platform/File.h"
#include "report/XmlWriter.h"
#include "tests/support/FaultyFile.h"
#include "tests/support/TempFolder.h"

namespace report_data_test {

namespace fs = std::filesystem;

struct Written {
  int result = -1;
  std::string bytes;
};

// Runs `write` on a writer whose file lives in a fresh temporary folder.
inline Written WriteDocument(const std::function<int(report::XmlWriter&)>& write,
                             test_support::FileFaultPlan faults = test_support::FileFaultPlan()) {
  const fs::path dir = test_support::NewTempFolder("taxbridge-data");
  if (dir.empty()) {
    ADD_FAILURE() << "no temporary folder";
    return {};
  }
  const std::string path = test_support::WindowsPathOf(dir / "out.xml");
  Written out;
  {
    test_support::FaultyFile file(faults);
    report::XmlWriter writer;
    EXPECT_EQ(writer.OpenOutput(&file, path), 0);
    out.result = write(writer);
    writer.CloseOutput();
  }
  {
    // Closed before the folder goes: Windows removes no file that is open.
    std::ifstream in(dir / "out.xml", std::ios::binary);
    out.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  fs::remove_all(dir);
  return out;
}

struct Record {
  std::string code;
  std::vector<std::pair<std::string, std::string>> leaves;  // name, text

  // The text of the leaf `name`; a test failure when the record lacks it.
  std::string Text(const std::string& name) const {
    for (const auto& [n, t] : leaves)
      if (n == name) return t;
    ADD_FAILURE() << code << " has no leaf " << name;
    return "<missing>";
  }
};

// Splits the records at depth 2 and their leaves at depth 3. Lines of other
// depths (DATA itself) are skipped; a malformed line is a test failure.
inline std::vector<Record> ParseRecords(const std::string& bytes) {
  std::vector<Record> records;
  size_t pos = 0;
  while (pos < bytes.size()) {
    const size_t end = bytes.find("\r\n", pos);
    if (end == std::string::npos) {
      ADD_FAILURE() << "line without CR LF at byte " << pos;
      break;
    }
    const std::string line = bytes.substr(pos, end - pos);
    pos = end + 2;
    if (line.rfind("\t\t\t<", 0) == 0) {
      const size_t close = line.find('>');
      const std::string name = line.substr(4, close - 4);
      const std::string endTag = "</" + name + ">";
      if (records.empty() || line.size() < endTag.size() ||
          line.compare(line.size() - endTag.size(), endTag.size(), endTag) != 0) {
        ADD_FAILURE() << "malformed leaf: " << line;
        continue;
      }
      records.back().leaves.emplace_back(name, line.substr(close + 1, line.size() - endTag.size() - close - 1));
    } else if (line.rfind("\t\t</", 0) == 0) {
      if (records.empty() || line != "\t\t</" + records.back().code + ">") ADD_FAILURE() << "stray end tag: " << line;
    } else if (line.rfind("\t\t<", 0) == 0) {
      records.push_back({line.substr(3, line.size() - 4), {}});
    }
  }
  return records;
}

inline const Record& Find(const std::vector<Record>& records, const std::string& code) {
  for (const Record& r : records)
    if (r.code == code) return r;
  ADD_FAILURE() << "no record " << code;
  static const Record none;
  return none;
}

inline constexpr int64_t Yen(int64_t yen) { return yen * 10000; }

}  // namespace report_data_test
