// wqe info / get / set / new / list / phrase / pattern as a user runs them:
// output formats, errors and exit statuses, and what reaches the disk. A
// save is the document's, whose faults and stale temporaries are pinned in
// tests/card and tests/base; where pattern steps land in their file is
// pinned by tests/card/test_phrase_prm.cpp and the step texts by tests/view.
#include <gtest/gtest.h>

#include <algorithm>

#include "card/PatternFile.h"
#include "support/CliRunner.h"

namespace wqe::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// An empty data file of a kind; its layout is pinned in tests/card.
Bytes emptyFile(PatternKind kind) { return patternFileBytes(PatternData(kind)); }

// A card made by wqe new with `args`, then wqe set with `fields`.
class CliFixture : public ::testing::Test {
protected:
    void make(std::vector<std::string> args = {}, std::vector<std::string> fields = {}) {
        args.insert(args.begin(), {"new", card});
        ASSERT_EQ(runWqe(args).status, 0);
        fields.insert(fields.begin(), {"set", card});
        if (fields.size() > 2) {
            ASSERT_EQ(runWqe(fields).status, 0);
        }
    }
    TempDir dir;
    std::string card = (dir / "card").string();
};

class CliCard : public CliFixture {
    void SetUp() override { make(); }
};
class CliList : public CliFixture {};
class CliPattern : public CliFixture {};

TEST_F(CliCard, InfoAndGet) {
    const auto info = runWqe({"info", card + "/_WQ7TSYS.CNF"});
    EXPECT_EQ(info.status, 0);
    EXPECT_NE(info.out.find("phrases: 250\nused phrases: 0\n"), std::string::npos);

    const auto all = runWqe({"get", card});
    EXPECT_EQ(all.status, 0);
    EXPECT_TRUE(all.out.starts_with("phrase-count-code=0\ncard-name=WQ-7000 \ncard-protect=0\n"));
    EXPECT_EQ(all.out.find("phrase."), std::string::npos);

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

// Broken card files are the corpus's (test_cli_files.cpp), and the field
// refusals set shares with apply are the JSON test's; here the commands' own
// refusals and usage errors, which write nothing.
TEST_F(CliCard, RefusalsAndUsageErrorsWriteNothing) {
    const auto before = readBytes(std::filesystem::path(card) / "_WQ7TSYS.CNF");
    const std::tuple<std::vector<std::string>, int, const char*> cases[] = {
        {{"set", card, "line-thru-fade-in=600"}, 2, "line-thru-fade-in"},
        {{"set", card, "baud-rate=1", "mtc-type=x"}, 2, "not a number"},
        {{"set", card, "baud-rate"}, 1, "FIELD=VALUE"},
        // 250 records on the card: 1000 slots would read past them.
        {{"set", card, "phrase-count-code=2"}, 2, "settings file holds 250 records"},
        {{"info", (dir / "nowhere").string()}, 2, "nowhere: no such card folder or file"},
        {{"new", card}, 2, "already holds a card"},
        {{"new", (dir / "x").string(), "--model", "5000", "--phrases", "1000"}, 1, "--phrases"},
    };
    for (const auto& [args, status, message] : cases) {
        const auto r = runWqe(args);
        EXPECT_EQ(r.status, status) << args.back() << ": " << r.err;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_EQ(readBytes(std::filesystem::path(card) / "_WQ7TSYS.CNF"), before) << args.back();
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
    EXPECT_EQ(runWqe({"set", card, "card-name=NEW", "--yes"}).status, 0);
    EXPECT_EQ(runWqe({"get", card, "card-name"}).out, "card-name=NEW     \n");
}

// The cells are the phrase list's (tests/view); here the tab-separated
// lines, the --used filter and the one escaper: a backslash typed by the
// user and an escaped tab stay distinct.
TEST_F(CliList, UsedRowsAsTsv) {
    make({}, {"phrase.1.type=1", R"(phrase.1.memo=Lobby\\t\tdoor)", "phrase.3.type=2"});
    const auto r = runWqe({"list", card, "--used", "--lang", "en"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 3);
    EXPECT_TRUE(r.out.starts_with("No.\t NAME    \tTYPE\t  TIME  \tKPAC Grade\t")) << r.out;
    EXPECT_NE(r.out.find("\t"
                         R"(Lobby\\t\tdoor)"
                         "\n0003\t            \tMIDI \t"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(runWqe({"get", card, "phrase.1.memo"}).out, R"(phrase.1.memo=Lobby\\t\tdoor)"
                                                          "\n");
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\t'), 3 * 21);
    EXPECT_EQ(r.err, "");
}

TEST_F(CliList, AllRowsLanguagesAndJson) {
    make({"--model", "5000", "--phrases", "500"},
         {"phrase.2.used=1", "phrase.2.midi-flag=1", "phrase.2.name=MIDI",
          "phrase.2.memo=say \"hi\""});
    const auto all = runWqe({"list", card}, "", {"WQE_LANG=en"});
    ASSERT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(std::count(all.out.begin(), all.out.end(), '\n'), 501);
    EXPECT_NE(all.out.find("\n0500\t---\t"), std::string::npos);

    const auto ja = runWqe({"list", card, "--used"}, "", {"WQE_LANG=ja"});
    EXPECT_TRUE(ja.out.starts_with("No.\t ﾌﾚｰｽﾞ名  \tﾌﾚｰｽﾞﾀｲﾌﾟ\t 再生時間\t")) << ja.out;
    // --lang wins over the environment.
    EXPECT_TRUE(runWqe({"list", card, "--used", "--lang=en"}, "", {"WQE_LANG=ja"})
                    .out.starts_with("No.\t NAME "));

    const auto json = runWqe({"list", card, "--used", "--format", "json", "--lang", "en"});
    ASSERT_EQ(json.status, 0) << json.err;
    // The cells are the list's; here the JSON around them and its escapes.
    EXPECT_TRUE(json.out.starts_with("[\n  {\"No.\": \"0002\", \" NAME    \": \"MIDI       \", "))
        << json.out;
    EXPECT_TRUE(json.out.ends_with(", \"Memo\": \"say \\\"hi\\\"\"}\n]\n")) << json.out;
}

TEST_F(CliList, EmptySelectionAndErrors) {
    make({}, {});
    EXPECT_EQ(runWqe({"list", card, "--used", "--format", "json"}).out, "[]\n");
    const std::tuple<std::vector<std::string>, int, const char*> cases[] = {
        {{"list", card, "--format", "csv"}, 1, "--format takes tsv or json"},
        {{"list", (dir / "nothing").string()}, 2, "nothing"},
    };
    for (const auto& [cargs, status, message] : cases) {
        const auto r = runWqe(cargs);
        EXPECT_EQ(r.status, status) << r.err;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

// The File Information lines are the phrase dialog's; here how wqe phrase
// prints them (blank lines kept) and its errors.
TEST(CliPhrase, FileInformationLinesAndErrors) {
    TempDir dir;
    const std::string card = (dir / "demo").string();
    ASSERT_EQ(runWqe({"demo", card}).status, 0);
    const std::tuple<std::string, int, std::string, std::string> cases[] = {
        {"3", 0, "Phrase Type: Pattern Phrases\n\n\n\n\n", ""},
        {"4", 2, "", "phrase 4 is empty"},
        {"1001", 1, "", "phrase number"},
    };
    for (const auto& [number, status, out, errPart] : cases) {
        const CliResult r = runWqe({"phrase", card, number});
        EXPECT_EQ(r.status, status) << r.err;
        EXPECT_EQ(r.out, out);
        EXPECT_NE(r.err.find(errPart), std::string::npos) << r.err;
    }
}

TEST_F(CliPattern, Wq7000PatternEditsAndShows) {
    make({}, {"phrase.4.type=3", "phrase.4.pattern-mode=3"});
    writeBytes(dir / "card" / "_WQP0004.PHR", emptyFile(PatternKind::Pattern7000));
    const auto set = runWqe({"pattern", card, "4", "--set", "1=A0012,80%,01.5s", "--set", "2=b3",
                             "--set", "128=A1000,7", "--set", "3=A2,,59.9"});
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.err, "");  // an interrupt phrase is set: RANDOM3 stays

    const auto show = runWqe({"pattern", card, "4", "--lang", "en"});
    ASSERT_EQ(show.status, 0) << show.err;
    EXPECT_EQ(std::ranges::count(show.out, '\n'), 129);
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
    EXPECT_TRUE(
        show.starts_with("No.\tﾌﾚｰｽﾞ\tｽﾀｰﾄ\n1\tB0001\t00h00m01s12f\n2\tA0001\t00h00m05s00f\n"
                         "3\tｽﾄｯﾌﾟ\t00h00m00s00f\n4\t-----\t00h00m00s00f\n"))
        << show;
}

TEST_F(CliPattern, Refusals) {
    make({}, {"phrase.1.type=3", "phrase.4.type=3"});
    writeBytes(dir / "card" / "_WQP0004.PHR", emptyFile(PatternKind::Pattern7000));
    const Bytes untouched = readBytes(dir / "card" / "_WQP0004.PHR");
    const std::tuple<std::vector<std::string>, int, const char*> cases[] = {
        {{"1"}, 2, "There is no data file of pattern phrase."},
        {{"251"}, 1, "outside 1..250"},
        {{"4", "--set", "101=A1"}, 1, "the step must lie in 1..100"},
        {{"4", "--set", "1=C1"}, 1, "'C1' is no phrase"},
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
