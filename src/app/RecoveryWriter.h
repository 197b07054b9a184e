#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>
#include <vector>

namespace tamisko {

struct RecoveryCopy;

// Keeps a recovery copy of the document while it has unsaved changes: a change starts a
// timer, and when it fires the document's bytes are taken on this thread (quick, in
// memory) and written to the recovery folder on a worker thread, so the user never
// waits for the disk. Writes and removals run one after the other in the order asked.
class RecoveryWriter final : public QObject
{
    Q_OBJECT

public:
    static constexpr int kDelayMilliseconds = 5000;
    using Snapshot = std::function<std::vector<uint8_t>()>;

    RecoveryWriter(QString folder, Snapshot snapshot, QObject* parent = nullptr);
    // Waits for the writes asked for; the copy stays, as after a crash, unless removed.
    ~RecoveryWriter() override;

    const QString& folder() const;
    // The copy of the present document, whether written yet or not.
    QString documentPath() const;
    QTimer& timer() { return timer_; }

    // A new document: the previous document's copy goes.
    void begin(const QString& book, const QString& name);
    // The document was saved under another name: the next copy describes that book.
    void rename(const QString& book, const QString& name);
    // Takes over a copy found at start, so that the next write replaces it.
    void adopt(RecoveryCopy& copy, const QString& name);
    // The document changed: a copy is written within the delay. A pending write is not
    // put off by later changes.
    void changed();
    // Writes the copy now (what the timer does).
    void writeNow();
    // The changes were saved or dropped: the copy goes.
    void discard();
    // Returns once every write and removal asked for has run.
    void waitForIdle();

private:
    struct Session;

    void newSession();

    std::shared_ptr<Session> session_;
    Snapshot snapshot_;
    QTimer timer_;
    QThreadPool pool_;
};

} // namespace tamisko
