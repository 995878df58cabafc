#include "formatpreview.h"

#include "ircbackground.h"
#include "text/roomformatting.h"

#include <QWidget>

void showFormatting(std::initializer_list<QWidget *> widgets, const RoomFormatting &formatting)
{
    const QColor colour = previewColour(formatting.colourIndex());
    for (QWidget *widget : widgets) {
        QFont font = widget->font();
        font.setBold(formatting.bold());
        font.setUnderline(formatting.underline());
        widget->setFont(font);
        useIrcBackground(widget);
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Text, colour);
        palette.setColor(QPalette::WindowText, colour);
        widget->setPalette(palette);
    }
}
