#include "gpx/ShortText.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace pelorin {
namespace {

// Texts up to 15 bytes are kept inline, longer ones on the heap.
TEST(ShortText, HoldsTextAndCopiesAndMovesKeepOwnership) {
    EXPECT_EQ(ShortText().get(), std::nullopt);
    for (const std::string &text :
         {std::string(), std::string(15, 'a'), std::string(16, 'b'), std::string(1000, 'c')}) {
        SCOPED_TRACE(text.size());
        ShortText original(text);
        EXPECT_EQ(original.get(), std::optional<std::string_view>(text));
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
        const ShortText &same = assigned;
        assigned = same;
        assigned.assign(assigned.view().substr(text.size() / 2, 20)); // from its own storage
        EXPECT_EQ(assigned.view(), text.substr(text.size() / 2, 20));
        EXPECT_EQ(original.view(), text);
        original.reset();
        EXPECT_FALSE(original.has());
    }
}

} // namespace
} // namespace pelorin
