#include "platform/ui/tty/Terminal.h"

#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <ncursesw/curses.h>
#include <ncursesw/term.h>

namespace platform::ui::tty {
namespace {

// What a signal handler needs to give the terminal back. A handler can only
// reach process-wide state, so this is the one place the backend keeps it;
// it is filled before the handlers are installed and read-only afterwards.
struct RestoreState {
  bool active = false;
  struct termios saved {};
  char reset[256] = {};  // leave the alternate screen, cursor on, attributes off, mouse off
  size_t resetLength = 0;
  // Standard error goes to a holding file while the screen is ours (a line
  // written there would tear the screen) and is played back afterwards.
  int savedStderr = -1;
  int heldStderr = -1;
};
RestoreState restore;
SCREEN* session = nullptr;

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGABRT, SIGSEGV, SIGBUS, SIGFPE};

void AppendCapability(const char* name) {
  const char* s = tigetstr(const_cast<char*>(name));
  if (!s || s == reinterpret_cast<const char*>(-1)) return;
  const size_t n = std::strlen(s);
  if (restore.resetLength + n >= sizeof restore.reset) return;
  std::memcpy(restore.reset + restore.resetLength, s, n);
  restore.resetLength += n;
}

void AppendText(const char* s) {
  const size_t n = std::strlen(s);
  if (restore.resetLength + n >= sizeof restore.reset) return;
  std::memcpy(restore.reset + restore.resetLength, s, n);
  restore.resetLength += n;
}

// Gives standard error back and shows what was held. Async-signal-safe.
void ReleaseStderr() {
  if (restore.savedStderr < 0) return;
  ::dup2(restore.savedStderr, STDERR_FILENO);
  ::close(restore.savedStderr);
  restore.savedStderr = -1;
  if (restore.heldStderr < 0) return;
  char buf[4096];
  ::lseek(restore.heldStderr, 0, SEEK_SET);
  for (ssize_t n; (n = ::read(restore.heldStderr, buf, sizeof buf)) > 0;) {
    [[maybe_unused]] ssize_t w = ::write(STDERR_FILENO, buf, static_cast<size_t>(n));
  }
  ::close(restore.heldStderr);
  restore.heldStderr = -1;
}

void HoldStderr() {
  char name[] = "/tmp/taxbridge-stderr-XXXXXX";
  const int fd = ::mkstemp(name);
  if (fd < 0) return;  // standard error then stays where it is
  ::unlink(name);
  restore.savedStderr = ::dup(STDERR_FILENO);
  if (restore.savedStderr < 0 || ::dup2(fd, STDERR_FILENO) < 0) {
    ::close(fd);
    return;
  }
  restore.heldStderr = fd;
}

// Async-signal-safe: raw writes, tcsetattr and dup2 only, then the signal's own end.
void OnEndingSignal(int sig) {
  if (restore.active) {
    restore.active = false;
    [[maybe_unused]] ssize_t w = ::write(STDOUT_FILENO, restore.reset, restore.resetLength);
    ::tcsetattr(STDIN_FILENO, TCSANOW, &restore.saved);
    ReleaseStderr();
  }
  ::signal(sig, SIG_DFL);
  ::raise(sig);
}

void RestoreAtExit() {
  if (restore.active && session) {
    restore.active = false;
    endwin();
    std::fflush(stderr);
    ReleaseStderr();
  }
}

void InstallHandlers() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  for (int sig : kEndingSignals) {
    struct sigaction old {};
    ::sigaction(sig, nullptr, &old);
    if (old.sa_handler == SIG_IGN) continue;  // a signal the caller has us ignore stays ignored
    struct sigaction sa {};
    sa.sa_handler = OnEndingSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESETHAND;
    ::sigaction(sig, &sa, nullptr);
  }
  std::atexit(RestoreAtExit);
}

attr_t ToCurses(uint32_t a) {
  attr_t out = A_NORMAL;
  if (a & kReverse) out |= A_REVERSE;
  if (a & kBold) out |= A_BOLD;
  if (a & kDim) out |= A_DIM;
  if (a & kUnderline) out |= A_UNDERLINE;
  if (has_colors()) {
    if (a & kColorAlert) out |= COLOR_PAIR(3);
    else if (a & kColorBusy) out |= COLOR_PAIR(4);
    else if (a & kColorCaption) out |= COLOR_PAIR(2);
    else if (a & kColorWindow) out |= COLOR_PAIR(1);
  }
  return out;
}

}  // namespace

std::unique_ptr<Terminal> Terminal::Open(std::string* error) {
  if (session) {
    *error = "the terminal is already in use by this program";
    return nullptr;
  }
  if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) {
    *error = "standard input and output are not a terminal";
    return nullptr;
  }
  if (!EnsureUtf8Locale()) {
    *error = "no UTF-8 locale is available to show Japanese text (set LANG to a UTF-8 locale, such as C.UTF-8)";
    return nullptr;
  }
  if (::tcgetattr(STDIN_FILENO, &restore.saved) != 0) {
    *error = "the terminal's settings cannot be read";
    return nullptr;
  }
  // Our handlers go first, so that ncurses leaves these signals to us.
  InstallHandlers();
  session = newterm(nullptr, stdout, stdin);
  if (!session) {
    const char* term = std::getenv("TERM");
    *error = std::string("the terminal type \"") + (term ? term : "") + "\" is not known to this system";
    return nullptr;
  }
  set_term(session);
  restore.resetLength = 0;
  AppendCapability("rmcup");
  AppendCapability("cnorm");
  AppendCapability("sgr0");
  AppendCapability("rmkx");
  AppendText("\033[?1000l\033[?1002l\033[?1006l");
  std::fflush(stderr);
  HoldStderr();
  restore.active = true;

  set_escdelay(25);
  cbreak();  // Ctrl-C still interrupts: the handler above gives the terminal back
  noecho();
  nonl();
  keypad(stdscr, TRUE);
  intrflush(stdscr, FALSE);
  mousemask(BUTTON1_CLICKED | BUTTON1_PRESSED | BUTTON1_RELEASED, nullptr);
  mouseinterval(0);
  if (has_colors()) {
    start_color();
    use_default_colors();
    init_pair(1, -1, -1);
    init_pair(2, COLOR_WHITE, COLOR_BLUE);
    init_pair(3, COLOR_RED, -1);
    init_pair(4, COLOR_GREEN, -1);
  }
  std::unique_ptr<Terminal> t(new Terminal());
  t->open_ = true;
  return t;
}

Terminal::~Terminal() { Close(); }

void Terminal::Close() {
  if (!open_) return;
  open_ = false;
  if (restore.active) {
    restore.active = false;
    endwin();
    std::fflush(stderr);
    ReleaseStderr();
  }
  if (session) {
    delscreen(session);
    session = nullptr;
  }
}

int Terminal::rows() const { return open_ ? LINES : 0; }
int Terminal::cols() const { return open_ ? COLS : 0; }

void Terminal::Show(const Canvas& canvas, int cursorRow, int cursorCol) {
  if (!open_) return;
  const int rows = std::min(canvas.rows(), LINES);
  const int cols = std::min(canvas.cols(), COLS);
  // A progress window changes a few cells a paint: the rest are left as the
  // screen holds them.
  const Canvas* before = shown_ && shown_->rows() == canvas.rows() && shown_->cols() == canvas.cols() &&
                                 shownLines_ == LINES && shownCols_ == COLS
                             ? &*shown_
                             : nullptr;
  for (int row = 0; row < rows; ++row) {
    for (int col = 0; col < cols; ++col) {
      const Cell& c = canvas.at(row, col);
      if (c.width == 0) continue;
      if (before != nullptr && before->at(row, col) == c &&
          (c.width == 1 || col + 1 >= cols || before->at(row, col + 1) == canvas.at(row, col + 1)))
        continue;
      if (c.width == 2 && col + 1 >= cols) {  // a half glyph at the edge shows as a blank
        attrset(ToCurses(c.attr));
        mvaddstr(row, col, " ");
        continue;
      }
      attrset(ToCurses(c.attr));
      switch (c.line) {
        case Line::kNone: mvaddstr(row, col, c.glyph.c_str()); break;
        case Line::kHorizontal: mvadd_wch(row, col, WACS_HLINE); break;
        case Line::kVertical: mvadd_wch(row, col, WACS_VLINE); break;
        case Line::kTopLeft: mvadd_wch(row, col, WACS_ULCORNER); break;
        case Line::kTopRight: mvadd_wch(row, col, WACS_URCORNER); break;
        case Line::kBottomLeft: mvadd_wch(row, col, WACS_LLCORNER); break;
        case Line::kBottomRight: mvadd_wch(row, col, WACS_LRCORNER); break;
      }
    }
  }
  attrset(A_NORMAL);
  shown_ = canvas;
  shownLines_ = LINES;
  shownCols_ = COLS;
  if (cursorRow >= 0 && cursorRow < LINES && cursorCol >= 0 && cursorCol < COLS) {
    curs_set(1);
    move(cursorRow, cursorCol);
  } else {
    // No control takes the cursor (every one disabled, say): hide it, and
    // park it in the top-left corner for terminals that cannot hide it,
    // rather than leaving it wherever the last cell was drawn.
    curs_set(0);
    move(0, 0);
  }
  refresh();
}

std::optional<KeyPress> Terminal::ReadRaw(int timeoutMs) {
  timeout(timeoutMs);
  wint_t ch = 0;
  int r = get_wch(&ch);
  if (r == ERR) return std::nullopt;
  bool alt = false;
  if (r == OK && ch == 27) {
    timeout(10);
    wint_t next = 0;
    const int r2 = get_wch(&next);
    if (r2 == ERR) return TranslateKey(27, false, false);
    alt = true;
    r = r2;
    ch = next;
  }
  KeyPress k = TranslateKey(static_cast<uint32_t>(ch), r == KEY_CODE_YES, alt);
  if (k.kind == KeyPress::Kind::kResize) shown_.reset();  // ncurses may have cleared the screen
  if (k.kind == KeyPress::Kind::kMouse) {
    MEVENT ev{};
    clickRow_ = clickCol_ = -1;
    if (getmouse(&ev) == OK && (ev.bstate & (BUTTON1_CLICKED | BUTTON1_PRESSED))) {
      clickRow_ = ev.y;
      clickCol_ = ev.x;
    }
  }
  return k;
}

std::optional<KeyPress> Terminal::ReadKey(int timeoutMs) {
  if (!open_) return std::nullopt;
  if (!pending_.empty()) {
    KeyPress k = pending_.front();
    pending_.pop_front();
    return k;
  }
  return ReadRaw(timeoutMs);
}

bool Terminal::Poll() {
  if (!open_) return false;
  bool resized = false;
  while (auto k = ReadRaw(0)) {
    if (k->kind == KeyPress::Kind::kResize) {
      resized = true;
    } else if (k->kind != KeyPress::Kind::kMouse) {
      pending_.push_back(*k);
    }
  }
  return resized;
}

bool Terminal::LastClick(int* row, int* col) const {
  *row = clickRow_;
  *col = clickCol_;
  return clickRow_ >= 0;
}

void Terminal::Beep() {
  if (open_) beep();
}

}  // namespace platform::ui::tty
