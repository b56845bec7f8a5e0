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
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

#include "app/UPrincipal.h"
#include "app/aplicacao.h"
#include "app/telas.h"
#include "kit/core/messages.h"
#include "kit/ui/widgets/editors.h"
#include "screens/base/UManutencao.h"
#include "screens/registries/UCadEmpresa.h"
#include "screens/treasury/UCadRapido.h"
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
    void menuTable_data();
    void menuTable();
    void closeRoutes_data();
    void closeRoutes();
    void oneHighlight_data();
    void oneHighlight();
    void highlightOnARegistryScreen();
    void layoutGeometry();
    void quickAddBoxes_data();
    void quickAddBoxes();
    void companyNameWidth();
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

namespace {

struct MenuRow {
    const char* name;
    const char* caption;
    const char* parent;  // null: the menu bar
    const char* shortcut;
    bool submenu;
};

// The main menu as the operator must find it, in order (separators apart).
const MenuRow kMenuTable[] = {
    {"Controle_de_Acesso", "Controle de Acesso", nullptr, "", true},
    {"Manutencao_de_Grupos", "Manutenção de Grupos", "Controle_de_Acesso", "", false},
    {"Manutencao_de_Usuarios", "Manutenção de Usuários       ", "Controle_de_Acesso", "", false},
    {"Configura_Acesso_usuario", "Configura Acesso Usuário", "Controle_de_Acesso", "", false},
    {"Cadastros_Base", "Cadastros Base", nullptr, "", true},
    {"Cadastro_de_Recurso", "Recurso                       ", "Cadastros_Base", "", false},
    {"Cadastro_de_Atividade", "Atividade", "Cadastros_Base", "", false},
    {"Cadastro_de_Fornecedor", "Fornecedor", "Cadastros_Base", "", false},
    {"Cadastro_de_Localidade_Empenho", "Localidade Empenho", "Cadastros_Base", "", false},
    {"Cadastro_de_Modalidade_Empenho", "Modalidade Empenho", "Cadastros_Base", "", false},
    {"Secretarias1", "Secretarias", "Cadastros_Base", "", false},
    {"FuncionarioDiarias", "Funcionarios", "Cadastros_Base", "", false},
    {"Cadastro_da_Prefeitura", "Cadastro da Prefeitura", "Cadastros_Base", "", false},
    {"Movimento", "Lançamentos", nullptr, "", true},
    {"Impressao_de_cheques_e_Lancamentos",
     "Impressão de Cheques - Manutenção de Lançamentos             ", "Movimento", "Ctrl+L", false},
    {"Lancamentos_de_Despesas_Bancarias", "Lançamentos de Despesas Bancarias", "Movimento", "",
     false},
    {"Lancamento_de_Creditos_Bancarios", "Lançamentos de Creditos Bancarios", "Movimento", "",
     false},
    {"Lancamentos_de_Transferencias_Bancarias", "Lançamentos de Transferencias Bancarias",
     "Movimento", "", false},
    {"Baixa_de_Lancamentos_do_Recursos", "Conciliação Bancaria", "Movimento", "", false},
    {"Manutencao_de_Empenhos", "Manutenção de Empenhos", "Movimento", "Ctrl+E", false},
    {"ManutenodeContratos1", "Manutenção de Contratos", "Movimento", "", false},
    {"Manutencao_de_Notas", "Manutenção de Notas", "Movimento", "", false},
    {"Manutencao_de_Avisos", "Manutenção de Avisos", "Movimento", "", false},
    {"Solicitacao_de_Diarias", "Solicitação de Diarias", "Movimento", "", false},
    {"Relatorios", "Relatórios  ", nullptr, "", true},
    {"Relatorio_da_Tesouraria", "Tesouraria", "Relatorios", "", true},
    {"Lancamentos_por_Fornecedor", "Lançamentos por Fornecedor", "Relatorio_da_Tesouraria", "",
     false},
    {"Lancamentos_por_Atividade", "Lançamentos por Atividade", "Relatorio_da_Tesouraria", "",
     false},
    {"Lancamentos_por_Recursos", "Lançamentos por Recurso", "Relatorio_da_Tesouraria", "", false},
    {"Lancamentos_Analitico", "Lançamentos Analítico", "Relatorio_da_Tesouraria", "", false},
    {"Saldo_de_Recursos", "Saldo de Recursos", "Relatorio_da_Tesouraria", "", false},
    {"Relatorio_Pagamentos_por_Fornecedor", "Pagamentos por Fornecedor", "Relatorios", "", false},
    {"Relatorio_de_Empenhos_e_Contratos", "Empenhos/Contratos", "Relatorios", "", false},
    {"Relatorio_de_Notas_Com_Pendencias", "Notas Com Pendências", "Relatorios", "", false},
    {"Relatorio_Recibos", "Recibos", "Relatorios", "", true},
    {"Notas_a_Enviar_Contabilidade", "Notas a Enviar Contabilidade (C. Interno)",
     "Relatorio_Recibos", "", false},
    {"Contratos_a_Enviar_Contabilidade", "Contratos a Enviar Contabilidade (C. Interno)",
     "Relatorio_Recibos", "", false},
    {"Empenhos_a_Enviar_Tesouraria", "Empenhos a Enviar Tesouraria (Contabilidade)",
     "Relatorio_Recibos", "", false},
    {"Empenhos_a_Enviar_Contabilidade", "Empenhos a Enviar Contabilidade (Tesouraria)",
     "Relatorio_Recibos", "", false},
    {"Graficos", "Gráficos", "Relatorios", "", true},
    {"Garfico_Comparativo_de_Despesas_geral", "Gráfico Comparativo de Despesas Geral", "Graficos",
     "", false},
    {"Garfico_Comparativo_de_Despesas_por_Atividade",
     "Gráfico Comparativo de Despesas por Atividade", "Graficos", "", false},
    {"Garfico_Comparativo_de_Despesas_por_Fornecedor",
     "Gráfico Comparativo de Despesas por Fornecedor", "Graficos", "", false},
    {"Garfico_Comparativo_de_Despesas_por_Recurso", "Gráfico Comparativo de Despesas por Recurso",
     "Graficos", "", false},
    {"Garfico_Comparativo_de_Receitas_por_Recurso", "Gráfico Comparativo de Receitas por Recurso",
     "Graficos", "", false},
    {"Garfico_Comparativo_de_Receitas", "Gráfico Comparativo de Receitas", "Graficos", "", false},
    {"Garfico_Comparativo_Analitico", "Gráfico Comparativo Analítico", "Graficos", "", false},
    {"ContasaPagar1", "Contas a Pagar", "Relatorios", "", false},
    {"Configuracao", "Configuração", nullptr, "", true},
    {"Configuracao_Backup", "Configuração de Backup", "Configuracao", "", false},
    {"Sabre", "Sobre", nullptr, "", true},
    {"Equipe", "Equipe de Desenvolvimento           ", "Sabre", "", false},
    {"Sair", "Sair", nullptr, "", true},
    {"Sair_", "Sair", "Sair", "", false},
};

// The entries (separators apart) of a submenu, or of the menu bar.
QList<QAction*> entriesOf(TFrmPrincipal* main, const QString& parent) {
    const QList<QAction*> all =
        parent.isEmpty() ? main->menuBar()->actions() : main->findChild<QMenu*>(parent)->actions();
    QList<QAction*> out;
    for (QAction* a : all)
        if (!a->isSeparator())
            out << a;
    return out;
}

int yellowBoxes(QWidget* root, QWidget** which = nullptr) {
    int n = 0;
    for (QWidget* w : root->findChildren<QWidget*>())
        if (TFrmPrincipal::recebeRealce(w) &&
            w->palette().color(QPalette::Base) == TFrmPrincipal::corRealce()) {
            ++n;
            if (which)
                *which = w;
        }
    return n;
}

// True when the box shows the text whole, without scrolling it.
bool showsWhole(QLineEdit* box, const QString& text) {
    box->setText(text);
    box->home(false);
    (void)box->grab();
    const int start = box->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
    box->end(false);
    (void)box->grab();
    const int end = box->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
    const int advance = box->fontMetrics().horizontalAdvance(text);
    return std::abs(end - start - advance) <= 2 && end < box->width();
}

}  // namespace

void TstPrincipal::menuTable_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<int>("position");  // among the entries of its menu
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<bool>("submenu");
    QHash<QString, int> next;
    int rows = 0;
    for (const MenuRow& r : kMenuTable) {
        const QString parent = r.parent ? QString::fromLatin1(r.parent) : QString();
        QTest::newRow(r.name) << QString::fromLatin1(r.name) << QString::fromUtf8(r.caption)
                              << parent << next[parent]++ << QString::fromLatin1(r.shortcut)
                              << r.submenu;
        ++rows;
    }
    QCOMPARE(rows, 54);
}

void TstPrincipal::menuTable() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, parent);
    QFETCH(int, position);
    QFETCH(QString, shortcut);
    QFETCH(bool, submenu);
    const QList<QAction*> siblings = entriesOf(main_, parent);
    QVERIFY2(position < siblings.size(), qPrintable(parent));
    QAction* a = siblings.at(position);
    QCOMPARE(a->objectName(), name);
    QCOMPARE(a->text(), caption);
    QCOMPARE(a->shortcut().toString(), shortcut);
    QCOMPARE(a->menu() != nullptr, submenu);
    if (submenu)
        QCOMPARE(a->menu()->objectName(), name);
    // Nothing more in a menu than the table says.
    int inTable = 0;
    for (const MenuRow& r : kMenuTable)
        if (QString::fromLatin1(r.parent ? r.parent : "") == parent)
            ++inTable;
    QCOMPARE(siblings.size(), inTable);
}

void TstPrincipal::closeRoutes_data() {
    QTest::addColumn<QString>("route");
    QTest::addColumn<bool>("refuse");  // the screen is editing and the guard is answered No
    for (const char* route :
         {"Sair", "Abandonar", "caixa de fechar", "menu da janela", "fechar janela ativa"}) {
        QTest::newRow(route) << QString::fromLatin1(route) << false;
        QTest::newRow(qPrintable(QStringLiteral("%1, recusado").arg(QLatin1String(route))))
            << QString::fromLatin1(route) << true;
    }
}

void TstPrincipal::closeRoutes() {
    QFETCH(QString, route);
    QFETCH(bool, refuse);
    RegistraTelas(*main_);
    const QString entry = QStringLiteral("Cadastro_de_Atividade");
    auto open = [&] {
        main_->findChild<QAction*>(entry)->trigger();
        return qobject_cast<TFrmManutencao*>(main_->screenInstance(entry));
    };
    QPointer<TFrmManutencao> screen = open();
    QVERIFY(screen);
    QCOMPARE(main_->mdiArea()->subWindowList().size(), 1);
    QPointer<QMdiSubWindow> frame = main_->mdiArea()->subWindowList().first();
    auto close = [&] {
        if (route == QLatin1String("Sair")) {
            screen->mostraCadastro();
            screen->findChild<QPushButton*>(QStringLiteral("Sair"))->click();
        } else if (route == QLatin1String("Abandonar")) {
            if (!screen->dataSet().isEditing())  // else the tab guard asks first
                screen->mostraConsulta();
            screen->findChild<QPushButton*>(QStringLiteral("Abandonar"))->click();
        } else if (route == QLatin1String("caixa de fechar")) {
            frame->close();
        } else if (route == QLatin1String("menu da janela")) {
            for (QAction* a : frame->systemMenu()->actions())
                if (a->shortcut() == QKeySequence(QKeySequence::Close) ||
                    a->text().contains(QLatin1String("Close")) ||
                    a->text().contains(QLatin1String("Fechar")))
                    a->trigger();
        } else {
            main_->mdiArea()->setActiveSubWindow(frame);
            main_->mdiArea()->closeActiveSubWindow();
        }
    };
    if (refuse) {
        screen->Inserir();
        messages_->answer(false);
        close();
        QTest::qWait(20);
        QVERIFY(screen);
        QVERIFY(frame);
        QCOMPARE(main_->mdiArea()->subWindowList().size(), 1);
        QVERIFY(screen->dataSet().isEditing());  // the change is still there
        QCOMPARE(frame->widget(), screen.data());
        screen->Cancelar();
    }
    messages_->clear();
    close();
    QTRY_VERIFY(!screen);
    QTRY_VERIFY(!frame);
    QVERIFY(main_->mdiArea()->subWindowList().isEmpty());
    // Reopened: one frame, one screen.
    screen = open();
    QVERIFY(screen);
    QCOMPARE(main_->mdiArea()->subWindowList().size(), 1);
    frame = main_->mdiArea()->subWindowList().first();
    close();
    QTRY_VERIFY(!frame);
    // And the program may end.
    QVERIFY(main_->close());
    QVERIFY(messages_->messages.empty());
}

void TstPrincipal::oneHighlight_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("painel desabilitado") << "panel";
    QTest::newRow("caixa desabilitada") << "box";
    QTest::newRow("foco retirado") << "clear";
    QTest::newRow("caixa escondida") << "hide";
    QTest::newRow("outra caixa") << "other";
}

void TstPrincipal::oneHighlight() {
    QFETCH(QString, how);
    auto* screen = new QWidget;
    auto* layout = new QVBoxLayout(screen);
    auto* panel = new QFrame(screen);
    auto* pl = new QVBoxLayout(panel);
    auto* edit1 = new QLineEdit(panel);
    auto* edit2 = new QLineEdit(panel);
    pl->addWidget(edit1);
    pl->addWidget(edit2);
    auto* outside = new QLineEdit(screen);
    layout->addWidget(panel);
    layout->addWidget(outside);
    main_->registerScreen(QStringLiteral("Cadastro_de_Fornecedor"),
                          TFrmPrincipal::ScreenKind::Child,
                          [screen](TFrmPrincipal&) { return screen; });
    main_->openScreen(QStringLiteral("Cadastro_de_Fornecedor"));
    QVERIFY(QTest::qWaitForWindowActive(main_));
    edit1->setFocus();
    QTRY_VERIFY(edit1->hasFocus());
    QWidget* yellow = nullptr;
    QCOMPARE(yellowBoxes(screen, &yellow), 1);
    QCOMPARE(yellow, edit1);
    if (how == QLatin1String("panel"))
        panel->setEnabled(false);
    else if (how == QLatin1String("box"))
        edit1->setEnabled(false);
    else if (how == QLatin1String("clear"))
        edit1->clearFocus();
    else if (how == QLatin1String("hide"))
        edit1->hide();
    else
        outside->setFocus();
    QApplication::processEvents();
    QWidget* focused = QApplication::focusWidget();
    yellow = nullptr;
    const int n = yellowBoxes(screen, &yellow);
    if (focused && TFrmPrincipal::recebeRealce(focused) && focused->isEnabled()) {
        QCOMPARE(n, 1);
        QCOMPARE(yellow, focused);
    } else {
        QCOMPARE(n, 0);
    }
    QCOMPARE(edit1->palette().color(QPalette::Base), QColor(Qt::white));
}

void TstPrincipal::highlightOnARegistryScreen() {
    RegistraTelas(*main_);
    db_->execute(QStringLiteral("INSERT INTO ATIVIDADE (CDATIVIDADE, NOME) VALUES (1, 'UM')"));
    main_->findChild<QAction*>(QStringLiteral("Cadastro_de_Atividade"))->trigger();
    auto* screen = qobject_cast<TFrmManutencao*>(
        main_->screenInstance(QStringLiteral("Cadastro_de_Atividade")));
    QVERIFY(screen);
    QVERIFY(QTest::qWaitForWindowActive(main_));
    auto check = [&](const char* step) {
        QWidget* focused = QApplication::focusWidget();
        QWidget* yellow = nullptr;
        const int n = yellowBoxes(screen, &yellow);
        const bool expected =
            focused && TFrmPrincipal::recebeRealce(focused) && screen->isAncestorOf(focused);
        QVERIFY2(n == (expected ? 1 : 0), step);
        if (expected)
            QVERIFY2(yellow == focused, step);
    };
    // Edit, save, edit again, cancel, insert, cancel: never more than the focused box.
    screen->mostraCadastro();
    screen->Alterar();
    check("F5");
    screen->Gravar();
    check("F7");
    screen->Alterar();
    check("F5 de novo");
    screen->Cancelar();
    check("F8");
    screen->Inserir();
    check("F4");
    screen->Cancelar();
    check("F8 de novo");
    screen->close();
}

void TstPrincipal::layoutGeometry() {
    main_->showNormal();
    main_->resize(800, 600);  // not maximised: as narrow as the window may be
    RegistraTelas(*main_);
    main_->contexto().usuario.nome = QStringLiteral("ADMINISTRADOR");
    main_->MostraUsuarioLogado();
    QApplication::processEvents();
    QMenuBar* bar = main_->menuBar();
    // Every top-level entry in the bar, none in an overflow.
    auto noOverflow = [bar] {
        auto* more = bar->findChild<QToolButton*>(QStringLiteral("qt_menubar_ext_button"));
        return !more || !more->isVisible();
    };
    QVERIFY(noOverflow());
    for (QAction* a : bar->actions()) {
        const QRect g = bar->actionGeometry(a);
        QVERIFY2(!g.isEmpty() && bar->rect().contains(g), qPrintable(a->objectName()));
    }
    // The user labels show, also with a maximised child.
    main_->findChild<QAction*>(QStringLiteral("Cadastro_de_Atividade"))->trigger();
    main_->mdiArea()->subWindowList().first()->showMaximized();
    QApplication::processEvents();
    for (const char* name : {"lb_nome", "Lb_nome1", "lb_logado", "Lb_logado1", "image_GR"}) {
        auto* l = main_->findChild<QLabel*>(QLatin1String(name));
        QVERIFY2(l->isVisible() && !l->visibleRegion().isEmpty(), name);
        const QRect g(l->mapTo(main_, QPoint(0, 0)), l->size());
        QVERIFY2(main_->rect().contains(g), name);
        if (!l->text().isEmpty())
            QVERIFY2(l->contentsRect().width() >= l->fontMetrics().horizontalAdvance(l->text()),
                     name);
    }
    for (QAction* a : bar->actions())
        if (a->menu() && !a->menu()->objectName().isEmpty()) {
            const QRect g = bar->actionGeometry(a);
            QVERIFY2(!g.isEmpty() && bar->rect().contains(g), qPrintable(a->objectName()));
        }
    QVERIFY(noOverflow());
    main_->mdiArea()->subWindowList().first()->close();
    QTRY_VERIFY(main_->mdiArea()->subWindowList().isEmpty());
    // The background whole and centred in the client area.
    QWidget* client = main_->mdiArea()->viewport();
    const QRect bg = main_->backgroundRect();
    QVERIFY(!bg.isEmpty());
    QVERIFY(client->rect().contains(bg));
    QVERIFY(std::abs(bg.center().x() - client->rect().center().x()) <= 1);
    QVERIFY(std::abs(bg.center().y() - client->rect().center().y()) <= 1);
    QVERIFY(bg.width() == client->width() || bg.height() == client->height());
    // The key panels side by side, each at least its width and as wide as its text.
    QList<QLabel*> panels;
    for (int i = 0; i < 7; ++i)
        panels << main_->statusBar()->findChild<QLabel*>(
            QStringLiteral("StatusBar1_Panel%1").arg(i));
    const int atLeast[] = {330, 90, 90, 90, 90, 90, 50};
    for (int i = 0; i < panels.size(); ++i) {
        QLabel* p = panels[i];
        QVERIFY2(p->isVisible(), qPrintable(p->text()));
        QVERIFY2(p->width() >= atLeast[i], qPrintable(p->text()));
        QVERIFY2(p->contentsRect().width() >= p->fontMetrics().horizontalAdvance(p->text()),
                 qPrintable(p->text()));
        QVERIFY2(main_->statusBar()->rect().contains(p->geometry()), qPrintable(p->text()));
        if (i > 0)
            QVERIFY2(panels[i - 1]->geometry().right() < p->geometry().left(),
                     qPrintable(p->text()));
        QCOMPARE(p->accessibleName(), p->text());
    }
}

void TstPrincipal::quickAddBoxes_data() {
    QTest::addColumn<QString>("table");
    QTest::newRow("atividade") << "ATIVIDADE";
    QTest::newRow("recurso") << "RECURSO";
    QTest::newRow("fornecedor") << "FORNECEDOR";
}

void TstPrincipal::quickAddBoxes() {
    QFETCH(QString, table);
    kit::DataSet list(db_.get());
    list.setSql(QStringLiteral("SELECT * FROM %1").arg(table));
    list.open();
    std::unique_ptr<TFrmCadRapido> dialog;
    if (table == QLatin1String("ATIVIDADE"))
        dialog = std::make_unique<TFrmCadAtiv>(list, main_);
    else if (table == QLatin1String("RECURSO"))
        dialog = std::make_unique<TFrmCadRec>(list, main_);
    else
        dialog = std::make_unique<TFrmCadFornec>(list, main_);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    const QList<QLineEdit*> boxes = dialog->findChildren<QLineEdit*>();
    QVERIFY(boxes.size() >= 2);
    for (QLineEdit* box : boxes) {
        // Its label names it, for the eye and for a screen reader.
        QLabel* label = nullptr;
        for (QLabel* l : dialog->findChildren<QLabel*>())
            if (l->buddy() == box)
                label = l;
        QVERIFY2(label, qPrintable(box->objectName()));
        QCOMPARE(box->accessibleName(), label->text());
        // Wide enough for its longest value.
        const QString column = box->objectName().mid(5);
        const bool integer = column.startsWith(QLatin1String("CD")) || column == "AGENCIA";
        if (box->isEnabled() && !integer) {
            const int length = list.field(column).length;
            QVERIFY2(showsWhole(box, QString(length, QLatin1Char('W'))), qPrintable(column));
        }
    }
    for (QPushButton* b : dialog->findChildren<QPushButton*>())
        QCOMPARE(b->accessibleName(), b->text());
    QVERIFY(showsWhole(dialog->box(QStringLiteral("NOME")), QString(40, QLatin1Char('W'))));
    dialog->reject();
}

void TstPrincipal::companyNameWidth() {
    RegistraTelas(*main_);
    main_->findChild<QAction*>(QStringLiteral("Cadastro_da_Prefeitura"))->trigger();
    auto* screen = qobject_cast<TFrmCadEmpresa*>(
        main_->screenInstance(QStringLiteral("Cadastro_da_Prefeitura")));
    QVERIFY(screen);
    QApplication::processEvents();
    auto* name = qobject_cast<QLineEdit*>(screen->editor(QStringLiteral("NOME")));
    QVERIFY(showsWhole(name, QString(50, QLatin1Char('W'))));
    QVERIFY(showsWhole(name, QStringLiteral("Prefeitura Municipal de São José do Rio Preto - SP")));
    auto* city = qobject_cast<QLineEdit*>(screen->editor(QStringLiteral("CIDADE")));
    QVERIFY(showsWhole(city, QString(30, QLatin1Char('W'))));
    screen->close();
}

int main(int argc, char** argv) {
    TesourariaApplication app(argc, argv);
    TstPrincipal test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_principal.moc"
