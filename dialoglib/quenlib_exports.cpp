// The six exports of Quenlib.dll, in the calling convention of a Visual Basic
// Declare: __stdcall, texts as BSTRs of 8-bit text (by reference: the address
// of the caller's variable, which may be replaced; by value: taken over and
// released here), singles by value and by reference, a single result.
// No exception leaves the DLL: a failure gives the empty text or 0.
#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <string>

#include "dialoglib/bstr_text.h"
#include "dialoglib/colour_step.h"
#include "dialoglib/file_dialogs.h"
#include "output/report/padout.h"

namespace {

using segd::BstrBytes;
using segd::MakeBstr;
using segd::OwnedBstr;
using segd::StoreBstr;

std::string ReadVariable(const BSTR* variable) {
  return variable == nullptr ? std::string() : BstrBytes(*variable);
}

// SHOWOPEN and SHOWSAVE: the caller's filter and initial folder variables are
// replaced only when the dialog procedure changed them.
template <typename Show>
BSTR ShowFileExport(HWND owner, BSTR* filter, BSTR* caption, BSTR* initialFolder, Show show) {
  try {
    const std::string oldFilter = ReadVariable(filter);
    const std::string oldFolder = ReadVariable(initialFolder);
    std::string newFilter = oldFilter;
    std::string newFolder = oldFolder;
    const std::string chosen = show(owner, newFilter, ReadVariable(caption), newFolder);
    if (newFilter != oldFilter) StoreBstr(filter, newFilter);
    if (newFolder != oldFolder) StoreBstr(initialFolder, newFolder);
    return MakeBstr(chosen).Release();
  } catch (...) {
    return nullptr;
  }
}

}  // namespace

extern "C" {

BSTR __stdcall SHOWOPEN(HWND owner, BSTR* filter, BSTR* caption, BSTR* initialFolder) {
  return ShowFileExport(owner, filter, caption, initialFolder,
                        [](HWND o, std::string& f, const std::string& c, std::string& d) {
                          return segd::ShowOpen(o, f, c, d);
                        });
}

BSTR __stdcall SHOWSAVE(HWND owner, BSTR* filter, BSTR* caption, BSTR* initialFolder) {
  return ShowFileExport(owner, filter, caption, initialFolder,
                        [](HWND o, std::string& f, const std::string& c, std::string& d) {
                          return segd::ShowSave(o, f, c, d);
                        });
}

int32_t __stdcall GETMULTIPLEFILES(HWND owner, BSTR initialFolder, BSTR* paths) {
  const OwnedBstr folder(initialFolder);  // by value: ours to release
  try {
    std::string list = ReadVariable(paths);
    const int32_t count = segd::GetMultipleFiles(owner, BstrBytes(folder.Get()), list);
    if (count != 0) StoreBstr(paths, list);
    return count;
  } catch (...) {
    return 0;
  }
}

int32_t __stdcall HLSTORGB(float hue, float lightness, float saturation) {
  return segd::HlsToRgb(hue, lightness, saturation);
}

float __stdcall CHOOSESTEP(float* first, float* second) {
  return segd::ChooseStep(first != nullptr ? *first : 0.0f, second != nullptr ? *second : 0.0f);
}

BSTR __stdcall PADOUT(BSTR* text, int32_t* width) {
  try {
    const std::string padded = segd::PadOut(ReadVariable(text), width != nullptr ? *width : 0);
    StoreBstr(text, padded);
    return MakeBstr(padded).Release();
  } catch (...) {
    return nullptr;
  }
}

}  // extern "C"
