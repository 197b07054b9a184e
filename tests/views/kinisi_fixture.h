#pragma once

#include "data/DataMdl.h"
#include "platform/ScriptedDialogService.h"
#include "platform/Text.h"

#include <gtest/gtest.h>
#include <ostream>
#include <QApplication>
#include <QTest>
#include <QWidget>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace tamisko::viewtest {

// Counts what the data module tells the main window.
struct CountingNotifier final : DocumentNotifier
{
    int modified = 0;
    int balanceChanged = 0;
    void sendDataModified() override { ++modified; }
    void postBalanceChanged() override { ++balanceChanged; }
};

inline std::string cp(const QString& text)
{
    return fromQString(text).value();
}

// A new document in a data module, and dialogs answered from a script.
class DocumentTest : public ::testing::Test
{
protected:
    DocumentTest()
    {
        data.setNotifier(&notifier);
        data.NewDocument();
        notifier = {};
    }

    int catNum(const QString& name)
    {
        return data.CatTable.lookup("Category", {Variant::fromString(cp(name))}, "CatNum")
            .toInt32();
    }

    void addMovement(double day, const QString& category, double receipt, double payment = 0)
    {
        MemTable& log = data.LogTable;
        log.append();
        log.setFieldValue("Date", Variant::fromDate(day));
        log.setFieldValue("CatNum", Variant::fromInt(catNum(category)));
        log.setFieldValue("Eispraxi", Variant::fromDouble(receipt));
        if (payment != 0)
            log.setFieldValue("Pliromi", Variant::fromDouble(payment));
        log.post();
    }

    // The names the movements keep, in table order.
    QStringList movementCategories()
    {
        QStringList names;
        const int field = data.LogTable.fieldByName("Category").index();
        for (int row = 0; row < data.LogTable.rowCount(); ++row)
            names << toQString(data.LogTable.valueAt(row, field).toString());
        return names;
    }

    QStringList categoryNames()
    {
        QStringList names;
        const int field = data.CatTable.fieldByName("Category").index();
        for (int row = 0; row < data.CatTable.rowCount(); ++row)
            names << toQString(data.CatTable.valueAt(row, field).toString());
        return names;
    }

    void showWindow(QWidget& window)
    {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    // Types text, Greek letters included, as key presses to the focused widget.
    static void type(const QString& text)
    {
        for (const QChar ch : text) {
            QWidget* const target = QApplication::focusWidget();
            const auto key = Qt::Key(ch.toUpper().unicode());
            QTest::sendKeyEvent(QTest::KeyAction::Press, target, key, QString(ch), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::KeyAction::Release, target, key, QString(ch),
                                Qt::NoModifier);
        }
    }

    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }

    CountingNotifier notifier;
    DataMod data;
    ScriptedDialogService dialogs;
    ScopedDialogService installed{dialogs};
};

} // namespace tamisko::viewtest
