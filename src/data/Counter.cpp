#include "data/Counter.h"

#include <QRegularExpression>
#include <QThread>

namespace data {

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

QString takeCounter(Connection& c, const CounterColumn& counter, const std::function<QString(const QString&)>& advance,
                    const std::function<void(const QString&)>& use) {
    checkIdentifier(counter.table);
    checkIdentifier(counter.column);
    const QString select = QStringLiteral("SELECT %1 FROM %2 LIMIT 1 FOR UPDATE").arg(counter.column, counter.table);
    const QString update = QStringLiteral("UPDATE %1 SET %2 = ? LIMIT 1").arg(counter.table, counter.column);
    QString taken;
    retryingTransaction(c, [&] {
        const Result r = c.query(select);
        if (r.isEmpty())
            throw DbError(0, QStringLiteral("02000"),
                          QStringLiteral("ไม่พบแถวของตัวนับ %1 กรุณาติดต่อผู้ดูแลระบบ").arg(counter.table));
        const QString current = r.text(0, 0).trimmed();
        const QString next = advance(current);
        use(current);
        c.exec(update, {next});
        taken = current;
    });
    return taken;
}

void retryingTransaction(Connection& c, const std::function<void()>& unit) {
    constexpr int attempts = 5;
    for (int attempt = 1;; ++attempt) {
        try {
            Transaction tx(c);
            unit();
            tx.commit();
            return;
        } catch (const DbError& e) {
            if (!e.retryableLock() || attempt == attempts)
                throw;
            QThread::msleep(10 * attempt);
        }
    }
}

} // namespace data
