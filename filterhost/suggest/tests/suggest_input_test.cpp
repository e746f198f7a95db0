// What the suggestion refuses to judge, and that a frame given bottom-up with a negative pitch
// is measured as the same frame top-down.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "suggest_settings.h"

namespace {

// A frame whose bottom rows are torn noise in every frame and whose left columns are dark
// and ragged: something for the measurements to find.
std::vector<uint8_t> DamagedFrame(int32_t width, int32_t height, uint32_t seed) {
    std::vector<uint8_t> bgrx(size_t(width) * size_t(height) * 4);
    uint32_t state = seed * 2654435761u + 1u;
    auto next = [&] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            uint8_t *p = &bgrx[(size_t(y) * size_t(width) + size_t(x)) * 4];
            int v = 100 + int((x / 7 + y / 5) % 9) * 12;
            if (y >= height - 6)
                v = int(next() % 256);
            if (x < 3 + int(next() % 5))
                v = 10;
            p[0] = p[1] = p[2] = uint8_t(v);
        }
    return bgrx;
}

struct RefusalCase {
    const char *name;
    int32_t width, height, frames;
    bool singleColour;
    const char *reasonWord;  // a word the reason must hold
};

TEST(SuggestInput, RefusesWhatItCannotJudgeWithAllZeros) {
    const RefusalCase cases[] = {
        {"no pixels", 0, 0, 10, false, "small"},
        {"too narrow", 40, 576, 10, false, "small"},
        {"too low", 720, 40, 10, false, "small"},
        {"one colour, one picture", 720, 576, 1, true, "colour"},
        {"one colour", 720, 576, 10, true, "colour"},
    };
    for (const RefusalCase &c : cases) {
        suggest::BorderSurvey survey(c.width, c.height);
        for (int32_t f = 0; f < c.frames; ++f) {
            std::vector<uint8_t> frame = DamagedFrame(c.width, c.height, uint32_t(f));
            if (c.singleColour)
                std::fill(frame.begin(), frame.end(), uint8_t(77));
            survey.Add(frame.data(), ptrdiff_t(c.width) * 4, c.width, c.height);
        }
        const suggest::Suggestion s = suggest::SuggestSettings(survey);
        EXPECT_NE(s.refusal.find(c.reasonWord), std::string::npos) << c.name << ": " << s.refusal;
        EXPECT_EQ(suggest::ScriptValues(s), (std::array<int32_t, 16>{})) << c.name;
        ASSERT_FALSE(s.explanation.empty()) << c.name;
    }
}

TEST(SuggestInput, BottomUpFramesWithNegativePitchMeasureAsTopDown) {
    const int32_t width = 160, height = 120;
    suggest::BorderSurvey topDown(width, height), bottomUp(width, height);
    for (uint32_t f = 0; f < 6; ++f) {
        const std::vector<uint8_t> frame = DamagedFrame(width, height, f);
        const ptrdiff_t pitch = ptrdiff_t(width) * 4;
        topDown.Add(frame.data(), pitch, width, height);
        // The same picture stored bottom row first, as a host's bitmap holds it.
        std::vector<uint8_t> flipped(frame.size());
        for (int32_t y = 0; y < height; ++y)
            std::copy_n(&frame[size_t(y) * size_t(pitch)], size_t(pitch),
                        &flipped[size_t(height - 1 - y) * size_t(pitch)]);
        bottomUp.Add(&flipped[size_t(height - 1) * size_t(pitch)], -pitch, width, height);
    }
    const suggest::Suggestion a = suggest::SuggestSettings(topDown);
    const suggest::Suggestion b = suggest::SuggestSettings(bottomUp);
    EXPECT_EQ(a.explanation, b.explanation);
    EXPECT_NE(a.edges[suggest::Bottom].smear + a.edges[suggest::Left].black, 0)
        << "nothing found to compare";
    EXPECT_EQ(suggest::ScriptValues(a), suggest::ScriptValues(b));
}

}  // namespace
