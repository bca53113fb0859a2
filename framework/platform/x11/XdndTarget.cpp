#include "framework/platform/x11/XdndTarget.h"

#include "framework/platform/x11/X11Connection.h"

#include <X11/Xatom.h>

#include <string_view>
#include <vector>

namespace VSTGUI::x11 {
namespace {

using EventKind = platform::WindowEvent::Kind;

constexpr long kMoreThanThreeTypes = 1;
constexpr long kStatusAccept = 1;
constexpr long kStatusSendPositions = 2;  // every position, not only outside a rectangle
constexpr long kFinishedAccepted = 1;
constexpr long kMaxDataLongs = 1 << 20;  // 4 MiB of file names is plenty

platform::WindowEvent dragEvent(EventKind kind, const platform::DropData* drop = nullptr)
{
    platform::WindowEvent event;
    event.kind = kind;
    event.drop = drop;
    return event;
}

std::vector<Atom> offeredTypes(Connection& connection, const XClientMessageEvent& message)
{
    std::vector<Atom> types;
    if ((message.data.l[1] & kMoreThanThreeTypes) == 0) {
        for (int i = 2; i <= 4; ++i)
            if (message.data.l[i] != None) types.push_back(static_cast<Atom>(message.data.l[i]));
        return types;
    }
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* list = nullptr;
    const ::Window sourceWindow = static_cast<::Window>(message.data.l[0]);
    if (XGetWindowProperty(connection.display(), sourceWindow, connection.atoms().xdndTypeList, 0, 256, False, XA_ATOM,
                           &type, &format, &count, &remaining, &list) == Success &&
        list != nullptr) {
        if (type == XA_ATOM && format == 32) {
            // Xlib hands 32-bit properties back as longs.
            const auto* atoms = reinterpret_cast<const Atom*>(list);
            types.assign(atoms, atoms + count);
        }
        XFree(list);
    }
    return types;
}

}  // namespace

int32_t countUriListItems(const char* text, std::size_t length)
{
    int32_t items = 0;
    std::string_view rest(text, length);
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == '\0')) line.remove_suffix(1);
        if (!line.empty() && line.front() != '#') ++items;
    }
    return items;
}

bool XdndTarget::isDragEvent(const Connection& connection, const XEvent& event)
{
    const Atoms& atoms = connection.atoms();
    if (event.type == SelectionNotify) return event.xselection.selection == atoms.xdndSelection;
    if (event.type != ClientMessage || event.xclient.format != 32) return false;
    const Atom type = event.xclient.message_type;
    return type == atoms.xdndEnter || type == atoms.xdndPosition || type == atoms.xdndLeave || type == atoms.xdndDrop;
}

void XdndTarget::handle(Connection& connection, ::Window self, const XEvent& event, const Deliver& deliver)
{
    const Atoms& atoms = connection.atoms();
    if (event.type == SelectionNotify) {
        if (!dataRequested || dataReady) return;
        receiveData(connection, self, event.xselection);
        if (statusPending) answerPosition(connection, self, deliver);
        if (dropPending) finishDrop(connection, self, deliver);
        return;
    }
    const XClientMessageEvent& message = event.xclient;
    const Atom type = message.message_type;
    if (type == atoms.xdndEnter) {
        enter(connection, message);
        return;
    }
    // Messages of any other drag than the one that entered are not ours to answer.
    if (source == None || static_cast<::Window>(message.data.l[0]) != source) return;
    if (type == atoms.xdndPosition) {
        if (dataReady) {
            answerPosition(connection, self, deliver);
            return;
        }
        requestData(connection, self, static_cast<Time>(message.data.l[3]));
        statusPending = true;
    } else if (type == atoms.xdndLeave) {
        if (entered) deliver(dragEvent(EventKind::DragLeave));
        reset();
    } else if (type == atoms.xdndDrop) {
        if (dataReady) {
            finishDrop(connection, self, deliver);
            return;
        }
        requestData(connection, self, static_cast<Time>(message.data.l[2]));
        dropPending = true;
    }
}

void XdndTarget::enter(Connection& connection, const XClientMessageEvent& message)
{
    reset();
    source = static_cast<::Window>(message.data.l[0]);
    const Atoms& atoms = connection.atoms();
    bool files = false;
    bool text = false;
    for (const Atom type : offeredTypes(connection, message)) {
        files = files || type == atoms.uriList;
        text = text || type == atoms.textPlain || type == atoms.textPlainUtf8 || type == atoms.utf8String ||
               type == atoms.string || type == atoms.text;
    }
    if (files) {
        data.kind = platform::DropData::Kind::Files;
        return;  // counted when the list has come
    }
    data.kind = text ? platform::DropData::Kind::Text : platform::DropData::Kind::Unknown;
    data.itemCount = text ? 1 : 0;
    dataReady = true;
}

void XdndTarget::answerPosition(Connection& connection, ::Window self, const Deliver& deliver)
{
    statusPending = false;
    if (!entered) {
        entered = true;
        accepted = deliver(dragEvent(EventKind::DragEnter, &data));
    } else {
        accepted = deliver(dragEvent(EventKind::DragMove));
    }
    send(connection, self, connection.atoms().xdndStatus, kStatusSendPositions | (accepted ? kStatusAccept : 0),
         accepted ? static_cast<long>(connection.atoms().xdndActionMove) : None);
}

void XdndTarget::finishDrop(Connection& connection, ::Window self, const Deliver& deliver)
{
    if (!entered) {
        entered = true;
        accepted = deliver(dragEvent(EventKind::DragEnter, &data));
    }
    deliver(dragEvent(EventKind::Drop));
    send(connection, self, connection.atoms().xdndFinished, accepted ? kFinishedAccepted : 0,
         accepted ? static_cast<long>(connection.atoms().xdndActionMove) : None);
    reset();
}

void XdndTarget::requestData(Connection& connection, ::Window self, Time time)
{
    if (dataRequested) return;
    dataRequested = true;
    const Atoms& atoms = connection.atoms();
    XConvertSelection(connection.display(), atoms.xdndSelection, atoms.uriList, atoms.dropData, self, time);
    XFlush(connection.display());
}

void XdndTarget::receiveData(Connection& connection, ::Window self, const XSelectionEvent& answer)
{
    dataReady = true;
    data.itemCount = 0;
    if (answer.property == None) return;  // the source could not give the list: a drag of no files
    Atom type = None;
    int format = 0;
    unsigned long length = 0;
    unsigned long remaining = 0;
    unsigned char* bytes = nullptr;
    if (XGetWindowProperty(connection.display(), self, answer.property, 0, kMaxDataLongs, True, AnyPropertyType, &type,
                           &format, &length, &remaining, &bytes) == Success &&
        bytes != nullptr) {
        if (format == 8) data.itemCount = countUriListItems(reinterpret_cast<const char*>(bytes), length);
        XFree(bytes);
    }
}

void XdndTarget::send(Connection& connection, ::Window self, Atom type, long flags, long action)
{
    XEvent event{};
    XClientMessageEvent& message = event.xclient;
    message.type = ClientMessage;
    message.display = connection.display();
    message.window = source;
    message.message_type = type;
    message.format = 32;
    message.data.l[0] = static_cast<long>(self);
    message.data.l[1] = flags;
    if (type == connection.atoms().xdndFinished)
        message.data.l[2] = action;
    else
        message.data.l[4] = action;
    XSendEvent(connection.display(), source, False, NoEventMask, &event);
    XFlush(connection.display());
}

}  // namespace VSTGUI::x11
