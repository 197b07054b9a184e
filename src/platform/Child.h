#pragma once

#include <QPointer>
#include <QWidget>

namespace tamisko {

// The base of the document windows. Created with a host, a window sits frameless in
// the host's client area and fills it; the window shown last is the only one shown, so
// the keyboard (Tab, accelerators) reaches no window behind it. When the front window
// goes, the one shown before it comes back. Created without a host, it is an ordinary
// top-level window.
class ChildForm : public QWidget
{
    Q_OBJECT

public:
    explicit ChildForm(QWidget* parent = nullptr);
    // Embedding constructor: clientArea is the host window's client area.
    ChildForm(QWidget* parent, QWidget* clientArea);

    bool isEmbedded() const { return clientArea_ != nullptr; }
    QWidget* clientArea() const { return clientArea_; }

    // Makes the window visible in front of its sibling windows and hides them; the
    // keyboard goes to the active control unless it is already inside the window. A
    // control of the window in front that refuses to give up the focus (a text it cannot
    // take) keeps it, and that window stays in front: false then.
    bool showChild();

    // The control that has the keyboard when the window is shown; none: the control
    // that had it when the window was hidden, else the first control of the tab order.
    QWidget* activeControl() const { return activeControl_; }
    void setActiveControl(QWidget* control) { activeControl_ = control; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<ChildForm*> siblings() const;
    // Takes the keyboard out of the window, as leaving its control would; false when the
    // control keeps it.
    bool releaseFocus();
    void focusActiveControl();

    QWidget* clientArea_ = nullptr;
    QPointer<QWidget> activeControl_;
    QPointer<QWidget> lastFocus_;
};

} // namespace tamisko
