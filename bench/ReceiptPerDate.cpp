#include "ReceiptPerDate.h"

#include "rules/receipt/IssueNumbers.h"
#include "rules/receipt/Pattern.h"
#include "rules/receipt/PatternStore.h"

namespace testsupport {

QList<receipt::MissingIssue> receiptCheckPerDate(data::Connection& c, const QDate& from, const QDate& to) {
    using namespace receipt;
    QList<MissingIssue> out;
    for (ReceiptCheck::Title t : ReceiptCheck::titlesToCheck(c)) {
        // The months it publishes: as staff set them, else as its issues of the years before show.
        if (t.frequency.interval == u'M' || t.frequency.interval == u'W') {
            const QDate since = qMin(prevIssueDate(t.frequency, prevIssueDate(t.frequency, from)),
                                     from.addYears(t.frequency.count >= 3 ? -3 : -2));
            const data::Result h =
                c.query(u"SELECT daily, TRIM(itemsno) FROM tranfile WHERE pointer = ? AND daily BETWEEN ? AND ? "
                        "ORDER BY daily"_s,
                        {t.pointer, since, nextIssueDate(t.frequency, to)});
            QList<IssueSeen> issues;
            for (int i = 0; i < h.rowCount(); ++i)
                issues.append({h.value(i, 0).toDate(), {}, h.text(i, 1), {}});
            const auto stored = storedPattern(c, t.pointer);
            const std::optional<Frequency> f = t.frequency;
            t.months = stored && stored->isSet() ? stored->months : learnPattern(f, eachIssueOnce(f, issues)).months;
        }
        QDate mark = from, anchor;
        for (int tries = 0; tries < 3 && !anchor.isValid(); ++tries) { // two marks back, then the period
            mark = prevIssueDate(t.frequency, mark);
            const data::Result r = c.query(QStringLiteral("SELECT daily FROM tranfile WHERE pointer = ? AND daily "
                                                          "BETWEEN ? AND ? ORDER BY daily LIMIT 1"),
                                           {t.pointer, tries < 2 ? mark : from, tries < 2 ? from : to});
            if (!r.isEmpty())
                anchor = r.value(0, 0).toDate();
        }
        if (!anchor.isValid())
            continue;
        const auto covers = [&](const QDate& after, const QDate& upTo) {
            const data::Result r = c.query(u"SELECT TRIM(itemsno) FROM tranfile WHERE pointer = ? AND daily > ? "
                                           "AND daily <= ? ORDER BY daily LIMIT 1"_s,
                                           {t.pointer, after, upTo});
            return r.isEmpty() ? 0 : issuesCovered(r.text(0, 0));
        };
        ReceiptCheck::stepThrough(t, anchor, from, to, covers, out, covers(anchor.addDays(-1), anchor));
    }
    return out;
}

} // namespace testsupport
