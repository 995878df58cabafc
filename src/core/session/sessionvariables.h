#pragma once

#include <QString>

// The project-wide session variables the login sets and the session keeps up to date.
struct SessionVariables
{
    QString CurrentNick;
    QString CurrentPassword; // used once to identify to NickServ, then emptied
    QString CurrentRoom;
    double ActivityCounter = 0; // +1 per login and per received line
};
