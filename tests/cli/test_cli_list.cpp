// wqe list as a user runs it: exact rows, formats, languages and errors.
#include <gtest/gtest.h>

#include "support/CliRunner.h"

namespace wqe::test {
namespace {

class CliList : public ::testing::Test {
protected:
    void SetUp() override { card = (dir / "card").string(); }
    void make(const std::vector<std::string>& newArgs) {
        std::vector<std::string> a = {"new", card};
        a.insert(a.end(), newArgs.begin(), newArgs.end());
        ASSERT_EQ(runWqe(a).status, 0);
    }
    void set(const std::vector<std::string>& fields) {
        std::vector<std::string> a = {"set", card};
        a.insert(a.end(), fields.begin(), fields.end());
        const auto r = runWqe(a);
        ASSERT_EQ(r.status, 0) << r.err;
    }
    TempDir dir;
    std::string card;
};

TEST_F(CliList, UsedRowsAsTsv) {
    make({});
    set({"mtc-type=3", "phrase.1.type=1", "phrase.1.name=WELCOME     ", "phrase.1.recording-type=1",
         "phrase.1.length=5000", "phrase.1.volume=80", "phrase.1.delay=1500",
         "phrase.1.end-point=5000", "phrase.1.loop-switch=1", "phrase.1.memo=Lobby\\tdoor",
         "phrase.3.type=2", "phrase.3.tempo=115"});
    const auto r = runWqe({"list", card, "--used", "--lang", "en"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(
        r.out,
        "No.\t NAME    \tTYPE\t  TIME  \tKPAC Grade\tKPAC MODE\tRec Type\tVolume\tDelay\tStart "
        "Point\t"
        "End Point\tLoop\tLoop 1\tLoop 2\tFade In\tFade "
        "Out\tRepeat\tInterval\tControl\tPattern\tTemp\tMemo\n"
        "0001\tWELCOME     \tAUDIO\t00:00:10.0s\tANNOUNCE\tLINEAR  \tSTEREO\t80%\t01s12f\t"
        "00h00m00s00f00sf\t00h00m10s00f00sf\tENDLESS\t00h00m00s00f00sf\t00h00m00s00f00sf\t OFF  \t "
        "OFF  \t"
        " OFF  \t00m00s\t OFF  \t---   \t---   \tLobby\\tdoor\n"
        "0003\t            \tMIDI \t---        \t---     \t---     \t---   \t--- \t00s00f\t"
        "---             \t---             \t---  \t---             \t---             \t---    \t"
        "---    \t OFF  \t00m00s\t OFF  \t---   \t120\t\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(CliList, AllRowsLanguagesAndJson) {
    make({"--model", "5000", "--phrases", "500"});
    set({"phrase.2.used=1", "phrase.2.midi-flag=1", "phrase.2.name=MIDI",
         "phrase.2.memo=say \"hi\""});
    const auto all = runWqe({"list", card}, "", {"WQE_LANG=en"});
    ASSERT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(std::count(all.out.begin(), all.out.end(), '\n'), 501);
    EXPECT_NE(
        all.out.find("\n0001\t---\t---\t---\t---\t---\t---\t---\t---\t---\t---\t---\t---\t---\n"),
        std::string::npos);
    EXPECT_TRUE(all.out.ends_with(
        "\n0500\t---\t---\t---\t---\t---\t---\t---\t---\t---\t---\t---\t---\t---\n"));

    const auto ja = runWqe({"list", card, "--used"}, "", {"WQE_LANG=ja"});
    EXPECT_TRUE(ja.out.starts_with("No.\t ﾌﾚｰｽﾞ名  \tﾌﾚｰｽﾞﾀｲﾌﾟ\t 再生時間\t")) << ja.out;
    EXPECT_NE(ja.out.find("\t ｵﾌ   \t ｵﾌ   \t---   \t120   \tsay \"hi\"\n"), std::string::npos)
        << ja.out;
    // --lang wins over the environment.
    EXPECT_TRUE(runWqe({"list", card, "--used", "--lang=en"}, "", {"WQE_LANG=ja"})
                    .out.starts_with("No.\t NAME "));

    const auto json = runWqe({"list", card, "--used", "--format", "json", "--lang", "en"});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(
        json.out,
        "[\n  {\"No.\": \"0002\", \" NAME    \": \"MIDI       \", \"TYPE\": \"MIDI \", \"  TIME  "
        "\": \"---        \", "
        "\"KPAC Grade\": \"---     \", \"KPAC MODE\": \"---   \", \"Rec Type\": \"---   \", "
        "\"Volume\": \"--- \", "
        "\"Delay\": \"00.0s\", \"Repeat\": \" OFF  \", \"Control\": \" OFF  \", \"Pattern\": "
        "\"---   \", "
        "\"Temp\": \"120   \", \"Memo\": \"say \\\"hi\\\"\"}\n]\n");
    EXPECT_EQ(
        runWqe({"list", card, "--used", "--format", "json"}, "", {"WQE_LANG=en"}).out.substr(0, 2),
        "[\n");
}

TEST_F(CliList, EmptySelectionAndErrors) {
    make({});
    EXPECT_EQ(runWqe({"list", card, "--used", "--format", "json"}).out, "[]\n");
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* err;
    };
    const Case cases[] = {
        {{"list", card, "--format", "csv"}, 1, "--format takes tsv or json"},
        {{"list", card, "--lang", "fr"}, 1, "--lang takes en or ja"},
        {{"list"}, 1, "missing arguments"},
        {{"list", (dir / "nothing").string()}, 2, "nothing"},
    };
    for (const Case& c : cases) {
        const auto r = runWqe(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

}  // namespace
}  // namespace wqe::test
