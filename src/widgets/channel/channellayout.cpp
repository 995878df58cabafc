#include "channellayout.h"

namespace {

// Web pages sit below a strip with their browser buttons; these places are our own choice.
constexpr int kWebLeft = 75;
constexpr int kWebTop = 690;
constexpr int kStripTop = 90;
constexpr int kButtonTop = 150;
constexpr int kButtonSize = 450;
constexpr int kBackLeft = 180;

QHash<QString, QRect> makeDesign()
{
    QHash<QString, QRect> design{
        {"Tab1", {0, 0, 9000, 8125}},
        {"datain", {120, 405, 6615, 6900}},
        {"rtbtopic", {765, 165, 5655, 240}},
        {"topic", {150, 120, 615, 255}},
        {"lstnicks", {6855, 405, 2040, 6465}},
        {"lblusers", {7150, 165, 1680, 255}},
        {"dataout", {120, 7380, 6135, 330}},
        {"cmdsend", {6360, 7380, 615, 315}},
        {"chkbold", {7080, 7260, 795, 255}},
        {"chkunder", {7920, 7260, 1095, 255}},
        {"lblcolortitle", {7320, 6960, 1335, 255}},
        {"lblcolor", {9960, 7680, 135, 225}},
        {"shapetop4", {120, 150, 6615, 675}},
        {"shapebg1", {0, 0, 9135, 7760}},
        {"shapenicktop", {6855, 150, 2040, 615}},
    };
    for (int page = 0; page < 4; ++page) {
        const QString n = QString::number(page);
        design.insert("web" + n, {kWebLeft, kWebTop, 8850, 6400});
        design.insert("shapetop" + n, {kWebLeft, kStripTop, 8850, 540});
        // shapebg 1 is the Chat page's; the link pages use 0, 2, 3 and 4.
        design.insert("shapebg" + QString::number(page == 0 ? 0 : page + 1), {0, 0, 9850, 6850});
        const int first = page * 3 + 1;
        for (int b = 0; b < 3; ++b)
            design.insert("imgweb" + QString::number(first + b),
                          {kBackLeft + b * 600, kButtonTop, kButtonSize, kButtonSize});
        design.insert("imgweb" + QString::number(13 + page),
                      {kBackLeft + 2 * 600 + 600, kButtonTop, kButtonSize, kButtonSize});
        design.insert("imghome" + QString::number(page + 1),
                      {kBackLeft + 2 * 600 + 600 + 480, kButtonTop + 90, 600, 255});
    }
    return design;
}

} // namespace

const QHash<QString, QRect> &ChannelLayout::designRects()
{
    static const QHash<QString, QRect> design = makeDesign();
    return design;
}

ChannelLayout ChannelLayout::forSize(int W, int H)
{
    ChannelLayout layout;
    layout.m_rects = designRects();
    auto &r = layout.m_rects;
    // Each rule changes one property; a negative size is refused and the element keeps its
    // previous value, as on a minimized window.
    auto setWidth = [&](const QString &name, int width) {
        if (width >= 0)
            r[name].setWidth(width);
    };
    auto setHeight = [&](const QString &name, int height) {
        if (height >= 0)
            r[name].setHeight(height);
    };
    auto setLeft = [&](const QString &name, int left) { r[name].moveLeft(left); };
    auto setTop = [&](const QString &name, int top) { r[name].moveTop(top); };

    setWidth("Tab1", W);
    for (int page = 0; page < 4; ++page)
        setWidth("web" + QString::number(page), W - 150);
    const int webWidth = r["web1"].width();
    for (int page = 0; page < 4; ++page)
        setWidth("shapetop" + QString::number(page), webWidth);
    for (const char *bg : {"shapebg0", "shapebg2"})
        setWidth(bg, webWidth + 1000);
    setWidth("shapebg1", W);
    for (const char *bg : {"shapebg3", "shapebg4"})
        setWidth(bg, webWidth + 1000);
    setWidth("shapetop4", W - 2490);
    setWidth("shapenicktop", r["lstnicks"].width());
    setWidth("datain", W - 2490);
    setWidth("dataout", W - 3000);
    setWidth("rtbtopic", W - 3190);
    setHeight("Tab1", H - 820);
    for (int page = 0; page < 4; ++page)
        setHeight("web" + QString::number(page), H - 1700);
    const char *pageBackgrounds[] = {"shapebg0", "shapebg2", "shapebg3", "shapebg4"};
    for (int page = 0; page < 4; ++page)
        setHeight(pageBackgrounds[page], r["web" + QString::number(page)].height() + 450);
    setHeight("shapebg1", H - 1250);
    setHeight("datain", H - 2100);
    setHeight("lstnicks", H - 2400);
    setLeft("lstnicks", W - 2300);
    setLeft("shapenicktop", W - 2300);
    setLeft("lblusers", W - 1990);
    setLeft("cmdsend", W - 2820);
    setLeft("lblcolortitle", W - 1900);
    setLeft("chkbold", W - 2050);
    setLeft("chkunder", W - 1200);
    for (int page = 0; page < 4; ++page) {
        const QString stop = "imgweb" + QString::number(13 + page);
        setLeft(stop, r["imgweb" + QString::number(3 + page * 3)].left() + 600);
        setLeft("imghome" + QString::number(page + 1), r[stop].left() + 480);
    }
    setTop("dataout", H - 1630);
    setTop("cmdsend", H - 1630);
    setTop("lblcolortitle", H - 2000);
    setTop("chkbold", H - 1660);
    setTop("chkunder", H - 1660);
    return layout;
}
