#include "card/NewCard.h"

#include "card/CWQEMemo.h"
#include "card/CWQEPhr.h"
#include "card/CWQESys.h"
#include "card/FileIO.h"

namespace wqe {

Status createCard(const fs::path& folder, Model m, int phraseCountCode, FileSystem& fsys) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) return errorFromCode(ec, folder, "cannot be created", ErrorKind::WriteFailed);
    for (auto name : {kSystemFileName7000, kSystemFileName5000})
        if (fs::exists(findCardFile(folder, name), ec))
            return Error{ErrorKind::AlreadyExists, folder.string(),
                         "already holds a card (" + std::string(name) + ")"};
    std::vector<std::uint8_t> sys = CWQESys::defaultImage(m);
    CWQESys record;
    record.setModel(m);
    record.attach(sys);
    record.setPhraseCountCode(phraseCountCode);
    const auto phr = CWQEPhr::erasedImage(m, phraseCountForModel(phraseCountCode, m));
    CWQEMemo memo;
    memo.setModel(m);

    // All three are written and flushed before the first rename; the system
    // file is renamed last, so a folder is a card only once the rest is there.
    MultiFileCommit commit(fsys);
    Status s = commit.stage(folder / std::string(phraseFileName(m)), phr);
    if (s) s = commit.stage(folder / std::string(kMemoFileName), memo.serializeFresh());
    if (s) s = commit.stage(folder / std::string(systemFileName(m)), sys);
    if (s) s = commit.commit();
    return s;
}

}  // namespace wqe
