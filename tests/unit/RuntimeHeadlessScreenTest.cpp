// The headless screen's services: dates, pictures, clipboard, metrics and window frames.
#include "RuntimeWindowingFixture.h"
#include <ostream>
#include "runtime/WinConst.h"
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace qb {
namespace {

struct TDateCase {
    const char* Format;
    TDate Date;
    const char* Text;
};

class ShortDateTest : public ::testing::TestWithParam<TDateCase> {};

TEST_P(ShortDateTest, FormatsAndReadsBack) {
    const TDateCase& c = GetParam();
    THeadlessWindowing screen;
    screen.ShortDateFormat = c.Format;
    EXPECT_EQ(screen.FormatShortDate(c.Date), c.Text);
    TDate parsed;
    ASSERT_TRUE(screen.ParseShortDate(c.Text, parsed)) << c.Text;
    EXPECT_EQ(parsed, c.Date);
}

INSTANTIATE_TEST_SUITE_P(Table, ShortDateTest,
                         ::testing::Values(TDateCase{"M/d/yyyy", {2024, 2, 9}, "2/9/2024"},
                                           TDateCase{"M/d/yyyy", {1999, 12, 31}, "12/31/1999"},
                                           TDateCase{"dd.MM.yyyy", {2024, 2, 9}, "09.02.2024"},
                                           TDateCase{"yyyy-MM-dd", {2000, 2, 29}, "2000-02-29"},
                                           TDateCase{"d/M/yy", {2031, 7, 4}, "4/7/31"}));

struct TBadDateCase {
    const char* Format;
    const char* Text;
};

class BadDateTest : public ::testing::TestWithParam<TBadDateCase> {};

TEST_P(BadDateTest, IsNoDateAndLeavesTheOutputAlone) {
    THeadlessWindowing screen;
    screen.ShortDateFormat = GetParam().Format;
    TDate date{1, 2, 3};
    EXPECT_FALSE(screen.ParseShortDate(GetParam().Text, date)) << GetParam().Text;
    EXPECT_EQ(date, (TDate{1, 2, 3}));
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadDateTest,
    ::testing::Values(TBadDateCase{"M/d/yyyy", ""}, TBadDateCase{"M/d/yyyy", "2/30/2024"},
                      TBadDateCase{"M/d/yyyy", "2/29/2023"}, TBadDateCase{"M/d/yyyy", "13/1/2024"},
                      TBadDateCase{"M/d/yyyy", "1/1/2024x"}, TBadDateCase{"M/d/yyyy", "1-1-2024"},
                      TBadDateCase{"dd.MM.yyyy", "9.2.2024"},
                      TBadDateCase{"M/d/yyyy", "0/1/2024"}));

struct TBitmapCase {
    const char* Name;
    int Width;
    int Height;
};

class BitmapResourceTest : public WindowingTest,
                           public ::testing::WithParamInterface<TBitmapCase> {};

TEST_P(BitmapResourceTest, SizeComesFromTheBmpHeader) {
    const TBitmapCase& c = GetParam();
    TBitmap bitmap;
    int changes = 0;
    bitmap.OnChange = [&] { ++changes; };
    bitmap.LoadFromResourceName(c.Name, 0xFF00FF);
    EXPECT_EQ(bitmap.Width(), c.Width);
    EXPECT_EQ(bitmap.Height(), c.Height);
    EXPECT_EQ(bitmap.Empty(), c.Width == 0);
    EXPECT_EQ(changes, c.Width == 0 ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BitmapResourceTest,
    ::testing::Values(TBitmapCase{"TD_ARW", 16, 16}, TBitmapCase{"td_arwhot", 16, 16},
                      TBitmapCase{"TD_EXP", 19, 19}, TBitmapCase{"TD_SHIELD", 32, 32},
                      TBitmapCase{"TD_MISSING", 0, 0}, TBitmapCase{"RS_TESSERACONF", 0, 0}));

TEST_F(WindowingTest, BrokenOrAbsentBitmapFilesGiveNoPicture) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() /
        ("qb_bmp_" + std::to_string(reinterpret_cast<uintptr_t>(this)));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "pics.rc") << "GOOD BITMAP \"good.bmp\"\nSHORT BITMAP \"short.bmp\"\n"
                                      "NOFILE BITMAP \"nofile.bmp\"\nNEG BITMAP \"neg.bmp\"\n";
    auto header = [](int32_t width, int32_t height) {
        std::string data = "BM" + std::string(12, '\0');
        auto put = [&](uint32_t v) {
            for (int i = 0; i < 4; ++i)
                data += static_cast<char>((v >> (8 * i)) & 0xFF);
        };
        put(40);
        put(static_cast<uint32_t>(width));
        put(static_cast<uint32_t>(height));
        return data + std::string(28, '\0');
    };
    std::ofstream(dir / "good.bmp", std::ios::binary) << header(7, -5); // top-down rows
    std::ofstream(dir / "short.bmp", std::ios::binary) << "BM\x01";
    std::ofstream(dir / "neg.bmp", std::ios::binary) << header(-3, 4);
    Screen.ResourceDir = dir.string();
    auto good = Screen.LoadBitmapResource("good", clNone);
    ASSERT_NE(good, nullptr);
    EXPECT_EQ(good->Width(), 7);
    EXPECT_EQ(good->Height(), 5);
    EXPECT_EQ(Screen.LoadBitmapResource("SHORT", clNone), nullptr);
    EXPECT_EQ(Screen.LoadBitmapResource("NOFILE", clNone), nullptr);
    EXPECT_EQ(Screen.LoadBitmapResource("NEG", clNone), nullptr);
    std::filesystem::remove_all(dir);
}

TEST_F(WindowingTest, HeldClipboardRefusesTheTextAndKeepsWhatItHad) {
    EXPECT_TRUE(Screen.SetClipboardText("first"));
    Screen.ClipboardHeld = true;
    EXPECT_FALSE(Screen.SetClipboardText("second"));
    EXPECT_EQ(Screen.ClipboardText(), "first");
    Screen.ClipboardHeld = false;
    EXPECT_TRUE(Screen.SetClipboardText(""));
    EXPECT_EQ(Screen.ClipboardText(), "");
    EXPECT_EQ(Screen.ClipboardWrites, 2);
}

TEST_F(WindowingTest, IconsAndMetricsFollowTheResolution) {
    struct TCase {
        int Ppi;
        int Icon, SmallIcon, Edge;
    } cases[] = {{96, 32, 16, 2}, {144, 48, 24, 2}};
    for (const TCase& c : cases) {
        Screen.PixelsPerInch = c.Ppi;
        auto icon = Screen.LoadSystemIcon(win::IDI_QUESTION, 0);
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(icon->Width(), c.Icon);
        EXPECT_EQ(Screen.LoadSystemIcon(win::IDI_HAND, 16)->Height(), 16);
        EXPECT_EQ(Screen.SystemMetric(49), c.SmallIcon);
        EXPECT_EQ(Screen.SystemMetric(win::SM_CYEDGE), c.Edge);
        EXPECT_EQ(Screen.IconGraphic(0x1234)->Width(), c.Icon);
    }
    EXPECT_EQ(Screen.LoadSystemIcon(1, 32), nullptr);
    EXPECT_EQ(Screen.IconGraphic(0), nullptr);
    Screen.Metrics[win::SM_CYEDGE] = 3;
    EXPECT_EQ(Screen.SystemMetric(win::SM_CYEDGE), 3);
    Screen.Screen = {800, 600};
    EXPECT_EQ(Screen.SystemMetric(0), 800);
    EXPECT_EQ(Screen.SystemMetric(1), 600);
}

TEST_F(WindowingTest, MessageFontCanBeChangedOrMissing) {
    TFont font{"Arial", 20};
    EXPECT_TRUE(Screen.GetMessageFont(font, 96));
    EXPECT_EQ(font, (TFont{"Tahoma", 8}));
    Screen.MessageFont = TFont{"Segoe UI", 9};
    EXPECT_TRUE(Screen.GetMessageFont(font, 96));
    EXPECT_EQ(font.Name, "Segoe UI");
    Screen.MessageFontAvailable = false;
    TFont kept{"Arial", 20};
    EXPECT_FALSE(Screen.GetMessageFont(kept, 96));
    EXPECT_EQ(kept.Name, "Arial");
}

TEST_F(WindowingTest, FormOuterSizeAddsTheFrameOfItsBorderStyle) {
    struct TCase {
        TFormBorderStyle Style;
        int ExtraWidth, ExtraHeight;
    } cases[] = {{TFormBorderStyle::bsDialog, 6, 29},
                 {TFormBorderStyle::bsSingle, 6, 29},
                 {TFormBorderStyle::bsSizeable, 8, 31},
                 {TFormBorderStyle::bsNone, 0, 0}};
    for (const TCase& c : cases) {
        TForm form(nullptr);
        form.SetBorderStyle(c.Style);
        form.SetClientWidth(300);
        form.SetClientHeight(200);
        EXPECT_EQ(form.Width(), 300 + c.ExtraWidth);
        EXPECT_EQ(form.Height(), 200 + c.ExtraHeight);
        form.SetBounds(5, 7, 400, 300); // outer size: the client area takes the rest
        EXPECT_EQ(form.ClientWidth(), 400 - c.ExtraWidth);
        EXPECT_EQ(form.ClientHeight(), 300 - c.ExtraHeight);
        EXPECT_EQ(form.Peer()->WindowRect(), (TRect{5, 7, 405, 307}));
    }
}

TEST_F(WindowingTest, ScreenCentredFormAndResolution) {
    Screen.PixelsPerInch = 144;
    TForm form(nullptr);
    form.SetBorderStyle(TFormBorderStyle::bsNone);
    form.SetClientWidth(200);
    form.SetClientHeight(100);
    form.SetPosition(TPosition::poScreenCenter);
    EXPECT_EQ(form.PixelsPerInch(), 144);
    EXPECT_EQ(form.Canvas().PixelsPerInchY(), 144);
    Run(form, {user::Check([](TForm& f) {
            EXPECT_EQ(f.Left(), (1024 - 200) / 2);
            EXPECT_EQ(f.Top(), (768 - 100) / 2);
            EXPECT_TRUE(f.Visible());
            EXPECT_TRUE(f.Modal());
            f.Close();
        })});
    EXPECT_TRUE(Screen.ScriptErrors.empty());
}

struct TPlaceCase {
    const char* Name;
    std::vector<THeadlessMonitor> Monitors;
    TPoint Pointer;
    TPosition Position;
    TRect Designed; // poDesigned: where the form was put; else only its size counts
    TRect Expected;
};

void PrintTo(const TPlaceCase& c, std::ostream* os) {
    *os << c.Name;
}

class PlacementTest : public WindowingTest, public ::testing::WithParamInterface<TPlaceCase> {};

TEST_P(PlacementTest, CentredOnTheWorkAreaAndNeverOutOfIt) {
    const TPlaceCase& c = GetParam();
    Screen.Monitors = c.Monitors;
    Screen.Pointer = c.Pointer;
    TForm form(nullptr);
    form.SetBorderStyle(TFormBorderStyle::bsNone);
    form.SetBounds(c.Designed.Left, c.Designed.Top, c.Designed.Width(), c.Designed.Height());
    form.SetPosition(c.Position);
    Run(form, {user::Check([&](TForm& f) {
            EXPECT_EQ(f.BoundsRect(), c.Expected);
            f.Close();
        })});
    EXPECT_TRUE(Screen.ScriptErrors.empty());
}

// A taskbar 40 pixels high at the bottom of the primary monitor; a second monitor to its right
// whose taskbar stands at its left.
const THeadlessMonitor Primary{{0, 0, 1024, 768}, {0, 0, 1024, 728}};
const THeadlessMonitor Second{{1024, 0, 2304, 1024}, {1084, 0, 2304, 1024}};

INSTANTIATE_TEST_SUITE_P(Table, PlacementTest,
                         ::testing::Values(TPlaceCase{"AboveTheTaskbar",
                                                      {Primary},
                                                      {10, 10},
                                                      TPosition::poScreenCenter,
                                                      {0, 0, 200, 100},
                                                      {412, 314, 612, 414}},
                                           TPlaceCase{"OnThePointersMonitor",
                                                      {Primary, Second},
                                                      {1500, 500},
                                                      TPosition::poScreenCenter,
                                                      {0, 0, 200, 100},
                                                      {1594, 462, 1794, 562}},
                                           TPlaceCase{"TallerThanTheWorkAreaStartsAtItsTop",
                                                      {Primary},
                                                      {0, 0},
                                                      TPosition::poScreenCenter,
                                                      {0, 0, 300, 900},
                                                      {362, 0, 662, 900}},
                                           TPlaceCase{"WiderThanTheWorkAreaStartsAtItsLeft",
                                                      {Second},
                                                      {0, 0},
                                                      TPosition::poScreenCenter,
                                                      {0, 0, 1400, 100},
                                                      {1084, 462, 2484, 562}},
                                           TPlaceCase{"DesignedPlaceUnderTheTaskbarMovesUp",
                                                      {Primary},
                                                      {0, 0},
                                                      TPosition::poDesigned,
                                                      {900, 700, 1100, 800},
                                                      {824, 628, 1024, 728}},
                                           TPlaceCase{"DesignedPlaceStaysOnItsMonitor",
                                                      {Primary, Second},
                                                      {0, 0},
                                                      TPosition::poDesigned,
                                                      {2200, 100, 2400, 200},
                                                      {2104, 100, 2304, 200}}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(WindowingTest, ADialogOfADialogOpensOnItsOwnersMonitor) {
    Screen.Monitors = {Primary, Second};
    Screen.Pointer = {10, 10}; // on the primary monitor: the owner counts, not the pointer
    TForm owner(nullptr);
    owner.SetBorderStyle(TFormBorderStyle::bsNone);
    owner.SetBounds(1800, 800, 400, 200);
    TForm inner(nullptr);
    inner.SetBorderStyle(TFormBorderStyle::bsNone);
    inner.SetBounds(0, 0, 200, 100);
    for (TPosition position : {TPosition::poScreenCenter, TPosition::poOwnerFormCenter}) {
        inner.SetPosition(position);
        Run(owner, {user::Check([&](TForm&) {
                        Screen.Play({user::Check([](TForm& f) { f.Close(); })});
                        inner.ShowModal();
                        // On the owner's work area; over the owner where asked.
                        EXPECT_EQ(inner.BoundsRect(), position == TPosition::poScreenCenter
                                                          ? (TRect{1594, 462, 1794, 562})
                                                          : (TRect{1900, 850, 2100, 950}));
                    }),
                    user::Check([](TForm& f) { f.Close(); })});
    }
    EXPECT_TRUE(Screen.ScriptErrors.empty());
}

TEST_F(WindowingTest, CanvasStateSetOutsidePaintingCarriesIntoThePaint) {
    TForm form(nullptr);
    form.SetName("F");
    form.Canvas().SetFont(TFont{"Courier", 10});
    form.OnPaint = [](TComponent* sender) {
        TForm& f = *static_cast<TForm*>(sender);
        TRect r{0, 0, 50, 20};
        f.Canvas().DrawText("x", r, 0);
    };
    Run(form, {user::Key(win::VK_F4, ssAlt)});
    const TRecordingCanvas* paint = Screen.LastPaint("F");
    ASSERT_NE(paint, nullptr);
    ASSERT_EQ(paint->Records().size(), 2u);
    EXPECT_EQ(paint->Records()[1].Font.Name, "Courier");
    EXPECT_EQ(&form.Canvas(), &form.Peer()->MeasureCanvas());
}

} // namespace
} // namespace qb
