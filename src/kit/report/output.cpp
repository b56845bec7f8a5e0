#include "kit/report/output.h"

#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <cmath>

#include <cups/cups.h>

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
QString printRefusedMessage(const QString& name, const QString& reason) {
    return QStringLiteral(
               "A impressora \"%1\" recusou o documento (%2). Nada foi impresso; verifique a fila "
               "de impressão e tente de novo.")
        .arg(name, reason);
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

namespace {

// The CUPS media name of the paper: A4 or a custom size in millimetres.
QByteArray mediaOf(const PageSetup& ps) {
    const double w = ps.size.width(), h = ps.size.height();
    if ((near(w, 210) && near(h, 297)) || (near(w, 297) && near(h, 210)))
        return "A4";
    return QStringLiteral("Custom.%1x%2mm").arg(w, 0, 'f', 1).arg(h, 0, 'f', 1).toLatin1();
}

// Writes the pages to a PDF and hands it to the print system, which answers with a
// job number (0: refused, with its reason).
PrintOutcome submit(const Report& report, const QString& printerName, int copies,
                    const Progress& progress) {
    PrintOutcome out;
    out.printer = printerName;
    const QByteArray name = printerName.toUtf8();
    if (cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(), nullptr)) {
        const char* accepting =
            cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
        const char* state = cupsGetOption("printer-state", dest->num_options, dest->options);
        const bool refuses = (accepting && qstrcmp(accepting, "false") == 0) ||
                             (state && qstrcmp(state, "5") == 0);  // IPP_PSTATE_STOPPED
        cupsFreeDests(1, dest);
        if (refuses) {
            out.message = printerStoppedMessage(printerName);
            messages().error(out.message);
            return out;
        }
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trabalho.pdf"));
    QPdfWriter writer(path);
    writer.setResolution(1200);
    writer.setPageLayout(pageLayoutOf(report.page));
    writer.setTitle(report.documentName);
    out = paintAll(report, writer, progress, out);
    if (out.cancelled)
        return out;
    if (!out.accepted) {
        out.message = printFailedMessage(printerName);
        messages().error(out.message);
        return out;
    }
    cups_option_t* options = nullptr;
    int count = 0;
    count = cupsAddOption("media", mediaOf(report.page).constData(), count, &options);
    if (copies > 1)
        count = cupsAddOption("copies", QByteArray::number(copies).constData(), count, &options);
    const QByteArray file = QFile::encodeName(path);
    const QByteArray title = report.documentName.toUtf8();
    const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, name.constData(), file.constData(),
                                   title.constData(), count, options);
    cupsFreeOptions(count, options);
    if (job <= 0) {
        out.accepted = false;
        out.message = printRefusedMessage(printerName, QString::fromUtf8(cupsLastErrorString()));
        messages().error(out.message);
        return out;
    }
    out.job = job;
    return out;
}

}  // namespace

PrintOutcome printOn(const Report& report, QPrinter& printer, const Progress& progress) {
    // A print system's printer: the job goes the way of direct printing, so that its
    // acceptance is known.
    if (printer.outputFormat() == QPrinter::NativeFormat && !printer.printerName().isEmpty())
        return submit(report, printer.printerName(), printer.copyCount(), progress);
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
    return submit(report, out.printer, 1, progress);
}

}  // namespace kit::report
