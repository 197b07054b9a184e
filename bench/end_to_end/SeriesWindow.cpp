// The time-series window over a large book, timed from a press of "Εκκίνηση" to the
// window being idle again: the computation, the grid and the chart laid out and painted,
// and the event loop about to wait for the user. Wall-clock, median of the runs.
//
//   tamisko_series_window BOOK.tmk [--runs=N] [LENGTH...]      (lengths default to 1 30 365)

#include "analysis/diaxFrm.h"
#include "data/DataMdl.h"
#include "platform/db/FieldText.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEventLoop>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Presses the start button and waits until the event loop would block for lack of work.
double pressAndWaitForIdle(tamisko::DiaxForm& form)
{
    QEventLoop loop;
    Clock::time_point pressed;
    bool started = false;
    double elapsed = 0;
    QAbstractEventDispatcher* const dispatcher = QAbstractEventDispatcher::instance();
    const auto idle =
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, &loop, [&] {
            if (!started)
                return;
            elapsed = std::chrono::duration<double, std::milli>(Clock::now() - pressed).count();
            loop.quit();
        });
    QTimer::singleShot(0, &loop, [&] {
        started = true;
        pressed = Clock::now();
        form.btnOK->click();
    });
    loop.exec();
    QObject::disconnect(idle);
    return elapsed;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s BOOK.tmk [--runs=N] [LENGTH...]\n", argv[0]);
        return 2;
    }
    int runs = 5;
    std::vector<int> lengths;
    for (int i = 2; i < argc; ++i) {
        if (std::strncmp(argv[i], "--runs=", 7) == 0)
            runs = std::max(1, std::atoi(argv[i] + 7));
        else
            lengths.push_back(std::atoi(argv[i]));
    }
    if (lengths.empty())
        lengths = {1, 30, 365};

    tamisko::db::setFormatSettings(tamisko::RegionalSettings::greek());
    tamisko::DataMod data;
    data.OpenDocument(argv[1]);
    tamisko::DiaxForm form(data);
    form.resize(792, 355);
    form.show();
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();

    for (const int length : lengths) {
        form.EdPeriod->setValue(length);
        pressAndWaitForIdle(form); // the first press warms the caches
        std::vector<double> times;
        for (int run = 0; run < runs; ++run)
            times.push_back(pressAndWaitForIdle(form));
        std::sort(times.begin(), times.end());
        std::printf("  length %3d: %4d periods, start to idle %7.1f ms (median of %d; %.1f to "
                    "%.1f)\n",
                    length, form.gridModel().rowCount(), times[times.size() / 2], runs,
                    times.front(), times.back());
        std::fflush(stdout);
    }
    return 0;
}
