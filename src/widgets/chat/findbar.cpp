#include "findbar.h"

#include "chatview.h"
#include "text/chatbuffer.h"
#include "text/chatsearch.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QToolButton>

namespace {

const QKeyCombination kFindKeys(Qt::ControlModifier, Qt::Key_F);

bool isFindKeys(const QEvent *event)
{
    return static_cast<const QKeyEvent *>(event)->keyCombination() == kFindKeys;
}

QToolButton *makeButton(QWidget *parent, const QString &name, const QString &tip)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

} // namespace

FindBar::FindBar(ChatView *view) : QWidget(view), m_view(view), m_viewport(view->viewport())
{
    setObjectName(QStringLiteral("findbar"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);

    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("txtfind"));
    m_text->setPlaceholderText(tr("Find"));
    m_text->setAccessibleName(tr("Find in the conversation"));
    m_text->setClearButtonEnabled(true);
    m_previousButton =
        makeButton(this, QStringLiteral("cmdfindprev"), tr("Previous match (Shift+Enter)"));
    m_previousButton->setArrowType(Qt::UpArrow);
    m_nextButton = makeButton(this, QStringLiteral("cmdfindnext"), tr("Next match (Enter)"));
    m_nextButton->setArrowType(Qt::DownArrow);
    m_matchCase = new QCheckBox(tr("Match case"), this);
    m_matchCase->setObjectName(QStringLiteral("chkfindcase"));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblfindstatus"));
    m_closeButton = makeButton(this, QStringLiteral("cmdfindclose"), tr("Close (Esc)"));
    m_closeButton->setText(QStringLiteral("\u2715"));

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 2, 2);
    row->setSpacing(4);
    row->addWidget(m_text, 1);
    row->addWidget(m_previousButton);
    row->addWidget(m_nextButton);
    row->addWidget(m_matchCase);
    row->addWidget(m_status);
    row->addWidget(m_closeButton);

    connect(m_text, &QLineEdit::textChanged, this, &FindBar::findAgain);
    connect(m_matchCase, &QCheckBox::toggled, this, &FindBar::findAgain);
    connect(m_previousButton, &QToolButton::clicked, this, &FindBar::findPrevious);
    connect(m_nextButton, &QToolButton::clicked, this, &FindBar::findNext);
    connect(m_closeButton, &QToolButton::clicked, this, &FindBar::dismiss);
    m_text->installEventFilter(this);
    view->installEventFilter(this);
    m_viewport->installEventFilter(this);
    hide();
}

void FindBar::openOnWindowKeys(QWidget *window, const QAction *sharedWith)
{
    auto *keys = new QShortcut(QKeySequence(kFindKeys), window);
    connect(keys, &QShortcut::activated, this, &FindBar::open);
    if (!sharedWith)
        return;
    keys->setEnabled(!sharedWith->isEnabled());
    connect(sharedWith, &QAction::enabledChanged, keys, [keys](bool on) { keys->setEnabled(!on); });
}

bool FindBar::isNotFound() const
{
    return !m_status->text().isEmpty();
}

void FindBar::open()
{
    if (!m_view->isVisible())
        return;
    QWidget *focused = QApplication::focusWidget();
    if (focused && !isAncestorOf(focused))
        m_returnFocus = focused;
    if (isHidden()) {
        QWidget::show();
        m_view->reserveBottom(sizeHint().height());
        place();
        findAgain();
    }
    m_text->setFocus(Qt::ShortcutFocusReason);
    m_text->selectAll();
}

void FindBar::dismiss()
{
    if (isHidden())
        return;
    const bool hadFocus = isAncestorOf(QApplication::focusWidget());
    hide();
    m_view->reserveBottom(0);
    m_view->setSearchMatches({}, {});
    if (!hadFocus)
        return;
    if (m_returnFocus && m_returnFocus->isVisible())
        m_returnFocus->setFocus(Qt::OtherFocusReason);
    else
        m_view->setFocus(Qt::OtherFocusReason);
}

ChatSearch FindBar::typedSearch() const
{
    return ChatSearch(m_text->text(),
                      m_matchCase->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive);
}

void FindBar::findAgain()
{
    if (isHidden() || !m_view->buffer())
        return;
    const ChatSearch search = typedSearch();
    if (search.isEmpty()) {
        goTo(search, {});
        setNotFound(false);
        return;
    }
    // The newest match at or above the current one: typing narrows the current match or moves
    // up from it, and a new search starts from the newest lines.
    const ChatMatch &current = m_view->currentSearchMatch();
    const ChatBuffer &buffer = *m_view->buffer();
    goTo(search, current.isValid() ? search.backward(buffer, current.line, current.start + 1)
                                   : search.backward(buffer, buffer.lineCount(), 0));
}

void FindBar::findNext()
{
    step(true);
}

void FindBar::findPrevious()
{
    step(false);
}

void FindBar::step(bool down)
{
    const ChatMatch &current = m_view->currentSearchMatch();
    if (!current.isValid() || !m_view->buffer()) {
        findAgain();
        return;
    }
    const ChatSearch search = typedSearch();
    const ChatBuffer &buffer = *m_view->buffer();
    goTo(search, down ? search.forward(buffer, current.line, current.start + 1)
                      : search.backward(buffer, current.line, current.start));
}

void FindBar::goTo(const ChatSearch &search, const ChatMatch &match)
{
    setNotFound(!search.isEmpty() && !match.isValid());
    m_view->setSearchMatches(search, match);
}

void FindBar::setNotFound(bool notFound)
{
    m_status->setText(notFound ? tr("Not found") : QString());
    if (!notFound) {
        m_text->setPalette(QPalette());
        return;
    }
    QPalette red = m_text->palette();
    red.setColor(QPalette::Base, QColor(255, 205, 205));
    red.setColor(QPalette::Text, Qt::black);
    m_text->setPalette(red);
}

void FindBar::place()
{
    const QRect lines = m_view->viewport()->geometry();
    setGeometry(lines.left(), lines.bottom() + 1, lines.width(), sizeHint().height());
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == m_viewport) {
        if (!isHidden() && (type == QEvent::Resize || type == QEvent::Move))
            place();
        return false;
    }
    // The find keys belong to the view and the bar while they have the focus, ahead of any
    // window shortcut on the same keys; Esc in the box belongs to the bar.
    if (type == QEvent::ShortcutOverride) {
        const auto *key = static_cast<const QKeyEvent *>(event);
        if (isFindKeys(event) || (watched == m_text && key->key() == Qt::Key_Escape))
            event->accept();
        return false;
    }
    if (type != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<const QKeyEvent *>(event);
    if (isFindKeys(event)) {
        open();
        return true;
    }
    if (watched == m_text && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        if (key->modifiers() & Qt::ShiftModifier)
            findPrevious();
        else
            findNext();
        return true;
    }
    return false;
}

void FindBar::keyPressEvent(QKeyEvent *event)
{
    // Esc from any control of the bar; the box's own Esc comes here too, as it ignores it.
    if (event->key() == Qt::Key_Escape) {
        dismiss();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}
