#pragma once

#include "data/Connection.h"
#include "web/Listing.h"

#include <QDate>
#include <QList>
#include <QPair>
#include <QString>

// The pieces of HTML the report pages are made of: their forms, fields and summaries.
namespace web {

using Options = QList<QPair<QString, QString>>; // value, label

// A count as the pages write numbers (Thai digits' grouping).
QString number(qint64 n);
QString selectField(const QString& name, const QString& label, const Query& q, const Options& options);
QString textField(const QString& name, const QString& label, const QString& value, const QString& hint = {},
                  bool focused = false);
// A form that sends its fields to the page at `path` by GET.
QString form(const QString& path, const QString& fields);
QString errorBox(const QString& text);

// A period typed in either era ("1/3/2569" or "1/3/2026"), or as the browser's ISO date.
// Without one: the current month up to today.
struct Period {
    QDate from, to;
    QString error;
};
Period periodOf(const Query& q);
QString periodFields(const Query& q, const Period& p);

// A small table of counts with a total line, for the summaries above a list: `r` has a name
// and a count `n` a row.
QString countTable(const QString& caption, const QString& what, const data::Result& r);

} // namespace web
