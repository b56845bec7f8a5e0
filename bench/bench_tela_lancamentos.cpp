// Opening a resource with many entries on the treasury entry screen.
//
//   bench_tela_lancamentos [N]     (default 100000)
//
// Times, as medians: choosing the resource on the screen (the list read and the
// grid filled and painted), beside the floor of reading the same rows, every
// column, straight through the database client; then scrolling the grid page by
// page to the end, painting each page, as the time per page. Target: opening
// within 2 times the floor.

#include <QAbstractItemView>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "app/UPrincipal.h"
#include "app/aplicacao.h"
#include "app/telas.h"
#include "data/criacao.h"
#include "enchimento.h"
#include "kit/core/messages.h"
#include "kit/ui/widgets/datagrid.h"
#include "kit/ui/widgets/lookup.h"
#include "screens/treasury/UCadLancamento.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TesourariaApplication app(argc, argv);
    const bench::WallTime wall;
    const int n = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 100000;
    auto recorder = std::make_unique<kit::RecordingMessageService>();
    recorder->defaultAnswer = false;
    kit::setMessageService(std::move(recorder));

    QTemporaryDir dir;
    fb::ConnectParams p;
    p.database = dir.filePath(QStringLiteral("bench.fdb"));
    data::createDatabase(p, false);
    kit::Database db(p);
    db.open();
    // All the entries on one resource, all after the list's start date, written there
    // with the upkeep off and the balances built once.
    QElapsedTimer setUp;
    setUp.start();
    bench::fill(db, n, bench::Layout::OneResourceRecent);
    std::printf("set-up %d entries: %.1f s\n", n, static_cast<double>(setUp.elapsed()) / 1000.0);
    if (!bench::checkDerivedValues(db))
        return 1;

    const QString sql = QStringLiteral(
        "SELECT * FROM LANCAMENTO WHERE DATA >= :pDATA AND CDRECURSO = :pRECURSO ORDER BY DATA "
        "ASC");
    const QDate start(QDate::currentDate().year(), QDate::currentDate().month(), 1);
    std::vector<double> floor, screen, scroll;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer t;
        t.start();
        {
            fb::Transaction tr(db.connection(), fb::Transaction::Access::ReadOnly);
            fb::Statement s(tr, sql);
            s.bind(QStringLiteral("pDATA"), start);
            s.bind(QStringLiteral("pRECURSO"), 11);
            s.execute();
            std::vector<QVector<QVariant>> rows;
            while (s.fetch()) {
                QVector<QVariant> row(s.columnCount());
                for (int i = 0; i < s.columnCount(); ++i) row[i] = s.value(i);
                rows.push_back(std::move(row));
            }
            tr.commit();
        }
        floor.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);

        TFrmPrincipal main(db);
        RegistraTelas(main);
        main.resize(1280, 900);
        main.show();
        auto* s = qobject_cast<TFrmCadLancamento*>(
            main.openScreen(QStringLiteral("Impressao_de_cheques_e_Lancamentos")));
        app.processEvents();
        s->recursoBox()->setValue(11);
        t.restart();
        s->escolheRecurso();
        auto* grid = s->findChild<kit::DataGrid*>(QStringLiteral("wwDBGrid_Lancamentos"));
        grid->viewport()->repaint();
        app.processEvents();
        screen.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        if (s->tb_lancamentoL().recordCount() != n)
            std::fprintf(stderr, "rows: %d\n", s->tb_lancamentoL().recordCount());

        t.restart();
        int pages = 0;
        QScrollBar* bar = grid->verticalScrollBar();
        for (int v = 0; v <= bar->maximum() && pages < 200;
             v += std::max(1, bar->pageStep()) *
                  std::max(1, bar->maximum() / 200 / std::max(1, bar->pageStep()))) {
            bar->setValue(v);
            grid->viewport()->repaint();
            ++pages;
        }
        scroll.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6 / std::max(1, pages));
        main.mdiArea()->closeAllSubWindows();
        app.processEvents();
    }
    const double f = bench::median(floor), o = bench::median(screen);
    std::printf("entries %d\n", n);
    std::printf("raw fetch (floor)        %10.1f ms\n", f);
    std::printf("choose resource, painted %10.1f ms   ratio %.2f (target <= 2)\n", o, o / f);
    std::printf("scroll, per page painted %10.2f ms\n", bench::median(scroll));
    return 0;
}
