#include "app/HistoryReportWindow.h"

#include "data/Dates.h"
#include "data/History.h"
#include "forms/common/DateField.h"
#include "forms/common/ErrorGuard.h"
#include "rules/reports/Fonts.h"
#include "forms/common/MessageBoxes.h"
#include "rules/reports/HistoryReport.h"
#include "forms/common/ReportViewer.h"

#include <QProgressDialog>

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace app {

HistoryReportWindow::HistoryReportWindow(std::unique_ptr<data::Connection> connection, QWidget* parent)
    : QWidget(parent), db_(std::move(connection)) {
    setObjectName(QStringLiteral("HistoryReport"));
    setWindowTitle(QStringLiteral("ประวัติการแก้ไขข้อมูล"));
    setFont(reports::thaiFont(9.75));
    const auto dateField = [this](const char* name, const QDate& d) {
        auto* e = new QLineEdit(data::formatDate(d), this);
        e->setObjectName(QLatin1String(name));
        e->setMaxLength(10);
        forms::typeDateSeparators(e);
        return e;
    };
    from_ = dateField("Text1", QDate::currentDate().addDays(1 - QDate::currentDate().day()));
    to_ = dateField("Text2", QDate::currentDate());
    person_ = new QComboBox(this);
    person_->setObjectName(QStringLiteral("cboPerson"));
    person_->setEditable(true);
    person_->setInsertPolicy(QComboBox::NoInsert);
    person_->addItem(QString());
    person_->addItems(data::historyPeople(*db_));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("ตั้งแต่วันที่"), from_);
    form->addRow(QStringLiteral("ถึงวันที่"), to_);
    form->addRow(QStringLiteral("ผู้แก้ไข (ว่าง: ทุกคน)"), person_);
    auto* show = new QPushButton(QStringLiteral("แสดงรายงาน"), this);
    show->setObjectName(QStringLiteral("cmdShow"));
    show->setDefault(true);
    auto* exit = new QPushButton(QStringLiteral("ออก"), this);
    exit->setObjectName(QStringLiteral("cmdExit"));
    connect(show, &QPushButton::clicked, this, &HistoryReportWindow::showReport);
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    // Enter in any field shows the report; Esc closes the window (keyPressEvent).
    for (QLineEdit* field : {from_, to_, person_->lineEdit()})
        connect(field, &QLineEdit::returnPressed, this, &HistoryReportWindow::showReport);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(show);
    buttons->addWidget(exit);
    auto* all = new QVBoxLayout(this);
    all->addLayout(form);
    all->addLayout(buttons);
    setTabOrder(from_, to_);
    setTabOrder(to_, person_);
    setTabOrder(person_, show);
    setTabOrder(show, exit);
    resize(420, 170);
}

HistoryReportWindow::~HistoryReportWindow() = default;

void HistoryReportWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

void HistoryReportWindow::showReport() {
    std::optional<QDate> from, to;
    if (!forms::readDateField(this, from_, QStringLiteral("ตั้งแต่วันที่"), true, &from) ||
        !forms::readDateField(this, to_, QStringLiteral("ถึงวันที่"), true, &to))
        return;
    if (*to < *from) {
        forms::inform(this, QStringLiteral("วันที่สิ้นสุดต้องไม่ก่อนวันที่เริ่มต้น"), QStringLiteral("ประวัติการแก้ไขข้อมูล"),
                      forms::Icon::Warning);
        to_->setFocus();
        return;
    }
    const QString person = person_->currentText().trimmed();
    QProgressDialog* progress = nullptr;
    forms::guarded(
        this,
        [&] {
            const QList<data::Change> changes = data::changesBetween(*db_, *from, *to, person);
            reports::Document doc = reports::historyReport(
                changes, *from, *to, person,
                reports::progressDialog(this, progress, QStringLiteral("กำลังสร้างรายงานประวัติการแก้ไข..."), false));
            delete std::exchange(progress, nullptr);
            if (shown_)
                shown_->close();
            shown_ = reports::showReport(std::move(doc), this);
        },
        db_.get(), QStringLiteral("อ่านประวัติการแก้ไขไม่สำเร็จ"));
    delete progress; // left by a failure part way
}

forms::Declaration HistoryReportWindow::declaration() {
    return {QStringLiteral("HistoryReport"), QStringLiteral("history_rep"), forms::Opens::CentredOnOwner, forms::makeWindow<HistoryReportWindow>,
            {}, {}};
}

} // namespace app
