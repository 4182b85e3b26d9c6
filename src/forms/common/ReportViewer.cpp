#include "forms/common/ReportViewer.h"

#include "forms/common/MessageBoxes.h"

#include <QFileDialog>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStyle>
#include <QVBoxLayout>

namespace reports {

namespace {

QPushButton* button(QWidget* parent, QLayout* row, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    b->setMinimumSize(80, 30);
    row->addWidget(b);
    return b;
}

// The page and zoom buttons: an icon (the style's arrows; a magnifier drawn here, as icon
// themes differ between desks) and a tooltip saying what it does.
QPushButton* iconButton(QWidget* parent, QLayout* row, const char* name, const QIcon& icon, const QString& tip) {
    QPushButton* b = button(parent, row, name, QString());
    b->setIcon(icon);
    b->setIconSize(QSize(20, 20));
    b->setToolTip(tip);
    b->setAccessibleName(tip);
    b->setMinimumWidth(40);
    return b;
}

QIcon magnifier(bool plus) {
    QPixmap pm(40, 40);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 4));
    p.drawEllipse(QRectF(4, 4, 24, 24));
    p.setPen(QPen(QColor(40, 40, 40), 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(26, 26), QPointF(36, 36));
    p.setPen(QPen(QColor(20, 90, 170), 4));
    p.drawLine(QPointF(10, 16), QPointF(22, 16));
    if (plus)
        p.drawLine(QPointF(16, 10), QPointF(16, 22));
    return QIcon(pm);
}

// Long work shows its progress and, where `stoppable`, can be stopped.
} // namespace

Progress progressDialog(QWidget* parent, QProgressDialog*& dialog, const QString& what, bool stoppable) {
    return [=, &dialog](int done, int total) {
        if (total < 20)
            return true;
        if (!dialog) {
            dialog = new QProgressDialog(what, stoppable ? QStringLiteral("ยกเลิก") : QString(), 0, total, parent);
            dialog->setWindowModality(Qt::WindowModal);
            dialog->setMinimumDuration(300);
        }
        dialog->setValue(done);
        return !dialog->wasCanceled();
    };
}

ReportViewer::ReportViewer(Document doc, QWidget* parent)
    : QWidget(parent), doc_(std::move(doc)), printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    setObjectName(QStringLiteral("ReportViewer"));
    setWindowTitle(doc_.title);
    printer_->setPageLayout(pageLayout());
    preview_ = new QPrintPreviewWidget(printer_.get(), this);
    preview_->setObjectName(QStringLiteral("preview"));
    connect(preview_, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* p) { reports::render(doc_, p); });
    connect(preview_, &QPrintPreviewWidget::previewChanged, this, &ReportViewer::showPageNumber);

    auto* row = new QHBoxLayout;
    QPushButton* previous =
        iconButton(this, row, "previousPage", style()->standardIcon(QStyle::SP_ArrowLeft), QStringLiteral("หน้าก่อน"));
    pageLabel_ = new QLabel(this);
    pageLabel_->setObjectName(QStringLiteral("pageLabel"));
    row->addWidget(pageLabel_);
    QPushButton* next =
        iconButton(this, row, "nextPage", style()->standardIcon(QStyle::SP_ArrowRight), QStringLiteral("หน้าถัดไป"));
    QPushButton* zoomOut = iconButton(this, row, "zoomOut", magnifier(false), QStringLiteral("ย่อ"));
    zoomLabel_ = new QLabel(this);
    zoomLabel_->setObjectName(QStringLiteral("zoomLabel"));
    zoomLabel_->setMinimumWidth(QFontMetrics(zoomLabel_->font()).horizontalAdvance(QStringLiteral("1000 %")));
    zoomLabel_->setAlignment(Qt::AlignCenter);
    row->addWidget(zoomLabel_);
    QPushButton* zoomIn = iconButton(this, row, "zoomIn", magnifier(true), QStringLiteral("ขยาย"));
    row->addStretch();
    QPushButton* printButton = button(this, row, "print", QStringLiteral("พิมพ์"));
    QPushButton* pdf = button(this, row, "pdf", QStringLiteral("PDF"));
    QPushButton* csv = button(this, row, "csv", QStringLiteral("CSV"));
    QPushButton* close = button(this, row, "close", QStringLiteral("ปิด"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(preview_, 1);

    connect(previous, &QPushButton::clicked, this, [this] { preview_->setCurrentPage(preview_->currentPage() - 1); });
    connect(next, &QPushButton::clicked, this, [this] { preview_->setCurrentPage(preview_->currentPage() + 1); });
    connect(zoomIn, &QPushButton::clicked, preview_, [this] {
        preview_->zoomIn();
        showPageNumber();
    });
    connect(zoomOut, &QPushButton::clicked, preview_, [this] {
        preview_->zoomOut();
        showPageNumber();
    });
    connect(printButton, &QPushButton::clicked, this, &ReportViewer::print);
    enableOutputs();
    connect(pdf, &QPushButton::clicked, this, [this] { savePdf(); });
    connect(csv, &QPushButton::clicked, this, [this] { saveCsv(); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    resize(900, 700);
}

ReportViewer::~ReportViewer() = default;

void ReportViewer::enableOutputs() {
    for (const char* name : {"print", "pdf", "csv"})
        findChild<QPushButton*>(QLatin1String(name))->setEnabled(!doc_.pages.isEmpty());
}

void ReportViewer::setDocument(Document doc) {
    doc_ = std::move(doc);
    enableOutputs();
    preview_->updatePreview();
    showTop();
}

void ReportViewer::setZoom(double factor) {
    preview_->setZoomMode(QPrintPreviewWidget::CustomZoom);
    preview_->setZoomFactor(factor);
    showTop();
    showPageNumber(); // zooming keeps the middle of the view, which hides the page's head
}

void ReportViewer::showTop() {
    preview_->setCurrentPage(1);
    if (auto* view = preview_->findChild<QGraphicsView*>()) {
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->minimum());
        view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->minimum());
    }
}

void ReportViewer::showPageNumber() {
    pageLabel_->setText(QStringLiteral("หน้า %1 / %2").arg(preview_->currentPage()).arg(preview_->pageCount()));
    zoomLabel_->setText(QStringLiteral("%1 %").arg(qRound(preview_->zoomFactor() * 100)));
}

void ReportViewer::print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(pageLayout());
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) // closing the dialog prints nothing and is no error
        printTo(printer);
}

bool ReportViewer::printTo(QPrinter& printer) {
    QProgressDialog* progress = nullptr;
    // A print job goes whole: the desk's printing system cannot take back pages already drawn,
    // so once the printer was chosen there is no stopping half way (and no half-printed list).
    const Rendered r =
        reports::render(doc_, &printer, progressDialog(this, progress, QStringLiteral("กำลังพิมพ์..."), false),
                        [&printer] { printer.abort(); });
    delete progress;
    if (r == Rendered::CannotStart)
        forms::inform(this,
                      QStringLiteral("เริ่มพิมพ์ที่เครื่องพิมพ์ %1 ไม่ได้ กรุณาตรวจสอบเครื่องพิมพ์แล้วสั่งพิมพ์อีกครั้ง")
                          .arg(printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName()),
                      QStringLiteral("พิมพ์ไม่ได้"), forms::Icon::Critical);
    return r == Rendered::Done;
}

bool ReportViewer::saveAs(QString file, const QString& caption, const QString& kind,
                          const std::function<bool(const QString&, QString*)>& write) {
    if (file.isEmpty())
        file = QFileDialog::getSaveFileName(this, caption,
                                            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
                                                QLatin1Char('/') + doc_.title + QLatin1Char('.') + kind.toLower(),
                                            QStringLiteral("%1 (*.%2)").arg(kind, kind.toLower()));
    if (file.isEmpty())
        return false;
    QString error;
    if (write(file, &error))
        return true;
    forms::inform(this, error, kind, forms::Icon::Critical);
    return false;
}

bool ReportViewer::savePdf(QString file) {
    return saveAs(file, QStringLiteral("บันทึกเป็น PDF"), QStringLiteral("PDF"), [this](const QString& f, QString* e) {
        QProgressDialog* progress = nullptr;
        const bool ok = writePdf(doc_, f, e, progressDialog(this, progress, QStringLiteral("กำลังสร้างแฟ้ม PDF...")));
        delete progress;
        return ok;
    });
}

bool ReportViewer::saveCsv(QString file) {
    return saveAs(file, QStringLiteral("ส่งออกเป็น CSV"), QStringLiteral("CSV"),
                  [this](const QString& f, QString* e) { return writeCsv(doc_, f, e); });
}

void ReportViewer::keyPressEvent(QKeyEvent* event) {
    // Shown as a window of its own, Esc closes it, as the Close button does.
    if (isWindow() && event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

ReportViewer* showReport(Document doc, QWidget* parent) {
    auto* v = new ReportViewer(std::move(doc), parent);
    v->setWindowFlag(Qt::Window);
    v->setAttribute(Qt::WA_DeleteOnClose);
    v->show();
    return v;
}

} // namespace reports
