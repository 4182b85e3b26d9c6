#include "marc/Marc.h"

#include <QXmlStreamReader>
#include <memory>
#include <yaz/marcdisp.h>
#include <yaz/wrbuf.h>
#include <yaz/yaz-iconv.h>

namespace marc {

QString Field::sub(QChar code) const {
    for (const Subfield& s : subfields)
        if (s.code == code)
            return s.value;
    return {};
}

const Field* Record::field(const QString& tag) const {
    for (const Field& f : fields)
        if (f.tag == tag)
            return &f;
    return nullptr;
}

QList<const Field*> Record::all(const QString& tag) const {
    QList<const Field*> out;
    for (const Field& f : fields)
        if (f.tag == tag)
            out << &f;
    return out;
}

QString Record::control(const QString& tag) const {
    const Field* f = field(tag);
    return f ? f->data : QString();
}

QString Record::sub(const QString& tag, QChar code) const {
    const Field* f = field(tag);
    return f ? f->sub(code) : QString();
}

Field& Record::add(const QString& tag, const QString& indicators, const QList<Subfield>& subfields) {
    fields.append(Field{tag, {}, indicators, subfields});
    return fields.last();
}

void Record::addControl(const QString& tag, const QString& data) {
    fields.append(Field{tag, data, {}, {}});
}

namespace {

struct MarcHandle {
    yaz_marc_t mt = yaz_marc_create();
    ~MarcHandle() { yaz_marc_destroy(mt); }
};
struct Buffer {
    WRBUF w = wrbuf_alloc();
    ~Buffer() { wrbuf_destroy(w); }
    QByteArray bytes() const { return QByteArray(wrbuf_buf(w), int(wrbuf_len(w))); }
};

bool isControlTag(const QString& tag) {
    return tag.size() == 3 && tag.startsWith(QLatin1String("00"));
}

// Text without the characters ISO 2709 keeps for its own structure.
QByteArray clean(const QString& text) {
    QString t = text;
    for (QChar c : {QChar(0x1d), QChar(0x1e), QChar(0x1f)})
        t.remove(c);
    return t.toUtf8();
}

void load(yaz_marc_t mt, const Record& r) {
    yaz_marc_reset(mt);
    QByteArray leader = r.leader.toLatin1().leftJustified(24, ' ', true);
    leader[9] = 'a'; // the text is UTF-8
    int indicatorLength, identifierLength, baseAddress, lengthDataEntry, lengthStarting, lengthImplementation;
    yaz_marc_set_leader(mt, leader.constData(), &indicatorLength, &identifierLength, &baseAddress, &lengthDataEntry,
                        &lengthStarting, &lengthImplementation);
    for (const Field& f : r.fields) {
        const QByteArray tag = f.tag.toLatin1();
        if (isControlTag(f.tag)) {
            const QByteArray d = clean(f.data);
            yaz_marc_add_controlfield(mt, tag.constData(), d.constData(), size_t(d.size()));
            continue;
        }
        const QByteArray ind = f.indicators.toLatin1().leftJustified(2, ' ', true);
        yaz_marc_add_datafield(mt, tag.constData(), ind.constData(), 2);
        for (const Subfield& s : f.subfields) {
            const QByteArray codeData = QByteArray(1, s.code.toLatin1()) + clean(s.value);
            yaz_marc_add_subfield(mt, codeData.constData(), size_t(codeData.size()));
        }
    }
}

// One MARCXML <record> element, the reader on its start.
Record readXmlRecord(QXmlStreamReader& x) {
    Record r;
    while (x.readNextStartElement()) {
        const auto name = x.name();
        if (name == QLatin1String("leader")) {
            r.leader = x.readElementText();
        } else if (name == QLatin1String("controlfield")) {
            const QString tag = x.attributes().value(QLatin1String("tag")).toString();
            r.addControl(tag, x.readElementText());
        } else if (name == QLatin1String("datafield")) {
            const auto a = x.attributes();
            Field f{a.value(QLatin1String("tag")).toString(),
                    {},
                    (a.value(QLatin1String("ind1")).toString() + QLatin1Char(' ')).left(1) +
                        (a.value(QLatin1String("ind2")).toString() + QLatin1Char(' ')).left(1),
                    {}};
            while (x.readNextStartElement()) {
                if (x.name() == QLatin1String("subfield")) {
                    const QString code = x.attributes().value(QLatin1String("code")).toString();
                    f.subfields.append({code.isEmpty() ? QChar(' ') : code.at(0), x.readElementText()});
                } else {
                    x.skipCurrentElement();
                }
            }
            r.fields.append(f);
        } else {
            x.skipCurrentElement();
        }
    }
    return r;
}

QList<Record> readXml(const QByteArray& bytes, QStringList* problems) {
    QList<Record> out;
    QXmlStreamReader x(bytes);
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement() && x.name() == QLatin1String("record"))
            out << readXmlRecord(x);
    }
    if (x.hasError())
        *problems << QStringLiteral("อ่าน MARCXML ไม่ได้ที่บรรทัด %1: %2").arg(x.lineNumber()).arg(x.errorString());
    return out;
}

} // namespace

QByteArray write(const QList<Record>& records, Format format) {
    MarcHandle h;
    Buffer out;
    yaz_marc_xml(h.mt, format == Format::MarcXml ? YAZ_MARC_MARCXML : YAZ_MARC_ISO2709);
    const bool collection = format == Format::MarcXml && records.size() != 1;
    if (collection)
        yaz_marc_enable_collection(h.mt);
    for (const Record& r : records) {
        load(h.mt, r);
        yaz_marc_write_mode(h.mt, out.w);
    }
    if (collection)
        yaz_marc_write_trailer(h.mt, out.w);
    return out.bytes();
}

QList<Record> read(const QByteArray& bytes, QStringList* problems) {
    const QByteArray start = bytes.left(64).trimmed();
    if (start.startsWith('<') || start.startsWith("\xEF\xBB\xBF<"))
        return readXml(bytes, problems);
    QList<Record> out;
    qsizetype at = 0;
    int number = 0;
    while (at < bytes.size()) {
        // Blank lines or a line end between records, as some files have them.
        if (bytes.at(at) == '\n' || bytes.at(at) == '\r' || bytes.at(at) == ' ') {
            ++at;
            continue;
        }
        ++number;
        bool ok = false;
        const int length = bytes.mid(at, 5).toInt(&ok);
        if (!ok || length < 25 || at + length > bytes.size()) {
            *problems << QStringLiteral("ระเบียนที่ %1 ไม่ใช่ MARC (ISO 2709) ที่อ่านได้").arg(number);
            break;
        }
        MarcHandle h;
        Buffer xml;
        yaz_marc_xml(h.mt, YAZ_MARC_MARCXML);
        // Leader position 9 "a": UTF-8; anything else is MARC-8, the older MARC 21 coding.
        yaz_iconv_t cd = bytes.at(at + 9) == 'a' ? nullptr : yaz_iconv_open("utf-8", "marc8");
        if (cd)
            yaz_marc_iconv(h.mt, cd);
        const int r = yaz_marc_decode_wrbuf(h.mt, bytes.constData() + at, length, xml.w);
        if (cd)
            yaz_iconv_close(cd);
        if (r <= 0)
            *problems << QStringLiteral("ระเบียนที่ %1 อ่านไม่ได้").arg(number);
        else
            out << readXml(xml.bytes(), problems);
        at += length;
    }
    return out;
}

} // namespace marc
