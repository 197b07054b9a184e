#pragma once

// What the end-to-end benchmarks need of an X display: launching the program, finding its
// windows, sending keys and mouse clicks through XTest, fingerprints of a window's picture,
// and waiting until the program's event loop is idle again (it answers _NET_WM_PING only
// from its event loop, so a round trip proves it has finished the work before it).

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>
#include <X11/Xlib.h>

namespace tamisko::bench::x11 {

using Clock = std::chrono::steady_clock;
double millisecondsSince(Clock::time_point start);

// A launched program, killed when this goes. `environment` is added to the inherited one.
class Child
{
public:
    Child(const std::vector<std::string>& command,
          const std::vector<std::pair<std::string, std::string>>& environment = {});
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    pid_t pid() const { return pid_; }
    bool exited() const;
    long residentKilobytes() const;
    // User and system CPU time used so far, in milliseconds.
    double cpuMilliseconds() const;

private:
    pid_t pid_ = -1;
};

// Polls every millisecond until done() holds; false when the child ended or a minute passed.
bool pollUntil(const Child& child, const std::function<bool()>& done);

class Session
{
public:
    Session(); // opens the display named by DISPLAY; ok() tells whether that worked
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    bool ok() const { return display_ != nullptr; }
    Display* display() const { return display_; }

    // A mapped top-level window whose caption holds the text.
    std::optional<Window> findWindow(const std::string& caption) const;
    // The mapped top-level windows of a process (menus and tool tips left out).
    std::vector<Window> windowsOf(pid_t pid) const;
    std::string captionOf(Window window) const;

    uint64_t pictureOf(Window window) const;
    uint64_t settledPicture(Window window) const;

    void focus(Window window) const;
    // Control, Shift and Alt as X modifier masks (ControlMask, ShiftMask, Mod1Mask).
    void pressKey(unsigned long keysym, unsigned int modifiers = 0) const;
    // Types UTF-8 text; characters missing from the keyboard map get a spare key code.
    void typeText(const std::string& utf8) const;
    // A left click at a point relative to the window; twice for a double click.
    void click(Window window, int x, int y, int count = 1) const;

    // Waits until the program answers two pings in a row and the window's picture has
    // stayed the same for a while; returns the milliseconds from `start` to the later of
    // the second answer and the picture's last change, or -1 on a timeout.
    double untilIdle(const Child& child, Window window, Clock::time_point start) const;

private:
    bool ping(const Child& child, Window window) const;
    unsigned int keycodeFor(unsigned long keysym) const;

    Display* display_ = nullptr;
    unsigned int spareKeycode_ = 0;
    mutable long pingSerial_ = 0;
};

} // namespace tamisko::bench::x11
