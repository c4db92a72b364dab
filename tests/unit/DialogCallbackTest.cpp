#include "DialogTestFixture.h"
#include "dialogs/TaskDialogNative.h"
#include "runtime/Application.h"
#include "runtime/Exception.h"
#include <gtest/gtest.h>
#include <stdexcept>

namespace qb {
namespace {

using enum TTaskDialogOption;

std::vector<unsigned> Notifications(const TScriptedTaskDialog& native) {
    std::vector<unsigned> list;
    for (const TDeliveredNotification& n : native.Delivered)
        list.push_back(n.Notification);
    return list;
}

TEST_F(DialogTest, NotificationsFireTheirEventsInOrder) {
    TCustomTaskDialog d(nullptr);
    d.CustomButtons.SetText("A\nB");
    d.HelpContextId = 0;
    std::vector<std::string> events;
    d.OnDialogCreated = [&](TComponent* s) { events.push_back(s == &d ? "created" : "?"); };
    d.OnButtonClick = [&](TComponent*, int id) {
        events.push_back("button " + std::to_string(id));
    };
    d.OnRadioButtonClick = [&](TComponent*, int id) {
        events.push_back("radio " + std::to_string(id));
    };
    d.OnVerificationClick = [&](TComponent*, bool on) {
        events.push_back(on ? "checked" : "unchecked");
    };
    d.OnDialogTimer = [&](TComponent*) { events.push_back("timer"); };
    TScriptedDialogAnswer answer = TScriptedDialogAnswer::Click(101);
    answer.Notifications = {
        Note(win::TDN_RADIO_BUTTON_CLICKED, 201), Note(win::TDN_VERIFICATION_CLICKED, 1),
        Note(win::TDN_VERIFICATION_CLICKED, 0),   Note(win::TDN_HELP),
        Note(win::TDN_EXPANDO_BUTTON_CLICKED, 1), Note(win::TDN_NAVIGATED)};
    answer.AddTimerTicks(1);
    Native.Answers.push_back(answer);
    EXPECT_EQ(d.Execute(), 101);
    EXPECT_EQ(events, (std::vector<std::string>{"created", "radio 201", "checked", "unchecked",
                                                "timer", "button 101"}));
    EXPECT_EQ(Native.CallbackResults, std::vector<int32_t>(9, 0));
    EXPECT_TRUE(Machine.MessageBoxes.empty()) << "no help topic, no help request";
    EXPECT_EQ(d.ElapsedTime, 200) << "the milliseconds the tick carried";
    EXPECT_EQ(NativeDialogCallback(1, win::TDN_CREATED, 0, 0, 0), 0) << "no dialog: nothing";
}

TEST_F(DialogTest, AutoCloseClicksTheDefaultButtonOnceTheTicksTellTheTimeoutHasPassed) {
    const struct {
        std::vector<TWParam> Ticks; // milliseconds since creation, as each tick tells
        int32_t Timeout;
        size_t Delivered; // ticks delivered before the dialog closed
        int32_t Elapsed;
    } cases[] = {
        {{200, 400, 600, 800, 1000, 1200, 1400}, 1000, 6, 1200}, // the system ticks every 200 ms
        {{190, 410, 1000, 1001, 1500}, 1000, 4, 1001},           // uneven ticks; equal is not past
        {{5000}, 3000, 1, 5000},                                 // a late tick closes at once
        {{0xFFFFFFFFu}, 1000, 1, INT32_MAX},                     // a dialog left open for weeks
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Timeout);
        Native.Delivered.clear();
        TCustomTaskDialog d(nullptr);
        d.CustomButtons.SetText("Now\nLater");
        d.DefaultButton = 101;
        d.AutoClose = true;
        d.AutoCloseTimeout = c.Timeout;
        TScriptedDialogAnswer answer = TScriptedDialogAnswer::Click(100);
        for (TWParam ms : c.Ticks)
            answer.Notifications.push_back(Note(win::TDN_TIMER, ms));
        Native.Answers.push_back(answer);
        EXPECT_EQ(d.Execute(), 101);
        EXPECT_EQ(d.ElapsedTime, c.Elapsed);
        std::vector<unsigned> expected{win::TDN_CREATED};
        expected.insert(expected.end(), c.Delivered, win::TDN_TIMER);
        expected.push_back(win::TDN_BUTTON_CLICKED);
        EXPECT_EQ(Notifications(Native), expected) << "nothing after the automatic click";
    }

    // A timeout of 0 disables it; without AutoClose the timeout does nothing.
    for (bool autoClose : {true, false}) {
        TCustomTaskDialog other(nullptr);
        other.AutoClose = autoClose;
        other.AutoCloseTimeout = autoClose ? 0 : 100;
        Native.Answers.push_back(TScriptedDialogAnswer::Click(win::IDOK).AddTimerTicks(30));
        EXPECT_EQ(other.Execute(), win::IDOK);
        EXPECT_EQ(other.ElapsedTime, 6000);
    }
}

TEST_F(DialogTest, AutoCloseUsesAButtonTheDialogHasWhenDefaultButtonNamesNone) {
    using enum TCommonButton;
    const struct {
        TCommonButtons Common;
        const char* Custom;
        int Default;
        int Closed;
    } cases[] = {
        {{}, "", 0, win::IDOK}, // the system's own OK
        {{cbYes, cbNo}, "", 0, win::IDYES},
        {{cbYes, cbNo}, "", win::IDOK, win::IDYES},
        {{cbCancel, cbRetry}, "", 0, win::IDRETRY}, // the system puts Retry before Cancel
        {{cbCancel, cbClose}, "", 0, win::IDCANCEL},
        {{cbClose}, "", 0, win::IDCLOSE},
        {{cbOK}, "A\nB", 0, 100},   // custom buttons come first
        {{cbOK}, "A\nB", 102, 100}, // one past the last custom button
        {{cbOK}, "A\nB", 101, 101},
        {{cbOK, cbCancel}, "", win::IDCANCEL, win::IDCANCEL},
        {{cbOK}, "", win::IDCANCEL, win::IDOK},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "default " << c.Default << " custom " << c.Custom);
        TCustomTaskDialog d(nullptr);
        d.CommonButtons = c.Common;
        d.CustomButtons.SetText(c.Custom);
        d.DefaultButton = c.Default;
        d.AutoClose = true;
        d.AutoCloseTimeout = 100;
        // The scripted user would press a button no dialog has: only the automatic click closes.
        Native.Answers.push_back(TScriptedDialogAnswer::Click(999).AddTimerTicks(1));
        EXPECT_EQ(d.Execute(), c.Closed);
    }
}

TEST_F(DialogTest, TheDefaultRadioButtonIsClickedRightAfterCreation) {
    const struct {
        const char* Radios;
        int Default;
        bool NoDefault;
        int Clicked; // 0: no radio click
    } cases[] = {
        {"a\nb\nc", 200, false, 200}, {"a\nb\nc", 202, false, 202},
        {"a\nb\nc", 5, false, 200},                                // names none: the first one
        {"a\nb\nc", 5, true, 0},      {"a\nb\nc", 201, true, 201}, // named: clicked, not checked
        {"", 200, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Radios << " " << c.Default << " " << c.NoDefault);
        Native.Delivered.clear();
        TCustomTaskDialog d(nullptr);
        d.RadioButtons.SetText(c.Radios);
        d.DefaultRadioButton = c.Default;
        if (c.NoDefault)
            d.Options += doNoDefaultRadio;
        int clicked = 0;
        d.OnRadioButtonClick = [&](TComponent*, int id) { clicked = id; };
        Native.Answers.push_back(TScriptedDialogAnswer::Click(win::IDOK));
        d.Execute();
        EXPECT_EQ(clicked, c.Clicked);
        EXPECT_EQ(Native.Delivered.at(1).Notification,
                  c.Clicked ? win::TDN_RADIO_BUTTON_CLICKED : win::TDN_BUTTON_CLICKED);
    }
}

TEST_F(DialogTest, CloseQueryVetoKeepsTheDialogOpenAfterAnyButton) {
    TCustomTaskDialog d(nullptr);
    d.CommonButtons = {TCommonButton::cbOK, TCommonButton::cbCancel};
    int asked = 0;
    d.OnCloseQuery = [&](TComponent*, bool& canClose) {
        EXPECT_TRUE(canClose) << "comes in true";
        canClose = ++asked > 1;
    };
    TScriptedDialogAnswer answer = TScriptedDialogAnswer::Click(win::IDCANCEL);
    answer.Notifications = {Note(win::TDN_BUTTON_CLICKED, win::IDOK)};
    Native.Answers.push_back(answer);
    EXPECT_EQ(d.Execute(), win::IDCANCEL);
    EXPECT_EQ(Native.CallbackResults, (std::vector<int32_t>{0, 1, 0}));

    // A vetoed closing click: the scripted user gives up and the dialog ends with 0.
    d.OnCloseQuery = [](TComponent*, bool& canClose) { canClose = false; };
    Native.Answers.push_back(TScriptedDialogAnswer::Click(win::IDOK));
    EXPECT_EQ(d.Execute(), 0);
    EXPECT_EQ(Native.CallbackResults.back(), 1);
}

TEST_F(DialogTest, LinksOpenWithTheDefaultHandlerOrGoToTheHandler) {
    TCustomTaskDialog d(nullptr);
    d.Options = {doHyperlinks};
    Machine.LocaleInfoEx = true; // never a reason to start anything elevated
    TScriptedDialogAnswer answer;
    answer.Notifications = {Note(win::TDN_HYPERLINK_CLICKED, 0, "https://www.dosbox.com/"),
                            Note(win::TDN_HYPERLINK_CLICKED, 0, "mailto:someone@example.org"),
                            Note(win::TDN_HYPERLINK_CLICKED, 0, "")};
    Native.Answers.push_back(answer);
    d.Execute();
    ASSERT_EQ(Machine.ShellExecutes.size(), 1u);
    const TSimulatedShellExecute& run = Machine.ShellExecutes[0];
    EXPECT_FALSE(run.Extended);
    EXPECT_EQ(run.Owner, 0u);
    EXPECT_EQ(run.Operation, "open");
    EXPECT_EQ(run.File, "https://www.dosbox.com/");
    EXPECT_EQ(run.Parameters, "");
    EXPECT_EQ(run.Directory, "");
    EXPECT_EQ(run.Show, win::SW_SHOWNORMAL);

    std::vector<std::string> links;
    d.OnHyperlinkClick = [&](TComponent* s, const std::string& link) {
        EXPECT_EQ(s, &d);
        links.push_back(link);
    };
    answer.Notifications = {Note(win::TDN_HYPERLINK_CLICKED, 0, "https://x.test/\xE9"),
                            Note(win::TDN_HYPERLINK_CLICKED, 0, "mailto:a@b")};
    Native.Answers.push_back(answer);
    d.Execute();
    EXPECT_EQ(links, (std::vector<std::string>{"https://x.test/\xE9", "mailto:a@b"}));
    EXPECT_EQ(Machine.ShellExecutes.size(), 1u) << "a handler opens nothing";
}

TEST_F(DialogTest, ProgressRangeMarqueePositionAndStateMessages) {
    TCustomTaskDialog d(nullptr);
    d.Options = {doProgressBar, doProgressMarquee};
    d.ProgressMin = 5;
    d.ProgressMax = 65535;
    const TTaskDialogProgressState states[] = {
        TTaskDialogProgressState::psNormal, TTaskDialogProgressState::psError,
        TTaskDialogProgressState::psPaused, static_cast<TTaskDialogProgressState>(7)};
    int tick = 0;
    d.OnProgress = [&](TComponent*, int& position, TTaskDialogProgressState& state) {
        position = 10 * ++tick;
        state = states[tick - 1];
    };
    Native.Answers.push_back(TScriptedDialogAnswer().AddTimerTicks(4));
    d.Execute();
    std::vector<std::tuple<unsigned, TWParam, TLParam>> sent;
    for (const TSentMessage& m : Native.Sent) {
        EXPECT_EQ(m.Window, Native.Window);
        sent.emplace_back(m.Message, m.WParam, m.LParam);
    }
    const TLParam range = static_cast<TLParam>(65535u << 16 | 5u);
    EXPECT_EQ(sent, (std::vector<std::tuple<unsigned, TWParam, TLParam>>{
                        {win::TDM_SET_PROGRESS_BAR_RANGE, 0, range},
                        {win::TDM_SET_PROGRESS_BAR_MARQUEE, 1, 10},
                        {win::TDM_SET_PROGRESS_BAR_POS, 10, 0},
                        {win::TDM_SET_PROGRESS_BAR_STATE, win::PBST_NORMAL, 0},
                        {win::TDM_SET_PROGRESS_BAR_POS, 20, 0},
                        {win::TDM_SET_PROGRESS_BAR_STATE, win::PBST_ERROR, 0},
                        {win::TDM_SET_PROGRESS_BAR_POS, 30, 0},
                        {win::TDM_SET_PROGRESS_BAR_STATE, win::PBST_PAUSED, 0},
                        {win::TDM_SET_PROGRESS_BAR_POS, 40, 0}, // an unknown state sends none
                    }));
}

TEST_F(DialogTest, ProgressRangesWiderThanSixteenBitsAreLaidOntoWhatTheMessageCarries) {
    const struct {
        int32_t Min;
        int32_t Max;
        uint32_t NativeMin;
        uint32_t NativeMax;
        std::vector<std::pair<int, TWParam>> Positions; // model position, position sent
    } cases[] = {
        {0, 100, 0, 100, {{40, 40}, {150, 150}}}, // fits: sent as it is
        {0, 100000, 0, 65535, {{50000, 32767}, {100000, 65535}, {250000, 65535}, {-1, 0}}},
        {-50, 50, 0, 100, {{0, 50}, {-50, 0}, {50, 100}}},
        {-2, 70000, 0, 65535, {{-2, 0}, {70000, 65535}}},
        {INT32_MIN, INT32_MAX, 0, 65535, {{0, 32767}, {INT32_MAX, 65535}}},
        {10, 5, 10, 10, {{7, 7}}}, // a maximum below the minimum: an empty range
        {-7, -9, 0, 0, {{3, 0}}},
        {65535, 65535, 65535, 65535, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Min << ".." << c.Max);
        Native.Sent.clear();
        TCustomTaskDialog d(nullptr);
        d.Options = {doProgressBar};
        d.ProgressMin = c.Min;
        d.ProgressMax = c.Max;
        size_t tick = 0;
        d.OnProgress = [&](TComponent*, int& position, TTaskDialogProgressState& state) {
            position = c.Positions[tick++].first;
            state = TTaskDialogProgressState::psNormal;
        };
        Native.Answers.push_back(
            TScriptedDialogAnswer().AddTimerTicks(static_cast<int>(c.Positions.size())));
        d.Execute();
        ASSERT_FALSE(Native.Sent.empty());
        EXPECT_EQ(Native.Sent[0].Message, win::TDM_SET_PROGRESS_BAR_RANGE);
        EXPECT_EQ(Native.Sent[0].LParam, static_cast<TLParam>(c.NativeMax << 16 | c.NativeMin));
        std::vector<TWParam> sent, expected;
        for (const TSentMessage& m : Native.Sent)
            if (m.Message == win::TDM_SET_PROGRESS_BAR_POS)
                sent.push_back(m.WParam);
        for (const auto& p : c.Positions)
            expected.push_back(p.second);
        EXPECT_EQ(sent, expected);
    }
}

TEST_F(DialogTest, ExceptionsNeverLeaveTheCallback) {
    TCustomTaskDialog d(nullptr);
    d.HelpContextId = 12;
    int clicks = 0;
    d.OnButtonClick = [&](TComponent*, int) {
        if (++clicks == 1)
            throw Exception("Disk full");
        throw std::runtime_error("internal detail");
    };
    d.OnDialogCreated = [](TComponent*) { throw 42; };
    TScriptedDialogAnswer answer = TScriptedDialogAnswer::Click(win::IDOK);
    answer.Notifications = {Note(win::TDN_HELP), Note(win::TDN_BUTTON_CLICKED, win::IDRETRY)};
    d.CommonButtons = {TCommonButton::cbOK, TCommonButton::cbRetry};
    Native.Answers.push_back(answer);
    EXPECT_EQ(d.Execute(), win::IDRETRY) << "a failed handler does not keep the dialog open";
    ASSERT_EQ(Machine.MessageBoxes.size(), 3u);
    EXPECT_NE(Machine.MessageBoxes[0].Text.find("unexpected"), std::string::npos);
    EXPECT_NE(Machine.MessageBoxes[1].Text.find("12"), std::string::npos) << "the help request";
    EXPECT_EQ(Machine.MessageBoxes[2].Text, "Disk full.");
    for (const TSimulatedMessageBox& box : Machine.MessageBoxes) {
        EXPECT_EQ(box.Caption, "Quillbridge");
        EXPECT_EQ(box.Flags, win::MB_ICONERROR);
        EXPECT_EQ(box.Owner, Native.Window) << "the error box belongs to the open dialog";
        EXPECT_EQ(box.Text.find("internal detail"), std::string::npos);
    }
    EXPECT_EQ(Native.CallbackResults, (std::vector<int32_t>{0, 0, 0}));
}

TEST_F(DialogTest, ExceptionMessagesEndWithAFullStop) {
    const struct {
        const char* Message;
        const char* Shown;
    } cases[] = {{"Bad process handle", "Bad process handle."},
                 {"Already ends.", "Already ends."},
                 {"Really!", "Really!"},
                 {"(see above)", "(see above)"},
                 {"Caf\xE9", "Caf\xE9."},
                 {"", ""}};
    for (const auto& c : cases)
        ShowExceptionMessage(Exception(c.Message));
    ASSERT_EQ(Machine.MessageBoxes.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(Machine.MessageBoxes[i].Text, cases[i].Shown);
}

TEST_F(DialogTest, ScriptedDialogClicksOnlyButtonsItHasAndNestsDialogs) {
    TCustomTaskDialog d(nullptr);
    d.CommonButtons = {TCommonButton::cbYes, TCommonButton::cbNo};
    d.DefaultButton = win::IDOK; // a button this dialog does not have
    d.OnDialogCreated = [&](TComponent*) {
        Native.SendMessage(d.DialogHandle, win::TDM_CLICK_BUTTON, win::IDOK, 0);
        // A dialog opened from a handler runs on top, in its own window.
        TCustomTaskDialog inner(nullptr);
        inner.DefaultButton = win::IDOK; // the OK the native dialog adds
        inner.OnDialogCreated = [&](TComponent*) { inner.CloseDialog(); };
        EXPECT_EQ(inner.Execute(), win::IDOK);
        EXPECT_EQ(inner.DialogHandle, Native.Window + 1);
    };
    Native.Answers.push_back(TScriptedDialogAnswer::Click(win::IDNO));
    Native.Answers.push_back(TScriptedDialogAnswer::Click(win::IDCANCEL));
    EXPECT_EQ(d.Execute(), win::IDNO);
    ASSERT_EQ(Native.Sent.size(), 2u);
    EXPECT_EQ(Native.Sent[0].Window, Native.Window);
    EXPECT_EQ(Native.Sent[1].Window, Native.Window + 1);
    EXPECT_EQ(d.DialogHandle, Native.Window) << "the outer dialog's later notifications";
}

} // namespace
} // namespace qb
