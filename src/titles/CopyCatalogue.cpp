#include "titles/CopyCatalogue.h"

#include "rules/reports/Fonts.h"
#include "rules/records/TitleStore.h"

#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QThread>

namespace titles {

CopyCatalogue::CopyCatalogue(const marc::CatalogueTarget& target, QWidget* parent) : QDialog(parent), target_(target) {
    setObjectName(QStringLiteral("CopyCatalogue"));
    setWindowTitle(QStringLiteral("ดึงข้อมูลวารสารจากระเบียน MARC"));
    setFont(reports::thaiFont(10));
    auto* grid = new QGridLayout(this);
    const auto button = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        b->setMinimumHeight(30);
        return b;
    };
    auto* label =
        new QLabel(target.address.isEmpty() ? QStringLiteral("ISSN หรือชื่อเรื่อง :")
                                            : QStringLiteral("ค้นใน %1 (ISSN หรือชื่อเรื่อง) :").arg(target.address),
                   this);
    Textterm = new QLineEdit(this);
    Textterm->setObjectName(QStringLiteral("Textterm"));
    Cmdsearch = button("Cmdsearch", QStringLiteral("ค้นหา"));
    Cmdfile = button("Cmdfile", QStringLiteral("เปิดไฟล์ MARC..."));
    lstrecords = new QListWidget(this);
    lstrecords->setObjectName(QStringLiteral("lstrecords"));
    Labelstatus = new QLabel(this);
    Labelstatus->setObjectName(QStringLiteral("Labelstatus"));
    Labelstatus->setWordWrap(true);
    Cmduse = button("Cmduse", QStringLiteral("ใช้ระเบียนนี้"));
    Cmdclose = button("Cmdclose", QStringLiteral("ปิด"));
    grid->addWidget(label, 0, 0, 1, 3);
    grid->addWidget(Textterm, 1, 0);
    grid->addWidget(Cmdsearch, 1, 1);
    grid->addWidget(Cmdfile, 1, 2);
    grid->addWidget(lstrecords, 2, 0, 1, 3);
    grid->addWidget(Labelstatus, 3, 0, 1, 3);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(Cmduse);
    row->addWidget(Cmdclose);
    grid->addLayout(row, 4, 0, 1, 3);
    resize(640, 400);

    Cmdsearch->setEnabled(!target.address.isEmpty());
    Cmduse->setEnabled(false);
    if (target.address.isEmpty())
        say(QStringLiteral("ยังไม่ได้กำหนดแค็ตตาล็อกที่จะค้น ([catalogue] target ในไฟล์ตั้งค่า): เปิดไฟล์ MARC แทนได้"), false);
    connect(Textterm, &QLineEdit::returnPressed, this, &CopyCatalogue::search);
    connect(Cmdsearch, &QPushButton::clicked, this, &CopyCatalogue::search);
    connect(Cmdfile, &QPushButton::clicked, this, [this] { openFile(); });
    connect(Cmduse, &QPushButton::clicked, this, &CopyCatalogue::useSelected);
    connect(lstrecords, &QListWidget::itemActivated, this, &CopyCatalogue::useSelected);
    connect(lstrecords, &QListWidget::currentRowChanged, this, [this](int r) { Cmduse->setEnabled(r >= 0); });
    connect(Cmdclose, &QPushButton::clicked, this, &QDialog::reject);
    Textterm->setFocus();
}

void CopyCatalogue::say(const QString& text, bool failure) {
    Labelstatus->setText(text);
    Labelstatus->setStyleSheet(failure ? QStringLiteral("color: #a00000;") : QString());
}

void CopyCatalogue::search() {
    const QString term = Textterm->text().trimmed();
    if (searching_ || target_.address.isEmpty())
        return;
    if (term.isEmpty()) {
        say(QStringLiteral("กรุณาพิมพ์ ISSN หรือชื่อเรื่องที่จะค้น"), true);
        Textterm->setFocus();
        return;
    }
    const auto issn = records::issnOf(term);
    const QString asked = issn ? issn->text : term;
    const marc::SearchBy by = issn ? marc::SearchBy::Issn : marc::SearchBy::Title;
    searching_ = true;
    Cmdsearch->setEnabled(false);
    lstrecords->clear();
    Cmduse->setEnabled(false);
    say(QStringLiteral("กำลังค้น %1 ใน %2 ...").arg(asked, target_.address), false);
    // The search blocks until the catalogue answers or the time-out: it runs on a thread of its
    // own, and its answer is dropped when the window has closed meanwhile.
    auto found = std::make_shared<marc::Found>();
    QThread* worker =
        QThread::create([found, target = target_, by, asked] { *found = marc::searchCatalogue(target, by, asked); });
    QPointer<CopyCatalogue> self(this);
    connect(worker, &QThread::finished, worker, [self, worker, found, asked] {
        worker->deleteLater();
        if (!self)
            return;
        self->searching_ = false;
        self->Cmdsearch->setEnabled(true);
        if (!found->error.isEmpty()) {
            self->say(found->error, true);
            self->Textterm->setFocus();
            return;
        }
        self->list(found->records, QStringLiteral("ไม่พบระเบียนของ \"%1\" ในแค็ตตาล็อก").arg(asked), found->problems);
        if (found->hits > found->records.size())
            self->say(
                self->Labelstatus->text() +
                    QStringLiteral(" (พบ %1 ระเบียน แสดง %2 ระเบียนแรก)").arg(found->hits).arg(found->records.size()),
                false);
    });
    worker->start();
}

void CopyCatalogue::openFile(QString file) {
    if (file.isEmpty())
        file = QFileDialog::getOpenFileName(this, QStringLiteral("เปิดไฟล์ MARC"), {},
                                            QStringLiteral("MARC 21 (*.mrc *.marc *.iso *.xml);;ทุกไฟล์ (*)"));
    if (file.isEmpty())
        return;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        say(QStringLiteral("เปิดไฟล์ %1 ไม่ได้: %2").arg(file, in.errorString()), true);
        return;
    }
    QStringList problems;
    const QList<marc::Record> read = marc::read(in.readAll(), &problems);
    list(read, QStringLiteral("ไม่พบระเบียน MARC ในไฟล์ %1").arg(file), problems);
}

void CopyCatalogue::list(const QList<marc::Record>& records, const QString& none, const QStringList& problems) {
    records_ = records;
    lstrecords->clear();
    for (const marc::Record& r : records) {
        QStringList parts;
        for (const QString& p :
             {r.sub(QStringLiteral("022"), QLatin1Char('a')), r.sub(QStringLiteral("245"), QLatin1Char('a')),
              r.sub(QStringLiteral("260"), QLatin1Char('b'))})
            if (!p.trimmed().isEmpty())
                parts << p.trimmed();
        lstrecords->addItem(parts.join(QStringLiteral("  —  ")));
    }
    if (records.isEmpty()) {
        say(problems.isEmpty() ? none : none + QLatin1Char('\n') + problems.join(QLatin1Char('\n')), true);
        Textterm->setFocus();
        return;
    }
    say(QStringLiteral("พบ %1 ระเบียน: เลือกแล้วกด Enter").arg(records.size()) +
            (problems.isEmpty() ? QString() : QLatin1Char('\n') + problems.join(QLatin1Char('\n'))),
        false);
    lstrecords->setCurrentRow(0);
    lstrecords->setFocus();
}

void CopyCatalogue::useSelected() {
    const int row = lstrecords->currentRow();
    if (row < 0 || row >= records_.size())
        return;
    hide(); // the register's message about the record stands alone
    emit chosen(records_.at(row));
    accept();
}

} // namespace titles
