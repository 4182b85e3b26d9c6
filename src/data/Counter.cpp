#include "data/Counter.h"
#include "data/SaveGate.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>

namespace data {

std::optional<qint64> leadingDigits(const QString& text) {
    qsizetype at = 0;
    while (at < text.size() && text.at(at).isSpace())
        ++at;
    qint64 value = 0;
    int digits = 0;
    for (; at < text.size() && digits < 18 && text.at(at).unicode() >= '0' && text.at(at).unicode() <= '9';
         ++at, ++digits)
        value = value * 10 + (text.at(at).unicode() - '0');
    return digits == 0 ? std::nullopt : std::optional<qint64>(value);
}

qint64 leadingNumber(const QString& text) {
    return leadingDigits(text).value_or(0);
}

std::optional<qint64> counterValue(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 18)
        return std::nullopt;
    for (const QChar ch : t)
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return std::nullopt;
    return t.toLongLong();
}

std::optional<QString> nextCounterText(const QString& text) {
    const auto v = counterValue(text);
    if (!v)
        return std::nullopt;
    return QString::number(*v + 1);
}

namespace {

void checkIdentifier(const QString& name) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!plain.match(name).hasMatch())
        throw DbError(0, QStringLiteral("42000"), QStringLiteral("bad counter name %1").arg(name));
}

} // namespace

QString advanceDecimal(const CounterColumn& counter, const QString& current) {
    if (const auto next = nextCounterText(current))
        return *next;
    throw DbError(0, QStringLiteral("22018"),
                  QStringLiteral("ตัวนับ %1 มีค่า \"%2\" ซึ่งไม่ใช่ตัวเลข กรุณาแก้ไขก่อนบันทึก").arg(counter.table, current));
}

Saved<QString> takeCounter(Connection& c, const CounterColumn& counter,
                           const std::function<QString(const QString&)>& advance,
                           const std::function<void(const QString&)>& use,
                           const std::function<bool(const QString& number)>& landed) {
    checkIdentifier(counter.table);
    checkIdentifier(counter.column);
    const QString select = QStringLiteral("SELECT %1 FROM %2 LIMIT 1 FOR UPDATE").arg(counter.column, counter.table);
    const QString update = QStringLiteral("UPDATE %1 SET %2 = ? LIMIT 1").arg(counter.table, counter.column);
    QString taken;
    const Commit commit = retryingTransaction(
        c,
        [&] {
            const Result r = c.query(select);
            if (r.isEmpty())
                throw DbError(0, QStringLiteral("02000"),
                              QStringLiteral("ไม่พบแถวของตัวนับ %1 กรุณาติดต่อผู้ดูแลระบบ").arg(counter.table));
            const QString current = counter.proper ? counter.proper(r.text(0, 0).trimmed()) : r.text(0, 0).trimmed();
            const QString next = advance(current);
            use(current);
            write(c, counter.table, update, {next});
            taken = current;
        },
        landed ? LandedCheck([&] { return landed(taken); }) : LandedCheck());
    return {taken, commit};
}

namespace {

// After a commit that was cut off: was it written after all? Throws unless it was.
Commit settleCutCommit(const DbError& cut, const LandedCheck& landed) {
    const QString unknown = QStringLiteral("การเชื่อมต่อฐานข้อมูลขาดขณะยืนยันการบันทึก จึงไม่ทราบว่าข้อมูลถูกบันทึกแล้วหรือไม่ "
                                           "กรุณาค้นหาข้อมูลนี้ก่อนบันทึกอีกครั้ง เพื่อไม่ให้บันทึกซ้ำ\n%1")
                                .arg(cut.describe());
    if (!landed)
        throw DbError(cut.nativeCode(), cut.sqlState(), unknown).markOutcomeUnknown();
    bool found = false;
    try {
        found = landed(); // the connection is reopened for it
    } catch (const DbError&) {
        throw DbError(cut.nativeCode(), cut.sqlState(), unknown).markOutcomeUnknown();
    }
    if (!found)
        throw DbError(cut.nativeCode(), cut.sqlState(),
                      QStringLiteral("การเชื่อมต่อฐานข้อมูลขาดขณะยืนยันการบันทึก ตรวจสอบแล้ว: ข้อมูลไม่ได้ถูกบันทึก "
                                     "กรุณาบันทึกอีกครั้ง\n%1")
                          .arg(cut.describe()));
    return Commit::FoundAfterCut;
}

} // namespace

void numberTaken(Connection& c, const QString& text, const std::function<void(const QString&)>& refuse) {
    if (c.onCluster())
        throw DbError(1062, QStringLiteral("23000"), text);
    refuse(text);
    throw DbError(1062, QStringLiteral("23000"), text); // `refuse` always throws
}

Commit retryingTransaction(Connection& c, const std::function<void()>& unit, const LandedCheck& landed) {
    // The pause between attempts grows and varies, so stations that collided do not collide
    // again in step.
    for (int attempt = 1;; ++attempt) {
        try {
            Transaction tx(c);
            unit();
            tx.commit();
            return Commit::Answered;
        } catch (const DbError& e) {
            if (e.outcomeUnknown())
                return settleCutCommit(e, landed);
            // On a cluster two nodes may hand the same counter row to two stations: the second
            // commit is refused (1213), or its insert meets the first one's number (1062); and a
            // node that goes away before COMMIT leaves nothing written, the next node takes the
            // whole unit. Collisions are common there, so more attempts are allowed.
            const bool cluster = c.onCluster();
            // A node cut off from the cluster's primary part refuses to replicate (1180):
            // nothing was written; the unit goes to another node.
            const bool cutOff = cluster && e.kind() == DbError::Kind::ClusterCutOff;
            if (cutOff)
                c.close();
            const bool again = e.retryableLock() || cutOff ||
                               (cluster && (e.kind() == DbError::Kind::Duplicate || e.connectionLost()));
            if (!again || attempt == (cluster ? 30 : 10))
                throw;
            ++stats::transactionRetries;
            QThread::msleep(10 * qMin(attempt, 10) + QRandomGenerator::global()->bounded(10 * qMin(attempt, 10)));
        }
    }
}

} // namespace data
