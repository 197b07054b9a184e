#include "reports/LogRpt.h"

#include "data/Cp1253.h"
#include "data/Format.h"
#include "data/MemTable.h"
#include "data/RegionalSettings.h"
#include "platform/db/FieldText.h"
#include "reports/ReportPreview.h"

namespace tamisko {
namespace {

using report::Band;
using report::BandElement;
using report::reportFont;

QString reportTitle()
{
    return QStringLiteral("Κινήσεις");
}

QString fromCp1253(std::string_view bytes)
{
    if (const auto utf8 = cp1253::toUtf8(bytes))
        return QString::fromStdString(*utf8);
    QString text; // undefined bytes: show what can be shown
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        text += cp1253::isDefinedByte(b) ? QChar(char16_t(cp1253::toCodePoint(b)))
                                         : QChar(QChar::ReplacementCharacter);
    }
    return text;
}

QString generalText(long double value, const RegionalSettings& settings)
{
    return fromCp1253(formatGeneral(static_cast<double>(value), settings.decimalSeparator));
}

BandElement label(qreal left, qreal top, const QString& text, const QFont& font)
{
    return BandElement{QPointF(left, top), text, font};
}

BandElement field(qreal left, const QString& text)
{
    return BandElement{QPointF(left, 0.3), text, reportFont(10), true};
}

Band titleBand()
{
    return Band{8.5, {label(3.7, 1.9, reportTitle(), reportFont(15, true, true))}};
}

Band columnHeaderBand()
{
    const QFont bold = reportFont(10, true);
    return Band{8.5,
                {label(3.7, 1.9, QStringLiteral("Ημέρα"), bold),
                 label(27.5, 1.9, QStringLiteral("Κατηγορία"), bold),
                 label(92.9, 1.9, QStringLiteral("Είσπραξη"), bold),
                 label(116.9, 1.9, QStringLiteral("Πληρωμή"), bold),
                 label(141.3, 1.9, QStringLiteral("Περιγραφή"), bold)}};
}

Band summaryBand(int count, long double receipts, long double payments,
                 const RegionalSettings& settings)
{
    const QFont bold = reportFont(10, true);
    return Band{15.9,
                {label(3.7, 4.8, QStringLiteral("Σύνολα"), reportFont(15, true, true)),
                 label(27.8, 5.8, QStringLiteral("Αριθμός κινήσεων:"), reportFont(10)),
                 label(61.6, 5.8, QString::number(count), bold),
                 label(93.4, 5.8, generalText(receipts, settings), bold),
                 label(117.2, 5.8, generalText(payments, settings), bold)}};
}

} // namespace

LogReport::LogReport(report::ReportViewer& viewer) : viewer_(viewer) {}

report::ReportBands LogReport::bands(MemTable& log, const RegionalSettings& settings)
{
    const Field& date = log.fieldByName("Date");
    const Field& category = log.fieldByName("Category");
    const Field& receipt = log.fieldByName("Eispraxi");
    const Field& payment = log.fieldByName("Pliromi");
    const Field& description = log.fieldByName("Perigrafi");
    // The amounts as the table window shows them.
    const auto amount = [&settings](const Field& f) {
        return db::displayText(f, f.value(), settings);
    };

    report::ReportBands bands;
    bands.title = titleBand();
    bands.columnHeader = columnHeaderBand();
    long double receipts = 0;
    long double payments = 0;
    for (log.first(); !log.eof(); log.next()) {
        const QString dateText =
            date.isNull() ? QString() : fromCp1253(formatDate(date.asFloat(), settings));
        bands.details.push_back(
            Band{4.8,
                 {field(3.7, dateText), field(27.8, fromCp1253(category.asString())),
                  field(93.1, amount(receipt)), field(116.9, amount(payment)),
                  field(141.3, fromCp1253(description.asString()))}});
        // Empty amounts count as 0.
        receipts += receipt.asFloat();
        payments += payment.asFloat();
    }
    bands.summary = summaryBand(int(bands.details.size()), receipts, payments, settings);
    return bands;
}

report::ReportLayout LogReport::layOut(MemTable& log, const RegionalSettings& settings)
{
    return report::ReportEngine().layOut(bands(log, settings));
}

void LogReport::Preview(MemTable& log, const RegionalSettings& settings) const
{
    viewer_.show(layOut(log, settings), reportTitle());
}

} // namespace tamisko
