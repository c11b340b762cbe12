#include "data/QaTextFile.h"
#include "data/QuestionSet.h"

#include <gtest/gtest.h>

namespace rovik {
namespace {

TEST(QuestionSet_RebuildTitleIndex, FindsEveryBlock) {
    QuestionSet set;
    set.lines = {"// before", "tTitle\tA", "dBunrui\tx", "11\tq\ta\tr\t0", "tTitleB\tB", "tTitle", "11\tq"};
    ASSERT_EQ(0, RebuildTitleIndex(set));
    ASSERT_EQ(3, set.titleCount());
    EXPECT_EQ(2, set.title(1).start);
    EXPECT_EQ(3, set.title(1).last);
    EXPECT_EQ(5, set.title(2).start);
    EXPECT_EQ(4, set.title(2).last);
    EXPECT_EQ(6, set.title(3).start);
    EXPECT_EQ(6, set.title(3).last);
}

TEST(QuestionSet_RebuildTitleIndex, FailsWithoutTitlesAndHoldsAnyNumber) {
    QuestionSet set;
    set.lines = {" tTitle\tx", "\ttTitle", ""};
    EXPECT_EQ(-1, RebuildTitleIndex(set));
    EXPECT_EQ(0, set.titleCount());

    set.lines.clear();
    for (int i = 0; i < 120; ++i) set.lines.push_back("tTitle\tT");
    ASSERT_EQ(0, RebuildTitleIndex(set));
    EXPECT_EQ(120, set.titleCount());
    EXPECT_EQ(120, set.title(120).start);
    EXPECT_EQ(119, set.title(120).last);
}

TEST(QuestionSet_LineKinds, KeywordsNeedNothingAfterThem) {
    EXPECT_TRUE(isTitleHeaderLine("tTitle"));
    EXPECT_TRUE(isTitleHeaderLine("tTitle\t"));
    EXPECT_TRUE(isTitleHeaderLine("tTitleX\tname"));
    EXPECT_FALSE(isTitleHeaderLine(" tTitle\tname"));
    EXPECT_FALSE(isTitleHeaderLine("ttitle\tname"));
    EXPECT_TRUE(isHeaderLine("dBunrui\tx"));
    EXPECT_TRUE(isHeaderLine("sBunrui"));
    EXPECT_FALSE(isHeaderLine("// tTitle"));
    EXPECT_TRUE(isCommentLine("//x"));
}

TEST(QuestionSet_NewTitleTemplate, HasFourLines) {
    auto lines = newTitleTemplate();
    ASSERT_EQ(4u, lines.size());
    EXPECT_EQ("tTitle\t\x96\xB3\x91\xE8\t3\t3", lines[0]);
    EXPECT_EQ("dBunrui\t\x96\xB3\x91\xE8", lines[1]);
    EXPECT_EQ("sBunrui\t\x96\xB3\x91\xE8", lines[2]);
    EXPECT_EQ("11\t\x96\xB3\x91\xE8\t\x96\xB3\x91\xE8\t\x96\xB3\x91\xE8\t0", lines[3]);
}

} // namespace
} // namespace rovik
