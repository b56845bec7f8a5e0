#pragma once

#include <QHash>
#include <QWidget>
#include <memory>

#include "data/contexto.h"
#include "kit/core/money.h"
#include "kit/db/dataset.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class PaginaCheques;

namespace kit {
class DataGrid;
class EditState;
class FieldBinder;
class DateEdit;
class IntegerEdit;
class LookupCombo;
class MoneyEdit;
class TextEdit;
}  // namespace kit

// "Impressão de Cheques / Manutenção de Lançamentos": the entries of one resource
// from a start date, with the resource's balance, where entries are typed, edited,
// deleted and saved; and the cheque schedule page.
class TFrmCadLancamento : public QWidget {
    Q_OBJECT
public:
    explicit TFrmCadLancamento(Contexto& contexto, QWidget* parent = nullptr);
    ~TFrmCadLancamento() override;

    kit::DataSet& tb_lancamentoL() { return *tb_lancamentoL_; }
    kit::DataSet& lista(const QString& name) { return *lists_.value(name); }
    kit::LookupCombo* recursoBox() const { return recurso_; }
    // The resource whose entries the list shows (null until one is chosen).
    QVariant recursoAtual() const { return recursoAtual_; }
    kit::EditState& estado() { return *state_; }
    // The "Impressão de Cheque" page.
    PaginaCheques& cheques() { return *cheques_; }

    // The commands of the entry page.
    void Inserir();
    void Alterar();
    void Deletar();
    void Gravar();
    void Cancelar();

    // What happens when the resource dialog closes with a resource in the box.
    void escolheRecurso();
    void atualizaSaldo();
    // Shows a page: 0 entries, 1 cheques (with the guard of the entry page).
    void mostraPagina(int page);
    int paginaAtual() const;

    // After an invoice was chosen for the entry: when entries of that invoice exist
    // on the entry's own date, asks whether to go on. Yes keeps the invoice (and
    // with no gross value drops it); returns false when the operator said No (the
    // caller shows the picker once more).
    bool confereNotaJaLancada();

    // The quick-add buttons.
    void cadastraAtividade();
    void cadastraFornecedor();
    void cadastraRecurso();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildEntryPage(QWidget* page);
    void ligaEditores();
    void insere();
    void altera();
    void deleta();
    void grava();
    void cancela();
    void calculaLiquido(bool perguntaGravar);
    void voltaRecurso();
    void recarrega(const QStringList& nomes);
    kit::DataSet* openList(const QString& name, const QString& sql);

    Contexto& ctx_;
    QHash<QString, kit::DataSet*> lists_;
    std::vector<std::unique_ptr<kit::DataSet>> owned_;
    kit::DataSet* tb_lancamentoL_ = nullptr;
    kit::DataSet* q_SaldoAtual_ = nullptr;
    kit::DataSet* Tb_Nota_Escolhe_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    kit::LookupCombo* recurso_ = nullptr;
    kit::DateEdit* dataInicial_ = nullptr;
    kit::DataGrid* grid_ = nullptr;
    QLabel* saldoTitulo_ = nullptr;
    QLabel* saldo_ = nullptr;
    QWidget* dados_ = nullptr;
    QWidget* botoes_ = nullptr;
    QHash<QString, QPushButton*> buttons_;
    // The data panel.
    kit::DateEdit* data_ = nullptr;
    QLineEdit* numNota_ = nullptr;
    kit::IntegerEdit* numCheque_ = nullptr;
    QComboBox* tipo_ = nullptr;
    kit::LookupCombo* atividade_ = nullptr;
    kit::LookupCombo* fornecedor_ = nullptr;
    kit::TextEdit* contaTransf_ = nullptr;
    kit::TextEdit* obs_ = nullptr;
    kit::MoneyEdit* bruto_ = nullptr;
    kit::MoneyEdit* iss_ = nullptr;
    kit::MoneyEdit* irpf_ = nullptr;
    kit::MoneyEdit* outros_ = nullptr;
    kit::MoneyEdit* liquido_ = nullptr;
    kit::FieldBinder* binder_ = nullptr;
    kit::EditState* state_ = nullptr;
    PaginaCheques* cheques_ = nullptr;
    QVariant recursoAtual_;
    QDate dataSaldo_;
    kit::Money brutoAntes_;  // the gross value before the edit
};
