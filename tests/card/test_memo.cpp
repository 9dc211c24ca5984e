// Memo file: both prefix widths, system memo lines, byte preservation and
// the fresh file.
#include <gtest/gtest.h>

#include "card/CWQEMemo.h"
#include "support/TempDir.h"

namespace wqe {
namespace {

std::string crlf(const std::string& lf) {
    std::string out;
    for (char c : lf) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

// The fresh file of each model (both prefix widths) is pinned by the new card
// images in tests/data.
TEST(Memo, WritesEveryPhraseLine) {
    CWQEMemo memo;
    memo.setSystemMemo("line one\nline two\n");
    memo.setPhraseMemo(0, "first");
    memo.setPhraseMemo(999, "last");
    const std::string w7 = memo.serialize();
    EXPECT_TRUE(
        w7.starts_with(crlf("SystemMemo:\nline one\nline two\nPhraseMemo:\n0001:first\n0002:\n")));
    EXPECT_TRUE(w7.ends_with(crlf("0999:\n1000:last\n")));
}

// Either width reads back on a WQ-7000 memo, the model a card is read with
// before its system file is known.
TEST(Memo, RoundTripsInBothWidthsAndKeepsBytes) {
    // CP932 bytes; the second character's trail byte is 0x5C, a backslash.
    const std::string sjis = "\x83\x81\x95\x5c \x93\xfa";
    for (Model m : {Model::WQ7000, Model::WQ5000}) {
        CWQEMemo memo;
        memo.setModel(m);
        memo.setSystemMemo("two\nlines\n");
        memo.setPhraseMemo(4, sjis);
        memo.setPhraseMemo(5, "a:b:c");
        memo.setPhraseMemo(499, "last of 500");
        CWQEMemo back;
        back.setPhraseMemo(700, "stale");
        back.clear();
        back.parse(memo.serialize());
        EXPECT_EQ(back.systemMemo(), "two\nlines\n");
        EXPECT_EQ(back.phraseMemo(4), sjis);
        EXPECT_EQ(back.phraseMemo(5), "a:b:c");
        EXPECT_EQ(back.phraseMemo(6), "");
        EXPECT_EQ(back.phraseMemo(499), "last of 500");
        EXPECT_EQ(back.phraseMemo(700), "");
    }
    // A system memo without a final line feed, and a phrase memo holding a
    // line break, must not shift or swallow the phrase memos.
    CWQEMemo memo, back;
    memo.setSystemMemo("no newline at the end");
    memo.setPhraseMemo(0, "two\nlines");
    memo.setPhraseMemo(1, "second");
    back.parse(memo.serialize());
    EXPECT_EQ(back.systemMemo(), "no newline at the end\n");
    EXPECT_EQ(back.phraseMemo(0), "two lines");
    EXPECT_EQ(back.phraseMemo(1), "second");
}

TEST(Memo, ParsesHandWrittenFilesAndTellsWhenTheLayoutIsForeign) {
    struct Case {
        const char* file;
        const char* system;
        int index;
        const char* memo;
        bool understood;
    };
    const Case cases[] = {
        {"SystemMemo:\r\n\r\nPhraseMemo:\r\n0001:\r\n", "\n", 0, "", true},
        {"SystemMemo:\nA\nPhraseMemo:\n001:abc\n002:def", "A\n", 1, "def", true},  // LF, no last LF
        {"SystemMemo:\rA\rB\rPhraseMemo:\r0001:a\r0002:b\r", "A\nB\n", 1, "b", true},  // CR only
        {"", "", 0, "", true},
        // Foreign layouts: what can be read is read, and the file is flagged.
        {"SystemMemo:\r\nPhraseMemo:\r\n0001\r\n0002:y\r\n", "", 0, "", false},  // no colon
        {"SystemMemo:\r\nno phrase part\r\n", "no phrase part\n", 0, "", false},
        {"notes\r\nPhraseMemo:\r\n0001:x\r\n", "", 0, "x", false},
        {"SystemMemo:\nPhraseMemo:\nab01:x\n", "", 0, ":x", false},
    };
    for (const Case& c : cases) {
        CWQEMemo memo;
        EXPECT_EQ(memo.parse(c.file), c.understood) << c.file;
        EXPECT_EQ(memo.systemMemo(), c.system) << c.file;
        EXPECT_EQ(memo.phraseMemo(c.index), c.memo) << c.file;
    }
    // More phrase lines than slots would be lost by a rewrite.
    std::string many = "SystemMemo:\nPhraseMemo:\n";
    for (int i = 1; i <= 1001; ++i) many += std::to_string(10000 + i).substr(1) + ":m\n";
    EXPECT_FALSE(CWQEMemo().parse(many));
}

TEST(Memo, FileErrorsAreReported) {
    test::TempDir dir;
    CWQEMemo memo;
    EXPECT_NE(memo.read((dir / "missing.txt").string()), "");
    EXPECT_NE(memo.write((dir / "no-such-folder" / "WQE_MEMO.TXT").string()), "");
    EXPECT_EQ(memo.write((dir / "WQE_MEMO.TXT").string()), "");
    EXPECT_EQ(memo.read((dir / "WQE_MEMO.TXT").string()), "");
}

}  // namespace
}  // namespace wqe
