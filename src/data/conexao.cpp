#include "conexao.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

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
    if (dados.contains(QStringLiteral("USUARIO")))
        config.params.user = dados.value(QStringLiteral("USUARIO"));
    if (dados.contains(QStringLiteral("SENHA")))
        config.params.password = dados.value(QStringLiteral("SENHA"));
    return config;
}

QString describeConnectionError(const QString& location, const fb::Error& e) {
    QString reason;
    if (e.isLoginRefused())
        reason = QStringLiteral("O servidor recusou o usuário ou a senha.");
    else if (e.hasCode(335544344L) || e.hasCode(335544734L))  // I/O error, file not found
        reason = QStringLiteral("O arquivo do banco de dados não existe ou não pode ser aberto.");
    else if (e.hasCode(335544323L) || e.hasCode(335544379L))  // bad format, wrong ODS
        reason = QStringLiteral("O arquivo não é um banco de dados Firebird válido.");
    else if (e.isUnavailable() || e.isConnectionLost())
        reason = QStringLiteral("O servidor do banco de dados não respondeu.");
    else
        reason = QStringLiteral("O banco de dados não pôde ser aberto.");
    return QStringLiteral("Não foi possível conectar ao banco de dados \"%1\".\n%2\n\nDetalhe: %3")
        .arg(location, reason, e.message());
}

}  // namespace data
