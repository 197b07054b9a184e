#include "app/PasswordEntryFrm.h"

#include "app/PasswordEdit.h"
#include "platform/DesignMetrics.h"
#include "platform/Help.h"
#include "platform/Text.h"
#include "platform/WindowPlacement.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

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

    // 233 x 90 at the design's font: the prompt above the edit, the buttons centred below.
    const DesignMetrics d;
    lblPass->setBuddy(Pass);
    lblPass->setMinimumHeight(d(18));
    lblPass->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Pass->setMinimumWidth(d(217));
    Pass->setFixedHeight(d(21));
    for (QPushButton* const button : {btnOK, Button1})
        button->setFixedSize(d.size(75, 25));
    auto* const buttons = new QDialogButtonBox(this);
    buttons->addButton(btnOK, QDialogButtonBox::AcceptRole);
    buttons->addButton(Button1, QDialogButtonBox::RejectRole);
    buttons->setCenterButtons(true);

    auto* const layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(d.margins(8, 7, 8, 6));
    layout->setSpacing(0);
    layout->addWidget(lblPass);
    layout->addWidget(Pass);
    layout->addSpacing(d(13));
    layout->addWidget(buttons);

    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
    setTabOrder(Pass, btnOK);
    setTabOrder(btnOK, Button1);
    Pass->setFocus();
    layout->activate();
    CentreOnScreen(*this);
}

bool AskPassword(std::string& Password, int HelpContext, const QString& Prompt,
                 const QString& Caption)
{
    PasswordEntryForm form;
    help::setHelpContext(&form, HelpContext);
    form.lblPass->setText(Prompt);
    form.setWindowTitle(Caption);
    form.Pass->setText(toQString(Password));
    if (form.exec() != QDialog::Accepted)
        return false;
    Password = fromQString(form.Pass->text()).value_or(Password);
    return true;
}

} // namespace tamisko
