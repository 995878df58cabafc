#pragma once

#include <functional>

class QObject;

// Runs end from the event loop on SIGINT and SIGTERM (Ctrl+C, a session logging out), so the
// program closes its connection and files as on a normal exit. A signal that comes before the
// event loop runs is handled once it runs. Does nothing where there are no such signals.
void endOnTerminationSignals(QObject *parent, std::function<void()> end);
