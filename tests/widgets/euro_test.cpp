#include "data/RegionalSettings.h"
#include "widgets/DotMatrixDisplay.h"
#include "widgets/EuroFrm.h"
#include "widgets/FloatSpinEdit.h"

#include <gtest/gtest.h>
#include <memory>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tamisko;

namespace {

tamisko::RegionalSettings pointSettings()
{
    tamisko::RegionalSettings settings;
    settings.decimalSeparator = '.';
    settings.thousandSeparator = ',';
    return settings;
}

QString readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

class EuroFormTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    std::unique_ptr<EuroForm> start(const tamisko::RegionalSettings& settings = pointSettings())
    {
        auto form = std::make_unique<EuroForm>(settings);
        form->setIniFileName(iniFile());
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        return form;
    }

    QString iniFile() const { return dir.filePath(QStringLiteral("Tamisko.ini")); }

    static void type(EuroForm& form, const QString& text)
    {
        form.edVal->setFocus();
        form.edVal->selectAll();
        QTest::keyClick(form.edVal, Qt::Key_Delete);
        QTest::keyClicks(form.edVal, text);
    }

    static void pressEnter(EuroForm& form) { QTest::keyClick(form.edVal, Qt::Key_Return); }

    static void resizeTo(EuroForm& form, int width, int height)
    {
        form.resize(width, height);
        QCoreApplication::processEvents();
    }

    QTemporaryDir dir;
};

struct DisplayCase
{
    const char* name;
    bool greek;
    bool drachmas;
    const char* typed;
    const char* line1;
    const char* line2;
};

class EuroDisplayTest : public EuroFormTest, public ::testing::WithParamInterface<DisplayCase>
{};

TEST_P(EuroDisplayTest, ShowsAmountAndConversion)
{
    const DisplayCase& c = GetParam();
    auto form = start(c.greek ? tamisko::RegionalSettings::greek() : pointSettings());
    if (c.drachmas)
        form->rbDrx->click();
    type(*form, QString::fromLatin1(c.typed));
    EXPECT_EQ(form->LCD->lines(),
              QStringList({QString::fromLatin1(c.line1), QString::fromLatin1(c.line2)}));
}

INSTANTIATE_TEST_SUITE_P(
    Conversions, EuroDisplayTest,
    ::testing::Values(
        DisplayCase{"TenEuros", false, false, "10", "10.00 Euro=", "3,408 Dr"},
        DisplayCase{"ThousandDrachmas", false, true, "1000", "1,000 Dr=", "2.93 Euro"},
        DisplayCase{"ZeroEuros", false, false, "0", "0.00 Euro=", "0 Dr"},
        DisplayCase{"ZeroDrachmas", false, true, "0", "0 Dr=", "0.00 Euro"},
        DisplayCase{"TenEurosGreek", true, false, "10", "10,00 Euro=", "3.408 Dr"},
        DisplayCase{"ThousandDrachmasGreek", true, true, "1000", "1.000 Dr=", "2,93 Euro"},
        DisplayCase{"ZeroEurosGreek", true, false, "0", "0,00 Euro=", "0 Dr"},
        DisplayCase{"FractionGreek", true, false, "12,5", "12,50 Euro=", "4.259 Dr"},
        DisplayCase{"NegativeEuros", false, false, "-10", "-10.00 Euro=", "-3,408 Dr"},
        DisplayCase{"NegativeDrachmas", false, true, "-1000", "-1,000 Dr=", "-2.93 Euro"},
        DisplayCase{"MillionEuros", false, false, "1000000",
                    "1,000,000.00 Euro=", "340,750,000 Dr"},
        DisplayCase{"LoneMinusReadsAsZero", false, false, "-", "0.00 Euro=", "0 Dr"},
        DisplayCase{"EmptyReadsAsZero", true, true, "", "0 Dr=", "0,00 Euro"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EuroFormTest, ShowsItsNameBeforeTheFirstConversion)
{
    auto form = start();
    EXPECT_EQ(form->LCD->lines(), QStringList{QStringLiteral("Euro Computer")});
    EXPECT_TRUE(form->rbEuro->isChecked());
    EXPECT_EQ(form->edVal->decimals(), 2);
}

struct ToggleCase
{
    const char* typed;
    const char* inDrachmas;
    const char* backInEuros;
};

class EuroToggleTest : public EuroFormTest, public ::testing::WithParamInterface<ToggleCase>
{};

// Switching units rounds the field to whole drachmas (half away from zero) and does not
// convert it.
TEST_P(EuroToggleTest, EnterTwiceReturnsToEurosRoundedThroughDrachmas)
{
    const ToggleCase& c = GetParam();
    auto form = start();
    type(*form, QString::fromLatin1(c.typed));
    QSignalSpy finished(form->edVal, &QAbstractSpinBox::editingFinished);

    pressEnter(*form);
    EXPECT_TRUE(form->rbDrx->isChecked());
    EXPECT_FALSE(form->rbEuro->isChecked());
    EXPECT_EQ(form->edVal->text(), QString::fromLatin1(c.inDrachmas));
    EXPECT_EQ(form->LCD->lines().front(), QString::fromLatin1(c.inDrachmas) + " Dr=");

    pressEnter(*form);
    EXPECT_TRUE(form->rbEuro->isChecked());
    EXPECT_EQ(form->edVal->text(), QString::fromLatin1(c.backInEuros));
    EXPECT_EQ(form->LCD->lines().front(), QString::fromLatin1(c.backInEuros) + " Euro=");
    // The form takes Enter before the field sees it.
    EXPECT_EQ(finished.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Rounding, EuroToggleTest,
                         ::testing::Values(ToggleCase{"10.50", "11", "11.00"},
                                           ToggleCase{"-2.50", "-3", "-3.00"},
                                           ToggleCase{"2.49", "2", "2.00"},
                                           ToggleCase{"7", "7", "7.00"}));

TEST_F(EuroFormTest, SizingChangesOnlyTheWidthDownTo380)
{
    auto form = start();
    resizeTo(*form, 200, 400);
    EXPECT_EQ(form->height(), 148);
    EXPECT_EQ(form->width(), 380);
    resizeTo(*form, 900, 60);
    EXPECT_EQ(form->height(), 148);
    EXPECT_EQ(form->width(), 900);
}

TEST_F(EuroFormTest, DisplayHoldsAsManyCharactersAsTheWidthAllows)
{
    auto form = start();
    struct
    {
        int windowWidth;
        int chars;
    } const cases[] = {{557, 18}, {380, 12}, {584, 18}, {585, 19}};
    for (const auto& c : cases) {
        resizeTo(*form, c.windowWidth, 148);
        EXPECT_EQ(form->LCD->noOfChars(), c.chars) << c.windowWidth;
        EXPECT_EQ(form->LCD->noOfLines(), 2) << c.windowWidth;
    }
    resizeTo(*form, 557, 148);
    EXPECT_EQ(form->LCD->size(), QSize(545, 89));
}

struct StoredCase
{
    const char* name;
    bool drachmas;
    const char* typed;
    const char* storedValue;
    const char* shownAfterRestart;
};

class EuroStorageTest : public EuroFormTest, public ::testing::WithParamInterface<StoredCase>
{};

TEST_P(EuroStorageTest, ValueAndUnitComeBackAfterRestart)
{
    const StoredCase& c = GetParam();
    {
        auto form = start(tamisko::RegionalSettings::greek());
        if (c.drachmas)
            form->rbDrx->click();
        type(*form, QString::fromLatin1(c.typed));
        form->resize(640, 148);
        form->close();
        EXPECT_FALSE(form->isVisible());
    }
    const QString ini = readFile(iniFile());
    EXPECT_TRUE(ini.contains(QStringLiteral("[TEuroForm]")));
    EXPECT_TRUE(ini.contains(QStringLiteral("edVal_Value=") + c.storedValue)) << ini.toStdString();
    EXPECT_TRUE(ini.contains(QStringLiteral("rbDrx_Checked=") +
                             (c.drachmas ? QStringLiteral("True") : QStringLiteral("False"))));
    EXPECT_TRUE(ini.contains(QStringLiteral("rbEuro_Checked=") +
                             (c.drachmas ? QStringLiteral("False") : QStringLiteral("True"))));
    EXPECT_TRUE(ini.contains(QStringLiteral("NormPos=")));

    EuroForm restarted(tamisko::RegionalSettings::greek());
    restarted.setIniFileName(iniFile());
    restarted.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&restarted));
    EXPECT_EQ(restarted.rbDrx->isChecked(), c.drachmas);
    EXPECT_EQ(restarted.rbEuro->isChecked(), !c.drachmas);
    EXPECT_EQ(restarted.edVal->decimals(), c.drachmas ? 0 : 2);
    EXPECT_EQ(restarted.edVal->text(), QString::fromLatin1(c.shownAfterRestart));
    EXPECT_EQ(restarted.width(), 640);
}

INSTANTIATE_TEST_SUITE_P(Restart, EuroStorageTest,
                         ::testing::Values(StoredCase{"Euros", false, "10,5", "10.5", "10,50"},
                                           StoredCase{"Drachmas", true, "1234", "1234", "1234"},
                                           StoredCase{"Negative", false, "-0,25", "-0.25",
                                                      "-0,25"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EuroFormTest, StoredTextThatIsNoNumberReadsAsZero)
{
    QFile file(iniFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[TEuroForm]\r\nedVal_Value=abc\r\nrbDrx_Checked=True\r\nrbEuro_Checked=False\r\n");
    file.close();

    auto form = start();
    EXPECT_TRUE(form->rbDrx->isChecked());
    EXPECT_EQ(form->edVal->text(), QStringLiteral("0"));
    EXPECT_EQ(form->LCD->lines(),
              QStringList({QStringLiteral("0 Dr="), QStringLiteral("0.00 Euro")}));
}

TEST_F(EuroFormTest, NeverShownCalculatorKeepsTheStoredValues)
{
    EuroForm form(pointSettings());
    form.setIniFileName(iniFile());
    form.storeSettings();
    EXPECT_FALSE(QFile::exists(iniFile()));
}

TEST_F(EuroFormTest, ExitStoresTheCurrentValues)
{
    auto form = start();
    type(*form, QStringLiteral("42"));
    form->storeSettings();
    EXPECT_TRUE(readFile(iniFile()).contains(QStringLiteral("edVal_Value=42")));
    EXPECT_TRUE(form->isVisible());
}

} // namespace
