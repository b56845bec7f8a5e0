// What the database keeps from the entries: daily balances, invoice balances and
// commitments' paid amounts, after every kind of change, compared with a
// recomputation from the entries themselves.

#include <QRandomGenerator>
#include <QtTest>

#include "data/verificacao.h"
#include "testdb.h"

using kit::Money;

namespace {

const QDate kHoje(2026, 12, 11);

QString dia(int offset) {
    return kHoje.addDays(offset).toString(QStringLiteral("yyyy-MM-dd"));
}

}  // namespace

class TstSaldos : public QObject {
    Q_OBJECT
private slots:
    void change_data();
    void change();
    void randomChangesAgreeWithRecomputation();
};

void TstSaldos::change_data() {
    QTest::addColumn<QStringList>("statements");
    // Expected end-of-day balances: "resource:dayOffset=cents" (cents -1: no row).
    QTest::addColumn<QStringList>("balances");
    // Expected invoice balances and paid amounts: "N1=cents", "E1=cents".
    QTest::addColumn<QStringList>("paid");

    QTest::newRow("as posted") << QStringList{}
                               << QStringList{"1:-10=100000", "1:-5=80000", "1:0=75000"}
                               << QStringList{"N1=2000", "E1=8000", "N2=30000"};
    QTest::newRow("insert") << QStringList{"INSERT INTO LANCAMENTO (CDLANCAMENTO, DATA, TIPO, VALOR, CDRECURSO) VALUES (4, '" + dia(0) + "', 'C', 10, 1)"}
                            << QStringList{"1:0=76000", "1:-5=80000"} << QStringList{};
    QTest::newRow("value")
        << QStringList{"UPDATE LANCAMENTO SET VALOR = 300 WHERE CDLANCAMENTO = 2"}
        << QStringList{"1:-10=100000", "1:-5=70000", "1:0=65000"} << QStringList{};
    QTest::newRow("date backwards")
        << QStringList{"UPDATE LANCAMENTO SET DATA = '" + dia(-20) + "' WHERE CDLANCAMENTO = 3"}
        << QStringList{"1:-20=-5000", "1:-10=95000", "1:-5=75000", "1:0=-1"} << QStringList{};
    QTest::newRow("date forwards")
        << QStringList{"UPDATE LANCAMENTO SET DATA = '" + dia(3) + "' WHERE CDLANCAMENTO = 1"}
        << QStringList{"1:-10=-1", "1:-5=-20000", "1:0=-25000", "1:3=75000"} << QStringList{};
    QTest::newRow("resource")
        << QStringList{"UPDATE LANCAMENTO SET CDRECURSO = 2 WHERE CDLANCAMENTO = 3"}
        << QStringList{"1:0=-1", "1:-5=80000", "2:0=-5000"} << QStringList{};
    QTest::newRow("type") << QStringList{"UPDATE LANCAMENTO SET TIPO = 'D' WHERE CDLANCAMENTO = 1"}
                          << QStringList{"1:-10=-100000", "1:-5=-120000", "1:0=-125000"}
                          << QStringList{};
    QTest::newRow("invoice")
        << QStringList{"UPDATE LANCAMENTO SET CDNOTAS = 2, CDEMPENHO = 2 WHERE CDLANCAMENTO = 2"}
        << QStringList{"1:-5=80000"} << QStringList{"N1=10000", "N2=22000", "E1=0", "E2=8000"};
    QTest::newRow("gross value")
        << QStringList{"UPDATE LANCAMENTO SET VALORBRUTO = 100 WHERE CDLANCAMENTO = 2"}
        << QStringList{"1:-5=80000"} << QStringList{"N1=0", "E1=10000"};
    QTest::newRow("delete") << QStringList{"DELETE FROM LANCAMENTO WHERE CDLANCAMENTO = 2"}
                            << QStringList{"1:-10=100000", "1:-5=-1", "1:0=95000"}
                            << QStringList{"N1=10000", "E1=0"};
    QTest::newRow("five years back")
        << QStringList{"INSERT INTO LANCAMENTO (CDLANCAMENTO, DATA, TIPO, VALOR, CDRECURSO) VALUES (5, '" + dia(-1826) + "', 'C', 1, 1)"}
        << QStringList{"1:-1826=100", "1:-10=100100", "1:-5=80100", "1:0=75100"} << QStringList{};
    QTest::newRow("two on one day, one removed")
        << QStringList{"INSERT INTO LANCAMENTO (CDLANCAMENTO, DATA, TIPO, VALOR, CDRECURSO) VALUES (6, '" + dia(0) + "', 'C', 25, 1)",
                       "DELETE FROM LANCAMENTO WHERE CDLANCAMENTO = 3"}
        << QStringList{"1:0=82500"} << QStringList{};
}

void TstSaldos::change() {
    QFETCH(QStringList, statements);
    QFETCH(QStringList, balances);
    QFETCH(QStringList, paid);
    auto t = TestDatabase::embedded();
    t->addFixtureRows();
    auto db = t->database();
    db->execute("INSERT INTO LANCAMENTO (CDLANCAMENTO, DATA, TIPO, VALOR, CDRECURSO) VALUES (1, '" +
                dia(-10) + "', 'C', 1000, 1)");
    db->execute(
        "INSERT INTO LANCAMENTO (CDLANCAMENTO, DATA, TIPO, VALOR, VALORBRUTO, CDRECURSO, CDNOTAS, "
        "CDEMPENHO) "
        "VALUES (2, '" +
        dia(-5) + "', 'D', 200, 80, 1, 1, 1)");
    db->execute("INSERT INTO LANCAMENTO (CDLANCAMENTO, DATA, TIPO, VALOR, CDRECURSO) VALUES (3, '" +
                dia(0) + "', 'D', 50, 1)");
    for (const QString& s : statements) QVERIFY_DB(db->execute(s));

    for (const QString& b : balances) {
        const auto parts = b.split(QRegularExpression(QStringLiteral("[:=]")));
        const QVariant v = db->value(
            QStringLiteral(
                "SELECT SALDOATUAL FROM SALDOCAIXA WHERE CDRECURSO = :R AND DTSALDO = :D"),
            {{QStringLiteral("R"), parts[0].toInt()},
             {QStringLiteral("D"), kHoje.addDays(parts[1].toInt())}});
        const qint64 expected = parts[2].toLongLong();
        if (expected == -1)
            QVERIFY2(v.isNull(), qPrintable(b));
        else
            QVERIFY2(!v.isNull() && v.value<Money>().cents() == expected,
                     qPrintable(QStringLiteral("%1: got %2")
                                    .arg(b, v.isNull() ? QStringLiteral("no row")
                                                       : v.value<Money>().toString())));
    }
    for (const QString& p : paid) {
        const bool nota = p.startsWith(QLatin1Char('N'));
        const int code = p.mid(1, p.indexOf(QLatin1Char('=')) - 1).toInt();
        const QVariant v =
            db->value(nota ? QStringLiteral("SELECT SALDO FROM NOTA WHERE CDNOTAS = :C")
                           : QStringLiteral("SELECT VALORPAGO FROM EMPENHO WHERE CDEMPENHO = :C"),
                      {{QStringLiteral("C"), code}});
        QVERIFY2(v.value<Money>().cents() == p.mid(p.indexOf(QLatin1Char('=')) + 1).toLongLong(),
                 qPrintable(QStringLiteral("%1: got %2").arg(p, v.value<Money>().toString())));
    }
    const QStringList differences = data::verifyDerivedValues(db->connection());
    QVERIFY2(differences.isEmpty(), qPrintable(differences.join(QLatin1Char('\n'))));
}

void TstSaldos::randomChangesAgreeWithRecomputation() {
    auto t = TestDatabase::embedded();
    t->addFixtureRows();
    auto db = t->database();
    QRandomGenerator rng(7);
    QList<int> codes;
    int next = 1;
    const QStringList types = {"C", "D", "X"};
    for (int step = 0; step < 400; ++step) {
        const int op = codes.isEmpty() ? 0 : static_cast<int>(rng.bounded(10));
        const QDate date = kHoje.addDays(-static_cast<int>(rng.bounded(60)));
        const QVariant value = QVariant::fromValue(Money::fromCents(rng.bounded(1, 500000)));
        const QVariant nota =
            rng.bounded(3) == 0 ? QVariant() : QVariant(static_cast<int>(rng.bounded(1, 3)));
        if (op <= 4) {
            db->execute(QStringLiteral("INSERT INTO LANCAMENTO (CDLANCAMENTO, DATA, TIPO, VALOR, "
                                       "VALORBRUTO, CDRECURSO, CDNOTAS, CDEMPENHO) "
                                       "VALUES (:C, :D, :T, :V, :V, :R, :N, :N)"),
                        {{"C", next},
                         {"D", date},
                         {"T", types[static_cast<int>(rng.bounded(3))]},
                         {"V", value},
                         {"R", static_cast<int>(rng.bounded(1, 3))},
                         {"N", nota}});
            codes << next++;
        } else {
            const int code = codes[static_cast<int>(rng.bounded(codes.size()))];
            if (op == 9) {
                db->execute(QStringLiteral("DELETE FROM LANCAMENTO WHERE CDLANCAMENTO = :C"),
                            {{"C", code}});
                codes.removeOne(code);
            } else {
                const QStringList sets = {"DATA = :X", "VALOR = :X", "TIPO = :X", "CDRECURSO = :X",
                                          "CDNOTAS = :X, CDEMPENHO = :X"};
                const int which = op - 5;
                const QVariant x = which == 0   ? QVariant(date)
                                   : which == 1 ? value
                                   : which == 2 ? QVariant(types[static_cast<int>(rng.bounded(3))])
                                   : which == 3 ? QVariant(static_cast<int>(rng.bounded(1, 3)))
                                                : nota;
                db->execute(QStringLiteral("UPDATE LANCAMENTO SET %1 WHERE CDLANCAMENTO = :C")
                                .arg(sets[which]),
                            {{"X", x}, {"C", code}});
            }
        }
    }
    const QStringList differences = data::verifyDerivedValues(db->connection());
    QVERIFY2(differences.isEmpty(), qPrintable(differences.join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(TstSaldos)
#include "tst_saldos.moc"
