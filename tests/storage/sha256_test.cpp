// The digest against published test vectors, fed whole and in awkward pieces.
#include "storage/sha256.h"

#include <gtest/gtest.h>

#include <string>

#include "table_fixture.h"

namespace shop::storage {
namespace {

std::string digestOf(std::string_view bytes) {
    Sha256 sha;
    sha.update(bytes);
    return Sha256::hex(sha.finish());
}

TEST(Sha256, KnownVectors) {
    EXPECT_EQ(digestOf(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(digestOf("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 56 bytes: the padding needs a second block.
    EXPECT_EQ(digestOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(digestOf(std::string(1000000, 'a')),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(Sha256, PiecesGiveTheSameDigestAsTheWhole) {
    std::string data;
    for (int i = 0; i < 1000; ++i) data += static_cast<char>(i * 37);
    const std::string whole = digestOf(data);
    for (std::size_t piece : {1u, 3u, 63u, 64u, 65u, 200u}) {
        Sha256 sha;
        for (std::size_t at = 0; at < data.size(); at += piece)
            sha.update(std::string_view(data).substr(at, piece));
        EXPECT_EQ(Sha256::hex(sha.finish()), whole) << "piece " << piece;
    }
}

class Sha256FileTest : public testing::TableTest {};

TEST_F(Sha256FileTest, FileDigestMatchesTheBytesAndMissingFileGivesNone) {
    const std::string p = path("f.bin");
    const std::string bytes(200000, '\x5a');
    testing::writeFile(p, bytes);
    EXPECT_EQ(sha256File(p), digestOf(bytes));
    std::string why;
    EXPECT_FALSE(sha256File(path("missing"), &why));
    EXPECT_NE(why.find("missing"), std::string::npos);
}

}  // namespace
}  // namespace shop::storage
