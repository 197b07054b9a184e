#pragma once

#include <QLineEdit>

namespace tamisko {

// A single-line edit for passwords: every character shown as "*", and only characters
// that cp1253 can hold are accepted, since documents store the password's cp1253 bytes.
class PasswordEdit final : public QLineEdit
{
    Q_OBJECT

public:
    explicit PasswordEdit(QWidget* parent = nullptr);
};

// Positions of a form laid out at designPpi, on the screen's resolution.
int scaledToScreen(int designValue, int designPpi, const QWidget& widget);

} // namespace tamisko
