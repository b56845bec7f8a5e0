#pragma once

#include <QApplication>
#include <functional>

#include "kit/db/fbclient.h"

class TFrmPrincipal;

// The program's application object: any error that reaches the event loop is
// shown in the application-wide error box instead of ending the program.
class TesourariaApplication : public QApplication {
public:
    TesourariaApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Blocks SIGTERM, SIGINT and SIGHUP for every thread started afterwards; call it
// before anything else. ExecutaPrograma then turns them into an orderly exit.
void BloqueiaSinaisDeTermino();

// Start-up: reads the configuration beside the executable, connects, brings the
// database to this program's version, opens the main window as the demonstration
// administrator, registers the screens and runs the event loop. Returns the exit
// status.
int ExecutaPrograma(TesourariaApplication& app,
                    const std::function<void(TFrmPrincipal&)>& registraTelas);
