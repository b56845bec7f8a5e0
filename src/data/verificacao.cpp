#include "verificacao.h"

#include <QDate>
#include <map>

namespace data {

using kit::Money;

namespace {

Money money(const QVariant& v) {
    return v.isNull() ? Money() : v.value<Money>();
}

}  // namespace

QStringList verifyDerivedValues(fb::Connection& connection) {
    QStringList out;
    // Everything compared is read from one snapshot: stations posting meanwhile
    // cannot make the entries and the balances disagree between two statements.
    fb::Transaction tr(connection, fb::Transaction::Access::ReadOnly,
                       fb::Transaction::Isolation::Snapshot);

    struct Day {
        Money credit, debit, balance;
    };
    std::map<std::pair<int, qint64>, Day> expected;
    {
        fb::Statement s(
            tr, QStringLiteral("SELECT CDRECURSO, DATA, "
                               "SUM(CASE WHEN TIPO = 'C' THEN COALESCE(VALOR, 0) ELSE 0 END), "
                               "SUM(CASE WHEN TIPO = 'D' THEN COALESCE(VALOR, 0) ELSE 0 END) "
                               "FROM LANCAMENTO WHERE CDRECURSO IS NOT NULL AND DATA IS NOT NULL "
                               "GROUP BY CDRECURSO, DATA ORDER BY CDRECURSO, DATA"));
        s.execute();
        int resource = -1;
        Money running;
        while (s.fetch()) {
            const int r = s.value(0).toInt();
            if (r != resource) {
                resource = r;
                running = Money();
            }
            Day d{money(s.value(2)), money(s.value(3)), {}};
            running += d.credit - d.debit;
            d.balance = running;
            expected[{r, s.value(1).toDate().toJulianDay()}] = d;
        }
    }
    {
        fb::Statement s(
            tr, QStringLiteral(
                    "SELECT CDRECURSO, DTSALDO, TOTCREDITO, TOTDEBITO, SALDOATUAL FROM SALDOCAIXA "
                    "ORDER BY CDRECURSO, DTSALDO"));
        s.execute();
        while (s.fetch()) {
            const int r = s.value(0).toInt();
            const QDate day = s.value(1).toDate();
            const auto it = expected.find({r, day.toJulianDay()});
            const QString where = QStringLiteral("Saldo do recurso %1 em %2")
                                      .arg(r)
                                      .arg(day.toString(QStringLiteral("dd/MM/yyyy")));
            if (it == expected.end()) {
                out << where + QStringLiteral(": existe, mas o dia não tem lançamentos.");
                continue;
            }
            const Day& e = it->second;
            const Money c = money(s.value(2)), d = money(s.value(3)), b = money(s.value(4));
            if (c != e.credit || d != e.debit || b != e.balance)
                out << where + QStringLiteral(
                                   ": crédito %1, débito %2, saldo %3; recalculado: crédito %4, "
                                   "débito %5, saldo %6.")
                                   .arg(c.toString(), d.toString(), b.toString(),
                                        e.credit.toString(), e.debit.toString(),
                                        e.balance.toString());
            expected.erase(it);
        }
        for (const auto& [key, e] : expected)
            out << QStringLiteral("Saldo do recurso %1 em %2: falta (recalculado: saldo %3).")
                       .arg(key.first)
                       .arg(QDate::fromJulianDay(key.second).toString(QStringLiteral("dd/MM/yyyy")),
                            e.balance.toString());
    }
    {
        fb::Statement s(
            tr, QStringLiteral("SELECT N.CDNOTAS, N.NUMNOTA, N.SALDO, COALESCE(N.VALORBRUTO, 0) - "
                               "COALESCE((SELECT SUM(L.VALORBRUTO) FROM LANCAMENTO L WHERE "
                               "L.CDNOTAS = N.CDNOTAS), 0) "
                               "FROM NOTA N ORDER BY N.CDNOTAS"));
        s.execute();
        while (s.fetch()) {
            const Money has = money(s.value(2)), should = money(s.value(3));
            if (s.value(2).isNull() || has != should)
                out << QStringLiteral("Saldo da nota %1 (nº %2): %3; recalculado: %4.")
                           .arg(s.value(0).toString(), s.value(1).toString(),
                                s.value(2).isNull() ? QStringLiteral("vazio") : has.toString(),
                                should.toString());
        }
    }
    {
        fb::Statement s(tr, QStringLiteral("SELECT E.CDEMPENHO, E.NUMEMPENHO, E.VALORPAGO, "
                                           "COALESCE((SELECT SUM(L.VALORBRUTO) FROM LANCAMENTO L "
                                           "WHERE L.CDEMPENHO = E.CDEMPENHO), 0) "
                                           "FROM EMPENHO E ORDER BY E.CDEMPENHO"));
        s.execute();
        while (s.fetch()) {
            const Money has = money(s.value(2)), should = money(s.value(3));
            if (s.value(2).isNull() || has != should)
                out << QStringLiteral("Valor pago do empenho %1 (nº %2): %3; recalculado: %4.")
                           .arg(s.value(0).toString(), s.value(1).toString(),
                                s.value(2).isNull() ? QStringLiteral("vazio") : has.toString(),
                                should.toString());
        }
    }
    tr.commit();
    return out;
}

}  // namespace data
