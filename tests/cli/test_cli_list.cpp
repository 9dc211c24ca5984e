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
    EXPECT_TRUE(all.out.ends_with(
        "\n0500\t---\t---\t---\t---\t---\t---\t---\t---\t---\t---\t---\t---\t---\n"));

    const auto ja = runWqe({"list", card, "--used"}, "", {"WQE_LANG=ja"});
    EXPECT_TRUE(ja.out.starts_with("No.\t ﾌﾚｰｽﾞ名  \tﾌﾚｰｽﾞﾀｲﾌﾟ\t 再生時間\t")) << ja.out;
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
    EXPECT_EQ(runWqe({"phrase", (dir / "none").string(), "1"}).status, 2);
}

}  // namespace
}  // namespace wqe::test
