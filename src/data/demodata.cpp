#include "demodata.h"

#include <QRandomGenerator>
#include <QStringList>

#include "kit/core/money.h"

namespace data {

using kit::Money;

namespace {

class Inserter {
public:
    Inserter(fb::Transaction& tr, const QString& table, const QStringList& columns) {
        QStringList marks;
        for (const QString& c : columns) marks << QLatin1Char(':') + c;
        statement_ = std::make_unique<fb::Statement>(
            tr,
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))));
        columns_ = columns;
    }
    void row(const QVariantList& values) {
        for (int i = 0; i < columns_.size(); ++i) statement_->bind(i, values.value(i));
        statement_->execute();
    }

private:
    std::unique_ptr<fb::Statement> statement_;
    QStringList columns_;
};

QVariant m(std::int64_t cents) {
    return QVariant::fromValue(Money::fromCents(cents));
}

}  // namespace

void fillDemonstrationData(fb::Connection& connection, const QDate& today, quint32 seed) {
    QRandomGenerator rng(seed);
    auto between = [&](int lo, int hi) { return static_cast<int>(rng.bounded(lo, hi + 1)); };
    fb::Transaction tr(connection);

    Inserter(tr, QStringLiteral("EMPRESA"),
             {QStringLiteral("CDEMPRESA"), QStringLiteral("NOME"), QStringLiteral("CNPJ"),
              QStringLiteral("ENDERECO"), QStringLiteral("CIDADE"), QStringLiteral("UF"),
              QStringLiteral("ASSINANTE"), QStringLiteral("ASSINANTE1")})
        .row({1, QStringLiteral("PREFEITURA MUNICIPAL DE SANTA RITA DO OESTE"),
              QStringLiteral("87.612.345/0001-20"), QStringLiteral("PRAÇA DA MATRIZ, 100 - CENTRO"),
              QStringLiteral("SANTA RITA DO OESTE"), QStringLiteral("PR"),
              QStringLiteral("JOSÉ CARLOS PEREIRA - PREFEITO MUNICIPAL"),
              QStringLiteral("MARIA APARECIDA SOUZA - SECRETÁRIA DE FINANÇAS")});

    const QList<QVariantList> recursos = {
        {1, "FPM - FUNDO DE PARTICIPAÇÃO", "10234-5", "BANCO DO BRASIL", 1523, "7"},
        {2, "ICMS - MOVIMENTO", "20871-3", "BANCO DO BRASIL", 1523, "7"},
        {3, "FUNDEB", "30455-0", "CAIXA ECONÔMICA FEDERAL", 2871, "0"},
        {4, "SAÚDE - FMS", "41002-8", "CAIXA ECONÔMICA FEDERAL", 2871, "0"},
        {5, "ASSISTÊNCIA SOCIAL - FMAS", "50119-1", "BANCO DO BRASIL", 1523, "7"},
        {6, "RECURSOS PRÓPRIOS", "61234-9", "SICREDI", 719, "2"},
    };
    Inserter ins(
        tr, QStringLiteral("RECURSO"),
        {QStringLiteral("CDRECURSO"), QStringLiteral("NOME"), QStringLiteral("NUMCONTA"),
         QStringLiteral("BANCO"), QStringLiteral("AGENCIA"), QStringLiteral("DIGITOAGENCIA")});
    for (const auto& r : recursos) ins.row(r);

    struct Atividade {
        const char* nome;
        const char* tipolanc;
        bool credito;
    };
    const QList<Atividade> atividades = {
        {"FOLHA DE PAGAMENTO", nullptr, false},
        {"MATERIAL DE EXPEDIENTE", nullptr, false},
        {"COMBUSTÍVEIS E LUBRIFICANTES", nullptr, false},
        {"MEDICAMENTOS", nullptr, false},
        {"MERENDA ESCOLAR", nullptr, false},
        {"OBRAS E INSTALAÇÕES", nullptr, false},
        {"SERVIÇOS DE TERCEIROS", nullptr, false},
        {"ENERGIA ELÉTRICA", nullptr, false},
        {"TELEFONE E INTERNET", nullptr, false},
        {"TRANSPORTE ESCOLAR", nullptr, false},
        {"DIÁRIAS", nullptr, false},
        {"ENCARGOS SOCIAIS - INSS", nullptr, false},
        {"TARIFAS BANCÁRIAS", "B", false},
        {"IOF E ENCARGOS BANCÁRIOS", "B", false},
        {"REPASSE FPM", nullptr, true},
        {"REPASSE ICMS", nullptr, true},
        {"REPASSE FUNDEB", nullptr, true},
        {"REPASSE SUS", nullptr, true},
        {"RENDIMENTOS DE APLICAÇÃO", "C", true},
        {"TRANSFERÊNCIA ENTRE CONTAS", "C", true},
        {"RECEITA DE IPTU E TAXAS", nullptr, true},
    };
    Inserter ia(
        tr, QStringLiteral("ATIVIDADE"),
        {QStringLiteral("CDATIVIDADE"), QStringLiteral("NOME"), QStringLiteral("TIPOLANC")});
    for (int i = 0; i < atividades.size(); ++i)
        ia.row({i + 1, QString::fromUtf8(atividades[i].nome),
                atividades[i].tipolanc ? QVariant(QString::fromLatin1(atividades[i].tipolanc))
                                       : QVariant()});

    const QStringList nomesFornecedores = {"COMERCIAL SILVA & FILHOS LTDA",
                                           "POSTO DE COMBUSTÍVEIS ESTRELA LTDA",
                                           "DISTRIBUIDORA DE MEDICAMENTOS VIDA LTDA",
                                           "PAPELARIA CENTRAL EIRELI",
                                           "CONSTRUTORA OESTE PARANAENSE LTDA",
                                           "COPEL DISTRIBUIÇÃO S.A.",
                                           "TELEFÔNICA BRASIL S.A.",
                                           "TRANSPORTES SÃO CRISTÓVÃO LTDA",
                                           "ALIMENTOS BOM SABOR LTDA",
                                           "INFORMÁTICA PRECISÃO LTDA",
                                           "MECÂNICA DOIS IRMÃOS LTDA",
                                           "LABORATÓRIO DE ANÁLISES SANTA CLARA",
                                           "GRÁFICA E EDITORA PROGRESSO",
                                           "AGROPECUÁRIA VALE VERDE LTDA",
                                           "INSTITUTO NACIONAL DO SEGURO SOCIAL",
                                           "ELETRO MATERIAIS LUZ LTDA",
                                           "CLÍNICA MÉDICA SÃO LUCAS",
                                           "JOÃO BATISTA DE OLIVEIRA",
                                           "ANA PAULA FERREIRA",
                                           "LIMPEZA URBANA OESTE LTDA",
                                           "MADEIREIRA PINHEIRAL LTDA",
                                           "CONSULTORIA CONTÁBIL EXATA",
                                           "AUTO PEÇAS RODOVIA LTDA",
                                           "FARMÁCIA POPULAR DO POVO",
                                           "SERVIÇO AUTÔNOMO DE ÁGUA E ESGOTO"};
    const QStringList cidades = {"SANTA RITA DO OESTE", "CASCAVEL", "TOLEDO", "CURITIBA",
                                 "FOZ DO IGUAÇU",       "MARINGÁ"};
    Inserter ifo(tr, QStringLiteral("FORNECEDOR"),
                 {QStringLiteral("CDFORNECEDOR"), QStringLiteral("NOME"), QStringLiteral("CPFCNPJ"),
                  QStringLiteral("ENDERECO"), QStringLiteral("CIDADE"), QStringLiteral("UF")});
    for (int i = 0; i < nomesFornecedores.size(); ++i) {
        const bool pessoa = nomesFornecedores[i] == QLatin1String("JOÃO BATISTA DE OLIVEIRA") ||
                            nomesFornecedores[i] == QLatin1String("ANA PAULA FERREIRA");
        const QString doc = pessoa ? QStringLiteral("%1.%2.%3-%4")
                                         .arg(between(100, 999))
                                         .arg(between(100, 999))
                                         .arg(between(100, 999))
                                         .arg(between(10, 99))
                                   : QStringLiteral("%1.%2.%3/0001-%4")
                                         .arg(between(10, 99))
                                         .arg(between(100, 999))
                                         .arg(between(100, 999))
                                         .arg(between(10, 99));
        ifo.row({i + 1, nomesFornecedores[i], doc,
                 QStringLiteral("RUA %1, %2")
                     .arg(QStringList{"XV DE NOVEMBRO", "PARANÁ", "SETE DE SETEMBRO", "DAS FLORES",
                                      "BRASIL"}[i % 5])
                     .arg(between(10, 2000)),
                 cidades[i % cidades.size()], QStringLiteral("PR")});
    }

    Inserter il(tr, QStringLiteral("LOCALIDADE"),
                {QStringLiteral("CDLOCAL"), QStringLiteral("DESCRICAO")});
    il.row({1, QStringLiteral("TESOURARIA")});
    il.row({2, QStringLiteral("CONTABILIDADE")});
    il.row({3, QStringLiteral("C. INTERNO")});
    il.row({4, QStringLiteral("ARQUIVO")});

    const QStringList modalidades = {
        "CONVITE",           "TOMADA DE PREÇOS",      "CONCORRÊNCIA",   "PREGÃO PRESENCIAL",
        "PREGÃO ELETRÔNICO", "DISPENSA DE LICITAÇÃO", "INEXIGIBILIDADE"};
    Inserter im(tr, QStringLiteral("MODALIDADE"),
                {QStringLiteral("CDMODALIDADE"), QStringLiteral("DESCRICAO")});
    for (int i = 0; i < modalidades.size(); ++i) im.row({i + 1, modalidades[i]});

    const QStringList secretarias = {"SECRETARIA DE ADMINISTRAÇÃO",
                                     "SECRETARIA DE EDUCAÇÃO E CULTURA",
                                     "SECRETARIA DE SAÚDE",
                                     "SECRETARIA DE OBRAS E VIAÇÃO",
                                     "SECRETARIA DE ASSISTÊNCIA SOCIAL",
                                     "SECRETARIA DE AGRICULTURA",
                                     "SECRETARIA DE FINANÇAS"};
    Inserter is(tr, QStringLiteral("SECRETARIA"),
                {QStringLiteral("CDSECRETARIA"), QStringLiteral("DESCRICAO")});
    for (int i = 0; i < secretarias.size(); ++i) is.row({i + 1, secretarias[i]});

    Inserter ifu(tr, QStringLiteral("FUNCIONARIO"),
                 {QStringLiteral("CDFUNCIONARIO"), QStringLiteral("NOME"), QStringLiteral("CPF"),
                  QStringLiteral("RG"), QStringLiteral("ENDERECO"), QStringLiteral("CIDADE"),
                  QStringLiteral("UF"), QStringLiteral("MATRICULA"), QStringLiteral("FUNCAO")});
    const QList<QStringList> funcionarios = {{"CARLOS EDUARDO MENDES", "MOTORISTA"},
                                             {"FERNANDA LIMA COSTA", "ENFERMEIRA"},
                                             {"ROBERTO ALVES DA SILVA", "ENGENHEIRO CIVIL"},
                                             {"LUCIANA MARTINS ROCHA", "PROFESSORA"},
                                             {"PAULO HENRIQUE SANTOS", "TESOUREIRO"}};
    for (int i = 0; i < funcionarios.size(); ++i)
        ifu.row({i + 1, funcionarios[i][0],
                 QStringLiteral("%1.%2.%3-%4")
                     .arg(between(100, 999))
                     .arg(between(100, 999))
                     .arg(between(100, 999))
                     .arg(between(10, 99)),
                 QStringLiteral("%1.%2-%3")
                     .arg(between(1000, 9999))
                     .arg(between(100, 999))
                     .arg(between(0, 9)),
                 QStringLiteral("RUA DAS PALMEIRAS, %1").arg(between(10, 900)),
                 QStringLiteral("SANTA RITA DO OESTE"), QStringLiteral("PR"),
                 QStringLiteral("%1").arg(1000 + i * 37), funcionarios[i][1]});

    const QDate start = today.addDays(-365);

    // Contracts, commitments and their invoices.
    Inserter ic(tr, QStringLiteral("CONTRATO"),
                {QStringLiteral("CDCONTRATO"), QStringLiteral("NUMCONTRATO"),
                 QStringLiteral("DTCONTRATO"), QStringLiteral("VENCIMENTO"),
                 QStringLiteral("VALORCONTRATO"), QStringLiteral("SALDOCONTRATO"),
                 QStringLiteral("CDFORNECEDOR"), QStringLiteral("CDMODALIDADE"),
                 QStringLiteral("NUMMODALIDADE"), QStringLiteral("NUMLICITACAO"),
                 QStringLiteral("TIPOLICITACAO"), QStringLiteral("DTABERTURA"),
                 QStringLiteral("NUMPROCESSOADM"), QStringLiteral("HISTORICO"),
                 QStringLiteral("CDUSUARIO"), QStringLiteral("TIRAIMPRESSAO")});
    const int nContratos = 8;
    QList<int> fornecedorDoContrato;
    QList<std::int64_t> valorDoContrato;
    for (int c = 1; c <= nContratos; ++c) {
        const int forn = QList<int>{5, 2, 3, 9, 8, 20, 10, 1}[c - 1];
        const QDate dt = start.addDays(between(0, 60));
        const std::int64_t valor = static_cast<std::int64_t>(between(50, 900)) * 100000;
        fornecedorDoContrato << forn;
        valorDoContrato << valor;
        ic.row({c, QStringLiteral("%1/%2").arg(c, 3, 10, QLatin1Char('0')).arg(dt.year()), dt,
                c <= 2 ? today.addDays(between(3, 12)) : dt.addYears(1).addDays(between(0, 90)),
                m(valor), m(valor), forn, between(1, 5),
                QStringLiteral("%1/%2").arg(between(1, 40)).arg(dt.year()),
                QStringLiteral("%1/%2").arg(between(1, 60)).arg(dt.year()),
                QStringLiteral("MENOR PREÇO"), dt.addDays(-20),
                QStringLiteral("%1/%2").arg(between(100, 999)).arg(dt.year()),
                QStringLiteral("CONTRATO DE FORNECIMENTO Nº %1").arg(c), 1,
                c % 3 == 0 ? QStringLiteral("E") : QStringLiteral("S")});
    }

    Inserter ie(
        tr, QStringLiteral("EMPENHO"),
        {QStringLiteral("CDEMPENHO"), QStringLiteral("NUMEMPENHO"), QStringLiteral("DTEMPENHO"),
         QStringLiteral("VALOREMPENHO"), QStringLiteral("VALORPAGO"),
         QStringLiteral("CDFORNECEDOR"), QStringLiteral("CDUSUARIO"), QStringLiteral("CDCONTRATO"),
         QStringLiteral("NUMCONTRATO"), QStringLiteral("TIPOLICITACAO"),
         QStringLiteral("CDSECRETARIA")});
    Inserter in(tr, QStringLiteral("NOTA"),
                {QStringLiteral("CDNOTAS"),        QStringLiteral("CDEMPENHO"),
                 QStringLiteral("NUMEMPENHO"),     QStringLiteral("NUMNOTA"),
                 QStringLiteral("DTNOTA"),         QStringLiteral("DTCADASTRO"),
                 QStringLiteral("VALORNOTA"),      QStringLiteral("VALORBRUTO"),
                 QStringLiteral("SALDO"),          QStringLiteral("CDFORNECEDOR"),
                 QStringLiteral("CDLOCAL"),        QStringLiteral("CDUSUARIO"),
                 QStringLiteral("HISTORICO"),      QStringLiteral("PENDENCIA"),
                 QStringLiteral("NOTAELETRONICA"), QStringLiteral("NOTAAVULSA"),
                 QStringLiteral("TIRAIMPRESSAO"),  QStringLiteral("AGENDADA"),
                 QStringLiteral("DTAGENDAMENTO"),  QStringLiteral("CDRECURSO"),
                 QStringLiteral("IRPF"),           QStringLiteral("ISS"),
                 QStringLiteral("OUTROS")});
    struct Nota {
        int cd, empenho, fornecedor;
        QString numEmpenho, numNota;
        QDate data;
        std::int64_t bruto;
        bool paga;
    };
    QList<Nota> notas;
    const QStringList tipos = {"ESTIMATIVO", "ORDINARIO", "GLOBAL"};
    const int nEmpenhos = 36;
    int cdNota = 0;
    for (int e = 1; e <= nEmpenhos; ++e) {
        const int contrato = e <= 16 ? (e - 1) % nContratos + 1 : 0;
        const int forn =
            contrato ? fornecedorDoContrato[contrato - 1] : between(1, nomesFornecedores.size());
        const QDate dt = start.addDays(between(0, 330));
        const int nNotas = between(1, 3);
        QList<std::int64_t> valores;
        std::int64_t total = 0;
        for (int k = 0; k < nNotas; ++k) {
            valores << static_cast<std::int64_t>(between(300, 4000000));
            total += valores.last();
        }
        const QString numEmp = QStringLiteral("%1/%2").arg(e * 7 + 100).arg(dt.year());
        ie.row({e, numEmp, dt, m(total + between(0, 200000)), m(0), forn, 1,
                contrato ? QVariant(contrato) : QVariant(),
                contrato ? QVariant(QStringLiteral("%1/%2")
                                        .arg(contrato, 3, 10, QLatin1Char('0'))
                                        .arg(start.year()))
                         : QVariant(),
                tipos[e % 3], between(1, secretarias.size())});
        for (int k = 0; k < nNotas; ++k) {
            ++cdNota;
            const QDate dn = std::min(today, dt.addDays(between(1, 25)));
            const bool paga = dn < today.addDays(-20) && rng.bounded(100) < 80;
            Nota n{cdNota, e,          forn, numEmp, QString::number(between(1000, 99999)),
                   dn,     valores[k], paga};
            notas << n;
            in.row({n.cd,
                    e,
                    numEmp,
                    n.numNota,
                    dn,
                    dn.addDays(between(0, 3)),
                    m(n.bruto),
                    m(n.bruto),
                    m(n.bruto),
                    forn,
                    paga ? between(1, 4) : 3,
                    1,
                    QStringLiteral("FORNECIMENTO CONFORME EMPENHO %1").arg(numEmp),
                    (!paga && rng.bounded(100) < 15)
                        ? QVariant(QStringLiteral("FALTA CERTIDÃO NEGATIVA"))
                        : QVariant(),
                    rng.bounded(100) < 40 ? QStringLiteral("S") : QStringLiteral("N"),
                    QStringLiteral("N"),
                    paga ? QStringLiteral("N") : QStringLiteral("S"),
                    QStringLiteral("N"),
                    QVariant(),
                    QVariant(),
                    m(0),
                    m(0),
                    m(0)});
        }
    }

    // About a year of entries, in date order so each posting extends the balance.
    Inserter il2(tr, QStringLiteral("LANCAMENTO"),
                 {QStringLiteral("CDLANCAMENTO"), QStringLiteral("DATA"),
                  QStringLiteral("TIPO"),         QStringLiteral("VALOR"),
                  QStringLiteral("VALORBRUTO"),   QStringLiteral("IRPF"),
                  QStringLiteral("ISS"),          QStringLiteral("OUTROS"),
                  QStringLiteral("CDRECURSO"),    QStringLiteral("CDATIVIDADE"),
                  QStringLiteral("CDFORNECEDOR"), QStringLiteral("CDUSUARIO"),
                  QStringLiteral("NUMCHEQUE"),    QStringLiteral("DESCRICAO"),
                  QStringLiteral("OBS"),          QStringLiteral("LANCADO"),
                  QStringLiteral("TIPOLANC"),     QStringLiteral("CDEMPENHO"),
                  QStringLiteral("NUMEMPENHO"),   QStringLiteral("CDNOTAS"),
                  QStringLiteral("NUMNOTA"),      QStringLiteral("NUMCONTATRANSF")});
    int cdLanc = 0;
    int cheque = 850100;
    const QList<int> repasse = {15, 16, 17, 18, 0, 21};  // credit activity of each resource
    for (QDate d = start; d <= today; d = d.addDays(1)) {
        if (d.dayOfWeek() > 5)
            continue;
        const bool conciliado = d < today.addDays(-30);
        // Monthly and ten-day transfers into the accounts.
        if (d.day() <= 2 || (d.day() >= 10 && d.day() <= 11) || (d.day() >= 20 && d.day() <= 21)) {
            for (int r = 1; r <= 6; ++r) {
                if (rng.bounded(100) < 55)
                    continue;
                const int ativ = repasse[r - 1] ? repasse[r - 1] : 20;
                const std::int64_t v = static_cast<std::int64_t>(between(2000000, 25000000));
                il2.row({++cdLanc,
                         d,
                         QStringLiteral("C"),
                         m(v),
                         m(v),
                         m(0),
                         m(0),
                         m(0),
                         r,
                         ativ,
                         QVariant(),
                         1,
                         QVariant(),
                         QStringLiteral("%1").arg(atividades[ativ - 1].nome),
                         QVariant(),
                         conciliado ? QStringLiteral("S") : QStringLiteral("N"),
                         QVariant(),
                         QVariant(),
                         QVariant(),
                         QVariant(),
                         QVariant(),
                         QVariant()});
            }
        }
        // Payments of the day.
        const int pagamentos = between(3, 9);
        for (int k = 0; k < pagamentos; ++k) {
            const int r = between(1, 6);
            const int ativ = between(1, 12);
            const int forn = between(1, nomesFornecedores.size());
            const std::int64_t v = static_cast<std::int64_t>(between(5000, 600000));
            il2.row({++cdLanc,
                     d,
                     QStringLiteral("D"),
                     m(v),
                     m(v),
                     m(0),
                     m(0),
                     m(0),
                     r,
                     ativ,
                     forn,
                     1,
                     ++cheque,
                     QStringLiteral("PAGAMENTO %1").arg(nomesFornecedores[forn - 1].left(38)),
                     QVariant(),
                     conciliado ? QStringLiteral("S") : QStringLiteral("N"),
                     QVariant(),
                     QVariant(),
                     QVariant(),
                     QVariant(),
                     QVariant(),
                     QVariant()});
        }
        // Invoices paid on this day: gross value, withholdings, net value.
        for (const Nota& n : notas) {
            if (!n.paga || n.data.addDays(12) != d)
                continue;
            const std::int64_t irpf = n.bruto > 100000 ? n.bruto * 15 / 1000 : 0;
            const std::int64_t iss = n.bruto > 100000 ? n.bruto * 2 / 100 : 0;
            const int r = between(1, 6);
            il2.row({++cdLanc,
                     d,
                     QStringLiteral("D"),
                     m(n.bruto - irpf - iss),
                     m(n.bruto),
                     m(irpf),
                     m(iss),
                     m(0),
                     r,
                     between(2, 10),
                     n.fornecedor,
                     1,
                     ++cheque,
                     QStringLiteral("PAGTO NF %1").arg(n.numNota),
                     QVariant(),
                     conciliado ? QStringLiteral("S") : QStringLiteral("N"),
                     QVariant(),
                     n.empenho,
                     n.numEmpenho,
                     n.cd,
                     n.numNota,
                     QVariant()});
        }
        // Bank fees at month end and the odd transfer.
        if (d.addDays(1).month() != d.month() ||
            (d.addDays(3).month() != d.month() && d.dayOfWeek() == 5)) {
            for (int r = 1; r <= 6; ++r)
                il2.row({++cdLanc,
                         d,
                         QStringLiteral("D"),
                         m(between(1500, 9000)),
                         QVariant(),
                         QVariant(),
                         QVariant(),
                         QVariant(),
                         r,
                         13,
                         QVariant(),
                         1,
                         QVariant(),
                         QStringLiteral("TARIFA DE MANUTENÇÃO DE CONTA"),
                         QVariant(),
                         conciliado ? QStringLiteral("S") : QStringLiteral("N"),
                         QStringLiteral("D"),
                         QVariant(),
                         QVariant(),
                         QVariant(),
                         QVariant(),
                         QVariant()});
            il2.row({++cdLanc,
                     d,
                     QStringLiteral("C"),
                     m(between(10000, 90000)),
                     QVariant(),
                     QVariant(),
                     QVariant(),
                     QVariant(),
                     between(1, 6),
                     19,
                     QVariant(),
                     1,
                     QVariant(),
                     QStringLiteral("RENDIMENTO DE APLICAÇÃO"),
                     QVariant(),
                     conciliado ? QStringLiteral("S") : QStringLiteral("N"),
                     QStringLiteral("C"),
                     QVariant(),
                     QVariant(),
                     QVariant(),
                     QVariant(),
                     QVariant()});
        }
    }

    // Scheduled cheques still to be printed, for the open invoices.
    Inserter ich(
        tr, QStringLiteral("CHEQUE"),
        {QStringLiteral("CD"),          QStringLiteral("DATA"),         QStringLiteral("DTVENC"),
         QStringLiteral("VALOR"),       QStringLiteral("VALORBRUTO"),   QStringLiteral("IRPF"),
         QStringLiteral("ISS"),         QStringLiteral("OUTROS"),       QStringLiteral("NOMINAL"),
         QStringLiteral("DESCRICAO"),   QStringLiteral("NUMCHEQUE"),    QStringLiteral("CDRECURSO"),
         QStringLiteral("CDATIVIDADE"), QStringLiteral("CDFORNECEDOR"), QStringLiteral("CDEMPENHO"),
         QStringLiteral("NUMEMPENHO"),  QStringLiteral("CDNOTAS"),      QStringLiteral("NUMNOTA"),
         QStringLiteral("TIPO"),        QStringLiteral("IMPRESSO"),     QStringLiteral("LANCADO"),
         QStringLiteral("ACAO")});
    int cdCheque = 0;
    for (const Nota& n : notas) {
        if (n.paga || cdCheque >= 5)
            continue;
        ++cdCheque;
        ich.row({cdCheque,
                 today,
                 today.addDays(between(0, 10)),
                 m(n.bruto),
                 m(n.bruto),
                 m(0),
                 m(0),
                 m(0),
                 nomesFornecedores[n.fornecedor - 1],
                 QStringLiteral("PAGTO NF %1").arg(n.numNota),
                 ++cheque,
                 between(1, 6),
                 between(2, 10),
                 n.fornecedor,
                 n.empenho,
                 n.numEmpenho,
                 n.cd,
                 n.numNota,
                 QStringLiteral("D"),
                 QStringLiteral("N"),
                 QStringLiteral("N"),
                 QStringLiteral("S")});
        fb::Statement ag(
            tr, QStringLiteral(
                    "UPDATE NOTA SET AGENDADA = 'S', DTAGENDAMENTO = :D WHERE CDNOTAS = :N"));
        ag.bind(QStringLiteral("D"), today);
        ag.bind(QStringLiteral("N"), n.cd);
        ag.execute();
    }

    Inserter iav(tr, QStringLiteral("AVISO"),
                 {QStringLiteral("CDAVISO"), QStringLiteral("DATA"), QStringLiteral("DESCRICAO"),
                  QStringLiteral("VALOR")});
    iav.row({1, today.addDays(2), QStringLiteral("PAGAMENTO DA FOLHA - CONFERIR SALDO FPM"),
             m(48500000)});
    iav.row(
        {2, today.addDays(5), QStringLiteral("RECOLHIMENTO DO INSS DOS SERVIDORES"), m(9312045)});
    iav.row(
        {3, today.addDays(9), QStringLiteral("PARCELA DO CONVÊNIO DE PAVIMENTAÇÃO"), m(12000000)});

    // The generators start after the codes in use.
    tr.executeImmediate(
        QStringLiteral("ALTER SEQUENCE GEN_LANCAMENTO RESTART WITH %1").arg(cdLanc));
    tr.executeImmediate(QStringLiteral("ALTER SEQUENCE GEN_NOTA RESTART WITH %1").arg(cdNota));
    tr.executeImmediate(
        QStringLiteral("ALTER SEQUENCE GEN_EMPENHO RESTART WITH %1").arg(nEmpenhos));
    tr.executeImmediate(
        QStringLiteral("ALTER SEQUENCE GEN_CONTRATO RESTART WITH %1").arg(nContratos));
    tr.commit();
}

}  // namespace data
