// The command table: entries from several owners, routing order, state rules,
// the active view, and ids nobody registered.
#include <gtest/gtest.h>

#include "FakePlatform.h"
#include "doc/CVELTADoc.h"

using namespace vortel;
using vortel::test::FakePlatform;

namespace {

// Two modules of the kind a subsystem installs: each registers its commands from its own code.
struct CounterModule : DocumentModule {
    CounterModule(CommandTable& t, int id, int& runs, bool& enabled) {
        t.add(id, CommandLevel::Document, [&enabled, &runs] { return CommandRule{enabled, runs % 2 == 1}; },
              [&runs] { ++runs; }, this);
    }
};

}  // namespace

TEST(CommandTable, TwoModulesRegisterTheirOwnCommands) {
    FakePlatform ui;
    auto doc = std::make_unique<CVELTADoc>(ui);
    int runsA = 0, runsB = 0;
    bool enabledA = true, enabledB = false;
    doc->addModule(std::make_unique<CounterModule>(doc->commands(), 41001, runsA, enabledA));
    doc->addModule(std::make_unique<CounterModule>(doc->commands(), 41002, runsB, enabledB));
    ASSERT_NE(doc->module<CounterModule>(), nullptr);

    EXPECT_TRUE(doc->commands().state(41001).enabled);
    EXPECT_FALSE(doc->commands().state(41001).checked);
    EXPECT_TRUE(doc->commands().run(41001));
    EXPECT_EQ(runsA, 1);
    EXPECT_TRUE(doc->commands().state(41001).checked);  // rules are asked each time
    EXPECT_FALSE(doc->commands().state(41002).enabled);
    enabledB = true;
    EXPECT_TRUE(doc->commands().state(41002).enabled);
    EXPECT_TRUE(doc->onCommand(41002));  // the document level runs module commands
    EXPECT_EQ(runsB, 1);
    EXPECT_EQ(runsA, 1);

    // An id nobody registered: disabled, and running it does nothing.
    const CommandState unknown = doc->commands().state(49999);
    EXPECT_FALSE(unknown.handled);
    EXPECT_FALSE(unknown.enabled);
    EXPECT_FALSE(doc->commands().run(49999));
    EXPECT_FALSE(doc->onCommand(49999));
}

TEST(CommandTable, RoutesViewDocumentFrameApplicationInOrder) {
    CommandTable t;
    std::vector<std::string> ran;
    int view = 0, otherView = 0, frame = 0;
    t.add(7, CommandLevel::Application, nullptr, [&] { ran.push_back("app"); }, &frame);
    t.add(7, CommandLevel::Frame, [] { return CommandRule{false, false}; }, [&] { ran.push_back("frame"); }, &frame);
    EXPECT_FALSE(t.state(7).enabled);  // the frame's rule comes before the application's
    t.run(7);
    t.add(7, CommandLevel::View, [] { return CommandRule{true, true}; }, [&] { ran.push_back("view"); }, &view);
    t.run(7);  // the view is not active: the frame answers
    t.setActiveView(&otherView);
    t.run(7);
    t.setActiveView(&view);
    EXPECT_TRUE(t.state(7).checked);
    t.run(7);
    EXPECT_TRUE(t.runAt(7, CommandLevel::Application));
    EXPECT_FALSE(t.runAt(7, CommandLevel::Document));
    EXPECT_EQ(ran, (std::vector<std::string>{"frame", "frame", "frame", "view", "app"}));

    // Registering again for the same id, level and owner replaces the entry.
    t.add(7, CommandLevel::View, nullptr, [&] { ran.push_back("view2"); }, &view);
    t.run(7);
    EXPECT_EQ(ran.back(), "view2");
    // A view that goes away takes its entries with it and is no longer active.
    t.removeOwner(&view);
    EXPECT_EQ(t.activeView(), nullptr);
    t.run(7);
    EXPECT_EQ(ran.back(), "frame");
    t.removeOwner(&frame);
    EXPECT_FALSE(t.run(7));
}

TEST(CommandTable, DocumentCommandsFollowTheDocument) {
    FakePlatform ui;
    auto doc = std::make_unique<CVELTADoc>(ui);
    CommandTable& t = doc->commands();
    for (int id : {cmd::FileNew, cmd::FileSave, cmd::HairDialog}) {
        EXPECT_TRUE(t.state(id).handled);
        EXPECT_FALSE(t.state(id).enabled);
    }
    EXPECT_TRUE(t.state(cmd::FileOpen).enabled);
    EXPECT_FALSE(t.state(cmd::FileSaveAs).enabled);  // nothing loaded
    EXPECT_FALSE(t.state(cmd::Play).enabled);
    doc->dropDialogOpenFlag = 1;
    EXPECT_TRUE(t.state(cmd::Drop).checked);
    doc->dropDialogOpenFlag = 0;
}
