#include "rules/reports/Report.h"

#include "rules/reports/Fonts.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace reports {

namespace {

QString quoted(const QString& value) {
    if (!value.contains(QLatin1Char(',')) && !value.contains(QLatin1Char('"')) && !value.contains(QLatin1Char('\n')) &&
        !value.contains(QLatin1Char('\r')))
        return value;
    return QLatin1Char('"') + QString(value).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

} // namespace

QPageLayout pageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(6, 6, 6, 6), QPageLayout::Millimeter);
}

QFont reportFont(double pointSize, bool bold, bool underline) {
    // Waree of the TLWG set: of the installed Thai faces it keeps the most Thai text readable
    // in a PDF's text layer; the program's own face stands in where it is missing.
    QFont f = reports::thaiFont(pointSize, bold);
    f.setFamilies({QStringLiteral("Waree"), f.family()});
    f.setPixelSize(qRound(pointSize * 20)); // one point is 20 twips
    f.setUnderline(underline);
    return f;
}

double textHeight(double pointSize, bool bold) {
    // A single line's height, as the text's own height was measured for printing.
    return QFontMetricsF(reportFont(pointSize, bold)).height();
}

namespace {
QPagedPaintDevice* turned(QPagedPaintDevice* device, bool landscape) {
    device->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    return device;
}
} // namespace

PageDrawer::PageDrawer(QPagedPaintDevice* device, bool landscape)
    : device_(device), painter_(turned(device, landscape)), sx_(device->logicalDpiX() / 1440.0),
      sy_(device->logicalDpiY() / 1440.0), landscape_(landscape) {}

void PageDrawer::draw(const Page& page) {
    if (page.landscape != landscape_) // takes effect from the next page on
        turned(device_, landscape_ = page.landscape);
    if (drawn_++ > 0)
        device_->newPage();
    QPainter& p = painter_;
    p.save();
    p.scale(sx_, sy_);
    for (const BoxItem& b : page.boxes) {
        p.setPen(b.outlined ? QPen(Qt::black, 8) : QPen(Qt::NoPen));
        p.setBrush(QColor(b.grey, b.grey, b.grey));
        p.drawRect(QRectF(b.x, b.y, b.width, b.height));
    }
    for (const TextItem& t : page.items) {
        const QFont f = reportFont(t.pointSize, t.bold, t.underline);
        p.setFont(f);
        const double needed = t.width > 0 ? QFontMetricsF(f).horizontalAdvance(t.text) : 0;
        // A text longer than its room is drawn narrower, never over the next column.
        const double squeeze = needed > t.width ? t.width / needed : 1;
        p.save();
        p.translate(t.x, t.y);
        p.scale(squeeze, 1);
        p.drawText(QRectF(0, 0, 40000, 2000), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, t.text);
        p.restore();
    }
    p.restore();
}

Rendered render(const Document& doc, QPagedPaintDevice* device, const Progress& progress,
                const std::function<void()>& abandon) {
    PageDrawer drawer(device, !doc.pages.isEmpty() && doc.pages.first().landscape);
    if (!drawer.isActive())
        return Rendered::CannotStart;
    for (int i = 0; i < doc.pages.size(); ++i) {
        if (progress && !progress(i, int(doc.pages.size()))) {
            if (abandon)
                abandon(); // ending the painter would send the pages drawn so far
            return Rendered::Stopped;
        }
        drawer.draw(doc.pages.at(i));
    }
    return Rendered::Done;
}

QByteArray csvLine(const QStringList& values) {
    QStringList cells;
    cells.reserve(values.size());
    for (const QString& v : values)
        cells << quoted(v);
    return (cells.join(QLatin1Char(',')) + QStringLiteral("\r\n")).toUtf8();
}

QByteArray csvBytes(const QStringList& header, const QList<QStringList>& rows) {
    QByteArray out = csvByteOrderMark + csvLine(header);
    for (const QStringList& r : rows)
        out += csvLine(r);
    return out;
}

namespace {

void preparePdf(QPdfWriter& pdf, const QString& title) {
    pdf.setTitle(title);
    pdf.setCreator(QStringLiteral("Warasan"));
    pdf.setResolution(600);
    pdf.setPageLayout(pageLayout());
}

QString cannotWrite(const QString& file, const QString& why) {
    return QStringLiteral("เขียนแฟ้ม %1 ไม่ได้: %2").arg(file, why);
}

} // namespace

bool writePdf(const Document& doc, const QString& file, QString* error, const Progress& progress) {
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) {
        *error = cannotWrite(file, out.errorString());
        return false;
    }
    {
        QPdfWriter pdf(&out);
        preparePdf(pdf, doc.title);
        if (const Rendered r = render(doc, &pdf, progress); r != Rendered::Done) {
            out.cancelWriting();
            *error = r == Rendered::Stopped ? QStringLiteral("ยกเลิกการสร้างแฟ้ม %1").arg(file)
                                            : QStringLiteral("เขียนแฟ้ม %1 ไม่ได้: สร้างหน้า PDF ไม่ได้").arg(file);
            return false;
        }
    }
    if (!out.commit()) {
        *error = cannotWrite(file, out.errorString());
        return false;
    }
    return true;
}

bool writeCsv(const Document& doc, const QString& file, QString* error) {
    CsvStream out(file, doc.csvHeader);
    for (const QStringList& r : doc.csvRows)
        out.row(r);
    return out.commit(error);
}

PdfStream::PdfStream(const QString& file, const QString& title) : file_(file), out_(file) {
    if (!out_.open(QIODevice::WriteOnly)) {
        error_ = out_.errorString();
        return;
    }
    pdf_ = std::make_unique<QPdfWriter>(&out_);
    preparePdf(*pdf_, title);
}

PdfStream::~PdfStream() {
    drawer_.reset();
    pdf_.reset();
    out_.cancelWriting();
}

void PdfStream::page(const Page& page) {
    if (!drawer_ && error_.isEmpty()) { // begun at the first page, turned as it is
        drawer_ = std::make_unique<PageDrawer>(pdf_.get(), page.landscape);
        if (!drawer_->isActive())
            error_ = QStringLiteral("สร้างหน้า PDF ไม่ได้");
    }
    if (error_.isEmpty())
        drawer_->draw(page);
}

bool PdfStream::commit(QString* error) {
    if (!drawer_ && error_.isEmpty())
        page(Page{}); // a file of no pages is no PDF: one blank page
    drawer_.reset();  // ends the painter: the PDF's last page and its trailer are written
    pdf_.reset();
    if (error_.isEmpty() && !out_.commit())
        error_ = out_.errorString();
    if (!error_.isEmpty())
        *error = cannotWrite(file_, error_);
    return error_.isEmpty();
}

CsvStream::CsvStream(const QString& file, const QStringList& header) : file_(file), out_(file) {
    failed_ = !out_.open(QIODevice::WriteOnly) || out_.write(csvByteOrderMark + csvLine(header)) < 0;
}

void CsvStream::row(const QStringList& values) {
    failed_ = failed_ || out_.write(csvLine(values)) < 0;
}

bool CsvStream::commit(QString* error) {
    if (failed_ || !out_.commit()) {
        *error = cannotWrite(file_, out_.errorString());
        out_.cancelWriting();
        return false;
    }
    return true;
}

} // namespace reports
