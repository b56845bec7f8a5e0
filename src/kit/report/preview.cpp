#include "kit/report/preview.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScrollArea>
#include <QSpinBox>
#include <QToolBar>
#include <QVBoxLayout>

#include "kit/report/painter.h"

namespace kit::report {

class PreviewDialog::PageView : public QWidget {
public:
    explicit PageView(PreviewDialog* owner) : QWidget(owner), owner_(owner) {}
    void relayout() {
        const double k = logicalDpiX() / 25.4 * owner_->zoom_;
        const QSizeF paper =
            owner_->page_.size.isEmpty() ? owner_->report_.page.size : owner_->page_.size;
        setFixedSize(qRound(paper.width() * k) + 2 * kBorder,
                     qRound(paper.height() * k) + 2 * kBorder);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Dark));
        const QRect paper = rect().adjusted(kBorder, kBorder, -kBorder, -kBorder);
        p.fillRect(paper, Qt::white);
        p.translate(paper.topLeft());
        p.scale(owner_->zoom_, owner_->zoom_);
        paintPage(p, owner_->page_, logicalDpiX());
    }

private:
    static constexpr int kBorder = 12;
    PreviewDialog* owner_;
};

PreviewDialog::PreviewDialog(const Report& report, QWidget* parent)
    : QDialog(parent), report_(report), doc_(std::make_unique<Document>(report)) {
    setObjectName(QStringLiteral("PreviewDialog"));
    setWindowTitle(QStringLiteral("Visualização de impressão - %1").arg(report.documentName));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QToolBar(this);
    layout->addWidget(bar);
    auto addAction = [&](const QString& name, const QString& text, const QKeySequence& key,
                         auto slot) {
        QAction* a = bar->addAction(text, this, slot);
        a->setObjectName(name);
        if (!key.isEmpty())
            a->setShortcut(key);
        return a;
    };
    addAction(QStringLiteral("Primeira"), QStringLiteral("|<"), QKeySequence(Qt::Key_Home),
              &PreviewDialog::firstPage);
    addAction(QStringLiteral("Anterior"), QStringLiteral("<"), QKeySequence(Qt::Key_PageUp),
              &PreviewDialog::previousPage);
    pageBox_ = new QSpinBox(this);
    pageBox_->setObjectName(QStringLiteral("Pagina"));
    pageBox_->setMinimum(1);
    bar->addWidget(pageBox_);
    pageLabel_ = new QLabel(this);
    pageLabel_->setObjectName(QStringLiteral("TotalPaginas"));
    bar->addWidget(pageLabel_);
    addAction(QStringLiteral("Proxima"), QStringLiteral(">"), QKeySequence(Qt::Key_PageDown),
              &PreviewDialog::nextPage);
    addAction(QStringLiteral("Ultima"), QStringLiteral(">|"), QKeySequence(Qt::Key_End),
              &PreviewDialog::lastPage);
    bar->addSeparator();
    addAction(QStringLiteral("Reduzir"), QStringLiteral("Reduzir"), QKeySequence::ZoomOut,
              &PreviewDialog::zoomOut);
    zoomLabel_ = new QLabel(this);
    zoomLabel_->setObjectName(QStringLiteral("Zoom"));
    bar->addWidget(zoomLabel_);
    addAction(QStringLiteral("Ampliar"), QStringLiteral("Ampliar"), QKeySequence::ZoomIn,
              &PreviewDialog::zoomIn);
    addAction(QStringLiteral("Largura"), QStringLiteral("Largura da página"), QKeySequence(),
              &PreviewDialog::fitWidth);
    bar->addSeparator();
    addAction(QStringLiteral("Imprimir"), QStringLiteral("Imprimir..."), QKeySequence::Print,
              &PreviewDialog::print);
    addAction(QStringLiteral("SalvarPdf"), QStringLiteral("Salvar PDF..."), QKeySequence::Save,
              &PreviewDialog::savePdf);
    addAction(QStringLiteral("Fechar"), QStringLiteral("Fechar"), QKeySequence(Qt::Key_Escape),
              &QDialog::reject);

    scroll_ = new QScrollArea(this);
    scroll_->setAlignment(Qt::AlignHCenter);
    scroll_->setBackgroundRole(QPalette::Dark);
    view_ = new PageView(this);
    scroll_->setWidget(view_);
    layout->addWidget(scroll_);

    QApplication::setOverrideCursor(Qt::WaitCursor);
    pageCount_ = doc_->pageCount();
    QApplication::restoreOverrideCursor();
    pageBox_->setMaximum(std::max(1, pageCount_));
    pageLabel_->setText(QStringLiteral(" de %1 ").arg(pageCount_));
    connect(pageBox_, &QSpinBox::valueChanged, this, [this](int n) {
        if (n != current_)
            showPage(n);
    });
    resize(900, 1000);
    setZoom(1.0);
    showPage(1);
}

PreviewDialog::~PreviewDialog() = default;

PrintOutcome PreviewDialog::preview(const Report& report, QWidget* parent) {
    PreviewDialog dialog(report, parent);
    dialog.setWindowState(dialog.windowState() | Qt::WindowMaximized);
    dialog.exec();
    return dialog.lastOutcome();
}

void PreviewDialog::showPage(int number) {
    number = std::clamp(number, 1, std::max(1, pageCount_));
    if (number == current_ && !page_.items.empty())
        return;
    current_ = number;
    page_ = doc_->page(number);  // only this page is held
    pageBox_->setValue(number);
    view_->relayout();
}

void PreviewDialog::setZoom(double factor) {
    zoom_ = std::clamp(factor, 0.25, 6.0);
    zoomLabel_->setText(QStringLiteral(" %1% ").arg(qRound(zoom_ * 100)));
    view_->relayout();
}

void PreviewDialog::fitWidth() {
    const double paperPx = report_.page.size.width() * view_->logicalDpiX() / 25.4;
    if (paperPx > 0)
        setZoom((scroll_->viewport()->width() - 30) / paperPx);
}

PrintOutcome PreviewDialog::printTo(QPrinter& printer) {
    outcome_ = printOn(report_, printer);
    return outcome_;
}

PrintOutcome PreviewDialog::savePdfTo(const QString& path) {
    outcome_ = writePdf(report_, path);
    return outcome_;
}

void PreviewDialog::print() {
    QPrinter printer(QPrinter::HighResolution);
    const QPrinterInfo def = QPrinterInfo::defaultPrinter();
    if (!def.isNull())
        printer.setPrinterName(def.printerName());
    printer.setDocName(report_.documentName);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Imprimir"));
    dialog.setMinMax(1, std::max(1, pageCount_));
    if (dialog.exec() != QDialog::Accepted)
        return;
    printTo(printer);
}

void PreviewDialog::savePdf() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Salvar como PDF"),
                                                      report_.documentName + QStringLiteral(".pdf"),
                                                      QStringLiteral("Arquivos PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    savePdfTo(path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)
                  ? path
                  : path + QStringLiteral(".pdf"));
}

}  // namespace kit::report
