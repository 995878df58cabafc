#include "loginwindow.h"

#include "controls/trayicon.h"
#include "controls/xpbutton.h"
#include "platform/autostart.h"
#include "platform/settingsstore.h"
#include "session/sessionvariables.h"
#include "util/twips.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QRandomGenerator>
#include <QScreen>

#include <cmath>

namespace {

const QString Section = QStringLiteral("Store");
constexpr int BannerWidth = 380;

// The room is picked from the list only: typed characters are dropped, so they cannot select
// an entry by its first letters either. Arrow keys still move through the list.
class RoomBox : public QComboBox
{
public:
    using QComboBox::QComboBox;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        const QString text = event->text();
        if (!text.isEmpty() && text.front().isPrint()) {
            event->accept();
            return;
        }
        QComboBox::keyPressEvent(event);
    }
};

// Masks each character of the password box with "*".
class StarPasswordStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return u'*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

bool loadText(const QString &name, QString &text)
{
    const QVariant slot = LoadSetting(Section, name);
    if (!slot.isValid())
        return false;
    text = slot.typeId() == QMetaType::Int ? QString::number(slot.toInt()) : slot.toString();
    return true;
}

// The stored counter: missing or empty counts as 0; false for a text that is not a number.
bool loadCounter(double &counter)
{
    const QVariant slot = LoadSetting(Section, QStringLiteral("number"));
    if (!slot.isValid()) {
        counter = 0;
        return true;
    }
    if (slot.typeId() == QMetaType::Int) {
        counter = slot.toInt();
        return true;
    }
    const QString text = slot.toString().trimmed();
    if (text.isEmpty()) {
        counter = 0;
        return true;
    }
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return false;
    counter = number;
    return true;
}

// Whole numbers as plain digits however large (the default form would round them to six
// digits); anything else in the shortest form that reads back exactly.
QString counterText(double counter)
{
    if (counter == std::trunc(counter) && std::abs(counter) < 1e15)
        return QString::number(counter, 'f', 0);
    return QString::number(counter, 'g', QLocale::FloatingPointShortest);
}

QLabel *addLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QCheckBox *addCheckBox(QWidget *parent, const char *name, const QString &caption,
                       const QString &tip)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    box->setToolTip(tip);
    return box;
}

QPixmap bannerPicture(qreal ratio)
{
    const QSize size(BannerWidth, 56);
    QPixmap picture(size * ratio);
    picture.setDevicePixelRatio(ratio);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient wash(0, 0, size.width(), 0);
    wash.setColorAt(0, QColor(13, 33, 74));
    wash.setColorAt(1, QColor(27, 127, 140));
    painter.fillRect(QRect(QPoint(0, 0), size), wash);
    const QRect mark(12, 10, 36, 36);
    painter.drawPixmap(mark, TrayIcon::defaultIcon().pixmap(mark.size(), ratio));
    QFont title = painter.font();
    title.setPointSizeF(16);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRect(60, 0, size.width() - 70, size.height()), Qt::AlignVCenter,
                     QStringLiteral("Velmora Messenger"));
    return picture;
}

// A thin rule that fades out at both ends.
QPixmap rulePicture(qreal ratio)
{
    const QSize size(BannerWidth, 2);
    QPixmap picture(size * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    QLinearGradient fade(0, 0, size.width(), 0);
    fade.setColorAt(0, QColor(27, 127, 140, 0));
    fade.setColorAt(0.5, QColor(27, 127, 140));
    fade.setColorAt(1, QColor(27, 127, 140, 0));
    painter.fillRect(QRect(QPoint(0, 0), size), fade);
    return picture;
}

} // namespace

LoginWindow::LoginWindow(SessionVariables &vars, QWidget *parent)
    : QWidget(parent, Qt::Window), m_vars(vars)
{
    setObjectName(QStringLiteral("frmlogin"));
    setWindowTitle(QStringLiteral("Velmora Messenger \u00ae - Login"));
    setWindowIcon(TrayIcon::defaultIcon());
    const qreal ratio = devicePixelRatioF();

    auto *banner = addLabel(this, "banner", QString());
    banner->setPixmap(bannerPicture(ratio));
    banner->setToolTip(QStringLiteral("Velmora Messenger"));
    auto *image1 = addLabel(this, "Image1", QString());
    image1->setPixmap(TrayIcon::defaultIcon().pixmap(QSize(24, 24), ratio));
    auto *imgstatic = addLabel(this, "imgstatic", QString());
    imgstatic->setPixmap(rulePicture(ratio));

    auto *inf2 = addLabel(this, "inf2", QStringLiteral("Enter a  Nickname to Enter the Chat."));
    auto *inf3 = addLabel(this, "inf3", QStringLiteral("Nickname"));
    auto *inf4 = addLabel(this, "inf4", QStringLiteral("Choose Room"));
    auto *inf7 = addLabel(this, "inf7", QStringLiteral("Password"));
    auto *inf1 =
        addLabel(this, "inf1", QStringLiteral("Password is only asked for Registered Nicknames"));
    auto *inf8 = addLabel(this, "inf8", QStringLiteral("* Password for registered users only"));
    QFont note = inf1->font();
    note.setPointSizeF(note.pointSizeF() * 0.85);
    inf1->setFont(note);
    inf8->setFont(note);

    m_txtnick = new QLineEdit(this);
    m_txtnick->setObjectName(QStringLiteral("txtnick"));
    m_txtnick->setToolTip(QStringLiteral("Any Nickname (Recommend)"));

    m_txtpwd = new QLineEdit(this);
    m_txtpwd->setObjectName(QStringLiteral("txtpwd"));
    m_txtpwd->setToolTip(QStringLiteral("Password If Registered"));
    auto *stars = new StarPasswordStyle;
    stars->setParent(m_txtpwd);
    m_txtpwd->setStyle(stars);
    m_txtpwd->setEchoMode(QLineEdit::Password);

    m_echa = new RoomBox(this);
    m_echa->setObjectName(QStringLiteral("echa"));
    m_echa->setToolTip(QStringLiteral("Chat Room To Join"));
    QFont roomFont = m_echa->font();
    roomFont.setFamily(QStringLiteral("Comic Sans MS"));
    m_echa->setFont(roomFont);

    m_autonick = addCheckBox(this, "autonick", QStringLiteral("Enter as Guest"),
                             QStringLiteral("Enter As Guest"));
    m_remme = addCheckBox(this, "remme", QStringLiteral("Remember Me"),
                          QStringLiteral("Remember Me For Later Use"));
    m_rempwd = addCheckBox(this, "rempwd", QStringLiteral("Save Password"),
                           QStringLiteral("Save Password"));
    m_las = addCheckBox(this, "las", QStringLiteral("Load At Startup"),
                        QStringLiteral("Load When Computer Starts"));

    m_cmdok = new XPButton(QStringLiteral("Connect"), this);
    m_cmdok->setObjectName(QStringLiteral("cmdok"));
    auto *cancel = new XPButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancel"));

    auto *heading = new QHBoxLayout;
    heading->addWidget(image1);
    heading->addWidget(inf2, 1);
    auto *fields = new QGridLayout;
    fields->addWidget(inf3, 0, 0);
    fields->addWidget(m_txtnick, 0, 1);
    fields->addWidget(m_autonick, 1, 1, Qt::AlignLeft);
    fields->addWidget(m_remme, 2, 1, Qt::AlignLeft);
    fields->addWidget(inf7, 3, 0);
    fields->addWidget(m_txtpwd, 3, 1);
    fields->addWidget(inf1, 4, 1);
    fields->addWidget(m_rempwd, 5, 1, Qt::AlignLeft);
    fields->addWidget(inf4, 6, 0);
    fields->addWidget(m_echa, 6, 1);
    fields->addWidget(m_las, 7, 1, Qt::AlignLeft);
    fields->setColumnStretch(1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(inf8, 1);
    buttons->addWidget(m_cmdok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(banner);
    layout->addLayout(heading);
    layout->addLayout(fields);
    layout->addWidget(imgstatic);
    layout->addLayout(buttons);

    connect(m_cmdok, &XPButton::clicked, this, &LoginWindow::connectToChat);
    connect(m_txtnick, &QLineEdit::returnPressed, this, &LoginWindow::connectToChat);
    connect(m_txtpwd, &QLineEdit::returnPressed, this, &LoginWindow::connectToChat);
    connect(cancel, &XPButton::clicked, this, &QWidget::close);

    // toggled: only real changes count, made by the user or by the program alike.
    connect(m_autonick, &QCheckBox::toggled, this, &LoginWindow::guestToggled);
    connect(m_rempwd, &QCheckBox::toggled, this, &LoginWindow::savePasswordToggled);
    connect(m_las, &QCheckBox::toggled, this, &LoginWindow::loadAtStartupToggled);
    connect(m_txtnick, &QLineEdit::textChanged, this, [this] { m_rempwd->setChecked(false); });
    connect(m_txtpwd, &QLineEdit::textChanged, this, [this] {
        m_rempwd->setChecked(false);
        m_rempwd->setEnabled(true);
    });

    load();
    layout->activate();
}

void LoginWindow::load()
{
    m_echa->addItem(QStringLiteral("#velmora"));
    m_echa->addItem(QStringLiteral("#fun_club"));

    QString text;
    if (loadText(QStringLiteral("username"), text))
        m_txtnick->setText(text);
    if (loadText(QStringLiteral("password"), text))
        m_txtpwd->setText(text);
    double counter = 0;
    if (loadCounter(counter))
        m_vars.ActivityCounter = 1 + counter;
}

void LoginWindow::setLauncher(QWidget *launcher)
{
    const QScreen *screen = launcher ? launcher->screen() : nullptr;
    if (!screen)
        return;
    const QPoint origin = launcher->pos();
    const Twips twips = Twips::forScreen(*screen);
    const int x = origin.x() - twips.toPixelsX(300);
    const int y = origin.y() - twips.toPixelsY(800);
    // Kept on the launcher's screen: a launcher dragged near the top-left corner would otherwise
    // put the caption out of reach.
    const QRect area = screen->availableGeometry();
    move(qMax(area.left(), qMin(x, area.right() + 1 - width())),
         qMax(area.top(), qMin(y, area.bottom() + 1 - height())));
}

bool LoginWindow::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::WindowActivate:
        if (!m_quietActivation)
            activated();
        m_quietActivation = false;
        break;
    case QEvent::WindowDeactivate: {
        // By now the window that takes over is the active one: none when another program
        // does.
        const QWidget *next = QApplication::activeWindow();
        m_quietActivation = !next || next->parentWidget() == this;
        break;
    }
    default:
        break;
    }
    return QWidget::event(event);
}

void LoginWindow::activated()
{
    m_cmdok->setFocus();
    if (!m_txtpwd->text().isEmpty()) {
        m_rempwd->setChecked(true);
        m_txtpwd->selectAll();
        m_txtpwd->setFocus();
    }
    QString command;
    ReadAutostart(command);
    if (!command.isEmpty())
        m_las->setChecked(true);
}

void LoginWindow::closeEvent(QCloseEvent *event)
{
    if (!m_connecting)
        emit cancelRequested();
    QWidget::closeEvent(event);
}

void LoginWindow::connectToChat()
{
    if (m_vars.ActivityCounter == 0)
        m_vars.ActivityCounter = 1;
    m_vars.CurrentRoom = m_echa->currentText();
    const QString nick = m_txtnick->text();
    if (nick.isEmpty()) {
        refuse(QStringLiteral("Please enter the nick first."));
        return;
    }
    if (nick.contains(u' ')) {
        refuse(QStringLiteral("Nickname shouldn't contain spaces."));
        return;
    }

    if (!m_autonick->isChecked()) {
        SaveSetting(Section, QStringLiteral("username"), m_remme->isChecked() ? nick : QString());
        SaveSetting(Section, QStringLiteral("password"),
                    m_rempwd->isChecked() ? m_txtpwd->text() : QString());
    }
    SaveSetting(Section, QStringLiteral("number"), counterText(m_vars.ActivityCounter));
    m_vars.CurrentNick = nick;
    m_vars.CurrentPassword = m_txtpwd->text();

    // The room window is shown before this one closes, so the program never stands without a
    // window in between.
    m_connecting = true;
    const QPointer<LoginWindow> self(this);
    emit connectRequested();
    if (self)
        close();
}

void LoginWindow::refuse(const QString &text)
{
    m_txtnick->setFocus();
    // Opened, never run, like every message of the program.
    auto *box = new QMessageBox(QMessageBox::Information, QStringLiteral("Nick Error"), text,
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void LoginWindow::guestToggled(bool guest)
{
    if (guest) {
        m_remme->setEnabled(false);
        m_txtpwd->clear();
        m_txtnick->setText(
            QStringLiteral("Guest%1").arg(QRandomGenerator::global()->bounded(10000)));
        m_txtpwd->setEnabled(false);
        m_rempwd->setEnabled(false);
        m_txtnick->setEnabled(false);
    } else {
        // "Save Password" stays disabled until a password is typed.
        m_remme->setEnabled(true);
        m_txtnick->clear();
        m_txtpwd->setEnabled(true);
        m_txtnick->setEnabled(true);
    }
}

void LoginWindow::savePasswordToggled(bool save)
{
    SaveSetting(Section, QStringLiteral("password"), save ? m_txtpwd->text() : QString());
}

void LoginWindow::loadAtStartupToggled(bool load)
{
    if (load)
        EnableAutostart();
    else
        DisableAutostart();
}
