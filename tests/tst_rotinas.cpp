// Common routines, money and text handling: tables of cases, no database.

#include <QTemporaryDir>
#include <QtTest>

#include "data/U_Biblioteca.h"
#include "data/conexao.h"
#include "data/schema.h"
#include "kit/core/decimal.h"
#include "kit/core/latin1.h"
#include "kit/core/money.h"
#include "kit/db/fbclient.h"

using kit::Money;

class TstRotinas : public QObject {
    Q_OBJECT
private slots:
    void valorPorExtenso_data();
    void valorPorExtenso();
    void converteNumero_data();
    void converteNumero();
    void formataDecimal();
    void datasETextos();
    void moneyParse_data();
    void moneyParse();
    void moneyFormat_data();
    void moneyFormat();
    void moneyFromReaisChecksFirst();
    void decimalParseAndFormat_data();
    void decimalParseAndFormat();
    void decimalArithmetic_data();
    void decimalArithmetic();
    void decimalToMoneyAndInteger();
    void latin1_data();
    void latin1();
    void namedParameters();
    void scriptSplitting();
    void configuration();
};

void TstRotinas::valorPorExtenso_data() {
    QTest::addColumn<qint64>("cents");
    QTest::addColumn<QString>("text");
    const QList<QPair<qint64, const char*>> rows = {
        {100, "UM REAL "},
        {101, "UM REAL E UM CENTAVO"},
        {200, "DOIS REAIS "},
        {2100, "VINTE E UM REAIS "},
        {10000, "CEM REAIS "},
        {10500, "CENTO E CINCO REAIS "},
        {11500, "CENTO E QUINZE REAIS "},
        {12500, "CENTO E VINTE E CINCO REAIS "},
        {100000, "UM MIL REAIS "},
        {100100, "UM MIL E UM REAIS "},
        {110000, "UM MIL E CEM REAIS "},
        {112550, "UM MIL E CENTO E VINTE E CINCO REAIS E CINQUENTA CENTAVOS"},
        {1234500, "DOZE MIL E TREZENTOS E QUARENTA E CINCO REAIS "},
        {10000000, "E CEM MIL REAIS "},
        {12345600, "E CENTO E VINTE E TRES MIL E QUATROCENTOS E CINQUENTA E SEIS REAIS "},
        {100000000, "UM MILHÃO DE REAIS "},
        {150000000, "UM MILHÃO E QUINHENTOS MIL REAIS "},
        {200000005, "DOIS MILHÕES DE REAIS E CINCO CENTAVOS"},
        {1910, "DEZENOVE REAIS E DEZ CENTAVOS"},
        {2025, "VINTE REAIS E VINTE E CINCO CENTAVOS"},
        {50, "CINQUENTA CENTAVOS"},
    };
    for (const auto& [c, t] : rows) QTest::newRow(t) << c << QString::fromUtf8(t);
}

void TstRotinas::valorPorExtenso() {
    QFETCH(qint64, cents);
    QFETCH(QString, text);
    QCOMPARE(ValorPorExtenso(Money::fromCents(cents)), text);
}

void TstRotinas::converteNumero_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number");
    QTest::newRow("milhar com vírgula") << "1.234,56" << 1234.56;
    QTest::newRow("vírgula") << "1234,56" << 1234.56;
    QTest::newRow("ponto") << "1234.56" << 1234.56;
    QTest::newRow("moeda") << "R$ 10,00" << 10.0;
    QTest::newRow("formato inglês") << "1,234.56" << 0.0;
    QTest::newRow("um ponto") << "1.234" << 1.234;
    QTest::newRow("texto") << "abc" << 0.0;
}

void TstRotinas::converteNumero() {
    QFETCH(QString, text);
    QFETCH(double, number);
    QCOMPARE(ConverteNumero(text), number);
}

void TstRotinas::formataDecimal() {
    QCOMPARE(FormataDecimal(2, Money::fromCents(123450)), QStringLiteral("1234,50"));
    QCOMPARE(FormataDecimal(2, Money::fromCents(-5)), QStringLiteral("-0,05"));
    QCOMPARE(FormataDecimal(0, Money::fromCents(500)), QStringLiteral(" 5"));
    QCOMPARE(FormataDecimal(1, Money::fromCents(125)), QStringLiteral("1,3"));
}

void TstRotinas::datasETextos() {
    QCOMPARE(DiasDoMes(2, 2024), 29);
    QCOMPARE(DiasDoMes(2, 2023), 28);
    QCOMPARE(DiasDoMes(12, 2023), 31);
    QCOMPARE(NomeDoMes(QDate(2026, 3, 5)), QStringLiteral("Março"));
    QCOMPARE(NomeDoMes(QDate(2026, 12, 1)), QStringLiteral("Dezembro"));
    QCOMPARE(AnoDaData(QDate(2026, 3, 5)), 2026);
    QCOMPARE(CopiaInicio(QStringLiteral("ABC"), 5), QStringLiteral("ABC"));
    QCOMPARE(CopiaInicio(QStringLiteral("ABCDEF"), 2), QStringLiteral("AB"));
    QCOMPARE(CopiaApos(QStringLiteral("ABC"), 3), QString());
    QCOMPARE(CopiaApos(QStringLiteral("E CEM MIL REAIS "), 2), QStringLiteral("CEM MIL REAIS "));
    QCOMPARE(UnidadePorExtenso(QLatin1Char('x')), QString());
}

void TstRotinas::moneyParse_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint64>("cents");
    QTest::newRow("brasileiro") << "1.234,56" << true << qint64(123456);
    QTest::newRow("moeda") << "R$ 1.234,56" << true << qint64(123456);
    QTest::newRow("sem milhar") << "1234,5" << true << qint64(123450);
    QTest::newRow("ponto decimal") << "10.5" << true << qint64(1050);
    QTest::newRow("só milhar") << "1.000" << true << qint64(100000);
    QTest::newRow("negativo") << "-50,00" << true << qint64(-5000);
    QTest::newRow("inteiro") << "935" << true << qint64(93500);
    QTest::newRow("máximo") << "9.999.999.999.999,99" << true << qint64(999999999999999);
    QTest::newRow("acima do máximo") << "10.000.000.000.000,00" << false << qint64(0);
    QTest::newRow("letras") << "12a,00" << false << qint64(0);
    QTest::newRow("três decimais") << "1,234" << false << qint64(0);
    QTest::newRow("vazio") << "" << false << qint64(0);
    QTest::newRow("milhar mal agrupado") << "1.23,00" << false << qint64(0);
}

void TstRotinas::moneyParse() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(qint64, cents);
    const auto m = Money::parse(text);
    QCOMPARE(m.has_value(), valid);
    if (valid)
        QCOMPARE(m->cents(), cents);
}

void TstRotinas::moneyFormat_data() {
    QTest::addColumn<qint64>("cents");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::newRow("lista") << qint64(123456) << "#,##0.00"
                           << "1.234,56";
    QTest::newRow("caixa") << qint64(123456) << "R$ #,##0.00"
                           << "R$ 1.234,56";
    QTest::newRow("opcional") << qint64(123450) << ",0.##"
                              << "1.234,5";
    QTest::newRow("inteiro opcional") << qint64(100000) << ",0.##"
                                      << "1.000";
    QTest::newRow("zero") << qint64(0) << "#,##0.00"
                          << "0,00";
    QTest::newRow("negativo") << qint64(-93500) << "R$ #,##0.00"
                              << "-R$ 935,00";
    QTest::newRow("milhões") << qint64(123456789012) << ",0.00"
                             << "1.234.567.890,12";
}

void TstRotinas::moneyFormat() {
    QFETCH(qint64, cents);
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QCOMPARE(Money::fromCents(cents).format(pattern), text);
}

void TstRotinas::moneyFromReaisChecksFirst() {
    // 184467440737095516 * 100 wraps around 64 bits to -16: refused before multiplying.
    QVERIFY_EXCEPTION_THROWN(Money::fromReais(184467440737095516LL), std::out_of_range);
    QVERIFY_EXCEPTION_THROWN(Money::fromReais(-Money::kMaxReais - 1), std::out_of_range);
    QVERIFY(!Money::fromReaisChecked(184467440737095516LL));
    QCOMPARE(Money::fromReais(Money::kMaxReais).cents(), Money::kMaxReais * 100);
    QCOMPARE(Money::fromReaisChecked(-3)->cents(), -300);
    QVERIFY_EXCEPTION_THROWN(Money::fromCents(Money::kMaxCents) * 100000, std::out_of_range);
    QCOMPARE((Money::fromCents(-150) * 3).cents(), -450);
}

void TstRotinas::decimalParseAndFormat_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint64>("mantissa");
    QTest::addColumn<int>("scale");
    QTest::addColumn<QString>("formatted");
    QTest::newRow("quatro casas") << "1.234,5678" << true << qint64(12345678) << 4 << "1.234,5678";
    QTest::newRow("negativo") << "-0,001" << true << qint64(-1) << 3 << "-0,001";
    QTest::newRow("inteiro") << "12" << true << qint64(12) << 0 << "12";
    QTest::newRow("ponto decimal") << "1234.5" << true << qint64(12345) << 1 << "1.234,5";
    QTest::newRow("só milhar") << "1.000" << true << qint64(1000) << 0 << "1.000";
    QTest::newRow("moeda") << "R$ 3,50" << true << qint64(350) << 2 << "3,50";
    QTest::newRow("18 dígitos") << "999.999.999.999.999.999" << true << qint64(999999999999999999)
                                << 0 << "999.999.999.999.999.999";
    QTest::newRow("18 dígitos com casas")
        << "-12345678901234,5678" << true << qint64(-123456789012345678) << 4
        << "-12.345.678.901.234,5678";
    QTest::newRow("só casas") << "0,000000000000000001" << true << qint64(1) << 18
                              << "0,000000000000000001";
    QTest::newRow("19 dígitos") << "1234567890123456789" << false << qint64(0) << 0 << "";
    QTest::newRow("19 casas") << "0,0000000000000000001" << false << qint64(0) << 0 << "";
    QTest::newRow("duas vírgulas") << "1,2,3" << false << qint64(0) << 0 << "";
    QTest::newRow("letras") << "1,2a" << false << qint64(0) << 0 << "";
    QTest::newRow("vazio") << "" << false << qint64(0) << 0 << "";
}

void TstRotinas::decimalParseAndFormat() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(qint64, mantissa);
    QFETCH(int, scale);
    QFETCH(QString, formatted);
    const auto d = kit::Decimal::parse(text);
    QCOMPARE(d.has_value(), valid);
    if (!valid)
        return;
    QCOMPARE(d->mantissa(), mantissa);
    QCOMPARE(d->scale(), scale);
    QCOMPARE(d->toString(), formatted);
}

void TstRotinas::decimalArithmetic_data() {
    // "a op b" at the scale and rounding given; "erro" when refused.
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("op");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("rounding");
    QTest::addColumn<QString>("result");
    const int half = int(kit::Rounding::HalfAwayFromZero), even = int(kit::Rounding::HalfEven),
              cut = int(kit::Rounding::TowardZero), up = int(kit::Rounding::AwayFromZero);
    QTest::newRow("soma de escalas") << "1,5"
                                     << "+"
                                     << "0,125" << 0 << half << "1,625";
    QTest::newRow("diferença") << "1"
                               << "-"
                               << "0,0001" << 0 << half << "0,9999";
    QTest::newRow("produto exato") << "1,25"
                                   << "*"
                                   << "-0,5" << 3 << half << "-0,625";
    QTest::newRow("produto metade") << "1,25"
                                    << "*"
                                    << "0,5" << 2 << half << "0,63";
    QTest::newRow("produto metade negativo") << "-1,25"
                                             << "*"
                                             << "0,5" << 2 << half << "-0,63";
    QTest::newRow("produto par") << "1,25"
                                 << "*"
                                 << "0,5" << 2 << even << "0,62";
    QTest::newRow("produto truncado") << "1,99"
                                      << "*"
                                      << "1" << 0 << cut << "1";
    QTest::newRow("quociente") << "10"
                               << "/"
                               << "3" << 4 << half << "3,3333";
    QTest::newRow("quociente para cima") << "10"
                                         << "/"
                                         << "3" << 2 << up << "3,34";
    QTest::newRow("quociente negativo") << "-2"
                                        << "/"
                                        << "3" << 2 << half << "-0,67";
    QTest::newRow("divisão por zero") << "1"
                                      << "/"
                                      << "0" << 2 << half << "erro";
    QTest::newRow("soma além de 18 dígitos") << "999999999999999999"
                                             << "+"
                                             << "1" << 0 << half << "erro";
    QTest::newRow("produto além de 18 dígitos") << "999999999999"
                                                << "*"
                                                << "10000000" << 0 << half << "erro";
    QTest::newRow("quociente além de 18 dígitos") << "999999999999999999"
                                                  << "/"
                                                  << "0,001" << 0 << half << "erro";
    QTest::newRow("rateio de 18 dígitos") << "99999999999999,9999"
                                          << "*"
                                          << "0,5" << 4 << half << "50.000.000.000.000,0000";
}

void TstRotinas::decimalArithmetic() {
    QFETCH(QString, a);
    QFETCH(QString, op);
    QFETCH(QString, b);
    QFETCH(int, scale);
    QFETCH(int, rounding);
    QFETCH(QString, result);
    const kit::Decimal x = *kit::Decimal::parse(a), y = *kit::Decimal::parse(b);
    const auto r = kit::Rounding(rounding);
    try {
        kit::Decimal z;
        if (op == QLatin1String("+"))
            z = x + y;
        else if (op == QLatin1String("-"))
            z = x - y;
        else if (op == QLatin1String("*"))
            z = x.multiplied(y, scale, r);
        else
            z = x.divided(y, scale, r);
        QCOMPARE(z.toString(), result);
    } catch (const kit::DecimalError& e) {
        QVERIFY2(result == QLatin1String("erro"), qPrintable(e.message()));
    }
}

void TstRotinas::decimalToMoneyAndInteger() {
    using kit::Decimal;
    using kit::Rounding;
    QCOMPARE(Decimal(1005, 3).toMoney(Rounding::HalfAwayFromZero).cents(), 101);
    QCOMPARE(Decimal(-1005, 3).toMoney(Rounding::HalfAwayFromZero).cents(), -101);
    QCOMPARE(Decimal(1005, 3).toMoney(Rounding::HalfEven).cents(), 100);
    QCOMPARE(Decimal(1009, 3).toMoney(Rounding::TowardZero).cents(), 100);
    QCOMPARE(Decimal(25, 1).toInteger(Rounding::HalfAwayFromZero), 3);
    QCOMPARE(Decimal(-25, 1).toInteger(Rounding::HalfAwayFromZero), -3);
    QVERIFY_EXCEPTION_THROWN(Decimal(10'000'000'000'000'000, 2).toMoney(Rounding::TowardZero),
                             kit::DecimalError);
    QVERIFY(Decimal(150, 2) == Decimal(15, 1));
    QVERIFY(Decimal(-1, 18) < Decimal(0, 0));
    QCOMPARE(Decimal(5, 0).rescaled(3).toPlain(), QStringLiteral("5.000"));
    QVERIFY_EXCEPTION_THROWN(Decimal(999999999999999999, 0).rescaled(1), kit::DecimalError);
    QVERIFY_EXCEPTION_THROWN(Decimal(1, 19), kit::DecimalError);
}

void TstRotinas::latin1_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    QTest::newRow("português") << QStringLiteral("AÇÃO Nº 1º § ÍNDIO")
                               << QStringLiteral("AÇÃO Nº 1º § ÍNDIO");
    QTest::newRow("aspas") << QStringLiteral("“NOTA” ‘A’") << QStringLiteral("\"NOTA\" 'A'");
    QTest::newRow("travessão") << QStringLiteral("A — B – C") << QStringLiteral("A - B - C");
    QTest::newRow("euro") << QStringLiteral("10 €") << QStringLiteral("10 EUR");
    QTest::newRow("acentos estrangeiros") << QStringLiteral("ŁÓDŹ Ő") << QStringLiteral("LÓDZ O");
    QTest::newRow("emoji") << QStringLiteral("OK 😀") << QStringLiteral("OK ");
}

void TstRotinas::latin1() {
    QFETCH(QString, input);
    QFETCH(QString, output);
    QCOMPARE(kit::foldToLatin1(input), output);
    QVERIFY(kit::isLatin1(kit::foldToLatin1(input)));
}

void TstRotinas::namedParameters() {
    QStringList names;
    const QString sql = fb::translateNamedParameters(
        QStringLiteral(
            "SELECT ':X' FROM T WHERE A = :pData AND B = :pRecurso -- :nao\n AND C = :PDATA"),
        &names);
    QCOMPARE(sql, QStringLiteral("SELECT ':X' FROM T WHERE A = ? AND B = ? -- :nao\n AND C = ?"));
    QCOMPARE(names, (QStringList{"PDATA", "PRECURSO", "PDATA"}));
}

void TstRotinas::scriptSplitting() {
    const QStringList s = data::splitScript(QStringLiteral(
        "CREATE TABLE A (X INTEGER); /* ; */ INSERT INTO A VALUES (';');\n"
        "SET TERM ^ ;\nCREATE PROCEDURE P AS BEGIN EXIT; END^\nSET TERM ; ^\nDROP TABLE A;"));
    QCOMPARE(s.size(), 4);
    QCOMPARE(s[1], QStringLiteral("INSERT INTO A VALUES (';')"));
    QCOMPARE(s[2], QStringLiteral("CREATE PROCEDURE P AS BEGIN EXIT; END"));
}

void TstRotinas::configuration() {
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("ZELTESOURARIA.INI"));
    data::ConnectionConfig missing = data::readConnectionConfig(ini);
    QVERIFY(!missing.ok());
    QVERIFY(missing.error.contains(ini));

    QFile f(ini);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(
        "[Outra]\r\nSERVIDOR=x\r\n[dados]\r\nservidor = "
        "srv/3051:/dados/zel.fdb\r\nSENHA=segredo\r\n");
    f.close();
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);  // it holds a password
    const data::ConnectionConfig c = data::readConnectionConfig(ini);
    QVERIFY(c.ok());
    QCOMPARE(c.params.database, QStringLiteral("srv/3051:/dados/zel.fdb"));
    QVERIFY(c.params.isRemote());
    QCOMPARE(c.params.user, QStringLiteral("TESOURARIA"));  // the program's own, not SYSDBA
    QCOMPARE(c.params.password, QStringLiteral("segredo"));

    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("[DADOS]\nUSUARIO=X\n");
    f.close();
    QVERIFY(data::readConnectionConfig(ini).error.contains(QStringLiteral("SERVIDOR")));

    fb::ConnectParams p;
    for (const char* local : {"/dados/zel.fdb", "C:\\dados\\zel.fdb", "dados.fdb"}) {
        p.database = QString::fromLatin1(local);
        QVERIFY2(!p.isRemote(), local);
    }
    for (const char* remote :
         {"127.0.0.1:/dados/zel.fdb", "servidor:C:\\zel.fdb", "inet://host//x.fdb"}) {
        p.database = QString::fromLatin1(remote);
        QVERIFY2(p.isRemote(), remote);
    }
}

QTEST_APPLESS_MAIN(TstRotinas)
#include "tst_rotinas.moc"
