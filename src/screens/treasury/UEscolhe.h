#pragma once

// The pickers of the cheque schedule: the operator finds an activity, a supplier
// or a resource in a list of the treasury entry screen and the choice is written
// into the current cheque row, which stays in edit.

#include <QDialog>

#include "kit/db/dataset.h"
#include "kit/ui/widgets/datagrid.h"

class QLineEdit;

class TFrmEscolhe : public QDialog {
    Q_OBJECT
public:
    struct Definicao {
        QString objectName;
        QString caption;      // also the heading
        QString prompt;       // above the search box
        QString searchField;  // of the list
        QVector<kit::GridColumn> columns;
        QString keyField;     // of the list, written into the row
        QString targetField;  // of the cheque row
    };

    TFrmEscolhe(kit::DataSet& list, kit::DataSet& row, Definicao definicao,
                QWidget* parent = nullptr);

    QLineEdit* searchBox() const { return search_; }
    kit::DataGrid* grid() const { return grid_; }

    // "&OK": the code of the list's current row into the cheque row, then close.
    void ok();
    // "&Remover": the cheque row's field emptied, then close.
    void remover();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void write(const QVariant& value);

    kit::DataSet& list_;
    kit::DataSet& row_;
    Definicao def_;
    QLineEdit* search_;
    kit::DataGrid* grid_;
};

class TFrmEscolheAtividade : public TFrmEscolhe {
    Q_OBJECT
public:
    TFrmEscolheAtividade(kit::DataSet& activities, kit::DataSet& row, QWidget* parent = nullptr);
};

class TFrmEscolheFornecedor : public TFrmEscolhe {
    Q_OBJECT
public:
    TFrmEscolheFornecedor(kit::DataSet& suppliers, kit::DataSet& row, QWidget* parent = nullptr);
};

class TFrmEscolheRecurso : public TFrmEscolhe {
    Q_OBJECT
public:
    TFrmEscolheRecurso(kit::DataSet& resources, kit::DataSet& row, QWidget* parent = nullptr);
};
