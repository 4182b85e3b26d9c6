
#include "support/Suite.h"

#include <QProcess>

namespace testsupport {

void DatabaseTest::initTestCase() {
    db = std::make_unique<TestDatabase>(QString::fromLatin1(metaObject()->className()).remove(QStringLiteral("tst_")));
}

void DatabaseTest::fresh() {
    db->reset();
    boxes = std::make_unique<ScriptedMessages>();
}

void DatabaseTest::cleanup() {
    boxes.reset();
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
    env << QStringLiteral("WARASAN_SERVER=127.0.0.1") << QStringLiteral("WARASAN_PORT=%1").arg(testPort())
        << QStringLiteral("WARASAN_DATABASE=") + db->name() << QStringLiteral("XDG_CONFIG_HOME=") + config.path();
    p.setEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(WARASAN_REPORT_EXE), args);
    if (!p.waitForFinished(120000))
        return -1;
    if (errors)
        *errors = p.readAll();
    return p.exitCode();
}

} // namespace testsupport
