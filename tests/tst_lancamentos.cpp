// The treasury entry screen, driven offscreen against a real embedded database.

#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <chrono>
#include <thread>

#include "app/UPrincipal.h"
#include "app/aplicacao.h"
#include "app/telas.h"
#include "data/U_Biblioteca.h"
#include "data/verificacao.h"
#include "kit/core/messages.h"
#include "kit/ui/widgets/editors.h"
#include "kit/ui/widgets/lookup.h"
#include "screens/treasury/UCadLancamento.h"
#include "screens/treasury/UCadRapido.h"
#include "screens/treasury/UEscolhe.h"
#include "testdb.h"

using kit::Money;

class TstLancamentos : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void openingAndChoosingAResource();
    void insertAndSave();
    void colours();
    void requiredFields();
    void invoiceBalance();
    void netValue();
    void saveClearsReconciliation();
    void refusedApplyWritesNoHistory();
    void invoiceAlreadyPosted();
    void guards();
    void quickAdd();
    void badInput();
    void databaseGoesAway();
    void typedLookups_data();
    void typedLookups();
    void typedResourceReloadsTheList();
    void oneTransactionPerSave();
    void netValueOnSaveFromInsideABox();
    void invoiceChargedMeanwhileElsewhere();
    void failedStartLeavesTheScreen();
    void boxKindsAndButtons();
    void boxesCarryTheirLabels();
    void keyboardOnlyEntry();
    void pickers_data();
    void pickers();

private:
    TFrmCadLancamento* open();
    void choose(int resource, bool insert);
    void pick(const char* box, const char* field, int code);
    void type(const char* box, const QString& text, const char* next);
    template <class W>
    W* w(const char* name) {
        return screen_->findChild<W*>(QLatin1String(name));
    }
    QPushButton* button(const char* name) { return w<QPushButton>(name); }
    int count(const QString& sql) { return db_->value(sql).toInt(); }

    std::unique_ptr<TestDatabase> t_;
    std::unique_ptr<kit::Database> db_;
    TFrmPrincipal* main_ = nullptr;
    TFrmCadLancamento* screen_ = nullptr;
    kit::RecordingMessageService* messages_ = nullptr;
};

void TstLancamentos::init() {
    QVERIFY_DB(t_ = TestDatabase::embedded());
    t_->addFixtureRows();
    db_ = t_->database();
    messages_ = recordMessages();
    main_ = new TFrmPrincipal(*db_);
    main_->contexto().usuario.codigo = 1;
    RegistraTelas(*main_);
    main_->resize(1200, 800);
    main_->show();
    QVERIFY(QTest::qWaitForWindowExposed(main_));
}

void TstLancamentos::cleanup() {
    messages_->answers.clear();
    messages_->defaultAnswer = true;
    for (QMdiSubWindow* s : main_->mdiArea()->subWindowList()) s->close();
    delete main_;
    db_.reset();
    t_.reset();
}

TFrmCadLancamento* TstLancamentos::open() {
    QAction* entry =
        main_->findChild<QAction*>(QStringLiteral("Impressao_de_cheques_e_Lancamentos"));
    if (!entry->isEnabled())
        return nullptr;
    entry->trigger();
    screen_ = qobject_cast<TFrmCadLancamento*>(
        main_->screenInstance(QStringLiteral("Impressao_de_cheques_e_Lancamentos")));
    return screen_;
}

void TstLancamentos::choose(int resource, bool insert) {
    screen_->recursoBox()->dialogHook = [resource](kit::LookupDialog& d) {
        if (d.windowTitle() != QLatin1String("Escolha o Recurso"))
            return false;
        return d.grid()->dataModel()->dataSet()->locate(QStringLiteral("CDRECURSO"), resource);
    };
    messages_->answer(insert);
    screen_->recursoBox()->showDialog();
}

void TstLancamentos::pick(const char* box, const char* field, int code) {
    auto* combo = w<kit::LookupCombo>(box);
    combo->dialogHook = [field, code](kit::LookupDialog& d) {
        return d.grid()->dataModel()->dataSet()->locate(QLatin1String(field), code);
    };
    combo->showDialog();
}

void TstLancamentos::type(const char* box, const QString& text, const char* next) {
    auto* edit = w<QLineEdit>(box);
    edit->setFocus();
    edit->setText(text);
    w<QWidget>(next)->setFocus();
}

void TstLancamentos::openingAndChoosingAResource() {
    QVERIFY(open());
    QCOMPARE(screen_->windowTitle(),
             QStringLiteral("Impressão de Cheques / Manutenção de Lançamentos"));
    QTRY_VERIFY(main_->mdiArea()->activeSubWindow()->isMaximized());
    QCOMPARE(main_->findChild<QAction*>(QStringLiteral("Impressao_de_cheques_e_Lancamentos"))
                 ->shortcut()
                 .toString(),
             QStringLiteral("Ctrl+L"));
    QCOMPARE(w<QLabel>("lbl_SaldoDia")->text(),
             QStringLiteral("SALDO DIA ") + QDate::currentDate().toString(QStringLiteral("dd/MM")) +
                 QStringLiteral(":"));
    QCOMPARE(w<QLabel>("lbl_Lancamentos")->text(), QStringLiteral("Lançamentos"));
    QCOMPARE(w<QLabel>("lbl_Cheques")->text(), QStringLiteral("Impressão de Cheque"));
    // Before any resource: the keys do nothing.
    w<QWidget>("edit_DataInicial")->setFocus();
    QTest::keyClick(w<QWidget>("edit_DataInicial"), Qt::Key_F5);
    QTest::keyClick(w<QWidget>("edit_DataInicial"), Qt::Key_F4);
    QVERIFY(messages_->messages.empty());
    QVERIFY(!button("Inserir")->isEnabled() || !w<QWidget>("Pn_Botoes")->isEnabled());

    choose(1, false);
    QCOMPARE(messages_->last(), QStringLiteral(" Deseja inserir um novo registro? "));
    QVERIFY(w<QWidget>("Pn_Botoes")->isEnabled());
    QVERIFY(button("Inserir")->isEnabled() && !button("Gravar")->isEnabled());
    QCOMPARE(w<QLabel>("lbl_Saldo")->text(), QString());  // no balance yet
    QTest::keyClick(w<QWidget>("edit_DataInicial"), Qt::Key_F4);
    QCOMPARE(messages_->last(),
             QStringLiteral("Este atalho não esta disponivel para esta operação"));
    QVERIFY(!EmEdicao(screen_->tb_lancamentoL()));
    // The same resource again reloads and asks again.
    choose(1, false);
    QCOMPARE(messages_->messages.size(), size_t(3));
}

void TstLancamentos::insertAndSave() {
    QVERIFY(open());
    db_->execute(
        QStringLiteral("INSERT INTO LANCAMENTO (CDLANCAMENTO, DATA, TIPO, VALOR, CDRECURSO) VALUES "
                       "(500, CURRENT_DATE - 1, 'C', 1000, 1)"));
    choose(1, true);
    kit::DataSet& ds = screen_->tb_lancamentoL();
    QCOMPARE(ds.state(), kit::DataSet::State::Insert);
    QVERIFY(ds.value(QStringLiteral("CDLANCAMENTO")).toInt() > 0);
    QCOMPARE(ds.text(QStringLiteral("TIPO")), QStringLiteral("D"));
    QCOMPARE(ds.value(QStringLiteral("DATA")).toDate(), QDate::currentDate());
    QCOMPARE(ds.value(QStringLiteral("CDUSUARIO")).toInt(), 1);
    QTRY_COMPARE(QApplication::focusWidget(), w<QWidget>("edit_DATA"));
    pick("edit_ATIVIDADE", "CDATIVIDADE", 1);
    pick("edit_FORNECEDOR", "CDFORNECEDOR", 1);
    type("edit_VALORBRUTO", QStringLiteral("250,00"), "edit_ISS");
    QCOMPARE(w<kit::MoneyEdit>("edit_VALOR")->value()->cents(), 25000);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F7);
    QVERIFY(!EmEdicao(ds));
    QCOMPARE(ds.recordCount(), 2);
    QCOMPARE(w<QLabel>("lbl_Saldo")->text(),
             QStringLiteral("R$ 750,00"));  // what the database keeps
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM LANCAMENTO WHERE VALOR = 250 AND LANCADO = "
                                  "'N' AND CDFORNECEDOR = 1")),
             1);
    QCOMPARE(count(QStringLiteral(
                 "SELECT COUNT(*) FROM HISTORICOUSUARIO WHERE TIPO = 'L' AND CDUSUARIO = 1")),
             1);
    // Delete it: the balance follows, no history.
    QVERIFY(ds.locate(QStringLiteral("VALOR"), QVariant::fromValue(Money::fromReais(250))));
    QTest::keyClick(w<QWidget>("wwDBGrid_Lancamentos"), Qt::Key_F6);
    QCOMPARE(messages_->last(), QStringLiteral("Deseja realmente deletar o registro ???"));
    QCOMPARE(w<QLabel>("lbl_Saldo")->text(), QStringLiteral("R$ 1.000,00"));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM HISTORICOUSUARIO")), 1);
    QVERIFY(data::verifyDerivedValues(db_->connection()).isEmpty());
}

void TstLancamentos::colours() {
    db_->execute(
        QStringLiteral("INSERT INTO LANCAMENTO (CDLANCAMENTO, DATA, TIPO, VALOR, CDRECURSO) VALUES "
                       "(1, CURRENT_DATE, 'D', 1, 1)"));
    db_->execute(
        QStringLiteral("INSERT INTO LANCAMENTO (CDLANCAMENTO, DATA, TIPO, VALOR, CDRECURSO) VALUES "
                       "(2, CURRENT_DATE, 'C', 2, 1)"));
    db_->execute(
        QStringLiteral("INSERT INTO LANCAMENTO (CDLANCAMENTO, DATA, TIPO, VALOR, CDRECURSO) VALUES "
                       "(3, CURRENT_DATE + 1, 'C', 3, 1)"));
    QVERIFY(open());
    choose(1, false);
    auto* model = w<kit::DataGrid>("wwDBGrid_Lancamentos")->model();
    QCOMPARE(model->rowCount(), 3);
    QHash<int, QColor> byCode;
    for (int r = 0; r < 3; ++r)
        byCode.insert(screen_->tb_lancamentoL().valueAt(r, QStringLiteral("CDLANCAMENTO")).toInt(),
                      model->index(r, 0).data(Qt::ForegroundRole).value<QColor>());
    QCOMPARE(byCode[1], QColor(Qt::black));
    QCOMPARE(byCode[2], QColor(Qt::blue));
    QCOMPARE(byCode[3], QColor(0x00, 0x80, 0x00));  // tomorrow: green, even as a credit
    QCOMPARE(model->headerData(4, Qt::Horizontal, Qt::DisplayRole).toString(),
             QStringLiteral("VALOR LIQUIDO"));
    QCOMPARE(model->index(0, 4).data().toString(), QStringLiteral("1"));  // ",0.##"
}

void TstLancamentos::requiredFields() {
    QVERIFY(open());
    choose(1, true);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F7);  // no activity
    QCOMPARE(messages_->last(),
             QStringLiteral("Peencha os campos! (Data, Valor, Atividade ou Tipo)"));
    QVERIFY(EmEdicao(screen_->tb_lancamentoL()));
    QCOMPARE(QApplication::focusWidget(), w<QWidget>("edit_DATA"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);  // editing: nothing
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM LANCAMENTO")), 0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F8);
    QVERIFY(!EmEdicao(screen_->tb_lancamentoL()));
    QCOMPARE(screen_->tb_lancamentoL().recordCount(), 0);
}

void TstLancamentos::invoiceBalance() {
    db_->execute(QStringLiteral("UPDATE NOTA SET AGENDADA = 'S' WHERE CDNOTAS = 1"));
    QVERIFY(open());
    choose(1, true);
    kit::DataSet& ds = screen_->tb_lancamentoL();
    pick("edit_ATIVIDADE", "CDATIVIDADE", 1);
    ds.setValue(QStringLiteral("CDNOTAS"), 1);  // as the invoice picker writes it
    ds.setValue(QStringLiteral("CDEMPENHO"), 1);
    ds.setValue(QStringLiteral("NUMNOTA"), QStringLiteral("501"));
    type("edit_VALORBRUTO", QStringLiteral("100,01"), "edit_ISS");
    screen_->Gravar();
    QCOMPARE(messages_->last(),
             QStringLiteral("O valor bruto não pode ser maior que o SALDO da NOTA"));
    QVERIFY(EmEdicao(ds));
    type("edit_VALORBRUTO", QStringLiteral("100,00"), "edit_ISS");
    screen_->Gravar();
    QVERIFY(!EmEdicao(ds));
    QCOMPARE(db_->value(QStringLiteral("SELECT SALDO FROM NOTA WHERE CDNOTAS = 1"))
                 .value<Money>()
                 .cents(),
             0);
    QCOMPARE(db_->value(QStringLiteral("SELECT AGENDADA FROM NOTA WHERE CDNOTAS = 1")).toString(),
             QStringLiteral("N"));
    QCOMPARE(db_->value(QStringLiteral("SELECT VALORPAGO FROM EMPENHO WHERE CDEMPENHO = 1"))
                 .value<Money>()
                 .cents(),
             10000);
    // The same entry edited again: its own gross value counts back in.
    screen_->Alterar();
    screen_->Gravar();
    QVERIFY(!EmEdicao(ds));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM HISTORICOUSUARIO")), 2);
}

void TstLancamentos::netValue() {
    QVERIFY(open());
    choose(1, true);
    pick("edit_ATIVIDADE", "CDATIVIDADE", 1);
    type("edit_VALORBRUTO", QStringLiteral("1.000,00"), "edit_ISS");
    type("edit_ISS", QStringLiteral("50"), "edit_IRPF");
    type("edit_IRPF", QStringLiteral("15,00"), "edit_OUTROS");
    messages_->answer(false);
    type("edit_OUTROS", QStringLiteral("0"), "edit_OBS");
    QCOMPARE(messages_->last(), QStringLiteral("Gravar o Lançamento?"));
    QCOMPARE(w<kit::MoneyEdit>("edit_VALOR")->value()->cents(), 93500);
    QCOMPARE(screen_->tb_lancamentoL().value(QStringLiteral("VALOR")).value<Money>().cents(),
             93500);
    QVERIFY(EmEdicao(screen_->tb_lancamentoL()));
    // Deductions beyond the gross value: a negative net value, saved (answer Yes).
    type("edit_IRPF", QStringLiteral("2.000,00"), "edit_OUTROS");
    type("edit_OUTROS", QStringLiteral("0"), "edit_OBS");
    QVERIFY(!EmEdicao(screen_->tb_lancamentoL()));
    QCOMPARE(db_->value(QStringLiteral("SELECT VALOR FROM LANCAMENTO")).value<Money>().cents(),
             -105000);
}

void TstLancamentos::saveClearsReconciliation() {
    db_->execute(QStringLiteral(
        "INSERT INTO LANCAMENTO (CDLANCAMENTO, DATA, TIPO, VALOR, CDRECURSO, CDATIVIDADE, LANCADO) "
        "VALUES (9, CURRENT_DATE, 'D', 10, 1, 1, 'S')"));
    QVERIFY(open());
    choose(1, false);
    QTest::keyClick(w<QWidget>("edit_DataInicial"), Qt::Key_F5);
    QVERIFY(EmEdicao(screen_->tb_lancamentoL()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F7);
    QCOMPARE(db_->value(QStringLiteral("SELECT LANCADO FROM LANCAMENTO WHERE CDLANCAMENTO = 9"))
                 .toString(),
             QStringLiteral("N"));
}

void TstLancamentos::refusedApplyWritesNoHistory() {
    db_->execute(
        QStringLiteral("INSERT INTO ATIVIDADE (CDATIVIDADE, NOME) VALUES (2, 'A APAGAR')"));
    QVERIFY(open());
    choose(1, true);
    pick("edit_ATIVIDADE", "CDATIVIDADE", 2);
    type("edit_VALORBRUTO", QStringLiteral("10"), "edit_ISS");
    db_->execute(
        QStringLiteral("DELETE FROM ATIVIDADE WHERE CDATIVIDADE = 2"));  // another workstation
    screen_->Gravar();
    QVERIFY(messages_->last().startsWith(QStringLiteral("Não foi possível completar a operação!")));
    QVERIFY(EmEdicao(screen_->tb_lancamentoL()));  // still there, as typed
    QCOMPARE(screen_->tb_lancamentoL().value(QStringLiteral("VALOR")).value<Money>().cents(), 1000);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM HISTORICOUSUARIO")), 0);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM LANCAMENTO")), 0);
    pick("edit_ATIVIDADE", "CDATIVIDADE", 1);
    screen_->Gravar();
    QVERIFY(!EmEdicao(screen_->tb_lancamentoL()));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM HISTORICOUSUARIO")), 1);
}

void TstLancamentos::invoiceAlreadyPosted() {
    db_->execute(
        QStringLiteral("INSERT INTO LANCAMENTO (CDLANCAMENTO, DATA, TIPO, VALOR, VALORBRUTO, "
                       "CDRECURSO, CDNOTAS, NUMNOTA) "
                       "VALUES (7, CURRENT_DATE, 'D', 40, 40, 2, 2, '502')"));
    QVERIFY(open());
    choose(1, true);
    kit::DataSet& ds = screen_->tb_lancamentoL();
    ds.setValue(QStringLiteral("CDNOTAS"), 2);
    ds.setValue(QStringLiteral("NUMNOTA"), QStringLiteral("502"));
    ds.setValue(QStringLiteral("VALORBRUTO"), QVariant::fromValue(Money::fromReais(60)));
    messages_->answer(false);
    QVERIFY(!screen_->confereNotaJaLancada());
    QCOMPARE(messages_->last(), QStringLiteral("ATENÇÃO!!  A NOTA N. 502\n JÁ FOI LANÇADA!\n VALOR "
                                               "LANÇADO  R$ 40,00 DESEJA CONTINUAR ?"));
    // Yes with no gross value: the invoice link goes.
    ds.setValue(QStringLiteral("VALORBRUTO"), QVariant::fromValue(Money()));
    QVERIFY(screen_->confereNotaJaLancada());
    QVERIFY(ds.isNull(QStringLiteral("CDNOTAS")) && ds.isNull(QStringLiteral("NUMNOTA")));
    // Another date: nothing to ask.
    ds.setValue(QStringLiteral("CDNOTAS"), 2);
    ds.setValue(QStringLiteral("DATA"), QDate::currentDate().addDays(-1));
    const size_t asked = messages_->messages.size();
    QVERIFY(screen_->confereNotaJaLancada());
    QCOMPARE(messages_->messages.size(), asked);
}

void TstLancamentos::guards() {
    QVERIFY(open());
    choose(1, true);
    const QString question = QStringLiteral(
        "Os dados estão sendo alterados no momento !\nDeseja realmente cancelar as alterações "
        "feitas ?");
    messages_->answer(false);
    QTest::mouseClick(w<QLabel>("lbl_Cheques"), Qt::LeftButton);
    QCOMPARE(messages_->last(), question);
    QCOMPARE(screen_->paginaAtual(), 0);
    messages_->answer(false);
    QVERIFY(!main_->mdiArea()->activeSubWindow()->close());
    QVERIFY(main_->screenInstance(QStringLiteral("Impressao_de_cheques_e_Lancamentos")));
    QVERIFY(EmEdicao(screen_->tb_lancamentoL()));
    messages_->answer(true);
    QTest::mouseClick(w<QLabel>("lbl_Cheques"), Qt::LeftButton);
    QCOMPARE(screen_->paginaAtual(), 1);
    QVERIFY(!EmEdicao(screen_->tb_lancamentoL()));
    QTest::mouseClick(w<QLabel>("lbl_Lancamentos"), Qt::LeftButton);
    QCOMPARE(screen_->paginaAtual(), 0);
    QVERIFY(main_->mdiArea()->activeSubWindow()->close());
    QTRY_VERIFY(!main_->screenInstance(QStringLiteral("Impressao_de_cheques_e_Lancamentos")));
}

void TstLancamentos::quickAdd() {
    QVERIFY(open());
    choose(1, false);
    QVERIFY(!button("Bt_CadNota")->isEnabled());  // the invoice screens come later
    // "A": the code proposed, the empty name refused, then saved.
    QTimer::singleShot(0, this, [this] {
        auto* d = qobject_cast<TFrmCadRapido*>(QApplication::activeModalWidget());
        QVERIFY(d);
        QCOMPARE(d->windowTitle(), QStringLiteral("Cadastro de Atividades"));
        QCOMPARE(d->box(QStringLiteral("CDATIVIDADE"))->text(), QStringLiteral("2"));
        d->confirma();
        QCOMPARE(messages_->last(), QStringLiteral("Preencha o campo Nome"));
        QVERIFY(d->isVisible());
        QTest::keyClicks(d->box(QStringLiteral("NOME")), QStringLiteral("diarias"));
        d->confirma();
    });
    screen_->cadastraAtividade();
    QCOMPARE(
        db_->value(QStringLiteral("SELECT NOME FROM ATIVIDADE WHERE CDATIVIDADE = 2")).toString(),
        QStringLiteral("DIARIAS"));
    QVERIFY(
        screen_->lista(QStringLiteral("tb_Atividade")).locate(QStringLiteral("CDATIVIDADE"), 2));
    // "F" closed without OK adds nothing.
    QTimer::singleShot(0, this, [] {
        auto* d = qobject_cast<TFrmCadRapido*>(QApplication::activeModalWidget());
        QVERIFY(d);
        QTest::keyClicks(d->box(QStringLiteral("NOME")), QStringLiteral("nada"));
        d->reject();
    });
    screen_->cadastraFornecedor();
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM FORNECEDOR")), 1);
    QCOMPARE(screen_->lista(QStringLiteral("tb_FornecedorL")).recordCount(), 1);
    // "R": the new resource can be chosen at once.
    QTimer::singleShot(0, this, [] {
        auto* d = qobject_cast<TFrmCadRapido*>(QApplication::activeModalWidget());
        QVERIFY(d);
        QCOMPARE(d->windowTitle(), QStringLiteral("Cadastro de Recurso"));
        QTest::keyClicks(d->box(QStringLiteral("NOME")), QStringLiteral("convenio"));
        QTest::keyClicks(d->box(QStringLiteral("AGENCIA")), QStringLiteral("321"));
        d->confirma();
    });
    screen_->cadastraRecurso();
    QCOMPARE(
        db_->value(QStringLiteral("SELECT NOME || '/' || AGENCIA FROM RECURSO WHERE CDRECURSO = 3"))
            .toString(),
        QStringLiteral("CONVENIO/321"));
    choose(3, false);
    QCOMPARE(screen_->recursoBox()->text(), QStringLiteral("CONVENIO"));
}

void TstLancamentos::badInput() {
    QVERIFY(open());
    choose(1, true);
    pick("edit_ATIVIDADE", "CDATIVIDADE", 1);
    type("edit_VALORBRUTO", QStringLiteral("12a,00"), "edit_ISS");  // letters: refused, value kept
    QVERIFY(messages_->last().contains(QStringLiteral("não é um valor válido")));
    QCOMPARE(screen_->tb_lancamentoL().value(QStringLiteral("VALORBRUTO")).value<Money>().cents(),
             0);
    auto* date = w<kit::DateEdit>("edit_DATA");
    date->setText(QStringLiteral("31/02/2026"));
    screen_->Gravar();
    QVERIFY(messages_->last().contains(QStringLiteral("não é uma data válida")));
    QVERIFY(EmEdicao(screen_->tb_lancamentoL()));
    date->setDate(QDate::currentDate());
    // The resource deleted by another workstation meanwhile.
    db_->execute(QStringLiteral("DELETE FROM RECURSO WHERE CDRECURSO = 1"));
    screen_->Gravar();
    QVERIFY(messages_->last().contains(QStringLiteral("não existe mais")));
    QVERIFY(EmEdicao(screen_->tb_lancamentoL()));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM LANCAMENTO")), 0);
    screen_->Cancelar();
    QVERIFY(button("Inserir")->isEnabled());
}

void TstLancamentos::databaseGoesAway() {
    QVERIFY(open());
    choose(1, true);
    pick("edit_ATIVIDADE", "CDATIVIDADE", 1);
    type("edit_VALORBRUTO", QStringLiteral("10"), "edit_ISS");
    // The database is shut down under the screen (as a server going away).
    QVERIFY(t_->shutDown());
    screen_->Gravar();
    QCOMPARE(messages_->messages.back().kind, kit::MessageService::Kind::Error);
    QCOMPARE(messages_->last(), MensagemConexaoPerdida());
    QVERIFY(EmEdicao(screen_->tb_lancamentoL()));
    QCOMPARE(screen_->tb_lancamentoL().value(QStringLiteral("VALOR")).value<Money>().cents(), 1000);
    // Back again: the same entry saves, once.
    QVERIFY(t_->bringOnline());
    screen_->Gravar();
    QVERIFY2(!EmEdicao(screen_->tb_lancamentoL()), qPrintable(messages_->last()));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM LANCAMENTO WHERE VALOR = 10")), 1);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM HISTORICOUSUARIO")), 1);
}

void TstLancamentos::typedLookups_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QVariant>("key");
    QTest::addColumn<QString>("shown");
    QTest::newRow("beginning of a name") << "mat" << QVariant(1) << "MATERIAL DE EXPEDIENTE";
    QTest::newRow("nothing matches") << "zzz" << QVariant() << "ZZZ";
    QTest::newRow("cleared") << "" << QVariant() << "";
}

void TstLancamentos::typedLookups() {
    QFETCH(QString, typed);
    QFETCH(QVariant, key);
    QFETCH(QString, shown);
    QVERIFY(open());
    choose(1, true);
    pick("edit_ATIVIDADE", "CDATIVIDADE", 1);  // an earlier choice
    type("edit_VALORBRUTO", QStringLiteral("10"), "edit_ISS");
    auto* box = w<kit::LookupCombo>("edit_ATIVIDADE");
    box->lineEdit()->setFocus();
    box->lineEdit()->selectAll();
    QTest::keyClick(box->lineEdit(), Qt::Key_Backspace);
    QTest::keyClicks(box->lineEdit(), typed);
    QTest::keyClick(box->lineEdit(), Qt::Key_Tab);
    // The key and the text agree, and the entry holds that key.
    QCOMPARE(box->value().isNull(), key.isNull());
    QCOMPARE(box->value().toInt(), key.toInt());
    QCOMPARE(box->text(), shown);
    QCOMPARE(screen_->tb_lancamentoL().value(QStringLiteral("CDATIVIDADE")).toInt(), key.toInt());
    QCOMPARE(screen_->tb_lancamentoL().isNull(QStringLiteral("CDATIVIDADE")), key.isNull());
    screen_->Gravar();
    if (key.isNull()) {
        QCOMPARE(messages_->last(),
                 QStringLiteral("Peencha os campos! (Data, Valor, Atividade ou Tipo)"));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM LANCAMENTO")), 0);
    } else {
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM LANCAMENTO WHERE CDATIVIDADE = 1")), 1);
    }
}

void TstLancamentos::typedResourceReloadsTheList() {
    db_->execute(QStringLiteral(
        "INSERT INTO LANCAMENTO (CDLANCAMENTO, CDRECURSO, CDATIVIDADE, DATA, TIPO, VALOR, "
        "VALORBRUTO) VALUES (900, 2, 1, CURRENT_DATE, 'C', 5, 5)"));
    QVERIFY(open());
    choose(1, false);
    QCOMPARE(screen_->tb_lancamentoL().recordCount(), 0);
    auto* box = screen_->recursoBox();
    // A text that finds no resource leaves the list where it is.
    box->lineEdit()->setFocus();
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), QStringLiteral("zz"));
    QTest::keyClick(box->lineEdit(), Qt::Key_Tab);
    QCOMPARE(screen_->recursoAtual().toInt(), 1);
    QCOMPARE(box->text(), QStringLiteral("MOVIMENTO"));
    // A resource still being typed when a command key comes is not chosen: the list,
    // the box and a new entry stay with the resource shown.
    box->lineEdit()->setFocus();
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), QStringLiteral("fun"));
    QTest::keyClick(box->lineEdit(), Qt::Key_F5);
    QVERIFY(EmEdicao(screen_->tb_lancamentoL()) || screen_->tb_lancamentoL().isEmpty());
    screen_->Cancelar();
    QCOMPARE(screen_->recursoAtual().toInt(), 1);
    QCOMPARE(box->text(), QStringLiteral("MOVIMENTO"));
    screen_->Inserir();
    QCOMPARE(screen_->tb_lancamentoL().value(QStringLiteral("CDRECURSO")).toInt(), 1);
    screen_->Cancelar();
    // Typing another resource chooses it as the dialog does: the list follows and a
    // new entry goes to that resource.
    messages_->clear();
    messages_->answer(true);
    box->lineEdit()->setFocus();
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), QStringLiteral("fun"));
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    QCOMPARE(screen_->recursoAtual().toInt(), 2);
    QCOMPARE(box->text(), QStringLiteral("FUNDEB"));
    QCOMPARE(messages_->last(), QStringLiteral(" Deseja inserir um novo registro? "));
    QVERIFY(EmEdicao(screen_->tb_lancamentoL()));
    QCOMPARE(screen_->tb_lancamentoL().recordCount(),
             2);  // the entry of resource 2 and the new one
    QCOMPARE(screen_->tb_lancamentoL().value(QStringLiteral("CDRECURSO")).toInt(), 2);
}

void TstLancamentos::netValueOnSaveFromInsideABox() {
    // F7 pressed in "VALOR BRUTO" right after typing: the net value follows it.
    QVERIFY(open());
    choose(1, true);
    pick("edit_ATIVIDADE", "CDATIVIDADE", 1);
    auto* bruto = w<QLineEdit>("edit_VALORBRUTO");
    bruto->setFocus();
    QTest::keyClicks(bruto, QStringLiteral("250,40"));
    QTest::keyClick(bruto, Qt::Key_F7);
    QVERIFY2(!EmEdicao(screen_->tb_lancamentoL()), qPrintable(messages_->last()));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM LANCAMENTO WHERE VALOR = 250.40 AND "
                                  "VALORBRUTO = 250.40")),
             1);
}

void TstLancamentos::invoiceChargedMeanwhileElsewhere() {
    // Another workstation charges 50,00 of the invoice (balance 100,00) and commits
    // while this one saves 60,00: the two together would overdraw it, so this save is
    // refused and writes nothing.
    QVERIFY(open());
    choose(1, true);
    kit::DataSet& ds = screen_->tb_lancamentoL();
    pick("edit_ATIVIDADE", "CDATIVIDADE", 1);
    ds.setValue(QStringLiteral("CDNOTAS"), 1);
    ds.setValue(QStringLiteral("CDEMPENHO"), 1);
    ds.setValue(QStringLiteral("NUMNOTA"), QStringLiteral("501"));
    type("edit_VALORBRUTO", QStringLiteral("60"), "edit_ISS");
    auto other = t_->connect();
    auto tr = std::make_unique<fb::Transaction>(*other);
    tr->executeImmediate(QStringLiteral(
        "INSERT INTO LANCAMENTO (CDLANCAMENTO, CDRECURSO, CDATIVIDADE, DATA, TIPO, VALOR, "
        "VALORBRUTO, CDNOTAS, CDEMPENHO) VALUES (901, 2, 1, CURRENT_DATE, 'D', 50, 50, 1, 1)"));
    // Its commit comes while this save waits for the invoice's row.
    std::thread later([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        tr->commit();
    });
    screen_->Gravar();
    later.join();
    QCOMPARE(messages_->last(),
             QStringLiteral("O valor bruto não pode ser maior que o SALDO da NOTA"));
    QVERIFY(EmEdicao(ds));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM LANCAMENTO WHERE CDRECURSO = 1")), 0);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM HISTORICOUSUARIO")), 0);
    QCOMPARE(db_->value(QStringLiteral("SELECT SALDO FROM NOTA WHERE CDNOTAS = 1"))
                 .value<Money>()
                 .cents(),
             5000);
    // What is left can be charged.
    type("edit_VALORBRUTO", QStringLiteral("50"), "edit_ISS");
    screen_->Gravar();
    QVERIFY2(!EmEdicao(ds), qPrintable(messages_->last()));
}

void TstLancamentos::oneTransactionPerSave() {
    QVERIFY(open());
    choose(1, true);
    pick("edit_ATIVIDADE", "CDATIVIDADE", 1);
    type("edit_VALORBRUTO", QStringLiteral("25"), "edit_ISS");
    // The history row cannot be written (no such user): so nothing of the save is.
    main_->contexto().usuario.codigo = 77;
    screen_->Gravar();
    QVERIFY(EmEdicao(screen_->tb_lancamentoL()));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM LANCAMENTO")), 0);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM HISTORICOUSUARIO")), 0);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM SALDOCAIXA")), 0);
    QCOMPARE(screen_->tb_lancamentoL().value(QStringLiteral("VALORBRUTO")).value<Money>().cents(),
             2500);
    // With the user back, the same save writes the entry and its history once.
    main_->contexto().usuario.codigo = 1;
    screen_->Gravar();
    QVERIFY2(!EmEdicao(screen_->tb_lancamentoL()), qPrintable(messages_->last()));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM LANCAMENTO")), 1);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM HISTORICOUSUARIO")), 1);
}

void TstLancamentos::failedStartLeavesTheScreen() {
    QVERIFY(open());
    choose(1, false);
    QVERIFY(t_->shutDown());
    messages_->clear();
    screen_->Inserir();
    QVERIFY(t_->bringOnline());
    QCOMPARE(messages_->messages.size(), size_t(1));
    QCOMPARE(messages_->last(), MensagemSemConexao());
    QVERIFY(!EmEdicao(screen_->tb_lancamentoL()));
    QVERIFY(button("Inserir")->isEnabled() && button("Alterar")->isEnabled());
    QVERIFY(!button("Gravar")->isEnabled() && !button("Cancelar")->isEnabled());
    QVERIFY(!w<QWidget>("Pn_Dados")->isEnabled());
    QVERIFY(screen_->recursoBox()->isEnabled());
    screen_->Inserir();
    QVERIFY(EmEdicao(screen_->tb_lancamentoL()));
}

void TstLancamentos::boxKindsAndButtons() {
    using K = kit::MessageService::Kind;
    using B = kit::MessageService::Buttons;
    QVERIFY(open());
    choose(1, true);
    QCOMPARE(messages_->messages.back().kind, K::Information);
    QCOMPARE(messages_->messages.back().buttons, B::YesNo);
    pick("edit_ATIVIDADE", "CDATIVIDADE", 1);
    messages_->answer(false);
    type("edit_OUTROS", QStringLiteral("0"), "edit_VALORBRUTO");  // leaving "VALOR OUTROS"
    QCOMPARE(messages_->last(), QStringLiteral("Gravar o Lançamento?"));
    QCOMPARE(messages_->messages.back().kind, K::Warning);
    QCOMPARE(messages_->messages.back().buttons, B::YesNo);
    messages_->answer(false);
    screen_->mostraPagina(1);
    QCOMPARE(messages_->messages.back().kind, K::Information);
    QCOMPARE(messages_->messages.back().buttons, B::YesNo);
    // The quick-add dialogs answer an empty name with a single Yes.
    QTimer::singleShot(0, [this] {
        auto* d = qobject_cast<TFrmCadRapido*>(QApplication::activeModalWidget());
        if (!d)
            return;
        d->confirma();
        d->reject();
    });
    screen_->cadastraAtividade();
    QCOMPARE(messages_->last(), QStringLiteral("Preencha o campo Nome"));
    QCOMPARE(messages_->messages.back().kind, K::Information);
    QCOMPARE(messages_->messages.back().buttons, B::Yes);
}

void TstLancamentos::boxesCarryTheirLabels() {
    QVERIFY(open());
    const QList<QPair<const char*, const char*>> boxes = {{"edit_Recurso", "RECURSO"},
                                                          {"edit_DataInicial", "DATA"},
                                                          {"edit_DATA", "DT LANÇAMENTO"},
                                                          {"edit_NUMNOTA", "Nº NOTA/CONTRATO"},
                                                          {"edit_NUMCHEQUE", "Nº CHEQUE"},
                                                          {"edit_TIPO", "TIPO"},
                                                          {"edit_ATIVIDADE", "ATIVIDADE"},
                                                          {"edit_FORNECEDOR", "FORNECEDOR"},
                                                          {"edit_NUMCONTATRANSF", "CONTA TRASNF"},
                                                          {"edit_OBS", "OBS"},
                                                          {"edit_VALORBRUTO", "VALOR BRUTO"},
                                                          {"edit_ISS", "VALOR ISS"},
                                                          {"edit_IRPF", "VALOR IRPF"},
                                                          {"edit_OUTROS", "VALOR OUTROS"},
                                                          {"edit_VALOR", "VALOR LÍQUIDO"}};
    for (const auto& [name, label] : boxes)
        QCOMPARE(w<QWidget>(name)->accessibleName(), QString::fromUtf8(label));
    QCOMPARE(w<QWidget>("wwDBGrid_Lancamentos")->accessibleName(), QStringLiteral("Lançamentos"));
    // Wide enough for the largest amount a column holds.
    auto* bruto = w<QWidget>("edit_VALORBRUTO");
    QVERIFY(bruto->width() >=
            bruto->fontMetrics().horizontalAdvance(QStringLiteral("R$ 9.999.999.999.999,99")));
}

void TstLancamentos::keyboardOnlyEntry() {
    // An entry typed with the keyboard alone, Enter moving from box to box.
    QVERIFY(open());
    QVERIFY(QTest::qWaitForWindowActive(main_));
    choose(1, true);
    auto focus = [] { return QApplication::focusWidget(); };
    auto enter = [&] { QTest::keyClick(focus(), Qt::Key_Return); };
    QCOMPARE(focus(), w<QWidget>("edit_DATA"));
    for (int i = 0; i < 4; ++i) enter();  // date, invoice, cheque, type
    QCOMPARE(focus(), w<kit::LookupCombo>("edit_ATIVIDADE")->lineEdit());
    QTest::keyClicks(focus(), QStringLiteral("mat"));
    enter();
    QCOMPARE(w<kit::LookupCombo>("edit_ATIVIDADE")->text(),
             QStringLiteral("MATERIAL DE EXPEDIENTE"));
    QCOMPARE(focus(), w<kit::LookupCombo>("edit_FORNECEDOR")->lineEdit());
    enter();
    enter();
    QCOMPARE(focus(), w<QWidget>("edit_OBS"));
    QTest::keyClicks(focus(), QStringLiteral("teste"));
    enter();
    QCOMPARE(focus(), w<QWidget>("edit_VALORBRUTO"));
    QTest::keyClicks(focus(), QStringLiteral("150,25"));
    enter();
    QCOMPARE(w<QLineEdit>("edit_VALORBRUTO")->text(), QStringLiteral("R$ 150,25"));
    QCOMPARE(w<QLineEdit>("edit_VALOR")->text(), QStringLiteral("R$ 150,25"));
    enter();
    enter();
    messages_->answer(true);
    enter();  // leaving "VALOR OUTROS" asks to save
    QCOMPARE(messages_->last(), QStringLiteral("Gravar o Lançamento?"));
    QVERIFY(!EmEdicao(screen_->tb_lancamentoL()));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM LANCAMENTO WHERE VALOR = 150.25 AND "
                                  "CDATIVIDADE = 1 AND OBS = 'TESTE'")),
             1);
    QCOMPARE(focus(), screen_->recursoBox()->lineEdit());
}

void TstLancamentos::pickers_data() {
    QTest::addColumn<QString>("picker");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("button");  // OK, Remover, Sair, Esc
    QTest::addColumn<QVariant>("written");
    QTest::newRow("activity OK") << "atividade"
                                 << "com"
                                 << "Bt_OK" << QVariant(2);
    QTest::newRow("supplier OK") << "fornecedor"
                                 << "san"
                                 << "Bt_OK" << QVariant(2);
    QTest::newRow("supplier Remover") << "fornecedor"
                                      << "san"
                                      << "Bt_Remover" << QVariant();
    QTest::newRow("resource by account") << "recurso"
                                         << "98"
                                         << "Bt_OK" << QVariant(2);
    QTest::newRow("resource Sair") << "recurso"
                                   << "98"
                                   << "Bt_Sair" << QVariant(1);
    QTest::newRow("activity Esc") << "atividade"
                                  << "com"
                                  << "Esc" << QVariant(1);
}

void TstLancamentos::pickers() {
    QFETCH(QString, picker);
    QFETCH(QString, typed);
    QFETCH(QString, button);
    QFETCH(QVariant, written);
    db_->execute(
        QStringLiteral("INSERT INTO ATIVIDADE (CDATIVIDADE, NOME) VALUES (2, 'COMBUSTIVEL')"));
    db_->execute(
        QStringLiteral("INSERT INTO FORNECEDOR (CDFORNECEDOR, NOME) VALUES (2, 'SANTOS LTDA')"));
    QVERIFY(open());
    choose(1, true);
    kit::DataSet& row = screen_->tb_lancamentoL();
    for (const char* f : {"CDATIVIDADE", "CDFORNECEDOR"}) row.setValue(QLatin1String(f), 1);
    std::unique_ptr<TFrmEscolhe> dialog;
    QString field;
    if (picker == QLatin1String("atividade")) {
        screen_->lista(QStringLiteral("tb_AtividadeL")).refresh();
        dialog = std::make_unique<TFrmEscolheAtividade>(
            screen_->lista(QStringLiteral("tb_AtividadeL")), row, screen_);
        field = QStringLiteral("CDATIVIDADE");
    } else if (picker == QLatin1String("fornecedor")) {
        screen_->lista(QStringLiteral("tb_FornecedorL")).refresh();
        dialog = std::make_unique<TFrmEscolheFornecedor>(
            screen_->lista(QStringLiteral("tb_FornecedorL")), row, screen_);
        field = QStringLiteral("CDFORNECEDOR");
    } else {
        dialog = std::make_unique<TFrmEscolheRecurso>(
            screen_->lista(QStringLiteral("tb_RecursoEscolhe")), row, screen_);
        field = QStringLiteral("CDRECURSO");
    }
    dialog->show();
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    QTRY_COMPARE(QApplication::focusWidget(), dialog->searchBox());
    QTest::keyClicks(dialog->searchBox(), typed);
    QCOMPARE(dialog->searchBox()->text(), typed.toUpper());
    if (button == QLatin1String("Esc"))
        QTest::keyClick(dialog->searchBox(), Qt::Key_Escape);
    else
        dialog->findChild<QPushButton*>(button)->click();
    QVERIFY(!dialog->isVisible());
    QVERIFY(row.isEditing());  // the row stays in edit
    QCOMPARE(row.isNull(field), written.isNull());
    QCOMPARE(row.value(field).toInt(), written.toInt());
}

int main(int argc, char** argv) {
    TesourariaApplication app(argc, argv);
    TstLancamentos test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_lancamentos.moc"
