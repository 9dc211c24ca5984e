#include "view/qt/CWQEView.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "card/NameFilter.h"
#include "card/TextCodec.h"
#include "dialogs/qt/PatternEditFlow.h"
#include "dialogs/qt/SettingsDialogs.h"
#include "view/SystemFormCommands.h"
#include "view/qt/CPListCtrl.h"
#include "view/qt/PhraseListModel.h"

namespace wqe {

namespace {

QString fromUtf8(const std::string& s) { return QString::fromStdString(s); }

// The form is laid out in dialog units: a quarter of the average character
// width across and an eighth of the line height down, so that it keeps its
// proportions with any font.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font) {
        const QFontMetricsF fm(font);
        x_ = fm.horizontalAdvance(
                 QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
             52.0;
        y_ = fm.height();
    }
    int x(int dlu) const { return qRound(dlu * x_ / 4.0); }
    int y(int dlu) const { return qRound(dlu * y_ / 8.0); }
    void place(QWidget* w, int x, int y, int cx = -1, int cy = -1) const {
        const QSize hint = w->sizeHint();
        w->setGeometry(this->x(x), this->y(y), cx < 0 ? hint.width() : this->x(cx),
                       cy < 0 ? hint.height() : this->y(cy));
    }

private:
    double x_ = 6, y_ = 13;
};

struct ListPlace {
    FormList list;
    const char* name;
    int x, y, cx;
};
// The undo step a form list's edit makes.
const char* editName(FormList list) {
    switch (list) {
        case FormList::DualMonoMode:
            return "Dual Mono Mode";
        case FormList::OutputVolumeThru:
            return "Output Volume Thru";
        case FormList::CardProtect:
            return "Card Protect";
        case FormList::DisplaySleep:
            return "Display Sleep";
        case FormList::WqLinkMode:
            return "WQ-LINK Mode";
        case FormList::BaudRate:
            return "Baud Rate";
    }
    return "";
}

constexpr ListPlace kListPlaces[] = {
    {FormList::DualMonoMode, "dualMonoMode", 20, 88, 52},
    {FormList::DisplaySleep, "displaySleep", 20, 116, 56},
    {FormList::OutputVolumeThru, "outputVolumeThru", 92, 88, 52},
    {FormList::BaudRate, "baudRate", 220, 74, 52},
    {FormList::WqLinkMode, "wqLinkMode", 220, 106, 52},
    {FormList::CardProtect, "cardProtect", 220, 138, 52},
};

}  // namespace

CWQEView::CWQEView(CWQEDoc& doc, Language lang, QWidget* parent)
    : QWidget(parent), doc_(doc), lang_(lang) {
    setObjectName("view");
    buildForm();
    list_ = new CPListCtrl(this);
    model_ = new PhraseListModel(doc_, lang_, this);
    list_->setPhraseModel(model_);
    const DialogUnits du(font());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(du.x(4), 0, du.x(4), du.y(4));
    layout->setSpacing(du.y(4));
    layout->addWidget(form_, 0, Qt::AlignLeft);
    layout->addWidget(list_, 1);

    connect(list_, &QAbstractItemView::doubleClicked, this, [this] { onListDoubleClicked(); });
    connect(list_, &QWidget::customContextMenuRequested, this, &CWQEView::onListContextMenu);
    connect(list_, &CPListCtrl::selectionChangedTo, this, [this] { emit commandStateChanged(); });
}

void CWQEView::buildForm() {
    form_ = new QWidget(this);
    form_->setObjectName("systemForm");
    const DialogUnits du(font());
    form_->setFixedSize(du.x(367), du.y(168));

    // Frames first, so that the controls lie above them.
    auto group = [&](const QString& title, int x, int y, int cx, int cy) {
        auto* g = new QGroupBox(title, form_);
        du.place(g, x, y, cx, cy);
        return g;
    };
    group(tr("SYSTEM"), 7, 7, 356, 161);
    group(tr("System Settings"), 12, 64, 140, 96);
    group(tr("RS-232C Setting"), 160, 64, 116, 30);
    QGroupBox* linkFrame = group(tr("WQ-LINK Setting"), 160, 96, 116, 30);
    group(tr("Card Editing"), 160, 128, 116, 32);

    auto label = [&](const QString& text, int x, int y) {
        auto* l = new QLabel(text, form_);
        du.place(l, x, y);
        return l;
    };
    label(tr("System folder:"), 16, 20);
    folder_ = new QLabel(form_);
    folder_->setObjectName("systemFolder");
    folder_->setTextFormat(Qt::PlainText);
    folder_->setWordWrap(false);
    du.place(folder_, 66, 20, 124, 8);
    folder_->setFixedHeight(folder_->sizeHint().height());

    label(tr("CARD name:"), 16, 37);
    cardName_ = new QLineEdit(form_);
    cardName_->setObjectName("cardName");
    cardName_->setMaxLength(static_cast<int>(kCardNameLength));
    du.place(cardName_, 60, 34, 55, 14);

    label(tr("Phrase Num.:"), 123, 37);
    phraseCount_ = new QLabel(form_);
    phraseCount_->setObjectName("phraseCount");
    du.place(phraseCount_, 167, 37, 20, 8);
    phraseCount_->setFixedHeight(phraseCount_->sizeHint().height());

    label(tr("Memo:"), 198, 21);
    memo_ = new QPlainTextEdit(form_);
    memo_->setObjectName("systemMemo");
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo_->setTabChangesFocus(true);
    du.place(memo_, 223, 17, 137, 35);

    label(tr("Dual Mono Mode:"), 17, 76);
    QLabel* sleepLabel = label(tr("Display Sleep:"), 20, 104);
    QLabel* volumeLabel = label(tr("Output Volume Thru:"), 83, 76);
    label(tr("Baud Rate:"), 169, 76);
    QLabel* linkLabel = label(tr("WQ-LINK Mode:"), 169, 108);
    label(tr("Card Protect:"), 169, 140);

    for (const ListPlace& p : kListPlaces) {
        auto* combo = new QComboBox(form_);
        combo->setObjectName(p.name);
        combo->setMaxVisibleItems(20);
        du.place(combo, p.x, p.y, p.cx, -1);
        lists_[p.list] = combo;
        const FormList list = p.list;
        connect(combo, &QComboBox::currentIndexChanged, this,
                [this, list](int i) { onListSelected(list, i); });
    }
    // 3571 display sleep items: a uniform list keeps the popup quick.
    if (auto* view = qobject_cast<QListView*>(lists_[FormList::DisplaySleep]->view())) {
        view->setUniformItemSizes(true);
    }

    auto button = [&](const QString& text, const char* name, int x, int y, int cx,
                      void (CWQEView::*slot)()) {
        auto* b = new QPushButton(text, form_);
        b->setObjectName(name);
        b->setAutoDefault(false);
        du.place(b, x, y, cx, 14);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    equalizer_ = button(tr("Equalizer"), "equalizer", 20, 137, 56, &CWQEView::onEqualizer);
    dialogButtons_ = {
        equalizer_, button(tr("Line Thru"), "lineThru", 92, 111, 52, &CWQEView::onLineThru),
        button(tr("Busy Out"), "busyOut", 92, 137, 52, &CWQEView::onBusyOut),
        button(tr("Control Input"), "controlInput", 284, 76, 74, &CWQEView::onControlInput),
        button(tr("MIDI Settings"), "midiSettings", 284, 104, 74, &CWQEView::onMidiSettings)};

    wq7000Only_ = {lists_[FormList::OutputVolumeThru],
                   lists_[FormList::DisplaySleep],
                   lists_[FormList::WqLinkMode],
                   equalizer_,
                   sleepLabel,
                   volumeLabel,
                   linkLabel,
                   linkFrame};

    connect(cardName_, &QLineEdit::textEdited, this, &CWQEView::onCardNameEdited);
    connect(memo_, &QPlainTextEdit::textChanged, this, &CWQEView::onMemoChanged);
}

void CWQEView::fillLists() {
    for (FormList list : kFormLists) {
        QComboBox* combo = lists_[list];
        const QSignalBlocker block(combo);
        combo->clear();
        QStringList items;
        for (const std::string& item : formListItems(list, lang_)) items << fromUtf8(item);
        combo->addItems(items);
        combo->setCurrentIndex(formListInitialSelection(list));
    }
}

void CWQEView::initialUpdate() {
    rebuildList();
    fillLists();
    refillForm();
}

void CWQEView::documentUpdate() {
    refreshAll();
    refillForm();
    emit commandStateChanged();
}

void CWQEView::refillForm() {
    filling_ = true;
    const bool w7 = formHasWq7000Controls(doc_.model());
    for (QWidget* w : wq7000Only_) w->setEnabled(w7);
    for (QPushButton* b : dialogButtons_) b->setEnabled(doc_.isLoaded() && (b != equalizer_ || w7));

    const QString folder = fromUtf8(systemFolderText(doc_, QDir::currentPath().toStdString()));
    folder_->setText(folder);
    folder_->setToolTip(folder);
    phraseCount_->setText(fromUtf8(phraseCountText(doc_)));
    cardName_->setText(fromUtf8(cardNameText(doc_)));
    memo_->setPlainText(fromUtf8(systemMemoText(doc_)));
    for (FormList list : kFormLists) {
        const QSignalBlocker block(lists_[list]);
        lists_[list]->setCurrentIndex(formListPosition(doc_, list));
    }
    filling_ = false;
}

void CWQEView::onListSelected(FormList list, int index) {
    if (filling_ || index < 0) return;
    doc_.edit(editName(list), [&] { applyFormListPosition(doc_, list, index); });
    emit commandStateChanged();
}

void CWQEView::onCardNameEdited(const QString& text) {
    if (filling_) return;
    const int caret = cardName_->cursorPosition();
    std::string kept;
    doc_.edit(
        "Card Name", [&] { kept = applyCardNameEdit(doc_, text.toStdString()); }, true);
    const QString shown = fromUtf8(kept);
    if (shown != text) {
        // The caret stays after the characters that were before it.
        const QString before =
            fromUtf8(cp932ToUtf8(filterNameText(text.left(caret).toStdString())));
        cardName_->setText(shown);
        cardName_->setCursorPosition(qMin(before.size(), shown.size()));
    }
    emit commandStateChanged();
}

void CWQEView::onMemoChanged() {
    if (filling_) return;
    QString text = memo_->toPlainText();
    if (text.size() > static_cast<qsizetype>(kSystemMemoMaxChars)) {
        text.truncate(static_cast<qsizetype>(kSystemMemoMaxChars));
        const QSignalBlocker block(memo_);
        memo_->setPlainText(text);
        memo_->moveCursor(QTextCursor::End);
    }
    doc_.edit(
        "System Memo", [&] { applySystemMemoEdit(doc_, text.toStdString()); }, true);
    emit commandStateChanged();
}

// ---------------------------------------------------------------------------
// Phrase list

void CWQEView::rebuildList() { model_->rebuild(); }

void CWQEView::fillRow(int index) { model_->fillRow(index); }

void CWQEView::refreshAll() {
    model_->refreshAll();
    if (model_->rowCount() > 0) list_->showRow(0);
    list_->scrollToTop();
}

void CWQEView::showRow(int index) { list_->showRow(index); }

int CWQEView::selectedPhrase() const { return list_->firstSelectedRow(); }

void CWQEView::onListDoubleClicked() {
    const int i = selectedPhrase();
    bool changed = false;
    switch (doubleClickAction(doc_, i)) {
        case DoubleClickAction::None:
            return;
        case DoubleClickAction::PhraseSetup:
            changed = runPhraseSetup(i);
            break;
        case DoubleClickAction::MakePhrase:
            changed = runMakePhrase(i);
            break;
    }
    if (changed) {
        fillRow(i);
        showRow(i);
    }
}

void CWQEView::addPhraseSettingsItems(QMenu* menu) {
    auto add = [menu](QMenu* to, const QString& text, Command c) {
        QAction* a = to->addAction(text);
        a->setData(static_cast<int>(c));
        return a;
    };
    add(menu, tr("Phrase Setup(&E)..."), Command::PhraseSetup);
    menu->addSeparator();
    add(menu, tr("Delete Phrase(&D)..."), Command::DeletePhrase);
    add(menu, tr("Copy Phrase(&C)..."), Command::CopyPhrase);
    QMenu* combination = menu->addMenu(tr("Phrase Combination(&B)"));
    add(combination, tr("Pattern Phrase(&P)..."), Command::PatternPhrase);
    add(combination, tr("Song Phrase(&S)..."), Command::SongPhrase);
    menu->addSeparator();
    add(menu, tr("Play"), Command::PlayPhrase);
}

namespace {

std::optional<PhraseCommand> phraseCommandOf(Command c) {
    switch (c) {
        case Command::PhraseSetup:
            return PhraseCommand::Setup;
        case Command::DeletePhrase:
            return PhraseCommand::Delete;
        case Command::CopyPhrase:
            return PhraseCommand::Copy;
        case Command::PatternPhrase:
            return PhraseCommand::Pattern;
        case Command::SongPhrase:
            return PhraseCommand::Song;
        default:
            return std::nullopt;
    }
}

void forEachAction(QMenu* menu, const std::function<void(QAction*)>& f) {
    for (QAction* a : menu->actions()) {
        if (a->menu())
            forEachAction(a->menu(), f);
        else if (!a->isSeparator())
            f(a);
    }
}

}  // namespace

void CWQEView::onListContextMenu(const QPoint& pos) {
    const auto choice = phraseContextMenu(doc_, selectedPhrase());
    if (!choice) return;
    QMenu menu(this);
    menu.setObjectName(QString("phraseMenu%1").arg(choice->menuId));
    addPhraseSettingsItems(&menu);
    menu.setToolTipsVisible(true);
    forEachAction(&menu, [&](QAction* a) {
        const auto c = static_cast<Command>(a->data().toInt());
        const auto pc = phraseCommandOf(c);
        a->setEnabled(hasCommandHandler(c) &&
                      (pc ? choice->isEnabled(*pc) : commandEnabled(c).value_or(false)));
        if (const auto tip = toolTips_.find(c); tip != toolTips_.end()) a->setToolTip(tip->second);
    });
    if (QAction* chosen = menu.exec(list_->viewport()->mapToGlobal(pos))) {
        runCommand(static_cast<Command>(chosen->data().toInt()));
    }
}

std::optional<bool> CWQEView::commandEnabled(Command c) const {
    if (const auto it = enablers_.find(c); it != enablers_.end()) return it->second();
    if (const auto pc = phraseCommandOf(c))
        return isPhraseCommandEnabled(doc_, selectedPhrase(), *pc);
    return std::nullopt;
}

void CWQEView::setCommandHandler(Command c, std::function<void()> handler) {
    if (handler)
        handlers_[c] = std::move(handler);
    else
        handlers_.erase(c);
    emit commandStateChanged();
}

bool CWQEView::hasCommandHandler(Command c) const { return handlers_.contains(c); }

void CWQEView::setCommandEnabler(Command c, std::function<bool()> enabled) {
    if (enabled)
        enablers_[c] = std::move(enabled);
    else
        enablers_.erase(c);
    emit commandStateChanged();
}

void CWQEView::setCommandToolTip(Command c, const QString& toolTip) { toolTips_[c] = toolTip; }

bool CWQEView::runCommand(Command c) {
    const auto it = handlers_.find(c);
    if (it == handlers_.end()) return false;
    it->second();
    return true;
}

// ---------------------------------------------------------------------------
// Commands whose dialogs are not part of the editor yet: none has a handler,
// so each stays disabled. Filling one in and registering it with
// setCommandHandler enables it.

bool CWQEView::runPhraseSetup(int index) {
    (void)index;  // the Phrase Setup dialog
    return false;
}

bool CWQEView::runMakePhrase(int index) {
    const bool made = wqe::runMakePhrase(this, doc_, doc_.prompter(), index, 0);
    emit commandStateChanged();
    return made;
}

void CWQEView::onPhraseSetup() {
    const int i = selectedPhrase();
    if (isPhraseCommandEnabled(doc_, i, PhraseCommand::Setup) && runPhraseSetup(i)) {
        fillRow(i);
        showRow(i);
    }
}

void CWQEView::onDeletePhrase() {}
void CWQEView::onCopyPhrase() {}
void CWQEView::onPatternPhrase() { runPhraseCombinationCommand(false); }
void CWQEView::onSongPhrase() { runPhraseCombinationCommand(true); }

// "Pattern Phrase" / "Song Phrase": make or edit the selected phrase's steps,
// then refill and show its row.
void CWQEView::runPhraseCombinationCommand(bool song) {
    const int i = selectedPhrase();
    if (runPhraseCombination(this, doc_, doc_.prompter(), i, song)) {
        fillRow(i);
        showRow(i);
    }
    emit commandStateChanged();
}
void CWQEView::onBackup() {}
void CWQEView::onRestore() {}
void CWQEView::onCleanup() {}
void CWQEView::onFileConvert() {}
void CWQEView::onWavImport() {}
void CWQEView::onDeleteFolder() {}
void CWQEView::onPrintKind(int kind) { (void)kind; }
void CWQEView::onPrint() {}
void CWQEView::onPrintPreview() {}
void CWQEView::onPrinterSetup() {}

// ---------------------------------------------------------------------------
// System settings dialogs: each stores its fields on ENTER as one undoable
// edit; with no card loaded the buttons are off and nothing opens.

void CWQEView::onControlInput() {
    if (doc_.isLoaded()) CControl(doc_, this).exec();
    emit commandStateChanged();
}

void CWQEView::onEqualizer() {
    if (doc_.isLoaded()) CEqDlg(doc_, this).exec();
    emit commandStateChanged();
}

void CWQEView::onLineThru() {
    if (doc_.isLoaded()) ClineThru(doc_, this).exec();
    emit commandStateChanged();
}

void CWQEView::onBusyOut() {
    if (doc_.isLoaded()) CBusyDlg(doc_, this).exec();
    emit commandStateChanged();
}

void CWQEView::onMidiSettings() {
    if (doc_.isLoaded())
        CMidiSet(
            doc_, [this] { onMtcChanged(); }, this)
            .exec();
    emit commandStateChanged();
}

void CWQEView::onMtcChanged() {
    const int row = selectedPhrase();
    refreshAll();
    if (row >= 0) showRow(row);
}

}  // namespace wqe
