#pragma once

#include <QColor>
#include <QPalette>

// A dark desktop theme as Qt applies one (with the Fusion style): dark window and base colours,
// light text. The dark-theme tests and the screenshot tool look at the windows under it.
inline QPalette darkPalette()
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(45, 45, 48));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(30, 30, 32));
    dark.setColor(QPalette::AlternateBase, QColor(53, 53, 56));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Button, QColor(53, 53, 56));
    dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::ToolTipBase, QColor(53, 53, 56));
    dark.setColor(QPalette::ToolTipText, QColor(230, 230, 230));
    return dark;
}
