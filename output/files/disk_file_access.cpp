#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "output/files/atomic_file.h"
#include "output/report/decode_file.h"
#include "output/files/threaded_sink.h"

namespace segd {

namespace {

constexpr char kIsTheRecord[] = "it is the record file";

#ifndef _WIN32
// The report's name entry is what the move would replace: the same entry or
// the same file as the record is refused, a link to the record is not.
bool NamesTheRecord(const std::string& report, const std::string& record) {
  struct stat entry {}, target {}, recordEntry {};
  if (::lstat(report.c_str(), &entry) != 0) return false;
  auto same = [&entry](const struct stat& other) { return entry.st_dev == other.st_dev && entry.st_ino == other.st_ino; };
  return (::stat(record.c_str(), &target) == 0 && same(target)) ||
         (::lstat(record.c_str(), &recordEntry) == 0 && same(recordEntry));
}

// Only a file or a link may be replaced: a folder, a pipe or a device at the
// report's name is left alone. Empty when the name may be used.
std::string RefusalOfEntry(const std::string& report) {
  struct stat entry {};
  if (::lstat(report.c_str(), &entry) != 0 || S_ISREG(entry.st_mode) || S_ISLNK(entry.st_mode)) return {};
  return S_ISDIR(entry.st_mode) ? SystemMessage(EISDIR) : "Not a regular file";
}
#else
// The record is open with other writers denied, so the move over it would
// fail; the names are compared first to say why.
bool NamesTheRecord(const std::string& report, const std::string& record) {
  char a[_MAX_PATH], b[_MAX_PATH];
  return _fullpath(a, report.c_str(), sizeof a) && _fullpath(b, record.c_str(), sizeof b) && _stricmp(a, b) == 0;
}

std::string RefusalOfEntry(const std::string& report) {
  struct _stati64 entry {};
  if (_stati64(report.c_str(), &entry) == 0 && (entry.st_mode & _S_IFMT) == _S_IFDIR) return SystemMessage(EISDIR);
  return {};
}
#endif

}  // namespace

std::unique_ptr<ByteSource> DiskFileAccess::OpenRecord(const std::string& path) {
  reason_.clear();
  return FileByteSource::Open(path, &reason_);
}

std::unique_ptr<ByteSink> DiskFileAccess::CreateReport(const std::string& reportPath, const std::string& recordPath) {
  reason_ = NamesTheRecord(reportPath, recordPath) ? kIsTheRecord : RefusalOfEntry(reportPath);
  if (!reason_.empty()) return nullptr;
  return WithWriterThread(CreateAtomicFileSink(reportPath, reason_));
}

}  // namespace segd
