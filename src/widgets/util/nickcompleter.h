#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QLineEdit;

// Tab in an input box completes the word before the cursor to a nick; Tab again goes on to the
// next one. A completion at the start of the line is followed by ": ". Ctrl+Tab moves the focus
// on, as Tab does elsewhere.
class NickCompleter : public QObject
{
public:
    using Candidates = std::function<QStringList(QStringView typed)>;

    // Watches input (and is owned by it); candidates gives the nicks for what was typed.
    NickCompleter(QLineEdit *input, Candidates candidates);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void complete();
    void apply();

    QLineEdit *m_input;
    Candidates m_candidates;
    QStringList m_cycle;
    int m_index = 0;
    int m_wordStart = 0;
    QString m_before; // the text before the word, and after the cursor, when Tab was first hit
    QString m_after;
    QString m_completedText; // what the box held after the last completion
};
