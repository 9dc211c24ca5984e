// wqe demo DIR: the bundled demo card, made by the project's own code.
#include <iostream>

#include "card/NewCard.h"
#include "cli/Cli.h"

namespace wqe::cli {

namespace {

struct DemoPhrase {
    int index;
    const char* name;  // 12 characters
    const char* memo;
};

constexpr DemoPhrase kDemoPhrases[] = {
    {0, "WELCOME     ", "Opening announcement"},
    {1, "CLOSING TIME", "Played at 20:00"},
    {2, "FLOOR GUIDE ", "Lift lobby"},
};

int runDemo(const std::vector<std::string>& argv) {
    Args args(argv, {}, {});
    args.expectPositional(1, 1);
    const std::string folder = args.positional()[0];
    if (auto err = createCard(folder, Model::WQ7000, 0); !err.empty()) throw Failure(err);
    OpenCard card(folder);
    CWQEDoc& doc = card.doc;
    doc.sys().setCardName("DEMOCARD");
    doc.memo().setSystemMemo("Demo card of the WQE-7000 card editor.\n");
    for (const DemoPhrase& p : kDemoPhrases) {
        doc.phr().setName(p.index, p.name);
        doc.memo().setPhraseMemo(p.index, p.memo);
    }
    doc.markModified(true);
    if (!doc.onSaveCardInfo()) throw Failure("the demo card could not be saved");
    std::cout << "Demo card written to " << folder << '\n';
    return kExitOk;
}

const bool registered = registerCommand(
    {"demo", "write the demo card into a new folder",
     "usage: wqe demo DIR\n\nWrites a small WQ-7000 demo card into DIR.\n", runDemo});

}  // namespace

}  // namespace wqe::cli
