#include "app/PasswordEntryFrm.h"

#include "app/PasswordEdit.h"
#include "platform/Help.h"
#include "platform/Text.h"
#include "platform/WindowPlacement.h"

#include <QLabel>
#include <QPushButton>

namespace tamisko {

PasswordEntryForm::PasswordEntryForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      lblPass(new QLabel(QStringLiteral("lblPass"), this)), Pass(new PasswordEdit(this)),
      btnOK(new QPushButton(QStringLiteral("OK"), this)),
      Button1(new QPushButton(QStringLiteral("&Cancel"), this))
{
    setObjectName(QStringLiteral("PasswordEntryForm"));
    lblPass->setObjectName(QStringLiteral("lblPass"));
    Pass->setObjectName(QStringLiteral("Pass"));
    btnOK->setObjectName(QStringLiteral("btnOK"));
    Button1->setObjectName(QStringLiteral("Button1"));

    setFixedSize(233, 90);
    lblPass->move(8, 7);
    Pass->setGeometry(8, 25, 217, 21);
    btnOK->setGeometry(38, 59, 75, 25);
    Button1->setGeometry(119, 59, 75, 25);

    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
    setTabOrder(Pass, btnOK);
    setTabOrder(btnOK, Button1);
    Pass->setFocus();
    CentreOnScreen(*this);
}

bool AskPassword(std::string& Password, int HelpContext, const QString& Prompt,
                 const QString& Caption)
{
    PasswordEntryForm form;
    help::setHelpContext(&form, HelpContext);
    form.lblPass->setText(Prompt);
    form.lblPass->adjustSize();
    form.setWindowTitle(Caption);
    form.Pass->setText(toQString(Password));
    if (form.exec() != QDialog::Accepted)
        return false;
    Password = fromQString(form.Pass->text()).value_or(Password);
    return true;
}

} // namespace tamisko
