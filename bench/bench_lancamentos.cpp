// Posting entries as the database grows, and the balance query of the entry screen.
//
//   bench_lancamentos [N1,N2,...]      (default 1000,100000,1000000)
//
// For each size a fresh embedded database is filled with N entries over ten
// years on five resources, then timed (medians):
//   post today     one entry through a data set and its apply (trigger upkeep)
//   post 5y back   the same entry dated five years back (every later day moves)
//   balance        the balance of a resource at a date, as the entry screen reads it
// Beside each, the floor: the bare insert of the same row into a table with no
// trigger and no reference, with its commit. Targets: posting at the largest size
// within 1.5 times posting at the smallest; posting five years back under 50 ms.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "data/criacao.h"
#include "enchimento.h"
#include "kit/db/dataset.h"

using kit::Money;

namespace {

template <class F>
double timeMs(int runs, F&& f) {
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f(i);
        samples.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    return bench::median(samples);
}

double postThroughDataSet(kit::Database& db, int runs, int daysBack) {
    kit::DataSet ds(&db);
    ds.setSql(QStringLiteral("SELECT * FROM LANCAMENTO WHERE CDLANCAMENTO = 0"));
    ds.open();
    return timeMs(runs, [&](int i) {
        const int code = db.callProcedure(QStringLiteral("INCREMENTA_CD_LANCAMENTO"))
                             .value(QStringLiteral("CODIGO"))
                             .toInt();
        ds.append();
        ds.setValue(QStringLiteral("CDLANCAMENTO"), code);
        ds.setValue(QStringLiteral("DATA"), QDate::currentDate().addDays(-daysBack));
        ds.setValue(QStringLiteral("TIPO"), QStringLiteral("D"));
        ds.setValue(QStringLiteral("VALOR"), QVariant::fromValue(Money::fromCents(1000 + i)));
        ds.setValue(QStringLiteral("VALORBRUTO"), QVariant::fromValue(Money::fromCents(1000 + i)));
        ds.setValue(QStringLiteral("CDRECURSO"), 11);
        ds.setValue(QStringLiteral("CDATIVIDADE"), 1);
        ds.setValue(QStringLiteral("LANCADO"), QStringLiteral("N"));
        ds.post();
        if (!ds.applyUpdates().ok)
            std::fprintf(stderr, "apply failed\n");
    });
}

double bareInsert(kit::Database& db, int runs, int firstCode, int daysBack) {
    return timeMs(runs, [&](int i) {
        db.execute(QStringLiteral("INSERT INTO LANCAMENTO_NUA (CDLANCAMENTO, DATA, TIPO, VALOR, "
                                  "VALORBRUTO, CDRECURSO, CDATIVIDADE, LANCADO) "
                                  "VALUES (:C, :D, 'D', :V, :V, 11, 1, 'N')"),
                   {{QStringLiteral("C"), firstCode + i},
                    {QStringLiteral("D"), QDate::currentDate().addDays(-daysBack)},
                    {QStringLiteral("V"), QVariant::fromValue(Money::fromCents(1000 + i))}});
    });
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bench::WallTime wall;
    QList<int> sizes = {1000, 100000, 1000000};
    if (argc > 1) {
        sizes.clear();
        for (const QString& s : QString::fromLatin1(argv[1]).split(QLatin1Char(',')))
            sizes << s.toInt();
    }
    const int runs = 21;
    std::printf("%-10s %14s %12s %8s %14s %12s %8s %12s %12s\n", "entries", "post today ms",
                "floor ms", "ratio", "post 5y ms", "floor ms", "ratio", "balance ms", "raw ms");
    double firstPost = 0, lastPost = 0, worstBack = 0;
    for (int n : sizes) {
        QTemporaryDir dir;
        fb::ConnectParams p;
        p.database = dir.filePath(QStringLiteral("bench.fdb"));
        data::createDatabase(p, false);
        kit::Database db(p);
        db.open();
        bench::fill(db, n);
        if (!bench::checkDerivedValues(db))
            return 1;
        postThroughDataSet(db, 3, 0);  // warm up
        const double post = postThroughDataSet(db, runs, 0);
        const double floor = bareInsert(db, runs, 1, 0);
        const double back = postThroughDataSet(db, runs, 5 * 365);
        const double floorBack = bareInsert(db, runs, 1000, 5 * 365);
        kit::DataSet q(&db);
        q.setSql(
            QStringLiteral("SELECT FIRST 1 SALDOATUAL FROM SALDOCAIXA WHERE CDRECURSO = :PRECURSO "
                           "AND DTSALDO <= :PDATA "
                           "ORDER BY CDRECURSO DESC, DTSALDO DESC"));
        const double balance = timeMs(runs, [&](int i) {
            q.close();
            q.setParam(QStringLiteral("PRECURSO"), 11 + i % 5);
            q.setParam(QStringLiteral("PDATA"), QDate::currentDate().addDays(-i));
            q.open();
        });
        const double raw = timeMs(runs, [&](int i) {
            fb::Transaction tr(db.connection(), fb::Transaction::Access::ReadOnly);
            fb::Statement s(tr, QStringLiteral("SELECT COUNT(*) FROM RDB$DATABASE WHERE :X = 1"));
            s.bind(QStringLiteral("X"), i);
            s.execute();
            s.fetch();
            tr.commit();
        });
        std::printf("%-10d %14.2f %12.2f %8.2f %14.2f %12.2f %8.2f %12.2f %12.2f\n", n, post, floor,
                    post / floor, back, floorBack, back / floorBack, balance, raw);
        if (firstPost == 0)
            firstPost = post;
        lastPost = post;
        worstBack = std::max(worstBack, back);
    }
    std::printf("\nposting at the largest size / at the smallest: %.2f (target <= 1.5)\n",
                lastPost / firstPost);
    std::printf("posting five years back, worst median: %.2f ms (target < 50 ms)\n", worstBack);
    return 0;
}
