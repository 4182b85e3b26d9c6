#include "rules/records/Holdings.h"

#include <QRegularExpression>
#include <QStringList>
#include <map>
#include <set>

namespace records {

namespace {

// A held volume: the numbers it holds and the years of its issues.
struct Volume {
    std::set<int> numbers;
    QStringList others; // numbers that are not plain ones ("21A", "Suppl."), as written
    int firstYear = 0, lastYear = 0;
    void addYear(const QDate& d) {
        if (!d.isValid())
            return;
        firstYear = firstYear ? qMin(firstYear, d.year()) : d.year();
        lastYear = qMax(lastYear, d.year());
    }
};

// The numbers an issue's number text holds: "7", a combined "5-6" or "5/6"; none otherwise.
QList<int> numbersOf(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^(\\d{1,6})\\s*(?:[-/]\\s*(\\d{1,6}))?$"));
    const auto m = form.match(text.trimmed());
    if (!m.hasMatch())
        return {};
    const int first = m.captured(1).toInt(), last = m.capturedLength(2) ? m.captured(2).toInt() : first;
    if (last < first || last - first > 60)
        return {first};
    QList<int> out;
    for (int n = first; n <= last; ++n)
        out << n;
    return out;
}

QString range(int first, int last) {
    return first == last ? QString::number(first) : QStringLiteral("%1-%2").arg(first).arg(last);
}

// "1-3,5-11"
QString numberRanges(const std::set<int>& numbers) {
    QStringList parts;
    for (auto it = numbers.begin(); it != numbers.end();) {
        const int first = *it;
        int last = first;
        while (++it != numbers.end() && *it == last + 1)
            last = *it;
        parts << range(first, last);
    }
    return parts.join(QLatin1Char(','));
}

} // namespace

HoldingsWording holdingsWordingOf(const QString& pointer) {
    const QString p = pointer.trimmed().toUpper();
    return p.startsWith(QLatin1Char('I')) || p.startsWith(QLatin1Char('L')) ? HoldingsWording::Thai
                                                                            : HoldingsWording::English;
}

QString summaryHoldings(const QList<HeldIssue>& issues, HoldingsWording wording, int issuesPerVolume) {
    static const QRegularExpression volumeForm(QStringLiteral("^\\d{1,6}$"));
    std::map<int, Volume> volumes;
    Volume unnumbered;
    bool anyUnnumbered = false;
    int highest = 0;
    for (const HeldIssue& i : issues) {
        const QString v = i.volume.trimmed();
        if (!volumeForm.match(v).hasMatch()) {
            anyUnnumbered = true;
            unnumbered.addYear(i.date);
            continue;
        }
        Volume& vol = volumes[v.toInt()];
        vol.addYear(i.date);
        const QList<int> held = numbersOf(i.number);
        for (int n : held) {
            vol.numbers.insert(n);
            highest = qMax(highest, n);
        }
        if (const QString other = i.number.simplified();
            held.isEmpty() && !other.isEmpty() && !vol.others.contains(other))
            vol.others << other;
    }
    const bool thai = wording == HoldingsWording::Thai;
    const int expected = issuesPerVolume > 0 ? issuesPerVolume : highest;
    const auto whole = [&](const Volume& v) {
        if (!v.others.isEmpty())
            return false; // listed with its numbers, so the issue numbered otherwise is named
        if (v.numbers.empty())
            return true; // a title numbered by volume alone
        for (int n = 1; n <= expected; ++n)
            if (!v.numbers.count(n))
                return false;
        return true;
    };
    const auto years = [&](int first, int last) {
        if (!first)
            return QString();
        const int shift = thai ? 543 : 0;
        return QStringLiteral(" (%1)").arg(range(first + shift, last + shift));
    };

    QString out;
    int previousLast = 0;
    const auto piece = [&](int firstVolume, int lastVolume, const QString& text) {
        if (!out.isEmpty())
            out += firstVolume == previousLast + 1 ? QStringLiteral("; ") : QStringLiteral(", ");
        out += text;
        previousLast = lastVolume;
    };
    const QString volumeWord = thai ? QStringLiteral("ปีที่ ") : QStringLiteral("v.");
    for (auto it = volumes.begin(); it != volumes.end();) {
        const int first = it->first;
        if (!whole(it->second)) {
            piece(first, first,
                  volumeWord + QString::number(first) + (thai ? QStringLiteral(" ฉบับที่ ") : QStringLiteral(":no.")) +
                      (QStringList{numberRanges(it->second.numbers)} + it->second.others)
                          .filter(QRegularExpression(QStringLiteral(".")))
                          .join(QLatin1Char(',')) +
                      years(it->second.firstYear, it->second.lastYear));
            ++it;
            continue;
        }
        // A run of whole volumes that follow each other.
        int last = first, firstYear = it->second.firstYear, lastYear = it->second.lastYear;
        while (++it != volumes.end() && it->first == last + 1 && whole(it->second)) {
            last = it->first;
            if (it->second.firstYear)
                firstYear = firstYear ? qMin(firstYear, it->second.firstYear) : it->second.firstYear;
            lastYear = qMax(lastYear, it->second.lastYear);
        }
        piece(first, last, volumeWord + range(first, last) + years(firstYear, lastYear));
    }
    if (anyUnnumbered) {
        if (!out.isEmpty())
            out += QStringLiteral("; ");
        out += (thai ? QStringLiteral("ไม่ระบุปีที่") : QStringLiteral("unnumbered")) +
               years(unnumbered.firstYear, unnumbered.lastYear);
    }
    return out;
}

namespace HoldingsStore {

QString summary(data::Connection& c, const QString& pointer) {
    // Issues a year by the title's frequency code: a volume of a monthly is whole at twelve.
    static const QHash<QString, int> perYear = {
        {QStringLiteral("02"), 52}, {QStringLiteral("03"), 24}, {QStringLiteral("04"), 12}, {QStringLiteral("05"), 6},
        {QStringLiteral("06"), 4},  {QStringLiteral("07"), 3},  {QStringLiteral("08"), 2},  {QStringLiteral("09"), 1}};
    const data::Result title =
        c.query(QStringLiteral("SELECT MagType_code FROM magazine WHERE Pointer = ?"), {pointer.trimmed()});
    const int expected = title.isEmpty() ? 0 : perYear.value(title.text(0, 0).trimmed(), 0);
    QList<HeldIssue> held;
    c.eachRow(QStringLiteral("SELECT yearno, itemsno, daily FROM tranfile WHERE pointer = ?"), {pointer.trimmed()},
              [&](const data::Cells& row) {
                  held.append({row.text(0), row.text(1), row.value(2).toDate()});
              });
    return summaryHoldings(held, holdingsWordingOf(pointer), expected);
}

} // namespace HoldingsStore

} // namespace records
