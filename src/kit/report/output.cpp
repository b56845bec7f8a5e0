#include "kit/report/output.h"

#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>

#include "kit/core/messages.h"
#include "kit/report/painter.h"

namespace kit::report {

QString noDefaultPrinterMessage() {
    return QStringLiteral(
        "Nenhuma impressora padrão está configurada neste computador (ou o serviço de impressão "
        "não está em execução). Configure uma impressora e tente de novo.");
}
QString printerNotFoundMessage(const QString& name) {
    return QStringLiteral("A impressora \"%1\" não foi encontrada neste computador.").arg(name);
}
QString printerStoppedMessage(const QString& name) {
    return QStringLiteral(
               "A impressora \"%1\" está parada ou com erro. Verifique a fila de impressão e "
               "tente de novo.")
        .arg(name);
}
QString printFailedMessage(const QString& name) {
    return QStringLiteral(
               "A impressão em \"%1\" falhou: o documento não foi aceito pela impressora. Nada "
               "foi impresso.")
        .arg(name);
}
QString pdfFailedMessage(const QString& path) {
    return QStringLiteral("Não foi possível gravar o arquivo PDF \"%1\".").arg(path);
}

namespace {

bool near(double a, double b) {
    return std::abs(a - b) < 0.5;
}

QPageLayout pageLayoutOf(const PageSetup& ps) {
    const double w = ps.size.width(), h = ps.size.height();
    if ((near(w, 210) && near(h, 297)) || (near(w, 297) && near(h, 210)))
        return QPageLayout(QPageSize(QPageSize::A4),
                           w > h ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(),
                           QPageLayout::Millimeter);
    return QPageLayout(QPageSize(ps.size, QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
                       QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter);
}

// Paints every page on a device whose painter origin is the paper's corner.
PrintOutcome paintAll(const Report& report, QPagedPaintDevice& device, const Progress& progress,
                      PrintOutcome out) {
    QPainter painter;
    if (!painter.begin(&device)) {
        out.message = printFailedMessage(out.printer);
        return out;
    }
    Document doc(report);
    const double dpi = device.logicalDpiX();
    bool first = true;
    const bool finished = doc.forEachPage(
        [&](const Page& page) {
            if (!first)
                device.newPage();
            first = false;
            paintPage(painter, page, dpi);
            ++out.pages;
        },
        progress);
    if (!finished) {
        out.cancelled = true;
        // Nothing half-printed is sent on.
        if (auto* printer = dynamic_cast<QPrinter*>(&device))
            printer->abort();
        painter.end();
        return out;
    }
    out.accepted = painter.end();
    return out;
}

}  // namespace

PrintOutcome writePdf(const Report& report, const QString& path, const Progress& progress) {
    PrintOutcome out;
    out.printer = path;
    {
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly)) {
            out.message = pdfFailedMessage(path);
            messages().error(out.message);
            return out;
        }
    }
    QPdfWriter writer(path);
    writer.setResolution(1200);
    writer.setPageLayout(pageLayoutOf(report.page));
    writer.setTitle(report.documentName);
    writer.setCreator(QStringLiteral("Tesouraria"));
    out = paintAll(report, writer, progress, out);
    if (!out.accepted && !out.cancelled) {
        out.message = pdfFailedMessage(path);
        messages().error(out.message);
    }
    return out;
}

PrintOutcome printOn(const Report& report, QPrinter& printer, const Progress& progress) {
    PrintOutcome out;
    out.printer = printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName()
                                                                : printer.printerName();
    printer.setFullPage(true);
    printer.setPageLayout(pageLayoutOf(report.page));
    printer.setPageMargins(QMarginsF(), QPageLayout::Millimeter);
    if (printer.docName().isEmpty())
        printer.setDocName(report.documentName);
    out = paintAll(report, printer, progress, out);
    if (out.accepted &&
        (printer.printerState() == QPrinter::Error || printer.printerState() == QPrinter::Aborted))
        out.accepted = false;
    if (!out.accepted && !out.cancelled) {
        out.message = printFailedMessage(out.printer);
        messages().error(out.message);
    }
    return out;
}

PrintOutcome printReport(const Report& report, const QString& printerName,
                         const Progress& progress) {
    PrintOutcome out;
    QPrinterInfo info;
    if (printerName.isEmpty()) {
        info = QPrinterInfo::defaultPrinter();
        if (info.isNull()) {
            out.message = noDefaultPrinterMessage();
            messages().error(out.message);
            return out;
        }
    } else {
        info = QPrinterInfo::printerInfo(printerName);
        if (info.isNull()) {
            out.printer = printerName;
            out.message = printerNotFoundMessage(printerName);
            messages().error(out.message);
            return out;
        }
    }
    out.printer = info.printerName();
    if (info.state() == QPrinter::Error || info.state() == QPrinter::Aborted) {
        out.message = printerStoppedMessage(out.printer);
        messages().error(out.message);
        return out;
    }
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::NativeFormat);
    printer.setDocName(report.documentName);
    return printOn(report, printer, progress);
}

}  // namespace kit::report
