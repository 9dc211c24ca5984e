// File Convert, WAV Import and the target phrase number dialog, driven
// through their controls on the offscreen platform.
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTest>
#include <cmath>

#include "GuiTestSupport.h"
#include "card/Language.h"
#include "card/Model.h"
#include "codec/TestSignals.h"
#include "convert/WavImport.h"
#include "convert/qt/CConvertDlg.h"
#include "convert/qt/CPhrOpenDlg.h"

using namespace wqe;
using namespace wqe::test;
namespace fs = std::filesystem;

namespace {

Bytes toneWav(int channels, std::uint32_t rate, std::size_t frames) {
    std::vector<std::int32_t> s(frames * static_cast<std::size_t>(channels));
    for (std::size_t k = 0; k < s.size(); ++k)
        s[k] = static_cast<std::int32_t>(8000 * std::sin(0.01 * static_cast<double>(k)));
    return makeWav(channels, rate, 16, s);
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(folder)) out.push_back(e.path().filename());
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

class ConvertDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void convertsAFolderIntoTheCardFolder();
    void cancelHalfWayKeepsOnlyWholeFiles();
    void targetNumberDialogListsAndDoubleClick();
    void wavImportThroughItsDialog();
    void screenshots();
};

void ConvertDialogsTest::convertsAFolderIntoTheCardFolder() {
    TempDir tmp;
    Editor e(Language::English);
    e.open(copyDemoCard(tmp / "card"));
    QVERIFY(e.enabled(Command::FileConvert));
    const fs::path card = tmp / "card";
    fs::create_directory(tmp / "src");
    for (const char* name : {"b.wav", "a.wav", "c.wav"})
        writeBytes(tmp / "src" / name, toneWav(2, 32000, 4000));
    // The rule: the first free numbers from 1, in name order.
    std::vector<fs::path> expected;
    for (int next = 1; expected.size() < 3; ++next) {
        next = *nextFreePhraseNumber(card, next, 1000);
        expected.push_back(card / phraseDataFileName("", next - 1, "PHR"));
    }

    int cleanups = 0;
    e.prompter = ScriptedPrompter({Answer::Yes});
    CConvertDlg dialog({e.doc(), e.prompter, e.settings, [&] { ++cleanups; }}, e.app.mainFrame());
    dialog.show();
    dialog.encodeRadio()->click();
    dialog.byFolderBox()->setChecked(true);
    QVERIFY(dialog.sourceEdit()->isReadOnly());
    QVERIFY(!dialog.bitList()->isEnabled());
    dialog.sourceEdit()->setText(QString::fromStdString((tmp / "src").string()));
    dialog.targetEdit()->setText(QString::fromStdString(card.string()));
    dialog.modeList()->setCurrentText("MODE 2");
    dialog.startButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.isRunning(), 60000);
    QCOMPARE(dialog.shownPercent(), 100);
    QVERIFY(!dialog.isVisible());
    for (const auto& p : expected) QVERIFY2(fs::exists(p), p.c_str());
    QCOMPARE(e.prompter.questions,
             std::vector<std::string>{"Conversion succeeded. (3 file(s))\nCleanup the Card Info?"});
    QCOMPARE(cleanups, 1);
    QCOMPARE(e.settings.value(kKeyConvertWavePath), (tmp / "src").string());
    QCOMPARE(e.settings.value(kKeyConvertPhrasePath), card.string());
}

void ConvertDialogsTest::cancelHalfWayKeepsOnlyWholeFiles() {
    TempDir tmp;
    fs::create_directory(tmp / "src");
    fs::create_directory(tmp / "out");
    for (int k = 0; k < 16; ++k)
        writeBytes(tmp / "src" / ("t" + std::to_string(k + 10) + ".wav"),
                   toneWav(2, 48000, 48000 * 10));
    Editor e(Language::English);
    e.prompter = ScriptedPrompter();
    CConvertDlg dialog({e.doc(), e.prompter, e.settings, {}});
    dialog.show();
    dialog.encodeRadio()->click();
    dialog.byFolderBox()->setChecked(true);
    dialog.sourceEdit()->setText(QString::fromStdString((tmp / "src").string()));
    dialog.targetEdit()->setText(QString::fromStdString((tmp / "out").string()));
    dialog.modeList()->setCurrentText("MODE 2");
    dialog.startButton()->click();
    QVERIFY(dialog.isRunning());
    QCOMPARE(dialog.startButton()->text(), QString("Cancel"));
    QVERIFY(!dialog.sourceEdit()->isEnabled());
    // Cancelled at once: sixteen 10-second files take far longer than this
    // on any machine, so the run is surely half-way.
    dialog.startButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.isRunning(), 60000);

    // Only finished phrase files are left, as many as the message says.
    const auto names = namesIn(tmp / "out");
    QVERIFY(names.size() < 16);
    for (const auto& n : names) QVERIFY2(n.starts_with("_WQP") && n.ends_with(".PHR"), n.c_str());
    QCOMPARE(e.prompter.messages.back(),
             "Conversion cancelled. (" + std::to_string(names.size()) + " file(s) converted)");
}

void ConvertDialogsTest::targetNumberDialogListsAndDoubleClick() {
    TempDir tmp;
    for (const char* n : {"_WQP0300.WAV", "_WQP0007.PHR", "_wqp0002.mid", "notes.txt"})
        writeBytes(tmp / n, {1});
    fs::create_directory(tmp / "_WQP0009.PHR");  // a folder is no phrase file
    CPhrOpenDlg dialog("PHR", 250, QString::fromStdString(tmp.str()));
    QCOMPARE(dialog.numberList()->count(), 250);
    QCOMPARE(dialog.numberList()->itemText(249), QString("0250"));
    QStringList files;
    for (int k = 0; k < dialog.fileList()->count(); ++k)
        files << dialog.fileList()->item(k)->text();
    files.sort();
    QCOMPARE(files, QStringList({"_WQP0007.PHR", "_WQP0300.WAV", "_wqp0002.mid"}));
    QVERIFY(dialog.selectedFileText().endsWith("/_WQP0001.PHR"));

    const struct {
        const char* file;
        const char* number;
    } clicks[] = {{"_WQP0007.PHR", "0007"}, {"_WQP0300.WAV", "0250"}, {"_wqp0002.mid", "0002"}};
    dialog.show();
    for (const auto& c : clicks) {
        QListWidgetItem* item = dialog.fileList()->findItems(c.file, Qt::MatchExactly).front();
        const QRect rect = dialog.fileList()->visualItemRect(item);
        QTest::mouseClick(dialog.fileList()->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(dialog.fileList()->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(dialog.numberList()->currentText(), QString(c.number));
    }
    dialog.accept();
    QCOMPARE(dialog.chosenPath(), QString::fromStdString((tmp / "_WQP0002.PHR").string()));

    CPhrOpenDlg documents("WAV", 1000, QString());
    QCOMPARE(documents.workingFolder(),
             QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + "/");
}

void ConvertDialogsTest::wavImportThroughItsDialog() {
    TempDir tmp;
    Editor e(Language::English);
    e.open(copyDemoCard(tmp / "card"));
    QVERIFY(e.enabled(Command::WavImport));
    writeBytes(tmp / "in.wav", toneWav(2, 44100, 1000));
    e.prompter = ScriptedPrompter({Answer::No});
    int cleanups = 0;
    CWavImportDlg dialog({e.doc(), e.prompter, e.settings, [&] { ++cleanups; }});
    dialog.show();
    dialog.byFolderBox()->setChecked(false);
    QVERIFY(!dialog.encodeRadio() && !dialog.modeList());
    const fs::path target = tmp / "card" / "_WQP0999.WAV";
    dialog.sourceEdit()->setText(QString::fromStdString((tmp / "in.wav").string()));
    dialog.targetEdit()->setText(QString::fromStdString(target.string()));
    dialog.startButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.isRunning(), 60000);
    QCOMPARE(fs::file_size(target), std::uintmax_t{44 + 4032});  // padded to 63 blocks
    QCOMPARE(dialog.shownPercent(), 100);
    QCOMPARE(e.prompter.questions,
             std::vector<std::string>{"Conversion succeeded.\nCleanup the Card Info?"});
    QCOMPARE(cleanups, 0);  // answered No
}

// With WQE_SHOT_DIR set: each dialog as a PNG in the language of WQE_LANG
// (run under a real X display for the fonts).
void ConvertDialogsTest::screenshots() {
    const QString shots = qEnvironmentVariable("WQE_SHOT_DIR");
    if (shots.isEmpty()) QSKIP("WQE_SHOT_DIR not set");
    const Language lang = detectLanguage();
    QVERIFY(CWQEApp::installTranslations(*QCoreApplication::instance(), lang));
    const QString suffix = lang == Language::Japanese ? "-ja.png" : "-en.png";
    TempDir tmp;
    Editor e(lang);
    e.open(copyDemoCard(tmp / "card"));
    auto save = [&](QWidget& w, const char* name) {
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.grab().save(shots + "/" + name + suffix));
    };
    {
        CConvertDlg d({e.doc(), e.prompter, e.settings, {}});
        d.encodeRadio()->click();
        save(d, "file-convert-encode");
    }
    {
        CConvertDlg d({e.doc(), e.prompter, e.settings, {}});
        d.decodeRadio()->click();
        d.byFolderBox()->setChecked(true);
        save(d, "file-convert-decode");
    }
    {
        CPhrOpenDlg d("PHR", 1000, QString::fromStdString((tmp / "card").string()));
        save(d, "target-phrase-number");
    }
    {
        CWavImportDlg d({e.doc(), e.prompter, e.settings, {}});
        save(d, "wav-import");
    }
}

QTEST_MAIN(ConvertDialogsTest)
#include "test_convert_dialogs.moc"
