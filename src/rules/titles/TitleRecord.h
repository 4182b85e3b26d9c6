#pragma once

#include "data/Connection.h"
#include "marc/Marc.h"
#include "rules/receipt/Pattern.h"
#include "rules/records/TitleStore.h"

#include <QDate>
#include <functional>

namespace titles {

// What goes into a title's MARC 21 record beside the title's own row.
struct RecordExtras {
    QString holdings;      // the summary holdings (866)
    QString frequencyText; // the frequency as the code table words it, for the Thai series' 310
    QString organization;  // the library's MARC organization code (003, 040, 852); may be empty
    QDate entered;         // 008's date entered on file when the title has no start date
};

// A MARC 21 bibliographic record for a continuing resource: leader, 001, 003, 008 (frequency,
// regularity, kind, language), 022, 040, 210, 245, 246, 247, 260, 310, 852 and 866.
marc::Record titleRecord(const records::Title& t, const RecordExtras& extras);
// A MARC 21 holdings record of the title's issues (leader/06 "y"): 001 its own number, 004 the
// title's 001, 008, 852 where it is kept, 853 the captions and pattern from the title's
// publication pattern (volume and number, year and month, the frequency, the months without an
// issue and the combined issues), 863 what is held as runs of issues that follow on (a gap
// between two marked), and 866 the textual holdings. `issues` oldest first.
marc::Record holdingsRecord(const records::Title& t, const QList<receipt::IssueSeen>& issues,
                            const receipt::Pattern& pattern, const RecordExtras& extras);

// The characters a catalogue skips when it files a title (245's second indicator): an English
// initial article with its space ("The " 4, "An " 3, "A " 2); none for a Thai title.
int nonfilingCharacters(const QString& title, bool thai);

// A title's fields as a record gives them, for a person to review before saving.
struct ImportedTitle {
    records::Title title; // name, parallel, former and short names, ISSN, language, frequency
    QString publisherName;
    bool newspaper = false;
    QStringList unmapped; // what the record holds that has no place here, in Thai
    std::optional<receipt::Pattern> pattern; // from its captions and pattern (853), if it has them
};
ImportedTitle importedTitle(const marc::Record& r);

// The titles chosen for export: all, one series (J, I, K, L), those with a change since a date
// (an issue received, a subscription dated, on or after it), or a single title.
struct ExportChoice {
    QChar series;
    QDate since;
    QString pointer;
    bool holdings = false; // holdings records instead of bibliographic ones
};
// Reads each chosen title with its holdings and makes its record; `progress` is told how many
// are done of how many, and stops the work when it says false.
QList<marc::Record> exportRecords(data::Connection& c, const ExportChoice& choice, const QString& organization,
                                  const std::function<bool(int, int)>& progress = {});

} // namespace titles
