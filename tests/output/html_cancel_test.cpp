// A Stop from another thread while the scene index is made: the run ends
// with its stop result and no page stands half-written under its name.
#include "output/html_index.h"
#include "output/html_result.h"

#include "tests/output/html_test_support.h"
#include "tests/support/cancel_from_thread.h"

namespace klemora::test {
namespace {

TEST_F(HtmlIndexTest, AStopFromAnotherThreadLeavesNoIndexPage) {
    std::string a = source("a.avi", 60);
    scene::GroupTree tree;
    for (int i = 0; i < 30; ++i) addScene(tree.root().list(), a, i * 2, i * 2 + 1);
    CancelFromThread stopper(10);
    int result = 0;
    stopper.runAndCancel([&] { result = output::GenerateSceneIndex(tree, options("S#SCENENUMBER\n", 2), stopper); });
    ASSERT_TRUE(stopper.stopArrived());
    EXPECT_EQ(result, output::code(output::HtmlIndexResult::Cancelled));
    for (const auto& entry : std::filesystem::directory_iterator(dir.file("web")))
        EXPECT_EQ(entry.path().filename().string().find(".htm"), std::string::npos) << entry.path();
}

}  // namespace
}  // namespace klemora::test
