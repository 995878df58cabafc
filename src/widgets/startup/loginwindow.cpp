#include "loginwindow.h"

#include "controls/trayicon.h"
#include "controls/xpbutton.h"
#include "platform/autostart.h"
#include "platform/settingsstore.h"
#include "session/sessionvariables.h"
#include "util/messageboxes.h"
#include "util/passwordbox.h"
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
#include <QPainter>
#include <QPointer>
#include <QRandomGenerator>
#include <QScopedValueRollback>
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

// The pictures and captions around the input boxes.
struct LoginWindow::Labels
{
    QLabel *banner;
    QLabel *smallIcon;
    QLabel *rule;
    QLabel *passwordNote;
    QLabel *heading;
    QLabel *nickLabel;
    QLabel *roomLabel;
    QLabel *passwordLabel;
    QLabel *footnote;
};

LoginWindow::LoginWindow(SessionVariables &vars, QWidget *parent)
    : QWidget(parent, Qt::Window), m_vars(vars)
{
    setObjectName(QStringLiteral("frmlogin"));
    setWindowTitle(QStringLiteral("Velmora Messenger \u00ae - Login"));
    setWindowIcon(TrayIcon::defaultIcon());

    const Labels labels = makeLabels();
    makeInputs();
    auto *cancel = new XPButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    QLayout *layout = layOut(labels, cancel);
    connectInputs(cancel);

    load();
    layout->activate();
}

LoginWindow::Labels LoginWindow::makeLabels()
{
    const qreal ratio = devicePixelRatioF();
    Labels labels{};
    labels.banner = addLabel(this, "banner", QString());
    labels.banner->setPixmap(bannerPicture(ratio));
    labels.banner->setToolTip(QStringLiteral("Velmora Messenger"));
    labels.smallIcon = addLabel(this, "Image1", QString());
    labels.smallIcon->setPixmap(TrayIcon::defaultIcon().pixmap(QSize(24, 24), ratio));
    labels.rule = addLabel(this, "imgstatic", QString());
    labels.rule->setPixmap(rulePicture(ratio));

    labels.heading = addLabel(this, "inf2", QStringLiteral("Enter a  Nickname to Enter the Chat."));
    labels.nickLabel = addLabel(this, "inf3", QStringLiteral("Nickname"));
    labels.roomLabel = addLabel(this, "inf4", QStringLiteral("Choose Room"));
    labels.passwordLabel = addLabel(this, "inf7", QStringLiteral("Password"));
    labels.passwordNote =
        addLabel(this, "inf1", QStringLiteral("Password is only asked for Registered Nicknames"));
    labels.footnote =
        addLabel(this, "inf8", QStringLiteral("* Password for registered users only"));
    QFont note = labels.passwordNote->font();
    note.setPointSizeF(note.pointSizeF() * 0.85);
    labels.passwordNote->setFont(note);
    labels.footnote->setFont(note);
    return labels;
}

void LoginWindow::makeInputs()
{
    m_nickBox = new QLineEdit(this);
    m_nickBox->setObjectName(QStringLiteral("txtnick"));
    m_nickBox->setToolTip(QStringLiteral("Any Nickname (Recommend)"));

    m_passwordBox = new QLineEdit(this);
    m_passwordBox->setObjectName(QStringLiteral("txtpwd"));
    m_passwordBox->setToolTip(QStringLiteral("Password If Registered"));
    showPasswordAsStars(m_passwordBox);

    m_roomBox = new RoomBox(this);
    m_roomBox->setObjectName(QStringLiteral("echa"));
    m_roomBox->setToolTip(QStringLiteral("Chat Room To Join"));
    QFont roomFont = m_roomBox->font();
    roomFont.setFamily(QStringLiteral("Comic Sans MS"));
    m_roomBox->setFont(roomFont);

    m_guestCheck = addCheckBox(this, "autonick", QStringLiteral("Enter as Guest"),
                               QStringLiteral("Enter As Guest"));
    m_rememberMeCheck = addCheckBox(this, "remme", QStringLiteral("Remember Me"),
                                    QStringLiteral("Remember Me For Later Use"));
    m_savePasswordCheck = addCheckBox(this, "rempwd", QStringLiteral("Save Password"),
                                      QStringLiteral("Save Password"));
    m_loadAtStartupCheck = addCheckBox(this, "las", QStringLiteral("Load At Startup"),
                                       QStringLiteral("Load When Computer Starts"));
    m_tlsCheck = addCheckBox(this, "chktls", QStringLiteral("Secure connection (TLS)"),
                             QStringLiteral("Encrypt The Connection And Verify The Server"));

    m_connectButton = new XPButton(QStringLiteral("Connect"), this);
    m_connectButton->setObjectName(QStringLiteral("cmdok"));
}

QLayout *LoginWindow::layOut(const Labels &labels, QWidget *cancel)
{
    auto *heading = new QHBoxLayout;
    heading->addWidget(labels.smallIcon);
    heading->addWidget(labels.heading, 1);
    auto *fields = new QGridLayout;
    fields->addWidget(labels.nickLabel, 0, 0);
    fields->addWidget(m_nickBox, 0, 1);
    fields->addWidget(m_guestCheck, 1, 1, Qt::AlignLeft);
    fields->addWidget(m_rememberMeCheck, 2, 1, Qt::AlignLeft);
    fields->addWidget(labels.passwordLabel, 3, 0);
    fields->addWidget(m_passwordBox, 3, 1);
    fields->addWidget(labels.passwordNote, 4, 1);
    fields->addWidget(m_savePasswordCheck, 5, 1, Qt::AlignLeft);
    fields->addWidget(labels.roomLabel, 6, 0);
    fields->addWidget(m_roomBox, 6, 1);
    fields->addWidget(m_loadAtStartupCheck, 7, 1, Qt::AlignLeft);
    fields->addWidget(m_tlsCheck, 8, 1, Qt::AlignLeft);
    fields->setColumnStretch(1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(labels.footnote, 1);
    buttons->addWidget(m_connectButton);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(labels.banner);
    layout->addLayout(heading);
    layout->addLayout(fields);
    layout->addWidget(labels.rule);
    layout->addLayout(buttons);
    return layout;
}

void LoginWindow::connectInputs(XPButton *cancel)
{
    connect(m_connectButton, &XPButton::clicked, this, &LoginWindow::connectToChat);
    connect(m_nickBox, &QLineEdit::returnPressed, this, &LoginWindow::connectToChat);
    connect(m_passwordBox, &QLineEdit::returnPressed, this, &LoginWindow::connectToChat);
    connect(cancel, &XPButton::clicked, this, &QWidget::close);

    // toggled: only real changes count, made by the user or by the program alike.
    connect(m_guestCheck, &QCheckBox::toggled, this, &LoginWindow::guestToggled);
    connect(m_savePasswordCheck, &QCheckBox::toggled, this, &LoginWindow::savePasswordToggled);
    connect(m_loadAtStartupCheck, &QCheckBox::toggled, this, &LoginWindow::loadAtStartupToggled);
    connect(m_nickBox, &QLineEdit::textChanged, this, [this] {
        if (!m_fillingQuietly)
            m_savePasswordCheck->setChecked(false);
    });
    connect(m_passwordBox, &QLineEdit::textChanged, this, [this] {
        if (m_fillingQuietly)
            return;
        m_savePasswordCheck->setChecked(false);
        m_savePasswordCheck->setEnabled(true);
    });
}

void LoginWindow::load()
{
    m_roomBox->addItem(QStringLiteral("#velmora"));
    m_roomBox->addItem(QStringLiteral("#fun_club"));

    QString text;
    if (loadText(QStringLiteral("username"), text))
        m_nickBox->setText(text);
    if (loadText(QStringLiteral("password"), text))
        m_passwordBox->setText(text);
    m_tlsCheck->setChecked(LoadSetting(Section, QStringLiteral("tls")).toString() == u"1");
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

void LoginWindow::offerRoom(const QString &room)
{
    int index = m_roomBox->findText(room, Qt::MatchFixedString);
    if (index < 0) {
        m_roomBox->addItem(room);
        index = m_roomBox->count() - 1;
    }
    m_roomBox->setCurrentIndex(index);
}

void LoginWindow::offerSecureConnection()
{
    m_tlsCheck->setChecked(true);
}

bool LoginWindow::secureConnection() const
{
    return m_tlsCheck->isChecked();
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
    m_connectButton->setFocus();
    if (!m_passwordBox->text().isEmpty()) {
        m_savePasswordCheck->setChecked(true);
        m_passwordBox->selectAll();
        m_passwordBox->setFocus();
    }
    QString command;
    ReadAutostart(command);
    if (!command.isEmpty())
        m_loadAtStartupCheck->setChecked(true);
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
    m_vars.CurrentRoom = m_roomBox->currentText();
    const QString nick = m_nickBox->text();
    if (nick.isEmpty()) {
        refuse(QStringLiteral("Please enter the nick first."));
        return;
    }
    if (nick.contains(u' ')) {
        refuse(QStringLiteral("Nickname shouldn't contain spaces."));
        return;
    }

    if (!m_guestCheck->isChecked()) {
        SaveSetting(Section, QStringLiteral("username"),
                    m_rememberMeCheck->isChecked() ? nick : QString());
        SaveSetting(Section, QStringLiteral("password"),
                    m_savePasswordCheck->isChecked() ? m_passwordBox->text() : QString());
    }
    SaveSetting(Section, QStringLiteral("number"), counterText(m_vars.ActivityCounter));
    SaveSetting(Section, QStringLiteral("tls"),
                m_tlsCheck->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    m_vars.CurrentNick = nick;
    m_vars.CurrentPassword = m_passwordBox->text();

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
    m_nickBox->setFocus();
    messageboxes::inform(this, QMessageBox::Information, QStringLiteral("Nick Error"), text);
}

void LoginWindow::guestToggled(bool guest)
{
    // A guest leaves the stored name and password alone: the boxes change without unticking
    // "Save Password", which would forget the stored password at once.
    if (guest) {
        m_rememberMeCheck->setEnabled(false);
        fillBoxesQuietly(QStringLiteral("Guest%1").arg(QRandomGenerator::global()->bounded(10000)),
                         QString());
        m_passwordBox->setEnabled(false);
        m_savePasswordCheck->setEnabled(false);
        m_nickBox->setEnabled(false);
    } else {
        QString nick;
        QString password;
        loadText(QStringLiteral("username"), nick);
        loadText(QStringLiteral("password"), password);
        m_rememberMeCheck->setEnabled(true);
        fillBoxesQuietly(nick, password);
        m_passwordBox->setEnabled(true);
        m_nickBox->setEnabled(true);
        // As when the window opens with a stored password; otherwise "Save Password" stays
        // disabled until a password is typed.
        if (!password.isEmpty()) {
            m_savePasswordCheck->setEnabled(true);
            m_savePasswordCheck->setChecked(true);
        }
    }
}

void LoginWindow::fillBoxesQuietly(const QString &nick, const QString &password)
{
    const QScopedValueRollback quiet(m_fillingQuietly, true);
    m_nickBox->setText(nick);
    m_passwordBox->setText(password);
}

void LoginWindow::savePasswordToggled(bool save)
{
    SaveSetting(Section, QStringLiteral("password"), save ? m_passwordBox->text() : QString());
}

void LoginWindow::loadAtStartupToggled(bool load)
{
    if (load)
        EnableAutostart();
    else
        DisableAutostart();
}
