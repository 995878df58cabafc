#include "ircbackground.h"

#include <QWidget>

void useIrcBackground(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    widget->setPalette(palette);
}
