#include "recordings/RecorderChunks.h"

#include "recordings/WavWriter.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

using test::leBytes;
using namespace std::string_literals;

const auto be32 = test::WavWriter::be32;

// An ID3v2 tag of one COMM frame and no padding.
std::string id3(int version, const std::string &frameBody, char flags = 0) {
    return test::WavWriter::id3Tag(version, frameBody, flags);
}

TEST(RecorderChunks, CommentsFromInfoListsAndId3Frames) {
    const std::string longComment(200, 'x'); // past 127 bytes, where sync-safe sizes differ from plain ones
    const std::pair<std::optional<std::string>, std::optional<std::string>> cases[] = {
        // An odd-sized entry before the comment: its pad byte is skipped.
        {listInfoComment("INFOIART"s + leBytes(3, 4) + "abc\0"s + "ICMT" + leBytes(7, 4) + "Hello\0\0\0"s),
         "Hello"},
        {listInfoComment("INFOICMT"s + leBytes(99, 4) + "cut"), std::nullopt},
        {id3Comment(id3(4, "\0eng\0"s + longComment)), longComment},
        // UTF-16 with a byte-order mark, after a description in UTF-16.
        {id3Comment(id3(3, "\x01"
                           "eng"
                           "\xff\xfe"
                           "d\0\0\0"
                           "\xff\xfe"
                           "R\0e\0c\0"s)),
         "Rec"},
        // A comment after the tag's sync-safe end (0x157 read plainly would reach it) is not the tag's.
        {id3Comment("ID3\x04\0\0\0\0\x01\x57"s + "TIT2" + std::string{0, 0, 1, 0x4D} + "\0\0"s +
                    std::string(205, 'x') + "COMM" + be32(6) + "\0\0\0eng\0x"s),
         std::nullopt},
        {id3Comment(id3(3, "\0eng\0x"s, 0x40)), std::nullopt}, // an extended header
        {id3Comment("ID3\x03\0\0\0\0\0\x20"s + "TIT2" + be32(99) + "\0\0"s),
         std::nullopt}, // a frame past the tag
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].first, cases[i].second) << i;
}

} // namespace
} // namespace pelorin
