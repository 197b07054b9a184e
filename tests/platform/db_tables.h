#pragma once

#include "data/MemTable.h"
#include "platform/ScriptedDialogService.h"
#include "platform/Text.h"

#include <gtest/gtest.h>
#include <ostream>
#include <QApplication>
#include <QTest>
#include <QWidget>
#include <string>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// Small tables and a window for the data-aware control tests.
namespace tamisko::dbtest {

inline std::string cp(const QString& text)
{
    return fromQString(text).value();
}

// Categories (auto-numbered, kept in name order) and movements that look theirs up.
struct CashTables
{
    MemTable categories{"Categories"};
    MemTable movements{"Movements"};
    DataSource categorySource{&categories};
    DataSource movementSource{&movements};

    CashTables()
    {
        categories.addField(
            {.name = "CatNum", .type = FieldType::AutoInc, .required = true, .visible = false});
        categories.addField({.name = "Category",
                             .type = FieldType::String,
                             .size = 30,
                             .displayLabel = "Κατηγορία",
                             .required = true});
        categories.setSortFields("Category");
        categories.setAutoSort(true);
        categories.open();

        movements.addField(
            {.name = "Date", .type = FieldType::Date, .displayLabel = "Ημέρα", .required = true});
        movements.addField({.name = "CatNum",
                            .type = FieldType::Integer,
                            .displayLabel = "Κατηγορία",
                            .required = true,
                            .visible = false});
        movements.addField({.name = "Category",
                            .type = FieldType::String,
                            .kind = FieldKind::Lookup,
                            .size = 30,
                            .displayLabel = "Κατηγορία",
                            .keyFields = "CatNum",
                            .lookupDataSet = &categories,
                            .lookupKeyFields = "CatNum",
                            .lookupResultField = "Category"});
        movements.addField(
            {.name = "Eispraxi", .type = FieldType::Currency, .displayLabel = "Είσπραξη"});
        movements.addField(
            {.name = "Pliromi", .type = FieldType::Currency, .displayLabel = "Πληρωμή"});
        movements.addField({.name = "Perigrafi",
                            .type = FieldType::String,
                            .size = 200,
                            .displayLabel = "Περιγραφή"});
        movements.open();
    }

    // Returns the category's number.
    int addCategory(const QString& name)
    {
        categories.append();
        categories.setFieldValue("Category", Variant::fromString(cp(name)));
        const int number = categories.fieldByName("CatNum").asInteger();
        categories.post();
        return number;
    }

    void addMovement(double day, int catNum, double receipt, const QString& text = {})
    {
        movements.append();
        movements.setFieldValue("Date", Variant::fromDate(day));
        movements.setFieldValue("CatNum", Variant::fromInt(catNum));
        movements.setFieldValue("Eispraxi", Variant::fromDouble(receipt));
        if (!text.isEmpty())
            movements.setFieldValue("Perigrafi", Variant::fromString(cp(text)));
        movements.post();
    }

    QString text(const char* field) const
    {
        return toQString(movements.fieldByName(field).asString());
    }
};

// A shown window for controls, with dialogs answered from a script.
class ControlTest : public ::testing::Test
{
protected:
    void show()
    {
        window.resize(400, 300);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    // Types text, Greek letters included, as key presses.
    static void type(QWidget* widget, const QString& text)
    {
        for (const QChar ch : text) {
            const auto key = Qt::Key(ch.toUpper().unicode());
            QTest::sendKeyEvent(QTest::KeyAction::Press, widget, key, QString(ch), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::KeyAction::Release, widget, key, QString(ch),
                                Qt::NoModifier);
        }
    }

    ScriptedDialogService dialogs;
    ScopedDialogService installed{dialogs};
    QWidget window;
};

} // namespace tamisko::dbtest
