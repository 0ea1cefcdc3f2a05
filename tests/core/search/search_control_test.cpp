#include "core/search/search_control.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace gb {
namespace {

using Control = SearchControl<std::string>;
using Do = Control::Step::Do;

// Each row: clicks ('c' with the request "a", "b"... in turn, 'x' a click
// whose fields were refused, 'e' the search ending), then the state, what
// the last event asked for, and the caption it leaves.
TEST(SearchControl, ClicksAndEndsLeadThroughTheStates)
{
    struct Case {
        const char* events;
        SearchState state;
        Do last;
        std::optional<std::string> started; // the request the last event started
        bool offersStop;
    };
    const Case cases[] = {
        {"c", SearchState::Searching, Do::Start, "a", true},
        {"x", SearchState::Idle, Do::Nothing, std::nullopt, false},
        {"cc", SearchState::Stopping, Do::Stop, std::nullopt, false},
        {"cce", SearchState::Idle, Do::Nothing, std::nullopt, false},
        {"ce", SearchState::Idle, Do::Nothing, std::nullopt, false},
        // A start clicked during the wind-down waits, then searches what was
        // checked at its click.
        {"ccc", SearchState::StoppingThenStart, Do::Nothing, std::nullopt, true},
        {"ccce", SearchState::Searching, Do::Start, "c", true},
        {"ccx", SearchState::Stopping, Do::Nothing, std::nullopt, false},
        // A second stop drops the waiting start.
        {"cccc", SearchState::Stopping, Do::Stop, std::nullopt, false},
        {"cccce", SearchState::Idle, Do::Nothing, std::nullopt, false},
    };
    for (const Case& c : cases) {
        Control control;
        Control::Step step;
        char request = 'a';
        for (const char* e = c.events; *e; ++e) {
            if (*e == 'e')
                step = control.ended();
            else
                step = control.click(*e == 'c' ? std::optional<std::string>(std::string(1, request++))
                                               : std::nullopt);
        }
        EXPECT_EQ(control.state(), c.state) << c.events;
        EXPECT_EQ(step.what, c.last) << c.events;
        EXPECT_EQ(step.request, c.started) << c.events;
        EXPECT_EQ(control.offersStop(), c.offersStop) << c.events;
    }
}

} // namespace
} // namespace gb
