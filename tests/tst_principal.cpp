// The main window: menu, single instance of each screen, closing rule, focus
// colours, history rows and the application-wide error box.

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QtTest>

#include "app/UPrincipal.h"
#include "app/aplicacao.h"
#include "kit/core/messages.h"
#include "testdb.h"

class TstPrincipal : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void menuEntries_data();
    void menuEntries();
    void menuTree();
    void statusBarAndUserLabels();
    void oneInstancePerScreen();
    void modalDialogsToo();
    void closingRule();
    void focusColours();
    void historyRows();
    void requiredFieldsNotice();
    void errorBox();
    void noEnabledMasterUserRefusesToStart_data();
    void noEnabledMasterUserRefusesToStart();

private:
    std::unique_ptr<TestDatabase> t_;
    std::unique_ptr<kit::Database> db_;
    TFrmPrincipal* main_ = nullptr;
    kit::RecordingMessageService* messages_ = nullptr;
};

void TstPrincipal::initTestCase() {
    QVERIFY_DB(t_ = TestDatabase::embedded());
    db_ = t_->database();
    messages_ = recordMessages();
}

void TstPrincipal::init() {
    messages_->clear();
    main_ = new TFrmPrincipal(*db_);
    main_->show();
    QVERIFY(QTest::qWaitForWindowExposed(main_));
}

void TstPrincipal::cleanup() {
    main_->mdiArea()->closeAllSubWindows();
    delete main_;
    main_ = nullptr;
}

void TstPrincipal::menuEntries_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("grupos") << "Manutencao_de_Grupos"
                            << "Manutenção de Grupos"
                            << "" << false;
    QTest::newRow("usuarios") << "Manutencao_de_Usuarios"
                              << "Manutenção de Usuários       "
                              << "" << false;
    QTest::newRow("recurso") << "Cadastro_de_Recurso"
                             << "Recurso                       "
                             << "" << false;
    QTest::newRow("funcionarios") << "FuncionarioDiarias"
                                  << "Funcionarios"
                                  << "" << false;
    QTest::newRow("lancamentos") << "Impressao_de_cheques_e_Lancamentos"
                                 << "Impressão de Cheques - Manutenção de Lançamentos             "
                                 << "Ctrl+L" << false;
    QTest::newRow("empenhos") << "Manutencao_de_Empenhos"
                              << "Manutenção de Empenhos"
                              << "Ctrl+E" << false;
    QTest::newRow("relatorios") << "Relatorios"
                                << "Relatórios  "
                                << "" << true;
    QTest::newRow("notas a enviar") << "Notas_a_Enviar_Contabilidade"
                                    << "Notas a Enviar Contabilidade (C. Interno)"
                                    << "" << false;
    QTest::newRow("grafico") << "Garfico_Comparativo_Analitico"
                             << "Gráfico Comparativo Analítico"
                             << "" << false;
    QTest::newRow("equipe") << "Equipe"
                            << "Equipe de Desenvolvimento           "
                            << "" << true;
    QTest::newRow("sair") << "Sair_"
                          << "Sair"
                          << "" << true;
}

void TstPrincipal::menuEntries() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    QFETCH(bool, enabled);
    QAction* a = main_->findChild<QAction*>(name);
    QVERIFY2(a, qPrintable(name));
    QCOMPARE(a->text(), caption);
    QCOMPARE(a->shortcut().toString(), shortcut);
    QCOMPARE(a->isEnabled(), enabled);
}

void TstPrincipal::menuTree() {
    const QStringList top = {"Controle_de_Acesso", "Cadastros_Base", "Movimento", "Relatorios",
                             "Configuracao",       "Sabre",          "Sair"};
    QStringList names;
    for (QAction* a : main_->menuBar()->actions()) names << a->objectName();
    QCOMPARE(names, top);
    auto childrenOf = [&](const char* menu) {
        QStringList out;
        for (QAction* a : main_->findChild<QMenu*>(QLatin1String(menu))->actions())
            if (!a->isSeparator())
                out << a->objectName();
        return out;
    };
    QCOMPARE(childrenOf("Cadastros_Base"),
             (QStringList{"Cadastro_de_Recurso", "Cadastro_de_Atividade", "Cadastro_de_Fornecedor",
                          "Cadastro_de_Localidade_Empenho", "Cadastro_de_Modalidade_Empenho",
                          "Secretarias1", "FuncionarioDiarias", "Cadastro_da_Prefeitura"}));
    QCOMPARE(
        childrenOf("Relatorio_da_Tesouraria"),
        (QStringList{"Lancamentos_por_Fornecedor", "Lancamentos_por_Atividade",
                     "Lancamentos_por_Recursos", "Lancamentos_Analitico", "Saldo_de_Recursos"}));
    QCOMPARE(childrenOf("Movimento").size(), 10);
    QCOMPARE(childrenOf("Graficos").size(), 7);
    // Separators are named N1 to N18.
    int separators = 0;
    for (QAction* a : main_->findChildren<QAction*>())
        if (a->isSeparator()) {
            ++separators;
            QVERIFY(QRegularExpression(QStringLiteral("^N([1-9]|1[0-8])$"))
                        .match(a->objectName())
                        .hasMatch());
        }
    QCOMPARE(separators, 18);
    QCOMPARE(main_->windowTitle(), QStringLiteral("qxTALOR"));
}

void TstPrincipal::statusBarAndUserLabels() {
    QStringList panels;
    for (QLabel* l : main_->statusBar()->findChildren<QLabel*>()) panels << l->text();
    QCOMPARE(panels,
             (QStringList{"Utilize as seguintes Teclas de Atalho p/ as operações", "<F4> Inserir",
                          "<F5> Alterar", "<F6> Deletar", "<F7> Gravar", "<F8> Cancelar", ""}));
    QVERIFY(!main_->findChild<QLabel*>(QStringLiteral("lb_nome"))->isVisible());
    main_->contexto().usuario.nome = QStringLiteral("ADMINISTRADOR");
    main_->MostraUsuarioLogado();
    QCOMPARE(main_->findChild<QLabel*>(QStringLiteral("lb_nome"))->text(),
             QStringLiteral("Usuário:  "));
    QCOMPARE(main_->findChild<QLabel*>(QStringLiteral("Lb_nome1"))->text(),
             QStringLiteral("» ADMINISTRADOR"));
    QCOMPARE(main_->findChild<QLabel*>(QStringLiteral("lb_logado"))->text(),
             QStringLiteral("Logado Desde: "));
    QVERIFY(QRegularExpression(QStringLiteral("^» \\d\\d:\\d\\d  \\d\\d/\\d\\d/\\d\\d$"))
                .match(main_->findChild<QLabel*>(QStringLiteral("Lb_logado1"))->text())
                .hasMatch());
    QVERIFY(main_->findChild<QLabel*>(QStringLiteral("image_GR"))->isVisible());
    // The shared rows are open for the whole run.
    QVERIFY(main_->tb_geral().isActive());
    QCOMPARE(main_->tb_geral().value(QStringLiteral("CDGERAL")).toInt(), 1);
    QVERIFY(main_->tb_Empresa().isActive());
}

void TstPrincipal::oneInstancePerScreen() {
    int created = 0;
    main_->registerScreen(QStringLiteral("Cadastro_de_Recurso"), TFrmPrincipal::ScreenKind::Child,
                          [&](TFrmPrincipal&) {
                              ++created;
                              auto* w = new QWidget;
                              w->setObjectName(QStringLiteral("FrmTeste"));
                              return w;
                          });
    QAction* entry = main_->findChild<QAction*>(QStringLiteral("Cadastro_de_Recurso"));
    QVERIFY(entry->isEnabled());
    entry->trigger();
    QWidget* first = main_->screenInstance(QStringLiteral("Cadastro_de_Recurso"));
    QVERIFY(first);
    entry->trigger();
    QCOMPARE(created, 1);
    QCOMPARE(main_->mdiArea()->subWindowList().size(), 1);
    QCOMPARE(main_->mdiArea()->activeSubWindow()->widget(), first);
    // Closed, it is freed; the next click makes a fresh one.
    main_->mdiArea()->subWindowList().first()->close();
    QTRY_VERIFY(!main_->screenInstance(QStringLiteral("Cadastro_de_Recurso")));
    entry->trigger();
    QCOMPARE(created, 2);
}

void TstPrincipal::modalDialogsToo() {
    int created = 0;
    QPointer<QDialog> shown;
    main_->registerScreen(QStringLiteral("Configuracao_Backup"), TFrmPrincipal::ScreenKind::Modal,
                          [&](TFrmPrincipal& m) {
                              ++created;
                              auto* d = new QDialog(&m);
                              shown = d;
                              QTimer::singleShot(0, d, [d] { d->accept(); });
                              return static_cast<QWidget*>(d);
                          });
    main_->openScreen(QStringLiteral("Configuracao_Backup"));
    QCOMPARE(created, 1);
    QTRY_VERIFY(shown.isNull());  // freed when it closed
    main_->openScreen(QStringLiteral("Configuracao_Backup"));
    QCOMPARE(created, 2);
}

void TstPrincipal::closingRule() {
    main_->registerScreen(QStringLiteral("Cadastro_de_Atividade"), TFrmPrincipal::ScreenKind::Child,
                          [](TFrmPrincipal&) { return new QWidget; });
    main_->openScreen(QStringLiteral("Cadastro_de_Atividade"));
    main_->findChild<QAction*>(QStringLiteral("Sair_"))->trigger();
    QVERIFY(main_->isVisible());
    QCOMPARE(messages_->messages.size(), size_t(1));
    QCOMPARE(messages_->messages[0].kind, kit::MessageService::Kind::Information);
    QCOMPARE(messages_->last(),
             QStringLiteral("ATENÇÃO : Existe(m) uma ou mais janelas abertas no momento !!!\n"
                            "Feche todas as janelas antes de encerrar a execução do Sistema ?"));
    main_->mdiArea()->closeAllSubWindows();
    QTRY_VERIFY(main_->mdiArea()->subWindowList().isEmpty());
    QVERIFY(main_->close());
    QVERIFY(!main_->isVisible());
    QCOMPARE(FrmPrincipal, nullptr);
}

void TstPrincipal::focusColours() {
    auto* screen = new QWidget;
    auto* layout = new QVBoxLayout(screen);
    auto* edit1 = new QLineEdit(screen);
    auto* edit2 = new QLineEdit(screen);
    auto* date = new QDateEdit(screen);
    auto* combo = new QComboBox(screen);
    combo->setEditable(true);
    auto* button = new QPushButton(QStringLiteral("Gravar"), screen);
    auto* memo = new QTextEdit(screen);
    auto* grid = new QTableView(screen);
    for (QWidget* w :
         std::initializer_list<QWidget*>{edit1, edit2, date, combo, button, memo, grid})
        layout->addWidget(w);
    main_->registerScreen(QStringLiteral("Cadastro_de_Fornecedor"),
                          TFrmPrincipal::ScreenKind::Child,
                          [screen](TFrmPrincipal&) { return screen; });
    main_->openScreen(QStringLiteral("Cadastro_de_Fornecedor"));
    QVERIFY(QTest::qWaitForWindowActive(main_));
    const QColor buttonBase = button->palette().color(QPalette::Base);
    const QColor memoBase = memo->palette().color(QPalette::Base);
    auto base = [](QWidget* w) { return w->palette().color(QPalette::Base); };
    const QColor yellow(0xFF, 0xFF, 0xB0);

    edit1->setFocus();
    QTRY_COMPARE(base(edit1), yellow);
    edit2->setFocus();
    QTRY_COMPARE(base(edit2), yellow);
    QCOMPARE(base(edit1), QColor(Qt::white));
    date->setFocus();
    QTRY_COMPARE(base(date), yellow);
    QCOMPARE(base(edit2), QColor(Qt::white));
    combo->setFocus();
    QTRY_COMPARE(base(combo), yellow);
    button->setFocus();
    QTRY_VERIFY(button->hasFocus());
    QCOMPARE(base(combo), QColor(Qt::white));
    QCOMPARE(base(button), buttonBase);
    memo->setFocus();
    grid->setFocus();
    QTRY_VERIFY(grid->hasFocus());
    QCOMPARE(base(memo), memoBase);
    QVERIFY(!TFrmPrincipal::recebeRealce(grid));
    QVERIFY(!TFrmPrincipal::recebeRealce(memo));
}

void TstPrincipal::historyRows() {
    main_->contexto().usuario.codigo = 1;
    db_->execute(QStringLiteral("INSERT INTO RECURSO (CDRECURSO, NOME) VALUES (1, 'MOVIMENTO')"));
    db_->execute(
        QStringLiteral("INSERT INTO LANCAMENTO (CDLANCAMENTO, DATA, TIPO, VALOR, CDRECURSO) VALUES "
                       "(77, CURRENT_DATE, 'D', 1, 1)"));
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    main_->RegistraHistorico(QStringLiteral("L"), 77);
    main_->RegistraHistorico(QStringLiteral("L"), 77);
    kit::DataSet h(db_.get());
    h.setSql(QStringLiteral("SELECT * FROM HISTORICOUSUARIO ORDER BY CDHISTORICO"));
    h.open();
    QCOMPARE(h.recordCount(), 2);
    QCOMPARE(h.text(QStringLiteral("TIPO")), QStringLiteral("L"));
    QCOMPARE(h.value(QStringLiteral("CDUSUARIO")).toInt(), 1);
    QCOMPARE(h.value(QStringLiteral("CDLANC")).toInt(), 77);
    QCOMPARE(h.value(QStringLiteral("DATA")).toDate(), QDate::currentDate());
    QVERIFY(h.value(QStringLiteral("HORA")).toDateTime() >= before);
    QVERIFY(h.valueAt(1, QStringLiteral("CDHISTORICO")).toInt() !=
            h.valueAt(0, QStringLiteral("CDHISTORICO")).toInt());
    // The entry may still be deleted: the history keeps its code.
    db_->execute(QStringLiteral("DELETE FROM LANCAMENTO WHERE CDLANCAMENTO = 77"));
    QVERIFY(messages_->messages.empty());
}

void TstPrincipal::requiredFieldsNotice() {
    main_->AvisoCamposObrigatorios(QStringLiteral("Data, Valor, Atividade ou Tipo"));
    QCOMPARE(messages_->messages[0].kind, kit::MessageService::Kind::Information);
    QCOMPARE(messages_->last(),
             QStringLiteral("Peencha os campos! (Data, Valor, Atividade ou Tipo)"));
}

void TstPrincipal::errorBox() {
    // An error escaping an event handler reaches the error box, not the end of the program.
    auto* button = new QPushButton(main_);
    connect(button, &QPushButton::clicked,
            [] { throw fb::Error(QStringLiteral("falha de teste")); });
    auto* app = static_cast<TesourariaApplication*>(qApp);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    button->show();
    app->notify(button, &press);
    app->notify(button, &release);
    QCOMPARE(messages_->messages.size(), size_t(1));
    QCOMPARE(messages_->messages[0].kind, kit::MessageService::Kind::Error);
    QVERIFY(
        messages_->last().startsWith(QStringLiteral("falha de teste\n\n   Suporte técnico: \n")));
}

void TstPrincipal::noEnabledMasterUserRefusesToStart_data() {
    QTest::addColumn<QString>("change");
    QTest::newRow("desabilitado") << "UPDATE USUARIO SET HABILITADO = 'N'";
    QTest::newRow("nenhum master") << "UPDATE USUARIO SET MARTER = 'N'";
    QTest::newRow("nenhum usuário") << "DELETE FROM USUARIO";
}

void TstPrincipal::noEnabledMasterUserRefusesToStart() {
    // Until the login exists the program works as the first enabled master user;
    // without one every save would fail, so it says so and does not start.
    QFETCH(QString, change);
    auto t = TestDatabase::embedded();
    t->database()->execute(change);
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("ZELTESOURARIA.INI"));
    QFile f(ini);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[DADOS]\nSERVIDOR=" + t->params().database.toUtf8() + "\n");
    f.close();
    const QList<QWidget*> before = QApplication::topLevelWidgets();
    const int status = ExecutaPrograma(*static_cast<TesourariaApplication*>(qApp), {}, ini);
    QCOMPARE(status, 1);
    QCOMPARE(messages_->messages.size(), size_t(1));
    QCOMPARE(messages_->messages[0].kind, kit::MessageService::Kind::Error);
    QVERIFY2(messages_->last().contains(QStringLiteral("nenhum usuário master habilitado")),
             qPrintable(messages_->last()));

    for (QWidget* w : QApplication::topLevelWidgets())
        QVERIFY(before.contains(w) || !qobject_cast<TFrmPrincipal*>(w));
}

int main(int argc, char** argv) {
    TesourariaApplication app(argc, argv);
    TstPrincipal test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_principal.moc"
