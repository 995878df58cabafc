#include "chat/chatview.h"
#include "chat/findbar.h"
#include "text/appendformatted.h"
#include "text/chatbuffer.h"

#include <QAction>
#include <QBoxLayout>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace {

// Lines where the needle is, among 300 numbered lines.
const QList<int> kNeedleLines = {20, 150, 280};

int countColour(const QImage &image, QColor colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += (image.pixel(x, y) & RGB_MASK) == (colour.rgb() & RGB_MASK);
    }
    return count;
}

} // namespace

// Finding text in a chat view through its find bar: keys, moving between matches, what is
// drawn, and how Ctrl+F shares its keys with a window's action.
class TestFindBar : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void ctrlFOpensAndEscReturnsFocus_data();
    void ctrlFOpensAndEscReturnsFocus();
    void enterAndShiftEnterMoveAndScroll();
    void matchesAreDrawnUntilClosed();
    void notFoundAndMatchCase();
    void windowKeysYieldToAnEnabledAction_data();
    void windowKeysYieldToAnEnabledAction();

private:
    QLineEdit *box() { return m_window->findChild<QLineEdit *>(QStringLiteral("txtfind")); }
    FindBar *bar() { return m_window->findChild<FindBar *>(QStringLiteral("findbar")); }
    int currentLine() const { return m_view->currentSearchMatch().line; }
    QImage grabLine(int line) const
    {
        return m_view->viewport()->grab(m_view->lineRect(line)).toImage();
    }

    std::unique_ptr<QWidget> m_window;
    ChatBuffer m_buffer;
    ChatView *m_view = nullptr;
    QLineEdit *m_input = nullptr;
    QAction *m_sharedAction = nullptr;
};

void TestFindBar::init()
{
    m_buffer.clear();
    m_buffer.setBasePointSize(10);
    for (int i = 0; i < 300; ++i)
        AppendFormatted(m_buffer, kNeedleLines.contains(i)
                                      ? QStringLiteral("line %1 has a Needle in it").arg(i)
                                      : QStringLiteral("line %1").arg(i));
    m_window = std::make_unique<QWidget>();
    auto *layout = new QVBoxLayout(m_window.get());
    m_view = new ChatView(m_window.get());
    m_view->setBuffer(&m_buffer);
    m_input = new QLineEdit(m_window.get());
    layout->addWidget(m_view);
    layout->addWidget(m_input);
    m_sharedAction = new QAction(m_window.get());
    m_sharedAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+F")));
    m_sharedAction->setEnabled(false);
    m_window->addAction(m_sharedAction);
    (new FindBar(m_view))->openOnWindowKeys(m_window.get(), m_sharedAction);
    m_window->resize(420, 300);
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QTest::qWait(50); // the view takes its lines in
}

void TestFindBar::cleanup()
{
    m_window.reset();
}

void TestFindBar::ctrlFOpensAndEscReturnsFocus_data()
{
    QTest::addColumn<bool>("fromView");
    QTest::newRow("from the view") << true;
    QTest::newRow("from another control of the window") << false;
}

void TestFindBar::ctrlFOpensAndEscReturnsFocus()
{
    QFETCH(bool, fromView);
    QWidget *start = fromView ? static_cast<QWidget *>(m_view) : m_input;
    start->setFocus();
    QTRY_VERIFY(start->hasFocus());
    const int linesAreaHeight = m_view->viewport()->height();

    QTest::keyClick(start, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(bar()->isVisible());
    QVERIFY(box()->hasFocus());
    // The bar sits under the lines, not over them.
    QVERIFY(m_view->viewport()->height() < linesAreaHeight);
    QVERIFY(bar()->geometry().top() > m_view->viewport()->geometry().bottom());

    QTest::keyClick(box(), Qt::Key_Escape);
    QVERIFY(!bar()->isVisible());
    QVERIFY(start->hasFocus());
    QCOMPARE(m_view->viewport()->height(), linesAreaHeight);
}

void TestFindBar::enterAndShiftEnterMoveAndScroll()
{
    m_view->setFocus();
    QTest::keyClick(m_view, Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(box(), QStringLiteral("needle"));
    // Typing finds the newest match; Shift+Enter goes up, Enter down, both wrapping round.
    const QList<std::pair<Qt::KeyboardModifiers, int>> steps = {
        {Qt::NoModifier, 20},     {Qt::ShiftModifier, 280}, {Qt::ShiftModifier, 150},
        {Qt::ShiftModifier, 20},  {Qt::NoModifier, 150},    {Qt::NoModifier, 280},
        {Qt::KeypadModifier, 20},
    };
    QCOMPARE(currentLine(), 280);
    QVERIFY(!m_view->lineRect(280).isNull());
    for (const auto &[modifiers, line] : steps) {
        QTest::keyClick(box(), modifiers & Qt::KeypadModifier ? Qt::Key_Enter : Qt::Key_Return,
                        modifiers);
        QCOMPARE(currentLine(), line);
        QCOMPARE(m_view->currentSearchMatch().start,
                 m_buffer.lineText(line).indexOf(QStringLiteral("Needle")));
        QVERIFY2(!m_view->lineRect(line).isNull(), "the match is scrolled into view");
    }
    // The buttons do the same.
    QTest::mouseClick(m_window->findChild<QWidget *>(QStringLiteral("cmdfindprev")),
                      Qt::LeftButton);
    QCOMPARE(currentLine(), 280);
    QTest::mouseClick(m_window->findChild<QWidget *>(QStringLiteral("cmdfindnext")),
                      Qt::LeftButton);
    QCOMPARE(currentLine(), 20);
}

void TestFindBar::matchesAreDrawnUntilClosed()
{
    // Two matches on screen at once: lines 0..2 of a short conversation.
    m_buffer.clear();
    for (const QString &line : {u"a Needle here"_qs, u"nothing"_qs, u"another needle"_qs})
        AppendFormatted(m_buffer, line);
    QTest::qWait(50);
    const QImage plainFirst = grabLine(0);
    const QImage plainMiddle = grabLine(1);
    const QImage plainLast = grabLine(2);
    const QColor selection = m_view->palette().color(QPalette::Highlight);
    QCOMPARE(countColour(plainFirst, selection), 0);

    m_view->setFocus();
    QTest::keyClick(m_view, Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(box(), QStringLiteral("needle"));
    QCOMPARE(currentLine(), 2);
    QTRY_VERIFY2(countColour(grabLine(2), selection) > 20,
                 "the current match in the selection colour");
    const QImage tintedFirst = grabLine(0);
    QVERIFY2(tintedFirst != plainFirst, "another match is tinted");
    QCOMPARE(countColour(tintedFirst, selection), 0);
    QCOMPARE(grabLine(1), plainMiddle);

    QTest::keyClick(box(), Qt::Key_Escape);
    QTRY_COMPARE(grabLine(0), plainFirst);
    QCOMPARE(grabLine(2), plainLast);
}

void TestFindBar::notFoundAndMatchCase()
{
    m_view->setFocus();
    QTest::keyClick(m_view, Qt::Key_F, Qt::ControlModifier);
    auto *status = m_window->findChild<QLabel *>(QStringLiteral("lblfindstatus"));
    auto *matchCase = m_window->findChild<QCheckBox *>(QStringLiteral("chkfindcase"));
    const QColor normalBase = box()->palette().color(QPalette::Base);

    QTest::keyClicks(box(), QStringLiteral("needle"));
    QCOMPARE(currentLine(), 280);
    QVERIFY(!bar()->isNotFound());
    matchCase->setChecked(true);
    QVERIFY(bar()->isNotFound());
    QCOMPARE(status->text(), QStringLiteral("Not found"));
    QVERIFY(!m_view->currentSearchMatch().isValid());
    const QColor red = box()->palette().color(QPalette::Base);
    QVERIFY(red != normalBase && red.red() > red.green() && red.red() > red.blue());

    // Enter with nothing found searches again rather than failing.
    box()->setText(QStringLiteral("Needle"));
    QCOMPARE(currentLine(), 280);
    QVERIFY(!bar()->isNotFound());
    QCOMPARE(status->text(), QString());
    QCOMPARE(box()->palette().color(QPalette::Base), normalBase);

    box()->clear();
    QVERIFY(!bar()->isNotFound());
    QVERIFY(!m_view->currentSearchMatch().isValid());
}

void TestFindBar::windowKeysYieldToAnEnabledAction_data()
{
    QTest::addColumn<bool>("actionEnabled");
    QTest::addColumn<bool>("fromView");
    QTest::addColumn<bool>("barOpens");

    QTest::newRow("action enabled, in the view") << true << true << true;
    QTest::newRow("action enabled, elsewhere") << true << false << false;
    QTest::newRow("action disabled, elsewhere") << false << false << true;
}

void TestFindBar::windowKeysYieldToAnEnabledAction()
{
    QFETCH(bool, actionEnabled);
    QFETCH(bool, fromView);
    QFETCH(bool, barOpens);
    m_sharedAction->setEnabled(actionEnabled);
    QSignalSpy triggered(m_sharedAction, &QAction::triggered);
    QWidget *start = fromView ? static_cast<QWidget *>(m_view) : m_input;
    start->setFocus();
    QTRY_VERIFY(start->hasFocus());

    QTest::keyClick(start, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(bar()->isVisible(), barOpens);
    QCOMPARE(triggered.isEmpty(), barOpens);
}

QTEST_MAIN(TestFindBar)
#include "tst_findbar.moc"
