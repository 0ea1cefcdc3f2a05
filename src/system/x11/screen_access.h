#pragma once
// What the window grabber needs of the screen, kept small so that the
// window's logic runs against a fake in tests. The desktop's implementation
// talks to the X server (x11_screen.h).

#include "core/capture/capture_geometry.h"
#include "core/icons/rgba_image.h"

#include <cstdint>
#include <expected>
#include <memory>
#include <optional>
#include <string>

namespace gb::capture {

// A window found under the pointer: its id (never 0) and its rectangle on
// the screen, before any clamping.
struct FoundWindow {
    std::uint32_t id = 0;
    ScreenRect rect;
};

enum class DragEvent {
    None,
    LeftReleased, // the left button went up while the screen held the pointer
};

class ScreenAccess {
public:
    virtual ~ScreenAccess() = default;

    // The screen's size in pixels: the limits of the clamp.
    virtual ScreenSize size() = 0;

    // Takes the pointer for a drag: from now on the release of the left
    // button is reported by poll(), wherever the pointer is, and the pointer
    // shows the arrow with a question mark. `pressedWindow` is the native
    // window that got the button press, 0 when there is none.
    virtual void beginDrag(std::uint64_t pressedWindow) = 0;
    // Called often during a drag.
    virtual DragEvent poll() = 0;
    // True once the screen holds the pointer: the release then comes through
    // poll() and never to the window that got the press.
    virtual bool holdsPointer() const = 0;
    // Gives the pointer back and takes the frame away.
    virtual void endDrag() = 0;

    // The innermost visible window under the pointer; nothing when the
    // pointer cannot be read.
    virtual std::optional<FoundWindow> windowUnderPointer() = 0;

    // Outlines `target` with the frame of frameBands(), taking off any frame
    // shown before. The frame never appears in a grab.
    virtual void showFrame(const ScreenRect& target) = 0;
    virtual void hideFrame() = 0;

    // The screen's pixels inside `area` (non-empty, on the screen), opaque.
    virtual std::expected<RgbaImage, std::string> grab(const ScreenRect& area) = 0;
};

// The X server of $DISPLAY; null when there is none to connect to.
std::unique_ptr<ScreenAccess> connectX11Screen();

} // namespace gb::capture
