#include "app/aplicacao.h"
#include "app/telas.h"

int main(int argc, char** argv) {
    BloqueiaSinaisDeTermino();
    TesourariaApplication app(argc, argv);
    return ExecutaPrograma(app, RegistraTelas);
}
