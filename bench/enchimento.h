#pragma once

// Fills a benchmark database quickly: five resources (codes 11 to 15), one
// activity and n entries, with the daily balances built in one statement (the
// upkeep is switched off while loading, then on again; rows are written where they
// belong, never moved afterwards), and a table LANCAMENTO_NUA with the entry's
// columns and no trigger or reference; the check of what the database keeps; the
// median of timings; the wall time of a run.

#include <QElapsedTimer>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "data/verificacao.h"
#include "kit/db/database.h"

namespace bench {

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Prints the run's wall time when it goes out of scope.
class WallTime {
public:
    WallTime() { timer_.start(); }
    ~WallTime() {
        std::printf("wall time %.1f s\n", static_cast<double>(timer_.elapsed()) / 1000.0);
    }
    WallTime(const WallTime&) = delete;
    WallTime& operator=(const WallTime&) = delete;

private:
    QElapsedTimer timer_;
};

// Where the entries go: over ten years on the five resources, or all on resource
// 11 within the 25 days from today (one resource's list on the entry screen).
enum class Layout { TenYearsFiveResources, OneResourceRecent };

// The balances, invoice balances and paid amounts recomputed and compared with
// what the database keeps; prints the outcome. False when they differ.
inline bool checkDerivedValues(kit::Database& db) {
    const QStringList differences = data::verifyDerivedValues(db.connection());
    if (differences.isEmpty())
        std::printf("check: the balances agree with a recomputation\n");
    else
        std::printf("check: %d difference(s), first: %s\n", static_cast<int>(differences.size()),
                    qPrintable(differences.first()));
    return differences.isEmpty();
}

inline void fill(kit::Database& db, int n, Layout layout = Layout::TenYearsFiveResources) {
    fb::Transaction tr(db.connection());
    tr.executeImmediate(QStringLiteral(
        "INSERT INTO RECURSO (CDRECURSO, NOME) SELECT 10 + R, 'RECURSO ' || R FROM "
        "(SELECT 1 R FROM RDB$DATABASE UNION ALL SELECT 2 FROM RDB$DATABASE UNION ALL SELECT 3 "
        "FROM RDB$DATABASE "
        "UNION ALL SELECT 4 FROM RDB$DATABASE UNION ALL SELECT 5 FROM RDB$DATABASE)"));
    tr.executeImmediate(
        QStringLiteral("INSERT INTO ATIVIDADE (CDATIVIDADE, NOME) VALUES (1, 'DESPESAS')"));
    tr.commit();
    // Bulk load with the upkeep off, then the daily balances in one statement.
    fb::Transaction t2(db.connection());
    t2.executeImmediate(QStringLiteral("ALTER TRIGGER LANCAMENTO_SALDOS INACTIVE"));
    t2.commit();
    fb::Transaction t3(db.connection());
    const bool recent = layout == Layout::OneResourceRecent;
    const QString day = recent ? QStringLiteral("DATEADD(MOD(:I + 1, 25) DAY TO CURRENT_DATE)")
                               : QStringLiteral(
                                     "DATEADD(-(3650 - MOD(:I * 3650 / %1, 3650)) DAY TO "
                                     "CURRENT_DATE)")
                                     .arg(n);
    const QString resource = recent ? QStringLiteral("11") : QStringLiteral("11 + MOD(:I, 5)");
    t3.executeImmediate(
        QStringLiteral(
            "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < %1) DO BEGIN "
            "INSERT INTO LANCAMENTO (CDLANCAMENTO, DATA, TIPO, VALOR, VALORBRUTO, CDRECURSO, "
            "CDATIVIDADE, LANCADO) "
            "VALUES (:I + 1, %2, "
            "IIF(MOD(:I, 7) = 0, 'C', 'D'), MOD(:I * 37, 100000) / 100.0 + 1, MOD(:I * 37, 100000) "
            "/ 100.0 + 1, "
            "%3, 1, 'N'); I = I + 1; END END")
            .arg(n)
            .arg(day, resource));
    t3.commit();
    fb::Transaction t4(db.connection());
    t4.executeImmediate(QStringLiteral(
        "INSERT INTO SALDOCAIXA (CDRECURSO, DTSALDO, TOTCREDITO, TOTDEBITO, SALDOATUAL) "
        "SELECT CDRECURSO, DATA, C, D, SUM(C - D) OVER (PARTITION BY CDRECURSO ORDER BY DATA) FROM "
        "(SELECT CDRECURSO, DATA, SUM(IIF(TIPO = 'C', VALOR, 0)) C, SUM(IIF(TIPO = 'D', VALOR, 0)) "
        "D "
        " FROM LANCAMENTO GROUP BY CDRECURSO, DATA)"));
    t4.executeImmediate(QStringLiteral("ALTER SEQUENCE GEN_LANCAMENTO RESTART WITH %1").arg(n));
    t4.commit();
    fb::Transaction t5(db.connection());
    t5.executeImmediate(QStringLiteral("ALTER TRIGGER LANCAMENTO_SALDOS ACTIVE"));
    t5.executeImmediate(
        QStringLiteral("CREATE TABLE LANCAMENTO_NUA (CDLANCAMENTO INTEGER NOT NULL PRIMARY KEY, "
                       "DATA DATE, TIPO CHAR(1), "
                       "VALOR NUMERIC(15,2), VALORBRUTO NUMERIC(15,2), CDRECURSO SMALLINT, "
                       "CDATIVIDADE SMALLINT, LANCADO CHAR(1))"));
    t5.commit();
    fb::Transaction t6(db.connection());
    t6.executeImmediate(QStringLiteral("SET STATISTICS INDEX IX_LANCAMENTO_RECURSO_DATA"));
    t6.commit();
}

}  // namespace bench
