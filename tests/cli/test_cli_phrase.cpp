// wqe phrase as a user runs it: the File Information lines of the demo
// card's phrases in both languages, and the errors.
#include <gtest/gtest.h>

#include "support/CliRunner.h"

namespace wqe::test {

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
        {{"phrase", card, "1"},
         0,
         "Phrase Type: Audio Phrase\nKPAC Grade: STANDARD(32kHz)\nKPAC Mode: MODE2\n"
         "Recording Type: MONO\nPlayback Time: 00:00:02.0(sec)\n",
         ""},
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

}  // namespace wqe::test
