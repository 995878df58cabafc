#pragma once

class QObject;

// Ends the event loop cleanly on SIGINT and SIGTERM (Ctrl+C, a session logging out), so the
// program closes its connection and files as on a normal exit. Does nothing where there are no
// such signals.
void quitOnTerminationSignals(QObject *parent);
