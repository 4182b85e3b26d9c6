#include "rules/receipt/NextIssue.h"
#include "rules/receipt/IssueNumbers.h"
#include "rules/receipt/Pattern.h"
#include "rules/receipt/Wording.h"

#include "data/Counter.h"
#include "data/Dates.h"
#include "rules/receipt/ReceiptCheck.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <tuple>

namespace receipt {

namespace {

// Month names as descriptions write them: Thai full and short, English full and short.
// Thai writes no space between words, so a full Thai name may follow a word ("เดือนมกราคม").
const QList<QStringList>& monthForms() {
    static const QList<QStringList> forms = {
        {QStringLiteral("มกราคม"), QStringLiteral("กุมภาพันธ์"), QStringLiteral("มีนาคม"), QStringLiteral("เมษายน"),
         QStringLiteral("พฤษภาคม"), QStringLiteral("มิถุนายน"), QStringLiteral("กรกฎาคม"), QStringLiteral("สิงหาคม"),
         QStringLiteral("กันยายน"), QStringLiteral("ตุลาคม"), QStringLiteral("พฤศจิกายน"), QStringLiteral("ธันวาคม")},
        {QStringLiteral("ม.ค."), QStringLiteral("ก.พ."), QStringLiteral("มี.ค."), QStringLiteral("เม.ย."),
         QStringLiteral("พ.ค."), QStringLiteral("มิ.ย."), QStringLiteral("ก.ค."), QStringLiteral("ส.ค."),
         QStringLiteral("ก.ย."), QStringLiteral("ต.ค."), QStringLiteral("พ.ย."), QStringLiteral("ธ.ค.")},
        QStringLiteral("January February March April May June July August September October November December")
            .split(QLatin1Char(' ')),
        QStringLiteral("Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec").split(QLatin1Char(' '))};
    return forms;
}

struct Token {
    enum Kind { Month, Year, Day } kind;
    qsizetype pos, len;
    int value;                   // month 1-12, year as written, day
    int form = 0;                // month: which of monthForms(); year: 543 for the Buddhist era, else 0
    bool sameInTwoForms = false; // "May" is both the full and the short name
};

bool isLetter(const QString& s, qsizetype i) {
    return i >= 0 && i < s.size() && s.at(i).isLetter();
}

// The month names, years and days (a number beside a month name) of a description, in order.
QList<Token> tokensOf(const QString& s) {
    QList<Token> out;
    for (qsizetype i = 0; i < s.size();) {
        if (s.at(i).isDigit()) {
            qsizetype j = i;
            while (j < s.size() && s.at(j).isDigit())
                ++j;
            const int value = s.mid(i, j - i).toInt();
            if (j - i == 4 && value >= 1900 && value < 2800)
                out.append({Token::Year, i, j - i, value, value >= 2400 ? 543 : 0});
            else if (j - i <= 2 && value >= 1 && value <= 31)
                out.append({Token::Day, i, j - i, value});
            i = j;
            continue;
        }
        int best = -1, bestForm = 0;
        qsizetype bestLen = 0;
        for (int f = 0; f < monthForms().size(); ++f)
            for (int m = 0; m < 12; ++m) {
                const QString& name = monthForms().at(f).at(m);
                if (name.size() > bestLen && s.mid(i, name.size()).compare(name, Qt::CaseInsensitive) == 0 &&
                    (f == 0 || !isLetter(s, i - 1)) && (f < 2 || !isLetter(s, i + name.size()))) {
                    best = m + 1;
                    bestForm = f;
                    bestLen = name.size();
                }
            }
        if (best > 0) {
            int forms = 0;
            for (const QStringList& names : monthForms())
                forms += names.at(best - 1).compare(s.mid(i, bestLen), Qt::CaseInsensitive) == 0;
            out.append({Token::Month, i, bestLen, best, bestForm, forms > 1});
            i += bestLen;
        } else {
            ++i;
        }
    }
    // A number is a day only beside a month name ("1 มีนาคม", "March 1,").
    QList<Token> kept;
    for (int k = 0; k < out.size(); ++k) {
        const Token& t = out.at(k);
        const bool besideMonth = (k + 1 < out.size() && out.at(k + 1).kind == Token::Month) ||
                                 (k > 0 && out.at(k - 1).kind == Token::Month && t.pos + t.len < s.size() &&
                                  s.at(t.pos + t.len) == QLatin1Char(','));
        if (t.kind != Token::Day || besideMonth)
            kept.append(t);
    }
    return kept;
}

int monthIndex(const QDate& d) {
    return d.year() * 12 + d.month() - 1;
}

// The latest description moved on from the date it stands for, `from`, to `to`: every month
// name, year and day in it shifted by as much as the date moved, each in its own form and era.
QString nextDescription(const QList<IssueSeen>& issues, const QDate& from, const QDate& to) {
    const IssueSeen& last = issues.last();
    const QString& d = last.description;
    QList<Token> tokens = tokensOf(d);
    // A year written short after a month name ("Jan 26", "ม.ค. 69"): two digits that are the
    // date's year in either era, where no year is written in full.
    if (std::none_of(tokens.cbegin(), tokens.cend(), [](const Token& t) { return t.kind == Token::Year; })) {
        for (int k = 0; k < tokens.size(); ++k) {
            if (tokens.at(k).kind != Token::Month)
                continue;
            qsizetype i = tokens.at(k).pos + tokens.at(k).len;
            while (i < d.size() && (d.at(i) == QLatin1Char(' ') || d.at(i) == QLatin1Char('.') ||
                                    d.at(i) == QLatin1Char('\'') || d.at(i) == QLatin1Char(',')))
                ++i;
            if (i + 2 > d.size() || !d.at(i).isDigit() || !d.at(i + 1).isDigit() ||
                (i + 2 < d.size() && d.at(i + 2).isDigit()) || (k + 1 < tokens.size() && tokens.at(k + 1).pos <= i))
                continue;
            const int two = d.mid(i, 2).toInt();
            for (const int era : {0, 543})
                if (two == (from.year() + era) % 100) {
                    tokens.insert(k + 1, {Token::Year, i, 2, from.year() + era, era});
                    break;
                }
        }
    }
    // A name written the same in two forms ("May") takes the form the title's other month
    // names have, in this description or the ones before.
    int form = -1;
    for (int back = 0; form < 0 && back < 4 && back < issues.size(); ++back)
        for (const Token& t : tokensOf(issues.at(issues.size() - 1 - back).description))
            if (t.kind == Token::Month && !t.sameInTwoForms)
                form = t.form;
    for (Token& t : tokens)
        if (t.kind == Token::Month && t.sameInTwoForms && form >= 0)
            t.form = form;
    const bool dated = std::any_of(tokens.cbegin(), tokens.cend(), [](const Token& t) { return t.kind != Token::Day; });
    if (!dated)
        return {};
    const int shift = monthIndex(to) - monthIndex(from);
    // Each month name takes its year from the next year written after it ("ม.ค.-มี.ค. 2570"),
    // else the last one before it, else the issue date's; a range over the year end written
    // with one year ("พ.ย.-ม.ค. 2570") puts its first months in the year before.
    QHash<int, int> monthAbs;  // token index → months since year 0
    QHash<int, int> yearOwner; // year token index → its last month token
    for (int k = 0; k < tokens.size(); ++k) {
        if (tokens.at(k).kind != Token::Month)
            continue;
        int year = from.year();
        int y = k + 1;
        while (y < tokens.size() && tokens.at(y).kind != Token::Year)
            ++y;
        if (y < tokens.size()) {
            year = tokens.at(y).value - tokens.at(y).form;
            yearOwner[y] = k;
        } else {
            for (int b = k - 1; b >= 0; --b)
                if (tokens.at(b).kind == Token::Year) {
                    year = tokens.at(b).value - tokens.at(b).form;
                    break;
                }
        }
        monthAbs[k] = year * 12 + tokens.at(k).value - 1;
    }
    for (auto it = yearOwner.cbegin(); it != yearOwner.cend(); ++it)
        for (int k = it.value() - 1; k >= 0 && monthAbs.contains(k); --k)
            if (monthAbs[k] > monthAbs[it.value()])
                monthAbs[k] -= 12;
    QString out;
    qsizetype at = 0;
    for (int k = 0; k < tokens.size(); ++k) {
        const Token& t = tokens.at(k);
        out += d.mid(at, t.pos - at);
        at = t.pos + t.len;
        if (t.kind == Token::Month) {
            out += monthForms().at(t.form).at((monthAbs[k] + shift) % 12);
        } else if (t.kind == Token::Year) {
            const int year = yearOwner.contains(k) ? (monthAbs[yearOwner[k]] + shift) / 12
                                                   : t.value - t.form + to.year() - from.year();
            const QString written = QString::number(year + t.form);
            out += t.len == 2 ? written.right(2) : written;
        } else {
            out += t.value == from.day() ? QString::number(to.day()) : d.mid(t.pos, t.len);
        }
    }
    return out + d.mid(at);
}

// Volume and number written with words ("Vol. 12", "No. 3", "ปีที่ 12", "ฉบับที่ 3"): their digits,
// so the description says the expected volume and number, not the latest ones.
const QRegularExpression& volumeWords() {
    static const QRegularExpression re(QStringLiteral("(?:\\b(?:Volume|Vol\\.?|V\\.)|ปีที่|ป\\.)\\s*(\\d+)"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}
const QRegularExpression& numberWords() {
    static const QRegularExpression re(QStringLiteral("(?:\\b(?:No|Number|Iss|Issue)\\.?|ฉบับที่|ฉ\\.)\\s*(\\d+)"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}

// The date a description names with a day and a month ("8 มกราคม 2569", "March 8, 2026"), in the
// year it writes, else `year`.
std::optional<QDate> describedDate(const QString& description, int year) {
    const QList<Token> tokens = tokensOf(description);
    for (int k = 0; k < tokens.size(); ++k) {
        if (tokens.at(k).kind != Token::Month)
            continue;
        const int day = k > 0 && tokens.at(k - 1).kind == Token::Day                   ? tokens.at(k - 1).value
                        : k + 1 < tokens.size() && tokens.at(k + 1).kind == Token::Day ? tokens.at(k + 1).value
                                                                                       : 0;
        for (int y = k + 1; y < tokens.size(); ++y)
            if (tokens.at(y).kind == Token::Year) {
                year = tokens.at(y).value - tokens.at(y).form;
                break;
            }
        const QDate date(year, tokens.at(k).value, day);
        return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
    }
    return std::nullopt;
}

// The description of the next issue, written as `issues.last()` writes its own, which stands for
// the date `from`, moved on to `to`: its months, years and days, the half of the month a
// half-monthly title names ("ปักษ์แรก", "ปักษ์หลัง"), and volume and number words saying `year`
// and `number`. Empty when it would say a volume or number that is not known.
QString describeNext(const QList<IssueSeen>& issues, const QDate& from, const QDate& to, const QString& year,
                     const QString& number) {
    QString d = issues.last().description;
    // Volume and number digits stand aside (same length, no digit) while the dates move on.
    QList<std::pair<QChar, QString>> words;
    for (const auto& [re, mark, value] :
         {std::tuple{&volumeWords(), QChar(0xE000), year}, std::tuple{&numberWords(), QChar(0xE001), number}}) {
        for (const auto& m : re->globalMatch(d)) {
            if (value.isEmpty())
                return {};
            d.replace(m.capturedStart(1), m.capturedLength(1), QString(m.capturedLength(1), mark));
        }
        words.append({mark, value});
    }
    QList<IssueSeen> seen = issues;
    seen.last().description = d;
    QString out = nextDescription(seen, from, to);
    if (out.isEmpty() && !d.isEmpty() && d != issues.last().description)
        out = d; // words alone, no date in it
    for (const auto& [mark, value] : words)
        out.replace(QRegularExpression(QStringLiteral("%1+").arg(mark)), value);
    const QString first = QStringLiteral("ปักษ์แรก"), second = QStringLiteral("ปักษ์หลัง");
    out.replace(to.day() < 15 ? second : first, to.day() < 15 ? first : second);
    return followWording(issues, out, to, year, number);
}

} // namespace

QString monthName(int form, int month) {
    return form >= 0 && form < monthForms().size() && month >= 1 && month <= 12 ? monthForms().at(form).at(month - 1)
                                                                                : QString();
}

QList<NamedPart> namedParts(const QString& description) {
    QList<NamedPart> out;
    for (const Token& t : tokensOf(description))
        out.append({t.pos, t.len,
                    t.kind == Token::Month  ? 'M'
                    : t.kind == Token::Year ? 'Y'
                                            : 'D',
                    t.sameInTwoForms ? -1 : t.form, t.kind == Token::Month ? t.value : 0});
    for (const auto& [re, kind] : {std::pair{&volumeWords(), 'V'}, std::pair{&numberWords(), 'N'}})
        for (const auto& m : re->globalMatch(description))
            out.append({m.capturedStart(1), m.capturedLength(1), kind});
    for (const QString& half : {QStringLiteral("ปักษ์แรก"), QStringLiteral("ปักษ์หลัง")})
        for (qsizetype at = description.indexOf(half); at >= 0; at = description.indexOf(half, at + 1))
            out.append({at, half.size(), 'H'});
    std::sort(out.begin(), out.end(), [](const NamedPart& a, const NamedPart& b) { return a.pos < b.pos; });
    return out;
}

namespace {

// Each number in `number` written with `digits` digits at least ("7-8" with 2: "07-08"); as it is
// for 0.
QString withDigits(const QString& number, int digits) {
    static const QRegularExpression run(QStringLiteral("\\d+"));
    if (digits <= 0)
        return number;
    QString out;
    qsizetype at = 0;
    for (const auto& m : run.globalMatch(number)) {
        out += number.mid(at, m.capturedStart() - at) +
               QStringLiteral("%1").arg(m.captured().toLongLong(), digits, 10, QLatin1Char('0'));
        at = m.capturedEnd();
    }
    return out + number.mid(at);
}

// Whether the 1st of `month` comes after `last`, by `next`.
bool crosses(const QDate& last, const QDate& next, int month) {
    QDate first(last.year(), month, 1);
    if (first <= last)
        first = first.addYears(1);
    return first <= next;
}

// At most how many issues a volume of a year holds at this frequency.
int issuesPerYear(const Frequency& f) {
    switch (f.interval.unicode()) {
    case 'D':
        return (366 + f.count - 1) / f.count;
    case 'W':
        return 24;
    case 'M':
        return 12 / f.count;
    default:
        return 1;
    }
}

// The month a volume began in, seen from one of its issues: its number stepped back to 1 over
// the months the title publishes (so a first issue that never came does not move it); 0 for a
// number beyond a year's count.
int volumeMonth(const Frequency& f, const IssueSeen& issue, const Pattern& p) {
    const qint64 number = numberOf(issue.number);
    if (number < 1 || number > issuesPerYear(f) || !issue.daily.isValid())
        return 0;
    QDate first = issue.daily;
    for (qint64 n = 1; n < number; ++n) {
        first = prevIssueDate(f, first);
        for (int k = 0; k < 24 && (p.months & 0xFFF) && !p.publishes(first.month()); ++k)
            first = prevIssueDate(f, first);
    }
    return first.month();
}

// When something happens to the numbering (a new volume, a number back to 1), learnt from where
// it happened before: at the first issue of a volume beginning in one month (most of the times
// it happened, and never at a later issue of that month), or else every so many issues.
// Nothing (not known) where the history does not tell: a wrong volume or number that nobody
// notices costs more than an empty one.
struct Turnover {
    QList<int> at; // indexes of the issues that began it
    Pattern pattern;
    // `month`: where it is expected when the history has not shown it yet (0: not expected).
    std::optional<bool> comesWith(const Frequency& f, const QList<IssueSeen>& issues, const QDate& next,
                                  int month) const {
        if (!next.isValid())
            return false;
        if (at.isEmpty())
            return month > 0 && crosses(issues.last().daily, next, month);
        QHash<int, int> months;
        bool midMonth = false; // a turnover after an issue of the same month: no month rule
        for (int i : at) {
            // Where the number went back, its volume began earlier if its first issue is missing.
            const int began = restartsAt(issues, i) ? volumeMonth(f, issues.at(i), pattern) : 0;
            const QDate was = issues.at(i - 1).daily, now = issues.at(i).daily;
            // Else, after issues that never came, it began somewhere between: not known when.
            if (began == 0 && was.isValid() && now.isValid() && nextIssueDate(f, was) < now)
                continue;
            const int startMonth = began > 0 ? began : now.month();
            midMonth |= startMonth == now.month() && was.isValid() && now.isValid() && was < now &&
                        monthIndex(was) == monthIndex(now);
            ++months[startMonth];
        }
        if (months.isEmpty())
            return std::nullopt;
        int most = 0;
        for (auto it = months.cbegin(); it != months.cend(); ++it)
            if (it.value() > most) {
                most = it.value();
                month = it.key();
            }
        int counted = 0;
        for (int n : std::as_const(months))
            counted += n;
        if (!midMonth && 3 * most >= 2 * counted) // at the first issue on or after the 1st of that month
            return crosses(issues.last().daily, next, month);
        // Every so many issues: counted by the numbers where they go back to 1 (an issue that
        // never came does not shorten the count), else by the issues registered.
        QList<qint64> ended; // the last number of each volume that ended, where numbers restart
        for (int i : at)
            if (restartsAt(issues, i) && numberOf(issues.at(i).number) == 1)
                ended.append(lastNumberOf(issues.at(i - 1).number));
        const qint64 now = lastNumberOf(issues.last().number);
        if (ended.size() == at.size() && now > 0) {
            if (now < *std::max_element(ended.cbegin(), ended.cend()))
                return now < *std::min_element(ended.cbegin(), ended.cend()) ? std::optional<bool>(false)
                                                                             : std::nullopt;
            return ended.size() >= 2 && ended.count(ended.first()) == ended.size() ? std::optional<bool>(true)
                                                                                   : std::nullopt;
        }
        const int since = int(issues.size()) - at.last();
        if (at.size() < 2) // one turnover: the volume before was at least this long
            return since < at.last() ? std::optional<bool>(false) : std::nullopt;
        return since == at.last() - at.at(at.size() - 2);
    }
};

} // namespace

std::optional<ExpectedIssue> predictNext(const QString& frequencyCode, const QList<IssueSeen>& issues,
                                         const Pattern* set) {
    const auto frequency = frequencyOf(frequencyCode);
    QList<QDate> days;
    const QList<IssueSeen> seen = eachIssueOnce(frequency, issues, &days, set && set->isSet() && set->day > 0);
    if (seen.size() < 2)
        return std::nullopt;
    const Pattern pattern = inForce(learnPattern(frequency, seen), set);
    const IssueSeen& last = seen.last();
    const qint64 number = lastNumberOf(last.number);
    ExpectedIssue next;
    if (!frequency) { // daily, irregular or unknown: only the number is sure
        if (number >= 0)
            next.number = withDigits(sameWidth(number + 1, seen, &IssueSeen::number), pattern.digits);
        return next;
    }
    // The next mark, past the issues a combined one stood for ("7-8": two) and the months the
    // title does not publish; a title whose last two issues came the same days off their marks
    // (on the 8th, say) is expected as far off the next.
    QDate mark;
    if (last.daily.isValid()) {
        mark = nextIssueDate(*frequency, last.daily);
        for (qint64 n = numberOf(last.number); n >= 0 && n < number && n < 12; ++n)
            mark = nextIssueDate(*frequency, mark);
        if (!pattern.publishesAt(*frequency, mark))
            mark = nextPublished(*frequency, pattern, mark);
        const qsizetype k = days.size() - 1;
        const qint64 off = last.daily.daysTo(days.at(k));
        next.daily = mark.addDays(
            seen.at(k - 1).daily.isValid() && seen.at(k - 1).daily.daysTo(days.at(k - 1)) == off ? off : 0);
        if (pattern.day > 0 && frequency->interval != QLatin1Char('D') && frequency->interval != QLatin1Char('W'))
            next.daily = QDate(mark.year(), mark.month(), std::min(pattern.day, mark.daysInMonth()));
    }
    Turnover volume{{}, pattern}, reset{{}, pattern};
    for (int i = 1; i < seen.size(); ++i) {
        const qint64 y0 = numberOf(seen.at(i - 1).year), y1 = numberOf(seen.at(i).year);
        if (y0 >= 0 && y1 >= 0 && y1 != y0)
            volume.at.append(i);
        if (restartsAt(seen, i))
            reset.at.append(i);
    }
    // Before the history shows a new volume: a number within a year's count tells where the
    // volume began; a larger one runs on, the volume changing with the calendar year. New
    // volumes seen without a number back to 1: the numbers run on.
    const int began = volumeMonth(*frequency, last, pattern);
    std::optional<bool> newVolume = volume.comesWith(*frequency, seen, mark, began > 0 ? began : 1);
    // A number that went back to 1 with every new volume does so again.
    std::optional<bool> restart = reset.at == volume.at && !reset.at.isEmpty() ? newVolume
                                  : reset.at.isEmpty() && !volume.at.isEmpty()
                                      ? false
                                      : reset.comesWith(*frequency, seen, mark, began);
    // What a person set holds over what the history shows.
    if (pattern.volumeMonth > 0 && mark.isValid())
        newVolume = crosses(last.daily, mark, pattern.volumeMonth);
    else if (pattern.volumeIssues > 0 && number >= 0)
        newVolume = pattern.numbers == Pattern::Numbers::RunOn ? number % pattern.volumeIssues == 0
                                                               : number >= pattern.volumeIssues;
    if (pattern.numbers == Pattern::Numbers::RunOn)
        restart = false;
    else if (pattern.numbers == Pattern::Numbers::Restart)
        restart = newVolume;
    const qint64 year = numberOf(last.year);
    next.year = year < 0    ? last.year
                : newVolume ? sameWidth(*newVolume ? year + 1 : year, seen, &IssueSeen::year)
                            : QString();
    if (number >= 0 && restart &&
        !(*restart && reset.at.isEmpty() && volume.at.isEmpty() && pattern.numbers != Pattern::Numbers::Restart))
        next.number = sameWidth(*restart ? 1 : number + 1, seen, &IssueSeen::number); // a first restart: not known
    if (mark.isValid()) {
        // Written as the latest issue that is not a combined one ("7-8") writes, unless the
        // issue of that number was a combined one in the same month before: then as it was.
        // A weekly title's description moves on from the date it names itself.
        qsizetype t = seen.size() - 1;
        while (t > 0 && t > seen.size() - 4 && lastNumberOf(seen.at(t).number) != numberOf(seen.at(t).number))
            --t;
        const qint64 n = numberOf(next.number);
        for (qsizetype c = seen.size() - 1; n > 0 && c >= 0; --c) {
            const IssueSeen& was = seen.at(c);
            const qint64 upTo = lastNumberOf(was.number);
            if (upTo != numberOf(was.number) && numberOf(was.number) == n && was.daily.isValid() &&
                was.daily.month() == mark.month()) {
                next.number = next.number + QStringLiteral("-") +
                              sameWidth(n + upTo - numberOf(was.number), seen, &IssueSeen::number);
                t = c;
                break;
            }
        }
        next.number = withDigits(next.number, pattern.digits);
        if (!seen.at(t).daily.isValid())
            t = seen.size() - 1;
        const QDate from = seen.at(t).daily;
        QDate named = from;
        if (frequency->interval == QLatin1Char('D'))
            named = describedDate(seen.at(t).description, from.year()).value_or(from);
        const QDate to = frequency->interval == QLatin1Char('D') ? named.addDays(from.daysTo(mark)) : mark;
        next.description = pattern.wording.isEmpty()
                               ? describeNext(seen.mid(0, t + 1), named, to, next.year, next.number)
                               : renderWording(pattern.wording, seen.mid(0, t + 1), to, next.year, next.number);
    }
    next.number = withDigits(next.number, pattern.digits);
    return next;
}

QString expectedText(const ExpectedIssue& e) {
    QStringList parts;
    if (e.daily.isValid())
        parts << data::formatDate(e.daily);
    if (!e.year.isEmpty())
        parts << QStringLiteral("ปีที่ %1").arg(e.year);
    if (!e.number.isEmpty())
        parts << QStringLiteral("ฉบับที่ %1").arg(e.number);
    if (!e.description.isEmpty())
        parts << e.description;
    return parts.join(QStringLiteral("  "));
}

int overdueCount(const QString& frequencyCode, const ExpectedIssue& expected, const QDate& today,
                 const Pattern* pattern) {
    const auto frequency = frequencyOf(frequencyCode);
    if (!frequency || !expected.daily.isValid())
        return 0;
    const Pattern every;
    int overdue = 0;
    for (QDate d = expected.daily; d < today && overdue < 1000;
         d = nextPublished(*frequency, pattern ? *pattern : every, d))
        ++overdue;
    return overdue;
}

} // namespace receipt
