#include "rules/volumes/VolumeStore.h"
#include "data/Like.h"
#include "data/LookUp.h"
#include "data/SaveGate.h"

#include "data/Counter.h"
#include "data/Numbering.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace volumes {

QString regnoText(qint64 number) {
    return data::numbering(data::Numbered::Volume).code(number);
}

qint64 regnoNumber(const QString& regno) {
    const QString t = regno.trimmed();
    return data::leadingNumber(t.startsWith(QLatin1Char('B'), Qt::CaseInsensitive) ? t.mid(1) : t);
}

namespace VolumeStore {

namespace {

const data::CounterColumn volumeCounter = data::numbering(data::Numbered::Volume).counter();

QString placeholders(qsizetype n) {
    QStringList marks;
    marks.fill(QStringLiteral("?"), n);
    return marks.join(QLatin1Char(','));
}

// The title a volume stands for: that of its first issue, as the volume is shown (empty when it
// holds none).
QString titleOf(data::Connection& c, const QString& regno) {
    const data::Result r = c.query(QStringLiteral("SELECT pointer FROM tranfile WHERE regno = ? AND MagStatus = 'Z' "
                                                  "ORDER BY daily, magno LIMIT 1"),
                                   {regno});
    return r.isEmpty() ? QString() : r.text(0, 0).trimmed();
}

// Marks the issues bound into `regno`, refusing (before anything is written) when one is gone,
// bound into another volume by now, or (of those in `held`) released from this one meanwhile:
// the refusal names each issue and what became of it. A volume holds one title's issues: an
// issue of another title than the volume's (or, for an empty volume, than the others') is
// refused too, whoever offered it.
void bind(data::Connection& c, const QString& regno, const QStringList& magnos, const QStringList& held = {}) {
    if (magnos.isEmpty())
        return;
    data::Params keys(magnos.begin(), magnos.end());
    const data::Result r = c.query(QStringLiteral("SELECT magno, MagStatus, regno, pointer FROM tranfile "
                                                  "WHERE magno IN (%1) ORDER BY daily, magno FOR UPDATE")
                                       .arg(placeholders(magnos.size())),
                                   keys);
    QHash<QString, QPair<QString, QString>> now; // status and volume of each issue found
    QString title = titleOf(c, regno);
    QStringList otherTitle;
    for (int i = 0; i < r.rowCount(); ++i) {
        const QString magno = r.text(i, u"magno"_s).trimmed();
        now.insert(magno.toLower(), {r.text(i, u"MagStatus"_s).trimmed(), r.text(i, u"regno"_s).trimmed()});
        const QString pointer = r.text(i, u"pointer"_s).trimmed();
        if (title.isEmpty())
            title = pointer;
        else if (pointer.compare(title, Qt::CaseInsensitive) != 0)
            otherTitle << QStringLiteral("ฉบับเลขทะเบียน %1 เป็นของวารสารรหัส %2 ไม่ใช่วารสารรหัส %3 ของเล่มนี้")
                              .arg(magno, pointer, title);
    }
    QStringList problems = otherTitle;
    for (const QString& m : magnos) {
        const auto it = now.constFind(m.trimmed().toLower());
        const bool bound = it != now.cend() && it->first == QLatin1String("Z");
        if (it == now.cend())
            problems << QStringLiteral("ฉบับเลขทะเบียน %1 ถูกลบไปแล้วจากเครื่องอื่น").arg(m);
        else if (bound && it->second != regno)
            problems << (it->second.isEmpty()
                             ? QStringLiteral("ฉบับเลขทะเบียน %1 ถูกรวมเล่มไปแล้วจากเครื่องอื่น").arg(m)
                             : QStringLiteral("ฉบับเลขทะเบียน %1 ถูกรวมเล่มไปแล้วในเล่ม %2 จากเครื่องอื่น").arg(m, it->second));
        else if (!bound && held.contains(m))
            problems << QStringLiteral("ฉบับเลขทะเบียน %1 ถูกนำออกจากเล่มนี้แล้วจากเครื่องอื่น").arg(m);
    }
    if (!problems.isEmpty())
        throw data::Refused(problems.join(QLatin1Char('\n')) + QStringLiteral("\nข้อมูลไม่ได้ถูกบันทึก"),
                            problems.size() > otherTitle.size() ? ChangedElsewhere : 0);
    data::write(c, QStringLiteral("tranfile"),
                QStringLiteral("UPDATE tranfile SET MagStatus = 'Z', regno = ? WHERE magno IN (%1)")
                    .arg(placeholders(magnos.size())),
                data::Params{regno} + keys);
}

} // namespace

QString expectedRegno(data::Connection& c) {
    const data::Result r = c.query(QStringLiteral("SELECT regno_ctrl FROM ctrlsumj LIMIT 1"));
    return r.isEmpty() ? QStringLiteral("B000000") : regnoText(data::leadingNumber(r.text(0, 0)));
}

QList<records::Issue> unboundIssues(data::Connection& c, const QString& pointer) {
    return records::IssueStore::issues(c, pointer, true); // an issue without a status is not bound either
}

std::optional<Volume> find(data::Connection& c, const QString& regno) {
    const data::Result v =
        data::lookUp(c, QStringLiteral("SELECT regno, callno FROM sum_journal WHERE regno = ?"), {regno});
    if (v.isEmpty())
        return std::nullopt;
    const data::Result issues = c.query(QStringLiteral("SELECT magno, daily, yearno, itemsno, DescriptionItem, indate, "
                                                       "pointer FROM tranfile WHERE regno = ? ORDER BY daily, magno"),
                                        {v.text(0, u"regno"_s)});
    return Volume{v.text(0, u"regno"_s), v.text(0, u"callno"_s),
                  issues.isEmpty() ? QString() : issues.text(0, u"pointer"_s), records::IssueStore::issueRows(issues)};
}

QList<QPair<QString, QString>> byCallNumber(data::Connection& c, const QString& prefix) {
    const data::Result r = data::lookUp(c,
                                        QStringLiteral("SELECT regno, callno FROM sum_journal WHERE callno LIKE ? "
                                                       "ORDER BY callno, regno"),
                                        {data::likePrefix(prefix.trimmed())});
    QList<QPair<QString, QString>> out;
    for (int i = 0; i < r.rowCount(); ++i)
        out.append({r.text(i, u"regno"_s), r.text(i, u"callno"_s)});
    return out;
}

std::optional<QString> neighbour(data::Connection& c, qint64 number, bool forward) {
    const data::Result counter = c.query(QStringLiteral("SELECT regno_ctrl FROM ctrlsumj LIMIT 1"));
    const qint64 end = counter.isEmpty() ? 0 : data::leadingNumber(counter.text(0, 0));
    // Volume numbers of any width, compared as numbers.
    const data::Result r = c.query(
        forward ? QStringLiteral(
                      "SELECT regno FROM sum_journal WHERE regno LIKE 'B%' AND CAST(SUBSTRING(regno, 2) AS UNSIGNED) "
                      "BETWEEN ? AND ? ORDER BY CAST(SUBSTRING(regno, 2) AS UNSIGNED) LIMIT 1")
                : QStringLiteral(
                      "SELECT regno FROM sum_journal WHERE regno LIKE 'B%' AND CAST(SUBSTRING(regno, 2) AS UNSIGNED) "
                      "BETWEEN ? AND ? ORDER BY CAST(SUBSTRING(regno, 2) AS UNSIGNED) DESC LIMIT 1"),
        forward ? data::Params{number + 1, end - 1} : data::Params{1, number - 1});
    if (r.isEmpty())
        return std::nullopt;
    return r.text(0, 0);
}

namespace {
// After a cut COMMIT: does the database hold what the save wrote, the call number and every
// issue bound into the volume?
bool wrote(data::Connection& c, const QString& regno, const QStringList& magnos, const QString& callno) {
    if (c.query(QStringLiteral("SELECT 1 FROM sum_journal WHERE regno = ? AND BINARY callno = BINARY ?"),
                {regno, callno})
            .isEmpty())
        return false;
    if (magnos.isEmpty())
        return true;
    data::Params params(magnos.begin(), magnos.end());
    params.prepend(regno);
    return c.query(QStringLiteral("SELECT COUNT(*) FROM tranfile WHERE regno = ? AND MagStatus = 'Z' AND magno IN (%1)")
                       .arg(placeholders(magnos.size())),
                   params)
               .value(0, 0)
               .toInt() == magnos.size();
}
} // namespace

data::Saved<QString> add(data::Connection& c, const QStringList& magnos, const QString& callno) {
    if (magnos.isEmpty())
        throw data::Refused(QStringLiteral("ยังไม่ได้เลือกฉบับที่จะรวมเล่ม กรุณาเลือกฉบับจากรายการฉบับที่ได้รับก่อนบันทึก"));
    QString regno;
    const data::Commit commit =
        data::takeCounter(
            c, volumeCounter, [](const QString& current) { return data::advanceDecimal(volumeCounter, current); },
            [&](const QString& current) {
                regno = regnoText(data::leadingNumber(current));
                if (!c.query(QStringLiteral("SELECT 1 FROM sum_journal WHERE regno = ?"), {regno}).isEmpty())
                    data::numberTaken(c,
                                      QStringLiteral("เลขทะเบียนรวมเล่ม %1 มีอยู่แล้ว (ตัวนับ ctrlsumj อาจถูกตั้งย้อนหลัง) "
                                                     "กรุณาติดต่อผู้ดูแลระบบ")
                                          .arg(regno),
                                      [](const QString& text) { throw data::Refused(text); });
                bind(c, regno, magnos);
                data::write(c, QStringLiteral("sum_journal"),
                            QStringLiteral("INSERT INTO sum_journal (regno, callno, status) VALUES (?, ?, 'ST')"),
                            {regno, callno});
            },
            [&](const QString&) { return wrote(c, regno, magnos, callno); })
            .commit;
    return {regno, commit};
}

bool update(data::Connection& c, const QString& regno, const QStringList& magnos, const QString& callno,
            const QStringList& held) {
    bool found = false;
    data::retryingTransaction(
        c,
        [&] {
            found = !c.query(QStringLiteral("SELECT 1 FROM sum_journal WHERE regno = ? FOR UPDATE"), {regno}).isEmpty();
            if (!found)
                return;
            // A call number stands for the issues a volume holds: never stored for none.
            if (magnos.isEmpty())
                throw data::Refused(QStringLiteral("วารสารรวมเล่มนี้ไม่มีฉบับใด กรุณาเลือกฉบับที่จะรวมเล่มก่อนบันทึก "
                                                   "ข้อมูลไม่ได้ถูกบันทึก"));
            bind(c, regno, magnos, held);
            data::write(c, QStringLiteral("sum_journal"),
                        QStringLiteral("UPDATE sum_journal SET callno = ? WHERE regno = ?"), {callno, regno});
        },
        [&] { return wrote(c, regno, magnos, callno); });
    return found;
}

void release(data::Connection& c, const QString& regno, const QString& magno, const QString& callno) {
    data::retryingTransaction(
        c,
        [&] {
            data::write(c, QStringLiteral("tranfile"),
                        QStringLiteral("UPDATE tranfile SET MagStatus = 'O', regno = '' WHERE magno = ? AND regno = ?"),
                        {magno, regno});
            data::write(c, QStringLiteral("sum_journal"),
                        QStringLiteral("UPDATE sum_journal SET callno = ? WHERE regno = ?"), {callno, regno});
        },
        [&] {
            return c.query(QStringLiteral("SELECT 1 FROM tranfile WHERE magno = ? AND regno = ?"), {magno, regno})
                .isEmpty();
        });
}

} // namespace VolumeStore

} // namespace volumes
