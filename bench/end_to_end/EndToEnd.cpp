// Launches a program under an X display and measures, from the launch, when its window
// with a given caption is mapped; then sends keys and measures when the window's picture
// changes: F6 (the movement grid), Ctrl+Home and Ctrl+End (scrolling the grid from end to
// start and back). Reads the process's resident memory at the end. Times are wall-clock,
// so the X server's and the program's work are both in them.
//
//   tamisko_end_to_end --caption=TEXT [--keys] [--runs=N] -- PROGRAM ARGUMENTS...

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kTimeout = std::chrono::seconds(60);

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct DisplayCloser
{
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayHandle = std::unique_ptr<Display, DisplayCloser>;

// A launched program, terminated when this goes.
class Child
{
public:
    explicit Child(const std::vector<std::string>& command)
    {
        pid_ = ::fork();
        if (pid_ == 0) {
            std::vector<char*> argv;
            for (const std::string& word : command)
                argv.push_back(const_cast<char*>(word.c_str()));
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            std::perror(argv[0]);
            std::_Exit(127);
        }
    }
    ~Child()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    pid_t pid() const { return pid_; }
    bool exited() const { return pid_ <= 0 || ::waitpid(pid_, nullptr, WNOHANG) == pid_; }

    long residentKilobytes() const
    {
        std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("VmRSS:", 0) == 0)
                return std::strtol(line.c_str() + 6, nullptr, 10);
        }
        return -1;
    }

private:
    pid_t pid_ = -1;
};

std::string windowName(Display* display, Window window)
{
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    XTextProperty property{};
    std::string name;
    if (XGetTextProperty(display, window, &property, netName) && property.value) {
        name.assign(reinterpret_cast<const char*>(property.value), property.nitems);
        XFree(property.value);
    }
    return name;
}

// A mapped top-level window whose caption holds the text.
std::optional<Window> findWindow(Display* display, const std::string& caption)
{
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return std::nullopt;
    std::optional<Window> found;
    for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, children[i], &attributes) &&
            attributes.map_state == IsViewable &&
            windowName(display, children[i]).find(caption) != std::string::npos)
            found = children[i];
    }
    if (children)
        XFree(children);
    return found;
}

// A fingerprint of the window's picture.
uint64_t pictureOf(Display* display, Window window)
{
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image)
        return 0;
    uint64_t hash = 1469598103934665603ull; // FNV-1a
    const size_t size =
        static_cast<size_t>(image->bytes_per_line) * static_cast<size_t>(image->height);
    for (size_t i = 0; i < size; ++i)
        hash = (hash ^ static_cast<unsigned char>(image->data[i])) * 1099511628211ull;
    XDestroyImage(image);
    return hash;
}

bool pollUntil(const Child& child, const std::function<bool()>& done)
{
    const auto start = Clock::now();
    while (!done()) {
        if (child.exited() || Clock::now() - start > kTimeout)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Waits until the picture stays the same for a while: the window has finished painting.
uint64_t settledPicture(Display* display, Window window)
{
    uint64_t last = pictureOf(display, window);
    for (int same = 0; same < 5;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const uint64_t now = pictureOf(display, window);
        same = now == last ? same + 1 : 0;
        last = now;
    }
    return last;
}

void pressKey(Display* display, KeySym symbol, bool control)
{
    const KeyCode controlKey = XKeysymToKeycode(display, XK_Control_L);
    if (control)
        XTestFakeKeyEvent(display, controlKey, True, CurrentTime);
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, symbol), True, CurrentTime);
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, symbol), False, CurrentTime);
    if (control)
        XTestFakeKeyEvent(display, controlKey, False, CurrentTime);
    XFlush(display);
}

// Milliseconds from the key to the first change of the window's picture; -1 when none.
double keyToPicture(Display* display, const Child& child, Window window, KeySym symbol,
                    bool control)
{
    const uint64_t before = settledPicture(display, window);
    const auto start = Clock::now();
    pressKey(display, symbol, control);
    if (!pollUntil(child, [&] { return pictureOf(display, window) != before; }))
        return -1;
    return millisecondsSince(start);
}

struct Run
{
    double caption = -1;
    double grid = -1;
    double toStart = -1;
    double toEnd = -1;
    long residentAtCaptionKb = -1;
    long residentKb = -1;
};

std::optional<Run> measure(Display* display, const std::vector<std::string>& command,
                           const std::string& caption, bool keys)
{
    Run run;
    const auto launch = Clock::now();
    const Child child(command);
    std::optional<Window> window;
    if (!pollUntil(child, [&] { return (window = findWindow(display, caption)).has_value(); }))
        return std::nullopt;
    run.caption = millisecondsSince(launch);
    run.residentAtCaptionKb = child.residentKilobytes();
    if (keys) {
        XSetInputFocus(display, *window, RevertToParent, CurrentTime);
        run.grid = keyToPicture(display, child, *window, XK_F6, false);
        run.toStart = keyToPicture(display, child, *window, XK_Home, true);
        run.toEnd = keyToPicture(display, child, *window, XK_End, true);
        settledPicture(display, *window);
    }
    run.residentKb = child.residentKilobytes();
    return run;
}

} // namespace

int main(int argc, char** argv)
{
    std::string caption;
    bool keys = false;
    int runs = 3;
    std::vector<std::string> command;
    int i = 1;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--caption=", 0) == 0)
            caption = arg.substr(10);
        else if (arg == "--keys")
            keys = true;
        else if (arg.rfind("--runs=", 0) == 0)
            runs = std::max(1, std::atoi(arg.c_str() + 7));
    }
    command.assign(argv + std::min(i + 1, argc), argv + argc);
    if (caption.empty() || command.empty()) {
        std::fprintf(stderr, "usage: %s --caption=TEXT [--keys] [--runs=N] -- PROGRAM ARGS...\n",
                     argv[0]);
        return 2;
    }
    const DisplayHandle display(XOpenDisplay(nullptr));
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    std::vector<Run> results;
    for (int i = 0; i < runs; ++i) {
        const auto run = measure(display.get(), command, caption, keys);
        if (!run) {
            std::fprintf(stderr, "the window \"%s\" did not appear\n", caption.c_str());
            return 1;
        }
        results.push_back(*run);
    }
    // The median run by caption time, as the figures of one run belong together.
    std::sort(results.begin(), results.end(),
              [](const Run& a, const Run& b) { return a.caption < b.caption; });
    const Run& median = results[results.size() / 2];
    std::printf("caption %.0f ms", median.caption);
    if (keys)
        std::printf("  grid after F6 %.0f ms  Ctrl+Home %.0f ms  Ctrl+End %.0f ms", median.grid,
                    median.toStart, median.toEnd);
    if (keys)
        std::printf("  resident %.1f MB at the caption, %.1f MB after scrolling",
                    static_cast<double>(median.residentAtCaptionKb) / 1024.0,
                    static_cast<double>(median.residentKb) / 1024.0);
    else
        std::printf("  resident %.1f MB", static_cast<double>(median.residentKb) / 1024.0);
    std::printf("  (median of %d runs)\n", runs);
    return 0;
}
