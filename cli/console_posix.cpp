// The POSIX half of cli/console.h, and the viewer: xdg-open.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "cli/console.h"
#include "cli/terminal_sinks.h"
#include "output/files/temp_file_registry.h"

extern char** environ;

namespace segd::cli {

void PrepareConsole() {
  signal(SIGXFSZ, SIG_IGN);
  signal(SIGPIPE, SIG_IGN);
}

bool StderrIsTerminal() { return isatty(STDERR_FILENO) != 0; }

std::string CurrentFolder() {
  std::vector<char> buffer(4096);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (buffer.size() > (1u << 20)) return ".";
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

bool WriteStdout(const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(STDOUT_FILENO, data, size);
    if (written < 0 && errno == EINTR) continue;
    // The reader has gone (`| head -1`): it wants no more, which is no
    // failure of this run. Half-written files go, as on a signal.
    if (written < 0 && errno == EPIPE) {
      RemoveRegisteredTempFiles();
      _exit(0);
    }
    if (written <= 0) return false;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

void DesktopViewer::ViewReport(const std::string& path) {
  // Started directly, so that a missing opener is seen in the result, and
  // not waited for: in its own session, on /dev/null, with the signals this
  // program ignores or catches back to their defaults.
  posix_spawn_file_actions_t files;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&files);
  posix_spawnattr_init(&attributes);
  for (int fd = 0; fd <= 2; ++fd) posix_spawn_file_actions_addopen(&files, fd, "/dev/null", O_RDWR, 0);
  sigset_t defaults;
  sigemptyset(&defaults);
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGXFSZ}) sigaddset(&defaults, signal);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF);
  pid_t child = 0;
  char* const argv[] = {const_cast<char*>("xdg-open"), const_cast<char*>(path.c_str()), nullptr};
  const int started = posix_spawnp(&child, "xdg-open", &files, &attributes, argv, environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&files);
  if (started != 0) {
    notices_.ShowNotice("Cannot start the text viewer for " + path, "Viewer not found", NoticeKind::Warning);
  }
}

}  // namespace segd::cli
