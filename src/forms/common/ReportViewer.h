#pragma once

#include "rules/reports/Report.h"

#include <QWidget>
#include <memory>

class QLabel;
class QPrintPreviewWidget;
class QPrinter;

class QProgressDialog;

namespace reports {

// A report on screen: its pages with zoom and page stepping, and the buttons that print it
// ("พิมพ์"), save it as PDF and export its rows as CSV.
// A progress callback that opens a window-modal progress window once the work is seen to be
// long (20 steps or more) and gives false when its Cancel was pressed (none when not
// `stoppable`). The window is `dialog`'s, for the caller to delete.
Progress progressDialog(QWidget* parent, QProgressDialog*& dialog, const QString& what, bool stoppable = true);

class ReportViewer : public QWidget {
    Q_OBJECT
public:
    explicit ReportViewer(Document doc, QWidget* parent = nullptr);
    ~ReportViewer() override;

    const Document& document() const { return doc_; }
    void setDocument(Document doc);
    void setZoom(double factor);
    // Saves without asking for a file name when one is given (tests, scheduled runs).
    bool savePdf(QString file = {});
    bool saveCsv(QString file = {});
    void print();
    // Prints on a printer already chosen; a printer that cannot start is said in a box, a job
    // stopped part way is aborted. True when every page went.
    bool printTo(QPrinter& printer);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Page 1 from its top.
    void showTop();
    Document doc_;
    std::unique_ptr<QPrinter> printer_; // what the preview draws on
    QPrintPreviewWidget* preview_;
    QLabel* pageLabel_;
    QLabel* zoomLabel_;
    void showPageNumber();
    // Print, PDF and CSV only for a document that has pages.
    void enableOutputs();
    bool saveAs(QString file, const QString& caption, const QString& kind,
                const std::function<bool(const QString&, QString*)>& write);
};

// Opens a viewer for `doc` as a window of its own, deleted when closed.
ReportViewer* showReport(Document doc, QWidget* parent = nullptr);

} // namespace reports
