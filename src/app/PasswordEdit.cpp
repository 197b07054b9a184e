#include "app/PasswordEdit.h"

#include "platform/db/Cp1253Validator.h"

#include <QProxyStyle>

namespace tamisko {
namespace {

class AsteriskStyle final : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return u'*';
        if (hint == SH_LineEdit_PasswordMaskDelay)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

PasswordEdit::PasswordEdit(QWidget* parent) : QLineEdit(parent)
{
    auto* style = new AsteriskStyle;
    style->setParent(this);
    setStyle(style);
    setEchoMode(QLineEdit::Password);
    setValidator(new Cp1253Validator(this));
}

int scaledToScreen(int designValue, int designPpi, const QWidget& widget)
{
    return qRound(static_cast<double>(designValue) * widget.logicalDpiY() / designPpi);
}

} // namespace tamisko
