#include "widgets/EuroFrm.h"

#include "data/Format.h"
#include "platform/DesignMetrics.h"
#include "platform/ProfileFile.h"
#include "platform/Text.h"
#include "widgets/DotMatrixDisplay.h"
#include "widgets/FloatSpinEdit.h"

#include <algorithm>
#include <charconv>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tamisko {

namespace {

const QString kSection = QStringLiteral("TEuroForm");
const QString kValueKey = QStringLiteral("edVal_Value");
const QString kDrxKey = QStringLiteral("rbDrx_Checked");
const QString kEuroKey = QStringLiteral("rbEuro_Checked");

constexpr int kMargin = 6;
constexpr int kDesignDisplayWidth = 545;
constexpr int kDisplayHeight = 89;

QString boolText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

// A number with a point as decimal separator; anything else reads as 0.
double storedNumber(const QString& text)
{
    const std::string number = text.trimmed().toStdString();
    double value = 0;
    const char* end = number.data() + number.size();
    const auto [stop, error] = std::from_chars(number.data(), end, value);
    return error == std::errc() && stop == end ? value : 0;
}

QString separatorText(char separator)
{
    return toQString(std::string_view(&separator, 1));
}

} // namespace

EuroForm::EuroForm(const RegionalSettings& settings, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), settings_(settings),
      WindowStorage(kSection)
{
    setObjectName(QStringLiteral("EuroForm"));
    setWindowTitle(QStringLiteral("Εύρω Κομπιούτερ"));
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);
    setAutoFillBackground(true);

    edVal = new FloatSpinEdit(this);
    edVal->setObjectName(QStringLiteral("edVal"));
    QFont courier(QStringLiteral("Courier"), 10);
    courier.setStyleHint(QFont::TypeWriter);
    edVal->setFont(courier);
    edVal->setDecimalSeparator(separatorText(settings_.decimalSeparator).front());

    rbEuro = new QRadioButton(QStringLiteral("Ευρώ"), this);
    rbEuro->setObjectName(QStringLiteral("rbEuro"));
    rbDrx = new QRadioButton(QStringLiteral("Δραχμές"), this);
    rbDrx->setObjectName(QStringLiteral("rbDrx"));
    rbEuro->setChecked(true);

    LCD = new DotMatrixDisplay(this);
    LCD->setObjectName(QStringLiteral("LCD"));
    LCD->setDotMatrix(DotMatrixDisplay::mat9x12);
    LCD->setDotMatrixBorders(DotMatrixDisplay::mbBottom | DotMatrixDisplay::mbLeft |
                             DotMatrixDisplay::mbTop);
    LCD->setPixelSize(DotMatrixDisplay::pix2x2);
    LCD->setPixelShape(DotMatrixDisplay::psSquare);
    LCD->setPixelSpacing(1);
    LCD->setCharSpacing(1);
    LCD->setLineSpacing(1);
    LCD->setBorderSpace(2);
    LCD->setBorderStyle(DotMatrixDisplay::bsNone);
    LCD->setColor(palette().color(QPalette::Button));
    LCD->setPixelOn(Qt::black);
    LCD->setPixelOff(QColor(182, 182, 182));
    LCD->setIntensity(127);
    LCD->setAnimationEnabled(false);
    LCD->setLines({QStringLiteral("Euro Computer")});

    layOut();

    connect(edVal, &FloatSpinEdit::textChanged, this, &EuroForm::edValChange);
    connect(rbEuro, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            rbEuroClick();
    });
    connect(rbDrx, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            rbDrxClick();
    });

    // The window sees Enter before its controls do.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
    installEventFilter(this);

    WindowStorage.setIniFileName(GetIniFileName());
}

EuroForm::~EuroForm()
{
    storeSettings();
}

QString EuroForm::number(double value, int decimals) const
{
    const std::string fixed = formatFixed(value, decimals, '.');
    const bool negative = fixed.starts_with('-');
    const std::string_view unsigned_ = std::string_view(fixed).substr(negative ? 1 : 0);
    const auto point = unsigned_.find('.');
    const std::string_view whole = unsigned_.substr(0, point);

    QString text = negative ? QStringLiteral("-") : QString();
    const QString thousands = separatorText(settings_.thousandSeparator);
    for (size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            text += thousands;
        text += QLatin1Char(whole[i]);
    }
    if (point != std::string_view::npos) {
        text += separatorText(settings_.decimalSeparator);
        text += QString::fromLatin1(unsigned_.substr(point + 1));
    }
    return text;
}

void EuroForm::edValChange()
{
    const double value = edVal->value();
    QStringList lines;
    if (rbDrx->isChecked()) {
        lines << number(value, 0) + QStringLiteral(" Dr=")
              << number(value / kDrachmasPerEuro, 2) + QStringLiteral(" Euro");
    } else {
        lines << number(value, 2) + QStringLiteral(" Euro=")
              << number(value * kDrachmasPerEuro, 0) + QStringLiteral(" Dr");
    }
    LCD->setLines(lines);
}

void EuroForm::rbEuroClick()
{
    edVal->setDecimals(2);
}

void EuroForm::rbDrxClick()
{
    edVal->setDecimals(0);
}

void EuroForm::FormKeyPress()
{
    // Selecting one radio button clears the other, which cannot be unchecked directly.
    if (rbEuro->isChecked())
        rbDrx->setChecked(true);
    else
        rbEuro->setChecked(true);
    edValChange();
}

// The field and the units in a row above the display, which takes the window's width less
// the margins; 148 pixels high and at least 380 wide, more where a larger font needs it.
void EuroForm::layOut()
{
    const DesignMetrics d;
    edVal->setFixedSize(d.size(185, 24));
    rbEuro->setMinimumSize(d.size(70, 20));
    rbDrx->setMinimumSize(d.size(90, 20));
    LCD->setMinimumWidth(kMinimumWidth - 2 * kMargin);
    LCD->setFixedHeight(kDisplayHeight);

    auto* const units = new QHBoxLayout;
    units->setSpacing(0);
    units->addWidget(edVal);
    units->addSpacing(d(14));
    units->addWidget(rbEuro);
    units->addSpacing(d(5));
    units->addWidget(rbDrx);
    units->addStretch();

    auto* const layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, d(12), kMargin, d(12));
    layout->setSpacing(0);
    layout->addLayout(units);
    layout->addSpacing(d(11));
    layout->addWidget(LCD);

    const QSize least = layout->minimumSize();
    setMinimumWidth(std::max(kMinimumWidth, least.width()));
    setFixedHeight(std::max(kHeight, least.height()));
    resize(kDesignDisplayWidth + 2 * kMargin, height());
}

bool EuroForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            FormKeyPress();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void EuroForm::showEvent(QShowEvent* event)
{
    if (!restored_ && !event->spontaneous()) {
        restored_ = true;
        restoreSettings();
    }
    QWidget::showEvent(event);
}

void EuroForm::restoreSettings()
{
    const ProfileFile profile(WindowStorage.iniFileName());
    const auto document = profile.read();
    if (document) {
        const auto value = document->value(kSection, kValueKey);
        if (value)
            edVal->setValue(storedNumber(*value));
        // Selecting a radio button runs its handler, so the decimals follow the unit.
        for (const auto& [key, button] : {std::pair{kDrxKey, rbDrx}, std::pair{kEuroKey, rbEuro}}) {
            const auto checked = document->value(kSection, key);
            if (checked && checked->compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
                button->setChecked(true);
        }
    }
    if (!WindowStorage.restore(*this))
        CentreOnScreen(*this);
}

void EuroForm::storeSettings() const
{
    if (!restored_)
        return;
    WindowStorage.save(*this);
    const ProfileFile profile(WindowStorage.iniFileName());
    profile.update([this](IniDocument& document) {
        document.setValue(kSection, kValueKey,
                          QString::fromStdString(formatGeneral(edVal->value(), '.')));
        document.setValue(kSection, kDrxKey, boolText(rbDrx->isChecked()));
        document.setValue(kSection, kEuroKey, boolText(rbEuro->isChecked()));
    });
}

void EuroForm::closeEvent(QCloseEvent* event)
{
    // Closing only hides the calculator; it lives until the end of the run.
    storeSettings();
    QWidget::closeEvent(event);
}

} // namespace tamisko
