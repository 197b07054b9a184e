#include "app/PasswordNewFrm.h"

#include "app/PasswordEdit.h"
#include "platform/DesignMetrics.h"
#include "platform/DialogService.h"
#include "platform/Help.h"
#include "platform/Text.h"
#include "platform/WindowPlacement.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tamisko {
namespace {

constexpr int kDesignPpi = 120;

// A caption above its edit, with the design's room for it.
void addField(QVBoxLayout& layout, QLabel* caption, PasswordEdit* edit, const DesignMetrics& d)
{
    caption->setBuddy(edit);
    caption->setMinimumHeight(d(22));
    caption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    edit->setMinimumWidth(d(267));
    edit->setFixedHeight(d(24));
    layout.addWidget(caption);
    layout.addWidget(edit);
}

} // namespace

PasswordNewForm::PasswordNewForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      lblPass(new QLabel(QStringLiteral("lblPass"), this)), Pass(new PasswordEdit(this)),
      lblPassReenter(new QLabel(QStringLiteral("lblPassReenter"), this)),
      PassRe(new PasswordEdit(this)), btnOK(new QPushButton(QStringLiteral("OK"), this)),
      btnCancel(new QPushButton(QStringLiteral("Άκυρο"), this))
{
    setObjectName(QStringLiteral("PasswordNewForm"));
    lblPass->setObjectName(QStringLiteral("lblPass"));
    Pass->setObjectName(QStringLiteral("Pass"));
    lblPassReenter->setObjectName(QStringLiteral("lblPassReenter"));
    PassRe->setObjectName(QStringLiteral("PassRe"));
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnCancel->setObjectName(QStringLiteral("btnCancel"));

    // 287 x 177 at the design's font: two captioned edits, the buttons on the right below.
    const DesignMetrics d(kDesignPpi);
    for (QPushButton* const button : {btnOK, btnCancel})
        button->setFixedSize(d.size(92, 30));
    auto* const buttons = new QDialogButtonBox(this);
    buttons->addButton(btnOK, QDialogButtonBox::AcceptRole);
    buttons->addButton(btnCancel, QDialogButtonBox::RejectRole);
    buttons->layout()->setSpacing(d(7));

    auto* const layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(d.margins(10, 9, 10, 10));
    layout->setSpacing(0);
    addField(*layout, lblPass, Pass, d);
    layout->addSpacing(d(16));
    addField(*layout, lblPassReenter, PassRe, d);
    layout->addSpacing(d(20));
    layout->addWidget(buttons);

    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &PasswordNewForm::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    setTabOrder(Pass, PassRe);
    setTabOrder(PassRe, btnOK);
    setTabOrder(btnOK, btnCancel);
    Pass->setFocus();

    layout->activate();
    CentreOnScreen(*this);
}

void PasswordNewForm::btnOKClick()
{
    const QString password = Pass->text();
    // The length rule comes first: a short first entry is too short even when the second
    // one differs.
    if (!password.isEmpty() && password.size() < MinLength) {
        QString message = TooShortFormat;
        if (const qsizetype at = message.indexOf(QLatin1String("%d")); at >= 0)
            message.replace(at, 2, QString::number(MinLength));
        refuse(message);
        return;
    }
    if (password != PassRe->text()) {
        refuse(MismatchMessage);
        return;
    }
    accept();
}

void PasswordNewForm::refuse(const QString& message)
{
    DialogService::instance().showError(windowTitle(), message);
    Pass->setFocus();
}

bool ChangePassword(std::string& Password, int MinLength, int HelpContext, const QString& Prompt,
                    const QString& ReenterPrompt, const QString& Caption,
                    const QString& MismatchMessage, const QString& TooShortFormat)
{
    PasswordNewForm form;
    help::setHelpContext(&form, HelpContext);
    form.lblPass->setText(Prompt);
    form.lblPassReenter->setText(ReenterPrompt);
    form.setWindowTitle(Caption);
    form.btnOK->setText(QStringLiteral("OK"));
    form.btnCancel->setText(QStringLiteral("Άκυρο"));
    form.MinLength = MinLength;
    form.MismatchMessage = MismatchMessage;
    form.TooShortFormat = TooShortFormat;
    const QString current = toQString(Password);
    form.Pass->setText(current);
    form.PassRe->setText(current);
    if (form.exec() != QDialog::Accepted)
        return false;
    Password = fromQString(form.Pass->text()).value_or(Password);
    return true;
}

} // namespace tamisko
