// The headless back end: in-memory windows, a virtual clock and scripted input.

#include "framework/platform/Platform.h"
#include "framework/platform/headless/HeadlessScript.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace VSTGUI {
namespace {

// A loop that polls this often without the clock moving is spinning: let time pass.
constexpr uint32_t kStalledPollLimit = 1000;
// Buttons held this long after the script ran out are let go.
constexpr uint32_t kForgottenReleaseTime = 60000;

// Signed distance on the wrapping 32-bit clock, so due times survive the wrap.
bool isDue(uint32_t due, uint32_t clock) { return static_cast<int32_t>(clock - due) >= 0; }

struct ScriptedInput {
    uint32_t due;
    Point cursor;
    MouseButtons buttons;
};

struct HostWindow {
    Rect screenRect;
    int32_t resizeCount = 0;
};

using EventKind = platform::WindowEvent::Kind;

platform::WindowEvent makeEvent(EventKind kind, Point where = {}, const platform::DropData* drop = nullptr)
{
    platform::WindowEvent event;
    event.kind = kind;
    event.where = where;
    event.drop = drop;
    return event;
}

class HeadlessWindow;

struct Timer {
    uint32_t interval;
    uint32_t due;
    platform::TimerProcedure procedure;
};

// All state but the clock belongs to the UI thread; the clock is atomic because
// getTicks may be called from any thread.
struct State {
    std::atomic<uint32_t> clock{headless::kStartTicks};
    uint32_t doubleClickTime = headless::kDefaultDoubleClickTime;
    Point cursor;
    MouseButtons buttons = 0;
    std::deque<ScriptedInput> script;
    uint32_t lastScriptedTime = headless::kStartTicks;
    uint32_t stalledPolls = 0;
    std::vector<std::unique_ptr<HostWindow>> hosts;
    std::vector<HeadlessWindow*> windows;  // in creation order
    std::vector<std::string> documents;
    std::optional<int32_t> menuAnswer;
    std::optional<std::string> editAnswer;
    std::vector<std::string> lastMenu;
    std::string lastEdit;
    double screenScale = 1.0;
};

State& state()
{
    static State instance;
    return instance;
}

void applyDueInput()
{
    State& s = state();
    const uint32_t clock = s.clock.load(std::memory_order_relaxed);
    while (!s.script.empty() && isDue(s.script.front().due, clock)) {
        s.cursor = s.script.front().cursor;
        s.buttons = s.script.front().buttons;
        s.script.pop_front();
    }
    if (s.script.empty() && s.buttons != 0 && isDue(s.lastScriptedTime + kForgottenReleaseTime, clock)) s.buttons = 0;
}

void passTime(uint32_t milliseconds)
{
    State& s = state();
    s.clock.fetch_add(milliseconds, std::memory_order_relaxed);
    s.stalledPolls = 0;
    applyDueInput();
}

class HeadlessWindow final : public platform::Window {
public:
    HeadlessWindow(HostWindow* parentHost, int32_t width, int32_t height, platform::WindowProcedure proc)
        : host(parentHost), procedure(proc), surface(width, height)
    {
        state().windows.push_back(this);
    }

    ~HeadlessWindow() override
    {
        if (alive) deliver(makeEvent(EventKind::Destroy));
        auto& windows = state().windows;
        windows.erase(std::remove(windows.begin(), windows.end(), this), windows.end());
    }

    bool deliver(const platform::WindowEvent& event)
    {
        if (!alive || procedure == nullptr) return false;
        return procedure(*this, event);
    }

    double scaleFactor() const override { return ownScale; }

    // The window moved to a screen of another scale, as far as its tests are concerned.
    bool changeScale(double factor)
    {
        ownScale = factor;
        platform::WindowEvent event = makeEvent(EventKind::ScaleChanged);
        event.scaleFactor = factor;
        return deliver(event);
    }

    void hostDestroyed()
    {
        deliver(makeEvent(EventKind::Destroy));
        alive = false;
        host = nullptr;
        timers.clear();
        pending = {};
    }

    PixelSurface* acquireSurface() override { return alive ? &surface : nullptr; }
    void releaseSurface(PixelSurface*) override
    {
        releasedPromise = std::exchange(pendingPromise, std::nullopt);
        if (holds == 0)
            ++presents;
        else
            drawnWhileHeld = true;
    }
    void holdPresents() override { ++holds; }
    void releasePresents() override
    {
        if (holds > 0 && --holds == 0 && std::exchange(drawnWhileHeld, false)) ++presents;
    }
    using platform::Window::changesOnlyIn;
    void changesOnlyIn(const ChangedRows& rows) override
    {
        pendingPromise = headless::PromisedRows{rows.top, {rows.spans.begin(), rows.spans.end()}};
    }
    Point screenOrigin() const override { return host ? host->screenRect.topLeft() : Point{}; }

    Rect getScreenRect() const override { return Rect::fromSize(screenOrigin(), surface.width(), surface.height()); }

    void resize(int32_t width, int32_t height) override { surface.resize(width, height); }

    void invalidate(const Rect& rect) override
    {
        const Rect visible = rect.intersected(surface.bounds());
        if (visible.isEmpty() || !alive) return;
        pending = pending.united(visible);
    }

    bool startTimer(uint32_t id, uint32_t interval, platform::TimerProcedure proc) override
    {
        if (!alive || proc == nullptr) return false;
        interval = std::max<uint32_t>(interval, 1);
        timers[id] = {interval, state().clock.load(std::memory_order_relaxed) + interval, proc};
        return true;
    }

    void stopTimer(uint32_t id) override { timers.erase(id); }

    void setCursor(platform::CursorShape shape) override { cursor = shape; }
    void setDropTarget(bool active) override { dropTarget = active && alive; }

    bool getEditorWindowPosition(Point& position) const override
    {
        if (!host) return false;
        position = host->screenRect.topLeft();
        return true;
    }

    bool getParentRect(Rect& rect) const override
    {
        if (!host) return false;
        rect = host->screenRect;
        return true;
    }

    int32_t popupMenu(Point, const std::vector<std::string>& entries, int32_t) override
    {
        State& s = state();
        s.lastMenu = entries;
        const int32_t choice = s.menuAnswer.value_or(-1);
        s.menuAnswer.reset();
        return choice >= 0 && static_cast<std::size_t>(choice) < entries.size() ? choice : -1;
    }

    bool editText(const Rect&, std::string& text, std::size_t maxLength) override
    {
        if (!alive) return false;
        State& s = state();
        s.lastEdit = text;
        if (s.editAnswer) text = s.editAnswer->substr(0, maxLength);
        s.editAnswer.reset();
        return true;
    }

    void resizeHostWindows(int32_t width, int32_t height) override
    {
        if (!host) return;
        host->screenRect = Rect::fromSize(host->screenRect.topLeft(), width, height);
        ++host->resizeCount;
    }

    // Delivers the pending paint; false when there is none.
    bool paintPending()
    {
        if (pending.isEmpty()) return false;
        const Rect update = pending;
        pending = {};
        platform::WindowEvent event = makeEvent(EventKind::Paint);
        event.updateRect = update;
        deliver(event);
        return true;
    }

    // Fires every timer that is due at clock, each at most once.
    void fireDueTimers(uint32_t clock)
    {
        std::vector<uint32_t> due;
        for (const auto& [id, timer] : timers)
            if (isDue(timer.due, clock)) due.push_back(id);
        for (uint32_t id : due) {
            const auto found = timers.find(id);
            if (found == timers.end()) continue;  // an earlier timer procedure stopped it
            found->second.due = clock + found->second.interval;
            found->second.procedure(*this, id);
            if (!alive) return;
        }
    }

    // The time until the earliest timer falls due (0 when one is overdue); false without timers.
    bool nextTimerWait(uint32_t clock, uint32_t& wait) const
    {
        bool any = false;
        for (const auto& [id, timer] : timers) {
            const uint32_t untilDue = isDue(timer.due, clock) ? 0 : timer.due - clock;
            if (!any || untilDue < wait) wait = untilDue;
            any = true;
        }
        return any;
    }

    HostWindow* host;
    platform::WindowProcedure procedure;
    PixelSurface surface;
    Rect pending;
    std::map<uint32_t, Timer> timers;
    platform::CursorShape cursor = platform::CursorShape::Default;
    bool dropTarget = false;
    bool alive = true;
    int32_t presents = 0;
    int32_t holds = 0;
    bool drawnWhileHeld = false;
    std::optional<headless::PromisedRows> pendingPromise;
    std::optional<headless::PromisedRows> releasedPromise;
    // 0: the screen's scale applies.
    double ownScale = 0.0;
};

HeadlessWindow& headlessWindow(platform::Window& window) { return static_cast<HeadlessWindow&>(window); }

const HeadlessWindow& headlessWindow(const platform::Window& window)
{
    return static_cast<const HeadlessWindow&>(window);
}

HostWindow* findHost(platform::ParentWindow parent)
{
    for (const auto& host : state().hosts)
        if (host.get() == parent) return host.get();
    return nullptr;
}

bool deliverAt(platform::Window& window, Point client, const platform::WindowEvent& event)
{
    State& s = state();
    s.cursor = headless::toScreen(window, client);
    return headlessWindow(window).deliver(event);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// The platform seam.

namespace {

uint32_t getTicks() { return state().clock.load(std::memory_order_relaxed); }

void sleep(uint32_t milliseconds) { passTime(milliseconds); }

uint32_t getDoubleClickTime() { return state().doubleClickTime; }

double screenScaleFactor() { return state().screenScale; }

MouseButtons getMouseButtons()
{
    State& s = state();
    if (++s.stalledPolls >= kStalledPollLimit) passTime(1);
    applyDueInput();
    return s.buttons;
}

Point getCursorPosition()
{
    applyDueInput();
    return state().cursor;
}

bool openDocument(const char* path)
{
    if (path == nullptr) return false;
    // There is no desktop: the request is kept for the tests to read.
    state().documents.emplace_back(path);
    return true;
}

std::unique_ptr<platform::Window> createChildWindow(platform::ParentWindow parent, int32_t width, int32_t height,
                                                    platform::WindowProcedure procedure)
{
    HostWindow* host = findHost(parent);
    if (host == nullptr) return nullptr;
    return std::make_unique<HeadlessWindow>(host, width, height, procedure);
}

bool dispatchPendingPaint()
{
    for (HeadlessWindow* window : state().windows)
        if (window->paintPending()) return true;
    return false;
}

// The tests run the message loop themselves (runMessages), as a Windows host does.
void processEvents(platform::Window*) {}

constexpr platform::Services kServices{.getTicks = &getTicks,
                                       .sleep = &sleep,
                                       .getDoubleClickTime = &getDoubleClickTime,
                                       .getMouseButtons = &getMouseButtons,
                                       .getCursorPosition = &getCursorPosition,
                                       .screenScaleFactor = &screenScaleFactor,
                                       .openDocument = &openDocument,
                                       .createChildWindow = &createChildWindow,
                                       .dispatchPendingPaint = &dispatchPendingPaint,
                                       .processEvents = &processEvents};

}  // namespace

const platform::Services& platform::backEndServices() { return kServices; }

// ---------------------------------------------------------------------------------------
// The test-facing script.

namespace headless {

void reset()
{
    State& s = state();
    s.clock.store(kStartTicks, std::memory_order_relaxed);
    s.doubleClickTime = kDefaultDoubleClickTime;
    s.cursor = {};
    s.buttons = 0;
    s.script.clear();
    s.lastScriptedTime = kStartTicks;
    s.stalledPolls = 0;
    s.documents.clear();
    s.menuAnswer.reset();
    s.editAnswer.reset();
    s.lastMenu.clear();
    s.lastEdit.clear();
    s.screenScale = 1.0;
}

uint32_t now() { return getTicks(); }

void advanceTime(uint32_t milliseconds) { passTime(milliseconds); }

void setDoubleClickTime(uint32_t milliseconds) { state().doubleClickTime = milliseconds; }

void setScreenScaleFactor(double factor) { state().screenScale = factor; }

bool changeWindowScale(platform::Window& window, double factor) { return headlessWindow(window).changeScale(factor); }

void setInput(Point screenCursor, MouseButtons buttons)
{
    State& s = state();
    s.cursor = screenCursor;
    s.buttons = buttons;
    s.lastScriptedTime = now();
}

void scheduleInput(uint32_t delay, Point screenCursor, MouseButtons buttons)
{
    State& s = state();
    const uint32_t due = now() + delay;
    // Keep the queue ordered by due time; equal times stay in the order queued.
    auto position = std::find_if(s.script.begin(), s.script.end(),
                                 [due](const ScriptedInput& input) { return !isDue(input.due, due); });
    s.script.insert(position, {due, screenCursor, buttons});
    if (isDue(s.lastScriptedTime, due)) s.lastScriptedTime = due;
}

std::size_t pendingInputCount() { return state().script.size(); }

platform::ParentWindow createHostWindow(const Rect& screenRect)
{
    auto& hosts = state().hosts;
    hosts.push_back(std::make_unique<HostWindow>(HostWindow{screenRect}));
    return hosts.back().get();
}

void destroyHostWindow(platform::ParentWindow parent)
{
    State& s = state();
    HostWindow* host = findHost(parent);
    if (host == nullptr) return;
    const std::vector<HeadlessWindow*> windows = s.windows;
    for (HeadlessWindow* window : windows)
        if (window->host == host) window->hostDestroyed();
    std::erase_if(s.hosts, [host](const auto& owned) { return owned.get() == host; });
}

Point toScreen(const platform::Window& window, Point client) { return headlessWindow(window).screenOrigin() + client; }

bool pressButton(platform::Window& window, Point client, MouseButtons buttons)
{
    state().buttons = buttons;
    state().lastScriptedTime = now();
    platform::WindowEvent event = makeEvent(EventKind::ButtonDown, client);
    event.buttons = buttons;
    return deliverAt(window, client, event);
}

bool turnWheel(platform::Window& window, Point client, float distance)
{
    const Point screen = toScreen(window, client);
    platform::WindowEvent event = makeEvent(EventKind::Wheel, screen);
    event.distance = distance;
    return deliverAt(window, client, event);
}

bool dragEnter(platform::Window& window, Point client, const platform::DropData& data)
{
    if (!headlessWindow(window).dropTarget) return false;
    return deliverAt(window, client, makeEvent(EventKind::DragEnter, {}, &data));
}

bool dragMove(platform::Window& window, Point client)
{
    if (!headlessWindow(window).dropTarget) return false;
    return deliverAt(window, client, makeEvent(EventKind::DragMove));
}

bool dragLeave(platform::Window& window)
{
    if (!headlessWindow(window).dropTarget) return false;
    return headlessWindow(window).deliver(makeEvent(EventKind::DragLeave));
}

bool drop(platform::Window& window, Point client)
{
    if (!headlessWindow(window).dropTarget) return false;
    return deliverAt(window, client, makeEvent(EventKind::Drop));
}

bool paint(platform::Window& window) { return headlessWindow(window).paintPending(); }

void runMessages(uint32_t milliseconds)
{
    State& s = state();
    const uint32_t end = now() + milliseconds;
    for (;;) {
        while (dispatchPendingPaint()) {
        }
        const uint32_t clock = now();
        uint32_t wait = end - clock;
        bool timerFalls = false;
        for (const HeadlessWindow* window : s.windows) {
            uint32_t untilDue = 0;
            if (window->nextTimerWait(clock, untilDue) && untilDue <= wait) {
                wait = untilDue;
                timerFalls = true;
            }
        }
        passTime(wait);
        if (!timerFalls) break;
        // Timer procedures may create or destroy windows: walk a copy, skipping the gone.
        const std::vector<HeadlessWindow*> windows = s.windows;
        for (HeadlessWindow* window : windows)
            if (std::find(s.windows.begin(), s.windows.end(), window) != s.windows.end()) window->fireDueTimers(now());
    }
}

void answerNextMenu(int32_t choice) { state().menuAnswer = choice; }

void answerNextEdit(const std::string& text) { state().editAnswer = text; }

const std::vector<std::string>& lastMenuEntries() { return state().lastMenu; }

const std::string& lastEditedText() { return state().lastEdit; }

const PixelSurface& windowPixels(const platform::Window& window) { return headlessWindow(window).surface; }

Rect pendingPaintRect(const platform::Window& window) { return headlessWindow(window).pending; }

platform::CursorShape windowCursor(const platform::Window& window) { return headlessWindow(window).cursor; }

bool isDropTarget(const platform::Window& window) { return headlessWindow(window).dropTarget; }

bool isWindowAlive(const platform::Window& window) { return headlessWindow(window).alive; }

std::size_t runningTimerCount(const platform::Window& window) { return headlessWindow(window).timers.size(); }

int32_t presentCount(const platform::Window& window) { return headlessWindow(window).presents; }

std::optional<PromisedRows> lastPromisedRows(const platform::Window& window)
{
    return headlessWindow(window).releasedPromise;
}

int32_t hostResizeCount(platform::ParentWindow parent)
{
    const HostWindow* host = findHost(parent);
    return host ? host->resizeCount : 0;
}

Rect hostRect(platform::ParentWindow parent)
{
    const HostWindow* host = findHost(parent);
    return host ? host->screenRect : Rect{};
}

const std::vector<std::string>& openedDocuments() { return state().documents; }

}  // namespace headless
}  // namespace VSTGUI
