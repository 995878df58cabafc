#include "todaywindow.h"

#include "util/dragform.h"

#include <QBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QShortcut>
#include <QWebEngineView>

#include <functional>

namespace {

// Runs an action when the left button is pressed and released over the watched widget.
class ClickFilter : public QObject
{
public:
    ClickFilter(QWidget *widget, std::function<void()> action)
        : QObject(widget), m_action(std::move(action))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::MouseButtonPress &&
            event->type() != QEvent::MouseButtonRelease)
            return false;
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        // Taking the press keeps it from reaching the window, where it could start a move.
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QWidget *>(watched)->rect().contains(mouse->position().toPoint()))
            m_action();
        return true;
    }

private:
    std::function<void()> m_action;
};

QLabel *addMark(QWidget *strip, const char *name, const QString &text, const QString &tip)
{
    auto *label = new QLabel(text, strip);
    label->setObjectName(QLatin1String(name));
    label->setToolTip(tip);
    label->setCursor(Qt::PointingHandCursor);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(label->fontMetrics().height() * 3 / 2);
    return label;
}

} // namespace

TodayWindow::TodayWindow(QWidget *parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    // The window and its browser share the name the rest of the program knows them by.
    setObjectName(QStringLiteral("webtoday"));
    setWindowTitle(QStringLiteral("Velmora Today"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto *strip = new QWidget(this);
    strip->setAutoFillBackground(true);
    QPalette colours = strip->palette();
    colours.setColor(QPalette::Window, QColor(0, 86, 128));
    colours.setColor(QPalette::WindowText, Qt::white);
    strip->setPalette(colours);

    auto *titleLabel = new QLabel(windowTitle(), strip);
    titleLabel->setObjectName(QStringLiteral("Label3"));
    QFont bold = titleLabel->font();
    bold.setBold(true);
    titleLabel->setFont(bold);
    enableDragMove(titleLabel);
    QLabel *minimizeMark =
        addMark(strip, "Label2", QStringLiteral("–"), QStringLiteral("Minimize"));
    QLabel *closeMark = addMark(strip, "Label1", QStringLiteral("×"), QStringLiteral("Close"));
    new ClickFilter(minimizeMark, [this] { showMinimized(); });
    new ClickFilter(closeMark, [this] { close(); });

    auto *stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(8, 4, 4, 4);
    stripLayout->addWidget(titleLabel, 1);
    stripLayout->addWidget(minimizeMark);
    stripLayout->addWidget(closeMark);

    m_browser = new QWebEngineView(this);
    m_browser->setObjectName(QStringLiteral("webtoday"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    layout->addWidget(strip);
    layout->addWidget(m_browser, 1);
    resize(560, 440);

    // A window shortcut, so Esc works while the page has the keyboard too.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::hide);
}

void TodayWindow::navigate(const QUrl &url)
{
    m_browser->setUrl(url);
}
