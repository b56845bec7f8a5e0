#include "aplicacao.h"

int main(int argc, char** argv) {
    BloqueiaSinaisDeTermino();
    TesourariaApplication app(argc, argv);
    return ExecutaPrograma(app);
}
