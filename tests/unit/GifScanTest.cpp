#include "runtime/GifScan.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace qb {
namespace {

// A GIF 2x2 of some version with or without a global table of two colours; images appended by
// the cases.
std::string Header(bool globalTable, const char* version = "89a") {
    std::string b = std::string("GIF") + version + std::string("\x02\x00\x02\x00", 4);
    b += static_cast<char>(globalTable ? 0x80 : 0x00);
    b += std::string("\x00\x00", 2);
    if (globalTable)
        b += std::string(6, '\xFF');
    return b;
}

const std::string Control("\x21\xF9\x04\x00\x0A\x00\x00\x00", 8); // graphic control extension

// An image at (left, 0), 2x2.
std::string Image(bool localTable, char left = 0) {
    std::string b("\x2C", 1);
    b += left;
    b += std::string("\x00\x00\x00\x02\x00\x02\x00", 7);
    b += static_cast<char>(localTable ? 0x80 : 0x00);
    if (localTable)
        b += std::string(6, '\x00');
    b += std::string("\x02\x02\x44\x01\x00", 5); // code size, one sub-block, end
    return b;
}

// A comment extension carrying bytes that look like a frame.
std::string Comment(const std::string& text) {
    return std::string("\x21\xFE", 2) + static_cast<char>(text.size()) + text + '\x00';
}

const std::string Trailer(";");
const std::string LookAlike = Control + Image(false, 9).substr(0, 10);

struct TCase {
    const char* Name;
    std::string Bytes;
    bool Expected;
};

TEST(GifScanTest, RefusesImagesWithoutColours) {
    const TCase cases[] = {
        {"global table", Header(true) + Image(false) + Trailer, true},
        {"local table on the only image", Header(false) + Image(true) + Trailer, true},
        {"no table anywhere", Header(false) + Image(false) + Trailer, false},
        {"second frame without one",
         Header(false) + Control + Image(true) + Control + Image(false) + Trailer, false},
        {"frames each with their own", Header(false) + Control + Image(true) + Image(true), true},
        {"no image at all", Header(false) + Trailer, false},
        {"descriptor cut short", Header(false) + Image(true).substr(0, 6), false},
        {"sub-blocks cut short", Header(false) + Image(true).substr(0, 18), true},
        // The system's loader reads any version, so each gets the same checks.
        {"version 00a without tables", Header(false, "00a") + Image(false) + Trailer, false},
        {"version 7xa without tables", Header(false, "7xa") + Image(false) + Trailer, false},
        {"version 00a with a table", Header(true, "00a") + Image(false) + Trailer, true},
        {"not a GIF", "\x89PNG\r\n\x1a\n0000000000", false},
        {"header only", "GIF89a", false},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(GifHasColourTables(c.Bytes), c.Expected) << c.Name;
}

TEST(GifScanTest, TakesWhatStartsLikeAGif) {
    const std::pair<const char*, bool> cases[] = {
        {"GIF89a", true}, {"GIF87a", true},  {"GIF00a", true}, {"GIF7xa", true},
        {"GIF", true},    {"GIX89a", false}, {"GI", false},    {"gif89a", false},
    };
    for (const auto& [bytes, gif] : cases)
        EXPECT_EQ(IsGif(bytes), gif) << bytes;
}

struct TLayoutCase {
    const char* Name;
    std::string Bytes;
    std::vector<size_t> Starts; // of each image
    std::vector<int> Lefts;
};

TEST(GifScanTest, FindsFramesByTheirBlocks) {
    const size_t header = Header(true).size();
    const size_t image = Image(false).size();
    const TLayoutCase cases[] = {
        // A frame starts at its control extension, or at its image when it has none.
        {"a control extension on the second image only",
         Header(true) + Image(false) + Control + Image(false, 1) + Trailer,
         {header, header + image},
         {0, 1}},
        {"a look-alike inside a comment",
         Header(true) + Comment(LookAlike) + Image(false) + Trailer,
         {header + LookAlike.size() + 4},
         {0}},
        {"a descriptor cut short",
         Header(true) + Image(false) + Control + "\x2C\x01\x00",
         {header},
         {0}},
        {"a local table skipped",
         Header(false) + Image(true, 3) + Image(true, 4),
         {header - 6, header - 6 + Image(true).size()},
         {3, 4}},
        {"not a GIF", "GIX89a" + Header(true).substr(6) + Image(false), {}, {}},
    };
    for (const TLayoutCase& c : cases) {
        const TGifLayout layout = ScanGif(c.Bytes);
        std::vector<size_t> starts;
        std::vector<int> lefts;
        for (const TGifImage& found : layout.Images) {
            starts.push_back(found.Start);
            lefts.push_back(found.Left);
        }
        EXPECT_EQ(starts, c.Starts) << c.Name;
        EXPECT_EQ(lefts, c.Lefts) << c.Name;
        EXPECT_EQ(layout.ScreenWidth, c.Starts.empty() ? 0 : 2) << c.Name;
    }
}

} // namespace
} // namespace qb
