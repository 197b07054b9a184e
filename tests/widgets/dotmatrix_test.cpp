#include "widgets/DotMatrixDisplay.h"
#include "widgets/Matrix.h"

#include <functional>
#include <gtest/gtest.h>
#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <vector>

using namespace tamisko;
using tamisko::matrix::GlyphTable;

namespace {

// ---- the two configurations of the program

// The balance display of the main window.
void configureMainDisplay(DotMatrixDisplay& lcd)
{
    lcd.setDotMatrix(DotMatrixDisplay::mat7x9);
    lcd.setDotMatrixBorders(DotMatrixDisplay::mbTop | DotMatrixDisplay::mbBottom);
    lcd.setPixelSize(DotMatrixDisplay::pix2x2);
    lcd.setPixelSpacing(1);
    lcd.setCharSpacing(1);
    lcd.setLineSpacing(1);
    lcd.setBorderSpace(3);
    lcd.setBorderStyle(DotMatrixDisplay::bsNone);
    lcd.setColor(QColor(206, 206, 206));
    lcd.setPixelOff(QColor(196, 196, 196));
    lcd.setPixelOn(Qt::black);
    lcd.setIntensity(127);
    lcd.setSpecialEffects(DotMatrixDisplay::spInverse);
    lcd.setAnimationUnits(DotMatrixDisplay::auPixel);
    lcd.setAnimationDelay(250);
    lcd.setAnimationRepeating(true);
    lcd.setAnimationEnabled(true);
    lcd.setNoOfLines(1);
    lcd.setNoOfChars(12);
    lcd.setLines({QStringLiteral(" Tamisko 1.3")});
}

// The conversion display of the euro calculator.
void configureEuroDisplay(DotMatrixDisplay& lcd)
{
    lcd.setDotMatrix(DotMatrixDisplay::mat9x12);
    lcd.setDotMatrixBorders(DotMatrixDisplay::mbBottom | DotMatrixDisplay::mbLeft |
                            DotMatrixDisplay::mbTop);
    lcd.setPixelSize(DotMatrixDisplay::pix2x2);
    lcd.setPixelSpacing(1);
    lcd.setCharSpacing(1);
    lcd.setLineSpacing(1);
    lcd.setPixelShape(DotMatrixDisplay::psSquare);
    lcd.setBorderSpace(2);
    lcd.setBorderStyle(DotMatrixDisplay::bsNone);
    lcd.setColor(lcd.palette().color(QPalette::Button));
    lcd.setPixelOn(Qt::black);
    lcd.setPixelOff(QColor(182, 182, 182));
    lcd.setIntensity(127);
    lcd.resize(545, 89);
    lcd.setLines({QStringLiteral("Euro Computer")});
}

// Where the cells of a configuration lie, and how big they are.
struct CellLayout
{
    const GlyphTable& table;
    int borderSpace;
    int cellWidth;
    int cellHeight;
    int charSpacing;
    int lineSpacing;
    int dotPitch; // dot size plus spacing
    int left;     // border columns and rows of a cell
    int right;
    int top;
    int bottom;

    int columns() const { return table.width() + left + right; }
    int rows() const { return table.height() + top + bottom; }
    // Character n (from 1) of line r (from 0), without scrolling.
    QPoint cellOrigin(int n, int line) const
    {
        return {borderSpace + 1 + (n - 1) * (cellWidth + charSpacing),
                borderSpace + 1 + line * (cellHeight + lineSpacing)};
    }
};

const CellLayout& mainLayout()
{
    static const CellLayout layout{tamisko::matrix::mat7x9(), 3, 20, 32, 1, 1, 3, 0, 0, 1, 1};
    return layout;
}

const CellLayout& euroLayout()
{
    static const CellLayout layout{tamisko::matrix::mat9x12(), 2, 29, 41, 1, 1, 3, 1, 0, 1, 1};
    return layout;
}

// The dots of one cell as drawn: '#' lit, '.' unlit, '?' anything else.
QStringList readCell(const QImage& image, const CellLayout& layout, int n, int line,
                     const QColor& lit, const QColor& unlit)
{
    const QPoint origin = layout.cellOrigin(n, line);
    QStringList rows;
    for (int i = 0; i < layout.rows(); ++i) {
        QString row;
        for (int j = 0; j < layout.columns(); ++j) {
            const QRgb pixel =
                image.pixel(origin.x() + j * layout.dotPitch, origin.y() + i * layout.dotPitch);
            row += pixel == lit.rgb() ? '#' : pixel == unlit.rgb() ? '.' : '?';
        }
        rows << row;
    }
    return rows;
}

// The dots a cell should show for a code, with the cell's border rows and columns unlit.
QStringList expectedCell(const CellLayout& layout, int code)
{
    const GlyphTable& table = layout.table;
    const auto dots = table.glyph(code);
    QStringList rows;
    for (int i = 0; i < layout.rows(); ++i) {
        QString row;
        for (int j = 0; j < layout.columns(); ++j) {
            const int a = i - layout.top;
            const int b = j - layout.left;
            const bool inGlyph = a >= 0 && a < table.height() && b >= 0 && b < table.width();
            row += inGlyph && !dots.empty() && dots[std::size_t(a * table.width() + b)] ? '#' : '.';
        }
        rows << row;
    }
    return rows;
}

QStringList blankCell(const CellLayout& layout)
{
    return expectedCell(layout, ' ');
}

QStringList glyphRows(const GlyphTable& table, int code)
{
    const auto dots = table.glyph(code);
    QStringList rows;
    for (int a = 0; a < table.height(); ++a) {
        QString row;
        for (int b = 0; b < table.width(); ++b)
            row += dots[std::size_t(a * table.width() + b)] ? '#' : '.';
        rows << row;
    }
    return rows;
}

// Sees the refused settings instead of a message box.
class RecordingErrors
{
public:
    RecordingErrors()
        : previous_(DotMatrixDisplay::setErrorReporter(
              [this](QWidget*, const QString& message) { messages.push_back(message); }))
    {}
    ~RecordingErrors() { DotMatrixDisplay::setErrorReporter(previous_); }
    RecordingErrors(const RecordingErrors&) = delete;
    RecordingErrors& operator=(const RecordingErrors&) = delete;

    std::vector<QString> messages;

private:
    DotMatrixDisplay::ErrorReporter previous_;
};

class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

void deliverPendingPaints()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// A shown window holding one display, as the program's windows do.
class DisplayTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        host.resize(700, 200);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    }

    QImage shot() { return lcd->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    QWidget host;
    DotMatrixDisplay* lcd = new DotMatrixDisplay(&host);
};

// ---- start values and property names

TEST_F(DisplayTest, StartsWithThePublishedValues)
{
    const std::vector<std::pair<const char*, QVariant>> expected = {
        {"Lines", QStringList()},
        {"NoOfLines", 1},
        {"NoOfChars", 10},
        {"DotMatrix", QVariant::fromValue(DotMatrixDisplay::mat5x7)},
        {"DotMatrixBorders", QVariant::fromValue(DotMatrixDisplay::DotMatrixBorders())},
        {"PixelSize", QVariant::fromValue(DotMatrixDisplay::pix2x2)},
        {"PixelWidth", 2},
        {"PixelHeight", 2},
        {"PixelShape", QVariant::fromValue(DotMatrixDisplay::psSquare)},
        {"PixelSpacing", 1},
        {"CharSpacing", 1},
        {"LineSpacing", 1},
        {"BorderSpace", 3},
        {"BorderStyle", QVariant::fromValue(DotMatrixDisplay::bsLowered)},
        {"PixelOn", QColor(Qt::black)},
        {"PixelOff", QColor(170, 170, 170)},
        {"Intensity", 127},
        {"SpecialEffects", QVariant::fromValue(DotMatrixDisplay::SpecialEffects())},
        {"AnimationEnabled", false},
        {"AnimationDelay", 250},
        {"AnimationRepeating", false},
        {"AnimationUnits", QVariant::fromValue(DotMatrixDisplay::auChar)},
    };
    for (const auto& [name, value] : expected)
        EXPECT_EQ(lcd->property(name), value) << name;
    // 10 cells of 5 x 7 dots on one line.
    EXPECT_EQ(lcd->size(), QSize(157, 28));
}

TEST_F(DisplayTest, PropertiesAreSetByName)
{
    ASSERT_TRUE(lcd->setProperty("DotMatrix", QVariant::fromValue(DotMatrixDisplay::mat9x12)));
    ASSERT_TRUE(lcd->setProperty("NoOfChars", 4));
    ASSERT_TRUE(lcd->setProperty("Lines", QStringList{"ab"}));
    EXPECT_EQ(lcd->dotMatrix(), DotMatrixDisplay::mat9x12);
    EXPECT_EQ(lcd->noOfChars(), 4);
    EXPECT_EQ(lcd->lines(), QStringList{"ab"});
}

// ---- geometry

TEST_F(DisplayTest, MainDisplaySnapsTo259x40)
{
    configureMainDisplay(*lcd);
    EXPECT_EQ(lcd->size(), QSize(259, 40));
    EXPECT_EQ(lcd->sizeHint(), QSize(259, 40));
    EXPECT_EQ(lcd->noOfChars(), 12);
    EXPECT_EQ(lcd->noOfLines(), 1);
}

TEST_F(DisplayTest, EuroDisplayAt545x89HasTwoLinesOf18)
{
    configureEuroDisplay(*lcd);
    EXPECT_EQ(lcd->size(), QSize(545, 89));
    EXPECT_EQ(lcd->noOfChars(), 18);
    EXPECT_EQ(lcd->noOfLines(), 2);
}

TEST_F(DisplayTest, ResizingAddsWholeCharactersOnly)
{
    configureEuroDisplay(*lcd);
    const int step = euroLayout().cellWidth + euroLayout().charSpacing;
    struct Case
    {
        int width;
        int chars;
        int snappedWidth;
    };
    const Case cases[] = {
        {545 + step, 19, 545 + step}, // one cell plus spacing more: one more character
        {545 + 27, 18, 545},          // less is taken back
        // The count leaves the two frame pixels out, so 28 more already make room for a
        // character and the snap then widens by the last two pixels.
        {545 + 28, 19, 545 + step},
        {368, 12, 365},               // the calculator at its smallest
        {545 - step, 17, 545 - step}, // narrower by one cell
        {10, 1, 2 * 2 + 29 + 2},      // never fewer than one character
    };
    for (const Case& c : cases) {
        lcd->resize(c.width, 89);
        EXPECT_EQ(lcd->noOfChars(), c.chars) << c.width;
        EXPECT_EQ(lcd->width(), c.snappedWidth) << c.width;
        EXPECT_EQ(lcd->noOfLines(), 2) << c.width;
    }
}

TEST_F(DisplayTest, TallerByOneLineAddsALine)
{
    configureEuroDisplay(*lcd);
    lcd->resize(545, 89 + euroLayout().cellHeight + euroLayout().lineSpacing);
    EXPECT_EQ(lcd->noOfLines(), 3);
    EXPECT_EQ(lcd->height(), 89 + 42);
    lcd->resize(545, 89 + 39);
    EXPECT_EQ(lcd->noOfLines(), 2);
    EXPECT_EQ(lcd->height(), 89);
}

TEST_F(DisplayTest, SettingsThatChangeTheCellResizeTheWidget)
{
    configureMainDisplay(*lcd);
    lcd->setNoOfChars(5);
    EXPECT_EQ(lcd->width(), 1 * 4 + 6 + 5 * 20 + 2);
    lcd->setPixelSize(DotMatrixDisplay::pix3x3);
    EXPECT_EQ(lcd->pixelWidth(), 3);
    // 7 x 3 + 6 spacings wide, 11 x 3 + 10 spacings high.
    EXPECT_EQ(lcd->size(), QSize(4 + 6 + 5 * 27 + 2, 6 + 43 + 2));
}

TEST_F(DisplayTest, ExpandingLayoutGivesMoreCharacters)
{
    configureEuroDisplay(*lcd);
    auto* layout = new QVBoxLayout(&host);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lcd, 0, Qt::AlignTop);
    lcd->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    deliverPendingPaints();
    EXPECT_EQ(lcd->noOfChars(), (700 - 3) / 30);
    EXPECT_EQ(lcd->width(), 23 * 30 + 4 - 1 + 2);
}

// ---- colours

TEST(DotColoursTest, ScalesTheDifferenceByIntensity)
{
    struct Case
    {
        QColor on;
        QColor off;
        int intensity;
        QColor lit;
        QColor unlit;
    };
    const QColor black(0, 0, 0);
    const Case cases[] = {
        {black, QColor(196, 196, 196), 127, QColor(3, 3, 3), QColor(196, 196, 196)},
        {black, QColor(170, 170, 170), 127, QColor(3, 3, 3), QColor(170, 170, 170)},
        {black, QColor(182, 182, 182), 127, QColor(3, 3, 3), QColor(182, 182, 182)},
        {black, QColor(184, 198, 13), 127, QColor(3, 3, 0), QColor(184, 198, 13)},
        {black, QColor(196, 196, 196), 64, QColor(100, 100, 100), QColor(196, 196, 196)},
        // At 0 the lit dots are barely told from the unlit ones.
        {black, QColor(196, 196, 196), 0, QColor(198, 198, 198), QColor(196, 196, 196)},
        // A negative intensity swaps lit and unlit.
        {black, QColor(196, 196, 196), -127, QColor(196, 196, 196), QColor(3, 3, 3)},
        {black, QColor(196, 196, 196), -128, QColor(196, 196, 196), QColor(2, 2, 2)},
        // Only the difference is scaled; its low 8 bits are kept.
        {QColor(100, 0, 0), QColor(200, 0, 0), 0, QColor(101, 0, 0), QColor(200, 0, 0)},
        {QColor(255, 255, 255), black, 127, QColor(252, 252, 252), black},
    };
    for (const Case& c : cases) {
        const DotColours colours = mixDotColours(c.on, c.off, c.intensity);
        EXPECT_EQ(colours.lit.rgb(), c.lit.rgb())
            << c.intensity << " " << c.off.name().toStdString();
        EXPECT_EQ(colours.unlit.rgb(), c.unlit.rgb()) << c.intensity;
    }
}

TEST_F(DisplayTest, MainDisplayDrawsItsColours)
{
    configureMainDisplay(*lcd);
    const QImage image = shot();
    const QPoint t = mainLayout().cellOrigin(2, 0); // 'T': its top row is all lit
    EXPECT_EQ(image.pixel(t.x(), t.y() + 3), qRgb(3, 3, 3));
    EXPECT_EQ(image.pixel(t.x(), t.y()), qRgb(196, 196, 196));     // the top border row
    EXPECT_EQ(image.pixel(t.x() + 2, t.y()), qRgb(206, 206, 206)); // between two dots
    EXPECT_EQ(image.pixel(0, 0), qRgb(206, 206, 206));
}

// ---- repaint rules

class RepaintTest : public DisplayTest
{
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        configureMainDisplay(*lcd);
        deliverPendingPaints();
    }

    // Paint events that one change brings.
    int paintsAfter(const std::function<void()>& change)
    {
        deliverPendingPaints();
        PaintCounter counter(lcd);
        change();
        deliverPendingPaints();
        return counter.count;
    }
};

TEST_F(RepaintTest, ColourAndEffectSettersRepaintOnlyWithoutAnimation)
{
    struct Case
    {
        const char* name;
        std::function<void(DotMatrixDisplay&, int)> set;
    };
    const Case cases[] = {
        {"Color",
         [](DotMatrixDisplay& d, int i) {
             d.setColor(QColor(184, 198, 13 + i));
         }},
        {"PixelOff",
         [](DotMatrixDisplay& d, int i) {
             d.setPixelOff(QColor(168, 181, 13 + i));
         }},
        {"PixelOn",
         [](DotMatrixDisplay& d, int i) {
             d.setPixelOn(QColor(i + 1, 0, 0));
         }},
        {"Intensity",
         [](DotMatrixDisplay& d, int i) {
             d.setIntensity(100 - i);
         }},
        {"SpecialEffects",
         [](DotMatrixDisplay& d, int i) {
             d.setSpecialEffects(i ? DotMatrixDisplay::spUnderline : DotMatrixDisplay::spStrike);
         }},
    };
    for (const Case& c : cases) {
        lcd->setAnimationEnabled(true);
        EXPECT_EQ(paintsAfter([&] { c.set(*lcd, 0); }), 0) << c.name << " while animating";
        lcd->setAnimationEnabled(false);
        EXPECT_GE(paintsAfter([&] { c.set(*lcd, 1); }), 1) << c.name << " without animation";
    }
}

TEST_F(RepaintTest, ColourChangedWhileAnimatingShowsAtTheNextRepaint)
{
    ASSERT_TRUE(lcd->animationEnabled());
    lcd->setColor(QColor(184, 198, 13));
    lcd->setPixelOff(QColor(168, 181, 13));
    const QImage image = shot();
    EXPECT_EQ(image.pixel(0, 0), qRgb(184, 198, 13));
    const QPoint blank = mainLayout().cellOrigin(1, 0);
    EXPECT_EQ(image.pixel(blank), qRgb(168, 181, 13));
}

TEST_F(RepaintTest, LayoutAndTextSettersRepaintAtOnce)
{
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"Lines",
         [this] {
             lcd->setLines({"1,00"});
         }},
        {"NoOfChars",
         [this] {
             lcd->setNoOfChars(11);
         }},
        {"NoOfLines",
         [this] {
             lcd->setNoOfLines(2);
         }},
        {"CharSpacing",
         [this] {
             lcd->setCharSpacing(2);
         }},
        {"LineSpacing",
         [this] {
             lcd->setLineSpacing(2);
         }},
        {"BorderSpace",
         [this] {
             lcd->setBorderSpace(4);
         }},
        {"BorderStyle",
         [this] {
             lcd->setBorderStyle(DotMatrixDisplay::bsRaised);
         }},
        {"PixelShape",
         [this] {
             lcd->setPixelShape(DotMatrixDisplay::psRound);
         }},
    };
    ASSERT_TRUE(lcd->animationEnabled());
    for (const auto& [name, change] : changes)
        EXPECT_GE(paintsAfter(change), 1) << name;
}

TEST_F(RepaintTest, EqualValuesChangeNothingButLinesAlwaysCount)
{
    lcd->setAnimationEnabled(false);
    const std::pair<const char*, std::function<void()>> sameValues[] = {
        {"NoOfChars",
         [this] {
             lcd->setNoOfChars(12);
         }},
        {"CharSpacing",
         [this] {
             lcd->setCharSpacing(1);
         }},
        {"BorderStyle",
         [this] {
             lcd->setBorderStyle(DotMatrixDisplay::bsNone);
         }},
        {"Color",
         [this] {
             lcd->setColor(QColor(206, 206, 206));
         }},
        {"PixelOff",
         [this] {
             lcd->setPixelOff(QColor(196, 196, 196));
         }},
        {"Intensity",
         [this] {
             lcd->setIntensity(127);
         }},
        {"PixelShape",
         [this] {
             lcd->setPixelShape(DotMatrixDisplay::psSquare);
         }},
    };
    for (const auto& [name, change] : sameValues)
        EXPECT_EQ(paintsAfter(change), 0) << name;
    EXPECT_GE(paintsAfter([this] { lcd->setLines(lcd->lines()); }), 1);
}

TEST_F(DisplayTest, AnimationTimerRunsExactlyWhileEnabled)
{
    const auto* timer = lcd->findChild<QTimer*>(QStringLiteral("AnimationTimer"));
    ASSERT_NE(timer, nullptr);
    EXPECT_FALSE(timer->isActive());
    configureMainDisplay(*lcd);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 250);
    lcd->setAnimationDelay(100);
    EXPECT_EQ(timer->interval(), 100);
    lcd->setAnimationEnabled(false);
    EXPECT_FALSE(timer->isActive());
}

// ---- refused settings

TEST_F(DisplayTest, RefusedSettingsShowAnErrorAndKeepTheOldValue)
{
    struct Case
    {
        const char* expectedMessage;
        std::function<void(DotMatrixDisplay&)> set;
        std::function<int(const DotMatrixDisplay&)> get;
    };
    const Case cases[] = {
        {"Display needs at least one line!", [](auto& d) { d.setNoOfLines(0); },
         [](const auto& d) {
             return d.noOfLines();
         }},
        {"Display needs at least one character!", [](auto& d) { d.setNoOfChars(0); },
         [](const auto& d) {
             return d.noOfChars();
         }},
        {"Display pixel width must be 1 or more!", [](auto& d) { d.setPixelWidth(0); },
         [](const auto& d) {
             return d.pixelWidth();
         }},
        {"Display pixel height must be 1 or more!", [](auto& d) { d.setPixelHeight(0); },
         [](const auto& d) {
             return d.pixelHeight();
         }},
    };
    lcd->setPixelSize(DotMatrixDisplay::pixCustom);
    for (const Case& c : cases) {
        RecordingErrors errors;
        const int before = c.get(*lcd);
        const QSize sizeBefore = lcd->size();
        c.set(*lcd);
        ASSERT_EQ(errors.messages.size(), 1u) << c.expectedMessage;
        EXPECT_EQ(errors.messages.front(), QString::fromLatin1(c.expectedMessage));
        EXPECT_EQ(c.get(*lcd), before) << c.expectedMessage;
        EXPECT_EQ(lcd->size(), sizeBefore) << c.expectedMessage;
    }
}

TEST_F(DisplayTest, PixelWidthIsIgnoredUnderAFixedPixelSize)
{
    RecordingErrors errors;
    lcd->setPixelWidth(0);
    lcd->setPixelHeight(5);
    EXPECT_TRUE(errors.messages.empty());
    EXPECT_EQ(lcd->pixelWidth(), 2);
    EXPECT_EQ(lcd->pixelHeight(), 2);

    lcd->setPixelSize(DotMatrixDisplay::pixCustom);
    lcd->setPixelWidth(3);
    lcd->setPixelHeight(1);
    // 5 dots of 3 and 4 spacings by 7 dots of 1 and 6 spacings, 10 cells on one line.
    EXPECT_EQ(lcd->size(), QSize(9 + 6 + 10 * 19 + 2, 6 + 13 + 2));
}

// ---- text to cells

TEST(CellGridTest, MarkersSwitchEffectsAndTakeNoCell)
{
    struct Case
    {
        QString line;
        std::vector<std::pair<char, int>> cells; // code and effect product, from column 1
    };
    const QChar inverseOn(10), inverseOff(11), blinkOn(12), blinkOff(13), underlineOn(14),
        underlineOff(15), strikeOn(16), strikeOff(17), idle(18);
    const Case cases[] = {
        {"AB", {{'A', 0}, {'B', 0}}},
        {QString(inverseOn) + "A" + inverseOff + "B", {{'A', 2}, {'B', 0}}},
        {QString(blinkOn) + "A", {{'A', 3}}},
        {QString(underlineOn) + "A", {{'A', 5}}},
        {QString(strikeOn) + "A", {{'A', 7}}},
        {QString(inverseOn) + blinkOn + underlineOn + strikeOn + "A", {{'A', 210}}},
        {QString(underlineOn) + "A" + inverseOn + "B" + underlineOff + "C" + strikeOn + "D",
         {{'A', 5}, {'B', 10}, {'C', 2}, {'D', 14}}},
        {QString(inverseOff) + "A" + inverseOn + inverseOn + "B", {{'A', 0}, {'B', 2}}},
        {QString(blinkOn) + blinkOff + strikeOff + "A", {{'A', 0}}},
        {QString(idle) + "A" + QChar(19) + QChar(20) + "B", {{'A', 0}, {'B', 0}}},
    };
    DotMatrixCellGrid grid;
    for (const Case& c : cases) {
        grid.parse({c.line});
        ASSERT_EQ(grid.longestLine(), int(c.cells.size())) << c.line.toStdString();
        EXPECT_EQ(grid.cell(0, 0), 0);
        for (std::size_t i = 0; i < c.cells.size(); ++i) {
            const std::uint16_t cell = grid.cell(0, int(i) + 1);
            EXPECT_EQ(DotMatrixCellGrid::code(cell), c.cells[i].first) << i;
            EXPECT_EQ(DotMatrixCellGrid::effects(cell), c.cells[i].second) << i;
        }
        EXPECT_EQ(grid.cell(0, int(c.cells.size()) + 1), 0);
    }
}

TEST(CellGridTest, EffectsEndWithTheLine)
{
    DotMatrixCellGrid grid;
    grid.parse({QString(QChar(10)) + "A", "B"});
    EXPECT_EQ(DotMatrixCellGrid::effects(grid.cell(0, 1)), 2);
    EXPECT_EQ(DotMatrixCellGrid::effects(grid.cell(1, 1)), 0);
}

TEST(CellGridTest, NewTextClearsTheOldAndLongTextsAreCut)
{
    DotMatrixCellGrid grid;
    grid.parse({"ABCDEF", "GH"});
    grid.parse({"x"});
    EXPECT_EQ(grid.lineCount(), 1);
    EXPECT_EQ(grid.longestLine(), 1);
    EXPECT_EQ(grid.cell(0, 2), 0);
    EXPECT_EQ(grid.cell(1, 1), 0);

    grid.parse(QStringList(300, QString(200, 'z')));
    EXPECT_EQ(grid.lineCount(), DotMatrixCellGrid::kMaxLines);
    EXPECT_EQ(grid.longestLine(), DotMatrixCellGrid::kMaxLineLength);
    EXPECT_EQ(grid.cell(126, 127), 'z');
    EXPECT_EQ(grid.cell(127, 1), 0);
}

TEST(CellGridTest, CharactersBecomeSingleByteCodes)
{
    EXPECT_EQ(DotMatrixCellGrid::codeOf(U'A'), 'A');
    EXPECT_EQ(DotMatrixCellGrid::codeOf(U'α'), 0xE1);
    EXPECT_EQ(DotMatrixCellGrid::codeOf(U'€'), 0x80);
    EXPECT_EQ(DotMatrixCellGrid::codeOf(U'中'), 255);
    DotMatrixCellGrid grid;
    grid.parse({QStringLiteral("a\U0001F600b")}); // one cell for a character outside the BMP
    EXPECT_EQ(grid.longestLine(), 3);
    EXPECT_EQ(grid.cell(0, 2), 255);
}

// ---- what the panel shows

TEST_F(DisplayTest, VersionBannerFillsExactlyTwelveCells)
{
    configureMainDisplay(*lcd);
    const QImage image = shot();
    const QColor lit(3, 3, 3), unlit(196, 196, 196);
    const QString banner = QStringLiteral(" Tamisko 1.3");
    ASSERT_EQ(banner.size(), 12);
    EXPECT_EQ(readCell(image, mainLayout(), 1, 0, lit, unlit), blankCell(mainLayout()));
    for (int n = 1; n <= 12; ++n)
        EXPECT_EQ(readCell(image, mainLayout(), n, 0, lit, unlit),
                  expectedCell(mainLayout(), banner[n - 1].unicode()))
            << "cell " << n;
    // The last cell ends three dots of border space and spacing before the edge.
    const QPoint last = mainLayout().cellOrigin(12, 0);
    EXPECT_EQ(last.x() + 20 + 3, 259 - 1);
    for (int x = last.x() + 20; x < 259; ++x)
        EXPECT_EQ(image.pixel(x, 10), qRgb(206, 206, 206)) << x;
}

TEST_F(DisplayTest, LineLongerThanTheDisplayIsCut)
{
    configureMainDisplay(*lcd);
    lcd->setLines({QStringLiteral("ABCDEFGHIJKLMNOP")});
    EXPECT_EQ(lcd->size(), QSize(259, 40));
    const QImage image = shot();
    for (int n = 1; n <= 12; ++n)
        EXPECT_EQ(readCell(image, mainLayout(), n, 0, QColor(3, 3, 3), QColor(196, 196, 196)),
                  expectedCell(mainLayout(), 'A' + n - 1))
            << "cell " << n;
}

TEST_F(DisplayTest, SecondLineOfAOneLineDisplayIsNotShown)
{
    configureMainDisplay(*lcd);
    lcd->setLines({"12,50", "99,99"});
    const QImage twoLines = shot();
    lcd->setLines({"12,50"});
    EXPECT_EQ(twoLines, shot());
}

TEST_F(DisplayTest, EuroDisplayShowsBothLinesAndUnlitCellsBelowOne)
{
    configureEuroDisplay(*lcd);
    const QColor lit(3, 3, 3), unlit(182, 182, 182);
    const QColor background = lcd->color();
    QImage image = shot();
    const QString title = QStringLiteral("Euro Computer");
    for (int n = 1; n <= 18; ++n) {
        const int code = n <= title.size() ? title[n - 1].unicode() : ' ';
        EXPECT_EQ(readCell(image, euroLayout(), n, 0, lit, unlit), expectedCell(euroLayout(), code))
            << n;
        EXPECT_EQ(readCell(image, euroLayout(), n, 1, lit, unlit), blankCell(euroLayout())) << n;
    }
    EXPECT_EQ(image.pixel(0, 0), background.rgb());

    lcd->setLines({"10.00 Euro=", "3,408 Dr"});
    image = shot();
    EXPECT_EQ(readCell(image, euroLayout(), 1, 1, lit, unlit), expectedCell(euroLayout(), '3'));
    EXPECT_EQ(readCell(image, euroLayout(), 8, 1, lit, unlit), expectedCell(euroLayout(), 'r'));
}

TEST_F(DisplayTest, CharactersWithoutAGlyphShowAnEmptyCell)
{
    configureMainDisplay(*lcd);
    lcd->setLines({QStringLiteral("α中\x01")});
    const QImage image = shot();
    for (int n = 1; n <= 3; ++n)
        EXPECT_EQ(readCell(image, mainLayout(), n, 0, QColor(3, 3, 3), QColor(196, 196, 196)),
                  blankCell(mainLayout()))
            << n;

    // The 5 x 7 set shows the PC glyph of the cp1253 byte.
    lcd->setDotMatrix(DotMatrixDisplay::mat5x7);
    lcd->setDotMatrixBorders({});
    const CellLayout small{tamisko::matrix::mat5x7(), 3, 14, 20, 1, 1, 3, 0, 0, 0, 0};
    const QImage smallImage = shot();
    EXPECT_EQ(readCell(smallImage, small, 1, 0, QColor(3, 3, 3), QColor(196, 196, 196)),
              expectedCell(small, 0xE1));
    EXPECT_EQ(readCell(smallImage, small, 2, 0, QColor(3, 3, 3), QColor(196, 196, 196)),
              blankCell(small));
}

TEST_F(DisplayTest, EffectsDrawnWhenEnabled)
{
    configureMainDisplay(*lcd);
    const QColor lit(3, 3, 3), unlit(196, 196, 196);
    const CellLayout& layout = mainLayout();
    const QString litRow(7, '#');

    // Inverse: lit background dots, unlit glyph dots.
    lcd->setLines({QString(QChar(10)) + "E" + QChar(11) + "E"});
    QImage image = shot();
    QStringList inverted = expectedCell(layout, 'E');
    for (QString& row : inverted)
        for (QChar& dot : row)
            dot = dot == '#' ? '.' : '#';
    EXPECT_EQ(readCell(image, layout, 1, 0, lit, unlit), inverted);
    EXPECT_EQ(readCell(image, layout, 2, 0, lit, unlit), expectedCell(layout, 'E'));

    // Underline on the last dot row, strike-through on the middle one.
    lcd->setSpecialEffects(DotMatrixDisplay::spUnderline | DotMatrixDisplay::spStrike);
    lcd->setLines({QString(QChar(14)) + "-" + QChar(15) + QChar(16) + " " + QChar(10) + "."});
    image = shot();
    QStringList underlined = expectedCell(layout, '-');
    underlined[layout.rows() - 1] = litRow;
    EXPECT_EQ(readCell(image, layout, 1, 0, lit, unlit), underlined);
    QStringList struck = blankCell(layout);
    struck[layout.rows() / 2] = litRow;
    EXPECT_EQ(readCell(image, layout, 2, 0, lit, unlit), struck);
    // Inverse is no longer allowed: the dot shows plain, struck through.
    QStringList struckDot = expectedCell(layout, '.');
    struckDot[layout.rows() / 2] = litRow;
    EXPECT_EQ(readCell(image, layout, 3, 0, lit, unlit), struckDot);

    // Without the effects allowed, markers still take no cell and nothing shows.
    lcd->setSpecialEffects({});
    image = shot();
    EXPECT_EQ(readCell(image, layout, 1, 0, lit, unlit), expectedCell(layout, '-'));
    EXPECT_EQ(readCell(image, layout, 2, 0, lit, unlit), blankCell(layout));
}

TEST_F(DisplayTest, DisabledDisplayShowsOnlyBackgroundAndFrame)
{
    configureMainDisplay(*lcd);
    lcd->setBorderStyle(DotMatrixDisplay::bsLowered);
    lcd->setEnabled(false);
    const QImage image = shot();
    const QColor shadow = lcd->palette().color(QPalette::Dark);
    const QColor highlight = lcd->palette().color(QPalette::Light);
    EXPECT_EQ(image.pixel(0, 0), shadow.rgb());
    EXPECT_EQ(image.pixel(258, 39), highlight.rgb());
    for (int y = 1; y < 39; ++y)
        for (int x = 1; x < 258; ++x)
            ASSERT_EQ(image.pixel(x, y), qRgb(206, 206, 206)) << x << "," << y;
}

TEST_F(DisplayTest, RaisedFrameSwapsTheColours)
{
    lcd->setBorderStyle(DotMatrixDisplay::bsRaised);
    const QImage image = shot();
    EXPECT_EQ(image.pixel(0, 0), lcd->palette().color(QPalette::Light).rgb());
    EXPECT_EQ(image.pixel(lcd->width() - 1, lcd->height() - 1),
              lcd->palette().color(QPalette::Dark).rgb());
}

TEST_F(DisplayTest, RoundDotsStayInsideTheirSquares)
{
    configureEuroDisplay(*lcd);
    lcd->setPixelSize(DotMatrixDisplay::pix8x8);
    lcd->setNoOfChars(2);
    lcd->setNoOfLines(1);
    lcd->setLines({"88"});
    const QImage square = shot();
    lcd->setPixelShape(DotMatrixDisplay::psRound);
    const QImage round = shot();
    ASSERT_EQ(square.size(), round.size());
    int differing = 0;
    for (int y = 0; y < square.height(); ++y)
        for (int x = 0; x < square.width(); ++x) {
            if (square.pixel(x, y) != round.pixel(x, y)) {
                ++differing;
                // Only the corners of a dot change; the gaps keep the background.
                ASSERT_NE(square.pixel(x, y), lcd->color().rgb()) << x << "," << y;
            }
        }
    EXPECT_GT(differing, 0);
}

// ---- glyph tables

TEST(GlyphTableTest, TablesCoverTheirCodes)
{
    struct Case
    {
        const GlyphTable& table;
        int width;
        int height;
        int lastCode;
        std::size_t bytes;
    };
    const Case cases[] = {
        {tamisko::matrix::mat5x7(), 5, 7, 254, 7770},
        {tamisko::matrix::mat7x9(), 7, 9, 126, 5922},
        {tamisko::matrix::mat9x12(), 9, 12, 126, 10152},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.table.width(), c.width);
        EXPECT_EQ(c.table.height(), c.height);
        EXPECT_EQ(c.table.lastCode(), c.lastCode);
        EXPECT_EQ(c.table.bytes().size(), c.bytes);
        EXPECT_TRUE(c.table.glyph(32).empty());
        EXPECT_TRUE(c.table.glyph(c.lastCode + 1).empty());
        EXPECT_TRUE(c.table.glyph(20).empty());
        for (int code = 33; code <= c.lastCode; ++code) {
            const auto dots = c.table.glyph(code);
            EXPECT_EQ(dots.data(), c.table.bytes().data() + (code - 33) * c.width * c.height);
            EXPECT_NE(std::count(dots.begin(), dots.end(), 1), 0) << "code " << code;
        }
    }
}

TEST(GlyphTableTest, ZeroIsSlashedInEverySet)
{
    EXPECT_EQ(glyphRows(tamisko::matrix::mat5x7(), '0'),
              QStringList({".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}));
    for (const GlyphTable* table : {&tamisko::matrix::mat7x9(), &tamisko::matrix::mat9x12()}) {
        const QStringList zero = glyphRows(*table, '0');
        const QStringList letterO = glyphRows(*table, 'O');
        // The stroke crosses the middle of the digit, where the letter O is empty.
        const int middleRow = (table->height() - 1) / 2;
        const int middleColumn = table->width() / 2;
        EXPECT_EQ(letterO[middleRow][middleColumn], '.');
        bool slashed = false;
        for (int dx = -1; dx <= 1; ++dx)
            slashed = slashed || zero[middleRow][middleColumn + dx] == '#';
        EXPECT_TRUE(slashed) << table->width();
    }
}

TEST(GlyphTableTest, LargeSetHasSerifsAndKeepsTheLastRowForDescenders)
{
    const GlyphTable& table = tamisko::matrix::mat9x12();
    EXPECT_EQ(glyphRows(table, 'A')[10], "###...###");
    const QString descenders = "gjpqy";
    for (int code = 33; code <= 126; ++code) {
        const bool descends = descenders.contains(QChar(code));
        EXPECT_EQ(glyphRows(table, code)[11] != QString(9, '.'), descends) << char(code);
    }
}

TEST(GlyphTableTest, DescendersUseTheLowestRowsOfTheSmallerSets)
{
    for (const GlyphTable* table : {&tamisko::matrix::mat5x7(), &tamisko::matrix::mat7x9()}) {
        const QString empty(table->width(), '.');
        for (const char letter : {'g', 'j', 'p', 'q', 'y'})
            EXPECT_NE(glyphRows(*table, letter).back(), empty) << letter << table->width();
        // Capitals and digits stand on the lowest row, so descenders cannot go deeper.
        EXPECT_NE(glyphRows(*table, 'E').back(), empty);
        EXPECT_EQ(glyphRows(*table, '-').back(), empty);
    }
}

TEST(GlyphTableTest, UpperHalfOfTheSmallSetFollowsThePcCharacterSet)
{
    const GlyphTable& table = tamisko::matrix::mat5x7();
    // Full block, lower half block, horizontal box line and the centred dot.
    EXPECT_EQ(glyphRows(table, 219), QStringList(7, "#####"));
    EXPECT_EQ(glyphRows(table, 220),
              QStringList({".....", ".....", ".....", "#####", "#####", "#####", "#####"}));
    EXPECT_EQ(glyphRows(table, 196)[3], "#####");
    EXPECT_EQ(glyphRows(table, 179), QStringList(7, "..#.."));
    // ä is a with two dots above it.
    const QStringList aUmlaut = glyphRows(table, 132);
    EXPECT_EQ(aUmlaut.mid(2), glyphRows(table, 'a').mid(2));
    EXPECT_EQ(aUmlaut[0], ".#.#.");
}

// ---- both displays as the program shows them

TEST(DisplayScreenshot, BothConfigurationsOnOnePanel)
{
    QWidget window;
    window.setWindowTitle(QStringLiteral("Dot-matrix displays"));
    auto* layout = new QVBoxLayout(&window);
    auto* mainLcd = new DotMatrixDisplay;
    configureMainDisplay(*mainLcd);
    auto* highlighted = new DotMatrixDisplay;
    configureMainDisplay(*highlighted);
    highlighted->setColor(QColor(184, 198, 13));
    highlighted->setPixelOff(QColor(168, 181, 13));
    highlighted->setLines({QStringLiteral("     1234,56")});
    auto* euroLcd = new DotMatrixDisplay;
    configureEuroDisplay(*euroLcd);
    auto* converted = new DotMatrixDisplay;
    configureEuroDisplay(*converted);
    converted->setLines({QStringLiteral("10.00 Euro="), QStringLiteral("3,408 Dr")});
    for (QWidget* lcd : {static_cast<QWidget*>(mainLcd), static_cast<QWidget*>(highlighted),
                         static_cast<QWidget*>(euroLcd), static_cast<QWidget*>(converted)})
        layout->addWidget(lcd, 0, Qt::AlignLeft);
    window.resize(window.sizeHint());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    deliverPendingPaints();
    EXPECT_EQ(mainLcd->size(), QSize(259, 40));
    EXPECT_EQ(euroLcd->size(), QSize(545, 89));

    const QImage image = window.grab().toImage();
    EXPECT_FALSE(image.isNull());
    const QString path = qEnvironmentVariable("TAMISKO_DISPLAY_SHOT");
    if (!path.isEmpty()) {
        EXPECT_TRUE(image.save(path));
    }
}

} // namespace
