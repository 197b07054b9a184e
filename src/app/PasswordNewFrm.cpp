#include "app/PasswordNewFrm.h"

#include "app/PasswordEdit.h"
#include "platform/DialogService.h"
#include "platform/Help.h"
#include "platform/Text.h"
#include "platform/WindowPlacement.h"

#include <QLabel>
#include <QPushButton>

namespace tamisko {
namespace {

constexpr int kDesignPpi = 120;

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

    const auto s = [this](int value) {
        return scaledToScreen(value, kDesignPpi, *this);
    };
    setFixedSize(s(287), s(177));
    lblPass->move(s(10), s(9));
    Pass->setGeometry(s(10), s(31), s(267), s(24));
    lblPassReenter->move(s(10), s(71));
    PassRe->setGeometry(s(10), s(93), s(267), s(24));
    btnOK->setGeometry(s(86), s(137), s(92), s(30));
    btnCancel->setGeometry(s(185), s(137), s(92), s(30));

    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &PasswordNewForm::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    setTabOrder(Pass, PassRe);
    setTabOrder(PassRe, btnOK);
    setTabOrder(btnOK, btnCancel);
    Pass->setFocus();

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
    form.lblPass->adjustSize();
    form.lblPassReenter->setText(ReenterPrompt);
    form.lblPassReenter->adjustSize();
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
