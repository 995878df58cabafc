#include "chat/chatview.h"
#include "dialogs/smileypicker.h"
#include "text/appendformatted.h"
#include "text/chatbuffer.h"
#include "text/smileytable.h"

#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QSet>
#include <QTest>
#include <QToolButton>

namespace {

QList<QToolButton *> elementsOf(const SmileyPicker &picker)
{
    QList<QToolButton *> elements = picker.findChildren<QToolButton *>(QStringLiteral("imgIcon"));
    std::sort(elements.begin(), elements.end(), [](QToolButton *a, QToolButton *b) {
        return a->property("Index").toInt() < b->property("Index").toInt();
    });
    return elements;
}

void clickElement(SmileyPicker &picker, int index)
{
    QTest::mouseClick(elementsOf(picker).at(index), Qt::LeftButton);
}

// Pixels of the yellow of the smiley faces, in a column range of an image.
QRect yellowBounds(const QImage &image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() > 140 && c.blue() < 90)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

} // namespace

class TestSmileys : public QObject
{
    Q_OBJECT
private slots:
    void tableOrder();
    void everyPictureLoadsAtItsSize();
    void findsLongestCodeFirst();
    void pickerNamesAndElements();
    void pickAppendsAtEndAndCloses();
    void picksGoToTheOpeningWindowOnly();
    void pickWithTargetGoneOnlyCloses();
    void escapeCloses();
    void viewDrawsPicturesKeepingText();
};

void TestSmileys::tableOrder()
{
    const std::vector<Smiley> &codes = SmileyTable::codes();
    QCOMPARE(codes.size(), size_t(61));
    const auto codeAt = [&](size_t i) { return codes[i].code; };
    // first and last of each column
    QCOMPARE(codeAt(0), QStringLiteral(":satan"));
    QCOMPARE(codeAt(1), QStringLiteral(":wow"));
    QCOMPARE(codeAt(3), QStringLiteral(":'("));
    QCOMPARE(codeAt(16), QStringLiteral(":wave"));
    QCOMPARE(codeAt(17), QStringLiteral(":heart"));
    QCOMPARE(codeAt(31), QStringLiteral(":monkey"));
    QCOMPARE(codeAt(32), QStringLiteral(":|"));
    QCOMPARE(codeAt(46), QStringLiteral(":guns"));
    QCOMPARE(codeAt(47), QStringLiteral(":beat"));
    QCOMPARE(codeAt(60), QStringLiteral("(*)"));
    QCOMPARE(codes[60].size, QSize(16, 16));
    QCOMPARE(codes[50].code, QStringLiteral(":shoot"));
    QCOMPARE(codes[50].size, QSize(101, 23));

    const int finger = SmileyTable::indexOf(u":finger");
    QCOMPARE(finger, 51);
    QCOMPARE(codes[size_t(finger)].size, QSize(17, 16));
    QCOMPARE(codeAt(52), QStringLiteral(":weed"));
    QCOMPARE(SmileyTable::indexOf(u":p"), -1); // case-sensitive
    QCOMPARE(SmileyTable::indexOf(u":P"), 7);

    QSet<QString> distinct;
    for (const Smiley &smiley : codes)
        distinct.insert(smiley.code);
    QCOMPARE(distinct.size(), 61);

    const std::vector<Smiley> &picker = SmileyTable::pickerEntries();
    QCOMPARE(picker.size(), size_t(62));
    QCOMPARE(picker[51].code, QStringLiteral(":finger"));
    QCOMPARE(picker[52].code, QStringLiteral(":finger"));
    QCOMPARE(picker[52].size, QSize(20, 20));
    QVERIFY(picker[51].resource != picker[52].resource);
    QCOMPARE(picker[53].code, QStringLiteral(":weed"));
    QCOMPARE(picker[61].code, QStringLiteral("(*)"));
}

void TestSmileys::everyPictureLoadsAtItsSize()
{
    QSet<QString> resources;
    for (const Smiley &smiley : SmileyTable::pickerEntries()) {
        const QImage image = SmileyTable::load(smiley.resource);
        QVERIFY2(!image.isNull(), qPrintable(smiley.resource));
        QCOMPARE(image.size(), smiley.size);
        QVERIFY(image.hasAlphaChannel());
        resources.insert(smiley.resource);
    }
    QCOMPARE(resources.size(), 62);
    for (int i = 0; i < 61; ++i)
        QCOMPARE(SmileyTable::picture(i).size(), SmileyTable::codes()[size_t(i)].size);
    QVERIFY(SmileyTable::picture(61).isNull());
}

void TestSmileys::findsLongestCodeFirst()
{
    const auto find = [](const QString &text) {
        QStringList found;
        for (const SmileyMatch &match : SmileyTable::find(text)) {
            const QString code = text.mid(match.start, match.length);
            found << (SmileyTable::codes()[size_t(match.index)].code == code ? code
                                                                             : QStringLiteral("?"));
        }
        return found;
    };
    QCOMPARE(find(QStringLiteral("hi :) there")), QStringList{":)"});
    QCOMPARE(SmileyTable::find(u"hi :) there").front(), (SmileyMatch{3, 2, 14}));
    QCOMPARE(find(QStringLiteral("a:'(b")), QStringList{":'("});
    QCOMPARE(find(QStringLiteral("go --> there <-- back")), (QStringList{"-->", "<--"}));
    QCOMPARE(find(QStringLiteral("<-->")), QStringList{"<--"});
    QCOMPARE(find(QStringLiteral(":((")), QStringList{":("});
    QCOMPARE(find(QStringLiteral(":P :p :D")), (QStringList{":P", ":D"}));
    QCOMPARE(find(QStringLiteral(":fingers :toiletclaw(*)")),
             (QStringList{":finger", ":toiletclaw", "(*)"}));
    QCOMPARE(find(QStringLiteral("at 18:00 - a -> b")), QStringList());
}

void TestSmileys::pickerNamesAndElements()
{
    SmileyPicker emotions(SmileyPicker::Kind::Private);
    QCOMPARE(emotions.objectName(), QStringLiteral("smily"));
    QCOMPARE(emotions.windowTitle(), QStringLiteral("Emotions"));
    SmileyPicker smileys(SmileyPicker::Kind::Room);
    QCOMPARE(smileys.objectName(), QStringLiteral("frmSmileys"));
    QCOMPARE(smileys.windowTitle(), QStringLiteral("Smileys"));

    const QList<QToolButton *> elements = elementsOf(smileys);
    QCOMPARE(elements.size(), 62);
    QCOMPARE(smileys.elementCount(), 62);
    for (int i = 0; i < elements.size(); ++i) {
        QCOMPARE(elements[i]->property("Index").toInt(), i);
        QCOMPARE(elements[i]->property("tag").toString(), smileys.codeAt(i));
        QCOMPARE(elements[i]->iconSize(), SmileyTable::pickerEntries()[size_t(i)].size);
    }
    QCOMPARE(elements[52]->property("tag").toString(), QStringLiteral(":finger"));

    QStringList labels;
    for (const QLabel *label : smileys.findChildren<QLabel *>(QStringLiteral("lblCode")))
        labels << label->text();
    QCOMPARE(labels.size(), 62);
    QVERIFY(labels.contains(QStringLiteral(":angel")));
    QCOMPARE(labels.count(QStringLiteral(":finger")), 2);

    bool helpFound = false;
    for (const QLabel *label : smileys.findChildren<QLabel *>())
        helpFound |= label->text() ==
                     QLatin1String("To use these smileys, either click on the smiley here, or "
                                   "type the code into the long box at the bottom of the main "
                                   "window (e.g :angel). Just type the text");
    QVERIFY(helpFound);
}

void TestSmileys::pickAppendsAtEndAndCloses()
{
    QLineEdit box;
    box.setText(QStringLiteral("hello"));
    box.setCursorPosition(2);
    box.show();
    SmileyPicker picker(SmileyPicker::Kind::Private, &box);
    picker.openFor(&box);
    QVERIFY(picker.isVisible());
    QVERIFY(!picker.isModal());
    QCOMPARE(picker.target(), &box);

    clickElement(picker, 14); // ":)"
    QCOMPARE(box.text(), QStringLiteral("hello:)"));
    QCOMPARE(box.cursorPosition(), 7);
    QVERIFY(!picker.isVisible());

    // The second ":finger" picture puts in the same code; a selection is left alone.
    box.setSelection(0, 2);
    picker.openFor(&box);
    clickElement(picker, 52);
    QCOMPARE(box.text(), QStringLiteral("hello:):finger"));
    QCOMPARE(box.cursorPosition(), 14);
    QVERIFY(!picker.isVisible());
}

void TestSmileys::picksGoToTheOpeningWindowOnly()
{
    QLineEdit first;
    QLineEdit second;
    first.setText(QStringLiteral("one"));
    second.setText(QStringLiteral("two"));

    // Each window with its own picker.
    SmileyPicker pickerOne(SmileyPicker::Kind::Private);
    SmileyPicker pickerTwo(SmileyPicker::Kind::Private);
    pickerOne.openFor(&first);
    pickerTwo.openFor(&second);
    clickElement(pickerTwo, 0);
    QCOMPARE(second.text(), QStringLiteral("two:satan"));
    QCOMPARE(first.text(), QStringLiteral("one"));
    QVERIFY(!pickerTwo.isVisible());
    QVERIFY(pickerOne.isVisible());
    clickElement(pickerOne, 13);
    QCOMPARE(first.text(), QStringLiteral("one;)"));
    QCOMPARE(second.text(), QStringLiteral("two:satan"));

    // One picker, opened again by the second window.
    SmileyPicker shared(SmileyPicker::Kind::Room);
    shared.openFor(&first);
    shared.openFor(&second);
    clickElement(shared, 61);
    QCOMPARE(second.text(), QStringLiteral("two:satan(*)"));
    QCOMPARE(first.text(), QStringLiteral("one;)"));
}

void TestSmileys::pickWithTargetGoneOnlyCloses()
{
    SmileyPicker picker(SmileyPicker::Kind::Room);
    auto *box = new QLineEdit;
    picker.openFor(box);
    delete box;
    QCOMPARE(picker.target(), nullptr);
    clickElement(picker, 0);
    QVERIFY(!picker.isVisible());
}

void TestSmileys::escapeCloses()
{
    QLineEdit box;
    SmileyPicker picker(SmileyPicker::Kind::Room);
    picker.openFor(&box);
    QVERIFY(QTest::qWaitForWindowExposed(&picker));
    QTest::keyClick(&picker, Qt::Key_Escape);
    QVERIFY(!picker.isVisible());
    QCOMPARE(box.text(), QString());
}

void TestSmileys::viewDrawsPicturesKeepingText()
{
    ChatBuffer buffer;
    buffer.setBasePointSize(11);
    ChatView view;
    view.setBuffer(&buffer);
    view.resize(400, 120);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QString text = QStringLiteral("hi :) there");
    AppendFormatted(buffer, text);
    QCoreApplication::processEvents();
    QVERIFY(!view.smileyPictures());

    const auto grabLine = [&] {
        return view.viewport()
            ->grab(view.lineRect(0))
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    const QImage off = grabLine();
    QVERIFY(yellowBounds(off).isNull()); // text only

    view.setSmileyPictures(true);
    QVERIFY(view.smileyPictures());
    QCoreApplication::processEvents();
    QVERIFY(view.lineRect(0).height() >= 19);
    const QImage on = grabLine();
    const QRect face = yellowBounds(on);
    QVERIFY(!face.isNull());
    // Where the code's characters begin, after the margin and "hi ".
    QFont font = view.font();
    font.setPointSizeF(11);
    const int codeX = 4 + qRound(QFontMetricsF(font).horizontalAdvance(QStringLiteral("hi ")));
    QVERIFY2(face.left() >= codeX - 1 && face.right() <= codeX + 19,
             qPrintable(QStringLiteral("face %1..%2, code at %3")
                            .arg(face.left())
                            .arg(face.right())
                            .arg(codeX)));
    QVERIFY(face.width() >= 12);

    // The text keeps the code.
    QCOMPARE(buffer.lineText(0), text);
    view.selectAll();
    QCOMPARE(view.selectedText(), text);
    QGuiApplication::clipboard()->clear();
    view.copy();
    QCOMPARE(QGuiApplication::clipboard()->text(), text);
    QCoreApplication::processEvents();
    QVERIFY(!yellowBounds(grabLine()).isNull()); // still drawn when selected

    // A drag over the picture selects the code with it.
    view.clearSelection();
    const int y = view.lineRect(0).center().y();
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, QPoint(1, y));
    QTest::mouseMove(view.viewport(), QPoint(view.viewport()->width() - 2, y));
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {},
                        QPoint(view.viewport()->width() - 2, y));
    QCOMPARE(view.selectedText(), text);
    view.clearSelection();

    // Off again: text as before.
    view.setSmileyPictures(false);
    QCoreApplication::processEvents();
    QCOMPARE(grabLine(), off);
}

QTEST_MAIN(TestSmileys)
#include "tst_smileys.moc"
