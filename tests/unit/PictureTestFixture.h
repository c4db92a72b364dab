// A simulated machine holding the picture fixtures of tests/pictures, installed as the platform.
#pragma once
#include "markup/PictureContainer.h"
#include "runtime/Stream.h"
#include "runtime/Platform.h"
#include "runtime/headless/SimulatedMachine.h"
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

namespace qb {

inline std::string PictureFixture(const std::string& name) {
    std::ifstream in(std::string(QB_TEST_DATA_DIR) + "/pictures/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << name;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class PictureTest : public ::testing::Test {
protected:
    void SetUp() override {
        Saved = Platform();
        for (const char* name :
             {"three_frames.gif", "still.gif", "gif8.bin", "truncated.gif", "cut_descriptor.gif",
              "lying.gif", "small.bmp", "small.png", "small.jpg", "not_a_picture.txt", "alpha.png",
              "version_00a.gif", "bare_00a.gif", "bare_7xa.gif", "first_without_control.gif",
              "hidden_pattern.gif", "empty.bin"})
            Machine.AddFile(std::string("c:\\pics\\") + name, PictureFixture(name));
        Machine.AddRcData("PIC_GIF", PictureFixture("three_frames.gif"));
        Machine.AddRcData("PIC_TEXT", PictureFixture("not_a_picture.txt"));
        SetPlatform(Machine.AsPlatform(nullptr));
    }
    void TearDown() override { SetPlatform(Saved); }

    // A picture loaded from bytes; the error message, empty when it loaded.
    static std::string Load(TMarkupPicture& picture, const std::string& bytes) {
        TMemoryStream in(bytes);
        try {
            picture.LoadStream(&in);
        } catch (const std::exception& e) {
            return e.what();
        }
        return {};
    }

    TSimulatedMachine Machine;
    TPlatform Saved;
};

} // namespace qb
