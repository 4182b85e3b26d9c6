
#include "support/Suite.h"

namespace testsupport {

void DatabaseTest::initTestCase() {
    if (db) { // made again after a test function threw: what that run left goes first, its database too
        ScriptedMessages closing;
        closeAllWindows();
        boxes.reset();
        db.reset();
    }
    db = std::make_unique<TestDatabase>(QString::fromLatin1(metaObject()->className()).remove(u"tst_"_s));
}

void DatabaseTest::fresh() {
    db->reset();
    boxes = std::make_unique<ScriptedMessages>();
}

void DatabaseTest::cleanup() {
    boxes.reset();
    ScriptedMessages closing; // a window left mid-entry asks before it closes: yes
    const int open = closeAllWindows();
    if (windowsLeft >= 0)
        QCOMPARE(open, windowsLeft);
}

void DatabaseTest::cleanupTestCase() {
    db.reset();
}

int DatabaseTest::runReport(const QStringList& args, QByteArray* errors) {
    QTemporaryDir config; // no configuration file: the environment says where the database is
    QProcess p;
    QStringList env = QProcess::systemEnvironment();
    env << u"WARASAN_SERVER=127.0.0.1"_s << u"WARASAN_PORT=%1"_s.arg(testPort()) << u"WARASAN_DATABASE="_s + db->name()
        << u"XDG_CONFIG_HOME="_s + config.path();
    p.setEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(WARASAN_REPORT_EXE), args);
    if (!p.waitForFinished(120000))
        return -1;
    if (errors)
        *errors = p.readAll();
    return p.exitCode();
}

int DatabaseTest::dbcheck(const QStringList& args, QByteArray* output) {
    QProcess p;
    p.start(QStringLiteral(WARASAN_DBCHECK_EXE),
            QStringList{"--server", "localhost", "--socket", testSocket(), "--database", db->name()} + args);
    p.waitForFinished(300000);
    if (output)
        *output = p.readAllStandardOutput() + p.readAllStandardError();
    return p.exitCode();
}

} // namespace testsupport
