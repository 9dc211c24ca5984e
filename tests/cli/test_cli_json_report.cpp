// wqe export / apply / diff / report as a user runs them on the demo card:
// the JSON round trip onto a fresh card, refused files that leave the card's
// bytes alone, the line-per-field comparison with diff's exit statuses, and
// the report as text (against tests/data/report) and as PDF.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <regex>

#include "support/CliRunner.h"

namespace wqe::test {
namespace {

namespace fs = std::filesystem;

class CliJson : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        demoDir = std::make_unique<TempDir>();
        ASSERT_EQ(runWqe({"demo", (*demoDir / "demo").string()}).status, 0);
    }
    static void TearDownTestSuite() { demoDir.reset(); }

    // A fresh copy of the demo card.
    std::string demoCopy(const std::string& name) {
        const fs::path to = dir / name;
        fs::copy(*demoDir / "demo", to, fs::copy_options::recursive);
        return to.string();
    }
    std::string exportOf(const std::string& card) {
        const auto r = runWqe({"export", card});
        EXPECT_EQ(r.status, 0) << r.err;
        return r.out;
    }
    std::string writeJson(const std::string& name, const std::string& text) {
        writeText(dir / name, text);
        return (dir / name).string();
    }
    static std::vector<std::vector<std::uint8_t>> cardBytes(const std::string& card) {
        std::vector<std::vector<std::uint8_t>> files;
        for (const char* f : {"_WQ7TSYS.CNF", "_WQ7TPHR.CNF", "WQE_MEMO.TXT"})
            files.push_back(readBytes(fs::path(card) / f));
        return files;
    }

    static inline std::unique_ptr<TempDir> demoDir;
    TempDir dir;
};

TEST_F(CliJson, ExportApplyOntoANewCardExportsTheSameJson) {
    // The demo card, and a WQ-5000 card with texts that need CP932 and escapes.
    const std::string w5 = (dir / "w5").string();
    ASSERT_EQ(runWqe({"new", w5, "--model", "5000", "--phrases", "500"}).status, 0);
    ASSERT_EQ(runWqe({"set", w5, "card-name=ｼｮｯﾌﾟ", "phrase.7.used=1", "phrase.7.name=漢字\\tA",
                      "phrase.7.memo=a:\"b\"", "phrase.9.memo=memo only", "memo=x\\\\y\\nz",
                      "direct-play=PLAY,B1,none,4,5,6,7,8,9,10,11,12,13,14,15,16"})
                  .status,
              0);
    const std::tuple<std::string, std::vector<std::string>> cases[] = {
        {demoCopy("demo"), {"new", (dir / "to-demo").string()}},
        {w5, {"new", (dir / "to-w5").string(), "--model", "5000", "--phrases", "500"}},
    };
    for (const auto& [from, makeTarget] : cases) {
        const std::string json = exportOf(from);
        ASSERT_EQ(runWqe(makeTarget).status, 0);
        const std::string target = makeTarget[1];
        const auto applied = runWqe({"apply", target, writeJson("card.json", json)});
        ASSERT_EQ(applied.status, 0) << applied.err;
        EXPECT_EQ(exportOf(target), json) << from;
    }
    const std::string w5json = exportOf(w5);
    EXPECT_NE(w5json.find(R"("name": "漢字\tA     ")"), std::string::npos) << w5json;
    EXPECT_NE(w5json.find(R"("9": {)"), std::string::npos);  // an unused slot with a memo
    EXPECT_NE(w5json.find(R"("memo": "x\\y\nz\n")"), std::string::npos);
}

TEST_F(CliJson, ApplyRefusesBadFilesAndWritesNothing) {
    const std::string card = demoCopy("card");
    const auto before = cardBytes(card);
    const auto withSystem = [](const std::string& fields) {
        return R"({"model": "WQ-7000", "system": {"card-name": "CHANGED ", )" + fields + "}}";
    };
    const auto withPhrases = [](const std::string& phrases) {
        return R"({"model": "WQ-7000", "system": {"card-name": "CHANGED "}, "phrases": )" +
               phrases + "}";
    };
    const std::pair<std::string, std::string> cases[] = {
        {"{\"model\": ", "not valid JSON"},
        {R"({"system": {}})", "/model: missing"},
        {R"({"model": "WQ-5000"})", "/model: the card is a WQ-7000 card"},
        {R"({"model": "WQ-7000", "colour": 1})", "/colour: unknown key"},
        {withSystem(R"("busy-out-code": 1)"), "/system/busy-out-code: a WQ-7000 card has no"},
        {withSystem(R"("eq-low-gain": "12")"), "/system/eq-low-gain: expected a whole number"},
        {withSystem(R"("memo": "a", "card-name": "NINECHARS")"), "/system/card-name: 9 bytes"},
        {withSystem(R"("phrase-count-code": 1)"), "/system/phrase-count-code: 1 means 500"},
        {withPhrases(R"({"251": {"volume": 5}})"), "/phrases/251: the phrase number must lie"},
        {withPhrases(R"({"1": {"volume": -1}})"), "/phrases/1/volume: '-1' is outside 0..100"},
        {withPhrases(R"({"1": {"memo": "two\nlines"}})"), "/phrases/1/memo: a phrase memo is"},
    };
    for (const auto& [json, message] : cases) {
        const auto r = runWqe({"apply", card, writeJson("card.json", json)});
        EXPECT_EQ(r.status, 2) << json;
        EXPECT_NE(r.err.find(message), std::string::npos) << json << "\n" << r.err;
        EXPECT_EQ(cardBytes(card), before) << json;
    }
    // Every problem of a file is reported, not only the first.
    const auto many = runWqe(
        {"apply", card, writeJson("card.json", withSystem(R"("mtc-type": 9, "rx-panpot": 2)"))});
    EXPECT_NE(many.err.find("/system/mtc-type"), std::string::npos) << many.err;
    EXPECT_NE(many.err.find("/system/rx-panpot"), std::string::npos) << many.err;
    EXPECT_EQ(cardBytes(card), before);
}

TEST_F(CliJson, DryRunPrintsTheChangesAndApplyStoresThem) {
    const std::string card = demoCopy("card");
    const auto before = cardBytes(card);
    const std::string json = writeJson(
        "edit.json", R"({"model": "WQ-7000", "system": {"eq-low-gain": 12, "card-name": "SHOP"},)"
                     R"( "phrases": {"2": {"volume": 80, "memo": "quiet"}}})");
    const std::string changes =
        "card-name: \"DEMOCARD\" → \"SHOP    \"\n"
        "phrase.2.volume: 100 → 80\n"
        "phrase.2.memo: \"Chime stored as WAV at 44.1 kHz stereo\" → \"quiet\"\n";
    const auto dry = runWqe({"apply", card, json, "--dry-run"});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(dry.out, changes);
    EXPECT_EQ(cardBytes(card), before);

    const auto applied = runWqe({"apply", card, json});
    EXPECT_EQ(applied.status, 0) << applied.err;
    EXPECT_EQ(applied.out, changes);
    // Applying it again changes nothing and writes nothing.
    const auto after = cardBytes(card);
    const auto again = runWqe({"apply", card, json});
    EXPECT_EQ(again.out, "");
    EXPECT_EQ(cardBytes(card), after);
}

TEST_F(CliJson, DiffPrintsOneLinePerChangedField) {
    const std::string a = demoCopy("a");
    const std::string exported = writeJson("a.json", exportOf(a));
    const std::string b = demoCopy("b");
    ASSERT_EQ(runWqe({"set", b, "phrase.1.volume=80"}).status, 0);
    const std::string c = demoCopy("c");
    ASSERT_EQ(runWqe({"set", c, "eq-switch=1", "phrase.3.name=LAST ONE",
                      "direct-play=0,1,2,7,4,5,6,7,8,9,10,11,12,13,14,15"})
                  .status,
              0);

    const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
        {{a, exported}, 0, ""},
        {{a, c},
         1,
         "direct-play[3]: 3 → 7\neq-switch: 0 → 1\n"
         "phrase.3.name: \"BOTH CHIMES \" → \"LAST ONE    \"\n"},
        // Every failure is status 2, as diff's.
        {{a, exported, "--data"}, 2, ""},
        {{a, b, "--colour"}, 2, ""},
    };
    for (const auto& [args, status, out] : cases) {
        std::vector<std::string> argv = {"diff"};
        argv.insert(argv.end(), args.begin(), args.end());
        const auto r = runWqe(argv);
        EXPECT_EQ(r.status, status) << args[1] << r.err;
        EXPECT_EQ(r.out, out) << args[1];
    }

    // Data files by content: one changed byte, one file missing.
    auto bytes = readBytes(fs::path(b) / "_WQP0001.PHR");
    bytes.back() ^= 1;
    writeBytes(fs::path(b) / "_WQP0001.PHR", bytes);
    fs::remove(fs::path(b) / "_WQP0003.PHR");
    const auto data = runWqe({"diff", a, b, "--data"});
    EXPECT_EQ(data.status, 1);
    const std::string size1 = std::to_string(bytes.size()) + " bytes";
    const std::string size3 =
        std::to_string(fs::file_size(fs::path(a) / "_WQP0003.PHR")) + " bytes";
    EXPECT_EQ(data.out, "phrase.1.volume: 100 → 80\n_WQP0001.PHR: content differs (" + size1 +
                            " → " + size1 + ")\n_WQP0003.PHR: " + size3 + " → (absent)\n");
}

// The schema in the repository is the one the field tables give.
TEST(CliJsonSchema, RepositoryCopyMatchesTheFieldTables) {
    const auto schema = runWqe({"schema"});
    ASSERT_EQ(schema.status, 0);
    EXPECT_EQ(readText(fs::path(WQE_TEST_DATA) / "../../schema/wqe-card.schema.json"), schema.out)
        << "refresh it: wqe schema > schema/wqe-card.schema.json";
}

class CliReport : public CliJson {
protected:
    void SetUp() override { card = demoCopy("demo"); }

    // The card's folder differs from run to run: the golden files say CARD,
    // and the blanks between the footer's path and page number are one.
    std::string withoutFolder(std::string text) const {
        for (std::size_t at; (at = text.find(card)) != std::string::npos;)
            text.replace(at, card.size(), "CARD");
        return std::regex_replace(text, std::regex("(_WQ7TSYS\\.CNF) +Page"), "$1 Page");
    }

    std::string card;
};

// Page count as pdfinfo (poppler-utils) reads it; -1 when it cannot.
int pdfPages(const std::string& path) {
    const std::string command = "pdfinfo '" + path + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    std::string out;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) out += buffer;
    pclose(pipe);
    const auto at = out.find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(out.c_str() + at + 6);
}

TEST_F(CliReport, DemoCardAsTextInBothLanguages) {
    for (const char* lang : {"en", "ja"}) {
        const auto r = runWqe({"report", card, "--text", "--lang", lang});
        ASSERT_EQ(r.status, 0) << r.err;
        const std::string golden = std::string(WQE_TEST_DATA) + "/report/demo_" + lang + ".txt";
        EXPECT_EQ(withoutFolder(r.out), readText(golden)) << lang;
    }
    // --kind picks the pages: the system kind is the first three pages. The
    // pages of each kind are the view's; the phrase kind is the PDF test's.
    const auto all = runWqe({"report", card, "--text", "--lang", "en"});
    const auto system = runWqe({"report", card, "--text", "--lang", "en", "--kind", "system"});
    ASSERT_EQ(system.status, 0);
    EXPECT_EQ(all.out.rfind(system.out + "\f", 0), 0u);
}

TEST_F(CliReport, PdfWithTheExpectedPages) {
    if (std::system("command -v pdfinfo >/dev/null 2>&1") != 0)
        GTEST_SKIP()
            << "pdfinfo (poppler-utils) is not installed; scripts/install-deps installs it";
    // The demo card holds three phrases: one phrase page.
    for (auto [kind, lang, pages] : {std::tuple{"all", "ja", 4}, {"phrase", "en", 1}}) {
        const std::string out = (dir / (std::string(kind) + lang + ".pdf")).string();
        const auto r = runWqe({"report", card, "--kind", kind, "--lang", lang, "--pdf", out});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(pdfPages(out), pages) << kind << " " << lang;
    }
}

TEST_F(CliReport, Errors) {
    const std::string missingFolder = (dir / "no" / "such" / "out.pdf").string();
    const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
        {{"report", card}, 1, "--text"},
        {{"report", card, "--text", "--kind", "pages"}, 1, "--kind takes all, system or phrase"},
        {{"report", card, "--pdf", missingFolder}, 2, missingFolder.c_str()},
    };
    for (const auto& [args, status, errPart] : cases) {
        const auto r = runWqe(args);
        EXPECT_EQ(r.status, status) << args.back() << r.err;
        EXPECT_NE(r.err.find(errPart), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    // A failed export leaves an existing file as it was.
    const std::string old = (dir / "old.pdf").string();
    writeText(old, "old");
    const auto r = runWqe({"report", (dir / "nothing").string(), "--pdf", old});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(readText(old), "old");
}

}  // namespace
}  // namespace wqe::test
