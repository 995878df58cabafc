#pragma once

class QLineEdit;

// Makes box a password box that shows "*" for each character, where most styles would show a
// bullet. Everything else about the box keeps the application's style.
void showPasswordAsStars(QLineEdit *box);
