// Launches a program under an X display and measures, from the launch, when its window
// with a given caption is mapped; then sends keys and measures when the window's picture
// changes: F6 (the movement grid), Ctrl+Home and Ctrl+End (scrolling the grid from end to
// start and back). Reads the process's resident memory at the end. Times are wall-clock,
// so the X server's and the program's work are both in them.
//
//   tamisko_end_to_end --caption=TEXT [--keys] [--runs=N] -- PROGRAM ARGUMENTS...

#include "XSession.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>
#include <X11/keysym.h>

namespace {

using namespace tamisko::bench::x11;

// Milliseconds from the key to the first change of the window's picture; -1 when none.
double keyToPicture(const Session& x, const Child& child, Window window, KeySym symbol,
                    unsigned int modifiers)
{
    const uint64_t before = x.settledPicture(window);
    const auto start = Clock::now();
    x.pressKey(symbol, modifiers);
    if (!pollUntil(child, [&] { return x.pictureOf(window) != before; }))
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

std::optional<Run> measure(const Session& x, const std::vector<std::string>& command,
                           const std::string& caption, bool keys)
{
    Run run;
    const auto launch = Clock::now();
    const Child child(command);
    std::optional<Window> window;
    if (!pollUntil(child, [&] { return (window = x.findWindow(caption)).has_value(); }))
        return std::nullopt;
    run.caption = millisecondsSince(launch);
    run.residentAtCaptionKb = child.residentKilobytes();
    if (keys) {
        x.focus(*window);
        run.grid = keyToPicture(x, child, *window, XK_F6, 0);
        run.toStart = keyToPicture(x, child, *window, XK_Home, ControlMask);
        run.toEnd = keyToPicture(x, child, *window, XK_End, ControlMask);
        x.settledPicture(*window);
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
    const Session x;
    if (!x.ok()) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    std::vector<Run> results;
    for (int i = 0; i < runs; ++i) {
        const auto run = measure(x, command, caption, keys);
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
