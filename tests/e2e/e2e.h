#pragma once
// What the end-to-end tests share: an X server and a HOME of their own per
// test case, and the check of what the overlay shows.
#include "xsession.h"

#include <gtest/gtest.h>

namespace e2e {

using namespace xs;

class E2e : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(x) << why(); }

    std::unique_ptr<XSession> x = XSession::start();
    Home home;
};

// Waits until the screen shows the frozen desktop (`frozen`, root
// coordinates) unchanged inside `box` and shaded around it, sampled on a grid
// and just inside and outside each edge. The notice over a (nearly) whole
// desktop box is left out.
inline testing::AssertionResult showsBox(
    XSession &x, const QRect &box,
    const std::function<QRgb(QPoint)> &frozen = [](QPoint p) { return pattern(p); }) {
    const QSize desk = x.size();
    QRect notice;
    if (box.x() < 20 && box.y() < 20 && box.width() > desk.width() - 40 &&
        box.height() > desk.height() - 40)
        notice = QRect(0, 0, 600, 200).translated(desk.width() / 2 - 300, desk.height() / 2 - 100);
    QList<QPoint> points;
    for (int row = 37; row < desk.height(); row += 61)
        for (int column = 29; column < desk.width(); column += 67)
            points << QPoint(column, row);
    for (const double f : {0.25, 0.5, 0.75}) {
        const int across = box.left() + int(f * box.width()),
                  down = box.top() + int(f * box.height());
        for (const int in : {2, -3}) // just inside, just outside
            points << QPoint(across, box.top() + in) << QPoint(across, box.bottom() - in)
                   << QPoint(box.left() + in, down) << QPoint(box.right() - in, down);
    }
    // The overlay keeps about 44 % of each channel outside the box.
    const auto shaded = [](QRgb got, QRgb was) {
        const auto near = [](int c, int v) { return std::abs(c - v * 0.436) <= 2; };
        return near(qRed(got), qRed(was)) && near(qGreen(got), qGreen(was)) &&
               near(qBlue(got), qBlue(was)) && (got != was || qGray(was) < 8);
    };
    QString problem;
    const bool shown = waitFor(
        [&] {
            const QImage screen = x.grabRoot();
            for (const QPoint p : points) {
                if (!screen.rect().contains(p) || notice.contains(p))
                    continue;
                const QRgb got = screen.pixel(p), was = frozen(p);
                if (box.contains(p) ? got != was : !shaded(got, was)) {
                    problem = QString::asprintf("(%d,%d) is #%06x over #%06x, %s the box", p.x(),
                                                p.y(), got & 0xffffff, was & 0xffffff,
                                                box.contains(p) ? "inside" : "outside");
                    return false;
                }
            }
            return true;
        },
        QStringLiteral("the box"), kTimeout, 50ms);
    if (shown)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "box " << box.x() << "," << box.y() << " " << box.width()
                                       << "x" << box.height() << ": " << problem.toStdString();
}

} // namespace e2e
