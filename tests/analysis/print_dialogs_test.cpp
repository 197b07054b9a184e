#include "platform/GreekQtTranslator.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <set>
#include <string>
#include <utility>

namespace {

using tamisko::GreekQtTranslator;

// Answers with the program's Greek strings and notes every string Qt asks for.
class RecordingTranslator final : public QTranslator
{
public:
    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override
    {
        asked.emplace(context ? context : "", sourceText ? sourceText : "");
        return greek.translate(context, sourceText, disambiguation, n);
    }
    bool isEmpty() const override { return false; }

    mutable std::set<std::pair<std::string, std::string>> asked;

private:
    GreekQtTranslator greek;
};

bool hasGreekLetters(const QString& text)
{
    for (const QChar c : text) {
        if (c.script() == QChar::Script_Greek)
            return true;
    }
    return false;
}

// The strings of Qt's print dialogs that name something: not the forms' designer titles,
// not numbers, ellipses or units.
bool needsWords(const std::string& source)
{
    static const std::set<std::string> wordless = {"Form", "...", "%1%", "mm"};
    if (wordless.count(source))
        return false;
    return QString::fromStdString(source).contains(QRegularExpression(QStringLiteral("[a-z]{2}")));
}

class PrintDialogs : public ::testing::Test
{
protected:
    void SetUp() override { QCoreApplication::installTranslator(&translator); }
    void TearDown() override { QCoreApplication::removeTranslator(&translator); }

    // Every string the dialogs asked for in the given contexts has a Greek translation.
    void expectAllGreek(std::initializer_list<const char*> contexts)
    {
        int checked = 0;
        for (const auto& [context, source] : translator.asked) {
            if (std::find(contexts.begin(), contexts.end(), context) == contexts.end() ||
                !needsWords(source))
                continue;
            ++checked;
            EXPECT_TRUE(
                hasGreekLetters(QCoreApplication::translate(context.c_str(), source.c_str())))
                << context << ": " << source;
        }
        EXPECT_GT(checked, 0);
    }

    RecordingTranslator translator;
    QPrinter printer{QPrinter::HighResolution};
};

TEST_F(PrintDialogs, ThePrintDialogIsGreek)
{
    QPrintDialog dialog(&printer);
    dialog.show();
    // The options part and the printer's properties are built when first opened.
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->objectName() == QStringLiteral("properties") && button->isEnabled()) {
            QMetaObject::invokeMethod(
                qApp,
                [] {
                    if (QWidget* properties = QApplication::activeModalWidget())
                        properties->close();
                },
                Qt::QueuedConnection);
            button->click();
        }
    }
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Εκτύπωση"));
    EXPECT_TRUE(translator.asked.count({"QPrintPropertiesDialog", "Printer Properties"}));
    expectAllGreek({"QPrintDialog", "QPrintWidget", "QPrintSettingsOutput",
                    "QPrintPropertiesDialog", "QPrintPropertiesWidget", "QCupsJobWidget",
                    "QPageSetupWidget", "QPlatformTheme"});
}

TEST_F(PrintDialogs, PageSetUpIsGreek)
{
    QPageSetupDialog dialog(&printer);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Διαμόρφωση σελίδας"));
    expectAllGreek({"QPageSetupWidget", "QPrintPreviewDialog", "QPlatformTheme"});
}

TEST_F(PrintDialogs, ThePrintPreviewIsGreek)
{
    QPrintPreviewDialog dialog(&printer);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Προεπισκόπηση εκτύπωσης"));
    for (QAction* action : dialog.findChildren<QAction*>()) {
        if (!action->text().isEmpty()) {
            EXPECT_TRUE(hasGreekLetters(action->text())) << action->text().toStdString();
        }
    }
    expectAllGreek({"QPrintPreviewDialog"});
}

} // namespace
