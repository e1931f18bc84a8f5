// The routing of commands to the first target that knows them, and the refusal of disabled commands.
#include <gtest/gtest.h>

#include <map>

#include "base/CommandRouter.h"

using namespace kv;

namespace {

class CTarget : public ICommandTarget {
public:
    std::map<int, CommandState> known;
    std::vector<int> executed;

    std::optional<CommandState> QueryCommand(int id) override
    {
        const auto it = known.find(id);
        if (it == known.end()) return std::nullopt;
        return it->second;
    }
    void ExecuteCommand(int id) override { executed.push_back(id); }
};

} // namespace

TEST(CommandRouter, TheFirstTargetThatKnowsACommandDecidesAndCarriesItOut)
{
    CTarget view, frame;
    view.known[10] = {true, true};
    frame.known[10] = {true, false};
    frame.known[20] = {true, false};
    CCommandRouter router;
    router.AddTarget(&view);
    router.AddTarget(&frame);

    ASSERT_TRUE(router.Query(10));
    EXPECT_TRUE(router.Query(10)->checked); // the view's answer, not the frame's
    EXPECT_TRUE(router.Execute(10));
    EXPECT_TRUE(router.Execute(20));
    EXPECT_EQ(view.executed, std::vector<int>{10});
    EXPECT_EQ(frame.executed, std::vector<int>{20});

    router.RemoveTarget(&view);
    EXPECT_TRUE(router.Execute(10));
    EXPECT_EQ(frame.executed, (std::vector<int>{20, 10}));
}

TEST(CommandRouter, DisabledAndUnknownCommandsAreRefused)
{
    CTarget view, frame;
    view.known[10] = {false, false}; // disabled by the view: the frame's enabled handler must not run
    frame.known[10] = {true, false};
    CCommandRouter router;
    router.AddTarget(&view);
    router.AddTarget(&frame);

    EXPECT_FALSE(router.IsEnabled(10));
    EXPECT_FALSE(router.Execute(10));
    EXPECT_FALSE(router.IsEnabled(99));
    EXPECT_FALSE(router.Query(99));
    EXPECT_FALSE(router.Execute(99));
    EXPECT_TRUE(view.executed.empty());
    EXPECT_TRUE(frame.executed.empty());
}
