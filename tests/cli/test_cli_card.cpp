// wqe info / get / set / new as a user runs them: output, errors and exit
// statuses, and what reaches the disk.
#include <gtest/gtest.h>
#include <signal.h>

#include <map>
#include <random>

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
    EXPECT_NE(info.out.find("card name: WQ-7000 \n"), std::string::npos);
    EXPECT_NE(info.out.find("phrases: 250\nused phrases: 0\n"), std::string::npos);

    const auto all = runWqe({"get", card});
    EXPECT_EQ(all.status, 0);
    EXPECT_TRUE(all.out.starts_with("phrase-count-code=0\ncard-name=WQ-7000 \ncard-protect=0\n"));
    EXPECT_EQ(all.out.find("busy-out-code"), std::string::npos);  // a WQ-5000 field
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
    // A double-byte character takes two of the eight bytes.
    ASSERT_EQ(runWqe({"set", card, "card-name=漢字"}).status, 0);
    EXPECT_EQ(runWqe({"get", card, "card-name"}).out, "card-name=漢字    \n");
}

TEST_F(CliCard, SetRefusesBadValuesAndWritesNothing) {
    const auto before = readBytes(std::filesystem::path(card) / "_WQ7TSYS.CNF");
    const std::tuple<std::vector<std::string>, int, const char*> cases[] = {
        {{"line-thru-fade-in=600"}, 2, "line-thru-fade-in"},
        {{"busy-out-code=1"}, 2, "WQ-7000 card has no such field"},
        {{"phrase.1.midi-flag=1"}, 2, "no phrase field 'midi-flag'"},
        {{"phrase.251.volume=5"}, 2, "1..250"},
        {{"card-name=NINECHARS"}, 2, "the field holds 8"},
        {{"card-name=€uro"}, 2, "CP932"},
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

// Broken card files are the corpus's (test_broken_inputs.cpp); here the
// commands' own usage errors.
TEST_F(CliCard, UsageErrorsAndMissingCards) {
    const std::tuple<std::vector<std::string>, int, const char*> cases[] = {
        {{"info", (dir / "nowhere").string()}, 2, "nowhere: no such card folder or file"},
        {{"info"}, 1, "usage: wqe info"},
        {{"frobnicate"}, 1, "unknown command"},
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

// Files that cannot be read are named with the reason, and nothing that
// could not be read is written over.
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

    std::filesystem::remove(std::filesystem::path(card) / "_WQ7TPHR.CNF");
    for (const char* cmd : {"info", "list"}) {
        r = runWqe({cmd, card});
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("_WQ7TPHR.CNF: cannot be opened: No such file or directory"),
                  std::string::npos)
            << r.err;
    }
    EXPECT_EQ(runWqe({"set", card, "card-name=OTHER"}).status, 2);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(card) / "_WQ7TPHR.CNF"));
}

// One escaper: a backslash typed by the user and an escaped tab differ.
TEST_F(CliCard, TextsWithBackslashesAndTabsStayDistinct) {
    const std::string demo = (dir / "demo").string();  // phrases 1 and 2 in use
    ASSERT_EQ(runWqe({"demo", demo}).status, 0);
    // Stored: the two characters \ and t; and a tab.
    ASSERT_EQ(runWqe({"set", demo, R"(phrase.1.memo=a\\tb)", R"(phrase.2.memo=a\tb)"}).status, 0);
    const auto get = runWqe({"get", demo, "phrase.1.memo", "phrase.2.memo"});
    EXPECT_EQ(get.out, R"(phrase.1.memo=a\\tb)"
                       "\n"
                       R"(phrase.2.memo=a\tb)"
                       "\n");
    const auto list = runWqe({"list", demo});
    EXPECT_NE(list.out.find(R"(a\\tb)"), std::string::npos) << list.out.substr(0, 400);
    EXPECT_NE(list.out.find(R"(a\tb)"), std::string::npos);
}

// A save killed at any moment leaves each card file with its old or its new
// content, and the next open removes the temporary files it left.
TEST_F(CliCard, ASaveKilledAtRandomMomentsLeavesOldOrNewFiles) {
    namespace sfs = std::filesystem;
    const std::vector<std::string> names = {"_WQ7TSYS.CNF", "_WQ7TPHR.CNF", "WQE_MEMO.TXT"};
    const std::vector<std::string> edit = {"set", card, "card-name=KILLED", "phrase.7.memo=new",
                                           "memo=new system memo"};
    std::map<std::string, std::string> before, after;
    for (const auto& n : names) before[n] = readText(sfs::path(card) / n);
    {
        TempDir probe;
        sfs::copy(card, probe.path(), sfs::copy_options::recursive);
        std::vector<std::string> args = edit;
        args[1] = probe.str();
        ASSERT_EQ(runWqe(args).status, 0);
        for (const auto& n : names) after[n] = readText(probe / n);
    }
    std::mt19937 random(7);
    int changed = 0;
    for (int run = 0; run < 30; ++run) {
        for (const auto& n : names) writeText(sfs::path(card) / n, before[n]);
        std::vector<std::string> argvStrings = {WQE_CLI_PATH};
        argvStrings.insert(argvStrings.end(), edit.begin(), edit.end());
        const pid_t pid = fork();
        if (pid == 0) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            std::vector<char*> argv;
            for (auto& a : argvStrings) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        usleep(std::uniform_int_distribution<useconds_t>(0, 100000)(random));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        for (const auto& n : names) {
            const std::string now = readText(sfs::path(card) / n);
            ASSERT_TRUE(now == before[n] || now == after[n]) << n << " in run " << run;
            changed += now != before[n];
        }
        ASSERT_EQ(runWqe({"info", card}).status, 0);  // opens, and removes stale files
        for (const auto& e : sfs::directory_iterator(card))
            EXPECT_FALSE(e.path().filename().string().starts_with(".wqe-")) << e.path();
    }
    RecordProperty("files found changed over all runs", changed);
}

// What the demo card holds is pinned by the demo reports (test_cli_report.cpp).
TEST(CliDemo, DemoCardLeavesOnlyItsOwnFiles) {
    TempDir dir;
    const std::string card = (dir / "demo").string();
    const auto made = runWqe({"demo", card});
    ASSERT_EQ(made.status, 0) << made.err;
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(card)) ++files;
    EXPECT_EQ(files, 6);
}

}  // namespace
}  // namespace wqe::test
