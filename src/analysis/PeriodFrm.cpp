#include "analysis/PeriodFrm.h"

#include "data/DataMdl.h"
#include "platform/Dates.h"
#include "platform/WindowPlacement.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tamisko {
namespace {

// In the order of periods::Preset.
const char* const kPresetNames[periods::kPresetCount] = {
    "Αυτή την εβδομάδα",    "Αυτό το μήνα",        "Τελευταίες 30 ημέρες",
    "Ο προηγούμενος μήνας", "Το τελευταίο δίμηνο", "Το τελευταίο τρίμηνο",
    "Το τελευταίο εξάμηνο", "Το τελευταίο 12μηνο", "Όλα",
};

} // namespace

PeriodForm::PeriodForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      DateGroup(new QGroupBox(this)), DateButtons(new QButtonGroup(this)),
      OKBtn(new QPushButton(QStringLiteral("OK"), this)),
      CancelBtn(new QPushButton(QStringLiteral("Άκυρο"), this))
{
    setWindowTitle(QStringLiteral("Ορισμός περιόδου"));

    auto* items = new QVBoxLayout(DateGroup);
    for (int index = 0; index < periods::kPresetCount; ++index) {
        auto* item = new QRadioButton(QString::fromUtf8(kPresetNames[index]), DateGroup);
        DateButtons->addButton(item, index);
        items->addWidget(item);
    }
    setSelectedPreset(periods::Preset::ThisMonth);

    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(DateGroup, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

PeriodForm& PeriodForm::instance()
{
    static QPointer<PeriodForm> form;
    if (!form) {
        form = new PeriodForm;
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, form, &QObject::deleteLater);
    }
    return *form;
}

periods::Preset PeriodForm::selectedPreset() const
{
    return static_cast<periods::Preset>(DateButtons->checkedId());
}

void PeriodForm::setSelectedPreset(periods::Preset preset)
{
    DateButtons->button(static_cast<int>(preset))->setChecked(true);
}

void PeriodForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    CentreOnScreen(*this);
}

bool AskPeriod(PeriodForm& form, double& startDate, double& endDate, const DataMod& data)
{
    if (form.exec() != QDialog::Accepted)
        return false;
    const auto today = static_cast<int32_t>(toDayNumber(QDate::currentDate()));
    const periods::DateRange range =
        periods::presetRange(form.selectedPreset(), today, data.FirstDate, data.LastDate);
    startDate = range.start;
    endDate = range.end;
    return true;
}

} // namespace tamisko
