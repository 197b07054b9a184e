#pragma once

#include <QDialog>

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
    explicit AboutForm(QWidget* parent = nullptr);

    // The installed help page and the project's README, beside the executable.
    static QUrl helpPageUrl();
    static QUrl readmeUrl();

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
    void layOut();

    bool placed_ = false;
};

} // namespace tamisko
