// Eight workstations posting at once on the Firebird server (loopback).
//
//   bench_estacoes [N]     (default 250 entries per workstation)
//
// Needs the server of the server-mode tests: ZEL_TEST_SERVER, ZEL_TEST_SERVER_DIR
// and ZEL_TEST_SERVER_PASSWORD (tools/tesouraria.sh bench sets them);
// without them it says so and ends. On a fresh database, eight connections each
// post N entries today, one at a time, through a data set and its apply as the
// entry screen does: first all to the same resource (they wait for one another on
// the resource's row), then each to its own resource. Prints entries per second
// for each, the refusals (expected 0) and the check of the balances afterwards.

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QUuid>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include "data/criacao.h"
#include "enchimento.h"
#include "kit/db/dataset.h"

using kit::Money;

namespace {

constexpr int kStations = 8;

struct Outcome {
    double entriesPerSecond = 0;
    int refused = 0;
};

Outcome post(const fb::ConnectParams& p, int perStation, bool sameResource,
             std::atomic<int>& nextValue) {
    std::atomic<int> refused{0};
    std::atomic<int> ready{0};
    std::atomic<bool> go{false};
    std::vector<std::thread> stations;
    QElapsedTimer t;
    for (int s = 0; s < kStations; ++s)
        stations.emplace_back([&, s] {
            kit::Database db(p);
            db.open();
            kit::DataSet ds(&db);
            ds.setSql(QStringLiteral("SELECT * FROM LANCAMENTO WHERE CDLANCAMENTO = 0"));
            ds.open();
            ++ready;
            while (!go) std::this_thread::yield();
            for (int i = 0; i < perStation; ++i) {
                const int code = db.callProcedure(QStringLiteral("INCREMENTA_CD_LANCAMENTO"))
                                     .value(QStringLiteral("CODIGO"))
                                     .toInt();
                ds.append();
                ds.setValue(QStringLiteral("CDLANCAMENTO"), code);
                ds.setValue(QStringLiteral("DATA"), QDate::currentDate());
                ds.setValue(QStringLiteral("TIPO"), QStringLiteral("C"));
                const auto value = QVariant::fromValue(Money::fromCents(100 + ++nextValue % 900));
                ds.setValue(QStringLiteral("VALOR"), value);
                ds.setValue(QStringLiteral("VALORBRUTO"), value);
                ds.setValue(QStringLiteral("CDRECURSO"), sameResource ? 1 : 1 + s);
                ds.setValue(QStringLiteral("CDATIVIDADE"), 1);
                ds.setValue(QStringLiteral("LANCADO"), QStringLiteral("N"));
                ds.post();
                if (!ds.applyUpdates().ok)
                    ++refused;
            }
        });
    while (ready < kStations) std::this_thread::yield();
    t.start();
    go = true;
    for (std::thread& s : stations) s.join();
    const double seconds = static_cast<double>(t.nsecsElapsed()) / 1e9;
    return {kStations * perStation / seconds, refused.load()};
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bench::WallTime wall;
    if (qEnvironmentVariableIsEmpty("ZEL_TEST_SERVER")) {
        std::printf(
            "no Firebird server configured: set ZEL_TEST_SERVER, ZEL_TEST_SERVER_DIR and "
            "ZEL_TEST_SERVER_PASSWORD (tools/tesouraria.sh bench sets them); skipped\n");
        return 0;
    }
    const int perStation = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 250;
    fb::ConnectParams p;
    p.database = QStringLiteral("%1:%2/bench-%3.fdb")
                     .arg(qEnvironmentVariable("ZEL_TEST_SERVER"),
                          qEnvironmentVariable("ZEL_TEST_SERVER_DIR"),
                          QUuid::createUuid().toString(QUuid::Id128));
    p.password = qEnvironmentVariable("ZEL_TEST_SERVER_PASSWORD");
    data::createDatabase(p, false);
    int status = 0;
    try {
        kit::Database db(p);
        db.open();
        for (int r = 1; r <= kStations; ++r)
            db.execute(
                QStringLiteral("INSERT INTO RECURSO (CDRECURSO, NOME) VALUES (:R, :N)"),
                {{QStringLiteral("R"), r}, {QStringLiteral("N"), QStringLiteral("R%1").arg(r)}});
        db.execute(QStringLiteral("INSERT INTO ATIVIDADE (CDATIVIDADE, NOME) VALUES (1, 'A')"));
        std::atomic<int> values{0};
        std::printf("%d workstations, %d entries each, loopback server\n", kStations, perStation);
        const Outcome same = post(p, perStation, true, values);
        std::printf("same resource        %8.0f entries/s   refused %d\n", same.entriesPerSecond,
                    same.refused);
        const Outcome different = post(p, perStation, false, values);
        std::printf("different resources  %8.0f entries/s   refused %d\n",
                    different.entriesPerSecond, different.refused);
        if (!bench::checkDerivedValues(db) || same.refused + different.refused > 0)
            status = 1;
    } catch (const fb::Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        status = 1;
    }
    try {
        fb::Connection(p).drop();
    } catch (const fb::Error&) {
    }
    return status;
}
