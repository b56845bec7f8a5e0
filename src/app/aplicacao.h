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
// before anything else. ExecutaPrograma then turns them into an orderly exit at any
// time: every event loop ends (a start-up error box's too), the connection is
// closed and the program exits with 128 + the signal's number.
void BloqueiaSinaisDeTermino();

// The termination signal received, or 0.
int SinalDeTermino();

// Start-up: reads the configuration (beside the executable unless iniPath names
// one), connects, brings the database to this program's version, opens the main
// window as the first enabled master user (until the login exists; without one it
// refuses to start), registers the screens and runs the event loop. Messages go
// through kit::messages() (main() installs the dialogs). Returns the exit status.
int ExecutaPrograma(TesourariaApplication& app,
                    const std::function<void(TFrmPrincipal&)>& registraTelas,
                    const QString& iniPath = {});
