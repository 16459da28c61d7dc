// A whole fare driven with keys under the headless backend: on a seeded city the cab
// is put on a straight street, one passenger waits ahead of it and wants to go further
// along the same street. A key driver (ignition, throttle and brake chosen at every
// poll from what the cab's instruments would show) drives there, stops in the squares
// and finally ends the shift with the exit key.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "city/city_map.h"
#include "shell/shift_loop.h"
#include "sim/passengers.h"
#include "support/arcade_game.h"

namespace hc {
namespace {

constexpr int KeyUp = 72, KeyDown = 80, KeyEnter = 28, KeyEsc = 1, KeyS = 31;

// A stretch of street running along +x: every cell within two rows of row y, from x0 to
// x0 + length, is passable.
struct Street {
    int x0 = 0, y = 0;
    bool found = false;
};

Street findStraightStreet(CityMap& map, int length) {
    for (int y = 1000; y < 1200; ++y) {
        int run = 0;
        for (int x = 900; x < 1300; ++x) {
            bool open = true;
            for (int dy = -2; dy <= 2 && open; ++dy) open = !isBlocked(map, x + 0.5f, y + dy + 0.5f);
            run = open ? run + 1 : 0;
            if (run == length) return {x - length + 1, y, true};
        }
    }
    return {};
}

// What the driver knows at a poll, and what it saw happen.
struct Drive {
    int phase = 0;  // 0 engine off, 1 to the pick-up, 2 to the destination, 3 counting, 4 done
    int64_t pickupPoll = 0, dropPoll = 0, escPoll = 0;
    std::string lineAtPickup, lineAtDrop;
    int64_t meterAtPickup = -1, scoreAtDrop = -1;
    bool markedBeforeRide = false, marksGoneDuringRide = false, marksBackAfterDrop = false;
};

TEST(FareJourney, PickUpRideAndDropOffCountTheFareIntoTheScore) {
    ArcadeGame arcade;
    if (!arcade.ready()) GTEST_SKIP() << arcade.skipReason();
    Game& g = arcade.game();
    arcade.secondsPerFrame = 1.0 / 50.0;

    const Street street = findStraightStreet(*g.city, 140);
    ASSERT_TRUE(street.found) << "the seeded city has no straight street near the start";
    g.player.x = street.x0 + 4.5f;
    g.player.y = street.y + 0.5f;

    const float pickupX = street.x0 + 40.5f, destinationX = street.x0 + 120.5f;
    const float other = street.y + 200.0f;  // where the other passengers wait
    Drive drive;

    auto hold = [&](int key, int64_t poll) { arcade.window.holdKey(key, poll, poll); };
    arcade.window.onPoll = [&](int64_t poll) {
        Shift& shift = g.shift;
        if (poll == 1) {
            // The shift has been set up: passenger 1 waits ahead, the others elsewhere.
            for (int k = 2; k <= PassengerSlots; ++k) {
                shift.passengers[k].pickup.y = other;
                shift.passengers[k].pickup.x = 1000.0f + 10.0f * k;
            }
            Passenger& p = shift.passengers[1];
            p.pickup.x = pickupX;
            p.pickup.y = street.y + 0.5f;
            p.destination.x = destinationX;
            p.destination.y = street.y + 0.5f;
            p.fare = tripFare(p.pickup, p.destination);
            markPickups(shift, *g.city);
            return;
        }
        if (poll > 6000) {
            arcade.window.requestClose();  // a drive that never arrives is a failure
            return;
        }
        const float speed = bodySpeed(g.player);
        // Throttle up to the speed from which the brakes (0.004 a tick) still stop the
        // cab at the target with some margin, brake above it.
        auto approach = [&](float targetX) {
            const double left = std::fmax(0.0, targetX - g.player.x);
            const double wanted = std::fmin(0.8, std::sqrt(2.0 * 0.003 * left));
            if (speed < wanted - 0.02) hold(KeyUp, poll);
            else if (speed > wanted) hold(KeyDown, poll);
        };
        switch (drive.phase) {
            case 0:
                drive.markedBeforeRide = hasFlag(cellAt(*g.city, int(pickupX) - 4, street.y - 4), PickupMark);
                if (poll == 3) hold(KeyS, poll);
                if (isOn(shift.engineRunning)) drive.phase = 1;
                break;
            case 1:
                if (shift.passengerAboard == 1) {
                    drive.pickupPoll = poll;
                    drive.lineAtPickup = shift.speechText;
                    drive.meterAtPickup = shift.pendingFare;
                    drive.marksGoneDuringRide = !hasFlag(cellAt(*g.city, int(pickupX) - 4, street.y - 4), PickupMark);
                    drive.phase = 2;
                } else {
                    approach(pickupX);
                }
                break;
            case 2:
                if (shift.passengerAboard == 0) {
                    drive.dropPoll = poll;
                    drive.lineAtDrop = shift.speechText;
                    drive.scoreAtDrop = shift.score;
                    drive.phase = 3;
                } else {
                    approach(destinationX);
                }
                break;
            case 3:
                if (shift.pendingFare == 0) {
                    // Other passengers' squares are back once nobody rides.
                    const Passenger& p2 = shift.passengers[2];
                    drive.marksBackAfterDrop =
                        hasFlag(cellAt(*g.city, int(p2.pickup.x) - 4, int(p2.pickup.y) - 4), PickupMark);
                    hold(KeyEsc, poll);
                    drive.escPoll = poll;
                    drive.phase = 4;
                }
                break;
            default:
                // Pressed at every other poll, so that the poll after it sees a release.
                if (shift.minutesLeft < 0 && poll % 2 == 0) hold(KeyEnter, poll);
                break;
        }
    };

    const int status = arcade.runUntilEnd([&] { runShift(g, arcade.view); });
    ASSERT_EQ(status, -1) << "the drive did not finish; phase " << drive.phase << " at x " << g.player.x;

    const Passenger& p = g.shift.passengers[1];
    ASSERT_GT(p.fare, 0);
    EXPECT_EQ(p.fare, 12);  // 80 cells at 0.15 point each
    ASSERT_GT(drive.pickupPoll, 0);
    EXPECT_EQ(drive.lineAtPickup, p.requestLine);
    EXPECT_FALSE(drive.lineAtPickup.empty());
    EXPECT_EQ(drive.meterAtPickup, p.fare);
    EXPECT_TRUE(drive.markedBeforeRide);
    EXPECT_TRUE(drive.marksGoneDuringRide) << "the pick-up square stayed marked during the ride";

    ASSERT_GT(drive.dropPoll, drive.pickupPoll);
    EXPECT_EQ(drive.lineAtDrop, p.thanksLine);
    EXPECT_TRUE(isOn(p.delivered));
    EXPECT_EQ(g.shift.deliveredCount, 1);
    // The meter counts into the score after the drop-off, one point per frame.
    EXPECT_LE(drive.scoreAtDrop, 1);
    EXPECT_EQ(g.shift.score, p.fare);
    EXPECT_EQ(g.shift.pendingFare, 0);
    EXPECT_TRUE(drive.marksBackAfterDrop);
    // The cab stopped inside both squares.
    EXPECT_TRUE(inSquare(g.player, p.destination));
    EXPECT_LT(bodySpeed(g.player), 0.1f);
    // The score picture said so.
    EXPECT_EQ(scoreLine(g.shift.score), "Your score: 12");
}

}  // namespace
}  // namespace hc
