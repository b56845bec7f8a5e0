#include "app/telas.h"

#include "app/UPrincipal.h"
#include "screens/registries/UCadEmpresa.h"
#include "screens/registries/UCadastros.h"
#include "screens/treasury/UCadLancamento.h"

namespace {

template <class Screen>
TFrmPrincipal::ScreenFactory child() {
    return [](TFrmPrincipal& main) -> QWidget* { return new Screen(main.contexto()); };
}

}  // namespace

void RegistraTelas(TFrmPrincipal& main) {
    using Kind = TFrmPrincipal::ScreenKind;
    main.registerScreen(QStringLiteral("Cadastro_de_Recurso"), Kind::Child,
                        child<TFrmCadRecurso>());
    main.registerScreen(QStringLiteral("Cadastro_de_Atividade"), Kind::Child,
                        child<TFrmCadAtividade>());
    main.registerScreen(QStringLiteral("Cadastro_de_Fornecedor"), Kind::Child,
                        child<TFrmCadFornecedor>());
    main.registerScreen(QStringLiteral("Cadastro_de_Localidade_Empenho"), Kind::Child,
                        child<TFrmCadLocalidade>());
    main.registerScreen(QStringLiteral("Cadastro_de_Modalidade_Empenho"), Kind::Child,
                        child<TFrmCadModalidadeEmp>());
    main.registerScreen(QStringLiteral("Secretarias1"), Kind::Child, child<TFrmCadSecretaria>());
    main.registerScreen(QStringLiteral("FuncionarioDiarias"), Kind::Child,
                        child<TFrmCadFuncionario>());
    main.registerScreen(QStringLiteral("Cadastro_da_Prefeitura"), Kind::Child,
                        child<TFrmCadEmpresa>());
    main.registerScreen(QStringLiteral("Impressao_de_cheques_e_Lancamentos"), Kind::Child,
                        child<TFrmCadLancamento>());
}
