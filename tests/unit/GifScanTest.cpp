#include "runtime/GifScan.h"
#include <gtest/gtest.h>
#include <string>

namespace qb {
namespace {

// A GIF 2x2 with or without a global table of two colours; images appended by the cases.
std::string Header(bool globalTable) {
    std::string b("GIF89a\x02\x00\x02\x00", 10);
    b += static_cast<char>(globalTable ? 0x80 : 0x00);
    b += std::string("\x00\x00", 2);
    if (globalTable)
        b += std::string(6, '\xFF');
    return b;
}

std::string Image(bool localTable) {
    std::string b("\x2C\x00\x00\x00\x00\x02\x00\x02\x00", 9);
    b += static_cast<char>(localTable ? 0x80 : 0x00);
    if (localTable)
        b += std::string(6, '\x00');
    b += std::string("\x02\x02\x44\x01\x00", 5); // code size, one sub-block, end
    return b;
}

const std::string Control("\x21\xF9\x04\x00\x0A\x00\x00\x00", 8); // graphic control extension
const std::string Trailer(";");

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
        {"not a GIF", "\x89PNG\r\n\x1a\n0000000000", false},
        {"header only", "GIF89a", false},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(GifHasColourTables(c.Bytes), c.Expected) << c.Name;
        EXPECT_EQ(IsGif(c.Bytes), c.Bytes.compare(0, 4, "GIF8") == 0) << c.Name;
    }
}

} // namespace
} // namespace qb
