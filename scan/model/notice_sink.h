#pragma once
// Where a run's notices go as they arise: a message box in the window,
// standard error on the command line, a list in the tests.
#include <string_view>

namespace segd {

enum class NoticeKind { Plain, Warning };

class NoticeSink {
 public:
  virtual ~NoticeSink() = default;
  // Shows a notice and returns when it is dismissed. An empty caption is left
  // to the sink.
  virtual void ShowNotice(std::string_view text, std::string_view caption, NoticeKind kind) = 0;
};

}  // namespace segd
