#pragma once
// A record given as '-' (zcat shot.segd.gz | segdreport -): standard input
// copied in 1 MiB pieces to a temporary file, which the scan then reads like
// any record (its walk seeks, and its size must be known). Memory stays at
// one piece whatever the record's size; the file goes when the run ends or
// is interrupted.
#include <memory>
#include <optional>
#include <string>

#include "output/files/temp_file_registry.h"

namespace segd::cli {

class StdinRecord {
 public:
  // nullopt with `error` set when standard input cannot be copied.
  static std::unique_ptr<StdinRecord> Copy(std::string& error);
  ~StdinRecord();
  const std::string& Path() const { return path_; }

 private:
  explicit StdinRecord(std::string path) : path_(std::move(path)), registered_(path_) {}
  std::string path_;
  RegisteredTempFile registered_;
};

}  // namespace segd::cli
