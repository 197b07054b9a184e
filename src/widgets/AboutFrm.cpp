#include "widgets/AboutFrm.h"

#include "platform/WindowPlacement.h"
#include "widgets/LinkLabel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

// Resources of a static library are registered by hand, outside any namespace.
static void initTamiskoResources()
{
    Q_INIT_RESOURCE(tamisko);
}

namespace tamisko {

namespace {

QFont arial(int pixelSize, bool bold = false, bool italic = false)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

void setTextColour(QWidget* widget, const QColor& colour)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::WindowText, colour);
    widget->setPalette(pal);
}

// A label that sizes itself to its text at the given place.
QLabel* placedLabel(const QString& text, int left, int top, const QFont& font, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QLabel* wrappedLabel(const QString& text, const QRect& geometry, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFont(arial(11));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(geometry);
    return label;
}

// A link in the window's link look, at least as wide as its text.
LinkLabel* linkLabel(const QString& text, const QRect& geometry, QWidget* parent)
{
    auto* label = new LinkLabel(text, parent);
    label->setFont(arial(12));
    label->setGeometry(geometry);
    label->setMinimumWidth(geometry.width());
    return label;
}

} // namespace

AboutForm::AboutForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    initTamiskoResources();
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("Πληροφορίες"));
    setFixedSize(401, 251);
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);
    setAutoFillBackground(true);

    Bevel = new QFrame(this);
    Bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel->setGeometry(6, 6, 389, 209);

    LinkLabel3 = new LinkLabel(QStringLiteral("Οι ταμίσκες μου"), this);
    LinkLabel3->setTextStyle(LinkLabel::tsRecessed);
    LinkLabel3->setFont(arial(27, true, true));
    setTextColour(LinkLabel3, QColor(0, 128, 0));
    LinkLabel3->setAutoFillBackground(true);
    LinkLabel3->setGeometry(14, 11, 204, 32);

    Label2 =
        placedLabel(QStringLiteral("(εκδ v1.3 - 11/2004)"), 17, 44, arial(11, false, true), this);
    Label3 = placedLabel(QStringLiteral("από τον"), 342, 18, arial(11), this);
    lblName = placedLabel(QStringLiteral("Ομάδα Tamisko"), 264, 37, arial(16), this);
    setTextColour(lblName, Qt::red);
    lblName->adjustSize();

    LinkLabel1 = linkLabel(QStringLiteral(TAMISKO_CONTACT_EMAIL), QRect(16, 63, 95, 15), this);
    LinkLabel1->setShowAsEmailUrl(true);
    LinkLabel1->setVisible(!LinkLabel1->text().isEmpty());

    LinkLabel4 = linkLabel(QStringLiteral("Tamisko.html"), QRect(16, 81, 199, 15), this);
    LinkLabel4->setShowAsUrl(true);
    LinkLabel4->setLinkTarget(helpPageUrl());

    Label1 = wrappedLabel(QStringLiteral("Υπάρχουν πολλά ακόμα ελληνικά freeware\n"
                                         "και shareware προγράμματά μου! Δείτε εδώ:"),
                          QRect(17, 113, 240, 35), this);

    LinkLabel2 = linkLabel(QStringLiteral("README.md"), QRect(16, 143, 152, 15), this);
    LinkLabel2->setShowAsUrl(true);
    LinkLabel2->setLinkTarget(readmeUrl());

    aboutlabel = wrappedLabel(QStringLiteral("Το πρόγραμμα διατίθεται δωρεάν.\n"
                                             "Δεν ευθυνόμαστε για τη χρήση του."),
                              QRect(17, 178, 240, 33), this);

    Image = new QLabel(this);
    Image->setGeometry(264, 62, 115, 145);
    Image->setAlignment(Qt::AlignCenter);
    Image->setPixmap(
        QIcon(QStringLiteral(":/icons/tamisko.svg")).pixmap(QSize(96, 96), devicePixelRatioF()));

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setGeometry(163, 220, 76, 25);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
}

QUrl AboutForm::helpPageUrl()
{
    return QUrl::fromLocalFile(QDir(QCoreApplication::applicationDirPath())
                                   .absoluteFilePath(QStringLiteral("Tamisko.html")));
}

QUrl AboutForm::readmeUrl()
{
    // Installed beside the program, under share/doc, or (run from a build directory
    // inside the source tree) one level up.
    const QDir exeDir(QCoreApplication::applicationDirPath());
    const QStringList candidates = {
        exeDir.absoluteFilePath(QStringLiteral("README.md")),
        exeDir.absoluteFilePath(QStringLiteral("../share/doc/tamisko/README.md")),
        exeDir.absoluteFilePath(QStringLiteral("../README.md")),
    };
    for (const QString& path : candidates) {
        if (QFileInfo::exists(path))
            return QUrl::fromLocalFile(QDir::cleanPath(path));
    }
    return QUrl::fromLocalFile(candidates.front());
}

void AboutForm::keyPressEvent(QKeyEvent* event)
{
    // No cancel button, so Esc does not close the window.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void AboutForm::showEvent(QShowEvent* event)
{
    if (!placed_) {
        placed_ = true;
        CentreOnScreen(*this);
    }
    QDialog::showEvent(event);
    OKBtn->setFocus();
}

} // namespace tamisko
