#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace marc {

struct Subfield {
    QChar code;
    QString value;
};

// A control field (tag below 010) has `data`; a data field its indicators and subfields.
struct Field {
    QString tag;
    QString data;
    QString indicators = QStringLiteral("  ");
    QList<Subfield> subfields;
    // The first subfield with `code`, as stored (empty when none).
    QString sub(QChar code) const;
};

struct Record {
    QString leader; // 24 characters
    QList<Field> fields;
    const Field* field(const QString& tag) const; // the first with the tag, or none
    QList<const Field*> all(const QString& tag) const;
    QString control(const QString& tag) const; // a control field's data (empty when none)
    QString sub(const QString& tag, QChar code) const;
    Field& add(const QString& tag, const QString& indicators, const QList<Subfield>& subfields);
    void addControl(const QString& tag, const QString& data);
};

enum class Format { Iso2709, MarcXml };

// Records as bytes: ISO 2709 (one after another) or MARCXML (a collection, or a record alone
// when there is one), UTF-8, written by
// YAZ. The leader's lengths and base address are set by the writer.
QByteArray write(const QList<Record>& records, Format format);

// The records in a file or a server's answer: a MARCXML record or collection, or ISO 2709
// records one after another (MARC-8 ones converted to UTF-8 unless the leader says UTF-8).
// Records that cannot be read are left out and said in `problems`.
QList<Record> read(const QByteArray& bytes, QStringList* problems);

} // namespace marc
