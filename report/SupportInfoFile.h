// SupportInfoFile: the reader of "SUPPORT.INF", the support information file
// that the accounting product's installer puts beside the program.
//
// The file is Shift_JIS text with CR LF line ends, possibly ended by a 0x1A
// byte. A field is a tag "[=" name "=]" directly followed by its value, which
// runs to the end of its line. Two tags are read: the product name
// "[=製品名=]" and the product version "[=製品ﾊﾞｰｼﾞｮﾝ=]". Two further tags
// ("[=お問い合わせ内容=]", "[=症状が再現する手順や条件=]") hold texts of several
// lines whose line breaks survive loading.
//
// The file is loaded once, on first use, into a block of 30000 bytes filled
// with 0xFF: line ends and 0x1A become NUL bytes, so every value ends at a NUL
// (or at the end of the file's data). A file that is missing or unreadable is
// no failure: both texts are then empty and the caller writes its defaults.
// The reader lives only while the SYSTEM section is written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace report {

class SupportInfoFile {
 public:
  static constexpr size_t kBlockSize = 30000;
  static constexpr char kFileName[] = "SUPPORT.INF";

  // `folderPrefix` is put before "SUPPORT.INF" as it is; empty looks the file
  // up in the current directory (which the run has made the program's folder).
  explicit SupportInfoFile(std::string folderPrefix = "");
  ~SupportInfoFile();
  SupportInfoFile(const SupportInfoFile&) = delete;
  SupportInfoFile& operator=(const SupportInfoFile&) = delete;

  // Loads the file once. 1 when the block exists (even if the file was missing
  // and the block holds nothing to find), 0 when no memory could be had for it.
  int Load();
  // Loads `data` (at most kBlockSize bytes are taken) as if read from the file.
  int LoadBytes(std::string_view data);

  // The values of the two tags; empty when the tag is absent, its value is
  // empty, or the file could not be loaded.
  std::string ProductName();
  std::string ProductVersion();

  // The block as loaded, for inspection.
  std::string_view Block() const;

 private:
  bool AllocateBlock();
  std::string TagValue(std::string_view tag);

  std::string folderPrefix_;
  std::unique_ptr<uint8_t[]> block_;
  size_t dataLength_ = 0;
};

// Turns raw file bytes in `block` (the first `dataLength` bytes, the rest
// 0xFF) into the loaded form: every CR directly followed by LF becomes two NUL
// bytes, every 0x1A a NUL, and inside the texts of the several-line tags the
// line ends become CR LF again.
void PrepareSupportBlock(uint8_t* block, size_t size);

}  // namespace report
