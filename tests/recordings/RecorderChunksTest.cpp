#include "recordings/RecorderChunks.h"

#include "recordings/WavWriter.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

using test::leBytes;
using namespace std::string_literals;

// What a reader must not take for the comment: a size past the entry, a frame past the tag.
TEST(RecorderChunks, CommentsFromInfoListsAndId3Frames) {
    const std::string longComment(200, 'x'); // past 127 bytes, where sync-safe sizes differ from plain ones
    const std::pair<std::optional<std::string>, std::optional<std::string>> cases[] = {
        // An odd-sized entry before the comment: its pad byte is skipped.
        {listInfoComment("INFOIART"s + leBytes(3, 4) + "abc\0"s + "ICMT" + leBytes(7, 4) + "Hello\0\0\0"s),
         "Hello"},
        {listInfoComment("INFOICMT"s + leBytes(99, 4) + "cut"), std::nullopt},
        {id3Comment(test::WavWriter::id3Tag(4, "\0eng\0"s + longComment)), longComment},
        {id3Comment("ID3\x03\0\0\0\0\0\x20"s + "TIT2" + test::WavWriter::be32(99) + "\0\0"s), std::nullopt},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].first, cases[i].second) << i;
}

} // namespace
} // namespace pelorin
