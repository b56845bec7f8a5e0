#include "aplicacao.h"

int main(int argc, char** argv) {
    TesourariaApplication app(argc, argv);
    return ExecutaPrograma(app);
}
