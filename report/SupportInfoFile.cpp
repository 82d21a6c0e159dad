#include "report/SupportInfoFile.h"

#include <cstring>
#include <new>
#include <utility>

#include "platform/ShiftJis.h"
#include "report/SupportInfoSource.h"

namespace report {
namespace {

constexpr char kProductNameTag[] = "[=製品名=]";
constexpr char kProductVersionTag[] = "[=製品ﾊﾞｰｼﾞｮﾝ=]";
constexpr const char* kMultiLineTags[] = {"[=お問い合わせ内容=]", "[=症状が再現する手順や条件=]"};

constexpr uint8_t kFill = 0xFF;
constexpr uint8_t kEndOfFile = 0x1A;

std::string_view View(const uint8_t* block, size_t size) {
  return std::string_view(reinterpret_cast<const char*>(block), size);
}

// Character-wise search, so that a tag is never taken to start at the second
// byte of a double-byte character. Only places where the whole tag lies
// inside the block count.
size_t FindTag(std::string_view block, std::string_view tag, size_t from) {
  for (size_t i = 0; i < block.size(); i += platform::sjis::CharLength(block, i)) {
    if (i < from) continue;
    if (tag.size() <= block.size() - i && block.compare(i, tag.size(), tag) == 0) return i;
  }
  return std::string_view::npos;
}

// Restores the line breaks of one several-line text that starts at `pos`: the
// walk ends at the first 0xFF byte (which becomes NUL) or at the next tag
// (whose line end stays NUL).
void RestoreLineBreaks(uint8_t* block, size_t size, size_t pos) {
  const std::string_view view = View(block, size);
  size_t i = pos;
  while (i < size) {
    if (block[i] == kFill) {
      block[i] = 0;
      return;
    }
    if (block[i] == '[' && i + 1 < size && block[i + 1] == '=') {
      for (size_t k = (i >= pos + 2 ? i - 2 : pos); k < i; ++k) block[k] = 0;
      return;
    }
    if (block[i] == 0 && i + 1 < size && block[i + 1] == 0) {
      block[i] = '\r';
      block[i + 1] = '\n';
      i += 2;
      continue;
    }
    i += platform::sjis::CharLength(view, i);
  }
}

}  // namespace

void PrepareSupportBlock(uint8_t* block, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    if (block[i] == '\r' && i + 1 < size && block[i + 1] == '\n') {
      block[i] = 0;
      block[i + 1] = 0;
      ++i;
    } else if (block[i] == kEndOfFile) {
      block[i] = 0;
    }
  }
  for (const char* tag : kMultiLineTags) {
    const std::string_view t(tag);
    for (size_t at = FindTag(View(block, size), t, 0); at != std::string_view::npos;
         at = FindTag(View(block, size), t, at + t.size())) {
      RestoreLineBreaks(block, size, at + t.size());
    }
  }
}

SupportInfoFile::SupportInfoFile(std::string folderPrefix) : folderPrefix_(std::move(folderPrefix)) {}

SupportInfoFile::~SupportInfoFile() = default;

bool SupportInfoFile::AllocateBlock() {
  block_.reset(new (std::nothrow) uint8_t[kBlockSize]);
  if (!block_) {
    ShowSupportInfoOutOfMemory();
    return false;
  }
  std::memset(block_.get(), kFill, kBlockSize);
  dataLength_ = 0;
  return true;
}

int SupportInfoFile::Load() {
  if (block_) return 1;
  if (!AllocateBlock()) return 0;
  std::string data;
  // A file that does not open leaves the block as it is: loaded, nothing to find.
  if (!ReadSupportInfo(folderPrefix_ + kFileName, kBlockSize, data)) return 1;
  dataLength_ = std::min(data.size(), kBlockSize);
  std::memcpy(block_.get(), data.data(), dataLength_);
  PrepareSupportBlock(block_.get(), kBlockSize);
  return 1;
}

int SupportInfoFile::LoadBytes(std::string_view data) {
  if (!AllocateBlock()) return 0;
  dataLength_ = std::min(data.size(), kBlockSize);
  std::memcpy(block_.get(), data.data(), dataLength_);
  PrepareSupportBlock(block_.get(), kBlockSize);
  return 1;
}

std::string_view SupportInfoFile::Block() const {
  return block_ ? View(block_.get(), kBlockSize) : std::string_view();
}

std::string SupportInfoFile::TagValue(std::string_view tag) {
  if (!Load()) return std::string();
  const std::string_view data = View(block_.get(), dataLength_);
  const size_t at = FindTag(data, tag, 0);
  if (at == std::string_view::npos) return std::string();
  const std::string_view rest = data.substr(at + tag.size());
  return std::string(rest.substr(0, rest.find('\0')));
}

std::string SupportInfoFile::ProductName() { return TagValue(kProductNameTag); }

std::string SupportInfoFile::ProductVersion() { return TagValue(kProductVersionTag); }

}  // namespace report
