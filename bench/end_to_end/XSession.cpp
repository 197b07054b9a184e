#include "XSession.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <X11/Xatom.h>
#include <X11/XKBlib.h>
#include <X11/Xutil.h>

namespace tamisko::bench::x11 {

namespace {

constexpr auto kTimeout = std::chrono::seconds(60);

void sleepMilliseconds(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// Windows come and go while they are looked at: such errors are expected, not fatal.
int ignoreError(Display*, XErrorEvent*)
{
    return 0;
}

} // namespace

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

Child::Child(const std::vector<std::string>& command,
             const std::vector<std::pair<std::string, std::string>>& environment)
{
    pid_ = ::fork();
    if (pid_ == 0) {
        for (const auto& [name, value] : environment)
            ::setenv(name.c_str(), value.c_str(), 1);
        std::vector<char*> argv;
        for (const std::string& word : command)
            argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        std::perror(argv[0]);
        std::_Exit(127);
    }
}

Child::~Child()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

bool Child::exited() const
{
    return pid_ <= 0 || ::waitpid(pid_, nullptr, WNOHANG) == pid_;
}

long Child::residentKilobytes() const
{
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

double Child::cpuMilliseconds() const
{
    std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t name = text.rfind(')'); // the command name may hold blanks
    if (name == std::string::npos)
        return -1;
    std::istringstream fields(text.substr(name + 2));
    std::string field;
    double ticks = 0;
    for (int i = 3; fields >> field && i <= 15; ++i) {
        if (i == 14 || i == 15) // utime, stime
            ticks += std::stod(field);
    }
    return ticks * 1000.0 / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

bool pollUntil(const Child& child, const std::function<bool()>& done)
{
    const auto start = Clock::now();
    while (!done()) {
        if (child.exited() || Clock::now() - start > kTimeout)
            return false;
        sleepMilliseconds(1);
    }
    return true;
}

Session::Session() : display_(XOpenDisplay(nullptr))
{
    if (!display_)
        return;
    XSetErrorHandler(ignoreError);
    // The program answers pings to the root window with this mask.
    XSelectInput(display_, DefaultRootWindow(display_), StructureNotifyMask);
    // A key code without symbols, for characters the keyboard map lacks.
    int first = 0;
    int last = 0;
    XDisplayKeycodes(display_, &first, &last);
    int perCode = 0;
    KeySym* map =
        XGetKeyboardMapping(display_, static_cast<KeyCode>(first), last - first + 1, &perCode);
    for (int code = last; code >= first && !spareKeycode_; --code) {
        bool empty = true;
        for (int i = 0; i < perCode; ++i)
            empty = empty && map[(code - first) * perCode + i] == NoSymbol;
        if (empty)
            spareKeycode_ = static_cast<unsigned int>(code);
    }
    XFree(map);
}

Session::~Session()
{
    if (display_)
        XCloseDisplay(display_);
}

std::string Session::captionOf(Window window) const
{
    const Atom netName = XInternAtom(display_, "_NET_WM_NAME", False);
    XTextProperty property{};
    std::string name;
    if (XGetTextProperty(display_, window, &property, netName) && property.value) {
        name.assign(reinterpret_cast<const char*>(property.value), property.nitems);
        XFree(property.value);
    }
    return name;
}

namespace {

std::vector<Window> viewableTopLevels(Display* display)
{
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    std::vector<Window> windows;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return windows;
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, children[i], &attributes) &&
            attributes.map_state == IsViewable && !attributes.override_redirect)
            windows.push_back(children[i]);
    }
    if (children)
        XFree(children);
    return windows;
}

long pidOf(Display* display, Window window)
{
    const Atom netPid = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = 0;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, netPid, 0, 1, False, XA_CARDINAL, &type, &format,
                           &items, &after, &data) == Success &&
        data) {
        if (items == 1 && format == 32)
            pid = *reinterpret_cast<long*>(data);
        XFree(data);
    }
    return pid;
}

} // namespace

std::optional<Window> Session::findWindow(const std::string& caption) const
{
    for (const Window window : viewableTopLevels(display_)) {
        if (captionOf(window).find(caption) != std::string::npos)
            return window;
    }
    return std::nullopt;
}

std::vector<Window> Session::windowsOf(pid_t pid) const
{
    std::vector<Window> windows;
    for (const Window window : viewableTopLevels(display_)) {
        if (pidOf(display_, window) == pid)
            windows.push_back(window);
    }
    return windows;
}

uint64_t Session::pictureOf(Window window) const
{
    XWindowAttributes attributes{};
    XGetWindowAttributes(display_, window, &attributes);
    XImage* image = XGetImage(display_, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image)
        return 0;
    // FNV-1a over 64-bit words: quick enough to poll without starving the program.
    uint64_t hash = 1469598103934665603ull;
    const size_t size =
        static_cast<size_t>(image->bytes_per_line) * static_cast<size_t>(image->height);
    for (size_t i = 0; i + 8 <= size; i += 8) {
        uint64_t word = 0;
        std::memcpy(&word, image->data + i, 8);
        hash = (hash ^ word) * 1099511628211ull;
    }
    XDestroyImage(image);
    return hash;
}

uint64_t Session::settledPicture(Window window) const
{
    uint64_t last = pictureOf(window);
    for (int same = 0; same < 5;) {
        sleepMilliseconds(20);
        const uint64_t now = pictureOf(window);
        same = now == last ? same + 1 : 0;
        last = now;
    }
    return last;
}

void Session::focus(Window window) const
{
    XSetInputFocus(display_, window, RevertToParent, CurrentTime);
    XSync(display_, False);
}

unsigned int Session::keycodeFor(unsigned long keysym) const
{
    const KeyCode code = XKeysymToKeycode(display_, keysym);
    if (code && XkbKeycodeToKeysym(display_, code, 0, 0) == keysym)
        return code;
    if (!spareKeycode_)
        return code;
    KeySym symbols[2] = {keysym, keysym};
    XChangeKeyboardMapping(display_, static_cast<int>(spareKeycode_), 2, symbols, 1);
    XSync(display_, False);
    sleepMilliseconds(20); // the program reads the new map before the key
    return spareKeycode_;
}

void Session::pressKey(unsigned long keysym, unsigned int modifiers) const
{
    const std::pair<unsigned int, KeySym> modifierKeys[] = {
        {ControlMask, XK_Control_L}, {ShiftMask, XK_Shift_L}, {Mod1Mask, XK_Alt_L}};
    const unsigned int code = keycodeFor(keysym);
    for (const auto& [mask, key] : modifierKeys) {
        if (modifiers & mask)
            XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, key), True, CurrentTime);
    }
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    for (const auto& [mask, key] : modifierKeys) {
        if (modifiers & mask)
            XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, key), False, CurrentTime);
    }
    XSync(display_, False);
}

void Session::typeText(const std::string& utf8) const
{
    for (size_t i = 0; i < utf8.size();) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const int length = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
        unsigned long point = length == 1 ? byte : byte & (0x3F >> (length - 1));
        for (int k = 1; k < length && i + static_cast<size_t>(k) < utf8.size(); ++k)
            point = (point << 6) |
                    (static_cast<unsigned char>(utf8[i + static_cast<size_t>(k)]) & 0x3F);
        i += static_cast<size_t>(length);
        pressKey(point < 0x100 ? point : 0x01000000 | point);
        sleepMilliseconds(5);
    }
}

void Session::click(Window window, int x, int y, int count) const
{
    int rootX = 0;
    int rootY = 0;
    Window child = 0;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), x, y, &rootX, &rootY,
                          &child);
    XTestFakeMotionEvent(display_, -1, rootX, rootY, CurrentTime);
    for (int i = 0; i < count; ++i) {
        XTestFakeButtonEvent(display_, 1, True, CurrentTime);
        XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    }
    XSync(display_, False);
}

bool Session::ping(const Child& child, Window window) const
{
    const Atom protocols = XInternAtom(display_, "WM_PROTOCOLS", False);
    const Atom netPing = XInternAtom(display_, "_NET_WM_PING", False);
    const long serial = ++pingSerial_;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(netPing);
    event.xclient.data.l[1] = serial;
    event.xclient.data.l[2] = static_cast<long>(window);
    XSendEvent(display_, window, False, NoEventMask, &event);
    XFlush(display_);
    const auto start = Clock::now();
    while (Clock::now() - start < kTimeout && !child.exited()) {
        while (XPending(display_)) {
            XEvent reply{};
            XNextEvent(display_, &reply);
            if (reply.type == ClientMessage && reply.xclient.message_type == protocols &&
                static_cast<Atom>(reply.xclient.data.l[0]) == netPing &&
                reply.xclient.data.l[1] == serial)
                return true;
        }
        pollfd connection{ConnectionNumber(display_), POLLIN, 0};
        ::poll(&connection, 1, 5);
    }
    return false;
}

double Session::untilIdle(const Child& child, Window window, Clock::time_point start) const
{
    double answered = -1;
    for (int i = 0; i < 2; ++i) {
        if (!ping(child, window))
            return -1;
        answered = millisecondsSince(start);
    }
    uint64_t last = pictureOf(window);
    double lastChange = 0;
    for (int same = 0; same < 6;) {
        if (Clock::now() - start > kTimeout)
            return -1; // the picture never settled
        sleepMilliseconds(10);
        if (!ping(child, window))
            return -1;
        const uint64_t now = pictureOf(window);
        if (now != last) {
            lastChange = millisecondsSince(start);
            same = 0;
        } else {
            ++same;
        }
        last = now;
    }
    return std::max(answered, lastChange);
}

} // namespace tamisko::bench::x11
