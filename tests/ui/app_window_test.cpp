// The real `framefit` program on a private X server (Xvfb): its window shows with the caption,
// size and place it should have, and it ends with status 0 when closed the way the frame's close
// box closes it (a WM_DELETE_WINDOW request). The fault box of the report-only mode likewise.

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// Last: Xlib's macros (None, Bool, Status) would break the headers above.
#include <X11/Xlib.h>

namespace {

using namespace std::chrono_literals;

constexpr int ScreenWidth = 800;
constexpr int ScreenHeight = 600;

pid_t Spawn(const std::vector<std::string>& args, const std::string& display, int keep_fd = -1) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  for (int fd = 3; fd < 256; ++fd) {
    if (fd != keep_fd) close(fd);
  }
  if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
  unsetenv("QT_QPA_PLATFORM");
  unsetenv("WAYLAND_DISPLAY");
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  execvp(argv[0], argv.data());
  _exit(127);
}

// The exit status once the process has ended, nullopt when it is still running at the deadline.
std::optional<int> WaitForExit(pid_t pid, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::this_thread::sleep_for(20ms);
  }
  return std::nullopt;
}

void Stop(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }  // a window may vanish while we look

class AppWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    int pipe_fds[2];
    ASSERT_EQ(pipe(pipe_fds), 0);
    xvfb_ = Spawn({"Xvfb", "-displayfd", std::to_string(pipe_fds[1]), "-screen", "0",
                   std::to_string(ScreenWidth) + "x" + std::to_string(ScreenHeight) + "x24",
                   "-nolisten", "tcp"},
                  "", pipe_fds[1]);
    close(pipe_fds[1]);
    std::string number;
    pollfd ready{pipe_fds[0], POLLIN, 0};
    char c = 0;
    while (poll(&ready, 1, 10000) == 1 && read(pipe_fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(pipe_fds[0]);
    if (number.empty()) GTEST_SKIP() << "Xvfb did not start (is it installed?)";
    display_name_ = ":" + number;
    display_ = XOpenDisplay(display_name_.c_str());
    ASSERT_NE(display_, nullptr);
    XSetErrorHandler(IgnoreXErrors);
  }

  void TearDown() override {
    Stop(program_);
    if (display_ != nullptr) XCloseDisplay(display_);
    if (xvfb_ > 0) {
      kill(xvfb_, SIGTERM);
      waitpid(xvfb_, nullptr, 0);
    }
  }

  // The mapped top-level window with this caption, once it shows (no window manager: the
  // program's windows are the root's own children).
  std::optional<Window> WaitForWindow(const std::string& caption) {
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (std::chrono::steady_clock::now() < deadline) {
      Window root_back, parent;
      Window* children = nullptr;
      unsigned count = 0;
      if (XQueryTree(display_, DefaultRootWindow(display_), &root_back, &parent, &children, &count)) {
        std::optional<Window> found;
        for (unsigned i = 0; i < count && !found; ++i) {
          XWindowAttributes attributes;
          char* name = nullptr;
          if (XGetWindowAttributes(display_, children[i], &attributes) &&
              attributes.map_state == IsViewable && XFetchName(display_, children[i], &name) && name) {
            if (caption == name) found = children[i];
            XFree(name);
          }
        }
        if (children) XFree(children);
        if (found) return found;
      }
      std::this_thread::sleep_for(50ms);
    }
    return std::nullopt;
  }

  // What the frame's close box sends.
  void RequestClose(Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &event);
    XFlush(display_);
  }

  pid_t xvfb_ = -1;
  pid_t program_ = -1;
  std::string display_name_;
  Display* display_ = nullptr;
};

TEST_F(AppWindowTest, WindowShowsCentredAndClosingItEndsTheProgramWithStatusZero) {
  program_ = Spawn({FRAMEFIT_BINARY, std::string(FRAMEFIT_FIXTURES) + "/xvid_mp3.avi", "ignored"},
                   display_name_);
  const std::optional<Window> window = WaitForWindow("Calc the best size for XviD 1.1");
  ASSERT_TRUE(window.has_value()) << "the main window never showed";

  XWindowAttributes attributes;
  ASSERT_TRUE(XGetWindowAttributes(display_, *window, &attributes));
  EXPECT_EQ(attributes.width, 405);
  EXPECT_EQ(attributes.height, 295);
  EXPECT_EQ(attributes.x, (ScreenWidth - 405) >> 1);
  EXPECT_EQ(attributes.y, (ScreenHeight - 295) >> 1);

  RequestClose(*window);
  EXPECT_EQ(WaitForExit(program_, 10s), std::optional<int>(0));
  program_ = -1;
}

TEST_F(AppWindowTest, FaultReportModeShowsTheErrorBoxAndEndsWithStatusZero) {
  program_ = Spawn({FRAMEFIT_BINARY, "--fault-report", "Runtime error 216 at 00401A2C"}, display_name_);
  const std::optional<Window> box = WaitForWindow("Error");
  ASSERT_TRUE(box.has_value()) << "the fault box never showed";
  RequestClose(*box);
  EXPECT_EQ(WaitForExit(program_, 10s), std::optional<int>(0));
  program_ = -1;
}

}  // namespace
