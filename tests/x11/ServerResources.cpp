#include <map>
#include <string>
#include <vector>

#include "tests/x11/ServerResources.h"

// Xlib's request macros (the extension has no client library here); they expect the
// connection to be called dpy.
#include <X11/Xlibint.h>
#include <X11/extensions/XResproto.h>

namespace tolvan::test {

std::map<std::string, int> clientResources(Display* dpy, XID anyResource)
{
    int opcode = 0;
    int firstEvent = 0;
    int firstError = 0;
    if (!XQueryExtension(dpy, "X-Resource", &opcode, &firstEvent, &firstError)) return {};
    std::vector<xXResType> types;
    LockDisplay(dpy);
    auto* request = reinterpret_cast<xXResQueryClientResourcesReq*>(
        _XGetRequest(dpy, static_cast<CARD8>(opcode), sz_xXResQueryClientResourcesReq));
    request->XResReqType = X_XResQueryClientResources;
    request->xid = static_cast<CARD32>(anyResource);
    xXResQueryClientResourcesReply reply{};
    if (_XReply(dpy, reinterpret_cast<xReply*>(&reply), 0, xFalse)) {
        types.resize(reply.num_types);
        for (auto& type : types) _XRead(dpy, reinterpret_cast<char*>(&type), sizeof(type));
    }
    UnlockDisplay(dpy);
    SyncHandle();
    std::map<std::string, int> counts;
    for (const auto& type : types) {
        char* name = XGetAtomName(dpy, type.resource_type);
        if (name) {
            counts[name] = static_cast<int>(type.count);
            XFree(name);
        }
    }
    return counts;
}

}  // namespace tolvan::test
