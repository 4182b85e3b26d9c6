#pragma once

#include "data/Connection.h"
#include "data/Refused.h"
#include "rules/records/IssueStore.h"

#include <QList>
#include <QString>
#include <optional>
#include <stdexcept>

namespace volumes {

// A bound volume as stored: its registration number, call number and issues, oldest first.
struct Volume {
    QString regno;
    QString callno;
    QString pointer; // the title of its first issue; empty when it holds none
    QList<records::Issue> issues;
};

// "B" and the volume number with at least six digits.
QString regnoText(qint64 number);
// The volume number of a registration number ("B000012" → 12; none counts as 0).
qint64 regnoNumber(const QString& regno);

namespace VolumeStore {

// The registration number the next new volume is expected to get (nothing is reserved).
QString expectedRegno(data::Connection& c);
// A title's issues not bound into a volume, newest issue date first.
QList<records::Issue> unboundIssues(data::Connection& c, const QString& pointer);
std::optional<Volume> find(data::Connection& c, const QString& regno);
// Volumes whose call number begins with the trimmed text (characters, matched literally):
// registration number and call number.
QList<QPair<QString, QString>> byCallNumber(data::Connection& c, const QString& prefix);
// The nearest stored volume number after (before) `number`, below the counter (above 0).
std::optional<QString> neighbour(data::Connection& c, qint64 number, bool forward);

// A new volume of the issues `magnos`: the number is taken from the counter under a lock, the
// issues are marked bound, the volume row written and the counter advanced, all in one
// transaction. Gives the registration number used. Refused (data::Refused) before anything is
// written: no issues, issues bound meanwhile by another station or gone, a counter that gives
// no number.
data::Saved<QString> add(data::Connection& c, const QStringList& magnos, const QString& callno);
// A stored volume's call number, and the issues added to it, in one transaction; false when
// the volume is gone (nothing written then); refused when it would hold no issue. `held`: the issues it held when it was shown; one
// another station released from it meanwhile is not bound again behind its back.
bool update(data::Connection& c, const QString& regno, const QStringList& magnos, const QString& callno,
            const QStringList& held = {});
// The reason of a refusal because another station changed or deleted the issues: each one is
// named with what became of it, and the volume is best shown again as it now stands.
constexpr int ChangedElsewhere = 1;
// Takes one issue out of a stored volume (it can be bound again) and stores the volume's new
// call number, in one transaction.
void release(data::Connection& c, const QString& regno, const QString& magno, const QString& callno);

} // namespace VolumeStore

} // namespace volumes
