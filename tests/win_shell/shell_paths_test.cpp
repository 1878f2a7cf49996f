// Program folder and the folder of a chosen file, Windows style.
#include <gtest/gtest.h>

#include "app/shell_paths.h"

namespace segd {
namespace {

TEST(FolderWithSeparator, AppendsOneSeparatorAndReducesDoubledOnes) {
  struct Case {
    const char* folder;
    const char* expected;
  };
  const Case cases[] = {
      {"C:\\work", "C:\\work\\"},
      {"C:\\", "C:\\"},
      {"Z:\\rec folder\\", "Z:\\rec folder\\"},
      {"C:\\a\\\\b", "C:\\a\\b\\"},
      {"\\\\server\\share", "\\\\server\\share\\"},
      {"", "\\"},
  };
  for (const Case& c : cases) EXPECT_EQ(FolderWithSeparator(c.folder), c.expected) << c.folder;
}

TEST(FolderOfPath, IsEverythingBeforeTheLastSeparatorKeepingADrivesRoot) {
  struct Case {
    const char* path;
    const char* expected;
  };
  const Case cases[] = {
      {"Z:\\rec folder\\shot 1.segd", "Z:\\rec folder"},
      {"C:\\shot.segd", "C:\\"},
      {"\\\\server\\share\\x.segd", "\\\\server\\share"},
      {"shot.segd", ""},
      {"/tmp/x/shot.segd", "/tmp/x"},
  };
  for (const Case& c : cases) EXPECT_EQ(FolderOfPath(c.path), c.expected) << c.path;
}

}  // namespace
}  // namespace segd
