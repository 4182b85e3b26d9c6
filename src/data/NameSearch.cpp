#include "data/NameSearch.h"
#include "data/Like.h"
#include "data/LookUp.h"
#include "data/SaveGate.h"

#include "data/DbError.h"

#include <QElapsedTimer>
#include <QHash>
#include <algorithm>
#include <mutex>
#include <optional>

namespace data {

namespace {
// Looking a candidate title up costs about as much as reading 25 names in order: the pieces
// are used while the rarest counted one is held by fewer titles than a 25th of the catalogue,
// at least 1,000 and at most 8,000 (each piece is counted that far and no further).
constexpr qint64 namesPerLookup = 25;

// That bound, from the server's estimate of the searched table's size, asked again every ten
// minutes: it only decides how the rows are found, never which.
qint64 candidateBound(Connection& c, const PieceTable& t) {
    struct Known {
        qint64 bound = 0;
        QElapsedTimer asked;
    };
    static std::mutex lock;
    static QHash<QString, Known> known;
    const std::lock_guard<std::mutex> hold(lock);
    Known& k = known[QLatin1String(t.table)];
    if (k.bound == 0 || k.asked.hasExpired(10 * 60 * 1000)) {
        const Result r = c.query(QStringLiteral("SELECT TABLE_ROWS FROM information_schema.TABLES WHERE "
                                                "TABLE_SCHEMA = DATABASE() AND TABLE_NAME = ?"),
                                 {QString::fromLatin1(t.rows)});
        k.bound = qBound<qint64>(1000, r.value(0, 0).toLongLong() / namesPerLookup, qint64(8000));
        k.asked.start();
    }
    return k.bound;
}

// A piece table missing (a database not yet migrated) is met as if its pieces were not kept.
template <typename F> bool whereKept(F&& f) {
    try {
        f();
        return true;
    } catch (const DbError& e) {
        if (e.kind() != DbError::Kind::NoSuchTable)
            throw;
        return false;
    }
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

const PieceTable titleNames{"magazine_gram", "Pointer", "magazine", "Magazine_Name", "magazine"};
// An article's title holds several words, whose joins are rarer than the words' own pieces.
const PieceTable articleTitles{"article_gram", "article_no", "article", "Article_Name", "article", 8};
const PieceTable subjectTexts{"msubject_gram", "subject", "(SELECT subject FROM msubject GROUP BY subject)", "subject",
                              "msubject"};

void keepPieces(Connection& c, const PieceTable& t, const QString& key, const QString& text, bool replacing) {
    if (replacing)
        dropPieces(c, t, key);
    QStringList pieces = namePieces(text);
    // A text longer than the database's triggers make pieces of is marked as such, as they do.
    if (text.toUcs4().size() > longestPieced)
        pieces << QString();
    if (pieces.isEmpty())
        return;
    Params values;
    for (const QString& p : pieces)
        values << p << key;
    // Pieces equal in the collation ("ab", "AB") share one row, as they do in the rebuild; a
    // piece the database's trigger wrote already is met and left.
    whereKept([&] {
        write(c, QLatin1String(t.table),
              QStringLiteral("INSERT INTO %1 (gram, %2) VALUES %3 ON DUPLICATE KEY UPDATE %2 = VALUES(%2)")
                  .arg(QLatin1String(t.table), QLatin1String(t.key),
                       QStringList(pieces.size(), QStringLiteral("(?, ?)")).join(QStringLiteral(", "))),
              values);
    });
}

void dropPieces(Connection& c, const PieceTable& t, const QString& key) {
    dropPiecesOf(c, t, {QStringLiteral("?"), {key}});
}

void dropPiecesOf(Connection& c, const PieceTable& t, const Condition& keys) {
    whereKept([&] {
        write(c, QLatin1String(t.table),
              QStringLiteral("DELETE FROM %1 WHERE %2 IN (%3)")
                  .arg(QLatin1String(t.table), QLatin1String(t.key), keys.sql),
              keys.values);
    });
}

// Pieces a text holds more than once, or that the collation takes for one ("ab", "AB"), are
// kept once: the insert meets its own earlier row and leaves it. (No DISTINCT: sorting millions
// of pieces for it costs more than meeting the few repeats.)
QString piecesOfEveryText(const PieceTable& t) {
    return QStringLiteral("WITH RECURSIVE piece (i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM piece WHERE i < %4) "
                          "SELECT IF(p.i = %4, '', SUBSTRING(s.%1, p.i, 2)) AS gram, s.%2 AS `key` FROM %3 s "
                          "JOIN piece p ON p.i < CHAR_LENGTH(s.%1)")
        .arg(QLatin1String(t.text), QLatin1String(t.key), QLatin1String(t.source))
        .arg(longestPieced);
}

QStringList piecesRebuild(const PieceTable& t) {
    const QString table = QLatin1String(t.table), key = QLatin1String(t.key);
    return {QStringLiteral("DELETE FROM %1").arg(table),
            QStringLiteral("INSERT INTO %1 (gram, %2) %3 ON DUPLICATE KEY UPDATE %2 = %1.%2")
                .arg(table, key, piecesOfEveryText(t))};
}

std::optional<Condition> candidates(Connection& c, const PieceTable& t, const QString& text) {
    const QString table = QLatin1String(t.table), key = QLatin1String(t.key);
    const QStringList pieces = namePieces(text);
    if (pieces.isEmpty())
        return std::nullopt;
    const qint64 mostCandidates = candidateBound(c, t);
    QStringList counted;
    const int n = int(qMin<qsizetype>(pieces.size(), t.counted));
    for (int k = 0; k < n; ++k) {
        const QString& p = pieces.at(n == 1 ? 0 : k * (pieces.size() - 1) / (n - 1));
        if (!counted.contains(p))
            counted << p;
    }
    // How many rows hold each, counted no further than is worth it.
    QStringList counts;
    Params values;
    for (const QString& p : counted) {
        counts << QStringLiteral("(SELECT COUNT(*) FROM (SELECT 1 FROM %1 WHERE gram = ? LIMIT %2) x)")
                      .arg(table)
                      .arg(mostCandidates);
        values << p;
    }
    Result r;
    if (!whereKept([&] { r = lookUp(c, QStringLiteral("SELECT ") + counts.join(QStringLiteral(", ")), values); }))
        return std::nullopt; // a database not yet migrated has no pieces: every row is read, as before
    QList<QPair<qint64, QString>> byCount;
    for (int k = 0; k < counted.size(); ++k)
        byCount.append({r.value(0, k).toLongLong(), counted.at(k)});
    std::sort(byCount.begin(), byCount.end());
    if (byCount.first().first >= mostCandidates)
        return std::nullopt; // every piece is common: reading the rows in order is quicker
    // The rarest piece alone gives the candidates: joining the next piece's keys to thin them
    // measured slower than trying the text on each candidate, also where few of them hold both.
    // With the texts too long to have all their pieces kept (the empty piece marks them).
    return Condition{QStringLiteral("SELECT %1 FROM %2 WHERE gram IN (?, '')").arg(key, table),
                     {byCount.first().second}};
}

Condition containsText(Connection& c, const PieceTable& t, const QString& text, const QString& alias) {
    Condition out{QStringLiteral("%1.%2 LIKE ?").arg(alias, QLatin1String(t.text)), {likeContains(text)}};
    if (const auto keys = candidates(c, t, text)) {
        out.sql = QStringLiteral("%1.%2 IN (%3) AND ").arg(alias, QLatin1String(t.key), keys->sql) + out.sql;
        out.values = keys->values + out.values;
    }
    return out;
}

} // namespace data
