#include <cstdlib>
#include <gtest/gtest.h>
#include <QApplication>
#include <QTemporaryDir>

// Widget tests need a QApplication; without a display they run on the offscreen platform.
int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Backups and recovery copies go to a folder of the run, never to the user's own.
    const QTemporaryDir userFolders;
    qputenv("XDG_DATA_HOME", userFolders.filePath(QStringLiteral("data")).toLocal8Bit());
    qputenv("XDG_STATE_HOME", userFolders.filePath(QStringLiteral("state")).toLocal8Bit());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
