#pragma once
// The start button's life as states, so what a click does and what the
// button says follow from one place:
//
//   Idle      --click-->  Searching              (starts the request)
//   Searching --click-->  Stopping               (asks the walk to stop)
//   Stopping  --click-->  StoppingThenStart      (keeps the request for later)
//   StoppingThenStart --click--> Stopping        (drops it again)
//   Searching, Stopping --ended--> Idle
//   StoppingThenStart   --ended--> Searching     (starts the kept request)
//
// A stopped search winds down at the walk's next poll point; a start
// clicked meanwhile waits for it, and searches what was checked at the
// click, whatever is typed before it runs. The caller checks the request
// before a click that may start (startsOnClick()).

#include <optional>
#include <utility>

namespace gb {

enum class SearchState { Idle, Searching, Stopping, StoppingThenStart };

template <class Request> class SearchControl {
public:
    // What the caller does after a click or an end.
    struct Step {
        enum class Do { Nothing, Start, Stop } what = Do::Nothing;
        std::optional<Request> request; // with Start
    };

    SearchState state() const { return state_; }
    // The click asks for a start (now or after the wind-down): the caller
    // checks its fields first.
    bool startsOnClick() const { return state_ == SearchState::Idle || state_ == SearchState::Stopping; }
    // The button offers a stop while a search runs or waits to.
    bool offersStop() const
    {
        return state_ == SearchState::Searching || state_ == SearchState::StoppingThenStart;
    }

    // A click on the button; `request` is what a start would search.
    Step click(std::optional<Request> request)
    {
        switch (state_) {
        case SearchState::Idle:
            if (!request)
                return {};
            state_ = SearchState::Searching;
            return {Step::Do::Start, std::move(request)};
        case SearchState::Searching: state_ = SearchState::Stopping; return {Step::Do::Stop, std::nullopt};
        case SearchState::Stopping:
            if (!request)
                return {};
            queued_ = std::move(request);
            state_ = SearchState::StoppingThenStart;
            return {};
        case SearchState::StoppingThenStart:
            queued_.reset();
            state_ = SearchState::Stopping;
            return {Step::Do::Stop, std::nullopt};
        }
        return {};
    }

    // The search has ended (by itself or stopped).
    Step ended()
    {
        if (state_ == SearchState::StoppingThenStart) {
            state_ = SearchState::Searching;
            return {Step::Do::Start, std::exchange(queued_, std::nullopt)};
        }
        state_ = SearchState::Idle;
        return {};
    }

private:
    SearchState state_ = SearchState::Idle;
    std::optional<Request> queued_;
};

} // namespace gb
