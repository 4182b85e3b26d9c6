#include "survey/Survey.h"

#include "data/Dates.h"
#include "records/IssueStore.h"
#include "reports/Flow.h"

#include <QDir>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace survey {

double leadingValue(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)"));
    const auto m = number.match(text.trimmed());
    return m.hasMatch() ? m.captured(0).toDouble() : 0;
}

namespace {

SurveyRow surveyRow(const QVariantList& row) {
    return {row.at(0).toString(), leadingValue(row.at(1).toString()), leadingValue(row.at(2).toString()),
            row.at(3).toString(), row.at(4).toString()};
}

// Survey rows (pointer last) handed on a block of at most `titlesPerBlock` whole titles at a time.
void handOn(const data::Result& r, const SurveyBlock& take, int titlesPerBlock) {
    QList<SurveyRow> rows;
    int titles = 0;
    for (int i = 0; i < r.rowCount(); ++i) {
        if ((i == 0 || r.text(i, 4) != r.text(i - 1, 4)) && ++titles > titlesPerBlock) {
            take(rows);
            rows.clear();
            titles = 1;
        }
        rows.append(surveyRow(r.rows.at(i)));
    }
    if (!rows.isEmpty())
        take(rows);
}

} // namespace

QList<SurveyRow> surveyRows(data::Connection& c, QChar group, const QDate& from, const QDate& to) {
    QList<SurveyRow> out;
    readSurvey(c, group, from, to, [&](const QList<SurveyRow>& block) { out += block; });
    return out;
}

void readSurvey(data::Connection& c, QChar group, const QDate& from, const QDate& to, const SurveyBlock& take,
                int titlesPerBlock, qint64 byDateUpTo) {
    const QString prefix = QString(group) + QLatin1Char('%');
    const QString order = QStringLiteral(" ORDER BY m.Pointer, ") + records::newestNumberFirst(QStringLiteral("t"));
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
        const data::Result r = c.query(
            QStringLiteral("SELECT m.Magazine_Name, t.yearno, t.itemsno, t.DescriptionItem, m.Pointer FROM tranfile t "
                           "STRAIGHT_JOIN magazine m ON m.Pointer = t.pointer WHERE t.indate BETWEEN ? AND ? AND "
                           "t.pointer LIKE ? AND m.Receive_Code = '1' AND m.Pointer LIKE ?") +
                order,
            {from, to, prefix, prefix});
        handOn(r, take, titlesPerBlock);
        snapshot.commit();
        return;
    }
    // A long period: the group's received titles are taken in key order a block at a time, then
    // the issues of the block's key range, so every statement reads a bounded part.
    const QString titles = QStringLiteral("SELECT Pointer FROM magazine WHERE Receive_Code = '1' AND Pointer LIKE ? "
                                          "AND Pointer > ? ORDER BY Pointer LIMIT %1")
                               .arg(titlesPerBlock);
    const QString issues =
        QStringLiteral("SELECT m.Magazine_Name, t.yearno, t.itemsno, t.DescriptionItem, m.Pointer FROM magazine m "
                       "JOIN tranfile t ON t.pointer = m.Pointer WHERE m.Receive_Code = '1' AND m.Pointer LIKE ? "
                       "AND m.Pointer BETWEEN ? AND ? AND t.indate BETWEEN ? AND ?") +
        order;
    QString after = QStringLiteral("");
    for (;;) {
        const data::Result block = c.query(titles, {prefix, after});
        if (block.isEmpty())
            break;
        const QString first = block.text(0, 0), last = block.text(block.rowCount() - 1, 0);
        handOn(c.query(issues, {prefix, first, last, from, to}), take, titlesPerBlock);
        if (block.rowCount() < titlesPerBlock)
            break;
        after = last;
    }
    snapshot.commit();
}

QString surveyFile(const QString& folder) {
    return QDir(folder).filePath(QStringLiteral("printmag.db"));
}

struct SurveyStaging::Open {
    QSqlDatabase db;
    QSqlQuery insert;
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
}

SurveyStaging::~SurveyStaging() {
    if (open_) {
        if (open_->db.isOpen())
            open_->db.rollback(); // nothing if committed
        open_->insert.finish();
        open_->db.close();
        open_.reset();
        QSqlDatabase::removeDatabase(connection_);
    }
}

void SurveyStaging::add(const QList<SurveyRow>& rows) {
    if (!open_)
        return;
    QSqlQuery& q = open_->insert;
    for (const SurveyRow& r : rows) {
        if (!error_.isEmpty())
            return;
        q.addBindValue(r.magazineName);
        q.addBindValue(r.yearno);
        q.addBindValue(r.itemsno);
        q.addBindValue(r.description);
        if (!q.exec())
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
QString number(double v) {
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
