#pragma once

#include <QDialog>
#include <QString>
#include <QUrl>

class QFrame;
class QLabel;
class QPushButton;
class LinkLabel;

// The program's About box: title, version, notices and the project's links.
class AboutForm : public QDialog
{
    Q_OBJECT

public:
    // Without a contact address the e-mail link is left out and the lines below it move up.
    explicit AboutForm(QWidget* parent = nullptr,
                       const QString& contactEmail = QStringLiteral(TAMISKO_CONTACT_EMAIL));

    // The help page beside the executable.
    static QUrl helpPageUrl();
    // The documentation: the installed README (../share/doc/tamisko beside the program's
    // directory), else one beside the program or above it (a build inside the source
    // tree); the help page when there is none.
    static QUrl readmeUrl();
    static QUrl readmeUrl(const QString& programDirectory);

    QFrame* Bevel;
    LinkLabel* LinkLabel3;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* lblName;
    LinkLabel* LinkLabel1;
    LinkLabel* LinkLabel4;
    QLabel* Label1;
    LinkLabel* LinkLabel2;
    QLabel* aboutlabel;
    QLabel* Image;
    QPushButton* OKBtn;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool placed_ = false;
};
