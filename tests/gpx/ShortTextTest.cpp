#include "gpx/ShortText.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace pelorin {
namespace {

const std::string kInline15(15, 'a');
const std::string kHeap16(16, 'b');
const std::string kLong(1000, 'c');

TEST(ShortText, AbsentEmptyInlineAndHeap) {
    ShortText absent;
    EXPECT_FALSE(absent.has());
    EXPECT_EQ(absent.get(), std::nullopt);
    EXPECT_EQ(absent.view(), "");

    for (const std::string &text : {std::string(), std::string("48.137000"), kInline15, kHeap16, kLong}) {
        ShortText t(text);
        EXPECT_TRUE(t.has()) << text.size();
        EXPECT_EQ(t.get(), std::optional<std::string_view>(text));
        t.reset();
        EXPECT_FALSE(t.has());
    }
}

TEST(ShortText, CopyAndMoveKeepOwnership) {
    for (const std::string &text : {std::string("12.5"), kHeap16, kLong}) {
        ShortText original(text);
        ShortText copy(original);
        EXPECT_EQ(copy.view(), text);
        EXPECT_NE(copy.view().data(), original.view().data()); // a heap text is duplicated, not shared

        ShortText moved(std::move(copy));
        EXPECT_EQ(moved.view(), text);
        EXPECT_FALSE(copy.has()); // NOLINT(bugprone-use-after-move): a moved-from text is absent

        ShortText assigned("x");
        assigned = original;
        EXPECT_EQ(assigned.view(), text);
        assigned = std::move(moved);
        EXPECT_EQ(assigned.view(), text);
        assigned = ShortText(); // from heap or inline back to absent
        EXPECT_FALSE(assigned.has());
        EXPECT_EQ(original.view(), text);
    }
}

TEST(ShortText, SelfAssignmentAndAliasedAssign) {
    ShortText t(kLong);
    const ShortText &same = t;
    t = same;
    EXPECT_EQ(t.view(), kLong);
    t = std::move(t);
    EXPECT_EQ(t.view(), kLong);
    t.assign(t.view().substr(1, 20)); // from its own storage, heap to heap
    EXPECT_EQ(t.view(), std::string(20, 'c'));
    t.assign(t.view().substr(0, 3)); // heap to inline
    EXPECT_EQ(t.view(), "ccc");
}

} // namespace
} // namespace pelorin
