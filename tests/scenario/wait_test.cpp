#include <gtest/gtest.h>

#include "program/frm_wait.h"
#include "scenario.h"

namespace pictavo::testing {
namespace {

struct Flags {
    int Ck, Ck2, Ck3, Ck4, Ck5, Ck6;
    bool hides;
    friend bool operator==(const Flags&, const Flags&) = default;
};

std::ostream& operator<<(std::ostream& out, const Flags& f) {
    return out << f.Ck << f.Ck2 << f.Ck3 << f.Ck4 << f.Ck5 << f.Ck6 << (f.hides ? " hides" : " stays");
}

class WaitWindow : public Scenario {
protected:
    FrmWait& wait() { return app->frmWait(); }
    Flags flags() {
        return {wait().Ck.value(),  wait().Ck2.value(), wait().Ck3.value(), wait().Ck4.value(),
                wait().Ck5.value(), wait().Ck6.value(), !wait().form.visibleNow()};
    }
    void freshAndShown() {
        wait().form.unload();
        wait().form.show();
    }
};

TEST_F(WaitWindow, KeyTable) {
    run();
    struct Case { int KC; Flags after; };
    // Key codes whose character is a lower-case letter (F1, the keypad's
    // point, ...) count as that letter.
    const Case cases[] = {
        {kEscape, {1, 0, 0, 0, 0, 0, true}}, {'P', {0, 1, 0, 0, 0, 0, false}},  {kSpace, {0, 1, 0, 0, 0, 0, false}},
        {'p', {0, 1, 0, 0, 0, 0, false}},    {'N', {0, 1, 0, 0, 0, 0, true}},   {kRight, {0, 1, 0, 0, 0, 0, true}},
        {kEnter, {0, 1, 0, 0, 0, 0, true}},  {'n', {0, 1, 0, 0, 0, 0, true}},   {'L', {0, 1, 1, 0, 0, 0, true}},
        {kLeft, {0, 1, 1, 0, 0, 0, true}},   {kBackspace, {0, 1, 1, 0, 0, 0, true}}, {'l', {0, 1, 1, 0, 0, 0, true}},
        {'Q', {0, 1, 0, 1, 0, 0, true}},     {kUp, {0, 1, 0, 1, 0, 0, true}},   {'q', {0, 1, 0, 1, 0, 0, true}},
        {'A', {0, 1, 0, 0, 1, 0, true}},     {kDown, {0, 1, 0, 0, 1, 0, true}}, {'a', {0, 1, 0, 0, 1, 0, true}},
        {'G', {0, 1, 0, 0, 0, 1, true}},     {'g', {0, 1, 0, 0, 0, 1, true}},   {'X', {0, 0, 0, 0, 0, 0, false}},
        {kDelete, {0, 0, 0, 0, 0, 0, false}}, {0, {0, 0, 0, 0, 0, 0, false}},   {65535, {0, 0, 0, 0, 0, 0, false}},
        {-1, {0, 0, 0, 0, 0, 0, false}},
    };
    for (const Case& c : cases) {
        freshAndShown();
        wait().TickCount = 2;
        wait().Form_KeyDown(c.KC);
        EXPECT_EQ(flags(), c.after) << "key " << c.KC;
        const bool navigates = c.after.hides && c.KC != kEscape;
        EXPECT_EQ(wait().TickCount, navigates ? 0 : 2) << "key " << c.KC;
    }
}

}  // namespace
}  // namespace pictavo::testing
