#include "app/aplicacao.h"
#include "app/telas.h"
#include "kit/core/messages.h"
#include "kit/ui/dialogmessages.h"

int main(int argc, char** argv) {
    BloqueiaSinaisDeTermino();
    TesourariaApplication app(argc, argv);
    kit::setMessageService(std::make_unique<kit::DialogMessageService>());
    return ExecutaPrograma(app, RegistraTelas);
}
