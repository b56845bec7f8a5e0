#include "screens/treasury/UCheques.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/U_Biblioteca.h"
#include "kit/core/messages.h"
#include "kit/edit/binder.h"
#include "kit/edit/editstate.h"
#include "kit/ui/widgets/editgrid.h"
#include "kit/ui/widgets/editors.h"
#include "kit/ui/widgets/lookup.h"
#include "screens/treasury/UCadLancamento.h"
#include "screens/treasury/UEscolhe.h"

using kit::Money;

namespace {

Money moneyOf(const QVariant& v) {
    return v.isNull() || !v.isValid() ? Money() : v.value<Money>();
}

bool vazio(const QVariant& v) {
    return !v.isValid() || v.isNull() || v.toString().isEmpty();
}

// The cheque columns an entry is made of; a launch deletes the cheque only while
// they still hold what this screen read.
const char* const kColunasLancadas[] = {"CDATIVIDADE", "CDRECURSO", "CDFORNECEDOR", "CDEMPENHO",
                                        "CDNOTAS",     "NUMNOTA",   "NUMCHEQUE",    "DATA",
                                        "DESCRICAO",   "VALOR",     "VALORBRUTO",   "IRPF",
                                        "ISS",         "OUTROS",    "TIPO"};

}  // namespace

PaginaCheques::PaginaCheques(Contexto& contexto, TFrmCadLancamento& tela, QWidget* parent)
    : QWidget(parent), ctx_(contexto), tela_(tela) {
    tb_Cheque_ = std::make_unique<kit::DataSet>(&ctx_.DB_ZEL());
    kit::DataSet& ds = *tb_Cheque_;
    ds.setObjectName(QStringLiteral("tb_Cheque"));
    ds.setSql(QStringLiteral("SELECT * FROM CHEQUE WHERE CD = 0"));
    kit::DataSet* ativ = &tela_.lista(QStringLiteral("tb_AtividadeL"));
    kit::DataSet* forn = &tela_.lista(QStringLiteral("tb_FornecedorL"));
    kit::DataSet* rec = &tela_.lista(QStringLiteral("tb_RecursoCheque"));
    ds.addLookupField(QStringLiteral("Atividade"), QStringLiteral("CDATIVIDADE"), ativ,
                      QStringLiteral("CDATIVIDADE"), QStringLiteral("NOME"));
    ds.addLookupField(QStringLiteral("Fornecedor"), QStringLiteral("CDFORNECEDOR"), forn,
                      QStringLiteral("CDFORNECEDOR"), QStringLiteral("NOME"));
    ds.addLookupField(QStringLiteral("cpf"), QStringLiteral("CDFORNECEDOR"), forn,
                      QStringLiteral("CDFORNECEDOR"), QStringLiteral("CPFCNPJ"));
    const struct {
        const char* name;
        const char* column;
    } recursoFields[] = {{"recurso", "NOME"},
                         {"conta", "NUMCONTA"},
                         {"agencia", "AGENCIA"},
                         {"digitoAgencia", "DIGITOAGENCIA"},
                         {"banco", "BANCO"}};
    for (const auto& f : recursoFields)
        if (rec->hasField(QString::fromLatin1(f.column)))
            ds.addLookupField(QString::fromLatin1(f.name), QStringLiteral("CDRECURSO"), rec,
                              QStringLiteral("CDRECURSO"), QString::fromLatin1(f.column));
    ds.setRequired(QStringLiteral("CD"));
    ds.beforePost = [this](kit::DataSet& d) { antesDeGravar(d); };
    ds.afterPost = [this](kit::DataSet& d) { depoisDeGravar(d); };
    connect(&ds, &kit::DataSet::currentChanged, this, [this] {
        // The number of the row just left, for the next new row.
        numLembrado_ = numAtual_;
        numAtual_ = tb_Cheque_->isActive() && !tb_Cheque_->isEmpty()
                        ? tb_Cheque_->value(QStringLiteral("NUMCHEQUE"))
                        : QVariant();
    });
    connect(&ds, &kit::DataSet::fieldChanged, this, [this](const QString& name) {
        if (name.compare(QLatin1String("NUMCHEQUE"), Qt::CaseInsensitive) == 0)
            numAtual_ = tb_Cheque_->value(QStringLiteral("NUMCHEQUE"));
    });
    buildPage();
    connect(qApp, &QApplication::focusChanged, this, &PaginaCheques::saiuDaGrade);
}

PaginaCheques::~PaginaCheques() {
    disconnect(qApp, nullptr, this, nullptr);
    // The grid goes before the data set it shows.
    delete grid_;
    grid_ = nullptr;
}

void PaginaCheques::buildPage() {
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* dataLabel = new QLabel(QStringLiteral("DATA"), this);
    top->addWidget(dataLabel);
    data_ = new kit::DateEdit(this);
    data_->setObjectName(QStringLiteral("edit_DataCheque"));
    data_->setMaximumWidth(130);
    kit::FieldBinder::label(dataLabel, data_);
    // A day chosen in the calendar searches at once.
    connect(data_, &kit::DateEdit::dateChosen, this, &PaginaCheques::Localizar);
    top->addWidget(data_);
    top->addSpacing(20);
    auto* recursoLabel = new QLabel(QStringLiteral("RECURSO"), this);
    top->addWidget(recursoLabel);
    recurso_ = new kit::LookupCombo(&tela_.lista(QStringLiteral("tb_RecursoCheque")),
                                    QStringLiteral("CDRECURSO"), QStringLiteral("NOME"), this);
    recurso_->setObjectName(QStringLiteral("edit_RecursoCheque"));
    recurso_->setDialogTitle(QStringLiteral("Escolha o Recurso"));
    recurso_->setDialogColumns(
        {kit::GridColumn("NUMCONTA", "Nº CONTA", 10), kit::GridColumn("NOME", "RECURSO", 40)});
    recurso_->setClearable(true);
    recurso_->setMinimumWidth(320);
    kit::FieldBinder::label(recursoLabel, recurso_);
    connect(recurso_, &kit::LookupCombo::dialogClosed, this, [this] {
        if (!recurso_->value().isNull())
            Localizar();
    });
    // A resource typed into the box is chosen as one picked from the dialog.
    connect(recurso_, &kit::LookupCombo::typedChoice, this, [this] {
        if (!recurso_->value().isNull())
            Localizar();
    });
    top->addWidget(recurso_);
    auto* r = new QPushButton(QStringLiteral("R"), this);
    r->setObjectName(QStringLiteral("Bt_CadRecursoCheque"));
    r->setToolTip(QStringLiteral("Efetua Cadastro de Recurso"));
    r->setAccessibleName(QStringLiteral("Efetua Cadastro de Recurso"));
    r->setFocusPolicy(Qt::NoFocus);
    r->setFixedWidth(28);
    connect(r, &QPushButton::clicked, this, [this] {
        tela_.cadastraRecurso();
        kit::EditState::placeFocus(this, recurso_);
    });
    top->addWidget(r);
    auto* localizar = new QPushButton(QStringLiteral("Localizar"), this);
    localizar->setObjectName(QStringLiteral("Bt_Localizar"));
    localizar->setToolTip(
        QStringLiteral("Localiza recursos com a data maior ou igual a data "
                       "informada"));
    localizar->setAutoDefault(false);
    connect(localizar, &QPushButton::clicked, this, &PaginaCheques::Localizar);
    top->addWidget(localizar);
    top->addStretch();
    layout->addLayout(top);

    kit::DataSet* ativ = &tela_.lista(QStringLiteral("tb_AtividadeL"));
    kit::DataSet* forn = &tela_.lista(QStringLiteral("tb_FornecedorL"));
    kit::DataSet* rec = &tela_.lista(QStringLiteral("tb_RecursoCheque"));
    const QString money = QStringLiteral(",0.##");
    QVector<kit::GridColumn> columns = {
        kit::GridColumn("ACAO", "MARCAR", 7).asCheckBox(),
        kit::GridColumn("NUMNOTA", "Nº NOTA/CONTR", 14).asText().setReadOnly(),
        kit::GridColumn("VALORBRUTO", "VALOR BRUTO", 12).asMoney(money),
        kit::GridColumn("ISS", "VALOR ISS", 10).asMoney(money),
        kit::GridColumn("IRPF", "VALOR IRPF", 10).asMoney(money),
        kit::GridColumn("VALOR", "VALOR CHEQUE", 12).asMoney(money).setReadOnly(),
        kit::GridColumn("NUMCHEQUE", "Nº CHQ", 9).asInteger(9),
        kit::GridColumn("CDFORNECEDOR", "NOMINAL", 30)
            .asLookup(forn, QStringLiteral("CDFORNECEDOR"), QStringLiteral("NOME")),
        kit::GridColumn("CDATIVIDADE", "ATIVIDADE", 25)
            .asLookup(ativ, QStringLiteral("CDATIVIDADE"), QStringLiteral("NOME")),
        kit::GridColumn("CDRECURSO", "RECURSO", 20)
            .asLookup(rec, QStringLiteral("CDRECURSO"), QStringLiteral("NOME")),
        kit::GridColumn("DTVENC", "DT VENC", 10).asDate(),
        kit::GridColumn("IMPRESSO", "IMPRESSO", 8).asCheckBox(),
        kit::GridColumn("DATA", "DT LANÇAMENTO", 12).asDate(),
        kit::GridColumn("DESCRICAO", "HISTÓRICO", 30).asText(50),
        kit::GridColumn("conta", "N. CONTA", 10).setReadOnly()};
    grid_ = new kit::EditGrid(tb_Cheque_.get(), columns, this);
    grid_->setObjectName(QStringLiteral("wwDBGrid_Cheques"));
    grid_->setCaption(QStringLiteral("Cheques"));
    grid_->setToolTip(
        QStringLiteral("ATENÇÃO:\n"
                       "1- O CHEQUE SÓ É BAIXADO QUANDO FOR LANÇADO \n"
                       "2- PARA MELHORAR O CONTROLE É NECESSARIO ESCOLHER A "
                       "ATIVIDADE \n"
                       "3- PARA OUTRAS OPÇÕES CLIQUE COM O BOTÃO DIREITO DO MOUSE "
                       "SOBRE\nESSA GRADE "));
    grid_->canAppend = [this] { return podeInserir(); };
    grid_->onAppend = [this](kit::DataSet& d) { novaLinha(d); };
    grid_->onContextMenu = [this](QMenu& menu, int) { montaMenu(menu); };
    grid_->onLookupEditor = [](kit::LookupCombo& box, int column) {
        if (column == Nominal)
            box.setDialogTitle(QStringLiteral("Escolha o Fornecedor"));
        else if (column == Atividade)
            box.setDialogTitle(QStringLiteral("Escolha a Atividade"));
        else
            box.setDialogTitle(QStringLiteral("Escolha o Recurso"));
    };
    grid_->onKey = [this](QKeyEvent& e, int, int column) {
        if (e.key() != Qt::Key_Space || e.modifiers() != Qt::NoModifier)
            return false;
        if (column == Nominal || column == Atividade || column == Recurso) {
            abreSeletor(column);
            return true;
        }
        // The invoice picker comes with the invoice screens.
        return column == NumNota;
    };
    layout->addWidget(grid_, 1);

    // The totals.
    auto* totals = new QHBoxLayout;
    const auto group = [this, totals](const QString& title, QLabel*& qtd, QLabel*& valor) {
        auto* box = new QGroupBox(title, this);
        auto* g = new QHBoxLayout(box);
        g->addWidget(new QLabel(QStringLiteral("Quantidade"), box));
        qtd = new QLabel(QStringLiteral("0"), box);
        qtd->setAccessibleName(title + QStringLiteral(" Quantidade"));
        g->addWidget(qtd);
        g->addSpacing(12);
        g->addWidget(new QLabel(QStringLiteral("Valor"), box));
        valor = new QLabel(QStringLiteral("R$ 0,00"), box);
        valor->setAccessibleName(title + QStringLiteral(" Valor"));
        g->addWidget(valor);
        totals->addWidget(box);
    };
    group(QStringLiteral("TOTAL"), totalQtd_, totalValor_);
    totalQtd_->setObjectName(QStringLiteral("lbl_TotalQuantidade"));
    totalValor_->setObjectName(QStringLiteral("lbl_TotalValor"));
    group(QStringLiteral("IMPRESSO"), impressoQtd_, impressoValor_);
    impressoQtd_->setObjectName(QStringLiteral("lbl_ImpressoQuantidade"));
    impressoValor_->setObjectName(QStringLiteral("lbl_ImpressoValor"));
    auto* totalizar = new QPushButton(QStringLiteral("Totalizar"), this);
    totalizar->setObjectName(QStringLiteral("Bt_Totalizar"));
    totalizar->setAutoDefault(false);
    connect(totalizar, &QPushButton::clicked, this, &PaginaCheques::Totalizar);
    totals->addWidget(totalizar);
    totals->addStretch();
    layout->addLayout(totals);

    // The buttons.
    auto* buttons = new QHBoxLayout;
    const QString printHint = QStringLiteral("\n\nATENÇÃO: ESTÁ AÇÃO SOMENTE IMPRIME");
    const struct {
        const char* name;
        const char* caption;
        QString hint;
    } defs[] = {
        {"Bt_Bradesco", "Banco Bradesco",
         QStringLiteral("Imprime todos os Cheques Marcados pelo Banco Bradesco") + printHint},
        {"Bt_Brasil", "Banco Brasil",
         QStringLiteral("Imprime todos os Cheques Marcados pelo Banco Brasil") + printHint},
        {"Bt_CEF", "Banco CEF",
         QStringLiteral("Imprime todos os Cheques Marcados pelo Banco Caixa Economica Federal") +
             printHint},
        {"Bt_ImprimirCopia", "Imprimir Cópia", QString()},
        {"Bt_LancarMarcados", "Lançar Marcados",
         QStringLiteral("Esta opção lança os CHEQUES marcados\nnas devidas Atividades e Recurso "
                        "escolhido")},
        {"Bt_ApagarMarcados", "Apagar Marcados",
         QStringLiteral("APAGA O CHEQUE SEM NENHUM EFEITO NO SISTEMA")},
        {"Bt_ImprimirRecibo", "Imprimir Recibo", QString()}};
    for (const auto& d : defs) {
        auto* b = new QPushButton(QString::fromUtf8(d.caption), this);
        b->setObjectName(QString::fromLatin1(d.name));
        b->setToolTip(d.hint);
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    layout->addLayout(buttons);
    // Printing comes with the cheque and receipt layouts.
    for (const char* n :
         {"Bt_Bradesco", "Bt_Brasil", "Bt_CEF", "Bt_ImprimirCopia", "Bt_ImprimirRecibo"})
        findChild<QPushButton*>(QLatin1String(n))->setEnabled(false);
    connect(findChild<QPushButton*>(QStringLiteral("Bt_LancarMarcados")), &QPushButton::clicked,
            this, &PaginaCheques::LancarMarcados);
    connect(findChild<QPushButton*>(QStringLiteral("Bt_ApagarMarcados")), &QPushButton::clicked,
            this, &PaginaCheques::ApagarMarcados);
    setTabOrder(data_, recurso_);
    setTabOrder(recurso_, localizar);
    setTabOrder(localizar, grid_);
}

bool PaginaCheques::inserindo() const {
    return tb_Cheque_->state() == kit::DataSet::State::Insert;
}

// ---------------------------------------------------------------- search and totals

void PaginaCheques::Localizar() {
    if (!data_->isAcceptable()) {
        kit::messages().warning(
            QStringLiteral("A data \"%1\" não é uma data válida!").arg(data_->text()));
        kit::EditState::placeFocus(this, data_);
        return;
    }
    const QDate dia = data_->date();
    const QVariant recurso = recurso_->value();
    if (!dia.isValid() && recurso.isNull()) {
        kit::messages().information(QStringLiteral("Digite a data, (e/ou) o recurso do cheque!"));
        kit::EditState::placeFocus(this, data_);
        return;
    }
    kit::DataSet& ds = *tb_Cheque_;
    // A row being typed is kept first; when it cannot be, the list stays.
    if (ds.isActive() && ds.isEditing() && !grid_->postRow())
        return;
    QString sql;
    if (dia.isValid() && !recurso.isNull())
        sql = QStringLiteral(
            " SELECT * FROM CHEQUE WHERE CDRECURSO = :pRECURSO AND DATA >= :pDATA "
            "ORDER BY DTVENC");
    else if (dia.isValid())
        sql = QStringLiteral(
            " SELECT * FROM CHEQUE WHERE DATA >= :pDATA  OR (lancado ='N') ORDER "
            "BY DTVENC ");
    else
        sql = QStringLiteral(" SELECT * FROM CHEQUE WHERE CDRECURSO = :pRECURSO ORDER BY DTVENC");
    try {
        ds.close();
        ds.setSql(sql);
        if (!recurso.isNull())
            ds.setParam(QStringLiteral("pRECURSO"), recurso);
        if (dia.isValid())
            ds.setParam(QStringLiteral("pDATA"), dia);
        ds.open();
    } catch (const fb::Error& e) {
        ctx_.MostraErroBanco(e);
        kit::EditState::placeFocus(this, data_);
        return;
    }
    numLembrado_ = QVariant();
    numAtual_ = ds.isEmpty() ? QVariant() : ds.value(QStringLiteral("NUMCHEQUE"));
    calculaTotais();
    grid_->setFocus();
}

void PaginaCheques::calculaTotais() {
    total_ = impresso_ = lancado_ = Grupo();
    const kit::DataSet& ds = *tb_Cheque_;
    if (ds.isActive())
        for (int i = 0; i < ds.recordCount(); ++i) {
            const Money v = moneyOf(ds.valueAt(i, QStringLiteral("VALOR")));
            ++total_.quantidade;
            total_.valor += v;
            if (ds.valueAt(i, QStringLiteral("IMPRESSO")).toString() == QLatin1String("S")) {
                ++impresso_.quantidade;
                impresso_.valor += v;
            }
            if (ds.valueAt(i, QStringLiteral("LANCADO")).toString() == QLatin1String("S")) {
                ++lancado_.quantidade;
                lancado_.valor += v;
            }
        }
    mostraTotais();
}

void PaginaCheques::mostraTotais() {
    const QString pattern = QStringLiteral("#,##0.00");
    totalQtd_->setText(QString::number(total_.quantidade));
    totalValor_->setText(QStringLiteral("R$ ") + total_.valor.format(pattern));
    impressoQtd_->setText(QString::number(impresso_.quantidade));
    impressoValor_->setText(QStringLiteral("R$ ") + impresso_.valor.format(pattern));
}

void PaginaCheques::Totalizar() {
    if (data_->date().isValid() && !recurso_->value().isNull())
        calculaTotais();
}

// ---------------------------------------------------------------- rows

bool PaginaCheques::podeInserir() {
    if (!data_->date().isValid()) {
        kit::messages().information(
            QStringLiteral("ANTES DE INSERIR ESCOLHA A [DATA] E OU [RECURSO]"));
        return false;
    }
    return true;
}

void PaginaCheques::novaLinha(kit::DataSet& ds) {
    const QDate dia = data_->date();
    if (!numLembrado_.isNull() && numLembrado_.toLongLong() != 0)
        ds.setValue(QStringLiteral("NUMCHEQUE"), numLembrado_.toLongLong() + 1);
    ds.setValue(QStringLiteral("CDRECURSO"), recurso_->value());
    ds.setValue(QStringLiteral("DATA"), dia);
    ds.setValue(QStringLiteral("DTVENC"), dia);
    ds.setValue(QStringLiteral("TIPO"), QStringLiteral("D"));
    ds.setValue(QStringLiteral("IMPRESSO"), QStringLiteral("N"));
    ds.setValue(QStringLiteral("LANCADO"), QStringLiteral("N"));
    ds.setValue(QStringLiteral("ACAO"), QStringLiteral("S"));
    ds.setValue(QStringLiteral("CDATIVIDADE"), QVariant());
    ds.setValue(QStringLiteral("CDFORNECEDOR"), QVariant());
    for (const char* f : {"VALOR", "VALORBRUTO", "ISS", "OUTROS", "IRPF"})
        ds.setValue(QString::fromLatin1(f), QVariant::fromValue(Money()));
}

void PaginaCheques::antesDeGravar(kit::DataSet& ds) {
    // The net value follows the gross value and its deductions however the cell was
    // left (Enter, Tab, a click), so a stale value is never written.
    const Money bruto = moneyOf(ds.value(QStringLiteral("VALORBRUTO")));
    if (bruto > Money())
        ds.setValue(QStringLiteral("VALOR"),
                    QVariant::fromValue(bruto - moneyOf(ds.value(QStringLiteral("ISS"))) -
                                        moneyOf(ds.value(QStringLiteral("IRPF"))) -
                                        moneyOf(ds.value(QStringLiteral("OUTROS")))));
    if (ds.state() != kit::DataSet::State::Insert)
        return;
    // The code: the table's highest plus one (fb::Error refuses the post).
    const QVariant max =
        ctx_.DB_ZEL().value(QStringLiteral("select max(cd) as cd_max from Cheque"));
    ds.setValue(QStringLiteral("CD"), max.isNull() ? 1 : max.toInt() + 1);
}

void PaginaCheques::depoisDeGravar(kit::DataSet& ds) {
    if (aplicando_ || ds.isEmpty())
        return;
    aplicando_ = true;
    const Money valor = moneyOf(ds.value(QStringLiteral("VALOR")));
    if (valor < Money()) {
        kit::messages().information(
            QStringLiteral("O valor do cheque não pode ser NEGATIVO, este cheque será APAGADO!"));
        ds.remove();
    } else if (valor.isZero() && vazio(ds.value(QStringLiteral("DESCRICAO"))) &&
               vazio(ds.value(QStringLiteral("NOMINAL")))) {
        ds.remove();  // an untouched row goes away
    }
    aplica();
    aplicando_ = false;
}

void PaginaCheques::aplica() {
    kit::DataSet& ds = *tb_Cheque_;
    if (!ds.hasPendingChanges())
        return;
    const kit::ApplyResult first = ds.applyUpdates();
    if (first.ok)
        return;
    if (first.error && first.error->isRowChanged()) {
        // A cheque another workstation changed or deleted since the list was read: the
        // list shows it as it is now (a deleted one goes away, it is not written back).
        kit::messages().warning(
            QStringLiteral("Este cheque foi alterado ou apagado em outra estação depois que a "
                           "lista foi lida.\nNada foi gravado: a lista foi lida novamente; "
                           "confira o cheque e, se ainda for preciso, faça a alteração de "
                           "novo."));
        ds.cancelUpdates();
    } else if (AplicaAtualizacoes(ds) || ds.hasPendingChanges()) {
        // Written the second time, or kept for the next save (the connection, a value to
        // correct, another workstation busy with the same rows).
        return;
    }
    try {
        ds.refresh();
    } catch (const fb::Error& e) {
        ctx_.MostraErroBanco(e);
    }
    calculaTotais();
}

bool PaginaCheques::gravaLinha() {
    kit::DataSet& ds = *tb_Cheque_;
    if (!ds.isActive())
        return true;
    return grid_->postRow() && !ds.isEditing();
}

void PaginaCheques::recalculaValor() {
    kit::DataSet& ds = *tb_Cheque_;
    if (!ds.isEditing())
        return;
    const Money bruto = moneyOf(ds.value(QStringLiteral("VALORBRUTO")));
    try {
        if (bruto > Money()) {
            const Money v = bruto - moneyOf(ds.value(QStringLiteral("ISS"))) -
                            moneyOf(ds.value(QStringLiteral("IRPF"))) -
                            moneyOf(ds.value(QStringLiteral("OUTROS")));
            ds.setValue(QStringLiteral("VALOR"), QVariant::fromValue(v));
        } else {
            for (const char* f : {"VALOR", "ISS", "IRPF", "OUTROS"})
                ds.setValue(QString::fromLatin1(f), QVariant::fromValue(Money()));
        }
    } catch (const kit::DataSetError& e) {
        kit::messages().warning(e.message());
    }
}

bool PaginaCheques::teclaEnter() {
    kit::DataSet& ds = *tb_Cheque_;
    if (!ds.isActive())
        return false;
    if (!grid_->commitEditor())
        return true;
    const QModelIndex cur = grid_->currentIndex();
    if (!cur.isValid() || ds.isEmpty()) {
        grid_->appendRow();
        return true;
    }
    const int column = cur.column();
    const int row = cur.row();
    if (column >= ValorBruto && column <= ValorCheque)
        recalculaValor();
    grid_->setCurrentCell(row, (column + 1) % NumColunas);
    if (column == Recurso && grid_->appendRow())
        grid_->setCurrentCell(ds.currentIndex(), NumNota);
    return true;
}

void PaginaCheques::saiuDaGrade(QWidget* old, QWidget* now) {
    if (!old || !now || !grid_ || aplicando_)
        return;
    const auto inGrid = [this](QWidget* w) { return w == grid_ || grid_->isAncestorOf(w); };
    if (!inGrid(old) || inGrid(now))
        return;
    // Only a move to another control of this window counts (not a dialog or a menu).
    if (now->window() != grid_->window())
        return;
    kit::DataSet& ds = *tb_Cheque_;
    if (!ds.isActive() || ds.isEmpty())
        return;
    if (!grid_->commitEditor()) {
        return;
    }
    // Only a row being typed is posted: a saved cheque nobody touched is not run
    // through the after-post rules (which would delete one of value 0).
    if (!ds.isEditing())
        return;
    try {
        ds.post();
    } catch (const kit::DataSetError& e) {
        kit::messages().warning(e.message());
    } catch (const fb::Error& e) {
        ctx_.MostraErroBanco(e);
    }
}

void PaginaCheques::abreSeletor(int coluna) {
    kit::DataSet& ds = *tb_Cheque_;
    if (!ds.isActive() || ds.isEmpty())
        return;
    if (!grid_->commitEditor())
        return;
    try {
        if (!ds.isEditing())
            ds.edit();
    } catch (const kit::DataSetError& e) {
        kit::messages().warning(e.message());
        return;
    }
    std::unique_ptr<TFrmEscolhe> dialog;
    QWidget* owner = &tela_;
    if (coluna == Nominal)
        dialog = std::make_unique<TFrmEscolheFornecedor>(
            tela_.lista(QStringLiteral("tb_FornecedorL")), ds, owner);
    else if (coluna == Atividade)
        dialog = std::make_unique<TFrmEscolheAtividade>(
            tela_.lista(QStringLiteral("tb_AtividadeL")), ds, owner);
    else
        dialog = std::make_unique<TFrmEscolheRecurso>(
            tela_.lista(QStringLiteral("tb_RecursoEscolhe")), ds, owner);
    if (pickerHook)
        pickerHook(*dialog);
    else
        dialog->exec();
    dialog.reset();
    grid_->setFocus();
}

// ---------------------------------------------------------------- context menu, delete

void PaginaCheques::montaMenu(QMenu& menu) {
    const kit::DataSet& ds = *tb_Cheque_;
    const bool temLinha = ds.isActive() && !ds.isEmpty();
    const auto add = [&menu](const QString& caption, const char* name, bool enabled) {
        QAction* a = menu.addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        a->setEnabled(enabled);
        return a;
    };
    // Printing comes with the cheque and receipt layouts.
    add(QStringLiteral("Imprimir este Cheque - (BRADESCO) "), "mi_ImprimeBradesco", false);
    add(QStringLiteral("Imprimir este Cheque - (BANCO BRASIL)              "), "mi_ImprimeBrasil",
        false);
    add(QStringLiteral("Imprimir este Cheque - ( CEF) "), "mi_ImprimeCEF", false);
    menu.addSeparator();
    add(QStringLiteral("Imprimir Verso"), "mi_ImprimeVerso", false);
    add(QStringLiteral("Imprimir Cópia "), "mi_ImprimeCopia", false);
    add(QStringLiteral("Imprimir Recibo"), "mi_ImprimeRecibo", false);
    menu.addSeparator();
    connect(add(QStringLiteral("Apagar este cheque           "), "mi_ApagaCheque", temLinha),
            &QAction::triggered, this, &PaginaCheques::ApagarEsteCheque);
    connect(add(QStringLiteral("Lançar este cheque"), "mi_LancaCheque",
                temLinha && ds.value(QStringLiteral("LANCADO")).toString() != QLatin1String("S")),
            &QAction::triggered, this, &PaginaCheques::LancarEsteCheque);
    menu.addSeparator();
    connect(add(QStringLiteral("Cadastrar Fornecedor (Nominal)"), "mi_CadFornecedor", true),
            &QAction::triggered, this, [this] {
                tela_.cadastraFornecedor();
                grid_->setFocus();
            });
    connect(add(QStringLiteral("Cadastrar Atividade"), "mi_CadAtividade", true),
            &QAction::triggered, this, [this] {
                tela_.cadastraAtividade();
                grid_->setFocus();
            });
    // The commitment screen comes later.
    add(QStringLiteral("Cadastrar Empenho"), "mi_CadEmpenho", false);
}

void PaginaCheques::ApagarEsteCheque() {
    kit::DataSet& ds = *tb_Cheque_;
    if (!ds.isActive() || ds.isEmpty())
        return;
    if (!kit::messages().ask(kit::MessageService::Kind::Warning,
                             QStringLiteral("Deseja Apagar este Cheque ?"))) {
        grid_->setFocus();
        return;
    }
    // A row not yet posted just goes away; a row being changed goes with its changes.
    const bool nova = inserindo();
    grid_->cancelRow();
    if (!nova && !ds.isEmpty()) {
        ds.remove();
        aplica();
    }
    grid_->setFocus();
}

void PaginaCheques::ApagarMarcados() {
    kit::DataSet& ds = *tb_Cheque_;
    if (!ds.isActive())
        return;
    if (!kit::messages().ask(kit::MessageService::Kind::Warning,
                             QStringLiteral("Deseja Apagar os Cheques marcados ?"))) {
        grid_->setFocus();
        return;
    }
    if (ds.isEditing() && !grid_->postRow())
        return;
    aplicando_ = true;
    int i = 0;
    while (i < ds.recordCount()) {
        if (ds.valueAt(i, QStringLiteral("ACAO")).toString() == QLatin1String("S")) {
            ds.setCurrentIndex(i);
            ds.remove();
        } else {
            ++i;
        }
    }
    aplicando_ = false;
    aplica();
    calculaTotais();
    grid_->setFocus();
}

// ---------------------------------------------------------------- launching

QVariantMap PaginaCheques::linha(int row) const {
    QVariantMap m;
    for (const kit::FieldDef& f : tb_Cheque_->fields())
        if (f.kind == kit::FieldDef::Kind::Data)
            m.insert(f.name, tb_Cheque_->valueAt(row, f.name));
    return m;
}

// The invoice test of the cheques of one launch, its two queries prepared once in one
// read-only transaction. fb::Error goes to the caller: nothing is launched then.
class PaginaCheques::ConsultaNota {
public:
    explicit ConsultaNota(kit::Database& db)
        : tr_(db.connection(), fb::Transaction::Access::ReadOnly) {}

    Teste testa(const QVariantMap& cheque) {
        Teste t;
        // Is there an invoice of this number with a balance (no number: nothing to find).
        const QVariant numnota = cheque.value(QStringLiteral("NUMNOTA"));
        if (!vazio(numnota)) {
            if (!existe_)
                existe_ = std::make_unique<fb::Statement>(
                    tr_, QStringLiteral("SELECT N.NUMNOTA FROM nota N WHERE N.NUMNOTA = "
                                        ":pNUMNOTA AND N.saldo > 0"));
            existe_->bind(QStringLiteral("pNUMNOTA"), numnota);
            existe_->execute();
            t.notaFaltando = !existe_->fetch();
        }
        // The invoice's balance (no invoice: 0).
        const QVariant cdnotas = cheque.value(QStringLiteral("CDNOTAS"));
        if (!cdnotas.isNull()) {
            if (!saldo_)
                saldo_ = std::make_unique<fb::Statement>(
                    tr_, QStringLiteral("SELECT N.SALDO FROM nota N WHERE N.cdnotas = :pcdnotas"));
            saldo_->bind(QStringLiteral("pcdnotas"), cdnotas);
            saldo_->execute();
            if (saldo_->fetch())
                t.saldo = moneyOf(saldo_->value(0));
        }
        t.passa = t.saldo >= moneyOf(cheque.value(QStringLiteral("VALORBRUTO")));
        return t;
    }

private:
    fb::Transaction tr_;
    std::unique_ptr<fb::Statement> existe_, saldo_;
};

QString PaginaCheques::mensagemSaldo(const QVariantMap& cheque, Money saldo) const {
    return QStringLiteral("O Valor do Cheque nº ") +
           cheque.value(QStringLiteral("NUMCHEQUE")).toString() +
           QStringLiteral(" Não Pode exceder o saldo de  R$") +
           saldo.format(QStringLiteral("##,#0.0")) +
           QStringLiteral(" que é o valor  a pagar da nota");
}

void PaginaCheques::LancarMarcados() {
    kit::DataSet& ds = *tb_Cheque_;
    if (!ds.isActive())
        return;
    if (ds.isEditing() && !grid_->postRow())
        return;
    if (!kit::messages().ask(kit::MessageService::Kind::Warning,
                             QStringLiteral("Deseja lançar os Cheques Marcados ?"))) {
        grid_->setFocus();
        return;
    }
    const bool caixasCheias = data_->date().isValid() && !recurso_->value().isNull();
    QVector<QVariantMap> aLancar;
    try {
        ConsultaNota consulta(ctx_.DB_ZEL());
        for (int i = 0; i < ds.recordCount(); ++i) {
            const QVariantMap c = linha(i);
            if (c.value(QStringLiteral("LANCADO")).toString() == QLatin1String("S") ||
                c.value(QStringLiteral("ACAO")).toString() != QLatin1String("S"))
                continue;
            const Teste t = consulta.testa(c);
            if (!caixasCheias && (c.value(QStringLiteral("DTVENC")).isNull() ||
                                  c.value(QStringLiteral("CDRECURSO")).isNull())) {
                kit::messages().information(
                    QStringLiteral("Impossivel lançar cheque sem a data e o recurso!"));
                continue;
            }
            if (t.notaFaltando) {
                kit::messages().information(
                    QStringLiteral("O cheque ") + c.value(QStringLiteral("NUMCHEQUE")).toString() +
                    QStringLiteral(" não pode ser lançado porque a nota/contrato ") +
                    c.value(QStringLiteral("NUMNOTA")).toString() +
                    QStringLiteral(" Não EXISTE ou já foi PAGA! "));
                continue;
            }
            if (!t.passa) {
                kit::messages().information(mensagemSaldo(c, t.saldo));
                continue;
            }
            aLancar.append(c);
        }
    } catch (const fb::Error& e) {
        ctx_.MostraErroBanco(e);
        grid_->setFocus();
        return;
    }
    lanca(aLancar, false);
}

void PaginaCheques::LancarEsteCheque() {
    kit::DataSet& ds = *tb_Cheque_;
    if (!ds.isActive() || ds.isEmpty())
        return;
    const int antes = ds.recordCount();
    if (ds.isEditing() && !grid_->postRow())
        return;
    // The row went away when it was posted (an untouched or negative one): nothing to
    // launch, and never the row that took its place.
    if (ds.isEmpty() || ds.currentIndex() < 0 || ds.recordCount() < antes)
        return;
    const QVariantMap c = linha(ds.currentIndex());
    if (c.value(QStringLiteral("DTVENC")).isNull() ||
        c.value(QStringLiteral("CDRECURSO")).isNull()) {
        kit::messages().information(QStringLiteral("Digite a [data] e/ou [Recurso] !"));
        grid_->setFocus();
        return;
    }
    if (c.value(QStringLiteral("LANCADO")).toString() == QLatin1String("S")) {
        kit::messages().information(QStringLiteral("Este Cheque Já foi Lançado"));
        grid_->setFocus();
        return;
    }
    Teste t;
    try {
        t = ConsultaNota(ctx_.DB_ZEL()).testa(c);
    } catch (const fb::Error& e) {
        ctx_.MostraErroBanco(e);
        grid_->setFocus();
        return;
    }
    if (t.notaFaltando) {
        kit::messages().information(QStringLiteral("Esta Nota Já foi PAGA ou não EXISTE"));
        grid_->setFocus();
        return;
    }
    if (!t.passa) {
        kit::messages().information(mensagemSaldo(c, t.saldo));
        grid_->setFocus();
        return;
    }
    lanca({c}, true);
}

void PaginaCheques::lanca(const QVector<QVariantMap>& cheques, bool umSo) {
    if (cheques.isEmpty()) {
        grid_->setFocus();
        return;
    }
    kit::Database& db = ctx_.DB_ZEL();
    QVector<QVariantMap> sumidos;  // no longer in the schedule as this screen read them
    // Cheques that would take their invoice below zero (with what the invoice has left).
    QVector<QPair<QVariantMap, Money>> excedem;
    try {
        db.write([&](fb::Transaction& tr) {
            sumidos.clear();
            excedem.clear();
            QString sql = QStringLiteral("DELETE FROM CHEQUE WHERE CD = :CD");
            for (const char* col : kColunasLancadas)
                sql += QStringLiteral(" AND %1 IS NOT DISTINCT FROM :%1")
                           .arg(QString::fromLatin1(col));
            fb::Statement del(tr, sql);
            fb::Statement proc(tr, QStringLiteral("EXECUTE PROCEDURE INCREMENTA_CD_LANCAMENTO"));
            fb::Statement ins(
                tr, QStringLiteral(
                        "INSERT INTO LANCAMENTO (CDLANCAMENTO, CDATIVIDADE, CDRECURSO, "
                        "CDFORNECEDOR, CDEMPENHO, CDNOTAS, NUMNOTA, CDUSUARIO, NUMCHEQUE, "
                        "DATA, OBS, VALOR, VALORBRUTO, IRPF, ISS, OUTROS, TIPO, LANCADO) "
                        "VALUES (:CDLANCAMENTO, :CDATIVIDADE, :CDRECURSO, :CDFORNECEDOR, "
                        ":CDEMPENHO, :CDNOTAS, :NUMNOTA, :CDUSUARIO, :NUMCHEQUE, :DATA, :OBS, "
                        ":VALOR, :VALORBRUTO, :IRPF, :ISS, :OUTROS, :TIPO, 'N')"));
            std::unique_ptr<fb::Statement> nota, saldo;
            GravadorHistorico historico(tr, ctx_.CdUsuarioAtual());
            for (const QVariantMap& c : cheques) {
                // A cheque charged to an invoice can be undone alone when, with the
                // invoice's row now held, its balance no longer covers it (another
                // cheque of this launch or another workstation charged it meanwhile).
                const bool confere = !c.value(QStringLiteral("CDNOTAS")).isNull() &&
                                     moneyOf(c.value(QStringLiteral("VALORBRUTO"))) > Money();
                if (confere)
                    tr.executeImmediate(QStringLiteral("SAVEPOINT CHEQUE_LANCADO"));
                // The deletion first: the cheque is launched once, whoever gets to it.
                del.bind(QStringLiteral("CD"), c.value(QStringLiteral("CD")));
                for (const char* col : kColunasLancadas)
                    del.bind(QString::fromLatin1(col), c.value(QString::fromLatin1(col)));
                del.execute();
                if (del.rowsAffected() == 0) {
                    sumidos.append(c);
                    continue;
                }
                int codigo = 0;
                proc.execute();
                if (proc.fetch())
                    codigo = proc.value(QStringLiteral("CODIGO")).toInt();
                ins.bind(QStringLiteral("CDLANCAMENTO"), codigo);
                for (const char* col :
                     {"CDATIVIDADE", "CDRECURSO", "CDFORNECEDOR", "CDEMPENHO", "CDNOTAS", "NUMNOTA",
                      "NUMCHEQUE", "DATA", "VALOR", "VALORBRUTO", "IRPF", "ISS", "OUTROS", "TIPO"})
                    ins.bind(QString::fromLatin1(col), c.value(QString::fromLatin1(col)));
                ins.bind(QStringLiteral("CDUSUARIO"), ctx_.CdUsuarioAtual());
                ins.bind(QStringLiteral("OBS"), c.value(QStringLiteral("DESCRICAO")));
                ins.execute();
                if (confere) {
                    if (!saldo)
                        saldo = std::make_unique<fb::Statement>(
                            tr, QStringLiteral(
                                    "SELECT N.SALDO FROM nota N WHERE N.cdnotas = :pcdnotas"));
                    saldo->bind(QStringLiteral("pcdnotas"), c.value(QStringLiteral("CDNOTAS")));
                    saldo->execute();
                    const Money resta = saldo->fetch() ? moneyOf(saldo->value(0)) : Money();
                    if (resta < Money()) {
                        tr.executeImmediate(QStringLiteral("ROLLBACK TO SAVEPOINT CHEQUE_LANCADO"));
                        excedem.append({c, resta + moneyOf(c.value(QStringLiteral("VALORBRUTO")))});
                        continue;
                    }
                }
                if (!c.value(QStringLiteral("CDNOTAS")).isNull()) {
                    if (!nota)
                        nota = std::make_unique<fb::Statement>(
                            tr, QStringLiteral("UPDATE NOTA SET AGENDADA = :PAGENDADA WHERE "
                                               "CDNOTAS = :PCDNOTAS"));
                    nota->bind(QStringLiteral("PAGENDADA"), QStringLiteral("N"));
                    nota->bind(QStringLiteral("PCDNOTAS"), c.value(QStringLiteral("CDNOTAS")));
                    nota->execute();
                }
                historico.grava(QStringLiteral("L"), codigo);
            }
        });
    } catch (const fb::Error& e) {
        db.noteError(e);
        if (e.isConnectionLost())
            kit::messages().error(
                QStringLiteral("A conexão com o banco de dados foi perdida e "
                               "nenhum cheque foi lançado."));
        else if (e.isConflict())
            kit::messages().warning(
                QStringLiteral("Nenhum cheque foi lançado: outra estação está gravando os "
                               "mesmos registros neste momento.\nLance-os novamente em "
                               "instantes."));
        else
            kit::messages().warning(
                QStringLiteral("Nenhum cheque foi lançado: o banco de dados recusou o "
                               "lançamento.\n") +
                e.message());
        grid_->setFocus();
        return;
    }
    for (const auto& [c, resta] : excedem) kit::messages().information(mensagemSaldo(c, resta));
    // Cheques another workstation launched, changed or deleted meanwhile.
    for (const QVariantMap& c : sumidos) {
        const QString num = c.value(QStringLiteral("NUMCHEQUE")).toString();
        QString texto;
        try {
            const bool existe =
                db.value(QStringLiteral("SELECT COUNT(*) FROM CHEQUE WHERE CD = :CD"),
                         {{QStringLiteral("CD"), c.value(QStringLiteral("CD"))}})
                    .toInt() > 0;
            const bool lancado =
                !existe &&
                db.value(QStringLiteral("SELECT COUNT(*) FROM LANCAMENTO WHERE NUMCHEQUE IS NOT "
                                        "DISTINCT FROM :N AND CDRECURSO IS NOT DISTINCT FROM :R "
                                        "AND VALOR IS NOT DISTINCT FROM :V"),
                         {{QStringLiteral("N"), c.value(QStringLiteral("NUMCHEQUE"))},
                          {QStringLiteral("R"), c.value(QStringLiteral("CDRECURSO"))},
                          {QStringLiteral("V"), c.value(QStringLiteral("VALOR"))}})
                        .toInt() > 0;
            if (existe)
                texto = QStringLiteral(
                            "O cheque %1 foi alterado em outra estação e não foi "
                            "lançado. Confira-o e lance-o novamente.")
                            .arg(num);
            else if (lancado)
                texto =
                    umSo ? QStringLiteral("Este Cheque Já foi Lançado")
                         : QStringLiteral("O cheque %1 já foi lançado em outra estação.").arg(num);
            else
                texto =
                    QStringLiteral("O cheque %1 foi apagado em outra estação e não foi lançado.")
                        .arg(num);
        } catch (const fb::Error&) {
            texto =
                QStringLiteral("O cheque %1 não está mais na agenda e não foi lançado.").arg(num);
        }
        kit::messages().information(texto);
    }
    try {
        tb_Cheque_->refresh();
    } catch (const fb::Error& e) {
        ctx_.MostraErroBanco(e);
    }
    grid_->setFocus();
}
