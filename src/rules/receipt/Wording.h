#pragma once

#include "rules/receipt/NextIssue.h"

namespace receipt {

// The parts of a title's descriptions that no month name, year or volume word marks, learnt
// from the title's own descriptions: a word that goes with the month ("Spring", "ฤดูร้อน",
// "Février"), a month or a year written in digits ("2026/03", "3/69"), a number that counts
// by its own step ("#145"), a number that is the issue's volume or number. `moved` is the
// latest description of `issues` (oldest first) with its named dates already moved to `to`;
// each part of it still as the latest wrote it moves the way its history shows, and a part
// whose history shows no rule stays as written.
QString followWording(const QList<IssueSeen>& issues, const QString& moved, const QDate& to, const QString& year,
                      const QString& number);

// The latest description as a template, its moving parts named: "ปีที่ [ปีที่] ฉบับที่ [ฉบับที่]
// [เดือนย่อ] [พ.ศ.]". A person may correct it; then the description of an issue due on `to` is
// written by it (renderWording): a month in the form named, moved by as many months as it says
// ("[เดือนย่อ+2]"), a year of the month named before it, the volume and number expected, a
// counting number one step on from the latest description, a word that goes with the month as
// the history has it. Empty where a part is not known.
QString wordingTemplate(const QList<IssueSeen>& issues);
QString renderWording(const QString& tmpl, const QList<IssueSeen>& issues, const QDate& to, const QString& year,
                      const QString& number);
// Why a person's template cannot be kept, in Thai: a label not known, a bracket left open, or no
// part that follows the date for a title whose descriptions change. Empty: it can.
QString wordingRefusal(const QString& tmpl, const QList<IssueSeen>& issues);

} // namespace receipt
