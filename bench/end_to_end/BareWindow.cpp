// The start-up of a bare Qt window, the peer against which the program's own start-up
// is read: the same toolkit loaded, one empty window shown.

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Tamisko bare window"));
    window.resize(760, 360);
    window.show();
    return QApplication::exec();
}
