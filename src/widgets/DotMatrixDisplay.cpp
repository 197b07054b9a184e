#include "widgets/DotMatrixDisplay.h"

#include "data/Cp1253.h"
#include "widgets/Matrix.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <iterator>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPainter>
#include <QTimer>
#include <utility>

namespace tamisko {

namespace {

constexpr int kMaxByte = 255;

// Inverse, blinking, underline and strike-through, in the order of their markers.
constexpr int kEffectFactors[] = {2, 3, 5, 7};
constexpr char32_t kFirstMarker = 10;
constexpr char32_t kLastMarker = 20;

int toByte(int value)
{
    return std::clamp(value, 0, kMaxByte);
}

// Colours are equal when they show the same; how they were specified does not matter.
bool sameColour(const QColor& a, const QColor& b)
{
    return a.rgba() == b.rgba();
}

// a * b / c rounded to the nearest integer, halves away from zero (c > 0).
int mulDiv(int a, int b, int c)
{
    const long long product = static_cast<long long>(a) * b;
    const long long quotient = (std::llabs(product) + c / 2) / c;
    return static_cast<int>(product < 0 ? -quotient : quotient);
}

// value mod count brought into 0 .. count - 1.
int wrap(int value, int count)
{
    return ((value % count) + count) % count;
}

void showErrorBox(QWidget* display, const QString& message)
{
    QMessageBox box(QMessageBox::Critical, QGuiApplication::applicationDisplayName(), message,
                    QMessageBox::Ok, display);
    box.exec();
}

DotMatrixDisplay::ErrorReporter& installedErrorReporter()
{
    static DotMatrixDisplay::ErrorReporter reporter;
    return reporter;
}

} // namespace

// ---- DotMatrixCellGrid

int DotMatrixCellGrid::codeOf(char32_t character)
{
    if (character < 128)
        return static_cast<int>(character);
    const auto byte = cp1253::fromCodePoint(character);
    return byte ? *byte : kMaxByte;
}

void DotMatrixCellGrid::parse(const QStringList& lines)
{
    for (int row = 0; row < lineCount_; ++row)
        cells_[row].fill(0);
    lineCount_ = std::min(static_cast<int>(lines.size()), kMaxLines);
    longestLine_ = 0;

    for (int row = 0; row < lineCount_; ++row) {
        const QString& line = lines[row];
        std::array<bool, std::size(kEffectFactors)> effectOn{};
        int column = 1;
        int taken = 0;
        for (qsizetype i = 0; i < line.size() && taken < kMaxLineLength; ++i, ++taken) {
            char32_t character = line[i].unicode();
            if (line[i].isHighSurrogate() && i + 1 < line.size() && line[i + 1].isLowSurrogate()) {
                character = QChar::surrogateToUcs4(line[i], line[i + 1]);
                ++i;
            }
            if (character >= kFirstMarker && character <= kLastMarker) {
                // Pairs from 10 switch one effect each on and off; 18 to 20 mean nothing.
                const std::size_t offset = character - kFirstMarker;
                if (offset / 2 < effectOn.size())
                    effectOn[offset / 2] = offset % 2 == 0;
                continue;
            }
            int product = 1;
            for (std::size_t effect = 0; effect < effectOn.size(); ++effect)
                product *= effectOn[effect] ? kEffectFactors[effect] : 1;
            const int effects = product == 1 ? 0 : product;
            cells_[row][column++] = static_cast<std::uint16_t>(effects << 8 | codeOf(character));
        }
        longestLine_ = std::max(longestLine_, column - 1);
    }
}

// ---- colours

DotColours mixDotColours(const QColor& pixelOn, const QColor& pixelOff, int intensity)
{
    const int weight = 129 - std::abs(std::clamp(intensity, -128, 127));
    const auto scaled = [weight](int on, int off) {
        return mulDiv(weight, off - on, 128) & 0xFF;
    };
    const QColor mixed(scaled(pixelOn.red(), pixelOff.red()),
                       scaled(pixelOn.green(), pixelOff.green()),
                       scaled(pixelOn.blue(), pixelOff.blue()));
    if (intensity >= 0)
        return {mixed, pixelOff};
    return {pixelOff, mixed};
}

// ---- DotMatrixDisplay

DotMatrixDisplay::ErrorReporter DotMatrixDisplay::setErrorReporter(ErrorReporter reporter)
{
    return std::exchange(installedErrorReporter(), std::move(reporter));
}

// The toolkit has no inactive-border colour to start the background with; the button face
// is the same grey.
DotMatrixDisplay::DotMatrixDisplay(QWidget* parent)
    : QWidget(parent), color_(palette().color(QPalette::Button)), animationTimer_(new QTimer(this))
{
    animationTimer_->setObjectName(QStringLiteral("AnimationTimer"));
    animationTimer_->setInterval(animationDelay_);
    // The size the widget is born with counts as seen: it snaps to the start values.
    seenSize_ = size();
    ComputeColours();
}

DotMatrixDisplay::~DotMatrixDisplay() = default;

const matrix::GlyphTable& DotMatrixDisplay::glyphTable() const
{
    switch (dotMatrix_) {
    case mat7x9:
        return matrix::mat7x9();
    case mat9x12:
        return matrix::mat9x12();
    case mat5x7:
        break;
    }
    return matrix::mat5x7();
}

void DotMatrixDisplay::reportError(const QString& message)
{
    if (const ErrorReporter& reporter = installedErrorReporter())
        reporter(this, message);
    else
        showErrorBox(this, message);
}

void DotMatrixDisplay::repaintUnlessAnimated()
{
    if (!animationEnabled_)
        update();
}

void DotMatrixDisplay::setLines(const QStringList& lines)
{
    lines_ = lines;
    ParseLines();
}

void DotMatrixDisplay::setNoOfLines(int count)
{
    count = toByte(count);
    if (count == noOfLines_)
        return;
    if (count == 0) {
        reportError(QStringLiteral("Display needs at least one line!"));
        return;
    }
    noOfLines_ = count;
    UpdateGeometry();
    if (animationTimer_->isActive())
        ParseLines();
    else
        update();
}

void DotMatrixDisplay::setNoOfChars(int count)
{
    count = toByte(count);
    if (count == noOfChars_)
        return;
    if (count == 0) {
        reportError(QStringLiteral("Display needs at least one character!"));
        return;
    }
    noOfChars_ = count;
    UpdateGeometry();
    if (animationTimer_->isActive())
        ParseLines();
    else
        update();
}

void DotMatrixDisplay::setDotMatrix(DotMatrix matrix)
{
    if (matrix == dotMatrix_)
        return;
    dotMatrix_ = matrix;
    BuildCells();
}

void DotMatrixDisplay::setDotMatrixBorders(DotMatrixBorders borders)
{
    if (borders == dotMatrixBorders_)
        return;
    dotMatrixBorders_ = borders;
    BuildCells();
}

void DotMatrixDisplay::setPixelSize(PixelSize size)
{
    if (size == pixelSize_)
        return;
    pixelSize_ = size;
    BuildCells();
}

void DotMatrixDisplay::setPixelWidth(int width)
{
    width = toByte(width);
    if (width == pixelWidth_ || pixelSize_ != pixCustom)
        return;
    if (width == 0) {
        reportError(QStringLiteral("Display pixel width must be 1 or more!"));
        return;
    }
    pixelWidth_ = width;
    BuildCells();
}

void DotMatrixDisplay::setPixelHeight(int height)
{
    height = toByte(height);
    if (height == pixelHeight_ || pixelSize_ != pixCustom)
        return;
    if (height == 0) {
        reportError(QStringLiteral("Display pixel height must be 1 or more!"));
        return;
    }
    pixelHeight_ = height;
    BuildCells();
}

void DotMatrixDisplay::setPixelShape(PixelShape shape)
{
    if (shape == pixelShape_)
        return;
    pixelShape_ = shape;
    BuildCells();
    update();
}

void DotMatrixDisplay::setPixelSpacing(int spacing)
{
    spacing = toByte(spacing);
    if (spacing == pixelSpacing_)
        return;
    pixelSpacing_ = spacing;
    BuildCells();
}

void DotMatrixDisplay::setCharSpacing(int spacing)
{
    spacing = toByte(spacing);
    if (spacing == charSpacing_)
        return;
    charSpacing_ = spacing;
    UpdateGeometry();
    update();
}

void DotMatrixDisplay::setLineSpacing(int spacing)
{
    spacing = toByte(spacing);
    if (spacing == lineSpacing_)
        return;
    lineSpacing_ = spacing;
    UpdateGeometry();
    update();
}

void DotMatrixDisplay::setBorderSpace(int space)
{
    space = toByte(space);
    if (space == borderSpace_)
        return;
    borderSpace_ = space;
    UpdateGeometry();
    update();
}

void DotMatrixDisplay::setBorderStyle(LCDBorder style)
{
    if (style == borderStyle_)
        return;
    borderStyle_ = style;
    update();
}

void DotMatrixDisplay::setColor(const QColor& colour)
{
    if (sameColour(colour, color_))
        return;
    color_ = colour;
    BuildCells();
    repaintUnlessAnimated();
}

void DotMatrixDisplay::setPixelOn(const QColor& colour)
{
    if (sameColour(colour, pixelOn_))
        return;
    pixelOn_ = colour;
    ComputeColours();
    repaintUnlessAnimated();
}

void DotMatrixDisplay::setPixelOff(const QColor& colour)
{
    if (sameColour(colour, pixelOff_))
        return;
    pixelOff_ = colour;
    ComputeColours();
    repaintUnlessAnimated();
}

void DotMatrixDisplay::setIntensity(int intensity)
{
    intensity = std::clamp(intensity, -128, 127);
    if (intensity == intensity_)
        return;
    intensity_ = intensity;
    ComputeColours();
    repaintUnlessAnimated();
}

void DotMatrixDisplay::setSpecialEffects(SpecialEffects effects)
{
    if (effects == specialEffects_)
        return;
    specialEffects_ = effects;
    BuildCells();
    repaintUnlessAnimated();
}

void DotMatrixDisplay::setAnimationEnabled(bool enabled)
{
    if (enabled == animationEnabled_)
        return;
    animationEnabled_ = enabled;
    if (enabled)
        animationTimer_->start();
    else
        animationTimer_->stop();
}

void DotMatrixDisplay::setAnimationDelay(int milliseconds)
{
    milliseconds = std::max(milliseconds, 0);
    if (milliseconds == animationDelay_)
        return;
    animationDelay_ = milliseconds;
    animationTimer_->setInterval(milliseconds);
}

void DotMatrixDisplay::setAnimationRepeating(bool repeating)
{
    animationRepeating_ = repeating;
}

void DotMatrixDisplay::setAnimationUnits(AnimationUnit units)
{
    if (units == animationUnits_)
        return;
    animationUnits_ = units;
    if (units == auChar) {
        dotScrollX_ = 0;
        dotScrollY_ = 0;
    }
    repaintUnlessAnimated();
}

DotMatrixDisplay::CellGeometry DotMatrixDisplay::cellGeometry() const
{
    const matrix::GlyphTable& table = glyphTable();
    CellGeometry g;
    g.dotWidth = pixelSize_ == pixCustom ? pixelWidth_ : static_cast<int>(pixelSize_);
    g.dotHeight = pixelSize_ == pixCustom ? pixelHeight_ : static_cast<int>(pixelSize_);
    g.leftBorder = dotMatrixBorders_.testFlag(mbLeft) ? 1 : 0;
    g.topBorder = dotMatrixBorders_.testFlag(mbTop) ? 1 : 0;
    g.columns = table.width() + g.leftBorder + (dotMatrixBorders_.testFlag(mbRight) ? 1 : 0);
    g.rows = table.height() + g.topBorder + (dotMatrixBorders_.testFlag(mbBottom) ? 1 : 0);
    g.cellWidth = g.columns * g.dotWidth + (g.columns - 1) * pixelSpacing_;
    g.cellHeight = g.rows * g.dotHeight + (g.rows - 1) * pixelSpacing_;
    return g;
}

DotMatrixDisplay::Counts DotMatrixDisplay::countsFitting(QSize size, const CellGeometry& g) const
{
    const int chars =
        (size.width() + charSpacing_ - 2 * borderSpace_) / (charSpacing_ + g.cellWidth);
    const int lines =
        (size.height() + lineSpacing_ - 2 * borderSpace_) / (lineSpacing_ + g.cellHeight);
    return {std::clamp(chars, 1, kMaxByte), std::clamp(lines, 1, kMaxByte)};
}

QSize DotMatrixDisplay::fittedSize(Counts counts, const CellGeometry& g) const
{
    return {charSpacing_ * (counts.chars - 1) + 2 * borderSpace_ + counts.chars * g.cellWidth + 2,
            std::max(0, counts.lines - 1) * lineSpacing_ + 2 * borderSpace_ +
                counts.lines * g.cellHeight + 2};
}

DotMatrixDisplay::Counts DotMatrixDisplay::currentCounts() const
{
    if (size() != seenSize_)
        return countsFitting(size(), geometry_);
    return {noOfChars_, noOfLines_};
}

QSize DotMatrixDisplay::sizeHint() const
{
    return fittedSize(currentCounts(), geometry_);
}

void DotMatrixDisplay::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    UpdateGeometry();
}

void DotMatrixDisplay::UpdateGeometry()
{
    if (pixelSize_ != pixCustom)
        pixelWidth_ = pixelHeight_ = static_cast<int>(pixelSize_);
    geometry_ = cellGeometry();

    // A new size from outside decides how many characters and lines fit.
    if (size() != seenSize_) {
        const Counts counts = countsFitting(size(), geometry_);
        noOfChars_ = counts.chars;
        noOfLines_ = counts.lines;
    }

    // Then the widget snaps to exactly that many cells.
    const QSize fitted = fittedSize({noOfChars_, noOfLines_}, geometry_);
    const bool hintChanged = fitted != seenSize_;
    seenSize_ = fitted;
    if (size() != fitted)
        resize(fitted);
    if (hintChanged)
        QWidget::updateGeometry();
}

void DotMatrixDisplay::ComputeColours()
{
    colours_ = mixDotColours(pixelOn_, pixelOff_, intensity_);
    BuildCells();
}

void DotMatrixDisplay::BuildCells()
{
    UpdateGeometry();
    const CellGeometry& g = geometry_;
    const auto drawAllDots = [this, &g](QImage& cell, const QColor& colour) {
        QPainter painter(&cell);
        for (int row = 0; row < g.rows; ++row)
            drawDotRow(painter, 0, 0, row, colour);
    };
    normalCell_ = QImage(g.cellWidth, g.cellHeight, QImage::Format_RGB32);
    normalCell_.fill(color_);
    drawAllDots(normalCell_, colours_.unlit);
    inverseCell_ = normalCell_.copy();
    drawAllDots(inverseCell_, colours_.lit);
}

void DotMatrixDisplay::ParseLines()
{
    cellGrid_.parse(lines_);
    update();
}

void DotMatrixDisplay::paintEvent(QPaintEvent*)
{
    // Composed off screen and copied in one step, so the panel never flickers.
    QPainter painter(this);
    painter.drawImage(0, 0, composeImage());
}

QImage DotMatrixDisplay::composeImage() const
{
    QImage image(size(), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(color_);
    QPainter painter(&image);
    drawFrame(painter);
    if (isEnabled()) {
        const CellGeometry& g = geometry_;
        const QRect visible(g.cellWidth + charSpacing_ - 1 - dotScrollX_ * (pixelWidth_ + 1),
                            g.cellHeight + lineSpacing_ - 1 - dotScrollY_ * (pixelHeight_ + 1),
                            width() - 2 * borderSpace_, height() - 2 * borderSpace_);
        painter.drawImage(QPoint(borderSpace_, borderSpace_), drawCellArea(), visible);
    }
    return image;
}

void DotMatrixDisplay::drawFrame(QPainter& painter) const
{
    if (borderStyle_ == bsNone)
        return;
    const QColor highlight = palette().color(QPalette::Light);
    const QColor shadow = palette().color(QPalette::Dark);
    const bool lowered = borderStyle_ == bsLowered;
    const int right = width() - 1;
    const int bottom = height() - 1;
    painter.setPen(lowered ? highlight : shadow);
    painter.drawLine(0, bottom, right, bottom);
    painter.drawLine(right, 0, right, bottom);
    painter.setPen(lowered ? shadow : highlight);
    painter.drawLine(0, 0, right, 0);
    painter.drawLine(0, 0, 0, bottom);
}

QImage DotMatrixDisplay::drawCellArea() const
{
    // One cell more than the visible area on every side, so that scrolling can move
    // partly visible cells in.
    const CellGeometry& g = geometry_;
    QImage work(width() + 2 * (g.cellWidth + borderSpace_ + lineSpacing_),
                height() + 2 * (g.cellHeight + borderSpace_ + lineSpacing_), QImage::Format_RGB32);
    work.fill(color_);
    QPainter painter(&work);
    const int lineCount = std::max(cellGrid_.lineCount(), noOfLines_);
    const int columnCount = std::max(noOfChars_, cellGrid_.longestLine() + 1);
    for (int k = -1; k <= noOfLines_ + 1; ++k) {
        const int row = wrap(k + lineScroll_, lineCount);
        for (int i = 0; i <= noOfChars_ + 1; ++i) {
            const int column = wrap(i + charScroll_, columnCount);
            DrawCell(painter, i * (g.cellWidth + charSpacing_),
                     (k + 1) * (g.cellHeight + lineSpacing_), cellGrid_.cell(row, column));
        }
    }
    return work;
}

void DotMatrixDisplay::DrawCell(QPainter& painter, int x, int y, std::uint16_t cell) const
{
    const int code = DotMatrixCellGrid::code(cell);
    const int product = DotMatrixCellGrid::effects(cell);
    const bool plain = product == 0;
    bool inverse = false;
    if (!plain) {
        inverse = product % 2 == 0 && specialEffects_.testFlag(spInverse);
        if (product % 3 == 0 && specialEffects_.testFlag(spBlinking) && blinkPhase_)
            inverse = !inverse;
    }
    painter.drawImage(x, y, inverse ? inverseCell_ : normalCell_);
    const QColor& glyphColour = inverse ? colours_.unlit : colours_.lit;

    const CellGeometry& g = geometry_;
    const matrix::GlyphTable& table = glyphTable();
    const auto dots = table.glyph(code);
    if (!dots.empty()) {
        for (int a = 0; a < table.height(); ++a) {
            for (int b = 0; b < table.width(); ++b) {
                if (dots[std::size_t(a * table.width() + b)])
                    drawDot(painter, x + (b + g.leftBorder) * (g.dotWidth + pixelSpacing_),
                            y + (a + g.topBorder) * (g.dotHeight + pixelSpacing_), glyphColour);
            }
        }
    }
    if (!plain && product % 5 == 0 && specialEffects_.testFlag(spUnderline))
        drawDotRow(painter, x, y, g.rows - 1, glyphColour);
    if (!plain && product % 7 == 0 && specialEffects_.testFlag(spStrike))
        drawDotRow(painter, x, y, g.rows / 2, glyphColour);
}

void DotMatrixDisplay::drawDotRow(QPainter& painter, int x, int y, int row,
                                  const QColor& colour) const
{
    const CellGeometry& g = geometry_;
    for (int column = 0; column < g.columns; ++column)
        drawDot(painter, x + column * (g.dotWidth + pixelSpacing_),
                y + row * (g.dotHeight + pixelSpacing_), colour);
}

void DotMatrixDisplay::drawDot(QPainter& painter, int x, int y, const QColor& colour) const
{
    const CellGeometry& g = geometry_;
    if (pixelSize_ == pix1x1 || pixelShape_ == psSquare) {
        painter.fillRect(x, y, g.dotWidth, g.dotHeight, colour);
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(x, y, g.dotWidth, g.dotHeight));
}

} // namespace tamisko
