#include "nickcompleter.h"

#include <QKeyEvent>
#include <QLineEdit>

NickCompleter::NickCompleter(QLineEdit *input, Candidates candidates)
    : QObject(input), m_input(input), m_candidates(std::move(candidates))
{
    input->installEventFilter(this);
}

bool NickCompleter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_input || event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_Tab)
        return false;
    if (key->modifiers() & Qt::ControlModifier) {
        m_input->nextInFocusChain()->setFocus(Qt::TabFocusReason);
        return true;
    }
    if (key->modifiers() == Qt::NoModifier)
        complete();
    return true;
}

void NickCompleter::complete()
{
    const QString text = m_input->text();
    if (!m_cycle.isEmpty() && text == m_completedText) {
        m_index = (m_index + 1) % int(m_cycle.size());
        apply();
        return;
    }
    const int cursor = m_input->cursorPosition();
    m_wordStart = int(text.lastIndexOf(u' ', cursor - 1)) + 1;
    const QStringView typed = QStringView(text).mid(m_wordStart, cursor - m_wordStart);
    m_cycle = typed.isEmpty() ? QStringList() : m_candidates(typed);
    if (m_cycle.isEmpty())
        return;
    m_before = text.left(m_wordStart);
    m_after = text.mid(cursor);
    m_index = 0;
    apply();
}

void NickCompleter::apply()
{
    const QString completion = m_cycle[m_index] + (m_wordStart == 0 ? u": "_qs : QString());
    m_completedText = m_before + completion + m_after;
    m_input->setText(m_completedText);
    m_input->setCursorPosition(int(m_before.size() + completion.size()));
}
