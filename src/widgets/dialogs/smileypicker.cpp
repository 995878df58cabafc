#include "smileypicker.h"

#include "text/smileytable.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr int kColumns = 8;
}

const QString SmileyPicker::HelpText = QStringLiteral(
    "To use these smileys, either click on the smiley here, or type the code into the long box "
    "at the bottom of the main window (e.g :angel). Just type the text");

SmileyPicker::SmileyPicker(Kind kind, QWidget *parent) : QWidget(parent, Qt::Window)
{
    const bool room = kind == Kind::Room;
    setObjectName(room ? QStringLiteral("frmSmileys") : QStringLiteral("smily"));
    setWindowTitle(room ? QStringLiteral("Smileys") : QStringLiteral("Emotions"));

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    layout->addLayout(grid);

    const std::vector<Smiley> &entries = SmileyTable::pickerEntries();
    for (int i = 0; i < int(entries.size()); ++i) {
        const Smiley &smiley = entries[size_t(i)];
        auto *icon = new QToolButton(this);
        icon->setObjectName(QStringLiteral("imgIcon"));
        icon->setProperty("Index", i);
        icon->setProperty("tag", smiley.code);
        icon->setAutoRaise(true);
        icon->setFocusPolicy(Qt::NoFocus);
        icon->setCursor(Qt::PointingHandCursor);
        icon->setToolTip(smiley.code);
        icon->setIconSize(smiley.size);
        icon->setIcon(QPixmap::fromImage(SmileyTable::load(smiley.resource)));
        connect(icon, &QToolButton::clicked, this, [this, i] { pick(i); });

        auto *code = new QLabel(smiley.code, this);
        code->setObjectName(QStringLiteral("lblCode"));
        code->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        code->setTextFormat(Qt::PlainText);

        auto *cell = new QVBoxLayout;
        cell->setSpacing(0);
        cell->addStretch();
        cell->addWidget(icon, 0, Qt::AlignHCenter);
        cell->addWidget(code);
        grid->addLayout(cell, i / kColumns, i % kColumns);
    }

    auto *help = new QLabel(HelpText, this);
    help->setObjectName(QStringLiteral("lblHelp"));
    help->setWordWrap(true);
    help->setTextFormat(Qt::PlainText);
    layout->addWidget(help);
}

void SmileyPicker::openFor(QLineEdit *target)
{
    m_target = target;
    show();
    raise();
    activateWindow();
}

QLineEdit *SmileyPicker::target() const
{
    return m_target;
}

int SmileyPicker::elementCount() const
{
    return int(SmileyTable::pickerEntries().size());
}

QString SmileyPicker::codeAt(int index) const
{
    const std::vector<Smiley> &entries = SmileyTable::pickerEntries();
    return index >= 0 && size_t(index) < entries.size() ? entries[size_t(index)].code : QString();
}

void SmileyPicker::pick(int index)
{
    const QString code = codeAt(index);
    if (QLineEdit *box = m_target; box && !code.isEmpty()) {
        // At the end whatever the caret or selection was, with no blank in between.
        box->end(false);
        box->insert(code);
        box->end(false);
        box->window()->activateWindow();
        box->setFocus(Qt::OtherFocusReason);
        emit picked(code);
    }
    close();
}

void SmileyPicker::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
