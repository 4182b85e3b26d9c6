#include "ReceiptPerDate.h"

namespace testsupport {

QList<receipt::MissingIssue> receiptCheckPerDate(data::Connection& c, const QDate& from, const QDate& to) {
    using namespace receipt;
    QList<MissingIssue> out;
    for (const ReceiptCheck::Title& t : ReceiptCheck::titlesToCheck(c)) {
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
        ReceiptCheck::stepThrough(
            t, anchor, from, to,
            [&](const QDate& after, const QDate& upTo) {
                return !c.query(u"SELECT 1 FROM tranfile WHERE pointer = ? AND daily > ? AND daily <= ? LIMIT 1"_s,
                                {t.pointer, after, upTo})
                            .isEmpty();
            },
            out);
    }
    return out;
}

} // namespace testsupport
