// A simulated machine with a scripted native task dialog, installed as the platform for one test.
#pragma once
#include "HeadlessDialogTest.h"
#include "dialogs/TaskDialog.h"
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

class DialogTest : public HeadlessDialogTest {
protected:
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
};

} // namespace qb
