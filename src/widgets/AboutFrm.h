#pragma once

#include <QDialog>
#include <QString>
#include <QUrl>

class QFrame;
class QLabel;
class QPushButton;

namespace tamisko {

class LinkLabel;

// The program's About box: title, version, notices and the project's links.
class AboutForm final : public QDialog
{
    Q_OBJECT

public:
    // Without a contact address the e-mail link is left out and the lines below it move up.
    explicit AboutForm(QWidget* parent = nullptr,
                       const QString& contactEmail = QStringLiteral(TAMISKO_CONTACT_EMAIL));

    // The help page and the documents where the program's layout puts them.
    static QUrl helpPageUrl();
    static QUrl readmeUrl();
    static QUrl licenseUrl();

    QFrame* Bevel;
    LinkLabel* LinkLabel3;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* lblName;
    LinkLabel* LinkLabel1;
    LinkLabel* LinkLabel4;
    // The licence (GPL-3.0-or-later), opening the LICENSE file.
    LinkLabel* licenseLink;
    QLabel* Label1;
    LinkLabel* LinkLabel2;
    QLabel* aboutlabel;
    QLabel* Image;
    QPushButton* OKBtn;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    static QUrl documentUrl(const QString& name);
    void layOut();

    bool placed_ = false;
};

} // namespace tamisko
