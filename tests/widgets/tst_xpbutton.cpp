#include "controls/xpbutton.h"

#include <QImage>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

QRgb rgb(int r, int g, int b)
{
    return qRgb(r, g, b) & 0xffffff;
}

QRgb at(const QImage &img, int x, int y)
{
    return img.pixel(x, y) & 0xffffff;
}

QImage grabOf(QWidget *w)
{
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

// The button's faces, frame, caption and shape, and the mouse and key rules for clicking.
class TestXPButton : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void normalFaceRows_data();
    void normalFaceRows();
    void frameAndSoftCorners();
    void cornersShowTheContainer();
    void pressedFaceRows_data();
    void pressedFaceRows();
    void focusAndHotEdges();
    void disabledFaceAndCaption();
    void captionColours();
    void zeroSizeDrawsNothing();

    void onlyLeftButtonClicks_data();
    void onlyLeftButtonClicks();
    void doubleClickClicksOnce_data();
    void doubleClickClicksOnce();
    void pressMoveOutReleaseCancels();
    void disabledIgnoresPresses();
    void hoverOverAndOut();
    void keysClickOnMatchingRelease_data();
    void keysClickOnMatchingRelease();
    void heldSpaceClicksOnce();
    void arrowsMoveFocus();
    void accessKeyOf_data();
    void accessKeyOf();
    void accessKeyClicks_data();
    void accessKeyClicks();
    void propertiesByName();

private:
    QWidget *m_container = nullptr;
    XPButton *m_button = nullptr;
    QPushButton *m_other = nullptr;
};

void TestXPButton::init()
{
    m_container = new QWidget;
    m_container->setAutoFillBackground(true);
    QPalette pal = m_container->palette();
    pal.setColor(QPalette::Window, QColor(1, 2, 3));
    m_container->setPalette(pal);
    m_container->resize(200, 120);
    m_button = new XPButton(QStringLiteral("Go"), m_container);
    m_button->setGeometry(10, 10, 80, 40);
    m_other = new QPushButton(QStringLiteral("other"), m_container);
    m_other->setGeometry(10, 60, 80, 30);
    m_container->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_container));
}

void TestXPButton::cleanup()
{
    delete m_container;
    m_container = nullptr;
}

void TestXPButton::normalFaceRows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QRgb>("colour");
    // The gradient starts near white three rows down and loses one step per row until it settles;
    // the three rows above the frame are fixed shades.
    QTest::newRow("first gradient row") << 3 << rgb(255, 255, 253);
    QTest::newRow("second gradient row") << 4 << rgb(254, 254, 252);
    QTest::newRow("settled") << 32 << rgb(231, 231, 229);
    QTest::newRow("bottom - 4") << 36 << rgb(236, 235, 230);
    QTest::newRow("bottom - 3") << 37 << rgb(226, 223, 214);
    QTest::newRow("bottom - 2") << 38 << rgb(214, 208, 197);
}

void TestXPButton::normalFaceRows()
{
    QFETCH(int, row);
    QFETCH(QRgb, colour);
    m_button->setCaption(QString());
    m_other->setFocus();
    const QImage img = grabOf(m_button);
    for (int x : {3, 40, 76})
        QCOMPARE(at(img, x, row), colour);
}

void TestXPButton::frameAndSoftCorners()
{
    m_button->setCaption(QString());
    const QImage img = grabOf(m_button);
    const QRgb frame = rgb(0, 60, 116);
    QCOMPARE(at(img, 40, 0), frame);
    QCOMPARE(at(img, 40, 39), frame);
    QCOMPARE(at(img, 0, 20), frame);
    QCOMPARE(at(img, 79, 20), frame);
    for (int x : {1, 78}) {
        QCOMPARE(at(img, x, 0), rgb(122, 149, 168));
        QCOMPARE(at(img, x, 39), rgb(122, 149, 168));
    }
    for (int y : {1, 38}) {
        QCOMPARE(at(img, 0, y), rgb(37, 87, 131));
        QCOMPARE(at(img, 79, y), rgb(37, 87, 131));
    }
}

void TestXPButton::cornersShowTheContainer()
{
    const QRegion shape = m_button->mask();
    for (const QPoint &c : {QPoint(0, 0), QPoint(0, 39), QPoint(79, 0), QPoint(79, 39)})
        QVERIFY(!shape.contains(c));
    QVERIFY(shape.contains(QPoint(1, 0)));

    m_button->resize(60, 30);
    const QImage img = grabOf(m_container);
    const QRgb container = rgb(1, 2, 3);
    for (const QPoint &c : {QPoint(10, 10), QPoint(10, 39), QPoint(69, 10), QPoint(69, 39)})
        QCOMPARE(at(img, c.x(), c.y()), container);
    QCOMPARE(at(img, 11, 10), rgb(122, 149, 168));
}

void TestXPButton::pressedFaceRows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QRgb>("colour");
    QTest::newRow("top + 1") << 1 << rgb(209, 204, 192);
    QTest::newRow("top + 2") << 2 << rgb(220, 216, 207);
    QTest::newRow("first band") << 3 << rgb(226, 225, 218);
    QTest::newRow("first band end") << 6 << rgb(226, 225, 218);
    QTest::newRow("later band") << 20 << rgb(225, 224, 217);
    QTest::newRow("bottom - 3") << 37 << rgb(234, 233, 227);
    QTest::newRow("bottom - 2") << 38 << rgb(242, 241, 238);
}

void TestXPButton::pressedFaceRows()
{
    QFETCH(int, row);
    QFETCH(QRgb, colour);
    m_button->setCaption(QString());
    QTest::mousePress(m_button, Qt::LeftButton, {}, QPoint(40, 20));
    const QImage img = grabOf(m_button);
    QCOMPARE(at(img, 5, row), colour);
    QCOMPARE(at(img, 40, 0), rgb(0, 60, 116));
    QTest::mouseRelease(m_button, Qt::LeftButton, {}, QPoint(40, 20));
    QCOMPARE(at(grabOf(m_button), 5, 3), rgb(255, 255, 253));
}

void TestXPButton::focusAndHotEdges()
{
    m_button->setCaption(QString());
    m_button->setFocus();
    QImage img = grabOf(m_button);
    QCOMPARE(at(img, 40, 1), rgb(206, 231, 251));
    QCOMPARE(at(img, 40, 2), rgb(188, 212, 246));
    QCOMPARE(at(img, 1, 3), rgb(186, 211, 246));
    QCOMPARE(at(img, 78, 4), rgb(182, 208, 245));
    QCOMPARE(at(img, 1, 1), rgb(77, 125, 193));
    QCOMPARE(at(img, 40, 38), rgb(97, 125, 229));
    QCOMPARE(at(img, 40, 20), rgb(238, 238, 236));

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(15, 15));
    QApplication::sendEvent(m_button, &enter);
    img = grabOf(m_button);
    QCOMPARE(at(img, 40, 1), rgb(255, 240, 207));
    QCOMPARE(at(img, 40, 2), rgb(253, 216, 137));
    QCOMPARE(at(img, 1, 3), rgb(254, 223, 154));
    QCOMPARE(at(img, 2, 4), rgb(251, 206, 113));
    QCOMPARE(at(img, 40, 38), rgb(229, 151, 0));
}

void TestXPButton::disabledFaceAndCaption()
{
    m_button->setCaption(QStringLiteral("MMMMMMMM"));
    m_button->setEnabled(false);
    const QImage img = grabOf(m_button);
    QCOMPARE(at(img, 3, 3), rgb(245, 244, 234));
    QCOMPARE(at(img, 40, 0), rgb(201, 199, 186));
    QCOMPARE(at(img, 1, 0), rgb(216, 213, 199));
    QCOMPARE(at(img, 0, 1), rgb(234, 233, 222));
    bool captionSeen = false;
    for (int y = 0; y < img.height() && !captionSeen; ++y) {
        for (int x = 3; x < img.width() - 3; ++x)
            captionSeen = captionSeen || at(img, x, y) == rgb(161, 161, 146);
    }
    QVERIFY(captionSeen);
}

void TestXPButton::captionColours()
{
    m_button->setCaption(QStringLiteral("MMMMMMMM"));
    m_button->setForeColor(QColor(200, 0, 0));
    m_button->setForeHover(QColor(0, 0, 200));
    const auto count = [this](QRgb c) {
        const QImage img = grabOf(m_button);
        int n = 0;
        for (int y = 0; y < img.height(); ++y) {
            for (int x = 0; x < img.width(); ++x)
                n += at(img, x, y) == c;
        }
        return n;
    };
    QVERIFY(count(rgb(200, 0, 0)) > 0);
    QCOMPARE(count(rgb(0, 0, 200)), 0);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(15, 15));
    QApplication::sendEvent(m_button, &enter);
    QVERIFY(count(rgb(0, 0, 200)) > 0);
    QCOMPARE(count(rgb(200, 0, 0)), 0);
}

void TestXPButton::zeroSizeDrawsNothing()
{
    m_button->resize(0, 0);
    QImage img(1, 1, QImage::Format_RGB32);
    img.fill(Qt::black);
    m_button->render(&img);
    QCOMPARE(at(img, 0, 0), rgb(0, 0, 0));
}

void TestXPButton::onlyLeftButtonClicks_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<int>("clicks");
    QTest::newRow("left") << Qt::LeftButton << 1;
    QTest::newRow("right") << Qt::RightButton << 0;
    QTest::newRow("middle") << Qt::MiddleButton << 0;
}

void TestXPButton::onlyLeftButtonClicks()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(int, clicks);
    QSignalSpy clicked(m_button, &QAbstractButton::clicked);
    QSignalSpy down(m_button, &XPButton::MouseDown);
    QSignalSpy up(m_button, &XPButton::MouseUp);
    QTest::mouseClick(m_button, button, {}, QPoint(30, 15));
    QCOMPARE(clicked.count(), clicks);
    QCOMPARE(down.count(), 1);
    QCOMPARE(down.at(0).at(0).value<Qt::MouseButton>(), button);
    QCOMPARE(down.at(0).at(2).toInt(), 30);
    QCOMPARE(down.at(0).at(3).toInt(), 15);
    QCOMPARE(up.count(), 1);
}

void TestXPButton::doubleClickClicksOnce_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<int>("presses");
    QTest::newRow("left") << Qt::LeftButton << 1 << 2;
    QTest::newRow("right") << Qt::RightButton << 0 << 1;
}

// Through the window, as the platform delivers it: press, release, double-click, release.
void TestXPButton::doubleClickClicksOnce()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(int, clicks);
    QFETCH(int, presses);
    m_button->setCaption(QString());
    QSignalSpy clicked(m_button, &QAbstractButton::clicked);
    QSignalSpy down(m_button, &XPButton::MouseDown);
    QList<QRgb> faceAtRelease;
    connect(m_button, &XPButton::MouseUp, this,
            [&] { faceAtRelease << at(grabOf(m_button), 5, 3); });
    const QPoint inWindow = m_button->mapTo(m_container, QPoint(30, 15));

    QTest::mouseDClick(m_container->windowHandle(), button, {}, inWindow);
    QCOMPARE(clicked.count(), clicks);
    QCOMPARE(down.count(), presses);
    // Each press, the second one too, held the button down until its release.
    const QRgb held = button == Qt::LeftButton ? rgb(226, 225, 218) : rgb(255, 255, 253);
    QCOMPARE(faceAtRelease, (QList<QRgb>{held, held}));
    QCOMPARE(at(grabOf(m_button), 5, 3), rgb(255, 255, 253));

    // The next press and release are a click of their own again.
    QTest::mouseClick(m_container->windowHandle(), button, {}, inWindow);
    QCOMPARE(clicked.count(), 2 * clicks);
}

void TestXPButton::pressMoveOutReleaseCancels()
{
    m_button->setCaption(QString());
    QSignalSpy clicked(m_button, &QAbstractButton::clicked);
    QTest::mousePress(m_button, Qt::LeftButton, {}, QPoint(40, 20));
    QMouseEvent out(QEvent::MouseMove, QPointF(120, 20), QPointF(130, 30), QPointF(130, 30),
                    Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_button, &out);
    QCOMPARE(at(grabOf(m_button), 5, 3), rgb(255, 255, 253));
    QMouseEvent back(QEvent::MouseMove, QPointF(40, 20), QPointF(50, 30), QPointF(50, 30),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_button, &back);
    QCOMPARE(at(grabOf(m_button), 5, 3), rgb(226, 225, 218));
    QApplication::sendEvent(m_button, &out);
    QTest::mouseRelease(m_button, Qt::LeftButton, {}, QPoint(120, 20));
    QCOMPARE(clicked.count(), 0);
}

void TestXPButton::disabledIgnoresPresses()
{
    m_button->setEnabled(false);
    QSignalSpy clicked(m_button, &QAbstractButton::clicked);
    QSignalSpy down(m_button, &XPButton::MouseDown);
    QTest::mouseClick(m_button, Qt::LeftButton, {}, QPoint(30, 15));
    QCOMPARE(down.count(), 0);
    QCOMPARE(clicked.count(), 0);
}

void TestXPButton::hoverOverAndOut()
{
    m_button->setCaption(QString());
    m_other->setFocus();
    QSignalSpy over(m_button, &XPButton::MouseOver);
    QSignalSpy out(m_button, &XPButton::MouseOut);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(15, 15));
    QApplication::sendEvent(m_button, &enter);
    QMouseEvent move(QEvent::MouseMove, QPointF(6, 6), QPointF(16, 16), QPointF(16, 16),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(m_button, &move);
    QVERIFY(m_button->isHot());
    QCOMPARE(over.count(), 1);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(m_button, &leave);
    QApplication::sendEvent(m_button, &leave);
    QCOMPARE(out.count(), 1);
    QVERIFY(!m_button->isHot());
    QVERIFY(at(grabOf(m_button), 40, 1) != rgb(255, 240, 207));
    QCOMPARE(at(grabOf(m_button), 1, 5), rgb(253, 253, 251));
}

void TestXPButton::keysClickOnMatchingRelease_data()
{
    QTest::addColumn<int>("pressKey");
    QTest::addColumn<int>("releaseKey");
    QTest::addColumn<int>("clicks");
    QTest::newRow("space") << int(Qt::Key_Space) << int(Qt::Key_Space) << 1;
    QTest::newRow("enter") << int(Qt::Key_Return) << int(Qt::Key_Return) << 1;
    QTest::newRow("keypad enter") << int(Qt::Key_Enter) << int(Qt::Key_Return) << 1;
    QTest::newRow("space then enter") << int(Qt::Key_Space) << int(Qt::Key_Return) << 0;
    QTest::newRow("enter then space") << int(Qt::Key_Return) << int(Qt::Key_Space) << 0;
    QTest::newRow("letter") << int(Qt::Key_A) << int(Qt::Key_A) << 0;
}

void TestXPButton::keysClickOnMatchingRelease()
{
    QFETCH(int, pressKey);
    QFETCH(int, releaseKey);
    QFETCH(int, clicks);
    m_button->setCaption(QString());
    m_button->setFocus();
    QSignalSpy clicked(m_button, &QAbstractButton::clicked);
    QSignalSpy keyDown(m_button, &XPButton::KeyDown);
    QSignalSpy keyUp(m_button, &XPButton::KeyUp);
    QTest::keyPress(m_button, Qt::Key(pressKey));
    if (pressKey != Qt::Key_A)
        QCOMPARE(at(grabOf(m_button), 5, 3), rgb(226, 225, 218));
    QCOMPARE(clicked.count(), 0);
    QTest::keyRelease(m_button, Qt::Key(releaseKey));
    QCOMPARE(clicked.count(), clicks);
    QCOMPARE(keyDown.count(), 1);
    QCOMPARE(keyDown.at(0).at(0).toInt(), pressKey);
    QCOMPARE(keyUp.count(), 1);
    QVERIFY(at(grabOf(m_button), 5, 3) != rgb(226, 225, 218));
}

void TestXPButton::heldSpaceClicksOnce()
{
    m_button->setFocus();
    QSignalSpy clicked(m_button, &QAbstractButton::clicked);
    QSignalSpy keyPress(m_button, &XPButton::KeyPress);
    QTest::keyPress(m_button, Qt::Key_Space);
    for (int i = 0; i < 3; ++i) {
        QKeyEvent up(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
        QApplication::sendEvent(m_button, &up);
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
        QApplication::sendEvent(m_button, &down);
    }
    QCOMPARE(clicked.count(), 0);
    QTest::keyRelease(m_button, Qt::Key_Space);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(keyPress.count(), 4);
    QCOMPARE(keyPress.at(0).at(0).toString(), QStringLiteral(" "));
}

void TestXPButton::arrowsMoveFocus()
{
    m_button->setFocus();
    QVERIFY(m_button->hasFocus());
    QTest::keyClick(m_button, Qt::Key_Right);
    QVERIFY(m_other->hasFocus());
    m_button->setFocus();
    QTest::keyClick(m_button, Qt::Key_Up);
    QVERIFY(m_other->hasFocus());
}

void TestXPButton::accessKeyOf_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("key");
    QTest::newRow("leading") << "&Connect"
                             << "c";
    QTest::newRow("inner") << "Un&register"
                           << "r";
    QTest::newRow("literal only") << "Save&&Exit"
                                  << "";
    QTest::newRow("after literal") << "Save&&E&xit"
                                   << "x";
    QTest::newRow("after two literals") << "A&&B&&C&D"
                                        << "d";
    QTest::newRow("after three literals in a row") << "&&&&&&&Quit"
                                                   << "q";
    QTest::newRow("trailing") << "Send&"
                              << "";
    QTest::newRow("alone") << "&"
                           << "";
    QTest::newRow("literal then trailing") << "A&&B&"
                                           << "";
    QTest::newRow("none") << "Cancel"
                          << "";
}

void TestXPButton::accessKeyOf()
{
    QFETCH(QString, caption);
    QFETCH(QString, key);
    m_button->setCaption(caption);
    QCOMPARE(m_button->accessKey().isNull() ? QString() : QString(m_button->accessKey()), key);
}

void TestXPButton::accessKeyClicks_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("clicks");
    QTest::newRow("leading") << "&Connect" << int(Qt::Key_C) << 1;
    QTest::newRow("literal only") << "Save&&Exit" << int(Qt::Key_E) << 0;
    QTest::newRow("after a literal") << "Save&&E&xit" << int(Qt::Key_X) << 1;
    QTest::newRow("after two literals") << "A&&B&&C&D" << int(Qt::Key_D) << 1;
    QTest::newRow("after three literals in a row") << "&&&&&&&Quit" << int(Qt::Key_Q) << 1;
}

void TestXPButton::accessKeyClicks()
{
    QFETCH(QString, caption);
    QFETCH(int, key);
    QFETCH(int, clicks);
    m_container->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_container));
    m_button->setCaption(QStringLiteral("&Go"));
    m_button->setCaption(caption);
    QSignalSpy clicked(m_button, &QAbstractButton::clicked);
    QTest::keyClick(m_container, Qt::Key(key), Qt::AltModifier);
    QCOMPARE(clicked.count(), clicks);
    // The key of an earlier caption is gone.
    QTest::keyClick(m_container, Qt::Key_G, Qt::AltModifier);
    QCOMPARE(clicked.count(), clicks);
}

void TestXPButton::propertiesByName()
{
    QVERIFY(m_button->setProperty("Caption", QStringLiteral("Send")));
    QCOMPARE(m_button->caption(), QStringLiteral("Send"));
    QVERIFY(m_button->setProperty("ForeColor", QColor(Qt::red)));
    QCOMPARE(m_button->foreColor(), QColor(Qt::red));
    QVERIFY(m_button->setProperty("ForeHover", QColor(Qt::blue)));
    QCOMPARE(m_button->property("ForeHover").value<QColor>(), QColor(Qt::blue));
    QVERIFY(m_button->setProperty("Enabled", false));
    QVERIFY(!m_button->isEnabled());
    QFont f = m_button->font();
    f.setPointSize(17);
    QVERIFY(m_button->setProperty("FONT", f));
    QCOMPARE(m_button->font().pointSize(), 17);
}

QTEST_MAIN(TestXPButton)
#include "tst_xpbutton.moc"
