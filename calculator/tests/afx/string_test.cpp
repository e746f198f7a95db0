// CString: C99 formatting in every build, concatenation, and the string table.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "afxwin.h"
#include "probe_resource.h"

namespace {

std::string Formatted(const char* format, double value) {
  CString text;
  text.Format(format, value);
  return std::string(text);
}

TEST(CStringFormat, PrintsRealsAsC99Does) {
  // The system C library rounds halfway cases away from zero and spells infinity "1.#INF".
  EXPECT_EQ(Formatted("%.2lf", 103.125), "103.12");   // exactly halfway: to even
  EXPECT_EQ(Formatted("%.2lf", 0.125), "0.12");
  EXPECT_EQ(Formatted("%.2lf", 99.72222), "99.72");
  EXPECT_EQ(Formatted("%.2lf", 1e23), "99999999999999991611392.00");
  EXPECT_EQ(Formatted("%.2lf", std::numeric_limits<double>::infinity()), "inf");
  EXPECT_EQ(Formatted("%.2lf", -std::numeric_limits<double>::infinity()), "-inf");
  EXPECT_EQ(Formatted("%.2lf", -0.001), "-0.00");
}

TEST(CStringFormat, PrintsIntegersAndLongTexts) {
  CString text;
  text.Format("%ix%i|%5d|%-3d|%x", -2147483647 - 1, 2147483647, 42, 7, 255u);
  EXPECT_EQ(std::string(text), "-2147483648x2147483647|   42|7  |ff");
  std::string longArgument(5000, 'y');
  text.Format("<%s>", longArgument.c_str());
  EXPECT_EQ(std::string(text), "<" + longArgument + ">");
  text.Format("%s", "");
  EXPECT_TRUE(text.IsEmpty());
}

TEST(CString, ConcatenatesAndCompares) {
  CString text("Solution:");
  text += CString("\nfirst");
  text += "\n";
  text += static_cast<LPCTSTR>(nullptr);
  EXPECT_EQ(std::string(text), "Solution:\nfirst\n");
  EXPECT_EQ(text.GetLength(), 16);
  EXPECT_TRUE(text == CString("Solution:\nfirst\n"));
  EXPECT_TRUE(text != CString("Solution:"));
  text.Empty();
  EXPECT_TRUE(text.IsEmpty());
}

TEST(CString, LoadsFromTheStringTableAndEmptiesWhenMissing) {
  CString text("previous");
  EXPECT_TRUE(text.LoadString(IDS_PROBE_TEXT));
  EXPECT_EQ(std::string(text), "Probe text");
  EXPECT_FALSE(text.LoadString(IDS_PROBE_MISSING));
  EXPECT_TRUE(text.IsEmpty());
}

}  // namespace
