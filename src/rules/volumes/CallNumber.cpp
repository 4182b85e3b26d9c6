#include "rules/volumes/CallNumber.h"

#include "data/Counter.h"

#include <QRegularExpression>

namespace volumes {

namespace {

struct Month {
    const char* name;
    const char* abbreviation;
};

// Every abbreviation begins with one space.
const Month months[] = {{"มกราคม", " ม.ค."},   {"กุมภาพันธ์", " ก.พ."}, {"มีนาคม", " มี.ค."},    {"เมษายน", " เม.ย."},
                        {"พฤษภาคม", " พ.ค."},  {"มิถุนายน", " มิ.ย."},  {"กรกฎาคม", " ก.ค."},  {"สิงหาคม", " ส.ค."},
                        {"กันยายน", " ก.ย."},   {"ตุลาคม", " ต.ค."},   {"พฤศจิกายน", " พ.ย."}, {"ธันวาคม", " ธ.ค."},
                        {"January", " Jan"},   {"February", " Feb"}, {"March", " Mar"},     {"April", " Apr"},
                        {"May", " May"},       {"June", " Jun"},     {"July", " Jul"},      {"August", " Aug"},
                        {"September", " Sep"}, {"October", " Oct"},  {"November", " Nov"},  {"December", " Dec"}};

// x without its year digits, then the year's last two digits; nothing for a text too short to
// hold a year.
QString shortMonth(const QString& x) {
    return x.size() < 4 ? QString() : x.chopped(4) + x.right(2);
}

} // namespace

std::optional<Language> languageOfPointer(const QString& pointer) {
    const QString code = pointer.trimmed();
    if (code.isEmpty())
        return std::nullopt;
    const QChar series = code.at(0).toUpper();
    if (series == QLatin1Char('I') || series == QLatin1Char('L'))
        return Language::Thai;
    if (series == QLatin1Char('J') || series == QLatin1Char('K'))
        return Language::Eng;
    return std::nullopt;
}

QString dis_mo(const QString& month, bool max) {
    // Blanks typed around the month texts or the "-" do not change the call number (the
    // abbreviations' own blanks stay: the call numbers' spacing comes from them).
    static const QRegularExpression blanksAroundDash(QStringLiteral("\\s*-\\s*"));
    QString r = month.trimmed().replace(blanksAroundDash, QStringLiteral("-"));
    for (const Month& m : months)
        r.replace(QString::fromUtf8(m.name), QString::fromUtf8(m.abbreviation));
    const qsizetype dash = r.indexOf(QLatin1Char('-'));
    if (dash < 0)
        return r;
    if (max) { // the end of the range, without the blank that follows the "-"
        QString end = r.mid(dash + 1);
        while (end.startsWith(QLatin1Char(' ')))
            end.remove(0, 1);
        return end;
    }
    // The start of a range takes the range's year when it has none of its own.
    QString start = r.left(dash);
    static const QRegularExpression yearAtEnd(QStringLiteral("(\\d{4})\\s*$"));
    const auto startYear = yearAtEnd.match(start);
    const auto rangeYear = yearAtEnd.match(r);
    if (!startYear.hasMatch() && rangeYear.hasMatch())
        start = start.trimmed().isEmpty() ? start : start + QLatin1Char(' ') + rangeYear.captured(1);
    return start;
}

std::optional<QString> gen_callno(const QList<GatheredIssue>& issues, Language language, const QString& title) {
    if (issues.isEmpty())
        return std::nullopt;
    const auto number = [](const QString& s) { return data::leadingNumber(s); };
    qint64 lowNumber = number(issues.first().number), highNumber = 0;
    qint64 lowYear = number(issues.first().year), highYear = 0;
    QString lowMonth = dis_mo(issues.first().month, false), highMonth;
    for (const GatheredIssue& i : issues) {
        const qint64 y = number(i.year), n = number(i.number);
        highYear = qMax(highYear, y);
        lowYear = qMin(lowYear, y);
        // Strict comparisons: of several issues with the same extreme number the first gives the month.
        if (n > highNumber) {
            highNumber = n;
            highMonth = dis_mo(i.month, true);
        }
        if (n < lowNumber) {
            lowNumber = n;
            lowMonth = dis_mo(i.month, false);
        }
    }
    const QString P = title, YL = QString::number(lowYear), YH = QString::number(highYear);
    const QString NL = QString::number(lowNumber), NH = QString::number(highNumber);
    const bool withMonths = lowMonth.size() >= 5;
    if (withMonths && language == Language::Unknown)
        return std::nullopt;
    const bool thai = language == Language::Thai;
    const QString vol = thai && withMonths ? QStringLiteral(" ป.") : QStringLiteral(" Vol.");
    const QString no = thai && withMonths ? QStringLiteral(" ฉ.") : QStringLiteral(" No.");
    if (lowNumber == highNumber)
        return P + vol + YL + no + NL + (withMonths ? QLatin1Char(' ') + shortMonth(lowMonth) : QString());
    if (!withMonths)
        return lowYear != highYear ? P + vol + YL + QLatin1Char('-') + YH
                                   : P + vol + YL + no + NL + QLatin1Char('-') + NH;
    const QString years = lowYear != highYear ? YL + QLatin1Char('-') + YH : YL;
    return P + vol + years + no + NL + QLatin1Char('-') + NH + QLatin1Char(' ') + lowMonth.chopped(4) +
           QStringLiteral("- ") + shortMonth(highMonth);
}

} // namespace volumes
