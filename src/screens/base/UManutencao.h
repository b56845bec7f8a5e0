#pragma once

#include <QFrame>
#include <QHash>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "data/contexto.h"
#include "kit/db/dataset.h"
#include "kit/edit/binder.h"
#include "kit/edit/editstate.h"
#include "kit/ui/widgets/datagrid.h"

class QLabel;
class QPushButton;
class QTabWidget;

// The maintenance screen of a table: a consultation tab with a read-only grid and a
// "Cadastro" tab with the boxes of the current row, the navigator buttons, the keys
// F4 to F8, the code as the highest code plus one, and the guards against losing
// unsaved changes. A screen built on it states its data, fields, required field and
// deviations.
class TFrmManutencao : public QWidget {
    Q_OBJECT
public:
    enum class FieldKind {
        Text,
        TextKeepCase,
        Integer,
        Date,
        Money,
        Mask,
        Choice,
        Lookup,
        Picture
    };

    // The list a Lookup field chooses from.
    struct Lookup {
        QString sql;           // "SELECT * FROM ATIVIDADE ORDER BY NOME"
        QString keyField;      // its key, stored in the field
        QString displayField;  // what the box shows
        QString title;         // the selection dialog's caption
        QVector<kit::GridColumn> columns;
    };

    struct Field {
        Field(const char* label_, const char* column_, FieldKind kind_ = FieldKind::Text,
              const char* group_ = nullptr, bool sameLine_ = false)
            : label(QString::fromUtf8(label_)),
              column(QString::fromLatin1(column_)),
              kind(kind_),
              group(group_ ? QString::fromUtf8(group_) : QString()),
              sameLine(sameLine_) {}
        Field(const QString& label_, const QString& column_, FieldKind kind_ = FieldKind::Text)
            : label(label_), column(column_), kind(kind_) {}
        QString label;
        QString column;
        FieldKind kind = FieldKind::Text;
        QString group;                           // title of the box that holds it
        bool sameLine = false;                   // beside the previous field
        QString mask;                            // Mask
        QList<QPair<QString, QString>> choices;  // Choice: stored value, text shown
        Lookup lookup;                           // Lookup
    };

    struct Definition {
        QString objectName;  // "FrmCadRecurso"
        QString caption;     // window caption
        QString sql;         // the main data set
        QString codeColumn;  // key, MAXID + 1
        QString maxSql;      // the code query Qry_MAX
        QVector<kit::GridColumn> grid;
        QVector<Field> fields;  // in tab order
        QString requiredColumn;
        QString requiredList;  // passed to AvisoCamposObrigatorios
        QString deleteQuestion = QStringLiteral("Deseja realmente deletar o registro ???");
        bool consultation = true;  // false: only the Cadastro tab, no movement buttons
    };

    // The screen works on its own data set, or on one it is given (kept open).
    TFrmManutencao(Contexto& contexto, Definition definition, kit::DataSet* external = nullptr,
                   QWidget* parent = nullptr);
    ~TFrmManutencao() override;

    kit::DataSet& dataSet() { return *ds_; }
    const Definition& definition() const { return def_; }
    QWidget* editor(const QString& column) const { return editors_.value(column.toUpper()); }
    kit::EditState& estado() { return *state_; }

    // The commands of the navigator, as the buttons and keys call them.
    void Inserir();
    void Alterar();
    void Deletar();
    void Gravar();
    void Cancelar();

    // Tab switching as the operator does it (with the guard).
    void mostraConsulta();
    void mostraCadastro();

protected:
    // Runs after the confirmation of a delete, before the row is deleted.
    virtual void antesDeDeletar() {}
    // Defaults of a new row, after its code is set.
    virtual void valoresIniciais() {}
    // Extra checks before a save; false refuses it (the screen shows its message).
    virtual bool podeGravar() { return true; }
    // Values that are not in an edit box (a picture), written before the row is posted.
    virtual void gravaValoresExtras() {}
    // Refreshes what the screen shows beyond the edit boxes.
    virtual void mostraValoresExtras() {}
    // The lists of the Lookup fields, by column.
    kit::DataSet* lista(const QString& column) const { return lookups_.value(column.toUpper()); }

    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    QWidget* consultaPanel() const { return consultaTop_; }
    QWidget* dataPanel() const { return dataPanel_; }
    Contexto& contexto() { return ctx_; }
    // Loads the current row into the edit boxes.
    void mostraRegistro();

private:
    void buildLayout();
    QWidget* makeEditor(const Field& f);
    void insere();
    void altera();
    void deleta();
    void grava();
    void cancela();
    bool requiredEmpty() const;
    void cancelPending();

    Contexto& ctx_;
    Definition def_;
    std::unique_ptr<kit::DataSet> own_;
    kit::DataSet* ds_;
    QTabWidget* pages_ = nullptr;
    QWidget* consultaTab_ = nullptr;
    QWidget* cadastroTab_ = nullptr;
    QWidget* consultaTop_ = nullptr;
    QFrame* dataPanel_ = nullptr;
    kit::DataGrid* grid_ = nullptr;
    QHash<QString, QPushButton*> buttons_;
    QHash<QString, QWidget*> editors_;
    QHash<QString, kit::DataSet*> lookups_;
    std::vector<std::unique_ptr<kit::DataSet>> lookupLists_;
    kit::FieldBinder* binder_ = nullptr;
    kit::EditState* state_ = nullptr;
    bool changingTab_ = false;
};
