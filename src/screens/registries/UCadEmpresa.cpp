#include "screens/registries/UCadEmpresa.h"

#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>

#include "kit/core/messages.h"
#include "kit/ui/jpeg.h"
#include "kit/ui/widgets/editors.h"

using Field = TFrmManutencao::Field;
using Kind = TFrmManutencao::FieldKind;

namespace {

TFrmManutencao::Definition empresa() {
    TFrmManutencao::Definition d;
    d.objectName = QStringLiteral("FrmCadEmpresa");
    d.caption = QStringLiteral("Manutenção de Empresa");
    d.codeColumn = QStringLiteral("CDEMPRESA");
    d.maxSql = QStringLiteral("select max(CDEMPRESA) as MAXID from EMPRESA");
    Field cnpj{"CPF/CNPJ", "CNPJ", Kind::Mask};
    cnpj.mask = QStringLiteral("99.999.999/9999-99;1;_");
    d.fields = {{"PREFEITURA", "NOME", Kind::TextKeepCase},
                {"ENDEREÇO", "ENDERECO"},
                {"CÓDIGO", "CDEMPRESA", Kind::Integer},
                {"CIDADE", "CIDADE", Kind::Text, nullptr, true},
                {"UF", "UF", Kind::Text, nullptr, true},
                cnpj,
                {"1º NOME", "ASSINANTE", Kind::Text, "ASSINANTE DE CHEQUE"},
                {"2º NOME", "ASSINANTE1", Kind::Text, "ASSINANTE DE CHEQUE"},
                {"LOGOTIPO", "FOTO", Kind::Picture}};
    d.requiredColumn = QStringLiteral("NOME");
    d.requiredList = QStringLiteral("(Nome Prefeitura)");
    d.deleteQuestion = QStringLiteral("Deseja realmente deletar o registro?");
    d.consultation = false;
    return d;
}

}  // namespace

TFrmCadEmpresa::TFrmCadEmpresa(Contexto& contexto, QWidget* parent)
    : TFrmManutencao(contexto, empresa(), &contexto.tb_Empresa(), parent) {
    logo_ = qobject_cast<QLabel*>(editor(QStringLiteral("FOTO")));
    // The municipality's name and its city whole, at their longest.
    for (const char* column : {"NOME", "CIDADE"})
        if (auto* box = qobject_cast<QLineEdit*>(editor(QLatin1String(column))))
            kit::fitWidth(box, kit::longestText(box->maxLength()));
    auto* buscar = new QPushButton(QStringLiteral("BUSCAR IMAGEM"), dataPanel());
    buscar->setObjectName(QStringLiteral("Bt_BuscarImagem"));
    dataPanel()->layout()->addWidget(buscar);
    connect(buscar, &QPushButton::clicked, this, &TFrmCadEmpresa::buscaImagem);
    mostraValoresExtras();
}

void TFrmCadEmpresa::buscaImagem() {
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("Buscar imagem"), QString(),
                                     QStringLiteral("Imagens (*.bmp *.png *.jpg *.jpeg);;Bitmaps "
                                                    "(*.bmp);;PNG (*.png);;JPEG (*.jpg *.jpeg)"));
    if (!path.isEmpty())
        carregaImagem(path);
}

bool TFrmCadEmpresa::carregaImagem(const QString& path) {
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    QString error;
    const QImage image = bytes.isEmpty() ? QImage() : kit::decodePicture(bytes, &error);
    if (image.isNull()) {
        kit::messages().warning(
            QStringLiteral(
                "Não foi possível ler a imagem \"%1\".\nEscolha um arquivo BMP, PNG ou JPEG.")
                .arg(path));
        return false;
    }
    pendingPicture_ = bytes;
    logo_->setPixmap(QPixmap::fromImage(image).scaled(logo_->size(), Qt::KeepAspectRatio,
                                                      Qt::SmoothTransformation));
    return true;
}

bool TFrmCadEmpresa::podeGravar() {
    auto* cnpj = qobject_cast<kit::MaskEdit*>(editor(QStringLiteral("CNPJ")));
    if (!cnpj->isBlank() && !cnpj->isComplete()) {
        kit::messages().warning(QStringLiteral(
            "CNPJ incompleto! Digite os 14 algarismos do CNPJ ou deixe o campo em branco."));
        cnpj->setFocus();
        return false;
    }
    return true;
}

void TFrmCadEmpresa::gravaValoresExtras() {
    if (pendingPicture_)
        dataSet().setValue(QStringLiteral("FOTO"), *pendingPicture_);
    pendingPicture_.reset();
}

void TFrmCadEmpresa::mostraValoresExtras() {
    if (!logo_)
        return;
    if (!dataSet().isEditing())
        pendingPicture_.reset();
    if (pendingPicture_)
        return;
    const QByteArray stored =
        dataSet().isEmpty() ? QByteArray() : dataSet().value(QStringLiteral("FOTO")).toByteArray();
    const QImage image = stored.isEmpty() ? QImage() : kit::decodePicture(stored);
    if (image.isNull())
        logo_->clear();
    else
        logo_->setPixmap(QPixmap::fromImage(image).scaled(logo_->size(), Qt::KeepAspectRatio,
                                                          Qt::SmoothTransformation));
}
