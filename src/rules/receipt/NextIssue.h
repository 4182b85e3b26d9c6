#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

namespace receipt {

// One registered issue as the prediction reads it.
struct IssueSeen {
    QDate daily; // the issue's date
    QString year, number, description;
};

// The issue expected next. A field left empty is not guessed.
struct ExpectedIssue {
    QDate daily;
    QString year, number, description;
};

struct Pattern;

// The issue a title should send next, learnt from its own registered issues (oldest first):
// the date one step of its frequency code after the latest (as the receipt check steps it);
// the number after the latest, back to 1 with the year (volume) after it where the history
// shows volumes turning over, at a month or after a count of issues; the description in the
// style of the latest one (Thai or English month names, full or short, ranges, either era).
// Daily, irregular and unknown frequencies get the number only; fewer than two issues, nothing.
// The months it steps over and where its volumes turn are the title's pattern: learnt from the
// same issues, with what a person `set` over it.
std::optional<ExpectedIssue> predictNext(const QString& frequencyCode, const QList<IssueSeen>& issues,
                                         const Pattern* set = nullptr);

// The expected issue in words: "01/07/2026  ปีที่ 12  ฉบับที่ 7  July 2026", the parts known.
QString expectedText(const ExpectedIssue& e);

// How many expected issues are overdue on `today`: the expected one and those after it, in the
// months the title publishes, whose date has passed.
int overdueCount(const QString& frequencyCode, const ExpectedIssue& expected, const QDate& today,
                 const Pattern* pattern = nullptr);

} // namespace receipt
