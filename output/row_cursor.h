#pragma once
// Writes a row's bytes through a pointer into room made ahead in the string,
// instead of growing the string byte by byte and cell by cell (a capacity
// check and a call per comma and per cell made up most of a data row's
// cost). Each cell asks for its room once (Room), then puts its bytes
// unchecked. A cell that needs the general text conversion goes through
// Through, which hands the string itself to the conversion.
//
//   RowCursor c(out);
//   c.Room(text.size() + 1); c.Put(','); c.Put(text);
//   c.Through([&](std::string& s) { AppendCsvField(s, text, Source::Record); });
//   c.Done();  // the string ends after the last byte put
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace segd::output {

class RowCursor {
 public:
  explicit RowCursor(std::string& out) : out_(out), start_(out.size()) { Grow(start_, kStep); }
  RowCursor(const RowCursor&) = delete;
  RowCursor& operator=(const RowCursor&) = delete;

  // Makes room for `n` more bytes.
  void Room(std::size_t n) {
    if (static_cast<std::size_t>(end_ - p_) < n) Grow(Size(), n);
  }
  // Each put writes its bytes first and moves the pointer after: a byte
  // written through a char pointer could be the pointer itself, so the other
  // order would make the compiler read it back after every byte.
  void Put(char c) {
    char* const p = p_;
    *p = c;
    p_ = p + 1;
  }
  void Put(std::string_view s) {
    // Most cells are short: a copy of a known size is a few moves, a copy
    // of any size a call.
    switch (s.size()) {
      case 0: return;
      case 1: Put(s[0]); return;
      case 2: Copy<2>(s); return;
      case 3: Copy<3>(s); return;
      case 4: Copy<4>(s); return;
      case 5: Copy<5>(s); return;
      case 6: Copy<6>(s); return;
      case 7: Copy<7>(s); return;
      case 8: Copy<8>(s); return;
      case 9: case 10: case 11: case 12: case 13: case 14: case 15: case 16: {
        // Two 8-byte copies that overlap in the middle.
        char* const p = p_;
        std::memcpy(p, s.data(), 8);
        std::memcpy(p + s.size() - 8, s.data() + s.size() - 8, 8);
        p_ = p + s.size();
        return;
      }
      default: {
        char* const p = p_;
        std::memcpy(p, s.data(), s.size());
        p_ = p + s.size();
      }
    }
  }
  // Bytes put since the cursor began.
  std::size_t Written() const { return Size() - start_; }
  template <class Append>
  void Through(Append append) {
    out_.resize(Size());
    append(out_);
    Grow(out_.size(), kStep);
  }
  void Done() { out_.resize(Size()); }

 private:
  static constexpr std::size_t kStep = 256;

  std::size_t Size() const { return static_cast<std::size_t>(p_ - out_.data()); }
  template <std::size_t N>
  void Copy(std::string_view s) {
    char* const p = p_;
    std::memcpy(p, s.data(), N);
    p_ = p + N;
  }
  // Room for at least `n` bytes after the `at` bytes put (the string's
  // bytes past them are scratch until Done).
  void Grow(std::size_t at, std::size_t n) {
    out_.resize(at + (n > kStep ? n : kStep) + (at - start_));
    p_ = out_.data() + at;
    end_ = out_.data() + out_.size();
  }

  std::string& out_;
  const std::size_t start_;
  char* p_ = nullptr;
  char* end_ = nullptr;
};

}  // namespace segd::output
