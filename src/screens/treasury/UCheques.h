#pragma once

// The "Impressão de Cheque" page of the treasury entry screen: the cheque schedule
// of a date and/or a resource, typed in a grid, totalled, deleted, and launched as
// treasury entries.

#include <QVariantMap>
#include <QWidget>
#include <functional>
#include <memory>

#include "data/contexto.h"
#include "kit/core/money.h"
#include "kit/db/dataset.h"

class QLabel;
class QMenu;
class QPushButton;
class TFrmCadLancamento;
class TFrmEscolhe;

namespace kit {
class DateEdit;
class EditGrid;
class LookupCombo;
}  // namespace kit

class PaginaCheques : public QWidget {
    Q_OBJECT
public:
    // The grid's columns, in order.
    enum Coluna {
        Marcar = 0,
        NumNota,
        ValorBruto,
        ValorIss,
        ValorIrpf,
        ValorCheque,
        NumCheque,
        Nominal,
        Atividade,
        Recurso,
        DtVenc,
        Impresso,
        DtLancamento,
        Historico,
        Conta,
        NumColunas
    };

    PaginaCheques(Contexto& contexto, TFrmCadLancamento& tela, QWidget* parent = nullptr);
    ~PaginaCheques() override;

    kit::DataSet& tb_Cheque() { return *tb_Cheque_; }
    kit::EditGrid* grade() const { return grid_; }
    kit::DateEdit* dataBox() const { return data_; }
    kit::LookupCombo* recursoBox() const { return recurso_; }

    // True while a new cheque row is being inserted.
    bool inserindo() const;

    // "Localizar": reopens the list with the date and/or the resource of the boxes.
    void Localizar();
    // "Totalizar": recounts when both the date and the resource are given.
    void Totalizar();
    void ApagarEsteCheque();
    void ApagarMarcados();
    void LancarMarcados();
    void LancarEsteCheque();

    struct Grupo {
        int quantidade = 0;
        kit::Money valor;
    };
    // The totals last computed: all rows, the printed ones, the launched ones.
    Grupo total() const { return total_; }
    Grupo impresso() const { return impresso_; }
    Grupo lancado() const { return lancado_; }

    // Enter in the grid (the window sees it first); false when the page leaves the
    // key to the window.
    bool teclaEnter();
    // Posts the row being typed (the window is closing); false when it was refused.
    bool gravaLinha();
    // Fills the context menu of the grid.
    void montaMenu(QMenu& menu);

    // Instead of showing a picker modally (tests answer it here).
    std::function<void(TFrmEscolhe&)> pickerHook;

private:
    void buildPage();
    void calculaTotais();
    void mostraTotais();
    void novaLinha(kit::DataSet& ds);
    bool podeInserir();
    void antesDeGravar(kit::DataSet& ds);
    void depoisDeGravar(kit::DataSet& ds);
    void aplica();
    void recalculaValor();
    void abreSeletor(int coluna);
    void saiuDaGrade(QWidget* old, QWidget* now);

    // The invoice test of one cheque row: the invoice missing, and its balance.
    struct Teste {
        bool notaFaltando = false;
        kit::Money saldo;
        bool passa = false;
    };
    class ConsultaNota;
    QString mensagemSaldo(const QVariantMap& cheque, kit::Money saldo) const;
    QVariantMap linha(int row) const;
    // Writes the entries, the invoice marks, the history rows and the cheque
    // deletions of one launch in one transaction, then reads the list again.
    void lanca(const QVector<QVariantMap>& cheques, bool umSo);

    Contexto& ctx_;
    TFrmCadLancamento& tela_;
    std::unique_ptr<kit::DataSet> tb_Cheque_;
    kit::EditGrid* grid_ = nullptr;
    kit::DateEdit* data_ = nullptr;
    kit::LookupCombo* recurso_ = nullptr;
    QLabel* totalQtd_ = nullptr;
    QLabel* totalValor_ = nullptr;
    QLabel* impressoQtd_ = nullptr;
    QLabel* impressoValor_ = nullptr;
    Grupo total_, impresso_, lancado_;
    // The cheque number of the row the cursor left last, and of the current row.
    QVariant numLembrado_;
    QVariant numAtual_;
    bool aplicando_ = false;
};
