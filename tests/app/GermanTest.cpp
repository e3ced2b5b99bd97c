// The window in German: started under LANG=de_DE.UTF-8 (a CTest entry of its
// own), the main menus, the toolbar and the dialogs hold no English text.
// Skipped in other languages.
#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QTranslator>
#include <map>
#include <set>

#include "app/Translations.h"
#include "dialogs/FrmChMod.h"
#include "dialogs/FrmFolder.h"
#include "profiles/FrmServerEdit.h"
#include "profiles/FrmServerRemove.h"
#include "profiles/ServerListBox.h"
#include "session/FrmSyncPlan.h"
#include "session/FrmSynchronise.h"
#include "tests/app/MainWindowFixture.h"

namespace {

void RemoveTranslations() {
    for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

// Every fixed text of the menu bar (titles, items and their status tips)
// and the toolbar's hints.
std::vector<std::string> MenuTexts(const TfrmMain& window) {
    std::vector<std::string> texts;
    for (const QAction* tool : window.tbServer->actions())
        if (!tool->isSeparator()) texts.push_back(tool->toolTip().toStdString());
    for (const QAction* title : window.menuBar()->actions()) {
        texts.push_back(title->text().toStdString());
        for (const QAction* item : title->menu()->actions()) {
            if (item->isSeparator() || item->data().toInt() >= TServerStore::FirstServerTag) continue;
            texts.push_back(item->text().toStdString());
            if (!item->statusTip().isEmpty()) texts.push_back(item->statusTip().toStdString());
        }
    }
    return texts;
}

TEST_F(MainWindow, GermanMenusAndToolbarHoldNoEnglish) {
    if (QLocale().language() != QLocale::German) GTEST_SKIP() << "runs under LANG=de_DE.UTF-8";
    RemoveTranslations();
    auto english = Start();
    const std::vector<std::string> sources = MenuTexts(*english);
    english.reset();
    InstallTranslations(*QCoreApplication::instance());
    auto window = Start();
    const std::vector<std::string> shown = MenuTexts(*window);
    RemoveTranslations();
    ASSERT_EQ(shown.size(), sources.size());
    for (std::size_t i = 0; i < shown.size(); ++i) EXPECT_NE(shown[i], sources[i]) << "untranslated: " << sources[i];
    EXPECT_EQ(shown.front(), "Verbinden.");
}

// The fixed texts a user reads in a dialog: its caption, labels, buttons,
// tabs and choices, in the order the dialog made them.
std::vector<std::string> ShownTexts(const QWidget& dialog) {
    std::vector<std::string> texts{dialog.windowTitle().toStdString()};
    for (const QWidget* widget : dialog.findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(&dialog)) continue;
        if (const auto* label = qobject_cast<const QLabel*>(widget)) texts.push_back(label->text().toStdString());
        if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) texts.push_back(button->text().toStdString());
        if (const auto* tabs = qobject_cast<const QTabWidget*>(widget))
            for (int i = 0; i < tabs->count(); ++i) texts.push_back(tabs->tabText(i).toStdString());
        if (const auto* choices = qobject_cast<const QComboBox*>(widget); choices != nullptr && !choices->isEditable())
            for (int i = 0; i < choices->count(); ++i) texts.push_back(choices->itemText(i).toStdString());
    }
    return texts;
}

using DialogTexts = std::map<std::string, std::vector<std::string>>;

// Opens the dialog as the user does (`open`), records what it shows and
// whether any of it is cut off, and closes it. A dialog already open is the
// one it is opened from, never the one recorded.
void Record(DialogTexts& texts, DialogTexts& cutOff, const std::string& name, const std::function<void()>& open) {
    bool seen = false;
    qttest::AnswerNextModal<QDialog>(
        [&](QDialog* dialog) {
            texts[name] = ShownTexts(*dialog);
            cutOff[name] = qttest::CutOffTexts(dialog);
            dialog->reject();
        },
        &seen, QApplication::activeModalWidget());
    open();
    EXPECT_TRUE(seen) << name << " did not open";
}

// The main dialogs, opened from a window with one profile. The removal of a
// profile asks its question in a message box.
DialogTexts MainDialogTexts(TfrmMain& window, DialogTexts& cutOff) {
    DialogTexts texts;
    Record(texts, cutOff, "options", [&] { window.itmOptions->trigger(); });
    Record(texts, cutOff, "add server", [&] { window.itmAddServer->trigger(); });
    Record(texts, cutOff, "about", [&] { window.itmAbout->trigger(); });
    Record(texts, cutOff, "connect", [&] { window.tb97Connect->trigger(); });
    qttest::AnswerNextModal<TfrmServerEdit>([&](TfrmServerEdit* edit) {
        QListWidget* list = edit->lbServers;
        const QPoint first = list->visualItemRect(list->item(0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first);
        texts["edit server"] = ShownTexts(*edit);
        cutOff["edit server"] = qttest::CutOffTexts(edit);
        Record(texts, cutOff, "edit server form", [&] { QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, first); });
        edit->reject();
    });
    window.itmEditServer->trigger();
    qttest::AnswerNextModal<TfrmServerRemove>([&](TfrmServerRemove* remove) {
        remove->lbServers->setCurrentRow(0);
        Record(texts, cutOff, "question", [&] { QTest::mouseClick(remove->btnOk, Qt::LeftButton); });
        remove->reject();
    });
    window.itmRemoveServer->trigger();
    TfrmChMod chmod(&window);
    Record(texts, cutOff, "permissions", [&] { chmod.exec(); });
    TfrmFolder folder(&window);
    Record(texts, cutOff, "folder name", [&] { folder.exec(); });
    TfrmSynchronise synchronise(&window);
    Record(texts, cutOff, "synchronise", [&] { synchronise.exec(); });
    TfrmSyncPlan plan(&window);
    plan.SetPlan({});
    Record(texts, cutOff, "synchronisation plan", [&] { plan.exec(); });
    return texts;
}

TEST_F(MainWindow, GermanDialogsHoldNoEnglish) {
    if (QLocale().language() != QLocale::German) GTEST_SKIP() << "runs under LANG=de_DE.UTF-8";
    SaveProfiles({{"Site", 21}});
    DialogTexts ignored;
    RemoveTranslations();
    DialogTexts sources;
    {
        auto english = Start();
        sources = MainDialogTexts(*english, ignored);
    }
    InstallTranslations(*QCoreApplication::instance());
    DialogTexts cutOff;
    DialogTexts shown;
    {
        auto window = Start();
        shown = MainDialogTexts(*window, cutOff);
    }
    RemoveTranslations();
    // Names, numbers and words that German writes the same.
    const std::set<std::string> same{"",
                                     "Quillford Velliant FTP",
                                     "Orvan Software",
                                     "FTP",
                                     "...",
                                     "Name:",
                                     "E-Mail:",
                                     "Version ",
                                     "Site",
                                     "127.0.0.1",
                                     "21",
                                     "Server:"};
    ASSERT_EQ(shown.size(), sources.size());
    for (const auto& [dialog, texts] : sources) {
        ASSERT_EQ(shown[dialog].size(), texts.size()) << dialog;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            if (same.contains(texts[i]) || texts[i].starts_with("Version ") || texts[i].find("example.") != std::string::npos)
                continue;
            EXPECT_NE(shown[dialog][i], texts[i]) << dialog << ": untranslated";
        }
        EXPECT_EQ(cutOff[dialog], std::vector<std::string>{}) << dialog << ": German text cut off";
    }
    EXPECT_EQ(shown["question"].front(), "Quillford Velliant FTP");
    EXPECT_TRUE(Has(shown["question"], "&Ja") || Has(shown["question"], "Ja")) << "Qt's own buttons in German";
}

}  // namespace
