#include "dialoglib/bstr_text.h"

namespace segd {

std::string BstrBytes(BSTR text) {
  if (text == nullptr) return {};
  return std::string(reinterpret_cast<const char*>(text), SysStringByteLen(text));
}

OwnedBstr MakeBstr(std::string_view bytes) {
  // With a null source SysAllocStringByteLen leaves the bytes uninitialised,
  // so the empty text gets a real (empty) source too.
  return OwnedBstr(SysAllocStringByteLen(bytes.empty() ? "" : bytes.data(),
                                         static_cast<UINT>(bytes.size())));
}

void StoreBstr(BSTR* variable, std::string_view bytes) {
  if (variable == nullptr) return;
  OwnedBstr replacement = MakeBstr(bytes);
  if (replacement.Get() == nullptr) return;
  OwnedBstr old(*variable);
  *variable = replacement.Release();
}

}  // namespace segd
