#pragma once

#include "support/ScriptedMessages.h"
#include "support/TestServer.h"

#include <memory>

namespace testsupport {

// The frame of every suite that works on a database of its own (named after the suite): the
// database made once, the message boxes scripted for each test, and after each test the
// windows left open counted (`windowsLeft`; -1 does not count) and closed.
class DatabaseTest : public QObject {
    Q_OBJECT
protected:
    int windowsLeft = 1;
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<ScriptedMessages> boxes;

    QString sql(const QString& q, const data::Params& p = {}) { return rowText(db->admin(), q, p); }
    void exec(const QString& q, const data::Params& p = {}) { db->admin().exec(q, p); }
    // Each test starts from the installation rows alone, with fresh scripted boxes.
    void fresh();
    // warasan-report against this database, as a scheduled run would start it; its exit code,
    // its error output in `errors`.
    int runReport(const QStringList& args, QByteArray* errors = nullptr);
    // warasan-dbcheck on this database over the server's socket (--user root for changes); its
    // exit code, its output in `output`.
    int dbcheck(const QStringList& args, QByteArray* output = nullptr);

protected slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();
};

} // namespace testsupport
