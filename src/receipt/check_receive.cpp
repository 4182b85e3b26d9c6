#include "receipt/check_receive.h"

#include "data/Dates.h"
#include "forms/common/DateField.h"
#include "forms/common/ErrorGuard.h"
#include "forms/common/Grid.h"
#include "forms/common/MessageBoxes.h"
#include "forms/common/ReportViewer.h"
#include "forms/common/Style.h"
#include "ui_check_receive.h"

#include <QCalendarWidget>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QSysInfo>
#include <QVBoxLayout>

namespace receipt {

check_receive::check_receive(std::unique_ptr<data::Connection> connection, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::check_receive>()) {
    ui->setupUi(this);
    MonthView1 = new QCalendarWidget(this);
    MonthView1->setObjectName(QStringLiteral("MonthView1"));
    MonthView2 = new QCalendarWidget(this);
    MonthView2->setObjectName(QStringLiteral("MonthView2"));
    auto* start = new forms::CalendarPicker(MonthView1);
    start->attach(ui->Command1, ui->Text1);
    auto* end = new forms::CalendarPicker(MonthView2);
    end->attach(ui->Command2, ui->Text2);
    // An end before the start is refused at the calendar, which opens again for another date.
    connect(start, &forms::CalendarPicker::picked, this, [this, start] {
        if (!ui->Text2->text().isEmpty() && !periodIsRight(false))
            start->openFor(ui->Text1, ui->Command1);
    });
    connect(end, &forms::CalendarPicker::picked, this, [this, end] {
        if (!periodIsRight(false))
            end->openFor(ui->Text2, ui->Command2);
    });
    for (QLineEdit* f : {ui->Text1, ui->Text2}) {
        forms::styleDataField(f);
        f->setMaxLength(10);
    }
    viewer_ = new reports::ReportViewer({}, ui->viewerPlace);
    auto* place = new QVBoxLayout(ui->viewerPlace);
    place->setContentsMargins(0, 0, 0, 0);
    place->addWidget(viewer_);
    ui->mainLayout->setStretchFactor(ui->viewerPlace, 1);
    viewer_->findChild<QWidget*>(QStringLiteral("close"))->hide(); // the window's Exit closes it

    db_ = std::move(connection);
    connect(ui->Command3, &QPushButton::clicked, this, &check_receive::process);
    connect(ui->Command4, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->OptTitles, &QRadioButton::toggled, this, &check_receive::showView);
    // Enter in the start goes on to the end; in the end, runs the check.
    connect(ui->Text1, &QLineEdit::returnPressed, ui->Text2, qOverload<>(&QWidget::setFocus));
    connect(ui->Text2, &QLineEdit::returnPressed, this, &check_receive::process);
    forms::keyboardReady(this);
    ui->Text1->setFocus();
}

check_receive::~check_receive() = default;

QString check_receive::station() {
    return QSysInfo::machineHostName().left(60) + QLatin1Char('/') + qEnvironmentVariable("USER").left(30);
}

bool check_receive::periodIsRight(bool requireBoth) {
    const auto from = data::parseDate(ui->Text1->text()), to = data::parseDate(ui->Text2->text());
    if (requireBoth && (!from || !to)) {
        forms::inform(this,
                      QStringLiteral("กรุณากำหนดช่วงเวลาที่ต้องการตรวจสอบให้ครบทั้งวันที่เริ่มต้นและวันที่สิ้นสุด (วว/ดด/ปปปป หรือปุ่ม ...)"),
                      QStringLiteral(" Date Error"), forms::Icon::Critical);
        (from ? ui->Text2 : ui->Text1)->setFocus();
        return false;
    }
    if (from && to && *to < *from) {
        forms::inform(this, QStringLiteral("วันที่ไม่ถูกต้อง กรุณาแก้ไขวันที่ใหม่"), QStringLiteral(" Date Error"),
                      forms::Icon::Critical);
        return false;
    }
    return true;
}

void check_receive::process() {
    if (!periodIsRight(true))
        return;
    from_ = *data::parseDate(ui->Text1->text());
    to_ = *data::parseDate(ui->Text2->text());
    emit statusSaid(1, QString(), 2000);
    emit statusSaid(2, QString(), 4000);
    setCursor(Qt::WaitCursor);
    reported_ = false;
    const bool ran = forms::guarded(
        this,
        [&] {
            int count = 0;
            missing_ = ReceiptCheck::run(*db_, from_, to_, &count, [&](int n, int total) {
                emit statusSaid(1, QString::number(total), 0);
                emit statusSaid(2, QString::number(n), 0);
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); // the counts show as they go
                return true;
            });
            ReceiptCheck::stage(*db_, station(), missing_, from_, to_);
            showView();
            reported_ = true;
            viewer_->setZoom(0.94);
        },
        db_.get());
    if (!ran) { // a failed run shows nothing, rather than the last run's rows under this period
        missing_.clear();
        from_ = to_ = QDate();
        viewer_->setDocument({});
    }
    unsetCursor();
}

void check_receive::closeEvent(QCloseEvent* event) {
    // The main window's panels told this window's counts: they go with it.
    for (int panel : {1, 2})
        emit statusSaid(panel, QStringLiteral(""), 0);
    QWidget::closeEvent(event);
}

void check_receive::showView() {
    if (!from_.isValid())
        return;
    forms::guarded(
        this,
        [&] {
            viewer_->setDocument(ui->OptTitles->isChecked() ? receiptReport(missing_, from_, to_)
                                                            : claimsReport(*db_, missing_, from_, to_));
        },
        db_.get());
}

forms::Declaration check_receive::declaration() {
    return {QStringLiteral("check_receive"),
            QStringLiteral("chk_recei"),
            forms::Opens::Child,
            forms::makeWindow<check_receive>,
            {},
            {}};
}

} // namespace receipt
