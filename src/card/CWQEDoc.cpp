#include "card/CWQEDoc.h"

#include <new>

#include "card/FileIO.h"

namespace wqe {

CWQEDoc::CWQEDoc(Prompter& prompter, SettingsStore& settings) : prompter_(prompter), settings_(settings) {
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

bool CWQEDoc::openFile(const std::string& systemPath) {
    const auto m = modelFromFileName(fs::path(systemPath).filename().string());
    if (!m) {
        release();
        systemPath_.clear();
        prompter_.message(kMsgProperFileName, Icon::Exclamation);
        return false;
    }
    return openWithModel(systemPath, *m);
}

bool CWQEDoc::openCard(const std::string& cardPath) {
    std::error_code ec;
    fs::path path(cardPath);
    if (!fs::exists(path, ec)) {
        prompter_.message(cardPath + ": no such card folder or file", Icon::Exclamation);
        return false;
    }
    if (fs::is_directory(path, ec)) {
        const fs::path p7 = findCardFile(path, kSystemFileName7000);
        const fs::path p5 = findCardFile(path, kSystemFileName5000);
        const bool has7 = fs::exists(p7, ec), has5 = fs::exists(p5, ec);
        if (has7 && has5) {
            prompter_.message(cardPath + ": the folder holds both " + std::string(kSystemFileName7000) +
                                  " and " + std::string(kSystemFileName5000),
                              Icon::Exclamation);
            return false;
        }
        if (!has7 && !has5) {
            prompter_.message(cardPath + ": no " + std::string(kSystemFileName7000) + " or " +
                                  std::string(kSystemFileName5000) + " in this folder",
                              Icon::Exclamation);
            return false;
        }
        return openWithModel((has7 ? p7 : p5).string(), has7 ? Model::WQ7000 : Model::WQ5000);
    }
    const auto m = modelFromFileName(upperAscii(path.filename().string()));
    if (!m) {
        prompter_.message(cardPath + ": not a card folder or system settings file (" +
                              std::string(kSystemFileName7000) + " or " + std::string(kSystemFileName5000) + ")",
                          Icon::Exclamation);
        return false;
    }
    return openWithModel(cardPath, *m);
}

bool CWQEDoc::openWithModel(const std::string& systemPath, Model m) {
    release();
    setModel(m);
    setPaths(systemPath);
    settings_.setValue(kKeySystemFolder, systemPath_);
    return load();
}

bool CWQEDoc::reload() {
    release();
    if (systemPath_.empty()) return false;
    const fs::path folder = fs::path(systemPath_).parent_path();
    std::error_code ec;
    const Model other = model_ == Model::WQ7000 ? Model::WQ5000 : Model::WQ7000;
    const fs::path current = findCardFile(folder, systemFileName(model_));
    const fs::path switched = findCardFile(folder, systemFileName(other));
    if (!fs::exists(current, ec) && fs::exists(switched, ec)) {
        setModel(other);
        setPaths(switched.string());
    } else {
        setPaths(current.string());
    }
    return load();
}

bool CWQEDoc::load() {
    try {
        std::string error;
        auto sysBytes = readWholeFile(systemPath_, error);
        // A missing or short system file cannot be shown or saved safely:
        // every field would read past the end of the image.
        if (!sysBytes || sysBytes->size() < systemFileSize(model_)) {
            release();
            prompter_.message(kMsgReadFile, Icon::Exclamation);
            updateViews();
            return false;
        }
        sysImage_ = std::move(*sysBytes);
        // A phrase file that cannot be read leaves the phrase record unloaded:
        // every slot reads as empty, and save leaves the file alone.
        if (auto phrBytes = readWholeFile(phrasePath_, error)) {
            phrImage_ = std::move(*phrBytes);
            phrLoaded_ = true;
        }
    } catch (const std::bad_alloc&) {
        release();
        prompter_.message(kMsgAllocate, Icon::Exclamation);
        return false;
    }
    sys_.attach(sysImage_);
    if (phrLoaded_) phr_.attach(phrImage_);

    memo_.clear();
    std::error_code ec;
    const std::string memoError = fs::exists(memoPath_, ec) ? memo_.read(memoPath_) : memo_.create(memoPath_);
    if (!memoError.empty()) {
        prompter_.message(kMsgMemoFile, Icon::Exclamation);
        return false;
    }
    setTitle(systemPath_);
    modified_ = true;
    updateViews();
    modified_ = false;
    history_.reset(captureState(), true);
    return true;
}

bool CWQEDoc::saveFiles(bool clearModified) {
    bool ok = true;
    auto report = [&](const std::string& error) {
        if (error.empty()) return;
        ok = false;
        prompter_.message("Save failed. " + error, Icon::Error);
    };
    if (sys_.isLoaded()) report(writeFileAtomic(systemPath_, sysImage_));
    if (phrLoaded_) report(writeFileAtomic(phrasePath_, phrImage_));
    if (!memoPath_.empty()) report(memo_.write(memoPath_));
    if (ok && clearModified) {
        modified_ = false;
        history_.markSaved();
    }
    return ok;
}

bool CWQEDoc::onSaveCardInfo() {
    if (!isModified()) {
        prompter_.beep();
        return true;
    }
    return saveFiles(true);
}

bool CWQEDoc::writeAll() {
    if (!isLoaded()) return false;
    return saveFiles(true);
}

bool CWQEDoc::saveModified() {
    if (!isModified()) return true;
    prompter_.beep();
    switch (prompter_.ask(kMsgSaveChanges, Buttons::YesNoCancel, Icon::Information)) {
        case Answer::Yes: return onSaveCardInfo();
        case Answer::No: return true;
        case Answer::Cancel: break;
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
        case DocCommand::Save: return isModified();
        case DocCommand::Print:
        case DocCommand::PrintPreview:
        case DocCommand::Cleanup: return isLoaded();
        case DocCommand::WavImport: return model_ == Model::WQ7000;
    }
    return false;
}

}  // namespace wqe
