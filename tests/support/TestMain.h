#pragma once

namespace testsupport {

// Runs a suite as QtTest does, but an exception out of a test function fails that function only
// (QtTest ends the whole run there): the run is made again function by function.
int runSuite(QObject& suite, int argc, char** argv);

} // namespace testsupport

// QTEST_MAIN and QTEST_GUILESS_MAIN through runSuite.
#define WARASAN_TEST_MAIN_WITH(App, T)                                                                                 \
    int main(int argc, char** argv) {                                                                                  \
        App app(argc, argv);                                                                                           \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                                       \
        T suite;                                                                                                       \
        QTEST_SET_MAIN_SOURCE_PATH return testsupport::runSuite(suite, argc, argv);                                    \
    }
#define WARASAN_TEST_MAIN(T) WARASAN_TEST_MAIN_WITH(QApplication, T)
#define WARASAN_GUILESS_TEST_MAIN(T) WARASAN_TEST_MAIN_WITH(QCoreApplication, T)
