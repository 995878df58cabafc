#include "aboutdialog.h"

#include "controls/sablecoolbutton.h"
#include "util/dragform.h"

#include <QBoxLayout>
#include <QFontMetricsF>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

// The room window's header and background colours, so the box looks like part of the program.
const QColor kDeep(0, 86, 128);
const QColor kLight(170, 227, 255);

QPixmap canvas(QSize size, qreal ratio)
{
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QPainterPath bubble(const QRectF &body, bool tailLeft)
{
    QPainterPath path;
    path.addRoundedRect(body, body.height() / 3, body.height() / 3);
    const qreal x = tailLeft ? body.left() + body.width() / 4 : body.right() - body.width() / 4;
    const qreal tip = tailLeft ? x - body.width() / 6 : x + body.width() / 6;
    QPainterPath tail;
    tail.moveTo(x - body.width() / 10, body.bottom() - 2);
    tail.lineTo(tip, body.bottom() + body.height() / 3);
    tail.lineTo(x + body.width() / 10, body.bottom() - 2);
    tail.closeSubpath();
    return path.united(tail);
}

// The product mark: two speech bubbles on a rounded tile, the front one carrying a "V".
QPixmap productMark(qreal ratio)
{
    const QSize size(84, 84);
    QPixmap pixmap = canvas(size, ratio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF tile(2, 2, size.width() - 4, size.height() - 4);
    QLinearGradient back(tile.topLeft(), tile.bottomRight());
    back.setColorAt(0, kDeep.lighter(140));
    back.setColorAt(1, kDeep.darker(130));
    painter.setPen(Qt::NoPen);
    painter.setBrush(back);
    painter.drawRoundedRect(tile, 16, 16);

    painter.setBrush(kLight);
    painter.drawPath(bubble(QRectF(34, 14, 38, 26), false));
    painter.setPen(QPen(kDeep.darker(130), 2));
    painter.setBrush(Qt::white);
    painter.drawPath(bubble(QRectF(12, 30, 46, 32), true));

    QFont mark = painter.font();
    mark.setBold(true);
    mark.setPixelSize(24);
    painter.setFont(mark);
    painter.setPen(kDeep);
    painter.drawText(QRectF(12, 30, 46, 32), Qt::AlignCenter, QStringLiteral("V"));
    return pixmap;
}

// The product's name on a banner with a soft wave behind it.
QPixmap nameBanner(qreal ratio)
{
    const QSize size(300, 84);
    QPixmap pixmap = canvas(size, ratio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF band(0, 8, size.width(), size.height() - 16);
    QLinearGradient back(band.topLeft(), band.topRight());
    back.setColorAt(0, kDeep);
    back.setColorAt(1, kLight);
    painter.setPen(Qt::NoPen);
    painter.setBrush(back);
    painter.drawRoundedRect(band, 10, 10);

    QPainterPath wave;
    wave.moveTo(band.left(), band.bottom() - 14);
    wave.cubicTo(band.width() * 0.3, band.bottom() - 34, band.width() * 0.6, band.bottom() + 4,
                 band.right(), band.bottom() - 22);
    wave.lineTo(band.bottomRight());
    wave.lineTo(band.bottomLeft());
    wave.closeSubpath();
    painter.setClipRect(band);
    painter.setBrush(QColor(255, 255, 255, 60));
    painter.drawPath(wave);
    painter.setClipping(false);

    QFont title = painter.font();
    title.setBold(true);
    title.setItalic(true);
    const QString name = QStringLiteral("Velmora Messenger");
    const QRectF nameArea = band.adjusted(14, 0, -14, -12);
    // The name must fit whatever face the system substitutes.
    for (int pixels = 26; pixels > 12; --pixels) {
        title.setPixelSize(pixels);
        if (QFontMetricsF(title).horizontalAdvance(name) <= nameArea.width())
            break;
    }
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(nameArea, Qt::AlignLeft | Qt::AlignVCenter, name);

    QFont version = title;
    version.setItalic(false);
    version.setPixelSize(12);
    painter.setFont(version);
    painter.drawText(band.adjusted(0, 0, -12, -8), Qt::AlignRight | Qt::AlignBottom,
                     QStringLiteral("Ver 1.0"));
    return pixmap;
}

QLabel *addLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    return label;
}

} // namespace

AboutDialog::AboutDialog(const QString &host, quint16 port, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmabout"));
    setWindowTitle(QStringLiteral("About Velmora Messenger ® Ver 1.0"));
    setAttribute(Qt::WA_DeleteOnClose);

    const qreal ratio = devicePixelRatioF();
    auto *markPicture = new QLabel(this);
    markPicture->setObjectName(QStringLiteral("Image1"));
    markPicture->setPixmap(productMark(ratio));
    auto *namePicture = new QLabel(this);
    namePicture->setObjectName(QStringLiteral("Image2"));
    namePicture->setPixmap(nameBanner(ratio));

    QLabel *thanksLabel = addLabel(
        this, "Label1",
        QStringLiteral("Thank you to every member and operator of the Velmora network for making "
                       "it a friendly place to talk. If something in the Messenger does not work "
                       "as it should, or you have an idea that would make it better, please tell "
                       "us: every problem report and suggestion is read."));
    QLabel *serverLabel =
        addLabel(this, "Label2",
                 u"Server Description : - "_qs + host + u" , Port : - "_qs + QString::number(port));
    m_encryptionLabel = addLabel(this, "Label4", QString());
    showEncryption(false);
    QLabel *creditLabel =
        addLabel(this, "Label3",
                 QStringLiteral("Velmora Messenger is made by the Velmora team, www.velmora.chat"));
    creditLabel->setAlignment(Qt::AlignCenter);

    auto *okButton = new SableCoolButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("ok"));
    okButton->setFont(QFont(QStringLiteral("Comic Sans MS")));
    okButton->setFocus();
    connect(okButton, &SableCoolButton::clicked, this, &QDialog::close);

    auto *top = new QHBoxLayout;
    top->addWidget(markPicture);
    top->addWidget(namePicture, 1, Qt::AlignCenter);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(thanksLabel);
    layout->addWidget(serverLabel);
    layout->addWidget(m_encryptionLabel);
    layout->addWidget(creditLabel);
    layout->addWidget(okButton, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    thanksLabel->setFixedWidth(markPicture->sizeHint().width() + namePicture->sizeHint().width() +
                               top->spacing());

    // Plain labels and pictures pass their presses on to the box, so one filter covers them all.
    enableDragMove(this);
}

void AboutDialog::showEncryption(bool encrypted)
{
    m_encryptionLabel->setText(encrypted ? QStringLiteral("Connection : - encrypted (TLS)")
                                         : QStringLiteral("Connection : - not encrypted"));
}

void AboutDialog::showOnce(QPointer<AboutDialog> &box, const QString &host, quint16 port,
                           bool encrypted, QWidget *parent)
{
    if (!box)
        box = new AboutDialog(host, port, parent);
    box->showEncryption(encrypted);
    box->show();
    box->raise();
}
