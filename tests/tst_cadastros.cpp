// The maintenance screen pattern and the registry screens, driven offscreen against
// a real embedded database.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "app/UPrincipal.h"
#include "app/aplicacao.h"
#include "app/telas.h"
#include "data/U_Biblioteca.h"
#include "kit/core/messages.h"
#include "kit/edit/editstate.h"
#include "kit/ui/jpeg.h"
#include "kit/ui/widgets/editors.h"
#include "kit/ui/widgets/lookup.h"
#include "screens/registries/UCadEmpresa.h"
#include "screens/registries/UCadastros.h"
#include "testdb.h"

using Kind = kit::MessageService::Kind;

class TstCadastros : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void stateMachineAndKeys();
    void guards();
    void emptyTableAndDoubleClick();
    void registries_data();
    void registries();
    void supplierQuickSearch();
    void deleteRefusedByAReference();
    void resourceDeleteKeepsBalancesWithTheResource();
    void companyLogo();
    void companyCnpj();
    void typingLimits();
    void keyboardOnlyFocus();
    void unknownChoiceSurvivesASave();
    void failedStartLeavesTheScreen();
    void lostConnectionKeepsTheChange();
    void boxesCarryTheirLabels();
    void dateMoneyAndLookupFields();
    void closingTakesTheFrame_data();
    void closingTakesTheFrame();
    void oneHighlightedBox();
    void supplierChangedOnAnotherWorkstation();

private:
    TFrmManutencao* open(const char* menuEntry);
    QPushButton* button(const char* name) {
        return screen_->findChild<QPushButton*>(QLatin1String(name));
    }
    QLineEdit* edit(const char* column) {
        return qobject_cast<QLineEdit*>(screen_->editor(QLatin1String(column)));
    }
    void key(int k) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : screen_,
                        static_cast<Qt::Key>(k));
    }
    QString tab() {
        return screen_->findChild<QTabWidget*>(QStringLiteral("PageControl"))
            ->currentWidget()
            ->objectName();
    }
    int count(const QString& sql) { return db_->value(sql).toInt(); }
    // The focus sits on an enabled, visible control of the screen.
    bool focusUsable() {
        QWidget* f = QApplication::focusWidget();
        return f && f->isEnabled() && f->isVisible() && screen_->isAncestorOf(f);
    }

    std::unique_ptr<TestDatabase> t_;
    std::unique_ptr<kit::Database> db_;
    TFrmPrincipal* main_ = nullptr;
    TFrmManutencao* screen_ = nullptr;
    kit::RecordingMessageService* messages_ = nullptr;
};

void TstCadastros::init() {
    QVERIFY_DB(t_ = TestDatabase::embedded());
    db_ = t_->database();
    messages_ = recordMessages();
    main_ = new TFrmPrincipal(*db_);
    RegistraTelas(*main_);
    main_->resize(1100, 700);
    main_->show();
    QVERIFY(QTest::qWaitForWindowExposed(main_));
}

void TstCadastros::cleanup() {
    messages_->defaultAnswer = true;
    for (QMdiSubWindow* w : main_->mdiArea()->subWindowList()) w->close();
    delete main_;
    db_.reset();
    t_.reset();
}

TFrmManutencao* TstCadastros::open(const char* menuEntry) {
    QAction* a = main_->findChild<QAction*>(QLatin1String(menuEntry));
    if (!a || !a->isEnabled())
        return nullptr;
    a->trigger();
    screen_ = qobject_cast<TFrmManutencao*>(main_->screenInstance(QLatin1String(menuEntry)));
    if (screen_)
        (void)QTest::qWaitForWindowActive(main_);
    return screen_;
}

void TstCadastros::stateMachineAndKeys() {
    QVERIFY(open("Cadastro_de_Atividade"));
    QCOMPARE(screen_->windowTitle(), QStringLiteral("Manutenção de Atividades"));
    QCOMPARE(tab(), QStringLiteral("TabSheet_Consulta"));
    auto* pages = screen_->findChild<QTabWidget*>(QStringLiteral("PageControl"));
    QCOMPARE(pages->tabText(0), QStringLiteral("Consulta   "));
    QCOMPARE(pages->tabText(1), QStringLiteral("Cadastro   "));
    // Opening state.
    QVERIFY(button("Inserir")->isEnabled());
    QVERIFY(!button("Gravar")->isEnabled());
    QVERIFY(!button("Primeiro")->isEnabled());
    QVERIFY(!screen_->findChild<QWidget*>(QStringLiteral("Painel_Dados"))->isEnabled());
    QCOMPARE(button("Gravar")->toolTip(),
             QStringLiteral("Grava as alterações feitas neste banco de dados"));
    QCOMPARE(button("Proximo")->text(), QStringLiteral("Próximo"));

    screen_->findChild<QTableView*>(QStringLiteral("wwDBGrid1"))->setFocus();
    key(Qt::Key_F7);  // browse: nothing
    key(Qt::Key_F8);
    QVERIFY(messages_->messages.empty());
    QVERIFY(!EmEdicao(screen_->dataSet()));

    key(Qt::Key_F4);  // insert into an empty table: code 1
    QVERIFY(EmEdicao(screen_->dataSet()));
    QCOMPARE(tab(), QStringLiteral("TabSheet_Manutencao"));
    QCOMPARE(edit("CDATIVIDADE")->text(), QStringLiteral("1"));
    QVERIFY(!edit("CDATIVIDADE")->isEnabled());
    QTRY_COMPARE(QApplication::focusWidget(), edit("NOME"));
    QVERIFY(button("Gravar")->isEnabled() && !button("Inserir")->isEnabled() &&
            !button("Ultimo")->isEnabled());
    key(Qt::Key_F6);  // editing: nothing
    key(Qt::Key_F4);
    QVERIFY(messages_->messages.empty());

    key(Qt::Key_F7);  // the required field
    QCOMPARE(messages_->last(), QStringLiteral("Peencha os campos! ((Nome))"));
    QCOMPARE(messages_->messages[0].kind, Kind::Information);
    QVERIFY(EmEdicao(screen_->dataSet()));
    QCOMPARE(QApplication::focusWidget(), edit("NOME"));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM ATIVIDADE")), 0);

    QTest::keyClicks(edit("NOME"), QStringLiteral("tarifas"));
    QCOMPARE(edit("NOME")->text(), QStringLiteral("TARIFAS"));
    key(Qt::Key_Return);  // Enter moves on as Tab does
    QCOMPARE(QApplication::focusWidget(), screen_->editor(QStringLiteral("TIPOLANC")));
    qobject_cast<QComboBox*>(screen_->editor(QStringLiteral("TIPOLANC")))->setCurrentIndex(1);
    key(Qt::Key_F7);
    QVERIFY(!EmEdicao(screen_->dataSet()));
    QVERIFY(button("Primeiro")->isEnabled() && !button("Gravar")->isEnabled());
    QCOMPARE(db_->value(QStringLiteral(
                            "SELECT NOME || '/' || TIPOLANC FROM ATIVIDADE WHERE CDATIVIDADE = 1"))
                 .toString(),
             QStringLiteral("TARIFAS/B"));

    key(Qt::Key_F4);
    QCOMPARE(edit("CDATIVIDADE")->text(), QStringLiteral("2"));
    key(Qt::Key_F8);  // cancel: the new row disappears
    QCOMPARE(screen_->dataSet().recordCount(), 1);
    QCOMPARE(edit("NOME")->text(), QStringLiteral("TARIFAS"));

    messages_->answer(false);
    key(Qt::Key_F6);  // delete, answered No
    QCOMPARE(messages_->last(), QStringLiteral("Deseja realmente deletar o registro ???"));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM ATIVIDADE")), 1);
    key(Qt::Key_F6);  // Yes
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM ATIVIDADE")), 0);
}

void TstCadastros::guards() {
    QVERIFY(open("Cadastro_de_Localidade_Empenho"));
    auto* consulta = screen_->findChild<QLabel*>(QStringLiteral("txtConsulta"));
    auto* cadastro = screen_->findChild<QLabel*>(QStringLiteral("txtCadastro"));
    QTest::mouseClick(cadastro, Qt::LeftButton);  // never asks
    QCOMPARE(tab(), QStringLiteral("TabSheet_Manutencao"));
    QVERIFY(messages_->messages.empty());
    screen_->Inserir();
    QTest::keyClicks(edit("DESCRICAO"), QStringLiteral("arquivo"));
    const QString question = QStringLiteral(
        "Os dados estão sendo alterados no momento !\nDeseja realmente cancelar as alterações "
        "feitas ?");
    messages_->answer(false);
    QTest::mouseClick(consulta, Qt::LeftButton);
    QCOMPARE(messages_->last(), question);
    QCOMPARE(tab(), QStringLiteral("TabSheet_Manutencao"));
    QVERIFY(EmEdicao(screen_->dataSet()));
    // Closing while editing, answered No: stays open with the change pending.
    messages_->answer(false);
    QVERIFY(!screen_->close());
    QVERIFY(main_->screenInstance(QStringLiteral("Cadastro_de_Localidade_Empenho")));
    QCOMPARE(edit("DESCRICAO")->text(), QStringLiteral("ARQUIVO"));
    // Leaving by the other tab, answered Yes: cancelled.
    screen_->findChild<QTabWidget*>(QStringLiteral("PageControl"))->setCurrentIndex(0);
    QCOMPARE(tab(), QStringLiteral("TabSheet_Consulta"));
    QVERIFY(!EmEdicao(screen_->dataSet()));
    QCOMPARE(screen_->dataSet().recordCount(), 0);
    // Closing, Yes: the screen is freed and its reference cleared.
    screen_->Inserir();
    QVERIFY(main_->mdiArea()->activeSubWindow()->close());
    QTRY_VERIFY(!main_->screenInstance(QStringLiteral("Cadastro_de_Localidade_Empenho")));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM LOCALIDADE")), 0);
}

void TstCadastros::emptyTableAndDoubleClick() {
    QVERIFY(open("Cadastro_de_Modalidade_Empenho"));
    QCOMPARE(tab(), QStringLiteral("TabSheet_Consulta"));
    screen_->findChild<QTableView*>(QStringLiteral("wwDBGrid1"))->setFocus();
    key(Qt::Key_F5);
    QCOMPARE(messages_->last(), QStringLiteral("Banco de dados vazio!"));
    QCOMPARE(messages_->messages.back().kind, Kind::Error);
    key(Qt::Key_F6);
    QCOMPARE(messages_->last(), QStringLiteral("O Banco de Dados está vazio !!!"));
    db_->execute(
        QStringLiteral("INSERT INTO MODALIDADE (CDMODALIDADE, DESCRICAO) VALUES (4, 'PREGÃO')"));
    db_->execute(
        QStringLiteral("INSERT INTO MODALIDADE (CDMODALIDADE, DESCRICAO) VALUES (2, 'CONVITE')"));
    screen_->dataSet().refresh();
    auto* grid = screen_->findChild<QTableView*>(QStringLiteral("wwDBGrid1"));
    const QRect second = grid->visualRect(grid->model()->index(1, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, second.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, second.center());
    QCOMPARE(tab(), QStringLiteral("TabSheet_Manutencao"));
    QVERIFY(EmEdicao(screen_->dataSet()));
    QCOMPARE(edit("DESCRICAO")->text(), QStringLiteral("PREGÃO"));
}

void TstCadastros::registries_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("required");
    QTest::addColumn<QStringList>("typed");  // column=text
    QTest::addColumn<QString>("stored");     // select of the stored values, '|' separated
    QTest::addColumn<QString>("expected");

    QTest::newRow("recurso")
        << "Cadastro_de_Recurso"
        << "Manutenção de Recursos"
        << "RECURSO"
        << "CDRECURSO"
        << "NOME"
        << QStringList{"NOME=movimento geral", "BANCO=banco do brasil", "AGENCIA=1523",
                       "DIGITOAGENCIA=x", "NUMCONTA=12345-6"}
        << "NOME || '|' || BANCO || '|' || AGENCIA || '|' || DIGITOAGENCIA || '|' || NUMCONTA"
        << "MOVIMENTO GERAL|BANCO DO BRASIL|1523|X|12345-6";
    QTest::newRow("atividade") << "Cadastro_de_Atividade"
                               << "Manutenção de Atividades"
                               << "ATIVIDADE"
                               << "CDATIVIDADE"
                               << "NOME" << QStringList{"NOME=combustíveis"}
                               << "NOME || '|' || COALESCE(TIPOLANC, '-')"
                               << "COMBUSTÍVEIS|-";
    QTest::newRow("fornecedor")
        << "Cadastro_de_Fornecedor"
        << "Manutenção de Fornecedores"
        << "FORNECEDOR"
        << "CDFORNECEDOR"
        << "NOME"
        << QStringList{"NOME=papelaria são josé", "ENDERECO=rua xv, 10", "CIDADE=toledo", "UF=pr",
                       "CPFCNPJ=12.345.678/0001-90"}
        << "NOME || '|' || ENDERECO || '|' || CIDADE || '|' || UF || '|' || CPFCNPJ"
        << "PAPELARIA SÃO JOSÉ|RUA XV, 10|TOLEDO|PR|12.345.678/0001-90";
    QTest::newRow("localidade") << "Cadastro_de_Localidade_Empenho"
                                << "Manutenção de Localidades do Empenho"
                                << "LOCALIDADE"
                                << "CDLOCAL"
                                << "DESCRICAO" << QStringList{"DESCRICAO=c. interno"} << "DESCRICAO"
                                << "C. INTERNO";
    QTest::newRow("modalidade") << "Cadastro_de_Modalidade_Empenho"
                                << "Manutenção de Modalidades"
                                << "MODALIDADE"
                                << "CDMODALIDADE"
                                << "DESCRICAO" << QStringList{"DESCRICAO=pregão"} << "DESCRICAO"
                                << "PREGÃO";
    QTest::newRow("secretaria") << "Secretarias1"
                                << "Manutenção de Secretarias"
                                << "SECRETARIA"
                                << "CDSECRETARIA"
                                << "DESCRICAO" << QStringList{"DESCRICAO=saúde"} << "DESCRICAO"
                                << "SAÚDE";
    QTest::newRow("funcionario")
        << "FuncionarioDiarias"
        << "Manutenção de Funcionario"
        << "FUNCIONARIO"
        << "CDFUNCIONARIO"
        << "NOME"
        << QStringList{"NOME=ana lima",    "MATRICULA=1020", "CPF=123.456.789-00", "RG=12.345-6",
                       "FUNCAO=motorista", "ENDERECO=rua a", "CIDADE=cascavel",    "UF=pr"}
        << "NOME || '|' || MATRICULA || '|' || CPF || '|' || RG || '|' || FUNCAO || '|' || UF"
        << "ANA LIMA|1020|123.456.789-00|12.345-6|MOTORISTA|PR";
    QTest::newRow("empresa") << "Cadastro_da_Prefeitura"
                             << "Manutenção de Empresa"
                             << "EMPRESA"
                             << "CDEMPRESA"
                             << "NOME"
                             << QStringList{"NOME=Prefeitura Municipal de Toledo", "CIDADE=toledo",
                                            "UF=pr", "CNPJ=76205806000188", "ASSINANTE=joão"}
                             << "NOME || '|' || CIDADE || '|' || CNPJ || '|' || ASSINANTE"
                             << "Prefeitura Municipal de Toledo|TOLEDO|76.205.806/0001-88|JOÃO";
}

void TstCadastros::registries() {
    QFETCH(QString, entry);
    QFETCH(QString, caption);
    QFETCH(QString, table);
    QFETCH(QString, code);
    QFETCH(QString, required);
    QFETCH(QStringList, typed);
    QFETCH(QString, stored);
    QFETCH(QString, expected);
    db_->execute(QStringLiteral("INSERT INTO %1 (%2, %3) VALUES (7, 'EXISTENTE')")
                     .arg(table, code, required));
    QVERIFY(open(entry.toLatin1().constData()));
    QCOMPARE(screen_->windowTitle(), caption);

    // Insert and save: the code is the highest plus one.
    screen_->Inserir();
    QCOMPARE(qobject_cast<QLineEdit*>(screen_->editor(code))->text(), QStringLiteral("8"));
    for (const QString& t : typed) {
        const int eq = t.indexOf(QLatin1Char('='));
        auto* box = qobject_cast<QLineEdit*>(screen_->editor(t.left(eq)));
        QVERIFY2(box, qPrintable(t));
        box->setFocus();
        box->selectAll();
        for (const QChar c : t.mid(eq + 1))
            QTest::sendKeyEvent(QTest::KeyAction::Click, box, Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
    }
    screen_->Gravar();
    QVERIFY2(messages_->messages.empty(), qPrintable(messages_->texts().join(QLatin1Char('\n'))));
    QCOMPARE(db_->value(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = 8").arg(stored, table, code))
                 .toString(),
             expected);

    // Edit the required field.
    screen_->Alterar();
    auto* name = qobject_cast<QLineEdit*>(screen_->editor(required));
    name->setText(QStringLiteral("RENOMEADO"));
    screen_->Gravar();
    QCOMPARE(db_->value(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = 8").arg(required, table, code))
                 .toString(),
             QStringLiteral("RENOMEADO"));

    // Delete it.
    QVERIFY(screen_->dataSet().locate(code, 8));
    screen_->Deletar();
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = 8").arg(table, code)), 0);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = 7").arg(table, code)), 1);
}

void TstCadastros::supplierQuickSearch() {
    for (const char* sql :
         {"INSERT INTO FORNECEDOR (CDFORNECEDOR, NOME) VALUES (1, 'ALFA LTDA')",
          "INSERT INTO FORNECEDOR (CDFORNECEDOR, NOME) VALUES (2, 'SANTOS E FILHOS')",
          "INSERT INTO FORNECEDOR (CDFORNECEDOR, NOME) VALUES (3, 'SANTA CLARA')",
          "INSERT INTO FORNECEDOR (CDFORNECEDOR, NOME) VALUES (4, 'ZETA')"})
        db_->execute(QString::fromLatin1(sql));
    QVERIFY(open("Cadastro_de_Fornecedor"));
    auto* search = screen_->findChild<QLineEdit*>(QStringLiteral("edit_localiza"));
    QVERIFY(search);
    QTest::keyClicks(search, QStringLiteral("san"));
    QCOMPARE(screen_->dataSet().text(QStringLiteral("NOME")), QStringLiteral("SANTA CLARA"));
    QTest::keyClicks(search, QStringLiteral("to"));
    QCOMPARE(screen_->dataSet().text(QStringLiteral("NOME")), QStringLiteral("SANTOS E FILHOS"));
    QTest::keyClicks(search, QStringLiteral("x"));  // nothing matches: stays
    QCOMPARE(screen_->dataSet().text(QStringLiteral("NOME")), QStringLiteral("SANTOS E FILHOS"));
    search->clear();
    QCOMPARE(screen_->dataSet().text(QStringLiteral("NOME")), QStringLiteral("SANTOS E FILHOS"));
}

void TstCadastros::deleteRefusedByAReference() {
    t_->addFixtureRows();
    db_->execute(QStringLiteral(
        "INSERT INTO LANCAMENTO (CDLANCAMENTO, DATA, TIPO, VALOR, CDRECURSO, CDFORNECEDOR) "
        "VALUES (1, CURRENT_DATE, 'D', 5, 1, 1)"));
    db_->execute(
        QStringLiteral("INSERT INTO FORNECEDOR (CDFORNECEDOR, NOME) VALUES (2, 'ZULU SERVICOS')"));
    QVERIFY(open("Cadastro_de_Fornecedor"));
    QVERIFY(screen_->dataSet().locate(QStringLiteral("CDFORNECEDOR"), 1));
    screen_->Deletar();
    QCOMPARE(messages_->messages.back().kind, Kind::Warning);
    QVERIFY(messages_->last().startsWith(QStringLiteral("Não foi possível completar a operação!")));
    QCOMPARE(screen_->dataSet().recordCount(), 2);
    QCOMPARE(screen_->findChild<QTableView*>(QStringLiteral("wwDBGrid1"))->model()->rowCount(), 2);
    // The refused row is back as the current one, not the supplier after it.
    QCOMPARE(screen_->dataSet().value(QStringLiteral("CDFORNECEDOR")).toInt(), 1);
    QVERIFY(!EmEdicao(screen_->dataSet()));
    QVERIFY(button("Inserir")->isEnabled());
}

void TstCadastros::resourceDeleteKeepsBalancesWithTheResource() {
    t_->addFixtureRows();
    db_->execute(
        QStringLiteral("INSERT INTO LANCAMENTO (CDLANCAMENTO, DATA, TIPO, VALOR, CDRECURSO) VALUES "
                       "(1, CURRENT_DATE, 'C', 5, 1)"));
    db_->execute(
        QStringLiteral("INSERT INTO LANCAMENTO (CDLANCAMENTO, DATA, TIPO, VALOR, CDRECURSO) VALUES "
                       "(2, CURRENT_DATE, 'C', 5, 2)"));
    db_->execute(
        QStringLiteral("DELETE FROM LANCAMENTO WHERE CDLANCAMENTO = 2"));  // resource 2: free again
    db_->execute(QStringLiteral("INSERT INTO RECURSO (CDRECURSO, NOME) VALUES (3, 'SEM USO')"));
    QVERIFY(open("Cadastro_de_Recurso"));
    // Refused (entries use it): the resource and its balances stay, together.
    QVERIFY(screen_->dataSet().locate(QStringLiteral("CDRECURSO"), 1));
    screen_->Deletar();
    QVERIFY(messages_->last().startsWith(QStringLiteral("Não foi possível completar a operação!")));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM RECURSO WHERE CDRECURSO = 1")), 1);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM SALDOCAIXA WHERE CDRECURSO = 1")), 1);
    // A resource nothing uses goes, and balances left from older data go with it.
    db_->execute(
        QStringLiteral("INSERT INTO SALDOCAIXA (CDRECURSO, DTSALDO, SALDOATUAL) VALUES "
                       "(3, CURRENT_DATE, 7)"));
    QVERIFY(screen_->dataSet().locate(QStringLiteral("CDRECURSO"), 3));
    screen_->Deletar();
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM RECURSO WHERE CDRECURSO = 3")), 0);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM SALDOCAIXA WHERE CDRECURSO = 3")), 0);
}

void TstCadastros::companyLogo() {
    db_->execute(QStringLiteral("INSERT INTO EMPRESA (CDEMPRESA, NOME) VALUES (1, 'PREFEITURA')"));
    main_->tb_Empresa().refresh();
    auto* screen = qobject_cast<TFrmCadEmpresa*>(open("Cadastro_da_Prefeitura"));
    QVERIFY(screen);
    QVERIFY(!screen->findChild<QTableView*>());
    QVERIFY(!button("Primeiro"));
    QCOMPARE(&screen->dataSet(), &main_->tb_Empresa());

    QTemporaryDir dir;
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::red);
    const QString png = dir.filePath(QStringLiteral("logo.png"));
    QVERIFY(picture.save(png));
    const QString jpg = dir.filePath(QStringLiteral("logo.jpg"));
    QFile jf(jpg);
    QVERIFY(jf.open(QIODevice::WriteOnly));
    jf.write(kit::encodeJpeg(picture));
    jf.close();
    const QString broken = dir.filePath(QStringLiteral("quebrada.bmp"));
    QFile bf(broken);
    QVERIFY(bf.open(QIODevice::WriteOnly));
    bf.write("BM not really a bitmap");
    bf.close();

    // Loaded and cancelled: nothing stored.
    screen->Alterar();
    QVERIFY(screen->carregaImagem(png));
    screen->Cancelar();
    QVERIFY(db_->value(QStringLiteral("SELECT FOTO FROM EMPRESA")).isNull());
    // A file that is no picture: message, logo as it was.
    screen->Alterar();
    QVERIFY(screen->carregaImagem(jpg));
    QVERIFY(!screen->carregaImagem(broken));
    QVERIFY(messages_->last().contains(QStringLiteral("Não foi possível ler a imagem")));
    screen->Gravar();
    const QByteArray stored = db_->value(QStringLiteral("SELECT FOTO FROM EMPRESA")).toByteArray();
    QVERIFY(kit::isJpeg(stored));
    // The main window's record shows it at once.
    QCOMPARE(main_->tb_Empresa().value(QStringLiteral("FOTO")).toByteArray(), stored);
    QVERIFY(!kit::decodeJpeg(stored).isNull());
    // Closing the screen leaves the shared record open.
    QVERIFY(main_->mdiArea()->activeSubWindow()->close());
    QVERIFY(main_->tb_Empresa().isActive());
}

void TstCadastros::companyCnpj() {
    db_->execute(QStringLiteral("INSERT INTO EMPRESA (CDEMPRESA, NOME) VALUES (1, 'PREFEITURA')"));
    main_->tb_Empresa().refresh();
    QVERIFY(open("Cadastro_da_Prefeitura"));
    screen_->Alterar();
    auto* cnpj = qobject_cast<kit::MaskEdit*>(screen_->editor(QStringLiteral("CNPJ")));
    cnpj->setFocus();
    cnpj->home(false);
    QTest::keyClicks(cnpj, QStringLiteral("7620580600"));
    screen_->Gravar();
    QVERIFY(messages_->last().startsWith(QStringLiteral("CNPJ incompleto!")));
    QVERIFY(EmEdicao(screen_->dataSet()));
    QVERIFY(db_->value(QStringLiteral("SELECT CNPJ FROM EMPRESA")).isNull());
    QTest::keyClicks(cnpj, QStringLiteral("0188"));
    screen_->Gravar();
    QCOMPARE(db_->value(QStringLiteral("SELECT CNPJ FROM EMPRESA")).toString(),
             QStringLiteral("76.205.806/0001-88"));
    messages_->answer(false);
    screen_->Deletar();
    QCOMPARE(messages_->last(), QStringLiteral("Deseja realmente deletar o registro?"));
}

void TstCadastros::typingLimits() {
    QVERIFY(open("Cadastro_de_Recurso"));
    screen_->Inserir();
    QTest::keyClicks(edit("NOME"), QString(60, QLatin1Char('a')));
    QCOMPARE(edit("NOME")->text(), QString(40, QLatin1Char('A')));  // the column holds 40
    QTest::keyClicks(edit("AGENCIA"), QStringLiteral("12ab3"));
    QCOMPARE(edit("AGENCIA")->text(), QStringLiteral("123"));
    edit("BANCO")->setFocus();
    QTest::sendKeyEvent(QTest::KeyAction::Click, edit("BANCO"), Qt::Key_unknown,
                        QStringLiteral("“"), Qt::NoModifier);
    QTest::sendKeyEvent(QTest::KeyAction::Click, edit("BANCO"), Qt::Key_unknown,
                        QStringLiteral("ç"), Qt::NoModifier);
    QCOMPARE(edit("BANCO")->text(), QStringLiteral("\"Ç"));
    screen_->Gravar();
    QCOMPARE(db_->value(QStringLiteral("SELECT BANCO FROM RECURSO WHERE CDRECURSO = 1")).toString(),
             QStringLiteral("\"Ç"));
}

void TstCadastros::keyboardOnlyFocus() {
    // Keys only, from the first insert to a delete: after every step the focus is on
    // an enabled control and the next key works at once.
    QVERIFY(open("Cadastro_de_Localidade_Empenho"));
    QTRY_VERIFY(focusUsable());
    key(Qt::Key_F4);
    QTRY_COMPARE(QApplication::focusWidget(), edit("DESCRICAO"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("tesouraria"));
    key(Qt::Key_F7);
    QVERIFY(!EmEdicao(screen_->dataSet()));
    QVERIFY2(focusUsable(),
             qPrintable(QApplication::focusWidget() ? QApplication::focusWidget()->objectName()
                                                    : QStringLiteral("no focus")));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM LOCALIDADE")), 1);
    key(Qt::Key_F5);  // at once, without a click
    QVERIFY(EmEdicao(screen_->dataSet()));
    QCOMPARE(QApplication::focusWidget(), edit("DESCRICAO"));
    key(Qt::Key_F8);
    QVERIFY(!EmEdicao(screen_->dataSet()));
    QVERIFY(focusUsable());
    messages_->answer(false);
    key(Qt::Key_F6);
    QCOMPARE(messages_->last(), QStringLiteral("Deseja realmente deletar o registro ???"));
    QVERIFY(focusUsable());
    // From the consultation tab as well.
    screen_->mostraConsulta();
    key(Qt::Key_F5);
    QVERIFY(EmEdicao(screen_->dataSet()));
    key(Qt::Key_F8);
    QVERIFY(focusUsable());
}

void TstCadastros::unknownChoiceSurvivesASave() {
    // A mark the activity screen does not list, set elsewhere.
    db_->execute(
        QStringLiteral("INSERT INTO ATIVIDADE (CDATIVIDADE, NOME, TIPOLANC) VALUES (1, 'TARIFAS', "
                       "'X')"));
    QVERIFY(open("Cadastro_de_Atividade"));
    screen_->Alterar();
    QCOMPARE(qobject_cast<QComboBox*>(screen_->editor(QStringLiteral("TIPOLANC")))->currentText(),
             QStringLiteral("X"));
    edit("NOME")->setText(QStringLiteral("TARIFAS BANCARIAS"));
    screen_->Gravar();
    QCOMPARE(
        db_->value(QStringLiteral("SELECT NOME || '/' || COALESCE(TRIM(TIPOLANC), 'NULO') FROM "
                                  "ATIVIDADE WHERE CDATIVIDADE = 1"))
            .toString(),
        QStringLiteral("TARIFAS BANCARIAS/X"));
    // Choosing a listed mark writes it.
    screen_->Alterar();
    auto* tipo = qobject_cast<QComboBox*>(screen_->editor(QStringLiteral("TIPOLANC")));
    tipo->setCurrentIndex(tipo->findData(QStringLiteral("C")));
    screen_->Gravar();
    QCOMPARE(db_->value(QStringLiteral("SELECT TRIM(TIPOLANC) FROM ATIVIDADE")).toString(),
             QStringLiteral("C"));
}

void TstCadastros::failedStartLeavesTheScreen() {
    QVERIFY(open("Secretarias1"));
    QVERIFY(t_->shutDown());
    screen_->Inserir();
    QVERIFY(t_->bringOnline());
    QCOMPARE(messages_->messages.size(), size_t(1));
    QCOMPARE(messages_->messages[0].kind, Kind::Error);
    QVERIFY(!EmEdicao(screen_->dataSet()));
    QCOMPARE(tab(), QStringLiteral("TabSheet_Consulta"));
    QVERIFY(button("Inserir")->isEnabled());
    QVERIFY(!button("Gravar")->isEnabled() && !button("Cancelar")->isEnabled());
    QVERIFY(!screen_->findChild<QWidget*>(QStringLiteral("Painel_Dados"))->isEnabled());
    // And it starts once the database is back.
    screen_->Inserir();
    QVERIFY(EmEdicao(screen_->dataSet()));
}

void TstCadastros::lostConnectionKeepsTheChange() {
    QVERIFY(open("Cadastro_de_Modalidade_Empenho"));
    screen_->Inserir();
    edit("DESCRICAO")->setText(QStringLiteral("PREGAO"));
    QVERIFY(t_->shutDown());
    screen_->Gravar();
    QCOMPARE(messages_->last(), MensagemConexaoPerdida());
    // Still editing what was typed, and it can be saved again.
    QVERIFY(EmEdicao(screen_->dataSet()));
    QVERIFY(button("Gravar")->isEnabled() && button("Cancelar")->isEnabled());
    QCOMPARE(edit("DESCRICAO")->text(), QStringLiteral("PREGAO"));
    // Closing asks before throwing it away; No keeps it.
    messages_->clear();
    messages_->answer(false);
    screen_->close();
    QCOMPARE(messages_->last(), kit::EditState::abandonQuestion());
    QVERIFY(screen_->isVisible());
    QVERIFY(t_->bringOnline());
    screen_->Gravar();
    QVERIFY2(!EmEdicao(screen_->dataSet()), qPrintable(messages_->last()));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM MODALIDADE WHERE DESCRICAO = 'PREGAO'")),
             1);
    QVERIFY(!screen_->dataSet().hasPendingChanges());
}

void TstCadastros::boxesCarryTheirLabels() {
    for (const char* entry :
         {"Cadastro_de_Recurso", "Cadastro_de_Atividade", "Cadastro_de_Fornecedor",
          "Cadastro_de_Localidade_Empenho", "Cadastro_de_Modalidade_Empenho", "Secretarias1",
          "FuncionarioDiarias", "Cadastro_da_Prefeitura"}) {
        QVERIFY2(open(entry), entry);
        for (const TFrmManutencao::Field& f : screen_->definition().fields) {
            QWidget* box = screen_->editor(f.column);
            const QString name = box->accessibleName();
            QVERIFY2(!name.isEmpty() && f.label.startsWith(name),
                     qPrintable(QStringLiteral("%1 %2: \"%3\"").arg(entry, f.column, name)));
            auto* label = screen_->findChild<QLabel*>(QStringLiteral("lbl_") + f.column);
            QCOMPARE(label->buddy(), box);
        }
        QVERIFY(
            !screen_->findChild<QWidget*>(QStringLiteral("wwDBGrid1")) ||
            !screen_->findChild<QWidget*>(QStringLiteral("wwDBGrid1"))->accessibleName().isEmpty());
        screen_->close();
    }
}

void TstCadastros::dateMoneyAndLookupFields() {
    // A screen of the pattern with the kinds the commitment and contract screens use.
    db_->execute(QStringLiteral(
        "INSERT INTO FORNECEDOR (CDFORNECEDOR, NOME) VALUES (4, 'PAPELARIA CENTRAL')"));
    TFrmManutencao::Definition d;
    d.objectName = QStringLiteral("FrmTeste");
    d.caption = QStringLiteral("Manutenção de Empenhos");
    d.sql = QStringLiteral("SELECT * FROM EMPENHO ORDER BY NUMEMPENHO");
    d.codeColumn = QStringLiteral("CDEMPENHO");
    d.maxSql = QStringLiteral("select max(CDEMPENHO) as MAXID from EMPENHO");
    d.grid = {{"NUMEMPENHO", "Nº EMPENHO", 14}};
    TFrmManutencao::Field fornecedor{"FORNECEDOR", "CDFORNECEDOR",
                                     TFrmManutencao::FieldKind::Lookup};
    fornecedor.lookup = {QStringLiteral("SELECT * FROM FORNECEDOR ORDER BY NOME"),
                         QStringLiteral("CDFORNECEDOR"),
                         QStringLiteral("NOME"),
                         QStringLiteral("Escolha o Fornecedor"),
                         {}};
    d.fields = {{"Nº EMPENHO", "NUMEMPENHO"},
                {"CÓDIGO", "CDEMPENHO", TFrmManutencao::FieldKind::Integer},
                {"DATA", "DTEMPENHO", TFrmManutencao::FieldKind::Date},
                {"VALOR", "VALOREMPENHO", TFrmManutencao::FieldKind::Money},
                fornecedor};
    d.requiredColumn = QStringLiteral("NUMEMPENHO");
    d.requiredList = QStringLiteral("(Nome)");
    Contexto contexto(*db_);  // a screen needs no main window
    contexto.abreTabelasGerais();
    TFrmManutencao screen(contexto, d);
    screen.show();
    QVERIFY(QTest::qWaitForWindowExposed(&screen));
    screen.Inserir();
    auto* numero = qobject_cast<QLineEdit*>(screen.editor(QStringLiteral("NUMEMPENHO")));
    QTest::keyClicks(numero, QStringLiteral("12/2026"));
    auto* data = qobject_cast<QLineEdit*>(screen.editor(QStringLiteral("DTEMPENHO")));
    data->setFocus();
    data->home(false);
    QTest::keyClicks(data, QStringLiteral("05032026"));
    auto* valor = qobject_cast<kit::MoneyEdit*>(screen.editor(QStringLiteral("VALOREMPENHO")));
    valor->setFocus();
    QTest::keyClicks(valor, QStringLiteral("1.234,56"));
    auto* forn = qobject_cast<kit::LookupCombo*>(screen.editor(QStringLiteral("CDFORNECEDOR")));
    forn->lineEdit()->setFocus();
    QTest::keyClicks(forn->lineEdit(), QStringLiteral("pap"));
    QTest::keyClick(forn->lineEdit(), Qt::Key_Tab);
    QCOMPARE(forn->text(), QStringLiteral("PAPELARIA CENTRAL"));
    // A value set by code shows in its box at once.
    screen.dataSet().setValue(QStringLiteral("VALOREMPENHO"),
                              QVariant::fromValue(kit::Money::fromCents(99900)));
    QCOMPARE(valor->text(), QStringLiteral("R$ 999,00"));
    screen.Gravar();
    QVERIFY2(messages_->messages.empty(), qPrintable(messages_->texts().join(QLatin1Char('\n'))));
    QCOMPARE(db_->value(QStringLiteral("SELECT NUMEMPENHO || ' ' || DTEMPENHO || ' ' || "
                                       "VALOREMPENHO || ' ' || CDFORNECEDOR FROM EMPENHO"))
                 .toString(),
             QStringLiteral("12/2026 2026-03-05 999.00 4"));
    // An impossible date is refused with a message and the row stays in edit.
    screen.Alterar();
    data->setFocus();
    data->home(false);
    QTest::keyClicks(data, QStringLiteral("31022026"));
    screen.Gravar();
    QVERIFY(EmEdicao(screen.dataSet()));
    QCOMPARE(messages_->last(), QStringLiteral("A data \"31/02/2026\" não é uma data válida!"));
    screen.Cancelar();
    QCOMPARE(data->text(), QStringLiteral("05/03/2026"));
}

void TstCadastros::closingTakesTheFrame_data() {
    QTest::addColumn<QString>("route");
    QTest::newRow("Sair") << "Sair";
    QTest::newRow("Abandonar") << "Abandonar";
    QTest::newRow("close box") << "frame";
    QTest::newRow("window menu") << "mdi";
}

void TstCadastros::closingTakesTheFrame() {
    QFETCH(QString, route);
    auto close = [&] {
        if (route == QLatin1String("frame"))
            main_->mdiArea()->subWindowList().constFirst()->close();
        else if (route == QLatin1String("mdi"))
            main_->mdiArea()->closeActiveSubWindow();
        else if (route == QLatin1String("Abandonar"))
            screen_->findChild<QPushButton*>(QStringLiteral("Abandonar"))->click();
        else
            button("Sair")->click();
    };
    for (int round = 0; round < 2; ++round) {  // reopening makes exactly one frame again
        QVERIFY(open("Cadastro_de_Atividade"));
        QCOMPARE(main_->mdiArea()->subWindowList().size(), 1);
        // The frame's window menu speaks Portuguese.
        QStringList menu;
        for (QAction* a : main_->mdiArea()->subWindowList().constFirst()->systemMenu()->actions())
            menu << a->text().remove(QLatin1Char('&'));
        QVERIFY2(menu.contains(QStringLiteral("Fechar")), qPrintable(menu.join(u',')));
        // A refused close keeps screen and frame.
        screen_->Inserir();
        messages_->answer(false);
        close();
        QVERIFY(main_->screenInstance(QStringLiteral("Cadastro_de_Atividade")));
        QCOMPARE(main_->mdiArea()->subWindowList().size(), 1);
        QVERIFY(main_->mdiArea()->subWindowList().constFirst()->isVisible());
        screen_->Cancelar();
        close();
        QTRY_VERIFY(main_->mdiArea()->subWindowList().isEmpty());
        QTRY_VERIFY(!main_->screenInstance(QStringLiteral("Cadastro_de_Atividade")));
    }
    // Nothing is open any more: the program closes without the warning.
    messages_->clear();
    QVERIFY(main_->close());
    QVERIFY(messages_->messages.empty());
}

void TstCadastros::oneHighlightedBox() {
    QVERIFY(open("Cadastro_de_Fornecedor"));
    auto highlighted = [this] {
        QStringList names;
        for (QWidget* w : screen_->findChildren<QWidget*>())
            if (TFrmPrincipal::recebeRealce(w) &&
                w->palette().color(QPalette::Base) == TFrmPrincipal::corRealce())
                names << w->objectName();
        return names;
    };
    screen_->Inserir();
    QTRY_COMPARE(highlighted(), QStringList{QStringLiteral("edit_NOME")});
    edit("NOME")->setText(QStringLiteral("SANTOS"));
    // The box loses the focus by being disabled under it.
    edit("CIDADE")->setFocus();
    QTRY_COMPARE(highlighted(), QStringList{QStringLiteral("edit_CIDADE")});
    screen_->findChild<QWidget*>(QStringLiteral("Painel_Dados"))->setEnabled(false);
    QTRY_VERIFY(highlighted().isEmpty());
    screen_->findChild<QWidget*>(QStringLiteral("Painel_Dados"))->setEnabled(true);
    screen_->Gravar();
    screen_->Alterar();
    QTRY_COMPARE(highlighted(), QStringList{QStringLiteral("edit_NOME")});
}

void TstCadastros::supplierChangedOnAnotherWorkstation() {
    db_->execute(QStringLiteral(
        "INSERT INTO FORNECEDOR (CDFORNECEDOR, NOME, CIDADE) VALUES (1, 'SANTOS', 'CASCAVEL')"));
    QVERIFY(open("Cadastro_de_Fornecedor"));
    screen_->Alterar();
    edit("NOME")->setText(QStringLiteral("SANTOS E FILHOS"));
    // Meanwhile another workstation renames the same supplier.
    auto other = t_->connect();
    {
        fb::Transaction tr(*other);
        tr.executeImmediate(
            QStringLiteral("UPDATE FORNECEDOR SET NOME = 'SANTOS LTDA' WHERE CDFORNECEDOR = 1"));
        tr.commit();
    }
    screen_->Gravar();
    QCOMPARE(messages_->last(), MensagemRegistroAlterado());
    // Nothing overwritten; the typing is still there, in edit.
    QCOMPARE(db_->value(QStringLiteral("SELECT NOME FROM FORNECEDOR")).toString(),
             QStringLiteral("SANTOS LTDA"));
    QVERIFY(EmEdicao(screen_->dataSet()));
    QCOMPARE(edit("NOME")->text(), QStringLiteral("SANTOS E FILHOS"));
    // Cancelling shows the supplier as it is now, and a new edit of it saves.
    screen_->Cancelar();
    QCOMPARE(edit("NOME")->text(), QStringLiteral("SANTOS LTDA"));
    screen_->Alterar();
    edit("CIDADE")->setText(QStringLiteral("TOLEDO"));
    screen_->Gravar();
    QVERIFY2(!EmEdicao(screen_->dataSet()), qPrintable(messages_->last()));
    QCOMPARE(db_->value(QStringLiteral("SELECT NOME || '/' || CIDADE FROM FORNECEDOR")).toString(),
             QStringLiteral("SANTOS LTDA/TOLEDO"));
}

int main(int argc, char** argv) {
    TesourariaApplication app(argc, argv);
    TstCadastros test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_cadastros.moc"
