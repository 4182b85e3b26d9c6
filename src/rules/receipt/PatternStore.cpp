#include "rules/receipt/PatternStore.h"

#include "data/SaveGate.h"
#include "rules/records/IssueStore.h"

using namespace Qt::StringLiterals;

namespace receipt {

namespace {

QString numbersCode(Pattern::Numbers n) {
    return n == Pattern::Numbers::Restart ? QStringLiteral("R")
           : n == Pattern::Numbers::RunOn ? QStringLiteral("C")
                                          : QString();
}

// Writes the row; a learnt one leaves a person's row as it is.
void store(data::Connection& c, const QString& pointer, const Pattern& p, bool byPerson) {
    const QString sql = QStringLiteral(
        "INSERT INTO pub_pattern (pointer, months, volume_month, volume_issues, numbers, learnt_from, wording, "
        "issue_day, number_digits, weeks_off, set_by, set_on) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, %1) "
        "ON DUPLICATE KEY UPDATE %2");
    const QString person = QStringLiteral("SUBSTRING_INDEX(USER(), '@', 1), NOW()");
    const QString update =
        byPerson ? QStringLiteral("months = VALUES(months), volume_month = VALUES(volume_month), "
                                  "volume_issues = VALUES(volume_issues), numbers = VALUES(numbers), "
                                  "learnt_from = VALUES(learnt_from), wording = VALUES(wording), "
                                  "issue_day = VALUES(issue_day), number_digits = VALUES(number_digits), "
                                  "weeks_off = VALUES(weeks_off), set_by = VALUES(set_by), set_on = VALUES(set_on)")
                 : QStringLiteral("months = IF(set_by IS NULL, VALUES(months), months), "
                                  "weeks_off = IF(set_by IS NULL, VALUES(weeks_off), weeks_off), "
                                  "volume_month = IF(set_by IS NULL, 0, volume_month), "
                                  "volume_issues = IF(set_by IS NULL, 0, volume_issues), "
                                  "numbers = IF(set_by IS NULL, '', numbers), learnt_from = VALUES(learnt_from)");
    data::write(c, QStringLiteral("pub_pattern"), sql.arg(byPerson ? person : QStringLiteral("NULL, NULL"), update),
                {pointer.trimmed(), p.monthsText(), byPerson ? p.volumeMonth : 0, byPerson ? p.volumeIssues : 0,
                 byPerson ? numbersCode(p.numbers) : QString(), p.learntFrom,
                 byPerson && !p.wording.trimmed().isEmpty() ? QVariant(p.wording.trimmed()) : QVariant(),
                 byPerson ? p.day : 0, byPerson ? p.digits : 0, p.weeksOffText()});
}

} // namespace

std::optional<Pattern> storedPattern(data::Connection& c, const QString& pointer) {
    const data::Result r = c.query(QStringLiteral("SELECT months, volume_month, volume_issues, numbers, learnt_from, "
                                                  "set_by, set_on, wording, issue_day, number_digits, weeks_off FROM pub_pattern "
                                                  "WHERE pointer = ?"),
                                   {pointer.trimmed()});
    if (r.isEmpty())
        return std::nullopt;
    Pattern p;
    if (const auto months = Pattern::monthsOf(r.text(0, u"months"_s)); months && *months)
        p.months = *months;
    if (const auto weeks = Pattern::weeksOf(r.text(0, u"weeks_off"_s)); weeks && *weeks != (quint64(1) << 53) - 1)
        p.weeksOff = *weeks;
    const int month = r.value(0, u"volume_month"_s).toInt(), issues = r.value(0, u"volume_issues"_s).toInt();
    p.volumeMonth = month >= 1 && month <= 12 ? month : 0;
    p.volumeIssues = issues >= 1 && issues <= 999 ? issues : 0;
    const QString numbers = r.text(0, u"numbers"_s).trimmed().toUpper();
    p.numbers = numbers == QLatin1String("R")   ? Pattern::Numbers::Restart
                : numbers == QLatin1String("C") ? Pattern::Numbers::RunOn
                                                : Pattern::Numbers::AsHistory;
    p.learntFrom = r.value(0, u"learnt_from"_s).toInt();
    p.setBy = r.text(0, u"set_by"_s).trimmed();
    p.setOn = r.value(0, u"set_on"_s).toDateTime();
    if (p.isSet()) {
        p.wording = r.text(0, u"wording"_s).trimmed();
        const int day = r.value(0, u"issue_day"_s).toInt(), digits = r.value(0, u"number_digits"_s).toInt();
        p.day = day >= 1 && day <= 31 ? day : 0;
        p.digits = digits >= 1 && digits <= 9 ? digits : 0;
    }
    return p;
}

void setPattern(data::Connection& c, const QString& pointer, const Pattern& p) {
    store(c, pointer, p, true);
}

void keepLearnt(data::Connection& c, const QString& pointer, const Pattern& learnt) {
    store(c, pointer, learnt, false);
}

void learnAgain(data::Connection& c, const QString& pointer, const Pattern& learnt) {
    data::write(c, QStringLiteral("pub_pattern"),
                QStringLiteral("UPDATE pub_pattern SET set_by = NULL, set_on = NULL, wording = NULL, issue_day = 0, "
                               "number_digits = 0 WHERE pointer = ?"),
                {pointer.trimmed()});
    keepLearnt(c, pointer, learnt);
}

Pattern patternInForce(data::Connection& c, const QString& pointer, const QString& frequencyCode,
                       const QList<IssueSeen>& issues) {
    const std::optional<Pattern> stored = storedPattern(c, pointer);
    return inForce(learnPattern(frequencyCode, issues), stored ? &*stored : nullptr);
}

namespace {

QList<IssueSeen> issuesOf(data::Connection& c, const QString& pointer) {
    QList<IssueSeen> seen;
    const QList<records::Issue> issues = records::IssueStore::issues(c, pointer.trimmed());
    for (auto it = issues.crbegin(); it != issues.crend(); ++it)
        seen.append({it->daily, it->yearno, it->itemsno, it->description});
    return seen;
}

} // namespace

int contradictions(data::Connection& c, const QString& pointer) {
    const std::optional<Pattern> stored = storedPattern(c, pointer);
    if (!stored || !stored->isSet())
        return 0;
    const data::Result t =
        c.query(QStringLiteral("SELECT MagType_code FROM magazine WHERE Pointer = ?"), {pointer.trimmed()});
    int differs = 0;
    if (!t.isEmpty())
        replayLastTwelve(t.text(0, 0), issuesOf(c, pointer), *stored, &differs);
    return differs;
}

QList<std::pair<QString, QString>> contradictedTitles(data::Connection& c) {
    const data::Result r = c.query(
        QStringLiteral("SELECT m.Pointer, m.Magazine_Name FROM pub_pattern p JOIN magazine m ON m.Pointer = p.pointer "
                       "WHERE p.set_by IS NOT NULL ORDER BY m.Magazine_Name, m.Pointer"));
    QList<std::pair<QString, QString>> out;
    for (int i = 0; i < r.rowCount(); ++i)
        if (contradicted(contradictions(c, r.text(i, u"Pointer"_s))))
            out.append({r.text(i, u"Pointer"_s).trimmed(), r.text(i, u"Magazine_Name"_s)});
    return out;
}

std::optional<ExpectedIssue> expectedNext(data::Connection& c, const QString& pointer) {
    const data::Result t =
        c.query(QStringLiteral("SELECT MagType_code FROM magazine WHERE Pointer = ?"), {pointer.trimmed()});
    if (t.isEmpty())
        return std::nullopt;
    const std::optional<Pattern> stored = storedPattern(c, pointer);
    return predictNext(t.text(0, 0), issuesOf(c, pointer), stored ? &*stored : nullptr);
}

} // namespace receipt
