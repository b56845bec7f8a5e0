// The report engine: pagination and the bands' order, read from the page model;
// positions and formats of the elements; the fonts the layouts name; a real PDF read
// back with pdftotext; printing failures told to the operator; the preview.

#include <QFontInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include "kit/core/messages.h"
#include "kit/core/money.h"
#include "kit/db/dataset.h"
#include "kit/report/document.h"
#include "kit/report/fonts.h"
#include "kit/report/output.h"
#include "kit/report/preview.h"
#include "testdb.h"

using kit::DataSet;
using kit::Money;
using namespace kit::report;

namespace {

constexpr int kLongRows = 200;

std::vector<Page> allPages(const Report& r) {
    std::vector<Page> pages;
    Document doc(r);
    doc.forEachPage([&](const Page& p) { pages.push_back(p); });
    return pages;
}

// The shape of every listing: A4 portrait, margins 10/10/6/6, page header 10 mm,
// title 15 mm, column header 5 mm, detail 4 mm, summary 8 mm, page footer 5 mm.
void listing(Report& r, DataSet* data) {
    r.page = PageSetup::a4Portrait().margins(10, 10, 6, 6);
    r.now = QDateTime(QDate(2026, 3, 5), QTime(14, 7, 9));
    Band& h = r.pageHeader(10);
    h.sysDate(0, 1).prefix(QStringLiteral("Data ")).name(QStringLiteral("data"));
    h.label(QStringLiteral("Quorix - ZEL"), 20, 1).font(QStringLiteral("Tahoma"), 11);
    h.label(QStringLiteral("PREFEITURA"), 60, 1)
        .width(80)
        .align(Align::Center)
        .font(QStringLiteral("Tahoma"), 14);
    h.sysTime(170, 1).prefix(QStringLiteral("Hora ")).name(QStringLiteral("hora"));
    r.title(15)
        .label(QStringLiteral("RELATÓRIO DE LANÇAMENTOS"), 0, 2)
        .font(QStringLiteral("Arial"), 13, true)
        .name(QStringLiteral("lb_tit"));
    Band& c = r.columnHeader(5);
    c.label(QStringLiteral("DATA"), 0, 0).bold();
    c.label(QStringLiteral("VALOR"), 150, 0).width(48).align(Align::Right).bold();
    c.hline(0, 4.5, 198).dotted();
    Band& d = r.detail(4, data);
    d.field(QStringLiteral("DATA"), 0, 0).name(QStringLiteral("DATA"));
    d.field(QStringLiteral("CDLANCAMENTO"), 30, 0).name(QStringLiteral("CD"));
    d.field(QStringLiteral("VALOR"), 150, 0)
        .width(48)
        .align(Align::Right)
        .name(QStringLiteral("VALOR"));
    d.vline(149, 0, 4).dotted();
    Band& s = r.summary(8);
    s.label(QStringLiteral("QUANT.:"), 100, 1);
    s.count(120, 1).bold().name(QStringLiteral("quant"));
    s.sum(QStringLiteral("VALOR"), 150, 1)
        .width(48)
        .align(Align::Right)
        .bold()
        .prefix(QStringLiteral("R$ "))
        .name(QStringLiteral("total"));
    r.pageFooter(5)
        .pageNumber(QStringLiteral("Página %1 de %2"), 150, 0)
        .name(QStringLiteral("pagina"));
}

std::vector<int> detailRows(const std::vector<Page>& pages) {
    std::vector<int> rows;
    for (const Page& p : pages)
        for (const PageItem& it : p.items)
            if (it.band == Band::Kind::Detail && it.name == QLatin1String("CD"))
                rows.push_back(it.row);
    return rows;
}

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

class TstRelatorio : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void longListAcrossPages();
    void filterAndEmptyList_data();
    void filterAndEmptyList();
    void subDetailWithEmptyMaster_data();
    void subDetailWithEmptyMaster();
    void groupFooterTotals();
    void alignment_data();
    void alignment();
    void chequeSizedPage();
    void memoWrapsInItsHeight();
    void displayFormats_data();
    void displayFormats();
    void fontsMapped_data();
    void fontsMapped();
    void pdfReadBack();
    void outputFailures_data();
    void outputFailures();
    void previewPagesAndSaves();

private:
    std::unique_ptr<DataSet> entries(const QString& where = QStringLiteral("CDRECURSO = 1"));
    std::unique_ptr<TestDatabase> t_;
    std::unique_ptr<kit::Database> db_;
    kit::RecordingMessageService* messages_ = nullptr;
    QTemporaryDir dir_;
};

void TstRelatorio::initTestCase() {
    QVERIFY_DB(t_ = TestDatabase::embedded());
    t_->addFixtureRows();
    db_ = t_->database();
    messages_ = recordMessages();
    QVERIFY_DB({
        fb::Transaction tr(db_->connection());
        tr.executeImmediate(
            QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= %1) DO BEGIN "
                           "INSERT INTO LANCAMENTO (CDLANCAMENTO, DATA, TIPO, VALOR, CDRECURSO, "
                           "CDATIVIDADE) VALUES (:I, DATEADD(:I DAY TO DATE '2026-01-01'), "
                           "IIF(MOD(:I, 4) = 0, 'C', 'D'), :I * 10.25, 1, 1); I = I + 1; END END")
                .arg(kLongRows));
        for (const char* sql :
             {"INSERT INTO RECURSO (CDRECURSO, NOME) VALUES (5, 'R5')",
              "INSERT INTO RECURSO (CDRECURSO, NOME) VALUES (6, 'R6')",
              "INSERT INTO RECURSO (CDRECURSO, NOME) VALUES (7, 'R7')",
              "INSERT INTO LANCAMENTO (CDLANCAMENTO, DATA, TIPO, VALOR, CDRECURSO, CDATIVIDADE) "
              "VALUES (1001, DATE '2026-02-01', 'D', 1.00, 5, 1)",
              "INSERT INTO LANCAMENTO (CDLANCAMENTO, DATA, TIPO, VALOR, CDRECURSO, CDATIVIDADE) "
              "VALUES (1002, DATE '2026-02-02', 'D', 2.00, 5, 1)",
              "INSERT INTO LANCAMENTO (CDLANCAMENTO, DATA, TIPO, VALOR, CDRECURSO, CDATIVIDADE) "
              "VALUES (1003, DATE '2026-02-03', 'C', 3.00, 7, 1)"})
            tr.executeImmediate(QString::fromLatin1(sql));
        tr.commit();
    });
    QVERIFY(dir_.isValid());
}

void TstRelatorio::init() {
    messages_->clear();
}

std::unique_ptr<DataSet> TstRelatorio::entries(const QString& where) {
    auto ds = std::make_unique<DataSet>(db_.get());
    ds->setSql(
        QStringLiteral("SELECT * FROM LANCAMENTO WHERE %1 ORDER BY CDLANCAMENTO").arg(where));
    ds->open();
    return ds;
}

void TstRelatorio::longListAcrossPages() {
    auto ds = entries();
    QCOMPARE(ds->recordCount(), kLongRows);
    ds->setCurrentIndex(17);
    Report r;
    listing(r, ds.get());
    const std::vector<Page> pages = allPages(r);
    // Body: 277 mm less header 10, footer 5 and column header 5: 257 mm (64 rows),
    // less the title 15 mm on page one (60 rows): 60 + 64 + 64 + 12 rows.
    QCOMPARE(int(pages.size()), 4);
    QCOMPARE(Document(r).pageCount(), 4);
    std::vector<int> expected(kLongRows);
    std::iota(expected.begin(), expected.end(), 0);
    QCOMPARE(detailRows(pages), expected);  // every row once, in order
    for (const Page& p : pages) {
        QCOMPARE(p.size, QSizeF(210, 297));
        QVERIFY(p.text(QStringLiteral("Quorix - ZEL")));
        QCOMPARE(p.named(QStringLiteral("data"))->text, QStringLiteral("Data 05/03/2026"));
        QCOMPARE(p.named(QStringLiteral("hora"))->text, QStringLiteral("Hora 14:07:09"));
        QCOMPARE(p.named(QStringLiteral("pagina"))->text,
                 QStringLiteral("Página %1 de 4").arg(p.number));
        QCOMPARE(p.named(QStringLiteral("pagina"))->rect.top(), 297.0 - 10 - 5);
        QCOMPARE(int(p.texts(QStringLiteral("VALOR")).size()), 1);  // the column header
        QCOMPARE(p.texts(QStringLiteral("RELATÓRIO DE LANÇAMENTOS")).size(), size_t(p.number == 1));
        for (const PageItem& it : p.items)
            if (it.band == Band::Kind::Detail)
                QVERIFY(it.rect.bottom() <= 297.0 - 10 - 5 + 1e-6);
    }
    // The first detail row sits under the title and the column header on page one,
    // under the column header only on the others.
    QCOMPARE(pages[0].named(QStringLiteral("CD"))->rect.top(), 10.0 + 10 + 15 + 5);
    QCOMPARE(pages[1].named(QStringLiteral("CD"))->rect.top(), 10.0 + 10 + 5);
    QCOMPARE(int(pages[0].texts(QStringLiteral("CD")).size()), 0);
    // The summary once, on the last page, under the last row.
    for (size_t i = 0; i + 1 < pages.size(); ++i) QVERIFY(!pages[i].named(QStringLiteral("quant")));
    const Page& last = pages.back();
    QCOMPARE(last.named(QStringLiteral("quant"))->text, QString::number(kLongRows));
    Money total;
    for (int i = 1; i <= kLongRows; ++i) total += Money::fromCents(i * 1025);
    QCOMPARE(last.named(QStringLiteral("total"))->text, QStringLiteral("R$ ") + total.format());
    QCOMPARE(last.named(QStringLiteral("total"))->text, QStringLiteral("R$ 206.025,00"));
    double lastRowBottom = 0;
    for (const PageItem& it : last.items)
        if (it.band == Band::Kind::Detail)
            lastRowBottom = std::max(lastRowBottom, it.rect.bottom());
    QVERIFY(last.named(QStringLiteral("quant"))->rect.top() >= lastRowBottom);
    QCOMPARE(last.named(QStringLiteral("quant"))->rect.top(), 10.0 + 10 + 5 + 12 * 4 + 1);
    // A page alone lays out the same as in the run, and the data set keeps its row.
    Document doc(r);
    const Page third = doc.page(3);
    QCOMPARE(third.items.size(), pages[2].items.size());
    QCOMPARE(third.named(QStringLiteral("CD"))->text, pages[2].named(QStringLiteral("CD"))->text);
    QCOMPARE(ds->currentIndex(), 17);
    QCOMPARE(doc.page(5).number, 0);
}

void TstRelatorio::filterAndEmptyList_data() {
    QTest::addColumn<QString>("tipo");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("total");
    QTest::newRow("credits only") << "C" << kLongRows / 4 << "R$ 52.275,00";
    QTest::newRow("none passes") << "X" << 0 << "R$ 0,00";
}

void TstRelatorio::filterAndEmptyList() {
    QFETCH(QString, tipo);
    QFETCH(int, rows);
    QFETCH(QString, total);
    auto ds = entries();
    ds->setFilter([tipo](const DataSet& d) { return d.text(QStringLiteral("TIPO")) == tipo; });
    ds->setFiltered(true);
    Report r;
    listing(r, ds.get());
    const std::vector<Page> pages = allPages(r);
    QCOMPARE(int(pages.size()), 1);
    const std::vector<int> printed = detailRows(pages);
    QCOMPARE(int(printed.size()), rows);
    for (int i = 0; i < rows; ++i) {
        QCOMPARE(printed[size_t(i)], i);
        QCOMPARE(ds->valueAt(i, QStringLiteral("TIPO")).toString(), tipo);
    }
    // Printed even when empty: headers, title, summary and footer.
    const Page& p = pages.front();
    QVERIFY(p.text(QStringLiteral("RELATÓRIO DE LANÇAMENTOS")));
    QCOMPARE(p.named(QStringLiteral("quant"))->text, QString::number(rows));
    QCOMPARE(p.named(QStringLiteral("total"))->text, total);
    QCOMPARE(p.named(QStringLiteral("pagina"))->text, QStringLiteral("Página 1 de 1"));
}

void TstRelatorio::subDetailWithEmptyMaster_data() {
    QTest::addColumn<bool>("linked");
    QTest::addColumn<bool>("printIfEmpty");
    QTest::addColumn<QStringList>("sequence");
    // A run's footer follows its rows; an empty master row has no run, only the band
    // printed once with empty fields when asked.
    const QStringList full{"R5", "1001", "1002", "fim", "R6", "-", "R7", "1003", "fim"};
    QStringList skipped = full;
    skipped.removeAt(5);
    QTest::newRow("link fields, once when empty") << true << true << full;
    QTest::newRow("link fields, nothing when empty") << true << false << skipped;
    QTest::newRow("restricted by the master") << false << true << full;
}

void TstRelatorio::subDetailWithEmptyMaster() {
    QFETCH(bool, linked);
    QFETCH(bool, printIfEmpty);
    QFETCH(QStringList, sequence);
    DataSet master(db_.get());
    master.setSql(QStringLiteral("SELECT * FROM RECURSO WHERE CDRECURSO >= 5 ORDER BY CDRECURSO"));
    master.open();
    master.setCurrentIndex(1);
    auto detail = entries(QStringLiteral("CDRECURSO >= 5"));
    if (!linked)
        detail->setMaster(&master, {QStringLiteral("CDRECURSO")}, {QStringLiteral("CDRECURSO")});
    Report r;
    r.page = PageSetup::a4Portrait();
    r.detail(5, &master).field(QStringLiteral("NOME"), 0, 0).name(QStringLiteral("m"));
    SubDetail& s = linked ? r.addSubDetail(4, detail.get(), {QStringLiteral("CDRECURSO")},
                                           {QStringLiteral("CDRECURSO")})
                          : r.addSubDetail(4, detail.get());
    s.printIfEmpty = printIfEmpty;
    s.band->field(QStringLiteral("CDLANCAMENTO"), 10, 0)
        .prefix(QString())
        .name(QStringLiteral("s"));
    s.band->label(QStringLiteral("-"), 40, 0).name(QStringLiteral("s-mark"));
    s.footer = std::make_unique<Band>(Band::Kind::Child, 3);
    s.footer->label(QStringLiteral("fim"), 0, 0).name(QStringLiteral("f"));
    const std::vector<Page> pages = allPages(r);
    QCOMPARE(int(pages.size()), 1);
    QStringList seen;
    double y = -1;
    for (const PageItem& it : pages[0].items) {
        QVERIFY(it.rect.top() >= y);  // bands go down the page in order
        y = it.rect.top();
        if (it.name == QLatin1String("m") || it.name == QLatin1String("f"))
            seen << it.text;
        if (it.name == QLatin1String("s"))
            seen << (it.text.isEmpty() ? QStringLiteral("-") : it.text);
    }
    QCOMPARE(seen, sequence);
    QCOMPARE(master.currentIndex(), 1);
}

void TstRelatorio::groupFooterTotals() {
    auto ds = entries(QStringLiteral("CDRECURSO >= 5"));
    Report r;
    r.page = PageSetup::a4Landscape();
    Band& d = r.detail(4, ds.get());
    d.field(QStringLiteral("VALOR"), 0, 0).name(QStringLiteral("v"));
    // A child band follows each row with the same row, and counts for nothing.
    d.addChild(3).field(QStringLiteral("CDLANCAMENTO"), 0, 0).name(QStringLiteral("c"));
    Group& g =
        r.addGroup([](const RowContext& c) { return c.value(QStringLiteral("CDRECURSO")); }, 5, 5);
    g.header->field(QStringLiteral("CDRECURSO"), 0, 0)
        .prefix(QStringLiteral("RECURSO "))
        .name(QStringLiteral("h"));
    g.footer->sum(QStringLiteral("VALOR"), 0, 0).name(QStringLiteral("t"));
    g.footer->count(50, 0).name(QStringLiteral("n"));
    r.summary(5).sum(QStringLiteral("VALOR"), 0, 0).name(QStringLiteral("T"));
    const std::vector<Page> pages = allPages(r);
    QCOMPARE(pages[0].size, QSizeF(297, 210));
    QStringList seen;
    for (const PageItem& it : pages[0].items) seen << it.name + QLatin1Char('=') + it.text;
    QCOMPARE(seen,
             (QStringList{"h=RECURSO 5", "v=1,00", "c=1001", "v=2,00", "c=1002", "t=3,00", "n=2",
                          "h=RECURSO 7", "v=3,00", "c=1003", "t=3,00", "n=1", "T=6,00"}));
}

void TstRelatorio::alignment_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expectedLeft");   // -1: not checked
    QTest::addColumn<double>("expectedRight");  // -1: not checked
    // Band at the margin, 5 mm from the paper's edge.
    QTest::newRow("right edge, short") << "edge"
                                       << "RIO" << -1.0 << 5 + 102.2;
    QTest::newRow("right edge, long") << "edge"
                                      << "SÃO JOSÉ DOS CAMPOS" << -1.0 << 5 + 102.2;
    QTest::newRow("right in a box") << "box-right"
                                    << "935,00" << -1.0 << 5 + 91.3 + 33.1;
    QTest::newRow("left in a box") << "box-left"
                                   << "935,00" << 5 + 91.3 << -1.0;
    QTest::newRow("sized to its text") << "auto"
                                       << "SÃO PAULO" << 5 + 91.3 << -1.0;
}

void TstRelatorio::alignment() {
    QFETCH(QString, how);
    QFETCH(QString, text);
    QFETCH(double, expectedLeft);
    QFETCH(double, expectedRight);
    Report r;
    r.page = PageSetup::custom(179.4, 84.4).margins(5, 5, 5, 5);
    Band& b = r.detail(40);
    Element& e = how == QLatin1String("edge") ? b.label(text, 0, 0).rightEdgeAt(102.2, 31.0)
                                              : b.label(text, 91.3, 31.0);
    e.font(QStringLiteral("Arial"), 10).name(QStringLiteral("x"));
    if (how == QLatin1String("box-right"))
        e.width(33.1).align(Align::Right);
    if (how == QLatin1String("box-left"))
        e.width(33.1);
    Band& c = r.summary(10);
    c.label(text, 50, 0)
        .width(40)
        .align(Align::Center)
        .font(QStringLiteral("Arial"), 10)
        .name(QStringLiteral("c"));
    const Page p = Document(r).page(1);
    const PageItem* it = p.named(QStringLiteral("x"));
    QVERIFY(it);
    QCOMPARE(it->text, text);
    QCOMPARE(it->rect.top(), 5 + 31.0);
    QVERIFY(it->rect.width() > 1);
    if (expectedRight >= 0)
        QVERIFY2(std::abs(it->rect.right() - expectedRight) < 1e-6,
                 qPrintable(QString::number(it->rect.right())));
    if (expectedLeft >= 0)
        QVERIFY(std::abs(it->rect.left() - expectedLeft) < 1e-6);
    // Centred: the same room on both sides of the box 50..90.
    const PageItem* centred = p.named(QStringLiteral("c"));
    QVERIFY(std::abs((centred->rect.left() - (5 + 50)) - ((5 + 90) - centred->rect.right())) <
            1e-6);
    // Arial 10 pt is Liberation Sans, with Arial's widths: "RIO" is 0.722 + 0.278 +
    // 0.778 em = 17.78 pt = 6.27 mm (DejaVu Sans, fontconfig's substitute, 6.53 mm).
    if (text == QLatin1String("RIO"))
        QVERIFY2(std::abs(it->rect.width() - 6.27) < 0.05,
                 qPrintable(QString::number(it->rect.width())));
}

void TstRelatorio::chequeSizedPage() {
    Report r;
    r.page = PageSetup::custom(172.0, 80.4).margins(5, 5, 5, 5);
    Band& b = r.detail(70.4);
    b.label(QStringLiteral("1.234,56"), 127.0, 2.6)
        .font(QStringLiteral("Arial"), 10)
        .name(QStringLiteral("VALOR"));
    b.label(QStringLiteral("Março"), 120.7, 29.1)
        .font(QStringLiteral("Arial"), 10)
        .name(QStringLiteral("mes"));
    b.picture(QImage(10, 10, QImage::Format_RGB32), 0, 0, 172, 70).visible(false);
    Document doc(r);
    QCOMPARE(doc.pageCount(), 1);
    const Page p = doc.page(1);
    QCOMPARE(p.size, QSizeF(172.0, 80.4));
    QCOMPARE(p.named(QStringLiteral("VALOR"))->rect.topLeft(), QPointF(5 + 127.0, 5 + 2.6));
    QCOMPARE(p.named(QStringLiteral("mes"))->rect.topLeft(), QPointF(5 + 120.7, 5 + 29.1));
    QCOMPARE(int(p.items.size()), 2);  // the hidden picture stays off the page
    // A band taller than what is left of a small page goes on to the next one.
    r.detail(50);
    r.summary(30).label(QStringLiteral("resumo"), 0, 0);
    Document two(r);
    QCOMPARE(two.pageCount(), 2);
    QCOMPARE(two.page(2).text(QStringLiteral("resumo"))->rect.top(), 5.0);
}

void TstRelatorio::memoWrapsInItsHeight() {
    Report r;
    r.page = PageSetup::a4Portrait();
    const QString words = QStringLiteral(
        "CHEQUE EMITIDO PARA PAG. DE MATERIAL DE EXPEDIENTE DA SECRETARIA MUNICIPAL DE EDUCACAO "
        "E CULTURA NO MES DE MARCO");
    Band& b = r.detail(30);
    b.memo(words, 10, 0, 40, 0).font(QStringLiteral("Arial"), 8).name(QStringLiteral("all"));
    const double line = Document(r).page(1).named(QStringLiteral("all"))->rect.height();
    b.memo(words, 60, 0, 40, 2 * line + 0.01)
        .font(QStringLiteral("Arial"), 8)
        .name(QStringLiteral("two"));
    const Page p = Document(r).page(1);
    std::vector<const PageItem*> all, two;
    for (const PageItem& it : p.items) (it.name == QLatin1String("all") ? all : two).push_back(&it);
    QVERIFY(all.size() > 3);
    QCOMPARE(int(two.size()), 2);
    QStringList joined;
    for (const PageItem* it : all) {
        QVERIFY(it->rect.width() <= 40 + 1e-6);
        QCOMPARE(it->rect.left(), 6 + 10.0);
        joined << it->text;
    }
    QCOMPARE(joined.join(QLatin1Char(' ')), words);
    QCOMPARE(two[1]->rect.top() - two[0]->rect.top(), line);
}

void TstRelatorio::displayFormats_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expected");
    QTest::newRow("money #,##0.00") << "VALOR"
                                    << "#,##0.00"
                                    << "1.025,00";
    QTest::newRow("money default") << "VALOR"
                                   << ""
                                   << "1.025,00";
    QTest::newRow("money R$") << "VALOR"
                              << "R$ #,##0.00"
                              << "R$ 1.025,00";
    QTest::newRow("money ,0.##") << "VALOR"
                                 << ",0.##"
                                 << "1.025";
    QTest::newRow("date") << "DATA"
                          << "dd/MM/yyyy"
                          << "11/04/2026";
    QTest::newRow("date default") << "DATA"
                                  << ""
                                  << "11/04/2026";
    QTest::newRow("integer") << "CDLANCAMENTO"
                             << ""
                             << "100";
    QTest::newRow("null") << "NUMCHEQUE"
                          << "#,##0"
                          << "";
}

void TstRelatorio::displayFormats() {
    QFETCH(QString, field);
    QFETCH(QString, format);
    QFETCH(QString, expected);
    auto ds = entries(QStringLiteral("CDLANCAMENTO = 100"));
    QCOMPARE(ds->value(QStringLiteral("VALOR")).value<Money>(), Money::fromCents(102500));
    Report r;
    r.detail(5, ds.get()).field(field, 10, 0).format(format).name(QStringLiteral("f"));
    QCOMPARE(Document(r).page(1).named(QStringLiteral("f"))->text, expected);
    QCOMPARE(
        formatValue(QVariant::fromValue(Money::fromCents(-123456789)), QStringLiteral("#,##0.00")),
        QStringLiteral("-1.234.567,89"));
}

void TstRelatorio::fontsMapped_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("family");
    QTest::newRow("Arial") << "Arial"
                           << "Liberation Sans";
    QTest::newRow("Tahoma") << "Tahoma"
                            << "Tahoma";
    QTest::newRow("Garamond") << "Garamond"
                              << "EB Garamond 12";
    QTest::newRow("Courier New") << "Courier New"
                                 << "Liberation Mono";
}

void TstRelatorio::fontsMapped() {
    QFETCH(QString, name);
    QFETCH(QString, family);
    QCOMPARE(mappedFamily(name), family);
    // Installed and used, not substituted by fontconfig.
    QCOMPARE(QFontInfo(toQFont(Font{name, 10})).family(), family);
    QCOMPARE(QFontInfo(toQFont(Font{name, 10, true})).bold(), true);
    // The screens' own font names resolve the same way.
    QCOMPARE(QFontInfo(QFont(name)).family(), family);
}

void TstRelatorio::pdfReadBack() {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QFAIL("pdftotext (poppler-utils) is not installed: tools/tesouraria.sh installs it");
    auto ds = entries();
    Report r;
    listing(r, ds.get());
    const QString path = dir_.filePath(QStringLiteral("listagem.pdf"));
    int calls = 0;
    const PrintOutcome out = writePdf(r, path, [&](int page, int total) {
        ++calls;
        return page >= 1 && total == 4;
    });
    QVERIFY(out.accepted);
    QCOMPARE(out.pages, 4);
    QCOMPARE(calls, 4);
    QVERIFY(messages_->messages.empty());
    const QString text =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    QVERIFY(text.contains(QStringLiteral("RELATÓRIO DE LANÇAMENTOS")));
    QVERIFY(text.contains(QStringLiteral("Página 1 de 4")));
    QVERIFY(text.contains(QStringLiteral("Página 4 de 4")));
    QVERIFY(text.contains(QStringLiteral("R$ 206.025,00")));
    QVERIFY(text.contains(QStringLiteral("02/01/2026")));
    QCOMPARE(text.count(QLatin1Char('\f')), 4);

    // A cheque face: the page size and where the value lands, in points.
    Report cheque;
    cheque.page = PageSetup::custom(179.4, 84.4).margins(5, 5, 5, 5);
    Band& b = cheque.detail(74.4);
    b.label(QStringLiteral("150.000,00"), 122.2, 2.1).font(QStringLiteral("Arial"), 10);
    b.label(QStringLiteral("SANTOS"), 0, 31.0)
        .rightEdgeAt(102.2, 31.0)
        .font(QStringLiteral("Arial"), 10);
    const QString face = dir_.filePath(QStringLiteral("cheque.pdf"));
    QVERIFY(writePdf(cheque, face).accepted);
    const QString bbox =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), face, QStringLiteral("-")});
    const QRegularExpression page(QStringLiteral("<page width=\"([0-9.]+)\" height=\"([0-9.]+)\""));
    const auto pm = page.match(bbox);
    QVERIFY2(pm.hasMatch(), qPrintable(bbox));
    const double pt = 25.4 / 72;
    QVERIFY(std::abs(pm.captured(1).toDouble() * pt - 179.4) < 0.2);
    QVERIFY(std::abs(pm.captured(2).toDouble() * pt - 84.4) < 0.2);
    auto word = [&](const QString& w) {
        const QRegularExpression re(
            QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
                           "yMax=\"([0-9.]+)\">%1</word>")
                .arg(QRegularExpression::escape(w)));
        const auto m = re.match(bbox);
        return m.hasMatch()
                   ? QRectF(QPointF(m.captured(1).toDouble() * pt, m.captured(2).toDouble() * pt),
                            QPointF(m.captured(3).toDouble() * pt, m.captured(4).toDouble() * pt))
                   : QRectF();
    };
    const QRectF value = word(QStringLiteral("150.000,00"));
    QVERIFY2(!value.isNull(), qPrintable(bbox));
    QVERIFY2(std::abs(value.left() - (5 + 122.2)) < 0.15,
             qPrintable(QString::number(value.left())));
    QVERIFY2(std::abs(value.top() - (5 + 2.1)) < 0.15, qPrintable(QString::number(value.top())));
    const QRectF city = word(QStringLiteral("SANTOS"));
    QVERIFY2(std::abs(city.right() - (5 + 102.2)) < 0.15,
             qPrintable(QString::number(city.right())));
}

void TstRelatorio::outputFailures_data() {
    QTest::addColumn<QString>("what");
    QTest::newRow("default printer") << "default";
    QTest::newRow("printer not found") << "named";
    QTest::newRow("pdf not writable") << "pdf";
}

void TstRelatorio::outputFailures() {
    QFETCH(QString, what);
    Report r;
    r.detail(10).label(QStringLiteral("teste"), 0, 0);
    PrintOutcome out;
    QString expected;
    if (what == QLatin1String("default")) {
        out = printReport(r);
        if (!QPrinterInfo::defaultPrinterName().isEmpty()) {
            // A queue is configured here: the job is taken.
            QVERIFY2(out.accepted, qPrintable(out.message));
            QCOMPARE(out.pages, 1);
            QVERIFY(messages_->messages.empty());
            return;
        }
        expected = noDefaultPrinterMessage();
    } else if (what == QLatin1String("named")) {
        out = printReport(r, QStringLiteral("IMPRESSORA_QUE_NAO_EXISTE"));
        expected = printerNotFoundMessage(QStringLiteral("IMPRESSORA_QUE_NAO_EXISTE"));
    } else {
        const QString path = dir_.filePath(QStringLiteral("nao/existe/x.pdf"));
        out = writePdf(r, path);
        expected = pdfFailedMessage(path);
    }
    QVERIFY(!out.accepted);
    QCOMPARE(out.pages, 0);
    QCOMPARE(out.message, expected);
    QCOMPARE(messages_->texts(), QStringList{expected});
    QCOMPARE(messages_->messages.front().kind, kit::MessageService::Kind::Error);
}

void TstRelatorio::previewPagesAndSaves() {
    auto ds = entries();
    Report r;
    listing(r, ds.get());
    PreviewDialog preview(r);
    QCOMPARE(preview.pageCount(), 4);
    QCOMPARE(preview.currentPage(), 1);
    QVERIFY(preview.shownPage().text(QStringLiteral("RELATÓRIO DE LANÇAMENTOS")));
    preview.nextPage();
    preview.lastPage();
    QCOMPARE(preview.currentPage(), 4);
    QVERIFY(preview.shownPage().named(QStringLiteral("quant")));
    preview.nextPage();  // stays on the last
    QCOMPARE(preview.currentPage(), 4);
    const double before = preview.zoom();
    preview.zoomIn();
    QVERIFY(preview.zoom() > before);
    preview.show();
    QVERIFY(!preview.grab().isNull());  // paints the page
    const QString path = dir_.filePath(QStringLiteral("previa.pdf"));
    QVERIFY(preview.savePdfTo(path).accepted);
    QCOMPARE(preview.lastOutcome().pages, 4);
    QVERIFY(QFileInfo(path).size() > 1000);
    // Printing from it to a file printer (what the printer dialog's "print to file" gives).
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString printed = dir_.filePath(QStringLiteral("impressa.pdf"));
    printer.setOutputFileName(printed);
    const PrintOutcome out = preview.printTo(printer);
    QVERIFY(out.accepted);
    QCOMPARE(out.pages, 4);
    const QString text = run(QStringLiteral("pdftotext"), {printed, QStringLiteral("-")});
    QVERIFY(text.contains(QStringLiteral("Página 4 de 4")));
    QVERIFY(messages_->messages.empty());
}

QTEST_MAIN(TstRelatorio)
#include "tst_relatorio.moc"
