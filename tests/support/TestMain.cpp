#include "support/TestMain.h"

#include <QMetaMethod>
#include <cstdio>
#include <exception>
#include <functional>

namespace testsupport {

namespace {

bool threw(const char* suite, const char* function, const std::function<void()>& run) {
    try {
        run();
        return false;
    } catch (const std::exception& e) {
        std::printf("FAIL!  : %s::%s threw: %s\n", suite, function, e.what());
    } catch (...) {
        std::printf("FAIL!  : %s::%s threw\n", suite, function);
    }
    std::fflush(stdout);
    return true;
}

} // namespace

int runSuite(QObject& suite, int argc, char** argv) {
    const char* name = suite.metaObject()->className();
    int failed = 0;
    if (!threw(name, "(run)", [&] { failed = QTest::qExec(&suite, argc, argv); }))
        return failed;
    QList<QByteArray> functions;
    for (int i = 1; i < argc; ++i)
        if (argv[i][0] != '-')
            functions << argv[i];
    const QMetaObject* m = suite.metaObject();
    for (int i = m->methodOffset(); functions.isEmpty() && i < m->methodCount(); ++i) {
        const QMetaMethod f = m->method(i);
        const QByteArray n = f.name();
        if (f.methodType() == QMetaMethod::Slot && f.access() == QMetaMethod::Private && f.parameterCount() == 0 &&
            !n.endsWith("_data") && n != "init" && n != "cleanup" && n != "initTestCase" && n != "cleanupTestCase")
            functions << n;
    }
    failed = 1;
    for (QByteArray& f : functions) {
        char* args[] = {argv[0], f.data()};
        int one = 0;
        failed += threw(name, f.constData(), [&] { one = QTest::qExec(&suite, 2, args); }) || one != 0;
    }
    return failed;
}

} // namespace testsupport
