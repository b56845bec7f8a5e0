// An entries listing on the report engine, laid out and written to PDF.
//
//   bench_relatorio [N] [FOLDER]     (default 10000; FOLDER keeps the PDFs written)
//
// Prints, for a tenth of the rows and then for all N: the pages, the layout alone
// (counting the pages), the PDF job (wall time, the count it makes first included, and
// pages per second), and the
// peak memory (VmHWM) after each. The peak after the full run beside the one after
// the tenth shows whether memory grows with the page count. Target: N = 10000
// written within 5 s, the peak not growing with the pages.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

#include "data/criacao.h"
#include "enchimento.h"
#include "kit/core/messages.h"
#include "kit/db/dataset.h"
#include "kit/report/document.h"
#include "kit/report/output.h"

using namespace kit::report;

namespace {

long peakKb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    return -1;
}

// The general entries listing's shape: A4 portrait, page header with date, time and
// the municipality, title, column header, one 8 pt line per entry with dotted
// separators, summary with the totals, page numbers.
void listing(Report& r, kit::DataSet* data) {
    r.page = PageSetup::a4Portrait().margins(10, 10, 6, 6);
    r.documentName = QStringLiteral("Lancamentos");
    Band& h = r.pageHeader(12);
    h.sysDate(0, 2).prefix(QStringLiteral("Data ")).font(QStringLiteral("Arial"), 8);
    h.label(QStringLiteral("Quorix - ZEL"), 20, 2)
        .width(30)
        .align(Align::Center)
        .font(QStringLiteral("Tahoma"), 11);
    h.label(QStringLiteral("PREFEITURA MUNICIPAL"), 55, 1)
        .width(100)
        .align(Align::Center)
        .font(QStringLiteral("Tahoma"), 14);
    h.sysTime(175, 2).prefix(QStringLiteral("Hora ")).font(QStringLiteral("Arial"), 8);
    h.hline(0, 11, 198);
    Band& t = r.title(14);
    t.label(QStringLiteral("RELATÓRIO DE LANÇAMENTOS"), 0, 1)
        .width(198)
        .align(Align::Center)
        .font(QStringLiteral("Arial"), 13, true);
    t.label(QStringLiteral("DATA INICIAL:"), 140, 8).font(QStringLiteral("Arial"), 8, true);
    Band& c = r.columnHeader(5);
    const struct {
        const char* caption;
        const char* field;
        double left, width;
        Align align;
    } columns[] = {{"DATA", "DATA", 0, 16, Align::Center},
                   {"Nº CHEQUE", "NUMCHEQUE", 17, 16, Align::Center},
                   {"ATIVIDADE", "ATIVIDADE", 34, 45, Align::Left},
                   {"FORNECEDOR", "FORNECEDOR", 80, 45, Align::Left},
                   {"TIPO", "TIPO", 126, 8, Align::Center},
                   {"VALOR", "VALOR", 135, 22, Align::Right},
                   {"RECURSO", "RECURSO", 158, 40, Align::Left}};
    Band& d = r.detail(4, data);
    for (const auto& col : columns) {
        c.label(QString::fromUtf8(col.caption), col.left, 0.5)
            .width(col.width)
            .align(col.align)
            .font(QStringLiteral("Arial"), 8, true);
        d.field(QString::fromLatin1(col.field), col.left, 0.3)
            .width(col.width)
            .align(col.align)
            .font(QStringLiteral("Arial"), 8);
        if (col.left > 0)
            d.vline(col.left - 0.5, 0, 4).dotted();
    }
    c.hline(0, 4.6, 198).dotted();
    d.hline(0, 3.9, 198).dotted();
    Band& s = r.summary(10);
    s.label(QStringLiteral("QUANT.:"), 100, 2).font(QStringLiteral("Arial"), 8);
    s.count(115, 2).font(QStringLiteral("Arial"), 8, true);
    s.label(QStringLiteral("TOTAL:"), 135, 2).font(QStringLiteral("Arial"), 8);
    s.sum(QStringLiteral("VALOR"), 150, 2)
        .width(30)
        .align(Align::Right)
        .prefix(QStringLiteral("R$ "))
        .font(QStringLiteral("Arial"), 8, true);
    r.pageFooter(5)
        .pageNumber(QStringLiteral("Página %1 de %2"), 170, 1)
        .font(QStringLiteral("Arial"), 8);
}

double measure(const char* what, kit::DataSet& ds, const QString& path) {
    Report r;
    listing(r, &ds);
    QElapsedTimer t;
    t.start();
    const int pages = Document(r).pageCount();
    const double layoutMs = static_cast<double>(t.nsecsElapsed()) / 1e6;
    t.restart();
    const PrintOutcome out = writePdf(r, path);
    const double pdfMs = static_cast<double>(t.nsecsElapsed()) / 1e6;
    std::printf(
        "%-6s rows %6d  pages %5d  layout only %8.1f ms  PDF %8.1f ms (%6.1f pages/s, %s, %lld KB) "
        " peak %ld KB\n",
        what, ds.recordCount(), pages, layoutMs, pdfMs, pages / (pdfMs / 1000.0),
        out.accepted ? "written" : "FAILED", QFileInfo(path).size() / 1024, peakKb());
    std::fflush(stdout);
    return pdfMs;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int n = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 10000;
    kit::setMessageService(std::make_unique<kit::RecordingMessageService>());

    QTemporaryDir dir;
    const QString out = argc > 2 ? QString::fromLocal8Bit(argv[2]) : dir.path();
    fb::ConnectParams p;
    p.database = dir.filePath(QStringLiteral("bench.fdb"));
    data::createDatabase(p, false);
    kit::Database db(p);
    db.open();
    bench::fill(db, n);

    QElapsedTimer t;
    t.start();
    kit::DataSet ds(&db);
    ds.setSql(QStringLiteral(
        "select l.data,l.valor,l.obs,a.nome as Atividade, l.CDATIVIDADE, r.nome as recurso, "
        "l.CDRECURSO, l.tipo,l.numcheque, L.DESCRICAO, l.CDFORNECEDOR, f.nome as Fornecedor, "
        "l.CDLANCAMENTO from LANCAMENTO l LEFT JOIN ATIVIDADE a ON (l.cdatividade = "
        "a.cdatividade ) LEFT JOIN FORNECEDOR f ON (l.cdfornecedor = f.cdfornecedor) LEFT JOIN "
        "RECURSO r ON (l.cdrecurso = r.cdrecurso ) order by l.data, l.cdlancamento"));
    ds.open();
    std::printf("entries read: %d rows in %.1f ms, peak %ld KB\n", ds.recordCount(),
                static_cast<double>(t.nsecsElapsed()) / 1e6, peakKb());

    // A tenth of the rows first (the data set's filter), then all of them.
    const int tenth = std::max(1, n / 10);
    ds.setFilter([tenth](const kit::DataSet& d) {
        return d.value(QStringLiteral("CDLANCAMENTO")).toInt() <= tenth;
    });
    ds.setFiltered(true);
    measure("tenth", ds, out + QStringLiteral("/decimo.pdf"));
    ds.setFiltered(false);
    const double ms = measure("all", ds, out + QStringLiteral("/todos.pdf"));
    std::printf("all rows: the PDF job (its page count included) took %.2f s (target under 5 s)\n",
                ms / 1000.0);
    return 0;
}
