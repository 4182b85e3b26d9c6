#include "receipt/Wording.h"
#include "receipt/IssueNumbers.h"

#include <QHash>
#include <QSet>

namespace receipt {

namespace {

// A description cut into runs of digits, of words and of the gaps between them (spaces and
// the marks that join dates and numbers).
struct Piece {
    enum Kind { Digits, Word, Gap } kind;
    qsizetype pos;
    QString text;
};

QList<Piece> piecesOf(const QString& s) {
    static const QString gaps = QStringLiteral("-/,()[]#:;&+–—|");
    QList<Piece> out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        const Piece::Kind kind = c.isDigit()                       ? Piece::Digits
                                 : c.isSpace() || gaps.contains(c) ? Piece::Gap
                                                                   : Piece::Word;
        if (out.isEmpty() || out.last().kind != kind)
            out.append({kind, i, {}});
        out.last().text += c;
    }
    return out;
}

// Two descriptions written alike: the same runs, the gaps the same.
bool alike(const QList<Piece>& a, const QList<Piece>& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a.at(i).kind != b.at(i).kind || (a.at(i).kind == Piece::Gap && a.at(i).text != b.at(i).text))
            return false;
    return true;
}

// How one part moves from issue to issue, as the title's own descriptions show it.
struct Rule {
    enum Kind { None, Volume, Number, MonthDigits, YearDigits, Counts, WordOfMonth } kind = None;
    int shift = 0;               // MonthDigits: months after the issue's; YearDigits: the era
    qint64 step = 0;             // Counts
    QHash<int, QString> byMonth; // WordOfMonth
};

// One description of the history written like the latest, and the issue it describes.
struct Sample {
    int index; // in the history
    QDate date;
    const IssueSeen* issue;
    QList<Piece> pieces;
};

QString padded(qint64 n, const QString& like) {
    const QString s = QString::number(n);
    return like.startsWith(QLatin1Char('0')) && s.size() < like.size()
               ? QString(like.size() - s.size(), QLatin1Char('0')) + s
               : s;
}

Rule ruleFor(const QList<Sample>& samples, qsizetype i) {
    Rule rule;
    QSet<QString> values;
    for (const Sample& s : samples)
        values.insert(s.pieces.at(i).text);
    const bool varies = values.size() > 1;
    if (samples.at(0).pieces.at(i).kind == Piece::Word) {
        // A word that changes with the month: one word for each month, some month seen twice.
        if (!varies || samples.size() < 3)
            return rule;
        QHash<int, int> seen;
        for (const Sample& s : samples) {
            const QString& w = s.pieces.at(i).text;
            const int m = s.date.month();
            if (rule.byMonth.contains(m) && rule.byMonth.value(m) != w)
                return {};
            rule.byMonth.insert(m, w);
            ++seen[m];
        }
        for (const int n : std::as_const(seen))
            if (n > 1)
                return rule.kind = Rule::WordOfMonth, rule;
        return {};
    }
    const auto all = [&](auto pred) {
        return std::all_of(samples.cbegin(), samples.cend(),
                           [&](const Sample& s) { return pred(s, s.pieces.at(i).text.toLongLong()); });
    };
    // The issue's own volume or number, written again.
    if (all([](const Sample& s, qint64 v) { return numberOf(s.issue->year) == v; }))
        return rule.kind = varies ? Rule::Volume : Rule::None, rule;
    if (all([](const Sample& s, qint64 v) { return numberOf(s.issue->number) == v; }))
        return rule.kind = varies ? Rule::Number : Rule::None, rule;
    if (samples.size() < 3)
        return rule;
    // The month in digits, the same months after the issue's.
    const int shift = int((samples.at(0).pieces.at(i).text.toLongLong() - samples.at(0).date.month() + 12) % 12);
    if (varies &&
        all([&](const Sample& s, qint64 v) { return v >= 1 && v <= 12 && (s.date.month() + shift - 1) % 12 + 1 == v; }))
        return rule.kind = Rule::MonthDigits, rule.shift = shift, rule;
    // The year in digits, in full or its last two, in either era.
    const qsizetype width = samples.last().pieces.at(i).text.size();
    if (width == 2 || width == 4)
        for (const int era : {0, 543})
            if (all([&](const Sample& s, qint64 v) { return (s.date.year() + era) % (width == 2 ? 100 : 10000) == v; }))
                return rule.kind = Rule::YearDigits, rule.shift = era, rule;
    // A number that counts by the title's own step from issue to issue.
    qint64 step = 0;
    for (qsizetype k = 1; k < samples.size(); ++k)
        if (samples.at(k).index == samples.at(k - 1).index + 1) {
            const qint64 d =
                samples.at(k).pieces.at(i).text.toLongLong() - samples.at(k - 1).pieces.at(i).text.toLongLong();
            if (d <= 0 || (step && d != step))
                return {};
            step = d;
        }
    if (step > 0)
        rule.kind = Rule::Counts, rule.step = step;
    return rule;
}

// The history's descriptions written like the latest (up to two years of them), and the rule of
// each of its parts that the built-in forms do not name.
struct Learnt {
    QList<Piece> last;
    QList<Rule> rules;
};

Learnt learn(const QList<IssueSeen>& issues) {
    Learnt out;
    if (issues.isEmpty())
        return out;
    const QString& latest = issues.last().description;
    out.last = piecesOf(latest);
    QList<Sample> samples;
    for (qsizetype k = issues.size() - 1; k >= 0 && k >= issues.size() - 24; --k) {
        QList<Piece> p = piecesOf(issues.at(k).description);
        if (issues.at(k).daily.isValid() && alike(p, out.last))
            samples.prepend({int(k), issues.at(k).daily, &issues.at(k), std::move(p)});
    }
    const QList<NamedPart> named = namedParts(latest);
    for (qsizetype i = 0; i < out.last.size(); ++i) {
        const Piece& p = out.last.at(i);
        // A number beside a month may be a day or the issue's number ("12(3) Mar 2026"): the
        // history tells.
        const bool isNamed = std::any_of(named.cbegin(), named.cend(), [&](const NamedPart& n) {
            return n.kind != 'D' && n.pos < p.pos + p.text.size() && p.pos < n.pos + n.len;
        });
        out.rules.append(p.kind == Piece::Gap || isNamed || samples.size() < 2 ? Rule{} : ruleFor(samples, i));
    }
    return out;
}

} // namespace

QString followWording(const QList<IssueSeen>& issues, const QString& moved, const QDate& to, const QString& year,
                      const QString& number) {
    if (issues.isEmpty() || !to.isValid())
        return moved;
    const Learnt learnt = learn(issues);
    // Nothing dated for the built-in forms to move: the learnt parts alone may.
    const QList<Piece> start = piecesOf(moved.isEmpty() ? issues.last().description : moved);
    if (!alike(start, learnt.last))
        return moved;
    QString out;
    bool any = false;
    for (qsizetype i = 0; i < start.size(); ++i) {
        const Rule& r = learnt.rules.at(i);
        const QString& was = learnt.last.at(i).text;
        if (r.kind == Rule::None || start.at(i).text != was) {
            out += start.at(i).text;
            continue;
        }
        any = true;
        switch (r.kind) {
        case Rule::Volume:
        case Rule::Number: {
            const qint64 n = numberOf(r.kind == Rule::Volume ? year : number);
            if (n < 0)
                return {}; // a volume or number not known is not guessed
            out += padded(n, was);
            break;
        }
        case Rule::MonthDigits:
            out += padded((to.month() + r.shift - 1) % 12 + 1, was);
            break;
        case Rule::YearDigits:
            out += padded((to.year() + r.shift) % (was.size() == 2 ? 100 : 10000), was);
            break;
        case Rule::Counts:
            out += padded(was.toLongLong() + r.step, was);
            break;
        case Rule::WordOfMonth:
            if (!r.byMonth.contains(to.month()))
                return {}; // a month whose word the history never showed
            out += r.byMonth.value(to.month());
            break;
        case Rule::None:
            break;
        }
    }
    return moved.isEmpty() && !any ? moved : out;
}

QString wordingTemplate(const QList<IssueSeen>& issues) {
    if (issues.isEmpty())
        return {};
    const Learnt learnt = learn(issues);
    const QList<NamedPart> named = namedParts(issues.last().description);
    QString out;
    for (qsizetype i = 0; i < learnt.last.size(); ++i) {
        const Piece& p = learnt.last.at(i);
        // A number both beside a month and after "No." is the number.
        const auto n = std::min_element(named.cbegin(), named.cend(), [&](const NamedPart& a, const NamedPart& b) {
            const auto rank = [&](const NamedPart& n) {
                return n.pos < p.pos + p.text.size() && p.pos < n.pos + n.len ? n.kind == 'D' : 2;
            };
            return rank(a) < rank(b);
        });
        QString part;
        switch (learnt.rules.at(i).kind) {
        case Rule::Volume:
            part = QStringLiteral("ปีที่");
            break;
        case Rule::Number:
            part = QStringLiteral("ฉบับที่");
            break;
        case Rule::MonthDigits:
        case Rule::WordOfMonth:
            part = QStringLiteral("เดือน");
            break;
        case Rule::YearDigits:
            part = QStringLiteral("ปี");
            break;
        case Rule::Counts:
            part = QStringLiteral("นับ +%1").arg(learnt.rules.at(i).step);
            break;
        case Rule::None:
            if (n != named.cend() && n->pos < p.pos + p.text.size() && p.pos < n->pos + n->len)
                part = n->kind == 'M'   ? QStringLiteral("เดือน")
                       : n->kind == 'Y' ? QStringLiteral("ปี")
                       : n->kind == 'D' ? QStringLiteral("วัน")
                       : n->kind == 'V' ? QStringLiteral("ปีที่")
                       : n->kind == 'N' ? QStringLiteral("ฉบับที่")
                                        : QStringLiteral("ปักษ์");
        }
        out += part.isEmpty() ? p.text : QLatin1Char('[') + part + QLatin1Char(']');
    }
    return out;
}

} // namespace receipt
