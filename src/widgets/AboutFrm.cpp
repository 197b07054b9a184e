#include "widgets/AboutFrm.h"

#include "platform/DesignMetrics.h"
#include "platform/Help.h"
#include "platform/InstallLayout.h"
#include "platform/WindowPlacement.h"
#include "widgets/LinkLabel.h"

#include <algorithm>
#include <QDialogButtonBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

// Resources of a static library are registered by hand, outside any namespace.
static void initTamiskoResources()
{
    Q_INIT_RESOURCE(tamisko);
}

namespace tamisko {

namespace {

QFont arial(int designPixels, bool bold = false, bool italic = false)
{
    QFont f = DesignMetrics::font(QStringLiteral("Arial"), designPixels);
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

QLabel* fontLabel(const QString& text, const QFont& font, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    return label;
}

QLabel* wrappedLabel(const QString& text, int width, QWidget* parent)
{
    auto* label = fontLabel(text, arial(11), parent);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setMinimumWidth(width);
    return label;
}

// A link in the window's link look, at least as wide as the design gave it.
LinkLabel* linkLabel(const QString& text, int width, QWidget* parent)
{
    auto* label = new LinkLabel(text, parent);
    label->setFont(arial(12));
    label->setMinimumWidth(width);
    return label;
}

// Stacks the widgets of a column from their design tops: each one starts where the
// design put it, or lower where the one above needs more room at a larger font.
class Column final
{
public:
    Column(QVBoxLayout& layout, const DesignMetrics& d, int top) : layout_(layout), d_(d), top_(top)
    {
        layout_.setSpacing(0);
    }

    // The widget at (indent, top) from the column's origin; the next one's top ends its room.
    void add(QWidget* widget, int indent, int top, int nextTop)
    {
        layout_.addSpacing(d_(top - top_));
        auto* const row = new QHBoxLayout;
        row->setSpacing(0);
        row->addSpacing(d_(indent));
        row->addWidget(widget, 0, Qt::AlignTop);
        row->addStretch();
        // Holds the row open down to the next design top.
        row->addSpacerItem(
            new QSpacerItem(0, d_(nextTop - top), QSizePolicy::Minimum, QSizePolicy::Fixed));
        layout_.addLayout(row);
        top_ = nextTop;
    }

private:
    QVBoxLayout& layout_;
    const DesignMetrics& d_;
    int top_;
};

} // namespace

AboutForm::AboutForm(QWidget* parent, const QString& contactEmail)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    initTamiskoResources();
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("Πληροφορίες"));
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);
    setAutoFillBackground(true);

    Bevel = new QFrame(this);
    Bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);

    LinkLabel3 = new LinkLabel(QStringLiteral("Οι ταμίσκες μου"), this);
    LinkLabel3->setTextStyle(LinkLabel::tsRecessed);
    LinkLabel3->setFont(arial(27, true, true));
    setTextColour(LinkLabel3, QColor(0, 128, 0));
    LinkLabel3->setAutoFillBackground(true);

    Label2 = fontLabel(QStringLiteral("(εκδ v1.3 - 11/2004)"), arial(11, false, true), this);
    Label3 = fontLabel(QStringLiteral("από την"), arial(11), this);
    lblName = fontLabel(QStringLiteral("Ομάδα Tamisko"), arial(16), this);
    setTextColour(lblName, Qt::red);

    LinkLabel1 = linkLabel(contactEmail, 95, this);
    LinkLabel1->setShowAsEmailUrl(true);

    LinkLabel4 = linkLabel(QStringLiteral("Tamisko.html"), 199, this);
    LinkLabel4->setShowAsUrl(true);
    LinkLabel4->setLinkTarget(helpPageUrl());

    licenseLink = linkLabel(QStringLiteral("Άδεια: GNU GPL 3 ή νεότερη"), 199, this);
    licenseLink->setShowAsUrl(true);
    licenseLink->setLinkTarget(licenseUrl());

    Label1 = wrappedLabel(QStringLiteral("Υπάρχουν πολλά ακόμα ελληνικά freeware\n"
                                         "και shareware προγράμματά μου! Δείτε εδώ:"),
                          240, this);

    const QUrl documentation = readmeUrl();
    LinkLabel2 = linkLabel(documentation.fileName(), 152, this);
    LinkLabel2->setShowAsUrl(true);
    LinkLabel2->setLinkTarget(documentation);

    aboutlabel = wrappedLabel(QStringLiteral("Το πρόγραμμα διατίθεται δωρεάν.\n"
                                             "Δεν ευθυνόμαστε για τη χρήση του."),
                              240, this);

    Image = new QLabel(this);
    Image->setAlignment(Qt::AlignCenter);
    Image->setPixmap(
        QIcon(QStringLiteral(":/icons/tamisko.svg")).pixmap(QSize(96, 96), devicePixelRatioF()));

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    layOut();
}

// The design's 401 x 251: the title, the version and the links in the left column of the
// framed panel, the author and the picture in the right one, the button centred below.
void AboutForm::layOut()
{
    const DesignMetrics d;
    for (QWidget* const widget : std::initializer_list<QWidget*>{
             Label1, aboutlabel, LinkLabel1, LinkLabel4, licenseLink, LinkLabel2})
        widget->setMinimumWidth(d(widget->minimumWidth()));
    LinkLabel3->setMinimumSize(d.size(204, 32));
    Image->setMinimumSize(d.size(115, 145));
    OKBtn->setFixedSize(d.size(76, 25));

    // Positions are the design's, from the top left corner of the window.
    auto* const left = new QVBoxLayout;
    Column leftColumn(*left, d, 11);
    leftColumn.add(LinkLabel3, 0, 11, 44);
    leftColumn.add(Label2, 3, 44, 63);
    // Without an e-mail address the lines below it move up into its row.
    const int up = LinkLabel1->text().isEmpty() ? 81 - 63 : 0;
    if (up == 0)
        leftColumn.add(LinkLabel1, 2, 63, 81);
    else
        LinkLabel1->hide();
    leftColumn.add(LinkLabel4, 2, 81 - up, 96 - up);
    leftColumn.add(licenseLink, 2, 96 - up, 113 - up);
    leftColumn.add(Label1, 3, 113 - up, 143 - up);
    leftColumn.add(LinkLabel2, 2, 143 - up, 178 - up);
    leftColumn.add(aboutlabel, 3, 178 - up, 211 - up);
    left->addStretch();
    auto* const right = new QVBoxLayout;
    Column rightColumn(*right, d, 11);
    rightColumn.add(Label3, 78, 18, 37);
    rightColumn.add(lblName, 0, 37, 62);
    rightColumn.add(Image, 0, 62, 207);
    right->addStretch();

    const int frame = Bevel->frameWidth();
    auto* const panel = new QHBoxLayout(Bevel);
    panel->setContentsMargins(d(14 - 6) - frame, d(11 - 6) - frame, d(4) - frame,
                              d(215 - 211) - frame);
    panel->setSpacing(0);
    panel->addLayout(left);
    panel->addSpacing(std::max(0, d(264 - 14) - left->minimumSize().width()));
    panel->addLayout(right);
    panel->addStretch();
    Bevel->setMinimumSize(d.size(389, 209));

    auto* const buttons = new QDialogButtonBox(this);
    buttons->addButton(OKBtn, QDialogButtonBox::AcceptRole);
    buttons->setCenterButtons(true);

    auto* const layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(d.margins(6, 6, 6, 6));
    layout->setSpacing(d(220 - 215));
    layout->addWidget(Bevel);
    layout->addWidget(buttons);
}

QUrl AboutForm::helpPageUrl()
{
    return QUrl::fromLocalFile(tamisko::help::helpFilePath());
}

QUrl AboutForm::readmeUrl()
{
    return documentUrl(QStringLiteral("README.md"));
}

QUrl AboutForm::licenseUrl()
{
    return documentUrl(QStringLiteral("LICENSE"));
}

QUrl AboutForm::documentUrl(const QString& name)
{
    return QUrl::fromLocalFile(tamisko::InstallLayout::ofRunningProgram().docDir() + name);
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
