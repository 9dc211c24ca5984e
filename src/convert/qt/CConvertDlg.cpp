#include "convert/qt/CConvertDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "card/FileIO.h"
#include "card/Model.h"
#include "card/Settings.h"
#include "convert/qt/CPhrOpenDlg.h"
#include "convert/qt/CPlayButton.h"
#include "maintenance/qt/CPathDialog.h"

namespace wqe {

namespace {

// Kept for the program's lifetime, shared by both dialogs where they agree.
struct Remembered {
    bool decode = false;
    bool byFolder = false;
    QString bits = QStringLiteral("16bit");
    QString mode = QStringLiteral("MODE 1");
    int quality = 0;  // 0 Standard, 1 Best
    int rate = 0;     // 0 "as source", then the device rates in order
    bool mix = false;
};
Remembered& remembered() {
    static Remembered r;
    return r;
}

const char* const kModeItems[] = {"LINEAR", "MODE 1", "MODE 2", "MODE 3", "HI-LINEAR"};
constexpr int kModeCount5000 = 3;

QString q(const std::string& s) { return QString::fromStdString(s); }

// The folder a remembered path stands for, or the current folder.
QString rememberedFolder(const SettingsStore& settings, const char* key) {
    const QString folder = q(settings.value(key, ""));
    return folder.isEmpty() ? QDir::currentPath() : folder;
}

// A path's folder: the path itself when it is one.
fs::path folderOf(const std::string& path) {
    std::error_code ec;
    const fs::path p(path);
    return fs::is_directory(p, ec) ? p : p.parent_path();
}

bool isWav(const QString& path) { return path.endsWith(".wav", Qt::CaseInsensitive); }
// Any audio file the encoder and the import take (the backend's formats).
bool isAudio(const QString& path) {
    if (isWav(path)) return true;
    if (AudioBackend* backend = audioBackend())
        for (const std::string& pattern : backend->patterns())
            if (path.endsWith(q(pattern.substr(1)), Qt::CaseInsensitive)) return true;
    return false;
}
// The file chooser's filter of audio files, e.g. "Audio File (*.WAV *.wav *.FLAC *.flac)".
QString audioFilter(const QString& name) {
    QStringList patterns{QStringLiteral("*.WAV"), QStringLiteral("*.wav")};
    if (AudioBackend* backend = audioBackend())
        for (const std::string& pattern : backend->patterns())
            patterns << q(pattern) << q(pattern).toLower();
    return name + " (" + patterns.join(' ') + ")";
}
bool isPhrase(const QString& path) { return path.endsWith(".phr", Qt::CaseInsensitive); }

}  // namespace

CConvertDlg::CConvertDlg(ConvertContext context, QWidget* parent)
    : CConvertDlg(Kind::Convert, std::move(context), parent) {}

CConvertDlg::CConvertDlg(Kind kind, ConvertContext context, QWidget* parent)
    : QDialog(parent), kind_(kind), context_(std::move(context)) {
    build();
    setAcceptDrops(true);
}

CConvertDlg::~CConvertDlg() {
    // The dialog never goes while its worker runs: stop it without asking.
    if (worker_.joinable()) {
        convertProgress_.cancel = true;
        importProgress_.cancel = true;
        worker_.join();
    }
}

QString CConvertDlg::tr2(const char* en, const char* ja) const {
    return q(pick(context_.doc.language(), en, ja));
}

void CConvertDlg::build() {
    const bool convert = kind_ == Kind::Convert;
    setObjectName(convert ? "convertDialog" : "wavImportDialog");
    setWindowTitle(convert ? tr("File Convert") : tr("WAV Import"));
    auto* layout = new QVBoxLayout(this);

    byFolder_ = new QCheckBox(tr("by Folder"), this);
    byFolder_->setObjectName("byFolder");
    byFolder_->setChecked(remembered().byFolder);
    if (convert) {
        auto* directions = new QHBoxLayout;
        decode_ = new QRadioButton(tr("KPAC->WAV"), this);
        decode_->setObjectName("decode");
        encode_ = new QRadioButton(tr("WAV->KPAC"), this);
        encode_->setObjectName("encode");
        auto* group = new QButtonGroup(this);
        group->addButton(decode_);
        group->addButton(encode_);
        (remembered().decode ? decode_ : encode_)->setChecked(true);
        directions->addWidget(decode_);
        directions->addWidget(encode_);
        directions->addStretch(1);
        directions->addWidget(byFolder_);
        layout->addLayout(directions);

        bits_ = new QComboBox(this);
        bits_->setObjectName("bits");
        bits_->addItems({QStringLiteral("16bit"), QStringLiteral("24bit")});
        const int bit = bits_->findText(remembered().bits);
        bits_->setCurrentIndex(bit < 0 ? 0 : bit);
        modes_ = new QComboBox(this);
        modes_->setObjectName("modes");
        const int modeCount = context_.doc.isLoaded() && context_.doc.model() == Model::WQ5000
                                  ? kModeCount5000
                                  : static_cast<int>(std::size(kModeItems));
        for (int k = 0; k < modeCount; ++k) modes_->addItem(QString::fromLatin1(kModeItems[k]));
        const int mode = modes_->findText(remembered().mode);
        modes_->setCurrentIndex(mode < 0 ? 1 : mode);
        quality_ = new QComboBox(this);
        quality_->setObjectName("quality");
        quality_->addItems({tr("Standard"), tr("Best")});
        quality_->setCurrentIndex(remembered().quality);
        quality_->setToolTip(
            tr("Best tries every coding of the mode for each block and keeps the closest: a "
               "higher signal-to-noise ratio at no larger file size, slower to encode."));
        auto* lists = new QGridLayout;
        auto* bitLabel = new QLabel(tr("Quantisation Bit Number :"), this);
        bitLabel->setBuddy(bits_);
        auto* modeLabel = new QLabel(tr("K-PAC Mode :"), this);
        modeLabel->setBuddy(modes_);
        lists->addWidget(bitLabel, 0, 0);
        lists->addWidget(bits_, 0, 1);
        lists->addWidget(modeLabel, 1, 0);
        lists->addWidget(modes_, 1, 1);
        auto* qualityLabel = new QLabel(tr("Quality:"), this);
        qualityLabel->setBuddy(quality_);
        lists->addWidget(qualityLabel, 2, 0);
        lists->addWidget(quality_, 2, 1);
        lists->setColumnStretch(2, 1);
        layout->addLayout(lists);
        connect(group, &QButtonGroup::buttonClicked, this, [this] { applyDirection(); });
    } else {
        layout->addWidget(byFolder_);
    }
    buildInputControls(layout);
    connect(byFolder_, &QCheckBox::toggled, this, [this] { applyDirection(); });

    auto pathRow = [&](const QString& caption, const char* name, QLineEdit*& edit,
                       QPushButton*& refer) -> QHBoxLayout* {
        auto* label = new QLabel(caption, this);
        edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setMinimumWidth(360);
        label->setBuddy(edit);
        refer = new QPushButton(tr("refer"), this);
        refer->setObjectName(QString(name) + "Refer");
        refer->setAccessibleDescription(caption);
        auto* row = new QHBoxLayout;
        row->addWidget(edit, 1);
        row->addWidget(refer);
        layout->addWidget(label);
        layout->addLayout(row);
        return row;
    };
    QHBoxLayout* sourceRow =
        pathRow(convert ? tr("Source Phrase / Folder:") : tr("Source File / Folder:"), "source",
                source_, sourceRefer_);
    if (convert) {
        play_ = new CPlayButton(&context_.prompter, nullptr, this);
        play_->setAccessibleDescription(tr("Source Phrase / Folder:"));
        sourceRow->addWidget(play_);
        connect(source_, &QLineEdit::textChanged, this, &CConvertDlg::updatePlaySource);
        connect(byFolder_, &QCheckBox::toggled, this, &CConvertDlg::updatePlaySource);
    }
    pathRow(tr("Target Phrase / Folder:"), "target", target_, targetRefer_);
    connect(sourceRefer_, &QPushButton::clicked, this, &CConvertDlg::referSource);
    connect(targetRefer_, &QPushButton::clicked, this, &CConvertDlg::referTarget);

    auto* progress = new QGroupBox(tr("Progress conditions"), this);
    auto* progressRow = new QHBoxLayout(progress);
    percent_ = new QLabel(QStringLiteral("0 %"), progress);
    percent_->setObjectName("percent");
    percent_->setMinimumWidth(percent_->fontMetrics().horizontalAdvance(QStringLiteral("100 %")));
    bar_ = new QProgressBar(progress);
    bar_->setObjectName("progress");
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    bar_->setAccessibleName(tr("Progress conditions"));
    progressRow->addWidget(percent_);
    progressRow->addWidget(bar_, 1);
    percent_->setEnabled(false);
    bar_->setEnabled(false);
    layout->addWidget(progress);

    auto* buttons = new QDialogButtonBox(this);
    start_ = buttons->addButton(tr("START"), QDialogButtonBox::ActionRole);
    start_->setObjectName("start");
    start_->setDefault(true);
    // Wide enough for START and Cancel in either language.
    start_->setMinimumWidth(start_->fontMetrics().horizontalAdvance(tr("Cancel")) + 32);
    close_ = buttons->addButton(tr("CLOSE"), QDialogButtonBox::RejectRole);
    close_->setObjectName("close");
    layout->addWidget(buttons);
    connect(start_, &QPushButton::clicked, this, &CConvertDlg::onStart);
    connect(buttons, &QDialogButtonBox::rejected, this, &CConvertDlg::reject);

    timer_ = new QTimer(this);
    timer_->setInterval(100);
    connect(timer_, &QTimer::timeout, this, &CConvertDlg::refreshProgress);
    applyDirection();
}

void CConvertDlg::buildInputControls(QVBoxLayout* layout) {
    rate_ = new QComboBox(this);
    rate_->setObjectName("rate");
    rate_->addItem(tr("as source"));
    for (const std::uint32_t rate : kpac::kGradeRates) rate_->addItem(QString::number(rate));
    rate_->setCurrentIndex(std::clamp(remembered().rate, 0, rate_->count() - 1));
    rate_->setToolTip(
        tr("\"as source\" keeps a device rate and converts any other rate to the next device "
           "rate above it (48000 Hz above 48000 Hz)."));
    auto* rateLabel = new QLabel(tr("Sample rate:"), this);
    rateLabel->setBuddy(rate_);
    mix_ = new QCheckBox(tr("Mix down to stereo"), this);
    mix_->setObjectName("mix");
    mix_->setChecked(remembered().mix);
    mix_->setToolTip(tr("Files of more than two channels are refused unless they are mixed down."));
    auto* row = new QHBoxLayout;
    row->addWidget(rateLabel);
    row->addWidget(rate_);
    row->addSpacing(16);
    row->addWidget(mix_);
    row->addStretch(1);
    layout->addLayout(row);
}

InputOptions CConvertDlg::inputOptions() const {
    InputOptions input;
    if (rate_ && rate_->currentIndex() > 0)
        input.rate = kpac::kGradeRates[static_cast<std::size_t>(rate_->currentIndex() - 1)];
    if (mix_ && mix_->isChecked()) input.mix = MixDown::Stereo;
    return input;
}

void CConvertDlg::updatePlaySource() {
    if (!play_) return;
    const QString path = source_->text().trimmed();
    const bool playable =
        !byFolder_->isChecked() && (isWav(path) || isPhrase(path)) && QFileInfo(path).isFile();
    play_->setSource(playable ? path : QString());
}

bool CConvertDlg::encoding() const { return kind_ == Kind::Import || encode_->isChecked(); }

void CConvertDlg::applyDirection() {
    const bool enc = encoding();
    const QString wav = rememberedFolder(context_.settings, kKeyConvertWavePath);
    const QString phrase = rememberedFolder(context_.settings, kKeyConvertPhrasePath);
    source_->setText(enc ? wav : phrase);
    target_->setText(enc ? phrase : wav);
    const bool folder = byFolder_->isChecked();
    source_->setReadOnly(folder);
    target_->setReadOnly(folder);
    if (bits_) bits_->setEnabled(!enc);
    if (modes_) modes_->setEnabled(enc);
    if (quality_) quality_->setEnabled(enc);
    if (rate_) rate_->setEnabled(enc);
    if (mix_) mix_->setEnabled(enc);
}

void CConvertDlg::referSource() {
    const QString current = source_->text();
    QString chosen;
    if (byFolder_->isChecked()) {
        CPathDialog dialog(tr("Source Folder Select"), tr("Reference Path:"), current,
                           context_.prompter, this);
        if (dialog.exec() == QDialog::Accepted) chosen = dialog.path();
    } else if (encoding()) {
        chosen = QFileDialog::getOpenFileName(
            this, tr2("WAV file selected.", "WAV File の選択"),
            folderOf(current.toStdString()).c_str(),
            tr("Wave File (*.WAV *.wav)") + ";;" + audioFilter(tr("Audio File")));
    } else {
        chosen = QFileDialog::getOpenFileName(this, tr2("KPAC file selected.", "KPAC File の選択"),
                                              folderOf(current.toStdString()).c_str(),
                                              tr("KPAC File (*.PHR *.phr)"));
    }
    if (!chosen.isEmpty()) source_->setText(chosen);
}

void CConvertDlg::referTarget() {
    const QString current = target_->text();
    QString chosen;
    if (encoding()) {
        const int max = context_.doc.isLoaded() ? highestPhraseCount(context_.doc.model())
                                                : kDefaultMaxPhraseNumber;
        CPhrOpenDlg dialog(kind_ == Kind::Import ? "WAV" : "PHR", max,
                           q(folderOf(current.toStdString()).string()), this);
        if (dialog.exec() == QDialog::Accepted) chosen = dialog.chosenPath();
    } else if (byFolder_->isChecked()) {
        CPathDialog dialog(tr("WAV Path Select"), tr("Reference Path:"), current, context_.prompter,
                           this);
        if (dialog.exec() == QDialog::Accepted) chosen = dialog.path();
    } else {
        QFileDialog dialog(this, tr2("WAV file selected.", "WAV File の選択"),
                           q(folderOf(current.toStdString()).string()),
                           tr("Wave File (*.WAV *.wav)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("WAV"));
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            chosen = dialog.selectedFiles().front();
    }
    if (!chosen.isEmpty()) target_->setText(chosen);
}

void CConvertDlg::dropPaths(const QStringList& paths) {
    if (isRunning() || paths.isEmpty()) return;
    const QFileInfo first(paths.front());
    if (kind_ == Kind::Convert && first.isFile()) {
        // The dropped file's kind decides the direction.
        if (isAudio(first.filePath())) encode_->setChecked(true);
        if (isPhrase(first.filePath())) decode_->setChecked(true);
    }
    byFolder_->setChecked(first.isDir());
    applyDirection();
    source_->setText(QDir::toNativeSeparators(first.absoluteFilePath()));
}

void CConvertDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (isRunning() || !event->mimeData()->hasUrls()) return;
    for (const QUrl& url : event->mimeData()->urls()) {
        const QFileInfo info(url.toLocalFile());
        const bool usable = info.isDir() || isAudio(info.filePath()) ||
                            (kind_ == Kind::Convert && isPhrase(info.filePath()));
        if (!url.isLocalFile() || !usable) return;
    }
    event->acceptProposedAction();
}

void CConvertDlg::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) paths << url.toLocalFile();
    dropPaths(paths);
    event->acceptProposedAction();
}

void CConvertDlg::onStart() {
    if (isRunning()) {
        // Cancel: the worker stops within a block and reports as it ends.
        convertProgress_.cancel = true;
        importProgress_.cancel = true;
        start_->setEnabled(false);
        return;
    }
    const Language lang = context_.doc.language();
    const std::string source = source_->text().trimmed().toStdString();
    const std::string target = target_->text().trimmed().toStdString();
    if (source.empty() || target.empty()) {
        context_.prompter.message(pick(lang, kMsgFileNotSelected, kMsgFileNotSelectedJa),
                                  Icon::Exclamation);
        return;
    }
    Remembered& r = remembered();
    r.byFolder = byFolder_->isChecked();
    if (kind_ == Kind::Convert) {
        r.decode = decode_->isChecked();
        r.bits = bits_->currentText();
        r.mode = modes_->currentText();
        r.quality = quality_->currentIndex();
    }
    r.rate = rate_->currentIndex();
    r.mix = mix_->isChecked();
    std::error_code ec;
    if (!fs::exists(source, ec)) {
        context_.prompter.message(pick(lang, kMsgFileNotSelected, kMsgFileNotSelectedJa),
                                  Icon::Exclamation);
        return;
    }
    run_ = Run{};
    run_.folder = byFolder_->isChecked();
    run_.encode = encoding();
    run_.wavSide = run_.encode ? source : target;
    run_.phraseSide = run_.encode ? target : source;
    if (run_.folder) {
        std::string error;
        if ((run_.encode ? audioFilesInFolder(source, error)
                         : filesInFolder(source, "*.PHR", error))
                .empty()) {
            QDialog::reject();
            context_.prompter.message(pick(lang, kMsgConvertFailed, kMsgConvertFailedJa),
                                      Icon::Exclamation);
            return;
        }
    }
    startWorker();
}

void CConvertDlg::startWorker() {
    const std::string source = source_->text().trimmed().toStdString();
    const std::string target = target_->text().trimmed().toStdString();
    const bool folder = run_.folder, import = kind_ == Kind::Import;
    const int maxNumber = context_.doc.isLoaded() ? highestPhraseCount(context_.doc.model())
                                                  : kDefaultMaxPhraseNumber;
    const auto mode = static_cast<kpac::Mode>(modes_ ? std::max(modes_->currentIndex(), 0) : 0);
    const int outBytes = bits_ ? bits_->currentIndex() + 2 : 2;
    const kpac::EncodeOptions options{
        quality_ && quality_->currentIndex() == 1 ? kpac::Quality::Best : kpac::Quality::Standard};
    const InputOptions input = inputOptions();
    // Folder encode and import: a target that is no folder names the first
    // phrase number ("_WQP0005.PHR" starts at 5) in its folder.
    fs::path targetFolder = target;
    int startNumber = 1;
    std::error_code ec;
    if (folder && run_.encode && !fs::is_directory(targetFolder, ec)) {
        startNumber = startNumberFromTargetName(targetFolder.filename().string());
        targetFolder = targetFolder.parent_path();
    }

    convertProgress_.cancel = false;
    importProgress_.cancel = false;
    convertProgress_.fileCount = 1;
    convertProgress_.filesDone = 0;
    for (auto& f : convertProgress_.file) f.start(0);
    importProgress_.fileCount = 1;
    importProgress_.filesDone = 0;
    importProgress_.filePercent = 0;
    workerDone_ = false;
    shown_ = -1;
    setRunning(true);

    worker_ = std::thread([=, this] {
        Run& r = run_;  // only this thread touches the results until workerDone_
        if (import && folder) {
            std::string error;
            const auto sources = audioFilesInFolder(source, error);
            if (std::string why = folderWriteProblem(targetFolder); !why.empty()) {
                for (const auto& s : sources)
                    r.import.items.push_back({s, {}, false, false, why, 0, {}});
            } else {
                r.import = importWavFiles(sources, targetFolder, startNumber, maxNumber,
                                          &importProgress_, {}, realFileSystem(), input);
            }
        } else if (import) {
            const auto result = importWavFile(source, target, &importProgress_.filePercent,
                                              &importProgress_.cancel, realFileSystem(), input);
            r.import.items.push_back({source, target, result.ok, result.cancelled, result.error,
                                      result.padBytes, result.conversions});
            r.import.succeeded = result.ok ? 1 : 0;
            r.import.cancelled = result.cancelled;
        } else if (folder && r.encode) {
            r.convert = encodeFolder(source, targetFolder, mode, startNumber, maxNumber,
                                     &convertProgress_, {}, options, 0, input);
        } else if (folder) {
            r.convert = decodeFolder(source, target, outBytes, &convertProgress_);
        } else {
            ConvertItem item =
                r.encode
                    ? encodeOneFile(source, target, mode, &convertProgress_.file[0], options, input)
                    : decodeOneFile(source, target, outBytes, &convertProgress_.file[0],
                                    kpac::loneFileDecodeOptions());
            r.convert.succeeded = item.ok ? 1 : 0;
            r.convert.cancelled = item.cancelled;
            r.convert.items.push_back(std::move(item));
        }
        workerDone_.store(true, std::memory_order_release);
        QMetaObject::invokeMethod(this, &CConvertDlg::onWorkerFinished, Qt::QueuedConnection);
    });
    timer_->start();
}

void CConvertDlg::refreshProgress() {
    const int percent = kind_ == Kind::Import ? importProgress_.overallPercent()
                                              : convertProgress_.overallPercent();
    // The display never goes back while files finish on several threads.
    if (percent <= shown_) return;
    shown_ = percent;
    bar_->setValue(percent);
    percent_->setText(QString("%1 %").arg(percent));
}

void CConvertDlg::setRunning(bool running) {
    for (QWidget* w : std::initializer_list<QWidget*>{decode_, encode_, byFolder_, bits_, modes_,
                                                      quality_, rate_, mix_, source_, target_,
                                                      sourceRefer_, targetRefer_, close_})
        if (w) w->setEnabled(!running);
    if (!running) applyEnabledLists();
    percent_->setEnabled(true);
    bar_->setEnabled(true);
    start_->setEnabled(true);
    start_->setText(running ? tr("Cancel") : tr("START"));
}

void CConvertDlg::applyEnabledLists() {
    if (bits_) bits_->setEnabled(!encoding());
    if (modes_) modes_->setEnabled(encoding());
    if (quality_) quality_->setEnabled(encoding());
    if (rate_) rate_->setEnabled(encoding());
    if (mix_) mix_->setEnabled(encoding());
}

void CConvertDlg::onWorkerFinished() {
    if (!worker_.joinable() || !workerDone_.load(std::memory_order_acquire)) return;
    worker_.join();
    timer_->stop();
    refreshProgress();
    setRunning(false);

    const Language lang = context_.doc.language();
    const bool import = kind_ == Kind::Import;
    const int count = import ? run_.import.succeeded : run_.convert.succeeded;
    const bool cancelled = import ? run_.import.cancelled : run_.convert.cancelled;
    std::error_code ec;
    if (count > 0) {
        const fs::path wavFolder = folderOf(run_.wavSide), phraseFolder = folderOf(run_.phraseSide);
        if (fs::exists(wavFolder, ec))
            context_.settings.setValue(kKeyConvertWavePath, wavFolder.string());
        if (fs::exists(phraseFolder, ec))
            context_.settings.setValue(kKeyConvertPhrasePath, phraseFolder.string());
    }
    const bool offerCleanup = count > 0 && run_.encode && context_.doc.isLoaded() &&
                              sameFolder(folderOf(run_.phraseSide), context_.doc.folderPrefix());

    // The files that failed, by name and reason, before the end message.
    std::string failures;
    auto addFailure = [&](const std::string& text) {
        if (text.empty()) return;
        if (!failures.empty()) failures += '\n';
        failures += text;
    };
    if (import) {
        for (const auto& item : run_.import.items)
            if (!item.ok && !item.cancelled) addFailure(item.error);
    } else {
        addFailure(run_.convert.setupError);
        for (const auto& item : run_.convert.items)
            if (!item.ok && !item.cancelled) addFailure(item.error);
        addFailure(run_.convert.stopReason);
    }

    QDialog::accept();
    if (!failures.empty()) context_.prompter.message(failures, Icon::Exclamation);
    std::string text = cancelled ? convertCancelledMessage(count, offerCleanup, lang)
                                 : convertEndMessage(count, run_.folder, offerCleanup, lang);
    if (const std::string notes = conversionNotes(); !notes.empty()) text = notes + "\n\n" + text;
    if (offerCleanup) {
        if (context_.prompter.ask(text, Buttons::YesNo, Icon::Question) == Answer::Yes &&
            context_.cleanup)
            context_.cleanup();
    } else {
        context_.prompter.message(text,
                                  count > 0 || cancelled ? Icon::Information : Icon::Exclamation);
    }
}

std::string CConvertDlg::conversionNotes() const {
    std::string notes;
    auto add = [&notes](const fs::path& source, const std::string& conversions) {
        if (conversions.empty()) return;
        if (!notes.empty()) notes += '\n';
        notes += source.filename().string() + ": " + conversions;
    };
    for (const auto& item : run_.import.items)
        if (item.ok) add(item.source, item.conversions);
    for (const auto& item : run_.convert.items)
        if (item.ok) add(item.source, item.conversions);
    return notes;
}

bool CConvertDlg::stopAfterAsking() {
    if (!isRunning()) return true;
    if (context_.prompter.ask(
            pick(context_.doc.language(), kMsgStopConversion, kMsgStopConversionJa), Buttons::YesNo,
            Icon::Question) != Answer::Yes)
        return false;
    convertProgress_.cancel = true;
    importProgress_.cancel = true;
    // The worker ends within a block; its end closes the dialog.
    while (!workerDone_.load(std::memory_order_acquire)) std::this_thread::yield();
    onWorkerFinished();
    return true;
}

void CConvertDlg::reject() {
    if (isRunning()) {
        stopAfterAsking();
        return;
    }
    QDialog::reject();
}

void CConvertDlg::closeEvent(QCloseEvent* event) {
    if (isRunning()) {
        event->ignore();
        stopAfterAsking();
        return;
    }
    QDialog::closeEvent(event);
}

CWavImportDlg::CWavImportDlg(ConvertContext context, QWidget* parent)
    : CConvertDlg(Kind::Import, std::move(context), parent) {}

}  // namespace wqe
