#include "card/CWQEDoc.h"

#include "card/FileIO.h"

namespace wqe {

CWQEDoc::CWQEDoc(Prompter& prompter, SettingsStore& settings)
    : prompter_(prompter), settings_(settings) {
    setModel(Model::WQ7000);
}

void CWQEDoc::setModel(Model m) {
    model_ = m;
    sys_.setModel(m);
    phr_.setModel(m);
    memo_.setModel(m);
}

void CWQEDoc::setTitle(const std::string& title) {
    if (onTitleChanged) onTitleChanged(title);
}

void CWQEDoc::updateViews() {
    if (onUpdateViews) onUpdateViews();
}

void CWQEDoc::newDocument() {
    systemPath_.clear();
    phrasePath_.clear();
    memoPath_.clear();
    setTitle(kTitleNoCard);
    modified_ = false;
}

void CWQEDoc::release() {
    memoState_ = MemoState::Read;
    sys_.detach();
    phr_.detach();
    sysImage_ = {};
    phrImage_ = {};
    phrLoaded_ = false;
    history_.clear();
}

std::string CWQEDoc::folderPrefix() const {
    if (systemPath_.empty()) return {};
    const fs::path folder = fs::path(systemPath_).parent_path();
    return folder.empty() ? std::string() : (folder / "").string();
}

void CWQEDoc::setPaths(const std::string& systemPath) {
    systemPath_ = systemPath;
    const fs::path folder = fs::path(systemPath).parent_path();
    phrasePath_ = findCardFile(folder, phraseFileName(model_)).string();
    memoPath_ = findCardFile(folder, kMemoFileName).string();
}

int CWQEDoc::phraseCount() const { return phraseCountForList(sys_.getPhraseCountCode()); }

std::string CWQEDoc::initialOpenFolder() const {
    const std::string remembered = settings_.value(kKeySystemFolder, "");
    if (remembered.empty()) return {};
    fs::path p(remembered);
    const std::string bare = upperAscii(p.filename().string());
    if (bare == kSystemFileName5000 || bare == kSystemFileName7000) p = p.parent_path();
    std::error_code ec;
    return (!p.empty() && fs::is_directory(p, ec)) ? p.string() : std::string();
}

void CWQEDoc::onOpenCardInfo() {
    if (isModified()) {
        prompter_.beep();
        const Answer a = prompter_.ask(kMsgSaveChanges, Buttons::YesNoCancel, Icon::Information);
        if (a == Answer::Cancel) return;
        // A save that failed has been reported; going on would drop the edits.
        if (a == Answer::Yes && !onSaveCardInfo()) return;
    }
    release();
    const char* filter = pick(language_, "WQE system information(_WQ?TSYS.CNF)|_WQ?TSYS.CNF||",
                              "WQE システム情報(_WQ?TSYS.CNF)|_WQ?TSYS.CNF||");
    const auto chosen = prompter_.chooseOpenFile("Open Card Info.", filter, initialOpenFolder());
    if (!chosen) {
        updateViews();
        return;
    }
    openFile(*chosen);
}

namespace {

// Whether `path` exists; errors other than "not found" (permission denied,
// symbolic link loops) are errors, not absence.
Result<bool> present(const fs::path& path) {
    std::error_code ec;
    const auto st = fs::status(path, ec);
    if (ec && ec != std::errc::no_such_file_or_directory)
        return errorFromCode(ec, path, "cannot be reached", ErrorKind::ReadFailed);
    return fs::exists(st);
}

Error errorOf(const Result<bool>& r) { return r.error(); }

}  // namespace

std::string CWQEDoc::folder() const { return fs::path(systemPath_).parent_path().string(); }

std::string CWQEDoc::openMessageFor(const Error& error) const {
    if (error.kind == ErrorKind::OutOfMemory) return kMsgAllocate;
    if (!memoPath_.empty() && error.file == memoPath_) return kMsgMemoFile;
    return kMsgReadFile;
}

bool CWQEDoc::reported(const Status& status) {
    if (status) return true;
    prompter_.report(openMessageFor(status.error()), status.error());
    updateViews();
    return false;
}

bool CWQEDoc::openFile(const std::string& systemPath) {
    const auto m = modelFromFileName(fs::path(systemPath).filename().string());
    if (!m) {
        release();
        systemPath_.clear();
        prompter_.message(kMsgProperFileName, Icon::Exclamation);
        return false;
    }
    return reported(openWithModel(systemPath, *m));
}

bool CWQEDoc::openCard(const std::string& cardPath) { return reported(loadCard(cardPath)); }

Status CWQEDoc::loadCard(const std::string& cardPath) {
    const fs::path path(cardPath);
    const auto exists = present(path);
    if (!exists) return errorOf(exists);
    if (!*exists) return Error{ErrorKind::NotFound, cardPath, "no such card folder or file"};
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        // A folder that cannot be listed says so, instead of "no system file".
        fs::directory_iterator probe(path, ec);
        if (ec) return errorFromCode(ec, path, "cannot be listed", ErrorKind::ReadFailed);
        const fs::path p7 = findCardFile(path, kSystemFileName7000);
        const fs::path p5 = findCardFile(path, kSystemFileName5000);
        const auto has7 = present(p7), has5 = present(p5);
        if (!has7) return errorOf(has7);
        if (!has5) return errorOf(has5);
        if (*has7 && *has5)
            return Error{ErrorKind::BadFormat, cardPath,
                         "the folder holds both " + std::string(kSystemFileName7000) + " and " +
                             std::string(kSystemFileName5000)};
        if (!*has7 && !*has5)
            return Error{ErrorKind::NotFound, cardPath,
                         "no " + std::string(kSystemFileName7000) + " or " +
                             std::string(kSystemFileName5000) + " in this folder"};
        return openWithModel((*has7 ? p7 : p5).string(), *has7 ? Model::WQ7000 : Model::WQ5000);
    }
    const auto m = modelFromFileName(upperAscii(path.filename().string()));
    if (!m)
        return Error{ErrorKind::BadFormat, cardPath,
                     "not a card folder or system settings file (" +
                         std::string(kSystemFileName7000) + " or " +
                         std::string(kSystemFileName5000) + ")"};
    return openWithModel(cardPath, *m);
}

Status CWQEDoc::openWithModel(const std::string& systemPath, Model m) {
    release();
    setModel(m);
    setPaths(systemPath);
    settings_.setValue(kKeySystemFolder, systemPath_);
    return load();
}

bool CWQEDoc::reload() { return reported(reloadCard()); }

Status CWQEDoc::reloadCard() {
    release();
    if (systemPath_.empty()) return Error{ErrorKind::NotFound, {}, "no card is open"};
    const fs::path folder = fs::path(systemPath_).parent_path();
    const Model other = model_ == Model::WQ7000 ? Model::WQ5000 : Model::WQ7000;
    const fs::path current = findCardFile(folder, systemFileName(model_));
    const fs::path switched = findCardFile(folder, systemFileName(other));
    const auto hasCurrent = present(current);
    if (!hasCurrent) return errorOf(hasCurrent);
    const auto hasSwitched = present(switched);
    if (!*hasCurrent && hasSwitched && *hasSwitched) {
        setModel(other);
        setPaths(switched.string());
    } else {
        setPaths(current.string());
    }
    return load();
}

Status CWQEDoc::load() {
    removeStaleTemporaries(*fs_, folder());
    auto sysBytes = fs_->readAll(systemPath_);
    if (!sysBytes) {
        release();
        return sysBytes.error();
    }
    // A short system file cannot be shown or saved safely: every field would
    // read past the end of the image.
    if (sysBytes->size() < systemFileSize(model_)) {
        release();
        return Error{ErrorKind::BadFormat, systemPath_,
                     "is " + std::to_string(sysBytes->size()) + " bytes; a " +
                         std::string(modelName(model_)) + " system file has " +
                         std::to_string(systemFileSize(model_))};
    }
    // A phrase settings file that cannot be read is not an empty one: the
    // card is not shown (nor saved over it) until it can be read.
    auto phrBytes = fs_->readAll(phrasePath_);
    if (!phrBytes) {
        release();
        return phrBytes.error();
    }
    sysImage_ = std::move(*sysBytes);
    phrImage_ = std::move(*phrBytes);
    phrLoaded_ = true;
    sys_.attach(sysImage_);
    phr_.attach(phrImage_);

    memo_.clear();
    const auto memoExists = present(memoPath_);
    if (!memoExists) {
        memoState_ = MemoState::Unreadable;
        return errorOf(memoExists);
    }
    if (!*memoExists) {
        // Created by the next save: reading a write-protected card writes nothing.
        memoState_ = MemoState::Missing;
    } else {
        const auto understood = memo_.load(*fs_, memoPath_);
        if (!understood) {
            memoState_ = MemoState::Unreadable;
            return understood.error();
        }
        memoState_ = *understood ? MemoState::Read : MemoState::NotUnderstood;
    }
    setTitle(systemPath_);
    modified_ = true;
    updateViews();
    modified_ = false;
    history_.reset(captureState(), true);
    return {};
}

Status CWQEDoc::save() {
    if (!isLoaded() || !phrLoaded_) return Error{ErrorKind::Other, systemPath_, "no card is open"};
    if (memoState_ == MemoState::NotUnderstood &&
        prompter_.ask(std::string(kMsgReplaceMemo) + "\n" + memoPath_, Buttons::YesNo,
                      Icon::Question) != Answer::Yes)
        return Error{ErrorKind::Cancelled, memoPath_,
                     "not saved: the memo file is not laid out as expected, and replacing it "
                     "was not confirmed; no file was changed"};
    removeStaleTemporaries(*fs_, folder());
    MultiFileCommit commit(*fs_);
    if (auto s = commit.stage(systemPath_, sysImage_); !s) return s;
    if (auto s = commit.stage(phrasePath_, phrImage_); !s) return s;
    if (memoState_ != MemoState::Unreadable) {
        // A card without a memo file gets the fresh file a new card has.
        const bool fresh = memoState_ == MemoState::Missing && memo_.systemMemo().empty();
        if (auto s = commit.stage(memoPath_, fresh ? memo_.serializeFresh() : memo_.serialize());
            !s)
            return s;
    }
    if (auto s = commit.commit(); !s) return s;
    if (memoState_ != MemoState::Unreadable) memoState_ = MemoState::Read;
    modified_ = false;
    history_.markSaved();
    return {};
}

bool CWQEDoc::onSaveCardInfo() {
    if (!isModified()) {
        prompter_.beep();
        return true;
    }
    return writeAll();
}

bool CWQEDoc::writeAll() {
    if (!isLoaded()) return false;
    const Status s = save();
    if (!s && s.error().kind != ErrorKind::Cancelled)
        prompter_.report(kMsgSaveFailed, s.error(), Icon::Error);
    return bool(s);
}

bool CWQEDoc::saveModified() {
    if (!isModified()) return true;
    prompter_.beep();
    switch (prompter_.ask(kMsgSaveChanges, Buttons::YesNoCancel, Icon::Information)) {
        case Answer::Yes:
            return onSaveCardInfo();
        case Answer::No:
            return true;
        case Answer::Cancel:
            break;
    }
    return false;
}

void CWQEDoc::close() {
    if (sys_.isLoaded()) {
        release();
        updateViews();
    }
}

void CWQEDoc::markModified(bool modified) {
    if (isLoaded()) modified_ = modified;
}

bool CWQEDoc::isCommandEnabled(DocCommand c) const {
    switch (c) {
        case DocCommand::Save:
            return isModified();
        case DocCommand::Print:
        case DocCommand::PrintPreview:
        case DocCommand::Cleanup:
            return isLoaded();
        case DocCommand::WavImport:
            return model_ == Model::WQ7000;
    }
    return false;
}

}  // namespace wqe
