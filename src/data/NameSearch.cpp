#include "data/NameSearch.h"

#include "data/DbError.h"

#include <QElapsedTimer>
#include <algorithm>
#include <mutex>

namespace data {

namespace {
// Pieces whose titles are counted per search (the first, the last and some between).
constexpr int piecesCounted = 4;
// Looking a candidate title up costs about as much as reading 25 names in order: the pieces
// are used while the rarest counted one is held by fewer titles than a 25th of the catalogue,
// at least 1,000 and at most 8,000 (each piece is counted that far and no further).
constexpr qint64 namesPerLookup = 25;

// That bound, from the server's estimate of the catalogue's size, asked again every ten
// minutes: it only decides how the rows are found, never which.
qint64 candidateBound(Connection& c) {
    static std::mutex lock;
    static qint64 bound = 0;
    static QElapsedTimer asked;
    const std::lock_guard<std::mutex> hold(lock);
    if (bound == 0 || asked.hasExpired(10 * 60 * 1000)) {
        const Result r = c.query(QStringLiteral("SELECT TABLE_ROWS FROM information_schema.TABLES WHERE "
                                                "TABLE_SCHEMA = DATABASE() AND TABLE_NAME = 'magazine'"));
        bound = qBound<qint64>(1000, r.value(0, 0).toLongLong() / namesPerLookup, qint64(8000));
        asked.start();
    }
    return bound;
}
} // namespace

QStringList namePieces(const QString& text) {
    const QList<uint> chars = text.toUcs4();
    QStringList out;
    for (qsizetype i = 0; i + 1 < chars.size(); ++i) {
        const char32_t pair[2] = {chars.at(i), chars.at(i + 1)};
        const QString piece = QString::fromUcs4(pair, 2);
        if (!out.contains(piece))
            out << piece;
    }
    return out;
}

void keepNamePieces(Connection& c, const QString& pointer, const QString& name, bool replacing) {
    try {
        if (replacing)
            dropNamePieces(c, pointer);
        const QStringList pieces = namePieces(name);
        if (pieces.isEmpty())
            return;
        Params values;
        for (const QString& p : pieces)
            values << p << pointer;
        // Pieces equal in the collation ("ab", "AB") share one row, as the rebuild's DISTINCT has it.
        c.exec(QStringLiteral("INSERT INTO magazine_gram (gram, Pointer) VALUES %1 "
                              "ON DUPLICATE KEY UPDATE Pointer = VALUES(Pointer)")
                   .arg(QStringList(pieces.size(), QStringLiteral("(?, ?)")).join(QStringLiteral(", "))),
               values);
    } catch (const DbError& e) {
        if (e.nativeCode() != 1146)
            throw;
    }
}

void dropNamePieces(Connection& c, const QString& pointer) {
    try {
        c.exec(QStringLiteral("DELETE FROM magazine_gram WHERE Pointer = ?"), {pointer});
    } catch (const DbError& e) {
        if (e.nativeCode() != 1146)
            throw;
    }
}

// Pieces a name holds more than once, or that the collation takes for one ("ab", "AB"), are
// kept once: the insert meets its own earlier row and leaves it. (No DISTINCT: sorting millions
// of pieces for it costs more than meeting the few repeats.)
const QString piecesOfEveryName =
    QStringLiteral("WITH RECURSIVE piece (i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM piece WHERE i < 254) "
                   "SELECT SUBSTRING(m.Magazine_Name, p.i, 2) AS gram, m.Pointer FROM magazine m "
                   "JOIN piece p ON p.i < CHAR_LENGTH(m.Magazine_Name)");

QStringList namePiecesRebuild() {
    return {QStringLiteral("DELETE FROM magazine_gram"),
            QStringLiteral("INSERT INTO magazine_gram (gram, Pointer) %1 ON DUPLICATE KEY UPDATE Pointer = "
                           "magazine_gram.Pointer")
                .arg(piecesOfEveryName)};
}

Condition titleNameContains(Connection& c, const QString& text, const QString& alias) {
    Condition out{QStringLiteral("%1.Magazine_Name LIKE ?").arg(alias), {likeContains(text)}};
    const QStringList pieces = namePieces(text);
    if (pieces.isEmpty())
        return out;
    const qint64 mostCandidates = candidateBound(c);
    QStringList counted;
    const int n = int(qMin<qsizetype>(pieces.size(), piecesCounted));
    for (int k = 0; k < n; ++k) {
        const QString& p = pieces.at(n == 1 ? 0 : k * (pieces.size() - 1) / (n - 1));
        if (!counted.contains(p))
            counted << p;
    }
    // How many titles hold each, counted no further than is worth it.
    QStringList counts;
    Params values;
    for (const QString& p : counted) {
        counts << QStringLiteral("(SELECT COUNT(*) FROM (SELECT 1 FROM magazine_gram WHERE gram = ? LIMIT %1) x)")
                      .arg(mostCandidates);
        values << p;
    }
    Result r;
    try {
        r = c.query(QStringLiteral("SELECT ") + counts.join(QStringLiteral(", ")), values);
    } catch (const DbError& e) {
        if (e.nativeCode() != 1146)
            throw;
        return out; // a database not yet migrated has no pieces: every name is read, as before
    }
    QList<QPair<qint64, QString>> byCount;
    for (int k = 0; k < counted.size(); ++k)
        byCount.append({r.value(0, k).toLongLong(), counted.at(k)});
    std::sort(byCount.begin(), byCount.end());
    if (byCount.first().first >= mostCandidates)
        return out; // every piece is common: reading the names in order is quicker
    // The rarest piece gives the candidates; the next one, when rare too, thins them by key.
    QString from = QStringLiteral("magazine_gram g0");
    values = {};
    if (byCount.size() > 1 && byCount.at(1).first < mostCandidates) {
        from += QStringLiteral(" JOIN magazine_gram g1 ON g1.Pointer = g0.Pointer AND g1.gram = ?");
        values << byCount.at(1).second;
    }
    values << byCount.first().second << out.values;
    out.sql =
        QStringLiteral("%1.Pointer IN (SELECT g0.Pointer FROM %2 WHERE g0.gram = ?) AND ").arg(alias, from) + out.sql;
    out.values = values;
    return out;
}

} // namespace data
