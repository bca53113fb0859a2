// The user manual opens from the plug-in's folder without a network: every link and image
// it refers to is a file beside it or an anchor inside it, and nothing points outside.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>

namespace {

const std::filesystem::path kDocuments = std::filesystem::path(TOLVAN_SOURCE_DIR) / "documents";

std::string readManual() {
    std::ifstream file(kDocuments / "index.htm", std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Every value of an href, src or CSS url() in the page.
std::vector<std::string> references(const std::string& html) {
    std::vector<std::string> found;
    const std::regex attribute(R"((?:href|src)\s*=\s*["']([^"']*)["'])", std::regex::icase);
    const std::regex cssUrl(R"(url\(\s*["']?([^"')]*)["']?\s*\))", std::regex::icase);
    for (const std::regex* pattern : {&attribute, &cssUrl})
        for (std::sregex_iterator it(html.begin(), html.end(), *pattern), end; it != end; ++it)
            found.push_back((*it)[1].str());
    return found;
}

TEST(ManualLinks, EveryReferenceIsLocalAndResolves) {
    const std::string html = readManual();
    ASSERT_FALSE(html.empty()) << "documents/index.htm is missing";
    std::set<std::string> ids;
    const std::regex idPattern(R"(\bid\s*=\s*["']([^"']+)["'])", std::regex::icase);
    for (std::sregex_iterator it(html.begin(), html.end(), idPattern), end; it != end; ++it) ids.insert((*it)[1].str());

    const std::vector<std::string> refs = references(html);
    EXPECT_FALSE(refs.empty());
    for (const std::string& ref : refs) {
        SCOPED_TRACE(ref);
        ASSERT_FALSE(ref.empty());
        EXPECT_EQ(ref.find("//"), std::string::npos) << "external or protocol-relative URL";
        EXPECT_EQ(ref.find(':') == std::string::npos || ref.rfind("data:", 0) == 0, true) << "URL with a scheme";
        if (ref[0] == '#') {
            EXPECT_TRUE(ids.count(ref.substr(1))) << "no element with this id";
        } else if (ref.rfind("data:", 0) != 0) {
            EXPECT_TRUE(std::filesystem::is_regular_file(kDocuments / ref.substr(0, ref.find('#')))) << "missing file";
        }
    }
}

TEST(ManualLinks, PageLoadsNothingFromElsewhere) {
    const std::string html = readManual();
    for (const char* pattern : {"http:", "https:", "@import", "ftp:"})
        EXPECT_EQ(html.find(pattern), std::string::npos) << pattern;
}

}  // namespace
