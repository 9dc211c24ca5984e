// The broken-input corpus (tests/data/broken): every case through wqe as a
// user would run it. Each must fail with its status and message and leave
// every byte of its folder as it was.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "maintenance/CardFixture.h"
#include "support/CliRunner.h"

namespace wqe {
namespace {

namespace fs = std::filesystem;
using namespace wqe::test;

const fs::path kCorpus = fs::path(WQE_TEST_DATA) / "broken";

struct BrokenCase {
    std::string name, setup, arguments, message;
    int status = 0;
};

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, separator);)
        if (!part.empty()) parts.push_back(part);
    return parts;
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

std::vector<BrokenCase> readCases() {
    std::vector<BrokenCase> cases;
    std::ifstream in(kCorpus / "cases.tsv");
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> f;
        std::stringstream fields(line);
        for (std::string field; std::getline(fields, field, '\t');) f.push_back(field);
        if (f.size() != 5) throw std::runtime_error("cases.tsv: bad line: " + line);
        cases.push_back({f[0], f[1], f[2], replaceAll(f[4], "\\n", "\n"), std::stoi(f[3])});
    }
    return cases;
}

// The case's work folder: a fresh card when the setup asks for one, then the
// case's own files copied over it.
void prepare(const BrokenCase& c, const fs::path& work) {
    const std::vector<std::string> setup = split(c.setup, ' ');
    if (setup.at(0) != "none") {
        std::vector<std::string> args = {"new", (work / "card").string()};
        if (setup[0] == "card5") args.insert(args.end(), {"--model", "5000"});
        ASSERT_EQ(runWqe(args).status, 0);
        for (std::size_t k = 1; k < setup.size(); ++k)
            fs::remove(work / "card" / setup[k].substr(1));
    }
    const fs::path from = kCorpus / c.name;
    for (const auto& e : fs::recursive_directory_iterator(from)) {
        if (!e.is_regular_file() || e.path().filename() == ".keep") continue;
        const fs::path to = work / e.path().lexically_relative(from);
        fs::create_directories(to.parent_path());
        fs::copy_file(e.path(), to, fs::copy_options::overwrite_existing);
    }
}

TEST(BrokenInputs, EachFailsWithItsMessageAndWritesNothing) {
    const std::vector<BrokenCase> cases = readCases();
    EXPECT_GE(cases.size(), 50u);
    for (const BrokenCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(fs::is_directory(kCorpus / c.name));
        TempDir t;
        prepare(c, t.path());
        std::vector<std::string> args;
        for (const std::string& a : split(c.arguments, ' '))
            args.push_back(
                replaceAll(replaceAll(a, "{card}", (t / "card").string()), "{dir}", t.str()));
        const auto before = snapshot(t.path());
        const CliResult r = runWqe(args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE(r.err.find(replaceAll(c.message, "{dir}", t.str())), std::string::npos) << r.err;
        EXPECT_EQ(snapshot(t.path()), before);
    }
}

}  // namespace
}  // namespace wqe
