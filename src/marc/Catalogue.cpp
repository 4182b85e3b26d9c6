#include "marc/Catalogue.h"

#include <yaz/zoom.h>

namespace marc {

namespace {

// A term inside double quotes, as both PQF and CQL read it.
QByteArray quoted(const QString& term) {
    QByteArray t = term.simplified().toUtf8();
    t.replace('\\', "\\\\");
    t.replace('"', "\\\"");
    return '"' + t + '"';
}

struct Zoom {
    ZOOM_options options = ZOOM_options_create();
    ZOOM_connection connection = nullptr;
    ZOOM_query query = ZOOM_query_create();
    ZOOM_resultset results = nullptr;
    ~Zoom() {
        ZOOM_resultset_destroy(results);
        ZOOM_query_destroy(query);
        ZOOM_connection_destroy(connection);
        ZOOM_options_destroy(options);
    }
    // The failure of the last call, in Thai; empty when there was none.
    QString failure(const CatalogueTarget& target, int timeout) const {
        const char *message = nullptr, *detail = nullptr;
        const int code = ZOOM_connection_error(connection, &message, &detail);
        if (code == ZOOM_ERROR_NONE)
            return {};
        if (code == ZOOM_ERROR_TIMEOUT)
            return QStringLiteral("แค็ตตาล็อก %1 ไม่ตอบภายใน %2 วินาที").arg(target.address).arg(timeout);
        if (code == ZOOM_ERROR_CONNECT || code == ZOOM_ERROR_CONNECTION_LOST)
            return QStringLiteral("ติดต่อแค็ตตาล็อก %1 ไม่ได้ (%2)").arg(target.address, QString::fromUtf8(message));
        return QStringLiteral("แค็ตตาล็อก %1 แจ้งข้อผิดพลาด %2: %3 %4")
            .arg(target.address)
            .arg(code)
            .arg(QString::fromUtf8(message), QString::fromUtf8(detail ? detail : ""))
            .trimmed();
    }
};

} // namespace

Found searchCatalogue(const CatalogueTarget& target, SearchBy by, const QString& term, int max) {
    Found found;
    if (target.address.trimmed().isEmpty()) {
        found.error = QStringLiteral("ยังไม่ได้กำหนดแค็ตตาล็อกที่จะค้น ([catalogue] target ในไฟล์ตั้งค่า)");
        return found;
    }
    const bool sru = target.protocol.compare(QLatin1String("sru"), Qt::CaseInsensitive) == 0;
    Zoom z;
    const QByteArray timeout = QByteArray::number(target.timeoutSeconds), count = QByteArray::number(max);
    ZOOM_options_set(z.options, "timeout", timeout.constData());
    ZOOM_options_set(z.options, "count", count.constData());
    ZOOM_options_set(z.options, "preferredRecordSyntax", "usmarc");
    ZOOM_options_set(z.options, "elementSetName", "F");
    if (sru) {
        ZOOM_options_set(z.options, "sru", "get");
        ZOOM_options_set(z.options, "schema", "marcxml");
    }
    z.connection = ZOOM_connection_create(z.options);
    ZOOM_connection_connect(z.connection, target.address.trimmed().toUtf8().constData(), 0);
    if ((found.error = z.failure(target, target.timeoutSeconds)).size())
        return found;
    const QByteArray q = sru ? (by == SearchBy::Issn ? "bath.issn=" : "dc.title=") + quoted(term)
                             : (by == SearchBy::Issn ? "@attr 1=8 " : "@attr 1=4 ") + quoted(term);
    if ((sru ? ZOOM_query_cql(z.query, q.constData()) : ZOOM_query_prefix(z.query, q.constData())) != 0) {
        found.error = QStringLiteral("คำค้น \"%1\" ใช้ค้นไม่ได้").arg(term);
        return found;
    }
    z.results = ZOOM_connection_search(z.connection, z.query);
    if ((found.error = z.failure(target, target.timeoutSeconds)).size())
        return found;
    found.hits = qint64(ZOOM_resultset_size(z.results));
    for (size_t i = 0; i < size_t(qMin<qint64>(found.hits, max)); ++i) {
        ZOOM_record rec = ZOOM_resultset_record(z.results, i);
        if (!rec)
            break;
        int length = 0;
        const char* raw = ZOOM_record_get(rec, "raw", &length);
        if (!raw || length <= 0) {
            found.problems << QStringLiteral("ระเบียนที่ %1 ว่างเปล่า").arg(i + 1);
            continue;
        }
        found.records << read(QByteArray(raw, length), &found.problems);
    }
    if (found.records.isEmpty() && (found.error = z.failure(target, target.timeoutSeconds)).size())
        return found;
    return found;
}

} // namespace marc
