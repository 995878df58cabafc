#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QFont>

// A self-drawn push button with the light "XP" look: a white-to-grey gradient face in a dark blue
// frame with cut corners, an orange edge under the pointer, a blue inner edge with the focus, a
// sunken face while held down and a greyed face when disabled.
//
// Only a left-button release over the button, the release of a held Space or Enter, or the
// access key emit clicked(); the other mouse and key events are passed on as signals. A
// double-click clicks once: its second press shows the button held down but does not click.
class XPButton : public QAbstractButton
{
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ isEnabled WRITE setEnabled)
    Q_PROPERTY(QFont FONT READ font WRITE setFONT)
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(QColor ForeColor READ foreColor WRITE setForeColor)
    Q_PROPERTY(QColor ForeHover READ foreHover WRITE setForeHover)
public:
    explicit XPButton(QWidget *parent = nullptr);
    explicit XPButton(const QString &caption, QWidget *parent = nullptr);

    QString caption() const { return text(); }
    void setCaption(const QString &caption);
    void setFONT(const QFont &font);
    QColor foreColor() const { return m_foreColor; }
    void setForeColor(const QColor &colour);
    QColor foreHover() const { return m_foreHover; }
    void setForeHover(const QColor &colour);

    // The lower-cased access key of the caption, or a null QChar when it has none.
    QChar accessKey() const { return m_accessKey; }
    static QChar accessKeyOf(const QString &caption);

    bool isHot() const { return m_hot; }
    QSize sizeHint() const override;

signals:
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, int x, int y);
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void KeyPress(const QString &character);
    void KeyDown(int key, Qt::KeyboardModifiers shift);
    void KeyUp(int key, Qt::KeyboardModifiers shift);
    void MouseOver();
    void MouseOut();

protected:
    bool event(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void enterEvent(QEnterEvent *e) override;
    void leaveEvent(QEvent *e) override;
    bool hitButton(const QPoint &pos) const override;

private:
    void showPressed(bool pressed, bool byMouse = false);
    void runClick();
    void setHot(bool hot);

    QColor m_foreColor;
    QColor m_foreHover;
    QChar m_accessKey;
    Qt::MouseButton m_pressedButton = Qt::NoButton;
    int m_lastKey = 0;
    bool m_hot = false;
    bool m_focused = false;
    bool m_pressedLook = false;
    bool m_pressedByMouse = false;
    // The press under way is the second one of a double-click, whose click was already given.
    bool m_secondPressOfDoubleClick = false;
};
