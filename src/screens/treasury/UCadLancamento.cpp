#include "screens/treasury/UCadLancamento.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QVBoxLayout>

#include "data/U_Biblioteca.h"
#include "kit/core/messages.h"
#include "kit/edit/binder.h"
#include "kit/edit/editstate.h"
#include "kit/ui/widgets/captionlabel.h"
#include "kit/ui/widgets/datagrid.h"
#include "kit/ui/widgets/editgrid.h"
#include "kit/ui/widgets/editors.h"
#include "kit/ui/widgets/lookup.h"
#include "screens/treasury/UCadRapido.h"
#include "screens/treasury/UCheques.h"

using kit::Money;

namespace {

using Command = kit::EditState::Command;

std::optional<Money> moneyOf(const QVariant& v) {
    return v.isNull() ? std::nullopt : std::optional<Money>(v.value<Money>());
}

}  // namespace

TFrmCadLancamento::TFrmCadLancamento(Contexto& contexto, QWidget* parent)
    : QWidget(parent), ctx_(contexto) {
    setObjectName(QStringLiteral("FrmCadLancamento"));
    setWindowTitle(QStringLiteral("Impressão de Cheques / Manutenção de Lançamentos"));
    setProperty("abreMaximizada", true);

    // Lookup lists, loaded now and kept while the window is open.
    const QString recursos = QStringLiteral("SELECT * FROM RECURSO ORDER BY NOME ASC");
    const QString atividades = QStringLiteral("SELECT * FROM ATIVIDADE ORDER BY NOME ASC");
    const QString fornecedores = QStringLiteral("SELECT * FROM FORNECEDOR ORDER BY NOME ASC");
    openList(QStringLiteral("tb_Recurso"), recursos);
    openList(QStringLiteral("tb_RecursoCheque"), recursos);
    openList(QStringLiteral("tb_RecursoEscolhe"), recursos);
    openList(QStringLiteral("tb_Atividade"), atividades);
    openList(QStringLiteral("tb_AtividadeL"), atividades);
    openList(QStringLiteral("tb_Fornecedor"), fornecedores);
    openList(QStringLiteral("tb_FornecedorL"), fornecedores);
    openList(QStringLiteral("tb_Usuario"), QStringLiteral("SELECT * FROM USUARIO"));

    auto entries = std::make_unique<kit::DataSet>(&ctx_.DB_ZEL());
    entries->setObjectName(QStringLiteral("tb_lancamentoL"));
    entries->setSql(
        QStringLiteral("SELECT * FROM LANCAMENTO WHERE DATA >= :pDATA AND CDRECURSO = :pRECURSO "
                       "ORDER BY DATA ASC"));
    entries->setParam(QStringLiteral("pRECURSO"), QVariant());
    entries->setParam(QStringLiteral("pDATA"), QDate::currentDate());
    entries->addLookupField(QStringLiteral("Recurso"), QStringLiteral("CDRECURSO"),
                            &lista(QStringLiteral("tb_RecursoCheque")), QStringLiteral("CDRECURSO"),
                            QStringLiteral("NOME"));
    entries->addLookupField(QStringLiteral("Atividade"), QStringLiteral("CDATIVIDADE"),
                            &lista(QStringLiteral("tb_AtividadeL")), QStringLiteral("CDATIVIDADE"),
                            QStringLiteral("NOME"));
    entries->addLookupField(QStringLiteral("Fornecedor"), QStringLiteral("CDFORNECEDOR"),
                            &lista(QStringLiteral("tb_FornecedorL")),
                            QStringLiteral("CDFORNECEDOR"), QStringLiteral("NOME"));
    entries->addLookupField(QStringLiteral("Usuario"), QStringLiteral("CDUSUARIO"),
                            &lista(QStringLiteral("tb_Usuario")), QStringLiteral("CDUSUARIO"),
                            QStringLiteral("NOME"));
    entries->setRequired(QStringLiteral("CDLANCAMENTO"));
    entries->open();
    tb_lancamentoL_ = entries.get();
    owned_.push_back(std::move(entries));
    binder_ = new kit::FieldBinder(tb_lancamentoL_, this);
    state_ = new kit::EditState(tb_lancamentoL_, this);

    auto saldo = std::make_unique<kit::DataSet>(&ctx_.DB_ZEL());
    saldo->setObjectName(QStringLiteral("q_SaldoAtual"));
    saldo->setSql(QStringLiteral(
        "SELECT s.SaldoAtual from Saldocaixa s where DtSaldo = (select max(DtSaldo) from "
        "SaldoCaixa s where "
        "s.cdrecurso= :pRecurso and s.dtsaldo <= :pDATAATUAL ) and s.cdrecurso = :pRecurso1"));
    q_SaldoAtual_ = saldo.get();
    owned_.push_back(std::move(saldo));

    // The invoice list of the invoice picker.
    auto notas = std::make_unique<kit::DataSet>(&ctx_.DB_ZEL());
    notas->setObjectName(QStringLiteral("Tb_Nota_Escolhe"));
    notas->setSql(
        QStringLiteral("SELECT N.CDNOTAS, N.CDEMPENHO, N.DTNOTA, N.VALORNOTA, N.NOTAELETRONICA, "
                       "N.SALDO, F.NOME AS FORNECEDOR, "
                       "E.NUMEMPENHO, N.NUMNOTA, N.HISTORICO, F.CDFORNECEDOR, "
                       "N.IRPF,N.ISS,N.OUTROS,N.VALORBRUTO FROM NOTA N, EMPENHO E "
                       "LEFT JOIN FORNECEDOR F ON F.CDFORNECEDOR = E.CDFORNECEDOR WHERE "
                       "N.CDEMPENHO = E.CDEMPENHO AND N.SALDO > 0 "
                       "ORDER BY N.NUMNOTA, N.DTNOTA"));
    Tb_Nota_Escolhe_ = notas.get();
    owned_.push_back(std::move(notas));

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(4, 4, 4, 4);
    auto* captions = new QHBoxLayout;
    auto* l1 = new kit::CaptionLabel(
        QStringLiteral("Lançamentos"), [this] { mostraPagina(0); }, this);
    l1->setObjectName(QStringLiteral("lbl_Lancamentos"));
    auto* l2 = new kit::CaptionLabel(
        QStringLiteral("Impressão de Cheque"), [this] { mostraPagina(1); }, this);
    l2->setObjectName(QStringLiteral("lbl_Cheques"));
    captions->addWidget(l1);
    captions->addWidget(l2);
    captions->addStretch();
    root->addLayout(captions);
    pages_ = new QStackedWidget(this);
    pages_->setObjectName(QStringLiteral("PageControl"));
    root->addWidget(pages_);
    auto* entryPage = new QWidget(pages_);
    entryPage->setObjectName(QStringLiteral("TabSheet_Lancamentos"));
    buildEntryPage(entryPage);
    pages_->addWidget(entryPage);
    auto* chequePage = new QWidget(pages_);
    chequePage->setObjectName(QStringLiteral("TabSheet_Cheques"));
    auto* cl = new QVBoxLayout(chequePage);
    cl->setContentsMargins(0, 0, 0, 0);
    cheques_ = new PaginaCheques(ctx_, *this, chequePage);
    cl->addWidget(cheques_);
    pages_->addWidget(chequePage);
    pages_->setCurrentIndex(0);

    // Opening: no resource yet; the list from the first of the month; the balance at
    // the month's last day.
    const QDate today = QDate::currentDate();
    dataInicial_->setDate(QDate(today.year(), today.month(), 1));
    dataSaldo_ = QDate(today.year(), today.month(), DiasDoMes(today.month(), today.year()));
    saldoTitulo_->setText(QStringLiteral("SALDO DIA ") + today.toString(QStringLiteral("dd/MM")) +
                          QStringLiteral(":"));
    // The commands wait for the first choice of a resource.
    state_->setAvailable(false);
    qApp->installEventFilter(this);
}

TFrmCadLancamento::~TFrmCadLancamento() {
    qApp->removeEventFilter(this);
}

kit::DataSet* TFrmCadLancamento::openList(const QString& name, const QString& sql) {
    auto ds = std::make_unique<kit::DataSet>(&ctx_.DB_ZEL());
    ds->setObjectName(name);
    ds->setSql(sql);
    ds->open();
    kit::DataSet* raw = ds.get();
    lists_.insert(name, raw);
    owned_.push_back(std::move(ds));
    return raw;
}

void TFrmCadLancamento::buildEntryPage(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    // The resource and the start date.
    auto* top = new QHBoxLayout;
    auto* recursoLabel = new QLabel(QStringLiteral("RECURSO"), page);
    top->addWidget(recursoLabel);
    recurso_ = new kit::LookupCombo(&lista(QStringLiteral("tb_Recurso")),
                                    QStringLiteral("CDRECURSO"), QStringLiteral("NOME"), page);
    recurso_->setObjectName(QStringLiteral("edit_Recurso"));
    recurso_->setDialogTitle(QStringLiteral("Escolha o Recurso"));
    recurso_->setDialogColumns(
        {kit::GridColumn("NUMCONTA", "Nº CONTA", 10), kit::GridColumn("NOME", "RECURSO", 40)});
    recurso_->setMinimumWidth(320);
    kit::FieldBinder::label(recursoLabel, recurso_);
    connect(recurso_, &kit::LookupCombo::dialogClosed, this, [this] {
        if (!recurso_->value().isNull())
            escolheRecurso();
    });
    // A resource typed into the box is chosen as one picked from the dialog; a text
    // that finds none leaves the list on the resource it shows.
    connect(recurso_, &kit::LookupCombo::typedChoice, this, [this] {
        if (recurso_->value().isNull())
            recurso_->setValue(recursoAtual_);
        else if (recurso_->value() != recursoAtual_)
            escolheRecurso();
    });
    top->addWidget(recurso_);
    auto* r = new QPushButton(QStringLiteral("R"), page);
    r->setObjectName(QStringLiteral("Bt_CadRecurso"));
    r->setToolTip(QStringLiteral("Efetua Cadastro de Recurso"));
    r->setFocusPolicy(Qt::NoFocus);
    r->setFixedWidth(28);
    connect(r, &QPushButton::clicked, this, &TFrmCadLancamento::cadastraRecurso);
    top->addWidget(r);
    top->addSpacing(20);
    auto* dataLabel = new QLabel(QStringLiteral("DATA"), page);
    top->addWidget(dataLabel);
    dataInicial_ = new kit::DateEdit(page);
    dataInicial_->setObjectName(QStringLiteral("edit_DataInicial"));
    kit::FieldBinder::label(dataLabel, dataInicial_);
    dataInicial_->setMaximumWidth(110);
    top->addWidget(dataInicial_);
    top->addStretch();
    layout->addLayout(top);

    // The list.
    QVector<kit::GridColumn> columns = {{"DATA", "DATA", 10},
                                        {"NUMCHEQUE", "Nº CHEQUE", 9},
                                        {"Atividade", "ATIVIDADE", 25},
                                        {"TIPO", "TIPO", 4},
                                        {"VALOR", "VALOR LIQUIDO", 12},
                                        {"NUMNOTA", "Nº NOTA/CONTRATO", 14},
                                        {"VALORBRUTO", "VALOR BRUTO", 12},
                                        {"ISS", "VALOR ISS", 10},
                                        {"IRPF", "VALOR IRPF", 10},
                                        {"NUMCONTATRANSF", "CONTA TRANSF", 10},
                                        {"Fornecedor", "FORNECEDOR", 30},
                                        {"OBS", "OBS", 30},
                                        {"Usuario", "USUÁRIO", 15}};
    for (auto& c : columns)
        if (c.field == QLatin1String("VALOR") || c.field == QLatin1String("VALORBRUTO") ||
            c.field == QLatin1String("ISS") || c.field == QLatin1String("IRPF"))
            c.format = QStringLiteral(",0.##");
    grid_ = new kit::DataGrid(tb_lancamentoL_, columns, page);
    grid_->setObjectName(QStringLiteral("wwDBGrid_Lancamentos"));
    grid_->setAccessibleName(QStringLiteral("Lançamentos"));
    QPalette gp = grid_->palette();
    gp.setColor(QPalette::Base, Qt::white);
    grid_->setPalette(gp);
    grid_->setCellColours([](const kit::DataSet& ds, int row, const QString&) {
        QColor text = Qt::black;
        if (ds.valueAt(row, QStringLiteral("TIPO")).toString() == QLatin1String("C"))
            text = Qt::blue;
        const QDate d = ds.valueAt(row, QStringLiteral("DATA")).toDate();
        if (d.isValid() && d > QDate::currentDate())
            text = QColor(0x00, 0x80, 0x00);  // green wins
        return std::make_pair(text, QColor());
    });
    connect(grid_, &QAbstractItemView::doubleClicked, this, &TFrmCadLancamento::Alterar);
    connect(grid_, &kit::DataGrid::rowActivated, this, &TFrmCadLancamento::Alterar);
    layout->addWidget(grid_, 1);

    // Legend and balance.
    auto* legend = new QHBoxLayout;
    const QList<QPair<QString, QColor>> items = {
        {QStringLiteral("» DÉBITO"), Qt::black},
        {QStringLiteral("» CRÉDITO"), Qt::blue},
        {QStringLiteral("» LANÇAMENTOS FUTUROS"), QColor(0x00, 0x80, 0x00)}};
    for (const auto& [text, colour] : items) {
        auto* l = new QLabel(text, page);
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, colour);
        l->setPalette(p);
        legend->addWidget(l);
    }
    legend->addStretch();
    saldoTitulo_ = new QLabel(page);
    saldoTitulo_->setObjectName(QStringLiteral("lbl_SaldoDia"));
    saldo_ = new QLabel(page);
    saldo_->setObjectName(QStringLiteral("lbl_Saldo"));
    QFont bold = saldo_->font();
    bold.setBold(true);
    saldoTitulo_->setFont(bold);
    saldo_->setFont(bold);
    saldo_->setMinimumWidth(140);
    legend->addWidget(saldoTitulo_);
    legend->addWidget(saldo_);
    layout->addLayout(legend);

    // The data panel "DADOS".
    auto* box = new QGroupBox(QStringLiteral("DADOS"), page);
    box->setObjectName(QStringLiteral("Pn_Dados"));
    dados_ = box;
    auto* g = new QGridLayout(box);
    auto label = [&](const QString& text, QWidget* editor, int row, int col) {
        auto* l = new QLabel(text, box);
        kit::FieldBinder::label(l, editor);
        g->addWidget(l, row, col);
    };
    auto quick = [&](const char* text, const char* name, const char* hint) {
        auto* b = new QPushButton(QString::fromLatin1(text), box);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(QString::fromUtf8(hint));
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedWidth(28);
        return b;
    };
    data_ = new kit::DateEdit(box);
    data_->setObjectName(QStringLiteral("edit_DATA"));
    numNota_ = new QLineEdit(box);
    numNota_->setObjectName(QStringLiteral("edit_NUMNOTA"));
    numNota_->setReadOnly(true);
    numCheque_ = new kit::IntegerEdit(9, box);
    numCheque_->setObjectName(QStringLiteral("edit_NUMCHEQUE"));
    tipo_ = new QComboBox(box);
    tipo_->setObjectName(QStringLiteral("edit_TIPO"));
    atividade_ = new kit::LookupCombo(&lista(QStringLiteral("tb_Atividade")),
                                      QStringLiteral("CDATIVIDADE"), QStringLiteral("NOME"), box);
    atividade_->setObjectName(QStringLiteral("edit_ATIVIDADE"));
    atividade_->setDialogTitle(QStringLiteral("Escolha a Atividade"));
    atividade_->setDialogColumns({kit::GridColumn("NOME", "ATIVIDADE", 40)});
    fornecedor_ = new kit::LookupCombo(&lista(QStringLiteral("tb_Fornecedor")),
                                       QStringLiteral("CDFORNECEDOR"), QStringLiteral("NOME"), box);
    fornecedor_->setObjectName(QStringLiteral("edit_FORNECEDOR"));
    fornecedor_->setDialogTitle(QStringLiteral("Escolha o Fornecedor"));
    fornecedor_->setDialogColumns({kit::GridColumn("NOME", "FORNECEDOR", 50)});
    fornecedor_->setClearable(true);
    contaTransf_ = new kit::TextEdit(10, true, box);
    contaTransf_->setObjectName(QStringLiteral("edit_NUMCONTATRANSF"));
    obs_ = new kit::TextEdit(70, true, box);
    obs_->setObjectName(QStringLiteral("edit_OBS"));
    bruto_ = new kit::MoneyEdit(box);
    bruto_->setObjectName(QStringLiteral("edit_VALORBRUTO"));
    iss_ = new kit::MoneyEdit(box);
    iss_->setObjectName(QStringLiteral("edit_ISS"));
    irpf_ = new kit::MoneyEdit(box);
    irpf_->setObjectName(QStringLiteral("edit_IRPF"));
    outros_ = new kit::MoneyEdit(box);
    outros_->setObjectName(QStringLiteral("edit_OUTROS"));
    liquido_ = new kit::MoneyEdit(box);
    liquido_->setObjectName(QStringLiteral("edit_VALOR"));
    liquido_->setReadOnly(true);
    liquido_->setFocusPolicy(Qt::NoFocus);
    const int valueWidth =
        bruto_->fontMetrics().horizontalAdvance(QStringLiteral("R$ 9.999.999.999.999,99")) + 24;
    for (kit::MoneyEdit* m : {bruto_, iss_, irpf_, outros_, liquido_})
        m->setMinimumWidth(valueWidth);

    label(QStringLiteral("DT LANÇAMENTO"), data_, 0, 0);
    g->addWidget(data_, 1, 0);
    label(QStringLiteral("Nº NOTA/CONTRATO"), numNota_, 0, 1);
    auto* notaLine = new QHBoxLayout;
    notaLine->addWidget(numNota_);
    QPushButton* n = quick("N", "Bt_CadNota", "Efetua Cadastro de Empenhos");
    n->setEnabled(false);  // the invoice screens come later
    notaLine->addWidget(n);
    g->addLayout(notaLine, 1, 1);
    label(QStringLiteral("Nº CHEQUE"), numCheque_, 0, 2);
    g->addWidget(numCheque_, 1, 2);
    label(QStringLiteral("TIPO"), tipo_, 0, 3);
    g->addWidget(tipo_, 1, 3);
    label(QStringLiteral("ATIVIDADE"), atividade_, 2, 0);
    auto* ativLine = new QHBoxLayout;
    ativLine->addWidget(atividade_);
    QPushButton* a = quick("A", "Bt_CadAtividade", "Efetua Cadastro de Atividades");
    connect(a, &QPushButton::clicked, this, &TFrmCadLancamento::cadastraAtividade);
    ativLine->addWidget(a);
    g->addLayout(ativLine, 3, 0, 1, 2);
    label(QStringLiteral("FORNECEDOR"), fornecedor_, 2, 2);
    auto* fornLine = new QHBoxLayout;
    fornLine->addWidget(fornecedor_);
    QPushButton* f = quick("F", "Bt_CadFornecedor", "Efetua Cadastro de Fornecedores");
    connect(f, &QPushButton::clicked, this, &TFrmCadLancamento::cadastraFornecedor);
    fornLine->addWidget(f);
    g->addLayout(fornLine, 3, 2, 1, 2);
    label(QStringLiteral("CONTA TRASNF"), contaTransf_, 4, 0);
    g->addWidget(contaTransf_, 5, 0);
    label(QStringLiteral("OBS:"), obs_, 4, 1);
    g->addWidget(obs_, 5, 1, 1, 3);
    label(QStringLiteral("VALOR BRUTO"), bruto_, 6, 0);
    g->addWidget(bruto_, 7, 0);
    label(QStringLiteral("VALOR ISS"), iss_, 6, 1);
    g->addWidget(iss_, 7, 1);
    label(QStringLiteral("VALOR IRPF"), irpf_, 6, 2);
    g->addWidget(irpf_, 7, 2);
    label(QStringLiteral("VALOR OUTROS"), outros_, 6, 3);
    g->addWidget(outros_, 7, 3);
    label(QStringLiteral("VALOR LÍQUIDO"), liquido_, 6, 4);
    g->addWidget(liquido_, 7, 4);
    layout->addWidget(box);
    setTabOrder(data_, numNota_);
    setTabOrder(numNota_, numCheque_);
    setTabOrder(numCheque_, tipo_);
    setTabOrder(tipo_, atividade_);
    setTabOrder(atividade_, fornecedor_);
    setTabOrder(fornecedor_, contaTransf_);
    setTabOrder(contaTransf_, obs_);
    setTabOrder(obs_, bruto_);
    setTabOrder(bruto_, iss_);
    setTabOrder(iss_, irpf_);
    setTabOrder(irpf_, outros_);

    // The button bar.
    botoes_ = new QWidget(page);
    botoes_->setObjectName(QStringLiteral("Pn_Botoes"));
    auto* bl = new QHBoxLayout(botoes_);
    bl->setContentsMargins(0, 0, 0, 0);
    buttons_ = state_->addNavigator(botoes_, bl, true, false);
    bl->addStretch();
    layout->addWidget(botoes_);
    state_->setAction(Command::Insert, [this] { insere(); });
    state_->setAction(Command::Edit, [this] { altera(); });
    state_->setAction(Command::Delete, [this] { deleta(); });
    state_->setAction(Command::Save, [this] { grava(); });
    state_->setAction(Command::Cancel, [this] { cancela(); });
    state_->setAction(Command::First, [this] { tb_lancamentoL_->first(); });
    state_->setAction(Command::Prior, [this] { tb_lancamentoL_->prior(); });
    state_->setAction(Command::Next, [this] { tb_lancamentoL_->next(); });
    state_->setAction(Command::Last, [this] { tb_lancamentoL_->last(); });
    // F4 does not start an entry here.
    state_->setKeyAction(Qt::Key_F4, [this] {
        voltaRecurso();
        kit::messages().information(
            QStringLiteral("Este atalho não esta disponivel para esta operação"));
    });
    state_->setDataPanel(dados_);
    state_->addBrowseWidget(grid_);
    state_->addBrowseWidget(recurso_);
    state_->setEditFocus([this] { return data_; });
    state_->setBrowseFocus([this]() -> QVector<QWidget*> { return {grid_, recurso_}; });
    ligaEditores();
}

void TFrmCadLancamento::ligaEditores() {
    // While an entry is edited every box writes into it as the operator types, and
    // whatever changes the entry shows in its box.
    binder_->bindDate(data_, QStringLiteral("DATA"));
    binder_->bindText(numNota_, QStringLiteral("NUMNOTA"));
    binder_->bindInteger(numCheque_, QStringLiteral("NUMCHEQUE"));
    binder_->bindChoice(
        tipo_, QStringLiteral("TIPO"),
        {{QStringLiteral("C"), QStringLiteral("C")}, {QStringLiteral("D"), QStringLiteral("D")}});
    binder_->bindLookup(atividade_, QStringLiteral("CDATIVIDADE"));
    binder_->bindLookup(fornecedor_, QStringLiteral("CDFORNECEDOR"));
    binder_->bindText(contaTransf_, QStringLiteral("NUMCONTATRANSF"));
    binder_->bindText(obs_, QStringLiteral("OBS"));
    binder_->bindMoney(bruto_, QStringLiteral("VALORBRUTO"));
    binder_->bindMoney(iss_, QStringLiteral("ISS"));
    binder_->bindMoney(irpf_, QStringLiteral("IRPF"));
    binder_->bindMoney(outros_, QStringLiteral("OUTROS"));
    binder_->bindMoney(liquido_, QStringLiteral("VALOR"));
    for (kit::MoneyEdit* m : {bruto_, iss_, irpf_})
        connect(m, &kit::MoneyEdit::left, this, [this] { calculaLiquido(false); });
    connect(outros_, &kit::MoneyEdit::left, this, [this] { calculaLiquido(true); });
}

void TFrmCadLancamento::escolheRecurso() {
    if (tb_lancamentoL_->isEditing())
        return;
    if (!dataInicial_->isAcceptable()) {
        kit::messages().warning(
            QStringLiteral("A data \"%1\" não é uma data válida!").arg(dataInicial_->text()));
        recurso_->setValue(recursoAtual_);
        dataInicial_->setFocus();
        return;
    }
    const QDate inicio = dataInicial_->date().isValid()
                             ? dataInicial_->date()
                             : QDate(QDate::currentDate().year(), QDate::currentDate().month(), 1);
    try {
        tb_lancamentoL_->close();
        tb_lancamentoL_->setParam(QStringLiteral("pDATA"), inicio);
        tb_lancamentoL_->setParam(QStringLiteral("pRECURSO"), recurso_->value());
        tb_lancamentoL_->open();
    } catch (const fb::Error& e) {
        recursoAtual_ = QVariant();
        state_->setAvailable(false);
        ctx_.MostraErroBanco(e);
        return;
    }
    recursoAtual_ = recurso_->value();
    state_->setAvailable(true);
    atualizaSaldo();
    if (!cheques_->inserindo() &&
        kit::messages().ask(kit::MessageService::Kind::Information,
                            QStringLiteral(" Deseja inserir um novo registro? ")))
        Inserir();
}

void TFrmCadLancamento::atualizaSaldo() {
    try {
        q_SaldoAtual_->close();
        q_SaldoAtual_->setParam(QStringLiteral("pRecurso"), recursoAtual_);
        q_SaldoAtual_->setParam(QStringLiteral("pRecurso1"), recursoAtual_);
        q_SaldoAtual_->setParam(QStringLiteral("pDATAATUAL"), dataSaldo_);
        q_SaldoAtual_->open();
    } catch (const fb::Error& e) {
        saldo_->clear();
        ctx_.MostraErroBanco(e);
        return;
    }
    const QVariant v =
        q_SaldoAtual_->isEmpty() ? QVariant() : q_SaldoAtual_->value(QStringLiteral("SALDOATUAL"));
    saldo_->setText(v.isNull() ? QString() : v.value<Money>().toCurrency());
}

void TFrmCadLancamento::Inserir() {
    state_->run(Command::Insert);
}
void TFrmCadLancamento::Alterar() {
    state_->run(Command::Edit);
}
void TFrmCadLancamento::Deletar() {
    state_->run(Command::Delete);
}
void TFrmCadLancamento::Gravar() {
    state_->run(Command::Save);
}
void TFrmCadLancamento::Cancelar() {
    state_->run(Command::Cancel);
}

void TFrmCadLancamento::voltaRecurso() {
    // A resource still being typed is not chosen: the box shows the list's again.
    if (recurso_->value() != recursoAtual_ || recurso_->lineEdit()->isModified()) {
        recurso_->setValue(recursoAtual_);
        recurso_->lineEdit()->setModified(false);
    }
}

void TFrmCadLancamento::insere() {
    voltaRecurso();
    if (recursoAtual_.isNull())
        return;
    // The code first: when the database cannot give one, nothing changes on the screen.
    int codigo = 0;
    try {
        codigo = ctx_.DB_ZEL()
                     .callProcedure(QStringLiteral("INCREMENTA_CD_LANCAMENTO"))
                     .value(QStringLiteral("CODIGO"))
                     .toInt();
    } catch (const fb::Error& e) {
        ctx_.MostraErroBanco(e);
        return;
    }
    pages_->setCurrentIndex(0);
    kit::DataSet& ds = *tb_lancamentoL_;
    ds.append();
    ds.setValue(QStringLiteral("CDLANCAMENTO"), codigo);
    ds.setValue(QStringLiteral("CDUSUARIO"), ctx_.CdUsuarioAtual());
    ds.setValue(QStringLiteral("CDRECURSO"), recursoAtual_);
    ds.setValue(QStringLiteral("TIPO"), QStringLiteral("D"));
    ds.setValue(QStringLiteral("DATA"), QDate::currentDate());
    for (const char* f : {"VALORBRUTO", "VALOR", "ISS", "IRPF", "OUTROS"})
        ds.setValue(QString::fromLatin1(f), QVariant::fromValue(Money()));
    brutoAntes_ = Money();
}

void TFrmCadLancamento::altera() {
    voltaRecurso();
    if (tb_lancamentoL_->isEmpty()) {
        kit::messages().error(QStringLiteral("Banco de dados vazio!"));
        return;
    }
    pages_->setCurrentIndex(0);
    tb_lancamentoL_->edit();
    brutoAntes_ = moneyOf(tb_lancamentoL_->value(QStringLiteral("VALORBRUTO"))).value_or(Money());
}

void TFrmCadLancamento::deleta() {
    voltaRecurso();
    if (tb_lancamentoL_->isEmpty()) {
        kit::messages().error(QStringLiteral("O Banco de Dados está vazio !!!"));
        return;
    }
    if (!kit::messages().confirm(QStringLiteral("Deseja realmente deletar o registro ???")))
        return;
    tb_lancamentoL_->remove();
    // A delete that could not be written leaves the entry in the list.
    if (!AplicaAtualizacoes(*tb_lancamentoL_) && tb_lancamentoL_->hasPendingChanges())
        tb_lancamentoL_->cancelUpdates();
    atualizaSaldo();
}

void TFrmCadLancamento::calculaLiquido(bool perguntaGravar) {
    if (!tb_lancamentoL_->isEditing())
        return;
    kit::DataSet& ds = *tb_lancamentoL_;
    const Money bruto = moneyOf(ds.value(QStringLiteral("VALORBRUTO"))).value_or(Money());
    if (bruto > Money()) {
        const Money liquido = bruto - moneyOf(ds.value(QStringLiteral("ISS"))).value_or(Money()) -
                              moneyOf(ds.value(QStringLiteral("IRPF"))).value_or(Money()) -
                              moneyOf(ds.value(QStringLiteral("OUTROS"))).value_or(Money());
        try {
            ds.setValue(QStringLiteral("VALOR"), QVariant::fromValue(liquido));
        } catch (const kit::DataSetError& e) {
            kit::messages().warning(e.message());
            return;
        }
    }
    if (perguntaGravar && kit::messages().ask(kit::MessageService::Kind::Warning,
                                              QStringLiteral("Gravar o Lançamento?"))) {
        Gravar();
        if (!tb_lancamentoL_->isEditing())
            kit::EditState::placeFocus(this, recurso_);
    }
}

void TFrmCadLancamento::grava() {
    kit::DataSet& ds = *tb_lancamentoL_;
    if (!binder_->commit())
        return;
    // A value just typed counts in the net value, also when the box was not left.
    calculaLiquido(false);
    // 1. Required fields.
    if (ds.isNull(QStringLiteral("DATA")) || ds.isNull(QStringLiteral("VALOR")) ||
        ds.isNull(QStringLiteral("CDRECURSO")) || ds.isNull(QStringLiteral("CDATIVIDADE")) ||
        ds.isNull(QStringLiteral("TIPO"))) {
        ctx_.AvisoCamposObrigatorios(QStringLiteral("Data, Valor, Atividade ou Tipo"));
        data_->setFocus();
        return;
    }
    kit::Database& db = ctx_.DB_ZEL();
    const bool temNota = !ds.isNull(QStringLiteral("NUMNOTA"));
    try {
        // The resource may have been deleted by another workstation meanwhile.
        if (db.value(QStringLiteral("SELECT COUNT(*) FROM RECURSO WHERE CDRECURSO = :R"),
                     {{QStringLiteral("R"), ds.value(QStringLiteral("CDRECURSO"))}})
                .toInt() == 0) {
            kit::messages().warning(
                QStringLiteral("O recurso deste lançamento não existe mais no banco de dados.\n"
                               "Cancele o lançamento e escolha o recurso novamente."));
            return;
        }
        // 2. The invoice balance.
        if (temNota) {
            const QVariant s =
                db.value(QStringLiteral("SELECT N.SALDO FROM nota N WHERE N.cdnotas = :pcdnotas"),
                         {{QStringLiteral("pcdnotas"), ds.value(QStringLiteral("CDNOTAS"))}});
            const Money saldo = moneyOf(s).value_or(Money());
            if (moneyOf(ds.value(QStringLiteral("VALORBRUTO"))).value_or(Money()) >
                saldo + brutoAntes_) {
                kit::messages().information(
                    QStringLiteral("O valor bruto não pode ser maior que o SALDO da NOTA"));
                return;
            }
        }
    } catch (const fb::Error& e) {
        // Nothing was written; the entry stays on the screen, in edit.
        ctx_.DB_ZEL().noteError(e);
        kit::messages().error(e.isConnectionLost() ? MensagemConexaoPerdida() : MensagemRecusa(e));
        return;
    }
    // 3. The entry, the invoice's mark and the history row, in one transaction: all of
    // it is written or none.
    ds.setValue(QStringLiteral("LANCADO"), QStringLiteral("N"));
    const bool wasInsert = ds.state() == kit::DataSet::State::Insert;
    QVariantMap typed;
    for (const kit::FieldDef& f : ds.fields())
        if (f.kind == kit::FieldDef::Kind::Data)
            typed.insert(f.name, ds.value(f.name));
    const QVariant codigo = ds.value(QStringLiteral("CDLANCAMENTO"));
    const QVariant cdnotas = ds.value(QStringLiteral("CDNOTAS"));
    const Money brutoNovo = moneyOf(ds.value(QStringLiteral("VALORBRUTO"))).value_or(Money());
    try {
        ds.post();
    } catch (const kit::DataSetError& e) {
        kit::messages().warning(e.message());
        return;
    }
    const bool gravou = AplicaAtualizacoes(ds, [&](fb::Transaction& tr) {
        // 4. The invoice is no longer scheduled.
        if (temNota) {
            // The balance again, now that the invoice's row is held by this save: another
            // workstation may have charged it since the check above.
            if (brutoNovo > brutoAntes_) {
                fb::Statement saldo(
                    tr, QStringLiteral("SELECT N.SALDO FROM nota N WHERE N.cdnotas = :pcdnotas"));
                saldo.bind(QStringLiteral("pcdnotas"), cdnotas);
                saldo.execute();
                if (saldo.fetch() && moneyOf(saldo.value(0)).value_or(Money()) < Money())
                    throw fb::Error(
                        QStringLiteral("O valor bruto não pode ser maior que o SALDO da NOTA"), {},
                        0, fb::Error::Kind::Input);
            }
            fb::Statement nota(
                tr,
                QStringLiteral("UPDATE NOTA SET AGENDADA = :PAGENDADA WHERE CDNOTAS = :PCDNOTAS"));
            nota.bind(QStringLiteral("PAGENDADA"), QStringLiteral("N"));
            nota.bind(QStringLiteral("PCDNOTAS"), cdnotas);
            nota.execute();
        }
        // 5. History.
        ctx_.RegistraHistorico(tr, QStringLiteral("L"), codigo.toInt());
    });
    if (!gravou) {
        // Nothing was written: the entry stays on the screen, in edit, as typed.
        if (ds.hasPendingChanges()) {
            ds.edit();
            return;
        }
        if (wasInsert)
            ds.append();
        else if (ds.locate(QStringLiteral("CDLANCAMENTO"), codigo))
            ds.edit();
        else
            ds.append();
        if (ds.isEditing())
            for (auto it = typed.constBegin(); it != typed.constEnd(); ++it) {
                try {
                    ds.setValue(it.key(), it.value());
                } catch (const kit::DataSetError&) {
                }
            }
        return;
    }
    // 6. Back to browsing, with the balances the database now keeps.
    atualizaSaldo();
    if (Tb_Nota_Escolhe_->isActive()) {
        try {
            Tb_Nota_Escolhe_->refresh();
        } catch (const fb::Error& e) {
            ctx_.MostraErroBanco(e);
        }
    }
}

bool TFrmCadLancamento::confereNotaJaLancada() {
    kit::DataSet& ds = *tb_lancamentoL_;
    if (!ds.isEditing())
        return true;
    kit::DataSet q(&ctx_.DB_ZEL());
    q.setSql(QStringLiteral(
        "SELECT N.Data, N.NUMNOTA,N.VALOR FROM lancamento N WHERE N.cdnotas = :pcdnotas AND "
        "N.Data = :PDTNOTA and n.cdnotas is not null"));
    q.setParam(QStringLiteral("pcdnotas"), ds.isNull(QStringLiteral("CDNOTAS"))
                                               ? QVariant(0)
                                               : ds.value(QStringLiteral("CDNOTAS")));
    q.setParam(QStringLiteral("PDTNOTA"),
               ds.value(QStringLiteral("DATA")));  // the entry's own date
    try {
        q.open();
    } catch (const fb::Error& e) {
        ctx_.MostraErroBanco(e);
        return true;
    }
    if (q.isEmpty())
        return true;
    const QString text =
        QStringLiteral("ATENÇÃO!!  A NOTA N. ") + ds.text(QStringLiteral("NUMNOTA")) +
        QStringLiteral("\n") + QStringLiteral(" JÁ FOI LANÇADA!") + QStringLiteral("\n") +
        QStringLiteral(" VALOR LANÇADO  R$ ") +
        q.value(QStringLiteral("VALOR")).value<Money>().format(QStringLiteral("#,##0.00")) +
        QStringLiteral(" DESEJA CONTINUAR ?");
    if (!kit::messages().ask(kit::MessageService::Kind::Information, text))
        return false;
    if (moneyOf(ds.value(QStringLiteral("VALORBRUTO"))).value_or(Money()) > Money()) {
        numCheque_->setFocus();
    } else {
        for (const char* f : {"CDEMPENHO", "CDNOTAS", "NUMNOTA", "CDFORNECEDOR"})
            ds.setValue(QString::fromLatin1(f), QVariant());
        for (const char* f : {"VALORBRUTO", "VALOR", "ISS", "IRPF", "OUTROS"})
            ds.setValue(QString::fromLatin1(f), QVariant::fromValue(Money()));
    }
    return true;
}

void TFrmCadLancamento::cancela() {
    tb_lancamentoL_->cancel();
    if (tb_lancamentoL_->hasPendingChanges()) {
        // A save that could not be written is dropped, and the list read again so that
        // what another workstation changed meanwhile shows.
        tb_lancamentoL_->cancelUpdates();
        try {
            tb_lancamentoL_->refresh();
        } catch (const fb::Error& e) {
            ctx_.DB_ZEL().noteError(e);
        }
    }
    atualizaSaldo();
}

int TFrmCadLancamento::paginaAtual() const {
    return pages_->currentIndex();
}

void TFrmCadLancamento::mostraPagina(int page) {
    if (page == pages_->currentIndex())
        return;
    if (pages_->currentIndex() == 0 && tb_lancamentoL_->isEditing()) {
        if (!state_->confirmAbandon())
            return;
        Cancelar();
    }
    pages_->setCurrentIndex(page);
    state_->update();
}

void TFrmCadLancamento::closeEvent(QCloseEvent* event) {
    if (tb_lancamentoL_->isEditing() || tb_lancamentoL_->hasPendingChanges()) {
        if (!state_->confirmAbandon()) {
            event->ignore();
            return;
        }
        tb_lancamentoL_->cancel();
        tb_lancamentoL_->cancelUpdates();
    }
    // A cheque row being typed is kept (posted and written) before the window goes;
    // when it cannot be, the window stays open with the row as typed.
    if (!cheques_->gravaLinha()) {
        event->ignore();
        return;
    }
    // Cheques that could not be written (the connection, a value to correct) are not
    // dropped without a word.
    kit::DataSet& cheques = cheques_->tb_Cheque();
    if (cheques.isActive() && cheques.hasPendingChanges()) {
        if (!kit::messages().ask(kit::MessageService::Kind::Information,
                                 QStringLiteral("Há cheques alterados que não puderam ser "
                                                "gravados.\nDeseja realmente fechar a janela "
                                                "sem gravá-los ?"))) {
            event->ignore();
            return;
        }
        cheques.cancelUpdates();
    }
    cheques.close();
    for (auto& ds : owned_) ds->close();
    event->accept();
}

bool TFrmCadLancamento::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || (w != this && !isAncestorOf(w)) || !w->isVisible())
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if ((w == cheques_->grade() || cheques_->grade()->isAncestorOf(w)) &&
                !(key->modifiers() & ~Qt::KeypadModifier) && cheques_->teclaEnter())
                return true;
            if (w == tipo_) {
                atividade_->setFocus();
                return true;
            }
            focusNextChild();
            return true;
        default:
            return state_->handleKey(key);
    }
}

void TFrmCadLancamento::cadastraAtividade() {
    TFrmCadAtiv dialog(lista(QStringLiteral("tb_AtividadeL")), this);
    dialog.exec();
    recarrega({QStringLiteral("tb_Atividade")});
}

void TFrmCadLancamento::cadastraFornecedor() {
    TFrmCadFornec dialog(lista(QStringLiteral("tb_FornecedorL")), this);
    dialog.exec();
    recarrega({QStringLiteral("tb_Fornecedor")});
}

void TFrmCadLancamento::cadastraRecurso() {
    TFrmCadRec dialog(lista(QStringLiteral("tb_RecursoCheque")), this);
    dialog.exec();
    recarrega({QStringLiteral("tb_Recurso"), QStringLiteral("tb_RecursoEscolhe")});
}

void TFrmCadLancamento::recarrega(const QStringList& nomes) {
    for (const QString& nome : nomes) {
        try {
            lista(nome).refresh();
        } catch (const fb::Error& e) {
            ctx_.MostraErroBanco(e);  // the list stays as it was
            return;
        }
    }
}
