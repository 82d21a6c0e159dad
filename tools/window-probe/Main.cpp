// window_probe: reads the real windows of a running Windows program from
// outside it, for the tests that drive the programs by real key presses
// (tests/windows/ui.sh). Windows are named by the start of their caption.
// Texts go in and out as UTF-8. A caption ending in "*" names every window
// whose caption starts with the rest; "#N" names the window with handle N.
// In `state`, a text's line breaks are written "\n".
//
//   window_probe wait CAPTION SECONDS     waits until such a window is shown;
//                                         prints its handle
//   window_probe gone CAPTION SECONDS     waits until none is shown
//   window_probe state CAPTION            a line per control, in order:
//                                         ID CLASS x y cx cy (dialog units)
//                                         style enabled visible checked focus
//                                         progress "text"
//   window_probe check CAPTION TEMPLATE [ID ...]
//                                         holds the window against dialog
//                                         template TEMPLATE of the program's
//                                         resources: its controls, their IDs,
//                                         classes, positions and styles, and
//                                         the texts the template gives (but
//                                         those of the IDs named, which the
//                                         program sets itself)
//   window_probe center CAPTION ID        the screen point at the middle of
//                                         control ID, "x y"
//   window_probe tip CAPTION SECONDS      waits for a shown tooltip of that
//                                         window and prints its text
//   window_probe foreground CAPTION       whether it is the foreground window
//   window_probe activate CAPTION         makes it the foreground window
//   window_probe watch CAPTION FILE.png TEMPLATE SECONDS
//                                         waits for a window that shows only
//                                         briefly, then shoots and checks it
//   window_probe shot CAPTION FILE.png    a PNG of the window as the screen
//                                         shows it ("-": the whole screen)
//
// Exit status 0 when the answer was had, 1 when not (a window never shown,
// a control that differs), 2 for a wrong command line.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/ui/DialogTemplate.h"
#include "resources/Resources.h"

namespace {

std::string Utf8(const std::wstring& w) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), out.data(), n, nullptr, nullptr);
  return out;
}

// A top-level window's caption, as the window manager keeps it: the window
// need not answer (the progress window takes no messages while it works).
std::wstring CaptionOf(HWND hwnd) {
  wchar_t buf[4096] = {};
  GetWindowTextW(hwnd, buf, 4096);
  return buf;
}

// The text a control holds, asked of the control itself (WM_GETTEXT: the
// window manager keeps no text for another process's edit box).
std::wstring TextOf(HWND hwnd) {
  wchar_t buf[4096] = {};
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, &got)) {
    return CaptionOf(hwnd);
  }
  return buf;
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t buf[256] = {};
  GetClassNameW(hwnd, buf, 256);
  return buf;
}

// The shown top-level window with `caption` (ending in "*": whose caption
// starts with the rest), the topmost if several, or null.
HWND FindShown(const std::wstring& caption) {
  if (caption.size() > 1 && caption[0] == L'#') {  // a window by its handle, as `wait` printed it
    HWND hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(_wtoi64(caption.c_str() + 1)));
    return IsWindow(hwnd) && IsWindowVisible(hwnd) ? hwnd : nullptr;
  }
  const bool prefix = !caption.empty() && caption.back() == L'*';
  const std::wstring start = prefix ? caption.substr(0, caption.size() - 1) : caption;
  for (HWND hwnd = GetTopWindow(nullptr); hwnd != nullptr; hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
    if (!IsWindowVisible(hwnd)) continue;
    const std::wstring text = CaptionOf(hwnd);
    if (prefix ? text.rfind(start, 0) == 0 : text == caption) return hwnd;
  }
  return nullptr;
}

HWND WaitShown(const std::wstring& caption, double seconds) {
  const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
  for (;;) {
    if (HWND hwnd = FindShown(caption)) return hwnd;
    if (GetTickCount64() >= until) return nullptr;
    Sleep(20);
  }
}

std::vector<HWND> ChildrenOf(HWND parent) {
  std::vector<HWND> children;
  for (HWND c = GetWindow(parent, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
  return children;
}

// The dialog's base units, from its client size against the template's size
// in dialog units (x: quarters, y: eighths of the base units).
struct Units {
  double x = 1, y = 1;
  int ToDluX(int px) const { return static_cast<int>(px * 4 / x + 0.5); }
  int ToDluY(int px) const { return static_cast<int>(px * 8 / y + 0.5); }
};

Units UnitsOf(HWND dialog, const platform::ui::DialogTemplate* t) {
  Units u;
  RECT client;
  GetClientRect(dialog, &client);
  if (t != nullptr) {
    u.x = client.right * 4.0 / t->cx;
    u.y = client.bottom * 8.0 / t->cy;
  }
  return u;
}

RECT ClientRectOf(HWND child, HWND dialog) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

// The template of the program's resources whose caption the window's
// caption starts with, if any (for the dialog units of `state`).
const platform::ui::DialogTemplate* TemplateOf(HWND dialog) {
  const std::wstring text = CaptionOf(dialog);
  char shown[1024] = {};
  WideCharToMultiByte(932, 0, text.c_str(), -1, shown, sizeof shown, nullptr, nullptr);
  for (const platform::ui::DialogTemplate& t : resources::DialogTemplates()) {
    if (std::string(shown).rfind(t.caption, 0) == 0) return &t;
  }
  return nullptr;
}

std::string OneLine(const std::string& text) {
  std::string line;
  for (char c : text) {
    if (c == '\n') line += "\\n";
    else if (c != '\r') line += c;
  }
  return line;
}

int State(HWND dialog) {
  const platform::ui::DialogTemplate* t = TemplateOf(dialog);
  const Units u = UnitsOf(dialog, t);
  const HWND focus = FocusOf(dialog);
  for (HWND c : ChildrenOf(dialog)) {
    const RECT r = ClientRectOf(c, dialog);
    const std::wstring cls = ClassOf(c);
    DWORD_PTR checked = 0, pos = 0;
    if (_wcsicmp(cls.c_str(), L"Button") == 0) SendMessageTimeoutW(c, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &checked);
    if (_wcsicmp(cls.c_str(), L"msctls_progress32") == 0) SendMessageTimeoutW(c, WM_USER + 8 /* PBM_GETPOS */, 0, 0, SMTO_ABORTIFHUNG, 2000, &pos);
    std::printf("%d %s %d %d %d %d 0x%08lX enabled=%d visible=%d checked=%d focus=%d progress=%d \"%s\"\n",
                GetDlgCtrlID(c), Utf8(cls).c_str(), u.ToDluX(r.left), u.ToDluY(r.top), u.ToDluX(r.right - r.left),
                u.ToDluY(r.bottom - r.top), static_cast<unsigned long>(GetWindowLongW(c, GWL_STYLE)),
                IsWindowEnabled(c) ? 1 : 0, IsWindowVisible(c) ? 1 : 0, static_cast<int>(checked), c == focus ? 1 : 0,
                static_cast<int>(pos), OneLine(Utf8(TextOf(c))).c_str());
  }
  return 0;
}

const wchar_t* ClassFor(platform::ui::ControlKind kind) {
  switch (kind) {
    case platform::ui::ControlKind::Static:
    case platform::ui::ControlKind::Bitmap:
      return L"Static";
    case platform::ui::ControlKind::Edit:
      return L"Edit";
    case platform::ui::ControlKind::ProgressBar:
      return L"msctls_progress32";
    default:
      return L"Button";
  }
}

// The style bits that stay as the template gives them: the program and the
// dialog manager change a control's being disabled and a push button's being
// the default one while the dialog runs, and a progress bar takes its
// WS_BORDER off to draw the frame itself.
uint32_t StableStyle(uint32_t style, platform::ui::ControlKind kind) {
  style &= ~static_cast<uint32_t>(WS_DISABLED);
  if (kind == platform::ui::ControlKind::PushButton) style &= ~static_cast<uint32_t>(BS_DEFPUSHBUTTON);
  if (kind == platform::ui::ControlKind::ProgressBar) style &= ~static_cast<uint32_t>(WS_BORDER);
  return style;
}

int Check(HWND dialog, int templateId, const std::vector<int>& ownTexts) {
  const platform::ui::DialogTemplate* t = resources::FindDialogTemplate(templateId);
  if (t == nullptr) {
    std::fprintf(stderr, "window_probe: the program has no template %d\n", templateId);
    return 2;
  }
  int differences = 0;
  auto differ = [&](const std::string& what) {
    std::printf("differs: %s\n", what.c_str());
    ++differences;
  };
  // The window keeps the template's window style bits (the DS_ ones are
  // the dialog manager's); it is shown, may be disabled under a box, and
  // clips its siblings as every top-level window does.
  const uint32_t windowBits = 0xFFFF0000u & ~static_cast<uint32_t>(WS_VISIBLE | WS_DISABLED | WS_CLIPSIBLINGS);
  const uint32_t dialogStyle = static_cast<uint32_t>(GetWindowLongW(dialog, GWL_STYLE));
  if ((dialogStyle & windowBits) != (t->style & windowBits)) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "the dialog's window style 0x%08lX (template 0x%08lX)",
                  static_cast<unsigned long>(dialogStyle), static_cast<unsigned long>(t->style));
    differ(buf);
  }
  const std::vector<HWND> children = ChildrenOf(dialog);
  if (children.size() != t->controls.size()) {
    differ(std::to_string(children.size()) + " controls, not " + std::to_string(t->controls.size()));
    return 1;
  }
  const Units u = UnitsOf(dialog, t);
  for (size_t i = 0; i < children.size(); ++i) {
    const platform::ui::ControlTemplate& c = t->controls[i];
    const HWND w = children[i];
    const std::string name = "control " + std::to_string(i) + " (" + std::to_string(c.id) + ")";
    if (GetDlgCtrlID(w) != c.id && !(c.id == platform::ui::kIdStatic && GetDlgCtrlID(w) == 0xFFFF)) {
      differ(name + " has ID " + std::to_string(GetDlgCtrlID(w)));
    }
    if (_wcsicmp(ClassOf(w).c_str(), ClassFor(c.kind)) != 0) differ(name + " is a " + Utf8(ClassOf(w)));
    const RECT r = ClientRectOf(w, dialog);
    // Positions in dialog units, within the rounding of the base units.
    const int got[4] = {u.ToDluX(r.left), u.ToDluY(r.top), u.ToDluX(r.right - r.left), u.ToDluY(r.bottom - r.top)};
    const int want[4] = {c.x, c.y, c.cx, c.cy};
    for (int k = 0; k < 4; ++k) {
      if (std::abs(got[k] - want[k]) > 1) {
        differ(name + " stands at " + std::to_string(got[0]) + "," + std::to_string(got[1]) + " " +
               std::to_string(got[2]) + "x" + std::to_string(got[3]));
        break;
      }
    }
    uint32_t style = static_cast<uint32_t>(GetWindowLongW(w, GWL_STYLE));
    // The dialog manager draws an edit's border as a sunken edge.
    if (c.kind == platform::ui::ControlKind::Edit && (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0) {
      style |= WS_BORDER;
    }
    if (c.kind != platform::ui::ControlKind::Bitmap && c.text[0] != '\0' &&
        std::find(ownTexts.begin(), ownTexts.end(), c.id) == ownTexts.end()) {
      const std::wstring text = TextOf(w);
      char shown[1024] = {};
      WideCharToMultiByte(932, 0, text.c_str(), -1, shown, sizeof shown, nullptr, nullptr);
      if (std::string(shown) != c.text) differ(name + " shows \"" + Utf8(text) + "\"");
    }
    const uint32_t wantStyle = WS_CHILD | WS_VISIBLE | c.style;
    if (StableStyle(style, c.kind) != StableStyle(wantStyle, c.kind)) {
      char buf[128];
      std::snprintf(buf, sizeof buf, " has style 0x%08lX (extended 0x%08lX), not 0x%08lX",
                    static_cast<unsigned long>(style), static_cast<unsigned long>(GetWindowLongW(w, GWL_EXSTYLE)),
                    static_cast<unsigned long>(wantStyle));
      differ(name + buf);
    }
  }
  if (differences == 0) std::printf("ok: %zu controls as template %d\n", children.size(), templateId);
  return differences == 0 ? 0 : 1;
}

// PNG without a compression library: the picture rows in stored deflate blocks.
uint32_t Crc32(const uint8_t* data, size_t n, uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < n; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void PutBig(std::vector<uint8_t>& out, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}

void Chunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
  PutBig(png, static_cast<uint32_t>(data.size()));
  std::vector<uint8_t> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  png.insert(png.end(), body.begin(), body.end());
  PutBig(png, Crc32(body.data(), body.size()));
}

bool WritePng(const char* file, int width, int height, const std::vector<uint8_t>& rgbRows) {
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  PutBig(header, static_cast<uint32_t>(width));
  PutBig(header, static_cast<uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});
  Chunk(png, "IHDR", header);
  std::vector<uint8_t> z = {0x78, 0x01};
  uint32_t a = 1, b = 0;
  for (uint8_t byte : rgbRows) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  for (size_t at = 0; at < rgbRows.size() || at == 0;) {
    const size_t n = std::min<size_t>(65535, rgbRows.size() - at);
    const bool last = at + n >= rgbRows.size();
    z.push_back(last ? 1 : 0);
    z.push_back(static_cast<uint8_t>(n & 0xFF));
    z.push_back(static_cast<uint8_t>(n >> 8));
    z.push_back(static_cast<uint8_t>(~n & 0xFF));
    z.push_back(static_cast<uint8_t>((~n >> 8) & 0xFF));
    z.insert(z.end(), rgbRows.begin() + static_cast<long>(at), rgbRows.begin() + static_cast<long>(at + n));
    at += n;
    if (last) break;
  }
  PutBig(z, (b << 16) | a);
  Chunk(png, "IDAT", z);
  Chunk(png, "IEND", {});
  FILE* f = _wfopen(std::wstring(file, file + std::strlen(file)).c_str(), L"wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
  return std::fclose(f) == 0 && ok;
}

int Shot(HWND window, const char* file) {
  RECT r;
  if (window != nullptr) {
    GetWindowRect(window, &r);
  } else {
    r = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return 1;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  BitBlt(dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  const int stride = (w * 3 + 3) & ~3;
  std::vector<uint8_t> rows;
  rows.reserve(static_cast<size_t>(h) * (w * 3 + 1));
  for (int y = 0; y < h; ++y) {
    rows.push_back(0);  // no filter
    const auto* line = static_cast<const uint8_t*>(bits) + static_cast<size_t>(y) * stride;
    for (int x = 0; x < w; ++x) rows.insert(rows.end(), {line[x * 3 + 2], line[x * 3 + 1], line[x * 3]});
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  if (!WritePng(file, w, h, rows)) {
    std::fprintf(stderr, "window_probe: cannot write %s\n", file);
    return 1;
  }
  return 0;
}

int Tip(HWND owner, double seconds) {
  const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
  const DWORD process = [&] {
    DWORD p = 0;
    GetWindowThreadProcessId(owner, &p);
    return p;
  }();
  do {
    for (HWND w = GetTopWindow(nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
      DWORD p = 0;
      GetWindowThreadProcessId(w, &p);
      if (p != process || !IsWindowVisible(w) || _wcsicmp(ClassOf(w).c_str(), L"tooltips_class32") != 0) continue;
      std::printf("%s\n", Utf8(TextOf(w)).c_str());
      return 0;
    }
    Sleep(50);
  } while (GetTickCount64() < until);
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: window_probe wait|gone|state|check|center|tip|shot CAPTION ...\n");
    return 2;
  }
  const std::wstring command = argv[1];
  const std::wstring caption = argv[2];
  const std::string arg3 = argc > 3 ? Utf8(argv[3]) : "";
  if (command == L"wait") {
    HWND hwnd = WaitShown(caption, argc > 3 ? std::atof(arg3.c_str()) : 10);
    if (hwnd == nullptr) {
      std::fprintf(stderr, "window_probe: no window \"%s\" was shown\n", Utf8(caption).c_str());
      return 1;
    }
    std::printf("%llu\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hwnd)));
    return 0;
  }
  if (command == L"gone") {
    const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(std::atof(arg3.c_str()) * 1000);
    while (FindShown(caption) != nullptr) {
      if (GetTickCount64() >= until) return 1;
      Sleep(20);
    }
    return 0;
  }
  if (command == L"watch" && argc > 5) {
    // For a window that is shown only briefly: the moment it shows, and
    // once it has had a moment to paint, it is photographed and checked.
    HWND hwnd = nullptr;
    const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(_wtof(argv[5]) * 1000);
    while ((hwnd = FindShown(caption)) == nullptr) {
      if (GetTickCount64() >= until) {
        std::fprintf(stderr, "window_probe: no window \"%s\" was shown\n", Utf8(caption).c_str());
        return 1;
      }
      Sleep(2);
    }
    Sleep(60);
    const int shot = Shot(hwnd, arg3.c_str());
    const int checked = Check(hwnd, _wtoi(argv[4]), {});
    return shot != 0 ? 1 : checked;
  }
  if (command == L"shot" && caption == L"-") {
    if (argc < 4) return 2;
    return Shot(nullptr, arg3.c_str());
  }
  HWND window = WaitShown(caption, 10);
  if (window == nullptr) {
    std::fprintf(stderr, "window_probe: no window \"%s\" is shown\n", Utf8(caption).c_str());
    return 1;
  }
  if (command == L"state") return State(window);
  if (command == L"foreground") {
    HWND active = GetForegroundWindow();
    std::printf("%s\n", active == window ? "yes" : ("no: " + Utf8(CaptionOf(active))).c_str());
    return active == window ? 0 : 1;
  }
  if (command == L"activate") {
    for (int i = 0; i < 50 && GetForegroundWindow() != window; ++i) {
      SetForegroundWindow(window);
      Sleep(20);
    }
    return GetForegroundWindow() == window ? 0 : 1;
  }
  if (command == L"check" && argc > 3) {
    std::vector<int> ownTexts;
    for (int i = 4; i < argc; ++i) ownTexts.push_back(_wtoi(argv[i]));
    return Check(window, std::atoi(arg3.c_str()), ownTexts);
  }
  if (command == L"tip") return Tip(window, argc > 3 ? std::atof(arg3.c_str()) : 5);
  if (command == L"shot" && argc > 3) return Shot(window, arg3.c_str());
  if (command == L"center" && argc > 3) {
    HWND control = GetDlgItem(window, std::atoi(arg3.c_str()));
    if (control == nullptr) return 1;
    RECT r;
    GetWindowRect(control, &r);
    std::printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return 0;
  }
  std::fprintf(stderr, "window_probe: unknown command\n");
  return 2;
}
