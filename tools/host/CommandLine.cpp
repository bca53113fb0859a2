#include "tools/host/CommandLine.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "tools/host/ToolError.h"

CommandLine::CommandLine(const std::vector<std::string>& arguments, const std::vector<OptionSpec>& options,
                         std::size_t positionalCount, const std::string& command)
    : command(command)
{
    const std::string seeHelp = " (see tolvan-host " + command + " --help)";
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            helpAsked = true;
            continue;
        }
        if (argument.size() < 3 || argument.compare(0, 2, "--") != 0) {
            positionals.push_back(argument);
            continue;
        }
        const auto equals = argument.find('=');
        const std::string name = argument.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        const auto known =
            std::find_if(options.begin(), options.end(), [&](const OptionSpec& o) { return name == o.name; });
        if (known == options.end()) throw UsageError(command + ": unknown option --" + name + seeHelp);
        std::string value;
        if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            throw UsageError(command + ": --" + name + " needs a value" + seeHelp);
        }
        if (!known->repeatable && has(name)) throw UsageError(command + ": --" + name + " given twice");
        given.emplace_back(name, value);
    }
    if (!helpAsked && positionals.size() != positionalCount) {
        throw UsageError(command + ": expected " + std::to_string(positionalCount) + " file argument" +
                         (positionalCount == 1 ? "" : "s") + ", got " + std::to_string(positionals.size()) + seeHelp);
    }
}

bool CommandLine::has(const std::string& option) const
{
    return std::any_of(given.begin(), given.end(), [&](const auto& g) { return g.first == option; });
}

std::string CommandLine::value(const std::string& option, const std::string& fallback) const
{
    for (const auto& [name, value] : given) {
        if (name == option) return value;
    }
    return fallback;
}

std::vector<std::string> CommandLine::values(const std::string& option) const
{
    std::vector<std::string> found;
    for (const auto& [name, value] : given) {
        if (name == option) found.push_back(value);
    }
    return found;
}

long CommandLine::number(const std::string& option, long fallback, long low, long high) const
{
    if (!has(option)) return fallback;
    const std::string text = value(option);
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || n < low || n > high) {
        throw UsageError(command + ": --" + option + " takes a whole number from " + std::to_string(low) + " to " +
                         std::to_string(high) + ", not \"" + text + "\"");
    }
    return n;
}
