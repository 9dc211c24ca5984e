// wqe info / get / set / new as a user runs them: output, errors and exit
// statuses, and what reaches the disk. A save is the document's, whose faults
// and stale temporaries are pinned in tests/card and tests/base.
#include <gtest/gtest.h>

#include "support/CliRunner.h"

namespace wqe::test {
namespace {

class CliCard : public ::testing::Test {
protected:
    void SetUp() override {
        card = (dir / "card").string();
        ASSERT_EQ(runWqe({"new", card}).status, 0);
    }
    TempDir dir;
    std::string card;
};

TEST_F(CliCard, InfoAndGet) {
    const auto info = runWqe({"info", card + "/_WQ7TSYS.CNF"});
    EXPECT_EQ(info.status, 0);
    EXPECT_NE(info.out.find("phrases: 250\nused phrases: 0\n"), std::string::npos);

    const auto all = runWqe({"get", card});
    EXPECT_EQ(all.status, 0);
    EXPECT_TRUE(all.out.starts_with("phrase-count-code=0\ncard-name=WQ-7000 \ncard-protect=0\n"));
    EXPECT_EQ(all.out.find("phrase."), std::string::npos);
    EXPECT_TRUE(all.out.ends_with("display-sleep-time=30\nmemo=\\n\n"));

    const auto some = runWqe({"get", card, "phrase.1.volume", "phrase.250.name", "eq-low-gain"});
    EXPECT_EQ(some.out, "phrase.1.volume=100\nphrase.250.name=            \neq-low-gain=12\n");
}

TEST_F(CliCard, SetStoresTextsAndNumbersAndReadsBack) {
    std::string notes = "note-map=A0001";
    for (int i = 1; i < 128; ++i) notes += ",5";
    const auto set =
        runWqe({"set", card, "card-name=ｼｮｯﾌﾟ", "line-thru-fade-in=25", "phrase.3.name=OPEN\\tING",
                "phrase.3.memo=a:b", "memo=one\\ntwo\\\\", notes});
    ASSERT_EQ(set.status, 0) << set.err;
    const auto get = runWqe(
        {"get", card, "card-name", "line-thru-fade-in", "phrase.3.name", "phrase.3.memo", "memo"});
    EXPECT_EQ(
        get.out,
        "card-name=ｼｮｯﾌﾟ   \nline-thru-fade-in=25\nphrase.3.name=OPEN\\tING    \n"
        "phrase.3.memo=a:b\nmemo=one\\ntwo\\\\\\n\n");  // the memo's last line gains its line feed
    EXPECT_TRUE(runWqe({"get", card, "note-map"}).out.starts_with("note-map=0,5,5,"));
}

TEST_F(CliCard, SetRefusesBadValuesAndWritesNothing) {
    const auto before = readBytes(std::filesystem::path(card) / "_WQ7TSYS.CNF");
    const std::tuple<std::vector<std::string>, int, const char*> cases[] = {
        {{"line-thru-fade-in=600"}, 2, "line-thru-fade-in"},
        {{"busy-out-code=1"}, 2, "WQ-7000 card has no such field"},
        {{"phrase.251.volume=5"}, 2, "1..250"},
        {{"card-name=NINECHARS"}, 2, "the field holds 8"},
        {{"baud-rate=1", "mtc-type=x"}, 2, "not a number"},
        {{"baud-rate"}, 1, "FIELD=VALUE"},
        // 250 records on the card: 1000 slots would read past them.
        {{"phrase-count-code=2"}, 2, "settings file holds 250 records"},
    };
    for (const auto& [cargs, status, message] : cases) {
        std::vector<std::string> args = {"set", card};
        args.insert(args.end(), cargs.begin(), cargs.end());
        const auto r = runWqe(args);
        EXPECT_EQ(r.status, status) << cargs[0] << ": " << r.err;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_EQ(readBytes(std::filesystem::path(card) / "_WQ7TSYS.CNF"), before) << cargs[0];
    }
}

// Broken card files are the corpus's (test_cli_maintenance.cpp); here the
// commands' own usage errors.
TEST_F(CliCard, UsageErrorsAndMissingCards) {
    const std::tuple<std::vector<std::string>, int, const char*> cases[] = {
        {{"info", (dir / "nowhere").string()}, 2, "nowhere: no such card folder or file"},
        {{"info"}, 1, "usage: wqe info"},
        {{"new", card}, 2, "already holds a card"},
        {{"new", (dir / "x").string(), "--model", "5000", "--phrases", "1000"}, 1, "--phrases"},
    };
    for (const auto& [cargs, status, message] : cases) {
        const auto r = runWqe(cargs);
        EXPECT_EQ(r.status, status) << r.err;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    }
    EXPECT_NE(runWqe({"set", "--help"}).out.find("usage: wqe set"), std::string::npos);
}

// A memo file the editor does not understand is named and kept until --yes;
// missing card files are the document's and the corpus's.
TEST_F(CliCard, UnreadableAndForeignFilesAreNamedAndKept) {
    const std::string memo = "notes of my own\n";
    writeText(std::filesystem::path(card) / "WQE_MEMO.TXT", memo);
    auto r = runWqe({"set", card, "card-name=NEW"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("WQE_MEMO.TXT"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("--yes"), std::string::npos) << r.err;
    EXPECT_EQ(readText(std::filesystem::path(card) / "WQE_MEMO.TXT"), memo);
    EXPECT_EQ(runWqe({"get", card, "card-name"}).out, "card-name=WQ-7000 \n");
    EXPECT_EQ(runWqe({"set", card, "card-name=NEW", "--yes"}).status, 0);
    EXPECT_EQ(runWqe({"get", card, "card-name"}).out, "card-name=NEW     \n");
}

}  // namespace
}  // namespace wqe::test
