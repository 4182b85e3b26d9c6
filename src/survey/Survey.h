#pragma once

#include "data/Connection.h"
#include "reports/Report.h"

#include <QDate>
#include <QList>
#include <QString>

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

// Replaces the rows of rep_jn_servey in the local staging file printmag.db of `folder`
// (created on first use) in one transaction. False, with the file and the reason in plain
// words, when it cannot be written; the file then keeps what it held.
bool stageSurvey(const QString& folder, const QList<SurveyRow>& rows, QString* error);
QString surveyFile(const QString& folder);

// The survey report: English headings for the foreign group, Thai for the Thai group.
reports::Document surveyReport(const QList<SurveyRow>& rows, QChar group, const QDate& from, const QDate& to);

} // namespace survey
