#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Οι ταμίσκες μου"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Οι ταμίσκες μου"));
    window.resize(792, 400);
    window.show();
    return app.exec();
}
