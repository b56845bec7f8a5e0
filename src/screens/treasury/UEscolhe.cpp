#include "screens/treasury/UEscolhe.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "kit/core/messages.h"
#include "kit/edit/binder.h"
#include "kit/ui/widgets/editors.h"
#include "kit/ui/widgets/lookup.h"

TFrmEscolhe::TFrmEscolhe(kit::DataSet& list, kit::DataSet& row, Definicao definicao,
                         QWidget* parent)
    : QDialog(parent), list_(list), row_(row), def_(std::move(definicao)) {
    setObjectName(def_.objectName);
    setWindowTitle(def_.caption);
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(def_.caption, this);
    heading->setObjectName(QStringLiteral("lbl_Titulo"));
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    heading->setFont(bold);
    layout->addWidget(heading);
    auto* prompt = new QLabel(def_.prompt, this);
    layout->addWidget(prompt);
    search_ = new kit::TextEdit(60, true, this);
    search_->setObjectName(QStringLiteral("edit_Localiza"));
    kit::FieldBinder::label(prompt, search_);
    layout->addWidget(search_);
    grid_ = new kit::DataGrid(&list_, def_.columns, this);
    grid_->setObjectName(QStringLiteral("wwDBGrid1"));
    grid_->setAccessibleName(def_.caption);
    layout->addWidget(grid_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    const struct {
        const char* name;
        const char* caption;
    } defs[] = {{"Bt_OK", "&OK"}, {"Bt_Remover", "&Remover"}, {"Bt_Sair", "&Sair"}};
    for (const auto& d : defs) {
        auto* b = new QPushButton(QString::fromLatin1(d.caption), this);
        b->setObjectName(QString::fromLatin1(d.name));
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    connect(findChild<QPushButton*>(QStringLiteral("Bt_OK")), &QPushButton::clicked, this,
            &TFrmEscolhe::ok);
    connect(findChild<QPushButton*>(QStringLiteral("Bt_Remover")), &QPushButton::clicked, this,
            &TFrmEscolhe::remover);
    connect(findChild<QPushButton*>(QStringLiteral("Bt_Sair")), &QPushButton::clicked, this,
            &QDialog::reject);
    connect(search_, &QLineEdit::textChanged, this,
            [this](const QString& text) { kit::locatePrefix(list_, def_.searchField, text); });
    connect(grid_, &kit::DataGrid::rowActivated, this, &TFrmEscolhe::ok);
    int width = 60;
    for (const kit::GridColumn& c : def_.columns)
        width += c.width * fontMetrics().horizontalAdvance(QLatin1Char('N')) + 12;
    resize(std::min(width, 900), 440);
    search_->installEventFilter(this);
    search_->setFocus();
}

bool TFrmEscolhe::eventFilter(QObject* watched, QEvent* event) {
    // Enter in the search box goes on to the list.
    if (watched == search_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            grid_->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmEscolhe::write(const QVariant& value) {
    try {
        if (!row_.isEditing())
            row_.edit();
        row_.setValue(def_.targetField, value);
    } catch (const kit::DataSetError& e) {
        kit::messages().warning(e.message());
        return;
    }
    accept();
}

void TFrmEscolhe::ok() {
    if (list_.isEmpty()) {
        reject();
        return;
    }
    write(list_.value(def_.keyField));
}

void TFrmEscolhe::remover() {
    write(QVariant());
}

TFrmEscolheAtividade::TFrmEscolheAtividade(kit::DataSet& activities, kit::DataSet& row,
                                           QWidget* parent)
    : TFrmEscolhe(activities, row,
                  {QStringLiteral("FrmEscolheAtividade"),
                   QStringLiteral("Localização de Atividade"),
                   QStringLiteral("DIGITE A ATIVIDADE"),
                   QStringLiteral("NOME"),
                   {kit::GridColumn("NOME", "ATIVIDADE", 60)},
                   QStringLiteral("CDATIVIDADE"),
                   QStringLiteral("CDATIVIDADE")},
                  parent) {}

TFrmEscolheFornecedor::TFrmEscolheFornecedor(kit::DataSet& suppliers, kit::DataSet& row,
                                             QWidget* parent)
    : TFrmEscolhe(
          suppliers, row,
          {QStringLiteral("FrmEscolheFornecedor"),
           QStringLiteral("Localização de Fornecedor"),
           QStringLiteral("DIGITE O NOME DO FORNECEDOR"),
           QStringLiteral("NOME"),
           {kit::GridColumn("NOME", "FORNECEDOR", 41), kit::GridColumn("CIDADE", "CIDADE", 25)},
           QStringLiteral("CDFORNECEDOR"),
           QStringLiteral("CDFORNECEDOR")},
          parent) {}

TFrmEscolheRecurso::TFrmEscolheRecurso(kit::DataSet& resources, kit::DataSet& row, QWidget* parent)
    : TFrmEscolhe(
          resources, row,
          {QStringLiteral("FrmEscolheRecurso"),
           QStringLiteral("Localização de Recurso"),
           QStringLiteral("DIGITE O NUMERO DO RECURSO"),
           QStringLiteral("NUMCONTA"),
           {kit::GridColumn("NUMCONTA", "Nº CONTA", 10), kit::GridColumn("NOME", "NOME", 41)},
           QStringLiteral("CDRECURSO"),
           QStringLiteral("CDRECURSO")},
          parent) {}
