#include "launcherwindow.h"

#include "controls/trayicon.h"
#include "util/dragform.h"

#include <QApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>

namespace {

constexpr QSize WindowSize(420, 280);
const QColor CreditColor = Qt::white;
const QColor CreditHoverColor(255, 128, 0);

QLabel *addLabel(QWidget *parent, const char *name, const QString &text, const QRect &geometry)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    return label;
}

// A deep blue to teal wash with a soft glow, the speech-bubble mark and the product name.
QPixmap backgroundPicture(qreal ratio)
{
    QPixmap picture(WindowSize * ratio);
    picture.setDevicePixelRatio(ratio);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(QPointF(0, 0), QSizeF(WindowSize));

    QLinearGradient wash(area.topLeft(), area.bottomRight());
    wash.setColorAt(0, QColor(13, 33, 74));
    wash.setColorAt(0.6, QColor(22, 84, 128));
    wash.setColorAt(1, QColor(27, 127, 140));
    painter.fillRect(area, wash);

    QRadialGradient glow(QPointF(area.width() * 0.72, area.height() * 0.3), area.width() * 0.45);
    glow.setColorAt(0, QColor(255, 255, 255, 60));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    painter.fillRect(area, glow);

    painter.setPen(QPen(QColor(255, 255, 255, 90), 1));
    painter.drawRect(area.adjusted(0.5, 0.5, -0.5, -0.5));

    const QRect mark(28, 62, 56, 56);
    painter.drawPixmap(mark, TrayIcon::defaultIcon().pixmap(mark.size(), ratio));

    QFont title = painter.font();
    title.setPointSizeF(22);
    title.setBold(true);
    // The product name always fits its line, whatever font the system puts in its place.
    const qreal room = area.width() - 110;
    const qreal wide = QFontMetricsF(title).horizontalAdvance(QStringLiteral("Velmora Messenger"));
    if (wide > room)
        title.setPointSizeF(22 * room / wide);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(96, 60, area.width() - 110, 40), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Velmora Messenger"));
    QFont version = painter.font();
    version.setPointSizeF(10);
    version.setBold(false);
    painter.setFont(version);
    painter.setPen(QColor(200, 225, 240));
    painter.drawText(QRectF(98, 98, area.width() - 110, 20), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Chat with the Velmora network - version 1.0"));
    return picture;
}

} // namespace

QUrl LauncherWindow::siteUrl()
{
    return QUrl(QStringLiteral("https://www.velmora.chat/"));
}

LauncherWindow::LauncherWindow(TrayIcon &tray, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_tray(tray)
{
    setObjectName(QStringLiteral("mainfrm"));
    setWindowTitle(QStringLiteral("Velmora Messenger \u00ae - 1.0"));
    setWindowIcon(TrayIcon::defaultIcon());
    setFixedSize(WindowSize);

    auto *background = new QLabel(this);
    background->setObjectName(QStringLiteral("Image2"));
    background->setGeometry(rect());
    background->setPixmap(backgroundPicture(devicePixelRatioF()));
    background->setToolTip(QStringLiteral("Velmora Messenger"));

    auto *taglineLabel =
        addLabel(this, "label", QStringLiteral("A Complete Velmora"), QRect(20, 14, 240, 20));
    QFont small = taglineLabel->font();
    small.setItalic(true);
    taglineLabel->setFont(small);

    m_signInLabel =
        addLabel(this, "lbl", QStringLiteral("Click Me To\nSign In"), QRect(96, 140, 200, 60));
    m_signInLabel->setToolTip(QStringLiteral("Click To Sign In"));
    QFont signIn = m_signInLabel->font();
    signIn.setPointSizeF(14);
    signIn.setBold(true);
    m_signInLabel->setFont(signIn);

    m_creditLabel = addLabel(this, "Label1", QStringLiteral("Velmora Messenger - www.velmora.chat"),
                             QRect(0, WindowSize.height() - 32, WindowSize.width(), 20));
    m_creditLabel->setAlignment(Qt::AlignCenter);

    m_exitLabel = addLabel(this, "Label4", QStringLiteral("Exit"),
                           QRect(WindowSize.width() - 56, 12, 40, 20));
    m_exitLabel->setToolTip(QStringLiteral("Exit"));
    m_exitLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    for (QLabel *clickable : {m_signInLabel, m_creditLabel, m_exitLabel}) {
        clickable->setCursor(Qt::PointingHandCursor);
        clickable->installEventFilter(this);
    }
    // Presses that Image2, the title label and the body leave unhandled end up here. The
    // clickable labels keep theirs: the credit line starts a move only once the mouse moves.
    enableDragMove(this);
}

bool LauncherWindow::eventFilter(QObject *watched, QEvent *event)
{
    auto *label = qobject_cast<QLabel *>(watched);
    if (!label)
        return QWidget::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::Enter:
        if (label == m_creditLabel)
            setCreditColor(CreditHoverColor);
        break;
    case QEvent::Leave:
        if (label == m_creditLabel)
            setCreditColor(CreditColor);
        break;
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        m_pressed = label;
        m_pressPos = mouse->position().toPoint();
        return true;
    }
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (m_pressed == m_creditLabel && label == m_creditLabel &&
            (mouse->buttons() & Qt::LeftButton) &&
            (mouse->position().toPoint() - m_pressPos).manhattanLength() >=
                QApplication::startDragDistance()) {
            m_pressed = nullptr;
            DragForm(this);
            return true;
        }
        break;
    }
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        const bool click =
            m_pressed == label && label->rect().contains(mouse->position().toPoint());
        m_pressed = nullptr;
        if (click)
            clicked(label);
        return true;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void LauncherWindow::clicked(QLabel *label)
{
    if (label == m_signInLabel)
        signIn();
    else if (label == m_exitLabel)
        exit();
    else if (label == m_creditLabel)
        QDesktopServices::openUrl(siteUrl());
}

void LauncherWindow::showEvent(QShowEvent *event)
{
    m_tray.AddLauncherTrayIcon();
    QWidget::showEvent(event);
}

void LauncherWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        exit();
        return;
    }
    QWidget::keyPressEvent(event);
}

void LauncherWindow::closeEvent(QCloseEvent *event)
{
    // Closed by the window system (there is no caption to close it with): the same as Exit.
    // A hidden launcher is long past sign-in, and its icon is no longer the one shown.
    if (isVisible())
        exit();
    QWidget::closeEvent(event);
}

void LauncherWindow::signIn()
{
    hide();
    m_tray.RemoveTrayIcon();
    emit signInRequested();
}

void LauncherWindow::exit()
{
    m_tray.RemoveTrayIcon();
    emit exitRequested();
}

void LauncherWindow::setCreditColor(const QColor &color)
{
    QPalette palette = m_creditLabel->palette();
    palette.setColor(QPalette::WindowText, color);
    m_creditLabel->setPalette(palette);
}
