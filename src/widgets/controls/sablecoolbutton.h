#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QPixmap>

// A flat push button with an icon and a caption. It shows a raised edge while the pointer is
// over it, a sunken edge while it is held down (left button or Space) and, when one is set, a
// separate icon while hovered. Only a left-button release inside the button or a Space release
// clicks; Enter never does. The pointer's events are passed on as signals, positions in pixels.
class SableCoolButton : public QAbstractButton
{
    Q_OBJECT
    Q_PROPERTY(QString captionTitle READ captionTitle WRITE setCaptionTitle)
    Q_PROPERTY(QPixmap buttonIcon READ buttonIcon WRITE setButtonIcon)
    Q_PROPERTY(QPixmap buttonIconMouseMove READ buttonIconMouseMove WRITE setButtonIconMouseMove)
    Q_PROPERTY(QPixmap mouseIcon READ mouseIcon WRITE setMouseIcon)
    Q_PROPERTY(QPixmap picture READ picture WRITE setPicture)
    Q_PROPERTY(QColor buttonBackColor READ buttonBackColor WRITE setButtonBackColor)
    Q_PROPERTY(QColor buttonTextColor READ buttonTextColor WRITE setButtonTextColor)
    Q_PROPERTY(bool useBorders READ useBorders WRITE setUseBorders)
    Q_PROPERTY(int iconPosition READ iconPosition WRITE setIconPosition)
    Q_PROPERTY(bool showFocus READ showFocus WRITE setShowFocus)
    Q_PROPERTY(bool borderEdged READ borderEdged WRITE setBorderEdged)

public:
    // Values of iconPosition; any other value keeps the icon where it was last placed.
    enum IconPosition
    {
        IconAboveCaption = 0, // icon raised above the centre, caption below it
        IconBeforeCaption = 1 // icon and caption centred together, icon on the left
    };
    Q_ENUM(IconPosition)

    explicit SableCoolButton(QWidget *parent = nullptr);
    explicit SableCoolButton(const QString &caption, QWidget *parent = nullptr);

    QString captionTitle() const { return text(); }
    void setCaptionTitle(const QString &caption);
    QPixmap buttonIcon() const { return m_icon; }
    void setButtonIcon(const QPixmap &icon);
    QPixmap buttonIconMouseMove() const { return m_hoverIcon; }
    void setButtonIconMouseMove(const QPixmap &icon);
    QPixmap mouseIcon() const { return m_mouseIcon; }
    void setMouseIcon(const QPixmap &pointer);
    QPixmap picture() const { return m_picture; }
    void setPicture(const QPixmap &picture);
    // An invalid colour stands for the palette's button face.
    QColor buttonBackColor() const;
    void setButtonBackColor(const QColor &colour);
    // An invalid colour stands for the palette's button text, so that the caption stays
    // readable on the palette's face under any theme.
    QColor buttonTextColor() const;
    void setButtonTextColor(const QColor &colour);
    bool useBorders() const { return m_useBorders; }
    void setUseBorders(bool on);
    int iconPosition() const { return m_iconPosition; }
    void setIconPosition(int position);
    bool showFocus() const { return m_showFocus; }
    void setShowFocus(bool on);
    bool borderEdged() const { return m_borderEdged; }
    void setBorderEdged(bool on);

    bool isHovered() const { return m_hovered; }
    QSize sizeHint() const override;

signals:
    // The pointer is no longer over the button.
    void OnMouseLeave();
    // Raised once as the pointer enters, not for moves over the button.
    void MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, int x, int y);
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    // Raised only for a release over the button, after the click it may give.
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QPixmap shownIcon() const;
    void placeIcon(const QSize &icon, int captionWidth);
    QPoint captionPosition(const QSize &caption, bool withIcon) const;
    void drawFocusFrame(QPainter &painter) const;
    void drawUp(QPainter &painter) const;
    void drawDown(QPainter &painter) const;

    QPixmap m_icon;
    QPixmap m_hoverIcon;
    QPixmap m_mouseIcon;
    QPixmap m_picture;
    QColor m_backColour;
    QColor m_textColour;
    int m_iconPosition = IconBeforeCaption;
    bool m_useBorders = true;
    bool m_showFocus = true;
    bool m_borderEdged = true;
    bool m_hovered = false;
    QPoint m_iconPos; // where the icon was last placed, before any pressed offset
};
