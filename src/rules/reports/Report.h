#pragma once

#include <QFont>
#include <QList>
#include <QPageLayout>
#include <QPainter>
#include <QSaveFile>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QPagedPaintDevice;
class QPdfWriter;

namespace reports {

// One text on a page, placed as the printed lists are specified: in twips (1/1440 inch) from
// the printable origin, the top of the text at `y`.
struct TextItem {
    double x = 0, y = 0;
    QString text;
    double pointSize = 10;
    bool bold = false;
    bool underline = false;
    double width = 0; // the room it has, in twips; a longer text is narrowed to fit (0: no limit)
};

// The printable width and height of a page, in twips (A4 less its margins).
constexpr double pageWidth = 11200;
constexpr double pageHeight = 16150;

// A filled rectangle on a page (a chart's bar, axis or key), in twips like the texts; `grey`
// 0 black to 255 white, outlined in black when `outlined`.
struct BoxItem {
    double x = 0, y = 0, width = 0, height = 0;
    int grey = 0;
    bool outlined = false;
};

struct Page {
    QList<TextItem> items;
    QList<BoxItem> boxes; // drawn under the texts
    bool landscape = false; // A4 turned: pageHeight across, pageWidth down
};

// A report as every output takes it: its pages for the viewer, the printer and PDF, and the
// same rows as a table for CSV.
struct Document {
    QString title; // a name for the viewer's caption and for proposed file names
    QList<Page> pages;
    QStringList csvHeader;
    QList<QStringList> csvRows;
};

// Height in twips of the sample text "ทดสอบ" in the report font at a size: the line height
// the layouts space their lines by.
double textHeight(double pointSize, bool bold);
// The report font (the program's Thai face) at a size, in twips as pixels.
QFont reportFont(double pointSize, bool bold = false, bool underline = false);

// A4 portrait with narrow margins: the lists reach 10,000 twips across and 33 lines down.
QPageLayout pageLayout();

// Told the pages done so far; false stops the work.
using Progress = std::function<bool(int done, int total)>;

// Draws pages one after another on a printer or PDF writer, a device page each.
class PageDrawer {
public:
    // `landscape`: the first page's orientation (each later page says its own).
    explicit PageDrawer(QPagedPaintDevice* device, bool landscape = false);
    bool isActive() const { return painter_.isActive(); }
    void draw(const Page& page);

private:
    QPagedPaintDevice* device_;
    QPainter painter_;
    double sx_, sy_;
    int drawn_ = 0;
    bool landscape_;
};

// Draws the pages on a printer or PDF writer, one device page each. Stopped part way, `abandon`
// runs before the painter ends (a print job is aborted there, so nothing of it is printed).
enum class Rendered { Done, Stopped, CannotStart };
Rendered render(const Document& doc, QPagedPaintDevice* device, const Progress& progress = {},
                const std::function<void()>& abandon = {});
// The CSV bytes: UTF-8 with a byte-order mark, RFC 4180 quoting, CRLF line ends.
QByteArray csvBytes(const QStringList& header, const QList<QStringList>& rows);
// The same writer a line at a time, for output streamed as it is read: the mark first, then
// one line per row.
inline constexpr char csvByteOrderMark[] = "\xEF\xBB\xBF";
QByteArray csvLine(const QStringList& values);
// Writes a PDF (A4, the report font embedded) or a CSV file; on failure false and the reason
// in plain words.
bool writePdf(const Document& doc, const QString& file, QString* error, const Progress& progress = {});
bool writeCsv(const Document& doc, const QString& file, QString* error);

// A PDF or CSV file written while the report is still being made, a page or a row at a time,
// so a report of any length takes no more memory than its pages in hand. The file appears
// only when commit() succeeds; dropped before, nothing is written.
class PdfStream {
public:
    PdfStream(const QString& file, const QString& title);
    ~PdfStream();
    void page(const Page& page);
    bool commit(QString* error);

private:
    QString file_;
    QSaveFile out_;
    std::unique_ptr<QPdfWriter> pdf_;
    std::unique_ptr<PageDrawer> drawer_;
    QString error_;
};

class CsvStream {
public:
    CsvStream(const QString& file, const QStringList& header);
    void row(const QStringList& values);
    bool commit(QString* error);

private:
    QString file_;
    QSaveFile out_;
    bool failed_ = false;
};

} // namespace reports
