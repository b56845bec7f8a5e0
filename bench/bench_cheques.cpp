// The cheque schedule of the treasury entry screen.
//
//   bench_cheques [LAUNCHED] [LISTED]      (default 500 5000)
//
// Times, as medians of three runs:
//   launch         "Lançar Marcados" over LAUNCHED marked cheques (the invoice test of
//                  each, then the entries, history rows and deletions in one
//                  transaction, then the list read again)
//   floor          the same number of entries inserted in one transaction, each with
//                  its code from INCREMENTA_CD_LANCAMENTO
//   open           "Localizar" with a date over LISTED scheduled cheques (the list read,
//                  the totals and the grid filled and painted)
//   raw fetch      reading the same rows, every column, straight through the client
// Targets: launch within 2 times its floor; open within 2 times the raw fetch.

#include <QElapsedTimer>
#include <QMdiArea>
#include <QTemporaryDir>
#include <cstdio>

#include "app/UPrincipal.h"
#include "app/aplicacao.h"
#include "app/telas.h"
#include "data/criacao.h"
#include "enchimento.h"
#include "kit/core/messages.h"
#include "kit/ui/widgets/editgrid.h"
#include "kit/ui/widgets/editors.h"
#include "kit/ui/widgets/lookup.h"
#include "screens/treasury/UCadLancamento.h"
#include "screens/treasury/UCheques.h"

namespace {

const QDate kDia(2026, 3, 10);

void schedule(kit::Database& db, int first, int n) {
    db.write([&](fb::Transaction& tr) {
        fb::Statement s(
            tr,
            QStringLiteral("INSERT INTO CHEQUE (CD, NUMCHEQUE, DATA, DTVENC, CDRECURSO, "
                           "CDATIVIDADE, VALOR, VALORBRUTO, ISS, IRPF, OUTROS, TIPO, "
                           "IMPRESSO, LANCADO, ACAO, DESCRICAO) VALUES (:CD, :NUM, :DATA, "
                           ":VENC, 1, 1, :VALOR, 0, 0, 0, 0, 'D', 'N', 'N', 'S', 'PAGAMENTO')"));
        for (int i = 0; i < n; ++i) {
            s.bind(QStringLiteral("CD"), first + i);
            s.bind(QStringLiteral("NUM"), 1000 + first + i);
            s.bind(QStringLiteral("DATA"), kDia);
            s.bind(QStringLiteral("VENC"), kDia.addDays(i % 30));
            s.bind(QStringLiteral("VALOR"), QVariant::fromValue(kit::Money::fromCents(100 + i)));
            s.execute();
        }
    });
}

double ms(const QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TesourariaApplication app(argc, argv);
    const bench::WallTime wall;
    const int launched = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 500;
    const int listed = argc > 2 ? QString::fromLatin1(argv[2]).toInt() : 5000;
    auto recorder = std::make_unique<kit::RecordingMessageService>();
    recorder->defaultAnswer = true;
    kit::setMessageService(std::move(recorder));

    QTemporaryDir dir;
    fb::ConnectParams p;
    p.database = dir.filePath(QStringLiteral("bench.fdb"));
    data::createDatabase(p, false);
    kit::Database db(p);
    db.open();
    db.execute(
        QStringLiteral("INSERT INTO RECURSO (CDRECURSO, NOME, NUMCONTA) VALUES (1, "
                       "'MOVIMENTO', '1234-5')"));
    db.execute(QStringLiteral("INSERT INTO ATIVIDADE (CDATIVIDADE, NOME) VALUES (1, 'DIVERSOS')"));

    TFrmPrincipal main(db);
    main.contexto().usuario.codigo = 1;
    RegistraTelas(main);
    main.resize(1280, 900);
    main.show();
    main.findChild<QAction*>(QStringLiteral("Impressao_de_cheques_e_Lancamentos"))->trigger();
    auto* screen = qobject_cast<TFrmCadLancamento*>(
        main.screenInstance(QStringLiteral("Impressao_de_cheques_e_Lancamentos")));
    screen->mostraPagina(1);
    PaginaCheques& page = screen->cheques();
    page.dataBox()->setDate(kDia);
    page.recursoBox()->setValue(1);

    std::vector<double> launch, floor, open, raw;
    int next = 1;
    for (int run = 0; run < 3; ++run) {
        schedule(db, next, launched);
        next += launched;
        page.Localizar();
        QElapsedTimer t;
        t.start();
        page.LancarMarcados();
        launch.push_back(ms(t));
        if (db.value(QStringLiteral("SELECT COUNT(*) FROM CHEQUE")).toInt() != 0) {
            std::fprintf(stderr, "launch left cheques behind\n");
            return 1;
        }
        t.restart();
        db.write([&](fb::Transaction& tr) {
            fb::Statement code(tr, QStringLiteral("EXECUTE PROCEDURE INCREMENTA_CD_LANCAMENTO"));
            fb::Statement ins(
                tr, QStringLiteral("INSERT INTO LANCAMENTO (CDLANCAMENTO, CDATIVIDADE, "
                                   "CDRECURSO, CDUSUARIO, NUMCHEQUE, DATA, OBS, VALOR, "
                                   "VALORBRUTO, IRPF, ISS, OUTROS, TIPO, LANCADO) VALUES (:CD, "
                                   "1, 1, 1, :NUM, :DATA, 'PAGAMENTO', :VALOR, 0, 0, 0, 0, "
                                   "'D', 'N')"));
            for (int i = 0; i < launched; ++i) {
                code.execute();
                code.fetch();
                ins.bind(QStringLiteral("CD"), code.value(0));
                ins.bind(QStringLiteral("NUM"), i);
                ins.bind(QStringLiteral("DATA"), kDia);
                ins.bind(QStringLiteral("VALOR"),
                         QVariant::fromValue(kit::Money::fromCents(100 + i)));
                ins.execute();
            }
        });
        floor.push_back(ms(t));
    }
    std::printf("launch %d cheques: %.1f ms, floor %.1f ms, ratio %.2f (target <= 2)\n", launched,
                bench::median(launch), bench::median(floor),
                bench::median(launch) / bench::median(floor));

    schedule(db, next, listed);
    page.recursoBox()->setValue(QVariant());
    const QString sql = QStringLiteral(
        " SELECT * FROM CHEQUE WHERE DATA >= :pDATA  OR (lancado ='N') ORDER BY DTVENC ");
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer t;
        t.start();
        {
            fb::Transaction tr(db.connection(), fb::Transaction::Access::ReadOnly);
            fb::Statement s(tr, sql);
            s.bind(QStringLiteral("pDATA"), kDia);
            s.execute();
            std::vector<QVector<QVariant>> rows;
            while (s.fetch()) {
                QVector<QVariant> row(s.columnCount());
                for (int i = 0; i < s.columnCount(); ++i) row[i] = s.value(i);
                rows.push_back(std::move(row));
            }
            tr.commit();
        }
        raw.push_back(ms(t));
        t.restart();
        page.Localizar();
        page.grade()->viewport()->repaint();
        open.push_back(ms(t));
    }
    std::printf("open %d cheques: %.1f ms, raw fetch %.1f ms, ratio %.2f (target <= 2)\n",
                page.tb_Cheque().recordCount(), bench::median(open), bench::median(raw),
                bench::median(open) / bench::median(raw));
    return 0;
}
