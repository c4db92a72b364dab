// Empty image-data chunks in PNG data: the test backend's decoder skips them as the system's
// decoders do, and refuses a PNG that has no image data at all.
#include "runtime/headless/HeadlessPictures.h"
#include "runtime/headless/PngChunks.h"
#include "PictureTestFixture.h"
#include <gtest/gtest.h>

namespace qb {
namespace {

std::string Chunk(const std::string& type, const std::string& data) {
    std::string c;
    for (int shift = 24; shift >= 0; shift -= 8)
        c += static_cast<char>((data.size() >> shift) & 0xFF);
    return c + type + data + std::string("\0\0\0\0", 4); // the decoders here skip CRCs
}

struct TPngCase {
    const char* Name;
    std::string Bytes;
    bool Decodes;
};

void PrintTo(const TPngCase& c, std::ostream* os) {
    *os << c.Name;
}

// small.png is signature, IHDR (25 bytes with its frame), IDAT, IEND.
const std::string Png = PictureFixture("small.png");
const std::string Head = Png.substr(0, 33);
const std::string Data = Png.substr(33, Png.size() - 33 - 12);
const std::string End = Png.substr(Png.size() - 12);

class PngChunksTest : public ::testing::TestWithParam<TPngCase> {};

TEST_P(PngChunksTest, DecodesWhatHasImageDataAndRefusesTheRest) {
    THeadlessPictureDecoder decoder;
    std::unique_ptr<TDecodedPicture> picture;
    const TDecodeResult result = decoder.Decode(GetParam().Bytes, picture);
    if (GetParam().Decodes) {
        ASSERT_EQ(result, TDecodeResult::Ok);
        EXPECT_EQ(picture->Width(), 5);
        EXPECT_EQ(picture->Height(), 4);
    } else {
        EXPECT_EQ(result, TDecodeResult::InvalidFormat);
        EXPECT_FALSE(picture);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PngChunksTest,
    ::testing::Values(TPngCase{"whole", Png, true},
                      TPngCase{"empty data chunk before the data",
                               Head + Chunk("IDAT", "") + Data + End, true},
                      TPngCase{"empty data chunks around the data",
                               Head + Chunk("IDAT", "") + Data + Chunk("IDAT", "") + End, true},
                      TPngCase{"only an empty data chunk", Head + Chunk("IDAT", "") + End, false},
                      TPngCase{"no data chunk", Head + End, false},
                      TPngCase{"empty data chunk then a cut one",
                               Head + Chunk("IDAT", "") + Data.substr(0, 20), false},
                      TPngCase{"signature only", Png.substr(0, 8), false},
                      // The fuzzer's finding: an empty data chunk whose data follows unframed.
                      TPngCase{"empty chunk, unframed data",
                               Head + Chunk("IDAT", "").substr(0, 8) + Data.substr(8), false}),
    [](const auto& info) {
        std::string name = info.param.Name;
        for (char& c : name)
            if (!isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

TEST(PngChunks, KeepsEveryOtherChunkAndWhatFollowsTheEnd) {
    const std::string tail = "\x01\x02 tail";
    const auto kept =
        WithoutEmptyDataChunks(Head + Chunk("tEXt", "a") + Chunk("IDAT", "") + Data + End + tail);
    ASSERT_TRUE(kept);
    EXPECT_EQ(*kept, Head + Chunk("tEXt", "a") + Data + End + tail);
    EXPECT_FALSE(IsPng("GIF89a"));
}

} // namespace
} // namespace qb
