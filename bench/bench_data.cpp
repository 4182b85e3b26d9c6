// Round trips through the data layer: prepared point SELECT, INSERT in autocommit and
// inside one transaction, and the counter helper. Run by bench/run.sh against its own server.
#include "data/Config.h"
#include "data/Connection.h"
#include "data/Counter.h"
#include "data/SaveGate.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void report(const char* what, std::vector<qint64>& ns) {
    std::sort(ns.begin(), ns.end());
    const double median = ns[ns.size() / 2] / 1000.0;
    const double p95 = ns[ns.size() * 95 / 100] / 1000.0;
    std::printf("%-44s median %8.1f us   p95 %8.1f us   (%zu runs)\n", what, median, p95, ns.size());
}

template <typename F> void measure(const char* what, int runs, F&& f) {
    std::vector<qint64> ns;
    ns.reserve(size_t(runs));
    QElapsedTimer t;
    for (int i = 0; i < runs; ++i) {
        t.start();
        f(i);
        ns.push_back(t.nsecsElapsed());
    }
    report(what, ns);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    try {
        data::Connection c(data::installation().db);
        c.open();
        const data::Result some = c.query(QStringLiteral("SELECT Pointer FROM magazine ORDER BY Pointer LIMIT 1000"));
        if (some.isEmpty())
            throw std::runtime_error("no titles: load the generated data first");
        measure("point SELECT (title by code)", 20000, [&](int i) {
            c.query(QStringLiteral("SELECT * FROM magazine WHERE Pointer = ?"), {some.text(i % some.rowCount(), 0)});
        });
        const auto insertRow = [&](int i) {
            data::write(
                c, QStringLiteral("chk_receive"),
                QStringLiteral(
                    "INSERT INTO chk_receive (Magazine_Name, expect_date, from_date, to_date) VALUES (?, ?, ?, ?)"),
                {QStringLiteral("วารสาร %1").arg(i), QStringLiteral("1 มกราคม 2569"), QDate(2026, 1, 1),
                 QDate(2026, 6, 30)});
        };
        measure("INSERT, autocommit", 2000, insertRow);
        {
            data::Transaction tx(c);
            measure("INSERT inside one transaction", 20000, insertRow);
            tx.commit();
        }
        c.exec(QStringLiteral("DELETE FROM chk_receive"));
        measure("counter take + INSERT, one transaction", 2000, [&](int) {
            data::takeCounter(
                c, {QStringLiteral("jourctrl"), QStringLiteral("magno_ctrl")},
                [](const QString& cur) {
                    return data::advanceDecimal({QStringLiteral("jourctrl"), {}}, cur);
                },
                [&](const QString& number) {
                    data::write(c, QStringLiteral("tranfile"),
                                QStringLiteral("INSERT INTO tranfile (magno, pointer, indate, daily, yearno, itemsno, "
                                               "DescriptionItem, MagStatus) VALUES (?, 'BENCH', CURDATE(), CURDATE(), "
                                               "'57', '12', 'ธันวาคม 2569 ฉบับพิเศษ', 'O')"),
                                {number});
                });
        });
        c.exec(QStringLiteral("DELETE FROM tranfile WHERE pointer = 'BENCH'"));
    } catch (const data::DbError& e) {
        std::fprintf(stderr, "bench_data: %s\n", qPrintable(e.describe()));
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_data: %s\n", e.what());
        return 1;
    }
    return 0;
}
