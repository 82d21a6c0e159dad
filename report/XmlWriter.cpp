#include "report/XmlWriter.h"

namespace report {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

bool Given(const char* name, const char* value) { return name != nullptr && *name != '\0' && value != nullptr; }

}  // namespace

XmlWriter::~XmlWriter() { CloseOutput(); }

int16_t XmlWriter::OpenOutput(platform::File* file, std::string_view path) {
  if (file == nullptr || path.empty()) {
    failed_ = false;
    Fail(file == nullptr ? "no file object was given for the output" : "no output path was given");
    return -1;
  }
  if (file_ != nullptr) CloseOutput();
  path_ = std::string(path);
  file_ = file;
  failed_ = false;
  lastError_.clear();
  platform::FileResult opened = file_->OpenForWrite(path_);
  if (!opened.ok()) {
    Fail(opened.message());
    return -1;
  }
  return 0;
}

int16_t XmlWriter::CloseOutput() {
  if (file_ == nullptr) return 0;
  platform::FileResult closed = file_->Close();
  file_ = nullptr;
  if (!closed.ok()) {
    Fail(closed.message());
    return -1;
  }
  return 0;
}

int XmlWriter::WriteRaw(std::string_view text) {
  if (file_ == nullptr) {
    Fail("no output file is attached");
    return 0;
  }
  platform::FileResult written = file_->Write(text);
  if (!written.ok()) {
    // The file is closed but stays attached: every later write fails too.
    Fail(written.message());
    file_->Close();
    return 0;
  }
  return 1;
}

int XmlWriter::WriteStartTag(std::string_view name, int depth, const char* attr1Name, const char* attr1Value,
                             const char* attr2Name, const char* attr2Value) {
  BeginLine(depth);
  line_ += '<';
  line_ += name;
  AppendAttributes(attr1Name, attr1Value, attr2Name, attr2Value);
  line_ += '>';
  line_ += kLineEnd;
  return WriteRaw(line_);
}

int XmlWriter::WriteElement(std::string_view name, std::string_view text, int depth, const char* attr1Name,
                            const char* attr1Value, const char* attr2Name, const char* attr2Value) {
  BeginLine(depth);
  line_ += '<';
  line_ += name;
  AppendAttributes(attr1Name, attr1Value, attr2Name, attr2Value);
  line_ += '>';
  AppendEscaped(line_, text);
  line_ += "</";
  line_ += name;
  line_ += '>';
  line_ += kLineEnd;
  return WriteRaw(line_);
}

int XmlWriter::WriteEndTag(std::string_view name, int depth) {
  BeginLine(depth);
  line_ += "</";
  line_ += name;
  line_ += '>';
  line_ += kLineEnd;
  return WriteRaw(line_);
}

std::string XmlWriter::EscapeText(std::string_view text) {
  std::string out;
  AppendEscaped(out, text);
  return out;
}

void XmlWriter::Fail(const std::string& message) {
  // The first failure is the one that explains the rest.
  if (!failed_) lastError_ = message;
  failed_ = true;
}

void XmlWriter::BeginLine(int depth) {
  line_.clear();
  if (depth > 0) line_.append(static_cast<size_t>(depth), '\t');
}

void XmlWriter::AppendAttributes(const char* attr1Name, const char* attr1Value, const char* attr2Name,
                                 const char* attr2Value) {
  if (!Given(attr1Name, attr1Value)) return;
  for (int i = 0; i < 2; ++i) {
    const char* name = i == 0 ? attr1Name : attr2Name;
    const char* value = i == 0 ? attr1Value : attr2Value;
    if (!Given(name, value)) break;
    line_ += ' ';
    line_ += name;
    line_ += "=\"";
    AppendEscaped(line_, value);
    line_ += '"';
  }
}

void XmlWriter::AppendEscaped(std::string& out, std::string_view text) {
  // Byte by byte is right for Shift_JIS: no trail byte takes any of these five values.
  for (char c : text) {
    switch (c) {
      case '\0': return;
      case '&': out += "&amp;"; break;
      case '>': out += "&gt;"; break;
      case '<': out += "&lt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += c; break;
    }
  }
}

}  // namespace report
