#pragma once
// The receiving side of the XDND drag-and-drop protocol (version 5) for one window. A drag
// of files (text/uri-list) counts one item per file, which needs the data itself: the
// window asks the source for it at the first position message and answers the drag once
// it has arrived. Text counts as one item. The window's procedure sees enter at the first
// answered position, move at every later one, then leave or drop; its answer to enter and
// move decides whether the drag shows as a move or is refused.

#include "framework/platform/Platform.h"

#include "framework/platform/x11/XlibHeaders.h"

#include <functional>

namespace VSTGUI::x11 {

class Connection;

class XdndTarget {
public:
    using Deliver = std::function<bool(const platform::WindowEvent&)>;

    // Whether event belongs to the protocol: one of its client messages, or the answer to
    // our request for the dragged data.
    static bool isDragEvent(const Connection& connection, const XEvent& event);

    // Handles event for the target window self.
    void handle(Connection& connection, ::Window self, const XEvent& event, const Deliver& deliver);
    // Forgets a drag in progress (the window stops being a drop target, or goes).
    void reset() { *this = XdndTarget{}; }

private:
    void enter(Connection& connection, const XClientMessageEvent& message);
    void answerPosition(Connection& connection, ::Window self, const Deliver& deliver);
    void finishDrop(Connection& connection, ::Window self, const Deliver& deliver);
    void requestData(Connection& connection, ::Window self, Time time);
    void receiveData(Connection& connection, ::Window self, const XSelectionEvent& answer);
    void send(Connection& connection, ::Window self, Atom type, long flags, long action);

    ::Window source = None;
    platform::DropData data;
    bool dataReady = false;
    bool dataRequested = false;
    bool statusPending = false;
    bool dropPending = false;
    bool entered = false;
    bool accepted = false;
};

// Number of items in a text/uri-list: its lines, leaving out empty lines and comments.
int32_t countUriListItems(const char* text, std::size_t length);

}  // namespace VSTGUI::x11
