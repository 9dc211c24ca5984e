// Fuzzes the system and phrase settings images as the editor shows them:
// every field getter and every phrase list row of both models, on images of
// any length (a short image reads defaults, never outside its bytes).
#include <cstdint>
#include <vector>

#include "card/CWQEMemo.h"
#include "card/CWQEPhr.h"
#include "card/CWQESys.h"
#include "fuzz/FuzzInput.h"
#include "view/PhraseListText.h"

using namespace wqe;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const Model m = in.byte() & 1 ? Model::WQ7000 : Model::WQ5000;
    // Byte 2: how much of the system image the input gives (0 = all of it).
    const std::size_t cut = in.byte();
    const std::size_t sysSize = cut ? cut * 8 : systemFileSize(m);
    const auto sysPart = in.take(sysSize);
    std::vector<std::uint8_t> sysImage(sysPart.begin(), sysPart.end());
    if (!cut) sysImage.resize(systemFileSize(m), 0);
    const auto phrPart = in.rest();
    std::vector<std::uint8_t> phrImage(phrPart.begin(), phrPart.end());

    CWQESys sys;
    sys.setModel(m);
    sys.attach(sysImage);
    CWQEPhr phr;
    phr.setModel(m);
    phr.attach(phrImage);
    CWQEMemo memo;
    memo.setModel(m);

    const int rows = phraseCountForList(sys.getPhraseCountCode());
    (void)sys.getCardName();
    for (int i = 0; i < rows; ++i)
        for (Language lang : {Language::English, Language::Japanese})
            (void)phraseListRow(sys, phr, memo, i, lang);
    return 0;
}
