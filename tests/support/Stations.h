#pragma once

#include "support/Saves.h"

#include <functional>
#include <set>

namespace testsupport {

// `stations` workstations saving `each` texts through `save` at the same moment, station `st`
// connecting with `settings(st)`. Empty when every save was given a number of its own and
// each of `readers` reads every text back under its number; otherwise what went wrong.
inline QString savedAtOnce(const NumberedSave& save, int stations, int each,
                           const std::function<data::ConnectionSettings(int)>& settings,
                           const QList<data::Connection*>& readers) {
    QMutex mutex;
    QStringList numbers, failures;
    QList<QThread*> threads;
    for (int st = 0; st < stations; ++st) {
        threads << QThread::create([&, st] {
            data::Connection c(settings(st));
            for (int i = 0; i < each; ++i) {
                try {
                    const QString n = save.save(c, u"สถานี %1 ที่ %2"_s.arg(st).arg(i));
                    QMutexLocker lock(&mutex);
                    numbers << n;
                } catch (const std::exception& e) {
                    QMutexLocker lock(&mutex);
                    failures << u"station %1: %2"_s.arg(st).arg(QString::fromUtf8(e.what()));
                }
            }
        });
        threads.last()->start();
    }
    for (QThread* t : threads) {
        if (!t->wait(300000))
            failures << u"a station did not finish"_s;
        delete t;
    }
    if (!failures.isEmpty())
        return failures.join(u'\n');
    const size_t distinct = std::set<QString>(numbers.begin(), numbers.end()).size();
    if (distinct != size_t(stations * each))
        return u"%1 saves, %2 numbers"_s.arg(stations * each).arg(distinct);
    for (data::Connection* r : readers)
        for (const QString& n : numbers)
            if (!save.stored(*r, n).startsWith(u"สถานี"_s))
                return u"nothing read back under %1"_s.arg(n);
    return {};
}

} // namespace testsupport
