// Reports written safely: the atomic file that replaces an earlier one only
// when whole, and the names a report may take. (The command line's tests
// run these through the program; the truncation sweep checks the notice of
// a record cut short.)
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "output/files/atomic_file.h"
#include "output/report/report_name.h"

namespace segd {
namespace {

namespace fs = std::filesystem;

struct Folder {
  fs::path path = fs::temp_directory_path() / ("segd-safe-" + std::to_string(::getpid()));
  Folder() {
    fs::remove_all(path);
    fs::create_directories(path);
  }
  ~Folder() { fs::remove_all(path); }
  std::size_t Entries() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(path), {})); }
};

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// What a sink's life leaves: committed or dropped, whole or failed, over a
// file or a link.
TEST(AtomicFileSink, ReplacesTheNameOnlyWhenCommittedWholeAndLeavesNoTemporaryFile) {
  struct Case {
    const char* what;
    bool linkAtName;  // the name is a link to another file
    bool commit;
    std::uint64_t sizeLimit;  // 0: none; else RLIMIT_FSIZE while writing
    bool replaced;
  };
  const Case cases[] = {
      {"committed over an earlier file", false, true, 0, true},
      {"dropped without commit", false, false, 0, false},
      {"committed over a link", true, true, 0, true},
      {"file-size limit reached", false, true, 4096, false},
  };
  const std::string earlier = "earlier report\r\n";
  const std::string fresh(10000, 'x');
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Folder folder;
    const fs::path name = folder.path / "Results.Txt", target = folder.path / "owned-by-root";
    WriteAll(c.linkAtName ? target : name, earlier);
    if (c.linkAtName) fs::create_symlink(target, name);
    std::string reason;
    auto sink = CreateAtomicFileSink(name.string(), reason);
    ASSERT_TRUE(sink) << reason;
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    if (c.sizeLimit) {
      signal(SIGXFSZ, SIG_IGN);
      rlimit limited = old;
      limited.rlim_cur = c.sizeLimit;
      setrlimit(RLIMIT_FSIZE, &limited);
    }
    const bool written = sink->Write(fresh.data(), fresh.size());
    if (c.sizeLimit) {
      setrlimit(RLIMIT_FSIZE, &old);
      signal(SIGXFSZ, SIG_DFL);
      EXPECT_FALSE(written);
      EXPECT_EQ(sink->FailureReason(), "File too large");
    }
    EXPECT_EQ(c.commit && sink->Commit(), c.replaced);
    sink.reset();
    EXPECT_EQ(fs::is_symlink(name), c.linkAtName && !c.replaced);
    EXPECT_EQ(ReadAll(name), c.replaced ? fresh : earlier);
    if (c.linkAtName) {
      EXPECT_EQ(ReadAll(target), earlier) << "the link's target is never written";
    }
    EXPECT_EQ(folder.Entries(), c.linkAtName ? 2u : 1u) << "a temporary file was left";
  }
}

TEST(AtomicFileSink, DevicesAreWrittenInPlaceLinksToThemReplacedAndFoldersRefused) {
  Folder folder;
  fs::create_symlink("/dev/null", folder.path / "null-link");
  fs::create_directory(folder.path / "sub");
  struct Case {
    fs::path target;
    bool created;
  } cases[] = {{"/dev/null", true}, {"/dev/stdout", true}, {folder.path / "null-link", true},
               {folder.path / "sub", false}};
  for (const Case& c : cases) {
    std::string reason;
    auto sink = CreateAtomicFileSink(c.target.string(), reason);
    ASSERT_EQ(sink != nullptr, c.created) << c.target;
    if (!sink) {
      EXPECT_EQ(reason, SystemMessage(EISDIR));
      continue;
    }
    EXPECT_TRUE(sink->Write("bytes\n", 6));
    EXPECT_TRUE(sink->Commit());
  }
  // Nothing was moved over the device or /dev/stdout; the link was replaced
  // by the file; no temporary file is left.
  EXPECT_TRUE(fs::is_character_file(fs::symlink_status("/dev/null")));
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status("/dev/stdout")));
  EXPECT_EQ(ReadAll(folder.path / "null-link"), "bytes\n");
  EXPECT_EQ(folder.Entries(), 2u);
}

TEST(ReportName, NamesThatLeaveTheFolderOrCannotNameAFileAreRefused) {
  struct Case {
    std::string name;
    bool onLinux;
    bool onWindows;
  };
  const Case cases[] = {
      {"results", true, true},        {"line 2b.txt", true, true},   {"a..b", true, true},
      {"..", false, false},           {"../escaped", false, false},  {"a/b", false, false},
      {"a\\b", false, false},         {"a\nb", false, false},        {"a\rb", false, false},
      {"tab\there", false, false},    {"del\x7f", false, false},     {"a:b", true, false},
      {"a<b", true, false},           {"a>b", true, false},          {"a\"b", true, false},
      {"a|b", true, false},           {"a?b", true, false},          {"a*b", true, false},
      {"con", true, false},           {"NUL.txt", true, false},      {"Aux.log", true, false},
      {"com1", true, false},          {"LPT9", true, false},         {"prn ", true, false},
      {"com10", true, true},          {"console", true, true},       {"r\xC3\xA9sum\xC3\xA9", true, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UsableReportName(c.name, '/'), c.onLinux) << c.name;
    EXPECT_EQ(UsableReportName(c.name, '\\'), c.onWindows) << c.name;
  }
}

TEST(ReportName, Utf8NamesAreCasedByCharacterAndOtherBytesByTheCodePage) {
  const std::pair<std::string, std::string> cases[] = {
      {"r\xC3\xA9sum\xC3\xA9", "R\xC3\xA9sum\xC3\xA9"},                      // résumé -> Résumé
      {"\xC3\x89T\xC3\x89 \xC3\xA0 nice.txt", "\xC3\x89t\xC3\xA9 \xC3\x80 Nice"},  // ÉTÉ à nice.txt
      {"\xC5\x93uvre \xC3\xBF", "\xC5\x92uvre \xC5\xB8"},                    // œuvre ÿ -> Œuvre Ÿ
      {"stra\xC3\x9F" "e", "Stra\xC3\x9F" "e"},                              // ß has no capital here
      {"\xCE\xB1\xCE\xB2" "c", "\xCE\xB1\xCE\xB2" "C"},                         // Greek unchanged, ends a word
      {"line 2b", "Line 2B"},
      {"\xE9t\xE9", "\xC9t\xE9"},                                            // not UTF-8: the byte rule
      {"\xC3\x28", "\xC3("},                                                 // a broken sequence likewise
  };
  for (const auto& [typed, base] : cases) {
    EXPECT_EQ(ReportBaseNameUtf8(typed), base) << typed;
    EXPECT_EQ(ReportPath("/data", typed, '/'), "/data/" + base + ".Txt") << typed;
  }
  EXPECT_EQ(ReportPath("C:\\Data", "r\xC3\xA9sum\xC3\xA9", '\\'), "C:\\Data\\R\xE3\xA9Sum\xE3\xA9.Txt")
      << "the Windows program keeps its code page rule";
}

}  // namespace
}  // namespace segd
