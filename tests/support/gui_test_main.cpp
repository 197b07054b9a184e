#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

// Widget tests need a QApplication; without a display they run on the offscreen platform.
int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
