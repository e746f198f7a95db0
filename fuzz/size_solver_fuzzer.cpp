// The size solver on any ten integers: the answer is "Incorrect values" exactly when one of
// the six numbers is 0, and otherwise one or two well-formed solutions.
#include <cctype>
#include <string>

#include "fuzz_input.h"
#include "size_solver.h"

namespace mensurio {
namespace {

// Reads the text front to back; each Take moves past what it matched.
class Reader {
public:
    explicit Reader(const std::string &text) : text_(text) {}

    bool Take(const std::string &literal) {
        if (text_.compare(pos_, literal.size(), literal) != 0)
            return false;
        pos_ += literal.size();
        return true;
    }
    // A 32-bit integer as std::to_string writes it.
    bool Integer() {
        const size_t start = pos_;
        Take("-");
        const size_t digits = Digits();
        if (digits == 0 || digits > 10 || (digits > 1 && text_[pos_ - digits] == '0'))
            return false;
        const long long value = std::stoll(text_.substr(start, pos_ - start));
        return value >= INT32_MIN && value <= INT32_MAX;
    }
    // A percentage: fixed with two decimals, or nan, inf, -inf.
    bool Percentage() {
        if (Take("nan") || Take("inf") || Take("-inf"))
            return true;
        Take("-");
        return Digits() > 0 && Take(".") && Digits() == 2;
    }
    bool AtEnd() const { return pos_ == text_.size(); }

private:
    size_t Digits() {
        const size_t start = pos_;
        while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_])))
            ++pos_;
        return pos_ - start;
    }

    const std::string &text_;
    size_t pos_ = 0;
};

bool Candidate(Reader &r) {
    if (!r.Take(" (adjust source width)"))
        r.Take(" (adjust source height)");
    return r.Take("\nClip or pad source size to ") && r.Integer() && r.Take("x") && r.Integer() &&
           r.Take(" and resize to ") && r.Integer() && r.Take("x") && r.Integer() &&
           r.Take("\n- new source size is ") && r.Percentage() &&
           r.Take("% of desired size\n- resized to ") && r.Percentage() &&
           r.Take("% of new source size\n");
}

bool WellFormed(const std::string &text) {
    Reader r(text);
    if (r.Take("Solution:"))
        return Candidate(r) && r.AtEnd();
    return r.Take("Solution 1:") && Candidate(r) && r.Take("\nSolution 2:") && Candidate(r) &&
           r.AtEnd();
}

int TestOneInput(const uint8_t *data, size_t size) {
    fuzz::FuzzInput in(data, size);
    int32_t n[10];
    for (int32_t &value : n)
        value = in.Value();
    const std::string answer =
        mensurio::SolveSizes(n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7], n[8], n[9]);
    const bool incorrect =
        n[0] == 0 || n[1] == 0 || n[2] == 0 || n[3] == 0 || n[4] == 0 || n[5] == 0;
    if (incorrect)
        FUZZ_CHECK(answer == "Incorrect values");
    else
        FUZZ_CHECK(WellFormed(answer));
    return 0;
}

}  // namespace
}  // namespace mensurio

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    return mensurio::TestOneInput(data, size);
}
