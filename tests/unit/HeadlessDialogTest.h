// A simulated machine, its scripted native task dialog and the headless screen, installed as the
// platform for one test with the task dialog module started; the old platform comes back after.
#pragma once
#include "dialogs/TaskDialog.h"
#include "runtime/Platform.h"
#include "runtime/headless/HeadlessWindowing.h"
#include "runtime/headless/ScriptedTaskDialog.h"
#include "runtime/headless/SimulatedMachine.h"
#include <gtest/gtest.h>

namespace qb {

class HeadlessDialogTest : public ::testing::Test {
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

    TSimulatedMachine Machine;
    TScriptedTaskDialog Native;
    THeadlessWindowing Screen;
    TPlatform Saved;
};

} // namespace qb
