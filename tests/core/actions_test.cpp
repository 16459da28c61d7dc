#include <gtest/gtest.h>

#include <string>

#include "core/actions.h"

namespace hc {
namespace {

// Two whole rows, then one part of the second spoilt at a time: the check the build
// makes on the real table must name each fault.
TEST(ActionTable, HalfBoundRowsAreFound) {
    const ActionRow whole[2] = {{ActionUp, "up", 72, PadBinding::A, "+", " up"},
                                {ActionDown, "down", 80, PadBinding::None, "-", " down"}};
    struct Case {
        void (*spoil)(ActionRow& row);
        const char* fault;
    };
    const Case cases[] = {
        {[](ActionRow&) {}, nullptr},
        {[](ActionRow& r) { r.action = ActionLeft; }, "rows out of action order"},
        {[](ActionRow& r) { r.name = ""; }, "an action without a name"},
        {[](ActionRow& r) { r.scancode = 0; }, "an action without a key"},
        {[](ActionRow& r) { r.scancode = 72; }, "two actions on one key"},
        {[](ActionRow& r) { r.pad = PadBinding::Unset; }, "an action without a controller binding"},
        {[](ActionRow& r) { r.helpLine = ""; }, "an action without a help line"},
        {[](ActionRow& r) { r.helpKey = ""; }, "an action without a help line"},
    };
    for (const Case& c : cases) {
        ActionRow rows[2] = {whole[0], whole[1]};
        c.spoil(rows[1]);
        const char* fault = actionTableFault(rows);
        EXPECT_EQ(std::string(fault ? fault : "none"), std::string(c.fault ? c.fault : "none"));
    }
    // A row left out of a designated table gets Unset, never a button by accident.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"  // the row forgets its button on purpose
    const ActionRow forgotten[1] = {{.action = ActionUp, .name = "up", .scancode = 72, .helpKey = "+", .helpLine = " up"}};
#pragma GCC diagnostic pop
    EXPECT_STREQ(actionTableFault(forgotten), "an action without a controller binding");
}

}  // namespace
}  // namespace hc
