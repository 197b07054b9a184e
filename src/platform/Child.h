#pragma once

#include <QPointer>
#include <QWidget>

namespace tamisko {

// The base of the document windows. Created with a host, a window sits frameless in
// the host's client area, fills it and follows its size; the windows of one host lie
// on top of one another and the one shown last is seen. Created without a host, it is
// an ordinary top-level window.
class ChildForm : public QWidget
{
    Q_OBJECT

public:
    explicit ChildForm(QWidget* parent = nullptr);
    // Embedding constructor: clientArea is the host window's client area.
    ChildForm(QWidget* parent, QWidget* clientArea);

    bool isEmbedded() const { return clientArea_ != nullptr; }
    QWidget* clientArea() const { return clientArea_; }

    // Makes the window visible and brings it in front of its sibling windows; the
    // keyboard goes to the active control unless it is already inside the window.
    void showChild();

    // The control that has the keyboard when the window is shown; none: the first
    // control of the tab order.
    QWidget* activeControl() const { return activeControl_; }
    void setActiveControl(QWidget* control) { activeControl_ = control; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void focusActiveControl();

    QWidget* clientArea_ = nullptr;
    QPointer<QWidget> activeControl_;
};

} // namespace tamisko
