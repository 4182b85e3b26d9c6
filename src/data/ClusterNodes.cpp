// Which server a connection works on: the nodes of a cluster tried in turn, and a node taken
// only when it is in step with the others.
#include "data/Connection.h"

#include <optional>

namespace data {

void Connection::open() {
    close();
    if (settings_.server.trimmed().isEmpty() && settings_.socket.trimmed().isEmpty())
        throw DbError(0, QStringLiteral("HY000"),
                      QStringLiteral("ยังไม่ได้กำหนดเครื่องแม่ข่ายฐานข้อมูล: ตั้งค่า server ในหมวด [database] ของ "
                                     "warasan.ini หรือตัวแปร WARASAN_SERVER"));
    // The nodes of a cluster are tried in turn from the current one; the first that answers
    // and is in step with the others is used.
    const int count = int(settings_.nodes().size());
    std::optional<DbError> last;
    for (int tried = 0; tried < count; ++tried) {
        const int node = (node_ + tried) % count;
        try {
            connectTo(node);
            if (!settings_.passwordChangeOnly)
                requireSyncedNode(node);
            if (opened_ && node != usedNode_)
                ++stats::nodeSwitches;
            node_ = usedNode_ = node;
            opened_ = true;
            return;
        } catch (const DbError& e) {
            close();
            last = e;
        }
    }
    throw *last;
}

void Connection::requireSyncedNode(int node) {
    // A Galera node that is joining, donating its state or cut off from the others answers
    // but must not be worked on. (A server outside a cluster shows wsrep_ready OFF too: only
    // wsrep_on tells them apart.)
    onCluster_ = queryOnce(QStringLiteral("SELECT @@GLOBAL.wsrep_on"), {}).value(0, 0).toInt() != 0;
    if (!onCluster_)
        return;
    const Result r = queryOnce(QStringLiteral("SHOW GLOBAL STATUS WHERE Variable_name IN ('wsrep_ready', "
                                              "'wsrep_local_state')"),
                               {});
    for (const QVariantList& row : r.rows) {
        const QString name = row.at(0).toString().toLower(), value = row.at(1).toString();
        if ((name == QLatin1String("wsrep_ready") && value.compare(QLatin1String("ON"), Qt::CaseInsensitive) != 0) ||
            (name == QLatin1String("wsrep_local_state") && value != QLatin1String("4")))
            throw DbError(1047, QStringLiteral("08S01"),
                          QStringLiteral("เครื่องแม่ข่าย %1 ยังไม่พร้อมทำงานร่วมกับเครื่องอื่นในกลุ่ม (%2 = %3)")
                              .arg(settings_.nodes().at(node).host, name, value));
    }
    // Every read waits until this node has applied what the cluster committed before it: a
    // station then sees another station's save at once, and the check of a save whose COMMIT
    // was cut off cannot miss it on a node that has not applied it yet.
    exec(QStringLiteral("SET SESSION wsrep_sync_wait = 1"));
}

} // namespace data
