#include "survey/frmrep_journ_serv.h"

#include "data/Config.h"
#include "data/Dates.h"
#include "forms/common/DateField.h"
#include "forms/common/ErrorGuard.h"
#include "rules/reports/Fonts.h"
#include "forms/common/Grid.h"
#include "forms/common/MessageBoxes.h"
#include "forms/common/Style.h"
#include "forms/common/ReportViewer.h"
#include "rules/survey/Survey.h"
#include "ui_frmrep_journ_serv.h"

#include <QCalendarWidget>
#include <QCoreApplication>
#include <QDir>
#include <QFocusEvent>
#include <QStandardPaths>

namespace survey {

frmrep_journ_serv::frmrep_journ_serv(std::unique_ptr<data::Connection> connection, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::frmrep_journ_serv>()) {
    ui->setupUi(this);
    ui->Label1->setText(QStringLiteral("พิมพ์รายชื่อวารสารสำหรับการสำรวจ"));
    ui->Label1->setFont(reports::thaiFont(14, true));
    ui->Label3->setText(QStringLiteral("วันเริ่มต้น"));
    ui->Label4->setText(QStringLiteral("วันสิ้นสุด"));
    ui->opttype_0->setText(QStringLiteral(" ภาษาต่างประเทศ"));
    ui->opttype_1->setText(QStringLiteral(" ภาษาไทย"));
    ui->opttype_0->setChecked(true);
    MonthView1 = new QCalendarWidget(this);
    MonthView1->setObjectName(QStringLiteral("MonthView1"));
    auto* picker = new forms::CalendarPicker(MonthView1);
    picker->attach(ui->Cmd_datestart, ui->txtstart);
    picker->attach(ui->Cmd_datestop, ui->txtstop);
    // The dates are only picked: after the start comes the end's button, after the end Print.
    connect(picker, &forms::CalendarPicker::picked, this, [this](QLineEdit* field) {
        (field == ui->txtstart ? static_cast<QWidget*>(ui->Cmd_datestop) : ui->cmdprint)->setFocus();
    });
    for (QLineEdit* f : {ui->txtstart, ui->txtstop}) {
        forms::styleDataField(f, QColor(0, 0, 255));
        forms::setFieldColour(f, QColor(0xFF, 0xFF, 0xC0));
        f->installEventFilter(this);
    }
    db_ = std::move(connection);
    connect(ui->cmdcan, &QPushButton::clicked, this, [this] {
        ui->txtstart->clear();
        ui->txtstop->clear();
        ui->txtstart->setFocus();
    });
    connect(ui->cmdprint, &QPushButton::clicked, this, &frmrep_journ_serv::print);
    connect(ui->cmdexit, &QPushButton::clicked, this, &QWidget::close);
    forms::keyboardReady(this);
    ui->opttype_0->setFocus();
}

frmrep_journ_serv::~frmrep_journ_serv() = default;

reports::ReportViewer* frmrep_journ_serv::shownReport() const {
    return shown_.data();
}

bool frmrep_journ_serv::eventFilter(QObject* watched, QEvent* event) {
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (field && event->type() == QEvent::FocusIn)
        field->selectAll();
    // Leaving a date field empty puts today's date in it, unless the calendar is taking over.
    if (field && event->type() == QEvent::FocusOut && !MonthView1->isVisible() &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
        dateLeft(field);
    return QWidget::eventFilter(watched, event);
}

void frmrep_journ_serv::dateLeft(QLineEdit* field) {
    if (field->text().trimmed().isEmpty())
        field->setText(data::formatDate(QDate::currentDate()));
    if (const auto d = data::parseDate(field->text())) {
        field->setText(data::formatDate(*d));
        return;
    }
    forms::inform(this,
                  field == ui->txtstart ? QStringLiteral("Error in Start Date") : QStringLiteral("Error in Stop Date"),
                  QCoreApplication::applicationName(), forms::Icon::Information);
    ui->txtstart->clear();
    ui->txtstop->clear();
}

void frmrep_journ_serv::print() {
    const auto from = data::parseDate(ui->txtstart->text()), to = data::parseDate(ui->txtstop->text());
    if (!from || !to || *to < *from) {
        forms::inform(this,
                      !from || !to ? QStringLiteral("กรุณากำหนดวันเริ่มต้นและวันสิ้นสุดให้ครบก่อนพิมพ์รายงาน (ปุ่ม ...)")
                                   : QStringLiteral("วันสิ้นสุดอยู่ก่อนวันเริ่มต้น กรุณาแก้ไขวันที่ใหม่"),
                      QStringLiteral("ตรวจสอบข้อมูล"), forms::Icon::Critical);
        (!from ? ui->Cmd_datestart : ui->Cmd_datestop)->setFocus();
        return;
    }
    const QChar group = ui->opttype_0->isChecked() ? QLatin1Char('J') : QLatin1Char('I');
    QString folder = data::installation().stagingDir;
    if (folder == QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
        QDir().mkpath(folder); // the program's own data folder is made when first needed
    setCursor(Qt::WaitCursor);
    forms::guarded(
        this,
        [&] {
            // Staged and laid out as the blocks are read: the rows themselves are not kept.
            SurveyStaging staging(folder);
            SurveyReport report(group, *from, *to);
            qint64 rows = 0;
            readSurvey(*db_, group, *from, *to, [&](const QList<SurveyRow>& block) {
                staging.add(block);
                report.add(block);
                rows += block.size();
            });
            QString error;
            if (!staging.commit(&error)) {
                forms::inform(this, error, QStringLiteral("ไม่สามารถจัดเตรียมข้อมูลได้"), forms::Icon::Critical);
                return;
            }
            if (rows == 0) {
                forms::inform(this, QStringLiteral("ไม่พบข้อมูล ในช่วงเวลาที่ต้องการ กรุณาตรวจสอบอีกครั้ง"),
                              QStringLiteral("Data Not Found"), forms::Icon::Critical);
                return;
            }
            forms::inform(this,
                          QStringLiteral("จัดเตรียมข้อมูล การจัดทำรายงานสำหรับสำรวจวารสาร เรียบร้อยแล้ว \nคลิก OK เพื่อแสดงรายงาน"),
                          QStringLiteral("Data Complete"), forms::Icon::Information);
            shown_ = showReport(report.finish(), this);
        },
        db_.get());
    unsetCursor();
}

forms::Declaration frmrep_journ_serv::declaration() {
    return {QStringLiteral("frmrep_journ_serv"), QStringLiteral("rep_journal_survey"), forms::Opens::Child, forms::makeWindow<frmrep_journ_serv>,
            {}, {}};
}

} // namespace survey
