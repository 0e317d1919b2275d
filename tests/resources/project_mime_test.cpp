// The desktop's MIME type of project files knows them by every signature the
// project reader accepts, so a new file version cannot be left out.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

#include "scene/project_format.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

TEST(ProjectMimeTypeTest, MagicListsEverySignatureTheReaderAccepts) {
    std::string xml = readTextFile(std::string(KLEMORA_DESKTOP_DIR) + "/org.klemora.Klemora.mime.xml");
    ASSERT_FALSE(xml.empty());
    std::set<std::string> magic;
    std::regex match("<match type=\"string\" offset=\"0\" value=\"([^\"]*)\"");
    for (std::sregex_iterator it(xml.begin(), xml.end(), match), end; it != end; ++it) magic.insert((*it)[1]);
    std::set<std::string> accepted;
    for (const scene::Signature& signature : scene::projectSignatures()) accepted.emplace(signature.text);
    EXPECT_EQ(magic, accepted);
    EXPECT_NE(xml.find("<glob pattern=\"*.scn\"/>"), std::string::npos);
}

}  // namespace
}  // namespace klemora::test
