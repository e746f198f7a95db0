// What the suggestion refuses to judge, that a frame given bottom-up with a negative pitch is
// measured as the same frame top-down, and that a clip whose frames are alike is judged as one
// of its pictures.
#include <gtest/gtest.h>

#include <algorithm>
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

struct StillCase {
    const char *name;
    int32_t changing;  // levels of new noise in every frame after the first, or -1: each frame
                       // its own picture
    bool alike;
};

TEST(SuggestInput, ClipsOfFramesAlikeAreJudgedAsOnePicture) {
    const int32_t width = 160, height = 120;
    const std::vector<uint8_t> first = DamagedFrame(width, height, 1);
    suggest::BorderSurvey one(width, height);
    one.Add(first.data(), ptrdiff_t(width) * 4, width, height);
    const auto asPicture = suggest::ScriptValues(suggest::SuggestSettings(one));
    const StillCase cases[] = {
        {"the same frame", 0, true},
        {"with a codec's rounding", 1, true},
        {"with grain", 4, false},
        {"moving", -1, false},
    };
    for (const StillCase &c : cases) {
        suggest::BorderSurvey survey(width, height);
        uint32_t state = 12345u;
        for (uint32_t f = 0; f < 8; ++f) {
            std::vector<uint8_t> frame =
                c.changing < 0 ? DamagedFrame(width, height, f + 1) : first;
            for (size_t i = 0; f > 0 && c.changing > 0 && i < frame.size(); ++i) {
                state = state * 1664525u + 1013904223u;
                const int v = frame[i] + int(state >> 24) % (2 * c.changing + 1) - c.changing;
                frame[i] = uint8_t(std::clamp(v, 0, 255));
            }
            survey.Add(frame.data(), ptrdiff_t(width) * 4, width, height);
        }
        const suggest::Suggestion s = suggest::SuggestSettings(survey);
        EXPECT_EQ(s.explanation.front().find("alike") != std::string::npos, c.alike)
            << c.name << ": " << s.explanation.front();
        if (c.alike) {
            EXPECT_EQ(suggest::ScriptValues(s), asPicture) << c.name;
        }
    }
}

}  // namespace
