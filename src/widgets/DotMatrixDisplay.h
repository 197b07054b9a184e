#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <QColor>
#include <QImage>
#include <QStringList>
#include <QWidget>

class QPainter;
class QTimer;

namespace tamisko {

namespace matrix {
class GlyphTable;
}

// The text of a dot-matrix display as cells of a fixed grid: the low byte of a cell is a
// character code (0 = empty), the high byte its text-effect product (0 = no effect).
// Row r holds line r, column 0 is always empty and the characters of a line follow from
// column 1. The grid is part of the object, so taking a new text allocates nothing.
class DotMatrixCellGrid final
{
public:
    static constexpr int kSize = 256;
    // Longer texts are cut: lines beyond the first 127, and characters (markers included)
    // beyond the first 127 of a line.
    static constexpr int kMaxLines = 127;
    static constexpr int kMaxLineLength = 127;

    // Inside a line, codes 10 to 20 are markers that take no cell: 10/11 inverse on/off,
    // 12/13 blinking on/off, 14/15 underline on/off, 16/17 strike-through on/off, 18 to 20
    // without meaning. The product of the factors 2, 3, 5 and 7 of the effects that are on
    // goes with every character.
    void parse(const QStringList& lines);

    std::uint16_t cell(int row, int column) const { return cells_[row][column]; }
    static int code(std::uint16_t cell) { return cell & 0xFF; }
    static int effects(std::uint16_t cell) { return cell >> 8; }

    // The number of lines taken and the cells of the longest one.
    int lineCount() const { return lineCount_; }
    int longestLine() const { return longestLine_; }

    // The display works on the single-byte codes the rest of the program stores:
    // characters below 128 keep their code, others take their cp1253 byte (so in the 5 x 7
    // set a Greek letter shows the PC glyph of that byte, as the glyph sets hold no Greek).
    // A character cp1253 cannot hold becomes 255, which no glyph set has.
    static int codeOf(char32_t character);

private:
    std::array<std::array<std::uint16_t, kSize>, kSize> cells_{};
    int lineCount_ = 0;
    int longestLine_ = 0;
};

// The colours of lit and unlit dots: the difference PixelOff - PixelOn of every channel is
// scaled by (129 - |intensity|) / 128 (rounded, low 8 bits kept); a negative intensity
// swaps lit and unlit.
struct DotColours final
{
    QColor lit;
    QColor unlit;
};
DotColours mixDotColours(const QColor& pixelOn, const QColor& pixelOff, int intensity);

// A passive display that draws lines of text the way a backlit dot-matrix panel does:
// every character is a cell of dots, lit or unlit, on a coloured background. All of its
// behaviour hangs on its properties; it snaps its size to a whole number of cells and
// works out from its size how many characters and lines it shows.
class DotMatrixDisplay final : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QStringList Lines READ lines WRITE setLines)
    Q_PROPERTY(int NoOfLines READ noOfLines WRITE setNoOfLines)
    Q_PROPERTY(int NoOfChars READ noOfChars WRITE setNoOfChars)
    Q_PROPERTY(DotMatrix DotMatrix READ dotMatrix WRITE setDotMatrix)
    Q_PROPERTY(DotMatrixBorders DotMatrixBorders READ dotMatrixBorders WRITE setDotMatrixBorders)
    Q_PROPERTY(PixelSize PixelSize READ pixelSize WRITE setPixelSize)
    Q_PROPERTY(int PixelWidth READ pixelWidth WRITE setPixelWidth)
    Q_PROPERTY(int PixelHeight READ pixelHeight WRITE setPixelHeight)
    Q_PROPERTY(PixelShape PixelShape READ pixelShape WRITE setPixelShape)
    Q_PROPERTY(int PixelSpacing READ pixelSpacing WRITE setPixelSpacing)
    Q_PROPERTY(int CharSpacing READ charSpacing WRITE setCharSpacing)
    Q_PROPERTY(int LineSpacing READ lineSpacing WRITE setLineSpacing)
    Q_PROPERTY(int BorderSpace READ borderSpace WRITE setBorderSpace)
    Q_PROPERTY(LCDBorder BorderStyle READ borderStyle WRITE setBorderStyle)
    Q_PROPERTY(QColor Color READ color WRITE setColor)
    Q_PROPERTY(QColor PixelOn READ pixelOn WRITE setPixelOn)
    Q_PROPERTY(QColor PixelOff READ pixelOff WRITE setPixelOff)
    Q_PROPERTY(int Intensity READ intensity WRITE setIntensity)
    Q_PROPERTY(SpecialEffects SpecialEffects READ specialEffects WRITE setSpecialEffects)
    Q_PROPERTY(bool AnimationEnabled READ animationEnabled WRITE setAnimationEnabled)
    Q_PROPERTY(int AnimationDelay READ animationDelay WRITE setAnimationDelay)
    Q_PROPERTY(bool AnimationRepeating READ animationRepeating WRITE setAnimationRepeating)
    Q_PROPERTY(AnimationUnit AnimationUnits READ animationUnits WRITE setAnimationUnits)

public:
    enum DotMatrix
    {
        mat5x7,
        mat7x9,
        mat9x12
    };
    Q_ENUM(DotMatrix)

    // Each border adds a row or column of always-unlit dots on that side of every cell.
    enum DotMatrixBorder
    {
        mbBottom = 1,
        mbLeft = 2,
        mbRight = 4,
        mbTop = 8
    };
    Q_DECLARE_FLAGS(DotMatrixBorders, DotMatrixBorder)
    Q_FLAG(DotMatrixBorders)

    // A dot of n x n screen pixels, or PixelWidth x PixelHeight under pixCustom.
    enum PixelSize
    {
        pixCustom,
        pix1x1,
        pix2x2,
        pix3x3,
        pix4x4,
        pix5x5,
        pix6x6,
        pix7x7,
        pix8x8,
        pix9x9,
        pix10x10,
        pix11x11,
        pix12x12,
        pix13x13,
        pix14x14,
        pix15x15,
        pix16x16
    };
    Q_ENUM(PixelSize)

    enum PixelShape
    {
        psSquare,
        psRound
    };
    Q_ENUM(PixelShape)

    enum LCDBorder
    {
        bsLowered,
        bsNone,
        bsRaised
    };
    Q_ENUM(LCDBorder)

    enum SpecialEffect
    {
        spBlinking = 1,
        spInverse = 2,
        spUnderline = 4,
        spStrike = 8
    };
    Q_DECLARE_FLAGS(SpecialEffects, SpecialEffect)
    Q_FLAG(SpecialEffects)

    enum AnimationUnit
    {
        auChar,
        auPixel
    };
    Q_ENUM(AnimationUnit)

    // Shows a refused setting to the user (a message box with the error icon and OK).
    using ErrorReporter = std::function<void(QWidget* display, const QString& message)>;
    // Installs a replacement and returns the previous one; an empty function restores the
    // message box.
    static ErrorReporter setErrorReporter(ErrorReporter reporter);

    explicit DotMatrixDisplay(QWidget* parent = nullptr);
    ~DotMatrixDisplay() override;

    // Any assignment counts as a change and is shown at once.
    QStringList lines() const { return lines_; }
    void setLines(const QStringList& lines);

    // Both follow a new size at once, even before a hidden widget sees its resize event.
    int noOfLines() const { return currentCounts().lines; }
    void setNoOfLines(int count);
    int noOfChars() const { return currentCounts().chars; }
    void setNoOfChars(int count);

    DotMatrix dotMatrix() const { return dotMatrix_; }
    void setDotMatrix(DotMatrix matrix);
    DotMatrixBorders dotMatrixBorders() const { return dotMatrixBorders_; }
    void setDotMatrixBorders(DotMatrixBorders borders);

    PixelSize pixelSize() const { return pixelSize_; }
    void setPixelSize(PixelSize size);
    // Only taken under pixCustom; a fixed PixelSize overwrites them with its own.
    int pixelWidth() const { return pixelWidth_; }
    void setPixelWidth(int width);
    int pixelHeight() const { return pixelHeight_; }
    void setPixelHeight(int height);
    PixelShape pixelShape() const { return pixelShape_; }
    void setPixelShape(PixelShape shape);

    int pixelSpacing() const { return pixelSpacing_; }
    void setPixelSpacing(int spacing);
    int charSpacing() const { return charSpacing_; }
    void setCharSpacing(int spacing);
    int lineSpacing() const { return lineSpacing_; }
    void setLineSpacing(int spacing);
    int borderSpace() const { return borderSpace_; }
    void setBorderSpace(int space);
    LCDBorder borderStyle() const { return borderStyle_; }
    void setBorderStyle(LCDBorder style);

    // While the animation is enabled the colour and effect setters do not repaint; a
    // caller changing them then asks for the repaint itself.
    QColor color() const { return color_; }
    void setColor(const QColor& colour);
    QColor pixelOn() const { return pixelOn_; }
    void setPixelOn(const QColor& colour);
    QColor pixelOff() const { return pixelOff_; }
    void setPixelOff(const QColor& colour);
    // -128 to 127: the contrast between lit and unlit dots.
    int intensity() const { return intensity_; }
    void setIntensity(int intensity);
    SpecialEffects specialEffects() const { return specialEffects_; }
    void setSpecialEffects(SpecialEffects effects);

    bool animationEnabled() const { return animationEnabled_; }
    void setAnimationEnabled(bool enabled);
    // Milliseconds per animation step.
    int animationDelay() const { return animationDelay_; }
    void setAnimationDelay(int milliseconds);
    bool animationRepeating() const { return animationRepeating_; }
    void setAnimationRepeating(bool repeating);
    AnimationUnit animationUnits() const { return animationUnits_; }
    void setAnimationUnits(AnimationUnit units);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The derived size of one cell.
    struct CellGeometry final
    {
        int dotWidth = 0;   // w
        int dotHeight = 0;  // h
        int columns = 0;    // C: matrix width plus the left and right borders
        int rows = 0;       // R: matrix height plus the top and bottom borders
        int cellWidth = 0;  // CW
        int cellHeight = 0; // CH
        int leftBorder = 0; // L
        int topBorder = 0;  // T
    };

    struct Counts final
    {
        int chars = 0;
        int lines = 0;
    };

    const matrix::GlyphTable& glyphTable() const;
    CellGeometry cellGeometry() const;
    // How many characters and lines fit a size, and the size that fits them exactly.
    Counts countsFitting(QSize size, const CellGeometry& g) const;
    QSize fittedSize(Counts counts, const CellGeometry& g) const;
    // The stored counts, or those of a new size that UpdateGeometry has not seen yet.
    Counts currentCounts() const;
    void reportError(const QString& message);
    void repaintUnlessAnimated();

    void UpdateGeometry();
    void ComputeColours();
    void BuildCells();
    void ParseLines();
    QImage composeImage() const;
    void drawFrame(QPainter& painter) const;
    QImage drawCellArea() const;
    void DrawCell(QPainter& painter, int x, int y, std::uint16_t cell) const;
    void drawDot(QPainter& painter, int x, int y, const QColor& colour) const;
    void drawDotRow(QPainter& painter, int x, int y, int row, const QColor& colour) const;

    QStringList lines_;
    int noOfLines_ = 1;
    int noOfChars_ = 10;
    DotMatrix dotMatrix_ = mat5x7;
    DotMatrixBorders dotMatrixBorders_;
    PixelSize pixelSize_ = pix2x2;
    int pixelWidth_ = 2;
    int pixelHeight_ = 2;
    PixelShape pixelShape_ = psSquare;
    int pixelSpacing_ = 1;
    int charSpacing_ = 1;
    int lineSpacing_ = 1;
    int borderSpace_ = 3;
    LCDBorder borderStyle_ = bsLowered;
    QColor color_;
    QColor pixelOn_ = Qt::black;
    QColor pixelOff_ = QColor(170, 170, 170);
    int intensity_ = 127;
    SpecialEffects specialEffects_;
    bool animationEnabled_ = false;
    int animationDelay_ = 250;
    bool animationRepeating_ = false;
    AnimationUnit animationUnits_ = auChar;

    DotMatrixCellGrid cellGrid_;
    // Moved only by an animation script; none is attached, so they stay at 0.
    std::int16_t charScroll_ = 0;
    std::int16_t lineScroll_ = 0;
    std::int8_t dotScrollX_ = 0;
    std::int8_t dotScrollY_ = 0;
    bool blinkPhase_ = false;

    CellGeometry geometry_;
    QSize seenSize_;
    DotColours colours_;
    QImage normalCell_;
    QImage inverseCell_;
    // Runs exactly while the animation is enabled. Its ticks would drive an animation
    // script; without one they change nothing, so nothing listens to them.
    QTimer* animationTimer_;
};

} // namespace tamisko

Q_DECLARE_OPERATORS_FOR_FLAGS(tamisko::DotMatrixDisplay::DotMatrixBorders)
Q_DECLARE_OPERATORS_FOR_FLAGS(tamisko::DotMatrixDisplay::SpecialEffects)
