// The user manual opens from the plug-in's folder without a network: every link and image
// it refers to is a file beside it or an anchor inside it, and nothing points outside.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <cctype>
#include <set>
#include <string>
#include <vector>

namespace {

const std::filesystem::path kDocuments = std::filesystem::path(TOLVAN_SOURCE_DIR) / "documents";

std::string readManual()
{
    std::ifstream file(kDocuments / "index.htm", std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string lowered(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The quoted values of every attribute `name="..."` in the page (an attribute name starts
// after a blank, so that "id=" does not match inside "grid=").
std::vector<std::string> attributeValues(const std::string& html, const std::string& name)
{
    std::vector<std::string> found;
    const std::string page = lowered(html);
    for (std::size_t at = page.find(name + "="); at != std::string::npos; at = page.find(name + "=", at + 1)) {
        if (at == 0 || !std::isspace(static_cast<unsigned char>(page[at - 1]))) continue;
        const std::size_t open = at + name.size() + 1;
        if (open >= html.size() || (html[open] != '"' && html[open] != '\'')) continue;
        const std::size_t close = html.find(html[open], open + 1);
        if (close != std::string::npos) found.push_back(html.substr(open + 1, close - open - 1));
    }
    return found;
}

// The targets of every CSS url(...) in the page.
std::vector<std::string> cssUrls(const std::string& html)
{
    std::vector<std::string> found;
    const std::string page = lowered(html);
    for (std::size_t at = page.find("url("); at != std::string::npos; at = page.find("url(", at + 1)) {
        const std::size_t close = html.find(')', at);
        std::string target = html.substr(at + 4, close - at - 4);
        std::erase_if(target,
                      [](char c) { return c == '"' || c == '\'' || std::isspace(static_cast<unsigned char>(c)); });
        found.push_back(target);
    }
    return found;
}

TEST(ManualLinks, EveryReferenceIsLocalAndResolves)
{
    const std::string html = readManual();
    ASSERT_FALSE(html.empty()) << "documents/index.htm is missing";
    std::set<std::string> ids;
    for (const std::string& id : attributeValues(html, "id")) ids.insert(id);
    std::vector<std::string> refs = attributeValues(html, "href");
    for (const auto& more : {attributeValues(html, "src"), cssUrls(html)})
        refs.insert(refs.end(), more.begin(), more.end());
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

TEST(ManualLinks, PageLoadsNothingFromElsewhere)
{
    const std::string html = readManual();
    for (const char* pattern : {"http:", "https:", "@import", "ftp:"})
        EXPECT_EQ(html.find(pattern), std::string::npos) << pattern;
}

}  // namespace
