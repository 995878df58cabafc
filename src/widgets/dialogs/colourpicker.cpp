#include "colourpicker.h"

#include "text/roomformatting.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

#include <array>

namespace {

constexpr int kSwatchCount = 15;
constexpr int kColumns = 3;
constexpr int kSwatchSide = 24;

constexpr std::array<QRgb, kSwatchCount> kSwatchFills = {
    qRgb(0, 0, 0),     qRgb(0, 0, 128),     qRgb(0, 128, 0),     qRgb(255, 0, 0),
    qRgb(128, 0, 0),   qRgb(192, 0, 192),   qRgb(255, 128, 0),   qRgb(255, 255, 0),
    qRgb(0, 255, 0),   qRgb(0, 128, 128),   qRgb(0, 255, 255),   qRgb(0, 0, 255),
    qRgb(255, 0, 255), qRgb(128, 128, 128), qRgb(192, 192, 192),
};

const char *const kIndexProperty = "colourIndex";

QPixmap rainbowStrip(QSize size)
{
    QPixmap strip(size);
    QPainter painter(&strip);
    QLinearGradient gradient(0, 0, size.width(), 0);
    constexpr int kStops = 6;
    for (int i = 0; i <= kStops; ++i)
        gradient.setColorAt(qreal(i) / kStops, QColor::fromHsv(300 * i / kStops, 255, 255));
    painter.fillRect(strip.rect(), gradient);
    return strip;
}

} // namespace

ColourPicker::ColourPicker(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fromcolor"));
    setWindowTitle(QStringLiteral("Color"));

    auto *frame = new QGroupBox(QStringLiteral("Colors:"), this);
    auto *grid = new QGridLayout;
    grid->setSpacing(4);
    for (int swatch = 1; swatch <= kSwatchCount; ++swatch) {
        const QString index = QString::number(swatch);
        QLabel *label = addPickable(u"lblcin"_qs + index, index);
        label->setFixedSize(kSwatchSide, kSwatchSide);
        QPalette fill = label->palette();
        fill.setColor(QPalette::Window, swatchColour(swatch));
        label->setPalette(fill);
        label->setAutoFillBackground(true);
        grid->addWidget(label, (swatch - 1) / kColumns, (swatch - 1) % kColumns);
    }

    // "Multi Colour Effect": the caption of the rainbow strip, not pickable itself.
    auto *caption = new QHBoxLayout;
    const std::array<std::pair<const char *, const char *>, 3> words = {
        {{"lblmulti", "Multi"}, {"lblcolour", "Colour"}, {"lbleffect", "Effect"}}};
    for (const auto &[name, text] : words) {
        auto *label = new QLabel(QLatin1String(text), frame);
        label->setObjectName(QLatin1String(name));
        caption->addWidget(label);
    }
    caption->addStretch(1);

    QLabel *rainbow = addPickable(QStringLiteral("lblcin16"), RoomFormatting::RainbowIndex);
    rainbow->setToolTip(QStringLiteral("Rainbow"));
    const QSize stripSize(kColumns * kSwatchSide + (kColumns - 1) * grid->spacing(), kSwatchSide);
    rainbow->setFixedSize(stripSize);
    rainbow->setPixmap(rainbowStrip(stripSize));

    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->addLayout(grid);
    frameLayout->addLayout(caption);
    frameLayout->addWidget(rainbow);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QColor ColourPicker::swatchColour(int swatch)
{
    if (swatch < 1 || swatch > kSwatchCount)
        return QColor();
    return QColor(kSwatchFills[size_t(swatch - 1)]);
}

QLabel *ColourPicker::addPickable(const QString &name, const QString &index)
{
    auto *label = new QLabel(this);
    label->setObjectName(name);
    label->setProperty(kIndexProperty, index);
    label->setCursor(Qt::PointingHandCursor);
    label->installEventFilter(this);
    return label;
}

bool ColourPicker::eventFilter(QObject *watched, QEvent *event)
{
    // A click is a left press and release over the same swatch.
    if (event->type() == QEvent::MouseButtonRelease) {
        auto *release = static_cast<QMouseEvent *>(event);
        auto *label = qobject_cast<QLabel *>(watched);
        if (release->button() == Qt::LeftButton && label &&
            label->rect().contains(release->position().toPoint())) {
            emit colourPicked(label->property(kIndexProperty).toString());
            close();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
