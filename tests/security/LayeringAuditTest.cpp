// The layering of the sources, checked on the sources and on CMakeLists.txt:
// the system's folders see only host/ declarations and platform/ interfaces
// (never the ledger stand-in, SQLite, POSIX, the terminal or Windows), every
// folder library links exactly the folders its sources include, and the
// libraries form no circle, so no folder includes one above it or one that
// includes it back.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The system's own folders: what the home platform does not give.
const std::vector<std::string> kSystemFolders = {"app", "aggregate", "dialog", "report", "host", "resources"};

struct Library {
  std::string folder;
  std::vector<std::string> excluded;  // sub-folders left to their own libraries
  std::set<std::string> links;        // the project's own libraries it links
};

std::string ReadText(const fs::path& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every taxbridge_folder_library(name folder [EXCLUDE ...] [LIBS ...]) of the
// top-level CMakeLists.txt.
std::map<std::string, Library> FolderLibraries() {
  const std::string cmake = ReadText(fs::path(TAXBRIDGE_SOURCE_DIR) / "CMakeLists.txt");
  const std::regex call(R"(\ntaxbridge_folder_library\(([^)]*)\))");
  std::map<std::string, Library> libraries;
  for (auto it = std::sregex_iterator(cmake.begin(), cmake.end(), call); it != std::sregex_iterator(); ++it) {
    std::istringstream words((*it)[1].str());
    std::string name, word, mode;
    words >> name;
    Library library;
    words >> library.folder;
    while (words >> word) {
      if (word == "EXCLUDE" || word == "LIBS") {
        mode = word;
      } else if (mode == "EXCLUDE") {
        library.excluded.push_back(word);
      } else if (mode == "LIBS" && word.starts_with("tb_")) {
        library.links.insert(word);
      }
    }
    libraries[name] = library;
  }
  return libraries;
}

// The library whose folder holds `path` (relative to the source root): the
// one with the longest folder that is not excluded.
std::string OwnerOf(const std::map<std::string, Library>& libraries, const std::string& path) {
  std::string owner;
  size_t best = 0;
  for (const auto& [name, library] : libraries) {
    if (!path.starts_with(library.folder + "/") || library.folder.size() <= best) continue;
    bool excluded = false;
    for (const std::string& ex : library.excluded) excluded = excluded || path.starts_with(ex + "/");
    if (excluded) continue;
    owner = name;
    best = library.folder.size();
  }
  return owner;
}

struct Include {
  std::string file;  // relative to the source root
  int line;
  std::string target;  // what is between the quotes or the angle brackets
  bool angled;
};

// The #include lines of every .cpp and .h below `folder`.
std::vector<Include> IncludesBelow(const std::string& folder) {
  std::vector<Include> found;
  const std::regex include(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
  for (const auto& e : fs::recursive_directory_iterator(fs::path(TAXBRIDGE_SOURCE_DIR) / folder)) {
    const std::string ext = e.path().extension().string();
    if (!e.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
    std::ifstream in(e.path());
    int number = 0;
    for (std::string line; std::getline(in, line);) {
      ++number;
      std::smatch m;
      if (std::regex_search(line, m, include))
        found.push_back({fs::relative(e.path(), TAXBRIDGE_SOURCE_DIR).string(), number, m[2].str(), m[1] == "<"});
    }
  }
  return found;
}

std::string At(const Include& i) { return "\n  " + i.file + ":" + std::to_string(i.line) + ": " + i.target; }

TEST(LayeringAudit, TheSystemSeesNeitherTheStandInsNorTheOperatingSystem) {
  // Headers of the operating system, the database and the terminal, and the
  // folders of the stand-ins and of the UI backends.
  const std::regex forbidden(
      R"(^(sqlite3\.h|unistd\.h|fcntl\.h|dirent\.h|pwd\.h|grp\.h|dlfcn\.h|pthread\.h|termios\.h|poll\.h|spawn\.h|)"
      R"(sys/.*|arpa/.*|netinet/.*|ncurses.*|curses\.h|term\.h|panel\.h|windows\.h|winuser\.h|shlobj\.h|)"
      R"(ledger/.*|tools/.*|platform/ui/tty/.*|platform/ui/script/.*|platform/ui/win32/.*|platform/entry/.*)$)");
  std::string hits;
  for (const std::string& folder : kSystemFolders)
    for (const Include& i : IncludesBelow(folder))
      if (std::regex_match(i.target, forbidden)) hits += At(i);
  EXPECT_EQ(hits, "");
}

TEST(LayeringAudit, EveryLibraryLinksExactlyTheFoldersItIncludes) {
  const std::map<std::string, Library> libraries = FolderLibraries();
  ASSERT_TRUE(libraries.contains("tb_app") && libraries.contains("tb_host") && libraries.contains("tb_ledger"))
      << "CMakeLists.txt no longer declares the folder libraries this audit reads";

  std::map<std::string, std::set<std::string>> included;  // library -> libraries its sources include
  std::string unlinked;
  for (const auto& [name, library] : libraries) {
    for (const Include& i : IncludesBelow(library.folder)) {
      if (i.angled || OwnerOf(libraries, i.file) != name) continue;
      const std::string target = OwnerOf(libraries, i.target);
      if (target.empty() || target == name) continue;
      // The ledger stand-in defines what host/ declares: it includes those
      // declarations as their implementation, and tb_host links it.
      if (name == "tb_ledger" && target == "tb_host") continue;
      included[name].insert(target);
      if (!library.links.contains(target)) unlinked += At(i) + "  (" + name + " does not link " + target + ")";
    }
  }
  EXPECT_EQ(unlinked, "");

  std::string unused;
  for (const auto& [name, library] : libraries)
    for (const std::string& link : library.links)
      if (!included[name].contains(link) && !(name == "tb_host" && link == "tb_ledger"))
        unused += "\n  " + name + " links " + link + " but includes nothing of it";
  EXPECT_EQ(unused, "");
}

TEST(LayeringAudit, NoFolderReachesBackToOneThatReachesIt) {
  const std::map<std::string, Library> libraries = FolderLibraries();
  // A depth-first walk over the links; a library met again while it is still
  // on the path closes a circle.
  std::map<std::string, int> state;  // 1 on the path, 2 done
  std::vector<std::string> path;
  std::string circles;
  std::function<void(const std::string&)> visit = [&](const std::string& name) {
    state[name] = 1;
    path.push_back(name);
    const auto it = libraries.find(name);
    if (it != libraries.end()) {
      for (const std::string& link : it->second.links) {
        if (state[link] == 1) {
          std::string circle;
          for (auto p = std::find(path.begin(), path.end(), link); p != path.end(); ++p) circle += *p + " -> ";
          circles += "\n  " + circle + link;
        } else if (state[link] == 0) {
          visit(link);
        }
      }
    }
    path.pop_back();
    state[name] = 2;
  };
  for (const auto& [name, library] : libraries)
    if (state[name] == 0) visit(name);
  EXPECT_EQ(circles, "");
}

}  // namespace
