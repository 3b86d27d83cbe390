// Button states around long operations and after check-list changes.
#include <gtest/gtest.h>

#include <map>

#include "sets/buttons.h"

namespace vm {
namespace {

std::map<Ctl, bool> AsMap(const std::vector<ControlState>& plan) {
    std::map<Ctl, bool> m;
    for (const auto& s : plan) {
        EXPECT_EQ(m.count(s.control), 0u) << "control set twice";
        m[s.control] = s.enabled;
    }
    return m;
}

TEST(ButtonCtrl, EnablesOrDisablesTheMainControls) {
    struct Case {
        bool enable, fltChosen;
        int fltCount;
        bool backupFunc, optFLT, backup;
    } cases[] = {
        {true, false, 3, true, true, true},
        {true, false, 0, true, false, true},   // no situations: optFLT stays off
        {true, true, 3, true, true, false},    // situation mode: no restore or re-backup
        {true, false, 3, false, true, false},  // backup function off: hidden and never enabled
        {false, false, 3, true, false, false},
        {false, true, 0, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.enable << c.fltChosen << c.fltCount << c.backupFunc);
        auto m = AsMap(ButtonCtrlPlan(c.enable, c.fltChosen, c.fltCount, c.backupFunc));
        EXPECT_EQ(m.size(), ButtonCtrlControls().size());
        EXPECT_EQ(m[Ctl::optFLT], c.optFLT);
        EXPECT_EQ(m[Ctl::cmdToOrg], c.backup);
        EXPECT_EQ(m[Ctl::cmdBackUp], c.backup);
        for (Ctl x : {Ctl::optSky, Ctl::cmdRandom, Ctl::cmdInst, Ctl::cmdInstAndStart, Ctl::lstClouds, Ctl::lstFLT,
                      Ctl::lstOption, Ctl::lstSky, Ctl::cmbClouds, Ctl::cmbOption})
            EXPECT_EQ(m[x], c.enable);
    }
}

TEST(CmdCont, FollowsTheCheckMarks) {
    struct Case {
        bool fltChosen, autoRandom, randomMode, any, backupFunc;
        bool changes, install, backup;
    } cases[] = {
        {false, false, false, true, true, true, true, true},
        {false, false, false, false, true, true, false, false},
        {false, false, true, true, true, true, true, false},   // random choice: no restore or re-backup
        {false, false, true, false, true, true, false, false},
        {false, false, false, true, false, true, true, false},  // backup function off
        {true, false, false, true, true, false, false, false},  // situation mode: nothing changes
        {false, true, false, true, true, false, false, false},  // AutoRandom on: nothing changes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.fltChosen << c.autoRandom << c.randomMode << c.any << c.backupFunc);
        auto plan = CmdContPlan(c.fltChosen, c.autoRandom, c.randomMode, c.any, c.backupFunc);
        ASSERT_EQ(!plan.empty(), c.changes);
        if (plan.empty()) continue;
        auto m = AsMap(plan);
        EXPECT_EQ(m.size(), 4u);
        EXPECT_EQ(m[Ctl::cmdInst], c.install);
        EXPECT_EQ(m[Ctl::cmdInstAndStart], c.install);
        EXPECT_EQ(m[Ctl::cmdBackUp], c.backup);
        EXPECT_EQ(m[Ctl::cmdToOrg], c.backup);
    }
}

}  // namespace
}  // namespace vm
