#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;

// The "About" box: the product's artwork, a word of thanks, the server the session talks to and
// the maker's credit. Unloads itself when closed; OK and Esc close it, and a drag on its body
// moves it.
class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    // host and port are the ones the session connects to.
    explicit AboutDialog(const QString &host, quint16 port = 6667, QWidget *parent = nullptr);

    // Says whether the connection runs over verified TLS.
    void showEncryption(bool encrypted);

    // Shows the box held in box, made first when there is none: one box however often asked.
    static void showOnce(QPointer<AboutDialog> &box, const QString &host, quint16 port,
                         bool encrypted, QWidget *parent);

private:
    QLabel *m_encryptionLabel;
};
