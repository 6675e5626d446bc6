// Where the bar, the details window and the dialogs go on one monitor or several.
#include "core/Placement.h"

#include <gtest/gtest.h>

namespace {

const QSize Bar(177, 21);
const QSize Details(177, 73);
const QRect One(0, 0, 1024, 768);
// Two 1920 x 1080 monitors, the primary right of the other, or below it.
const QRect Left(0, 0, 1920, 1080), RightPrimary(1920, 0, 1920, 1080);
const QRect Upper(0, 0, 1920, 1080), LowerPrimary(0, 1080, 1920, 1080);
// A primary right of and below the other: the corner of the desktop beside each is on none.
const QRect CornerPrimary(1920, 1080, 1920, 1080);

TEST(Placement, FirstRunIsCentredAtTheTopOfThePrimary) {
    EXPECT_EQ(FirstRunPlace(One, Bar), QPoint(424, 0));
    EXPECT_EQ(FirstRunPlace(QRect(0, 0, 800, 600), Bar), QPoint(312, 0));
    EXPECT_EQ(FirstRunPlace(RightPrimary, Bar), QPoint(2792, 0));
    EXPECT_EQ(FirstRunPlace(CornerPrimary, Bar), QPoint(2792, 1080));
}

TEST(Placement, EdgesAreThoseOfThePrimary) {
    const QPoint at(200, 100);
    const struct {
        int32_t barPos;
        QRect primary;
        std::optional<QPoint> placed;
    } rows[] = {
        {1, One, QPoint(200, 0)},
        {2, One, QPoint(847, 100)},
        {3, One, QPoint(200, 747)},
        {4, One, QPoint(0, 100)},
        {1, LowerPrimary, QPoint(200, 1080)},
        {2, RightPrimary, QPoint(3663, 100)},
        {3, LowerPrimary, QPoint(200, 2139)},
        {4, RightPrimary, QPoint(1920, 100)},
        {0, RightPrimary, std::nullopt},
        {5, RightPrimary, std::nullopt},
        {-1, One, std::nullopt},
    };
    for (const auto& r : rows)
        EXPECT_EQ(OnEdge(r.barPos, at, Bar, r.primary), r.placed) << r.barPos;
}

TEST(Placement, OnlyABarOnNoMonitorIsBroughtIntoSight) {
    const QList<QRect> one{One}, sideBySide{RightPrimary, Left}, corner{CornerPrimary, Left};
    const struct {
        QPoint at;
        QList<QRect> monitors;
        QPoint shown;
    } rows[] = {
        // Any pixel in sight: it stays, partly off the screen as a drag may leave it.
        {{100, 200}, one, {100, 200}},
        {{-176, -20}, one, {-176, -20}},
        {{1023, 767}, one, {1023, 767}},
        {{2500, 400}, sideBySide, {2500, 400}},
        // Wholly off: the nearest place wholly on the nearest monitor.
        {{-177, 100}, one, {0, 100}},
        {{1024, 300}, one, {847, 300}},
        {{2500, 400}, one, {847, 400}},
        {{5000, 3000}, one, {847, 747}},
        {{-500, -500}, one, {0, 0}},
        {{100, 768}, one, {100, 747}},
        // The monitor it is nearer to, in the desktop's empty corners.
        {{500, 1500}, corner, {500, 1059}},
        {{3000, 500}, corner, {3000, 1080}},
        {{5000, 3000}, sideBySide, {3663, 1059}},
        // No monitor at all: left where it is.
        {{5000, 3000}, {}, {5000, 3000}},
    };
    for (const auto& r : rows)
        EXPECT_EQ(InSight(QRect(r.at, Bar), r.monitors), r.shown) << r.at.x() << "," << r.at.y();
    // A window larger than its monitor keeps its top-left corner on it.
    EXPECT_EQ(InSight(QRect(QPoint(2000, 2000), QSize(200, 50)), {QRect(0, 0, 100, 40)}),
              QPoint(0, 0));
}

TEST(Placement, DetailsGoUnderTheBarOrAboveItWhereUnderIsOutOfSight) {
    const QList<QRect> one{One}, stacked{LowerPrimary, Upper};
    const struct {
        QPoint bar;
        QList<QRect> monitors;
        QPoint details;
    } rows[] = {
        {{300, 100}, one, {300, 121}},
        {{300, 674}, one, {300, 695}},
        // At the bottom edge: above the bar, its bottom on the bar's top.
        {{300, 747}, one, {300, 674}},
        {{300, 700}, one, {300, 627}},
        // On the upper of two monitors the place under it lies on the lower one: above still.
        {{300, 1059}, stacked, {300, 986}},
        {{300, 2139}, stacked, {300, 2066}},
        // Partly off the side: neither place is wholly in sight; the one that shows more.
        {{-40, 100}, one, {-40, 121}},
        {{-40, 747}, one, {-40, 674}},
        // Off the top, above would be worse.
        {{300, -10}, one, {300, 11}},
        {{300, 100}, {}, {300, 121}},
    };
    for (const auto& r : rows)
        EXPECT_EQ(DetailsPlace(QRect(r.bar, Bar), Details, r.monitors), r.details)
            << r.bar.x() << "," << r.bar.y();
}

TEST(Placement, DialogsAreCentredOnTheGivenMonitor) {
    EXPECT_EQ(CentredOn(One, QSize(379, 329)), QPoint(322, 219));
    EXPECT_EQ(CentredOn(RightPrimary, QSize(380, 330)), QPoint(2690, 375));
    EXPECT_EQ(CentredOn(CornerPrimary, QSize(380, 330)), QPoint(2690, 1455));
    EXPECT_EQ(CentredOn(QRect(0, 0, 300, 200), QSize(379, 329)), QPoint(-39, -64));
}

} // namespace
