#include <QMenuBar>
#include <QTest>

#include "GuiTestSupport.h"
#include "app/QtPrompter.h"

using namespace wqe;
using namespace wqe::test;
namespace fs = std::filesystem;

class JapaneseTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(CWQEApp::installTranslations(*qApp, Language::Japanese)); }
    void menusFormAndMessagesAreJapanese();
    void listTextsOfBothModels();
};

void JapaneseTest::menusFormAndMessagesAreJapanese() {
    Editor e(Language::Japanese);
    QStringList titles;
    for (QAction* a : e.app.mainFrame()->menuBar()->actions()) titles << a->text();
    QCOMPARE(titles, QStringList({"ファイル(&F)", "編集(&E)", "フレーズ設定(&P)", "オプション(&O)",
                                  "ヘルプ(&H)"}));
    QCOMPARE(e.app.mainFrame()->windowTitle(),
             QString("システム情報を読み込んでください。 - WQ シリーズ カードエディタ WQE-7000"));
    QCOMPARE(e.combo("wqLinkMode")->itemText(2), QString("ｽﾚｰﾌﾞ"));
    QCOMPARE(translateCoreText("Save changes in system data?"),
             QString("システムデータの変更を保存しますか?"));
    for (const char* text : coreTexts())
        QVERIFY2(translateCoreText(text) != QString::fromLatin1(text), text);
    // Texts without a translation (paths, file errors) are shown as they are.
    QCOMPARE(translateCoreText("/card/_WQ7TSYS.CNF"), QString("/card/_WQ7TSYS.CNF"));
}

void JapaneseTest::listTextsOfBothModels() {
    TempDir tmp;
    const fs::path sys = copyDemoCard(tmp / "DEMO");
    QVERIFY(bool(createCard(tmp / "W5", Model::WQ5000, 0)));
    Editor e(Language::Japanese);
    for (const fs::path& card : {sys, tmp / "W5" / "_WQ5TSYS.CNF"}) {
        e.open(card);
        QVERIFY(e.doc().isLoaded());
        CWQEPhr& phr = e.doc().phr();
        if (e.doc().model() == Model::WQ7000) {
            phr.setType(0, kTypeAudio);
            phr.setType(1, kTypeSong);
        } else {
            phr.setUsed(0, 1);
            phr.setUsed(1, 1);
            phr.setPatternMode(1, 2);
        }
        e.app.view()->fillRow(0);
        e.app.view()->fillRow(1);
        e.checkListCells(Language::Japanese, {0, 1, 2, 249});
        e.doc().markModified(false);
    }
}

QTEST_MAIN(JapaneseTest)
#include "test_japanese.moc"
