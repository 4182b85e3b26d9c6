#pragma once

#include "data/Columns.h"
#include "data/Connection.h"
#include "data/NameSearch.h"
#include "data/Refused.h"

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

namespace records {

// One row of the title register, with the names of its publisher and distributor.
struct Title {
    QString pointer;
    QString name;
    QString parallelName, formerName, shortName;
    QString issn;
    QString kindCode, languageCode, frequencyCode, publisherCode, departmentCode, receiveCode, coverCode;
    QString copiesPerYear; // as text: empty means none
    QString pricePerYear;
    QDate startDate, endDate, orderDate;
    QString distributorCode, memberStatus, location;
    // Read only: looked up from the publisher table; the place is the publisher's town (its
    // second address line, else its first).
    QString publisherName, distributorName, publisherPlace;
    // NULL columns among the names and the location (shown as "leave the field as it was").
    bool parallelNull = false, formerNull = false, shortNull = false, locationNull = false;
    // The row's columns after the code exactly as read, which an edit must still find.
    data::Params original;
};

// What stays in the database when a title is deleted.
struct TitleHoldings {
    qint64 issues = 0, articles = 0, volumes = 0;
};

struct TitleMatch {
    QString pointer;
    QString name;
};

// The title series: 1 foreign-language journals (J), 2 Thai-language journals (I),
// 3 foreign-language newspapers (K), 4 Thai-language newspapers (L).
int seriesNumber(bool newspaper, const QString& languageCode);

// The code after `code` in its series: the letter, then the number after it plus one,
// six digits at least. Nothing when `code` is not a letter followed by digits.
std::optional<QString> nextTitleCode(const QString& code);
// Whether a series counter still holds a code that can be given (number at most 999999).
bool titleCodeUsable(const QString& code);

// The ISSN a typed or scanned text stands for, as "NNNN-NNNC": an ISSN typed with or without
// its hyphen (as it may be stored, check digit right or not), or the EAN-13 bar code printed on
// a serial's cover (977, the ISSN's seven digits, two of the issue, its own check digit, which
// must be right), whose ISSN check digit is worked out from the seven.
struct Issn {
    QString text;
    bool scanned = false; // read from a cover's bar code
};
std::optional<Issn> issnOf(const QString& text);
// The check digit of an ISSN's first seven digits (0-9 or X).
QChar issnCheckDigit(QStringView sevenDigits);
// The condition for titles holding that ISSN as stored either way ("1234-5678", "12345678");
// from a bar code, whatever check digit the register holds.
data::Condition issnIs(const Issn& issn);
// What a title search reads, by the condition its text asks for: the ISSN first when the text
// is one, then the name (alone, or when no title has that ISSN).
template <typename Rows, typename Read> Rows titlesFor(data::Connection& c, const QString& text, Read read) {
    if (const auto issn = issnOf(text))
        if (Rows found = read(issnIs(*issn)); !found.isEmpty())
            return found;
    return read(data::titleNameContains(c, text.trimmed()));
}

namespace TitleStore {

// Why an add is refused (data::Refused::reason).
enum Refusal : int { Duplicate = 1, SeriesExhausted, BadCounter };

// Titles whose name contains `text` as typed (blanks around it do not count); empty text
// lists every title. A text that is an ISSN or a cover's bar code (issnOf) finds the titles
// with that ISSN, and is looked for in the names only when no title has it.
QList<TitleMatch> search(data::Connection& c, const QString& text);
std::optional<Title> find(data::Connection& c, const QString& pointer);
// Whether a title with this name (both sides trimmed) is already registered.
bool nameExists(data::Connection& c, const QString& name);
// The other titles (not `except`) that hold this ISSN, as "name" (code), a few at most.
QStringList issnHolders(data::Connection& c, const QString& issn, const QString& except = {});
// Adds a title in series 1 to 4 under the series' next code, taken under a lock together
// with the insert (and a last duplicate check), so two stations never get the same code.
// Gives the code the title received. Throws data::Refused or data::DbError; nothing is
// written then.
data::Saved<QString> add(data::Connection& c, const Title& t, int series);
// Rewrites the row with code `t.pointer`, provided it still holds `t.original`.
data::Saved<data::EditOutcome> update(data::Connection& c, const Title& t);
// How many issues, articles and bound volumes the title has.
TitleHoldings holdings(data::Connection& c, const QString& pointer);
// Deletes only the title's own row (its issues, articles and volumes stay).
bool remove(data::Connection& c, const QString& pointer);

} // namespace TitleStore

} // namespace records
