// Fuzzes the probing of phrase data files: registering and checking a
// ".PHR", ".MID" or ".WAV" file of any content on both models, from an
// empty record and from a record taken from the input.
#include <cstdint>
#include <vector>

#include "card/PhrasePrm.h"
#include "fuzz/FuzzInput.h"

using namespace wqe;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const std::uint8_t choice = in.byte();
    const Model m = choice & 1 ? Model::WQ7000 : Model::WQ5000;
    const auto record = in.take(phraseRecordSize(m));
    const auto file = in.rest();
    const std::vector<std::uint8_t> original(file.begin(), file.end());

    // Registering may rewrite a pattern file in place: each step gets a fresh copy.
    auto run = [&](auto step) {
        fuzz::MemoryFile f(original);
        if (!f.ok()) return;
        auto prm = CPhrasePrm::create(m);
        std::copy(record.begin(), record.end(), prm->bytes().begin());
        step(*prm, f.path());
        (void)prm->kind();
        (void)prm->name();
        (void)prm->dataFileName("", 0);
    };
    const std::string prefix = "FUZZCARD";
    switch ((choice >> 1) % 6) {
        case 0:
            run([&](CPhrasePrm& p, const std::string& path) { p.registerPhr(path, 0, prefix); });
            break;
        case 1:
            run([&](CPhrasePrm& p, const std::string& path) { p.registerMid(path, 1, prefix); });
            break;
        case 2:
            run([&](CPhrasePrm& p, const std::string& path) { p.registerWav(path, 2, prefix); });
            break;
        case 3:
            run([&](CPhrasePrm& p, const std::string& path) { p.checkPhr(path); });
            break;
        case 4:
            run([&](CPhrasePrm& p, const std::string& path) { p.checkMid(path); });
            break;
        default:
            run([&](CPhrasePrm& p, const std::string& path) { p.checkWav(path); });
            break;
    }
    return 0;
}
