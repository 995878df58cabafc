#pragma once

#include <QDialog>

class QLabel;

// The "Color" window: fifteen swatches for the room formatting's colour and a rainbow strip
// under them. A click picks and closes; Esc closes without a pick. The room window keeps one
// and shows it without blocking.
class ColourPicker : public QDialog
{
    Q_OBJECT
public:
    explicit ColourPicker(QWidget *parent = nullptr);

    // The swatch fills; the input box previews the picked index with previewColour() instead.
    static QColor swatchColour(int swatch);

signals:
    // "1" to "15", or RoomFormatting::RainbowIndex.
    void colourPicked(const QString &index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *addPickable(const QString &name, const QString &index);
};
