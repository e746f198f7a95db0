// CString: loading from the string table.
#include <gtest/gtest.h>

#include <string>

#include "afxwin.h"
#include "probe_resource.h"

namespace {

TEST(CString, LoadsFromTheStringTableAndEmptiesWhenMissing) {
    CString text("previous");
    EXPECT_TRUE(text.LoadString(IDS_PROBE_TEXT));
    EXPECT_EQ(std::string(text), "Probe text");
    EXPECT_FALSE(text.LoadString(IDS_PROBE_MISSING));
    EXPECT_TRUE(text.IsEmpty());
}

}  // namespace
