#include "rules/titles/TitleRecord.h"

#include "data/CodeTables.h"
#include "data/Counter.h"
#include "rules/receipt/PatternStore.h"
#include "rules/records/Holdings.h"
#include "rules/records/IssueStore.h"

#include <QHash>
#include <QSet>
#include <QRegularExpression>

namespace titles {

namespace {

// The frequency codes with MARC 21's 008/18 (frequency) and 008/19 (regularity) and the
// frequency's English words for 310.
struct Frequency {
    const char* code;
    char marc, regularity;
    const char* words;
};
constexpr Frequency frequencies[] = {{"01", 'd', 'r', "Daily"},
                                     {"02", 'w', 'r', "Weekly"},
                                     {"03", 's', 'r', "Semimonthly"},
                                     {"04", 'm', 'r', "Monthly"},
                                     {"05", 'b', 'r', "Bimonthly"},
                                     {"06", 'q', 'r', "Quarterly"},
                                     {"07", 't', 'r', "Three times a year"},
                                     {"08", 'f', 'r', "Semiannual"},
                                     {"09", 'a', 'r', "Annual"},
                                     {"10", ' ', 'x', "Irregular"}};

const Frequency* frequencyOfCode(const QString& code) {
    for (const Frequency& f : frequencies)
        if (code.trimmed() == QLatin1String(f.code))
            return &f;
    return nullptr;
}

const QString thaiLanguage = QStringLiteral("02"), foreignLanguage = QStringLiteral("01");

// 245 and the like end in the punctuation of a catalogue card unless the leader says it is
// left out (18 "c"): " /", " :", " =", " ;", ",", a final full stop.
QString withoutEndPunctuation(const QString& text, bool isbd) {
    QString t = text.trimmed();
    if (!isbd)
        return t;
    static const QRegularExpression end(QStringLiteral("\\s*[/:;=,.]+$"));
    return t.remove(end).trimmed();
}

// The text ending in a full stop, as ISBD ends a title or a publication statement.
QString withFullStop(const QString& text) {
    const QString t = text.trimmed();
    return t.isEmpty() || t.endsWith(QLatin1Char('.')) || t.endsWith(QLatin1Char('?')) || t.endsWith(QLatin1Char('!'))
               ? t
               : t + QLatin1Char('.');
}

} // namespace

int nonfilingCharacters(const QString& title, bool thai) {
    if (thai)
        return 0;
    const QString t = title.trimmed();
    for (const char* article : {"The ", "An ", "A "})
        if (t.startsWith(QLatin1String(article), Qt::CaseInsensitive) && t.size() > int(strlen(article)))
            return int(strlen(article));
    return 0;
}

marc::Record titleRecord(const records::Title& t, const RecordExtras& extras) {
    marc::Record r;
    // New record, language material, serial; UTF-8; minimal level; ISBD punctuation included,
    // as catalogues and their checkers expect of 245 and 260.
    r.leader = QStringLiteral("00000nas a2200000 i 4500");
    r.leader[17] = QLatin1Char('7');
    r.addControl(QStringLiteral("001"), t.pointer.trimmed());
    if (!extras.organization.isEmpty())
        r.addControl(QStringLiteral("003"), extras.organization);

    QString f008(40, QLatin1Char(' '));
    const QDate entered = t.startDate.isValid() ? t.startDate : extras.entered;
    f008.replace(0, 6, entered.isValid() ? entered.toString(QStringLiteral("yyMMdd")) : QStringLiteral("000000"));
    const bool current = t.receiveCode.trimmed() == QLatin1String("1");
    f008[6] = current ? QLatin1Char('c') : QLatin1Char('u');
    f008.replace(7, 8, current ? QStringLiteral("uuuu9999") : QStringLiteral("uuuuuuuu"));
    f008.replace(15, 3, QStringLiteral("xx "));
    const Frequency* freq = frequencyOfCode(t.frequencyCode);
    f008[18] = freq ? QLatin1Char(freq->marc) : QLatin1Char('u');
    f008[19] = freq ? QLatin1Char(freq->regularity) : QLatin1Char('u');
    const QChar series = t.pointer.trimmed().isEmpty() ? QChar() : t.pointer.trimmed().at(0).toUpper();
    f008[21] = series == QLatin1Char('K') || series == QLatin1Char('L') ? QLatin1Char('n') : QLatin1Char('p');
    f008[29] = QLatin1Char('0');
    f008[34] = QLatin1Char('0');
    const QString lang = t.languageCode.trimmed();
    f008.replace(35, 3, lang == thaiLanguage ? QStringLiteral("tha") : QStringLiteral("und"));
    f008[39] = QLatin1Char('d');
    r.addControl(QStringLiteral("008"), f008);

    const auto addIf = [&](const char* tag, const char* ind, QChar code, const QString& value) {
        if (!value.trimmed().isEmpty())
            r.add(QLatin1String(tag), QLatin1String(ind), {{code, value.trimmed()}});
    };
    // 022 holds the ISSN as printed, "NNNN-NNNC", however the register keeps it.
    const auto issn = records::issnOf(t.issn);
    addIf("022", "  ", QLatin1Char('a'), issn && !issn->scanned ? issn->text : t.issn);
    if (!extras.organization.isEmpty())
        r.add(QStringLiteral("040"), QStringLiteral("  "),
              {{QLatin1Char('a'), extras.organization}, {QLatin1Char('c'), extras.organization}});
    addIf("210", "0 ", QLatin1Char('a'), t.shortName);
    r.add(QStringLiteral("245"),
          QStringLiteral("0") + QString::number(nonfilingCharacters(t.name, lang == thaiLanguage)),
          {{QLatin1Char('a'), withFullStop(t.name)}});
    addIf("246", "31", QLatin1Char('a'), t.parallelName);
    addIf("247", "10", QLatin1Char('a'), t.formerName);
    if (!t.publisherName.trimmed().isEmpty()) {
        // The place, where the register has the publisher's town: "London :", the postcode left out.
        static const QRegularExpression postcode(QStringLiteral("\\s*\\d{4,6}$"));
        const QString place = QString(t.publisherPlace).simplified().remove(postcode);
        QList<marc::Subfield> published;
        if (!place.isEmpty())
            published.append({QLatin1Char('a'), place + QStringLiteral(" :")});
        published.append({QLatin1Char('b'), withFullStop(t.publisherName)});
        r.add(QStringLiteral("260"), QStringLiteral("  "), published);
    }
    const bool thai = records::holdingsWordingOf(t.pointer) == records::HoldingsWording::Thai;
    addIf("310", "  ", QLatin1Char('a'),
          thai && !extras.frequencyText.isEmpty() ? extras.frequencyText
          : freq                                  ? QString::fromLatin1(freq->words)
                                                  : extras.frequencyText);
    if (!extras.organization.isEmpty() || !t.location.trimmed().isEmpty() || !extras.holdings.isEmpty()) {
        QList<marc::Subfield> where = {{QLatin1Char('8'), QStringLiteral("1")}};
        if (!extras.organization.isEmpty())
            where.append({QLatin1Char('a'), extras.organization});
        if (!t.location.trimmed().isEmpty())
            where.append({QLatin1Char('b'), t.location.trimmed()});
        r.add(QStringLiteral("852"), QStringLiteral("  "), where);
    }
    if (!extras.holdings.isEmpty())
        r.add(QStringLiteral("866"), QStringLiteral("41"),
              {{QLatin1Char('8'), QStringLiteral("1")}, {QLatin1Char('a'), extras.holdings}});
    return r;
}

namespace {

// A number or its range as 863 writes it: "5", or "5-6".
QString range(const QString& first, const QString& last) {
    return first == last || last.isEmpty() ? first : first + QLatin1Char('-') + last;
}

} // namespace

marc::Record holdingsRecord(const records::Title& t, const QList<receipt::IssueSeen>& issues,
                            const receipt::Pattern& pattern, const RecordExtras& extras) {
    marc::Record r;
    r.leader = QStringLiteral("00000ny  a22000004n 4500");
    r.addControl(QStringLiteral("001"), QStringLiteral("H") + t.pointer.trimmed());
    if (!extras.organization.isEmpty())
        r.addControl(QStringLiteral("003"), extras.organization);
    r.addControl(QStringLiteral("004"), t.pointer.trimmed());
    const QString today = extras.entered.toString(QStringLiteral("yyMMdd"));
    // Received now or not; retained for good; one copy; a separate copy report.
    r.addControl(QStringLiteral("008"), today + (t.receiveCode.trimmed() == QLatin1String("1") ? u'4' : u'5') +
                                            QStringLiteral("u    8   0001uu   0") + today);
    QList<marc::Subfield> where = {{QLatin1Char('8'), QStringLiteral("1")}};
    if (!extras.organization.isEmpty())
        where.append({QLatin1Char('a'), extras.organization});
    where.append({QLatin1Char('b'), t.location.trimmed().isEmpty() ? QStringLiteral("Serials") : t.location.trimmed()});
    r.add(QStringLiteral("852"), QStringLiteral("  "), where);

    const Frequency* freq = frequencyOfCode(t.frequencyCode);
    const auto steps = receipt::frequencyOf(t.frequencyCode);
    const bool numbered = std::any_of(issues.cbegin(), issues.cend(), [](const receipt::IssueSeen& i) {
        return !i.number.trimmed().isEmpty() || !i.year.trimmed().isEmpty();
    });
    // Captions: volume and number where the title numbers its issues, then year and month.
    QList<marc::Subfield> captions = {{QLatin1Char('8'), QStringLiteral("1")}};
    if (numbered) {
        captions << marc::Subfield{QLatin1Char('a'), QStringLiteral("v.")}
                 << marc::Subfield{QLatin1Char('b'), QStringLiteral("no.")};
        if (pattern.volumeIssues > 0)
            captions << marc::Subfield{QLatin1Char('u'), QString::number(pattern.volumeIssues)};
        else if (steps && pattern.numbers != receipt::Pattern::Numbers::RunOn)
            captions << marc::Subfield{QLatin1Char('u'), QString::number(pattern.issuesAYear(*steps))};
        captions << marc::Subfield{QLatin1Char('v'),
                                   pattern.numbers == receipt::Pattern::Numbers::RunOn ? QStringLiteral("c")
                                                                                     : QStringLiteral("r")};
        captions << marc::Subfield{QLatin1Char('i'), QStringLiteral("(year)")};
        if (!steps || steps->interval != QLatin1Char('Y'))
            captions << marc::Subfield{QLatin1Char('j'), QStringLiteral("(month)")};
    } else {
        captions << marc::Subfield{QLatin1Char('a'), QStringLiteral("(year)")};
        if (!steps || steps->interval != QLatin1Char('Y'))
            captions << marc::Subfield{QLatin1Char('b'), QStringLiteral("(month)")};
    }
    if (freq) {
        const int ayear = steps ? pattern.issuesAYear(*steps) : 0;
        const bool skips = (pattern.months & 0xFFF) != 0xFFF || (receipt::byWeeks(steps) && pattern.weeksOff);
        captions << marc::Subfield{QLatin1Char('w'), skips && ayear > 0 ? QString::number(ayear)
                                                                        : QString(QLatin1Char(freq->marc))};
    }
    // The months without an issue, and the combined issues that stand for them.
    QStringList omitted, combined;
    QSet<int> covered;
    for (const auto& [month, span] : pattern.combined) {
        QStringList months;
        for (int k = 0; k < span && month + k <= 12; ++k) {
            months << QStringLiteral("%1").arg(month + k, 2, 10, QLatin1Char('0'));
            if (k > 0)
                covered.insert(month + k);
        }
        if (months.size() > 1 && !pattern.publishes(month + 1))
            combined << months.join(QLatin1Char('/'));
    }
    for (int m = 1; m <= 12; ++m)
        if (!pattern.publishes(m) && !covered.contains(m))
            omitted << QStringLiteral("%1").arg(m, 2, 10, QLatin1Char('0'));
    if (!omitted.isEmpty())
        captions << marc::Subfield{QLatin1Char('y'), QStringLiteral("om") + omitted.join(QLatin1Char(','))};
    if (!combined.isEmpty())
        captions << marc::Subfield{QLatin1Char('y'), QStringLiteral("cm") + combined.join(QLatin1Char(','))};
    // A weekly title's weeks of the year without an issue ("ow52").
    QStringList weeks;
    for (int w = 1; w <= 53 && receipt::byWeeks(steps); ++w)
        if (!pattern.publishesWeek(w))
            weeks << QStringLiteral("%1").arg(w, 2, 10, QLatin1Char('0'));
    if (!weeks.isEmpty())
        captions << marc::Subfield{QLatin1Char('y'), QStringLiteral("ow") + weeks.join(QLatin1Char(','))};
    r.add(QStringLiteral("853"), QStringLiteral("20"), captions);

    // What is held: runs of issues that follow on by number (by year where unnumbered).
    int link = 0;
    for (qsizetype i = 0; i < issues.size();) {
        qsizetype j = i;
        const auto next = [&](qsizetype k) {
            const receipt::IssueSeen &a = issues.at(k), &b = issues.at(k + 1);
            if (!numbered)
                return a.daily.isValid() && b.daily.isValid() && a.daily.year() == b.daily.year();
            const qint64 was = data::leadingDigits(a.number.section(QLatin1Char('-'), -1)).value_or(-1),
                         now = data::leadingDigits(b.number).value_or(-1);
            return was >= 0 && (now == was + 1 || (now == 1 && b.year.trimmed() != a.year.trimmed()) ||
                                (now == was && b.year.trimmed() == a.year.trimmed() && a.daily == b.daily));
        };
        while (j + 1 < issues.size() && next(j))
            ++j;
        const receipt::IssueSeen &first = issues.at(i), &last = issues.at(j);
        const auto month = [](const QDate& d) { return d.isValid() ? d.toString(QStringLiteral("MM")) : QString(); };
        const auto year = [](const QDate& d) { return d.isValid() ? QString::number(d.year()) : QString(); };
        QList<marc::Subfield> held = {{QLatin1Char('8'), QStringLiteral("1.%1").arg(++link)}};
        const QChar chronYear = numbered ? QLatin1Char('i') : QLatin1Char('a'),
                    chronMonth = numbered ? QLatin1Char('j') : QLatin1Char('b');
        if (numbered) {
            if (!first.year.trimmed().isEmpty())
                held << marc::Subfield{QLatin1Char('a'), range(first.year.trimmed(), last.year.trimmed())};
            if (!first.number.trimmed().isEmpty())
                held << marc::Subfield{QLatin1Char('b'),
                                       range(first.number.trimmed().section(QLatin1Char('-'), 0, 0),
                                             last.number.trimmed().section(QLatin1Char('-'), -1))};
        }
        if (first.daily.isValid()) {
            held << marc::Subfield{chronYear, range(year(first.daily), year(last.daily))};
            if (!steps || steps->interval != QLatin1Char('Y'))
                held << marc::Subfield{chronMonth, range(month(first.daily), month(last.daily))};
        }
        if (j + 1 < issues.size())
            held << marc::Subfield{QLatin1Char('w'), QStringLiteral("g")};
        if (held.size() > 1)
            r.add(QStringLiteral("863"), QStringLiteral("40"), held);
        i = j + 1;
    }
    if (!extras.holdings.isEmpty())
        r.add(QStringLiteral("866"), QStringLiteral("41"),
              {{QLatin1Char('8'), QStringLiteral("0")}, {QLatin1Char('a'), extras.holdings}});
    return r;
}

ImportedTitle importedTitle(const marc::Record& r) {
    ImportedTitle out;
    const bool isbd = r.leader.size() < 19 || r.leader.at(18) != QLatin1Char('c');
    records::Title& t = out.title;
    t.name = withoutEndPunctuation(r.sub(QStringLiteral("245"), QLatin1Char('a')), isbd);
    const QString remainder = withoutEndPunctuation(r.sub(QStringLiteral("245"), QLatin1Char('b')), isbd);
    if (!remainder.isEmpty())
        t.name += QStringLiteral(" : ") + remainder;
    t.issn = r.sub(QStringLiteral("022"), QLatin1Char('a')).trimmed();
    // Captions and pattern (853), where the record has them: the months without an issue ("om"),
    // the combined issues ("cm", each month after the first covered), the weeks without an issue
    // ("ow"), how numbers run.
    if (const marc::Field* captions = r.field(QStringLiteral("853"))) {
        receipt::Pattern p;
        p.setBy = QStringLiteral("853");
        for (const marc::Subfield& s : captions->subfields) {
            const QString v = s.value.trimmed().toLower();
            if (s.code == QLatin1Char('v'))
                p.numbers = v == QLatin1String("c")   ? receipt::Pattern::Numbers::RunOn
                            : v == QLatin1String("r") ? receipt::Pattern::Numbers::Restart
                                                      : receipt::Pattern::Numbers::AsHistory;
            if (s.code == QLatin1Char('y') && v.startsWith(QLatin1String("ow")))
                p.weeksOff |= receipt::Pattern::weeksOf(v.mid(2)).value_or(0);
            if (s.code != QLatin1Char('y') || !(v.startsWith(QLatin1String("om")) || v.startsWith(QLatin1String("cm"))))
                continue;
            for (const QString& part : v.mid(2).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                const QStringList months = part.split(QLatin1Char('/'));
                for (qsizetype k = v.startsWith(QLatin1Char('c')) ? 1 : 0; k < months.size(); ++k)
                    if (const int m = months.at(k).toInt(); m >= 1 && m <= 12)
                        p.months &= quint16(~(1u << (m - 1)));
            }
        }
        if (p.months)
            out.pattern = p;
    }
    // An abbreviated title takes no closing punctuation: a final full stop is its abbreviation's.
    t.shortName = r.sub(QStringLiteral("210"), QLatin1Char('a')).trimmed();
    for (const marc::Field* f : r.all(QStringLiteral("246")))
        if (t.parallelName.isEmpty() && f->indicators.mid(1, 1) == QLatin1String("1"))
            t.parallelName = withoutEndPunctuation(f->sub(QLatin1Char('a')), isbd);
    t.formerName = withoutEndPunctuation(r.sub(QStringLiteral("247"), QLatin1Char('a')), isbd);
    if (t.formerName.isEmpty())
        t.formerName = withoutEndPunctuation(r.sub(QStringLiteral("780"), QLatin1Char('t')), isbd);
    out.publisherName = withoutEndPunctuation(r.sub(QStringLiteral("260"), QLatin1Char('b')), isbd);
    for (const marc::Field* f : r.all(QStringLiteral("264")))
        if (out.publisherName.isEmpty() && f->indicators.mid(1, 1) == QLatin1String("1"))
            out.publisherName = withoutEndPunctuation(f->sub(QLatin1Char('b')), isbd);
    if (t.name.isEmpty())
        out.unmapped << QStringLiteral("ระเบียนไม่มีชื่อเรื่อง (245 $a)");

    const QString f008 = r.control(QStringLiteral("008"));
    if (f008.size() < 40) {
        out.unmapped << QStringLiteral("ระเบียนไม่มีเขตข้อมูล 008: ไม่ทราบกำหนดออกและภาษา");
        return out;
    }
    out.newspaper = f008.at(21) == QLatin1Char('n');
    const QChar fr = f008.at(18), reg = f008.at(19);
    for (const Frequency& f : frequencies)
        if ((reg == QLatin1Char('x') && f.regularity == 'x') || (f.regularity == 'r' && fr == QLatin1Char(f.marc)))
            t.frequencyCode = QLatin1String(f.code);
    if (t.frequencyCode.isEmpty())
        out.unmapped << QStringLiteral("กำหนดออก \"%1\" (008/18) ไม่มีในตารางกำหนดออก").arg(fr);
    const QString lang = f008.mid(35, 3);
    if (lang == QLatin1String("tha"))
        t.languageCode = thaiLanguage;
    else if (QRegularExpression(QStringLiteral("^[a-z]{3}$")).match(lang).hasMatch())
        t.languageCode = foreignLanguage;
    else
        out.unmapped << QStringLiteral("รหัสภาษา \"%1\" (008/35-37) ไม่ใช่รหัสภาษา MARC").arg(lang);
    return out;
}

QList<marc::Record> exportRecords(data::Connection& c, const ExportChoice& choice, const QString& organization,
                                  const std::function<bool(int, int)>& progress) {
    QString sql = QStringLiteral("SELECT m.Pointer FROM magazine m WHERE 1 = 1");
    data::Params params;
    if (!choice.pointer.isEmpty()) {
        sql += QStringLiteral(" AND m.Pointer = ?");
        params << choice.pointer.trimmed();
    }
    if (!choice.series.isNull()) {
        sql += QStringLiteral(" AND m.Pointer LIKE ?");
        params << QString(choice.series.toUpper()) + QLatin1Char('%');
    }
    if (choice.since.isValid()) {
        // Titles keep no time of change: what changes a title's record is an issue received
        // (its holdings) or a subscription begun, ordered or renewed.
        sql += QStringLiteral(" AND (m.Start_Date >= ? OR m.Order_Date >= ? OR m.End_Date >= ? OR EXISTS "
                              "(SELECT 1 FROM tranfile t WHERE t.pointer = m.Pointer AND t.indate >= ?))");
        params << choice.since << choice.since << choice.since << choice.since;
    }
    sql += QStringLiteral(" ORDER BY m.Pointer");
    const data::Result chosen = c.query(sql, params);
    QHash<QString, QString> frequencyWords;
    for (const data::CodeRow& row : data::loadCodeTable(c, data::codetables::magtype))
        frequencyWords.insert(row.code.trimmed(), row.description.trimmed());
    QList<marc::Record> out;
    for (int i = 0; i < chosen.rowCount(); ++i) {
        if (progress && !progress(i, chosen.rowCount()))
            return {};
        const auto t = records::TitleStore::find(c, chosen.text(i, 0));
        if (!t)
            continue; // deleted meanwhile
        RecordExtras extras{records::HoldingsStore::summary(c, t->pointer),
                            frequencyWords.value(t->frequencyCode.trimmed()), organization, QDate::currentDate()};
        if (!choice.holdings) {
            out << titleRecord(*t, extras);
            continue;
        }
        QList<receipt::IssueSeen> seen;
        const QList<records::Issue> issues = records::IssueStore::issues(c, t->pointer);
        for (auto it = issues.crbegin(); it != issues.crend(); ++it)
            seen.append({it->daily, it->yearno, it->itemsno, it->description});
        out << holdingsRecord(*t, seen, receipt::patternInForce(c, t->pointer, t->frequencyCode, seen), extras);
    }
    return out;
}

} // namespace titles
