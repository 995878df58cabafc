#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class QLineEdit;

// A window of smiley pictures to click: each puts its code at the end of the input box the
// picker was opened for. The private windows' picker ("Emotions") and the room window's
// ("Smileys") differ only in name and caption. It is shown without blocking, and a pick goes
// only into the box of the window that opened the picker last.
class SmileyPicker : public QWidget
{
    Q_OBJECT
public:
    enum class Kind
    {
        Private, // objectName "smily", caption "Emotions"
        Room,    // objectName "frmSmileys", caption "Smileys"
    };

    static const QString HelpText;

    explicit SmileyPicker(Kind kind, QWidget *parent = nullptr);

    // Shows the picker (never modal) for an input box and brings it to the front; picks go into
    // this box until the picker is opened for another.
    void openFor(QLineEdit *target);
    QLineEdit *target() const;

    // The pictures, control-array style: objectName "imgIcon", dynamic properties "Index"
    // (0-based) and "tag" (the code).
    int elementCount() const;
    QString codeAt(int index) const;

public slots:
    // Appends the code of element index to the end of the target box's text, puts the caret at
    // the end and closes the picker; with the box gone it only closes.
    void pick(int index);

signals:
    void picked(const QString &code);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QPointer<QLineEdit> m_target;
};
