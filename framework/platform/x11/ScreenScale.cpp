#include "framework/platform/x11/ScreenScale.h"

#include "framework/platform/x11/X11Connection.h"

#include <X11/Xatom.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace VSTGUI::x11 {
namespace {

constexpr double kBaseDotsPerInch = 96.0;
constexpr std::string_view kDotsPerInchResource = "Xft.dpi";
// More than any resource database a desktop writes; the property is read in one request.
constexpr long kMaxResourceWords = 1L << 20;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && (isBlank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

// The root window's resource database as the desktop last wrote it; empty without one.
std::string resourceText(Connection& connection)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    std::string text;
    const bool read = connection.checked([&] {
        XGetWindowProperty(connection.display(), connection.root(), XA_RESOURCE_MANAGER, 0, kMaxResourceWords, False,
                           XA_STRING, &type, &format, &count, &remaining, &data);
    });
    if (read && data != nullptr && type == XA_STRING && format == 8)
        text.assign(reinterpret_cast<const char*>(data), count);
    if (data != nullptr) XFree(data);
    return text;
}

}  // namespace

double xftDotsPerInch(std::string_view resources)
{
    double found = 0.0;
    while (!resources.empty()) {
        const std::size_t end = resources.find('\n');
        std::string_view line = trimmed(resources.substr(0, end));
        resources.remove_prefix(end == std::string_view::npos ? resources.size() : end + 1);
        if (!line.starts_with(kDotsPerInchResource)) continue;
        line = trimmed(line.substr(kDotsPerInchResource.size()));
        if (!line.starts_with(':')) continue;
        const std::string value(trimmed(line.substr(1)));
        char* parsedEnd = nullptr;
        const double dotsPerInch = std::strtod(value.c_str(), &parsedEnd);
        // A later line overrides an earlier one, as in a resource database.
        if (parsedEnd != value.c_str() && *parsedEnd == '\0' && std::isfinite(dotsPerInch) && dotsPerInch > 0)
            found = dotsPerInch;
    }
    return found;
}

double screenScaleFactor()
{
    // Our own connection, opened for the question when no editor holds it.
    Connection* connection = Connection::acquire();
    if (connection == nullptr) return 1.0;
    const double dotsPerInch = connection->lost() ? 0.0 : xftDotsPerInch(resourceText(*connection));
    Connection::release();
    return dotsPerInch > 0 ? dotsPerInch / kBaseDotsPerInch : 1.0;
}

}  // namespace VSTGUI::x11
