// wqe phrase CARD N: the File Information lines of a phrase, as Phrase Setup
// shows them.
#include <iostream>

#include "cli/Cli.h"
#include "dialogs/PhraseSetup.h"

namespace wqe::cli {

namespace {

int runPhrase(const std::vector<std::string>& argv) {
    Args args(argv, {}, {"--lang"});
    args.expectPositional(2, 2);
    const Language lang = languageFrom(args);
    OpenCard card(args.positional()[0]);
    const int count = card.doc.phraseCount();
    const int number = parseInt(args.positional()[1], "phrase number", 1, count);
    const auto info = phraseFileInformation(card.doc, number - 1, lang);
    if (!info) throw Failure("phrase " + std::to_string(number) + " is empty");
    for (const std::string& line : info->lines) std::cout << line << '\n';
    std::cout << std::flush;
    if (!std::cout) throw Failure("the lines could not be written to the standard output");
    return kExitOk;
}

const bool registered = registerCommand(
    {"phrase", "show what a phrase's data file holds (File Information)",
     "usage: wqe phrase CARD N [--lang en|ja]\n"
     "\n"
     "Prints the five File Information lines of phrase N of CARD (a card folder or\n"
     "its system settings file) as Phrase Setup shows them: the phrase type, then\n"
     "for audio the grade, mode, recording type and playback time, for MIDI the\n"
     "format, time base and tempo, sequence name and copyright notice. A data file\n"
     "that is missing, unreadable or of another kind is named in the first line\n"
     "and the others are empty. Only the file's header is read.\n"
     "\n"
     "  --lang en|ja   the language of the texts (default: WQE_LANG, then the locale)\n",
     runPhrase});

}  // namespace

}  // namespace wqe::cli
