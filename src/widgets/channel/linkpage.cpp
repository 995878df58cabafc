#include "linkpage.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <QWebEngineView>

#include <utility>

namespace {

// Simple browser-button pictures drawn in code.
QIcon browserIcon(const QString &kind)
{
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 86, 128), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (kind == u"back" || kind == u"forward") {
        QPainterPath arrow;
        const bool back = kind == u"back";
        arrow.moveTo(back ? 16 : 8, 5);
        arrow.lineTo(back ? 8 : 16, 12);
        arrow.lineTo(back ? 16 : 8, 19);
        p.drawPath(arrow);
    } else if (kind == u"refresh") {
        p.drawArc(QRectF(5, 5, 14, 14), 60 * 16, 290 * 16);
        p.drawLine(QPointF(17, 3), QPointF(17.5, 8));
        p.drawLine(QPointF(17.5, 8), QPointF(12.5, 8.5));
    } else {
        p.setPen(QPen(QColor(176, 30, 30), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(7, 7, 17, 17);
        p.drawLine(17, 7, 7, 17);
    }
    return QIcon(pixmap);
}

} // namespace

LinkPage::LinkPage(int page, LinkPages::Page home, QWidget *parent)
    : QWidget(parent), m_page(page), m_home(home)
{
    auto addButton = [this](int index, const QString &kind, const QString &tip,
                            void (LinkPage::*command)()) {
        auto *button = new QToolButton(this);
        button->setObjectName(QStringLiteral("imgweb%1").arg(index));
        button->setIcon(browserIcon(kind));
        button->setToolTip(tip);
        button->setAutoRaise(true);
        connect(button, &QToolButton::clicked, this, command);
    };
    const int first = page * 3 + 1;
    addButton(first, QStringLiteral("back"), QStringLiteral("Back"), &LinkPage::back);
    addButton(first + 1, QStringLiteral("refresh"), QStringLiteral("Refresh"), &LinkPage::refresh);
    addButton(first + 2, QStringLiteral("forward"), QStringLiteral("Forward"), &LinkPage::forward);
    addButton(13 + page, QStringLiteral("stop"), QStringLiteral("Page Stop"), &LinkPage::stop);

    auto *home_link = new QLabel(QStringLiteral("<a href=\"home\">Home</a>"), this);
    home_link->setObjectName(QStringLiteral("imghome%1").arg(page + 1));
    home_link->setToolTip(QStringLiteral("Step Back To Main Page"));
    QFont linkFont(QStringLiteral("Arial"));
    linkFont.setPointSizeF(8.25);
    linkFont.setBold(true);
    linkFont.setUnderline(true);
    home_link->setFont(linkFont);
    connect(home_link, &QLabel::linkActivated, this, &LinkPage::goHome);
}

QWebEngineView *LinkPage::view()
{
    if (!m_view) {
        m_view = new QWebEngineView(this);
        m_view->setObjectName(QStringLiteral("web%1").arg(m_page));
        m_view->setGeometry(m_viewRect);
        m_view->show();
    }
    return m_view;
}

void LinkPage::setViewGeometry(const QRect &rect)
{
    m_viewRect = rect;
    if (m_view)
        m_view->setGeometry(rect);
}

QUrl LinkPage::url() const
{
    return m_view ? m_view->url() : m_waiting;
}

void LinkPage::navigate(const QUrl &url)
{
    if (m_view || isVisible())
        view()->setUrl(url);
    else
        m_waiting = url;
}

void LinkPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_waiting.isEmpty())
        view()->setUrl(std::exchange(m_waiting, QUrl()));
}

void LinkPage::goHome()
{
    stop();
    navigate(home());
}

void LinkPage::back()
{
    if (m_view)
        m_view->back();
}

void LinkPage::refresh()
{
    if (m_view)
        m_view->reload();
}

void LinkPage::forward()
{
    if (m_view)
        m_view->forward();
}

void LinkPage::stop()
{
    if (m_view)
        m_view->stop();
}
