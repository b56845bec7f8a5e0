#pragma once

// The engine's print preview: one page at a time (laid out when shown), zoom,
// paging, printing through the printer dialog and saving as PDF.

#include <QDialog>
#include <memory>

#include "kit/report/document.h"
#include "kit/report/output.h"

class QLabel;
class QScrollArea;
class QSpinBox;

namespace kit::report {

class PreviewDialog : public QDialog {
    Q_OBJECT
public:
    explicit PreviewDialog(const Report& report, QWidget* parent = nullptr);
    ~PreviewDialog() override;

    // Opens the preview and waits until it is closed; what printing from it gave.
    static PrintOutcome preview(const Report& report, QWidget* parent = nullptr);

    int pageCount() const { return pageCount_; }
    int currentPage() const { return current_; }
    double zoom() const { return zoom_; }
    const Page& shownPage() const { return page_; }
    const PrintOutcome& lastOutcome() const { return outcome_; }

public slots:
    void showPage(int number);
    void nextPage() { showPage(current_ + 1); }
    void previousPage() { showPage(current_ - 1); }
    void firstPage() { showPage(1); }
    void lastPage() { showPage(pageCount_); }
    void setZoom(double factor);
    void zoomIn() { setZoom(zoom_ * 1.25); }
    void zoomOut() { setZoom(zoom_ / 1.25); }
    void fitWidth();
    // Asks for a printer (the default one chosen) and prints.
    void print();
    // Asks for a file name and writes the PDF there.
    void savePdf();
    // Without asking: what the buttons do after their dialog.
    PrintOutcome printTo(QPrinter& printer);
    PrintOutcome savePdfTo(const QString& path);

private:
    class PageView;
    const Report& report_;
    std::unique_ptr<Document> doc_;
    Page page_;
    int pageCount_ = 0;
    int current_ = 0;
    double zoom_ = 1.0;
    PrintOutcome outcome_;
    PageView* view_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QSpinBox* pageBox_ = nullptr;
    QLabel* pageLabel_ = nullptr;
    QLabel* zoomLabel_ = nullptr;
};

}  // namespace kit::report
