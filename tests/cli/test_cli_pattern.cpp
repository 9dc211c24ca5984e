// wqe pattern as a user runs it: the step syntax, the table it prints, the
// notice of a corrected mode, and the refusals. Where the steps land in the
// file is pinned by tests/card/test_pattern_file.cpp, the step texts by
// tests/view and a data file's letter case by tests/card.
#include <gtest/gtest.h>

#include <algorithm>

#include "card/PatternFile.h"
#include "support/CliRunner.h"

namespace wqe::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// An empty data file of a kind; its layout is pinned in tests/card.
Bytes emptyFile(PatternKind kind) { return patternFileBytes(PatternData(kind)); }

class CliPattern : public ::testing::Test {
protected:
    void make(std::vector<std::string> args, std::vector<std::string> fields) {
        args.insert(args.begin(), {"new", card});
        ASSERT_EQ(runWqe(args).status, 0);
        fields.insert(fields.begin(), {"set", card});
        ASSERT_EQ(runWqe(fields).status, 0);
    }
    static long rows(const std::string& text) { return std::ranges::count(text, '\n'); }
    TempDir dir;
    std::string card = (dir / "card").string();
};

TEST_F(CliPattern, Wq7000PatternEditsAndShows) {
    make({}, {"phrase.4.type=3", "phrase.4.pattern-mode=3"});
    writeBytes(dir / "card" / "_WQP0004.PHR", emptyFile(PatternKind::Pattern7000));
    const auto set = runWqe({"pattern", card, "4", "--set", "1=A0012,80%,01.5s", "--set", "2=b3",
                             "--set", "128=A1000,7", "--set", "3=A2,,59.9"});
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.err, "");  // an interrupt phrase is set: RANDOM3 stays

    const auto show = runWqe({"pattern", card, "4", "--lang", "en"});
    ASSERT_EQ(show.status, 0) << show.err;
    EXPECT_EQ(rows(show.out), 129);
    EXPECT_TRUE(
        show.out.starts_with("No.\tPhrase\tVolume\tInterval\n1\tA0012\t80%\t01.5s\n"
                             "2\tB0003\t100%\t00.0s\n3\tA0002\t100%\t59.9s\n"
                             "4\t-----\t----\t00.0s\n"))
        << show.out;
    EXPECT_TRUE(show.out.ends_with("\n128\tA1000\t7%\t-----\n"));

    // Emptying the only interrupt step corrects RANDOM3 to RANDOM1.
    const auto clear = runWqe({"pattern", card, "4", "--set", "128=-"});
    ASSERT_EQ(clear.status, 0) << clear.err;
    EXPECT_EQ(
        clear.err,
        "Since an interrupt phrase was not chosen,\npattern settings were corrected to random1.\n");
    EXPECT_EQ(runWqe({"get", card, "phrase.4.pattern-mode"}).out, "phrase.4.pattern-mode=1\n");
}

TEST_F(CliPattern, SongsAreStoredSorted) {
    make({}, {"mtc-type=3", "phrase.2.type=4"});
    writeBytes(dir / "card" / "_WQP0002.PHR", emptyFile(PatternKind::Song));
    const auto set = runWqe({"pattern", card, "2", "--set", "1=A0001,00h00m05s00f", "--set",
                             "2=B0001,00h00m01s12f", "--set", "3=stop"});
    ASSERT_EQ(set.status, 0) << set.err;
    const auto show = runWqe({"pattern", card, "2"}, "", {"WQE_LANG=ja"}).out;
    EXPECT_EQ(rows(show), 101);
    EXPECT_TRUE(
        show.starts_with("No.\tﾌﾚｰｽﾞ\tｽﾀｰﾄ\n1\tB0001\t00h00m01s12f\n2\tA0001\t00h00m05s00f\n"
                         "3\tｽﾄｯﾌﾟ\t00h00m00s00f\n4\t-----\t00h00m00s00f\n"))
        << show;
}

TEST_F(CliPattern, Refusals) {
    make({}, {"phrase.1.type=3", "phrase.2.type=3", "phrase.4.type=3"});
    writeBytes(dir / "card" / "_WQP0002.PHR", emptyFile(PatternKind::Song));
    writeBytes(dir / "card" / "_WQP0004.PHR", emptyFile(PatternKind::Pattern7000));
    const Bytes untouched = readBytes(dir / "card" / "_WQP0004.PHR");
    const std::tuple<std::vector<std::string>, int, const char*> cases[] = {
        {{"1"}, 2, "There is no data file of pattern phrase."},
        {{"2"}, 2, "The data file of pattern phrase is wrong."},
        {{"251"}, 1, "outside 1..250"},
        {{"4", "--set", "101=A1"}, 1, "the step must lie in 1..100"},
        {{"4", "--set", "1=C1"}, 1, "'C1' is no phrase"},
        {{"4", "--set", "1=A1,50,60.0"}, 1, "the interval '60.0' is not 0.0..59.9 seconds"},
        {{"4", "--set", "1=A1,50,1.0,9"}, 1, "a step takes REF[,VOLUME][,INTERVAL]"},
    };
    for (const auto& [cargs, status, message] : cases) {
        std::vector<std::string> a = {"pattern", card};
        a.insert(a.end(), cargs.begin(), cargs.end());
        const auto r = runWqe(a);
        EXPECT_EQ(r.status, status) << cargs[0] << ' ' << r.err;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    }
    // Nothing was written by a refused edit.
    EXPECT_EQ(readBytes(dir / "card" / "_WQP0004.PHR"), untouched);
}

}  // namespace
}  // namespace wqe::test
