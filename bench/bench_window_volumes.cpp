// The bound-volume register over the generated set: the click on the title with the most
// unbound issues to the filled issue list, saving a 50-issue volume, a call-number prefix
// search, and Next / Previous across a gap of 1,000 volume numbers.
#include "BenchUtil.h"
#include "data/Config.h"
#include "forms/common/Fonts.h"
#include "volumes/sum_journal.h"

#include <QApplication>
#include <QLineEdit>
#include <QTableWidget>
#include <cstdio>

using bench::median;
using bench::timed;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    forms::installThaiFonts();
    bench::SilentBoxes boxes;
    try {
        data::Connection c(data::installation().db);
        c.open();
        const data::Result big = c.query(QStringLiteral(
            "SELECT m.Magazine_Name, m.Pointer, COUNT(*) n FROM tranfile t JOIN magazine m ON m.Pointer = t.pointer "
            "WHERE COALESCE(t.MagStatus, '') <> 'Z' GROUP BY m.Pointer, m.Magazine_Name ORDER BY n DESC LIMIT 1"));
        const QString name = big.text(0, 0), pointer = big.text(0, 1);
        volumes::sum_journal w;
        w.show();
        auto* titles = w.findChild<QTableWidget*>(QStringLiteral("show_journal"));
        auto* issues = w.findChild<QTableWidget*>(QStringLiteral("show_item"));
        w.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(name);
        w.searchTitles();
        int row = 0;
        for (int r = 0; r < titles->rowCount(); ++r)
            if (titles->item(r, 2) && titles->item(r, 2)->text() == pointer)
                row = r;
        std::vector<double> pick, save;
        for (int i = 0; i < 20; ++i)
            pick.push_back(timed([&] { w.pickTitle(row); }));
        const int offered = issues->rowCount();
        for (int i = 0; i < 10; ++i) {
            w.pickTitle(row);
            w.add();
            for (int r = 0; r < 50; ++r)
                w.pickIssue(r);
            save.push_back(timed([&] { w.save(); }));
        }
        std::printf("title click to issue list: %d issues   median %6.2f ms\n", offered, median(pick));
        std::printf("saving a 50-issue volume: median %6.2f ms\n", median(save));

        const QString callno =
            c.query(QStringLiteral("SELECT callno FROM sum_journal ORDER BY regno LIMIT 1")).text(0, 0);
        auto* text3 = w.findChild<QPlainTextEdit*>(QStringLiteral("Text3"));
        std::vector<double> prefix;
        for (int i = 0; i < 20; ++i) {
            text3->setPlainText(callno.left(8));
            prefix.push_back(timed([&] { w.searchCallNumber(); }));
        }
        std::printf("call-number prefix search \"%s\": median %6.2f ms\n", qPrintable(callno.left(8)), median(prefix));

        c.exec(QStringLiteral("DELETE FROM sum_journal WHERE regno BETWEEN 'B001001' AND 'B002000'"));
        w.clearTitles();
        w.findChild<QLineEdit*>(QStringLiteral("Text2"))->setText(QStringLiteral("B001000"));
        w.searchRegno();
        std::vector<double> gap;
        for (int i = 0; i < 10; ++i)
            for (bool forward : {true, false})
                gap.push_back(timed([&] { w.step(forward); }));
        std::printf("Next / Previous across 1,000 missing numbers: median %6.2f ms (%d boxes in all)\n", median(gap),
                    boxes.shown);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_window_volumes: %s\n", e.what());
        return 1;
    }
    return 0;
}
