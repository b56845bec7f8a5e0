// Deployment and start-up: the configuration file, the reasons given for a
// database that cannot be opened, the embedded engine's private configuration,
// the connection request's limits, signals at start-up and the credentials.

#include <QProcess>
#include <QtTest>

#include "data/conexao.h"
#include "testdb.h"

class TstImplantacao : public QObject {
    Q_OBJECT
private slots:
    void iniEncodings_data();
    void iniEncodings();
};

void TstImplantacao::iniEncodings_data() {
    QTest::addColumn<QByteArray>("content");
    const QByteArray utf8 = QStringLiteral("/dados/finanças/Tesouraria Ágil.fdb").toUtf8();
    const QByteArray latin1 = QStringLiteral("/dados/finanças/Tesouraria Ágil.fdb").toLatin1();
    QTest::newRow("utf-8, LF") << "[DADOS]\nSERVIDOR=" + utf8 + "\n";
    QTest::newRow("utf-8, CRLF") << "[DADOS]\r\nSERVIDOR=" + utf8 + "\r\n";
    QTest::newRow("utf-8 com BOM") << "\xEF\xBB\xBF[DADOS]\r\nSERVIDOR=" + utf8 + "\r\n";
    QTest::newRow("latin-1, CRLF") << "[DADOS]\r\nSERVIDOR=" + latin1 + "\r\n";
    QTest::newRow("latin-1, LF, sem fim de linha") << "[DADOS]\nSERVIDOR=" + latin1;
}

void TstImplantacao::iniEncodings() {
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("ZELTESOURARIA.INI"));
    QFile f(ini);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();
    const data::ConnectionConfig c = data::readConnectionConfig(ini);
    QVERIFY2(c.ok(), qPrintable(c.error));
    QCOMPARE(c.params.database, QStringLiteral("/dados/finanças/Tesouraria Ágil.fdb"));
}

QTEST_GUILESS_MAIN(TstImplantacao)
#include "tst_implantacao.moc"
