#include "survey/Survey.h"

#include "data/Counter.h"
#include "data/Dates.h"
#include "data/ReadAhead.h"
#include "records/IssueStore.h"
#include "reports/Flow.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <cmath>

namespace survey {

double leadingValue(const QString& text) {
    // Scanned rather than matched by a pattern: the survey reads two of these for each of up to
    // a million issues. A sign, digits, a point and digits, at least one digit (0-9 only).
    const QStringView t = QStringView(text).trimmed();
    const auto digitsFrom = [&](qsizetype i) {
        while (i < t.size() && t[i] >= u'0' && t[i] <= u'9')
            ++i;
        return i;
    };
    const qsizetype start = !t.isEmpty() && (t[0] == u'+' || t[0] == u'-') ? 1 : 0;
    qsizetype end = digitsFrom(start);
    const bool whole = end > start;
    if (end < t.size() && t[end] == u'.' && (whole || digitsFrom(end + 1) > end + 1))
        end = digitsFrom(end + 1);
    else if (!whole)
        return 0;
    return t.left(end).toDouble();
}

namespace {

// The columns an issue statement reads, in this order; the title's name last or from `names`.
const QString issueColumns = QStringLiteral("m.Pointer, t.magno, t.yearno, t.itemsno, t.DescriptionItem");
using Names = QHash<QString, QString>;

SurveyRow surveyRow(const QVariantList& row, const Names& names) {
    const QString pointer = row.at(0).toString();
    return {names.isEmpty() ? row.at(5).toString() : names.value(pointer), leadingValue(row.at(2).toString()),
            leadingValue(row.at(3).toString()), row.at(4).toString(), pointer};
}

// The registration number as the issue counter writes it: digits alone, no leading zero.
std::optional<qint64> plainNumber(const QString& magno) {
    const auto v = data::counterValue(magno);
    return v && QString::number(*v) == magno ? v : std::nullopt;
}

// Survey rows handed on a block of at most
// `titlesPerBlock` whole titles at a time, each title's issues newest number first. The
// server's ordering by number costs more than the read itself, so numbers the counter wrote
// are ordered here; given a number of any other form this hands on nothing and gives false,
// for the statement to be run with the server's ordering (`serverOrdered`).
bool handOn(const data::Result& r, const Names& names, const SurveyBlock& take, int titlesPerBlock,
            bool serverOrdered) {
    std::vector<qint64> numbers(size_t(r.rowCount()));
    for (int i = 0; i < r.rowCount() && !serverOrdered; ++i) {
        const auto n = plainNumber(r.text(i, 1));
        if (!n)
            return false;
        numbers[size_t(i)] = *n;
    }
    QList<SurveyRow> rows;
    std::vector<int> title;
    int titles = 0;
    for (int i = 0; i < r.rowCount();) {
        title.clear();
        for (const QString pointer = r.text(i, 0); i < r.rowCount() && r.text(i, 0) == pointer; ++i)
            title.push_back(i);
        if (!serverOrdered)
            std::sort(title.begin(), title.end(),
                      [&](int a, int b) { return numbers[size_t(a)] > numbers[size_t(b)]; });
        if (++titles > titlesPerBlock) {
            take(rows);
            rows.clear();
            titles = 1;
        }
        for (const int k : title)
            rows.append(surveyRow(r.rows.at(k), names));
    }
    if (!rows.isEmpty())
        take(rows);
    return true;
}

} // namespace

QList<SurveyRow> surveyRows(data::Connection& c, QChar group, const QDate& from, const QDate& to) {
    QList<SurveyRow> out;
    readSurvey(c, group, from, to, [&](const QList<SurveyRow>& block) { out += block; });
    return out;
}

namespace {

void readBlocks(data::Connection& c, QChar group, const QDate& from, const QDate& to, const SurveyBlock& take,
                int titlesPerBlock, qint64 byDateUpTo) {
    const QString prefix = QString(group) + QLatin1Char('%');
    const auto readOrdered = [&](const QString& sql, const data::Params& params, const Names& names = {}) {
        if (!handOn(c.query(sql + QStringLiteral(" ORDER BY m.Pointer"), params), names, take, titlesPerBlock, false))
            handOn(c.query(sql + QStringLiteral(" ORDER BY m.Pointer, ") + records::newestNumberFirst(QStringLiteral("t")),
                           params),
                   names, take, titlesPerBlock, true);
    };
    // One transaction, read only: every statement reads the same snapshot of the database, as
    // one statement over everything would, whatever other stations save meanwhile.
    data::Transaction snapshot(c);
    // A short period (a month) holds few of the group's issues: they are read by date from the
    // date index, which holds what the survey shows, and handed on a block of titles at a time.
    // Each is then looked up in the titles, about five times the cost of an issue read in a
    // title's walk, so past 30,000 (a year of the large set: 86,539) walking the titles is
    // quicker. The count stops past the bound, so asking costs little however long the period.
    const qint64 inPeriod = byDateUpTo <= 0
                                ? 1
                                : c.query(QStringLiteral("SELECT COUNT(*) FROM (SELECT 1 FROM tranfile WHERE indate "
                                                         "BETWEEN ? AND ? AND pointer LIKE ? LIMIT %1) x")
                                              .arg(byDateUpTo + 1),
                                          {from, to, prefix})
                                      .value(0, 0)
                                      .toLongLong();
    if (inPeriod <= byDateUpTo) {
        readOrdered(QStringLiteral("SELECT %1, m.Magazine_Name FROM tranfile t STRAIGHT_JOIN magazine m ON m.Pointer = t.pointer WHERE t.indate "
                                   "BETWEEN ? AND ? AND t.pointer LIKE ? AND m.Receive_Code = '1' AND m.Pointer LIKE ?")
                        .arg(issueColumns),
                    {from, to, prefix, prefix});
        snapshot.commit();
        return;
    }
    // A long period: the group's received titles are taken in key order a block at a time, then
    // the issues of the block's key range, so every statement reads a bounded part. The names
    // come with the titles, not once for every issue.
    const QString titles = QStringLiteral("SELECT Pointer, Magazine_Name FROM magazine WHERE Receive_Code = '1' AND Pointer LIKE ? "
                                          "AND Pointer > ? ORDER BY Pointer LIMIT %1")
                               .arg(titlesPerBlock);
    const QString issues =
        QStringLiteral("SELECT %1 FROM magazine m JOIN tranfile t ON t.pointer = m.Pointer WHERE m.Receive_Code = '1' "
                       "AND m.Pointer LIKE ? AND m.Pointer BETWEEN ? AND ? AND t.indate BETWEEN ? AND ?")
            .arg(issueColumns);
    QString after = QStringLiteral("");
    for (;;) {
        const data::Result block = c.query(titles, {prefix, after});
        if (block.isEmpty())
            break;
        const QString first = block.text(0, 0), last = block.text(block.rowCount() - 1, 0);
        Names names;
        for (const QVariantList& title : block.rows)
            names.insert(title.at(0).toString(), title.at(1).toString());
        readOrdered(issues, {prefix, first, last, from, to}, names);
        if (block.rowCount() < titlesPerBlock)
            break;
        after = last;
    }
    snapshot.commit();
}

} // namespace

void readSurvey(data::Connection& c, QChar group, const QDate& from, const QDate& to, const SurveyBlock& take,
                int titlesPerBlock, qint64 byDateUpTo) {
    // The server reads the next blocks while the caller stages and lays out the last.
    data::readAhead<QList<SurveyRow>>(
        [&](const std::function<void(QList<SurveyRow>)>& put) {
            readBlocks(c, group, from, to, put, titlesPerBlock, byDateUpTo);
        },
        take);
}

QString surveyFile(const QString& folder) {
    return QDir(folder).filePath(QStringLiteral("printmag.db"));
}

struct SurveyStaging::Open {
    QSqlDatabase db;
    QSqlQuery insert, insertMany;
};

SurveyStaging::SurveyStaging(const QString& folder)
    : file_(surveyFile(folder)),
      connection_(QStringLiteral("survey-") + QUuid::createUuid().toString(QUuid::WithoutBraces)) {
    if (!QDir(folder).exists()) {
        error_ = QStringLiteral("ไม่พบโฟลเดอร์ %1").arg(folder);
        return;
    }
    open_ = std::make_unique<Open>();
    open_->db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    QSqlDatabase& db = open_->db;
    db.setDatabaseName(file_);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
    open_->insert = QSqlQuery(db);
    QSqlQuery& q = open_->insert;
    if (!db.open())
        error_ = db.lastError().text();
    else if (!q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS rep_jn_servey (magazine_name TEXT, yearno REAL, "
                                    "itemsno REAL, DescriptionItem TEXT)")))
        error_ = q.lastError().text();
    else if (!db.transaction())
        error_ = db.lastError().text();
    else if (!q.exec(QStringLiteral("DELETE FROM rep_jn_servey")) ||
             !q.prepare(QStringLiteral("INSERT INTO rep_jn_servey VALUES (?, ?, ?, ?)")))
        error_ = q.lastError().text();
    open_->insertMany = QSqlQuery(db);
    QStringList many(100, QStringLiteral("(?, ?, ?, ?)"));
    if (error_.isEmpty() && !open_->insertMany.prepare(QStringLiteral("INSERT INTO rep_jn_servey VALUES ") + many.join(QLatin1Char(','))))
        error_ = open_->insertMany.lastError().text();
}

SurveyStaging::~SurveyStaging() {
    if (open_) {
        if (open_->db.isOpen())
            open_->db.rollback(); // nothing if committed
        open_->insert.finish();
        open_->insertMany.finish();
        open_->db.close();
        open_.reset();
        QSqlDatabase::removeDatabase(connection_);
    }
}

void SurveyStaging::add(const QList<SurveyRow>& rows) {
    if (!open_)
        return;
    // A statement per row costs more than the row: rows go a hundred to a statement.
    constexpr qsizetype perStatement = 100;
    for (qsizetype first = 0; first < rows.size() && error_.isEmpty(); first += perStatement) {
        const qsizetype n = qMin(perStatement, rows.size() - first);
        QSqlQuery& q = n == perStatement ? open_->insertMany : open_->insert;
        for (qsizetype i = first; i < first + n; ++i) {
            const SurveyRow& r = rows.at(i);
            q.addBindValue(r.magazineName);
            q.addBindValue(r.yearno);
            q.addBindValue(r.itemsno);
            q.addBindValue(r.description);
            if (n < perStatement && !q.exec())
                error_ = q.lastError().text();
        }
        if (n == perStatement && !q.exec())
            error_ = q.lastError().text();
    }
}

bool SurveyStaging::commit(QString* error) {
    if (error_.isEmpty() && !open_->db.commit())
        error_ = open_->db.lastError().text();
    if (!error_.isEmpty())
        *error = QStringLiteral("เขียนแฟ้มพักข้อมูล %1 ไม่ได้: %2").arg(file_, error_);
    return error_.isEmpty();
}

bool stageSurvey(const QString& folder, const QList<SurveyRow>& rows, QString* error) {
    SurveyStaging staging(folder);
    staging.add(rows);
    return staging.commit(error);
}

reports::Document surveyReport(const QList<SurveyRow>& rows, QChar group, const QDate& from, const QDate& to) {
    SurveyReport report(group, from, to);
    report.add(rows);
    return report.finish();
}

namespace {
// As QString::number(v, 'g', 12), whole numbers of up to twelve digits without its costly
// general conversion (they are nearly all of them).
QString number(double v) {
    if (std::abs(v) < 1e12 && v == std::trunc(v) && !std::signbit(v))
        return QString::number(qint64(v));
    return QString::number(v, 'g', 12);
}
} // namespace

SurveyReport::SurveyReport(QChar group, const QDate& from, const QDate& to) : english_(group == QLatin1Char('J')) {
    const QString period = english_ ? QStringLiteral("Foreign-language journals received from %1 to %2")
                                    : QStringLiteral("วารสารภาษาไทยที่ได้รับระหว่างวันที่ %1 ถึง %2");
    flow_ = std::make_unique<reports::Flow>(english_ ? QStringLiteral("Journal Survey Report")
                                                     : QStringLiteral("รายงานสำหรับสำรวจวารสาร"),
                                            QStringList{period.arg(data::formatDate(from), data::formatDate(to))}, 14,
                                            english_ ? QStringLiteral("Page") : QStringLiteral("หน้า"));
    doc_.title = (english_ ? QStringLiteral("Journal survey ") : QStringLiteral("สำรวจวารสาร ")) +
                 from.toString(Qt::ISODate) + QStringLiteral(" - ") + to.toString(Qt::ISODate);
    doc_.csvHeader = {QStringLiteral("magazine_name"), QStringLiteral("yearno"), QStringLiteral("itemsno"),
                      QStringLiteral("DescriptionItem")};
}

SurveyReport::~SurveyReport() = default;

void SurveyReport::handFullPagesTo(std::function<void(const reports::Page&)> take) {
    flow_->handFullPagesTo(std::move(take));
}

void SurveyReport::add(const QList<SurveyRow>& rows) {
    reports::Flow& flow = *flow_;
    for (int i = 0; i < rows.size();) {
        const QString pointer = rows.at(i).pointer;
        flow.line({{0, rows.at(i).magazineName}}, true);
        int n = 0;
        for (; i < rows.size() && rows.at(i).pointer == pointer; ++i, ++n) {
            const SurveyRow& r = rows.at(i);
            flow.line({{600, (english_ ? QStringLiteral("Vol. ") : QStringLiteral("ปีที่ ")) + number(r.yearno)},
                       {2200, (english_ ? QStringLiteral("No. ") : QStringLiteral("ฉบับที่ ")) + number(r.itemsno)},
                       {3800, r.description}});
            QStringList csv{r.magazineName, number(r.yearno), number(r.itemsno), r.description};
            if (takeRow_)
                takeRow_(csv);
            else
                doc_.csvRows.append(std::move(csv));
        }
        flow.line({{6000, english_ ? QStringLiteral("%1 issues").arg(n) : QStringLiteral("รวม %1 ฉบับ").arg(n)}});
        issues_ += n;
        ++titles_;
    }
}

reports::Document SurveyReport::finish() {
    flow_->line({{0, english_ ? QStringLiteral("Total: %1 issues of %2 titles").arg(issues_).arg(titles_)
                              : QStringLiteral("รวมทั้งสิ้น %1 ฉบับ จาก %2 รายชื่อ").arg(issues_).arg(titles_)}},
                true);
    doc_.pages = flow_->pages();
    return std::move(doc_);
}

} // namespace survey
