#include "runtime/Application.h"
#include "runtime/Component.h"
#include "runtime/Exception.h"
#include "runtime/StringList.h"
#include "runtime/StringTable.h"
#include "resources/ResourceIds.h"
#include "runtime/headless/SimulatedMachine.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace qb {
namespace {

// Records its destruction and every notification it gets, into a shared log.
class TProbe : public TComponent {
public:
    TProbe(TComponent* owner, std::string name, std::vector<std::string>& log)
        : TComponent(owner), Log(log) {
        SetName(std::move(name));
    }
    ~TProbe() override { Log.push_back(Name() + " freed"); }
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        if (operation == TOperation::opRemove && component != this)
            Log.push_back(Name() + " told " + component->Name() + " goes");
    }
    std::vector<std::string>& Log;
};

TEST(RuntimeComponentTest, OwnerFreesWhatItOwnsAndAnEarlyFreeLeavesTheOwner) {
    std::vector<std::string> log;
    auto* owner = new TProbe(nullptr, "owner", log);
    auto* a = new TProbe(owner, "a", log);
    auto* b = new TProbe(owner, "b", log);
    new TProbe(b, "grandchild", log);
    ASSERT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(owner->FindComponent("B"), b) << "names compare without ASCII case";
    EXPECT_EQ(owner->FindComponent("none"), nullptr);

    delete a; // leaves the owner, which must not free it again
    EXPECT_EQ(owner->ComponentCount(), 1);
    EXPECT_EQ(owner->Components(0), b);
    EXPECT_EQ(owner->Components(1), nullptr);

    log.clear();
    delete owner;
    EXPECT_EQ(log, (std::vector<std::string>{"owner freed", "b freed", "grandchild freed"}));
}

TEST(RuntimeComponentTest, InsertComponentMovesOwnership) {
    std::vector<std::string> log;
    TProbe first(nullptr, "first", log);
    TProbe second(nullptr, "second", log);
    auto* child = new TProbe(&first, "child", log);
    second.InsertComponent(child);
    EXPECT_EQ(child->Owner(), &second);
    EXPECT_EQ(first.ComponentCount(), 0);
    EXPECT_EQ(second.ComponentCount(), 1);
}

TEST(RuntimeComponentTest, FreeNotificationTellsTheOtherSideOnceAndNeverDangles) {
    std::vector<std::string> log;
    {
        auto* watcher = new TProbe(nullptr, "watcher", log);
        auto* target = new TProbe(nullptr, "target", log);
        watcher->FreeNotification(target);
        watcher->FreeNotification(target); // asking twice is one registration
        delete target;
        EXPECT_EQ(log, (std::vector<std::string>{"target freed", "watcher told target goes"}));
        delete watcher;
    }
    log.clear();
    {
        // The watcher goes first: the target tells the watcher nothing later (ASan would catch).
        auto* watcher = new TProbe(nullptr, "watcher", log);
        auto* target = new TProbe(nullptr, "target", log);
        watcher->FreeNotification(target);
        delete watcher;
        delete target;
        EXPECT_EQ(log, (std::vector<std::string>{"watcher freed", "target told watcher goes",
                                                 "target freed"}));
    }
}

TEST(RuntimeComponentTest, SiblingsLearnThroughTheirOwner) {
    std::vector<std::string> log;
    TProbe owner(nullptr, "owner", log);
    auto* a = new TProbe(&owner, "a", log);
    new TProbe(&owner, "b", log);
    delete a;
    EXPECT_EQ(log, (std::vector<std::string>{"a freed", "b told a goes", "owner told a goes"}));
}

TEST(RuntimeComponentTest, StringListSplitsAtLineFeedsAndJoinsWithCrLf) {
    struct {
        const char* Text;
        std::vector<std::string> Lines;
    } cases[] = {
        {"", {}},           {"one", {"one"}}, {"a\r\nb\nc", {"a", "b", "c"}},
        {"a\n", {"a"}},     {"\n", {""}},     {"a\n\nb\r\n", {"a", "", "b"}},
        {"a\rb", {"a\rb"}}, // a lone CR is text
    };
    for (const auto& c : cases) {
        TStringList list;
        list.Add("stale");
        list.SetText(c.Text);
        ASSERT_EQ(list.Count(), static_cast<int>(c.Lines.size())) << c.Text;
        for (int i = 0; i < list.Count(); ++i)
            EXPECT_EQ(list[i], c.Lines[static_cast<size_t>(i)]) << c.Text;
    }
    TStringList list;
    EXPECT_EQ(list.Add("x"), 0);
    EXPECT_EQ(list.Add(""), 1);
    EXPECT_EQ(list.Text(), "x\r\n\r\n");
    EXPECT_EQ(list.IndexOf(""), 1);
    EXPECT_EQ(list.IndexOf("X"), -1);
    EXPECT_THROW(list[2], std::out_of_range);
    list.Clear();
    EXPECT_TRUE(list.Empty());
}

TEST(RuntimeComponentTest, ApplicationHasNoWindowNoHelpAndOwnsComponents) {
    EXPECT_EQ(Application.Handle(), 0u);
    EXPECT_EQ(Application.Title(), "Quillbridge");
    EXPECT_FALSE(Application.IsRightToLeft());
    try {
        Application.HelpContext(42);
        FAIL() << "no help system is installed";
    } catch (const Exception& e) {
        EXPECT_NE(e.Message().find("42"), std::string::npos) << e.Message();
    }
    int before = Application.ComponentCount();
    {
        TComponent owned(&Application);
        EXPECT_EQ(Application.ComponentCount(), before + 1);
    }
    EXPECT_EQ(Application.ComponentCount(), before);
}

TEST(RuntimeComponentTest, StringsComeFromTheStringTableOfThePlatform) {
    TPlatform saved = Platform();
    SetPlatform({});
    EXPECT_EQ(LoadStr(IDS_MSGDLG_YES), "") << "no platform, no strings";
    TSimulatedMachine machine;
    SetPlatform(machine.AsPlatform(nullptr));
    EXPECT_EQ(LoadStr(IDS_MSGDLG_YES), "&Yes");
    EXPECT_EQ(LoadStr(IDS_MSGDLG_CONTINUE), "continue");
    EXPECT_EQ(LoadStr(99999), "");
    SetPlatform(saved);
}

} // namespace
} // namespace qb
