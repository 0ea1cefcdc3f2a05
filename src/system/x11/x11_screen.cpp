// The window grabber's screen on an X server, through XCB. Every request
// that has a reply is checked: a window can vanish between two requests,
// and its replies then come back empty.

#include "system/x11/screen_access.h"
#include "system/x11/x11_pixels.h"

#include <xcb/xcb.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <utility>

namespace gb::capture {

namespace {

struct FreeReply {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

// Takes the reply of a request; an error makes it empty (and is freed).
template <typename T, typename Cookie, typename Fetch>
Reply<T> fetch(xcb_connection_t* c, Fetch fetcher, Cookie cookie)
{
    xcb_generic_error_t* error = nullptr;
    Reply<T> reply(fetcher(c, cookie, &error));
    std::free(error);
    return reply;
}

// The X cursor font's arrow with a question mark (XC_question_arrow); the
// next glyph is its mask.
constexpr std::uint16_t kQuestionArrowGlyph = 92;
// A frame's windows are searched this deep for a managed client.
constexpr int kFrameSearchDepth = 3;
// ... and no further than this many windows, however wide the tree.
constexpr std::size_t kFrameSearchWindows = 512;

class X11Screen final : public ScreenAccess {
public:
    X11Screen(xcb_connection_t* connection, xcb_screen_t* screen, PixelFormat format)
        : c_(connection), screen_(screen), root_(screen->root), format_(format)
    {
        wmState_ = internAtom("WM_STATE");
        const xcb_font_t font = xcb_generate_id(c_);
        xcb_open_font(c_, font, 6, "cursor");
        cursor_ = xcb_generate_id(c_);
        xcb_create_glyph_cursor(c_, cursor_, font, font, kQuestionArrowGlyph, kQuestionArrowGlyph + 1, 0, 0,
                                0, 0xffff, 0xffff, 0xffff);
        xcb_close_font(c_, font);
        gc_ = xcb_generate_id(c_);
        const std::uint32_t noExposures = 0;
        xcb_create_gc(c_, gc_, root_, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
        xcb_flush(c_);
    }

    ~X11Screen() override
    {
        endDrag();
        xcb_free_gc(c_, gc_);
        xcb_free_cursor(c_, cursor_);
        xcb_flush(c_);
        xcb_disconnect(c_);
    }

    X11Screen(const X11Screen&) = delete;
    X11Screen& operator=(const X11Screen&) = delete;

    ScreenSize size() override
    {
        // Asked each time: the screen may have been resized (RandR).
        if (auto g = fetch<xcb_get_geometry_reply_t>(c_, xcb_get_geometry_reply, xcb_get_geometry(c_, root_)))
            return {g->width, g->height};
        return {screen_->width_in_pixels, screen_->height_in_pixels};
    }

    void beginDrag(std::uint64_t pressedWindow) override
    {
        pressedWindow_ = static_cast<xcb_window_t>(pressedWindow);
        dragging_ = true;
        holdsPointer_ = false;
        tryToTakePointer();
    }

    DragEvent poll() override
    {
        if (!dragging_)
            return DragEvent::None;
        bool released = false;
        if (!holdsPointer_ && !tryToTakePointer() && !leftButtonDown())
            released = true; // let go before the pointer was ours
        released = released || std::exchange(releasedBeforeGrab_, false);
        while (xcb_generic_event_t* event = xcb_poll_for_event(c_)) {
            if ((event->response_type & 0x7f) == XCB_BUTTON_RELEASE && holdsPointer_ &&
                reinterpret_cast<xcb_button_release_event_t*>(event)->detail == XCB_BUTTON_INDEX_1)
                released = true;
            std::free(event);
        }
        if (xcb_connection_has_error(c_))
            released = true; // the server has gone: nothing more comes
        return released ? DragEvent::LeftReleased : DragEvent::None;
    }

    bool holdsPointer() const override { return holdsPointer_; }

    void endDrag() override
    {
        if (holdsPointer_)
            xcb_ungrab_pointer(c_, XCB_CURRENT_TIME);
        holdsPointer_ = false;
        dragging_ = false;
        releasedBeforeGrab_ = false;
        for (Band& band : bands_)
            if (band.window != XCB_NONE)
                xcb_destroy_window(c_, band.window);
        bands_.clear();
        frameShown_ = false;
        xcb_flush(c_);
    }

    std::optional<FoundWindow> windowUnderPointer() override;
    void showFrame(const ScreenRect& target) override;
    void hideFrame() override;
    std::expected<RgbaImage, std::string> grab(const ScreenRect& area) override;

private:
    struct Band {
        RawPixels under; // the screen under the band, as read before it was shown
        xcb_window_t window = XCB_NONE;
    };
    struct Child {
        xcb_window_t id = XCB_NONE;
        ScreenRect rect; // outer rectangle, border included, on the root
        int border = 0;
    };

    xcb_atom_t internAtom(const char* name)
    {
        const auto cookie = xcb_intern_atom(c_, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
        if (auto reply = fetch<xcb_intern_atom_reply_t>(c_, xcb_intern_atom_reply, cookie))
            return reply->atom;
        return XCB_NONE;
    }

    bool tryToTakePointer();
    bool leftButtonDown();
    bool isOwnWindow(xcb_window_t window) const;
    std::optional<Child> childUnder(xcb_window_t parent, int originX, int originY, int x, int y);
    bool hasWmState(xcb_window_t window);
    bool holdsManagedClient(xcb_window_t frame);
    std::optional<RawPixels> read(const ScreenRect& area);
    void placeBand(Band& band, const RawPixels& look);

    xcb_connection_t* c_;
    xcb_screen_t* screen_;
    xcb_window_t root_;
    PixelFormat format_;
    xcb_atom_t wmState_ = XCB_NONE;
    xcb_cursor_t cursor_ = XCB_NONE;
    xcb_gcontext_t gc_ = XCB_NONE;

    bool dragging_ = false;
    bool holdsPointer_ = false;
    bool releasedBeforeGrab_ = false;
    xcb_window_t pressedWindow_ = XCB_NONE;

    std::vector<Band> bands_;
    ScreenRect frameTarget_;
    bool frameShown_ = false;
};

// The window that got the press holds the pointer until the button goes up
// (an implicit grab), and while it does no other grab succeeds. Minimising
// the window ends that grab, so the pointer is asked for again at every poll
// until it comes. Without a window manager the window is never minimised:
// the release then goes to the window itself, which reports it.
bool X11Screen::tryToTakePointer()
{
    const auto mask = static_cast<std::uint16_t>(XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE);
    const auto cookie = xcb_grab_pointer(c_, 0, root_, mask, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC,
                                         XCB_NONE, cursor_, XCB_CURRENT_TIME);
    const auto reply = fetch<xcb_grab_pointer_reply_t>(c_, xcb_grab_pointer_reply, cookie);
    if (!reply || reply->status != XCB_GRAB_STATUS_SUCCESS)
        return false;
    holdsPointer_ = true;
    if (!leftButtonDown()) {
        // Let go between the lost implicit grab and ours: it went elsewhere.
        releasedBeforeGrab_ = true;
        return true;
    }
    if (pressedWindow_ != XCB_NONE) {
        // The toolkit saw the press but will never see the release, which is
        // ours now; without one it would take the next click anywhere in its
        // window for the end of this drag. A release outside every control
        // settles it without clicking anything.
        xcb_button_release_event_t release{};
        release.response_type = XCB_BUTTON_RELEASE;
        release.detail = XCB_BUTTON_INDEX_1;
        release.time = XCB_CURRENT_TIME;
        release.root = root_;
        release.event = pressedWindow_;
        release.child = XCB_NONE;
        release.event_x = -1;
        release.event_y = -1;
        release.state = XCB_BUTTON_MASK_1;
        release.same_screen = 1;
        std::array<char, 32> wire{};
        static_assert(sizeof(release) == wire.size());
        std::memcpy(wire.data(), &release, sizeof(release));
        xcb_send_event(c_, 0, pressedWindow_, XCB_EVENT_MASK_NO_EVENT, wire.data());
    }
    xcb_flush(c_);
    return true;
}

bool X11Screen::leftButtonDown()
{
    const auto pointer =
        fetch<xcb_query_pointer_reply_t>(c_, xcb_query_pointer_reply, xcb_query_pointer(c_, root_));
    // When the pointer cannot be read, the drag goes on; the release ends it.
    return !pointer || (pointer->mask & XCB_BUTTON_MASK_1) != 0;
}

bool X11Screen::isOwnWindow(xcb_window_t window) const
{
    for (const Band& band : bands_)
        if (band.window == window)
            return true;
    return false;
}

// The topmost visible child of `parent` that holds the point (x, y) of the
// root; (originX, originY) is the parent's inside corner on the root.
std::optional<X11Screen::Child> X11Screen::childUnder(xcb_window_t parent, int originX, int originY, int x,
                                                      int y)
{
    const auto tree = fetch<xcb_query_tree_reply_t>(c_, xcb_query_tree_reply, xcb_query_tree(c_, parent));
    if (!tree)
        return std::nullopt;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    // Ask about every child at once, then read the answers: one round trip.
    std::vector<std::pair<xcb_get_window_attributes_cookie_t, xcb_get_geometry_cookie_t>> cookies;
    cookies.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        cookies.emplace_back(xcb_get_window_attributes(c_, children[i]), xcb_get_geometry(c_, children[i]));
    std::optional<Child> found;
    // Children come bottom first; the last one that holds the point is on top.
    for (int i = 0; i < count; ++i) {
        const auto attributes = fetch<xcb_get_window_attributes_reply_t>(
            c_, xcb_get_window_attributes_reply, cookies[static_cast<std::size_t>(i)].first);
        const auto geometry = fetch<xcb_get_geometry_reply_t>(c_, xcb_get_geometry_reply,
                                                              cookies[static_cast<std::size_t>(i)].second);
        if (!attributes || !geometry)
            continue; // gone meanwhile
        if (attributes->map_state != XCB_MAP_STATE_VIEWABLE ||
            attributes->_class == XCB_WINDOW_CLASS_INPUT_ONLY || isOwnWindow(children[i]))
            continue;
        const int left = originX + geometry->x;
        const int top = originY + geometry->y;
        const int border = geometry->border_width;
        const ScreenRect rect{left, top, left + geometry->width + 2 * border,
                              top + geometry->height + 2 * border};
        if (x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom)
            found = Child{children[i], rect, border};
    }
    return found;
}

bool X11Screen::hasWmState(xcb_window_t window)
{
    if (wmState_ == XCB_NONE)
        return false;
    const auto cookie = xcb_get_property(c_, 0, window, wmState_, XCB_GET_PROPERTY_TYPE_ANY, 0, 0);
    const auto reply = fetch<xcb_get_property_reply_t>(c_, xcb_get_property_reply, cookie);
    return reply && reply->type != XCB_NONE;
}

// A window manager's frame holds the client it manages (the window with
// WM_STATE) a level or two down.
bool X11Screen::holdsManagedClient(xcb_window_t frame)
{
    std::deque<std::pair<xcb_window_t, int>> queue{{frame, 0}};
    std::size_t seen = 0;
    while (!queue.empty() && seen < kFrameSearchWindows) {
        const auto [window, depth] = queue.front();
        queue.pop_front();
        ++seen;
        if (window != frame && hasWmState(window))
            return true;
        if (depth == kFrameSearchDepth)
            continue;
        const auto tree = fetch<xcb_query_tree_reply_t>(c_, xcb_query_tree_reply, xcb_query_tree(c_, window));
        if (!tree)
            continue;
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i)
            queue.emplace_back(children[i], depth + 1);
    }
    return false;
}

// The innermost visible window under the pointer, as the classic
// WindowFromPoint finds it: over a dialog's button, the button. A window
// manager's frame stands in for the top-level window's outer part, so over
// a title bar or a border the whole frame is the target, not a strip of it.
std::optional<FoundWindow> X11Screen::windowUnderPointer()
{
    const auto pointer =
        fetch<xcb_query_pointer_reply_t>(c_, xcb_query_pointer_reply, xcb_query_pointer(c_, root_));
    if (!pointer || !pointer->same_screen)
        return std::nullopt;
    const int x = pointer->root_x;
    const int y = pointer->root_y;

    std::vector<Child> chain;
    xcb_window_t parent = root_;
    int originX = 0;
    int originY = 0;
    while (const auto child = childUnder(parent, originX, originY, x, y)) {
        chain.push_back(*child);
        parent = child->id;
        originX = child->rect.left + child->border;
        originY = child->rect.top + child->border;
    }
    if (chain.empty()) {
        const ScreenSize whole = size();
        return FoundWindow{root_, {0, 0, whole.width, whole.height}};
    }
    bool insideClient = false;
    for (const Child& window : chain)
        insideClient = insideClient || hasWmState(window.id);
    if (!insideClient && chain.size() > 1 && holdsManagedClient(chain.front().id))
        return FoundWindow{chain.front().id, chain.front().rect};
    return FoundWindow{chain.back().id, chain.back().rect};
}

std::optional<RawPixels> X11Screen::read(const ScreenRect& area)
{
    if (area.empty())
        return std::nullopt;
    const auto cookie =
        xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_, static_cast<std::int16_t>(area.left),
                      static_cast<std::int16_t>(area.top), static_cast<std::uint16_t>(area.width()),
                      static_cast<std::uint16_t>(area.height()), ~0u);
    const auto reply = fetch<xcb_get_image_reply_t>(c_, xcb_get_image_reply, cookie);
    if (!reply)
        return std::nullopt;
    const int length = xcb_get_image_data_length(reply.get());
    RawPixels pixels;
    pixels.area = area;
    pixels.stride = length / area.height();
    const std::uint8_t* data = xcb_get_image_data(reply.get());
    pixels.bytes.assign(data, data + length);
    if (!isComplete(pixels, format_))
        return std::nullopt;
    return pixels;
}

void X11Screen::placeBand(Band& band, const RawPixels& look)
{
    const ScreenRect& area = look.area;
    if (band.window == XCB_NONE) {
        band.window = xcb_generate_id(c_);
        // Override-redirect: no window manager frames, moves or focuses it.
        const std::uint32_t values[] = {screen_->black_pixel, 1};
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, band.window, root_, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
    }
    const xcb_pixmap_t pixmap = xcb_generate_id(c_);
    const auto width = static_cast<std::uint16_t>(area.width());
    const auto height = static_cast<std::uint16_t>(area.height());
    xcb_create_pixmap(c_, screen_->root_depth, pixmap, root_, width, height);
    xcb_put_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc_, width, height, 0, 0, 0, screen_->root_depth,
                  static_cast<std::uint32_t>(look.bytes.size()), look.bytes.data());
    xcb_change_window_attributes(c_, band.window, XCB_CW_BACK_PIXMAP, &pixmap);
    xcb_free_pixmap(c_, pixmap); // the window keeps its own reference
    const std::uint32_t geometry[] = {static_cast<std::uint32_t>(area.left),
                                      static_cast<std::uint32_t>(area.top), width, height,
                                      XCB_STACK_MODE_ABOVE};
    xcb_configure_window(c_, band.window,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                             XCB_CONFIG_WINDOW_HEIGHT | XCB_CONFIG_WINDOW_STACK_MODE,
                         geometry);
}

// The frame is four small override-redirect windows, each showing the
// inverse of the screen under it. Unlike inverting the root window's pixels
// in place, nothing is left behind when a window under the frame repaints
// while it shows, and a compositing desktop shows it too.
void X11Screen::showFrame(const ScreenRect& target)
{
    if (frameShown_ && target == frameTarget_) {
        // The same target again: the frame blinks off and on.
        for (const Band& band : bands_)
            xcb_unmap_window(c_, band.window);
        for (const Band& band : bands_)
            xcb_map_window(c_, band.window);
        xcb_flush(c_);
        return;
    }
    // Read the screen under the new bands while the old ones still show,
    // and put back from the old bands' reading what they cover: a screen
    // just uncovered may not have been repainted yet.
    const std::vector<ScreenRect> areas = frameBands(target, size());
    std::vector<RawPixels> under;
    for (const ScreenRect& area : areas) {
        auto pixels = read(area);
        if (!pixels)
            continue;
        if (frameShown_)
            for (const Band& old : bands_)
                copyOverlap(*pixels, old.under, format_);
        under.push_back(std::move(*pixels));
    }
    hideFrame();
    while (bands_.size() > under.size()) {
        xcb_destroy_window(c_, bands_.back().window);
        bands_.pop_back();
    }
    bands_.resize(under.size());
    for (std::size_t i = 0; i < under.size(); ++i) {
        placeBand(bands_[i], inverted(under[i]));
        bands_[i].under = std::move(under[i]);
    }
    for (const Band& band : bands_)
        xcb_map_window(c_, band.window);
    xcb_flush(c_);
    frameTarget_ = target;
    frameShown_ = true;
}

void X11Screen::hideFrame()
{
    for (const Band& band : bands_)
        xcb_unmap_window(c_, band.window);
    xcb_flush(c_);
    frameShown_ = false;
}

std::expected<RgbaImage, std::string> X11Screen::grab(const ScreenRect& area)
{
    if (!isReadable(format_))
        return std::unexpected(
            std::string("the screen's pixel format is not true colour of 16, 24 or 32 bits"));
    auto pixels = read(area);
    if (!pixels)
        return std::unexpected(std::string("the X server did not send the screen's pixels"));
    // Where a band lies inside the area (at a screen edge), the window under
    // it may not have repainted since the band went: the reading taken
    // before the band showed stands in for it.
    for (const Band& band : bands_)
        copyOverlap(*pixels, band.under, format_);
    return decodePixels(*pixels, format_);
}

std::optional<PixelFormat> formatOf(const xcb_setup_t* setup, const xcb_screen_t* screen)
{
    PixelFormat format;
    format.mostSignificantFirst = setup->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
    bool depthFound = false;
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it))
        if (it.data->depth == screen->root_depth) {
            format.bitsPerPixel = it.data->bits_per_pixel;
            depthFound = true;
        }
    bool visualFound = false;
    for (auto depth = xcb_screen_allowed_depths_iterator(screen); depth.rem; xcb_depth_next(&depth))
        for (auto visual = xcb_depth_visuals_iterator(depth.data); visual.rem; xcb_visualtype_next(&visual))
            if (visual.data->visual_id == screen->root_visual) {
                format.redMask = visual.data->red_mask;
                format.greenMask = visual.data->green_mask;
                format.blueMask = visual.data->blue_mask;
                visualFound = true;
            }
    if (!depthFound || !visualFound)
        return std::nullopt;
    return format;
}

} // namespace

std::unique_ptr<ScreenAccess> connectX11Screen()
{
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return nullptr;
    }
    const xcb_setup_t* setup = xcb_get_setup(connection);
    xcb_screen_t* screen = nullptr;
    auto it = xcb_setup_roots_iterator(setup);
    for (int i = 0; it.rem; ++i, xcb_screen_next(&it))
        if (i == screenNumber)
            screen = it.data;
    const auto format = screen ? formatOf(setup, screen) : std::nullopt;
    if (!format) {
        xcb_disconnect(connection);
        return nullptr;
    }
    return std::make_unique<X11Screen>(connection, screen, *format);
}

} // namespace gb::capture
