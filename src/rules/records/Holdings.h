#pragma once

#include "data/Connection.h"

#include <QDate>
#include <QList>
#include <QString>

namespace records {

// One received issue as the holdings statement counts it.
struct HeldIssue {
    QString volume; // yearno, the "ปีที่" number
    QString number; // itemsno; a combined issue ("5-6", "5/6") holds each number it spans
    QDate date;     // the issue's own date: the years shown
};

enum class HoldingsWording { Thai, English };

// The summary holdings of a title in the usual textual-holdings form: volumes held whole as
// ranges ("v.41-42 (2024-2025)"), a volume held in part with its numbers ("v.43:no.1-3,5-11
// (2026)"); a semicolon between the parts that follow each other, a comma where volumes are
// missing between them. A volume is whole when it holds every number from 1 to
// `issuesPerVolume`, or, when that is not known (0), to the highest number any volume of the
// title reached. Thai wording ("ปีที่ 41-42 (2567-2568)") gives Buddhist-era years. Issues
// without a volume number come last, by their years alone. Empty when nothing is held.
QString summaryHoldings(const QList<HeldIssue>& issues, HoldingsWording wording, int issuesPerVolume = 0);

// The Thai series (I, L) are worded in Thai, the others in English.
HoldingsWording holdingsWordingOf(const QString& pointer);

namespace HoldingsStore {
// The title's summary holdings from its registered issues (nothing when it has none).
QString summary(data::Connection& c, const QString& pointer);
} // namespace HoldingsStore

} // namespace records
