// A simulated machine with a scripted native task dialog, installed as the platform for one test.
#pragma once
#include "dialogs/TaskDialog.h"
#include "runtime/Platform.h"
#include "runtime/headless/HeadlessWindowing.h"
#include "runtime/headless/ScriptedTaskDialog.h"
#include "runtime/headless/SimulatedMachine.h"
#include <gtest/gtest.h>
#include <string>

namespace qb {

// A machine whose string table can be switched to a "translation" that brackets every string.
class TTranslatedMachine : public TSimulatedMachine {
public:
    std::string LoadString(unsigned id) override {
        return Translate ? "[" + TSimulatedMachine::LoadString(id) + "]"
                         : TSimulatedMachine::LoadString(id);
    }
    bool Translate = false;
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        Saved = Platform();
        TPlatform platform = Machine.AsPlatform(&Native);
        platform.Windowing = &Screen;
        SetPlatform(platform);
        InitTaskDialogModule();
    }
    void TearDown() override {
        DoneTaskDialogModule();
        SetPlatform(Saved);
    }
    // The only configuration shown so far.
    const TNativeTaskDialogConfig& Config() {
        EXPECT_EQ(Native.Shown.size(), 1u);
        return Native.Shown.back();
    }
    // Code page 1252 below 0x80 and from 0xA0 on is Latin-1.
    static std::u16string U(const std::string& s) {
        std::u16string wide;
        for (unsigned char c : s)
            wide += static_cast<char16_t>(c);
        return wide;
    }
    static TScriptedNotification Note(unsigned notification, TWParam wParam = 0,
                                      const std::string& link = {}) {
        return {notification, wParam, U(link)};
    }

    TSimulatedMachine Machine;
    TScriptedTaskDialog Native;
    THeadlessWindowing Screen;
    TPlatform Saved;
};

} // namespace qb
