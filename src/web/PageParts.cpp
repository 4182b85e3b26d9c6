#include "web/PageParts.h"

#include "data/Dates.h"

#include <QLocale>

namespace web {

QString number(qint64 n) {
    return QLocale(QLocale::Thai).toString(n);
}

QString selectField(const QString& name, const QString& label, const Query& q, const Options& options) {
    QString html = QStringLiteral("<label>%1<select name=\"%2\">").arg(esc(label), name);
    const QString current = q.value(name);
    for (const auto& [value, text] : options)
        html += QStringLiteral("<option value=\"%1\"%2>%3</option>")
                    .arg(esc(value), value == current ? QStringLiteral(" selected") : QString(), esc(text));
    return html + QStringLiteral("</select></label>");
}

QString textField(const QString& name, const QString& label, const QString& value, const QString& hint, bool focused) {
    return QStringLiteral("<label>%1<input name=\"%2\" value=\"%3\" placeholder=\"%4\" maxlength=\"200\"%5></label>")
        .arg(esc(label), name, esc(value), esc(hint), focused ? QStringLiteral(" autofocus") : QString());
}

QString form(const QString& path, const QString& fields) {
    return QStringLiteral("<form method=\"get\" action=\"/%1\">%2<button type=\"submit\">แสดง</button></form>\n")
        .arg(path, fields);
}

QString errorBox(const QString& text) {
    return QStringLiteral("<p class=\"error\">%1</p>\n").arg(esc(text));
}

Period periodOf(const Query& q) {
    Period p;
    const QDate today = QDate::currentDate();
    const auto read = [&](const QString& key, QDate fallback, const QString& what) {
        const QString text = q.value(key).trimmed();
        if (text.isEmpty())
            return fallback;
        if (const auto d = data::parseDate(text))
            return *d;
        p.error = QStringLiteral("%1 \"%2\" ไม่ใช่วันที่ที่ถูกต้อง กรุณาพิมพ์เป็น วว/ดด/ปปปป").arg(what, text);
        return QDate();
    };
    p.from = read(QStringLiteral("from"), QDate(today.year(), today.month(), 1), QStringLiteral("วันที่เริ่มต้น"));
    p.to = read(QStringLiteral("to"), today, QStringLiteral("วันที่สิ้นสุด"));
    if (p.error.isEmpty() && p.from > p.to)
        p.error = QStringLiteral("วันที่เริ่มต้นต้องไม่อยู่หลังวันที่สิ้นสุด");
    return p;
}

QString periodFields(const Query& q, const Period& p) {
    const auto shown = [&](const QString& key, const QDate& d) {
        return q.contains(key) ? q.value(key) : data::formatDate(d);
    };
    return textField(QStringLiteral("from"), QStringLiteral("ตั้งแต่วันที่"), shown(QStringLiteral("from"), p.from),
                     QStringLiteral("วว/ดด/ปปปป")) +
           textField(QStringLiteral("to"), QStringLiteral("ถึงวันที่"), shown(QStringLiteral("to"), p.to),
                     QStringLiteral("วว/ดด/ปปปป"));
}

QString countTable(const QString& caption, const QString& what, const data::Result& r) {
    qint64 total = 0;
    QString body;
    for (int i = 0; i < r.rowCount(); ++i) {
        const QString name = cellText(r.value(i, QStringLiteral("name")));
        const qint64 n = r.value(i, QStringLiteral("n")).toLongLong();
        total += n;
        body += QStringLiteral("<tr><td>%1</td><td class=\"n\">%2</td></tr>")
                    .arg(esc(name.isEmpty() ? QStringLiteral("(ไม่ระบุ)") : name), number(n));
    }
    return QStringLiteral("<div class=\"wrap\"><table class=\"summary\"><thead><tr><th>%1</th><th class=\"n\">%2</th>"
                          "</tr></thead><tbody>%3</tbody><tfoot><tr><td>รวม</td><td class=\"n\">%4</td></tr></tfoot>"
                          "</table></div>\n")
        .arg(esc(caption), esc(what), body, number(total));
}

} // namespace web
