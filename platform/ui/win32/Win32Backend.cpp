#include "platform/ui/win32/Win32Backend.h"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <cderr.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "platform/ui/Dialog.h"

namespace platform::ui::win32 {
namespace {

// What an edit holds when the framework sets no limit (its own default).
constexpr size_t kDefaultEditLimit = 30000;

// The mark drawn on a picture control that the template gives no picture:
// the help mark of the conditions dialog.
constexpr char kHelpMarkText[] = "?";

// One action taken by the user in a real window, waiting to reach the
// framework's dialog.
struct Action {
  enum class Kind { kClick, kText, kKey } kind;
  int id = 0;
  std::string text;
  KeyEvent key{Key::Escape};

  static Action Click(int id) { return {Kind::kClick, id, {}, {Key::Escape}}; }
  static Action Text(int id, std::string text) { return {Kind::kText, id, std::move(text), {Key::Escape}}; }
  static Action Press(KeyEvent key) { return {Kind::kKey, 0, {}, key}; }
};

// What was last brought to a real control, so that only changes are sent
// (a text set again would put the caret back to the start).
struct ShownControl {
  HWND hwnd = nullptr;
  int selStart = -1, selEnd = -1;
  int rangeMin = 0, rangeMax = 100, step = 10, pos = 0;
  size_t limit = 0;
  bool limitSet = false;
};

struct ShownDialog {
  const Dialog* dialog = nullptr;
  HWND hwnd = nullptr;
  std::vector<ShownControl> controls;  // in the template's order
  const Control* focus = nullptr;      // the focus last brought to the window
  HWND toolTip = nullptr;
  HBITMAP mark = nullptr;
  std::deque<Action> actions;
  ULONGLONG lastPaint = 0;       // GetTickCount64 of the last repaint the program asked for,
  ULONGLONG lastTop = 0;         // ... of the last time it was brought to the top
  ULONGLONG lastForeground = 0;  // ... and to the foreground
  bool foreground = false;       // the answer then
};

// A busy window asks for a repaint and to come forward at every step of its
// work; a user sees no more than some thirty repaints a second, and the
// window stays forward when it is brought there a few times a second.
constexpr ULONGLONG kRepaintMs = 30;
constexpr ULONGLONG kRaiseMs = 250;

// True (and `last` moved to now) when `every` milliseconds have passed since
// `last`, or it was never set.
bool Due(ULONGLONG& last, ULONGLONG every) {
  const ULONGLONG now = GetTickCount64();
  if (last != 0 && now - last < every) return false;
  last = now;
  return true;
}

HWND OwnerWindowOf(const std::map<const Dialog*, ShownDialog>& shown, const Window* owner) {
  if (owner == nullptr) return nullptr;
  if (owner->Handle() != 0) return reinterpret_cast<HWND>(static_cast<intptr_t>(owner->Handle()));
  for (const auto& [dialog, s] : shown) {
    if (dialog == owner) return s.hwnd;
  }
  return nullptr;
}

std::string WindowText(HWND hwnd) {
  const int n = GetWindowTextLengthA(hwnd);
  std::string text(static_cast<size_t>(n) + 1, '\0');
  const int got = GetWindowTextA(hwnd, text.data(), n + 1);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

bool Held(int virtualKey) { return (GetKeyState(virtualKey) & 0x8000) != 0; }

}  // namespace

struct Win32Backend::Impl {
  std::map<const Dialog*, ShownDialog> shown;
  std::vector<const Control*> pendingTips;  // tips of controls whose dialog is not shown yet
  bool syncing = false;                     // our own changes make no actions
  bool waitCursor = false;

  ShownDialog* Find(const Dialog& dialog) {
    auto it = shown.find(&dialog);
    return it == shown.end() ? nullptr : &it->second;
  }
  ShownDialog* FindByWindow(HWND hwnd) {
    for (auto& [d, s] : shown) {
      if (s.hwnd == hwnd) return &s;
    }
    return nullptr;
  }
  // The framework's control for a real control window, or null.
  static Control* ControlOf(const ShownDialog& s, HWND hwnd) {
    for (size_t i = 0; i < s.controls.size(); ++i) {
      if (s.controls[i].hwnd == hwnd && hwnd != nullptr) return s.dialog->Controls()[i].get();
    }
    return nullptr;
  }

  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  INT_PTR OnMessage(ShownDialog& s, UINT message, WPARAM wparam, LPARAM lparam);
  void Sync(ShownDialog& s);
  void AddToolTip(ShownDialog& s, const Control& control);
  void DrawMissingPictures(ShownDialog& s);
  void AdoptFocus(ShownDialog& s, Dialog& dialog);
};

// The backend rides with each of its windows (DWLP_USER, from the creation
// parameter); messages before WM_INITDIALOG take the default handling.
INT_PTR CALLBACK Win32Backend::Impl::DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(hwnd, DWLP_USER, lparam);
    // TRUE: the dialog manager focuses its first tab stop at once; the
    // framework's own focus is brought to the window right after.
    return TRUE;
  }
  auto* impl = reinterpret_cast<Impl*>(GetWindowLongPtrA(hwnd, DWLP_USER));
  ShownDialog* s = impl ? impl->FindByWindow(hwnd) : nullptr;
  if (s == nullptr) return FALSE;
  return impl->OnMessage(*s, message, wparam, lparam);
}

INT_PTR Win32Backend::Impl::OnMessage(ShownDialog& s, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND: {
      if (syncing) return TRUE;
      const int id = LOWORD(wparam);
      const int code = HIWORD(wparam);
      const HWND from = reinterpret_cast<HWND>(lparam);
      const Control* control = ControlOf(s, from);
      if (control == nullptr) {
        // The close box and Escape (IDCANCEL) are Escape; the dialog
        // manager's IDOK on Enter is never taken: Enter reaches the
        // framework as a key, before the dialog manager.
        if (from == nullptr && id == IDCANCEL) s.actions.push_back(Action::Press({Key::Escape}));
        return TRUE;
      }
      if (control->kind() == ControlKind::Edit && code == EN_CHANGE) {
        s.actions.push_back(Action::Text(control->id(), WindowText(from)));
      } else if (code == BN_CLICKED && (control->kind() == ControlKind::PushButton ||
                                        control->kind() == ControlKind::RadioButton ||
                                        control->kind() == ControlKind::CheckBox)) {
        s.actions.push_back(Action::Click(control->id()));
      }
      return TRUE;
    }
    case WM_SETCURSOR:
      if (waitCursor) {
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
        SetWindowLongPtrA(s.hwnd, DWLP_MSGRESULT, TRUE);
        return TRUE;
      }
      return FALSE;
    case WM_CLOSE:
      s.actions.push_back(Action::Press({Key::Escape}));
      return TRUE;
    default:
      return FALSE;
  }
}

void Win32Backend::Impl::Sync(ShownDialog& s) {
  syncing = true;
  const Dialog& d = *s.dialog;
  if (WindowText(s.hwnd) != d.GetText()) SetWindowTextA(s.hwnd, d.GetText().c_str());
  // The focus the framework gave, when it changed since it was last brought
  // here or the window's focus is elsewhere (the user's own moves are taken
  // into the framework before each action). The dialog manager moves it, so
  // that a focused push button is drawn as the one Enter presses; an edit it
  // focuses gets the framework's selection again below.
  // A message box that closed gives the focus back where it was before; the
  // framework's word holds over that too.
  const Control* focus = d.GetFocus();
  for (size_t i = 0; focus != nullptr && i < s.controls.size(); ++i) {
    if (d.Controls()[i].get() != focus || s.controls[i].hwnd == nullptr) continue;
    if (focus == s.focus && (GetFocus() == s.controls[i].hwnd || !IsWindowEnabled(s.hwnd))) break;
    SendMessageA(s.hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(s.controls[i].hwnd), TRUE);
    s.controls[i].selStart = s.controls[i].selEnd = -2;
  }
  s.focus = focus;
  for (size_t i = 0; i < s.controls.size(); ++i) {
    ShownControl& shownControl = s.controls[i];
    const Control& c = *d.Controls()[i];
    const HWND w = shownControl.hwnd;
    if (w == nullptr) continue;
    if (c.kind() != ControlKind::Bitmap && c.kind() != ControlKind::ProgressBar && WindowText(w) != c.GetText()) {
      SetWindowTextA(w, c.GetText().c_str());
    }
    if ((IsWindowEnabled(w) != FALSE) != c.IsWindowEnabled()) EnableWindow(w, c.IsWindowEnabled());
    if ((IsWindowVisible(w) != FALSE) != c.IsWindowVisible()) ShowWindow(w, c.IsWindowVisible() ? SW_SHOWNA : SW_HIDE);
    switch (c.kind()) {
      case ControlKind::RadioButton:
      case ControlKind::CheckBox: {
        const LRESULT want = c.GetCheck() ? BST_CHECKED : BST_UNCHECKED;
        if (SendMessageA(w, BM_GETCHECK, 0, 0) != want) SendMessageA(w, BM_SETCHECK, want, 0);
        break;
      }
      case ControlKind::Edit: {
        const size_t limit = c.TextLimit() ? c.TextLimit() : kDefaultEditLimit;
        if (!shownControl.limitSet || shownControl.limit != limit) {
          SendMessageA(w, EM_LIMITTEXT, limit, 0);
          shownControl.limit = limit;
          shownControl.limitSet = true;
        }
        if (c.SelStart() != shownControl.selStart || c.SelEnd() != shownControl.selEnd) {
          SendMessageA(w, EM_SETSEL, c.SelStart(), c.SelEnd());
          if (c.SelStart() >= 0) SendMessageA(w, EM_SCROLLCARET, 0, 0);
          shownControl.selStart = c.SelStart();
          shownControl.selEnd = c.SelEnd();
        }
        break;
      }
      case ControlKind::ProgressBar:
        if (c.RangeMin() != shownControl.rangeMin || c.RangeMax() != shownControl.rangeMax) {
          SendMessageA(w, PBM_SETRANGE32, c.RangeMin(), c.RangeMax());
          shownControl.rangeMin = c.RangeMin();
          shownControl.rangeMax = c.RangeMax();
        }
        if (c.Step() != shownControl.step) {
          SendMessageA(w, PBM_SETSTEP, c.Step(), 0);
          shownControl.step = c.Step();
        }
        if (c.GetPos() != shownControl.pos) {
          SendMessageA(w, PBM_SETPOS, c.GetPos(), 0);
          shownControl.pos = c.GetPos();
        }
        break;
      default:
        break;
    }
  }
  syncing = false;
}

void Win32Backend::Impl::AdoptFocus(ShownDialog& s, Dialog& dialog) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  HWND focused = GetGUIThreadInfo(GetCurrentThreadId(), &info) ? info.hwndFocus : GetFocus();
  // An edit's window may hand the focus to a child of its own (none here).
  Control* c = ControlOf(s, focused);
  if (c != nullptr && c != dialog.GetFocus()) {
    c->SetFocus();
    s.focus = c;
  }
}

void Win32Backend::Impl::AddToolTip(ShownDialog& s, const Control& control) {
  HWND target = nullptr;
  for (size_t i = 0; i < s.controls.size(); ++i) {
    if (s.dialog->Controls()[i].get() == &control) target = s.controls[i].hwnd;
  }
  if (target == nullptr) return;
  if (s.toolTip == nullptr) {
    s.toolTip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, s.hwnd, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    if (s.toolTip == nullptr) return;
    // Several lines ("\n" breaks them), shown for as long as the pointer rests.
    SendMessageA(s.toolTip, TTM_SETMAXTIPWIDTH, 0, 480);
    SendMessageA(s.toolTip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(32767, 0));
  }
  TOOLINFOA info{};
  info.cbSize = TTTOOLINFOA_V2_SIZE;  // understood by every common-controls version
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = s.hwnd;
  info.uId = reinterpret_cast<UINT_PTR>(target);
  std::string text = control.ToolTip();
  info.lpszText = text.data();
  SendMessageA(s.toolTip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
  SendMessageA(s.toolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

// A picture control whose template names no picture (the help mark) gets a
// round "?" mark of its own size, so that it can be seen and pointed at.
void Win32Backend::Impl::DrawMissingPictures(ShownDialog& s) {
  for (size_t i = 0; i < s.controls.size(); ++i) {
    const Control& c = *s.dialog->Controls()[i];
    const HWND w = s.controls[i].hwnd;
    if (c.kind() != ControlKind::Bitmap || w == nullptr || !c.GetText().empty()) continue;
    RECT r;
    GetClientRect(w, &r);
    const int width = std::max<int>(1, r.right), height = std::max<int>(1, r.bottom);
    const int side = std::min(width, height);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, width, height};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    const int left = (width - side) / 2, top = (height - side) / 2;
    HGDIOBJ oldBrush = SelectObject(dc, GetSysColorBrush(COLOR_HIGHLIGHT));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    Ellipse(dc, left, top, left + side + 1, top + side + 1);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(s.hwnd, WM_GETFONT, 0, 0)));
    DrawTextA(dc, kHelpMarkText, -1, &all, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, oldFont);
    SelectObject(dc, old);
    DeleteDC(dc);
    s.mark = bitmap;
    SendMessageA(w, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
  }
}

Win32Backend::Win32Backend() : impl_(std::make_unique<Impl>()) {}

Win32Backend::~Win32Backend() {
  for (auto& [d, s] : impl_->shown) {
    if (s.hwnd) DestroyWindow(s.hwnd);
    if (s.mark) DeleteObject(s.mark);
  }
}

std::unique_ptr<Win32Backend> Win32Backend::Open(std::string* error) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  if (!InitCommonControlsEx(&controls)) {
    *error = "the common controls (progress bars, tooltips) cannot be registered";
    return nullptr;
  }
  return std::unique_ptr<Win32Backend>(new Win32Backend());
}

void Win32Backend::DialogShown(const Dialog& dialog) {
  Impl& m = *impl_;
  if (m.Find(dialog) != nullptr) return;
  const HWND owner = OwnerWindowOf(m.shown, dialog.Owner());
  ShownDialog& s = m.shown[&dialog];
  s.dialog = &dialog;
  m.syncing = true;
  s.hwnd = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dialog.TemplateId()), owner,
                              &Impl::DialogProc, reinterpret_cast<LPARAM>(&m));
  DWORD why = s.hwnd ? 0 : GetLastError();
  if (s.hwnd == nullptr && owner != nullptr && why == ERROR_INVALID_WINDOW_HANDLE) {
    // A calling program's window that cannot own ours (gone, or of a kind
    // that owns nothing): the dialog stands alone.
    s.hwnd = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dialog.TemplateId()), nullptr,
                                &Impl::DialogProc, reinterpret_cast<LPARAM>(&m));
    why = s.hwnd ? 0 : GetLastError();
  }
  m.syncing = false;
  if (s.hwnd == nullptr) {
    m.shown.erase(&dialog);
    const bool missing = why == ERROR_RESOURCE_NAME_NOT_FOUND || why == ERROR_RESOURCE_TYPE_NOT_FOUND;
    std::fprintf(stderr, "the window of dialog %d cannot be made (error %lu)%s\n", dialog.TemplateId(),
                 static_cast<unsigned long>(why), missing ? ": its template is not in the program" : "");
    std::exit(2);
  }
  // The real controls, matched to the framework's by their order and ID.
  HWND child = GetWindow(s.hwnd, GW_CHILD);
  for (const auto& c : dialog.Controls()) {
    ShownControl sc;
    if (child != nullptr && GetDlgCtrlID(child) == c->id()) {
      sc.hwnd = child;
      child = GetWindow(child, GW_HWNDNEXT);
    } else if (c->id() != kIdStatic) {
      sc.hwnd = GetDlgItem(s.hwnd, c->id());
    }
    s.controls.push_back(sc);
  }
  m.DrawMissingPictures(s);
  m.Sync(s);
  for (auto it = m.pendingTips.begin(); it != m.pendingTips.end();) {
    if (&(*it)->parent() == &dialog) {
      m.AddToolTip(s, **it);
      it = m.pendingTips.erase(it);
    } else {
      ++it;
    }
  }
  // Centred on its owner, or on the screen when it has none to be seen.
  RECT mine, around;
  GetWindowRect(s.hwnd, &mine);
  if (owner == nullptr || !IsWindowVisible(owner) || !GetWindowRect(owner, &around)) {
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &around, 0);
  }
  const int w = mine.right - mine.left, h = mine.bottom - mine.top;
  SetWindowPos(s.hwnd, nullptr, around.left + ((around.right - around.left) - w) / 2,
               around.top + ((around.bottom - around.top) - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(s.hwnd, SW_SHOW);
  SetForegroundWindow(s.hwnd);
  s.focus = nullptr;  // bring the framework's focus to the shown window
  m.Sync(s);
  // A modal dialog that the program gave no focus (its first choice was
  // disabled) gets the dialog manager's: the first tab stop, as on
  // activation; the framework takes it over with the user's first action.
  if (dialog.IsModal() && dialog.GetFocus() == nullptr) SendMessageA(s.hwnd, WM_NEXTDLGCTL, 0, FALSE);
  UpdateWindow(s.hwnd);
}

void Win32Backend::DialogEnded(const Dialog& dialog) {
  ShownDialog* s = impl_->Find(dialog);
  if (s == nullptr) return;
  const HWND owner = GetWindow(s->hwnd, GW_OWNER);
  impl_->syncing = true;
  DestroyWindow(s->hwnd);
  impl_->syncing = false;
  if (s->mark) DeleteObject(s->mark);
  impl_->shown.erase(&dialog);
  if (owner != nullptr && IsWindowVisible(owner)) SetForegroundWindow(owner);
}

void Win32Backend::CaptionChanged(const Dialog& dialog) {
  if (ShownDialog* s = impl_->Find(dialog)) {
    impl_->syncing = true;
    SetWindowTextA(s->hwnd, dialog.GetText().c_str());
    impl_->syncing = false;
  }
}

void Win32Backend::WindowUpdated(const Dialog& dialog) {
  ShownDialog* s = impl_->Find(dialog);
  if (s == nullptr) return;
  if (!Due(s->lastPaint, kRepaintMs)) return;
  impl_->Sync(*s);
  // No message loop runs while the program works: the window and its
  // controls are painted now.
  RedrawWindow(s->hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void Win32Backend::WindowRaised(const Dialog& dialog) {
  ShownDialog* s = impl_->Find(dialog);
  if (s == nullptr || !Due(s->lastTop, kRaiseMs)) return;
  if (GetForegroundWindow() != s->hwnd) BringWindowToTop(s->hwnd);
}

bool Win32Backend::ForegroundAsked(const Dialog& dialog) {
  ShownDialog* s = impl_->Find(dialog);
  if (s == nullptr) return false;
  if (!Due(s->lastForeground, kRaiseMs)) return s->foreground;
  s->foreground = GetForegroundWindow() == s->hwnd || SetForegroundWindow(s->hwnd) != FALSE;
  return s->foreground;
}

void Win32Backend::ToolTipAdded(const Control& control) {
  if (ShownDialog* s = impl_->Find(control.parent())) {
    impl_->AddToolTip(*s, control);
  } else {
    impl_->pendingTips.push_back(&control);
  }
}

void Win32Backend::WaitCursorChanged(bool shown) {
  impl_->waitCursor = shown;
  SetCursor(LoadCursor(nullptr, shown ? IDC_WAIT : IDC_ARROW));
}

void Win32Backend::DeliverInput(Dialog& dialog) {
  Impl& m = *impl_;
  ShownDialog* s = m.Find(dialog);
  if (s == nullptr) {
    std::fprintf(stderr, "dialog %d waits for the user but has no window\n", dialog.TemplateId());
    std::exit(2);
  }
  const HWND hwnd = s->hwnd;
  while (s->actions.empty()) {
    MSG msg;
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == -1 || got == 0) {
      // The queue was told to quit (or is broken): nothing more can come
      // from the user, so the dialog is cancelled as by its close box.
      s->actions.push_back(Action::Press({Key::Escape}));
      break;
    }
    if (msg.message == WM_KEYDOWN && (msg.hwnd == hwnd || IsChild(hwnd, msg.hwnd))) {
      const KeyEvent base{Key::Escape, Held(VK_SHIFT), Held(VK_CONTROL), Held(VK_MENU)};
      std::optional<Key> key;
      switch (msg.wParam) {
        case VK_RETURN: key = Key::Enter; break;
        case VK_ESCAPE: key = Key::Escape; break;
        case VK_TAB: key = Key::Tab; break;
        case VK_F12: key = Key::F12; break;
        default: break;
      }
      if (key) {
        KeyEvent event = base;
        event.key = *key;
        s->actions.push_back(Action::Press(event));
        continue;
      }
    }
    if (!IsDialogMessageA(hwnd, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  Action action = s->actions.front();
  s->actions.pop_front();
  m.AdoptFocus(*s, dialog);
  switch (action.kind) {
    case Action::Kind::kClick: dialog.Click(action.id); break;
    case Action::Kind::kText: dialog.TypeText(action.id, action.text); break;
    case Action::Kind::kKey: dialog.PressKey(action.key); break;
  }
  // The handlers may have ended the dialog, and its window with it.
  if (ShownDialog* still = m.Find(dialog)) m.Sync(*still);
}

int Win32Backend::ShowMessageBox(const MessageBoxRequest& box) {
  const HWND owner = OwnerWindowOf(impl_->shown, box.owner);
  const std::string text(box.text), caption(box.caption);
  const int pressed = MessageBoxA(owner, text.c_str(), caption.c_str(), box.style);
  if (pressed == 0) {
    std::fprintf(stderr, "a message box cannot be shown (error %lu)\n", static_cast<unsigned long>(GetLastError()));
    std::exit(2);
  }
  if (impl_->waitCursor) SetCursor(LoadCursor(nullptr, IDC_WAIT));
  return pressed;
}

std::optional<std::string> Win32Backend::SaveFile(const SaveFileDialogOptions& options) {
  // "Name|pattern|...||" becomes the NUL-separated list the dialog takes.
  std::string filter = options.filter;
  std::replace(filter.begin(), filter.end(), '|', '\0');
  filter.push_back('\0');
  std::vector<char> file(MAX_PATH + 1, '\0');
  options.initialName.copy(file.data(), std::min<size_t>(options.initialName.size(), MAX_PATH));

  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = OwnerWindowOf(impl_->shown, options.owner);
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrInitialDir = options.initialFolder.empty() ? nullptr : options.initialFolder.c_str();
  ofn.lpstrTitle = options.title.empty() ? nullptr : options.title.c_str();
  ofn.lpstrDefExt = options.defaultExtension.empty() ? nullptr : options.defaultExtension.c_str();
  ofn.Flags = options.flags;
  BOOL chosen = GetSaveFileNameA(&ofn);
  if (!chosen && CommDlgExtendedError() == FNERR_INVALIDFILENAME) {
    // A name the dialog cannot start with: the user starts from none.
    file.assign(MAX_PATH + 1, '\0');
    ofn.lpstrFile = file.data();
    chosen = GetSaveFileNameA(&ofn);
  }
  if (!chosen) {
    const DWORD why = CommDlgExtendedError();
    if (why != 0) {
      std::fprintf(stderr, "the save-file dialog cannot be shown (error 0x%lx)\n", static_cast<unsigned long>(why));
    }
    return std::nullopt;
  }
  return std::string(file.data());
}

}  // namespace platform::ui::win32
