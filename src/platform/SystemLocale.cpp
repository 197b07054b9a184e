#include "platform/SystemLocale.h"

#include "data/Cp1253.h"
#include "platform/Text.h"

#include <QCollator>

namespace tamisko {
namespace {

class QtCollation final : public Collation
{
public:
    explicit QtCollation(const QLocale& locale) : caseSensitive_(locale), caseInsensitive_(locale)
    {
        caseSensitive_.setCaseSensitivity(Qt::CaseSensitive);
        caseInsensitive_.setCaseSensitivity(Qt::CaseInsensitive);
    }

    int compare(std::string_view a, std::string_view b, bool caseInsensitive) const override
    {
        const QCollator& collator = caseInsensitive ? caseInsensitive_ : caseSensitive_;
        return collator.compare(toQString(a), toQString(b));
    }

    std::vector<uint32_t> ranks(std::span<const std::string_view> texts,
                                bool caseInsensitive) const override
    {
        // Qt's keys for the C locale are the plain bytes, blind to case-insensitivity.
        if (caseInsensitive)
            return Collation::ranks(texts, caseInsensitive);
        std::vector<QCollatorSortKey> keys;
        keys.reserve(texts.size());
        for (const std::string_view text : texts)
            keys.push_back(caseSensitive_.sortKey(toQString(text)));
        return ranksInOrder(keys.size(),
                            [&](uint32_t a, uint32_t b) { return keys[a].compare(keys[b]); });
    }

private:
    QCollator caseSensitive_;
    QCollator caseInsensitive_;
};

// The cp1253 byte of a one-character separator; fallback when it has none.
char separatorByte(const QString& separator, char fallback)
{
    if (separator.size() != 1)
        return fallback;
    if (separator.at(0) == QChar(0x202F)) // narrow no-break space: the plain one
        return '\xA0';
    const auto bytes = fromQString(separator);
    return bytes ? bytes->front() : fallback;
}

int currencyDecimalsOf(const QLocale& locale)
{
    // Qt applies the locale's currency digits when no precision is given.
    const QString sample = locale.toCurrencyString(1.0, QString());
    const qsizetype point = sample.lastIndexOf(locale.decimalPoint());
    if (point < 0)
        return 0;
    int digits = 0;
    for (qsizetype i = point + 1; i < sample.size() && sample.at(i).isDigit(); ++i)
        ++digits;
    return digits;
}

} // namespace

std::string shortDateFormatFor(const QString& qtFormat)
{
    std::string format;
    const auto literal = [&format](const QString& text) {
        if (const auto bytes = fromQString(text))
            format += *bytes;
    };
    for (qsizetype i = 0; i < qtFormat.size();) {
        const QChar c = qtFormat.at(i);
        if (c == u'\'') {
            // Quoted text is kept unless it holds letters the core would read as fields.
            const qsizetype close = qtFormat.indexOf(u'\'', i + 1);
            const QString quoted = qtFormat.mid(i + 1, close < 0 ? -1 : close - i - 1);
            if (!quoted.contains(u'd') && !quoted.contains(u'M') && !quoted.contains(u'y'))
                literal(quoted);
            i = close < 0 ? qtFormat.size() : close + 1;
            continue;
        }
        qsizetype run = 1;
        while (i + run < qtFormat.size() && qtFormat.at(i + run) == c)
            ++run;
        i += run;
        if (c == u'y')
            format += "yyyy";
        else if ((c == u'd' || c == u'M') && run <= 2)
            format += std::string(static_cast<size_t>(run), c.toLatin1());
        else if (c == u'M')
            format += "MM"; // a month name: its number instead
        else if (!c.isLetter())
            literal(QString(run, c));
        // weekday names and other fields are not part of a short date
    }
    return format;
}

std::shared_ptr<const Collation> collationFor(const QLocale& locale)
{
    return std::make_shared<const QtCollation>(locale);
}

RegionalSettings regionalSettingsFor(const QLocale& locale)
{
    if (locale.language() == QLocale::C)
        return RegionalSettings::greek();

    RegionalSettings settings;
    settings.decimalSeparator = separatorByte(locale.decimalPoint(), '.');
    settings.thousandSeparator = separatorByte(locale.groupSeparator(), ' ');
    if (settings.thousandSeparator == settings.decimalSeparator)
        settings.thousandSeparator = settings.decimalSeparator == '.' ? ',' : '.';
    settings.currencyDecimals = currencyDecimalsOf(locale);
    settings.shortDateFormat = shortDateFormatFor(locale.dateFormat(QLocale::ShortFormat));
    settings.collation =
        locale.language() == QLocale::Greek ? greekCollation() : collationFor(locale);
    return settings;
}

RegionalSettings systemRegionalSettings()
{
    return regionalSettingsFor(QLocale::system());
}

} // namespace tamisko
