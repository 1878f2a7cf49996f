#include "shell/dialog_template_win.h"

#include <commctrl.h>

#include <string>
#include <string_view>

namespace segd {

namespace {

// Atoms of the predefined control classes in a dialog item template.
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kEditAtom = 0x0081;
constexpr WORD kStaticAtom = 0x0082;
constexpr std::wstring_view kProgressClass = L"msctls_progress32";

class TemplateWriter {
 public:
  void Word(WORD w) { words_.push_back(w); }
  void Dword(DWORD d) {
    Word(LOWORD(d));
    Word(HIWORD(d));
  }
  void Short(std::int16_t s) { Word(static_cast<WORD>(s)); }
  // An ANSI text as a NUL-terminated UTF-16 string.
  void Text(std::string_view text) {
    if (!text.empty()) {
      const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
      std::wstring wide(static_cast<std::size_t>(n), L'\0');
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
      for (wchar_t c : wide) Word(static_cast<WORD>(c));
    }
    Word(0);
  }
  void WideText(std::wstring_view text) {
    for (wchar_t c : text) Word(static_cast<WORD>(c));
    Word(0);
  }
  void AlignToDword() {
    if (words_.size() % 2 != 0) Word(0);
  }
  std::vector<WORD> Take() { return std::move(words_); }

 private:
  std::vector<WORD> words_;
};

void WriteClass(TemplateWriter& out, ControlKind kind) {
  switch (kind) {
    case ControlKind::FirstCheckBox:
    case ControlKind::CheckBox:
    case ControlKind::PushButton:
    case ControlKind::GroupBox:
      out.Word(0xFFFF);
      out.Word(kButtonAtom);
      return;
    case ControlKind::Label:
      out.Word(0xFFFF);
      out.Word(kStaticAtom);
      return;
    case ControlKind::TextBox:
      out.Word(0xFFFF);
      out.Word(kEditAtom);
      return;
    case ControlKind::ProgressBar:
      out.WideText(kProgressClass);
      return;
  }
}

}  // namespace

ControlClass ClassStyleOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::FirstCheckBox:
      return {BS_AUTOCHECKBOX | BS_LEFT | BS_VCENTER | WS_GROUP | WS_TABSTOP, 0};
    case ControlKind::CheckBox:
      return {BS_AUTOCHECKBOX | WS_TABSTOP, 0};
    case ControlKind::PushButton:
      return {BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::GroupBox:
      return {BS_GROUPBOX, 0};
    case ControlKind::ProgressBar:
      return {WS_BORDER | PBS_SMOOTH, 0};
    case ControlKind::Label:
      return {SS_LEFT, 0};
    case ControlKind::TextBox:
      return {ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
  }
  return {0, 0};
}

std::vector<WORD> BuildDialogTemplate(const WindowLayout& window, const ControlLayout* controls, std::size_t count) {
  TemplateWriter out;
  // DLGTEMPLATE: style, extended style, item count, x, y, cx, cy; then no
  // menu, the standard dialog class, the caption, and the font (DS_SETFONT).
  out.Dword(kMainWindowStyle);
  out.Dword(0);
  out.Word(static_cast<WORD>(count));
  out.Short(window.x);
  out.Short(window.y);
  out.Short(window.width);
  out.Short(window.height);
  out.Word(0);
  out.Word(0);
  out.Text(window.caption);
  out.Word(static_cast<WORD>(window.fontPoints));
  out.Text(window.fontFace);

  for (std::size_t i = 0; i < count; ++i) {
    const ControlLayout& c = controls[i];
    const ControlClass cls = ClassStyleOf(c.kind);
    // DLGITEMTEMPLATE, DWORD-aligned: style, extended style, x, y, cx, cy,
    // id; then class, text and no creation data.
    out.AlignToDword();
    out.Dword(WS_CHILD | WS_VISIBLE | cls.style);
    out.Dword(cls.exStyle);
    out.Short(c.x);
    out.Short(c.y);
    out.Short(c.width);
    out.Short(c.height);
    out.Word(static_cast<WORD>(c.id));
    WriteClass(out, c.kind);
    out.Text(c.text);
    out.Word(0);
  }
  return out.Take();
}

std::vector<WORD> BuildMainWindowTemplate() {
  return BuildDialogTemplate(kMainWindow, kMainWindowControls.data(), kMainWindowControls.size());
}

}  // namespace segd
