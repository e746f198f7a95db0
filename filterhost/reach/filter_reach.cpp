#include "filter_reach.h"

#include <algorithm>
#include <array>

#include "script_parser.h"

namespace {

constexpr int kValueCount = 16;
constexpr int32_t kDialogMaximum = 255;

struct EdgeValues {
    int32_t smear, black, fade, stretch;
};

struct EdgeReach {
    int32_t changes, reads;
};

// Top and right sweeps count positions from 1 at the edge: black p <= B, smear B < p < S + T
// from sources up to S + T, fade B < p < F.
EdgeReach ReachFromPositions(const EdgeValues &v) {
    const int32_t smearEnd = v.smear + v.stretch;
    const int32_t changes = std::max({v.black, smearEnd - 1, v.fade - 1});
    const bool smears = smearEnd - 1 > v.black;
    return {changes, smears ? std::max(changes, smearEnd) : changes};
}

// Bottom and left sweeps count offsets from 0 at the edge: black o < B, and the smear and fade
// bands take in the line at offset B too, up to S + T - 1 and F - 1; smear sources reach
// offset S + T, the (S + T + 1)-th line.
EdgeReach ReachFromOffsets(const EdgeValues &v) {
    const int32_t smearEnd = v.smear + v.stretch;
    const int32_t changes = std::max({v.black, smearEnd, v.fade});
    const bool smears = smearEnd > v.black;
    return {changes, smears ? std::max(changes, smearEnd + 1) : changes};
}

}  // namespace

FilterReach ReachOfFilter(std::string_view filterName, std::string_view scriptText) {
    const FilterReach whole;
    if (filterName != kBorderFilterName)
        return whole;
    const ParsedScript parsed = ParseScript(scriptText);
    if (!parsed.errors.empty() || parsed.statements.size() != 1)
        return whole;
    const ScriptStatement &call = parsed.statements.front();
    if (!call.isCall || call.function != "Config" || call.arguments.size() != kValueCount)
        return whole;
    std::array<int32_t, kValueCount> values{};
    for (int k = 0; k < kValueCount; ++k) {
        const ScriptArgument &argument = call.arguments[k];
        if (argument.kind != ScriptArgument::Integer || argument.integer < 0 ||
            argument.integer > kDialogMaximum)
            return whole;
        values[k] = argument.integer;
    }
    const auto edge = [&](int index) {
        return EdgeValues{values[4 * index], values[4 * index + 1], values[4 * index + 2],
                          values[4 * index + 3]};
    };
    const EdgeReach top = ReachFromPositions(edge(0)), bottom = ReachFromOffsets(edge(1)),
                    right = ReachFromPositions(edge(2)), left = ReachFromOffsets(edge(3));
    FilterReach reach;
    reach.wholeFrame = false;
    reach.changes = {top.changes, bottom.changes, left.changes, right.changes};
    reach.reads = {top.reads, bottom.reads, left.reads, right.reads};
    return reach;
}
