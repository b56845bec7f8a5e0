#include "conexao.h"

#include "criacao.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>
#include <cerrno>

namespace data {

namespace {

// The file's text: UTF-8 when its bytes are valid UTF-8 (a byte-order mark is
// dropped), Latin-1 otherwise (as a Windows editor writes it).
QString decodeText(QByteArray content) {
    if (content.startsWith("\xEF\xBB\xBF"))
        content.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(content);
    return utf8.hasError() ? QString::fromLatin1(content) : text;
}

// Windows-style INI: sections and keys are case-insensitive, values taken as written;
// lines end in CRLF or LF.
QHash<QString, QString> readSection(const QByteArray& content, const QString& wanted) {
    QHash<QString, QString> values;
    QString section;
    for (const QString& raw : decodeText(content).split(QLatin1Char('\n'))) {
        QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) ||
            line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2).trimmed().toUpper();
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || section != wanted)
            continue;
        const QString key = line.left(eq).trimmed().toUpper();
        if (!values.contains(key))
            values.insert(key, line.mid(eq + 1).trimmed());
    }
    return values;
}

}  // namespace

ConnectionConfig readConnectionConfig(const QString& iniPath) {
    ConnectionConfig config;
    QFile file(iniPath);
    if (!file.exists()) {
        config.error = QStringLiteral(
                           "O arquivo de configuração \"%1\" não foi encontrado.\n"
                           "Ele deve indicar o banco de dados na seção [DADOS], chave SERVIDOR.")
                           .arg(QFileInfo(iniPath).absoluteFilePath());
        return config;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        config.error = QStringLiteral("O arquivo de configuração \"%1\" não pôde ser lido.")
                           .arg(QFileInfo(iniPath).absoluteFilePath());
        return config;
    }
    const QHash<QString, QString> dados = readSection(file.readAll(), QStringLiteral("DADOS"));
    config.params.database = dados.value(QStringLiteral("SERVIDOR"));
    if (config.params.database.isEmpty()) {
        config.error = QStringLiteral(
                           "O arquivo de configuração \"%1\" não indica o banco de dados "
                           "(seção [DADOS], chave SERVIDOR).")
                           .arg(QFileInfo(iniPath).absoluteFilePath());
        return config;
    }
    const QString shown = QFileInfo(iniPath).absoluteFilePath();
    if (config.params.isRemote()) {
        // On a server the program works as its own user, with its role's rights;
        // SYSDBA only when the file says so.
        config.params.user = QString::fromLatin1(kProgramUser);
        config.params.role = QString::fromLatin1(kProgramRole);
    }
    if (dados.contains(QStringLiteral("USUARIO")))
        config.params.user = dados.value(QStringLiteral("USUARIO"));
    if (dados.contains(QStringLiteral("PAPEL")))
        config.params.role = dados.value(QStringLiteral("PAPEL"));
    if (dados.contains(QStringLiteral("SENHA"))) {
        config.params.password = dados.value(QStringLiteral("SENHA"));
        const QFileDevice::Permissions perms = file.permissions();
        if (perms & (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteGroup |
                     QFileDevice::WriteOther)) {
            config.error = QStringLiteral(
                               "O arquivo de configuração \"%1\" guarda uma senha (SENHA=) e "
                               "pode ser lido por outros usuários deste computador.\n"
                               "Proteja-o antes de abrir o programa, com o comando:\n"
                               "chmod 600 \"%1\"")
                               .arg(shown);
            return config;
        }
    }
    if (config.params.isRemote() && config.params.password.isEmpty()) {
        config.error = QStringLiteral(
                           "O arquivo de configuração \"%1\" indica um servidor (%2), mas não "
                           "a senha do usuário %3 (chave SENHA na seção [DADOS]).\n"
                           "O comando \"tesouraria-admin init\" mostra as linhas a usar.")
                           .arg(shown, config.params.database, config.params.user);
        return config;
    }
    return config;
}

namespace {

// Firebird's status codes met when attaching.
constexpr long kBadDbFormat = 335544323L;    // not a database
constexpr long kIoError = 335544344L;        // I/O error during an operation
constexpr long kNoPriv = 335544352L;         // no permission
constexpr long kSysRequest = 335544373L;     // an operating-system call failed
constexpr long kWrongOds = 335544379L;       // another on-disk structure version
constexpr long kConnectReject = 335544421L;  // the server refused the connection
constexpr long kShutdown = 335544528L;       // database shut down
constexpr long kIoOpen = 335544734L;
constexpr long kIoRead = 335544736L;
constexpr long kIoAccess = 335544739L;
constexpr long kLockDirAccess = 335544992L;

// What a local path shows before the engine says anything: missing, a folder,
// unreadable, too short or without a database header. Empty when it looks like one.
QString localFileReason(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        if (!info.absoluteDir().exists())
            return QStringLiteral("A pasta \"%1\" não existe.").arg(info.absolutePath());
        return QStringLiteral("O arquivo do banco de dados não existe.");
    }
    if (info.isDir())
        return QStringLiteral("O local indicado é uma pasta, não um arquivo de banco de dados.");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral(
            "O arquivo existe, mas este usuário não tem permissão para lê-lo "
            "(verifique o dono e as permissões do arquivo).");
    // A Firebird database begins with its header page: page type 1.
    const QByteArray head = file.read(1024);
    if (head.size() < 1024 || head.at(0) != 1)
        return QStringLiteral(
                   "O arquivo existe, mas não é um banco de dados Firebird válido (tem %1 bytes e "
                   "não começa como um banco de dados).")
            .arg(info.size());
    if (!info.isWritable())
        return QStringLiteral(
            "O arquivo existe, mas este usuário não tem permissão para gravá-lo "
            "(verifique o dono e as permissões do arquivo).");
    return {};
}

QString firstLine(const QString& text) {
    return text.section(QLatin1Char('\n'), 0, 0);
}

}  // namespace

QString describeConnectionError(const QString& location, const fb::Error& e) {
    fb::ConnectParams where;
    where.database = location;
    const bool remote = where.isRemote();
    const QString local = remote ? QString() : localFileReason(location);
    QString reason;
    if (e.kind() == fb::Error::Kind::Input)
        reason = firstLine(e.message());
    else if (e.isLoginRefused())
        reason = QStringLiteral("O servidor recusou o usuário ou a senha.");
    else if (e.hasCode(kConnectReject))
        reason = QStringLiteral(
            "O servidor recusou a conexão: ele não aceita a forma de autenticação ou de "
            "criptografia deste cliente (veja AuthServer e WireCrypt no firebird.conf do "
            "servidor).");
    else if (e.hasCode(kNoPriv))
        reason = QStringLiteral("O usuário não tem permissão para abrir este banco de dados.");
    else if (e.hasCode(kShutdown))
        reason = QStringLiteral("O banco de dados está fechado para manutenção (shutdown).");
    else if (e.hasCode(kLockDirAccess))
        reason = QStringLiteral("O Firebird não pôde usar sua pasta de travas (FIREBIRD_LOCK).");
    else if (e.hasCode(kWrongOds))
        reason = QStringLiteral(
            "O arquivo é um banco de dados de outra versão do Firebird, que esta não abre.");
    else if (e.hasCode(kBadDbFormat))
        reason = QStringLiteral("O arquivo não é um banco de dados Firebird válido.");
    else if (e.isUnavailable() || e.isConnectionLost())
        reason = QStringLiteral(
            "O servidor do banco de dados não respondeu (nenhum servidor Firebird nesse endereço "
            "e porta, ou a rede o impede).");
    else if (!local.isEmpty())
        reason = local;
    else if (e.hasCode(kIoError) || e.hasCode(kSysRequest)) {
        const int os = e.systemError();
        const QString place =
            remote ? QStringLiteral(" no servidor (no caminho que ele vê)") : QString();
        if (os == ENOENT)
            reason = QStringLiteral("O arquivo do banco de dados não existe%1.").arg(place);
        else if (os == EACCES || os == EPERM || e.hasCode(kIoAccess))
            reason = QStringLiteral("Sem permissão para abrir o arquivo do banco de dados%1.")
                         .arg(place);
        else if (os == EISDIR)
            reason = QStringLiteral(
                         "O local indicado é uma pasta%1, não um arquivo de banco de "
                         "dados.")
                         .arg(place);
        else if (e.hasCode(kIoRead))
            reason = QStringLiteral(
                         "O arquivo%1 não pôde ser lido como banco de dados (curto demais ou "
                         "danificado).")
                         .arg(place);
        else if (e.hasCode(kIoOpen))
            reason =
                QStringLiteral("O arquivo do banco de dados não pôde ser aberto%1.").arg(place);
        else
            reason = QStringLiteral("O sistema operacional recusou um acesso do Firebird: %1")
                         .arg(firstLine(e.message()));
    } else {
        reason = QStringLiteral("O Firebird recusou a abertura: %1").arg(firstLine(e.message()));
    }
    return QStringLiteral("Não foi possível conectar ao banco de dados \"%1\".\n%2\n\nDetalhe: %3")
        .arg(location, reason, e.message());
}

QString describeDatabaseError(const QString& location, const fb::Error& e) {
    QString reason;
    if (e.isConnectionLost())
        reason = QStringLiteral("A conexão com o banco de dados caiu durante o trabalho.");
    else if (e.hasCode(kNoPriv))
        reason = QStringLiteral("O usuário não tem permissão para esta operação.");
    else if (e.isConflict())
        reason = QStringLiteral("Outra estação estava alterando os mesmos registros.");
    else
        reason =
            QStringLiteral("O banco de dados recusou a operação: %1").arg(firstLine(e.message()));
    return QStringLiteral("Erro no banco de dados \"%1\".\n%2\n\nDetalhe: %3")
        .arg(location, reason, e.message());
}

}  // namespace data
