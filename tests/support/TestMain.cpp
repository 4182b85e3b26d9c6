#include "support/Names.h"

#include <cstdio>

namespace testsupport {

int runSuite(QObject& suite, int argc, char** argv) {
    const char* name = suite.metaObject()->className();
    QList<QByteArray> functions{QByteArray()}; // first the whole suite, as QtTest runs it
    int failed = 0;
    for (qsizetype k = 0; k < functions.size(); ++k) {
        char* one[] = {argv[0], functions[k].data()};
        try {
            failed += k == 0 ? QTest::qExec(&suite, argc, argv) : QTest::qExec(&suite, 2, one) != 0;
            continue;
        } catch (const std::exception& e) {
            std::printf("FAIL!  : %s::%s threw: %s\n", name, functions[k].constData(), e.what());
        } catch (...) {
            std::printf("FAIL!  : %s::%s threw\n", name, functions[k].constData());
        }
        ++failed;
        // The run ended there: each test function (those named, or all) runs again on its own.
        for (int i = 1; k == 0 && i < argc; ++i)
            if (argv[i][0] != '-')
                functions << argv[i];
        const QMetaObject* m = suite.metaObject();
        const bool named = functions.size() > 1;
        for (int i = m->methodOffset(); k == 0 && !named && i < m->methodCount(); ++i) {
            const QMetaMethod f = m->method(i);
            if (f.access() == QMetaMethod::Private && f.parameterCount() == 0 && !f.name().endsWith("_data") &&
                !QByteArrayList{"init", "cleanup", "initTestCase", "cleanupTestCase"}.contains(f.name()))
                functions << f.name();
        }
    }
    return failed;
}

} // namespace testsupport
