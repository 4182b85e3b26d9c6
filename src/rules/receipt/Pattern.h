#pragma once

#include "rules/receipt/NextIssue.h"
#include "rules/receipt/ReceiptCheck.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace receipt {

// What a title publishes: the months its issues come out in, how its volumes turn and its
// numbers run. Learnt from the title's own issues until a person sets it; then the person's
// fields hold and the history fills in the rest. Check-in's expected issue, the receipt check
// and the claims all step by it.
struct Pattern {
    // Bit m-1 set: the title has an issue in month m. A combined issue that comes every year
    // ("7-8" in July) leaves the month it covers (August) out.
    quint16 months = 0xFFF;
    // A weekly title's weeks without an issue: bit w-1 set for week w of the year (ISO 8601,
    // 1-53), the week of a Christmas double issue, say.
    quint64 weeksOff = 0;
    // A new volume begins with the first issue of this month (1-12), or after this many issues;
    // 0 for both: as the history shows.
    int volumeMonth = 0, volumeIssues = 0;
    // Numbers go back to 1 with each new volume, or run on across volumes.
    enum class Numbers : quint8 { AsHistory, Restart, RunOn } numbers = Numbers::AsHistory;
    // Learnt, for showing: combined issues seen (the month and how many issues each stood for),
    // the width numbers are written to, the month volumes were seen to begin in.
    QList<std::pair<int, int>> combined;
    int numberWidth = 0, seenVolumeMonth = 0;
    // Set by a person: the day of the month issues are dated (1-31; 0 as the history shows) and
    // the digits numbers are written with ("04": 2; 0 as the history shows).
    int day = 0, digits = 0;
    // How a person wrote the description ("[เดือนย่อ] [พ.ศ.]"); empty: as the latest one, moved on.
    QString wording;
    int learntFrom = 0; // the issues it was learnt from (each once)
    QString setBy;      // the account that set it; empty: learnt
    QDateTime setOn;

    bool publishes(int month) const { return month >= 1 && month <= 12 && (months >> (month - 1) & 1); }
    bool isSet() const { return !setBy.isEmpty(); }
    bool publishesWeek(int week) const { return week >= 1 && week <= 53 && !(weeksOff >> (week - 1) & 1); }
    // Whether the title has an issue at the mark `d`: in a month it publishes (titles stepping
    // by months), in a week it publishes (weekly titles), always (the others).
    bool publishesAt(const Frequency& f, const QDate& d) const;
    int issuesAYear(const Frequency& f) const;
    // The months as the database keeps them: "1,2,3,4,5,6,9,10,11,12".
    QString monthsText() const;
    static std::optional<quint16> monthsOf(const QString& text);
    // The weeks without an issue as the database keeps them: "52" or "" for none.
    QString weeksOffText() const;
    static std::optional<quint64> weeksOf(const QString& text);
    bool operator==(const Pattern&) const = default;
};

// Whether the title comes every week: the titles whose weeks may be left out.
bool byWeeks(const std::optional<Frequency>& f);

// The pattern a title's issues (oldest first) show. Fewer than three issues show nothing: every
// month, as the frequency code steps.
Pattern learnPattern(const QString& frequencyCode, const QList<IssueSeen>& issues);
Pattern learnPattern(const std::optional<Frequency>& f, const QList<IssueSeen>& eachOnce);
// The pattern in force: the person's fields over the learnt ones.
Pattern inForce(const Pattern& learnt, const Pattern* set);

// The issue mark after `d` in a month the title publishes.
QDate nextPublished(const Frequency& f, const Pattern& p, const QDate& d);
// How many issues one issue stands for by its number: "7-8" two, "1/3" three; at least one.
int issuesCovered(const QString& number);

// The next twelve issues as check-in will expect them, one after another.
QList<ExpectedIssue> nextTwelve(const QString& frequencyCode, QList<IssueSeen> issues, const Pattern& p);
// The last (up to) twelve issues, each beside what the pattern predicted for it from the ones
// before it; `differs` counts those whose date, year or number it would not have predicted.
struct Replayed {
    IssueSeen received;
    std::optional<ExpectedIssue> predicted;
    bool differs = false;
};
QList<Replayed> replayLastTwelve(const QString& frequencyCode, const QList<IssueSeen>& issues, const Pattern& p,
                                 int* differs = nullptr);
// A pattern the history contradicts: three of the last twelve issues it would not have predicted.
constexpr int contradictedAt = 3;
inline bool contradicted(int differs) {
    return differs >= contradictedAt;
}

} // namespace receipt
