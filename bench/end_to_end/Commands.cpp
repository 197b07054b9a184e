// The user's commands on a large book, end to end: the program is started under an X
// display and driven through XTest as a user would drive it, and each command is timed
// from its input event (the key or click that starts it, or the key that answers its
// dialog) until the program's event loop is idle again and the window's picture has
// settled. Dialogs the commands open are answered with keys. Three sessions, each on a
// fresh copy of the book; the table gives the median of the sessions' figures, beside a
// bare Qt window's start-up measured in the same run, and the resident memory at the end.
//
//   tamisko_commands --program=build/tamisko --bare=build/tamisko_bare_window
//                    --book=BOOK.tmk --protected=BOOK-encrypted.tmk --password=TEXT
//                    [--statement=CSV] [--runs=N]
//
// Window positions are those of the main window's default size (792 x 355 client area),
// which a fresh settings folder gives.

#include "XSession.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>
#include <X11/keysym.h>

namespace {

using namespace tamisko::bench::x11;
namespace fs = std::filesystem;

struct Options
{
    std::string program;
    std::string bare;
    std::string book;
    std::string protectedBook;
    std::string password;
    std::string statement;
    int runs = 3;
};

// The middle value; -1 for none.
double medianOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1.0 : values[values.size() / 2];
}

// Samples per command in the order first met, so the table keeps the order of the session.
class Figures
{
public:
    void add(const std::string& name, double value)
    {
        if (!samples_.count(name))
            order_.push_back(name);
        samples_[name].push_back(value);
    }
    void note(const std::string& name, const std::string& text) { notes_[name] = text; }
    // The program's resident memory once the command was done, in MB.
    void resident(const std::string& name, double megabytes)
    {
        resident_[name].push_back(megabytes);
    }
    double residentAfter(const std::string& name) const
    {
        const auto found = resident_.find(name);
        return found == resident_.end() ? -1 : medianOf(found->second);
    }

    const std::vector<std::string>& names() const { return order_; }
    double median(const std::string& name) const
    {
        const std::vector<double>& values = samples_.at(name);
        if (std::any_of(values.begin(), values.end(), [](double v) { return v < 0; }))
            return -1;
        return medianOf(values);
    }
    size_t count(const std::string& name) const { return samples_.at(name).size(); }
    std::string noteOf(const std::string& name) const
    {
        const auto found = notes_.find(name);
        return found == notes_.end() ? std::string() : found->second;
    }

private:
    std::vector<std::string> order_;
    std::map<std::string, std::vector<double>> samples_;
    std::map<std::string, std::string> notes_;
    std::map<std::string, std::vector<double>> resident_;
};

// The text followed by blanks up to a width in characters (printf counts UTF-8 bytes).
std::string padded(const std::string& text, size_t width)
{
    const size_t characters = static_cast<size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
    return text + std::string(width > characters ? width - characters : 0, ' ');
}

// Why a command misses its goal, from the profiles and figures in bench/RESULTS.md.
std::string missedBecause(const std::string& command)
{
    static const std::pair<const char*, const char*> reasons[] = {
        {"sort: click on Περιγραφή",
         "one cache miss per record for its text: the earlier sorts left the records "
         "scattered in memory"},
        {"sort: second click on Περιγραφή",
         "one cache miss per record for its text: the earlier sorts left the records "
         "scattered in memory"},
        {"sort:", "the keys read from records scattered in memory by the earlier sorts"},
        {"copy:", "formatting and writing 67 MB of text"},
        {"export:", "formatting and writing 67 MB of text"},
        {"time series: Εκκίνηση, length 1",
         "7,313 periods: the grid and the chart's 7,313 bars on top of the walk"},
        {"time series:", "the walk over 10^6 records scattered in memory by the sorts"},
        {"category rename", "the walk over 10^6 records and the posts of the matches"},
        {"category merge", "the walk over 10^6 records and the posts of the matches"},
        {"Ctrl+S, protected", "the serial cipher (375 ms CPU) plus the plain save"},
        {"Ctrl+S, plain", "the write, its fsync and the backup copy"},
        {"F7", "the comparison window's first layout"},
        {"F8", "the time-series window's first layout"},
    };
    for (const auto& [prefix, reason] : reasons) {
        if (command.rfind(prefix, 0) == 0)
            return reason;
    }
    return "see bench/RESULTS.md";
}

void sleepMilliseconds(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// Whether the program's binary holds a text (as Qt keeps literals: UTF-16, little-endian).
bool programHasText(const std::string& program, const std::u16string& text)
{
    std::ifstream file(program, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    std::string needle;
    for (const char16_t unit : text) {
        needle.push_back(static_cast<char>(unit & 0xFF));
        needle.push_back(static_cast<char>(unit >> 8));
    }
    return bytes.find(needle) != std::string::npos;
}

// One launched program and the commands run on it.
class Driver
{
public:
    Driver(const Session& x, const Child& child, Window main, Figures& figures)
        : x_(x), child_(child), main_(main), figures_(figures)
    {}

    Window main() const { return main_; }

    void key(const std::string& name, unsigned long keysym, unsigned int modifiers = 0)
    {
        x_.focus(main_);
        x_.settledPicture(main_);
        const auto start = Clock::now();
        x_.pressKey(keysym, modifiers);
        record(name, x_.untilIdle(child_, main_, start));
    }

    void click(const std::string& name, int px, int py, int count = 1)
    {
        x_.settledPicture(main_);
        spaceClicks();
        const auto start = Clock::now();
        x_.click(main_, px, py, count);
        record(name, x_.untilIdle(child_, main_, start));
    }

    // Untimed steps that set a command up.
    void prepareKey(unsigned long keysym, unsigned int modifiers = 0)
    {
        x_.focus(main_);
        x_.pressKey(keysym, modifiers);
        x_.untilIdle(child_, main_, Clock::now());
    }
    void prepareClick(int px, int py, int count = 1)
    {
        plainClick(px, py, count);
        x_.untilIdle(child_, main_, Clock::now());
    }
    // A click that is not waited for (the window may keep changing after it).
    void plainClick(int px, int py, int count = 1)
    {
        spaceClicks();
        x_.click(main_, px, py, count);
    }

    // A window of the program other than the main window, once it is shown.
    std::optional<Window> waitForDialog(int seconds = 20) const
    {
        const auto start = Clock::now();
        while (Clock::now() - start < std::chrono::seconds(seconds) && !child_.exited()) {
            for (const Window window : x_.windowsOf(child_.pid())) {
                if (window != main_)
                    return window;
            }
            sleepMilliseconds(2);
        }
        return std::nullopt;
    }

    // Presses a key that opens a dialog; the dialog with the focus, or nothing.
    std::optional<Window> openDialog(unsigned long keysym, unsigned int modifiers = 0)
    {
        x_.focus(main_);
        x_.pressKey(keysym, modifiers);
        return focusDialog();
    }
    std::optional<Window> focusDialog()
    {
        const auto dialog = waitForDialog();
        if (dialog) {
            x_.settledPicture(*dialog);
            x_.focus(*dialog);
        }
        return dialog;
    }

    // Answers the dialog with Enter and times from that key to an idle main window.
    double answer(Window dialog)
    {
        x_.focus(dialog);
        const auto start = Clock::now();
        x_.pressKey(XK_Return);
        const double ms = x_.untilIdle(child_, main_, start);
        x_.focus(main_);
        return ms;
    }

    void record(const std::string& name, double ms)
    {
        const double megabytes = static_cast<double>(child_.residentKilobytes()) / 1024.0;
        std::fprintf(stderr, "    %s %9.1f ms %7.1f MB\n", padded(name, 52).c_str(), ms, megabytes);
        figures_.add(name, ms);
        figures_.resident(name, megabytes);
    }
    void note(const std::string& name, const std::string& text) { figures_.note(name, text); }

    const Session& x() const { return x_; }
    const Child& child() const { return child_; }

private:
    // Clicks further apart than the double-click interval, so each one counts alone.
    void spaceClicks()
    {
        const auto due = lastClick_ + std::chrono::milliseconds(500);
        if (Clock::now() < due)
            std::this_thread::sleep_until(due);
        lastClick_ = Clock::now();
    }

    const Session& x_;
    const Child& child_;
    Window main_;
    Figures& figures_;
    Clock::time_point lastClick_;
};

// Window positions at the default size.
constexpr int kGridTitleY = 103;
constexpr int kGridTitleX[] = {45, 135, 345, 445, 550};
const char* const kGridTitles[] = {"Ημέρα", "Κατηγορία", "Είσπραξη", "Πληρωμή", "Περιγραφή"};
constexpr int kGridCellX = 300, kGridCellY = 200;
constexpr int kMenuDataX = 66, kMenuDataY = 8;
constexpr int kCompareOkX = 408, kCompareOkY = 78;
constexpr int kReceiptsTabX = 17, kReceiptsTabY = 130;
constexpr int kPaymentsTabX = 17, kPaymentsTabY = 190;
constexpr int kPieX = 410, kPieY = 230;
constexpr int kLengthX = 195, kLengthY = 84;
constexpr int kStartX = 273, kStartY = 84;
constexpr int kChartTabX = 22, kChartTabY = 215;
constexpr int kCategoryGridX = 80, kCategoryGridY = 200;
constexpr int kChangeX = 461, kChangeY = 84;
constexpr int kEntryCategoryX = 115, kEntryCategoryY = 134;
constexpr int kEntryReceiptX = 150, kEntryReceiptY = 281;
constexpr int kEntryTextX = 420, kEntryTextY = 311;

const std::string kCopy = "copy: filter whole span + Ctrl+Ins (10^6 lines)";
const std::string kExport = "export: filter + Ctrl+F + file name (10^6 lines)";

void gridCommands(Driver& d, const fs::path& folder, int session)
{
    d.key("F6, the grid shown", XK_F6);
    d.key("Ctrl+End", XK_End, ControlMask);
    d.key("Ctrl+Home", XK_Home, ControlMask);
    for (size_t i = 0; i < std::size(kGridTitleX); ++i) {
        const std::string title = kGridTitles[i];
        d.click("sort: click on " + title, kGridTitleX[i], kGridTitleY);
        d.click("sort: second click on " + title, kGridTitleX[i], kGridTitleY);
    }

    // The copy: Ctrl+Ins opens the date filter over the whole span; Enter accepts it.
    if (const auto filter = d.openDialog(XK_Insert, ControlMask))
        d.record(kCopy, d.answer(*filter));
    else
        d.record(kCopy, -1);

    // The export: the filter's Enter up to the file dialog, then the name's Enter to idle.
    const fs::path exported = folder / ("export-" + std::to_string(session) + ".txt");
    fs::remove(exported);
    double exportMs = -1;
    if (const auto filter = d.openDialog(XK_F, ControlMask)) {
        d.x().focus(*filter);
        const auto start = Clock::now();
        d.x().pressKey(XK_Return);
        std::optional<Window> files;
        pollUntil(d.child(), [&] {
            for (const Window w : d.x().windowsOf(d.child().pid())) {
                if (w != d.main() && w != *filter)
                    files = w;
            }
            return files.has_value();
        });
        if (files) {
            const double toDialog = millisecondsSince(start);
            d.x().settledPicture(*files);
            d.x().focus(*files);
            d.x().pressKey(XK_a, ControlMask);
            d.x().typeText(exported.string());
            sleepMilliseconds(300); // the file dialog's completer settles
            d.x().focus(*files);
            const double write = d.answer(*files);
            if (write >= 0)
                exportMs = toDialog + write;
        }
    }
    d.record(kExport, exportMs);
    if (!fs::exists(exported))
        d.note(kExport, "no file written");
}

void comparisonCommands(Driver& d)
{
    d.key("F7, the comparison window shown", XK_F7);
    d.click("comparison: ΟΚ over the whole span", kCompareOkX, kCompareOkY);
    d.click("comparison: receipts pie page", kReceiptsTabX, kReceiptsTabY);
    d.click("comparison: payments pie page", kPaymentsTabX, kPaymentsTabY);

    // The pie turns one degree per 50 ms tick: the program's processor time per tick.
    d.plainClick(kPieX, kPieY, 2);
    const double cpuBefore = d.child().cpuMilliseconds();
    const auto start = Clock::now();
    uint64_t last = d.x().pictureOf(d.main());
    int frames = 0;
    while (millisecondsSince(start) < 2000) {
        sleepMilliseconds(10);
        const uint64_t now = d.x().pictureOf(d.main());
        frames += now != last;
        last = now;
    }
    const double elapsed = millisecondsSince(start);
    const double cpu = d.child().cpuMilliseconds() - cpuBefore;
    d.prepareClick(kPieX, kPieY, 2);
    const double ticks = elapsed / 50.0;
    d.record("comparison: pie turn step (CPU per 50 ms tick)", cpu / ticks);
    char text[96];
    std::snprintf(text, sizeof text, "%d of %.0f steps painted", frames, ticks);
    d.note("comparison: pie turn step (CPU per 50 ms tick)", text);
}

void seriesCommands(Driver& d)
{
    d.key("F8, the time-series window shown", XK_F8);
    for (const char* length : {"1", "30", "365"}) {
        d.prepareClick(kLengthX, kLengthY);
        d.x().pressKey(XK_a, ControlMask);
        d.x().typeText(length);
        d.click(std::string("time series: Εκκίνηση, length ") + length, kStartX, kStartY);
    }
    d.click("time series: chart page (length 365)", kChartTabX, kChartTabY);
}

// Selects a category in the categories window by typing its name, then "Αλλαγή" with a
// new name; times from the Enter of the name (rename) or of the merge question.
double changeCategory(Driver& d, const std::string& from, const std::string& to, bool merge)
{
    d.prepareClick(kCategoryGridX, kCategoryGridY);
    d.x().typeText(from);
    d.x().untilIdle(d.child(), d.main(), Clock::now());
    d.plainClick(kChangeX, kChangeY);
    const auto prompt = d.focusDialog();
    if (!prompt)
        return -1;
    d.x().pressKey(XK_a, ControlMask);
    d.x().typeText(to);
    if (!merge)
        return d.answer(*prompt);
    d.x().pressKey(XK_Return);
    sleepMilliseconds(50);
    const auto question = d.focusDialog();
    return question ? d.answer(*question) : -1;
}

void categoryCommands(Driver& d)
{
    // "Κατηγορίες" has no shortcut: the menu "Δεδομένα", its fifth command.
    d.prepareClick(kMenuDataX, kMenuDataY);
    sleepMilliseconds(200);
    for (int i = 0; i < 5; ++i)
        d.x().pressKey(XK_Down);
    d.prepareKey(XK_Return);
    // Three categories merged into "τρόφιμα" (34,240, 34,273 and 34,129 movements of the
    // million-movement book), which then holds 136,538 movements; renaming it rewrites
    // all of them.
    const std::string target = "τρόφιμα";
    for (const char* source : {"καπνός", "ρούχα", "ενοίκιο"})
        d.record("category merge (34,000 movements)", changeCategory(d, source, target, true));
    std::string name = target;
    for (const char* renamed : {"benchone", "benchtwo", "benchthree"}) {
        d.record("category rename (136,538 movements)", changeCategory(d, name, renamed, false));
        name = renamed;
    }
}

void entryCommand(Driver& d)
{
    d.prepareKey(XK_F10);
    d.prepareClick(kEntryCategoryX, kEntryCategoryY);
    d.prepareClick(kEntryReceiptX, kEntryReceiptY);
    d.x().typeText("12");
    d.prepareClick(kEntryTextX, kEntryTextY);
    d.x().typeText("bench");
    d.x().pressKey(XK_Return); // leaving the description asks whether to post
    const auto question = d.focusDialog();
    d.record("entry window: movement posted (OK)", question ? d.answer(*question) : -1);
}

void deleteInGrid(Driver& d)
{
    d.prepareKey(XK_F6);
    d.prepareClick(kGridCellX, kGridCellY);
    const auto question = d.openDialog(XK_Delete, ControlMask);
    d.record("grid: Ctrl+Del (OK)", question ? d.answer(*question) : -1);
}

void importCommand(Driver& d, const std::string& statement)
{
    const std::string name = "import window: 10^5-row bank CSV";
    // Ctrl+I, the file's name in the file dialog, then Enter through each step of the
    // import window (mapping, preview, OK), each from its Enter to an idle window.
    const auto files = d.openDialog(XK_I, ControlMask);
    if (!files) {
        d.record(name, -1);
        d.note(name, "no window after Ctrl+I");
        return;
    }
    d.x().pressKey(XK_a, ControlMask);
    d.x().typeText(statement);
    sleepMilliseconds(300);
    double total = 0;
    std::optional<Window> step = files;
    for (int i = 0; i < 6 && step; ++i) {
        const double ms = d.answer(*step);
        if (ms < 0) {
            total = -1;
            break;
        }
        total += ms;
        step = d.waitForDialog(2);
    }
    d.record(name, total);
}

struct Launch
{
    std::unique_ptr<Child> child;
    Window main = 0;
    double caption = -1;
};

std::vector<std::pair<std::string, std::string>> environmentIn(const fs::path& home)
{
    return {{"HOME", home.string()},
            {"XDG_CONFIG_HOME", (home / "config").string()},
            {"XDG_DATA_HOME", (home / "data").string()},
            {"XDG_STATE_HOME", (home / "state").string()}};
}

// Starts a program and waits for its window with the caption; a password is typed into
// the first other window that appears before it.
Launch launch(const Session& x, const std::vector<std::string>& command, const fs::path& home,
              const std::string& caption, const std::string& password = {})
{
    Launch result;
    const auto start = Clock::now();
    result.child = std::make_unique<Child>(command, environmentIn(home));
    bool typed = password.empty();
    std::optional<Window> window;
    pollUntil(*result.child, [&] {
        if ((window = x.findWindow(caption)))
            return true;
        if (!typed) {
            for (const Window w : x.windowsOf(result.child->pid())) {
                if (x.captionOf(w).find("ταμίσκες μου") != std::string::npos)
                    continue; // the main window, still without the book
                x.settledPicture(w);
                x.focus(w);
                x.typeText(password);
                x.pressKey(XK_Return);
                typed = true;
            }
        }
        return false;
    });
    if (window) {
        result.caption = millisecondsSince(start);
        result.main = *window;
        x.settledPicture(*window);
    }
    return result;
}

bool copyBook(const std::string& from, const fs::path& to)
{
    std::error_code error;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
    return !error;
}

int run(const Options& options)
{
    const Session x;
    if (!x.ok()) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    const fs::path folder =
        fs::temp_directory_path() / ("tamisko-commands-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const bool hasImport = programHasText(options.program, u"Εισαγωγή κινήσεων...");
    Figures figures;
    std::vector<double> bare;
    std::vector<double> startup;
    std::vector<double> resident;

    for (int session = 0; session < options.runs; ++session) {
        const fs::path home = folder / ("home-" + std::to_string(session));
        fs::create_directories(home);
        {
            const Launch window = launch(x, {options.bare}, home, "Tamisko bare window");
            bare.push_back(window.caption);
        }
        const fs::path book = folder / "benchbook.tmk";
        if (!copyBook(options.book, book))
            return 1;
        Launch program = launch(x, {options.program, book.string()}, home, "benchbook");
        if (!program.child || program.caption < 0) {
            std::fprintf(stderr, "the program's window did not appear\n");
            return 1;
        }
        startup.push_back(program.caption);
        Driver d(x, *program.child, program.main, figures);
        std::fprintf(stderr, "session %d: grid\n", session + 1);
        gridCommands(d, folder, session);
        std::fprintf(stderr, "session %d: comparison, time series\n", session + 1);
        comparisonCommands(d);
        seriesCommands(d);
        std::fprintf(stderr, "session %d: categories, entry, delete, save\n", session + 1);
        categoryCommands(d);
        entryCommand(d);
        deleteInGrid(d);
        d.key("Ctrl+S, plain (10^6 movements written)", XK_S, ControlMask);
        if (hasImport && !options.statement.empty())
            importCommand(d, options.statement);
        resident.push_back(static_cast<double>(program.child->residentKilobytes()) / 1024.0);
        program.child.reset();

        if (!options.protectedBook.empty()) {
            const fs::path locked = folder / "benchprotected.tmk";
            if (!copyBook(options.protectedBook, locked))
                return 1;
            Launch second = launch(x, {options.program, locked.string()}, home, "benchprotected",
                                   options.password);
            if (second.caption < 0) {
                figures.add("Ctrl+S, protected (10^6 movements encrypted)", -1);
            } else {
                Driver p(x, *second.child, second.main, figures);
                deleteInGrid(p); // a change to save
                p.key("Ctrl+S, protected (10^6 movements encrypted)", XK_S, ControlMask);
            }
        }
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);

    std::printf("  bare Qt window, launch to caption:           %7.0f ms\n", medianOf(bare));
    std::printf("  tamisko with the book, launch to caption:    %7.0f ms\n", medianOf(startup));
    std::printf("\n  %s %9s %9s  %s\n", padded("command", 52).c_str(), "ms", "resident", "goal");
    const auto bulk = [](const std::string& name) {
        return name.find("10^6") != std::string::npos || name.find("10^5") != std::string::npos;
    };
    for (const std::string& name : figures.names()) {
        const double ms = figures.median(name);
        const double goal = bulk(name) ? 1000 : 100;
        std::string verdict = ms < 0       ? "FAILED: the command could not be driven"
                              : ms <= goal ? "met"
                                           : "MISSED: " + missedBecause(name);
        const std::string note = figures.noteOf(name);
        std::printf("  %s %9.0f %6.0f MB  <= %4.0f ms  %s%s%s\n", padded(name, 52).c_str(), ms,
                    figures.residentAfter(name), goal, verdict.c_str(), note.empty() ? "" : "; ",
                    note.c_str());
    }
    if (!hasImport)
        std::printf("  %s %9s %9s  <= 1000 ms  not available (the program has no "
                    "\"Εισαγωγή κινήσεων...\" yet)\n",
                    padded("import window: 10^5-row bank CSV", 52).c_str(), "-", "-");
    const double memory = medianOf(resident);
    std::printf("\n  resident memory after all the commands: %.1f MB  (goal <= 200 MB: %s)\n",
                memory,
                memory <= 200 ? "met"
                              : "MISSED: the copied 10^6 lines, which the program serves as the "
                                "clipboard's owner, the edited movements' new records and the "
                                "imported ones; see the column and bench/RESULTS.md");
    std::printf("  (wall-clock, median of %d sessions; each figure from the input event to an "
                "idle, settled window)\n",
                options.runs);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&](const char* key) -> std::optional<std::string> {
            const std::string prefix = std::string("--") + key + "=";
            if (arg.rfind(prefix, 0) == 0)
                return arg.substr(prefix.size());
            return std::nullopt;
        };
        if (auto v = value("program"))
            options.program = *v;
        else if (auto v = value("bare"))
            options.bare = *v;
        else if (auto v = value("book"))
            options.book = *v;
        else if (auto v = value("protected"))
            options.protectedBook = *v;
        else if (auto v = value("password"))
            options.password = *v;
        else if (auto v = value("statement"))
            options.statement = *v;
        else if (auto v = value("runs"))
            options.runs = std::max(1, std::atoi(v->c_str()));
    }
    if (options.program.empty() || options.bare.empty() || options.book.empty()) {
        std::fprintf(stderr,
                     "usage: %s --program=PATH --bare=PATH --book=BOOK [--protected=BOOK "
                     "--password=TEXT] [--statement=CSV] [--runs=N]\n",
                     argv[0]);
        return 2;
    }
    return run(options);
}
