// wqe pattern as a user runs it: the editor's step texts, scripted edits
// reaching the data file and the record, and the refusals.
#include <gtest/gtest.h>

#include "support/CliRunner.h"

namespace wqe::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Empty pattern and song files, written out by hand.
Bytes emptyPattern(int kind) {
    Bytes f = {'W', 'Q', 'P', 'h', 'r', 's', 0xFF, 0xFF, 0xFF, static_cast<std::uint8_t>(kind),
               0,   0,   0,   0,   0,   0};
    for (int i = 0; i < 100; ++i) f.insert(f.end(), {0xFF, 0xFF, 0, 0});
    for (int i = 0; i < 28; ++i) f.insert(f.end(), {0xFF, 0xFF});
    f.resize(512, 0);
    if (kind == 1) {
        f.resize(640, 100);
        f.resize(1024, 0);
    }
    return f;
}

Bytes emptySong() {
    Bytes f = {'W', 'Q', 'P', 'h', 'r', 's', 0xFF, 0xFF, 0xFF, 2, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 100; ++i) f.insert(f.end(), {0xFF, 0xFF});
    f.resize(1024, 0);
    return f;
}

class CliPattern : public ::testing::Test {
protected:
    void SetUp() override { card = (dir / "card").string(); }
    void make(const std::vector<std::string>& newArgs, const std::vector<std::string>& fields) {
        std::vector<std::string> a = {"new", card};
        a.insert(a.end(), newArgs.begin(), newArgs.end());
        ASSERT_EQ(runWqe(a).status, 0);
        a = {"set", card};
        a.insert(a.end(), fields.begin(), fields.end());
        ASSERT_EQ(runWqe(a).status, 0);
    }
    std::vector<std::string> lines(const std::string& text) {
        std::vector<std::string> out;
        for (std::size_t pos = 0; pos < text.size();) {
            const auto nl = text.find('\n', pos);
            out.push_back(text.substr(pos, nl - pos));
            pos = nl + 1;
        }
        return out;
    }
    TempDir dir;
    std::string card;
};

TEST_F(CliPattern, Wq7000PatternEditsAndShows) {
    make({}, {"phrase.4.type=3", "phrase.4.pattern-mode=3"});
    writeBytes(dir / "card" / "_WQP0004.PHR", emptyPattern(1));
    const auto set = runWqe({"pattern", card, "4", "--set", "1=A0012,80%,01.5s", "--set", "2=b3",
                             "--set", "128=A1000,7", "--set", "3=A2,,59.9"});
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.err, "");  // an interrupt phrase is set: RANDOM3 stays
    const Bytes file = readBytes(dir / "card" / "_WQP0004.PHR");
    ASSERT_EQ(file.size(), 1024u);
    EXPECT_EQ(Bytes(file.begin() + 16, file.begin() + 28),
              (Bytes{0x00, 0x0B, 0x00, 0x0F, 0x03, 0xEA, 0x00, 0x00, 0x00, 0x01, 0x02, 0x57}));
    EXPECT_EQ(file[6 + 507], 80);    // volume of step 1, bytes of the pair exchanged
    EXPECT_EQ(file[6 + 632], 7);     // volume of step 128
    EXPECT_EQ(file[6 + 464], 0x03);  // step 128 refers to A1000
    EXPECT_EQ(file[6 + 465], 0xE7);

    const auto show = runWqe({"pattern", card, "4", "--lang", "en"});
    ASSERT_EQ(show.status, 0) << show.err;
    const auto rows = lines(show.out);
    ASSERT_EQ(rows.size(), 129u);
    EXPECT_EQ(rows[0], "No.\tPhrase\tVolume\tInterval");
    EXPECT_EQ(rows[1], "1\tA0012\t80%\t01.5s");
    EXPECT_EQ(rows[2], "2\tB0003\t100%\t00.0s");
    EXPECT_EQ(rows[3], "3\tA0002\t100%\t59.9s");
    EXPECT_EQ(rows[4], "4\t-----\t----\t00.0s");
    EXPECT_EQ(rows[101], "101\t-----\t----\t-----");
    EXPECT_EQ(rows[128], "128\tA1000\t7%\t-----");
    EXPECT_EQ(lines(runWqe({"pattern", card, "4", "--lang", "ja"}).out)[0],
              "No.\tﾌﾚｰｽﾞ\t音量\t間隔");

    // Emptying the only interrupt step corrects RANDOM3 to RANDOM1.
    const auto clear = runWqe({"pattern", card, "4", "--set", "128=-"});
    ASSERT_EQ(clear.status, 0) << clear.err;
    EXPECT_EQ(
        clear.err,
        "Since an interrupt phrase was not chosen,\npattern settings were corrected to random1.\n");
    EXPECT_EQ(runWqe({"get", card, "phrase.4.pattern-mode"}).out, "phrase.4.pattern-mode=1\n");
    EXPECT_EQ(lines(runWqe({"pattern", card, "4"}).out).size(), 101u);
}

TEST_F(CliPattern, SongsAreStoredSorted) {
    make({}, {"mtc-type=3", "phrase.2.type=4"});
    writeBytes(dir / "card" / "_WQP0002.PHR", emptySong());
    const auto set = runWqe({"pattern", card, "2", "--set", "1=A0001,00h00m05s00f", "--set",
                             "2=B0001,00h00m01s12f", "--set", "3=stop"});
    ASSERT_EQ(set.status, 0) << set.err;
    const Bytes file = readBytes(dir / "card" / "_WQP0002.PHR");
    // References 1000, 0, 65534; start times 1480 ms, 5000 ms, 0 (25 frames per second).
    EXPECT_EQ(Bytes(file.begin() + 16, file.begin() + 24),
              (Bytes{0x03, 0xE8, 0x00, 0x00, 0xFF, 0xFE, 0xFF, 0xFF}));
    EXPECT_EQ(Bytes(file.begin() + 216, file.begin() + 228),
              (Bytes{0, 0, 0x05, 0xC8, 0, 0, 0x13, 0x88, 0, 0, 0, 0}));
    const auto rows = lines(runWqe({"pattern", card, "2"}, "", {"WQE_LANG=ja"}).out);
    ASSERT_EQ(rows.size(), 101u);
    EXPECT_EQ(rows[0], "No.\tﾌﾚｰｽﾞ\tｽﾀｰﾄ");
    EXPECT_EQ(rows[1], "1\tB0001\t00h00m01s12f");
    EXPECT_EQ(rows[2], "2\tA0001\t00h00m05s00f");
    EXPECT_EQ(rows[3], "3\tｽﾄｯﾌﾟ\t00h00m00s00f");
    EXPECT_EQ(rows[4], "4\t-----\t00h00m00s00f");
}

TEST_F(CliPattern, Wq5000Pattern) {
    make({"--model", "5000"}, {"phrase.1.used=1", "phrase.1.pattern-mode=1"});
    writeBytes(dir / "card" / "_wqp0001.phr", emptyPattern(0));  // letter case of a FAT card copy
    ASSERT_EQ(runWqe({"pattern", card, "1", "--set", "100=B500,1.2"}).status, 0);
    const auto rows = lines(runWqe({"pattern", card, "1", "--lang", "en"}).out);
    ASSERT_EQ(rows.size(), 101u);
    EXPECT_EQ(rows[0], "No.\tPhrase\tInterval");
    EXPECT_EQ(rows[1], "1\t----\t00.0s");
    EXPECT_EQ(rows[100], "100\tB500\t01.2s");
    EXPECT_EQ(readBytes(dir / "card" / "_wqp0001.phr").size(), 512u);
}

TEST_F(CliPattern, Refusals) {
    make({}, {"phrase.1.type=3", "phrase.2.type=3", "phrase.3.type=1", "phrase.4.type=3"});
    writeBytes(dir / "card" / "_WQP0002.PHR", emptySong());
    writeBytes(dir / "card" / "_WQP0004.PHR", emptyPattern(1));
    const Bytes untouched = readBytes(dir / "card" / "_WQP0004.PHR");
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* err;
    };
    const Case cases[] = {
        {{"1"}, 2, "There is no data file of pattern phrase."},
        {{"2"}, 2, "The data file of pattern phrase is wrong."},
        {{"3"}, 2, "phrase 3 is not a pattern or song phrase"},
        {{"251"}, 1, "outside 1..250"},
        {{"4", "--set", "101=A1"}, 1, "the step must lie in 1..100"},
        {{"4", "--set", "1=C1"}, 1, "'C1' is no phrase"},
        {{"4", "--set", "1=A1,50,60.0"}, 1, "the interval '60.0' is not 0.0..59.9 seconds"},
        {{"4", "--set", "1=A1,50,1.25"}, 1, "the interval '1.25'"},
        {{"4", "--set", "1=stop"}, 1, "'stop' is no phrase"},
        {{"4", "--set", "1=A1,50,1.0,9"}, 1, "a step takes REF[,VOLUME][,INTERVAL]"},
        {{"4", "--set", "2=A1", "--set", "x=A1"}, 1, "the step must lie in 1..100"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> a = {"pattern", card};
        a.insert(a.end(), c.args.begin(), c.args.end());
        const auto r = runWqe(a);
        EXPECT_EQ(r.status, c.status) << c.args[0] << ' ' << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
    // Nothing was written by a refused edit.
    EXPECT_EQ(readBytes(dir / "card" / "_WQP0004.PHR"), untouched);
}

}  // namespace
}  // namespace wqe::test
