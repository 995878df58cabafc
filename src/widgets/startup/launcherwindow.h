#pragma once

#include <QPoint>
#include <QUrl>
#include <QWidget>

class QLabel;
class TrayIcon;

// The caption-less launcher shown first: "Click Me To Sign In" hands over to the login window,
// "Exit" and Esc end the program. The user moves it by dragging its body. Its tray icon lives
// while it is up and goes at sign-in or exit.
class LauncherWindow : public QWidget
{
    Q_OBJECT
public:
    // The maker's web site, opened by the credit line.
    static QUrl siteUrl();

    explicit LauncherWindow(TrayIcon &tray, QWidget *parent = nullptr);

signals:
    // The launcher is hidden and its icon gone; the login window is to be shown.
    void signInRequested();
    // The icon is gone; the program is to end.
    void exitRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void signIn();
    void exit();
    void clicked(QLabel *label);
    void setCreditColor(const QColor &color);

    TrayIcon &m_tray;
    QLabel *m_signInLabel;
    QLabel *m_creditLabel;
    QLabel *m_exitLabel;
    QLabel *m_pressed = nullptr; // the clickable label the left button went down on
    QPoint m_pressPos;
};
