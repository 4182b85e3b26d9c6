#include "titles/TitleRecord.h"

#include "data/CodeTables.h"
#include "records/Holdings.h"

#include <QHash>
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

ImportedTitle importedTitle(const marc::Record& r) {
    ImportedTitle out;
    const bool isbd = r.leader.size() < 19 || r.leader.at(18) != QLatin1Char('c');
    records::Title& t = out.title;
    t.name = withoutEndPunctuation(r.sub(QStringLiteral("245"), QLatin1Char('a')), isbd);
    const QString remainder = withoutEndPunctuation(r.sub(QStringLiteral("245"), QLatin1Char('b')), isbd);
    if (!remainder.isEmpty())
        t.name += QStringLiteral(" : ") + remainder;
    t.issn = r.sub(QStringLiteral("022"), QLatin1Char('a')).trimmed();
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
        out << titleRecord(*t, extras);
    }
    return out;
}

} // namespace titles
