#include "U_Biblioteca.h"

#include <QDateTime>

#include "kit/core/messages.h"
#include "kit/db/dataset.h"

QString MensagemRelacionamentos() {
    return QStringLiteral(
        "Não foi possível completar a operação!\n"
        "Você está tentando remover ou alterar um registro que possui relacionamentos com outros "
        "registros no Banco de Dados. Por favor, remova todos os relacionamentos, antes de tentar "
        "novamente!");
}

QString MensagemSemConexao() {
    return QStringLiteral(
        "A conexão com o banco de dados foi perdida.\n"
        "Nada foi alterado: tente novamente quando a conexão voltar.");
}

QString MensagemConexaoPerdida() {
    return QStringLiteral(
        "A conexão com o banco de dados foi perdida e nada foi gravado.\n"
        "As alterações continuam na tela: grave novamente quando a conexão voltar.");
}

QString MensagemRegistroAlterado() {
    return QStringLiteral(
        "Não foi possível gravar: este registro foi alterado ou excluído em outra estação "
        "depois que você o abriu.\n"
        "Nada foi gravado e o que você digitou continua na tela. Cancele para ver o registro "
        "como ele está agora e, se ainda for preciso, faça a alteração novamente.");
}

QString MensagemConflito() {
    return QStringLiteral(
        "Não foi possível gravar: outra estação está gravando os mesmos registros neste "
        "momento.\n"
        "Nada foi gravado e o que você digitou continua na tela: grave novamente em instantes.");
}

QString MensagemRecusa(const fb::Error& e) {
    if (e.isNumericOverflow())
        return QStringLiteral(
            "Não foi possível gravar: um valor é grande demais para o seu campo no banco de "
            "dados.\nNada foi gravado e o que você digitou continua na tela: corrija o valor e "
            "grave novamente.");
    if (e.isDateOutOfRange())
        return QStringLiteral(
            "Não foi possível gravar: uma data está fora do intervalo que o banco de dados "
            "aceita.\nNada foi gravado e o que você digitou continua na tela: corrija a data e "
            "grave novamente.");
    if (e.isStringTruncation())
        return QStringLiteral(
            "Não foi possível gravar: um texto é mais longo do que o seu campo no banco de "
            "dados aceita.\nNada foi gravado e o que você digitou continua na tela: encurte o "
            "texto e grave novamente.");
    if (e.isTransliteration())
        return QStringLiteral(
            "Não foi possível gravar: um texto contém caracteres que o banco de dados não "
            "aceita.\nNada foi gravado e o que você digitou continua na tela: corrija o texto "
            "e grave novamente.");
    if (e.isUniqueViolation())
        return QStringLiteral(
            "Não foi possível gravar: já existe um registro com este código (ou com este valor, "
            "que não pode se repetir).\nNada foi gravado.");
    if (e.isCheckViolation())
        return QStringLiteral(
            "Não foi possível gravar: um valor não é aceito pelas regras do banco de dados "
            "(campo obrigatório vazio ou valor fora do permitido).\nNada foi gravado.");
    return QStringLiteral(
               "Não foi possível gravar: o banco de dados recusou a operação.\n%1\n"
               "Nada foi gravado.")
        .arg(e.message().section(QLatin1Char('\n'), 0, 0));
}

namespace {

// Value errors leave the operator's typing in place to be corrected.
bool mantemAlteracoes(const fb::Error& e) {
    return e.isConnectionLost() || e.isRowChanged() || e.isConflict() ||
           e.kind() == fb::Error::Kind::Input || e.isNumericOverflow() || e.isDateOutOfRange() ||
           e.isStringTruncation() || e.isTransliteration();
}

}  // namespace

bool AplicaAtualizacoes(kit::DataSet& dataSet, const std::function<void(fb::Transaction&)>& extra) {
    kit::ApplyResult result;
    try {
        result = dataSet.applyUpdates(extra);
    } catch (const kit::DataSetError& e) {  // a row in edit that cannot be posted
        kit::messages().warning(e.message());
        return false;
    }
    if (result.ok)
        return true;
    const fb::Error& e = *result.error;
    if (e.isConnectionLost()) {
        kit::messages().error(MensagemConexaoPerdida());
    } else if (e.isRowChanged()) {
        kit::messages().warning(MensagemRegistroAlterado());
    } else if (e.kind() == fb::Error::Kind::Input) {
        kit::messages().warning(e.message());
    } else if (e.isConflict()) {
        kit::messages().warning(MensagemConflito());
    } else if (e.isReferenceViolation()) {
        dataSet.cancelUpdates();
        kit::messages().warning(MensagemRelacionamentos());
    } else {
        if (!mantemAlteracoes(e))
            dataSet.cancelUpdates();
        kit::messages().warning(MensagemRecusa(e));
    }
    return false;
}

GravadorHistorico::GravadorHistorico(fb::Transaction& tr, int cdUsuario)
    : cdUsuario_(cdUsuario),
      codigo_(std::make_unique<fb::Statement>(
          tr, QStringLiteral("EXECUTE PROCEDURE INCREMENTA_CD_HISTORICOUSU"))),
      insere_(std::make_unique<fb::Statement>(
          tr, QStringLiteral("INSERT INTO HISTORICOUSUARIO (CDHISTORICO, CDUSUARIO, "
                             "DATA, HORA, TIPO, CDLANC) VALUES (:CDHISTORICO, "
                             ":CDUSUARIO, :DATA, :HORA, :TIPO, :CDLANC)"))) {}

GravadorHistorico::~GravadorHistorico() = default;

void GravadorHistorico::grava(const QString& tipo, int cdLanc) {
    codigo_->execute();
    codigo_->fetch();
    const QVariant cd = codigo_->value(0);
    const QDateTime agora = QDateTime::currentDateTime();
    insere_->bind(QStringLiteral("CDHISTORICO"), cd);
    insere_->bind(QStringLiteral("CDUSUARIO"), cdUsuario_);
    insere_->bind(QStringLiteral("DATA"), agora.date());
    insere_->bind(QStringLiteral("HORA"), agora);
    insere_->bind(QStringLiteral("TIPO"), tipo);
    insere_->bind(QStringLiteral("CDLANC"), cdLanc);
    insere_->execute();
}

void GravaHistorico(fb::Transaction& tr, int cdUsuario, const QString& tipo, int cdLanc) {
    GravadorHistorico(tr, cdUsuario).grava(tipo, cdLanc);
}

bool EmEdicao(const kit::DataSet& dataSet) {
    return dataSet.isEditing();
}

// ---------------------------------------------------------------- numbers

QString FormataDecimal(int casas, kit::Money valor) {
    const std::int64_t cents = valor.cents();
    const bool negative = cents < 0;
    std::uint64_t a =
        negative ? static_cast<std::uint64_t>(-(cents + 1)) + 1 : static_cast<std::uint64_t>(cents);
    QString digits;
    if (casas >= 2) {
        digits = QString::number(a / 100) + QLatin1Char('.') +
                 QStringLiteral("%1").arg(a % 100, 2, 10, QLatin1Char('0')) +
                 QString(casas - 2, QLatin1Char('0'));
    } else {
        const std::uint64_t div = casas == 1 ? 10 : 100;
        const std::uint64_t r = (a + div / 2) / div;  // half away from zero
        digits = casas == 1 ? QString::number(r / 10) + QLatin1Char('.') + QString::number(r % 10)
                            : QString::number(r);
    }
    QString s = (negative ? QStringLiteral("-") : QString()) + digits;
    if (s.size() < 2)
        s = s.rightJustified(2, QLatin1Char(' '));
    const int dot = s.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        s[dot] = QLatin1Char(',');
    return s;
}

double ConverteNumero(const QString& texto) {
    QString out;
    bool decimalSeen = false;
    for (int i = texto.size() - 1; i >= 0; --i) {
        const QChar c = texto[i];
        if (c.isDigit() && c.unicode() < 128) {
            out.prepend(c);
        } else if (c == QLatin1Char(',') || c == QLatin1Char('.')) {
            if (!decimalSeen) {
                decimalSeen = true;
                out.prepend(QLatin1Char('.'));
            } else if (c == QLatin1Char(',')) {
                out.prepend(c);
            }
        } else if (c == QLatin1Char('-')) {
            out.prepend(c);
        }
    }
    bool ok = false;
    const double v = out.toDouble(&ok);
    return ok ? v : 0.0;
}

namespace {

int digitOf(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ? c.unicode() - '0' : -1;
}

QString pick(QChar digit, const char* const words[10]) {
    const int d = digitOf(digit);
    return d < 0 ? QString() : QString::fromUtf8(words[d]);
}

}  // namespace

QString UnidadePorExtenso(QChar digito) {
    static const char* const w[10] = {"",      "UM",   "DOIS", "TRES", "QUATRO",
                                      "CINCO", "SEIS", "SETE", "OITO", "NOVE"};
    return pick(digito, w);
}

QString DezenaPorExtenso(QChar digito) {
    static const char* const w[10] = {"",          "DEZ",      "VINTE",   "TRINTA",  "QUARENTA",
                                      "CINQUENTA", "SESSENTA", "SETENTA", "OITENTA", "NOVENTA"};
    return pick(digito, w);
}

QString CentenaPorExtenso(QChar digito) {
    static const char* const w[10] = {
        "",           "CEM",        "DUZENTOS",   "TREZENTOS",  "QUATROCENTOS",
        "QUINHENTOS", "SEISCENTOS", "SETECENTOS", "OITOCENTOS", "NOVECENTOS"};
    return pick(digito, w);
}

QString DezPorExtenso(QChar digito) {
    static const char* const w[10] = {"DEZ",    "ONZE",      "DOZE",      "TREZE",   "QUATORZE",
                                      "QUINZE", "DEZESSEIS", "DEZESSETE", "DEZOITO", "DEZENOVE"};
    return pick(digito, w);
}

QString GrandezaPorExtenso(int digitosADireita, bool plural) {
    switch (digitosADireita / 3) {
        case 1:
            return QStringLiteral(" MIL");
        case 2:
            return plural ? QStringLiteral(" MILHÕES") : QStringLiteral(" MILHÃO");
        case 3:
            return plural ? QStringLiteral(" BILHÕES") : QStringLiteral(" BILHÃO");
        case 4:
            return plural ? QStringLiteral(" TRILHÕES") : QStringLiteral(" TRILHÃO");
        default:
            return QString();
    }
}

namespace {

QString groupWords(const QString& g) {
    if (g.size() == 3) {
        const QChar h = g[0], t = g[1], u = g[2];
        QString s = (h == QLatin1Char('1') && g != QLatin1String("100")) ? QStringLiteral("CENTO")
                                                                         : CentenaPorExtenso(h);
        const bool hn = h != QLatin1Char('0'), tn = t != QLatin1Char('0'),
                   un = u != QLatin1Char('0');
        if (hn && tn)
            s += QStringLiteral(" E ");
        if (t == QLatin1Char('1')) {
            s += DezPorExtenso(u);
        } else {
            s += DezenaPorExtenso(t);
            if (un && (hn || tn))
                s += QStringLiteral(" E ");
            s += UnidadePorExtenso(u);
        }
        return s;
    }
    if (g.size() == 2) {
        const QChar t = g[0], u = g[1];
        if (t == QLatin1Char('1'))
            return DezPorExtenso(u);
        QString s = DezenaPorExtenso(t);
        if (t != QLatin1Char('0') && u != QLatin1Char('0'))
            s += QStringLiteral(" E ");
        return s + UnidadePorExtenso(u);
    }
    return g.isEmpty() ? QString() : UnidadePorExtenso(g[0]);
}

QString centavosWords(const QString& c) {
    const QChar c1 = c[0], c2 = c[1];
    if (c == QLatin1String("00"))
        return QString();
    if (c == QLatin1String("01"))
        return QStringLiteral("UM CENTAVO");
    if (c1 == QLatin1Char('1'))
        return DezPorExtenso(c2) + QStringLiteral(" CENTAVOS");
    QString s = DezenaPorExtenso(c1);
    if (c1 != QLatin1Char('0') && c2 != QLatin1Char('0'))
        s += QStringLiteral(" E ");
    return s + UnidadePorExtenso(c2) + QStringLiteral(" CENTAVOS");
}

}  // namespace

QString ValorPorExtenso(kit::Money valor) {
    // Below one real and below zero no caller passes; they read naturally here.
    if (valor.isNegative())
        return QStringLiteral("MENOS ") + ValorPorExtenso(-valor);
    const QString s = FormataDecimal(2, valor).trimmed();
    const int comma = s.indexOf(QLatin1Char(','));
    const QString integer = s.left(comma);
    QString text = centavosWords(s.mid(comma + 1, 2));
    if (integer == QLatin1String("0"))
        return text.isEmpty() ? QStringLiteral("ZERO REAIS ") : text;

    // Groups of three digits from the right.
    QStringList groups;
    for (int end = integer.size(); end > 0; end -= 3)
        groups.prepend(integer.mid(std::max(0, end - 3), end - std::max(0, end - 3)));
    const int count = groups.size();
    for (int gi = count - 1; gi >= 0; --gi) {
        const QString& g = groups[gi];
        const int position = count - 1 - gi;  // 0 units, 1 thousands, 2 millions...
        const bool allZero = g.count(QLatin1Char('0')) == g.size();
        if (position == 0) {
            if (!text.isEmpty())
                text.prepend(QStringLiteral("E "));
            text.prepend(ConverteNumero(integer) > 1 ? QStringLiteral(" REAIS ")
                                                     : QStringLiteral(" REAL "));
            text.prepend(groupWords(g));
            if (g.size() == 3 && !allZero && gi > 0)
                text.prepend(QStringLiteral("E "));
        } else {
            if (!text.isEmpty() && !text.startsWith(QLatin1Char(' ')))
                text.prepend(QLatin1Char(' '));
            if (!allZero)
                text.prepend(GrandezaPorExtenso(position * 3, g.toInt() >= 2));
            text.prepend(groupWords(g));
            if (g.size() == 3 && position == 1 && !allZero)
                text.prepend(QStringLiteral("E "));
        }
    }
    int at = text.indexOf(QStringLiteral("ÕES REAIS"));
    if (at >= 0)
        text.insert(at + 4, QStringLiteral("DE "));
    at = text.indexOf(QStringLiteral("ÃO REAIS"));
    if (at >= 0)
        text.insert(at + 3, QStringLiteral("DE "));
    return text;
}

// ---------------------------------------------------------------- dates, text

QString NomeDoMes(const QDate& data) {
    static const char* const nomes[12] = {"Janeiro",  "Fevereiro", "Março",    "Abril",
                                          "Maio",     "Junho",     "Julho",    "Agosto",
                                          "Setembro", "Outubro",   "Novembro", "Dezembro"};
    if (!data.isValid())
        return QString();
    return QString::fromUtf8(nomes[data.month() - 1]);
}

int AnoDaData(const QDate& data) {
    return data.year();
}

int DiasDoMes(int mes, int ano) {
    const QDate firstOfNext = mes == 12 ? QDate(ano + 1, 1, 1) : QDate(ano, mes + 1, 1);
    return firstOfNext.addDays(-1).day();
}

QString CopiaInicio(const QString& texto, int n) {
    return texto.left(std::max(0, n));
}

QString CopiaApos(const QString& texto, int n) {
    return texto.size() <= n ? QString() : texto.mid(std::max(0, n));
}
