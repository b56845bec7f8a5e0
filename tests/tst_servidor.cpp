// Several workstations at once: the same behaviour embedded (processes sharing a
// file) and through a Firebird server on 127.0.0.1.

#include <QMutex>
#include <QSet>
#include <QThread>
#include <QtConcurrent/QtConcurrent>
#include <QtTest>
#include <thread>

#include "data/U_Biblioteca.h"
#include "data/schema.h"
#include "data/verificacao.h"
#include "kit/core/messages.h"
#include "kit/db/dataset.h"
#include "testdb.h"

using kit::Money;

namespace {

std::unique_ptr<TestDatabase> make(const QString& where, bool demo = false) {
    return where == QLatin1String("servidor") ? TestDatabase::server(demo)
                                              : TestDatabase::embedded(demo);
}

// One entry posted through a data set, as a screen posts it.
kit::ApplyResult postEntry(kit::Database& db, int code, const QDate& day, qint64 cents,
                           int resource = 1, int invoice = 0) {
    kit::DataSet ds(&db);
    ds.setSql(QStringLiteral("SELECT * FROM LANCAMENTO WHERE CDLANCAMENTO = 0"));
    ds.open();
    ds.append();
    ds.setValue(QStringLiteral("CDLANCAMENTO"), code);
    ds.setValue(QStringLiteral("DATA"), day);
    ds.setValue(QStringLiteral("TIPO"), QStringLiteral("C"));
    ds.setValue(QStringLiteral("VALOR"), QVariant::fromValue(Money::fromCents(cents)));
    ds.setValue(QStringLiteral("CDRECURSO"), resource);
    ds.setValue(QStringLiteral("LANCADO"), QStringLiteral("N"));
    if (invoice) {
        ds.setValue(QStringLiteral("TIPO"), QStringLiteral("D"));
        ds.setValue(QStringLiteral("CDNOTAS"), invoice);
        ds.setValue(QStringLiteral("CDEMPENHO"), invoice);
        ds.setValue(QStringLiteral("VALORBRUTO"), QVariant::fromValue(Money::fromCents(cents)));
    }
    ds.post();
    return ds.applyUpdates();
}

}  // namespace

class TstServidor : public QObject {
    Q_OBJECT
private slots:
    void where_data();
    void schemaAndDemonstrationData_data() { where_data(); }
    void schemaAndDemonstrationData();
    void keyProceduresFromTwoWorkstations_data() { where_data(); }
    void keyProceduresFromTwoWorkstations();
    void postingWhileAnotherWorkstationHoldsTheDay_data() { where_data(); }
    void postingWhileAnotherWorkstationHoldsTheDay();
    void conflictIsAppliedAgain_data() { where_data(); }
    void conflictIsAppliedAgain();
    void manyWorkstationsPostingTheSameDay_data() { where_data(); }
    void manyWorkstationsPostingTheSameDay();
    void changeOfTheSameColumnAfterWaitingIsRefused_data() { where_data(); }
    void changeOfTheSameColumnAfterWaitingIsRefused();
    void checkWhileStationsPost_data() { where_data(); }
    void checkWhileStationsPost();
    void stationsChargingTheSameInvoiceWait_data() { where_data(); }
    void stationsChargingTheSameInvoiceWait();

private:
    void where() {}
};

void TstServidor::where_data() {
    QTest::addColumn<QString>("where");
    QTest::newRow("embutido") << QStringLiteral("embutido");
    QTest::newRow("servidor") << QStringLiteral("servidor");
}

#define NEED_DATABASE(t)                                                                       \
    QFETCH(QString, where);                                                                    \
    if (where == QLatin1String("servidor") && !TestDatabase::serverConfigured())               \
        QSKIP("no Firebird server configured (the test command starts one: ZEL_TEST_SERVER)"); \
    std::unique_ptr<TestDatabase> t;                                                           \
    QVERIFY_DB(t = make(where));                                                               \
    t->addFixtureRows();

void TstServidor::schemaAndDemonstrationData() {
    QFETCH(QString, where);
    if (where == QLatin1String("servidor") && !TestDatabase::serverConfigured())
        QSKIP("no Firebird server configured");
    std::unique_ptr<TestDatabase> t;
    QVERIFY_DB(t = make(where, true));
    auto c = t->connect();
    QCOMPARE(data::databaseVersion(*c), data::programSchemaVersion());
    QVERIFY(fb::queryValue(*c, QStringLiteral("SELECT COUNT(*) FROM LANCAMENTO")).toInt() > 1000);
    QCOMPARE(
        fb::queryValue(*c, QStringLiteral("SELECT DESCRICAO FROM LOCALIDADE WHERE CDLOCAL = 3"))
            .toString(),
        QStringLiteral("C. INTERNO"));
    QVERIFY(
        fb::queryValue(*c, QStringLiteral("SELECT COUNT(*) FROM ATIVIDADE WHERE TIPOLANC = 'B'"))
            .toInt() > 0);
    QVERIFY(
        fb::queryValue(*c, QStringLiteral("SELECT COUNT(*) FROM ATIVIDADE WHERE TIPOLANC = 'C'"))
            .toInt() > 0);
    QCOMPARE(fb::queryValue(*c, QStringLiteral("SELECT CDGERAL FROM GERAL")).toInt(), 1);
    const QStringList differences = data::verifyDerivedValues(*c);
    QVERIFY2(differences.isEmpty(), qPrintable(differences.join(QLatin1Char('\n'))));
}

void TstServidor::keyProceduresFromTwoWorkstations() {
    NEED_DATABASE(t);
    auto draw = [&] {
        auto db = t->database();
        QList<int> codes;
        for (int i = 0; i < 150; ++i)
            codes << db->callProcedure(QStringLiteral("INCREMENTA_CD_LANCAMENTO"))
                         .value(QStringLiteral("CODIGO"))
                         .toInt();
        return codes;
    };
    QFuture<QList<int>> a = QtConcurrent::run(draw);
    QFuture<QList<int>> b = QtConcurrent::run(draw);
    const QList<int> all = a.result() + b.result();
    QCOMPARE(QSet<int>(all.begin(), all.end()).size(), 300);
}

void TstServidor::postingWhileAnotherWorkstationHoldsTheDay() {
    NEED_DATABASE(t);
    const QDate today = QDate::currentDate();
    // Workstation A has posted to resource 1 today and not yet committed.
    auto a = t->connect();
    fb::Transaction ta(*a);
    ta.executeImmediate(
        QStringLiteral("INSERT INTO LANCAMENTO (CDLANCAMENTO, DATA, TIPO, VALOR, CDRECURSO) VALUES "
                       "(1, CURRENT_DATE, 'C', 10, 1)"));
    // Workstation B posts to the same resource and day: it waits for A.
    QFuture<kit::ApplyResult> b = QtConcurrent::run([&] {
        auto db = t->database();
        return postEntry(*db, 2, today, 2500);
    });
    QThread::msleep(400);
    QVERIFY(!b.isFinished());
    ta.commit();
    const kit::ApplyResult r = b.result();
    QVERIFY2(r.ok, r.error ? qPrintable(r.error->message()) : "");
    QVERIFY(r.attempts >= 1);
    auto c = t->connect();
    QCOMPARE(
        fb::queryValue(
            *c,
            QStringLiteral(
                "SELECT SALDOATUAL FROM SALDOCAIXA WHERE CDRECURSO = 1 AND DTSALDO = CURRENT_DATE"))
            .value<Money>()
            .cents(),
        3500);
    QVERIFY(data::verifyDerivedValues(*c).isEmpty());
}

void TstServidor::conflictIsAppliedAgain() {
    NEED_DATABASE(t);
    // Workstation A changes an invoice and has not committed yet.
    auto a = t->connect();
    fb::Transaction ta(*a);
    ta.executeImmediate(
        QStringLiteral("UPDATE NOTA SET PENDENCIA = 'FALTA CERTIDAO' WHERE CDNOTAS = 1"));
    // Workstation B saves its own change to the same invoice: it waits, meets A's
    // committed change and applies again, without the operator seeing anything.
    QFuture<kit::ApplyResult> b = QtConcurrent::run([&] {
        auto db = t->database();
        kit::DataSet ds(db.get());
        ds.setSql(QStringLiteral("SELECT * FROM NOTA WHERE CDNOTAS = 1"));
        ds.open();
        ds.edit();
        ds.setValue(QStringLiteral("HISTORICO"), QStringLiteral("MATERIAL DE LIMPEZA"));
        ds.post();
        return ds.applyUpdates();
    });
    QThread::msleep(400);
    QVERIFY(!b.isFinished());
    ta.commit();
    const kit::ApplyResult r = b.result();
    QVERIFY2(r.ok, r.error ? qPrintable(r.error->message()) : "");
    QCOMPARE(r.attempts, 2);
    auto c = t->connect();
    QCOMPARE(fb::queryValue(*c, QStringLiteral("SELECT HISTORICO FROM NOTA WHERE CDNOTAS = 1"))
                 .toString(),
             QStringLiteral("MATERIAL DE LIMPEZA"));
    QCOMPARE(fb::queryValue(*c, QStringLiteral("SELECT PENDENCIA FROM NOTA WHERE CDNOTAS = 1"))
                 .toString(),
             QStringLiteral("FALTA CERTIDAO"));
}

void TstServidor::manyWorkstationsPostingTheSameDay() {
    NEED_DATABASE(t);
    const QDate today = QDate::currentDate();
    std::atomic<int> failures{0};
    auto workstation = [&](int first) {
        auto db = t->database();
        for (int i = 0; i < 15; ++i) {
            // Today and, now and then, a day back: later balances move too.
            const kit::ApplyResult r =
                postEntry(*db, first + i, today.addDays(-(i % 4 == 0 ? 3 : 0)), 100 + i);
            if (!r.ok)
                ++failures;
        }
    };
    QFuture<void> w1 = QtConcurrent::run(workstation, 1000);
    QFuture<void> w2 = QtConcurrent::run(workstation, 2000);
    w1.waitForFinished();
    w2.waitForFinished();
    QCOMPARE(failures.load(), 0);
    auto c = t->connect();
    QCOMPARE(fb::queryValue(*c, QStringLiteral("SELECT COUNT(*) FROM LANCAMENTO")).toInt(), 30);
    const QStringList differences = data::verifyDerivedValues(*c);
    QVERIFY2(differences.isEmpty(), qPrintable(differences.join(QLatin1Char('\n'))));
}

void TstServidor::changeOfTheSameColumnAfterWaitingIsRefused() {
    NEED_DATABASE(t);
    // B has read the invoice; A changes the same column and holds its transaction.
    auto dbB = t->database();
    kit::DataSet ds(dbB.get());
    ds.setSql(QStringLiteral("SELECT * FROM NOTA WHERE CDNOTAS = 1"));
    ds.open();
    auto a = t->connect();
    fb::Transaction ta(*a);
    ta.executeImmediate(
        QStringLiteral("UPDATE NOTA SET HISTORICO = 'DA ESTAÇÃO A' WHERE CDNOTAS = 1"));
    QFuture<kit::ApplyResult> b = QtConcurrent::run([&] {
        ds.edit();
        ds.setValue(QStringLiteral("HISTORICO"), QStringLiteral("DA ESTAÇÃO B"));
        ds.post();
        return ds.applyUpdates();
    });
    QThread::msleep(400);
    QVERIFY(!b.isFinished());  // B waits for A's lock
    ta.commit();
    // The lock conflict is replayed once; the replay finds A's change and refuses.
    const kit::ApplyResult r = b.result();
    QVERIFY(!r.ok);
    QVERIFY2(r.error->isRowChanged(), qPrintable(r.error->message()));
    QCOMPARE(r.attempts, 2);
    QVERIFY(ds.hasPendingChanges());
    auto c = t->connect();
    QCOMPARE(fb::queryValue(*c, QStringLiteral("SELECT HISTORICO FROM NOTA WHERE CDNOTAS = 1"))
                 .toString(),
             QStringLiteral("DA ESTAÇÃO A"));
}

void TstServidor::checkWhileStationsPost() {
    NEED_DATABASE(t);
    // Two stations post to both resources while the check runs over and over: it
    // reads from one snapshot, so it never sees entries without their balances.
    std::atomic<bool> stop{false};
    std::atomic<int> failures{0};
    auto station = [&](int first, int resource) {
        auto db = t->database();
        for (int i = 0; i < 400 && !stop; ++i)
            if (!postEntry(*db, first + i, QDate(2026, 12, 1).addDays(i % 5), 100 + i, resource, 1)
                     .ok)
                ++failures;
    };
    QFuture<void> w1 = QtConcurrent::run(station, 10000, 1);
    QFuture<void> w2 = QtConcurrent::run(station, 20000, 2);
    auto c = t->connect();
    QStringList seen;
    int runs = 0;
    while ((!w1.isFinished() || !w2.isFinished()) && runs < 60) {
        ++runs;
        const QStringList d = data::verifyDerivedValues(*c);
        if (!d.isEmpty())
            seen << d.first();
    }
    stop = true;
    w1.waitForFinished();
    w2.waitForFinished();
    QVERIFY2(seen.isEmpty(), qPrintable(QStringLiteral("%1 of %2 checks: %3")
                                            .arg(seen.size())
                                            .arg(runs)
                                            .arg(seen.join(QLatin1Char('\n')))));
    QVERIFY(runs > 3);
    QCOMPARE(failures.load(), 0);
    QVERIFY(data::verifyDerivedValues(*c).isEmpty());
}

void TstServidor::stationsChargingTheSameInvoiceWait() {
    NEED_DATABASE(t);
    {
        auto c = t->connect();
        fb::Transaction tr(*c);
        for (int r = 3; r <= 4; ++r)
            tr.executeImmediate(
                QStringLiteral("INSERT INTO RECURSO (CDRECURSO, NOME) VALUES (%1, 'R%1')").arg(r));
        tr.executeImmediate(
            QStringLiteral("UPDATE NOTA SET VALORBRUTO = 1000, SALDO = 1000 "
                           "WHERE CDNOTAS = 1"));
        tr.commit();
    }
    // Four stations, each on a resource of its own, every entry charged to invoice 1
    // and commitment 1. No retry is allowed: a station must wait, never be refused.
    std::atomic<int> failures{0};
    QStringList errors;
    QMutex m;
    auto station = [&](int resource) {
        auto db = t->database();
        db->setMaxAttempts(1);
        for (int i = 0; i < 25; ++i) {
            const kit::ApplyResult r =
                postEntry(*db, resource * 1000 + i, QDate(2026, 12, 11), 100, resource, 1);
            if (!r.ok) {
                ++failures;
                QMutexLocker lock(&m);
                errors << r.error->message();
            }
        }
    };
    std::vector<std::thread> stations;
    for (int r = 1; r <= 4; ++r) stations.emplace_back(station, r);
    for (auto& th : stations) th.join();
    QVERIFY2(
        failures.load() == 0,
        qPrintable(QStringLiteral("%1 refused: %2").arg(failures.load()).arg(errors.value(0))));
    auto c = t->connect();
    QCOMPARE(fb::queryValue(*c, QStringLiteral("SELECT SALDO FROM NOTA WHERE CDNOTAS = 1"))
                 .value<Money>()
                 .cents(),
             100000 - 100 * 100);
    QCOMPARE(fb::queryValue(*c, QStringLiteral("SELECT VALORPAGO FROM EMPENHO WHERE CDEMPENHO = 1"))
                 .value<Money>()
                 .cents(),
             100 * 100);
    const QStringList differences = data::verifyDerivedValues(*c);
    QVERIFY2(differences.isEmpty(), qPrintable(differences.join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(TstServidor)
#include "tst_servidor.moc"
