#pragma once

#include "data/Connection.h"
#include "rules/reports/Report.h"

#include <QDate>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace reports {
class Flow;
}

namespace survey {

// One issue of the journal survey, as it is staged: the title, the year and issue numbers
// read as numbers, the description as stored.
struct SurveyRow {
    QString magazineName;
    double yearno = 0, itemsno = 0;
    QString description;
    QString pointer;
};

// The leading number of the trimmed text ("12" 12, " 7a" 7, "1.5" 1.5); none counts as 0.
double leadingValue(const QString& text);

// The issues received (receipt date within both bounds) by the currently received titles of a
// group ('J' foreign, 'I' Thai): titles by key, issues newest registration number first.
QList<SurveyRow> surveyRows(data::Connection& c, QChar group, const QDate& from, const QDate& to);
// The same rows in the same order, handed on a block of titles at a time (each title's issues
// whole in one block), read on a thread of its own while `take` works on this one. A period
// holding at most `byDateUpTo` of the group's issues (unset: ten a title) is read by date in
// one statement; a longer one a block of titles at a time, so that no more than a block is held.
using SurveyBlock = std::function<void(const QList<SurveyRow>&)>;
void readSurvey(data::Connection& c, QChar group, const QDate& from, const QDate& to, const SurveyBlock& take,
                int titlesPerBlock = 1000, std::optional<qint64> byDateUpTo = std::nullopt);

// Replaces the rows of rep_jn_servey in the local staging file printmag.db of `folder`
// (created on first use) in one transaction. False, with the file and the reason in plain
// words, when it cannot be written; the file then keeps what it held.
bool stageSurvey(const QString& folder, const QList<SurveyRow>& rows, QString* error);
QString surveyFile(const QString& folder);

// The same, block by block: the rows are added as they come, and the file takes them all at
// commit() or, on any failure or when dropped uncommitted, none of them.
class SurveyStaging {
public:
    explicit SurveyStaging(const QString& folder);
    ~SurveyStaging();
    SurveyStaging(const SurveyStaging&) = delete;
    SurveyStaging& operator=(const SurveyStaging&) = delete;
    void add(const QList<SurveyRow>& rows);
    bool commit(QString* error);

private:
    struct Open;
    std::unique_ptr<Open> open_;
    QString file_, error_;
};

// The survey report: English headings for the foreign group, Thai for the Thai group.
reports::Document surveyReport(const QList<SurveyRow>& rows, QChar group, const QDate& from, const QDate& to);

// The same report laid out as its rows come (whole titles at a time). With handFullPagesTo
// and handRowsTo set, full pages and CSV rows are handed on and not kept; finish() gives what
// is left: the last page (with the totals) and the rows not handed on.
class SurveyReport {
public:
    SurveyReport(QChar group, const QDate& from, const QDate& to);
    ~SurveyReport();
    void handFullPagesTo(std::function<void(const reports::Page&)> take);
    void handRowsTo(std::function<void(const QStringList&)> take) { takeRow_ = std::move(take); }
    const QString& title() const { return doc_.title; }
    const QStringList& csvHeader() const { return doc_.csvHeader; }
    void add(const QList<SurveyRow>& rows);
    reports::Document finish();

private:
    bool english_;
    std::unique_ptr<reports::Flow> flow_;
    reports::Document doc_;
    std::function<void(const QStringList&)> takeRow_;
    qint64 issues_ = 0;
    int titles_ = 0;
};

} // namespace survey
