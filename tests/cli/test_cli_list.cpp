// wqe list and wqe phrase as a user runs them: exact rows, formats,
// languages and errors.
#include <gtest/gtest.h>

#include "support/CliRunner.h"

namespace wqe::test {
namespace {

class CliList : public ::testing::Test {
protected:
    void make(std::vector<std::string> args, std::vector<std::string> fields) {
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

TEST_F(CliList, UsedRowsAsTsv) {
    make({}, {"mtc-type=3", "phrase.1.type=1", "phrase.1.name=WELCOME     ",
              "phrase.1.recording-type=1", "phrase.1.length=5000", "phrase.1.volume=80",
              "phrase.1.delay=1500", "phrase.1.end-point=5000", "phrase.1.loop-switch=1",
              "phrase.1.memo=Lobby\\tdoor", "phrase.3.type=2", "phrase.3.tempo=115"});
    const auto r = runWqe({"list", card, "--used", "--lang", "en"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "No.\t NAME    \tTYPE\t  TIME  \tKPAC Grade\tKPAC MODE\tRec Type\tVolume\tDelay\t"
              "Start Point\tEnd Point\tLoop\tLoop 1\tLoop 2\tFade In\tFade Out\tRepeat\t"
              "Interval\tControl\tPattern\tTemp\tMemo\n"
              "0001\tWELCOME     \tAUDIO\t00:00:10.0s\tANNOUNCE\tLINEAR  \tSTEREO\t80%\t01s12f\t"
              "00h00m00s00f00sf\t00h00m10s00f00sf\tENDLESS\t00h00m00s00f00sf\t"
              "00h00m00s00f00sf\t OFF  \t OFF  \t OFF  \t00m00s\t OFF  \t---   \t---   \t"
              "Lobby\\tdoor\n"
              "0003\t            \tMIDI \t---        \t---     \t---     \t---   \t--- \t"
              "00s00f\t---             \t---             \t---  \t---             \t"
              "---             \t---    \t---    \t OFF  \t00m00s\t OFF  \t---   \t120\t\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(CliList, AllRowsLanguagesAndJson) {
    make({"--model", "5000", "--phrases", "500"},
         {"phrase.2.used=1", "phrase.2.midi-flag=1", "phrase.2.name=MIDI",
          "phrase.2.memo=say \"hi\""});
    const auto all = runWqe({"list", card}, "", {"WQE_LANG=en"});
    ASSERT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(std::count(all.out.begin(), all.out.end(), '\n'), 501);
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
        "[\n  {\"No.\": \"0002\", \" NAME    \": \"MIDI       \", \"TYPE\": \"MIDI \", "
        "\"  TIME  \": \"---        \", \"KPAC Grade\": \"---     \", \"KPAC MODE\": \"---   \", "
        "\"Rec Type\": \"---   \", \"Volume\": \"--- \", \"Delay\": \"00.0s\", "
        "\"Repeat\": \" OFF  \", \"Control\": \" OFF  \", \"Pattern\": \"---   \", "
        "\"Temp\": \"120   \", \"Memo\": \"say \\\"hi\\\"\"}\n]\n");
}

TEST_F(CliList, EmptySelectionAndErrors) {
    make({}, {});
    EXPECT_EQ(runWqe({"list", card, "--used", "--format", "json"}).out, "[]\n");
    const std::tuple<std::vector<std::string>, int, const char*> cases[] = {
        {{"list", card, "--format", "csv"}, 1, "--format takes tsv or json"},
        {{"list", card, "--lang", "fr"}, 1, "--lang takes en or ja"},
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
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out;
        std::string errPart;
    };
    const Case cases[] = {
        {{"phrase", card, "2", "--lang", "ja"},
         0,
         "Phrase Type: Audio Phrase\nKPAC Grade： HIGH(44.1kHz)\nKPAC Mode： WAV\n"
         "Recording Type: STEREO\nPlayback Time: 00:00:01(sec)\n",
         ""},
        {{"phrase", card, "3"}, 0, "Phrase Type: Pattern Phrases\n\n\n\n\n", ""},
        {{"phrase", card, "4"}, 2, "", "phrase 4 is empty"},
        {{"phrase", card, "1001"}, 1, "", "phrase number"},
        {{"phrase", (dir / "none").string(), "1"}, 2, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.back());
        const CliResult r = runWqe(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(r.out, c.out);
        EXPECT_NE(r.err.find(c.errPart), std::string::npos) << r.err;
    }
}

}  // namespace
}  // namespace wqe::test
