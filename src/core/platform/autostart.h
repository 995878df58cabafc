#pragma once

#include <QString>

// Whether the program starts when the user logs on.
//
// Windows: the value "orvchat" of HKEY_CURRENT_USER\SOFTWARE\Microsoft\Windows\CurrentVersion\run,
// kept in the current settings store (see SettingsStore::current()); switched off it holds an
// empty text and is never deleted.
// Elsewhere: the desktop entry "orvchat.desktop" in the user's autostart folder
// ($XDG_CONFIG_HOME/autostart, ~/.config/autostart by default); switched off it stays, marked
// hidden and disabled.

// Starts program (this program when empty) at log-on. False when the entry was not written.
bool EnableAutostart(const QString &program = QString());
// Keeps the entry but switches it off. False when the entry was not written.
bool DisableAutostart();
// The program the entry starts, or an empty text when it is switched off. A missing or
// unreadable entry leaves AutostartCommand as it was.
void ReadAutostart(QString &AutostartCommand);
