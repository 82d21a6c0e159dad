// What every platform's file system shares: the status texts, and the calls
// built on the interface's own.
#include "platform/FileSystem.h"

#include "platform/ShiftJis.h"

namespace platform {

const char* Describe(PathStatus status) {
  switch (status) {
    case PathStatus::kOk: return "done";
    case PathStatus::kFileNotFound: return "the file or folder does not exist";
    case PathStatus::kPathNotFound: return "a folder on the path does not exist";
    case PathStatus::kAlreadyExists: return "it already exists";
    case PathStatus::kAccessDenied: return "access is denied";
    case PathStatus::kNotEmpty: return "the folder is not empty";
    case PathStatus::kInvalidName: return "the path is not a usable Windows path";
    case PathStatus::kNoDrive: return "the drive or share does not exist or is not in the drive map";
    case PathStatus::kFailed: return "the operation failed";
  }
  return "the operation failed";
}

WindowsPath FileSystem::ProgramFolder() {
  WindowsPath file = ProgramFilePath();
  if (!file.ok()) return file;
  const size_t last = sjis::FindLastChar(file.path, '\\');
  file.path.resize(last + 1);  // a program's path always holds its root's "\"
  return file;
}

PathStatus FileSystem::WriteFileAtomically(std::string_view path, std::string_view bytes) {
  std::unique_ptr<Replacement> replacement;
  PathStatus status = BeginReplacing(path, &replacement);
  if (status == PathStatus::kOk) status = replacement->Write(bytes);
  if (status == PathStatus::kOk) status = replacement->Flush();
  if (status == PathStatus::kOk) status = replacement->Close();
  if (status == PathStatus::kOk) status = replacement->Commit();
  return status;  // an uncommitted replacement removes its new file as it goes
}

}  // namespace platform
