#include "import/field_values.h"

#include <array>
#include <cmath>

namespace zambrel::bills {

namespace {

bool isCurrencyText(QStringView word)
{
    return word.compare(u"CNY", Qt::CaseInsensitive) == 0 || word.compare(u"RMB", Qt::CaseInsensitive) == 0;
}

// Drops currency signs and words, and every kind of blank.
QString withoutCurrency(QStringView text)
{
    QString kept;
    kept.reserve(text.size());
    qsizetype at = 0;
    while (at < text.size()) {
        const QChar c = text[at];
        if (c.isLetter() && c.unicode() < 0x80) {
            qsizetype end = at;
            while (end < text.size() && text[end].isLetter() && text[end].unicode() < 0x80)
                ++end;
            const QStringView word = text.sliced(at, end - at);
            if (!isCurrencyText(word))
                kept += word;
            at = end;
            continue;
        }
        if (c.category() != QChar::Symbol_Currency && c != u'元' && !c.isSpace())
            kept += c;
        ++at;
    }
    return kept;
}

// The numbers in a date's text: up to three groups of digits at its start.
struct DateParts {
    std::array<QStringView, 3> groups;
    int count = 0;
};

DateParts datePartsOf(QStringView text)
{
    DateParts parts;
    qsizetype at = 0;
    while (at < text.size() && text[at].isSpace())
        ++at;
    while (parts.count < 3 && at < text.size()) {
        qsizetype end = at;
        while (end < text.size() && text[end] >= u'0' && text[end] <= u'9')
            ++end;
        if (end == at)
            break;
        parts.groups[std::size_t(parts.count++)] = text.sliced(at, end - at);
        if (end >= text.size() || text[end].isSpace() || text[end] == u'T' || parts.count == 3)
            break;
        // One separator between the groups (a blank may follow 年 and 月).
        at = end + 1;
        while (at < text.size() && text[at] == u' ')
            ++at;
    }
    return parts;
}

// Digit grouping marks thousands: 1–3 digits, then groups of exactly 3, all
// before the decimal mark. "12,5" read with a decimal point, or "12.50" read
// with a decimal comma, is no amount rather than a hundred times one.
bool groupingFits(QStringView number, QChar grouping, QChar decimal)
{
    const qsizetype point = number.indexOf(decimal);
    const QStringView whole = point < 0 ? number : number.first(point);
    if (point >= 0 && number.sliced(point).contains(grouping))
        return false;
    if (!whole.contains(grouping))
        return true;
    qsizetype group = 0;
    for (const QStringView digits : whole.split(grouping)) {
        if (group++ == 0 ? (digits.isEmpty() || digits.size() > 3) : digits.size() != 3)
            return false;
    }
    return true;
}

std::optional<int> yearOf(QStringView digits)
{
    if (digits.size() == 4)
        return digits.toInt();
    if (digits.size() == 2)
        return 2000 + digits.toInt();
    return std::nullopt;
}

std::optional<QDate> dateOf(std::optional<int> year, QStringView month, QStringView day)
{
    if (!year || month.size() > 2 || day.size() > 2 || *year < 1900 || *year > 2200)
        return std::nullopt;
    const QDate date(*year, month.toInt(), day.toInt());
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

} // namespace

std::optional<double> parseAmount(QStringView text, bool decimalComma)
{
    QString number = withoutCurrency(text);
    if (number.contains(QChar::ReplacementCharacter))
        return std::nullopt;
    for (const QChar c : std::as_const(number)) {
        if (c.unicode() >= 0x80) {
            // Full-width digits, signs and points become their plain forms.
            number = withoutCurrency(number.normalized(QString::NormalizationForm_KC));
            break;
        }
    }
    bool negative = false;
    if (number.startsWith(u'(') && number.endsWith(u')')) {
        negative = true;
        number = number.mid(1, number.size() - 2);
    }
    // One mark of a negative amount: brackets and a minus together are no
    // bill's way of writing, and reading them as cancelling out turns an
    // expense into income.
    if (number.startsWith(u'-') || number.startsWith(QChar(0x2212))) {
        if (negative)
            return std::nullopt;
        negative = true;
        number.remove(0, 1);
    } else if (number.startsWith(u'+')) {
        number.remove(0, 1);
    } else if (number.endsWith(u'-')) {
        if (negative)
            return std::nullopt;
        negative = true;
        number.chop(1);
    }
    const QChar grouping = decimalComma ? u'.' : u',';
    if (!groupingFits(number, grouping, decimalComma ? u',' : u'.'))
        return std::nullopt;
    number.remove(grouping);
    number.remove(u'\'');
    if (decimalComma)
        number.replace(u',', u'.');

    // Digits with at most one point, and an exponent as sheets write some
    // numbers; nothing else.
    int digits = 0;
    int points = 0;
    qsizetype exponent = -1;
    for (qsizetype i = 0; i < number.size(); ++i) {
        const QChar c = number[i];
        if (c >= u'0' && c <= u'9') {
            ++digits;
        } else if (c == u'.' && exponent < 0) {
            ++points;
        } else if ((c == u'e' || c == u'E') && exponent < 0 && digits > 0) {
            exponent = i;
            if (i + 1 < number.size() && (number[i + 1] == u'+' || number[i + 1] == u'-'))
                ++i;
            if (i + 1 >= number.size())
                return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || points > 1)
        return std::nullopt;
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value > kMaxAmount)
        return std::nullopt;
    return negative ? -value : value;
}

std::optional<QDate> parseDate(QStringView text, DateOrder order)
{
    const DateParts parts = datePartsOf(text);
    if (parts.count == 1 && parts.groups[0].size() == 8) {
        const QStringView d = parts.groups[0];
        switch (order) {
        case DateOrder::YearMonthDay:
            return dateOf(d.first(4).toInt(), d.sliced(4, 2), d.sliced(6, 2));
        case DateOrder::DayMonthYear:
            return dateOf(d.sliced(4).toInt(), d.sliced(2, 2), d.first(2));
        case DateOrder::MonthDayYear:
            return dateOf(d.sliced(4).toInt(), d.first(2), d.sliced(2, 2));
        }
    }
    if (parts.count != 3)
        return std::nullopt;
    const auto &[a, b, c] = parts.groups;
    switch (order) {
    case DateOrder::YearMonthDay:
        return a.size() == 4 ? dateOf(yearOf(a), b, c) : std::nullopt;
    case DateOrder::DayMonthYear:
        return dateOf(yearOf(c), b, a);
    case DateOrder::MonthDayYear:
        return dateOf(yearOf(c), a, b);
    }
    return std::nullopt;
}

std::optional<QDate> excelSerialDate(QStringView text)
{
    bool ok = false;
    const double serial = text.trimmed().toDouble(&ok);
    // 1 is 1900-01-01 (Excel's 1900 leap-year slip is the reason the epoch
    // sits on 1899-12-30); 2958465 is 9999-12-31.
    if (!ok || !std::isfinite(serial) || serial < 1 || serial >= 2958466)
        return std::nullopt;
    return QDate(1899, 12, 30).addDays(qint64(std::floor(serial)));
}

DateOrderChoice decideDateOrder(const QStringList &dates)
{
    constexpr std::array<DateOrder, 3> kOrders{DateOrder::YearMonthDay, DateOrder::DayMonthYear,
                                               DateOrder::MonthDayYear};
    std::array<int, 3> readable{};
    for (const QString &text : dates) {
        for (std::size_t i = 0; i < kOrders.size(); ++i) {
            if (parseDate(text, kOrders[i]))
                ++readable[i];
        }
    }
    std::size_t best = 0;
    for (std::size_t i = 1; i < kOrders.size(); ++i) {
        if (readable[i] > readable[best])
            best = i;
    }
    DateOrderChoice choice{kOrders[best], false};
    for (std::size_t i = 0; i < kOrders.size() && !choice.ambiguous; ++i) {
        if (i == best || readable[i] != readable[best] || readable[i] == 0)
            continue;
        for (const QString &text : dates) {
            if (parseDate(text, kOrders[i]) != parseDate(text, kOrders[best])) {
                choice.ambiguous = true;
                break;
            }
        }
    }
    return choice;
}

} // namespace zambrel::bills
