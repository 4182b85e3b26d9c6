#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace volumes {

// What the call number reads from each issue gathered into a volume.
struct GatheredIssue {
    QString year;   // yearno, the "ปีที่" number
    QString number; // itemsno, the "เล่มที่" number
    QString month;  // DescriptionItem, the issue's month text
};

enum class Language { Unknown, Thai, Eng };

// The wording of a title's volumes by its key: the Thai series (I, L) Thai, the foreign
// series (J, K) English; nothing for other keys.
std::optional<Language> languageOfPointer(const QString& pointer);

// An issue's month text with every month name abbreviated (มีนาคม 2549 → " มี.ค. 2549"). Of a
// range ("มกราคม-มีนาคม 2549") `max` keeps the end after the "-" ("มี.ค. 2549"), otherwise the
// start, with the range's year when the start has none (" ม.ค. 2549").
QString dis_mo(const QString& month, bool max);

// The spine text of a volume: the title, the year range, the number range and the month range
// of its issues. Nothing when there are no issues, or when a month part is due in a language
// that is neither Thai nor English.
std::optional<QString> gen_callno(const QList<GatheredIssue>& issues, Language language, const QString& title);

} // namespace volumes
