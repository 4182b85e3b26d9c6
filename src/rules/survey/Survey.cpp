#include "rules/survey/Survey.h"

#include "data/Dates.h"
#include "data/ReadAhead.h"
#include "rules/records/IssueStore.h"
#include "rules/reports/Flow.h"

#include <QDir>
#include <QFile>

#include <sqlite3.h>

#include <cmath>
#include <string>
#include <unordered_map>

using namespace Qt::StringLiterals;

namespace survey {

namespace {

// A sign, digits, a point and digits, at least one digit (0-9 only), after the blanks: scanned
// rather than matched by a pattern, as the survey reads two for each of up to a million issues.
template <class View> double leadingIn(View text) {
    const View t = text.trimmed();
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
    return t.first(end).toDouble();
}

// The same from a cell's UTF-8 bytes, which are nearly always ASCII.
double leadingIn(QByteArrayView utf8) {
    for (const char ch : utf8)
        if (uchar(ch) >= 0x80)
            return leadingIn(QStringView(data::textFromUtf8(utf8.data(), utf8.size())));
    return leadingIn<QByteArrayView>(utf8);
}

// The registration number as the issue counter writes it (digits alone, no leading zero),
// from the cell's bytes.
std::optional<qint64> plainNumber(QByteArrayView magno) {
    if (magno.isEmpty() || magno.size() > 18 || (magno.size() > 1 && magno[0] == '0'))
        return std::nullopt;
    qint64 v = 0;
    for (const char ch : magno) {
        if (ch < '0' || ch > '9')
            return std::nullopt;
        v = v * 10 + (ch - '0');
    }
    return v;
}

// The columns an issue statement reads, each at the place its name says (the title's name last,
// or from the titles read before): the rows are streamed from the driver's buffers, which know
// places, not names, so the places are named once here beside the list.
enum IssueCell { PointerCell, MagnoCell, YearCell, NumberCell, DescriptionCell, NameCell };
const QString issueColumns = QStringLiteral("m.Pointer, t.magno, t.yearno, t.itemsno, t.DescriptionItem");
enum TitleCell { TitlePointerCell, TitleNameCell, ReceivedCell };
using Names = QHash<QString, QString>;

// The survey's row of an issue read with `issueColumns` (its numbers and description from
// cells 2 to 4), under its title's name and key.
SurveyRow issueRow(const data::Cells& cell, const QString& name, const QString& pointer) {
    return {name, leadingIn(cell.bytes(YearCell)), leadingIn(cell.bytes(NumberCell)), cell.text(DescriptionCell),
            pointer};
}

// An issue as read: its title's place in key order and its registration number (as the
// counter writes them), by which the issues are ordered here.
struct Read {
    qsizetype title;
    qint64 number;
    SurveyRow row;
};

// Hands the issues on a block of at most `titlesPerBlock` whole titles at a time, by title and
// each title's newest number first: put in that order first unless `inOrder`.
void handOnInBlocks(std::vector<Read>& rows, bool inOrder, const SurveyBlock& take, int titlesPerBlock) {
    if (!inOrder)
        std::sort(rows.begin(), rows.end(), [](const Read& a, const Read& b) {
            return a.title != b.title ? a.title < b.title : a.number > b.number;
        });
    QList<SurveyRow> block;
    int titles = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        if ((i == 0 || rows[i].title != rows[i - 1].title) && ++titles > titlesPerBlock) {
            take(block);
            block.clear();
            titles = 1;
        }
        block.append(std::move(rows[i].row));
    }
    if (!block.isEmpty())
        take(block);
}

// Reads a statement's issues in title order and hands them on in blocks. The server's
// ordering by number costs more than the read itself, so numbers the counter wrote are
// ordered here; given a number of any other form this hands on nothing and gives false, for
// the statement to be run with the server's ordering (`serverOrdered`).
bool handOn(data::Connection& c, const QString& sql, const data::Params& params, const Names& names,
            const SurveyBlock& take, int titlesPerBlock, bool serverOrdered) {
    std::vector<Read> rows;
    QByteArray pointer;
    QString code, name; // the title being read
    bool plain = true;
    c.eachRow(sql, params, [&](const data::Cells& cell) {
        const auto number = plainNumber(cell.bytes(MagnoCell));
        plain = plain && number;
        if (!plain && !serverOrdered)
            return;
        qsizetype place = rows.empty() ? 0 : rows.back().title;
        if (rows.empty() || cell.bytes(PointerCell) != pointer) { // the next title
            place += rows.empty() ? 0 : 1;
            pointer = cell.bytes(PointerCell).toByteArray();
            code = cell.text(PointerCell);
            name = names.isEmpty() ? cell.text(NameCell) : names.value(code);
        }
        rows.push_back({place, number.value_or(0), issueRow(cell, name, code)});
    });
    if (!plain && !serverOrdered)
        return false;
    handOnInBlocks(rows, serverOrdered, take, titlesPerBlock);
    return true;
}

// A short period: the group's titles, then the period's issues from the date index alone,
// matched to their titles and ordered here rather than looked up one by one in the titles
// (about a fifth of the server's work). Gives false, having handed on nothing, when an
// issue's code is not exactly a title's (another case, trailing blanks, no such title: the
// server's comparison settles it) or a number is not as the counter writes it.
bool handOnByDate(data::Connection& c, const QString& prefix, const QDate& from, const QDate& to,
                  const SurveyBlock& take, int titlesPerBlock) {
    struct Title {
        QString pointer, name;
        bool received;
    };
    std::vector<Title> titles;
    std::unordered_map<std::string, qsizetype> place;
    c.eachRow(QStringLiteral("SELECT Pointer, Magazine_Name, Receive_Code = '1' FROM magazine WHERE Pointer LIKE ? "
                             "ORDER BY Pointer"),
              {prefix}, [&](const data::Cells& cell) {
                  place.emplace(cell.bytes(TitlePointerCell).toByteArray().toStdString(), qsizetype(titles.size()));
                  titles.push_back({cell.text(TitlePointerCell), cell.text(TitleNameCell),
                                    cell.value(ReceivedCell).toLongLong() == 1});
              });
    std::vector<Read> rows;
    bool matched = true;
    std::string code;
    c.eachRow(QStringLiteral("SELECT pointer, magno, yearno, itemsno, DescriptionItem FROM tranfile WHERE indate "
                             "BETWEEN ? AND ? AND pointer LIKE ?"),
              {from, to, prefix}, [&](const data::Cells& cell) {
                  const QByteArrayView bytes = cell.bytes(PointerCell);
                  code.assign(bytes.data(), size_t(bytes.size()));
                  const auto found = place.find(code);
                  const auto number = plainNumber(cell.bytes(MagnoCell));
                  matched = matched && found != place.end() && number;
                  if (!matched || !titles[size_t(found->second)].received)
                      return;
                  const Title& t = titles[size_t(found->second)];
                  rows.push_back({found->second, *number, issueRow(cell, t.name, t.pointer)});
              });
    if (!matched)
        return false;
    handOnInBlocks(rows, false, take, titlesPerBlock);
    return true;
}

} // namespace

double leadingValue(const QString& text) {
    return leadingIn(QStringView(text));
}

QList<SurveyRow> surveyRows(data::Connection& c, QChar group, const QDate& from, const QDate& to) {
    QList<SurveyRow> out;
    readSurvey(c, group, from, to, [&](const QList<SurveyRow>& block) { out += block; });
    return out;
}

namespace {

void readBlocks(data::Connection& c, QChar group, const QDate& from, const QDate& to, const SurveyBlock& take,
                int titlesPerBlock, std::optional<qint64> byDateUpTo) {
    const QString prefix = QString(group) + QLatin1Char('%');
    const auto readOrdered = [&](const QString& sql, const data::Params& params, const Names& names = {}) {
        if (!handOn(c, sql + QStringLiteral(" ORDER BY m.Pointer"), params, names, take, titlesPerBlock, false))
            handOn(c, sql + QStringLiteral(" ORDER BY m.Pointer, ") + records::newestNumberFirst(QStringLiteral("t")),
                   params, names, take, titlesPerBlock, true);
    };
    // One transaction, read only: every statement reads the same snapshot of the database, as
    // one statement over everything would, whatever other stations save meanwhile.
    data::Transaction snapshot(c);
    // A short period (a month) holds few of the group's issues: they are read by date from the
    // date index, which holds what the survey shows. A walk of the titles reads every issue of
    // the group's titles, some fifty a title, so a period of more than ten issues a title is
    // walked instead (a year of the large set: 86,539 issues of 7,457 titles). The count stops
    // past its bound, at most 100,000 (a tenth of a second on ten times the large set), so
    // asking costs little however long the period.
    qint64 received = 0; // the group's titles received, when counted
    if (!byDateUpTo) {
        received = c.query(QStringLiteral("SELECT COUNT(*) FROM magazine WHERE Receive_Code = '1' AND "
                                          "Pointer LIKE ?"),
                           {prefix})
                       .value(0, 0)
                       .toLongLong();
        byDateUpTo = qBound(qint64(30000), 10 * received, qint64(100000));
    }
    const qint64 inPeriod = *byDateUpTo <= 0
                                ? 1
                                : c.query(QStringLiteral("SELECT COUNT(*) FROM (SELECT 1 FROM tranfile WHERE indate "
                                                         "BETWEEN ? AND ? AND pointer LIKE ? LIMIT %1) x")
                                              .arg(*byDateUpTo + 1),
                                          {from, to, prefix})
                                      .value(0, 0)
                                      .toLongLong();
    if (inPeriod <= *byDateUpTo) {
        // Reading all the group's titles costs about half of looking up as many issues: a
        // period of fewer issues than half the titles has its few looked up.
        if (2 * inPeriod < received || !handOnByDate(c, prefix, from, to, take, titlesPerBlock))
            readOrdered(
                QStringLiteral("SELECT %1, m.Magazine_Name FROM tranfile t STRAIGHT_JOIN magazine m ON m.Pointer = "
                               "t.pointer WHERE t.indate "
                               "BETWEEN ? AND ? AND t.pointer LIKE ? AND m.Receive_Code = '1' AND m.Pointer LIKE ?")
                    .arg(issueColumns),
                {from, to, prefix, prefix});
        snapshot.commit();
        return;
    }
    // A long period: the group's received titles are taken in key order a block at a time, then
    // the issues of the block's key range, so every statement reads a bounded part. The names
    // come with the titles, not once for every issue.
    const QString titles =
        QStringLiteral("SELECT Pointer, Magazine_Name FROM magazine WHERE Receive_Code = '1' AND Pointer LIKE ? "
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
        const QString first = block.text(0, u"Pointer"_s), last = block.text(block.rowCount() - 1, u"Pointer"_s);
        Names names;
        for (int i = 0; i < block.rowCount(); ++i)
            names.insert(block.text(i, u"Pointer"_s), block.text(i, u"Magazine_Name"_s));
        readOrdered(issues, {prefix, first, last, from, to}, names);
        if (block.rowCount() < titlesPerBlock)
            break;
        after = last;
    }
    snapshot.commit();
}

} // namespace

void readSurvey(data::Connection& c, QChar group, const QDate& from, const QDate& to, const SurveyBlock& take,
                int titlesPerBlock, std::optional<qint64> byDateUpTo) {
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

// The staging file is written through SQLite's own interface: a row costs a fraction of what
// it costs through a generic SQL layer, and a year's survey stages close to a million rows.
struct SurveyStaging::Open {
    sqlite3* db = nullptr;
    sqlite3_stmt* insert = nullptr;
    ~Open() {
        sqlite3_finalize(insert);
        sqlite3_close(db); // an uncommitted transaction is rolled back
    }
    bool exec(const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
    QString error() const { return QString::fromUtf8(sqlite3_errmsg(db)); }
};

SurveyStaging::SurveyStaging(const QString& folder) : file_(surveyFile(folder)) {
    if (!QDir(folder).exists()) {
        error_ = QStringLiteral("ไม่พบโฟลเดอร์ %1").arg(folder);
        return;
    }
    open_ = std::make_unique<Open>();
    Open& o = *open_;
    if (sqlite3_open_v2(QFile::encodeName(file_).constData(), &o.db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK ||
        sqlite3_busy_timeout(o.db, 2000) != SQLITE_OK ||
        !o.exec("CREATE TABLE IF NOT EXISTS rep_jn_servey (magazine_name TEXT, yearno REAL, itemsno REAL, "
                "DescriptionItem TEXT)") ||
        !o.exec("BEGIN") || !o.exec("DELETE FROM rep_jn_servey") ||
        sqlite3_prepare_v2(o.db, "INSERT INTO rep_jn_servey VALUES (?, ?, ?, ?)", -1, &o.insert, nullptr) != SQLITE_OK)
        error_ = o.error();
}

SurveyStaging::~SurveyStaging() = default;

void SurveyStaging::add(const QList<SurveyRow>& rows) {
    if (!open_ || !error_.isEmpty())
        return;
    sqlite3_stmt* q = open_->insert;
    const auto text = [&](int column, const QString& t) { // a text read as NULL is staged as NULL
        return t.isNull() ? sqlite3_bind_null(q, column)
                          : sqlite3_bind_text16(q, column, t.utf16(), int(t.size() * 2), SQLITE_STATIC);
    };
    for (const SurveyRow& r : rows) {
        if (text(1, r.magazineName) != SQLITE_OK || sqlite3_bind_double(q, 2, r.yearno) != SQLITE_OK ||
            sqlite3_bind_double(q, 3, r.itemsno) != SQLITE_OK || text(4, r.description) != SQLITE_OK ||
            sqlite3_step(q) != SQLITE_DONE) {
            error_ = open_->error();
            return;
        }
        sqlite3_reset(q);
    }
}

bool SurveyStaging::commit(QString* error) {
    if (error_.isEmpty() && !open_->exec("COMMIT"))
        error_ = open_->error();
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
    if (english_)
        flow_->setContinuedMark(QStringLiteral(" (cont.)"));
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
        flow.groupHeading({{0, rows.at(i).magazineName}});
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
    flow_->endGroups();
    flow_->line({{0, english_ ? QStringLiteral("Total: %1 issues of %2 titles").arg(issues_).arg(titles_)
                              : QStringLiteral("รวมทั้งสิ้น %1 ฉบับ จาก %2 รายชื่อ").arg(issues_).arg(titles_)}},
                true);
    doc_.pages = flow_->pages();
    return std::move(doc_);
}

} // namespace survey
