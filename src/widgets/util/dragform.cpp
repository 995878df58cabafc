#include "dragform.h"

#include <QEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace {

class DragMoveFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress &&
            static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            DragForm(static_cast<QWidget *>(watched)->window());
        }
        return false; // the widget still sees its press (labels keep their clicks)
    }
};

} // namespace

void DragForm(QWidget *window)
{
    if (!window)
        return;
    if (QWindow *handle = window->window()->windowHandle())
        handle->startSystemMove();
}

void enableDragMove(QWidget *widget)
{
    widget->installEventFilter(new DragMoveFilter(widget));
}
