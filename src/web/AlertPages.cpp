#include "web/AlertPages.h"

#include "alerts/Alerts.h"
#include "web/PageParts.h"
#include "web/Pages.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace web {

namespace {

const QString title = QStringLiteral("รับแจ้งวารสารฉบับใหม่ทางอีเมล");
constexpr int requestsPerDay = 5;

Reply page(const QString& body, int status = 200) {
    return {status, pageStart(title) + body.toUtf8() + pageEnd()};
}

bool isToken(const QString& t) {
    static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{32}$"));
    return hex.match(t).hasMatch();
}

// The form, with what the reader typed kept; where the title typed names several, a choice
// among them in its place.
QString followFields(const QString& typed, const QString& email, const QString& name,
                     const data::Result& choices = {}) {
    QString titleField;
    if (choices.rowCount() > 1) {
        titleField = QStringLiteral("<p>พบวารสารหลายรายชื่อ กรุณาเลือก</p>\n");
        for (int i = 0; i < choices.rowCount(); ++i)
            titleField +=
                QStringLiteral("<label><input type=\"radio\" name=\"title\" value=\"%1\"%2> %1 %3</label><br>\n")
                    .arg(esc(choices.text(i, u"Pointer"_s).trimmed()), i == 0 ? QStringLiteral(" checked") : QString(),
                         esc(choices.text(i, u"Magazine_Name"_s)));
    } else {
        titleField = textField(QStringLiteral("title"), QStringLiteral("รหัส ISSN หรือชื่อวารสาร"), typed);
    }
    return QStringLiteral("<form method=\"post\" action=\"/%1\">").arg(followPath) +
           textField(QStringLiteral("email"), QStringLiteral("อีเมล"), email, QStringLiteral("name@example.ac.th"),
                     true) +
           textField(QStringLiteral("name"), QStringLiteral("ชื่อ-นามสกุล"), name) + titleField +
           QStringLiteral("<label><input type=\"radio\" name=\"action\" value=\"F\" checked> รับแจ้ง</label> "
                          "<label><input type=\"radio\" name=\"action\" value=\"S\"> เลิกรับแจ้ง</label> "
                          "<button type=\"submit\">ส่งคำขอ</button></form>\n");
}

} // namespace

Reply followForm(data::Connection& read, const Query& q) {
    const QString typed = q.value(QStringLiteral("title")).trimmed();
    const data::Result found = typed.isEmpty() ? data::Result() : titlesTyped(read, typed);
    const bool one = found.rowCount() == 1;
    return page((one ? QStringLiteral("<h2>%1 %2</h2>\n").arg(esc(found.text(0, u"Pointer"_s).trimmed()), esc(found.text(0, u"Magazine_Name"_s)))
                     : QString()) +
                QStringLiteral("<p>ห้องสมุดจะส่งอีเมลเมื่อวารสารฉบับใหม่มาถึง พร้อมรายชื่อบทความ "
                               "คำขอมีผลเมื่อท่านยืนยันทางลิงก์ที่ส่งไปยังอีเมล</p>\n") +
                followFields(one ? found.text(0, u"Pointer"_s).trimmed() : typed, {}, {}, found));
}

Reply followRequest(data::Connection& read, data::Connection& requests, const Query& form) {
    const QString email = form.value(QStringLiteral("email")).trimmed(),
                  typed = form.value(QStringLiteral("title")).trimmed(),
                  reader = form.value(QStringLiteral("name")).simplified().left(255),
                  action = form.value(QStringLiteral("action")) == QLatin1String("S") ? QStringLiteral("S")
                                                                                      : QStringLiteral("F");
    // The title by its code, ISSN or the beginning of its name, as the other forms find it.
    const data::Result found = typed.isEmpty() ? data::Result() : titlesTyped(read, typed);
    QString refusal;
    if (!alerts::isMailAddress(email))
        refusal = QStringLiteral("กรุณาพิมพ์ที่อยู่อีเมลให้ถูกต้อง");
    else if (found.isEmpty())
        refusal = QStringLiteral("ไม่พบวารสาร \"%1\"").arg(typed);
    else if (found.rowCount() > 1)
        refusal = QStringLiteral("\"%1\" ตรงกับวารสารหลายรายชื่อ กรุณาเลือกหนึ่งรายชื่อ").arg(typed);
    else if (requests
                 .query(QStringLiteral("SELECT COUNT(*) FROM alert_request WHERE email = ? AND requested > NOW() - "
                                       "INTERVAL 1 DAY"),
                        {email})
                 .value(0, 0)
                 .toInt() >= requestsPerDay)
        refusal = QStringLiteral("อีเมลนี้ส่งคำขอครบ %1 ครั้งใน 24 ชั่วโมงแล้ว กรุณาลองใหม่ในวันพรุ่งนี้").arg(requestsPerDay);
    if (!refusal.isEmpty())
        return page(errorBox(refusal) + followFields(typed, email, reader, found), 400);
    const QString code = found.text(0, u"Pointer"_s).trimmed(), name = found.text(0, u"Magazine_Name"_s);
    const QString token = alerts::newToken();
    alerts::recordRequest(requests, token, email, code, action, reader);
    return page(QStringLiteral("<p>รับคำขอแล้ว ห้องสมุดจะส่งลิงก์ยืนยันไปที่ %1 ภายในไม่กี่นาที "
                               "คำขอ%2วารสาร \"%3\" มีผลเมื่อท่านยืนยัน</p>\n")
                    .arg(esc(email),
                         action == QLatin1String("F") ? QStringLiteral("รับแจ้ง") : QStringLiteral("เลิกรับแจ้ง"),
                         esc(name)));
}

Reply confirmForm(data::Connection& read, const Query& q) {
    const QString token = q.value(QStringLiteral("token")).trimmed();
    const data::Result r =
        isToken(token) ? read.query(QStringLiteral("SELECT r.email, r.action, m.Magazine_Name, r.confirmed FROM "
                                                   "alert_request r LEFT JOIN magazine m ON m.Pointer = r.pointer "
                                                   "WHERE r.token = ?"),
                                    {token})
                       : data::Result();
    if (r.isEmpty())
        return page(errorBox(QStringLiteral("ไม่พบคำขอของลิงก์นี้")), 404);
    if (!r.value(0, u"confirmed"_s).isNull())
        return page(QStringLiteral("<p>คำขอนี้ยืนยันแล้ว</p>\n"));
    const bool follow = r.text(0, u"action"_s) == QLatin1String("F");
    return page(
        QStringLiteral("<p>ยืนยันให้ %1 %2วารสาร \"%3\"</p><form method=\"post\" action=\"/%4\">"
                       "<input type=\"hidden\" name=\"token\" value=\"%5\"><button type=\"submit\">ยืนยัน</button>"
                       "</form>\n")
            .arg(esc(r.text(0, u"email"_s)), follow ? QStringLiteral("รับแจ้ง") : QStringLiteral("เลิกรับแจ้ง"), esc(r.text(0, u"Magazine_Name"_s)),
                 confirmPath, token));
}

Reply confirmRequest(data::Connection& requests, const Query& form) {
    const QString token = form.value(QStringLiteral("token")).trimmed();
    const bool done = isToken(token) && alerts::confirmRequest(requests, token);
    return done ? page(QStringLiteral("<p>ยืนยันแล้ว คำขอมีผลภายในรอบส่งอีเมลถัดไปของห้องสมุด</p>\n"))
                : page(errorBox(QStringLiteral("ลิงก์นี้ใช้แล้วหรือหมดอายุ (14 วัน)")), 410);
}

} // namespace web
