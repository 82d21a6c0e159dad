#include "platform/DriveMap.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/AsciiCase.h"
#include "platform/Encoding.h"

namespace platform {

namespace {

constexpr char kDefaultCFolder[] = "/.taxbridge/drive_c";
constexpr char kUserMapFile[] = "/.taxbridge/drives";

std::string Resolved(const std::string& path) {
  char buf[PATH_MAX];
  if (::realpath(path.c_str(), buf) == nullptr) return {};
  return buf;
}

// Splits a map line into words; a word may be quoted with double quotes so
// that it can hold blanks. False on an unterminated quote.
bool SplitWords(std::string_view line, std::vector<std::string>* words) {
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) break;
    std::string word;
    if (line[i] == '"') {
      const size_t end = line.find('"', i + 1);
      if (end == std::string_view::npos) return false;
      word = std::string(line.substr(i + 1, end - i - 1));
      i = end + 1;
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t') word += line[i++];
    }
    words->push_back(std::move(word));
  }
  return true;
}

std::optional<DriveType> TypeNamed(std::string_view word) {
  static constexpr std::array<std::pair<std::string_view, DriveType>, 6> kTypes{{
      {"unknown", DriveType::kUnknown},
      {"removable", DriveType::kRemovable},
      {"fixed", DriveType::kFixed},
      {"remote", DriveType::kRemote},
      {"cdrom", DriveType::kCdRom},
      {"ramdisk", DriveType::kRamDisk},
  }};
  for (const auto& [name, type] : kTypes) {
    if (EqualsIgnoringAsciiCase(word, name)) return type;
  }
  return std::nullopt;
}

// Reads the root word of a line: "X:" or "\\server\share" (also with "/").
bool ParseRoot(std::string_view word, DriveMapping* m, std::string* why) {
  if (word.size() == 2 && word[1] == ':' && std::isalpha(static_cast<unsigned char>(word[0]))) {
    m->letter = AsciiUpper(word[0]);
    return true;
  }
  auto sep = [](char c) { return c == '\\' || c == '/'; };
  if (word.size() > 2 && sep(word[0]) && sep(word[1])) {
    std::string_view rest = word.substr(2);
    size_t cut = 0;
    while (cut < rest.size() && !sep(rest[cut])) ++cut;
    std::string_view server = rest.substr(0, cut);
    std::string_view share = cut < rest.size() ? rest.substr(cut + 1) : std::string_view();
    while (!share.empty() && sep(share.back())) share.remove_suffix(1);
    if (server.empty() || share.empty() || std::any_of(share.begin(), share.end(), sep)) {
      *why = "a share is written \\\\server\\share";
      return false;
    }
    auto server_cp = Utf8ToCp932(server);
    auto share_cp = Utf8ToCp932(share);
    if (!server_cp || !share_cp) {
      *why = "the share's name has characters that code page 932 cannot hold";
      return false;
    }
    m->server = *server_cp;
    m->share = *share_cp;
    m->type = DriveType::kRemote;
    return true;
  }
  *why = "the first word must be a drive (C:) or a share (\\\\server\\share), not \"" + std::string(word) + "\"";
  return false;
}

}  // namespace

std::string DriveMapping::WindowsRoot() const {
  if (letter != 0) return std::string(1, letter) + ":";
  return "\\\\" + server + "\\" + share;
}

std::string NormaliseHostPath(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t i = 0;
  while (i < path.size()) {
    size_t j = path.find('/', i);
    if (j == std::string_view::npos) j = path.size();
    std::string_view part = path.substr(i, j - i);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = j + 1;
  }
  std::string out;
  for (std::string_view part : parts) {
    out += '/';
    out += part;
  }
  return out.empty() ? "/" : out;
}

DriveMap DriveMap::Defaults(std::string_view home) {
  DriveMap map;
  if (!home.empty() && home[0] == '/') {
    DriveMapping c;
    c.letter = 'C';
    c.hostRoot = NormaliseHostPath(std::string(home) + kDefaultCFolder);
    c.realRoot = Resolved(c.hostRoot);
    map.Put(std::move(c));
  }
  DriveMapping z;
  z.letter = 'Z';
  z.hostRoot = std::string(1, '/');  // not = "/": GCC 12 warns falsely (-Wrestrict) on that at -O2
  z.realRoot = z.hostRoot;
  map.Put(std::move(z));
  return map;
}

void DriveMap::Remove(const DriveMapping& like) {
  std::erase_if(mappings_, [&](const DriveMapping& m) {
    if (like.letter != 0) return m.letter == like.letter;
    return m.letter == 0 && EqualsIgnoringAsciiCase(m.server, like.server) &&
           EqualsIgnoringAsciiCase(m.share, like.share);
  });
}

void DriveMap::Put(DriveMapping mapping) {
  Remove(mapping);
  mappings_.push_back(std::move(mapping));
  std::stable_sort(mappings_.begin(), mappings_.end(), [](const DriveMapping& a, const DriveMapping& b) {
    const bool a_drive = a.letter != 0;
    const bool b_drive = b.letter != 0;
    if (a_drive != b_drive) return a_drive;
    return a_drive && a.letter < b.letter;
  });
}

std::optional<DriveMap> DriveMap::Parse(std::string_view text, const DriveMap& base, std::string* error) {
  DriveMap map = base;
  size_t line_no = 0;
  size_t pos = 0;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") pos = 3;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++line_no;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    auto fail = [&](const std::string& why) {
      if (error) *error = "line " + std::to_string(line_no) + ": " + why;
      return std::nullopt;
    };
    std::vector<std::string> words;
    if (!SplitWords(line, &words)) return fail("a quote is not closed");
    if (words.empty() || words[0][0] == '#' || words[0][0] == ';') continue;

    DriveMapping m;
    std::string why;
    if (!ParseRoot(words[0], &m, &why)) return fail(why);
    if (words.size() < 2) return fail("the Linux folder for " + words[0] + " is missing");
    if (words[1] == "none") {
      if (words.size() > 2) return fail("nothing may follow \"none\"");
      map.Remove(m);
      continue;
    }
    std::string folder = words[1];
    if (folder == "~" || folder.starts_with("~/")) {
      const char* home = std::getenv("HOME");
      if (home == nullptr || home[0] != '/') return fail("\"~\" is used but HOME is not set");
      folder = home + folder.substr(1);
    }
    if (folder.empty() || folder[0] != '/') return fail("the Linux folder must be an absolute path: " + words[1]);
    m.hostRoot = NormaliseHostPath(folder);
    m.realRoot = Resolved(m.hostRoot);
    for (size_t w = 2; w < words.size(); ++w) {
      if (auto type = TypeNamed(words[w])) {
        m.type = *type;
      } else if (words[w] == "readonly") {
        m.readOnly = true;
      } else {
        return fail("unknown word \"" + words[w] +
                    "\" (types: fixed, removable, remote, cdrom, ramdisk, unknown; flag: readonly)");
      }
    }
    map.Put(std::move(m));
  }
  return map;
}

std::optional<DriveMap> DriveMap::FromEnvironment(std::string* error) {
  // Only an absolute HOME counts: an unset or relative one gives no C: and
  // no per-user map, never a path relative to the current folder.
  const char* home_env = std::getenv("HOME");
  const std::string home = home_env != nullptr && home_env[0] == '/' ? home_env : "";
  DriveMap defaults = Defaults(home);

  std::string file;
  if (const char* named = std::getenv("TAXBRIDGE_DRIVES"); named != nullptr && named[0] != '\0') {
    file = named;
  } else if (!home.empty()) {
    struct stat st;
    const std::string user_file = home + kUserMapFile;
    if (::stat(user_file.c_str(), &st) == 0) file = user_file;
  }

  DriveMap map = defaults;
  if (!file.empty()) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      if (error) *error = "cannot read the drive map " + file + ": " + std::strerror(errno);
      return std::nullopt;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::string why;
    auto parsed = Parse(text.str(), defaults, &why);
    if (!parsed) {
      if (error) *error = "drive map " + file + ", " + why;
      return std::nullopt;
    }
    map = std::move(*parsed);
  }

  // The per-user C: folder exists from the first run on, as a fresh Wine
  // prefix has its drive_c.
  if (const DriveMapping* c = map.Drive('C'); c != nullptr && !home.empty() &&
                                              c->hostRoot == NormaliseHostPath(home + kDefaultCFolder)) {
    const std::string parent = NormaliseHostPath(home + "/.taxbridge");
    ::mkdir(parent.c_str(), 0700);
    ::mkdir(c->hostRoot.c_str(), 0700);
    DriveMapping fresh = *c;
    fresh.realRoot = Resolved(fresh.hostRoot);
    map.Put(std::move(fresh));
  }
  return map;
}

const DriveMapping* DriveMap::Drive(char letter) const {
  const char want = AsciiUpper(letter);
  for (const DriveMapping& m : mappings_) {
    if (m.letter != 0 && m.letter == want) return &m;
  }
  return nullptr;
}

const DriveMapping* DriveMap::Share(std::string_view server, std::string_view share) const {
  for (const DriveMapping& m : mappings_) {
    if (m.letter == 0 && EqualsIgnoringAsciiCase(m.server, server) && EqualsIgnoringAsciiCase(m.share, share)) {
      return &m;
    }
  }
  return nullptr;
}

const DriveMapping* DriveMap::Covering(std::string_view host_path, std::string* rest) const {
  const DriveMapping* best = nullptr;
  size_t best_len = 0;
  std::string_view best_rest;
  for (const DriveMapping& m : mappings_) {
    for (const std::string* root : {&m.hostRoot, &m.realRoot}) {
      if (root->empty()) continue;
      std::string_view below;
      if (*root == "/") {
        below = host_path.substr(1);
      } else if (host_path == *root) {
        below = {};
      } else if (host_path.starts_with(*root) && host_path[root->size()] == '/') {
        below = host_path.substr(root->size() + 1);
      } else {
        continue;
      }
      if (best == nullptr || root->size() > best_len) {
        best = &m;
        best_len = root->size();
        best_rest = below;
      }
    }
  }
  if (best != nullptr && rest != nullptr) *rest = std::string(best_rest);
  return best;
}

}  // namespace platform
