#pragma once
// OLE automation strings holding 8-bit text, as the callers of Quenlib.dll
// pass them: the length is the byte count, a null string is the empty text.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>

namespace segd {

// Owns one BSTR and releases it with SysFreeString.
class OwnedBstr {
 public:
  OwnedBstr() = default;
  explicit OwnedBstr(BSTR text) noexcept : text_(text) {}
  OwnedBstr(OwnedBstr&& other) noexcept : text_(other.Release()) {}
  OwnedBstr& operator=(OwnedBstr&& other) noexcept {
    Reset(other.Release());
    return *this;
  }
  OwnedBstr(const OwnedBstr&) = delete;
  OwnedBstr& operator=(const OwnedBstr&) = delete;
  ~OwnedBstr() { Reset(); }

  BSTR Get() const noexcept { return text_; }
  // Hands the string over to the caller, who releases it.
  BSTR Release() noexcept { return std::exchange(text_, nullptr); }
  void Reset(BSTR text = nullptr) noexcept {
    if (text_ != nullptr) SysFreeString(text_);
    text_ = text;
  }

 private:
  BSTR text_ = nullptr;
};

// The bytes of a string; a null string gives the empty text.
std::string BstrBytes(BSTR text);

// A new string holding `bytes` (null only when memory runs out).
OwnedBstr MakeBstr(std::string_view bytes);

// Puts a new string of `bytes` into the caller's variable and releases the
// string it held. A null variable address is ignored, and the variable is
// left alone when no new string could be made.
void StoreBstr(BSTR* variable, std::string_view bytes);

}  // namespace segd
