#include "trayicon.h"

#include "util/messageboxes.h"
#include "util/showncount.h"

#include <QMenu>
#include <QPointer>

namespace {

const QString Title = QStringLiteral("Velmora Messenger");
const QString Tip = QStringLiteral("--<<|Velmora Messenger|>>--");
constexpr qsizetype TipLength = 27;

QAction *addItem(QMenu *menu, const char *name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

void addSeparator(QMenu *menu, const char *name)
{
    menu->addSeparator()->setObjectName(QLatin1String(name));
}

} // namespace

TrayIcon::TrayIcon(QObject *parent)
    : QObject(parent), m_icon(new QSystemTrayIcon(this)), m_launcherMenu(new QMenu),
      m_chatMenu(new QMenu), m_launcherIcon(defaultIcon()), m_chatIcon(m_launcherIcon)
{
    m_icon->setToolTip(tipField(Tip));
    connect(m_icon, &QSystemTrayIcon::activated, this, &TrayIcon::activate);

    const QString about = QStringLiteral("About Messenger");
    const QString show = QStringLiteral("Show Messenger");
    const QString exit = QStringLiteral("Exit");

    m_launcherMenu->setObjectName(QStringLiteral("fstfrm"));
    connect(addItem(m_launcherMenu.get(), "about", about), &QAction::triggered, this,
            &TrayIcon::aboutRequested);
    addSeparator(m_launcherMenu.get(), "ad");
    connect(addItem(m_launcherMenu.get(), "Show1", show), &QAction::triggered, this,
            &TrayIcon::showLauncherRequested);
    addSeparator(m_launcherMenu.get(), "a");
    connect(addItem(m_launcherMenu.get(), "exit1", exit), &QAction::triggered, this,
            [this] { this->exit(false); });

    m_chatMenu->setObjectName(QStringLiteral("thrdfrm"));
    connect(addItem(m_chatMenu.get(), "about1", about), &QAction::triggered, this,
            &TrayIcon::aboutRequested);
    addSeparator(m_chatMenu.get(), "asdf");
    connect(addItem(m_chatMenu.get(), "Show3", show), &QAction::triggered, this,
            &TrayIcon::showChannelRequested);
    addSeparator(m_chatMenu.get(), "c");
    connect(addItem(m_chatMenu.get(), "exit3", exit), &QAction::triggered, this,
            [this] { this->exit(true); });
}

TrayIcon::~TrayIcon() = default;

void TrayIcon::setLauncherIcon(const QIcon &icon)
{
    m_launcherIcon = icon;
    if (m_phase == Phase::Launcher)
        m_icon->setIcon(icon);
}

void TrayIcon::setChatIcon(const QIcon &icon)
{
    m_chatIcon = icon;
    if (m_phase == Phase::Chat)
        m_icon->setIcon(icon);
}

void TrayIcon::setExitConfirmation(std::function<bool()> confirm)
{
    m_confirmExit = std::move(confirm);
}

bool TrayIcon::isAvailable() const
{
    return m_availabilityCheck ? m_availabilityCheck() : QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::setAvailabilityCheck(std::function<bool()> check)
{
    m_availabilityCheck = std::move(check);
}

void TrayIcon::setUnseenMentions(int count)
{
    QString tip = tipField(Tip);
    if (count > 0)
        tip += QStringLiteral(" \u2014 %1 unseen mention%2")
                   .arg(shownCount(count), count == 1 ? QString() : QStringLiteral("s"));
    m_icon->setToolTip(tip);
}

QString TrayIcon::toolTip() const
{
    return m_icon->toolTip();
}

QString TrayIcon::tipField(const QString &text)
{
    return text.leftJustified(TipLength, u' ', true);
}

QIcon TrayIcon::defaultIcon()
{
    // The pictures are linked in with a static library, so their resource is registered here.
    static const bool registered = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    Q_UNUSED(registered);
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/velmora-%1.png").arg(size), QSize(size, size));
    return icon;
}

void TrayIcon::AddLauncherTrayIcon()
{
    add(Phase::Launcher);
}

void TrayIcon::AddChatTrayIcon()
{
    add(Phase::Chat);
}

void TrayIcon::RemoveTrayIcon()
{
    m_icon->hide();
    m_phase = Phase::None;
}

void TrayIcon::add(Phase phase)
{
    if (m_phase == phase)
        return;
    m_phase = phase;
    const bool chat = phase == Phase::Chat;
    m_icon->setIcon(chat ? m_chatIcon : m_launcherIcon);
    m_icon->setContextMenu(chat ? m_chatMenu.get() : m_launcherMenu.get());
    m_icon->show();
}

void TrayIcon::activate(QSystemTrayIcon::ActivationReason reason)
{
    // StatusNotifierItem trays (KDE, GNOME's AppIndicator) report single clicks only.
    if (reason != QSystemTrayIcon::DoubleClick && reason != QSystemTrayIcon::Trigger)
        return;
    if (m_phase == Phase::Launcher)
        emit showLauncherRequested();
    else if (m_phase == Phase::Chat)
        emit showChannelRequested();
}

void TrayIcon::exit(bool fromChat)
{
    if (m_confirmExit) {
        if (m_confirmExit())
            confirmedExit(fromChat);
        return;
    }
    const QPointer<TrayIcon> self(this);
    messageboxes::askYesNo(nullptr, QString(), Title,
                           QStringLiteral("Are you sure you want to exit Velmora Messenger?"),
                           [self, fromChat] {
                               if (self)
                                   self->confirmedExit(fromChat);
                           });
}

void TrayIcon::confirmedExit(bool fromChat)
{
    RemoveTrayIcon();
    emit exitRequested(fromChat);
}
