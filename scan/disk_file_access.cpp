#include <sys/stat.h>

#include "scan/decode_file.h"
#include "scan/threaded_sink.h"

namespace segd {

namespace {

#ifndef _WIN32
bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}
#else
// The record is open with other readers and writers denied, so creating a
// report over it fails by itself.
bool SameFile(const std::string&, const std::string&) { return false; }
#endif

}  // namespace

std::unique_ptr<ByteSource> DiskFileAccess::OpenRecord(const std::string& path) { return FileByteSource::Open(path); }

std::unique_ptr<ByteSink> DiskFileAccess::CreateReport(const std::string& reportPath, const std::string& recordPath) {
  if (SameFile(reportPath, recordPath)) return nullptr;
  return WithWriterThread(CreateFileSink(reportPath));
}

}  // namespace segd
