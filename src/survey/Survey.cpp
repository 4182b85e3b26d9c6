#include "survey/Survey.h"

#include "data/Dates.h"
#include "receipt/IssueStore.h"
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

QList<SurveyRow> surveyRows(data::Connection& c, QChar group, const QDate& from, const QDate& to) {
    const data::Result r = c.query(
        QStringLiteral("SELECT m.Magazine_Name, t.yearno, t.itemsno, t.DescriptionItem, m.Pointer FROM magazine m "
                       "JOIN tranfile t ON t.pointer = m.Pointer WHERE m.Receive_Code = '1' AND m.Pointer LIKE ? "
                       "AND t.indate BETWEEN ? AND ? ORDER BY m.Pointer, ") +
            receipt::newestNumberFirst(QStringLiteral("t")),
        {QString(group) + QLatin1Char('%'), from, to});
    QList<SurveyRow> out;
    out.reserve(r.rowCount());
    for (const auto& row : r.rows)
        out.append({row.at(0).toString(), leadingValue(row.at(1).toString()), leadingValue(row.at(2).toString()),
                    row.at(3).toString(), row.at(4).toString()});
    return out;
}

QString surveyFile(const QString& folder) {
    return QDir(folder).filePath(QStringLiteral("printmag.db"));
}

bool stageSurvey(const QString& folder, const QList<SurveyRow>& rows, QString* error) {
    const QString file = surveyFile(folder);
    if (!QDir(folder).exists()) {
        *error = QStringLiteral("เขียนแฟ้มพักข้อมูล %1 ไม่ได้: ไม่พบโฟลเดอร์ %2").arg(file, folder);
        return false;
    }
    const QString name = QStringLiteral("survey-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
        QSqlQuery q(db);
        const auto fail = [&](const QSqlError& e) {
            *error = QStringLiteral("เขียนแฟ้มพักข้อมูล %1 ไม่ได้: %2").arg(file, e.text());
            if (db.isOpen())
                db.rollback();
            return false;
        };
        ok = [&] {
            if (!db.open())
                return fail(db.lastError());
            if (!q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS rep_jn_servey (magazine_name TEXT, yearno REAL, "
                                       "itemsno REAL, DescriptionItem TEXT)")))
                return fail(q.lastError());
            if (!db.transaction())
                return fail(db.lastError());
            if (!q.exec(QStringLiteral("DELETE FROM rep_jn_servey")))
                return fail(q.lastError());
            if (!q.prepare(QStringLiteral("INSERT INTO rep_jn_servey VALUES (?, ?, ?, ?)")))
                return fail(q.lastError());
            for (const SurveyRow& r : rows) {
                q.addBindValue(r.magazineName);
                q.addBindValue(r.yearno);
                q.addBindValue(r.itemsno);
                q.addBindValue(r.description);
                if (!q.exec())
                    return fail(q.lastError());
            }
            return db.commit() ? true : fail(db.lastError());
        }();
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

reports::Document surveyReport(const QList<SurveyRow>& rows, QChar group, const QDate& from, const QDate& to) {
    const bool english = group == QLatin1Char('J');
    const auto number = [](double v) { return QString::number(v, 'g', 12); };
    reports::Flow flow(english ? QStringLiteral("Journal Survey Report") : QStringLiteral("รายงานสำหรับสำรวจวารสาร"),
                       {english ? QStringLiteral("Foreign-language journals received from %1 to %2")
                                      .arg(data::formatDate(from), data::formatDate(to))
                                : QStringLiteral("วารสารภาษาไทยที่ได้รับระหว่างวันที่ %1 ถึง %2")
                                      .arg(data::formatDate(from), data::formatDate(to))},
                       14, english ? QStringLiteral("Page") : QStringLiteral("หน้า"));
    reports::Document doc;
    doc.title = (english ? QStringLiteral("Journal survey ") : QStringLiteral("สำรวจวารสาร ")) +
                from.toString(Qt::ISODate) + QStringLiteral(" - ") + to.toString(Qt::ISODate);
    doc.csvHeader = {QStringLiteral("magazine_name"), QStringLiteral("yearno"), QStringLiteral("itemsno"),
                     QStringLiteral("DescriptionItem")};
    int titles = 0;
    for (int i = 0; i < rows.size();) {
        const QString pointer = rows.at(i).pointer;
        flow.line({{0, rows.at(i).magazineName}}, true);
        int n = 0;
        for (; i < rows.size() && rows.at(i).pointer == pointer; ++i, ++n) {
            const SurveyRow& r = rows.at(i);
            flow.line({{600, (english ? QStringLiteral("Vol. ") : QStringLiteral("ปีที่ ")) + number(r.yearno)},
                       {2200, (english ? QStringLiteral("No. ") : QStringLiteral("ฉบับที่ ")) + number(r.itemsno)},
                       {3800, r.description}});
            doc.csvRows.append({r.magazineName, number(r.yearno), number(r.itemsno), r.description});
        }
        flow.line({{6000, english ? QStringLiteral("%1 issues").arg(n) : QStringLiteral("รวม %1 ฉบับ").arg(n)}});
        ++titles;
    }
    flow.line({{0, english ? QStringLiteral("Total: %1 issues of %2 titles").arg(rows.size()).arg(titles)
                           : QStringLiteral("รวมทั้งสิ้น %1 ฉบับ จาก %2 รายชื่อ").arg(rows.size()).arg(titles)}},
              true);
    doc.pages = flow.pages();
    return doc;
}

} // namespace survey
