#pragma once

#include <QByteArray>
#include <optional>

#include "screens/base/UManutencao.h"

class QLabel;

// The municipality's own record, kept in the main window's tb_Empresa so that a
// saved change shows at once wherever the record is printed.
class TFrmCadEmpresa : public TFrmManutencao {
    Q_OBJECT
public:
    explicit TFrmCadEmpresa(Contexto& contexto, QWidget* parent = nullptr);

    // Loads a picture file into the logo box (stored when the row is saved).
    // False, with a message, when the file cannot be read as a picture.
    bool carregaImagem(const QString& path);
    // "BUSCAR IMAGEM": chooses a file and loads it.
    void buscaImagem();

protected:
    bool podeGravar() override;
    void gravaValoresExtras() override;
    void mostraValoresExtras() override;

private:
    QLabel* logo_ = nullptr;
    std::optional<QByteArray> pendingPicture_;
};
