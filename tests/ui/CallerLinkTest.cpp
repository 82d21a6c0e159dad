// The calling-window link between two processes: the caller owns an endpoint,
// the started program disables and enables it, brings it forward and posts
// the run result; a handle with no endpoint fails quietly.
//
// On Windows the endpoint is a real window, so the cases about the endpoint's
// file (its mode, its folder, links to it) are Linux's alone, and the started
// program is played by a second thread: a thread of another process and a
// thread of this one reach the window the same way, through the window
// manager, and each waits in EnableWindow until the caller pumps its
// messages. The scenarios of tests/windows run the launcher and the program as
// two processes.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>

#include "platform/CallerWindow.h"
#include "platform/WindowLink.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"
#include "tests/support/TempFolder.h"
#include "tests/ui/UiTestSupport.h"

namespace {

namespace ui = platform::ui;
using platform::CallerWindow;
using platform::CallerWindowEvent;
using uitest::U8;

// Each test gets its own runtime folder.
class CallerLink : public testing::Test {
 protected:
  void SetUp() override {
    static const std::string run = std::to_string(std::random_device{}() % 1000000000u);
    folder_ = testing::TempDir() + "tb_link_" + run + "_" +
              testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::remove_all(folder_);
    test_support::SetVariable("TAXBRIDGE_RUNTIME_DIR", folder_);
  }
  void TearDown() override {
    test_support::UnsetVariable("TAXBRIDGE_RUNTIME_DIR");
    std::filesystem::remove_all(folder_);
  }
  std::string folder_;
};

// What the started program's exit operation does with the caller's window;
// whether every call was taken.
bool ActAsTheStartedProgram(long handle) {
  uitest::ScriptedUser user("");
  ui::Window* w = ui::Window::FromHandle(handle);
  bool ok = w && w == ui::Window::FromHandle(handle);
  if (!ok) return false;
  w->EnableWindow(false);
  ok = w->SetForegroundWindow();
  w->EnableWindow(true);
  return w->PostToWindow(0x8001, -1, 2) && ok;
}

TEST_F(CallerLink, StartedProcessReachesTheCallerInOrder) {
  std::string error;
  auto caller = CallerWindow::Create(&error);
  ASSERT_TRUE(caller) << error;
  const long handle = caller->Handle();
  ASSERT_GT(handle, 0);

#ifdef _WIN32
  // The sender's EnableWindow returns once this thread, in Receive, has let
  // the window take WM_ENABLE. However the case ends, the window is pumped
  // until the sender is done, and the sender joined.
  std::atomic<int> result{-1};
  std::thread started([&] { result = ActAsTheStartedProgram(handle) ? 0 : 1; });
  struct Joined {
    std::thread& sender;
    CallerWindow& window;
    std::atomic<int>& done;
    ~Joined() {
      while (done == -1) window.Receive(50);
      sender.join();
    }
  } joined{started, *caller, result};
#else
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(ActAsTheStartedProgram(handle) ? 0 : 1);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
#endif

  auto e = caller->Receive(1000);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->kind, CallerWindowEvent::Kind::kEnable);
  EXPECT_FALSE(e->enable);
  EXPECT_FALSE(caller->IsEnabled());
  e = caller->Receive(1000);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->kind, CallerWindowEvent::Kind::kForeground);
  e = caller->Receive(1000);
  ASSERT_TRUE(e);
  EXPECT_TRUE(e->enable);
  EXPECT_TRUE(caller->IsEnabled());
  e = caller->Receive(1000);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->kind, CallerWindowEvent::Kind::kPost);
  EXPECT_EQ(e->message, 0x8001u);
  EXPECT_EQ(e->wparam, -1);  // a function ID sign-extended
  EXPECT_EQ(e->lparam, 2);
  EXPECT_FALSE(caller->Receive(0));
#ifdef _WIN32
  while (result == -1) caller->Receive(50);
  EXPECT_EQ(result, 0);
#endif
}

#ifndef _WIN32  // the endpoint as a file: Linux's alone
TEST_F(CallerLink, EndpointAndFolderAreClosedToOthersAndRemovedAfterUse) {
  std::string error;
  std::string path;
  {
    auto caller = CallerWindow::Create(&error);
    ASSERT_TRUE(caller) << error;
    path = caller->EndpointPath();
    struct stat st{};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_EQ(stat(folder_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    auto second = CallerWindow::Create(&error);
    ASSERT_TRUE(second) << error;
    EXPECT_NE(second->Handle(), caller->Handle());
  }
  EXPECT_FALSE(std::filesystem::exists(path));
}

#endif

TEST_F(CallerLink, PostingToAGoneCallerFailsQuietlyAndIsShownUndelivered) {
  std::string error;
  long handle;
  {
    auto caller = CallerWindow::Create(&error);
    ASSERT_TRUE(caller) << error;
    handle = caller->Handle();
  }
  EXPECT_FALSE(platform::SendPostMessage(handle, 1, 1, 0));
  EXPECT_FALSE(platform::SendEnableWindow(12345, true));
  uitest::ScriptedUser user("");
  EXPECT_FALSE(ui::Window::FromHandle(handle)->PostToWindow(0x8001, 1, 0));
  EXPECT_EQ(user.Lines(), std::vector<std::string>{"caller post 32769 1 0 undelivered"});
  EXPECT_EQ(ui::Window::FromHandle(0), nullptr);
}

#ifndef _WIN32  // the endpoint's folder, mode and links: Linux's alone
TEST_F(CallerLink, AFolderOpenToOthersIsRefusedOnBothSides) {
  ASSERT_EQ(mkdir(folder_.c_str(), 0755), 0);
  ASSERT_EQ(chmod(folder_.c_str(), 0755), 0);
  std::string error;
  EXPECT_FALSE(CallerWindow::Create(&error));
  EXPECT_NE(error.find("closed to others"), std::string::npos) << error;
  EXPECT_FALSE(platform::SendEnableWindow(1, false));
}

// A handle reaches only a socket of this user, closed to others, under its
// own name in the runtime folder: a socket opened to others, another user's
// socket, a link to a socket elsewhere or a plain file is refused, and
// nothing reaches the socket behind it.
TEST_F(CallerLink, OnlyThisUsersClosedSocketIsACallingWindow) {
  std::string error;
  auto caller = CallerWindow::Create(&error);
  ASSERT_TRUE(caller) << error;
  const std::string path = caller->EndpointPath();

  ASSERT_EQ(chmod(path.c_str(), 0666), 0);
  EXPECT_FALSE(platform::SendPostMessage(caller->Handle(), 1, 1, 0));
  ASSERT_EQ(chmod(path.c_str(), 0600), 0);
  EXPECT_TRUE(platform::SendPostMessage(caller->Handle(), 2, 1, 0));
  auto e = caller->Receive(1000);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->message, 2u);  // the refused post never arrived

  if (geteuid() == 0) {
    // Run as root, the test can hand the endpoint to another user.
    ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
    EXPECT_FALSE(platform::SendPostMessage(caller->Handle(), 3, 1, 0));
    ASSERT_EQ(chown(path.c_str(), 0, 0), 0);
  }

  // A link under a handle's name to a live socket of another folder.
  const std::string elsewhere = folder_ + "-elsewhere";
  std::filesystem::remove_all(elsewhere);
  ASSERT_EQ(mkdir(elsewhere.c_str(), 0700), 0);
  setenv("TAXBRIDGE_RUNTIME_DIR", elsewhere.c_str(), 1);
  auto other = CallerWindow::Create(&error);
  ASSERT_TRUE(other) << error;
  setenv("TAXBRIDGE_RUNTIME_DIR", folder_.c_str(), 1);
  ASSERT_EQ(symlink(other->EndpointPath().c_str(), platform::LinkEndpointPath(folder_, 4242).c_str()), 0);
  EXPECT_FALSE(platform::SendPostMessage(4242, 4, 1, 0));
  std::ofstream(platform::LinkEndpointPath(folder_, 4343)) << "not a socket";
  EXPECT_FALSE(platform::SendPostMessage(4343, 5, 1, 0));
  EXPECT_FALSE(platform::SendPostMessage(-4242, 6, 1, 0));
  EXPECT_FALSE(other->Receive(100));
  EXPECT_FALSE(caller->Receive(0));
  other.reset();
  std::filesystem::remove_all(elsewhere);
}

TEST_F(CallerLink, ARuntimeFolderThatIsALinkIsRefused) {
  const std::string real = folder_ + "-real";
  std::filesystem::remove_all(real);
  ASSERT_EQ(mkdir(real.c_str(), 0700), 0);
  ASSERT_EQ(symlink(real.c_str(), folder_.c_str()), 0);
  std::string error;
  EXPECT_FALSE(CallerWindow::Create(&error));
  EXPECT_NE(error.find("closed to others"), std::string::npos) << error;
  std::filesystem::remove_all(real);
}

TEST_F(CallerLink, EndpointsAreMadeClosedWhateverTheProcessMask) {
  const mode_t mask = umask(0);
  std::string error;
  auto caller = CallerWindow::Create(&error);
  umask(mask);
  ASSERT_TRUE(caller) << error;
  struct stat st{};
  ASSERT_EQ(stat(folder_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  ASSERT_EQ(lstat(caller->EndpointPath().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

#endif

TEST(CallerWindowWire, EncodingRoundTripsAndMalformedDatagramsAreRefused) {
  CallerWindowEvent post{CallerWindowEvent::Kind::kPost};
  post.message = 4294967295u;
  post.wparam = -32768;
  post.lparam = 2;
  const auto back = platform::DecodeCallerWindowEvent(platform::EncodeCallerWindowEvent(post));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->message, post.message);
  EXPECT_EQ(back->wparam, post.wparam);
  EXPECT_EQ(back->lparam, post.lparam);
  for (const char* bad : {"", "TBWIN1", "TBWIN1 enable 2", "TBWIN1 post 1 2", "TBWIN1 post x 1 2",
                          "TBWIN1 post 1 2 3 4", "XXXX enable 1", "TBWIN1 foreground now", "TBWIN1 post 4294967296 0 0"}) {
    EXPECT_FALSE(platform::DecodeCallerWindowEvent(bad)) << bad;
  }
}

}  // namespace

namespace {

TEST_F(CallerLink, ModalDialogLeavesAnAlreadyDisabledCallerDisabled) {
  std::string error;
  auto caller = CallerWindow::Create(&error);
  ASSERT_TRUE(caller) << error;
  uitest::ScriptedUser user("key Escape\nkey Escape\n");
  ui::Window* host = ui::Window::FromHandle(caller->Handle());
  {
    // Owner enabled: disabled while the dialog runs, enabled again after it.
    ui::Dialog d(resources::FindDialogTemplate(resources::kConditionDialog), host);
    EXPECT_EQ(d.DoModal(), ui::kIdCancel);
  }
  host->EnableWindow(false);
  {
    // Owner already disabled (the run keeps it so until its end): left alone.
    ui::Dialog d(resources::FindDialogTemplate(resources::kConditionDialog), host);
    EXPECT_EQ(d.DoModal(), ui::kIdCancel);
  }
  EXPECT_EQ(user.LinesStarting("caller "),
            (std::vector<std::string>{"caller enable 0", "caller enable 1", "caller enable 0"}));
  EXPECT_EQ(user.LinesStarting("dialog 130 shown")[0], U8(u8"dialog 130 shown \"消費税 - 集計条件\" modal owner=caller"));
  int received = 0;
  while (caller->Receive(200)) ++received;
  EXPECT_EQ(received, 3);
  EXPECT_FALSE(caller->IsEnabled());
}

}  // namespace
