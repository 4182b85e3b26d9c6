#include "rules/receipt/Pattern.h"

#include "data/Counter.h"
#include "rules/receipt/IssueNumbers.h"

#include <QHash>
#include <QStringList>

namespace receipt {

// The leading number of a year or number text; -1 when it has none.
qint64 numberOf(const QString& text) {
    return data::leadingDigits(text).value_or(-1);
}

// The issue mark (the 1st of a month, the 1st or the 15th, the 1st of January) nearest a date,
// a tie going to the earlier: the date an issue dated a little early or late stands for. A
// weekly title has no marks: its own date.
QDate nearestMark(const Frequency& f, const QDate& d) {
    QDate before, after;
    switch (f.interval.unicode()) {
    case 'M':
        before = QDate(d.year(), d.month(), 1);
        after = before.addMonths(1);
        break;
    case 'W':
        before = QDate(d.year(), d.month(), d.day() >= 15 ? 15 : 1);
        after = nextIssueDate(f, before);
        break;
    case 'Y':
        before = QDate(d.year(), 1, 1);
        after = before.addYears(1);
        break;
    default:
        return d;
    }
    return before.daysTo(d) <= d.daysTo(after) ? before : after;
}

// The number a combined issue ends on ("7-8" gives 8), else the leading number; -1 for none.
// Read by hand: a pattern match for every issue was a tenth of the receipt check's time.
qint64 lastNumberOf(const QString& text) {
    qsizetype at = 0;
    const auto skip = [&](auto is) {
        const qsizetype start = at;
        while (at < text.size() && is(text.at(at).unicode()))
            ++at;
        return at - start;
    };
    const auto space = [](char16_t c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    const auto digit = [](char16_t c) { return c >= '0' && c <= '9'; };
    skip(space);
    if (skip(digit) > 0) {
        skip(space);
        if (at < text.size() && (text.at(at) == u'-' || text.at(at) == u'/')) {
            ++at;
            skip(space);
            const qsizetype last = at;
            if (const qsizetype n = skip(digit); n > 0)
                return QStringView(text).mid(last, n).toLongLong();
        }
    }
    return numberOf(text);
}

// Whether issue i's number went back to (or below) the one before.
bool restartsAt(const QList<IssueSeen>& issues, int i) {
    const qint64 before = lastNumberOf(issues.at(i - 1).number), now = numberOf(issues.at(i).number);
    return before >= 0 && now >= 0 && now <= before;
}

// Whether issue i is the one after issue i-1 by its number: one more, or 1 in a new volume.
bool followsOn(const QList<IssueSeen>& issues, int i) {
    const qint64 before = lastNumberOf(issues.at(i - 1).number), now = numberOf(issues.at(i).number);
    return before >= 0 && (now == before + 1 || (now == 1 && restartsAt(issues, i)));
}

// `n` written as the latest issues write their numbers (`field` picks year or number): with
// leading zeros to the width the latest one with a zero had ("04" after "03", "01" after "12").
QString sameWidth(qint64 n, const QList<IssueSeen>& issues, QString IssueSeen::*field) {
    for (qsizetype i = issues.size() - 1; i >= 0 && i >= issues.size() - 24; --i) {
        const QString t = (issues.at(i).*field).trimmed();
        qsizetype digits = 0;
        while (digits < t.size() && t.at(digits).isDigit())
            ++digits;
        if (digits > 1 && t.startsWith(QLatin1Char('0')))
            return QStringLiteral("%1").arg(n, int(digits), 10, QLatin1Char('0'));
    }
    return QString::number(n);
}

QList<IssueSeen> eachIssueOnce(const std::optional<Frequency>& f, const QList<IssueSeen>& issues, QList<QDate>* days,
                               bool ownMonth) {
    QList<IssueSeen> seen;
    for (const IssueSeen& i : issues) {
        IssueSeen marked = i;
        if (f && i.daily.isValid())
            marked.daily = ownMonth && f->interval == QLatin1Char('M')   ? QDate(i.daily.year(), i.daily.month(), 1)
                           : ownMonth && f->interval == QLatin1Char('Y') ? QDate(i.daily.year(), 1, 1)
                                                                         : nearestMark(*f, i.daily);
        const bool again = !seen.isEmpty() && !i.number.trimmed().isEmpty() && seen.last().daily == marked.daily &&
                           seen.last().number.trimmed() == i.number.trimmed() &&
                           seen.last().year.trimmed() == i.year.trimmed();
        if (!again) {
            seen.append(marked);
            if (days)
                days->append(i.daily);
        }
    }
    return seen;
}

namespace {

// Whether the title steps by marks in months (monthly to half-yearly, and half-monthly): the
// titles whose months may be left out.
bool byMonths(const std::optional<Frequency>& f) {
    return f && (f->interval == QLatin1Char('M') || f->interval == QLatin1Char('W'));
}

// Numbers from 1 to `top` as a comma list ("7,8"), and back; nullopt for anything else.
QString bitsText(quint64 bits, int top) {
    QStringList out;
    for (int k = 1; k <= top; ++k)
        if (bits >> (k - 1) & 1)
            out << QString::number(k);
    return out.join(QLatin1Char(','));
}

std::optional<quint64> bitsOf(const QString& text, int top) {
    quint64 bits = 0;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int k = part.trimmed().toInt(&ok);
        if (!ok || k < 1 || k > top)
            return std::nullopt;
        bits |= quint64(1) << (k - 1);
    }
    return bits;
}

} // namespace

bool Pattern::publishesAt(const Frequency& f, const QDate& d) const {
    if (byMonths(f))
        return (months & 0xFFF) == 0 || publishes(d.month());
    return !byWeeks(f) || publishesWeek(d.weekNumber());
}

bool byWeeks(const std::optional<Frequency>& f) {
    return f && f->interval == QLatin1Char('D') && f->count == 7;
}

int Pattern::issuesAYear(const Frequency& f) const {
    int n = 0;
    if (!byMonths(f) && !byWeeks(f))
        return f.interval == QLatin1Char('Y') ? 1 : (366 + f.count - 1) / qMax(1, f.count);
    for (QDate d(2001, 1, 1); d.year() == 2001; d = nextIssueDate(f, d))
        n += publishesAt(f, d);
    return n;
}

QString Pattern::monthsText() const {
    return bitsText(months, 12);
}

std::optional<quint16> Pattern::monthsOf(const QString& text) {
    const auto bits = bitsOf(text, 12);
    return bits ? std::optional<quint16>(quint16(*bits)) : std::nullopt;
}

QString Pattern::weeksOffText() const {
    return bitsText(weeksOff, 53);
}

std::optional<quint64> Pattern::weeksOf(const QString& text) {
    return bitsOf(text, 53);
}

// The months a title does not publish are those passed over by issues whose numbers follow on
// (so no issue was lost there) and never the month of one: a summer without issues, the month a
// combined issue covers every year. A weekly title's weeks likewise, where they were passed over
// at least twice (a week off is a yearly habit; one gap with numbers running on may be a strike):
// a week is passed over when its mark falls more than half a week before the next issue (an
// issue dated a day or two late passes over nothing).
Pattern learnPattern(const std::optional<Frequency>& f, const QList<IssueSeen>& seen) {
    Pattern p;
    p.learntFrom = int(seen.size());
    if (seen.size() < 3)
        return p;
    int passed[13] = {}, had[13] = {}, passedWeek[54] = {}, hadWeek[54] = {};
    const bool weekly = byWeeks(f);
    bool dated = byMonths(f) || weekly;
    QHash<int, int> began;
    for (int i = 0; i < seen.size() && dated; ++i) {
        const IssueSeen& issue = seen.at(i);
        if (!issue.daily.isValid()) {
            dated = false;
            break;
        }
        ++had[issue.daily.month()];
        ++hadWeek[issue.daily.weekNumber()];
        if (const qint64 first = numberOf(issue.number), last = lastNumberOf(issue.number);
            first >= 0 && last > first && last - first < 12) {
            const std::pair<int, int> c{issue.daily.month(), int(last - first + 1)};
            if (!p.combined.contains(c))
                p.combined.append(c);
        }
        if (i > 0 && followsOn(seen, i)) {
            const QDate after = nextIssueDate(*f, seen.at(i - 1).daily);
            if (weekly)
                for (QDate d = after; d.daysTo(issue.daily) > 3; d = nextIssueDate(*f, d))
                    ++passedWeek[d.weekNumber()];
            else
                for (QDate d = after; d < issue.daily; d = nextIssueDate(*f, d))
                    ++passed[d.month()];
        }
        if (i > 0 && numberOf(seen.at(i - 1).year) >= 0 && numberOf(issue.year) >= 0 &&
            numberOf(issue.year) != numberOf(seen.at(i - 1).year))
            ++began[issue.daily.month()];
    }
    if (dated)
        for (int m = 1; m <= 12; ++m)
            if (passed[m] >= 1 && had[m] == 0)
                p.months &= quint16(~(1u << (m - 1)));
    if (dated)
        for (int w = 1; w <= 53; ++w)
            if (passedWeek[w] >= 2 && hadWeek[w] == 0)
                p.weeksOff |= quint64(1) << (w - 1);
    int most = 0;
    for (auto it = began.cbegin(); it != began.cend(); ++it)
        if (it.value() > most || (it.value() == most && it.key() < p.seenVolumeMonth)) {
            most = it.value();
            p.seenVolumeMonth = it.key();
        }
    const QString width = sameWidth(1, seen, &IssueSeen::number);
    p.numberWidth = width.size() > 1 ? int(width.size()) : 0;
    return p;
}

Pattern learnPattern(const QString& frequencyCode, const QList<IssueSeen>& issues) {
    const auto f = frequencyOf(frequencyCode);
    return learnPattern(f, eachIssueOnce(f, issues));
}

Pattern inForce(const Pattern& learnt, const Pattern* set) {
    if (!set || !set->isSet())
        return learnt;
    Pattern p = *set;
    if ((p.months & 0xFFF) == 0)
        p.months = learnt.months;
    p.combined = learnt.combined;
    p.seenVolumeMonth = learnt.seenVolumeMonth;
    p.learntFrom = learnt.learntFrom;
    return p;
}

QDate nextPublished(const Frequency& f, const Pattern& p, const QDate& d) {
    QDate next = nextIssueDate(f, d);
    for (int n = 0; n < 60 && !p.publishesAt(f, next); ++n)
        next = nextIssueDate(f, next);
    return next;
}

int issuesCovered(const QString& number) {
    const qint64 first = numberOf(number), last = lastNumberOf(number);
    return first >= 0 && last > first && last - first < 12 ? int(last - first + 1) : 1;
}

QList<ExpectedIssue> nextTwelve(const QString& frequencyCode, QList<IssueSeen> issues, const Pattern& p) {
    QList<ExpectedIssue> out;
    while (out.size() < 12) {
        const auto next = predictNext(frequencyCode, issues, &p);
        if (!next || (!next->daily.isValid() && next->number.isEmpty()))
            break;
        out.append(*next);
        issues.append({next->daily, next->year, next->number, next->description});
    }
    return out;
}

QList<Replayed> replayLastTwelve(const QString& frequencyCode, const QList<IssueSeen>& issues, const Pattern& p,
                                 int* differs) {
    QList<Replayed> out;
    int wrong = 0;
    for (qsizetype k = qMax<qsizetype>(0, issues.size() - 12); k < issues.size(); ++k) {
        Replayed r{issues.at(k), predictNext(frequencyCode, issues.mid(0, k), &p)};
        const auto off = [](const QString& predicted, const QString& received) {
            return !received.trimmed().isEmpty() && !predicted.trimmed().isEmpty() &&
                   predicted.trimmed() != received.trimmed();
        };
        if (r.predicted) {
            const auto f = frequencyOf(frequencyCode);
            // The mark an issue stands for: its own month's where a person set the day issues are dated.
            const auto markOf = [&](const QDate& d) {
                return p.isSet() && p.day > 0 && f->interval == QLatin1Char('M') ? QDate(d.year(), d.month(), 1)
                                                                                 : nearestMark(*f, d);
            };
            const QDate mark = f && r.received.daily.isValid() ? markOf(r.received.daily) : r.received.daily;
            const QDate want = f && r.predicted->daily.isValid() ? markOf(r.predicted->daily) : QDate();
            r.differs = (want.isValid() && want != mark) || off(r.predicted->year, r.received.year) ||
                        off(r.predicted->number, r.received.number);
        }
        wrong += r.differs;
        out.append(r);
    }
    if (differs)
        *differs = wrong;
    return out;
}

} // namespace receipt
