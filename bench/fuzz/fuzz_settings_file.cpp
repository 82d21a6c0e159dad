// The settings file: whatever the file holds, reading any key and writing one
// entry work, the entry reads back, and no temporary file stays.
#include <string>

#include "bench/fuzz/FuzzMain.h"
#include "dialog/SettingsFile.h"
#include "tests/dialog/FakeFileSystem.h"

void FuzzOne(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  dialog::testing::FakeFileSystem fs;
  fs.dirs.insert("C:\\Env");
  fs.files["C:\\Env\\taxbridge_plus.env"] = text;
  dialog::SettingsFile file(fs, "C:\\Env\\", "taxbridge_plus.env");
  for (const char* user : {"001", "1", "0"}) file.Read({user, 1, 1});
  dialog::ParseSettingsValue(text);
  const dialog::SettingsEntry entry{1, 4, 3, "C:\\out\\tax.xml"};
  FUZZ_CHECK(file.Write({"001", 1, 1}, entry));
  const auto back = file.Read({"001", 1, 1});
  FUZZ_CHECK(back && back->outputPath == entry.outputPath && back->startMonth == 4 && back->endMonth == 3);
  FUZZ_CHECK(fs.files.size() == 1);
}
