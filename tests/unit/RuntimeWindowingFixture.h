// Forms and controls on the headless screen of a simulated machine.
#pragma once
#include "runtime/Forms.h"
#include "runtime/Platform.h"
#include "runtime/StdCtrls.h"
#include "runtime/headless/HeadlessWindowing.h"
#include "runtime/headless/SimulatedMachine.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace qb {

class WindowingTest : public ::testing::Test {
protected:
    void SetUp() override {
        Saved = Platform();
        TPlatform platform = Machine.AsPlatform(nullptr);
        platform.Windowing = &Screen;
        SetPlatform(platform);
    }
    void TearDown() override { SetPlatform(Saved); }

    // A control of type T on the form, named, at the given bounds.
    template <typename T>
    static T* Add(TForm& form, const std::string& name, int left = 0, int top = 0, int width = 75,
                  int height = 23) {
        T* control = new T(&form);
        control->SetName(name);
        control->SetBounds(left, top, width, height);
        control->SetParent(&form);
        return control;
    }
    static TButton* AddButton(TForm& form, const std::string& name, const std::string& caption,
                              int result = 0, int left = 0, int top = 0) {
        TButton* button = Add<TButton>(form, name, left, top);
        button->SetCaption(caption);
        button->ModalResult = result;
        return button;
    }
    int Run(TForm& form, std::vector<TUserStep> steps) {
        Screen.Play(std::move(steps));
        return form.ShowModal();
    }

    TSimulatedMachine Machine;
    THeadlessWindowing Screen;
    TPlatform Saved;
};

} // namespace qb
