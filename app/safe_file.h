#pragma once
// A file that appears under its name only when it is whole: written into a
// new temporary file in the same folder, then moved over the name. An earlier
// file of that name stays untouched by a failed write. The one place the
// batch's outputs are created, to be swapped for the report's own safe sink.
#include <cstdio>
#include <string>
#include <string_view>

#include "scan/report_writer.h"

namespace segd::app {

class SafeFile final : public ByteSink {
 public:
  explicit SafeFile(std::string path);
  ~SafeFile() override;  // removes the temporary file unless committed
  SafeFile(const SafeFile&) = delete;
  SafeFile& operator=(const SafeFile&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  bool Write(std::string_view bytes);
  bool Write(const char* data, std::size_t size) override { return Write(std::string_view(data, size)); }
  bool Close() override { return Commit(); }
  // Flushes, closes and moves the file over its name; false (and nothing
  // moved) when any write failed.
  bool Commit();
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  std::string temporary_;
  std::FILE* file_ = nullptr;
  bool ok_ = true;
};

}  // namespace segd::app
