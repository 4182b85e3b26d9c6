#include "rules/receipt/Wording.h"
#include "rules/receipt/IssueNumbers.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <variant>

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
    // The year in digits, in full or its last two, in either era.
    const qsizetype width = samples.last().pieces.at(i).text.size();
    if (width == 2 || width == 4)
        for (const int era : {0, 543})
            if (all([&](const Sample& s, qint64 v) { return (s.date.year() + era) % (width == 2 ? 100 : 10000) == v; }))
                return rule.kind = Rule::YearDigits, rule.shift = era, rule;
    if (samples.size() < 3)
        return rule;
    // The month in digits, the same months after the issue's.
    const int shift = int((samples.at(0).pieces.at(i).text.toLongLong() - samples.at(0).date.month() + 12) % 12);
    if (varies &&
        all([&](const Sample& s, qint64 v) { return v >= 1 && v <= 12 && (s.date.month() + shift - 1) % 12 + 1 == v; }))
        return rule.kind = Rule::MonthDigits, rule.shift = shift, rule;
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
                return {}; // a month whose word the history never showed: not guessed
            out += r.byMonth.value(to.month());
            break;
        case Rule::None:
            break;
        }
    }
    return moved.isEmpty() && !any ? moved : out;
}

namespace {

// The parts a description template names, "[เดือน]" and the like; a month's may move ("[เดือนย่อ+2]"),
// a counting number says its step ("[นับ+1]").
struct Label {
    enum Kind { Month, MonthDigits, Year, Day, Half, Volume, Number, Counts, WordOfMonth } kind;
    int form = 0; // Month: which form; MonthDigits, Year: the width; Year: also the era below
    int era = 0;
    int shift = 0; // Month, MonthDigits: months after the issue's; Counts: the step
};

struct LabelName {
    const char16_t* name;
    Label label;
};
const LabelName labelNames[] = {{u"เดือน", {Label::Month, 0}},
                                {u"เดือนย่อ", {Label::Month, 1}},
                                {u"Month", {Label::Month, 2}},
                                {u"Mon", {Label::Month, 3}},
                                {u"เดือนเลข", {Label::MonthDigits, 1}},
                                {u"เดือนเลข2", {Label::MonthDigits, 2}},
                                {u"พ.ศ.", {Label::Year, 4, 543}},
                                {u"ค.ศ.", {Label::Year, 4, 0}},
                                {u"พ.ศ.2", {Label::Year, 2, 543}},
                                {u"ค.ศ.2", {Label::Year, 2, 0}},
                                {u"วัน", {Label::Day}},
                                {u"ปักษ์", {Label::Half}},
                                {u"ปีที่", {Label::Volume}},
                                {u"ฉบับที่", {Label::Number}},
                                {u"นับ", {Label::Counts}},
                                {u"ตามเดือน", {Label::WordOfMonth}}};

QString labelText(const Label& l) {
    for (const LabelName& n : labelNames)
        if (n.label.kind == l.kind && n.label.form == l.form && n.label.era == l.era) {
            QString out = QString::fromUtf16(n.name);
            if (l.kind == Label::Counts)
                out += QStringLiteral("+%1").arg(l.shift);
            else if (l.shift)
                out += (l.shift > 0 ? QStringLiteral("+%1") : QStringLiteral("%1")).arg(l.shift);
            return QLatin1Char('[') + out + QLatin1Char(']');
        }
    return {};
}

// Months from the issue's month to the one a description names, nearest way round: -6 to 5.
int monthsAfter(int named, int issue) {
    const int off = (named - issue + 12) % 12;
    return off > 5 ? off - 12 : off;
}

// A template cut into its text and its labels; an unknown label or a bracket left open is
// `wrong`, in words.
struct Parsed {
    QList<std::variant<QString, Label>> parts;
    QString wrong;
};

Parsed parse(const QString& tmpl) {
    Parsed out;
    static const QRegularExpression label(QStringLiteral("\\[([^\\[\\]]*)\\]"));
    static const QRegularExpression moved(QStringLiteral("^(.*?)([+-]\\d{1,2})?$"));
    qsizetype at = 0;
    for (const auto& m : label.globalMatch(tmpl)) {
        if (m.capturedStart() > at)
            out.parts.append(tmpl.mid(at, m.capturedStart() - at));
        at = m.capturedEnd();
        const auto name = moved.match(m.captured(1).trimmed());
        const QString base = name.captured(1);
        const int by = name.captured(2).toInt();
        const auto known = std::find_if(std::begin(labelNames), std::end(labelNames),
                                        [&](const LabelName& n) { return base == QString::fromUtf16(n.name); });
        const bool moves = known != std::end(labelNames) &&
                           (known->label.kind == Label::Month || known->label.kind == Label::MonthDigits);
        if (known == std::end(labelNames) || (!moves && known->label.kind != Label::Counts && by) ||
            (known->label.kind == Label::Counts && by <= 0) || by < -11 || by > 11) {
            out.wrong = QStringLiteral("ไม่รู้จักส่วน %1 ในแบบคำบรรยาย ใช้ได้: [เดือน] [เดือนย่อ] [Month] [Mon] "
                                       "[เดือนเลข] [เดือนเลข2] (เลื่อนได้ เช่น [เดือนย่อ+2]) [พ.ศ.] [ค.ศ.] [พ.ศ.2] "
                                       "[ค.ศ.2] [วัน] [ปักษ์] [ปีที่] [ฉบับที่] [นับ+1] [ตามเดือน]")
                            .arg(m.captured());
            return out;
        }
        Label l = known->label;
        l.shift = by;
        out.parts.append(l);
    }
    out.parts.append(tmpl.mid(at));
    if (std::any_of(out.parts.cbegin(), out.parts.cend(), [](const auto& p) {
            return std::holds_alternative<QString>(p) &&
                   (std::get<QString>(p).contains(QLatin1Char('[')) || std::get<QString>(p).contains(QLatin1Char(']')));
        }))
        out.wrong = QStringLiteral("วงเล็บ [ ] ในแบบคำบรรยายไม่ครบคู่");
    return out;
}

// The history's descriptions read by the template: for each that it matches, the text each
// label stands for, oldest first, with the issue.
QList<std::pair<const IssueSeen*, QStringList>> readBy(const Parsed& t, const QList<IssueSeen>& issues) {
    QString re = QStringLiteral("^");
    for (const auto& p : t.parts) {
        if (std::holds_alternative<QString>(p)) {
            re += QRegularExpression::escape(std::get<QString>(p));
            continue;
        }
        const Label::Kind k = std::get<Label>(p).kind;
        re += k == Label::Month || k == Label::Half || k == Label::WordOfMonth ? QStringLiteral("(.+?)")
                                                                               : QStringLiteral("(\\d+)");
    }
    const QRegularExpression whole(re + QLatin1Char('$'));
    QList<std::pair<const IssueSeen*, QStringList>> out;
    for (qsizetype k = std::max<qsizetype>(0, issues.size() - 24); k < issues.size(); ++k)
        if (const auto m = whole.match(issues.at(k).description); m.hasMatch())
            out.append({&issues.at(k), m.capturedTexts().mid(1)});
    return out;
}

} // namespace

QString wordingTemplate(const QList<IssueSeen>& issues) {
    // Written as the latest issue that is not a combined one ("7-8") writes.
    qsizetype t = issues.size() - 1;
    while (t > 0 && t > issues.size() - 4 && lastNumberOf(issues.at(t).number) != numberOf(issues.at(t).number))
        --t;
    if (t < 0)
        return {};
    const QList<IssueSeen> upTo = issues.mid(0, t + 1);
    const IssueSeen& latest = upTo.last();
    const Learnt learnt = learn(upTo);
    const QList<NamedPart> named = namedParts(latest.description);
    // A month name written alike in two forms ("May") takes the form the title's others have.
    int form = 2;
    for (qsizetype k = t, found = 0; !found && k >= 0 && k >= t - 5; --k)
        for (const NamedPart& n : namedParts(issues.at(k).description))
            if (n.kind == 'M' && n.form >= 0)
                form = n.form, found = 1;
    struct Span {
        qsizetype pos, len;
        Label label;
    };
    QList<Span> spans;
    const int issueMonth = latest.daily.isValid() ? latest.daily.month() : 0;
    for (qsizetype i = 0; i < learnt.last.size(); ++i) {
        const Piece& p = learnt.last.at(i);
        const Rule& r = learnt.rules.at(i);
        const int width = int(p.text.size());
        const int shift = r.shift > 5 ? r.shift - 12 : r.shift;
        switch (r.kind) {
        case Rule::None:
            continue;
        case Rule::Volume:
        case Rule::Number:
            spans.append({p.pos, width, {r.kind == Rule::Volume ? Label::Volume : Label::Number}});
            break;
        case Rule::MonthDigits:
            spans.append({p.pos, width, {Label::MonthDigits, p.text.startsWith(QLatin1Char('0')) ? 2 : 1, 0, shift}});
            break;
        case Rule::YearDigits:
            spans.append({p.pos, width, {Label::Year, width, r.shift}});
            break;
        case Rule::Counts:
            spans.append({p.pos, width, {Label::Counts, 0, 0, int(r.step)}});
            break;
        case Rule::WordOfMonth:
            spans.append({p.pos, width, {Label::WordOfMonth}});
            break;
        }
    }
    for (const NamedPart& n : named) {
        // A number both beside a month and a volume, a number or a learnt part is that.
        if (std::any_of(spans.cbegin(), spans.cend(),
                        [&](const Span& s) { return s.pos < n.pos + n.len && n.pos < s.pos + s.len; }) ||
            (n.kind == 'D' && std::any_of(named.cbegin(), named.cend(), [&](const NamedPart& o) {
                 return o.kind != 'D' && o.pos < n.pos + n.len && n.pos < o.pos + o.len;
             })))
            continue;
        Label l{Label::Day};
        if (n.kind == 'M')
            l = {Label::Month, n.form >= 0 ? n.form : form, 0, issueMonth ? monthsAfter(n.month, issueMonth) : 0};
        else if (n.kind == 'Y')
            l = {Label::Year, 4, n.form};
        else if (n.kind == 'V' || n.kind == 'N')
            l = {n.kind == 'V' ? Label::Volume : Label::Number};
        else if (n.kind == 'H')
            l = {Label::Half};
        spans.append({n.pos, n.len, l});
    }
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.pos < b.pos; });
    QString out;
    qsizetype at = 0;
    for (const Span& s : spans) {
        if (s.pos < at)
            continue;
        out += latest.description.mid(at, s.pos - at) + labelText(s.label);
        at = s.pos + s.len;
    }
    return out + latest.description.mid(at);
}

QString renderWording(const QString& tmpl, const QList<IssueSeen>& issues, const QDate& to, const QString& year,
                      const QString& number) {
    const Parsed t = parse(tmpl);
    if (!t.wrong.isEmpty() || !to.isValid())
        return {};
    const auto read = readBy(t, issues);
    const bool latestRead = !issues.isEmpty() && !read.isEmpty() && read.last().first == &issues.last();
    QString out;
    QDate month; // the month the last month part named: a year after it is that month's
    int group = 0;
    for (const auto& p : t.parts) {
        if (std::holds_alternative<QString>(p)) {
            out += std::get<QString>(p);
            continue;
        }
        const Label& l = std::get<Label>(p);
        const int g = group++;
        switch (l.kind) {
        case Label::Month:
        case Label::MonthDigits:
            month = QDate(to.year(), to.month(), 1).addMonths(l.shift);
            out += l.kind == Label::Month ? monthName(l.form, month.month())
                   : l.form == 2          ? QStringLiteral("%1").arg(month.month(), 2, 10, QLatin1Char('0'))
                                          : QString::number(month.month());
            break;
        case Label::Year: {
            const int y = (month.isValid() ? month : to).year() + l.era;
            out += l.form == 2 ? QStringLiteral("%1").arg(y % 100, 2, 10, QLatin1Char('0')) : QString::number(y);
            break;
        }
        case Label::Day:
            out += QString::number(to.day());
            break;
        case Label::Half:
            out += to.day() < 15 ? QStringLiteral("ปักษ์แรก") : QStringLiteral("ปักษ์หลัง");
            break;
        case Label::Volume:
        case Label::Number: {
            const QString& v = l.kind == Label::Volume ? year : number;
            if (v.isEmpty())
                return {}; // a volume or number not known is not guessed
            out += v;
            break;
        }
        case Label::Counts: {
            if (!latestRead)
                return {}; // where the count stands is read from the latest description
            const QString& was = read.last().second.at(g);
            out += padded(was.toLongLong() + l.shift, was);
            break;
        }
        case Label::WordOfMonth: {
            QString word;
            for (const auto& [issue, texts] : read)
                if (issue->daily.isValid() && issue->daily.month() == to.month())
                    word = texts.at(g);
            if (word.isEmpty())
                return {}; // a month whose word the history never showed
            out += word;
            break;
        }
        }
    }
    return out;
}

QString wordingRefusal(const QString& tmpl, const QList<IssueSeen>& issues) {
    const Parsed t = parse(tmpl);
    if (!t.wrong.isEmpty())
        return t.wrong;
    const auto has = [](const Parsed& p, bool datedOnly) {
        return std::any_of(p.parts.cbegin(), p.parts.cend(), [&](const auto& part) {
            if (!std::holds_alternative<Label>(part))
                return false;
            const Label::Kind k = std::get<Label>(part).kind;
            return !datedOnly || k == Label::Month || k == Label::MonthDigits || k == Label::Year || k == Label::Day ||
                   k == Label::Half || k == Label::WordOfMonth;
        });
    };
    // Descriptions that follow the date want a template that does; ones that change otherwise
    // (a count alone) want at least a part that moves.
    QSet<QString> written;
    for (qsizetype k = std::max<qsizetype>(0, issues.size() - 12); k < issues.size(); ++k)
        if (!issues.at(k).description.trimmed().isEmpty())
            written.insert(issues.at(k).description.trimmed());
    if (written.size() > 1 && !has(t, has(parse(wordingTemplate(issues)), true)))
        return QStringLiteral("คำบรรยายของวารสารนี้เปลี่ยนไปทุกฉบับ แบบคำบรรยายต้องมีส่วนที่ตามวันที่ของฉบับ "
                              "เช่น [เดือน] หรือ [พ.ศ.]");
    return {};
}

} // namespace receipt
